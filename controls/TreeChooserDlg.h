// The mail folder chooser: a tree of accounts and folders filled by the Messages
// tab; ends with 1 and the chosen node, or 2 when nothing selectable was chosen.
#pragma once
#include <windows.h>

#include "controls/MailFolderSource.h"
#include "controls/ScrollDialog.h"
#include "res/TarvoResIds.h"

struct TREE_CHOOSER_RESULT {
  CString text;     // "account - folder", or the node's name alone
  CBlobObj id;      // a store: its kind and name packed; a folder: its identifier
  BOOL isStore = FALSE;
};

// Answered to the tree's notification -50 (a device-only query).
constexpr int kTreeQueryNotification = -50;

class CTreeChooserDlg : public CScrollDialog<CTreeChooserDlg> {
 public:
  enum { IDD = IDD_TREE_CHOOSER, kMenuBarId = IDM_CHOOSER_BAR, kInitDataId = IDR_TREE_CHOOSER_DATA };

  CTreeChooserDlg(LPCWSTR caption, IMailFolderSource* source)
      : CScrollDialog<CTreeChooserDlg>(caption), m_source(source) {}

  const TREE_CHOOSER_RESULT& GetResult() const { return m_result; }

  BOOL OnFill();
  void OnOK();

  BEGIN_MSG_MAP(CTreeChooserDlg)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    CHAIN_MSG_MAP(CScrollDialog<CTreeChooserDlg>)
  END_MSG_MAP()

 private:
  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);

  IMailFolderSource* m_source;
  TREE_CHOOSER_RESULT m_result;
};
