#include "tabs/notes/NoteText.h"

#include <wchar.h>

#include "base/DateFormat.h"
#include "base/DateTime.h"

CString FormatNoteSize(DWORD value, BOOL voice, LPCWSTR decimalSeparator) {
  WCHAR text[32];
  DWORD part = 0, rest = 0;
  const wchar_t* unit = L"";
  if (voice) {
    if (value < 60000) {
      part = value / 1000;
      rest = value - part * 1000;
      unit = L"S";
    } else {
      part = value / 60000;
      rest = value - part * 60000;
      unit = L"M";
    }
  } else if (value < 1024) {
    swprintf(text, 32, L"%uB", static_cast<unsigned>(value));
    return CString(text);
  } else if (value < 1048576) {
    part = value >> 10;
    rest = value & 1023;
    unit = L"K";
  } else if (value < 1073741824) {
    part = value / 1048576;
    rest = value - part * 1048576;
    unit = L"M";
  } else {
    part = value / 1073741824;
    rest = value - part * 1073741824;
    unit = L"G";
  }
  swprintf(text, 32, L"%u#%03u", static_cast<unsigned>(part), static_cast<unsigned>(rest));
  CString out(text);
  if (out.GetLength() > 4) out = out.Left(4);
  if (out.GetLength() == 4 && out[3] == L'#') out = out.Left(3);
  out += unit;
  CString result;
  const CString separator(decimalSeparator && *decimalSeparator ? decimalSeparator : L".");
  for (int i = 0; i < out.GetLength(); ++i) {
    if (out[i] == L'#')
      result += separator;
    else
      result += out[i];
  }
  return result;
}

CString FormatNoteDate(double modified) {
  CString out;
  if (VariantDateFloor(modified) != GetTodayDate()) {
    FormatVariantDate(out, modified);
    return out;
  }
  SYSTEMTIME time = {};
  if (!VariantDateToSystemTime(modified, &time)) return out;
  WCHAR picture[80] = {};
  if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, picture, 80)) picture[0] = 0;
  CString format(picture);
  // One letter of the day-half marker: "am" becomes "a".
  format.Replace(L"tt", L"t");
  format.Trim();
  WCHAR text[80] = {};
  if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, format.IsEmpty() ? nullptr : static_cast<LPCWSTR>(format),
                     text, 80) > 0) {
    out = text;
    out.MakeLower();
  }
  return out;
}

CString ExpandNameTemplate(LPCWSTR pattern, LPCWSTR name, int counter) {
  CString out;
  if (!pattern) return out;
  for (LPCWSTR p = pattern; *p; ++p) {
    if (p[0] == L'%' && p[1] == L's') {
      out += name ? name : L"";
      ++p;
    } else if (p[0] == L'%' && p[1] == L'd') {
      WCHAR number[16];
      swprintf(number, 16, L"%d", counter);
      out += number;
      ++p;
    } else if (p[0] == L'%' && p[1] == L'%') {
      out += L'%';
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}
