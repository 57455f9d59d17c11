#include "settings/shell/AboutDlg.h"

#include <cwchar>

#include "settings/base/DrawingHelpers.h"
#include "settings/shell/PageServices.h"

namespace {

const int kVersion[] = {2, 5, 0, 3277};
// The shell's code for a rotated or resized screen.
const WPARAM kScreenReset = 0x3002;

}  // namespace

CString FormatVersionText(LPCWSTR format, const int* numbers, int count) {
  CString text;
  int next = 0;
  for (LPCWSTR at = format ? format : L""; *at; ++at) {
    if (at[0] == L'%' && at[1] == L'd' && next < count) {
      WCHAR number[16];
      _snwprintf(number, ARRAYSIZE(number), L"%d", numbers[next++]);
      number[ARRAYSIZE(number) - 1] = L'\0';
      text += number;
      ++at;
      continue;
    }
    WCHAR one[2] = {*at, L'\0'};
    text += one;
  }
  return text;
}

BOOL CAboutDlg::OnFill() {
  CString format;
  LoadTranslatedString(format, IDS_ABOUT_VERSION);
  ::SetDlgItemTextW(m_hWnd, IDC_ABOUT_VERSION, FormatVersionText(format, kVersion, ARRAYSIZE(kVersion)));
  FitDialogChildren(m_hWnd);
  return TRUE;
}

LRESULT CAboutDlg::OnHelp(UINT, WPARAM, LPARAM, BOOL&) {
  ShowHelpTopic(L"main_contents");
  return TRUE;
}

LRESULT CAboutDlg::OnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL&) {
  if (wParam == kScreenReset) FitDialogChildren(m_hWnd);
  return 0;
}
