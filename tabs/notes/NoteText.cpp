#include "tabs/notes/NoteText.h"

#include <wchar.h>

#include "base/DateFormat.h"
#include "base/DateTime.h"

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
