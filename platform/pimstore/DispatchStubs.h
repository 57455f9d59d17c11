// The members every object of the server has alike: reference counting (a member
// `LONG m_refs` starting at 1) and a dispatch interface without type information
// (callers bind through the vtable). Each class still answers QueryInterface itself.
#pragma once
#include <windows.h>
#include <oaidl.h>

#define PIM_DISPATCH_DECLARATIONS                                                            \
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;                              \
  STDMETHODIMP_(ULONG) AddRef() override;                                                    \
  STDMETHODIMP_(ULONG) Release() override;                                                   \
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;                                       \
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override;                                \
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;               \
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

#define PIM_DISPATCH_IMPLEMENTATION(Class)                                                   \
  STDMETHODIMP_(ULONG) Class::AddRef() { return InterlockedIncrement(&m_refs); }             \
  STDMETHODIMP_(ULONG) Class::Release() {                                                    \
    LONG left = InterlockedDecrement(&m_refs);                                               \
    if (!left) delete this;                                                                  \
    return left;                                                                             \
  }                                                                                          \
  STDMETHODIMP Class::GetTypeInfoCount(UINT* count) {                                        \
    if (count) *count = 0;                                                                   \
    return count ? S_OK : E_POINTER;                                                         \
  }                                                                                          \
  STDMETHODIMP Class::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }             \
  STDMETHODIMP Class::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; } \
  STDMETHODIMP Class::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) { \
    return E_NOTIMPL;                                                                        \
  }
