// The Calendar sheet's view-style page: how an appointment row looks (its number of
// lines, subject style, status bar, location, start time only). The choices go into
// the shared view settings as they are made; apply saves them, cancel reloads them.
// Subject style 3 is kept in the record as 2 while the page runs (the page's sample
// row draws style 2 for it) and goes back to 3 when applied.
#pragma once
#include <windows.h>

#include "settings/pages/PagePreview.h"
#include "settings/pages/PageTable.h"

const int kAppLinesCombo = 1013;
const int kSubjectStyleCombo = 1017;
const int kAppStatusBarBox = 1018;
const int kAppLocationBox = 1019;
const int kAppStartOnlyBox = 1020;

class CCalendarViewStylePage : public COptionsPage<CCalendarViewStylePage> {
 public:
  enum { IDD = FindPage(1, 4).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(1, 4).helpTopic; }
  void DrawPreview(HDC dc) { m_preview.Draw(m_hWnd, dc); }
  // The controls into the record; the sample appointment laid out again.
  void UpdateSettings();
  CPagePreview& GetPreview() { return m_preview; }
  // The subject style held back from the record, -1 for none.
  int GetHeldBackStyle() const { return m_heldBackStyle; }

  BEGIN_MSG_MAP(CCalendarViewStylePage)
    COMMAND_HANDLER(kAppLinesCombo, CBN_SELCHANGE, OnChange)
    COMMAND_HANDLER(kSubjectStyleCombo, CBN_SELCHANGE, OnChange)
    COMMAND_HANDLER(kAppStatusBarBox, BN_CLICKED, OnChange)
    COMMAND_HANDLER(kAppLocationBox, BN_CLICKED, OnChange)
    COMMAND_HANDLER(kAppStartOnlyBox, BN_CLICKED, OnChange)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    CHAIN_MSG_MAP(COptionsPage<CCalendarViewStylePage>)
  END_MSG_MAP()

 private:
  LRESULT OnChange(WORD, WORD, HWND, BOOL&) {
    if (m_ready) UpdateSettings();
    return 0;
  }
  void HoldBack();
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  int m_heldBackStyle = -1;
  BOOL m_ready = FALSE;
  CPagePreview m_preview;
};
