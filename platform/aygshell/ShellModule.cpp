#include "platform/aygshell/aygshell.h"
#include "platform/aygshell/ShellInternal.h"

#include <vector>

namespace ayg {
namespace {

HINSTANCE g_module = nullptr;

// "SIPPREF" children only mark a dialog as one whose input panel follows the focus;
// the window itself stays hidden and does nothing.
void RegisterSipPref() {
  WNDCLASSW wc = {};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = g_module;
  wc.lpszClassName = WC_SIPPREF;
  RegisterClassW(&wc);
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM lParam) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == GetCurrentProcessId()) reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
  return TRUE;
}

}  // namespace

HINSTANCE Module() { return g_module; }

int ScreenDpiY() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int ScaleY(int logical) { return MulDiv(logical, ScreenDpiY(), 96); }

RECT WorkArea() {
  RECT work = {};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || IsRectEmpty(&work)) {
    work = ScreenRect();
  }
  return work;
}

RECT ScreenRect() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

int MenuBarHeight() { return ScaleY(26); }

RECT MenuBarRect() {
  const RECT screen = ScreenRect();
  return {screen.left, screen.bottom - MenuBarHeight(), screen.right, screen.bottom};
}

void SendToTopLevelWindows(UINT message, WPARAM wParam, LPARAM lParam) {
  std::vector<HWND> windows;
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &ignored);
  }
}

}  // namespace ayg

AYG_API BOOL WINAPI AygInitialize() { return TRUE; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    ayg::g_module = instance;
    DisableThreadLibraryCalls(instance);
    ayg::RegisterSipPref();
  } else if (reason == DLL_PROCESS_DETACH && !reserved) {
    // Unloaded by FreeLibrary: a later load registers the classes afresh.
    UnregisterClassW(WC_SIPPREF, instance);
    UnregisterClassW(MENUBAR_CLASSNAME, instance);
  }
  return TRUE;
}
