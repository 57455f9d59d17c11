#include "base/DateFormat.h"

#include "base/DateTime.h"
#include "base/RegKey.h"

namespace {

struct CFormatCache {
  CString longDate;
  CString shortDate;
  CString time;
  CString decimal;
};

CFormatCache& Cache() {
  static CFormatCache cache;
  return cache;
}

CString LocaleText(LCTYPE type) {
  WCHAR buffer[100] = L"";
  if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 100)) buffer[0] = 0;
  return CString(buffer);
}

bool IsField(WCHAR c) { return c == L'M' || c == L'd'; }

}  // namespace

CString ShortenDatePicture(LPCWSTR picture, BOOL keepYear, BOOL shortYear, BOOL shortMonth,
                           BOOL shortDay) {
  CString text(picture ? picture : L"");
  if (!keepYear) {
    int year = text.Find(L'y');
    if (year >= 0) {
      int end = year;
      while (end < text.GetLength() && text[end] == L'y') ++end;
      int before = -1;
      for (int i = year - 1; i >= 0; --i)
        if (IsField(text[i])) {
          before = i;
          break;
        }
      int after = -1;
      for (int i = end; i < text.GetLength(); ++i)
        if (IsField(text[i])) {
          after = i;
          break;
        }
      if (before < 0 && after < 0)
        text.Empty();
      else if (before < 0)
        text.Delete(0, after);
      else if (after < 0)
        text = text.Left(before + 1);
      else
        text = text.Left(before + 1) + L" " + text.Mid(after);
    }
  }
  if (shortYear) text.Replace(L"yyyy", L"yy");
  if (shortMonth) text.Replace(L"MMMM", L"MMM");
  if (shortDay) text.Replace(L"dddd", L"ddd");
  return text;
}

CString GetLongDatePreset(int index) {
  switch (index) {
    case 1: return CString(L"d MMMM yyyy");
    case 2: return CString(L"dddd, d MMMM yyyy");
    case 3: return LocaleText(LOCALE_SSHORTDATE);
    default: return CString(L"dddd, MMMM d yyyy");
  }
}

CString MakeTimePicture(LPCWSTR localePicture) {
  CString text(localePicture ? localePicture : L"");
  int first = text.Find(L't');
  if (first >= 0) {
    int second = text.Find(L't', first + 1);
    if (second >= 0) text.Delete(second, 1);
  }
  text.Remove(L' ');
  return text;
}

CString BuildLongDateFormat() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  DWORD regional = key.GetDWORD(L"LongDate_Regional", 1);
  DWORD notYear = key.GetDWORD(L"LongDate_NotYear", 1);
  DWORD shortYear = key.GetDWORD(L"LongDate_ShortYear", 1);
  DWORD shortMonth = key.GetDWORD(L"LongDate_ShortMonth", 1);
  DWORD shortDay = key.GetDWORD(L"LongDate_ShortDay", 1);
  DWORD custom = key.GetDWORD(L"LongDate_CustomFormat", 0);
  CString base = regional ? LocaleText(LOCALE_SLONGDATE) : GetLongDatePreset(static_cast<int>(custom));
  return ShortenDatePicture(base, !notYear, shortYear != 0, shortMonth != 0, shortDay != 0);
}

CString BuildShortDateFormat() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  DWORD notYear = key.GetDWORD(L"ShortDate_NotYear", 1);
  DWORD shortYear = key.GetDWORD(L"ShortDate_ShortYear", 1);
  return ShortenDatePicture(LocaleText(LOCALE_SSHORTDATE), !notYear, shortYear != 0, TRUE, TRUE);
}

namespace {

void FormatDate(CString& out, const SYSTEMTIME& time, const CString& picture) {
  WCHAR buffer[100];
  if (!GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, picture, buffer, 100)) buffer[0] = 0;
  out = buffer;
}

}  // namespace

void FormatLongDate(CString& out, const SYSTEMTIME& time) {
  CFormatCache& cache = Cache();
  if (cache.longDate.IsEmpty()) cache.longDate = BuildLongDateFormat();
  FormatDate(out, time, cache.longDate);
}

void FormatShortDate(CString& out, const SYSTEMTIME& time) {
  CFormatCache& cache = Cache();
  if (cache.shortDate.IsEmpty()) cache.shortDate = BuildShortDateFormat();
  FormatDate(out, time, cache.shortDate);
}

void FormatTime(CString& out, const SYSTEMTIME& time) {
  CFormatCache& cache = Cache();
  if (cache.time.IsEmpty()) cache.time = MakeTimePicture(LocaleText(LOCALE_STIMEFORMAT));
  WCHAR buffer[100];
  if (!GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, cache.time, buffer, 100))
    buffer[0] = 0;
  out = buffer;
}

void FormatVariantDate(CString& out, double date) {
  SYSTEMTIME time;
  if (!VariantDateToSystemTime(date, &time)) {
    out.Empty();
    return;
  }
  FormatShortDate(out, time);
}

void FormatShortDateTime(CString& out, double date) {
  SYSTEMTIME time;
  if (!VariantDateToSystemTime(date, &time)) {
    out.Empty();
    return;
  }
  FormatShortDate(out, time);
  out.AppendFormat(L" %02d:%02d", time.wHour, time.wMinute);
}

void GetDecimalSeparator(CString& out) {
  CFormatCache& cache = Cache();
  if (cache.decimal.IsEmpty()) {
    cache.decimal = LocaleText(LOCALE_SDECIMAL);
    if (cache.decimal.IsEmpty()) cache.decimal = L",";
  }
  out = cache.decimal;
}

void ResetDateFormatCache() {
  CFormatCache& cache = Cache();
  cache.longDate.Empty();
  cache.shortDate.Empty();
  cache.time.Empty();
  cache.decimal.Empty();
  SetCachedNow(0);
}
