// A local date and time as the variant date the stores and requests carry.
#pragma once
#include <windows.h>

#include "base/DateTime.h"

inline double TestDate(int year, int month, int day, int hour = 0, int minute = 0) {
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  double date = 0;
  SystemTimeToVariantDate(t, &date);
  return date;
}
