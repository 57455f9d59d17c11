// CFileStream: a read-only IStream over an open CE database stream (a contact's
// picture), for the image loaders. Not reference counted: it lives with whoever
// made it (AddRef answers 1, Release 0) and closes the stream handle when destroyed.
#pragma once
#include <windows.h>
#include <objidl.h>

class CFileStream : public IStream {
 public:
  explicit CFileStream(HANDLE stream);
  virtual ~CFileStream();
  CFileStream(const CFileStream&) = delete;
  CFileStream& operator=(const CFileStream&) = delete;

  HANDLE GetHandle() const { return m_stream; }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // S_OK with the bytes read (fewer at the end of the stream); STG_E_READFAULT
  // when the read fails, STG_E_INVALIDFUNCTION when the store has no streams.
  STDMETHODIMP Read(void* buffer, ULONG size, ULONG* read) override;
  STDMETHODIMP Write(const void* buffer, ULONG size, ULONG* written) override;
  // S_OK with the new position; STG_E_SEEKERROR when the store refuses the move
  // (before the start, a move that does not fit 32 bits), STG_E_INVALIDFUNCTION
  // for an unknown origin or a store without streams. The position is then unchanged.
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
  STDMETHODIMP SetSize(ULARGE_INTEGER size) override;
  STDMETHODIMP CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override;
  STDMETHODIMP Commit(DWORD flags) override;
  STDMETHODIMP Revert() override;
  STDMETHODIMP LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
  STDMETHODIMP Stat(STATSTG* stat, DWORD flags) override;
  STDMETHODIMP Clone(IStream** clone) override;

 private:
  HANDLE m_stream;
};
