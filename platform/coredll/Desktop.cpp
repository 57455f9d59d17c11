// On the device the desktop window is the shell's Today screen: programs send it
// WM_SETTINGCHANGE (0xF2) to have the Today items reloaded. Under Wine the desktop
// window belongs to explorer and passes nothing on, so a message for it goes to the
// Today screen stand-in's top-level "Worker" window when one runs, this process's first.
// The device also lets WM_SETTINGCHANGE be posted (the Today screen's own windows are
// re-posted it); Wine refuses to post it, as a message that may carry a string, so a
// posted one without a string goes to a Today screen window as the registered message
// "CePostedSettingChange" with the same wParam.
#include <windows.h>

namespace {

HWND TodayScreen() {
  DWORD self = GetCurrentProcessId();
  HWND other = nullptr;
  for (HWND w = FindWindowExW(nullptr, nullptr, L"Worker", nullptr); w;
       w = FindWindowExW(nullptr, w, L"Worker", nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == self) return w;
    if (!other) other = w;
  }
  return other;
}

bool IsTodayScreen(HWND hwnd) {
  WCHAR name[16] = {};
  return GetClassNameW(hwnd, name, 16) && lstrcmpW(name, L"Worker") == 0;
}

HWND Route(HWND hwnd) {
  if (!hwnd || hwnd != GetDesktopWindow()) return hwnd;
  HWND screen = TodayScreen();
  return screen ? screen : hwnd;
}

}  // namespace

extern "C" LRESULT WINAPI CeSendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(Route(hwnd), message, wParam, lParam);
}

extern "C" BOOL WINAPI CePostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  hwnd = Route(hwnd);
  if (message == WM_SETTINGCHANGE && lParam == 0 && hwnd && IsTodayScreen(hwnd))
    return PostMessageW(hwnd, RegisterWindowMessageW(L"CePostedSettingChange"), wParam, 0);
  return PostMessageW(hwnd, message, wParam, lParam);
}
