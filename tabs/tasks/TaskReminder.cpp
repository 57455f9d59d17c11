#include "tabs/tasks/TaskReminder.h"

#include <cmath>

#include "base/DateTime.h"

namespace TaskReminder {

double Day(double date) {
  if (!(date > -1e9 && date < 1e9)) return date > 0 ? 1e9 : -1e9;
  return std::floor(date);
}

BOOL IsSet(double date) { return date != 0 && date != kNoDate; }

LONG DecodeOffset(LONG stored, BOOL* repair) {
  if (repair) *repair = FALSE;
  if (stored > kSixteenBitNegative) {
    if (repair) *repair = TRUE;
    return stored - 65536;
  }
  return stored;
}

double FromOffset(double referenceDate, LONG minutes) {
  const double day = Day(referenceDate);
  // Whole days fire at 08:00 of the day they name.
  if (minutes % kMinutesPerDay != 0) return day - minutes * kMinute;
  return day + kEightHours - minutes * kMinute;
}

BOOL ToOffset(double reminder, double start, double due, LONG* minutes, int* reference) {
  if (!(reminder > -1e9 && reminder < 1e9)) return FALSE;
  const double shifted = reminder + kHalfMinute;
  const BOOL fromStart = IsSet(start) && shifted <= start;
  const double day = Day(fromStart ? start : due);
  // Rounded to the nearest minute: truncating would store a minute less than chosen.
  const double exact = (day - reminder) * kMinutesPerDay;
  if (!(exact > -1e8 && exact < 1e8)) return FALSE;
  const LONG m = static_cast<LONG>(std::floor(exact + 0.5));
  if (m > kLongestOffset || m < kLongestLateOffset) return FALSE;
  *minutes = m;
  *reference = fromStart ? kFromStart : kFromDue;
  return TRUE;
}

}  // namespace TaskReminder
