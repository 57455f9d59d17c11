#include "pim/NamedProps.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/DbRecord.h"

NAMED_PROPERTY g_iconNameProp = {-1, CEVT_LPWSTR, 0, L"QELTARVO_IconName"};
NAMED_PROPERTY g_piIconNameProp = {-1, 256, 0, L"PI_IconName"};

namespace {

const wchar_t kTagTable[] = L"PIMNamedPropTags";
const wchar_t kValueTable[] = L"PIMNamedPropVals";


// A draw that keeps hitting taken numbers gives way to a walk over the free ones: a
// full table ends instead of drawing forever.
const int kMaxDraws = 64;

CNamedProps::RandomSource g_random = nullptr;

// The C runtime's generator gives 15 bits; two draws cover the 16-bit space.
unsigned DrawNumber() {
  if (g_random) return g_random() & 0xFFFF;
  return (static_cast<unsigned>(rand()) ^ (static_cast<unsigned>(rand()) << 15)) & 0xFFFF;
}

const CEGUID* PimVolume(CEGUID* guid) { return GetCeDbApi()->FindPimVolume(guid) ? guid : nullptr; }

// The looked-up descriptors, so tests can make them look again.
std::vector<NAMED_PROPERTY*>& KnownProperties() {
  static std::vector<NAMED_PROPERTY*> known;
  return known;
}

}  // namespace

CString NamedValueText(const BYTE* data, DWORD size) {
  CString text;
  if (!data) return text;
  DWORD count = size / sizeof(WCHAR);
  DWORD length = 0;
  while (length < count) {
    WCHAR c;
    memcpy(&c, data + length * sizeof(WCHAR), sizeof c);
    if (!c) break;
    ++length;
  }
  if (!length) return text;
  LPWSTR buffer = text.GetBuffer(static_cast<int>(length));
  memcpy(buffer, data, length * sizeof(WCHAR));
  text.ReleaseBuffer(static_cast<int>(length));
  return text;
}

CNamedProps& CNamedProps::Instance() {
  static CNamedProps instance;
  return instance;
}

CNamedProps::CNamedProps() : m_window(nullptr), m_openCount(0) {}

CNamedProps::~CNamedProps() = default;

void CNamedProps::SetRandomSource(RandomSource source) { g_random = source; }

void CNamedProps::ForgetTags() {
  for (NAMED_PROPERTY* property : KnownProperties()) property->tag = -1;
  KnownProperties().clear();
}

BOOL CNamedProps::Open(HWND window) {
  // A second user never takes the table from under the first: every successful open
  // counts, and only the last release closes.
  if (IsOpen() && (m_window || !window)) {
    ++m_openCount;
    return TRUE;
  }
  CEGUID guid;
  const CEGUID* volume = PimVolume(&guid);
  m_values.reset(new CCeDatabase(kValueTable, this, volume, FALSE, kNamedValObject));
  if (!m_values->Open(window)) {
    m_values.reset();
    m_window = nullptr;
    m_openCount = 0;
    return FALSE;
  }
  m_window = window;
  ++m_openCount;
  return TRUE;
}

void CNamedProps::Release() {
  if (m_openCount > 0) --m_openCount;
  if (m_openCount < 1) {
    m_values.reset();
    m_window = nullptr;
  }
}

void CNamedProps::Subscribe(INamedPropsListener* listener) {
  if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
    m_listeners.push_back(listener);
}

void CNamedProps::Unsubscribe(INamedPropsListener* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

LONG CNamedProps::GetTag(NAMED_PROPERTY& property) {
  if (property.tag != -1) return property.tag;
  if (!property.name) return -1;
  CEGUID guid;
  CCeDatabase tags(kTagTable, nullptr, PimVolume(&guid), TRUE, kNamedTagName);
  if (!tags.Open()) return -1;
  HANDLE db = tags.GetHandle();

  CDbRecord record(db);
  int nameIndex = record.AddPropId(kNamedTagName);
  int tagIndex = record.AddPropId(kNamedTagTag);
  int flagsIndex = record.AddPropId(kNamedTagFlags);
  (void)nameIndex;
  CEPROPVAL key = {};
  key.propid = kNamedTagName;
  key.val.lpwstr = const_cast<LPWSTR>(property.name);
  CEOID found = 0;
  if (record.SeekAndReadByValue(reinterpret_cast<DWORD_PTR>(&key), &found, CEDB_SEEK_VALUEFIRSTEQUAL) &&
      record.HasValue(tagIndex)) {
    property.tag = record.GetLong(tagIndex, -1);
    property.flags = static_cast<DWORD>(record.GetLong(flagsIndex, 0));
    if (property.tag != -1) KnownProperties().push_back(&property);
    return property.tag;
  }
  if (!property.type) return -1;

  // Every number already taken, from one pass over the table.
  std::vector<bool> taken(0x10000, false);
  CDbRecord scan(db);
  int scanTag = scan.AddPropId(kNamedTagTag);
  DWORD index = 0;
  GetCeDbApi()->Seek(db, CEDB_SEEK_BEGINNING, 0, &index);
  while (scan.Read(0, TRUE)) {
    if (scan.HasValue(scanTag)) taken[(static_cast<DWORD>(scan.GetLong(scanTag, 0)) >> 16) & 0xFFFF] = true;
  }
  unsigned number = DrawNumber();
  for (int draw = 1; taken[number] && draw < kMaxDraws; ++draw) number = DrawNumber();
  for (unsigned step = 0; taken[number] && step < 0x10000; ++step) number = (number + 1) & 0xFFFF;
  if (taken[number]) return -1;

  LONG tag = static_cast<LONG>((number << 16) | property.type);
  CDbRecord fresh(db);
  int newName = fresh.AddPropId(kNamedTagName);
  int newTag = fresh.AddPropId(kNamedTagTag);
  int newFlags = fresh.AddPropId(kNamedTagFlags);
  if (!fresh.SetString(newName, property.name) || !fresh.SetLong(newTag, tag) ||
      !fresh.SetLong(newFlags, static_cast<LONG>(property.flags)) || !fresh.WriteRecord(0, TRUE))
    return -1;
  property.tag = tag;
  KnownProperties().push_back(&property);
  return tag;
}

CEOID CNamedProps::FindValue(CEOID objectId, LONG tag, CString* text) {
  if (!IsOpen()) return 0;
  HANDLE db = m_values->GetHandle();
  CDbRecord record(db);
  int objectIndex = record.AddPropId(kNamedValObject);
  int tagIndex = record.AddPropId(kNamedValTag);
  int dataIndex = text ? record.AddPropId(kNamedValData) : -1;
  CEPROPVAL key = {};
  key.propid = kNamedValObject;
  key.val.ulVal = objectId;
  DWORD seek = CEDB_SEEK_VALUEFIRSTEQUAL;
  for (;;) {
    CEOID oid = GetCeDbApi()->Seek(db, seek, reinterpret_cast<DWORD_PTR>(&key), nullptr);
    if (!oid) return 0;
    seek = CEDB_SEEK_VALUENEXTEQUAL;
    if (!record.Read(0, TRUE)) continue;
    if (static_cast<CEOID>(record.GetLong(objectIndex, 0)) != objectId || !record.HasValue(tagIndex) ||
        record.GetLong(tagIndex, -1) != tag)
      continue;
    if (text) {
      BYTE* data = nullptr;
      DWORD size = 0;
      *text = record.GetBlob(dataIndex, &data, &size) ? NamedValueText(data, size) : CString();
    }
    return oid;
  }
}

CEOID CNamedProps::GetValue(CEOID objectId, NAMED_PROPERTY& property, CString& text) {
  text.Empty();
  if (!IsOpen()) return 0;
  LONG tag = GetTag(property);
  if (tag == -1) return 0;
  return FindValue(objectId, tag, &text);
}

CEOID CNamedProps::SetValue(CEOID objectId, NAMED_PROPERTY& property, LPCWSTR text, INamedPropsListener* skip) {
  if (!IsOpen()) return 0;
  LONG tag = GetTag(property);
  if (tag == -1) return 0;
  CEOID existing = FindValue(objectId, tag, nullptr);
  if (!text) text = L"";
  CDbRecord record(m_values->GetHandle());
  int objectIndex = record.AddPropId(kNamedValObject);
  int tagIndex = record.AddPropId(kNamedValTag);
  int dataIndex = record.AddPropId(kNamedValData);
  CBlobObj blob;
  if (!blob.Assign(text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(WCHAR)))) return 0;
  if (!record.SetLong(objectIndex, static_cast<LONG>(objectId)) || !record.SetLong(tagIndex, tag) ||
      !record.SetBlob(dataIndex, blob))
    return 0;
  CEOID written = record.WriteRecord(existing, TRUE);
  if (!written) return 0;
  Notify(existing ? DB_CEOID_CHANGED : DB_CEOID_CREATED, written, objectId, tag, skip);
  return written;
}

BOOL CNamedProps::DeleteValue(CEOID objectId, NAMED_PROPERTY& property, INamedPropsListener* skip) {
  if (!IsOpen()) return FALSE;
  LONG tag = GetTag(property);
  if (tag == -1) return FALSE;
  CEOID existing = FindValue(objectId, tag, nullptr);
  if (!existing || !GetCeDbApi()->DeleteRecord(m_values->GetHandle(), existing)) return FALSE;
  Notify(DB_CEOID_RECORD_DELETED, existing, objectId, tag, skip);
  return TRUE;
}

void CNamedProps::Notify(UINT type, CEOID record, CEOID objectId, LONG tag, INamedPropsListener* skip) {
  CENOTIFICATION notification = {};
  notification.dwSize = sizeof notification;
  notification.uType = type;
  notification.guid = m_values->GetVolume();
  notification.oid = record;
  notification.oidParent = m_values->GetOid();
  // A listener may unsubscribe while it is told.
  std::vector<INamedPropsListener*> listeners = m_listeners;
  for (INamedPropsListener* listener : listeners)
    if (listener != skip) listener->OnNamedPropChange(&notification, tag, objectId);
}

void CNamedProps::OnNotification(const CENOTIFICATION* notification) {
  if (!notification) return;
  LONG tag = -1;
  CEOID objectId = 0;
  if (IsOpen() && notification->oid) {
    CDbRecord record(m_values->GetHandle());
    int objectIndex = record.AddPropId(kNamedValObject);
    int tagIndex = record.AddPropId(kNamedValTag);
    if (record.Read(notification->oid, TRUE) && record.HasValue(tagIndex)) {
      tag = record.GetLong(tagIndex, -1);
      objectId = static_cast<CEOID>(record.GetLong(objectIndex, 0));
    }
  }
  std::vector<INamedPropsListener*> listeners = m_listeners;
  for (INamedPropsListener* listener : listeners) listener->OnNamedPropChange(notification, tag, objectId);
}

void CNamedProps::OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase*) {
  OnNotification(notification);
}
