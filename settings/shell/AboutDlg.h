// The About box of the options program's main window: the program's name and
// version on a full-screen dialog with the OK button.
#pragma once
#include <windows.h>

#include "controls/ScrollDialog.h"
#include "res/TarvoResIds.h"

class CAboutDlg : public CScrollDialog<CAboutDlg> {
 public:
  enum { IDD = IDD_SETTINGS_ABOUT, kMenuBarId = 0, kInitDataId = IDD_SETTINGS_ABOUT };

  BOOL OnFill();
  void OnOK() { EndDialog(1); }

  BEGIN_MSG_MAP(CAboutDlg)
    MESSAGE_HANDLER(WM_HELP, OnHelp)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    CHAIN_MSG_MAP(CScrollDialog<CAboutDlg>)
  END_MSG_MAP()

 private:
  LRESULT OnHelp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL& handled);
};

// The version line: each "%d" of format in turn takes the next number (the
// translated text is never handed to a printf-style call, so a stray "%s" in a
// language file reads nothing); a "%d" beyond the numbers stays as it is.
CString FormatVersionText(LPCWSTR format, const int* numbers, int count);
