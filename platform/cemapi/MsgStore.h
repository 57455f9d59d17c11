#pragma once
// A message store: its properties (display name, transport name, the special folders),
// entry ids and notifications.
#include "platform/cemapi/ObjectCore.h"

class CMsgStore : public CPropObject<IMsgStore> {
 public:
  explicit CMsgStore(ULONGLONG id);
  ~CMsgStore() override;

  HRESULT STDMETHODCALLTYPE Advise(ULONG cb, LPENTRYID entry, ULONG mask, IMAPIAdviseSink* sink,
                                   ULONG* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(ULONG connection) override;
  HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG cb1, LPENTRYID id1, ULONG cb2, LPENTRYID id2, ULONG flags,
                                            ULONG* result) override;
  HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cb, LPENTRYID entry, LPCIID iid, ULONG flags, ULONG* type,
                                      IUnknown** out) override;
  HRESULT STDMETHODCALLTYPE SetReceiveFolder(LPWSTR, ULONG, ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE GetReceiveFolder(LPWSTR, ULONG, ULONG*, LPENTRYID*, LPWSTR*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetReceiveFolderTable(ULONG, IMAPITable**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE StoreLogoff(ULONG*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AbortSubmit(ULONG, LPENTRYID, ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE GetOutgoingQueue(ULONG, IMAPITable**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE SetLockState(void*, ULONG) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE FinishedMsg(ULONG, ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE NotifyNewMail(LPNOTIFICATION) override { return MAPI_E_NO_SUPPORT; }
};
