#include "base/CeDbApi.h"

#include <cstring>

namespace {

BOOL g_newerStore = FALSE;

bool IsZeroGuid(const CEGUID& guid) {
  return !guid.Data1 && !guid.Data2 && !guid.Data3 && !guid.Data4;
}

template <class T>
void Bind(HMODULE module, LPCWSTR name, T* fn) {
  *fn = module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddressW(module, name))) : nullptr;
}

}  // namespace

BOOL IsNewerStore() { return g_newerStore; }
void SetNewerStore(BOOL newer) { g_newerStore = newer ? TRUE : FALSE; }

CCeDbApi::CCeDbApi() : m_pimVolume(), m_pimSearched(FALSE), m_readHeap(nullptr), m_module(nullptr) {
  BindFunctions();
}

CCeDbApi::~CCeDbApi() = default;

void CCeDbApi::BindFunctions() {
  m_module = GetModuleHandleW(L"coredll.dll");
  Bind(m_module, L"CeOpenStream", &m_pfnOpenStream);
  Bind(m_module, L"CeStreamRead", &m_pfnStreamRead);
  Bind(m_module, L"CeStreamWrite", &m_pfnStreamWrite);
  Bind(m_module, L"CeStreamSaveChanges", &m_pfnStreamSaveChanges);
  Bind(m_module, L"CeStreamSeek", &m_pfnStreamSeek);
  Bind(m_module, L"CeStreamSetSize", &m_pfnStreamSetSize);
  Bind(m_module, L"CeOpenDatabaseEx2", &m_pfnOpenDatabaseEx2);
  Bind(m_module, L"CeReadRecordPropsEx", &m_pfnReadRecordPropsEx);
  Bind(m_module, L"CeSeekDatabaseEx", &m_pfnSeekDatabaseEx);
  Bind(m_module, L"CeOidGetInfoEx2", &m_pfnOidGetInfoEx2);
  Bind(m_module, L"CeOpenDatabaseInSession", &m_pfnOpenDatabaseInSession);
}

BOOL CCeDbApi::FindPimVolume(CEGUID* guid) {
  if (!m_pimSearched) {
    // Searched once even when absent: an empty answer must not enumerate again on every open.
    m_pimSearched = TRUE;
    CEGUID at;
    CREATE_INVALIDGUID(&at);
    WCHAR name[256];
    while (CeEnumDBVolumes(&at, name, 256)) {
      if (lstrcmpiW(name, L"pim.vol") == 0) {
        m_pimVolume = at;
        break;
      }
    }
  }
  if (guid) *guid = m_pimVolume;
  return !IsZeroGuid(m_pimVolume);
}

HANDLE CCeDbApi::Reopen(LPCWSTR name, DWORD flags, CENOTIFYREQUEST* request, CEOID* oid, CEGUID* guid,
                        int sortIndex, CEPROPID sortPropId) {
  CEOIDINFOEX info;
  memset(&info, 0, sizeof info);
  info.wVersion = CEOIDINFOEX_VERSION;
  if (!OidGetInfo(guid, *oid, &info) || info.wObjType != OBJTYPE_DATABASE) return INVALID_HANDLE_VALUE;
  const CEDBASEINFOEX& db = info.infDatabase;
  int count = db.wNumSortOrder < CEDB_MAXSORTORDER ? db.wNumSortOrder : CEDB_MAXSORTORDER;
  SORTORDERSPECEX* sort = nullptr;
  if (sortPropId) {
    for (int i = count - 1; i >= 0 && !sort; --i)
      for (int k = 0; k < db.rgSortSpecs[i].wNumProps && k < CEDB_MAXSORTPROP; ++k)
        if (db.rgSortSpecs[i].rgPropID[k] == sortPropId) {
          sort = &info.infDatabase.rgSortSpecs[i];
          break;
        }
  } else if (sortIndex >= 0 && sortIndex < count) {
    sort = &info.infDatabase.rgSortSpecs[sortIndex];
  }
  *oid = 0;
  return m_pfnOpenDatabaseEx2(guid, oid, const_cast<LPWSTR>(name), sort, flags, request);
}

HANDLE CCeDbApi::OpenDatabaseByName(LPCWSTR name, BOOL autoIncrement, CEPROPID sortPropId,
                                    CENOTIFYREQUEST* request, CEOID* oid, const CEGUID* guid) {
  DWORD flags = autoIncrement ? CEDB_AUTOINCREMENT : 0;
  CEOID found = 0;
  CEGUID volume;
  HANDLE db;
  if (!IsNewerStore()) {
    if (guid)
      volume = *guid;
    else
      CREATE_INVALIDGUID(&volume);
    db = CeOpenDatabaseEx(&volume, &found, const_cast<LPWSTR>(name), sortPropId, flags, request);
  } else {
    if (!HasExApi()) return INVALID_HANDLE_VALUE;
    if (guid)
      volume = *guid;
    else
      CREATE_SYSTEMGUID(&volume);
    db = m_pfnOpenDatabaseEx2(&volume, &found, const_cast<LPWSTR>(name), nullptr, flags, request);
    if (db != INVALID_HANDLE_VALUE && !IsZeroGuid(volume)) {
      CloseHandle(db);
      db = Reopen(name, flags, request, &found, &volume, -1, sortPropId);
    }
  }
  if (oid) *oid = found;
  return db;
}

HANDLE CCeDbApi::OpenDatabase(LPCWSTR name, BOOL autoIncrement, DWORD sortSelector,
                              CENOTIFYREQUEST* request, CEOID* oid, const CEGUID* guid) {
  if (!IsNewerStore()) return OpenDatabaseByName(name, autoIncrement, sortSelector, request, oid, guid);
  if (!HasExApi()) return INVALID_HANDLE_VALUE;
  DWORD flags = autoIncrement ? CEDB_AUTOINCREMENT : 0;
  CEGUID volume;
  if (guid)
    volume = *guid;
  else
    FindPimVolume(&volume);
  CEOID found = 0;
  HANDLE db = m_pfnOpenDatabaseEx2(&volume, &found, const_cast<LPWSTR>(name), nullptr, flags, request);
  if (db != INVALID_HANDLE_VALUE && !IsZeroGuid(volume)) {
    CloseHandle(db);
    db = Reopen(name, flags, request, &found, &volume, static_cast<int>(sortSelector), 0);
  }
  if (oid) *oid = found;
  return db;
}

CEOID CCeDbApi::Seek(HANDLE db, DWORD seekType, DWORD_PTR value, DWORD* index) {
  if (!IsNewerStore()) return CeSeekDatabase(db, seekType, value, index);
  if (!m_pfnSeekDatabaseEx) return 0;
  return m_pfnSeekDatabaseEx(db, seekType, value, 1, index);
}

CEOID CCeDbApi::ReadRecord(HANDLE db, WORD* count, CEPROPID* ids, BYTE** buffer, DWORD* size) {
  if (!IsNewerStore()) return CeReadRecordProps(db, CEDB_ALLOWREALLOC, count, ids, buffer, size);
  if (!m_pfnReadRecordPropsEx) return 0;
  return m_pfnReadRecordPropsEx(db, CEDB_ALLOWREALLOC, count, ids, buffer, size, m_readHeap);
}

CEOID CCeDbApi::WriteRecord(HANDLE db, CEOID oid, WORD count, CEPROPVAL* values) {
  return CeWriteRecordProps(db, oid, count, values);
}

BOOL CCeDbApi::DeleteRecord(HANDLE db, CEOID oid) { return CeDeleteRecord(db, oid); }

BOOL CCeDbApi::OidGetInfo(CEGUID* guid, CEOID oid, CEOIDINFOEX* info) {
  if (!m_pfnOidGetInfoEx2) return FALSE;
  return m_pfnOidGetInfoEx2(guid, oid, info);
}

CCeDbApi* GetCeDbApi() {
  static CCeDbApi api;
  return &api;
}
