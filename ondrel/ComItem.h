// The few object-model helpers the item operations share: one owned reference, a
// typed query, a BSTR taken into a string, an item fetched by its identifier.
#pragma once
#include <windows.h>

#include "pim/PocketOutlook.h"
#include "platform/windowlib/String.h"

// One reference to a COM object that can be handed back from a function.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      if (m_p) m_p->Release();
      m_p = other.m_p;
      other.m_p = nullptr;
    }
    return *this;
  }
  ~ComPtr() {
    if (m_p) m_p->Release();
  }
  T* Get() const { return m_p; }
  T** GetAddressOf() { return &m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }

 private:
  T* m_p = nullptr;
};

template <class T>
ComPtr<T> Query(IUnknown* object, const IID& iid) {
  ComPtr<T> out;
  if (object) object->QueryInterface(iid, reinterpret_cast<void**>(out.GetAddressOf()));
  return out;
}

inline CString TakeBstr(BSTR text) {
  CString value = text ? text : L"";
  if (text) SysFreeString(text);
  return value;
}

inline ComPtr<IDispatch> ItemFromOid(DWORD oid) {
  ComPtr<IDispatch> item;
  IPOutlookApp* app = CPocketOutlook::GetInst();
  if (app) app->GetItemFromOid(static_cast<long>(oid), item.GetAddressOf());
  return item;
}
