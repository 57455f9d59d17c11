// The device's answers about itself: platform type, system version, screen dpi, work
// area and clock, all from the device identity (DeviceIdentity.h) rather than from the host.
#include "platform/coredll/DeviceIdentity.h"
#include "platform/coredll/Screen.h"
#include "platform/coredll/ce.h"

CORE_API BOOL WINAPI CeSystemParametersInfoW(UINT action, UINT param, PVOID data, UINT winIni) {
  if (action == SPI_GETWORKAREA) {
    if (!data) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    *static_cast<RECT*>(data) = coredll::WorkArea();
    return TRUE;
  }
  if (action != SPI_GETPLATFORMTYPE) return SystemParametersInfoW(action, param, data, winIni);
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::wstring type = CDeviceIdentity::PlatformType();
  size_t bytes = (type.size() + 1) * sizeof(wchar_t);
  if (param < bytes) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  memcpy(data, type.c_str(), bytes);
  return TRUE;
}

CORE_API BOOL WINAPI CeGetVersionExW(LPOSVERSIONINFOW info) {
  if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  DWORD size = info->dwOSVersionInfoSize;
  if (size > sizeof(OSVERSIONINFOEXW)) size = sizeof(OSVERSIONINFOEXW);
  memset(info, 0, size);
  info->dwOSVersionInfoSize = size;
  CDeviceIdentity::Version(info->dwMajorVersion, info->dwMinorVersion, info->dwBuildNumber);
  info->dwPlatformId = VER_PLATFORM_WIN32_CE;
  return TRUE;
}

CORE_API int WINAPI CeGetDeviceCaps(HDC dc, int index) {
  int dpi = 0;
  if ((index == LOGPIXELSX || index == LOGPIXELSY) && CDeviceIdentity::Dpi(dpi)) return dpi;
  if ((index == HORZRES || index == VERTRES) && GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY) {
    const RECT screen = coredll::ScreenRect();
    return index == HORZRES ? screen.right : screen.bottom;
  }
  return GetDeviceCaps(dc, index);
}

CORE_API void WINAPI CeGetLocalTime(LPSYSTEMTIME time) {
  if (!time) return;
  if (!CDeviceIdentity::Clock(*time)) GetLocalTime(time);
}

CORE_API void WINAPI CeGetSystemTime(LPSYSTEMTIME time) {
  if (!time) return;
  SYSTEMTIME local;
  if (CDeviceIdentity::Clock(local) && TzSpecificLocalTimeToSystemTime(nullptr, &local, time)) return;
  GetSystemTime(time);
}
