// The Contacts sheet's view-style page: how a contact's name is put together
// ("ContDisplay", item index of 1059) and what a row shows beside it (the digit of
// "CurContactPattern", index + 1 of 1013). Changes go into the shared view settings
// as they are made; apply saves them, cancel reloads them.
#pragma once
#include <windows.h>

#include "settings/pages/PagePreview.h"
#include "settings/pages/PageTable.h"

const int kContactNameCombo = 1059;
const int kContactRowModeCombo = 1013;

class CContactsViewStylePage : public COptionsPage<CContactsViewStylePage> {
 public:
  enum { IDD = FindPage(3, 2).templateId };

  BOOL OnInitPage();
  void DrawPreview(HDC dc) { m_preview.Draw(m_hWnd, dc); }
  CPagePreview& GetPreview() { return m_preview; }
  BOOL OnApply();
  void OnReset();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(3, 2).helpTopic; }
  void UpdateSettings();

  BEGIN_MSG_MAP(CContactsViewStylePage)
    COMMAND_HANDLER(kContactNameCombo, CBN_SELCHANGE, OnChange)
    COMMAND_HANDLER(kContactRowModeCombo, CBN_SELCHANGE, OnChange)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    CHAIN_MSG_MAP(COptionsPage<CContactsViewStylePage>)
  END_MSG_MAP()

 private:
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnChange(WORD, WORD, HWND, BOOL&) {
    if (m_ready) UpdateSettings();
    return 0;
  }

  BOOL m_ready = FALSE;
  CPagePreview m_preview;
};
