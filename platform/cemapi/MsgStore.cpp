#include "platform/cemapi/MsgStore.h"

#include "platform/cemapi/NotifyCenter.h"

CMsgStore::CMsgStore(ULONGLONG id) : CPropObject<IMsgStore>(MAPI_STORE, id, {&IID_IMAPIProp, &IID_IMsgStore}) {}

CMsgStore::~CMsgStore() { CNotifyCenter::Instance().UnadviseAll(this); }

HRESULT CMsgStore::Advise(ULONG cb, LPENTRYID entry, ULONG mask, IMAPIAdviseSink* sink, ULONG* connection) {
  if (cb && !entry) return MAPI_E_INVALID_PARAMETER;
  std::string filter(reinterpret_cast<const char*>(entry), entry ? cb : 0);
  return CNotifyCenter::Instance().Advise(this, filter, mask, sink, connection);
}

HRESULT CMsgStore::Unadvise(ULONG connection) { return CNotifyCenter::Instance().Unadvise(this, connection); }

HRESULT CMsgStore::CompareEntryIDs(ULONG cb1, LPENTRYID id1, ULONG cb2, LPENTRYID id2, ULONG, ULONG* result) {
  return CObjectCore::CompareEntryIDs(cb1, id1, cb2, id2, result);
}

HRESULT CMsgStore::OpenEntry(ULONG cb, LPENTRYID entry, LPCIID iid, ULONG, ULONG* type, IUnknown** out) {
  return CObjectCore::OpenEntry(cb, entry, iid, type, out);
}
