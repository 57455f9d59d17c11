#include "settings/shell/PageServices.h"

#include <cwchar>
#include <vector>

#include "base/ScreenDpi.h"
#include "graphics/FontCache.h"
#include "platform/windowlib/Module.h"

namespace {

BOOL StartProcess(LPCWSTR application, LPWSTR commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(application, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return FALSE;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return TRUE;
}

PFN_HELP_LAUNCHER g_helpLauncher = nullptr;

const WORD kListAddOld = 0x0401;
const WORD kComboAddOld = 0x0403;

}  // namespace

int GetPageHeaderHeight() { return ScaleY(23); }

void DrawPageHeader(HDC dc, LPCWSTR text, int height, int offset) {
  if (height + offset < 1) return;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int rule = ScaleY(1);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height + rule);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  RECT all = {0, 0, width, height + rule};
  FillRect(memory, &all, GetSysColorBrush(COLOR_WINDOW));

  LOGFONTW face = {};
  face.lfHeight = ScaleY(13);
  face.lfWeight = FW_BOLD;
  wcscpy(face.lfFaceName, L"Tahoma");
  HFONT font = CreateFontIndirectW(&face);
  HGDIOBJ oldFont = SelectObject(memory, font);
  SetTextColor(memory, GetSysColor(COLOR_HIGHLIGHT));
  RECT line = {ScaleX(8), 0, width, height};
  DrawTextW(memory, text ? text : L"", -1, &line, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  FillRectColor(memory, 0, height, width, rule, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

  BitBlt(dc, 0, offset, width, height + rule, memory, 0, 0, SRCCOPY);
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(font);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

BOOL ShowHelpTopic(LPCWSTR topic) {
  WCHAR commandLine[MAX_PATH];
  _snwprintf(commandLine, ARRAYSIZE(commandLine) - 1, L"QelTarvo.htm#%s",
             topic && *topic ? topic : L"Main_Contents");
  commandLine[ARRAYSIZE(commandLine) - 1] = L'\0';
  return g_helpLauncher ? g_helpLauncher(L"PegHelp.exe", commandLine) : StartProcess(L"PegHelp.exe", commandLine);
}

PFN_HELP_LAUNCHER SetHelpLauncher(PFN_HELP_LAUNCHER launcher) {
  PFN_HELP_LAUNCHER previous = g_helpLauncher;
  g_helpLauncher = launcher;
  return previous;
}

BOOL FillDialogFromInitData(HWND dialog, const BYTE* data, DWORD size) {
  DWORD at = 0;
  while (at + 2 <= size) {
    WORD control = static_cast<WORD>(data[at] | data[at + 1] << 8);
    if (control == 0) return TRUE;
    if (size - at < 8) return FALSE;
    WORD message = static_cast<WORD>(data[at + 2] | data[at + 3] << 8);
    DWORD length = static_cast<DWORD>(data[at + 4]) | static_cast<DWORD>(data[at + 5]) << 8 |
                   static_cast<DWORD>(data[at + 6]) << 16 | static_cast<DWORD>(data[at + 7]) << 24;
    at += 8;
    if (length > size - at) return FALSE;
    UINT send = 0;
    if (message == kListAddOld || message == LB_ADDSTRING)
      send = LB_ADDSTRING;
    else if (message == kComboAddOld || message == CB_ADDSTRING)
      send = CB_ADDSTRING;
    if (send) {
      // A copy of its own, always terminated, whatever the data holds.
      std::vector<WCHAR> text(length / sizeof(WCHAR) + 1, L'\0');
      memcpy(text.data(), data + at, length / sizeof(WCHAR) * sizeof(WCHAR));
      LRESULT added = SendDlgItemMessageW(dialog, control, send, 0, reinterpret_cast<LPARAM>(text.data()));
      if (added == LB_ERR || added == LB_ERRSPACE) return FALSE;
    }
    at += length;
  }
  return TRUE;
}

BOOL LoadTranslatedDialogTexts(HWND dialog, UINT templateId) {
  if (templateId == 0) return TRUE;
  HINSTANCE instance = GetModule().GetResourceInstance();
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(240));
  if (!found) return TRUE;
  HGLOBAL loaded = LoadResource(instance, found);
  const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (!data) return FALSE;
  try {
    return FillDialogFromInitData(dialog, data, SizeofResource(instance, found));
  } catch (...) {
    return FALSE;
  }
}
