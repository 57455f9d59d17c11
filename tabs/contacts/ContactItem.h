// One contact as the panel keeps it: names, the ten communication fields, the two event
// dates, categories, flags and the caches rows and popups use. Filled from a record of
// "Contacts Database" (CContactsList::ReadRecord) in either store layout; the options
// program builds an empty one for its preview row.
#pragma once
#include <windows.h>

#include "base/BitSet.h"
#include "pim/ContactSort.h"
#include "platform/windowlib/String.h"
#include "tabs/contacts/ContactFields.h"
#include "tabs/contacts/ContactText.h"
#include "tabs/contacts/FixedBlockPool.h"

class CContactTextPool;

class CBitmapDC;

// A variant date that stands for "no date".
const double kNoContactDate = 949998.0;

// Records come from a pool of blocks of their size (a load makes thousands).
class CONTACT_ITEM : public CSortableContact, public CPooledNew<CONTACT_ITEM> {
 public:
  enum PhotoState { kPhotoNone = 0, kPhotoPresent = 1, kPhotoUnknown = 2 };
  enum { kNameModes = 4 };

  CONTACT_ITEM(DWORD itemOid = 0, DWORD recordOid = 0);
  // A copy without the caches (see Assign).
  CONTACT_ITEM(const CONTACT_ITEM& other);
  ~CONTACT_ITEM() override;
  CONTACT_ITEM& operator=(const CONTACT_ITEM&) = delete;
  // A heap record with one reference; null without memory.
  static CONTACT_ITEM* Create(DWORD itemOid = 0, DWORD recordOid = 0);

  // Every field but the caches: the photo is freed, the name caches emptied; the photo
  // state is kept in the newer store and looked up again (2) in the older one.
  void Assign(const CONTACT_ITEM& other);

  // Frees the photo; flag 0 also marks it tried, so no bitmap is built.
  void SetHasPicture(int flag);
  // Frees the photo bitmap (when one was tried) and clears the tried flag.
  void ReleasePhoto();
  // The default field's text; an empty or unset default moves to the first non-empty
  // field (-1 when all are empty).
  CString GetDefaultFieldText();
  CString GetFieldText() { return GetDefaultFieldText(); }
  // Row icon of the default field.
  int GetFieldIcon() const { return ContactFieldIcon(m_defaultField); }

  // The name in mode 0-3 (another value counts as 0), cached per mode.
  const CString& FormatName(int mode);
  // List form: mode "ContDisplay"; popup form (alternative) the other order.
  // Recomputed when empty or forced; a new list form empties the popup form.
  void GetDisplayName(CString& out, BOOL force, BOOL popupForm);
  // The display modes the two forms use for a "ContDisplay" value.
  static int ListMode(int contDisplay);
  static int PopupMode(int contDisplay);
  void ClearNameCaches();

  // A contact command (ContactCommands.h): whether it was handled.
  BOOL DoCommand(int command);
  // The icon chooser with the contact's icon preselected; on OK the chosen icon is
  // linked to the contact, or the link removed when none was chosen.
  void ChooseIcon(HWND owner);

  // The photo state after looking it up once (older store: the other programs' folders).
  int FindPhoto();
  // The 36 x 36 photo (or the placeholder), built once; null when there is none.
  CBitmapDC* GetPhoto();

  // CSortableContact
  BOOL HasPhoto() const override { return m_photoState == kPhotoPresent; }
  LPCWSTR GetDisplayName() const override { return m_listName; }
  LPCWSTR GetSortText() const override { return m_company; }

  BOOL HasBirthday() const { return m_birthday != kNoContactDate; }
  BOOL HasAnniversary() const { return m_anniversary != kNoContactDate; }

  double m_anniversary;
  double m_birthday;
  // The record's texts: views into the load's text pool, or strings of their own.
  CContactText m_firstName, m_middleName, m_lastName, m_suffix, m_fileAs, m_company;
  CContactText m_nickname;
  CContactText m_title;
  CContactText m_fields[kContactFieldCount];
  CString m_iconName;
  int m_birthdayEvent;
  int m_anniversaryEvent;
  DWORD m_callerIdPhoto;
  CBitSet m_categories;
  BOOL m_hasNotes;
  DWORD m_itemOid;
  DWORD m_recordOid;
  CString m_photoPath;
  CString m_listName;
  CString m_popupName;
  BYTE m_photoTried;
  int m_photoState;
  CBitmapDC* m_photo;
  CString m_nameByMode[kNameModes];
  int m_defaultField;
  int m_matchStart;
  int m_matchLength;
  BOOL m_matchRtl;

  // The pool the pooled texts point into (a reference held), or null.
  void HoldTextPool(CContactTextPool* pool);
  CContactTextPool* GetTextPool() const { return m_textPool; }

 private:
  CContactTextPool* m_textPool = nullptr;
};

// The contact's name in a mode (the contact's cache for it).
CString FormatContactName(CONTACT_ITEM* contact, int mode);
