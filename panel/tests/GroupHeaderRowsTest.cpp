// The list tabs' own group header rows: the received-date groups of the Notes tab (the
// classification and its titles), the text header and the general header's counter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "base/ViewSettings.h"
#include "base/tests/DateSamples.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "panel/DateGroupHeader.h"
#include "panel/GroupHeaderRow.h"
#include "panel/TextGroupHeader.h"
#include "res/TarvoResIds.h"

namespace {

double Day(int year, int month, int day, int hour = 0, int minute = 0) {
  double date = 0;
  SystemTimeToVariantDate(Time(year, month, day, hour, minute), &date);
  return date;
}

std::wstring LocaleName(LCTYPE type) {
  WCHAR text[80] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 80);
  return text;
}

}  // namespace

TEST(ReceivedDateGroups, DatesFallIntoTheirGroups) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    double now;
    int firstDay;  // 0 Monday, 6 Sunday
    double date;
    int code;
  };
  const double wednesday = Day(2026, 12, 9, 10, 0);
  const double thursday = Day(2026, 12, 31, 9, 0);
  const Case cases[] = {
      {"tomorrow morning", wednesday, 0, Day(2026, 12, 10, 8), 1},
      {"far future", wednesday, 0, 1e300, 1},
      {"infinity", wednesday, 0, inf, 1},
      {"today at midnight", wednesday, 0, Day(2026, 12, 9), 0},
      {"today late", wednesday, 0, Day(2026, 12, 9, 23, 59), 0},
      {"yesterday (Tuesday)", wednesday, 0, Day(2026, 12, 8, 7), -1},
      {"Monday of this week", wednesday, 0, Day(2026, 12, 7, 12), -16},
      {"last week", wednesday, 0, Day(2026, 12, 1), -21},
      // The month test comes before the week tests.
      {"Monday before in November", wednesday, 0, Day(2026, 11, 30), -31},
      {"January", wednesday, 0, Day(2026, 1, 15), -41},
      {"last year", wednesday, 0, Day(2025, 6, 1), -50},
      {"last day of last year", wednesday, 0, Day(2025, 12, 31, 23), -50},
      {"the year before", wednesday, 0, Day(2024, 12, 31), -99},
      {"before the calendar", wednesday, 0, -1e300, -99},
      {"not a number", wednesday, 0, nan, -99},
      // Sunday as first day: the week began on Sunday the 6th.
      {"Sunday first: Monday", wednesday, 6, Day(2026, 12, 7), -15},
      {"Sunday first: Sunday", wednesday, 6, Day(2026, 12, 6), -16},
      {"Sunday first: Saturday", wednesday, 6, Day(2026, 12, 5), -21},
      // A week from Wednesday: Thursday the 31st is in the week of the 30th.
      {"weeks back: 29th", thursday, 2, Day(2026, 12, 29), -21},
      {"weeks back: 22nd", thursday, 2, Day(2026, 12, 22), -22},
      {"weeks back: 16th", thursday, 2, Day(2026, 12, 16), -22},
      {"weeks back: 15th", thursday, 2, Day(2026, 12, 15), -23},
      {"weeks back: 9th", thursday, 2, Day(2026, 12, 9), -23},
      {"weeks back: 8th", thursday, 2, Day(2026, 12, 8), -24},
      {"weeks back: 2nd", thursday, 2, Day(2026, 12, 2), -24},
      {"weeks back: 1st", thursday, 2, Day(2026, 12, 1), -25},
      {"yesterday wins over the week's first day", thursday, 2, Day(2026, 12, 30), -1},
      {"New Year's Day sees December as last year", Day(2027, 1, 1, 12), 0, Day(2026, 12, 20), -50},
  };
  for (const Case& c : cases) {
    const CDateGroupHeader::Boundaries bounds = CDateGroupHeader::MakeBoundaries(c.now, c.firstDay);
    EXPECT_EQ(CDateGroupHeader::Classify(c.date, bounds), c.code) << c.what;
  }
}

TEST(ReceivedDateGroups, EveryDayOfTheWeekStartsItsOwnWeek) {
  // For each first day, the days of the current week from it give -16 onward, and the
  // day before it belongs to last week (or, early in a month, to yesterday or a month).
  const double now = Day(2026, 12, 24, 15);  // Thursday
  for (int firstDay = 0; firstDay < 7; ++firstDay) {
    const CDateGroupHeader::Boundaries bounds = CDateGroupHeader::MakeBoundaries(now, firstDay);
    const int weekdayOfFirst = (firstDay + 1) % 7;  // 0 Sunday
    const int back = (4 - weekdayOfFirst + 7) % 7;   // Thursday is 4
    EXPECT_EQ(bounds.weekStart, static_cast<int>(std::floor(now)) - back) << firstDay;
    for (int d = 0; d < back - 1; ++d)
      EXPECT_EQ(CDateGroupHeader::Classify(bounds.weekStart + d + 0.5, bounds), -16 + d) << firstDay << " +" << d;
  }
}

TEST(ReceivedDateGroups, TitlesAndKeys) {
  CResourceLibraryScope resources;
  struct Case {
    int code;
    int firstDay;
    std::wstring title;
  };
  const Case cases[] = {
      {-16, 0, LocaleName(LOCALE_SDAYNAME1)},  // Monday
      {-16, 6, LocaleName(LOCALE_SDAYNAME7)},  // Sunday
      {-10, 0, LocaleName(LOCALE_SDAYNAME7)},
      {-31, 0, LocaleName(LOCALE_SMONTHNAME11)},
      {-41, 0, LocaleName(LOCALE_SMONTHNAME1)},
      {1, 0, L"Future"},
      {0, 0, L"Today"},
      {-1, 0, L"Yesterday"},
      {-21, 0, L"Last Week"},
      {-25, 0, L"Five Weeks Ago"},
      {-50, 0, L"Last Year"},
      {-99, 0, L"Older"},
      {-20, 0, L""},
      {7, 0, L""},
  };
  for (const Case& c : cases) {
    CDateGroupHeader header(nullptr, c.code, c.firstDay);
    CString title, key;
    header.GetTitle(title);
    header.GetKey(key);
    EXPECT_EQ(std::wstring(title), c.title) << c.code;
    EXPECT_EQ(std::wstring(key), std::to_wstring(c.code)) << "folded under its code";
    EXPECT_EQ(header.GetKind(), 559);
    EXPECT_EQ(header.GetValue(), c.code);
    EXPECT_EQ(AsListGroupHeader(&header), &header);
  }
  // A first day that is no weekday asks the locale instead.
  const int localeFirst = CDateGroupHeader::LocaleFirstDayOfWeek();
  EXPECT_EQ(std::wstring(CDateGroupHeader::TitleOf(-16, 99)),
            std::wstring(CDateGroupHeader::TitleOf(-16, localeFirst)));
}

TEST(ReceivedDateGroups, AnyDateClassifiesWithoutFault) {
  std::mt19937 random(1931);
  std::uniform_real_distribution<double> spread(-3e6, 3e6);
  const int valid[] = {1, 0, -1, -16, -15, -14, -13, -12, -11, -10, -21, -22, -23, -24, -25, -50, -99,
                       -41, -40, -39, -38, -37, -36, -35, -34, -33, -32, -31, -30};
  for (int i = 0; i < 3000; ++i) {
    const double now = spread(random) / 50;
    const CDateGroupHeader::Boundaries bounds = CDateGroupHeader::MakeBoundaries(now, static_cast<int>(i % 7));
    const double date = i % 5 == 0 ? now - (i % 400) : spread(random);
    const int code = CDateGroupHeader::Classify(date, bounds);
    EXPECT_NE(std::find(std::begin(valid), std::end(valid), code), std::end(valid)) << date;
    if (date >= bounds.today + 1) {
      EXPECT_EQ(code, 1);
    }
  }
}

TEST(TextGroupHeader, EmptyTextTakesTheNoNameTitle) {
  CResourceLibraryScope resources;
  CTextGroupHeader named(nullptr, L"Acme, Inc.");
  CTextGroupHeader empty(nullptr, L"");
  CString title, key;
  named.GetTitle(title);
  named.GetKey(key);
  EXPECT_EQ(std::wstring(title), L"Acme, Inc.");
  EXPECT_EQ(std::wstring(key), L"Acme, Inc.");
  EXPECT_EQ(named.GetKind(), 558);
  empty.GetTitle(title);
  EXPECT_EQ(std::wstring(title), L"(No name)");
  EXPECT_EQ(std::wstring(empty.GetText()), L"") << "the text stays empty for a new contact";
}

TEST(GroupHeaderRow, CounterFollowsTheStyle) {
  CLocalMachineSandbox machine(L"GroupHeaderRow");
  struct Case {
    int style;          // the row's own; -1: the view setting
    int settingStyle;   // "EmailCounterStyle"
    int onlyUnread;     // "EmailsOnlyUnreaded"
    int unread, rows;
    const wchar_t* text;
  };
  const Case cases[] = {
      {0, 2, 0, 3, 10, L" (3/10)"},  {0, 0, 1, 3, 10, L" (3)"},  {-1, 0, 0, 3, 10, L" (3/10)"},
      {-1, 2, 0, 3, 10, L" (10)"},   {-1, 1, 0, 3, 10, L" (3)"}, {0, 0, 0, 0, 0, L""},
      {0, 0, 0, 0, 4, L" (0/4)"},    {1, 0, 0, 0, 4, L""},       {2, 0, 0, 5, 0, L""},
      {7, 0, 0, 3, 10, L""},         {-1, -3, 0, 3, 10, L""},
  };
  CViewSettings& settings = GetViewSettings();
  const int savedStyle = settings.EmailCounterStyle, savedUnread = settings.EmailsOnlyUnreaded;
  for (const Case& c : cases) {
    settings.EmailCounterStyle = c.settingStyle;
    settings.EmailsOnlyUnreaded = c.onlyUnread;
    CGroupHeaderRow row(nullptr, L"Inbox", L"Work account", 42);
    row.SetCounterStyle(c.style);
    row.SetUnreadCount(c.unread);
    row.SetDisplayCount(c.rows);
    CString text;
    row.GetCountText(text);
    EXPECT_EQ(std::wstring(text), c.text) << c.style << "/" << c.settingStyle << "/" << c.onlyUnread;
    CString second;
    row.GetSecondText(second);
    EXPECT_EQ(std::wstring(second), L"Work account");
    EXPECT_EQ(row.GetTag(), 42);
    EXPECT_EQ(row.GetKind(), 560);
  }
  settings.EmailCounterStyle = savedStyle;
  settings.EmailsOnlyUnreaded = savedUnread;
}
