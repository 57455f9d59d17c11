// The clocks the panel reads: the local time (as a variant date) and the time-zone
// bias for the day and minute checks, and the time of the message being handled for
// double taps. Tests put their own in place.
#pragma once
#include <windows.h>

typedef double (*PFN_PANEL_NOW)();
typedef LONG (*PFN_PANEL_BIAS)();
typedef DWORD (*PFN_PANEL_MESSAGE_TIME)();

// The local time as a variant date.
double PanelNow();
// The current time-zone bias in minutes, daylight bias included.
LONG PanelTimeZoneBias();
// The time of the message being handled, in milliseconds.
DWORD PanelMessageTime();

// Each returns the previous one; null puts the system's back.
PFN_PANEL_NOW SetPanelNow(PFN_PANEL_NOW now);
PFN_PANEL_BIAS SetPanelTimeZoneBias(PFN_PANEL_BIAS bias);
PFN_PANEL_MESSAGE_TIME SetPanelMessageTime(PFN_PANEL_MESSAGE_TIME time);
