// CCategoriesList: the device's PIM categories, read from Pocket Outlook's category
// store and kept in memory with three sorted indexes (exact name, name as the user
// reads it, category id). Older devices keep one database, "\Categories Database",
// in the object store; newer ones keep "CategoryMainDB" (the categories) and
// "CategoryAssocDB" (which item has which category) on the PIM volume. Other programs
// write both, so every record is checked before it is used.
//
// A record keeps its place (its record number) for the life of the list: a deleted
// category leaves an empty record behind, so category sets built earlier stay valid.
#pragma once
#include <windows.h>

#include <vector>

#include "base/BitSet.h"
#include "base/CeDbApi.h"
#include "platform/windowlib/String.h"

// The properties of the three databases.
const CEPROPID kOldCategoryName = MAKELONG(CEVT_LPWSTR, 0x4001);
const CEPROPID kOldCategoryId = MAKELONG(CEVT_I2, 0x4002);
const CEPROPID kOldCategoryFlagD = MAKELONG(CEVT_I2, 0x4003);
const CEPROPID kOldCategoryFlagB = MAKELONG(CEVT_I2, 0x4004);
const CEPROPID kOldCategoryFlagC = MAKELONG(CEVT_I2, 0x4005);
const CEPROPID kOldCategoryFlagA = MAKELONG(CEVT_I2, 0x4006);
const CEPROPID kCategoryMainId = MAKELONG(CEVT_AUTO_I4, 1);
const CEPROPID kCategoryMainName = MAKELONG(CEVT_LPWSTR, 2);
const CEPROPID kCategoryMainValue = MAKELONG(CEVT_I4, 3);
const CEPROPID kCategoryAssocItem = MAKELONG(CEVT_UI4, 1);
const CEPROPID kCategoryAssocCategory = MAKELONG(CEVT_I4, 2);

// The notification that asks for everything to be read again.
const UINT kCategoriesReloadAll = 0x408;

struct CATEGORY_RECORD {
  CString name;
  // The database record; -1 once the category was deleted.
  CEOID oid = 0;
  // Kept as the older store gives them (all 1 on the newer store).
  int flagA = 1;
  int flagB = 1;
  int flagC = 1;
  int flagD = 1;
  // Place in the display index; -1 for a deleted record.
  int displayPos = -1;
  int id = 0;
};

class ICategoriesListener {
 public:
  virtual void OnCategoryAdded(int index) = 0;
  virtual void OnCategoryDeleted(int index) = 0;

 protected:
  ~ICategoriesListener() = default;
};

// Where the items of a new category hear that they changed (newer store): the data
// list of the item's kind, the top four bits of its object id (0x4 appointments, 0x8
// contacts, 0xC tasks).
class ICategoryItemSink {
 public:
  virtual void OnItemNotification(DWORD kind, CENOTIFICATION* notification) = 0;

 protected:
  ~ICategoryItemSink() = default;
};

class CCategoriesList {
 public:
  // Registers itself as the process's current list (one at a time).
  CCategoriesList();
  virtual ~CCategoriesList();
  CCategoriesList(const CCategoriesList&) = delete;
  CCategoriesList& operator=(const CCategoriesList&) = delete;

  // The list the comparisons and GetNamesText use; null when none exists.
  static CCategoriesList* GetCurrent();

  // With a window, changes of the databases come to it as WM_DBNOTIFICATION; the
  // window hands them to OnDbNotify.
  BOOL Open(HWND window);
  // TRUE when open (reading everything when it opens now); FALSE when the main
  // database cannot be opened.
  BOOL OpenDatabases();
  void Close();
  BOOL Reload();
  // The options program's name of the same.
  BOOL ReadAll() { return Reload(); }
  BOOL IsLoaded() const { return m_loaded; }
  BOOL IsOpen() const { return m_main != INVALID_HANDLE_VALUE; }
  // Whether a notification names this list as its request's parameter.
  BOOL OwnsNotification(const CENOTIFICATION* notification) const;

  void Subscribe(ICategoriesListener* listener);
  void Unsubscribe(ICategoriesListener* listener);
  void SetItemSink(ICategoryItemSink* sink) { m_itemSink = sink; }
  // What runs after a category came or went (the category icons load again). Null:
  // the skin's category icons, when the skin has them.
  typedef void (*IconReload)();
  static void SetIconReload(IconReload reload);

  // Follows one change of the databases; the notification is freed here unless
  // callerFrees is set.
  virtual void OnDbNotify(CENOTIFICATION* notification, BOOL callerFrees);

  int GetCount() const { return static_cast<int>(m_records.size()); }
  // Null outside the records.
  const CATEGORY_RECORD* GetAt(int index) const;
  // The name, empty for a deleted record or outside the records.
  CString GetName(int index) const;
  // Categories in display order (deleted ones left out).
  int GetDisplayCount() const { return static_cast<int>(m_byDisplay.size()); }
  int GetDisplayAt(int position) const;

  // Exact (case-sensitive) search; not found: FALSE and the insertion point.
  BOOL FindByName(LPCWSTR name, int* index) const;
  // The record number of a category id, or -1.
  int FindById(int id) const;
  // Older store: an item's category bit-set blob (bit i * 8 + j, lowest first, is
  // category id i * 8 + j) added to set as record numbers; ids up to 1000.
  void ReadCategoryBits(const BYTE* data, DWORD size, CBitSet& set) const;

  // Names separated by "," or ";" (blanks after a separator skipped) into a set;
  // names not in the list are dropped.
  void ParseCategories(LPCWSTR text, CBitSet& set) const;
  // The names of the set's categories in record order, joined by ", ".
  CString BuildNamesText(const CBitSet& set) const;
  static CString GetNamesText(const CBitSet& set);
  // Newer store: the categories of one item; the number of associations read.
  int ReadItemCategories(CEOID itemOid, CBitSet& set);
  // The categories text the object model gives for a folder (9, 10, 13).
  static CString GetCategoriesForFolder(int folder);

  // The only set category (first in display order), or -1 when none or several.
  int GetSingle(const CBitSet& set) const;
  // The set category first in display order other than excluded; else excluded
  // when it is set, else -1.
  int FirstInDisplayOrder(const CBitSet& set, int excluded) const;
  static int NextSet(const CBitSet& set, int from) { return set.FindNext(from); }

 private:
  void Empty();
  void Sort();
  // Reads the record oid (0: where the database stands) into record. FALSE at the
  // end of the database; a malformed record gives TRUE with an empty name.
  BOOL ReadRecord(CEOID oid, CATEGORY_RECORD* record);
  int FindByOid(CEOID oid) const;
  void NotifyItemsOfCategory(int id);
  void ReloadIcons();

  CEOID m_assocOid;
  std::vector<CATEGORY_RECORD> m_records;
  std::vector<int> m_byName;
  std::vector<int> m_byDisplay;
  std::vector<int> m_byId;
  BOOL m_loaded;
  HANDLE m_main;
  HANDLE m_assoc;
  CENOTIFYREQUEST m_request;
  BOOL m_hasRequest;
  std::vector<ICategoriesListener*> m_listeners;
  ICategoryItemSink* m_itemSink;
};
