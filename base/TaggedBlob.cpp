#include "base/TaggedBlob.h"

#include <string.h>

namespace {

const WCHAR kKindLetters[] = L"MFP";

int KindOfLetter(WCHAR letter) {
  for (int i = 0; i < 3; ++i)
    if (kKindLetters[i] == letter) return i;
  return -1;
}

int HexValue(WCHAR c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

// True when text holds at least count characters before its terminator.
bool HasChars(LPCWSTR text, int count) {
  for (int i = 0; i < count; ++i)
    if (!text[i]) return false;
  return true;
}

void AppendPrefix(CString& out, int length) {
  out += static_cast<WCHAR>(L'A' + length / 26);
  out += static_cast<WCHAR>(L'A' + length % 26);
}

}  // namespace

BOOL FormatLengthPrefixedText(CString& out, LPCWSTR text, int length) {
  if (length < 0 || length > static_cast<int>(CTaggedBlob::MaxName)) return FALSE;
  AppendPrefix(out, length);
  out.Append(text, length);
  return TRUE;
}

BOOL FormatLengthPrefixedHex(CString& out, const BYTE* data, DWORD size) {
  if (size > CTaggedBlob::MaxTextData) return FALSE;
  static const WCHAR digits[] = L"0123456789ABCDEF";
  AppendPrefix(out, static_cast<int>(size * 2));
  for (DWORD i = 0; i < size; ++i) {
    out += digits[data[i] >> 4];
    out += digits[data[i] & 15];
  }
  return TRUE;
}

int ParseLengthPrefix(LPCWSTR text) {
  if (!text || text[0] < L'A' || text[0] > L'Z' || text[1] < L'A' || text[1] > L'Z') return -1;
  return (text[0] - L'A') * 26 + (text[1] - L'A');
}

int ParseLengthPrefixedText(LPCWSTR text, CString& out) {
  int length = ParseLengthPrefix(text);
  if (length < 0 || !HasChars(text + 2, length)) return 0;
  out = CString(text + 2, length);
  return length + 2;
}

int ParseLengthPrefixedHex(LPCWSTR text, CBlobObj& out) {
  int digits = ParseLengthPrefix(text);
  if (digits < 0 || digits % 2 != 0 || !HasChars(text + 2, digits)) return 0;
  CBlobObj data;
  if (digits > 0 && !data.Alloc(static_cast<DWORD>(digits / 2))) return 0;
  for (int i = 0; i < digits / 2; ++i) {
    int high = HexValue(text[2 + i * 2]);
    int low = HexValue(text[3 + i * 2]);
    if (high < 0 || low < 0) return 0;
    data.GetData()[i] = static_cast<BYTE>(high * 16 + low);
  }
  out = data;
  return digits + 2;
}

CTaggedBlob::CTaggedBlob(const CTaggedBlob& other) : m_kind(other.m_kind), m_name(other.m_name) {
  SetData(other.m_data, other.m_size);
}

CTaggedBlob& CTaggedBlob::operator=(const CTaggedBlob& other) {
  if (this != &other) {
    SetData(other.m_data, other.m_size);
    m_kind = other.m_kind;
    m_name = other.m_name;
  }
  return *this;
}

void CTaggedBlob::Empty() {
  if (m_data) LocalFree(m_data);
  m_data = nullptr;
  m_size = 0;
  m_kind = KindM;
  m_name.Empty();
}

BOOL CTaggedBlob::SetData(const void* data, DWORD size) {
  if (size > MaxTextData || (!data && size > 0)) return FALSE;
  BYTE* copy = nullptr;
  if (size > 0) {
    copy = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, size));
    if (!copy) return FALSE;
    memcpy(copy, data, size);
  }
  if (m_data) LocalFree(m_data);
  m_data = copy;
  m_size = size;
  return TRUE;
}

BOOL CTaggedBlob::SetKind(int kind) {
  if (kind < KindM || kind > KindP) return FALSE;
  m_kind = kind;
  return TRUE;
}

BOOL CTaggedBlob::SetName(LPCWSTR name) {
  CString copy(name);
  if (static_cast<DWORD>(copy.GetLength()) > MaxName) return FALSE;
  m_name = copy;
  return TRUE;
}

CString CTaggedBlob::FormatKindAndHex() const {
  CString text;
  if (m_kind >= KindM && m_kind <= KindP) text += kKindLetters[m_kind];
  if (!FormatLengthPrefixedHex(text, m_data, m_size)) return CString();
  return text;
}

CString CTaggedBlob::ToText() const {
  CString text;
  if (m_kind < KindM || m_kind > KindP || !FormatLengthPrefixedText(text, m_name, m_name.GetLength()))
    return CString();
  CString tail = FormatKindAndHex();
  if (tail.IsEmpty()) return CString();
  return text + tail;
}

int CTaggedBlob::ParseKindAndHex(LPCWSTR text) {
  int kind = text ? KindOfLetter(text[0]) : -1;
  if (kind < 0) return 0;
  CBlobObj data;
  int used = ParseLengthPrefixedHex(text + 1, data);
  if (!used || !SetData(data.GetData(), data.GetSize())) return 0;
  m_kind = kind;
  return used + 1;
}

BOOL CTaggedBlob::FromText(LPCWSTR text, int* consumed) {
  if (consumed) *consumed = 0;
  Empty();
  CString name;
  int used = text ? ParseLengthPrefixedText(text, name) : 0;
  int tail = used ? ParseKindAndHex(text + used) : 0;
  if (!tail) {
    Empty();
    return FALSE;
  }
  m_name = name;
  if (consumed) *consumed = used + tail;
  return TRUE;
}

BOOL CTaggedBlob::WriteBinary(BYTE* buffer, DWORD& remaining, BYTE** next) const {
  if (m_size > MaxBinaryData || m_kind < KindM || m_kind > KindP) return FALSE;
  DWORD needed = m_size + 2;
  if (!buffer) {
    remaining += needed;
    return TRUE;
  }
  if (remaining < needed) return FALSE;
  buffer[0] = static_cast<BYTE>(kKindLetters[m_kind]);
  buffer[1] = static_cast<BYTE>(m_size);
  if (m_size) memcpy(buffer + 2, m_data, m_size);
  remaining -= needed;
  if (next) *next = buffer + needed;
  return TRUE;
}

const BYTE* CTaggedBlob::ReadBinary(const BYTE* bytes, DWORD& remaining) {
  if (!bytes || remaining < 2) return nullptr;
  int kind = KindOfLetter(static_cast<WCHAR>(bytes[0]));
  DWORD size = bytes[1];
  if (kind < 0 || size > remaining - 2 || !SetData(bytes + 2, size)) return nullptr;
  m_kind = kind;
  remaining -= size + 2;
  return bytes + size + 2;
}

BOOL PackKindText(DWORD kind, LPCWSTR text, CBlobObj& out) {
  DWORD chars = text ? static_cast<DWORD>(wcslen(text)) : 0;
  BYTE* data = out.Alloc(4 + chars * sizeof(WCHAR));
  if (!data) return FALSE;
  for (int i = 0; i < 4; ++i) data[i] = static_cast<BYTE>(kind >> (8 * i));
  if (chars) memcpy(data + 4, text, chars * sizeof(WCHAR));
  return TRUE;
}

BOOL UnpackKindText(const CBlobObj& blob, DWORD& kind, CString& text) {
  if (blob.GetSize() < 4 || !blob.GetData()) return FALSE;
  const BYTE* data = blob.GetData();
  kind = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<DWORD>(data[3]) << 24);
  int chars = static_cast<int>((blob.GetSize() - 4) / sizeof(WCHAR));
  CString result;
  LPWSTR buffer = result.GetBufferSetLength(chars);
  if (chars && !buffer) return FALSE;
  if (chars) memcpy(buffer, data + 4, chars * sizeof(WCHAR));
  result.ReleaseBuffer(chars);
  text = result;
  return TRUE;
}
