#include "base/MemoryStream.h"

#include <limits.h>
#include <new>
#include <string.h>

CMemoryStream::CMemoryStream(BYTE* block, ULONG size) : m_block(block), m_size(block ? size : 0) {}

CMemoryStream::~CMemoryStream() { delete[] m_block; }

HRESULT CreateMemoryStream(IStream** stream, BYTE* block, ULONG size) {
  if (stream) *stream = nullptr;
  if (!stream || (!block && size > 0)) {
    delete[] block;
    return E_INVALIDARG;
  }
  auto* created = new (std::nothrow) CMemoryStream(block, size);
  if (!created) {
    delete[] block;
    return E_OUTOFMEMORY;
  }
  *stream = created;
  return S_OK;
}

STDMETHODIMP_(ULONG) CMemoryStream::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

STDMETHODIMP_(ULONG) CMemoryStream::Release() {
  LONG refs = InterlockedDecrement(&m_refs);
  if (refs == 0) delete this;
  return static_cast<ULONG>(refs);
}

STDMETHODIMP CMemoryStream::Read(void* buffer, ULONG count, ULONG* read) {
  if (read) *read = 0;
  if (!buffer) return E_INVALIDARG;
  ULONG left = m_position < m_size ? static_cast<ULONG>(m_size - m_position) : 0;
  ULONG copied = count < left ? count : left;
  if (copied) memcpy(buffer, m_block + m_position, copied);
  m_position += copied;
  if (read) *read = copied;
  return S_OK;
}

STDMETHODIMP CMemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  LONGLONG base;
  switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(m_position); break;
    case STREAM_SEEK_END: base = m_size; break;
    default: return E_INVALIDARG;
  }
  // Before the start would read before the block; past the 64-bit range
  // would wrap round to it.
  if (move.QuadPart < -base || (move.QuadPart > 0 && base > LLONG_MAX - move.QuadPart))
    return STG_E_INVALIDFUNCTION;
  m_position = static_cast<ULONGLONG>(base + move.QuadPart);
  if (position) position->QuadPart = m_position;
  return S_OK;
}

