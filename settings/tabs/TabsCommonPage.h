// The Tabs sheet's common page: how the panel shows its tabs (horizontal, vertical,
// or as separate tabs of the tab host when it is installed) and the idle timeout
// that brings the panel back to a chosen tab.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"
#include "settings/shell/ChoiceTable.h"

// Mode choices: 1 horizontal, 0 vertical, 2 the tab host's separate tabs.
extern const TextChoice kTabModeChoices[];
extern const TextChoice kTabModeChoicesWithHost[];
extern const TextChoice kTimeoutChoices[];

class CTabsCommonPage : public COptionsPage<CTabsCommonPage> {
 public:
  enum { IDD = FindPage(8, 0).templateId };
  ~CTabsCommonPage();

  BOOL OnInitPage();
  void OnReset();
  BOOL OnApply();
  BOOL OnKillActive();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(8, 0).helpTopic; }

  BEGIN_MSG_MAP(CTabsCommonPage)
    COMMAND_HANDLER(1023, BN_CLICKED, OnTimeoutBox)
    COMMAND_HANDLER(1066, CBN_SELCHANGE, OnModeChosen)
    COMMAND_HANDLER(1026, CBN_SELCHANGE, OnTimeoutTabChosen)
    CHAIN_MSG_MAP(COptionsPage<CTabsCommonPage>)
  END_MSG_MAP()

 private:
  LRESULT OnTimeoutBox(WORD, WORD, HWND, BOOL&);
  LRESULT OnModeChosen(WORD, WORD, HWND, BOOL&);
  LRESULT OnTimeoutTabChosen(WORD, WORD, HWND, BOOL&);
  void ReadControls();
  void EnableTimeout();
  void FillTimeoutTabs();
  void ShowTimeoutTabIcon();

  DWORD m_allTabs = 1;
  // Whether the tab host was installed when the page was last reset: its mode is offered.
  BOOL m_hostInstalled = FALSE;
  BOOL m_timeoutOn = FALSE;
  DWORD m_timeout = 900;
  WCHAR m_timeoutTab = L'1';
  HBITMAP m_picture = nullptr;
};
