#include "tabs/contacts/ContactsList.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "base/CeDbApi.h"
#include "base/DateTime.h"
#include "base/DbRecord.h"
#include "base/MergeSort.h"
#include "graphics/Dib.h"
#include "graphics/FileStream.h"
#include "pim/CategoriesList.h"
#include "pim/IconProviderRef.h"
#include "pim/LocaleSortKey.h"
#include "tabs/contacts/ContactDetails.h"
#include "tabs/contacts/ContactNoteViewer.h"
#include "tabs/contacts/ContactTextPool.h"
#include "tabs/contacts/OndrelContactRequests.h"

namespace {

const wchar_t kDatabaseName[] = L"Contacts Database";
const CEPROPID kPictureStream = 0x00FF0064;
const DWORD kNewerItemFlag = 0x80000000;
const CEPROPID kLegacyDefaultField = 0x00500003;
const CEPROPID kNewerDefaultField = 0x00F80013;
const CEPROPID kLegacyNotes = 0x00170041;
const CEPROPID kNewerNotes = 0x001E0064;

// Read-list positions; fields 0-9 follow the names.
enum {
  kAnniversary, kBirthday, kFirstName, kMiddleName, kLastName, kSuffix, kFileAs, kCompany, kField0,
  kNotes = kField0 + kContactFieldCount, kCategories, kSlot20, kSlot21, kTitle, kCallerId, kLegacyCount = kCallerId + 1,
  kNewerCount = kCallerId
};
// Slots 20 and 21 differ: the older layout keeps the default field and the icon name
// there, the newer one the item identifier and the default field.
const CEPROPID kLegacyNames[kLegacyCount] = {
    0x40030040, 0x40010040, 0x3A06001F, 0x4024001F, 0x3A11001F, 0x3A05001F, 0x4013001F, 0x3A16001F, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0x00170041, 0x00160041, 0x00500003, 0x2A08001F, 0x4023001F, 0x16880013};
const CEPROPID kNewerNames[kNewerCount] = {
    0x00F10040, 0x00F00040, 0x0082001F, 0x0083001F, 0x0084001F, 0x0085001F, 0x0080001F, 0x008A001F, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0x001E0064, 0x200F0012, kRecordIdPropId, 0x00F80013, 0x0081001F};

const CEPROPID kLegacyDetails[CONTACT_DETAILS::kDetailTexts] = {0x3A17001F, 0x4093001F, 0x40A3001F, 0x4008001F,
                                                                0,          0x4004001F, 0x4002001F};
const CEPROPID kNewerDetails[CONTACT_DETAILS::kDetailTexts] = {0x008C001F, 0x0091001F, 0x0092001F, 0x00A7001F,
                                                               0x00A0001F, 0x00A1001F, 0x008F001F};
const CEPROPID kLegacyAddressStart[CONTACT_DETAILS::kAddresses] = {0x4045001F, 0x4040001F, 0x404A001F};
const CEPROPID kNewerAddressStart[CONTACT_DETAILS::kAddresses] = {0x00C1001F, 0x00D1001F, 0x00E1001F};

// A text value: null when the field is to be left alone (no entry, another type than
// text), else the text ("" for a missing or deleted value, which empties the field).
LPCWSTR TextOf(const CEPROPVAL* entry) {
  if (!entry) return nullptr;
  if (entry->wFlags & (CEDB_PROPNOTFOUND | CEDB_PROPDELETE)) return L"";
  if (TypeFromPropID(entry->propid) != CEVT_LPWSTR) return nullptr;
  return entry->val.lpwstr ? entry->val.lpwstr : L"";
}

LPCWSTR TextValue(const CDbRecord& reader, int index) { return TextOf(reader.GetPropVal(index)); }

void ReadText(const CDbRecord& reader, int index, CString& field) {
  if (LPCWSTR text = TextValue(reader, index)) field = text;
}

// A record's text: into the load's pool when there is one (the record holds it), else
// a string of its own.
void KeepText(LPCWSTR text, CContactText& field, CContactTextPool* pool) {
  const int length = static_cast<int>(wcslen(text));
  LPCWSTR kept = pool && length > 0 ? pool->Add(text, length) : nullptr;
  if (kept)
    field.SetPooled(kept, length);
  else
    field = text;
}

void ReadText(const CDbRecord& reader, int index, CContactText& field, CContactTextPool* pool) {
  if (LPCWSTR text = TextValue(reader, index)) KeepText(text, field, pool);
}

// Longest run of a record's text values kept with one copy (longer runs hold something
// else between the texts, such as a note).
const size_t kMaxTextRun = 0x8000;

// The texts of read-list entries first, first + 1, ... into fields, for a load. A record's
// text values lie together in the buffer it was read into, so that run goes into the
// load's pool with one copy and each field becomes a view into the copy, its length
// counted only when asked for. Texts that do not lie so are copied one by one.
void ReadTexts(const CDbRecord& reader, int first, CContactText* const* fields, int count, CContactTextPool* pool) {
  enum { kMost = 16 };
  LPCWSTR texts[kMost];
  if (count > kMost) count = kMost;
  // The read list's entries lie in one array: with its last one read, so are the others.
  const CEPROPVAL* entries = reader.GetPropVal(first + count - 1) ? reader.GetPropVal(first) : nullptr;
  uintptr_t low = 0, high = 0;
  for (int i = 0; i < count; ++i) {
    texts[i] = entries ? TextOf(entries + i) : TextValue(reader, first + i);
    if (!texts[i] || !texts[i][0]) continue;
    const uintptr_t at = reinterpret_cast<uintptr_t>(texts[i]);
    if (!low || at < low) low = at;
    if (at > high) high = at;
  }
  LPCWSTR run = nullptr;
  if (pool && low && (high - low) % sizeof(WCHAR) == 0) {
    const size_t chars = (high - low) / sizeof(WCHAR) + wcslen(reinterpret_cast<LPCWSTR>(high));
    bool aligned = true;
    for (int i = 0; i < count && aligned; ++i)
      if (texts[i] && texts[i][0]) aligned = (reinterpret_cast<uintptr_t>(texts[i]) - low) % sizeof(WCHAR) == 0;
    if (aligned && chars < kMaxTextRun) run = pool->Add(reinterpret_cast<LPCWSTR>(low), static_cast<int>(chars));
  }
  for (int i = 0; i < count; ++i) {
    if (!texts[i]) continue;
    if (!texts[i][0])
      fields[i]->Empty();
    else if (run)
      fields[i]->SetPooled(run + (reinterpret_cast<uintptr_t>(texts[i]) - low) / sizeof(WCHAR));
    else
      KeepText(texts[i], *fields[i], pool);
  }
}

double ReadDate(const CDbRecord& reader, int index) {
  FILETIME time;
  if (!reader.GetFileTime(index, &time, 0, 0)) return kNoContactDate;
  double date = kNoContactDate;
  if (!FileTimeToVariantDate(time, &date)) return kNoContactDate;
  return date;
}

HANDLE OpenPlain() {
  return GetCeDbApi()->OpenDatabase(kDatabaseName, FALSE, 0, nullptr, nullptr);
}

// Day ordinal of a variant date, safe for any value.
int DayNumber(double date) {
  if (!(date > -1e6 && date < 3e6)) return 0;
  return static_cast<int>(date);
}

const DWORD kEventNameFlags = NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH;

// Events by their day in 2000; the names of one day are ordered when that day is asked for.
int CompareEventDays(void*, CSpecialEventItem* a, CSpecialEventItem* b) {
  int da = DayNumber(a->m_dayIn2000), db = DayNumber(b->m_dayIn2000);
  return da == db ? 0 : (da < db ? -1 : 1);
}

// An event of a day with its name's sort key, worked out once.
struct NamedEvent {
  CSpecialEventItem* event;
  std::vector<BYTE> key;
};

int CompareNamedEvents(void*, const NamedEvent* a, const NamedEvent* b) {
  return CompareLocaleSortKeys(a->key, b->key);
}

}  // namespace

CContactsList::CContactsList()
    : m_feb29(0),
      m_eventCursor(0),
      m_cursorDay(-1),
      m_jan1(0),
      m_dec31(0),
      m_fieldTable(GetContactFieldTable()),
      m_contactCursor(0),
      m_db(INVALID_HANDLE_VALUE),
      m_notifyWindow(nullptr),
      m_request{},
      m_loaded(FALSE),
      m_requests(nullptr),
      m_noteViewer(nullptr),
      m_loadPool(nullptr),
      m_eventsBuilt(FALSE) {
  SYSTEMTIME t = {};
  t.wYear = 2000;
  t.wMonth = 1;
  t.wDay = 1;
  double date = 0;
  SystemTimeToVariantDate(t, &date);
  m_jan1 = DayNumber(date);
  t.wMonth = 12;
  t.wDay = 31;
  SystemTimeToVariantDate(t, &date);
  m_dec31 = DayNumber(date);
  t.wMonth = 2;
  t.wDay = 29;
  SystemTimeToVariantDate(t, &date);
  m_feb29 = DayNumber(date);
}

CContactsList::~CContactsList() { Close(); }

CContactsList& CContactsList::GetGlobal() {
  static CContactsList list;
  return list;
}

void CContactsList::SetNotifyWindow(HWND window) {
  const BOOL moved = window != m_notifyWindow && m_db != INVALID_HANDLE_VALUE;
  m_notifyWindow = window;
  m_fieldTable = GetContactFieldTable();
  if (moved) {
    // Notices go to the window the database was opened with: the handle is opened
    // again for the new one, and the loaded records stay as they are.
    CloseHandle(m_db);
    m_db = INVALID_HANDLE_VALUE;
    if (window) OpenDatabase();
  }
}

void CContactsList::AddListener(IContactsListener* listener) {
  if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
    m_listeners.push_back(listener);
}

void CContactsList::RemoveListener(IContactsListener* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

CONTACT_ITEM* CContactsList::GetAt(int index) const {
  return index >= 0 && index < GetCount() ? m_contacts[index] : nullptr;
}

int CContactsList::GetEventCount() {
  BuildEvents();
  return EventCount();
}

CSpecialEventItem* CContactsList::GetEventAt(int index) {
  BuildEvents();
  if (index < 0 || index >= EventCount()) return nullptr;
  OrderNamesOfDay(DayNumber(m_events[index]->m_dayIn2000));
  return m_events[index];
}

int CContactsList::FindIndexByOid(DWORD itemOid) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_contacts[i]->m_itemOid == itemOid) return i;
  return -1;
}

int CContactsList::FindIndexByRecordOid(DWORD recordOid) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_contacts[i]->m_recordOid == recordOid) return i;
  return -1;
}

CONTACT_ITEM* CContactsList::FindByOid(DWORD itemOid) const { return GetAt(FindIndexByOid(itemOid)); }

void CContactsList::FreeAll() {
  for (CONTACT_ITEM* c : m_contacts) c->Release();
  for (CSpecialEventItem* e : m_events) e->Release();
  m_contacts.clear();
  m_events.clear();
  m_namesOrdered.clear();
  m_eventsBuilt = FALSE;
  m_eventCursor = 0;
  m_contactCursor = 0;
}

void CContactsList::Close() {
  if (m_db != INVALID_HANDLE_VALUE) CloseHandle(m_db);
  m_db = INVALID_HANDLE_VALUE;
  m_loaded = FALSE;
  FreeAll();
}

BOOL CContactsList::OpenDatabase() {
  if (m_db != INVALID_HANDLE_VALUE) return TRUE;
  if (!m_notifyWindow) return FALSE;
  m_fieldTable = GetContactFieldTable();
  m_request = CENOTIFYREQUEST{};
  m_request.dwSize = sizeof(CENOTIFYREQUEST);
  m_request.hwnd = m_notifyWindow;
  m_request.dwFlags = CEDB_EXNOTIFICATION;
  m_request.hHeap = nullptr;
  m_request.dwParam = reinterpret_cast<DWORD_PTR>(this);
  m_db = GetCeDbApi()->OpenDatabase(kDatabaseName, TRUE, 0, &m_request, nullptr);
  return m_db != INVALID_HANDLE_VALUE;
}

BOOL CContactsList::Open() {
  m_cursorDay = -1;
  if (!OpenDatabase()) return FALSE;
  LoadAll();
  return TRUE;
}

void CContactsList::LoadAll() {
  FreeAll();
  m_loadPool = CContactTextPool::Create();
  GetCeDbApi()->Seek(m_db, CEDB_SEEK_BEGINNING, 0, nullptr);
  CDbRecord reader(m_db);
  PrepareReadList(reader);
  for (;;) {
    CONTACT_ITEM* item = CONTACT_ITEM::Create();
    if (!item) break;
    if (!ReadInto(reader, item)) {
      item->Release();
      break;
    }
    m_contacts.push_back(item);
  }
  // Records read later (notifications) get strings of their own.
  if (m_loadPool) m_loadPool->Release();
  m_loadPool = nullptr;
  m_loaded = TRUE;
}

void CContactsList::BuildEvents() {
  if (m_eventsBuilt || !m_loaded) return;
  m_eventsBuilt = TRUE;
  BOOL added = FALSE;
  for (int i = 0; i < GetCount(); ++i) AddEvents(m_contacts[i], i, &added);
  SortEvents();
}

void CContactsList::PrepareReadList(CDbRecord& reader) const {
  const bool newer = IsNewerStore() != FALSE;
  const CEPROPID* names = newer ? kNewerNames : kLegacyNames;
  const CEPROPID* fields = GetContactFieldTable(newer);
  const int count = newer ? kNewerCount : kLegacyCount;
  for (int i = 0; i < count; ++i)
    reader.AddPropId(i >= kField0 && i < kNotes ? fields[i - kField0] : names[i]);
}

BOOL CContactsList::HasPicture() {
  if (!IsNewerStore() || m_db == INVALID_HANDLE_VALUE) return FALSE;
  CCeDbApi* api = GetCeDbApi();
  if (!api->m_pfnOpenStream || !api->m_pfnStreamRead) return FALSE;
  HANDLE stream = api->m_pfnOpenStream(m_db, kPictureStream, GENERIC_READ);
  if (!stream || stream == INVALID_HANDLE_VALUE) return FALSE;
  BYTE head[8];
  DWORD read = 0;
  BOOL ok = api->m_pfnStreamRead(stream, head, sizeof head, &read);
  CloseHandle(stream);
  return ok && read == sizeof head;
}

BOOL CContactsList::ReadRecord(CONTACT_ITEM* item) {
  if (!item || m_db == INVALID_HANDLE_VALUE) return FALSE;
  CDbRecord reader(m_db);
  PrepareReadList(reader);
  return ReadInto(reader, item);
}

BOOL CContactsList::ReadInto(CDbRecord& reader, CONTACT_ITEM* item) {
  const bool newer = IsNewerStore() != FALSE;
  // The bitmap of what the record held before is of no use any more.
  item->ReleasePhoto();
  if (newer) {
    if (item->m_itemOid) {
      if (!reader.Seek(item->m_itemOid, FALSE)) return FALSE;
    } else if (item->m_recordOid) {
      if (!reader.Seek(item->m_recordOid, TRUE)) return FALSE;
    }
    BOOL picture = HasPicture();
    item->m_photoState = picture ? CONTACT_ITEM::kPhotoPresent : CONTACT_ITEM::kPhotoNone;
    if (!picture) item->m_photoTried = 1;
  } else {
    // Both identifiers are the CE record here.
    CEOID wanted = item->m_itemOid ? item->m_itemOid : item->m_recordOid;
    if (wanted && !reader.Seek(wanted, TRUE)) return FALSE;
  }
  CEOID oid = reader.Read(0, TRUE);
  if (!oid) return FALSE;
  // The older layout fills the record identifier too, so that a lookup by record finds
  // the contact in either layout.
  item->m_itemOid = oid;
  item->m_recordOid = oid;

  item->m_anniversary = ReadDate(reader, kAnniversary);
  item->m_birthday = ReadDate(reader, kBirthday);
  // A load keeps its texts in its pool; a record read on its own, or one that already
  // points into another pool, gets strings of its own.
  CContactTextPool* pool =
      m_loadPool && (!item->GetTextPool() || item->GetTextPool() == m_loadPool) ? m_loadPool : nullptr;
  if (pool) item->HoldTextPool(pool);
  CContactText* const texts[kNotes - kFirstName] = {
      &item->m_firstName, &item->m_middleName, &item->m_lastName,  &item->m_suffix,    &item->m_fileAs,
      &item->m_company,   &item->m_fields[0],  &item->m_fields[1], &item->m_fields[2], &item->m_fields[3],
      &item->m_fields[4], &item->m_fields[5],  &item->m_fields[6], &item->m_fields[7], &item->m_fields[8],
      &item->m_fields[9]};
  static_assert(kField0 - kFirstName == 6 && kContactFieldCount == 10, "the read list's texts");
  ReadTexts(reader, kFirstName, texts, kNotes - kFirstName, pool);
  ReadText(reader, kTitle, item->m_title, pool);
  item->m_hasNotes = HasNoteValue(reader, kNotes);

  const int defaultSlot = newer ? kSlot21 : kSlot20;
  if (newer) {
    DWORD id = static_cast<DWORD>(reader.GetLong(kSlot20, 0));
    item->m_itemOid = id | kNewerItemFlag;
  } else {
    item->m_callerIdPhoto = static_cast<DWORD>(reader.GetLong(kCallerId, 0));
  }

  item->m_categories.Clear();
  if (CCategoriesList* categories = CCategoriesList::GetCurrent()) {
    if (newer) {
      categories->ReadItemCategories(item->m_itemOid, item->m_categories);
    } else {
      BYTE* data = nullptr;
      DWORD size = 0;
      if (reader.GetBlob(kCategories, &data, &size)) categories->ReadCategoryBits(data, size, item->m_categories);
    }
  }

  LONG stored = 0;
  item->m_defaultField = reader.GetLong(defaultSlot, &stored, 0)
                             ? ContactFieldIndex(m_fieldTable, static_cast<CEPROPID>(stored))
                             : 0;
  item->m_birthdayEvent = -1;
  item->m_anniversaryEvent = -1;

  CString storedIcon;
  if (!newer) ReadText(reader, kSlot21, storedIcon);
  CString icon = CIconProviderRef::GetIconName(item->m_itemOid);
  item->m_iconName = icon.IsEmpty() ? storedIcon : icon;
  return TRUE;
}

BOOL CContactsList::ReadContactDetails(CONTACT_DETAILS* details, BOOL read) {
  if (!details) return FALSE;
  if (!OpenDatabase()) return FALSE;
  if (read && !ReadRecord(details)) return FALSE;
  const bool newer = IsNewerStore() != FALSE;
  CDbRecord reader(m_db);
  const CEPROPID* texts = newer ? kNewerDetails : kLegacyDetails;
  int first = -1;
  for (int i = 0; i < CONTACT_DETAILS::kDetailTexts; ++i) {
    int index = reader.AddPropId(texts[i] ? texts[i] : 0xFFFF001F);
    if (first < 0) first = index;
  }
  const CEPROPID* starts = newer ? kNewerAddressStart : kLegacyAddressStart;
  for (int a = 0; a < CONTACT_DETAILS::kAddresses; ++a)
    for (int p = 0; p < CONTACT_DETAILS::kAddressParts; ++p) reader.AddPropId(starts[a] + (p << 16));
  CEOID target = newer ? details->m_recordOid : details->m_itemOid;
  if (!target || !reader.Read(target, TRUE)) return FALSE;
  int index = first;
  for (int i = 0; i < CONTACT_DETAILS::kDetailTexts; ++i, ++index) {
    details->m_details[i].Empty();
    if (texts[i]) ReadText(reader, index, details->m_details[i]);
  }
  for (int a = 0; a < CONTACT_DETAILS::kAddresses; ++a)
    for (int p = 0; p < CONTACT_DETAILS::kAddressParts; ++p, ++index) {
      details->m_addresses[a][p].Empty();
      ReadText(reader, index, details->m_addresses[a][p]);
    }
  return TRUE;
}

IContactRequests& CContactsList::GetRequests() {
  return m_requests ? *m_requests : COndrelContactRequests::Instance();
}

LRESULT CContactsList::DeleteContact(DWORD itemOid) { return GetRequests().DeleteContact(itemOid); }

int CContactsList::GetDefaultField(DWORD itemOid) {
  if (!itemOid) return -1;
  // The newer store keeps the default in its own property, on the record its item
  // identifier names; the item oid is no record there.
  const bool newer = IsNewerStore() != FALSE;
  HANDLE db = m_db != INVALID_HANDLE_VALUE ? m_db : OpenPlain();
  if (db == INVALID_HANDLE_VALUE) return -1;
  CDbRecord reader(db);
  int index = reader.AddPropId(newer ? kNewerDefaultField : kLegacyDefaultField);
  int result = -1;
  if (reader.Read(itemOid, newer ? FALSE : TRUE)) {
    LONG stored = 0;
    if (reader.GetLong(index, &stored, 0))
      result = ContactFieldIndex(GetContactFieldTable(newer), static_cast<CEPROPID>(stored));
  }
  if (db != m_db) CloseHandle(db);
  return result;
}

BOOL CContactsList::SetDefaultField(DWORD itemOid, int index) {
  if (index < 0 || index >= kContactFieldCount) return FALSE;
  if (CONTACT_ITEM* contact = FindByOid(itemOid)) contact->m_defaultField = index;
  if (m_db == INVALID_HANDLE_VALUE) return FALSE;
  const bool newer = IsNewerStore() != FALSE;
  CDbRecord writer(m_db);
  int slot = writer.AddPropId(newer ? kNewerDefaultField : kLegacyDefaultField);
  if (!writer.SetLong(slot, static_cast<LONG>(m_fieldTable[index]))) return FALSE;
  // The newer store finds the record by its item identifier.
  return writer.WriteRecord(itemOid, newer ? FALSE : TRUE) != 0;
}

BOOL CContactsList::DisplayNote(HWND owner, const RECT& rect, DWORD itemOid) {
  if (!itemOid || !OpenDatabase()) return FALSE;
  CONTACT_ITEM contact(itemOid, 0);
  CString title;
  if (ReadRecord(&contact)) contact.GetDisplayName(title, TRUE, FALSE);
  const bool newer = IsNewerStore() != FALSE;
  CDbRecord reader(m_db);
  int index = reader.AddPropId(newer ? kNewerNotes : kLegacyNotes);
  if (!reader.Read(itemOid, newer ? FALSE : TRUE)) return FALSE;
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!reader.GetBlob(index, &data, &size) || !data || size == 0) return FALSE;
  if (!m_noteViewer) return FALSE;
  return m_noteViewer->ShowInk(owner, rect, title, data, size);
}

CDib* CContactsList::OpenPictureStream(DWORD recordOid) {
  if (!IsNewerStore() || !recordOid) return nullptr;
  CCeDbApi* api = GetCeDbApi();
  if (!api->m_pfnOpenStream) return nullptr;
  HANDLE db = OpenPlain();
  if (db == INVALID_HANDLE_VALUE) return nullptr;
  CDib* picture = nullptr;
  if (api->Seek(db, CEDB_SEEK_CEOID, recordOid, nullptr) == recordOid) {
    HANDLE stream = api->m_pfnOpenStream(db, kPictureStream, GENERIC_READ);
    if (stream && stream != INVALID_HANDLE_VALUE) {
      CFileStream file(stream);
      picture = new (std::nothrow) CDib();
      if (picture && !picture->LoadWithImaging(&file)) {
        delete picture;
        picture = nullptr;
      }
    }
  }
  CloseHandle(db);
  return picture;
}

int CContactsList::DayInYear2000(double day) {
  SYSTEMTIME parts = {};
  if (!VariantDateToSystemTime(day, &parts)) return 0;
  return DayInYear2000(parts);
}

int CContactsList::DayInYear2000(const SYSTEMTIME& parts) {
  // Days before each month of 2000 (a leap year), counted from 1 January 2000 (36526).
  static const int kBefore[12] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
  static const int kLength[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int month = parts.wMonth, dayOfMonth = parts.wDay;
  if (month < 1 || month > 12 || dayOfMonth < 1 || dayOfMonth > kLength[month - 1]) return 0;
  return 36526 + kBefore[month - 1] + dayOfMonth - 1;
}

void CContactsList::AddEvents(CONTACT_ITEM* contact, int index, BOOL* added) {
  for (int kind : {CSpecialEventItem::kBirthday, CSpecialEventItem::kAnniversary}) {
    if (kind == CSpecialEventItem::kBirthday ? !contact->HasBirthday() : !contact->HasAnniversary()) continue;
    CSpecialEventItem* event = CSpecialEventItem::Create(this);
    if (!event) continue;
    event->Init(contact, kind, index);
    m_events.push_back(event);
    *added = TRUE;
  }
}

BOOL CContactsList::RemoveEvents(CONTACT_ITEM* contact) {
  BOOL removed = FALSE;
  int birthday = contact->m_birthdayEvent;
  int anniversary = contact->m_anniversaryEvent;
  if (birthday >= 0 && birthday < EventCount()) {
    m_events[birthday]->Release();
    m_events.erase(m_events.begin() + birthday);
    if (anniversary > birthday) --anniversary;
    removed = TRUE;
  }
  if (anniversary >= 0 && anniversary < EventCount()) {
    m_events[anniversary]->Release();
    m_events.erase(m_events.begin() + anniversary);
    removed = TRUE;
  }
  contact->m_birthdayEvent = -1;
  contact->m_anniversaryEvent = -1;
  return removed;
}

void CContactsList::SortEvents() {
  // Stable: a day whose names were ordered keeps that order until it is asked for again.
  if (m_events.size() > 1) MergeSort(m_events.data(), EventCount(), static_cast<void*>(nullptr), CompareEventDays);
  m_namesOrdered.assign(kDaysIn2000, 0);
  NoteEventIndices(0, EventCount());
}

void CContactsList::NoteEventIndices(int from, int to) {
  for (int i = from; i < to; ++i) {
    CSpecialEventItem* event = m_events[i];
    CONTACT_ITEM* contact = GetAt(event->m_contactIndex);
    if (!contact) continue;
    if (event->m_kind == CSpecialEventItem::kAnniversary)
      contact->m_anniversaryEvent = i;
    else
      contact->m_birthdayEvent = i;
  }
}

void CContactsList::OrderNamesOfDay(int day) {
  const int slot = day - m_jan1;
  if (slot < 0 || slot >= kDaysIn2000) return;
  if (m_namesOrdered.size() != static_cast<size_t>(kDaysIn2000)) m_namesOrdered.assign(kDaysIn2000, 0);
  if (m_namesOrdered[slot]) return;
  auto first = std::lower_bound(m_events.begin(), m_events.end(), day,
                                [](CSpecialEventItem* e, int d) { return DayNumber(e->m_dayIn2000) < d; });
  auto last = first;
  while (last != m_events.end() && DayNumber((*last)->m_dayIn2000) == day) ++last;
  const int count = static_cast<int>(last - first);
  if (count > 1) {
    // Sort keys order the names as the locale's comparison does, at one mapping per name.
    std::vector<NamedEvent> named(count);
    std::vector<NamedEvent*> order(count);
    for (int i = 0; i < count; ++i) {
      named[i].event = first[i];
      const CString& name = first[i]->GetName(FALSE);
      MakeLocaleSortKey(name, name.GetLength(), kEventNameFlags, &named[i].key);
      order[i] = &named[i];
    }
    if (MergeSort(order.data(), count, static_cast<void*>(nullptr), CompareNamedEvents) < 0) return;
    for (int i = 0; i < count; ++i) first[i] = order[i]->event;
    const int at = static_cast<int>(first - m_events.begin());
    NoteEventIndices(at, at + count);
  }
  m_namesOrdered[slot] = 1;
}

BOOL CContactsList::GetFirst(CONTACT_ITEM** contact) {
  if (!m_loaded && !Open()) {
    if (contact) *contact = nullptr;
    return FALSE;
  }
  m_contactCursor = 0;
  return GetNext(contact);
}

BOOL CContactsList::GetNext(CONTACT_ITEM** contact) {
  if (m_contactCursor < 0 || m_contactCursor >= GetCount()) {
    if (contact) *contact = nullptr;
    return FALSE;
  }
  if (contact) *contact = m_contacts[m_contactCursor];
  ++m_contactCursor;
  return TRUE;
}

int CContactsList::GetEventsOfDay(double day, std::vector<CSpecialEventItem*>& list) {
  const int d = DayInYear2000(day);
  int found = -1;
  if (m_loaded || Open()) BuildEvents();
  if (m_loaded && !m_events.empty()) {
    found = 0;
    for (int i = 0; i < EventCount(); ++i)
      if (DayNumber(m_events[i]->m_dayIn2000) >= d) {
        found = i;
        break;
      }
  }
  m_cursorDay = d;
  if (found < 0) {
    m_eventCursor = 0;
    list.clear();
    return 0;
  }
  m_eventCursor = found;
  return GetNextEventDay(list);
}

int CContactsList::GetNextEventDay(std::vector<CSpecialEventItem*>& list) {
  list.clear();
  BuildEvents();
  if (m_events.empty()) return 0;
  const int count = EventCount();
  int at = m_eventCursor >= 0 && m_eventCursor < count ? m_eventCursor : 0;
  OrderNamesOfDay(m_cursorDay);
  const int first = at;
  while (DayNumber(m_events[at]->m_dayIn2000) == m_cursorDay) {
    list.push_back(m_events[at]);
    at = (at + 1) % count;
    if (at == first) break;
  }
  m_eventCursor = at;
  m_cursorDay = m_cursorDay + 1 > m_dec31 ? m_jan1 : m_cursorDay + 1;
  return static_cast<int>(list.size());
}

int CContactsList::GetEventsOnDate(double date, std::vector<CSpecialEventItem*>& list) {
  list.clear();
  if (!m_loaded && !Open()) return 0;
  BuildEvents();
  if (m_cursorDay < 0) m_cursorDay = 0;
  SYSTEMTIME parts = {};
  if (!VariantDateToSystemTime(date, &parts)) return 0;
  OrderNamesOfDay(DayInYear2000(date));
  for (CSpecialEventItem* event : m_events)
    if (event->m_parts.wMonth == parts.wMonth && event->m_parts.wDay == parts.wDay) list.push_back(event);
  return static_cast<int>(list.size());
}

void CContactsList::TellChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy) {
  // A listener may remove itself while being told.
  std::vector<IContactsListener*> listeners = m_listeners;
  for (IContactsListener* l : listeners) l->OnContactChanged(contact, oldCopy);
}

BOOL CContactsList::OnDBNotification(CENOTIFICATION* notification, BOOL synthetic) {
  if (!notification) return FALSE;
  if (CCategoriesList* categories = CCategoriesList::GetCurrent()) categories->OpenDatabases();
  // What the steps below need is copied before the notification may be freed.
  const UINT code = notification->uType;
  DWORD oid = notification->oid;
  if (!synthetic) CeFreeNotification(&m_request, notification);
  if (!m_loaded) return FALSE;
  if (code == kResetAll) {
    FreeAll();
    m_loaded = FALSE;
    TellChanged(nullptr, nullptr);
    return TRUE;
  }
  // The changes below keep the events up to date, so they are made first.
  BuildEvents();
  const bool newer = IsNewerStore() != FALSE;
  int index;
  if (newer) {
    index = FindIndexByRecordOid(oid);
    if (index < 0 && synthetic) {
      index = FindIndexByOid(oid);
      if (index >= 0) oid = m_contacts[index]->m_recordOid;
    }
  } else {
    index = FindIndexByOid(oid);
  }
  std::unique_ptr<CONTACT_ITEM> fresh;
  BOOL read = FALSE;
  if (code != kRecordDeleted) {
    fresh.reset(new (std::nothrow) CONTACT_ITEM(newer ? 0 : oid, newer ? oid : 0));
    read = fresh && ReadRecord(fresh.get());
  }
  if (index < 0) {
    if (!read) return FALSE;
    CONTACT_ITEM* contact = CONTACT_ITEM::Create();
    if (!contact) return FALSE;
    contact->Assign(*fresh);
    m_contacts.push_back(contact);
    BOOL added = FALSE;
    AddEvents(contact, GetCount() - 1, &added);
    if (added) SortEvents();
    std::vector<IContactsListener*> listeners = m_listeners;
    for (IContactsListener* l : listeners) l->OnContactAdded(contact, 1);
    return TRUE;
  }
  CONTACT_ITEM* contact = m_contacts[index];
  if (read) {
    std::unique_ptr<CONTACT_ITEM> oldCopy(new (std::nothrow) CONTACT_ITEM(*contact));
    // The events to remove are those of the contact as it was.
    const int birthday = contact->m_birthdayEvent, anniversary = contact->m_anniversaryEvent;
    contact->Assign(*fresh);
    contact->m_birthdayEvent = birthday;
    contact->m_anniversaryEvent = anniversary;
    BOOL changed = RemoveEvents(contact);
    AddEvents(contact, index, &changed);
    if (changed) SortEvents();
    TellChanged(contact, oldCopy.get());
    return TRUE;
  }
  // Deleted, or gone by the time it was read.
  m_contacts.erase(m_contacts.begin() + index);
  BOOL changed = RemoveEvents(contact);
  for (CSpecialEventItem* event : m_events)
    if (event->m_contactIndex > index) {
      --event->m_contactIndex;
      changed = TRUE;
    }
  if (changed) SortEvents();
  std::vector<IContactsListener*> listeners = m_listeners;
  for (IContactsListener* l : listeners) l->OnContactRemoved(contact, 1);
  contact->Release();
  return TRUE;
}
