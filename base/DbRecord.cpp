#include "base/DbRecord.h"

#include <cstring>

#include "base/DateTime.h"

namespace {

const WORD kMissing = CEDB_PROPNOTFOUND | CEDB_PROPDELETE;

BYTE* Allocate(HANDLE heap, DWORD size) {
  void* p = heap ? HeapAlloc(heap, HEAP_ZERO_MEMORY, size) : LocalAlloc(LPTR, size);
  return static_cast<BYTE*>(p);
}

void Release(HANDLE heap, BYTE* p) {
  if (!p) return;
  if (heap)
    HeapFree(heap, 0, p);
  else
    LocalFree(p);
}

bool IsLongType(WORD type) {
  return type == CEVT_I2 || type == CEVT_UI2 || type == CEVT_I4 || type == CEVT_UI4 || type == CEVT_BOOL ||
         type == CEVT_RECID || type == CEVT_AUTO_I4;
}

bool IsVariable(WORD type) { return type == CEVT_LPWSTR || type == CEVT_BLOB || type == CEVT_STREAM; }

}  // namespace

CDbRecord::CDbRecord(HANDLE db)
    : m_api(GetCeDbApi()),
      m_db(db),
      m_buffer(nullptr),
      m_bufferSize(0),
      m_entryCount(0),
      m_bufferHeap(nullptr),
      m_seekPropId(kRecordIdPropId) {}

CDbRecord::~CDbRecord() { FreeBuffers(); }

int CDbRecord::AddPropId(CEPROPID id) {
  m_ids.push_back(id);
  return static_cast<int>(m_ids.size()) - 1;
}

void CDbRecord::ReleaseBuffer() {
  Release(m_bufferHeap, m_buffer);
  m_buffer = nullptr;
  m_bufferSize = 0;
  m_entryCount = 0;
  m_bufferHeap = nullptr;
}

void CDbRecord::FreeBuffers() {
  ReleaseBuffer();
  for (CBlobObj* blob : m_writeBuffers) delete blob;
  m_writeBuffers.clear();
}

CEOID CDbRecord::Seek(CEOID oid, BOOL byOid, DWORD* index) {
  if (IsNewerStore() && !byOid) {
    CEPROPVAL value;
    memset(&value, 0, sizeof value);
    value.propid = m_seekPropId;
    value.wLenData = 4;
    value.val.ulVal = oid & 0x0FFFFFFF;
    CEOID found = m_api->Seek(m_db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&value), index);
    if (!found)
      found = m_api->Seek(m_db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&value), nullptr);
    return found;
  }
  CEOID found = m_api->Seek(m_db, CEDB_SEEK_CEOID, oid, index);
  // A seek that lands on another record found nothing.
  return found == oid ? found : 0;
}

CEOID CDbRecord::Read(CEOID oid, BOOL byOid) {
  for (CBlobObj* blob : m_writeBuffers) delete blob;
  m_writeBuffers.clear();
  m_entryCount = 0;
  if (oid && !Seek(oid, byOid)) return 0;
  if (m_ids.empty()) return 0;
  // The store grows the buffer in place, in the heap it reads into.
  HANDLE heap = m_api->GetReadHeap();
  if (m_buffer && heap != m_bufferHeap) ReleaseBuffer();
  m_bufferHeap = heap;
  WORD count = static_cast<WORD>(m_ids.size());
  CEOID read = m_api->ReadRecord(m_db, &count, m_ids.data(), &m_buffer, &m_bufferSize);
  if (!m_buffer) m_bufferSize = 0;
  if (!read) return 0;
  m_entryCount = count < m_ids.size() ? count : static_cast<int>(m_ids.size());
  return read;
}

CEOID CDbRecord::SeekAndReadByValue(DWORD_PTR value, CEOID* found, DWORD seekType) {
  CEOID oid = m_api->Seek(m_db, seekType, value, nullptr);
  if (found) *found = oid;
  if (!oid) return 0;
  return Read(0, TRUE);
}

BOOL CDbRecord::SeekAndRead(DWORD seekType, DWORD_PTR value, CEOID* found) {
  CEOID oid = m_api->Seek(m_db, seekType, value, nullptr);
  if (found) *found = oid;
  if (!oid) return FALSE;
  if (m_ids.empty()) return TRUE;
  return Read(0, TRUE) != 0;
}

const CEPROPVAL* CDbRecord::GetPropVal(int index) const {
  if (index < 0 || index >= m_entryCount || !m_buffer) return nullptr;
  return &Entries()[index];
}

const CEPROPVAL* CDbRecord::Present(int index) const {
  const CEPROPVAL* entry = GetPropVal(index);
  return entry && !(entry->wFlags & kMissing) ? entry : nullptr;
}

BOOL CDbRecord::HasValue(int index) const { return Present(index) != nullptr; }

BOOL CDbRecord::GetLong(int index, LONG* out, LONG defaultValue) const {
  const CEPROPVAL* entry = Present(index);
  if (out) *out = entry ? entry->val.lVal : defaultValue;
  return entry != nullptr;
}

BOOL CDbRecord::GetShort(int index, short* out, short defaultValue) const {
  const CEPROPVAL* entry = Present(index);
  if (out) *out = entry ? entry->val.iVal : defaultValue;
  return entry != nullptr;
}

BOOL CDbRecord::GetString(int index, CString& out, LPCWSTR defaultText) const {
  const CEPROPVAL* entry = Present(index);
  if (entry)
    out = entry->val.lpwstr ? entry->val.lpwstr : L"";
  else
    out = defaultText ? defaultText : L"";
  return entry != nullptr;
}

CString CDbRecord::GetStringCopy(int index, LPCWSTR defaultText) const {
  CString text;
  GetString(index, text, defaultText);
  return text;
}

BOOL CDbRecord::GetFileTime(int index, FILETIME* out, DWORD defaultLow, DWORD defaultHigh) const {
  const CEPROPVAL* entry = Present(index);
  if (out) {
    if (entry) {
      *out = entry->val.filetime;
    } else {
      out->dwLowDateTime = defaultLow;
      out->dwHighDateTime = defaultHigh;
    }
  }
  return entry != nullptr;
}

BOOL CDbRecord::GetDate(int index, double* out, double defaultValue, BOOL toLocal,
                        const TIME_ZONE_INFORMATION* zone) const {
  const CEPROPVAL* entry = Present(index);
  double date = defaultValue;
  if (entry && FileTimeToVariantDate(entry->val.filetime, &date) && toLocal) date = UtcToLocalDate(zone, date);
  if (out) *out = date;
  return entry != nullptr;
}

double CDbRecord::GetDateValue(int index, double defaultValue, BOOL toLocal,
                               const TIME_ZONE_INFORMATION* zone) const {
  double date;
  GetDate(index, &date, defaultValue, toLocal, zone);
  return date;
}

BOOL CDbRecord::GetBuffer(int index, CBlobObj& out) const {
  const CEPROPVAL* entry = Present(index);
  if (!entry) {
    out.Free();
    return FALSE;
  }
  return out.Assign(entry->val.blob.lpb, entry->val.blob.dwCount);
}

BOOL CDbRecord::GetBlob(int index, BYTE** data, DWORD* size) const {
  const CEPROPVAL* entry = Present(index);
  if (data) *data = entry ? entry->val.blob.lpb : nullptr;
  if (entry && size) *size = entry->val.blob.dwCount;
  return entry != nullptr;
}

ULONG64 CDbRecord::GetValue(int index, DWORD defaultValue) const {
  const CEPROPVAL* entry = GetPropVal(index);
  WORD flags = entry ? entry->wFlags : CEDB_PROPNOTFOUND;
  DWORD value = entry && !(flags & kMissing) ? entry->val.ulVal : defaultValue;
  return (static_cast<ULONG64>(flags) << 32) | value;
}

BYTE* CDbRecord::KeepCopy(const void* data, DWORD size) {
  CBlobObj* blob = new CBlobObj;
  if (size && !blob->Assign(data, size)) {
    delete blob;
    return nullptr;
  }
  m_writeBuffers.push_back(blob);
  return blob->GetData();
}

// One entry per listed property. An entry not yet read or set is marked not found, so
// that writing leaves it out; values already read are kept, their texts and blobs copied
// out of the old buffer before it goes.
BOOL CDbRecord::PrepareWrite() {
  int count = static_cast<int>(m_ids.size());
  if (m_buffer && m_entryCount == count) return TRUE;
  DWORD size = static_cast<DWORD>(count * sizeof(CEPROPVAL));
  HANDLE heap = m_api->GetReadHeap();
  BYTE* fresh = Allocate(heap, size ? size : 1);
  if (!fresh) return FALSE;
  CEPROPVAL* entries = reinterpret_cast<CEPROPVAL*>(fresh);
  for (int i = 0; i < count; ++i) {
    entries[i].propid = m_ids[i];
    entries[i].wFlags = CEDB_PROPNOTFOUND;
  }
  for (int i = 0; i < m_entryCount && i < count; ++i) {
    CEPROPVAL entry = Entries()[i];
    WORD type = TypeFromPropID(entry.propid);
    BYTE* data = type == CEVT_LPWSTR ? reinterpret_cast<BYTE*>(entry.val.lpwstr) : entry.val.blob.lpb;
    if (IsVariable(type) && !(entry.wFlags & kMissing) && data >= m_buffer && data < m_buffer + m_bufferSize) {
      DWORD length = type == CEVT_LPWSTR ? static_cast<DWORD>((wcslen(entry.val.lpwstr) + 1) * sizeof(WCHAR))
                                         : entry.val.blob.dwCount;
      BYTE* copy = KeepCopy(data, length);
      if (!copy && length) {
        Release(heap, fresh);
        return FALSE;
      }
      if (type == CEVT_LPWSTR)
        entry.val.lpwstr = reinterpret_cast<LPWSTR>(copy);
      else
        entry.val.blob.lpb = copy;
    }
    entries[i] = entry;
  }
  Release(m_bufferHeap, m_buffer);
  m_buffer = fresh;
  m_bufferSize = size;
  m_bufferHeap = heap;
  m_entryCount = count;
  return TRUE;
}

CEPROPVAL* CDbRecord::EntryForWrite(int index) {
  if (index < 0 || index >= static_cast<int>(m_ids.size()) || !PrepareWrite()) return nullptr;
  CEPROPVAL* entry = &Entries()[index];
  memset(entry, 0, sizeof *entry);
  entry->propid = m_ids[index];
  return entry;
}

BOOL CDbRecord::SetLong(int index, LONG value) {
  if (index < 0 || index >= GetPropCount() || !IsLongType(TypeFromPropID(m_ids[index]))) return FALSE;
  CEPROPVAL* entry = EntryForWrite(index);
  if (!entry) return FALSE;
  entry->val.lVal = value;
  return TRUE;
}

BOOL CDbRecord::SetFileTime(int index, DWORD low, DWORD high) {
  if (index < 0 || index >= GetPropCount() || TypeFromPropID(m_ids[index]) != CEVT_FILETIME) return FALSE;
  CEPROPVAL* entry = EntryForWrite(index);
  if (!entry) return FALSE;
  entry->val.filetime.dwLowDateTime = low;
  entry->val.filetime.dwHighDateTime = high;
  return TRUE;
}

BOOL CDbRecord::SetDate(int index, double date, BOOL toUtc, const TIME_ZONE_INFORMATION* zone) {
  if (toUtc) date = LocalToUtcDate(zone, date);
  FILETIME time;
  if (!VariantDateToFileTime(date, &time)) return FALSE;
  return SetFileTime(index, time.dwLowDateTime, time.dwHighDateTime);
}

BOOL CDbRecord::SetString(int index, LPCWSTR text) {
  if (index < 0 || index >= GetPropCount() || TypeFromPropID(m_ids[index]) != CEVT_LPWSTR) return FALSE;
  if (!text) text = L"";
  if (!EntryForWrite(index)) return FALSE;
  BYTE* copy = KeepCopy(text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(WCHAR)));
  if (!copy) return FALSE;
  Entries()[index].val.lpwstr = reinterpret_cast<LPWSTR>(copy);
  return TRUE;
}

BOOL CDbRecord::SetBlob(int index, const CBlobObj& blob) {
  if (index < 0 || index >= GetPropCount() || TypeFromPropID(m_ids[index]) != CEVT_BLOB) return FALSE;
  if (!EntryForWrite(index)) return FALSE;
  BYTE* copy = KeepCopy(blob.GetData(), blob.GetData() ? blob.GetSize() : 0);
  if (!copy && blob.GetSize() && blob.GetData()) {
    Entries()[index].wFlags = CEDB_PROPNOTFOUND;
    return FALSE;
  }
  Entries()[index].val.blob.dwCount = copy ? blob.GetSize() : 0;
  Entries()[index].val.blob.lpb = copy;
  return TRUE;
}

BOOL CDbRecord::DeleteProp(int index) {
  CEPROPVAL* entry = EntryForWrite(index);
  if (!entry) return FALSE;
  entry->wFlags = CEDB_PROPDELETE;
  return TRUE;
}

CEOID CDbRecord::WriteRecord(CEOID oid, BOOL byOid) {
  if (oid && IsNewerStore() && !byOid) {
    // The item may have been deleted meanwhile: then there is nothing to write to,
    // and writing OID 0 would make a new record in its place.
    oid = Seek(oid, FALSE);
    if (!oid) {
      SetLastError(ERROR_NOT_FOUND);
      return 0;
    }
  }
  std::vector<CEPROPVAL> values;
  for (int i = 0; i < m_entryCount && m_buffer; ++i)
    if (!(Entries()[i].wFlags & CEDB_PROPNOTFOUND)) values.push_back(Entries()[i]);
  return m_api->WriteRecord(m_db, oid, static_cast<WORD>(values.size()), values.empty() ? nullptr : values.data());
}

BOOL CDbRecord::DeleteRecord(CEOID oid, BOOL byOid) {
  if (oid && IsNewerStore() && !byOid) oid = Seek(oid, FALSE);
  if (!oid) return FALSE;
  return m_api->DeleteRecord(m_db, oid);
}

CEOID SeekRecordIdValue(CDbRecord& record, CEPROPID propId, DWORD value) {
  CEPROPVAL key;
  memset(&key, 0, sizeof key);
  key.propid = propId;
  key.wLenData = 4;
  key.val.ulVal = value;
  return GetCeDbApi()->Seek(record.GetDatabase(), CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key),
                            nullptr);
}

BOOL HasNoteValue(const CDbRecord& record, int index) {
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!record.GetBlob(index, &data, &size) || !data || size == 0) return FALSE;
  // A text of only its byte-order mark and a terminator is no note.
  if (size == 4 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)) && data[2] == 0 &&
      data[3] == 0)
    return FALSE;
  return TRUE;
}
