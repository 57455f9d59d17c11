// The hardware-key layouts dialog of the Contacts and Notes common pages: every
// layout the program knows, ticked when the caller's group uses it, and whether
// the letter bar may switch layouts with the input language (offered only when
// two or more layouts are ticked). The caller's list changes only on OK, and then
// holds the ticked layouts in the order the layout set lists them.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "controls/KeyLayouts.h"
#include "controls/ScrollDialog.h"
#include "res/TarvoResIds.h"

class CLayoutSelectDlg : public CScrollDialog<CLayoutSelectDlg> {
 public:
  enum { IDD = IDD_LAYOUT_SELECT, kMenuBarId = IDM_CHOOSER_BAR, kInitDataId = IDR_LAYOUT_SELECT_DATA };

  // chosen: the group's layouts, rewritten on OK. disableLangSwitch: the view
  // settings' field, set to 1 on OK when the box is cleared, else 0.
  CLayoutSelectDlg(CKeyLayoutList& chosen, int& disableLangSwitch, CKeyLayouts& layouts = CKeyLayouts::Instance());

  BOOL OnFill();
  void OnOK();

  BEGIN_MSG_MAP(CLayoutSelectDlg)
    MESSAGE_HANDLER(WM_HELP, OnHelpTopic)
    NOTIFY_HANDLER(IDC_LAYOUT_LIST, LVN_ITEMCHANGED, OnItemChanged)
    CHAIN_MSG_MAP(CScrollDialog<CLayoutSelectDlg>)
  END_MSG_MAP()

 private:
  LRESULT OnHelpTopic(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnItemChanged(int, LPNMHDR header, BOOL&);
  int CountTicked() const;

  CKeyLayoutList& m_chosen;
  int& m_disableLangSwitch;
  CKeyLayouts& m_layouts;
  BOOL m_filling = FALSE;
};
