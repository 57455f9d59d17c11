// The older task store keeps a reminder as minutes before the midnight of a reference
// day (the start's or the due date's); a whole number of days fires at 08:00. These
// turn that form into a time and back.
#pragma once
#include <windows.h>

namespace TaskReminder {

const double kMinute = 1.0 / 1440;
const double kHalfMinute = 0.5 / 1440;
const double kEightHours = 1.0 / 3;
const int kMinutesPerDay = 1440;
// Another program writes the offset as a 16-bit number: a value above this is negative.
const LONG kSixteenBitNegative = 64096;
// The longest offset kept: 45 days, and never one that would read back as negative.
const LONG kLongestOffset = kSixteenBitNegative;
const LONG kLongestLateOffset = -45 * kMinutesPerDay;

// References of the stored offset.
enum { kFromStart = 0, kFromDue = 1 };

// The day of a date (toward minus infinity), safe for any value.
double Day(double date);
// A date is set when it is neither 0 nor the no-date value.
BOOL IsSet(double date);

// The stored offset as minutes: a 16-bit negative number written by another program
// is read as such and *repair is set.
LONG DecodeOffset(LONG stored, BOOL* repair);
// The reminder time of an offset before the reference day.
double FromOffset(double referenceDate, LONG minutes);
// The offset and reference of a reminder time, to the nearest minute, so that
// FromOffset gives back the same minute. FALSE when it lies further than the store
// can keep (45 days, or an offset another program would read as negative).
BOOL ToOffset(double reminder, double start, double due, LONG* minutes, int* reference);

}  // namespace TaskReminder
