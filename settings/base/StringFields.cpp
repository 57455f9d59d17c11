#include "settings/base/StringFields.h"

CString StringConcat(WCHAR ch, LPCWSTR text) {
  CString result;
  result += ch;
  if (text) result += text;
  return result;
}
