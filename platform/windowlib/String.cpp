#include "platform/windowlib/String.h"

#include "platform/windowlib/Module.h"

#include <stdio.h>
#include <stdlib.h>
#include <wctype.h>

namespace {

// The empty text is one static block shared by every empty string; its count
// of -1 keeps it out of the counting altogether.
struct NilBlock {
  volatile LONG refs;
  int length;
  int capacity;
  WCHAR zero;
};
NilBlock g_nil = {-1, 0, 0, 0};

constexpr int kMaxLength = 0x3FFFFFF0;

bool Contains(LPCWSTR begin, int count, LPCWSTR p) {
  return p >= begin && p <= begin + count;
}

}  // namespace

CString::Data* CString::Nil() {
  static_assert(sizeof(Data) == offsetof(NilBlock, zero), "the empty text must sit right after its header");
  return reinterpret_cast<Data*>(&g_nil);
}

CString::Data* CString::Allocate(int capacity) {
  if (capacity < 0 || capacity > kMaxLength) return nullptr;
  Data* data = static_cast<Data*>(malloc(sizeof(Data) + (static_cast<size_t>(capacity) + 1) * sizeof(WCHAR)));
  if (!data) return nullptr;
  data->refs = 1;
  data->length = 0;
  data->capacity = capacity;
  data->Text()[0] = 0;
  return data;
}

void CString::ReleaseData(Data* data) {
  if (data == Nil() || data->refs == -1) return;
  if (InterlockedDecrement(&data->refs) == 0) free(data);
}

CString::CString() { Attach(Nil()); }

CString::CString(const CString& src) {
  Data* data = src.Header();
  if (data->refs != -1) InterlockedIncrement(&data->refs);
  Attach(data);
}

CString::CString(CString&& src) noexcept : m_text(src.m_text) { src.Attach(Nil()); }

CString::CString(LPCWSTR text) {
  Attach(Nil());
  if (text) Assign(text, static_cast<int>(wcslen(text)));
}

CString::CString(LPCWSTR text, int length) {
  Attach(Nil());
  if (text) Assign(text, length);
}

CString::CString(LPCSTR text) {
  Attach(Nil());
  *this = text;
}

CString::CString(WCHAR ch, int repeat) {
  Attach(Nil());
  if (repeat > 0 && Prepare(repeat)) {
    wmemset(m_text, ch, repeat);
    SetLength(repeat);
  }
}

CString::~CString() { ReleaseData(Header()); }

CString CString::FromBSTR(BSTR text) {
  return text ? CString(text, static_cast<int>(SysStringLen(text))) : CString();
}

BSTR CString::AllocSysString() const { return SysAllocStringLen(m_text, GetLength()); }

CString& CString::operator=(const CString& src) {
  if (m_text != src.m_text) {
    Data* data = src.Header();
    if (data->refs != -1) InterlockedIncrement(&data->refs);
    ReleaseData(Header());
    Attach(data);
  }
  return *this;
}

CString& CString::operator=(CString&& src) noexcept {
  if (this != &src) {
    ReleaseData(Header());
    m_text = src.m_text;
    src.Attach(Nil());
  }
  return *this;
}

CString& CString::operator=(LPCWSTR text) {
  if (!text) Empty();
  else Assign(text, static_cast<int>(wcslen(text)));
  return *this;
}

CString& CString::operator=(LPCSTR text) {
  int count = text ? MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) : 0;
  if (count <= 1) {
    Empty();
    return *this;
  }
  Data* data = Allocate(count - 1);
  if (!data) return *this;
  MultiByteToWideChar(CP_ACP, 0, text, -1, data->Text(), count);
  data->length = count - 1;
  data->Text()[count - 1] = 0;
  ReleaseData(Header());
  Attach(data);
  return *this;
}

CString& CString::operator=(WCHAR ch) { return *this = CString(ch); }

CString& CString::operator+=(const CString& text) {
  CString keep(text);  // the text may be this very string
  Append(keep, keep.GetLength());
  return *this;
}

CString& CString::operator+=(LPCWSTR text) {
  if (text) Append(text, static_cast<int>(wcslen(text)));
  return *this;
}

CString& CString::operator+=(WCHAR ch) {
  Append(&ch, 1);
  return *this;
}

void CString::Append(LPCWSTR text, int length) {
  if (!text || length <= 0) return;
  int old = GetLength();
  if (length > kMaxLength - old) return;
  Data* data = Header();
  if (data->refs == 1 && old + length <= data->capacity) {
    wmemmove(m_text + old, text, length);
    SetLength(old + length);
    return;
  }
  int capacity = old + length;
  if (data->refs == 1 && capacity < data->capacity + data->capacity / 2) capacity = data->capacity + data->capacity / 2;
  Data* grown = Allocate(capacity);
  if (!grown) return;
  wmemcpy(grown->Text(), m_text, old);
  wmemcpy(grown->Text() + old, text, length);  // text may lie in the old buffer: still alive here
  grown->length = old + length;
  grown->Text()[old + length] = 0;
  ReleaseData(data);
  Attach(grown);
}

void CString::Empty() {
  ReleaseData(Header());
  Attach(Nil());
}

void CString::SetAt(int index, WCHAR ch) {
  if (index < 0 || index >= GetLength() || !Prepare(GetLength())) return;
  m_text[index] = ch;
}

LPWSTR CString::GetBuffer(int minLength) {
  return Prepare(minLength > GetLength() ? minLength : GetLength()) ? m_text : nullptr;
}

LPWSTR CString::GetBufferSetLength(int length) {
  if (length < 0 || !Prepare(length)) return nullptr;
  SetLength(length);
  return m_text;
}

void CString::ReleaseBuffer(int newLength) {
  Data* data = Header();
  if (data->refs != 1) return;  // never written through GetBuffer
  if (newLength < 0) newLength = static_cast<int>(wcsnlen(m_text, data->capacity));
  if (newLength > data->capacity) newLength = data->capacity;
  SetLength(newLength);
}

bool CString::Assign(LPCWSTR text, int length) {
  if (length <= 0) {
    Empty();
    return true;
  }
  Data* data = Header();
  if (data->refs == 1 && length <= data->capacity) {
    wmemmove(m_text, text, length);
    SetLength(length);
    return true;
  }
  Data* fresh = Allocate(length);
  if (!fresh) return false;
  wmemcpy(fresh->Text(), text, length);
  fresh->length = length;
  fresh->Text()[length] = 0;
  ReleaseData(data);
  Attach(fresh);
  return true;
}

bool CString::Prepare(int capacity) {
  Data* data = Header();
  if (data->refs == 1 && capacity <= data->capacity) return true;
  int size = capacity < data->length ? data->length : capacity;
  if (data->refs == 1 && size < data->capacity + data->capacity / 2) size = data->capacity + data->capacity / 2;
  Data* fresh = Allocate(size);
  if (!fresh) return false;
  wmemcpy(fresh->Text(), data->Text(), data->length + 1);
  fresh->length = data->length;
  ReleaseData(data);
  Attach(fresh);
  return true;
}

void CString::SetLength(int length) {
  Header()->length = length;
  m_text[length] = 0;
}

int CString::Compare(LPCWSTR text) const { return wcscmp(m_text, text ? text : L""); }

int CString::CompareNoCase(LPCWSTR text) const { return _wcsicmp(m_text, text ? text : L""); }

int CString::Find(LPCWSTR text, int start) const {
  if (start < 0 || start > GetLength() || !text) return -1;
  if (!*text) return start;  // the runtime's search gives nothing for an empty text
  LPCWSTR hit = wcsstr(m_text + start, text);
  return hit ? static_cast<int>(hit - m_text) : -1;
}

int CString::Find(WCHAR ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  LPCWSTR hit = wmemchr(m_text + start, ch, GetLength() - start);
  return hit ? static_cast<int>(hit - m_text) : -1;
}

int CString::ReverseFind(WCHAR ch) const {
  for (int i = GetLength() - 1; i >= 0; --i)
    if (m_text[i] == ch) return i;
  return -1;
}

int CString::FindOneOf(LPCWSTR chars) const {
  if (!chars) return -1;
  int index = static_cast<int>(wcscspn(m_text, chars));
  return index < GetLength() ? index : -1;
}

int CString::Delete(int index, int count) {
  int length = GetLength();
  if (index < 0) index = 0;
  if (count < 1 || index >= length) return length;
  if (count > length - index) count = length - index;
  if (!Prepare(length)) return length;
  wmemmove(m_text + index, m_text + index + count, length - index - count);
  SetLength(length - count);
  return length - count;
}

int CString::Insert(int index, WCHAR ch) { return Insert(index, CString(ch)); }

int CString::Insert(int index, LPCWSTR text) {
  int length = GetLength();
  if (!text || !*text) return length;
  if (Contains(m_text, length, text)) return Insert(index, CString(text));
  int count = static_cast<int>(wcslen(text));
  if (index < 0) index = 0;
  if (index > length) index = length;
  if (count > kMaxLength - length || !Prepare(length + count)) return -1;
  wmemmove(m_text + index + count, m_text + index, length - index);
  wmemcpy(m_text + index, text, count);
  SetLength(length + count);
  return length + count;
}

int CString::Replace(WCHAR oldCh, WCHAR newCh) {
  int count = 0;
  for (int i = 0; i < GetLength(); ++i)
    if (m_text[i] == oldCh) ++count;
  if (count == 0 || oldCh == newCh) return count;
  if (!Prepare(GetLength())) return 0;
  for (int i = 0; i < GetLength(); ++i)
    if (m_text[i] == oldCh) m_text[i] = newCh;
  return count;
}

int CString::Replace(LPCWSTR oldText, LPCWSTR newText) {
  if (!oldText || !*oldText) return 0;
  if (!newText) newText = L"";
  int oldLength = static_cast<int>(wcslen(oldText));
  int newLength = static_cast<int>(wcslen(newText));
  int count = 0;
  for (LPCWSTR p = wcsstr(m_text, oldText); p; p = wcsstr(p + oldLength, oldText)) ++count;
  if (count == 0) return 0;
  long long total = GetLength() + static_cast<long long>(count) * (newLength - oldLength);
  if (total > kMaxLength) return 0;
  Data* fresh = Allocate(static_cast<int>(total));
  if (!fresh) return 0;
  WCHAR* out = fresh->Text();
  LPCWSTR from = m_text;
  for (LPCWSTR p = wcsstr(from, oldText); p; p = wcsstr(from, oldText)) {
    wmemcpy(out, from, p - from);
    out += p - from;
    wmemcpy(out, newText, newLength);
    out += newLength;
    from = p + oldLength;
  }
  wmemcpy(out, from, m_text + GetLength() - from);
  fresh->length = static_cast<int>(total);
  fresh->Text()[total] = 0;
  ReleaseData(Header());
  Attach(fresh);
  return count;
}

int CString::Remove(WCHAR ch) {
  int length = GetLength();
  if (!wmemchr(m_text, ch, length) || !Prepare(length)) return 0;
  int kept = 0;
  for (int i = 0; i < length; ++i)
    if (m_text[i] != ch) m_text[kept++] = m_text[i];
  SetLength(kept);
  return length - kept;
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  int length = GetLength();
  if (first < 0) first = 0;
  if (first > length) first = length;
  if (count < 0) count = 0;
  if (count > length - first) count = length - first;
  if (first == 0 && count == length) return *this;
  return CString(m_text + first, count);
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  if (count < 0) count = 0;
  return count >= GetLength() ? *this : Mid(GetLength() - count, count);
}

CString& CString::MakeUpper() {
  if (!IsEmpty() && Prepare(GetLength())) CharUpperBuffW(m_text, GetLength());
  return *this;
}

CString& CString::MakeLower() {
  if (!IsEmpty() && Prepare(GetLength())) CharLowerBuffW(m_text, GetLength());
  return *this;
}

CString& CString::MakeReverse() {
  if (GetLength() > 1 && Prepare(GetLength())) {
    for (int i = 0, j = GetLength() - 1; i < j; ++i, --j) {
      WCHAR t = m_text[i];
      m_text[i] = m_text[j];
      m_text[j] = t;
    }
  }
  return *this;
}

namespace {

template <class Pred>
int CountLeading(LPCWSTR text, int length, Pred match) {
  int n = 0;
  while (n < length && match(text[n])) ++n;
  return n;
}

template <class Pred>
int CountTrailing(LPCWSTR text, int length, Pred match) {
  int n = 0;
  while (n < length && match(text[length - 1 - n])) ++n;
  return n;
}

bool IsSpace(WCHAR c) { return iswspace(c) != 0; }

}  // namespace

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimLeft() {
  Delete(0, CountLeading(m_text, GetLength(), IsSpace));
  return *this;
}

CString& CString::TrimRight() {
  int n = CountTrailing(m_text, GetLength(), IsSpace);
  Delete(GetLength() - n, n);
  return *this;
}

CString& CString::Trim(WCHAR ch) { return TrimRight(ch).TrimLeft(ch); }

CString& CString::TrimLeft(WCHAR ch) {
  Delete(0, CountLeading(m_text, GetLength(), [ch](WCHAR c) { return c == ch; }));
  return *this;
}

CString& CString::TrimRight(WCHAR ch) {
  int n = CountTrailing(m_text, GetLength(), [ch](WCHAR c) { return c == ch; });
  Delete(GetLength() - n, n);
  return *this;
}

CString& CString::TrimLeft(LPCWSTR chars) {
  if (chars) Delete(0, CountLeading(m_text, GetLength(), [chars](WCHAR c) { return c && wcschr(chars, c); }));
  return *this;
}

CString& CString::TrimRight(LPCWSTR chars) {
  if (chars) {
    int n = CountTrailing(m_text, GetLength(), [chars](WCHAR c) { return c && wcschr(chars, c); });
    Delete(GetLength() - n, n);
  }
  return *this;
}

BOOL CString::Format(LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  BOOL ok = FormatV(format, args);
  va_end(args);
  return ok;
}

BOOL CString::FormatV(LPCWSTR format, va_list args) {
  if (!format) return FALSE;
  va_list measure;
  va_copy(measure, args);
  int length = _vscwprintf(format, measure);
  va_end(measure);
  if (length < 0) return FALSE;
  if (length == 0) {
    Empty();
    return TRUE;
  }
  // Formatted into a fresh buffer: the arguments may point into this string.
  Data* fresh = Allocate(length);
  if (!fresh) return FALSE;
  _vsnwprintf(fresh->Text(), static_cast<size_t>(length) + 1, format, args);
  fresh->length = length;
  fresh->Text()[length] = 0;
  ReleaseData(Header());
  Attach(fresh);
  return TRUE;
}

BOOL CString::AppendFormat(LPCWSTR format, ...) {
  CString tail;
  va_list args;
  va_start(args, format);
  BOOL ok = tail.FormatV(format, args);
  va_end(args);
  if (ok) *this += tail;
  return ok;
}

BOOL CString::LoadString(UINT id) { return LoadString(GetModule().GetResourceInstance(), id); }

BOOL CString::LoadString(HINSTANCE instance, UINT id) {
  // With no buffer, the loader hands out the text in place, so length is no limit.
  LPCWSTR text = nullptr;
  int length = ::LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) {
    Empty();
    return FALSE;
  }
  return Assign(text, length) ? TRUE : FALSE;
}

namespace {

template <class A, class B>
CString Concatenate(const A& a, const B& b) {
  CString result(a);
  result += b;
  return result;
}

}  // namespace

CString operator+(const CString& a, const CString& b) { return Concatenate(a, b); }
CString operator+(const CString& a, LPCWSTR b) { return Concatenate(a, b); }
CString operator+(LPCWSTR a, const CString& b) { return Concatenate(a, b); }
CString operator+(const CString& a, WCHAR b) { return Concatenate(a, b); }
CString operator+(WCHAR a, const CString& b) { return Concatenate(a, b); }
