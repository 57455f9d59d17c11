#include "tabs/calendar/SovelLink.h"

#include "base/RegKey.h"

int GetSovelState() {
  {
    CRegKey korvel(HKEY_LOCAL_MACHINE, L"Software\\Korvel", FALSE, FALSE, KEY_READ);
    if (!korvel.IsOpen() || !korvel.SubKeyExists(L"Qel Sovel")) return kSovelNotInstalled;
  }
  // Another product's key: read, never written.
  CRegKey sovel(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Sovel", FALSE, FALSE, KEY_READ);
  if (sovel.QueryDWORD(L"Build") < kSovelMinimumBuild) return kSovelOldBuild;
  if (!FindWindowW(SOVEL_TODAY_CLASS, nullptr)) return kSovelNotRunning;
  return kSovelReady;
}

DWORD SendToSovelToday(UINT message, WPARAM wParam) {
  HWND window = FindWindowW(SOVEL_TODAY_CLASS, nullptr);
  if (!window) return 0;
  DWORD result = 0;
  SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(&result));
  return result;
}

BOOL GetSovelForecastRange(int32_t* first, int32_t* last) {
  int32_t range[2] = {0, 0};
  const DWORD result = SendToSovelToday(SOVEL_MSG_FORECAST_RANGE, reinterpret_cast<WPARAM>(range));
  if (first) *first = range[0];
  if (last) *last = range[1];
  return result != 0;
}

DWORD RequestSovelIcon(int32_t dayOffset, void* pixels) {
  SOVEL_ICON_REQUEST request = {dayOffset, pixels};
  return SendToSovelToday(SOVEL_MSG_FORECAST_ICON, reinterpret_cast<WPARAM>(&request));
}

void OpenSovelDay(int32_t dayOffset) { SendToSovelToday(SOVEL_MSG_OPEN_DAY, reinterpret_cast<WPARAM>(&dayOffset)); }
