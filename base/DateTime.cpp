#include "base/DateTime.h"

#include <cmath>
#include <initializer_list>

namespace {

const LONG64 kMsPerDay = 86400000;
const LONG64 kMinutesFrom1601To1900 = 157255200;
const LONG64 kFileTimePerMs = 10000;

double g_cachedNow = 0;

LONG64 FloorDiv(LONG64 a, LONG64 b) {
  LONG64 q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Days from 1899-12-30 in the Gregorian calendar; the month may run past 12 or below 1.
LONG64 DaysFromCivil(LONG64 year, LONG64 month, LONG64 day) {
  year += FloorDiv(month - 1, 12);
  month = month - 1 - 12 * FloorDiv(month - 1, 12) + 1;
  // Count from March so that the leap day ends the year.
  if (month <= 2) year -= 1;
  LONG64 era = FloorDiv(year, 400);
  LONG64 yearOfEra = year - era * 400;
  LONG64 dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  LONG64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  // 693959 days separate 0000-03-01 from 1899-12-30.
  return era * 146097 + dayOfEra - 693959 + 60;
}

void CivilFromDays(LONG64 days, int* year, int* month, int* day) {
  LONG64 z = days + 693959 - 60;
  LONG64 era = FloorDiv(z, 146097);
  LONG64 dayOfEra = z - era * 146097;
  LONG64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  LONG64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  LONG64 mp = (5 * dayOfYear + 2) / 153;
  *day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = static_cast<int>(yearOfEra + era * 400 + (*month <= 2 ? 1 : 0));
}

bool ValidTime(const SYSTEMTIME& t) {
  return t.wYear >= 100 && t.wYear <= 9999 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
         t.wDay <= 31 && t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000;
}

// Milliseconds from 1899-12-30 00:00, on a plain time line.
LONG64 ToMs(const SYSTEMTIME& t) {
  return DaysFromCivil(t.wYear, t.wMonth, t.wDay) * kMsPerDay +
         ((t.wHour * 60LL + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
}

bool FromMs(LONG64 ms, SYSTEMTIME* t) {
  LONG64 days = FloorDiv(ms, kMsPerDay);
  LONG64 rest = ms - days * kMsPerDay;
  int year, month, day;
  CivilFromDays(days, &year, &month, &day);
  if (year < 100 || year > 9999) return false;
  t->wYear = static_cast<WORD>(year);
  t->wMonth = static_cast<WORD>(month);
  t->wDay = static_cast<WORD>(day);
  // 1899-12-30 was a Saturday.
  t->wDayOfWeek = static_cast<WORD>(((days + 6) % 7 + 7) % 7);
  t->wHour = static_cast<WORD>(rest / 3600000);
  t->wMinute = static_cast<WORD>(rest / 60000 % 60);
  t->wSecond = static_cast<WORD>(rest / 1000 % 60);
  t->wMilliseconds = static_cast<WORD>(rest % 1000);
  return true;
}

// The platform's encoding counts whole days back before 1899-12-30 but keeps the
// time of day positive; arithmetic is done on a plain line and encoded at the edges.
double Encode(double line) {
  if (line >= 0) return line;
  double day = std::floor(line);
  double time = line - day;
  return time == 0 ? day : day - time;
}

double Decode(double date) {
  if (date >= 0) return date;
  double day = std::trunc(date);
  return day + (day - date);
}

double MsToDate(LONG64 ms) { return Encode(static_cast<double>(ms) / kMsPerDay); }

bool DateToMs(double date, LONG64* ms) {
  double line = Decode(date);
  // Years 100 to 9999.
  if (!(line > -657435.0 && line < 2958466.0)) return false;
  *ms = std::llround(line * kMsPerDay);
  return true;
}

}  // namespace

double GetNowVariantTime(SYSTEMTIME* now) {
  SYSTEMTIME local;
  GetLocalTime(&local);
  if (now) *now = local;
  g_cachedNow = MsToDate(ToMs(local));
  return g_cachedNow;
}

double GetCachedNow() { return g_cachedNow; }
void SetCachedNow(double now) { g_cachedNow = now; }

double GetTodayDate() { return VariantDateFloor(GetNowVariantTime()); }

double VariantDateFloor(double date) { return std::floor(date); }

BOOL SystemTimeToVariantDate(const SYSTEMTIME& time, double* date) {
  if (!date || !ValidTime(time)) return FALSE;
  *date = MsToDate(ToMs(time));
  return TRUE;
}

BOOL VariantDateToSystemTime(double date, SYSTEMTIME* time) {
  LONG64 ms;
  if (!time || !DateToMs(date, &ms)) return FALSE;
  return FromMs(ms, time) ? TRUE : FALSE;
}

BOOL FileTimeToVariantDate(const FILETIME& time, double* date) {
  if (!date) return FALSE;
  ULONG64 units = (static_cast<ULONG64>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  LONG64 ms = static_cast<LONG64>(units / kFileTimePerMs) - kDaysFrom1601To1900 * kMsPerDay;
  *date = MsToDate(ms);
  return TRUE;
}

BOOL VariantDateToFileTime(double date, FILETIME* time) {
  LONG64 ms;
  if (!time || !DateToMs(date, &ms)) return FALSE;
  ms += kDaysFrom1601To1900 * kMsPerDay;
  if (ms < 0) return FALSE;
  ULONG64 units = static_cast<ULONG64>(ms) * kFileTimePerMs;
  time->dwLowDateTime = static_cast<DWORD>(units);
  time->dwHighDateTime = static_cast<DWORD>(units >> 32);
  return TRUE;
}

double MinutesToVariantDate(DWORD minutes) {
  return Encode(static_cast<double>(static_cast<LONG64>(minutes) - kMinutesFrom1601To1900) /
                kMinutesPerDay);
}

DWORD VariantDateToMinutes(double date) {
  LONG64 minutes = std::llround(Decode(date) * kMinutesPerDay) + kMinutesFrom1601To1900;
  if (minutes < 0) return 0;
  if (minutes > 0xFFFFFFFFLL) return 0xFFFFFFFFu;
  return static_cast<DWORD>(minutes);
}

double VariantTimeDifference(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return static_cast<double>(ToMs(a) - ToMs(b)) / kMsPerDay;
}

double DaysBetweenDates(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return static_cast<double>(DaysFromCivil(a.wYear, a.wMonth, a.wDay) -
                             DaysFromCivil(b.wYear, b.wMonth, b.wDay));
}

double FirstWeekStart(int year, int firstWeekday, int rule, const SYSTEMTIME* date,
                      SYSTEMTIME* reference) {
  LONG64 day;
  if (rule == 3 && date)
    day = DaysFromCivil(year, date->wMonth, date->wDay);
  else
    day = DaysFromCivil(year, 1, 1);
  if (reference) {
    SYSTEMTIME normal{};
    if (FromMs(day * kMsPerDay, &normal)) *reference = normal;
  }
  // Monday = 0.
  LONG64 weekday = ((day + 5) % 7 + 7) % 7;
  LONG64 k = weekday - firstWeekday;
  if (k < 0) k += 7;
  LONG64 start = day - k;
  if (rule == 1 && k != 0) start += 7;
  if (rule == 2 && k > 3) start += 7;
  return static_cast<double>(start);
}

int DayOfWeekOfMonthStart(int year, int month) {
  static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int base = year + (year - 1) / 4 + 4;
  if (year >= 1753)
    base += (year - 1601) / 400 - (year - 1701) / 100 - 11;
  else if (year == 1752 && month > 9)
    base -= 11;
  base += kDaysBefore[(month - 1) % 12];
  bool leap = year % 4 == 0 && !(year > 1750 && year % 100 == 0 && year % 400 != 0);
  if (leap && month > 2) base += 1;
  return base % 7;
}

int DayOfWeek(const SYSTEMTIME& time) { return (DayOfWeekOfMonthStart(time.wYear, time.wMonth) + time.wDay) % 7; }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

namespace {

void ResolveDay(SYSTEMTIME* rule, int week) {
  SYSTEMTIME first{};
  first.wYear = rule->wYear;
  first.wMonth = rule->wMonth;
  first.wDay = 1;
  int offset = (rule->wDayOfWeek - DayOfWeek(first) + 7) % 7;
  int day = 1 + offset;
  if (week >= 1 && week <= 4) {
    day += 7 * (week - 1);
  } else if (week == 5) {
    // The last such weekday: February counts 29 days in a leap year.
    int length = DaysInMonth(rule->wYear, rule->wMonth);
    while (day + 7 <= length) day += 7;
  } else {
    return;
  }
  rule->wDay = static_cast<WORD>(day);
}

}  // namespace

void ResolveTransitionDate(SYSTEMTIME* rule, BOOL doNotAdvance, const SYSTEMTIME* time) {
  if (!rule || rule->wMonth < 1 || rule->wMonth > 12) return;
  SYSTEMTIME now;
  if (!time) {
    GetLocalTime(&now);
    time = &now;
  }
  int week = rule->wDay;
  if (rule->wYear == 0) rule->wYear = time->wYear;
  ResolveDay(rule, week);
  if (!doNotAdvance && ToMs(*rule) < ToMs(*time)) {
    rule->wYear = static_cast<WORD>(rule->wYear + 1);
    ResolveDay(rule, week);
  }
}

BOOL GetTimeZoneBias(const TIME_ZONE_INFORMATION& zone, const SYSTEMTIME* time, LONG* bias,
                     BOOL timeIsLocal) {
  SYSTEMTIME t;
  if (time)
    t = *time;
  else if (timeIsLocal)
    GetLocalTime(&t);
  else
    GetSystemTime(&t);
  LONG result = zone.Bias;
  if (zone.StandardDate.wMonth && zone.DaylightDate.wMonth) {
    SYSTEMTIME daylight = zone.DaylightDate;
    SYSTEMTIME standard = zone.StandardDate;
    for (SYSTEMTIME* change : {&daylight, &standard}) {
      if (change->wYear)
        change->wYear = t.wYear;
      else
        ResolveTransitionDate(change, TRUE, &t);
    }
    LONG64 daylightStart = ToMs(daylight);
    LONG64 standardStart = ToMs(standard);
    if (!timeIsLocal) {
      // Each change is given on the clock that runs before it.
      daylightStart += (zone.Bias + zone.StandardBias) * 60000LL;
      standardStart += (zone.Bias + zone.DaylightBias) * 60000LL;
    }
    LONG64 at = ToMs(t);
    // Half-open: at the very moment of a change the new clock already runs.
    bool inDaylight;
    if (daylightStart <= standardStart)
      inDaylight = daylightStart <= at && at < standardStart;
    else
      inDaylight = !(standardStart <= at && at < daylightStart);
    result += inDaylight ? zone.DaylightBias : zone.StandardBias;
  }
  if (bias) *bias = result;
  return TRUE;
}

namespace {

bool CurrentZone(const TIME_ZONE_INFORMATION* zone, TIME_ZONE_INFORMATION* out) {
  if (zone) {
    *out = *zone;
    return true;
  }
  return GetTimeZoneInformation(out) != TIME_ZONE_ID_INVALID;
}

BOOL Shift(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME& in, SYSTEMTIME* out, bool toUtc) {
  TIME_ZONE_INFORMATION z;
  if (!out || !ValidTime(in) || !CurrentZone(zone, &z)) return FALSE;
  LONG bias = 0;
  GetTimeZoneBias(z, &in, &bias, toUtc ? TRUE : FALSE);
  LONG64 ms = ToMs(in) + (toUtc ? bias : -bias) * 60000LL;
  return FromMs(ms, out) ? TRUE : FALSE;
}

double ShiftDate(const TIME_ZONE_INFORMATION* zone, double date, bool toUtc) {
  SYSTEMTIME in, out;
  double result;
  if (!VariantDateToSystemTime(date, &in) || !Shift(zone, in, &out, toUtc) ||
      !SystemTimeToVariantDate(out, &result))
    return date;
  return result;
}

}  // namespace

BOOL LocalToUtcSystemTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME& local,
                          SYSTEMTIME* utc) {
  return Shift(zone, local, utc, true);
}

BOOL UtcToLocalSystemTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME& utc,
                          SYSTEMTIME* local) {
  return Shift(zone, utc, local, false);
}

double LocalToUtcDate(const TIME_ZONE_INFORMATION* zone, double local) {
  return ShiftDate(zone, local, true);
}

double UtcToLocalDate(const TIME_ZONE_INFORMATION* zone, double utc) {
  return ShiftDate(zone, utc, false);
}
