// The General sheet's short date page: whether the year is left out and, when it is
// shown, whether it has two digits, with today's date as the sample.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

const int kShortNotYearBox = 1037;
const int kShortShortYearBox = 1042;
const int kShortSampleText = 1017;

class CShortDatePage : public COptionsPage<CShortDatePage> {
 public:
  enum { IDD = FindPage(0, 4).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  LPCWSTR GetHelpTopic() { return FindPage(0, 4).helpTopic; }
  void UpdateYearBox();
  void UpdateSample();

  BEGIN_MSG_MAP(CShortDatePage)
    COMMAND_HANDLER(kShortNotYearBox, BN_CLICKED, OnNotYearClicked)
    COMMAND_HANDLER(kShortShortYearBox, BN_CLICKED, OnShortYearClicked)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChanged)
    CHAIN_MSG_MAP(COptionsPage<CShortDatePage>)
  END_MSG_MAP()

 private:
  LRESULT OnNotYearClicked(WORD, WORD, HWND, BOOL&);
  LRESULT OnShortYearClicked(WORD, WORD, HWND, BOOL&);
  LRESULT OnSettingChanged(UINT, WPARAM, LPARAM, BOOL&);

  BOOL m_ready = FALSE;
  BOOL m_shortYear = TRUE;
};
