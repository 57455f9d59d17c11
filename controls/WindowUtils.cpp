#include "controls/WindowUtils.h"

#include <shellapi.h>
#include <wchar.h>

#include "base/InstallPath.h"
#include "base/ScreenDpi.h"
#include "platform/aygshell/aygshell.h"

namespace {

// Numbers past this are kept as part of the name rather than overflowing.
const int kMaxDigits = 9;

}  // namespace

void DrawCaptionBar(HDC hdc, LPCWSTR text, int height, int y) {
  if (height + y < 1 || !hdc) return;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int total = height + ScaleY(1);
  HDC memory = CreateCompatibleDC(hdc);
  HBITMAP bitmap = CreateCompatibleBitmap(hdc, width, total);
  if (!memory || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    return;
  }
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  RECT all = {0, 0, width, total};
  FillRect(memory, &all, GetSysColorBrush(COLOR_WINDOW));
  HFONT font = CreateFontW(-ScaleY(13), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
  HGDIOBJ oldFont = SelectObject(memory, font);
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, GetSysColor(COLOR_HIGHLIGHT));
  RECT line = {ScaleX(8), 0, width, height};
  DrawTextW(memory, text ? text : L"", -1, &line, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(memory, oldFont);
  if (font) DeleteObject(font);
  RECT rule = {0, height, width, total};
  FillRect(memory, &rule, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  BitBlt(hdc, 0, y, width, total, memory, 0, 0, SRCCOPY);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

BOOL SetWordCompletion(BOOL enabled) {
  SIPINFO info = {};
  info.cbSize = sizeof(info);
  if (!SHSipInfo(SPI_GETSIPINFO, 0, &info, 0)) return FALSE;
  if (enabled)
    info.fdwFlags &= ~SIPF_DISABLECOMPLETION;
  else
    info.fdwFlags |= SIPF_DISABLECOMPLETION;
  return SHSipInfo(SPI_SETSIPINFO, 0, &info, 0);
}

BOOL ShowHelp(LPCWSTR topic) {
  CString parameters = L"QelTarvo.htm#";
  parameters += topic && *topic ? topic : L"Main_Contents";
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpFile = L"PegHelp.exe";
  info.lpParameters = parameters;
  info.nShow = SW_SHOWNORMAL;
  // The launcher a test set sees the command line instead of a viewer starting.
  PFN_PROGRAM_LAUNCHER launcher = SetProgramLauncher(nullptr);
  SetProgramLauncher(launcher);
  const BOOL started = launcher ? launcher(&info) : ShellExecuteExW(&info);
  if (started && info.hProcess) CloseHandle(info.hProcess);
  return started;
}

void MakeNextName(CString& name) {
  const int length = name.GetLength();
  int start = length;
  while (start > 0 && name[start - 1] >= L'0' && name[start - 1] <= L'9') --start;
  const int digits = length - start;
  int number = 0;
  // A number too long to count on stays part of the name, which gets a number of
  // its own.
  if (digits > 0 && digits <= kMaxDigits) {
    number = _wtoi(static_cast<LPCWSTR>(name) + start);
    name = name.Left(start);
  }
  // A name that was only a number becomes the next number, without a leading space.
  if (!name.IsEmpty() && name[name.GetLength() - 1] != L' ') name += L" ";
  CString suffix;
  suffix.Format(L"%d", number + 1);
  name += suffix;
}

int CompareNoCase(LPCWSTR a, LPCWSTR b) { return _wcsicmp(a ? a : L"", b ? b : L""); }

void SplitDoubleTap(HWND window, WPARAM wParam, LPARAM lParam) {
  ::PostMessageW(window, WM_LBUTTONDOWN, wParam, lParam);
  ::PostMessageW(window, WM_LBUTTONUP, wParam & ~static_cast<WPARAM>(MK_LBUTTON), lParam);
}
