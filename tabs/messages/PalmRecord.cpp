#include "tabs/messages/PalmRecord.h"

namespace {

DWORD Big32(const BYTE* p) {
  return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | DWORD(p[3]);
}

DWORD Little32(const BYTE* p) {
  return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

}  // namespace

void CPalmRecord::Parse(const BYTE* data, size_t size) {
  m_props.clear();
  m_bytes.assign(reinterpret_cast<const char*>(data), data ? size : 0);
  const BYTE* p = reinterpret_cast<const BYTE*>(m_bytes.data());
  size_t at = 0;
  const size_t end = m_bytes.size();
  while (end - at >= 2) {
    const WORD id = static_cast<WORD>((p[at] << 8) | p[at + 1]);
    at += 2;
    size_t length = 0;
    switch (id & 0xF000) {
      case 0x1000:
        length = 4;
        break;
      case 0x5000:
        length = 8;
        break;
      case 0x2000:
      case 0x3000:
        if (end - at < 4) return;
        length = Big32(p + at);
        at += 4;
        break;
      default:
        return;
    }
    // A stated length beyond the record's end is a damaged record: it ends here.
    if (length > end - at) return;
    m_props.push_back({id, at, static_cast<DWORD>(length)});
    at += length;
  }
}

const CPalmRecord::Prop* CPalmRecord::Find(WORD id) const {
  for (const Prop& prop : m_props)
    if (prop.id == id) return &prop;
  return nullptr;
}

BOOL CPalmRecord::GetNumber(WORD id, DWORD* value) const {
  const Prop* prop = Find(id);
  if (!prop || (id & 0xF000) != 0x1000) return FALSE;
  *value = Big32(reinterpret_cast<const BYTE*>(m_bytes.data()) + prop->offset);
  return TRUE;
}

BOOL CPalmRecord::GetText(WORD id, CString& text) const {
  const Prop* prop = Find(id);
  if (!prop || (id & 0xF000) != 0x2000) return FALSE;
  text.Empty();
  if (!prop->size) return TRUE;
  if (prop->size > 0x7FFFFFFF) return FALSE;
  const UINT codePage = (id & 0xFF00) == 0x2200 ? CP_UTF8 : CP_ACP;
  const char* bytes = m_bytes.data() + prop->offset;
  const int chars = MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(prop->size), nullptr, 0);
  if (chars <= 0) return FALSE;
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(prop->size), &wide[0], chars);
  // The component may keep the terminating zero inside the length.
  const size_t zero = wide.find(L'\0');
  if (zero != std::wstring::npos) wide.resize(zero);
  text = wide.c_str();
  return TRUE;
}

BOOL CPalmRecord::GetBinary(WORD id, const BYTE** data, DWORD* size) const {
  const Prop* prop = Find(id);
  if (!prop || (id & 0xF000) != 0x3000) return FALSE;
  *data = reinterpret_cast<const BYTE*>(m_bytes.data()) + prop->offset;
  *size = prop->size;
  return TRUE;
}

BOOL CPalmRecord::GetTime(WORD id, FILETIME* time) const {
  const Prop* prop = Find(id);
  if (!prop || (id & 0xF000) != 0x5000) return FALSE;
  const BYTE* p = reinterpret_cast<const BYTE*>(m_bytes.data()) + prop->offset;
  time->dwLowDateTime = Little32(p);
  time->dwHighDateTime = Little32(p + 4);
  return TRUE;
}
