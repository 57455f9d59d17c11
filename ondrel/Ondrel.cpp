// Ondrel.exe: the item-operations program the plug-in starts and drives. One
// instance per device; windowless; ends when asked to.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cwchar>

#include "base/CeDbApi.h"
#include "base/Platform.h"
#include "ondrel/MainFrame.h"
#include "pim/PocketOutlook.h"
#include "platform/coredll/ce.h"
#include "platform/windowlib/Module.h"

namespace {

int CheckSingleInstance() {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"QelTarvo_Ondrel_10");
  const DWORD error = GetLastError();
  if (!mutex) return error == ERROR_INVALID_HANDLE ? static_cast<int>(0x80070057) : static_cast<int>(0x80004005);
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return 1;
  }
  return 0;  // held for the life of the process
}

int RunHelperWindow() {
  CMessageLoop loop;
  GetModule().AddMessageLoop(&loop);
  int code = 0;
  {
    CMainFrame frame;
    if (frame.CreateEx(128)) {
      SetWindowTextW(frame.m_hWnd, L"");
      SetWindowPos(frame.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, 0);
      ShowWindow(frame.m_hWnd, SW_HIDE);
      code = loop.Run();
    }
    CPocketOutlook::Logoff();
  }
  GetModule().RemoveMessageLoop();
  return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  if (commandLine && wcsstr(commandLine, L"-contacts")) {
    HWND desktop = GetDesktopWindow();
    if (GetForegroundWindow() != desktop) SetForegroundWindow(desktop);
    PostMessageW(FindTodayPluginWindow(desktop), RegisterWindowMessageW(L"QelTarvoActivateTab"), 0x10003, 0);
    return 0;
  }
  // The device's item cards ask for kernel mode and every permission; both are given
  // back before the program ends.
  const BOOL mode = SetKMode(TRUE);
  const DWORD permissions = SetProcPermissions(0xFFFFFFFF);
  int code = CheckSingleInstance();
  if (code == 0) {
    CoInitializeEx(nullptr, 0);
    // The month summaries read the appointments store in the device's own layout.
    SetNewerStore(IsPocketPC());
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    GetModule().Init(instance);
    code = RunHelperWindow();
    GetModule().Term();
    CoUninitialize();
  }
  SetProcPermissions(permissions);
  SetKMode(mode);
  return code;
}
