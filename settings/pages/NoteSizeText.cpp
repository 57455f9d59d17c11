#include "settings/pages/NoteSizeText.h"

#include <cwchar>

#include "base/DateFormat.h"

namespace {

// A whole part with its fraction in thousandths: "w#fff", cut to four characters
// (three when the fourth is the mark), the unit after it.
CString Compose(unsigned long long whole, unsigned fraction, LPCWSTR unit, const CString& separator) {
  WCHAR number[48] = L"";
  swprintf(number, 48, L"%llu#%03u", whole, fraction);
  if (wcslen(number) > 4) number[number[3] == L'#' ? 3 : 4] = 0;
  CString text;
  for (const WCHAR* c = number; *c; ++c) {
    if (*c == L'#') text += separator;
    else text += *c;
  }
  text += unit;
  return text;
}

// The remainder of value in units of step, in thousandths of the step: a raw
// remainder of 1000 to 1023 bytes is no fraction to show as digits.
unsigned Thousandths(unsigned long long value, unsigned long long step) {
  return static_cast<unsigned>((value % step) * 1000 / step);
}

}  // namespace

CString FormatNoteSize(int kind, DWORD bytes, DWORD milliseconds, LPCWSTR separator) {
  CString decimal;
  if (separator) decimal = separator;
  else GetDecimalSeparator(decimal);
  if (kind == kVoiceNoteKind) {
    if (milliseconds < 60000) return Compose(milliseconds / 1000, milliseconds % 1000, L"S", decimal);
    return Compose(milliseconds / 60000, Thousandths(milliseconds, 60000), L"M", decimal);
  }
  const unsigned long long size = bytes;
  if (size < 1024) {
    WCHAR text[24] = L"";
    swprintf(text, 24, L"%uB", static_cast<unsigned>(size));
    return text;
  }
  const unsigned long long kilo = 1024, mega = kilo * 1024, giga = mega * 1024;
  if (size < mega) return Compose(size / kilo, Thousandths(size, kilo), L"K", decimal);
  if (size < giga) return Compose(size / mega, Thousandths(size, mega), L"M", decimal);
  return Compose(size / giga, Thousandths(size, giga), L"G", decimal);
}
