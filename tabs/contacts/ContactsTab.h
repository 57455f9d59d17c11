// CContactsTab: the Contacts tab: the contacts of the list as rows, filtered by a
// category filter, searched by typed text or phone-key letter groups (the letter bar
// at the bottom), grouped by nothing, company or category, with contact photos in a
// grid or in the rows; a tap opens the contact's popup.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/LetterBar.h"
#include "pim/CategoriesList.h"
#include "tabs/contacts/ContactRowsTab.h"

class CContactsList;
class CContactListItem;

class CContactsTab : public CContactRowsTab,
                     public ICategoriesListener,
                     public ILetterBarListener,
                     public IKeyLayoutSettingsOpener {
 public:
  enum { kTabId = 3, kTabIcon = 148, kSkinTabIndex = 2 };
  enum { kGroupByNone = 501, kGroupByCompany = 558, kGroupByCategory = 551 };
  // Row events the tab acts on.
  enum { kEventShowNote = 1024, kEventChooseField = 1025 };
  // The letter bar's strip and the room kept for it, in logical pixels.
  enum { kLetterBarHeight = 13, kLetterBarRoom = 14 };

  // One placement of a contact in the list.
  struct Entry {
    BOOL photoFirst;
    BOOL textOnly;
    int categoryOrder;
    int category;  // -1: none
    CONTACT_ITEM* contact;
  };

  // Null list: the process's contacts.
  explicit CContactsTab(CVirtualWnd* owner = nullptr, CContactsList* contacts = nullptr);
  ~CContactsTab() override;

  // Installs the tab's maker.
  static void Install();
  // Where the tab beeps when typing matches nothing (null: MessageBeep).
  typedef void (*BeepFn)();
  static BeepFn SetBeep(BeepFn beep);

  int GetTabId() override { return kTabId; }
  int GetSkinTabIndex() override { return kSkinTabIndex; }
  UINT GetTabIcon() override { return kTabIcon; }
  UINT GetTabIconId(int) override { return kTabIcon; }
  void GetApplicationArgs(CString& args) override { args = L"contacts"; }
  void GetApplicationName(CString& name) override { name = L"Contacts"; }
  void GetItemTypeName(CString& name) override { name = L"Contact"; }
  void NewItem() override;
  // Contacts are deleted from their own menu, never from the tab's.
  BOOL DeleteItem(CListItem*) override { return FALSE; }
  BOOL OpenItem(CListItem* row, BOOL edit) override;

  void SetRect(const RECT* rect) override;
  int GetBottomBarHeight() override;
  BOOL OnChar(WCHAR ch) override;
  BOOL OnKey(DWORD key) override;
  BOOL OnChildKey(CVirtualWnd* sender, DWORD key) override;
  void LoadSettings() override;
  void Activate() override;
  BOOL Deactivate() override;
  int RebuildContent() override;
  // The rows and the strip between them and the letter bar are drawn anew.
  void RefreshNow() override;

  void FillContextMenu(HMENU menu, LPARAM argument) override;
  void OnMenuCommand(int command) override;

  BOOL IsOneTap(CListItem* row) override;
  void OnItemReleased(CListItem* item) override;
  void OnItemNotify(CListItem* item, LPARAM value) override;

  // IContactsListener
  void OnContactChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy) override;
  void OnContactAdded(CONTACT_ITEM* contact, int count) override;
  void OnContactRemoved(CONTACT_ITEM* contact, int count) override;
  // ICategoriesListener
  void OnCategoryAdded(int index) override;
  void OnCategoryDeleted(int index) override;
  // ILetterBarListener
  void OnLetterBarChanged(int code) override;
  // IKeyLayoutSettingsOpener
  void OpenKeyLayoutSettings() override;

  CLetterBar& GetLetterBar() { return m_letterBar; }
  BOOL IsLetterBarShown() const { return m_letterBarShown; }
  const CString& GetTypedText() const { return m_typed; }
  int GetLastEntryCount() const { return m_lastCount; }
  int GetPhotoMode() const { return m_photoMode; }

 private:
  void Subscribe();
  void Unsubscribe();
  // The placements of the contacts that pass the filter and the typed search.
  void BuildEntries(std::vector<Entry>& entries, int groupBy, int single);
  BOOL MatchContact(CONTACT_ITEM* contact);
  void Rebuild();
  void PlaceLetterBar();
  BOOL ClearTyping();
  CContactListItem* AsContactRow(CListItem* item) const;

  CString m_typed;
  CLetterBar m_letterBar;
  BOOL m_subscribed;
  CCategoriesList* m_categories;
  int m_lastCount;
  BOOL m_letterBarShown;
  int m_photoMode;
};
