#include "platform/cemapi/Session.h"

#include "platform/cemapi/EntryId.h"
#include "platform/cemapi/NotifyCenter.h"
#include "platform/cemapi/ObjectProps.h"
#include "platform/cemapi/Table.h"

CSession::CSession() : CUnknownImpl<IMAPISession>({&IID_IMAPISession}) {}

CSession::~CSession() { CNotifyCenter::Instance().UnadviseAll(this); }

HRESULT CSession::GetLastError(HRESULT, ULONG, void** error) {
  if (error) *error = nullptr;
  return MAPI_E_NO_SUPPORT;
}

HRESULT CSession::GetMsgStoresTable(ULONG flags, IMAPITable** table) {
  if (!table) return MAPI_E_INVALID_PARAMETER;
  *table = nullptr;
  if (loggedOff_) return MAPI_E_CALL_FAILED;
  std::vector<PropRecordMap> rows;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    // A damaged store file is left out: it can be neither read nor written.
    for (const StoreEntry& s : set.Stores())
      if (!s.damaged) rows.push_back(CObjectProps::Store(s.record));
  }
  CTable* t = new (std::nothrow)
      CTable(std::move(rows), {PR_ENTRYID, PR_DISPLAY_NAME_W, PR_CE_TRANSPORT_NAME_W}, (flags & MAPI_UNICODE) != 0);
  if (!t) return MAPI_E_NOT_ENOUGH_MEMORY;
  *table = t;
  return S_OK;
}

HRESULT CSession::OpenMsgStore(ULONG_PTR, ULONG cb, LPENTRYID entry, LPCIID iid, ULONG, IMsgStore** store) {
  if (!store) return MAPI_E_INVALID_PARAMETER;
  *store = nullptr;
  ULONG kind = 0;
  ULONGLONG id = 0;
  if (!CEntryId::Parse(cb, entry, kind, id) || kind != MAPI_STORE) return MAPI_E_INVALID_ENTRYID;
  IUnknown* unknown = nullptr;
  HRESULT hr = CObjectCore::OpenEntry(cb, entry, iid ? iid : &IID_IMsgStore, nullptr, &unknown);
  if (FAILED(hr)) return hr;
  *store = static_cast<IMsgStore*>(unknown);
  return S_OK;
}

HRESULT CSession::OpenEntry(ULONG cb, LPENTRYID entry, LPCIID iid, ULONG, ULONG* type, IUnknown** out) {
  return CObjectCore::OpenEntry(cb, entry, iid, type, out);
}

HRESULT CSession::CompareEntryIDs(ULONG cb1, LPENTRYID id1, ULONG cb2, LPENTRYID id2, ULONG, ULONG* result) {
  return CObjectCore::CompareEntryIDs(cb1, id1, cb2, id2, result);
}

HRESULT CSession::Advise(ULONG cb, LPENTRYID entry, ULONG mask, IMAPIAdviseSink* sink, ULONG* connection) {
  if (cb && !entry) return MAPI_E_INVALID_PARAMETER;
  if (loggedOff_) return MAPI_E_CALL_FAILED;
  std::string filter(reinterpret_cast<const char*>(entry), entry ? cb : 0);
  return CNotifyCenter::Instance().Advise(this, filter, mask, sink, connection);
}

HRESULT CSession::Unadvise(ULONG connection) { return CNotifyCenter::Instance().Unadvise(this, connection); }

HRESULT CSession::Logoff(ULONG_PTR, ULONG, ULONG) {
  CNotifyCenter::Instance().UnadviseAll(this);
  loggedOff_ = true;
  return S_OK;
}
