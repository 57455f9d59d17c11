// Small helpers the dialogs and real windows share: the caption strip at the top
// of a dialog, the input panel's word completion, the help viewer, numbering a
// name, a case-insensitive text order, and a double tap taken as two taps.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// The strip at y, height high (and a one-pixel rule below), text in bold in the
// highlight colour on the window colour. Nothing when height + y < 1.
void DrawCaptionBar(HDC hdc, LPCWSTR text, int height, int y);
// Turns the input panel's word completion on or off. FALSE when the panel's
// state could not be read or written.
BOOL SetWordCompletion(BOOL enabled);
// Opens the help viewer "PegHelp.exe" at "QelTarvo.htm#topic" ("Main_Contents"
// for a null or empty topic), through the program launcher.
BOOL ShowHelp(LPCWSTR topic);
// "Name 9" -> "Name 10", "Name" -> "Name 1", "Name " -> "Name 1", "7" -> "8". A
// run of digits too long for a number is kept and numbered after a space.
void MakeNextName(CString& name);
// A sort comparator: negative, 0 or positive as _wcsicmp.
int CompareNoCase(LPCWSTR a, LPCWSTR b);
// Posts a tap (button down, then up) for a double tap at lParam, so a control that
// would open its row on a double tap sees two single taps instead, as on the device.
void SplitDoubleTap(HWND window, WPARAM wParam, LPARAM lParam);
