// CComPtr: holds one reference to a COM object and releases it when it goes out of
// scope, so an early return never leaks an interface. CComInitScope: COM for the
// current thread for as long as the scope lives, undone only if it was done here.
#pragma once
#include <objbase.h>

template <class T>
class CComPtr {
 public:
  CComPtr() = default;
  CComPtr(const CComPtr&) = delete;
  CComPtr& operator=(const CComPtr&) = delete;
  ~CComPtr() { Release(); }

  // For creation calls that fill an interface pointer; the held one is dropped first.
  T** operator&() {
    Release();
    return &p;
  }
  T* operator->() const { return p; }
  operator T*() const { return p; }

  void Release() {
    if (p) {
      p->Release();
      p = nullptr;
    }
  }

  T* p = nullptr;
};

class CComInitScope {
 public:
  explicit CComInitScope(DWORD model = COINIT_APARTMENTTHREADED) : m_hr(CoInitializeEx(nullptr, model)) {}
  CComInitScope(const CComInitScope&) = delete;
  CComInitScope& operator=(const CComInitScope&) = delete;
  ~CComInitScope() {
    if (SUCCEEDED(m_hr)) CoUninitialize();
  }
  HRESULT Result() const { return m_hr; }

 private:
  HRESULT m_hr;
};
