// The exported database functions: argument checks and device error codes over the store.
#include "platform/coredll/DatabaseStore.h"

#include <algorithm>
#include <cstring>

using namespace cedb;

namespace {

template <class T>
T Fail(DWORD error, T result) {
  SetLastError(error);
  return result;
}

// The volume a GUID names; the object store for none where the device allows that.
Volume* VolumeFor(PCEGUID guid) {
  if (!guid) return Fail<Volume*>(ERROR_INVALID_PARAMETER, nullptr);
  Volume* v = VolumeByGuid(*guid);
  if (v && !Refresh(v)) return nullptr;
  return v;
}

bool ValidName(const wchar_t* name) {
  if (!name || !name[0]) return false;
  size_t n = wcsnlen(name, CEDB_MAXDBASENAMELEN);
  return n < CEDB_MAXDBASENAMELEN;
}

bool ValidSort(const SORTORDERSPECEX& s) {
  if (s.wNumProps < 1 || s.wNumProps > CEDB_MAXSORTPROP) return false;
  for (int i = 0; i < s.wNumProps; ++i)
    if (!IsSortable(s.rgPropID[i])) return false;
  return true;
}

CEOID Create(Volume* v, const wchar_t* name, DWORD type, DWORD dbFlags,
             const std::vector<SORTORDERSPECEX>& sorts) {
  if (!ValidName(name) || sorts.size() > CEDB_MAXSORTORDER)
    return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
  for (const SORTORDERSPECEX& s : sorts)
    if (!ValidSort(s)) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
  return CreateDatabase(v, name, type, dbFlags, sorts);
}

SORTORDERSPECEX FromSimple(const SORTORDERSPEC& s) {
  SORTORDERSPECEX x{};
  x.wVersion = SORTORDERSPECEX_VERSION;
  x.wNumProps = 1;
  x.rgPropID[0] = s.propid;
  x.rgdwFlags[0] = s.dwFlags;
  return x;
}

// How an open names its order: by its first property (classic) or by the whole sort-order record.
struct SortChoice {
  bool given = false;
  CEPROPID propid = 0;
  const SORTORDERSPECEX* sortSpec = nullptr;
};

bool PickSort(Database* db, const SortChoice& choice, int* sort) {
  if (!choice.given) {
    // No order asked for: the device picks one; the first keeps walks stable.
    *sort = db->sorts.empty() ? -1 : 0;
    return true;
  }
  for (size_t i = 0; i < db->sorts.size(); ++i) {
    const SORTORDERSPECEX& s = db->sorts[i].sortSpec;
    if (choice.sortSpec) {
      if (s.wNumProps != choice.sortSpec->wNumProps) continue;
      bool same = true;
      for (int k = 0; k < s.wNumProps; ++k)
        same = same && s.rgPropID[k] == choice.sortSpec->rgPropID[k] &&
               s.rgdwFlags[k] == choice.sortSpec->rgdwFlags[k];
      if (!same) continue;
    } else if (s.rgPropID[0] != choice.propid) {
      continue;
    }
    *sort = static_cast<int>(i);
    return true;
  }
  return false;
}

HANDLE Open(PCEGUID guid, PCEOID poid, LPWSTR name, const SortChoice& choice, DWORD flags,
            const CENOTIFYREQUEST* request) {
  if (!poid || (!*poid && !name) || (flags & ~DWORD(CEDB_AUTOINCREMENT)))
    return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  StoreGuard lock;
  std::vector<Volume*> where;
  if (!guid) {
    return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  } else if (IsInvalidGuid(*guid)) {
    // Any volume: the object store first, then the mounted volumes, by name.
    if (!name) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    if (Volume* store = ObjectStore()) where.push_back(store);
    for (Volume* v : MountedVolumes()) where.push_back(v);
  } else {
    Volume* v = VolumeByGuid(*guid);
    if (!v) return INVALID_HANDLE_VALUE;
    where.push_back(v);
  }
  Volume* vol = nullptr;
  Database* db = nullptr;
  bool byOid = *poid && !(guid && IsInvalidGuid(*guid));
  for (Volume* v : where) {
    if (!Refresh(v)) {
      if (where.size() == 1) return INVALID_HANDLE_VALUE;
      continue;
    }
    db = byOid ? v->FindDb(*poid) : v->FindDb(std::wstring(name));
    if (db) {
      vol = v;
      break;
    }
  }
  if (!db) return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  int sort = -1;
  if (!PickSort(db, choice, &sort)) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  HANDLE kernel = NewKernelHandle();
  if (!kernel) return Fail(ERROR_NOT_ENOUGH_MEMORY, INVALID_HANDLE_VALUE);
  auto h = std::make_unique<DbHandle>();
  h->handle = kernel;
  h->vol = vol;
  h->db = db->oid;
  h->sort = sort;
  h->flags = flags;
  h->atStart = true;
  if (request && request->hwnd) {
    // Without CEDB_EXNOTIFICATION the window gets the older messages: the type as the
    // message, the object in wParam, the database in lParam.
    h->request = *request;
    h->exNotify = (request->dwFlags & CEDB_EXNOTIFICATION) != 0;
    h->notify = true;
  }
  DbHandle* added = AddDbHandle(std::move(h));
  if (added->notify) StartRelay(added);
  *poid = db->oid;
  SetLastError(ERROR_SUCCESS);
  return kernel;
}

// The open database behind a handle, caught up with other processes' writes.
Database* Opened(HANDLE handle, DbHandle** out) {
  DbHandle* h = FindDbHandle(handle);
  if (!h) return Fail<Database*>(ERROR_INVALID_HANDLE, nullptr);
  if (!Refresh(h->vol)) return nullptr;
  if (h->cachedStructure != h->vol->structure) {
    h->cachedDb = h->vol->FindDb(h->db);
    h->cachedStructure = h->vol->structure;
  }
  // A database deleted (or a volume emptied) under the handle leaves it pointing nowhere.
  if (!h->cachedDb || h->sort >= static_cast<int>(h->cachedDb->sorts.size()))
    return Fail<Database*>(ERROR_INVALID_HANDLE, nullptr);
  *out = h;
  return h->cachedDb;
}

size_t DataSize(const CEPROPVAL& p) {
  switch (TypeFromPropID(p.propid)) {
    case CEVT_LPWSTR:
      return p.val.lpwstr ? ((wcslen(p.val.lpwstr) + 1) * sizeof(wchar_t) + 7) & ~size_t(7) : 0;
    case CEVT_BLOB:
    case CEVT_STREAM:
      return (p.val.blob.dwCount + 7) & ~size_t(7);
    default:
      return 0;
  }
}

void CopyData(CEPROPVAL& entry, BYTE*& cursor) {
  WORD type = TypeFromPropID(entry.propid);
  if (type == CEVT_LPWSTR && entry.val.lpwstr) {
    size_t n = (wcslen(entry.val.lpwstr) + 1) * sizeof(wchar_t);
    memcpy(cursor, entry.val.lpwstr, n);
    entry.val.lpwstr = reinterpret_cast<LPWSTR>(cursor);
    cursor += (n + 7) & ~size_t(7);
  } else if ((type == CEVT_BLOB || type == CEVT_STREAM) && entry.val.blob.dwCount) {
    memcpy(cursor, entry.val.blob.lpb, entry.val.blob.dwCount);
    entry.val.blob.lpb = cursor;
    cursor += (entry.val.blob.dwCount + 7) & ~size_t(7);
  }
}

}  // namespace

// ---- volumes ----

CORE_API BOOL WINAPI CeMountDBVol(PCEGUID pguid, LPWSTR lpszVol, DWORD dwFlags) {
  if (!pguid || !lpszVol || !lpszVol[0]) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  StoreGuard lock;
  // The high bit only selects the newer volume format on the device.
  Volume* v = MountVolume(lpszVol, dwFlags & 0x7FFFFFFFu);
  if (!v) return FALSE;
  *pguid = v->guid;
  return TRUE;
}

CORE_API BOOL WINAPI CeUnmountDBVol(PCEGUID pguid) {
  if (!pguid || IsSystemGuid(*pguid)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  StoreGuard lock;
  Volume* v = VolumeByGuid(*pguid);
  return v && UnmountVolume(v);
}

CORE_API BOOL WINAPI CedbBeginVolumeLoad(PCEGUID pguid) {
  StoreGuard lock;
  Volume* v = VolumeFor(pguid);
  return v && BeginBatch(v);
}

CORE_API BOOL WINAPI CedbEndVolumeLoad(PCEGUID pguid, BOOL fKeep) {
  if (!pguid) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  StoreGuard lock;
  Volume* v = VolumeByGuid(*pguid);
  return v && EndBatch(v, fKeep != FALSE);
}

CORE_API DWORD WINAPI CedbLoadRecords(HANDLE hDatabase, DWORD cRecords, CEDBLOADRECORD pfnRecord, LPVOID pContext) {
  if (!pfnRecord) return Fail<DWORD>(ERROR_INVALID_PARAMETER, 0);
  StoreGuard lock;
  DbHandle* h;
  if (!Opened(hDatabase, &h)) return 0;
  DWORD error = 0;
  DWORD filed = LoadRecords(h->vol, h->db, cRecords, pfnRecord, pContext, &error);
  SetLastError(error);
  return filed;
}

CORE_API BOOL WINAPI CeEnumDBVolumes(PCEGUID pguid, LPWSTR lpBuf, DWORD dwNumChars) {
  if (!pguid || !lpBuf) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  StoreGuard lock;
  std::vector<Volume*> vols = MountedVolumes();
  size_t next = 0;
  if (!IsInvalidGuid(*pguid)) {
    auto it = std::find_if(vols.begin(), vols.end(), [&](Volume* v) {
      return !memcmp(&v->guid, pguid, sizeof(CEGUID));
    });
    if (it == vols.end()) return Fail(ERROR_KEY_DELETED, FALSE);
    next = static_cast<size_t>(it - vols.begin()) + 1;
  }
  if (next >= vols.size()) return Fail(ERROR_NO_MORE_ITEMS, FALSE);
  const std::wstring& name = vols[next]->name;
  if (dwNumChars <= name.size()) return Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
  memcpy(lpBuf, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  *pguid = vols[next]->guid;
  return TRUE;
}

// ---- databases ----

CORE_API CEOID WINAPI CeCreateDatabaseEx2(PCEGUID pguid, CEDBASEINFOEX* pInfo) {
  if (!pInfo || !(pInfo->dwFlags & CEDB_VALIDNAME)) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
  std::vector<SORTORDERSPECEX> sorts;
  if (pInfo->dwFlags & CEDB_VALIDSORTSPEC) {
    if (pInfo->wNumSortOrder > CEDB_MAXSORTORDER) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    sorts.assign(pInfo->rgSortSpecs, pInfo->rgSortSpecs + pInfo->wNumSortOrder);
  }
  StoreGuard lock;
  Volume* v = VolumeFor(pguid);
  if (!v) return 0;
  return Create(v, pInfo->szDbaseName, (pInfo->dwFlags & CEDB_VALIDTYPE) ? pInfo->dwDbaseType : 0,
                (pInfo->dwFlags & CEDB_VALIDDBFLAGS) ? pInfo->dwFlags & 0xFFFF0000u : 0, sorts);
}

CORE_API CEOID WINAPI CeCreateDatabaseEx(PCEGUID pguid, CEDBASEINFO* pInfo) {
  if (!pInfo || !(pInfo->dwFlags & CEDB_VALIDNAME)) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
  std::vector<SORTORDERSPECEX> sorts;
  if (pInfo->dwFlags & CEDB_VALIDSORTSPEC) {
    if (pInfo->wNumSortOrder > CEDB_MAXSORTORDER) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    for (WORD i = 0; i < pInfo->wNumSortOrder; ++i) sorts.push_back(FromSimple(pInfo->rgSortSpecs[i]));
  }
  StoreGuard lock;
  Volume* v = VolumeFor(pguid);
  if (!v) return 0;
  return Create(v, pInfo->szDbaseName, (pInfo->dwFlags & CEDB_VALIDTYPE) ? pInfo->dwDbaseType : 0,
                (pInfo->dwFlags & CEDB_VALIDDBFLAGS) ? pInfo->dwFlags & 0xFFFF0000u : 0, sorts);
}

CORE_API BOOL WINAPI CeDeleteDatabaseEx(PCEGUID pguid, CEOID oid) {
  StoreGuard lock;
  Volume* v = VolumeFor(pguid);
  return v && DeleteDatabase(v, oid);
}

CORE_API BOOL WINAPI CeDeleteDatabase(CEOID oid) {
  CEGUID system{};
  return CeDeleteDatabaseEx(&system, oid);
}

CORE_API HANDLE WINAPI CeOpenDatabaseEx(PCEGUID pguid, PCEOID poid, LPWSTR lpszName,
                                        CEPROPID propid, DWORD dwFlags,
                                        CENOTIFYREQUEST* pRequest) {
  SortChoice choice;
  choice.given = propid != 0;
  choice.propid = propid;
  return Open(pguid, poid, lpszName, choice, dwFlags, pRequest);
}

CORE_API HANDLE WINAPI CeOpenDatabaseEx2(PCEGUID pguid, PCEOID poid, LPWSTR lpszName,
                                         SORTORDERSPECEX* pSort, DWORD dwFlags,
                                         CENOTIFYREQUEST* pRequest) {
  SortChoice choice;
  choice.given = pSort != nullptr;
  choice.sortSpec = pSort;
  return Open(pguid, poid, lpszName, choice, dwFlags, pRequest);
}

CORE_API HANDLE WINAPI CeOpenDatabaseInSession(HANDLE, PCEGUID pguid, PCEOID poid, LPWSTR lpszName,
                                               SORTORDERSPECEX* pSort, DWORD dwFlags,
                                               CENOTIFYREQUEST* pRequest) {
  return CeOpenDatabaseEx2(pguid, poid, lpszName, pSort, dwFlags, pRequest);
}

namespace {

void FillInfo(Database* db, CEDBASEINFOEX* out) {
  memset(out, 0, sizeof *out);
  out->wVersion = CEDBASEINFOEX_VERSION;
  out->dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDMODTIME |
                 CEDB_VALIDDBFLAGS | db->flags;
  lstrcpynW(out->szDbaseName, db->name.c_str(), CEDB_MAXDBASENAMELEN);
  out->dwDbaseType = db->type;
  out->dwNumRecords = static_cast<DWORD>(db->records.size());
  size_t size = 0;
  for (auto& r : db->records) size += r.second.props.size() * sizeof(CEPROPVAL) + r.second.data.size();
  out->dwSize = static_cast<DWORD>(size);
  out->ftLastModified = db->modified;
  out->wNumSortOrder = static_cast<WORD>(db->sorts.size());
  for (size_t i = 0; i < db->sorts.size(); ++i) out->rgSortSpecs[i] = db->sorts[i].sortSpec;
}

}  // namespace

CORE_API BOOL WINAPI CeOidGetInfoEx2(PCEGUID pguid, CEOID oid, CEOIDINFOEX* pInfo) {
  if (!pInfo) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  StoreGuard lock;
  Volume* v = VolumeFor(pguid);
  if (!v) return FALSE;
  WORD version = pInfo->wVersion;
  if (Database* db = v->FindDb(oid)) {
    pInfo->wObjType = OBJTYPE_DATABASE;
    FillInfo(db, &pInfo->infDatabase);
  } else {
    Database* owner = v->RecordOwner(oid);
    if (!owner) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    pInfo->wObjType = OBJTYPE_RECORD;
    pInfo->infRecord.oidParent = owner->oid;
  }
  pInfo->wVersion = version;
  return TRUE;
}

CORE_API BOOL WINAPI CeOidGetInfoEx(PCEGUID pguid, CEOID oid, CEOIDINFO* pInfo) {
  if (!pInfo) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  CEOIDINFOEX ex{};
  ex.wVersion = CEOIDINFOEX_VERSION;
  if (!CeOidGetInfoEx2(pguid, oid, &ex)) return FALSE;
  memset(pInfo, 0, sizeof *pInfo);
  pInfo->wObjType = ex.wObjType;
  if (ex.wObjType == OBJTYPE_RECORD) {
    pInfo->infRecord = ex.infRecord;
    return TRUE;
  }
  const CEDBASEINFOEX& d = ex.infDatabase;
  CEDBASEINFO& o = pInfo->infDatabase;
  o.dwFlags = d.dwFlags;
  memcpy(o.szDbaseName, d.szDbaseName, sizeof o.szDbaseName);
  o.dwDbaseType = d.dwDbaseType;
  o.wNumRecords = static_cast<WORD>(std::min<DWORD>(d.dwNumRecords, 0xFFFF));
  o.wNumSortOrder = d.wNumSortOrder;
  o.dwSize = d.dwSize;
  o.ftLastModified = d.ftLastModified;
  for (WORD i = 0; i < d.wNumSortOrder; ++i) {
    o.rgSortSpecs[i].propid = d.rgSortSpecs[i].rgPropID[0];
    o.rgSortSpecs[i].dwFlags = d.rgSortSpecs[i].rgdwFlags[0];
  }
  return TRUE;
}

// ---- enumeration of databases ----

namespace {

struct DbEnum {
  std::vector<CEOID> oids;
  size_t next = 0;
};

std::unordered_map<HANDLE, DbEnum>& Enums() {
  static auto* e = new std::unordered_map<HANDLE, DbEnum>;
  return *e;
}

}  // namespace

CORE_API HANDLE WINAPI CeFindFirstDatabaseEx(PCEGUID pguid, DWORD dwDbaseType) {
  StoreGuard lock;
  Volume* v = VolumeFor(pguid);
  if (!v) return INVALID_HANDLE_VALUE;
  DbEnum e;
  for (auto& d : v->dbs)
    if (!dwDbaseType || d.second->type == dwDbaseType) e.oids.push_back(d.first);
  HANDLE h = NewKernelHandle();
  if (!h) return Fail(ERROR_NOT_ENOUGH_MEMORY, INVALID_HANDLE_VALUE);
  Enums()[h] = std::move(e);
  return h;
}

CORE_API CEOID WINAPI CeFindNextDatabaseEx(HANDLE hEnum, PCEGUID) {
  StoreGuard lock;
  auto it = Enums().find(hEnum);
  if (it == Enums().end()) return Fail<CEOID>(ERROR_INVALID_HANDLE, 0);
  DbEnum& e = it->second;
  if (e.next >= e.oids.size()) return Fail<CEOID>(ERROR_NO_MORE_ITEMS, 0);
  return e.oids[e.next++];
}

// ---- records ----

CORE_API CEOID WINAPI CeSeekDatabaseEx(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue,
                                       WORD wNumVals, LPDWORD lpdwIndex) {
  StoreGuard lock;
  DbHandle* h;
  Database* db = Opened(hDatabase, &h);
  if (!db) return 0;
  auto& order = db->Order(h->sort);
  size_t n = order.size();
  size_t idx = n;
  bool found = false;
  auto valueSeek = dwSeekType & (CEDB_SEEK_VALUESMALLER | CEDB_SEEK_VALUEFIRSTEQUAL |
                                 CEDB_SEEK_VALUEGREATER | CEDB_SEEK_VALUENEXTEQUAL |
                                 CEDB_SEEK_VALUESMALLEROREQUAL | CEDB_SEEK_VALUEGREATEROREQUAL);
  if (valueSeek) {
    auto* vals = reinterpret_cast<const CEPROPVAL*>(dwValue);
    if (h->sort < 0 || !vals || !wNumVals) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    const SORTORDERSPECEX& sortSpec = db->sorts[h->sort].sortSpec;
    // Both bounds by binary search over the order: a value seek never walks the records.
    auto lower = std::partition_point(order.begin(), order.end(), [&](const Record* r) {
      return CompareWithValues(sortSpec, *r, vals, wNumVals) < 0;
    });
    auto upper = std::partition_point(lower, order.end(), [&](const Record* r) {
      return CompareWithValues(sortSpec, *r, vals, wNumVals) <= 0;
    });
    size_t lo = static_cast<size_t>(lower - order.begin());
    size_t hi = static_cast<size_t>(upper - order.begin());
    switch (dwSeekType) {
      case CEDB_SEEK_VALUEFIRSTEQUAL: found = lo < hi; idx = lo; break;
      case CEDB_SEEK_VALUENEXTEQUAL: {
        size_t cur = Locate(h, db);
        idx = cur + 1;
        found = cur < n && idx < n && CompareWithValues(sortSpec, *order[idx], vals, wNumVals) == 0;
        break;
      }
      case CEDB_SEEK_VALUESMALLER: found = lo > 0; idx = lo - 1; break;
      case CEDB_SEEK_VALUESMALLEROREQUAL: found = hi > 0; idx = hi - 1; break;
      case CEDB_SEEK_VALUEGREATER: found = hi < n; idx = hi; break;
      case CEDB_SEEK_VALUEGREATEROREQUAL: found = lo < n; idx = lo; break;
      default: return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    }
  } else {
    switch (dwSeekType) {
      case CEDB_SEEK_CEOID: {
        auto it = db->records.find(static_cast<CEOID>(dwValue));
        if (it != db->records.end()) {
          h->cur = it->first;
          h->atStart = false;
          h->curStructure = ~0ull;
          idx = Locate(h, db);
          found = true;
        }
        break;
      }
      case CEDB_SEEK_BEGINNING:
        idx = static_cast<DWORD>(dwValue);
        found = idx < n;
        break;
      case CEDB_SEEK_END:
        found = static_cast<DWORD>(dwValue) < n;
        idx = n - 1 - static_cast<DWORD>(dwValue);
        break;
      case CEDB_SEEK_CURRENT: {
        long long target = static_cast<long long>(Locate(h, db)) + static_cast<LONG>(dwValue);
        found = target >= 0 && target < static_cast<long long>(n);
        idx = static_cast<size_t>(target);
        break;
      }
      default:
        return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    }
  }
  if (!found) {
    // A failed seek leaves the position at the end of the database.
    h->cur = 0;
    h->atStart = false;
    return Fail<CEOID>(ERROR_SEEK, 0);
  }
  h->cur = order[idx]->oid;
  h->atStart = false;
  h->curIndex = idx;
  h->curStructure = h->vol->structure;
  if (lpdwIndex) *lpdwIndex = static_cast<DWORD>(idx);
  SetLastError(ERROR_SUCCESS);
  return h->cur;
}

CORE_API CEOID WINAPI CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue,
                                     LPDWORD lpdwIndex) {
  return CeSeekDatabaseEx(hDatabase, dwSeekType, dwValue, 1, lpdwIndex);
}

CORE_API CEOID WINAPI CeReadRecordPropsEx(HANDLE hDatabase, DWORD dwFlags, LPWORD lpcPropID,
                                          CEPROPID* rgPropID, LPBYTE* lplpBuffer,
                                          LPDWORD lpcbBuffer, HANDLE hHeap) {
  if (!lpcPropID || !lpcbBuffer || (dwFlags & ~DWORD(CEDB_ALLOWREALLOC)))
    return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
  StoreGuard lock;
  DbHandle* h;
  Database* db = Opened(hDatabase, &h);
  if (!db) return 0;
  auto& order = db->Order(h->sort);
  size_t idx = Locate(h, db);
  if (idx >= order.size()) return Fail<CEOID>(ERROR_NO_MORE_ITEMS, 0);
  const Record& rec = *order[idx];

  size_t count = rgPropID ? *lpcPropID : rec.props.size();
  size_t need = count * sizeof(CEPROPVAL);
  if (rgPropID) {
    for (size_t i = 0; i < count; ++i)
      if (const CEPROPVAL* p = rec.Find(rgPropID[i])) need += DataSize(*p);
  } else {
    need += rec.data.size();
  }
  if (need > 0xFFFFFFFFu) return Fail<CEOID>(ERROR_NOT_ENOUGH_MEMORY, 0);
  if (!lplpBuffer) {
    *lpcbBuffer = static_cast<DWORD>(need);
    *lpcPropID = static_cast<WORD>(count);
    return rec.oid;
  }
  BYTE* buf = *lplpBuffer;
  DWORD have = buf ? *lpcbBuffer : 0;
  if (need > have) {
    if (!(dwFlags & CEDB_ALLOWREALLOC)) {
      *lpcbBuffer = static_cast<DWORD>(need);
      return Fail<CEOID>(ERROR_INSUFFICIENT_BUFFER, 0);
    }
    void* grown;
    if (hHeap) grown = buf ? HeapReAlloc(hHeap, 0, buf, need) : HeapAlloc(hHeap, 0, need);
    else grown = buf ? LocalReAlloc(buf, need, LMEM_MOVEABLE) : LocalAlloc(LMEM_FIXED, need);
    if (!grown) return Fail<CEOID>(ERROR_NOT_ENOUGH_MEMORY, 0);
    buf = static_cast<BYTE*>(grown);
    *lplpBuffer = buf;
    *lpcbBuffer = static_cast<DWORD>(need);
  }

  auto* entries = reinterpret_cast<CEPROPVAL*>(buf);
  BYTE* data = buf + count * sizeof(CEPROPVAL);
  if (!rgPropID) {
    if (count) memcpy(entries, rec.props.data(), count * sizeof(CEPROPVAL));
    if (!rec.data.empty()) memcpy(data, rec.data.data(), rec.data.size());
    ptrdiff_t delta = data - rec.data.data();
    for (size_t i = 0; i < count; ++i) {
      CEPROPVAL& e = entries[i];
      WORD type = TypeFromPropID(e.propid);
      if (type == CEVT_LPWSTR && e.val.lpwstr) e.val.lpwstr = reinterpret_cast<LPWSTR>(reinterpret_cast<BYTE*>(e.val.lpwstr) + delta);
      else if ((type == CEVT_BLOB || type == CEVT_STREAM) && e.val.blob.lpb) e.val.blob.lpb += delta;
    }
  } else {
    BYTE* cursor = data;
    for (size_t i = 0; i < count; ++i) {
      CEPROPVAL& e = entries[i];
      if (const CEPROPVAL* p = rec.Find(rgPropID[i])) {
        e = *p;
        CopyData(e, cursor);
      } else {
        memset(&e, 0, sizeof e);
        e.propid = rgPropID[i];
        e.wFlags = CEDB_PROPNOTFOUND;
      }
    }
  }
  *lpcPropID = static_cast<WORD>(count);
  CEOID oid = rec.oid;
  if (h->flags & CEDB_AUTOINCREMENT) {
    h->cur = idx + 1 < order.size() ? order[idx + 1]->oid : 0;
    h->curIndex = idx + 1;
    h->curStructure = h->vol->structure;
  }
  SetLastError(ERROR_SUCCESS);
  return oid;
}

CORE_API CEOID WINAPI CeReadRecordProps(HANDLE hDatabase, DWORD dwFlags, LPWORD lpcPropID,
                                        CEPROPID* rgPropID, LPBYTE* lplpBuffer, LPDWORD lpcbBuffer) {
  return CeReadRecordPropsEx(hDatabase, dwFlags, lpcPropID, rgPropID, lplpBuffer, lpcbBuffer, nullptr);
}

CORE_API CEOID WINAPI CeWriteRecordProps(HANDLE hDatabase, CEOID oidRecord, WORD cPropID,
                                         CEPROPVAL* rgPropVal) {
  if (!ValuesWritable(rgPropVal, cPropID)) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
  StoreGuard lock;
  DbHandle* h;
  Database* db = Opened(hDatabase, &h);
  if (!db) return 0;
  CEOID oid = WriteRecord(h->vol, h->db, oidRecord, rgPropVal, cPropID);
  if (oid) SetLastError(ERROR_SUCCESS);
  return oid;
}

CORE_API BOOL WINAPI CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord) {
  StoreGuard lock;
  DbHandle* h;
  Database* db = Opened(hDatabase, &h);
  if (!db) return FALSE;
  return DeleteRecord(h->vol, h->db, oidRecord);
}
