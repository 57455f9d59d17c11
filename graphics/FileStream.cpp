#include "graphics/FileStream.h"

#include "base/CeDbApi.h"

CFileStream::CFileStream(HANDLE stream) : m_stream(stream) {}

CFileStream::~CFileStream() {
  if (m_stream && m_stream != INVALID_HANDLE_VALUE) CloseHandle(m_stream);
}

STDMETHODIMP CFileStream::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_INVALIDARG;
  *object = nullptr;
  if (iid != IID_IStream && iid != IID_ISequentialStream) return E_NOINTERFACE;
  AddRef();
  *object = static_cast<IStream*>(this);
  return S_OK;
}

STDMETHODIMP_(ULONG) CFileStream::AddRef() { return 1; }

STDMETHODIMP_(ULONG) CFileStream::Release() { return 0; }

STDMETHODIMP CFileStream::Read(void* buffer, ULONG size, ULONG* read) {
  if (read) *read = 0;
  CCeDbApi::StreamReadFn readFn = GetCeDbApi()->m_pfnStreamRead;
  if (!readFn) return STG_E_INVALIDFUNCTION;
  if (!buffer && size) return STG_E_INVALIDPOINTER;
  DWORD done = 0;
  if (!readFn(m_stream, static_cast<LPBYTE>(buffer), size, &done)) return STG_E_READFAULT;
  if (read) *read = done;
  return S_OK;
}

STDMETHODIMP CFileStream::Write(const void*, ULONG, ULONG*) { return E_NOTIMPL; }

STDMETHODIMP CFileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  CCeDbApi::StreamSeekFn seekFn = GetCeDbApi()->m_pfnStreamSeek;
  if (!seekFn) return STG_E_INVALIDFUNCTION;
  if (origin != STREAM_SEEK_SET && origin != STREAM_SEEK_CUR && origin != STREAM_SEEK_END)
    return STG_E_INVALIDFUNCTION;
  // The store moves by 32 bits: unsigned from the start, signed from elsewhere.
  const LONGLONG delta = move.QuadPart;
  const bool fits = origin == STREAM_SEEK_SET ? delta >= 0 && delta <= 0xFFFFFFFFll
                                              : delta >= -0x80000000ll && delta <= 0x7FFFFFFFll;
  if (!fits) return STG_E_SEEKERROR;
  DWORD now = 0;
  if (!seekFn(m_stream, static_cast<DWORD>(delta), origin, &now)) return STG_E_SEEKERROR;
  if (position) position->QuadPart = now;
  return S_OK;
}

STDMETHODIMP CFileStream::SetSize(ULARGE_INTEGER) { return E_NOTIMPL; }

STDMETHODIMP CFileStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }

STDMETHODIMP CFileStream::Commit(DWORD) { return E_NOTIMPL; }

STDMETHODIMP CFileStream::Revert() { return E_NOTIMPL; }

STDMETHODIMP CFileStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }

STDMETHODIMP CFileStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }

STDMETHODIMP CFileStream::Stat(STATSTG*, DWORD) { return E_NOTIMPL; }

STDMETHODIMP CFileStream::Clone(IStream**) { return E_NOTIMPL; }
