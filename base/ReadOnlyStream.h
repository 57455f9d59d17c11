// CReadOnlyStream: the part every read-only COM stream of the system shares. It
// answers IUnknown, IStream and ISequentialStream (as COM requires of any object
// that hands out IStream) and refuses writing, sizing, copying, locking, state and
// cloning with E_NOTIMPL. A stream supplies its own lifetime, Read and Seek.
#pragma once
#include <windows.h>
#include <objidl.h>

class CReadOnlyStream : public IStream {
 public:
  CReadOnlyStream() = default;
  CReadOnlyStream(const CReadOnlyStream&) = delete;
  CReadOnlyStream& operator=(const CReadOnlyStream&) = delete;

  // E_INVALIDARG for a null out pointer; E_NOINTERFACE (out set to null) for any
  // other interface.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_INVALIDARG;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IStream) || IsEqualIID(iid, IID_ISequentialStream)) {
      *out = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }

  STDMETHODIMP Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  STDMETHODIMP SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Revert() override { return E_NOTIMPL; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Clone(IStream**) override { return E_NOTIMPL; }

 protected:
  virtual ~CReadOnlyStream() = default;
};
