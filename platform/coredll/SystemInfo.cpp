// The device's answers about itself: platform type, system version, screen dpi, work
// area, clock and time zone, all from the device identity (DeviceIdentity.h) rather than
// from the host.
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

namespace {

// The device's zone, or null when the host's stands.
const TIME_ZONE_INFORMATION* DeviceZone(TIME_ZONE_INFORMATION& zone) {
  return CDeviceIdentity::TimeZone(zone) ? &zone : nullptr;
}

// Which of the zone's clocks runs at that UTC time: the offset the zone gives it tells.
DWORD ZoneClockAt(const TIME_ZONE_INFORMATION& zone, const SYSTEMTIME& utc) {
  if (!zone.StandardDate.wMonth || !zone.DaylightDate.wMonth) return TIME_ZONE_ID_UNKNOWN;
  SYSTEMTIME local;
  FILETIME a, b;
  if (!SystemTimeToTzSpecificLocalTime(&zone, &utc, &local) || !SystemTimeToFileTime(&utc, &a) ||
      !SystemTimeToFileTime(&local, &b))
    return TIME_ZONE_ID_STANDARD;
  const LONGLONG minutes =
      (static_cast<LONGLONG>(ULARGE_INTEGER{{a.dwLowDateTime, a.dwHighDateTime}}.QuadPart) -
       static_cast<LONGLONG>(ULARGE_INTEGER{{b.dwLowDateTime, b.dwHighDateTime}}.QuadPart)) /
      600000000LL;
  return zone.DaylightBias != zone.StandardBias && minutes == zone.Bias + zone.DaylightBias ? TIME_ZONE_ID_DAYLIGHT
                                                                                             : TIME_ZONE_ID_STANDARD;
}

}  // namespace

CORE_API void WINAPI CeGetLocalTime(LPSYSTEMTIME time) {
  if (!time) return;
  if (CDeviceIdentity::Clock(*time)) return;
  TIME_ZONE_INFORMATION zone;
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  if (const TIME_ZONE_INFORMATION* device = DeviceZone(zone))
    if (SystemTimeToTzSpecificLocalTime(device, &utc, time)) return;
  GetLocalTime(time);
}

CORE_API void WINAPI CeGetSystemTime(LPSYSTEMTIME time) {
  if (!time) return;
  SYSTEMTIME local;
  TIME_ZONE_INFORMATION zone;
  if (CDeviceIdentity::Clock(local) && TzSpecificLocalTimeToSystemTime(DeviceZone(zone), &local, time)) return;
  GetSystemTime(time);
}

CORE_API DWORD WINAPI CeGetTimeZoneInformation(LPTIME_ZONE_INFORMATION info) {
  TIME_ZONE_INFORMATION zone;
  if (!info || !DeviceZone(zone)) return GetTimeZoneInformation(info);
  *info = zone;
  SYSTEMTIME utc;
  CeGetSystemTime(&utc);
  return ZoneClockAt(zone, utc);
}
