// The device's screen, not the host display's: its size comes from the device
// identity ("Screen", at its "Dpi"), and what the shell keeps of it for itself (the task
// bar along the top, the menu bar along the bottom) is outside the work area.
// Everything else about the display (drawing, the windows on it) stays Wine's.
#include "platform/coredll/DeviceIdentity.h"
#include "platform/coredll/Screen.h"
#include "platform/coredll/ce.h"

#include <algorithm>

namespace {

bool IsDesktop(HWND hwnd) { return hwnd && hwnd == GetDesktopWindow(); }

HMONITOR TheMonitor() { return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY); }

}  // namespace

namespace coredll {

int DeviceDpi() {
  int dpi = 0;
  if (CDeviceIdentity::Dpi(dpi)) return dpi;
  HDC screen = GetDC(nullptr);
  dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

RECT ScreenRect() {
  int width = 0, height = 0;
  CDeviceIdentity::Screen(width, height);
  return {0, 0, width, height};
}

// The task bar and the menu bar are each 26 pixels high at 96 dpi.
int ShellBarHeight() { return MulDiv(26, DeviceDpi(), 96); }

RECT WorkArea() {
  RECT work = ScreenRect();
  const int bar = ShellBarHeight();
  // On a screen too small for both bars the work area is empty, but on the screen.
  work.top = std::min<LONG>(bar, work.bottom);
  work.bottom = std::max<LONG>(work.top, work.bottom - bar);
  return work;
}

}  // namespace coredll

using coredll::ScreenRect;
using coredll::WorkArea;

CORE_API int WINAPI CeGetSystemMetrics(int index) {
  const RECT screen = ScreenRect();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXFULLSCREEN:
      return screen.right;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
      return screen.bottom;
    case SM_CYFULLSCREEN: {
      // What a full-screen window's client area gets: the work area.
      const RECT work = WorkArea();
      return work.bottom - work.top;
    }
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
      return 0;
    case SM_CMONITORS:
      return 1;
    default:
      return GetSystemMetrics(index);
  }
}

// The desktop window covers the device's screen, its client area too.
CORE_API BOOL WINAPI CeGetClientRect(HWND hwnd, LPRECT rect) {
  if (!IsDesktop(hwnd)) return GetClientRect(hwnd, rect);
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *rect = ScreenRect();
  return TRUE;
}

CORE_API BOOL WINAPI CeGetWindowRect(HWND hwnd, LPRECT rect) {
  if (!IsDesktop(hwnd)) return GetWindowRect(hwnd, rect);
  return CeGetClientRect(hwnd, rect);
}

// The device has one screen: every window, point and rectangle is on it, except with
// MONITOR_DEFAULTTONULL one that lies wholly off it.
CORE_API HMONITOR WINAPI CeMonitorFromRect(LPCRECT rect, DWORD flags) {
  if (!rect) return MonitorFromRect(rect, flags);
  const RECT screen = ScreenRect();
  RECT common;
  if (flags == MONITOR_DEFAULTTONULL && !IntersectRect(&common, rect, &screen)) return nullptr;
  return TheMonitor();
}

CORE_API HMONITOR WINAPI CeMonitorFromPoint(POINT point, DWORD flags) {
  const RECT screen = ScreenRect();
  if (flags == MONITOR_DEFAULTTONULL && !PtInRect(&screen, point)) return nullptr;
  return TheMonitor();
}

CORE_API HMONITOR WINAPI CeMonitorFromWindow(HWND hwnd, DWORD flags) {
  if (!hwnd || !IsWindow(hwnd)) return MonitorFromWindow(hwnd, flags);
  if (IsDesktop(hwnd)) return TheMonitor();
  RECT window = {};
  if (!GetWindowRect(hwnd, &window)) return MonitorFromWindow(hwnd, flags);
  return CeMonitorFromRect(&window, flags);
}

CORE_API BOOL WINAPI CeGetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info) {
  if (!GetMonitorInfoW(monitor, info)) return FALSE;
  if (monitor == TheMonitor()) {
    info->rcMonitor = ScreenRect();
    info->rcWork = WorkArea();
    info->dwFlags |= MONITORINFOF_PRIMARY;
  }
  return TRUE;
}

