// The link to the forecast product's Today item: whether it is installed and
// running, and the three messages the Calendar sends its window. The messages
// carry pointers into the sender's memory (the device's shared address space);
// they work only with a window in the same process or on the device.
#pragma once
#include <windows.h>

#include <cstdint>

#define SOVEL_TODAY_CLASS L"QELSOVELTODAY{513E32D1-49F0-4B42-B186-38EA5A989F39}"

enum SovelState {
  kSovelNotInstalled = 0,
  kSovelOldBuild = 1,
  kSovelNotRunning = 2,
  kSovelReady = 3,
};

// Messages to the Today item's window.
enum : UINT {
  SOVEL_MSG_FORECAST_RANGE = 1032,  // wParam: int32_t[2], first and last day offset
  SOVEL_MSG_FORECAST_ICON = 1033,   // wParam: SOVEL_ICON_REQUEST*
  SOVEL_MSG_OPEN_DAY = 1034,        // wParam: int32_t* day offset
};
const DWORD kSovelMinimumBuild = 366;

// The day's offset from today, then the pixel memory of a bitmap twice as wide as
// high (16 pixels, 32 at 192 dpi and more) that the item draws the icon into.
struct SOVEL_ICON_REQUEST {
  int32_t dayOffset;
  void* pixels;
};

int GetSovelState();
// Sends message to the Today item with wParam and a pointer to a result word preset
// to 0 as lParam; the word, or 0 without the window.
DWORD SendToSovelToday(UINT message, WPARAM wParam);

// The three messages with their arguments laid out as the item reads them.
BOOL GetSovelForecastRange(int32_t* first, int32_t* last);
DWORD RequestSovelIcon(int32_t dayOffset, void* pixels);
void OpenSovelDay(int32_t dayOffset);
