// Dates written as the tests read them.
#pragma once
#include <windows.h>

#include "base/DateTime.h"

inline SYSTEMTIME Time(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(mo);
  t.wDay = static_cast<WORD>(d);
  t.wHour = static_cast<WORD>(h);
  t.wMinute = static_cast<WORD>(mi);
  t.wSecond = static_cast<WORD>(s);
  t.wMilliseconds = static_cast<WORD>(ms);
  return t;
}

// A CE minute date.
inline DWORD Minutes(int y, int mo, int d, int h = 0, int mi = 0) {
  double date = 0;
  SystemTimeToVariantDate(Time(y, mo, d, h, mi), &date);
  return VariantDateToMinutes(date);
}

// A time-zone transition rule: the week-th (5 = last) weekday of the month at the hour.
inline SYSTEMTIME Rule(int month, int weekday, int week, int hour) {
  SYSTEMTIME t{};
  t.wMonth = static_cast<WORD>(month);
  t.wDayOfWeek = static_cast<WORD>(weekday);
  t.wDay = static_cast<WORD>(week);
  t.wHour = static_cast<WORD>(hour);
  return t;
}

// US Eastern: second Sunday of March to first Sunday of November, 02:00 local.
inline TIME_ZONE_INFORMATION Eastern() {
  TIME_ZONE_INFORMATION z{};
  z.Bias = 300;
  z.DaylightBias = -60;
  z.DaylightDate = Rule(3, 0, 2, 2);
  z.StandardDate = Rule(11, 0, 1, 2);
  return z;
}

// Central Europe: last Sunday of March 02:00 to last Sunday of October 03:00.
inline TIME_ZONE_INFORMATION CentralEurope() {
  TIME_ZONE_INFORMATION z{};
  z.Bias = -60;
  z.DaylightBias = -60;
  z.DaylightDate = Rule(3, 0, 5, 2);
  z.StandardDate = Rule(10, 0, 5, 3);
  return z;
}

// Southern order: daylight from the first Sunday of October, standard from the first
// Sunday of April (Sydney, 02:00 and 03:00 local).
inline TIME_ZONE_INFORMATION Sydney() {
  TIME_ZONE_INFORMATION z{};
  z.Bias = -600;
  z.DaylightBias = -60;
  z.DaylightDate = Rule(10, 0, 1, 2);
  z.StandardDate = Rule(4, 0, 1, 3);
  return z;
}
