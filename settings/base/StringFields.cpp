#include "settings/base/StringFields.h"

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

CString StringConcat(WCHAR ch, LPCWSTR text) {
  CString result;
  result += ch;
  if (text) result += text;
  return result;
}
