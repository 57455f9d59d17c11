#include "settings/base/PreviewTexts.h"

#include <gtest/gtest.h>

namespace {

TEST(PreviewTexts, DayHeaderTitles) {
  const double today = 46000;
  struct Case {
    const char* name;
    double day;
    BOOL showToday;
    int offsetMode;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"today carries its word and no label", today + 0.5, TRUE, 1, L"Today, Mon 1"},
      {"tomorrow", today + 1, TRUE, 2, L"Tomorrow, Mon 1"},
      {"day after tomorrow, label last", today + 2, TRUE, 2, L"Mon 1 [+2]"},
      {"label first", today + 3, TRUE, 1, L"[+3] Mon 1"},
      {"past days count down", today - 2, TRUE, 1, L"[-2] Mon 1"},
      {"today without its word gets [0]", today, FALSE, 2, L"Mon 1 [0]"},
      {"no label", today + 5, TRUE, 0, L"Mon 1"},
      {"no words, no label", today + 1, FALSE, 0, L"Mon 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(BuildDayHeaderTitle(c.day, today, c.showToday, c.offsetMode, L"Mon 1", L"Today", L"Tomorrow"),
                 c.expected);
  }
}

TEST(PreviewTexts, AppointmentTimeTexts) {
  struct Case {
    const char* name;
    AppointmentDays days;
    BOOL allDayStyle;
    BOOL startOnly;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"timed", {FALSE, FALSE, TRUE, TRUE}, FALSE, FALSE, L"11:00 am-12:00 pm"},
      {"start only", {FALSE, FALSE, TRUE, TRUE}, FALSE, TRUE, L"11:00 am"},
      {"first of several days", {FALSE, TRUE, TRUE, FALSE}, FALSE, FALSE, L"11:00 am->>"},
      {"last of several days", {FALSE, TRUE, FALSE, TRUE}, FALSE, FALSE, L">>-12:00 pm"},
      {"a day in between", {FALSE, TRUE, FALSE, FALSE}, FALSE, FALSE, L">>"},
      {"a day in between, all-day style", {FALSE, TRUE, FALSE, FALSE}, TRUE, FALSE, L""},
      {"all day", {TRUE, FALSE, TRUE, TRUE}, FALSE, FALSE, L"All day"},
      {"all day, all-day style", {TRUE, FALSE, TRUE, TRUE}, TRUE, FALSE, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(BuildAppointmentTimeText(L"11:00 AM", L"12:00 PM", c.days, c.allDayStyle, c.startOnly, L"All day",
                                          L">>"),
                 c.expected);
  }
}

TEST(PreviewTexts, PatternsSplitAtTheirDigit) {
  struct Case {
    const wchar_t* pattern;
    const wchar_t* before;
    int mode;
    const wchar_t* after;
  };
  const Case cases[] = {
      {L"n3rqsca", L"n", 3, L"rqsca"}, {L"c1n", L"c", 1, L"n"}, {L"2", L"", 2, L""},
      {L"abc", L"abc", 0, L""},        {L"", L"", 0, L""},      {L"ab12c", L"ab", 1, L"2c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.pattern)));
    const AppointmentPattern split = SplitAppointmentPattern(c.pattern);
    EXPECT_STREQ(split.before, c.before);
    EXPECT_EQ(split.mode, c.mode);
    EXPECT_STREQ(split.after, c.after);
  }
  EXPECT_EQ(SplitAppointmentPattern(nullptr).mode, 0);
}

}  // namespace
