// Dates and times as the user sees them: the locale's pictures trimmed by the user's
// options under the product key, built on first use and kept until
// ResetDateFormatCache (the panel calls it after a settings change).
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// Cuts the year out of a date picture (unless keepYear) and shortens the long forms:
// "yyyy" -> "yy", "MMMM" -> "MMM", "dddd" -> "ddd" as asked. The text between the
// field before the year and the field after it becomes one blank.
CString ShortenDatePicture(LPCWSTR picture, BOOL keepYear, BOOL shortYear, BOOL shortMonth,
                           BOOL shortDay);
// "LongDate_CustomFormat" presets 0-3; any other index gives preset 0.
CString GetLongDatePreset(int index);
// The locale's time picture without its spaces and with "tt" as "t".
CString MakeTimePicture(LPCWSTR localePicture);

// The pictures from the options under the product key (defaults written back).
CString BuildLongDateFormat();
CString BuildShortDateFormat();

// With the cached pictures; an empty text when the date cannot be formatted.
void FormatLongDate(CString& out, const SYSTEMTIME& time);
void FormatShortDate(CString& out, const SYSTEMTIME& time);
void FormatTime(CString& out, const SYSTEMTIME& time);
void FormatVariantDate(CString& out, double date);
// The short date, a blank and the time as hh:mm.
void FormatShortDateTime(CString& out, double date);
// The locale's decimal separator, "," when it gives none.
void GetDecimalSeparator(CString& out);

void ResetDateFormatCache();
