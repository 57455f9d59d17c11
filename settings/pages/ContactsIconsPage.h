// The Contacts sheet's icons page: the icon of each row and whether names are
// indented from the left.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

const int kLeftIndentBox = 1060;

class CContactsIconsPage : public COptionsPage<CContactsIconsPage> {
 public:
  enum { IDD = FindPage(3, 3).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  LPCWSTR GetHelpTopic() { return FindPage(3, 3).helpTopic; }
  // Ticked: no indent (ContLeftIdent 0); cleared: indent (1).
  LRESULT OnLeftIndentClicked();

  BEGIN_MSG_MAP(CContactsIconsPage)
    CHAIN_MSG_MAP(COptionsPage<CContactsIconsPage>)
    COMMAND_HANDLER(kLeftIndentBox, BN_CLICKED, OnLeftIndentCommand)
  END_MSG_MAP()

 private:
  LRESULT OnLeftIndentCommand(WORD, WORD, HWND, BOOL&) { return OnLeftIndentClicked(); }

  BOOL m_initialised = FALSE;
};
