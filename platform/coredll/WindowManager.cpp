// Window-manager calls whose arguments carry device-only meanings: the system-colour
// index flag, the device's extended window styles, the "bring owned windows too"
// bit of SetForegroundWindow and the device's hook numbers.
#include "platform/coredll/ce.h"

namespace {

int DesktopColorIndex(int index) { return index & ~SYS_COLOR_INDEX_FLAG; }

// A class background given as a flagged system colour (COLOR_x + 1 with the flag).
HBRUSH DesktopClassBrush(HBRUSH brush) {
  ULONG_PTR value = reinterpret_cast<ULONG_PTR>(brush);
  if (value > SYS_COLOR_INDEX_FLAG && value <= SYS_COLOR_INDEX_FLAG + COLOR_MENUBAR + 1)
    return reinterpret_cast<HBRUSH>(value & ~static_cast<ULONG_PTR>(SYS_COLOR_INDEX_FLAG));
  return brush;
}

// The device's extended styles mean nothing to the desktop ("above the start-up
// screen", ink, no drag, an OK button in the caption) and are left out.
const DWORD kDeviceOnlyExStyles = WS_EX_CAPTIONOKBTN | WS_EX_NODRAG | WS_EX_ABOVESTARTUP | WS_EX_INK;

int DesktopHookType(int type) { return type == CE_WH_KEYBOARD_LL ? WH_KEYBOARD_LL : type; }

}  // namespace

CORE_API DWORD WINAPI CeGetSysColor(int index) { return GetSysColor(DesktopColorIndex(index)); }

CORE_API HBRUSH WINAPI CeGetSysColorBrush(int index) { return GetSysColorBrush(DesktopColorIndex(index)); }

CORE_API ATOM WINAPI CeRegisterClassW(const WNDCLASSW* wc) {
  if (!wc) return RegisterClassW(wc);
  WNDCLASSW desktop = *wc;
  desktop.hbrBackground = DesktopClassBrush(wc->hbrBackground);
  return RegisterClassW(&desktop);
}

CORE_API ATOM WINAPI CeRegisterClassExW(const WNDCLASSEXW* wc) {
  if (!wc) return RegisterClassExW(wc);
  WNDCLASSEXW desktop = *wc;
  desktop.hbrBackground = DesktopClassBrush(wc->hbrBackground);
  return RegisterClassExW(&desktop);
}

CORE_API HWND WINAPI CeCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                                       int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                                       LPVOID param) {
  return CreateWindowExW(exStyle & ~kDeviceOnlyExStyles, className, windowName, style, x, y, width, height, parent,
                         menu, instance, param);
}

// On the device the foreground window is also the topmost of its kind; without a
// window manager Wine activates it but leaves the stacking order alone.
CORE_API BOOL WINAPI CeSetForegroundWindow(HWND hwnd) {
  ULONG_PTR value = reinterpret_cast<ULONG_PTR>(hwnd);
  HWND window = reinterpret_cast<HWND>(value & ~static_cast<ULONG_PTR>(1));
  if (!SetForegroundWindow(window)) return FALSE;
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!(value & 1)) return TRUE;
  // The window's visible owned windows come up with it, above it.
  struct Owner {
    HWND window;
  } owner = {window};
  EnumThreadWindows(
      GetWindowThreadProcessId(window, nullptr),
      [](HWND w, LPARAM lp) -> BOOL {
        HWND ownerWindow = reinterpret_cast<Owner*>(lp)->window;
        if (w != ownerWindow && GetWindow(w, GW_OWNER) == ownerWindow && IsWindowVisible(w))
          SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&owner));
  return TRUE;
}

CORE_API HHOOK WINAPI CeSetWindowsHookExW(int type, HOOKPROC proc, HINSTANCE module, DWORD thread) {
  return SetWindowsHookExW(DesktopHookType(type), proc, module, thread);
}
