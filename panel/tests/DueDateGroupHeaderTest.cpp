// The due-date groups: every day of a few weeks classified from days that end a week,
// a month and a year, under both first days of the week; the headers' titles and keys.
#include "panel/DueDateGroupHeader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/DateTime.h"

namespace {

SYSTEMTIME Date(int year, int month, int day) {
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = 15;
  t.wMinute = 30;
  return t;
}

double Day(int year, int month, int day) {
  double date = 0;
  SYSTEMTIME t = Date(year, month, day);
  t.wHour = t.wMinute = 0;
  SystemTimeToVariantDate(t, &date);
  return date;
}

CString MonthName(int month) {
  WCHAR name[80] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + month - 1, name, 80);
  return CString(name);
}

const int kMonday = 0, kSunday = 6;

TEST(DueDateGroups, DaysClassifiedFromTheEndsOfWeekAndMonth) {
  const struct {
    SYSTEMTIME today;
    int firstDay;
    int year, month, day;
    int code;
  } cases[] = {
      // Friday with Monday first: two days left, so Sunday is later this week.
      {Date(2026, 12, 11), kMonday, 2026, 12, 10, DUE_GROUP_PAST},
      {Date(2026, 12, 11), kMonday, 2026, 12, 11, DUE_GROUP_TODAY},
      {Date(2026, 12, 11), kMonday, 2026, 12, 12, DUE_GROUP_TOMORROW},
      {Date(2026, 12, 11), kMonday, 2026, 12, 13, DUE_GROUP_LATER_THIS_WEEK},
      {Date(2026, 12, 11), kMonday, 2026, 12, 14, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 12, 11), kMonday, 2026, 12, 20, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 12, 11), kMonday, 2026, 12, 21, DUE_GROUP_LATER_THIS_MONTH},
      {Date(2026, 12, 11), kMonday, 2026, 12, 31, DUE_GROUP_LATER_THIS_MONTH},
      {Date(2026, 12, 11), kMonday, 2027, 1, 1, DUE_GROUP_FIRST_MONTH},
      {Date(2026, 12, 11), kMonday, 2027, 12, 31, DUE_GROUP_FIRST_MONTH + 11},
      {Date(2026, 12, 11), kMonday, 2028, 1, 1, DUE_GROUP_FUTURE},
      // Saturday with Monday first: one day left, no later-this-week group; Sunday is
      // tomorrow and Monday starts next week.
      {Date(2026, 12, 12), kMonday, 2026, 12, 13, DUE_GROUP_TOMORROW},
      {Date(2026, 12, 12), kMonday, 2026, 12, 14, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 12, 12), kMonday, 2026, 12, 20, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 12, 12), kMonday, 2026, 12, 21, DUE_GROUP_LATER_THIS_MONTH},
      // Friday with Sunday first: Saturday ends the week and is tomorrow.
      {Date(2026, 12, 11), kSunday, 2026, 12, 12, DUE_GROUP_TOMORROW},
      {Date(2026, 12, 11), kSunday, 2026, 12, 13, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 12, 11), kSunday, 2026, 12, 19, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 12, 11), kSunday, 2026, 12, 20, DUE_GROUP_LATER_THIS_MONTH},
      // Sunday with Monday first: nothing left of the week.
      {Date(2026, 12, 13), kMonday, 2026, 12, 14, DUE_GROUP_TOMORROW},
      {Date(2026, 12, 13), kMonday, 2026, 12, 15, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 12, 13), kMonday, 2026, 12, 20, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 12, 13), kMonday, 2026, 12, 21, DUE_GROUP_LATER_THIS_MONTH},
      // Next week runs into April: no rest of March, and April is the first month.
      {Date(2026, 3, 25), kMonday, 2026, 3, 29, DUE_GROUP_LATER_THIS_WEEK},
      {Date(2026, 3, 25), kMonday, 2026, 4, 5, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 3, 25), kMonday, 2026, 4, 6, DUE_GROUP_FIRST_MONTH},
      {Date(2026, 3, 25), kMonday, 2026, 4, 30, DUE_GROUP_FIRST_MONTH},
      {Date(2026, 3, 25), kMonday, 2026, 5, 1, DUE_GROUP_FIRST_MONTH + 1},
      {Date(2026, 3, 25), kMonday, 2027, 3, 31, DUE_GROUP_FIRST_MONTH + 11},
      {Date(2026, 3, 25), kMonday, 2027, 4, 1, DUE_GROUP_FUTURE},
      // Next week ends on the month's last day: the next day is already the first month.
      {Date(2026, 3, 19), kMonday, 2026, 3, 29, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 3, 19), kMonday, 2026, 3, 30, DUE_GROUP_LATER_THIS_MONTH},
      {Date(2026, 3, 21), kMonday, 2026, 3, 29, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 3, 21), kMonday, 2026, 3, 30, DUE_GROUP_LATER_THIS_MONTH},
      {Date(2026, 3, 24), kMonday, 2026, 4, 5, DUE_GROUP_NEXT_WEEK},
      {Date(2026, 3, 24), kMonday, 2026, 4, 6, DUE_GROUP_FIRST_MONTH},
      // A leap year's February.
      {Date(2028, 2, 10), kMonday, 2028, 2, 29, DUE_GROUP_LATER_THIS_MONTH},
      {Date(2028, 2, 10), kMonday, 2028, 3, 1, DUE_GROUP_FIRST_MONTH},
  };
  for (const auto& c : cases) {
    DUE_DATE_GROUP_BOUNDS bounds;
    InitDueDateGroupBounds(bounds, c.today, c.firstDay);
    // Any time of the day is the day.
    EXPECT_EQ(ClassifyDueDate(bounds, Day(c.year, c.month, c.day) + 0.75), c.code)
        << "today " << c.today.wYear << "-" << c.today.wMonth << "-" << c.today.wDay << " first " << c.firstDay
        << ": " << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(DueDateGroups, SingleDayGroupsAreTodayAndTomorrowOnly) {
  for (int code : {+DUE_GROUP_TODAY, +DUE_GROUP_TOMORROW}) EXPECT_TRUE(IsSingleDayGroup(code));
  for (int code : {+DUE_GROUP_PAST, +DUE_GROUP_LATER_THIS_WEEK, +DUE_GROUP_NEXT_WEEK, +DUE_GROUP_LATER_THIS_MONTH,
                   +DUE_GROUP_FIRST_MONTH, DUE_GROUP_FIRST_MONTH + 11, +DUE_GROUP_FUTURE})
    EXPECT_FALSE(IsSingleDayGroup(code)) << code;
}

TEST(DueDateGroups, HeadersTitledByTheirGroupAndFoldedByTheirCode) {
  DUE_DATE_GROUP_BOUNDS bounds;
  InitDueDateGroupBounds(bounds, Date(2026, 11, 20), kMonday);
  CString nextYear;
  nextYear.Format(L"%s, 27", static_cast<LPCWSTR>(MonthName(1)));
  const struct {
    int code;
    CString title;
  } cases[] = {
      {DUE_GROUP_PAST, L"Past"},
      {DUE_GROUP_TODAY, L"Today"},
      {DUE_GROUP_TOMORROW, L"Tomorrow"},
      {DUE_GROUP_LATER_THIS_WEEK, L"Later this week"},
      {DUE_GROUP_NEXT_WEEK, L"Next week"},
      {DUE_GROUP_LATER_THIS_MONTH, L"Later this month"},
      {DUE_GROUP_FIRST_MONTH, MonthName(12)},
      {DUE_GROUP_FIRST_MONTH + 1, nextYear},
      {DUE_GROUP_FUTURE, L"Future"},
      {77, L""},
  };
  for (const auto& c : cases) {
    CDueDateGroupHeader header(nullptr, c.code, bounds);
    CString title, key, expectedKey;
    header.GetTitle(title);
    header.GetKey(key);
    expectedKey.Format(L"%d", c.code);
    EXPECT_STREQ(title, c.title) << c.code;
    EXPECT_STREQ(key, expectedKey);
    EXPECT_EQ(header.GetKind(), 559);
    EXPECT_EQ(header.GetCode(), c.code);
    EXPECT_EQ(AsListGroupHeader(&header), &header);
    EXPECT_EQ(header.GetDay(), 0.0);
  }
}

}  // namespace
