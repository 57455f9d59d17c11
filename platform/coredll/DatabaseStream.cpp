// Record streams: a CEVT_STREAM property of the record a database handle is positioned on,
// read and changed in memory and written back to the record by CeStreamSaveChanges.
#include "platform/coredll/DatabaseStore.h"

#include <cstring>

using namespace cedb;

namespace {

struct Stream {
  Volume* vol;
  CEOID db;
  CEOID record;
  CEPROPID propid;
  bool writable;
  std::vector<BYTE> bytes;
  size_t pos = 0;
};

std::unordered_map<HANDLE, Stream>& Streams() {
  static auto* s = new std::unordered_map<HANDLE, Stream>;
  return *s;
}

Stream* Find(HANDLE h) {
  auto it = Streams().find(h);
  if (it == Streams().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return &it->second;
}

Stream* FindWritable(HANDLE h) {
  Stream* s = Find(h);
  if (s && !s->writable) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return s;
}

}  // namespace

CORE_API HANDLE WINAPI CeOpenStream(HANDLE hDatabase, CEPROPID propid, DWORD dwMode) {
  if (TypeFromPropID(propid) != CEVT_STREAM || !(dwMode & (GENERIC_READ | GENERIC_WRITE))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  StoreGuard lock;
  DbHandle* h = FindDbHandle(hDatabase);
  if (!h) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_HANDLE_VALUE;
  }
  if (!Refresh(h->vol)) return INVALID_HANDLE_VALUE;
  Database* db = h->vol->FindDb(h->db);
  if (!db) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_HANDLE_VALUE;
  }
  auto& order = db->Order(h->sort);
  size_t idx = Locate(h, db);
  if (idx >= order.size()) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return INVALID_HANDLE_VALUE;
  }
  const Record& rec = *order[idx];
  const CEPROPVAL* p = rec.Find(propid);
  bool writable = (dwMode & GENERIC_WRITE) != 0;
  if (!p && !writable) {
    SetLastError(ERROR_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE kernel = NewKernelHandle();
  if (!kernel) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
  }
  Stream s{h->vol, h->db, rec.oid, propid, writable, {}, 0};
  if (p && p->val.blob.dwCount) s.bytes.assign(p->val.blob.lpb, p->val.blob.lpb + p->val.blob.dwCount);
  Streams()[kernel] = std::move(s);
  SetLastError(ERROR_SUCCESS);
  return kernel;
}

CORE_API BOOL WINAPI CeStreamRead(HANDLE hStream, LPBYTE lpbBuffer, DWORD cbRead, LPDWORD pcbRead) {
  StoreGuard lock;
  Stream* s = Find(hStream);
  if (!s) return FALSE;
  if ((!lpbBuffer && cbRead) || !pcbRead) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  size_t n = s->pos < s->bytes.size() ? std::min<size_t>(cbRead, s->bytes.size() - s->pos) : 0;
  if (n) memcpy(lpbBuffer, s->bytes.data() + s->pos, n);
  s->pos += n;
  *pcbRead = static_cast<DWORD>(n);
  return TRUE;
}

CORE_API BOOL WINAPI CeStreamWrite(HANDLE hStream, LPBYTE lpbBuffer, DWORD cbWrite,
                                   LPDWORD pcbWritten) {
  StoreGuard lock;
  Stream* s = FindWritable(hStream);
  if (!s) return FALSE;
  if ((!lpbBuffer && cbWrite) || !pcbWritten) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (s->pos + cbWrite > s->bytes.size()) s->bytes.resize(s->pos + cbWrite);
  if (cbWrite) memcpy(s->bytes.data() + s->pos, lpbBuffer, cbWrite);
  s->pos += cbWrite;
  *pcbWritten = cbWrite;
  return TRUE;
}

CORE_API BOOL WINAPI CeStreamSeek(HANDLE hStream, DWORD cbMove, DWORD dwOrigin,
                                  LPDWORD pcbNewOffset) {
  StoreGuard lock;
  Stream* s = Find(hStream);
  if (!s) return FALSE;
  long long base;
  switch (dwOrigin) {
    case CEDB_STREAM_SEEK_SET: base = 0; break;
    case CEDB_STREAM_SEEK_CUR: base = static_cast<long long>(s->pos); break;
    case CEDB_STREAM_SEEK_END: base = static_cast<long long>(s->bytes.size()); break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  // From the current position or the end a move may go back: it is signed there.
  long long target = base + (dwOrigin == CEDB_STREAM_SEEK_SET ? static_cast<long long>(cbMove)
                                                              : static_cast<LONG>(cbMove));
  if (target < 0 || target > 0xFFFFFFFFll) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return FALSE;
  }
  s->pos = static_cast<size_t>(target);
  if (pcbNewOffset) *pcbNewOffset = static_cast<DWORD>(target);
  return TRUE;
}

CORE_API BOOL WINAPI CeStreamSetSize(HANDLE hStream, DWORD cbSize) {
  StoreGuard lock;
  Stream* s = FindWritable(hStream);
  if (!s) return FALSE;
  s->bytes.resize(cbSize);
  if (s->pos > cbSize) s->pos = cbSize;
  return TRUE;
}

CORE_API BOOL WINAPI CeStreamSaveChanges(HANDLE hStream) {
  StoreGuard lock;
  Stream* s = FindWritable(hStream);
  if (!s) return FALSE;
  CEPROPVAL v{};
  v.propid = s->propid;
  v.val.blob.dwCount = static_cast<DWORD>(s->bytes.size());
  v.val.blob.lpb = s->bytes.empty() ? nullptr : s->bytes.data();
  return WriteRecord(s->vol, s->db, s->record, &v, 1) != 0;
}
