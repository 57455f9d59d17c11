// CFileStream: a read-only IStream over an open CE database stream (a contact's
// picture), for the image loaders. Not reference counted: it lives with whoever
// made it (AddRef answers 1, Release 0) and closes the stream handle when destroyed.
#pragma once
#include "base/ReadOnlyStream.h"

class CFileStream : public CReadOnlyStream {
 public:
  explicit CFileStream(HANDLE stream);
  ~CFileStream() override;

  HANDLE GetHandle() const { return m_stream; }

  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // S_OK with the bytes read (fewer at the end of the stream); STG_E_READFAULT
  // when the read fails, STG_E_INVALIDFUNCTION when the store has no streams.
  STDMETHODIMP Read(void* buffer, ULONG size, ULONG* read) override;
  // S_OK with the new position; STG_E_SEEKERROR when the store refuses the move
  // (before the start, a move that does not fit 32 bits), STG_E_INVALIDFUNCTION
  // for an unknown origin or a store without streams. The position is then unchanged.
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;

 private:
  HANDLE m_stream;
};
