// pimutil.dll: helpers the device's PIM programs share. Only the date text is here.
#pragma once
#include <windows.h>

// Date pictures PimGetDateFormat knows.
enum { PIM_DATE_SHORT = 0, PIM_DATE_LONG = 1 };

// The date of *date in the user's locale: format 1 the long date, 0 the short one.
// Into buffer (size characters); the length without the terminator, 0 on failure
// (ERROR_INVALID_PARAMETER for a null date or buffer, an unknown format or an invalid
// date; ERROR_INSUFFICIENT_BUFFER when it does not fit).
typedef int(WINAPI* PFN_PIM_GET_DATE_FORMAT)(const SYSTEMTIME* date, DWORD format, LPWSTR buffer, int size);
