// Dates of the whole library are variant dates: days since 1899-12-30 as a double,
// the time as the fraction. Before that day the platform's encoding applies: the whole
// part counts back, the fraction is still the time of day (-1.25 is 1899-12-29 06:00).
// The stores give FILETIMEs in UTC and CE minute dates (minutes since 1601-01-01).
#pragma once
#include <windows.h>

// Stands for "no date" everywhere: in records, in requests and in date pickers.
const double kNoDate = 949998.0;

// Day counts: 1601-01-01 to 1899-12-30, and minutes in a day.
const LONG kDaysFrom1601To1900 = 109205;
const DWORD kMinutesPerDay = 1440;

// Local time now (GetLocalTime) as a variant date; also kept as the cached "now".
double GetNowVariantTime(SYSTEMTIME* now = nullptr);
// The cached "now" of the last GetNowVariantTime (0 after ResetDateFormatCache).
double GetCachedNow();
void SetCachedNow(double now);
// Today at midnight.
double GetTodayDate();
// The largest whole number not above the date (plain arithmetic floor).
double VariantDateFloor(double date);

// Exact to the millisecond, for every date from year 1601 on; FALSE for an invalid
// time (month 0 or above 12, hour above 23, ...). Days beyond the month's end carry
// into the next month.
BOOL SystemTimeToVariantDate(const SYSTEMTIME& time, double* date);
BOOL VariantDateToSystemTime(double date, SYSTEMTIME* time);
BOOL FileTimeToVariantDate(const FILETIME& time, double* date);
BOOL VariantDateToFileTime(double date, FILETIME* time);
// CE minute dates. Minutes before 1899-12-30 give the negative dates of the platform's
// encoding, never dates thousands of years ahead.
double MinutesToVariantDate(DWORD minutes);
DWORD VariantDateToMinutes(double date);

// variant(a) - variant(b).
double VariantTimeDifference(const SYSTEMTIME& a, const SYSTEMTIME& b);
// Whole days a - b, counted between the two calendar days (times ignored).
double DaysBetweenDates(const SYSTEMTIME& a, const SYSTEMTIME& b);

// First day of week 1 of the year, for week numbers. firstWeekday counts 0 = Monday
// to 6 = Sunday; rule 0 the week of January 1, 1 the first full week, 2 the first week
// with four days, 3 the week of the given date moved into the year. The reference
// date (normalised) is reported in reference when given.
double FirstWeekStart(int year, int firstWeekday, int rule, const SYSTEMTIME* date,
                      SYSTEMTIME* reference = nullptr);

// 0 = Sunday .. 6. Julian calendar up to September 1752, Gregorian afterwards.
int DayOfWeekOfMonthStart(int year, int month);
int DayOfWeek(const SYSTEMTIME& time);
// Days in the month of the Gregorian calendar (29 for February of a leap year).
int DaysInMonth(int year, int month);

// Makes a transition rule concrete: year 0 takes the time's year (now when null);
// week 1-4 the n-th, week 5 the last matching weekday of the month. Without
// doNotAdvance a rule date before the time moves to the following year once.
void ResolveTransitionDate(SYSTEMTIME* rule, BOOL doNotAdvance, const SYSTEMTIME* time);
// Bias in minutes (UTC = local + bias) in effect at the time (now when null), daylight
// or standard part included. timeIsLocal says which clock the time is on.
BOOL GetTimeZoneBias(const TIME_ZONE_INFORMATION& zone, const SYSTEMTIME* time, LONG* bias,
                     BOOL timeIsLocal);
// Null zone: the device's current zone. FALSE when it cannot be read or the time is invalid.
BOOL LocalToUtcSystemTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME& local,
                          SYSTEMTIME* utc);
BOOL UtcToLocalSystemTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME& utc,
                          SYSTEMTIME* local);
// The same on variant dates; the date comes back unchanged when conversion fails.
double LocalToUtcDate(const TIME_ZONE_INFORMATION* zone, double local);
double UtcToLocalDate(const TIME_ZONE_INFORMATION* zone, double utc);
