// A name typed or picked from candidates: a full-screen dialog with one editable
// combo box, used where a page asks for a name.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/ScrollDialog.h"
#include "platform/windowlib/String.h"
#include "res/TarvoResIds.h"

class CTextEntryDlg : public CScrollDialog<CTextEntryDlg> {
 public:
  enum { IDD = IDD_TEXT_ENTRY, kMenuBarId = 125, kInitDataId = IDD_TEXT_ENTRY };

  // currentName: the name of the caller's item, preselected among the candidates;
  // null leaves the box empty.
  explicit CTextEntryDlg(LPCWSTR currentName = nullptr);

  void AddCandidate(LPCWSTR text) { m_candidates.push_back(text ? text : L""); }
  // After OK (end code 1) the box's text; empty after Cancel (2).
  const CString& GetResult() const { return m_result; }

  BOOL OnFill();
  void OnOK();

  BEGIN_MSG_MAP(CTextEntryDlg)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    CHAIN_MSG_MAP(CScrollDialog<CTextEntryDlg>)
  END_MSG_MAP()

 private:
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

  bool m_hasItem;
  CString m_currentName;
  std::vector<CString> m_candidates;
  CString m_result;
};
