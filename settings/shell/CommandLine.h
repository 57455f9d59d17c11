// The options program's command line: "-p<section>:<page>" (or "-P") opens one page.
#pragma once
#include <windows.h>

// The open-section request: wParam section 0 to 8, lParam page within its sheet.
#define WM_OPENSECTION (WM_USER + 1231)

// Posts one WM_OPENSECTION to window per valid switch, in order. Every "-" in the
// text is looked at, also one inside a number or a path. S_OK, or E_FAIL when any
// switch was not valid (the valid ones are still posted).
HRESULT ParseCommandLine(HWND window, LPCWSTR commandLine);
