#include "panel/DueDateGroups.h"

#include <cmath>

#include "base/DateTime.h"
#include "base/Translator.h"

namespace {

double WholeDay(int year, int month, int day) {
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  double date = 0;
  SystemTimeToVariantDate(t, &date);
  return std::floor(date);
}

// The month that lies count months after (year, month).
void AddMonths(int& year, int& month, int count) {
  const int index = year * 12 + (month - 1) + count;
  year = index / 12;
  month = index % 12 + 1;
}

}  // namespace

void InitDueDateGroupBounds(DUE_DATE_GROUP_BOUNDS& bounds, const SYSTEMTIME& now, int firstDayOfWeek) {
  bounds = DUE_DATE_GROUP_BOUNDS{};
  const double t = WholeDay(now.wYear, now.wMonth, now.wDay);
  bounds.today = t;
  bounds.year = now.wYear;
  SYSTEMTIME day = {};
  VariantDateToSystemTime(t, &day);
  // Monday 0 to Sunday 6, as the locale counts the first day of the week.
  const int weekday = (day.wDayOfWeek + 6) % 7;
  const int first = firstDayOfWeek >= 0 && firstDayOfWeek <= 6 ? firstDayOfWeek : 0;
  const int daysLeft = 6 - (weekday - first + 7) % 7;
  bounds.endOfWeek = daysLeft < 2 ? -1 : t + daysLeft;
  bounds.endOfNextWeek = t + daysLeft + 7;

  int year = now.wYear, month = now.wMonth;
  AddMonths(year, month, 1);
  const double nextMonthStart = WholeDay(year, month, 1);
  bounds.endOfMonth = bounds.endOfNextWeek + 1 >= nextMonthStart ? -1 : nextMonthStart - 1;
  for (int k = 0; k < 12; ++k) {
    AddMonths(year, month, 1);
    bounds.endOfMonths[k] = WholeDay(year, month, 1) - 1;
  }
}

void InitDueDateGroupBounds(DUE_DATE_GROUP_BOUNDS& bounds) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  WCHAR first[4] = {};
  int firstDay = 0;
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, first, 4) > 0) firstDay = first[0] - L'0';
  InitDueDateGroupBounds(bounds, now, firstDay);
}

int ClassifyDueDate(const DUE_DATE_GROUP_BOUNDS& bounds, double date) {
  const double d = std::floor(date);
  const double t = bounds.today;
  if (d < t) return DUE_GROUP_PAST;
  if (d == t) return DUE_GROUP_TODAY;
  if (d == t + 1) return DUE_GROUP_TOMORROW;
  if (bounds.endOfWeek >= 0 && d <= bounds.endOfWeek) return DUE_GROUP_LATER_THIS_WEEK;
  if (bounds.endOfNextWeek >= 0 && d <= bounds.endOfNextWeek) return DUE_GROUP_NEXT_WEEK;
  if (bounds.endOfMonth >= 0 && d <= bounds.endOfMonth) return DUE_GROUP_LATER_THIS_MONTH;
  for (int k = 0; k < 12; ++k)
    if (bounds.endOfMonths[k] >= 0 && d <= bounds.endOfMonths[k]) return DUE_GROUP_FIRST_MONTH + k;
  return DUE_GROUP_FUTURE;
}

void GetDueDateGroupTitle(const DUE_DATE_GROUP_BOUNDS& bounds, int code, CString& out) {
  out.Empty();
  static const struct {
    int code;
    LPCWSTR text;
  } kTitles[] = {{DUE_GROUP_PAST, L"Past"},
                 {DUE_GROUP_TODAY, L"Today"},
                 {DUE_GROUP_TOMORROW, L"Tomorrow"},
                 {DUE_GROUP_LATER_THIS_WEEK, L"Later this week"},
                 {DUE_GROUP_NEXT_WEEK, L"Next week"},
                 {DUE_GROUP_LATER_THIS_MONTH, L"Later this month"},
                 {DUE_GROUP_FUTURE, L"Future"}};
  for (const auto& title : kTitles)
    if (title.code == code) {
      TranslateText(title.text, out);
      return;
    }
  if (code < DUE_GROUP_FIRST_MONTH || code >= DUE_GROUP_FIRST_MONTH + 12) return;
  SYSTEMTIME day = {};
  if (!VariantDateToSystemTime(bounds.endOfMonths[code - DUE_GROUP_FIRST_MONTH], &day)) return;
  WCHAR name[80] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + day.wMonth - 1, name, 80) <= 0) return;
  if (day.wYear == bounds.year)
    out = name;
  else
    out.Format(L"%s, %02d", name, day.wYear % 100);
}
