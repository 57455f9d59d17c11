// The month grid: six weeks that always begin in the previous month, for months
// starting on every weekday under both first days of the week, and the week
// numbers of the rows under every first-week rule.
#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "tabs/calendar/MonthGrid.h"

namespace {

SYSTEMTIME Date(int year, int month, int day) {
  SYSTEMTIME date = {};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(month);
  date.wDay = static_cast<WORD>(day);
  return date;
}

// 2024: January 1st is a Monday, then each month's 1st: Thu Fri Mon Wed Sat Mon Thu
// Sun Tue Fri Sun. Months whose 1st falls on every weekday, Monday = 0.
const struct MonthStart {
  int year, month, weekday;
} kMonthStarts[] = {
    {2024, 1, 0}, {2024, 10, 1}, {2024, 5, 2}, {2024, 2, 3}, {2024, 3, 4}, {2024, 6, 5}, {2024, 9, 6},
};

TEST(MonthGrid, EveryMonthStartUnderBothWeekStarts) {
  for (int firstDay : {0, 6}) {
    for (const MonthStart& m : kMonthStarts) {
      SCOPED_TRACE(testing::Message() << "first day " << firstDay << ", " << m.year << "-" << m.month);
      CMonthGrid grid;
      grid.SetRules(firstDay, 0, -1);
      int cell = -2;
      ASSERT_TRUE(grid.SetDate(Date(m.year, m.month, 1), &cell));
      const LONG first = CMonthGrid::DayNumber(m.year, m.month, 1);
      ASSERT_EQ(CMonthGrid::Weekday(first), m.weekday);
      // Days of the previous month before the 1st: its distance from the week's
      // first day, a whole week when that is none.
      int before = (m.weekday - firstDay + 7) % 7;
      if (before == 0) before = 7;
      EXPECT_EQ(cell, before);
      EXPECT_EQ(grid.GetCellDay(0), first - before);
      EXPECT_EQ(CMonthGrid::Weekday(grid.GetCellDay(0)), firstDay);
      EXPECT_FALSE(grid.IsInShownMonth(0));
      EXPECT_TRUE(grid.IsInShownMonth(before));
      EXPECT_EQ(grid.FindDay(first), before);
      EXPECT_EQ(grid.FindDay(grid.GetCellDay(41) + 1), -1);
      SYSTEMTIME last = {};
      ASSERT_TRUE(grid.GetCellDate(41, &last));
      EXPECT_NE(last.wMonth, m.month);
    }
  }
}

TEST(MonthGrid, MondayStartWithASundayFirstBeginsSixDaysEarlier) {
  CMonthGrid grid;
  grid.SetRules(0, 0, -1);
  int cell = -1;
  ASSERT_TRUE(grid.SetDate(Date(2024, 9, 1), &cell));
  EXPECT_EQ(cell, 6);
  SYSTEMTIME start = {};
  grid.GetCellDate(0, &start);
  EXPECT_EQ(start.wMonth, 8);
  EXPECT_EQ(start.wDay, 26);
}

TEST(MonthGrid, WeekNumbersUnderEveryRule) {
  struct Case {
    const char* name;
    int firstDay, rule;
    LONG custom;
    int year, month;
    int weeks[6];
  } cases[] = {
      // 2021-01-01 is a Friday: the week of January 1st is week 1 under rule 0 only.
      {"Jan 2021, rule 0, Monday", 0, 0, -1, 2021, 1, {1, 2, 3, 4, 5, 6}},
      {"Jan 2021, rule 1 (first full week), Monday", 0, 1, -1, 2021, 1, {52, 1, 2, 3, 4, 5}},
      {"Jan 2021, rule 2 (four days), Monday", 0, 2, -1, 2021, 1, {53, 1, 2, 3, 4, 5}},
      // 2020-01-01 is a Wednesday: four days in that week under a Monday start.
      {"Jan 2020, rule 2, Monday", 0, 2, -1, 2020, 1, {1, 2, 3, 4, 5, 6}},
      {"Jan 2020, rule 1, Sunday", 6, 1, -1, 2020, 1, {52, 1, 2, 3, 4, 5}},
      // December grids reach into the next year's week 1.
      {"Dec 2024, rule 2, Monday", 0, 2, -1, 2024, 12, {48, 49, 50, 51, 52, 1}},
      {"Dec 2020, rule 2, Monday", 0, 2, -1, 2020, 12, {49, 50, 51, 52, 53, 1}},
      {"Dec 2025, rule 0, Sunday", 6, 0, -1, 2025, 12, {49, 50, 51, 52, 1, 2}},
      // Rule 3: week 1 is the week of April 6th (a custom year start).
      {"Apr 2024, rule 3 from April 6th, Monday", 0, 3, 45022 /* 2023-04-06 */, 2024, 4, {52, 1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMonthGrid grid;
    grid.SetRules(c.firstDay, c.rule, c.custom);
    ASSERT_TRUE(grid.SetDate(Date(c.year, c.month, 15)));
    for (int row = 0; row < CMonthGrid::kRows; ++row) EXPECT_EQ(grid.GetWeekNumber(row), c.weeks[row]) << row;
  }
}

TEST(MonthGrid, DecemberRowsOnOrAfterNextYearsWeekOneCountAgain) {
  // Dec 2025 with a Monday start under rule 2: 2026-01-01 is a Thursday, so week 1
  // of 2026 begins Monday 2025-12-29.
  CMonthGrid grid;
  grid.SetRules(0, 2, -1);
  ASSERT_TRUE(grid.SetDate(Date(2025, 12, 1)));
  EXPECT_EQ(grid.WeekOneStart(2026), CMonthGrid::DayNumber(2025, 12, 29));
  int row = 0;
  while (grid.GetCellDay(row * 7) < grid.WeekOneStart(2026)) ++row;
  ASSERT_EQ(row, 5);
  EXPECT_EQ(grid.GetWeekNumber(row), 1);
  EXPECT_EQ(grid.GetWeekNumber(row - 1), 52);
  // With a Sunday start week 1 (of January 1st) begins 2025-12-28, in row 4.
  grid.SetRules(6, 0, -1);
  ASSERT_TRUE(grid.SetDate(Date(2025, 12, 1)));
  EXPECT_EQ(grid.GetCellDay(4 * 7), CMonthGrid::DayNumber(2025, 12, 28));
  EXPECT_EQ(grid.GetWeekNumber(4), 1);
  EXPECT_EQ(grid.GetWeekNumber(5), 2);
}

TEST(MonthGrid, WeekRuleSettingPicksTheLocaleOrAnExplicitRule) {
  struct Case {
    DWORD setting;
    int locale, rule;
  } cases[] = {{0, 0, 0}, {0, 2, 2}, {0, 7, 0}, {1, 2, 0}, {2, 0, 1}, {3, 0, 2}, {4, 0, 3}, {5, 1, 1}};
  for (const Case& c : cases) EXPECT_EQ(CMonthGrid::ChooseWeekRule(c.setting, c.locale), c.rule) << c.setting;
}

TEST(MonthGrid, DatesOutsideTheCalendarAreRefused) {
  CMonthGrid grid;
  ASSERT_TRUE(grid.SetDate(Date(2024, 5, 5)));
  EXPECT_FALSE(grid.SetDate(Date(2024, 13, 1)));
  EXPECT_FALSE(grid.SetDate(Date(1500, 1, 1)));
  EXPECT_EQ(grid.GetMonth(), 5);
}

}  // namespace
