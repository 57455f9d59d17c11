#include "controls/FolderBrowseDlg.h"

BOOL CFolderBrowseDlg::OnFill() {
  m_tree.SetRoot(m_root);
  m_tree.SetStartPath(m_chosen);
  RECT area{};
  GetClientRect(&area);
  area.top += ScaleY(24);  // below the caption header
  if (area.bottom < area.top) area.bottom = area.top;
  return m_tree.Create(m_hWnd, area) != nullptr;
}

void CFolderBrowseDlg::OnOK() {
  m_chosen = m_tree.GetSelectedPath();
  EndDialog(IDOK);
}

LRESULT CFolderBrowseDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  m_chosen.Empty();
  EndDialog(IDCANCEL);
  return 0;
}
