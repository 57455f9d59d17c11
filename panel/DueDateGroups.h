// The due-date groups of the Special events tab: from today, the rest of this week, next
// week, the rest of this month, each of the following twelve months, and the future.
// The boundaries are whole variant days worked out once per rebuild from the local time.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// Group codes; codes 0x100 to 0x1FF are single days.
enum DueDateGroup {
  DUE_GROUP_PAST = 1,
  DUE_GROUP_TODAY = 256,
  DUE_GROUP_TOMORROW = 257,
  DUE_GROUP_LATER_THIS_WEEK = 512,
  DUE_GROUP_NEXT_WEEK = 513,
  DUE_GROUP_LATER_THIS_MONTH = 768,
  DUE_GROUP_FIRST_MONTH = 769,  // + k - 1 for the k-th following month, 1 to 12
  DUE_GROUP_FUTURE = 1024,
};

struct DUE_DATE_GROUP_BOUNDS {
  double today;
  int year;  // today's year, for the month titles
  // -1 where a group does not exist.
  double endOfWeek;
  double endOfNextWeek;
  double endOfMonth;
  double endOfMonths[12];
};

// From a local time and the first day of the week (0 Monday to 6 Sunday, as the locale
// gives LOCALE_IFIRSTDAYOFWEEK).
void InitDueDateGroupBounds(DUE_DATE_GROUP_BOUNDS& bounds, const SYSTEMTIME& now, int firstDayOfWeek);
// From the local time now and the user's locale.
void InitDueDateGroupBounds(DUE_DATE_GROUP_BOUNDS& bounds);
// The group code of a day (its whole day counts).
int ClassifyDueDate(const DUE_DATE_GROUP_BOUNDS& bounds, double day);
// Whether a code is a group of one day.
inline BOOL IsSingleDayGroup(int code) { return (code & 0xF00) == 0x100; }
// The group's title through the translator's text table; a month by the locale's name,
// with ", " and the two-digit year outside today's year; empty for an unknown code.
void GetDueDateGroupTitle(const DUE_DATE_GROUP_BOUNDS& bounds, int code, CString& out);
