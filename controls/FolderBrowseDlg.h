// The folder dialog: a folder tree under the caption header, the chosen folder
// as the answer (1 on OK, 2 on Cancel).
#pragma once
#include <windows.h>

#include "controls/FolderTree.h"
#include "controls/ScrollDialog.h"
#include "res/TarvoResIds.h"

class CFolderBrowseDlg : public CScrollDialog<CFolderBrowseDlg> {
 public:
  enum { IDD = IDD_FOLDER_BROWSE, kMenuBarId = IDM_FOLDER_BAR, kInitDataId = IDR_FOLDER_BROWSE_DATA };

  explicit CFolderBrowseDlg(LPCWSTR caption = nullptr) : CScrollDialog<CFolderBrowseDlg>(caption) {}

  // "" or "\" is the whole file system.
  void SetRoot(LPCWSTR root) { m_root = root ? root : L""; }
  // The folder selected at start ("" selects the root).
  void SetChosenFolder(LPCWSTR folder) { m_chosen = folder ? folder : L""; }
  // After OK the selected folder's path (ending with "\"); empty after Cancel.
  const CString& GetChosenFolder() const { return m_chosen; }
  CFolderTree& GetTree() { return m_tree; }

  BOOL OnFill();
  void OnOK();

  BEGIN_MSG_MAP(CFolderBrowseDlg)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    CHAIN_MSG_MAP(CScrollDialog<CFolderBrowseDlg>)
  END_MSG_MAP()

 private:
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

  CString m_root;
  CString m_chosen;
  CFolderTree m_tree;
};
