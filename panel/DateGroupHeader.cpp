#include "panel/DateGroupHeader.h"

#include <cmath>

#include "base/Translator.h"

namespace {

// Day 0 of the variant dates is 1899-12-30; the civil calendar of days since
// 1970-01-01 (day 25569) needs no table and no system call, so any date converts.
const long long kUnixDay = 25569;

void CivilFromDays(long long day, long long& year, int& month) {
  long long z = day - kUnixDay + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

// 0 Sunday; day 0 was a Saturday.
int WeekdayOf(long long day) { return static_cast<int>(((day + 6) % 7 + 7) % 7); }

int NormalizeFirstDay(int firstDay) {
  return firstDay >= 0 && firstDay <= 6 ? firstDay : CDateGroupHeader::LocaleFirstDayOfWeek();
}

CString LocaleText(LCTYPE type) {
  WCHAR text[80] = {};
  if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 80)) text[0] = 0;
  return text;
}

CString Translated(LPCWSTR english) {
  CString out;
  TranslateText(english, out);
  return out;
}

}  // namespace

CDateGroupHeader::CDateGroupHeader(IListItemOwner* owner, int code, int firstDay)
    : CListGroupHeader(owner, TitleOf(code, NormalizeFirstDay(firstDay)), ITEM_KIND_DATE_HEADER, code) {}

void CDateGroupHeader::GetKey(CString& out) { out.Format(L"%d", m_nValue); }

int CDateGroupHeader::LocaleFirstDayOfWeek() {
  WCHAR text[4] = {};
  if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, text, 4)) return 6;
  const int day = text[0] - L'0';
  return day >= 0 && day <= 6 ? day : 6;
}

CDateGroupHeader::Boundaries CDateGroupHeader::MakeBoundaries(double now, int firstDay) {
  Boundaries bounds = {};
  bounds.firstDay = NormalizeFirstDay(firstDay);
  bounds.today = static_cast<int>(std::floor(now));
  long long year = 0;
  CivilFromDays(bounds.today, year, bounds.month);
  bounds.year = static_cast<int>(year);
  // The week reference lies 100 weeks back, so the remainder below is never negative.
  const long long reference = bounds.today - WeekdayOf(bounds.today) + bounds.firstDay + 1 - 700;
  bounds.weekStart = static_cast<int>(bounds.today - (bounds.today - reference) % 7);
  return bounds;
}

int CDateGroupHeader::Classify(double date, const Boundaries& b) {
  const double t = b.today;
  if (date >= t + 1) return RECEIVED_FUTURE;
  if (date >= t) return RECEIVED_TODAY;
  if (date >= t - 1) return RECEIVED_YESTERDAY;
  // Not a number, or beyond any calendar: older than everything.
  if (!(date > -1e9)) return RECEIVED_OLDER;
  const long long day = static_cast<long long>(std::floor(date));
  long long year = 0;
  int month = 0;
  CivilFromDays(day, year, month);
  if (year < b.year - 1) return RECEIVED_OLDER;
  if (year == b.year - 1) return RECEIVED_LAST_YEAR;
  if (month < b.month) return month - 42;
  const long long s = b.weekStart;
  if (day >= s) return static_cast<int>(day - s) - 16;
  for (int weeks = 1; weeks <= 4; ++weeks)
    if (day >= s - 7 * weeks) return RECEIVED_LAST_WEEK - (weeks - 1);
  return RECEIVED_EARLIER_THIS_MONTH;
}

CString CDateGroupHeader::TitleOf(int code, int firstDay) {
  firstDay = NormalizeFirstDay(firstDay);
  if (code >= -16 && code <= -10)
    return LocaleText(LOCALE_SDAYNAME1 + static_cast<LCTYPE>((code + 16 + firstDay) % 7));
  if (code >= RECEIVED_JANUARY && code <= -30) return LocaleText(LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(code + 41));
  switch (code) {
    case RECEIVED_FUTURE:
      return Translated(L"Future");
    case RECEIVED_TODAY:
      return Translated(L"Today");
    case RECEIVED_YESTERDAY:
      return Translated(L"Yesterday");
    case -21:
      return Translated(L"Last Week");
    case -22:
      return Translated(L"Two Weeks Ago");
    case -23:
      return Translated(L"Three Weeks Ago");
    case -24:
      return Translated(L"Four Weeks Ago");
    case -25:
      return Translated(L"Five Weeks Ago");
    case RECEIVED_LAST_YEAR:
      return Translated(L"Last Year");
    case RECEIVED_OLDER:
      return Translated(L"Older");
    default:
      return CString();
  }
}
