// An object model that records its logons and counts its references, for tests of
// the code that logs on (made through CPocketOutlook::SetFactory).
#pragma once
#include <vector>

#include "platform/pimstore/pimstore.h"

struct RecordingApp : IPOutlookApp {
  LONG refs = 1;
  HRESULT logonResult = S_OK;
  std::vector<long> logons;
  int logoffs = 0;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPOutlookApp && iid != IID_IPOutlookApp2) return E_NOINTERFACE;
    *out = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Logon(long hWnd) override {
    logons.push_back(hWnd);
    return logonResult;
  }
  STDMETHODIMP Logoff() override {
    ++logoffs;
    return S_OK;
  }
  STDMETHODIMP get_Version(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP GetDefaultFolder(int, IFolder**) override { return E_NOTIMPL; }
  STDMETHODIMP CreateItem(int, IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP GetItemFromOid(long, IDispatch**) override { return E_NOTIMPL; }

  // The one the factory below hands out, with a reference of the caller's own.
  static RecordingApp*& Current() {
    static RecordingApp* current = nullptr;
    return current;
  }
  static HRESULT Make(IPOutlookApp** app) {
    *app = Current();
    if (!*app) return REGDB_E_CLASSNOTREG;
    (*app)->AddRef();
    return S_OK;
  }
};
