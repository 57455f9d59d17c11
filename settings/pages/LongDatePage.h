// The General sheet's long date page: the regional long date or one of four sample
// pictures, shortened by the year, month and day boxes, each shown as today's date.
// Only the values that matter are written: the short year while the year is shown,
// the chosen sample while the regional picture is off.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

const int kLongRegionalBox = 1039;
const int kLongNotYearBox = 1035;
const int kLongShortYearBox = 1042;
const int kLongShortMonthBox = 1040;
const int kLongShortDayBox = 1041;
const int kLongSampleCombo = 1036;

class CLongDatePage : public COptionsPage<CLongDatePage> {
 public:
  enum { IDD = FindPage(0, 3).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(0, 3).helpTopic; }
  void FillSamples(BOOL keep);
  void UpdateYearBox();

  BEGIN_MSG_MAP(CLongDatePage)
    COMMAND_HANDLER(kLongRegionalBox, BN_CLICKED, OnRegionalClicked)
    COMMAND_HANDLER(kLongNotYearBox, BN_CLICKED, OnNotYearClicked)
    COMMAND_HANDLER(kLongShortYearBox, BN_CLICKED, OnFlagClicked)
    COMMAND_HANDLER(kLongShortMonthBox, BN_CLICKED, OnFlagClicked)
    COMMAND_HANDLER(kLongShortDayBox, BN_CLICKED, OnFlagClicked)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChanged)
    CHAIN_MSG_MAP(COptionsPage<CLongDatePage>)
  END_MSG_MAP()

 private:
  LRESULT OnRegionalClicked(WORD, WORD, HWND, BOOL&);
  LRESULT OnNotYearClicked(WORD, WORD, HWND, BOOL&);
  LRESULT OnFlagClicked(WORD, WORD, HWND, BOOL&);
  LRESULT OnSettingChanged(UINT, WPARAM, LPARAM, BOOL&);

  BOOL m_ready = FALSE;
  BOOL m_shortYear = TRUE;
  int m_customIndex = 0;
};
