// Common-control and window-class values whose meaning differs between the device
// and desktop Win32: callers use these so that the device's meaning holds here.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cwchar>

// ---------------------------------------------------------------------------
// Window class names. The device names its dialogs "Dialog" and its popup menus
// "MNU"; the desktop calls them "#32770" and "#32768". The device's task bar is
// "HHTaskBar"; the desktop's is "Shell_TrayWnd".
#define CE_DIALOG_CLASSNAME L"Dialog"
#define CE_MENU_CLASSNAME L"MNU"
#define CE_TASKBAR_CLASSNAME L"HHTaskBar"

namespace cecontrols {

struct ClassAlias {
  const wchar_t* device;
  const wchar_t* desktop;
};
inline constexpr ClassAlias kClassAliases[] = {
    {CE_DIALOG_CLASSNAME, L"#32770"},
    {CE_MENU_CLASSNAME, L"#32768"},
    {CE_TASKBAR_CLASSNAME, L"Shell_TrayWnd"},
};

}  // namespace cecontrols

// The desktop name of a device window class (the name itself when they agree).
inline const wchar_t* DesktopClassName(const wchar_t* deviceName) {
  if (!deviceName || IS_INTRESOURCE(deviceName)) return deviceName;
  for (const auto& alias : cecontrols::kClassAliases)
    if (_wcsicmp(deviceName, alias.device) == 0) return alias.desktop;
  return deviceName;
}

// FindWindowW that takes the device's class names.
inline HWND FindCeWindow(const wchar_t* className, const wchar_t* title) {
  return FindWindowW(DesktopClassName(className), title);
}

// GetClassNameW that answers with the device's class names, cut to the buffer as
// GetClassNameW cuts.
inline int GetCeClassName(HWND window, wchar_t* name, int size) {
  if (!name || size <= 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  wchar_t full[256];
  int n = GetClassNameW(window, full, 256);
  if (n <= 0) return n;
  for (const auto& alias : cecontrols::kClassAliases) {
    if (_wcsicmp(full, alias.desktop) == 0) {
      n = static_cast<int>(wcslen(alias.device));
      wmemcpy(full, alias.device, static_cast<size_t>(n) + 1);
      break;
    }
  }
  const int copied = n < size ? n : size - 1;
  wmemcpy(name, full, static_cast<size_t>(copied));
  name[copied] = L'\0';
  return copied;
}

// ---------------------------------------------------------------------------
// Property sheets. On the device, header flag 0x2000 makes the sheet maximised and
// callback codes 3 to 5 ask for its version, title and link text; on the desktop
// 0x2000 makes a wizard and code 3 reports a pressed button.
#define PSH_MAXIMIZE 0x00002000
#define PSCB_GETVERSION 3
#define PSCB_GETTITLE 4
#define PSCB_GETLINKTEXT 5

namespace cecontrols {

// The caller's callback while its sheet runs on this thread.
inline thread_local PFNPROPSHEETCALLBACK sheetCallback = nullptr;

inline int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam) {
  // The desktop's pressed-button report would read as a version query.
  if (message == PSCB_BUTTONPRESSED || !sheetCallback) return 0;
  return sheetCallback(sheet, message, lParam);
}

}  // namespace cecontrols

// PropertySheetW for a header written with the device's meanings. A maximised sheet is
// sized to the screen by the shell (SHInitDialog), so the flag is only taken away.
inline INT_PTR CePropertySheet(const PROPSHEETHEADERW* header) {
  if (!header) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  PROPSHEETHEADERW desktop = *header;
  desktop.dwFlags &= ~static_cast<DWORD>(PSH_MAXIMIZE);
  PFNPROPSHEETCALLBACK previous = cecontrols::sheetCallback;
  if (desktop.dwFlags & PSH_USECALLBACK) {
    cecontrols::sheetCallback = header->pfnCallback;
    desktop.pfnCallback = cecontrols::SheetCallback;
  }
  INT_PTR result = PropertySheetW(&desktop);
  // A modeless sheet keeps calling back after this returns; its callback stays in place.
  if (!(desktop.dwFlags & PSH_MODELESS)) cecontrols::sheetCallback = previous;
  return result;
}

// ---------------------------------------------------------------------------
// The device's command bar: a toolbar across the top of its parent.
inline HWND CommandBar_Create(HINSTANCE instance, HWND parent, int id) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                             WS_CHILD | WS_VISIBLE | CCS_TOP | CCS_NODIVIDER | TBSTYLE_FLAT, 0, 0, 0, 0,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (bar) SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  return bar;
}
