// The Tasks sheet's view-style page: how much of the subject a task row shows (the
// number of the task pattern, index + 1 of 1013, kept with the common page through
// CTaskLineMode), the date indent and the check box. Number 3 is kept in the record
// as 2 while the page runs (the unselected look of that mode) and goes back at
// apply. Number 1 leaves the date indent as it is stored.
#pragma once
#include <windows.h>

#include "settings/pages/PagePreview.h"
#include "settings/pages/PageTable.h"

const int kTaskLineModeCombo = 1013;
const int kTaskDateIndentBox = 1016;
const int kTaskCheckBoxBox = 1015;

class CTasksViewStylePage : public COptionsPage<CTasksViewStylePage> {
 public:
  enum { IDD = FindPage(2, 1).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(2, 1).helpTopic; }
  void DrawPreview(HDC dc) { m_preview.Draw(m_hWnd, dc); }
  // The controls into the record; the sample task laid out again.
  void UpdateSettings();
  CPagePreview& GetPreview() { return m_preview; }
  // The number held back from the record, -1 for none.
  int GetHeldBackNumber() const { return m_heldBack; }

  BEGIN_MSG_MAP(CTasksViewStylePage)
    COMMAND_HANDLER(kTaskLineModeCombo, CBN_SELCHANGE, OnLineModeChanged)
    COMMAND_HANDLER(kTaskDateIndentBox, BN_CLICKED, OnChange)
    COMMAND_HANDLER(kTaskCheckBoxBox, BN_CLICKED, OnChange)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    CHAIN_MSG_MAP(COptionsPage<CTasksViewStylePage>)
  END_MSG_MAP()

 private:
  LRESULT OnLineModeChanged(WORD, WORD, HWND, BOOL&);
  LRESULT OnChange(WORD, WORD, HWND, BOOL&) {
    if (m_ready) UpdateSettings();
    return 0;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  // Puts the number into the record, 3 as 2.
  void HoldBack(int number);

  int m_heldBack = -1;
  BOOL m_ready = FALSE;
  CPagePreview m_preview;
};
