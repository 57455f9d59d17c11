// The options program's names of the date and time pictures the base library builds
// (one implementation for both programs), and what the long-date page offers.
#pragma once
#include <windows.h>

#include "base/DateFormat.h"

// The long-date choices of the date page: three fixed pictures and the locale's short one.
inline int GetLongDateSampleCount() { return 4; }
inline CString GetDefaultLongDateFormat(int choice) { return GetLongDatePreset(choice); }
// The picture without its year (the text between the fields around the year becomes one
// blank) and with the long forms shortened as asked.
inline CString ParseDatePicture(LPCWSTR picture, BOOL keepYear, BOOL shortYear, BOOL shortMonth, BOOL shortDay) {
  return ShortenDatePicture(picture, keepYear, shortYear, shortMonth, shortDay);
}
inline CString GetLongDateFormat() { return BuildLongDateFormat(); }
inline CString GetShortDateFormat() { return BuildShortDateFormat(); }
inline void FormatDatePicture(CString& out, const SYSTEMTIME& time) { FormatLongDate(out, time); }
inline void FormatDate(CString& out, const SYSTEMTIME& time) { FormatShortDate(out, time); }
