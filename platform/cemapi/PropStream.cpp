#include "platform/cemapi/PropStream.h"

#include <cstring>

CPropStream::CPropStream(std::string bytes)
    : CUnknownImpl<IStream>({&IID_IStream, &IID_ISequentialStream}), bytes_(std::move(bytes)) {}

HRESULT CPropStream::Read(void* pv, ULONG cb, ULONG* read) {
  if (!pv && cb) return STG_E_INVALIDPOINTER;
  size_t left = at_ < bytes_.size() ? bytes_.size() - at_ : 0;
  size_t n = cb < left ? cb : left;
  if (n) memcpy(pv, bytes_.data() + at_, n);
  at_ += n;
  if (read) *read = static_cast<ULONG>(n);
  return S_OK;
}

HRESULT CPropStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  LONGLONG base = 0;
  switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(at_); break;
    case STREAM_SEEK_END: base = static_cast<LONGLONG>(bytes_.size()); break;
    default: return STG_E_INVALIDFUNCTION;
  }
  LONGLONG to = base + move.QuadPart;
  if (to < 0) return STG_E_INVALIDFUNCTION;
  at_ = static_cast<size_t>(to);
  if (position) position->QuadPart = static_cast<ULONGLONG>(to);
  return S_OK;
}

HRESULT CPropStream::CopyTo(IStream* to, ULARGE_INTEGER cb, ULARGE_INTEGER* read, ULARGE_INTEGER* written) {
  if (!to) return STG_E_INVALIDPOINTER;
  size_t left = at_ < bytes_.size() ? bytes_.size() - at_ : 0;
  size_t n = cb.QuadPart < left ? static_cast<size_t>(cb.QuadPart) : left;
  ULONG put = 0;
  HRESULT hr = n ? to->Write(bytes_.data() + at_, static_cast<ULONG>(n), &put) : S_OK;
  at_ += n;
  if (read) read->QuadPart = n;
  if (written) written->QuadPart = put;
  return hr;
}

HRESULT CPropStream::Stat(STATSTG* stat, DWORD) {
  if (!stat) return STG_E_INVALIDPOINTER;
  memset(stat, 0, sizeof *stat);
  stat->type = STGTY_STREAM;
  stat->cbSize.QuadPart = bytes_.size();
  stat->grfMode = STGM_READ;
  return S_OK;
}

HRESULT CPropStream::Clone(IStream** out) {
  if (!out) return STG_E_INVALIDPOINTER;
  CPropStream* copy = new (std::nothrow) CPropStream(bytes_);
  if (!copy) return E_OUTOFMEMORY;
  copy->at_ = at_;
  *out = copy;
  return S_OK;
}
