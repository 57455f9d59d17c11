#include "base/DateTime.h"

#include "DateSamples.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool Same(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
         a.wMinute == b.wMinute && a.wSecond == b.wSecond && a.wMilliseconds == b.wMilliseconds;
}

TEST(VariantDate, FloorCountsDownForNegativeDates) {
  EXPECT_EQ(-1.0, VariantDateFloor(-0.25));
  EXPECT_EQ(3.0, VariantDateFloor(3.0));
  EXPECT_EQ(45000.0, VariantDateFloor(45000.99));
}

TEST(VariantDate, SystemTimesRoundTripToTheMillisecond) {
  const SYSTEMTIME times[] = {Time(2024, 2, 29, 23, 59, 59, 999), Time(1899, 12, 30), Time(1899, 12, 29, 6),
                              Time(1601, 1, 1), Time(1752, 9, 14, 12, 30), Time(2099, 12, 31, 1, 2, 3, 4)};
  for (const SYSTEMTIME& t : times) {
    double date = 0;
    ASSERT_TRUE(SystemTimeToVariantDate(t, &date));
    SYSTEMTIME back{};
    ASSERT_TRUE(VariantDateToSystemTime(date, &back));
    EXPECT_TRUE(Same(t, back)) << t.wYear << "-" << t.wMonth << "-" << t.wDay;
  }
  double date = 0;
  ASSERT_TRUE(SystemTimeToVariantDate(Time(1899, 12, 29, 6), &date));
  EXPECT_DOUBLE_EQ(-1.25, date);  // the platform's encoding before 1899-12-30
  ASSERT_TRUE(SystemTimeToVariantDate(Time(2024, 1, 1, 12), &date));
  EXPECT_DOUBLE_EQ(45292.5, date);
  SYSTEMTIME t{};
  ASSERT_TRUE(VariantDateToSystemTime(45292.5, &t));
  EXPECT_EQ(1, t.wDayOfWeek);
  EXPECT_FALSE(SystemTimeToVariantDate(Time(2024, 13, 1), &date));
  EXPECT_FALSE(SystemTimeToVariantDate(Time(2024, 1, 1, 24), &date));
}

TEST(VariantDate, FileTimesRoundTrip) {
  SYSTEMTIME t = Time(2024, 3, 31, 1, 59, 30, 250);
  FILETIME ft{};
  ASSERT_TRUE(SystemTimeToFileTime(&t, &ft));
  double date = 0;
  ASSERT_TRUE(FileTimeToVariantDate(ft, &date));
  FILETIME back{};
  ASSERT_TRUE(VariantDateToFileTime(date, &back));
  EXPECT_EQ(ft.dwLowDateTime, back.dwLowDateTime);
  EXPECT_EQ(ft.dwHighDateTime, back.dwHighDateTime);
  EXPECT_FALSE(VariantDateToFileTime(-200000.0, &back));  // before 1601
}

TEST(VariantDate, MinuteDatesBefore1900StayInThePast) {
  EXPECT_EQ(0.0, MinutesToVariantDate(157255200));
  // 1899-12-29 06:00: a day and 18 hours before the epoch of variant dates.
  DWORD minutes = 157255200 - 1440 + 360;
  SYSTEMTIME t{};
  ASSERT_TRUE(VariantDateToSystemTime(MinutesToVariantDate(minutes), &t));
  EXPECT_TRUE(Same(Time(1899, 12, 29, 6), t)) << t.wYear;
  EXPECT_EQ(minutes, VariantDateToMinutes(MinutesToVariantDate(minutes)));
  // A birthday of 1890 read from the store.
  SYSTEMTIME birthday = Time(1890, 5, 17);
  double date = 0;
  ASSERT_TRUE(SystemTimeToVariantDate(birthday, &date));
  DWORD stored = VariantDateToMinutes(date);
  ASSERT_TRUE(VariantDateToSystemTime(MinutesToVariantDate(stored), &t));
  EXPECT_TRUE(Same(birthday, t));
}

TEST(VariantDate, DaysBetweenDatesIgnoresTheTimes) {
  EXPECT_EQ(1.0, DaysBetweenDates(Time(2024, 3, 10, 23, 59), Time(2024, 3, 9, 0, 1)));
  EXPECT_EQ(-1.0, DaysBetweenDates(Time(2024, 3, 9, 0, 1), Time(2024, 3, 10, 23, 59)));
  EXPECT_EQ(0.0, DaysBetweenDates(Time(2024, 3, 10, 23, 59), Time(2024, 3, 10, 0, 0)));
  EXPECT_EQ(366.0, DaysBetweenDates(Time(2025, 1, 1), Time(2024, 1, 1)));
  EXPECT_DOUBLE_EQ(0.5, VariantTimeDifference(Time(2024, 3, 10, 12), Time(2024, 3, 10)));
}

TEST(VariantDate, FirstWeekStartByRule) {
  struct Case {
    int year, firstWeekday, rule;
    SYSTEMTIME expected;
  };
  const Case cases[] = {
      {2021, 0, 2, Time(2021, 1, 4)},    // Jan 1 is a Friday: four days not reached
      {2021, 0, 0, Time(2020, 12, 28)},  // the week of January 1
      {2021, 0, 1, Time(2021, 1, 4)},    // the first full week
      {2020, 0, 2, Time(2019, 12, 30)},  // Jan 1 2020 is a Wednesday
      {2020, 6, 1, Time(2020, 1, 5)},    // weeks from Sunday, first full week
      {2023, 0, 1, Time(2023, 1, 2)},    // Jan 1 2023 is a Sunday
  };
  for (const Case& c : cases) {
    double expected = 0;
    ASSERT_TRUE(SystemTimeToVariantDate(c.expected, &expected));
    EXPECT_EQ(expected, FirstWeekStart(c.year, c.firstWeekday, c.rule, nullptr)) << c.year << " " << c.rule;
  }
  // Rule 3: the given day moved into the year; February 29 normalises to March 1.
  SYSTEMTIME leapDay = Time(2024, 2, 29);
  SYSTEMTIME reference{};
  double start = FirstWeekStart(2021, 0, 3, &leapDay, &reference);
  EXPECT_TRUE(Same(Time(2021, 3, 1), reference));
  double monday = 0;
  ASSERT_TRUE(SystemTimeToVariantDate(Time(2021, 3, 1), &monday));
  EXPECT_EQ(monday, start);
}

TEST(Calendar, DayOfWeekSwitchesCalendarsAfterSeptember1752) {
  EXPECT_EQ(1, DayOfWeek(Time(2024, 1, 1)));
  EXPECT_EQ(4, DayOfWeek(Time(2024, 2, 29)));
  EXPECT_EQ(0, DayOfWeek(Time(1752, 10, 1)));
  // September 1752 still counts as Julian: its 14th comes out a Monday.
  EXPECT_EQ(1, DayOfWeek(Time(1752, 9, 14)));
  EXPECT_EQ(6, DayOfWeek(Time(1899, 12, 30)));
  EXPECT_EQ(2, DayOfWeek(Time(2100, 3, 2)));  // 2100 is no leap year
  EXPECT_EQ(29, DaysInMonth(2024, 2));
  EXPECT_EQ(28, DaysInMonth(2100, 2));
}

TEST(TimeZone, TransitionRulesResolveForTheYear) {
  struct Case {
    SYSTEMTIME rule;
    int year;
    int expectedDay;
  };
  const Case cases[] = {
      {Rule(3, 0, 5, 2), 2024, 31},   // last Sunday of March
      {Rule(3, 0, 2, 2), 2024, 10},   // second Sunday of March
      {Rule(11, 0, 1, 2), 2024, 3},   // first Sunday of November
      {Rule(2, 4, 5, 2), 2024, 29},   // last Thursday of February in a leap year
      {Rule(2, 4, 5, 2), 2023, 23},   // ... and in a common year
      {Rule(10, 0, 5, 3), 2026, 25},  // last Sunday of October
  };
  for (const Case& c : cases) {
    SYSTEMTIME rule = c.rule;
    SYSTEMTIME at = Time(c.year, 1, 1);
    ResolveTransitionDate(&rule, TRUE, &at);
    EXPECT_EQ(c.year, rule.wYear);
    EXPECT_EQ(c.expectedDay, rule.wDay) << c.rule.wMonth << "/" << c.year;
  }
  // A rule date already past moves to the next year unless told not to.
  SYSTEMTIME rule = Rule(3, 0, 2, 2);
  SYSTEMTIME at = Time(2024, 6, 1);
  ResolveTransitionDate(&rule, FALSE, &at);
  EXPECT_EQ(2025, rule.wYear);
  EXPECT_EQ(9, rule.wDay);
}

TEST(TimeZone, BiasAroundTheDaylightStart) {
  TIME_ZONE_INFORMATION z = Eastern();
  struct Case {
    SYSTEMTIME time;
    BOOL local;
    LONG bias;
  };
  const Case cases[] = {
      {Time(2024, 3, 10, 6, 59), FALSE, 300},  // UTC, a minute before 02:00 EST
      {Time(2024, 3, 10, 7, 1), FALSE, 240},   // a minute after
      {Time(2024, 3, 10, 7, 0), FALSE, 240},   // the change itself is daylight
      {Time(2024, 11, 3, 5, 59), FALSE, 240},  // UTC, a minute before 02:00 EDT
      {Time(2024, 11, 3, 6, 0), FALSE, 300},
      {Time(2024, 7, 1, 12), TRUE, 240},
      {Time(2024, 1, 15, 12), TRUE, 300},
  };
  for (const Case& c : cases) {
    LONG bias = 0;
    ASSERT_TRUE(GetTimeZoneBias(z, &c.time, &bias, c.local));
    EXPECT_EQ(c.bias, bias) << c.time.wMonth << "/" << c.time.wDay << " " << c.time.wHour << ":" << c.time.wMinute;
  }
  TIME_ZONE_INFORMATION plain{};
  plain.Bias = -330;
  LONG bias = 0;
  SYSTEMTIME summer = Time(2024, 7, 1);
  GetTimeZoneBias(plain, &summer, &bias, TRUE);
  EXPECT_EQ(-330, bias);
  TIME_ZONE_INFORMATION south = Sydney();
  GetTimeZoneBias(south, &summer, &bias, TRUE);
  EXPECT_EQ(-600, bias);
  SYSTEMTIME january = Time(2024, 1, 15);
  GetTimeZoneBias(south, &january, &bias, TRUE);
  EXPECT_EQ(-660, bias);
}

// Every moment of the days around each change, as UTC: to local and back gives the same
// moment, except the repeated hour after a fall-back, whose local times name two moments.
TEST(TimeZone, ConversionsRoundTripAcrossChanges) {
  struct Case {
    const char* name;
    TIME_ZONE_INFORMATION zone;
    SYSTEMTIME from;
  };
  const Case cases[] = {
      {"Eastern spring", Eastern(), Time(2024, 3, 9)},      {"Eastern autumn", Eastern(), Time(2024, 11, 2)},
      {"Europe spring", CentralEurope(), Time(2024, 3, 30)}, {"Europe autumn", CentralEurope(), Time(2024, 10, 26)},
      {"Sydney spring", Sydney(), Time(2024, 10, 5)},       {"Sydney autumn", Sydney(), Time(2024, 4, 5)},
  };
  for (const Case& c : cases) {
    double start = 0;
    ASSERT_TRUE(SystemTimeToVariantDate(c.from, &start));
    int repeated = 0;
    for (int step = 0; step < 3 * 96; ++step) {
      SYSTEMTIME utc{}, local{}, back{};
      ASSERT_TRUE(VariantDateToSystemTime(start + step / 96.0, &utc));
      ASSERT_TRUE(UtcToLocalSystemTime(&c.zone, utc, &local));
      ASSERT_TRUE(LocalToUtcSystemTime(&c.zone, local, &back));
      if (!Same(utc, back)) {
        ++repeated;
        EXPECT_EQ(60.0, VariantTimeDifference(utc, back) * 1440) << c.name << " " << utc.wDay << " " << utc.wHour;
      }
    }
    // Only the autumn change repeats an hour: four quarter hours.
    EXPECT_EQ(strstr(c.name, "autumn") ? 4 : 0, repeated) << c.name;
  }
  SYSTEMTIME utc = Time(2024, 7, 1, 12), local{};
  TIME_ZONE_INFORMATION z = CentralEurope();
  ASSERT_TRUE(UtcToLocalSystemTime(&z, utc, &local));
  EXPECT_EQ(14, local.wHour);
  double date = 0;
  ASSERT_TRUE(SystemTimeToVariantDate(utc, &date));
  EXPECT_DOUBLE_EQ(date + 2.0 / 24, UtcToLocalDate(&z, date));
  EXPECT_DOUBLE_EQ(date, LocalToUtcDate(&z, UtcToLocalDate(&z, date)));
}

}  // namespace
