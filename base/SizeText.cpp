#include "base/SizeText.h"

#include <cwchar>

#include "base/DateFormat.h"

namespace {

// Whole units and the remainder scaled to thousandths of the unit: a raw remainder
// printed as three digits would show 1,010 bytes over whole kilobytes as ".10".
CString Compose(unsigned long long value, unsigned long long unitSize, LPCWSTR unit, const CString& separator) {
  const unsigned long long whole = value / unitSize;
  const unsigned thousandths = static_cast<unsigned>((value % unitSize) * 1000 / unitSize);
  WCHAR number[48] = L"";
  swprintf(number, 48, L"%llu#%03u", whole, thousandths);
  // Four characters at most, but never fewer whole digits than the value has: 71,582
  // minutes cut to "7158M" would be a tenth of the length.
  const size_t wholeDigits = wcschr(number, L'#') - number;
  const size_t keep = wholeDigits >= 3 ? wholeDigits : 4;
  if (wcslen(number) > keep) number[keep] = 0;
  CString text;
  for (const WCHAR* c = number; *c; ++c) {
    if (*c == L'#')
      text += separator;
    else
      text += *c;
  }
  text += unit;
  return text;
}

}  // namespace

CString FormatSizeText(DWORD value, SizeTextUnits units, LPCWSTR separator) {
  CString decimal;
  if (separator && *separator)
    decimal = separator;
  else
    GetDecimalSeparator(decimal);
  const unsigned long long size = value;
  if (units == SIZE_TEXT_MILLISECONDS) {
    if (size < 60000) return Compose(size, 1000, L"S", decimal);
    return Compose(size, 60000, L"M", decimal);
  }
  const unsigned long long kilo = 1024, mega = kilo * 1024, giga = mega * 1024;
  if (size < kilo) {
    WCHAR text[24] = L"";
    swprintf(text, 24, L"%uB", static_cast<unsigned>(size));
    return CString(text);
  }
  if (size < mega) return Compose(size, kilo, L"K", decimal);
  if (size < giga) return Compose(size, mega, L"M", decimal);
  return Compose(size, giga, L"G", decimal);
}
