#include "tabs/contacts/ContactItem.h"

#include <new>

#include "base/BitmapDC.h"
#include "base/CeDbApi.h"
#include "base/ViewSettings.h"
#include "tabs/contacts/ContactPhotos.h"
#include "tabs/contacts/ContactTextPool.h"

namespace {

// Appends part after a single space, only where both sides are non-empty.
void Join(CString& text, const CContactText& part) {
  if (part.IsEmpty()) return;
  if (!text.IsEmpty()) text += L' ';
  text.Append(part, part.GetLength());
}

}  // namespace

CONTACT_ITEM::CONTACT_ITEM(DWORD itemOid, DWORD recordOid)
    : m_anniversary(kNoContactDate),
      m_birthday(kNoContactDate),
      m_birthdayEvent(-1),
      m_anniversaryEvent(-1),
      m_callerIdPhoto(0),
      m_hasNotes(FALSE),
      m_itemOid(itemOid),
      m_recordOid(recordOid),
      m_photoTried(0),
      m_photoState(kPhotoUnknown),
      m_photo(nullptr),
      m_defaultField(0),
      m_matchStart(0),
      m_matchLength(0),
      m_matchRtl(FALSE) {}

CONTACT_ITEM::CONTACT_ITEM(const CONTACT_ITEM& other) : CONTACT_ITEM(0, 0) { Assign(other); }

CONTACT_ITEM::~CONTACT_ITEM() {
  ReleasePhoto();
  if (m_textPool) m_textPool->Release();
}

void CONTACT_ITEM::HoldTextPool(CContactTextPool* pool) {
  if (pool == m_textPool) return;
  if (pool) pool->AddRef();
  if (m_textPool) m_textPool->Release();
  m_textPool = pool;
}

CONTACT_ITEM* CONTACT_ITEM::Create(DWORD itemOid, DWORD recordOid) {
  CONTACT_ITEM* item = new (std::nothrow) CONTACT_ITEM(itemOid, recordOid);
  if (item) item->CRefObjectCounted();
  return item;
}

void CONTACT_ITEM::Assign(const CONTACT_ITEM& other) {
  if (&other == this) return;
  m_anniversary = other.m_anniversary;
  m_birthday = other.m_birthday;
  // Pooled texts stay views: this record holds the other's pool from now on.
  CContactTextPool* oldPool = m_textPool;
  if (oldPool) oldPool->AddRef();
  HoldTextPool(other.m_textPool);
  m_firstName.CopyFrom(other.m_firstName);
  m_middleName.CopyFrom(other.m_middleName);
  m_lastName.CopyFrom(other.m_lastName);
  m_suffix.CopyFrom(other.m_suffix);
  m_fileAs.CopyFrom(other.m_fileAs);
  m_company.CopyFrom(other.m_company);
  m_nickname.CopyFrom(other.m_nickname);
  m_title.CopyFrom(other.m_title);
  for (int i = 0; i < kContactFieldCount; ++i) m_fields[i].CopyFrom(other.m_fields[i]);
  if (oldPool) oldPool->Release();
  m_iconName = other.m_iconName;
  m_birthdayEvent = other.m_birthdayEvent;
  m_anniversaryEvent = other.m_anniversaryEvent;
  m_callerIdPhoto = other.m_callerIdPhoto;
  m_categories = other.m_categories;
  m_hasNotes = other.m_hasNotes;
  m_itemOid = other.m_itemOid;
  m_recordOid = other.m_recordOid;
  m_photoPath = other.m_photoPath;
  m_listName = other.m_listName;
  m_popupName = other.m_popupName;
  m_defaultField = other.m_defaultField;
  m_matchStart = other.m_matchStart;
  m_matchLength = other.m_matchLength;
  m_matchRtl = other.m_matchRtl;
  // The caches belong to this copy: the photo is built again from what it now holds.
  ReleasePhoto();
  for (CString& name : m_nameByMode) name.Empty();
  m_photoState = IsNewerStore() ? other.m_photoState : kPhotoUnknown;
}

void CONTACT_ITEM::ReleasePhoto() {
  if (m_photo) delete m_photo;
  m_photo = nullptr;
  m_photoTried = 0;
}

void CONTACT_ITEM::SetHasPicture(int flag) {
  ReleasePhoto();
  m_photoState = flag ? kPhotoPresent : kPhotoNone;
  if (!flag) m_photoTried = 1;
}

CString CONTACT_ITEM::GetDefaultFieldText() {
  if (m_defaultField >= 0 && m_defaultField < kContactFieldCount && !m_fields[m_defaultField].IsEmpty())
    return m_fields[m_defaultField].ToString();
  m_defaultField = -1;
  for (int i = 0; i < kContactFieldCount; ++i)
    if (!m_fields[i].IsEmpty()) {
      m_defaultField = i;
      return m_fields[i].ToString();
    }
  return CString();
}

const CString& CONTACT_ITEM::FormatName(int mode) {
  if (mode < 0 || mode >= kNameModes) mode = 0;
  CString& cached = m_nameByMode[mode];
  if (!cached.IsEmpty()) return cached;
  CString text;
  switch (mode) {
    case 1:
      if (m_lastName.IsEmpty()) {
        if (!m_firstName.IsEmpty() && !m_middleName.IsEmpty())
          text.Format(L"%s %s", static_cast<LPCWSTR>(m_firstName), static_cast<LPCWSTR>(m_middleName));
        else if (!m_firstName.IsEmpty())
          text = m_firstName;
        else
          text = m_company;
      } else if (!m_firstName.IsEmpty() && !m_middleName.IsEmpty()) {
        text.Format(L"%s, %s %s", static_cast<LPCWSTR>(m_lastName), static_cast<LPCWSTR>(m_firstName),
                    static_cast<LPCWSTR>(m_middleName));
      } else if (!m_firstName.IsEmpty()) {
        text.Format(L"%s, %s", static_cast<LPCWSTR>(m_lastName), static_cast<LPCWSTR>(m_firstName));
      } else {
        text = m_lastName;
      }
      break;
    case 2:
      text = m_fileAs;
      if (text.IsEmpty()) text = FormatName(0);
      break;
    case 3:
      Join(text, m_title);
      Join(text, m_firstName);
      if (!m_nickname.IsEmpty()) {
        CString quoted;
        if (text.IsEmpty())
          quoted = m_nickname;
        else
          quoted.Format(L"%s \"%s\"", static_cast<LPCWSTR>(text), static_cast<LPCWSTR>(m_nickname));
        text = quoted;
      }
      Join(text, m_middleName);
      Join(text, m_lastName);
      Join(text, m_suffix);
      break;
    default:
      Join(text, m_firstName);
      Join(text, m_middleName);
      Join(text, m_lastName);
      Join(text, m_suffix);
      break;
  }
  if (text.IsEmpty()) text = m_fileAs;
  if (text.IsEmpty()) text = m_company;
  cached = text;
  return cached;
}

int CONTACT_ITEM::ListMode(int contDisplay) { return contDisplay >= 0 && contDisplay < kNameModes ? contDisplay : 0; }

int CONTACT_ITEM::PopupMode(int contDisplay) {
  switch (ListMode(contDisplay)) {
    case 0:
    case 1: return 2;
    case 2: return 1;
    default: return 3;
  }
}

void CONTACT_ITEM::ClearNameCaches() {
  for (CString& name : m_nameByMode) name.Empty();
  m_listName.Empty();
  m_popupName.Empty();
}

void CONTACT_ITEM::GetDisplayName(CString& out, BOOL force, BOOL popupForm) {
  const int setting = GetViewSettings().ContDisplay;
  if (popupForm) {
    if (m_popupName.IsEmpty() || force) m_popupName = FormatName(PopupMode(setting));
    out = m_popupName;
    return;
  }
  if (m_listName.IsEmpty() || force) {
    m_listName = FormatName(ListMode(setting));
    m_popupName.Empty();
  }
  out = m_listName;
}

int CONTACT_ITEM::FindPhoto() { return FindContactPhoto(this); }

CBitmapDC* CONTACT_ITEM::GetPhoto() {
  if (m_photoTried) return m_photo;
  m_photoTried = 1;
  m_photo = nullptr;
  if (FindPhoto() == kPhotoNone) return nullptr;
  m_photo = BuildContactPhoto(this);
  return m_photo;
}

CString FormatContactName(CONTACT_ITEM* contact, int mode) {
  if (!contact) return CString();
  return contact->FormatName(mode);
}
