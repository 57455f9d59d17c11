#include "settings/shell/TextEntryDlg.h"

#include <commctrl.h>

CTextEntryDlg::CTextEntryDlg(LPCWSTR currentName) : m_hasItem(currentName != nullptr) {
  if (currentName) m_currentName = currentName;
}

BOOL CTextEntryDlg::OnFill() {
  HWND combo = ::GetDlgItem(m_hWnd, IDC_TEXT_ENTRY_COMBO);
  ::SendMessageW(combo, CCM_SETVERSION, 0x20C, 0);
  if (!m_hasItem) return FALSE;
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const CString& candidate : m_candidates) {
    LRESULT index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(candidate)));
    if (index >= 0 && candidate == m_currentName) ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  return TRUE;
}

void CTextEntryDlg::OnOK() {
  WCHAR text[1024] = L"";
  ::GetDlgItemTextW(m_hWnd, IDC_TEXT_ENTRY_COMBO, text, ARRAYSIZE(text));
  m_result = text;
  EndDialog(1);
}

LRESULT CTextEntryDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  m_result.Empty();
  EndDialog(2);
  return 0;
}
