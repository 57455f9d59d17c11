#pragma once
// A logon: the stores table, opening stores and entries, comparing entry ids, and the
// session's advise sinks (dropped at Logoff).
#include "platform/cemapi/ObjectCore.h"

class CSession : public CUnknownImpl<IMAPISession> {
 public:
  CSession();
  ~CSession() override;

  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, void** error) override;
  HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG flags, IMAPITable** table) override;
  HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR ui, ULONG cb, LPENTRYID entry, LPCIID iid, ULONG flags,
                                         IMsgStore** store) override;
  HRESULT STDMETHODCALLTYPE OpenAddressBook(ULONG_PTR, LPCIID, ULONG, void**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE OpenProfileSection(LPCIID, LPCIID, ULONG, void**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE GetStatusTable(ULONG, IMAPITable**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cb, LPENTRYID entry, LPCIID iid, ULONG flags, ULONG* type,
                                      IUnknown** out) override;
  HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG cb1, LPENTRYID id1, ULONG cb2, LPENTRYID id2, ULONG flags,
                                            ULONG* result) override;
  HRESULT STDMETHODCALLTYPE Advise(ULONG cb, LPENTRYID entry, ULONG mask, IMAPIAdviseSink* sink,
                                   ULONG* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(ULONG connection) override;
  HRESULT STDMETHODCALLTYPE MessageOptions(ULONG_PTR, ULONG, LPWSTR, void*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt(LPWSTR, ULONG, ULONG*, LPSPropValue*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE EnumAdrTypes(ULONG, ULONG*, LPWSTR**) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE QueryIdentity(ULONG*, LPENTRYID*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR ui, ULONG flags, ULONG reserved) override;

 private:
  bool loggedOff_ = false;
};
