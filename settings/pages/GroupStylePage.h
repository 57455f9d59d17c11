// The General sheet's group style page: how the folding stripes (the group headers
// of every list tab) look. It edits the process-wide view settings while the user
// works; applying saves them, cancelling reads them back.
#pragma once
#include <windows.h>

#include "settings/pages/PagePreview.h"
#include "settings/pages/PageTable.h"

const int kStripeStyleCombo = 1050;
const int kStripeCounterBox = 1049;
const int kStripeNoNullBox = 1051;
const int kStripeCollapseIconBox = 1053;

class CGroupStylePage : public COptionsPage<CGroupStylePage> {
 public:
  enum { IDD = FindPage(0, 2).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  LPCWSTR GetHelpTopic() { return FindPage(0, 2).helpTopic; }
  void DrawPreview(HDC dc) { m_preview.Draw(m_hWnd, dc); }
  // The four controls into the view settings; the preview made again.
  void UpdateSettings();
  // The sample headers: a group of three items, then the day after tomorrow with none,
  // both folded.
  void BuildPreview();
  CPagePreview& GetPreview() { return m_preview; }

  BEGIN_MSG_MAP(CGroupStylePage)
    COMMAND_HANDLER(kStripeStyleCombo, CBN_SELCHANGE, OnControlChange)
    COMMAND_HANDLER(kStripeCounterBox, BN_CLICKED, OnControlChange)
    COMMAND_HANDLER(kStripeNoNullBox, BN_CLICKED, OnControlChange)
    COMMAND_HANDLER(kStripeCollapseIconBox, BN_CLICKED, OnControlChange)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    CHAIN_MSG_MAP(COptionsPage<CGroupStylePage>)
  END_MSG_MAP()

 private:
  LRESULT OnControlChange(WORD, WORD, HWND, BOOL&);

  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  BOOL m_ready = FALSE;
  CPagePreview m_preview;
};
