// Date pickers (the platform's date-time picker control) that can hold "no date":
// kNoDate empties the picker, marks it in its user data and shows the "no date" text
// quoted as its format. The mark, not the control's own state, tells what it holds.
#pragma once
#include <windows.h>

#include "platform/windowlib/Window.h"

void DlgSetDatePickerValue(HWND picker, double date);
// kNoDate for an emptied picker; optionally the control's time as well.
void DlgGetDatePickerValue(HWND picker, double* date, SYSTEMTIME* time = nullptr);
// The picker's month calendar while it is dropped down (null window otherwise).
BOOL DlgGetDatePickerMonthCal(HWND picker, CWindow& monthCal);
