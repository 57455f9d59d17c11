// settingspictures.exe OUTDIR: the options program's main window and its Calendar
// sheet as the device's screen shows them, saved as OUTDIR\settings-main.png and
// OUTDIR\settings-sheet.png. For people (the READMEs' pictures), never a test.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "graphics/Dib.h"
#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/Module.h"
#include "settings/pages/SectionSheet.h"
#include "settings/shell/MainWnd.h"
#include "settings/shell/SettingsApp.h"
#include "tools/controlsgallery/PngWriter.h"

namespace {

std::wstring g_folder;

void Pump() {
  for (int round = 0; round < 20; ++round) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

BOOL CALLBACK CollectOurs(HWND window, LPARAM context) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window))
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

// The screen: every visible top-level window of this process, bottom-most first.
bool SaveScreen(const wchar_t* name) {
  RECT screen = {};
  GetWindowRect(GetDesktopWindow(), &screen);
  const int width = screen.right - screen.left, height = screen.bottom - screen.top;
  std::vector<HWND> windows;
  EnumWindows(CollectOurs, reinterpret_cast<LPARAM>(&windows));
  HDC desktop = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(desktop);
  HBITMAP shot = CreateCompatibleBitmap(desktop, width, height);
  HGDIOBJ old = SelectObject(memory, shot);
  RECT all = {0, 0, width, height};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    RedrawWindow(*it, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    RECT rect = {};
    GetWindowRect(*it, &rect);
    HDC source = GetDCEx(*it, nullptr, DCX_WINDOW | DCX_CACHE);
    BitBlt(memory, rect.left - screen.left, rect.top - screen.top, rect.right - rect.left, rect.bottom - rect.top,
           source, 0, 0, SRCCOPY);
    ReleaseDC(*it, source);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, desktop);
  GdiFlush();
  CDib picture;
  const bool saved = picture.CreateFromBitmap(shot) && SavePng(picture, (g_folder + L"\\" + name).c_str());
  DeleteObject(shot);
  return saved;
}

void ShowSheet(COptionsSheetBase& sheet, void*) {
  Pump();
  SaveScreen(L"settings-sheet.png");
  PostMessageW(sheet.m_hWnd, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  g_folder = commandLine && *commandLine ? commandLine : L".";
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  GetModule().Init(instance);
  HINSTANCE resources = CSettingsApp::LoadResourceLibrary();
  CSettingsApp::SetProgramSwitches();
  InitScreenDpi();
  AygInitialize();
  RegisterSectionSheets();

  int result = 1;
  CMainWnd window;
  SetMainWindow(&window);
  RECT screen = {};
  GetWindowRect(GetDesktopWindow(), &screen);
  if (window.CreateMainWindow(nullptr, screen)) {
    SIPINFO panel = {};
    panel.cbSize = sizeof(panel);
    if (SipGetInfo(&panel)) {
      const RECT& free = panel.rcVisibleDesktop;
      MoveWindow(window, free.left, free.top, free.right - free.left, free.bottom - free.top, FALSE);
    }
    ShowWindow(window, SW_SHOW);
    Pump();
    result = SaveScreen(L"settings-main.png") ? 0 : 1;
    COptionsSheetBase::SetRunHook(ShowSheet, nullptr);
    window.OpenSection(1, 0);
    COptionsSheetBase::SetRunHook(nullptr, nullptr);
    window.DestroyWindow();
  }
  SetMainWindow(nullptr);
  GetModule().SetResourceInstance(nullptr);
  if (resources) FreeLibrary(resources);
  GetModule().Term();
  CoUninitialize();
  return result;
}
