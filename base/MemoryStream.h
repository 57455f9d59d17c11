// CMemoryStream: a read-only COM stream over a memory block it owns, handed to
// platform imaging code. The count is interlocked because that code may
// release the stream on another thread.
#pragma once

#include "base/ReadOnlyStream.h"

class CMemoryStream : public CReadOnlyStream {
public:
  // block comes from new BYTE[size] and belongs to the stream from here on.
  CMemoryStream(BYTE* block, ULONG size);

  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP Read(void* buffer, ULONG count, ULONG* read) override;
  // A position before the start is refused (STG_E_INVALIDFUNCTION, position
  // unchanged); one beyond the end is allowed and reads nothing.
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;

private:
  ~CMemoryStream() override;

  BYTE* m_block;
  ULONGLONG m_position = 0;
  ULONG m_size;
  volatile LONG m_refs = 1;
};

// A new stream with one reference over block (from new BYTE[size]). The
// stream owns the block from the call on: on failure (null out pointer, null
// block with a size, no memory) the block is freed and *stream set to null.
HRESULT CreateMemoryStream(IStream** stream, BYTE* block, ULONG size);
