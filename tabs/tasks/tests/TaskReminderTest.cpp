// The older store's reminder form: offsets before a reference day, whole days at 08:00,
// 16-bit offsets of other programs, and times stored and read back unchanged.
#include "tabs/tasks/TaskReminder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/DateTime.h"

namespace {

using namespace TaskReminder;

const double kMarch2 = 46083.0;  // 2026-03-02
const double kHour = 1.0 / 24;

TEST(TaskReminderTest, StoredOffsetsGiveTheirTimes) {
  struct Case {
    LONG stored;
    double expected;
    BOOL repair;
  } cases[] = {
      {1440, kMarch2 - 1 + 8 * kHour, FALSE},        // a whole day: the day before at 08:00
      {90, kMarch2 - 1 + 22.5 * kHour, FALSE},       // 22:30 the day before
      {65056, kMarch2 + 8 * kHour, TRUE},            // -480 written as 16 bits: 08:00 on the day
      {0, kMarch2 + 8 * kHour, FALSE},               // no days: 08:00 on the day
      {-1440 * 2, kMarch2 + 2 + 8 * kHour, FALSE},   // two whole days after
      {64096, kMarch2 - 64096 / 1440.0, FALSE},      // the longest positive offset
      {64097, kMarch2 + (65536 - 64097) / 1440.0, TRUE},
  };
  for (const Case& c : cases) {
    BOOL repair = 2;
    const LONG minutes = DecodeOffset(c.stored, &repair);
    EXPECT_EQ(repair, c.repair) << c.stored;
    EXPECT_NEAR(FromOffset(kMarch2 + 0.75, minutes), c.expected, 1e-9) << c.stored << ": the reference's time of day is ignored";
  }
}

// Whatever minute is chosen, storing it and reading it back gives that minute.
TEST(TaskReminderTest, RemindersRoundTripToTheSameMinute) {
  const double start = kMarch2 - 3;
  struct Case {
    const char* what;
    double reminder;
    double start;
    int reference;
  } cases[] = {
      {"08:00 the day before a midnight due date", kMarch2 - 1 + 8 * kHour, 0, kFromDue},
      {"22:30 the day before", kMarch2 - 1 + 22.5 * kHour, 0, kFromDue},
      {"09:17 on the due day", kMarch2 + (9 * 60 + 17) / 1440.0, 0, kFromDue},
      {"08:00 ten days before", kMarch2 - 10 + 8 * kHour, 0, kFromDue},
      {"07:59 thirty days before", kMarch2 - 30 + (7 * 60 + 59) / 1440.0, 0, kFromDue},
      {"18:45 forty-four days before", kMarch2 - 44 + 18.75 * kHour, 0, kFromDue},
      {"08:00 two days after the due date", kMarch2 + 2 + 8 * kHour, 0, kFromDue},
      {"before the start: from the start", start - 1 + 8 * kHour, start, kFromStart},
      {"09:00 before a start at 10:00", start + 9 * kHour, start + 10 * kHour, kFromStart},
      {"after the start: from the due date", start + 1 + 13 * kHour, start, kFromDue},
      {"a minute before midnight", kMarch2 - 1 / 1440.0, 0, kFromDue},
  };
  for (const Case& c : cases) {
    LONG minutes = 0;
    int reference = -1;
    ASSERT_TRUE(ToOffset(c.reminder, c.start, kMarch2, &minutes, &reference)) << c.what;
    EXPECT_EQ(reference, c.reference) << c.what;
    const double back = FromOffset(reference == kFromStart ? c.start : kMarch2, minutes);
    EXPECT_NEAR(back, c.reminder, 0.1 / 86400) << c.what << ": stored " << minutes;
  }
  // The drift that truncation gave: 08:00 the day before is 960 minutes, not 959.
  LONG minutes = 0;
  int reference = 0;
  ASSERT_TRUE(ToOffset(kMarch2 - 1 + 8 * kHour, 0, kMarch2, &minutes, &reference));
  EXPECT_EQ(minutes, 960);
}

TEST(TaskReminderTest, SecondsGoToTheNearestMinute) {
  struct Case {
    int seconds;
    LONG minutes;
  } cases[] = {{0, 960}, {29, 960}, {31, 959}, {59, 959}, {-29, 960}, {-31, 961}};
  for (const Case& c : cases) {
    LONG minutes = 0;
    int reference = 0;
    ASSERT_TRUE(ToOffset(kMarch2 - 1 + 8 * kHour + c.seconds / 86400.0, 0, kMarch2, &minutes, &reference));
    EXPECT_EQ(minutes, c.minutes) << c.seconds;
  }
}

// The store cannot keep an offset of more than 45 days, nor one another program would
// read as a negative 16-bit number.
TEST(TaskReminderTest, OffsetsBeyondWhatTheStoreKeepsAreRefused) {
  struct Case {
    double reminder;
    BOOL kept;
  } cases[] = {
      {kMarch2 - 50, FALSE},
      {kMarch2 - 45, FALSE},
      {kMarch2 - 64097 / 1440.0, FALSE},
      {kMarch2 - 64096 / 1440.0, TRUE},
      {kMarch2 - 44, TRUE},
      {kMarch2 + 45, TRUE},
      {kMarch2 + 46, FALSE},
      {1e300, FALSE},
      {std::nan(""), FALSE},
  };
  for (const Case& c : cases) {
    LONG minutes = 12345;
    int reference = 7;
    EXPECT_EQ(ToOffset(c.reminder, 0, kMarch2, &minutes, &reference), c.kept) << c.reminder - kMarch2;
    if (!c.kept) {
      EXPECT_EQ(minutes, 12345);
    }
  }
}

// The store's own form cannot say midnight: a whole number of days is 08:00.
TEST(TaskReminderTest, AMidnightReminderReadsBackAtEight) {
  LONG minutes = 0;
  int reference = 0;
  ASSERT_TRUE(ToOffset(kMarch2 - 1, 0, kMarch2, &minutes, &reference));
  EXPECT_EQ(minutes, 1440);
  EXPECT_NEAR(FromOffset(kMarch2, minutes), kMarch2 - 1 + 8 * kHour, 1e-9);
}

}  // namespace
