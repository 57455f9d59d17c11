// The mail folder chooser: a tree of accounts and folders filled by the Messages
// tab; ends with 1 and the chosen node, or 2 when nothing selectable was chosen.
#pragma once
#include <windows.h>

#include "controls/ChooserFrame.h"
#include "controls/MailFolderSource.h"
#include "controls/ScrollDialog.h"
#include "res/TarvoResIds.h"

struct TREE_CHOOSER_RESULT {
  CString text;     // "account - folder", or the node's name alone
  CBlobObj id;      // a store: its kind and name packed; a folder: its identifier
  BOOL isStore = FALSE;
};

class CTreeChooserDlg : public CScrollDialog<CTreeChooserDlg> {
 public:
  enum { IDD = IDD_TREE_CHOOSER, kMenuBarId = IDM_CHOOSER_BAR, kInitDataId = IDR_TREE_CHOOSER_DATA };

  CTreeChooserDlg(LPCWSTR caption, IMailFolderSource* source)
      : CScrollDialog<CTreeChooserDlg>(caption), m_source(source), m_frame(IDC_CHOOSER_TREE, TRUE, FALSE) {}

  const TREE_CHOOSER_RESULT& GetResult() const { return m_result; }

  BOOL OnFill();
  void OnOK();

  BEGIN_MSG_MAP(CTreeChooserDlg)
    CHAIN_MSG_MAP_MEMBER(m_frame)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    CHAIN_MSG_MAP(CScrollDialog<CTreeChooserDlg>)
  END_MSG_MAP()

 private:
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);

  IMailFolderSource* m_source;
  TREE_CHOOSER_RESULT m_result;
  CChooserFrame m_frame;
};
