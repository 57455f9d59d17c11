#include "graphics/FileStream.h"

#include "base/CeDbApi.h"

CFileStream::CFileStream(HANDLE stream) : m_stream(stream) {}

CFileStream::~CFileStream() {
  if (m_stream && m_stream != INVALID_HANDLE_VALUE) CloseHandle(m_stream);
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

