// CMemoryStream: a read-only COM stream over a memory block it owns, handed to
// platform imaging code. The count is interlocked because that code may
// release the stream on another thread.
#pragma once

#include <windows.h>
#include <objidl.h>

class CMemoryStream : public IStream {
public:
  // block comes from new BYTE[size] and belongs to the stream from here on.
  CMemoryStream(BYTE* block, ULONG size);
  CMemoryStream(const CMemoryStream&) = delete;
  CMemoryStream& operator=(const CMemoryStream&) = delete;

  // IUnknown, IStream and ISequentialStream.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP Read(void* buffer, ULONG count, ULONG* read) override;
  STDMETHODIMP Write(const void* buffer, ULONG count, ULONG* written) override;
  // A position before the start is refused (STG_E_INVALIDFUNCTION, position
  // unchanged); one beyond the end is allowed and reads nothing.
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
  STDMETHODIMP SetSize(ULARGE_INTEGER size) override;
  STDMETHODIMP CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                      ULARGE_INTEGER* written) override;
  STDMETHODIMP Commit(DWORD flags) override;
  STDMETHODIMP Revert() override;
  STDMETHODIMP LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
  STDMETHODIMP Stat(STATSTG* stat, DWORD flags) override;
  STDMETHODIMP Clone(IStream** clone) override;

private:
  virtual ~CMemoryStream();

  BYTE* m_block;
  ULONGLONG m_position = 0;
  ULONG m_size;
  volatile LONG m_refs = 1;
};

// A new stream with one reference over block (from new BYTE[size]). The
// stream owns the block from the call on: on failure (null out pointer, null
// block with a size, no memory) the block is freed and *stream set to null.
HRESULT CreateMemoryStream(IStream** stream, BYTE* block, ULONG size);
