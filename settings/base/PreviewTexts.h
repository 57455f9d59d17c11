// The texts of the calendar previews' day headers and appointment rows, from the
// settings and the day alone, so that every page shows them the same way.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// A day header's title. With showToday, today and tomorrow start with their words
// and ", "; the long date follows. With offsetMode other than 0 and no such word,
// a day count label ("[%d]" up to today, "[+%d]" after) comes first (offsetMode 1)
// or last, apart by a space. Days are whole variant dates.
CString BuildDayHeaderTitle(double day, double today, BOOL showToday, int offsetMode, LPCWSTR longDate,
                            LPCWSTR todayWord, LPCWSTR tomorrowWord);

// Where the shown day lies in an appointment.
struct AppointmentDays {
  BOOL allDay;
  BOOL multiDay;
  BOOL firstDay;
  BOOL lastDay;
};

// An appointment row's time text: start and end times (already formatted)
// lower-cased and joined by "-" (only the start with startOnly); a multi-day
// appointment shows continuedText for a time that lies on another day, and
// continuedText alone on a day in between; an all-day one shows allDayText. In the
// all-day style the whole-day texts are left out.
CString BuildAppointmentTimeText(LPCWSTR startTime, LPCWSTR endTime, const AppointmentDays& days, BOOL allDayStyle,
                                 BOOL startOnly, LPCWSTR allDayText, LPCWSTR continuedText);

// An appointment pattern ("n3rqsca"): the letters before its first digit, the
// digit's value (0 when none) and the letters after it.
struct AppointmentPattern {
  CString before;
  int mode;
  CString after;
};
AppointmentPattern SplitAppointmentPattern(LPCWSTR pattern);
