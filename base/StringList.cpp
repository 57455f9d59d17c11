#include "base/StringList.h"

#include <new>

int FindText(const CStringList& list, LPCWSTR text) {
  for (int i = 0; i < list.GetCount(); ++i)
    if (list[i] == (text ? text : L"")) return i;
  return -1;
}

int RemoveAllEqual(CStringList& list, LPCWSTR text) {
  int removed = 0;
  for (int i = list.GetCount() - 1; i >= 0; --i)
    if (list[i] == (text ? text : L"")) {
      list.RemoveAt(i);
      ++removed;
    }
  return removed;
}

BOOL InsertMostRecent(CStringList& list, LPCWSTR text) {
  CString copy(text);  // text may point into an entry about to go
  RemoveAllEqual(list, copy);
  return list.InsertAt(0, copy);
}

void CopyFirstEntries(const CStringList& source, CStringList& target, int n) {
  if (&source == &target) {
    while (target.GetCount() > (n < 0 ? 0 : n)) target.RemoveAt(target.GetCount() - 1);
    return;
  }
  target.RemoveAll();
  for (int i = 0; i < n && i < source.GetCount(); ++i) target.Add(source[i]);
}

CStringVector::CStringVector(int count)
    : m_items(count > 0 ? new (std::nothrow) CString[count] : nullptr), m_count(count) {}

void AddBackslash(CString& path) {
  int length = path.GetLength();
  if (length > 0 && path[length - 1] != L'\\') path += L'\\';
}

void SplitString(LPCWSTR text, WCHAR separator, CStringList& fields) {
  fields.RemoveAll();
  if (!text || !*text) return;
  LPCWSTR start = text;
  for (LPCWSTR at = text;; ++at) {
    if (*at == separator || *at == L'\0') {
      CString field;
      int length = static_cast<int>(at - start);
      if (length > 0) {
        LPWSTR buffer = field.GetBufferSetLength(length);
        if (buffer) wmemcpy(buffer, start, static_cast<size_t>(length));
        field.ReleaseBuffer(length);
      }
      fields.Add(field);
      if (*at == L'\0') return;
      start = at + 1;
    }
  }
}

CString JoinStrings(const CStringList& fields, WCHAR separator) {
  CString joined;
  for (int i = 0; i < fields.GetCount(); ++i) {
    if (i) joined += separator;
    joined += fields.GetAt(i);
  }
  return joined;
}
