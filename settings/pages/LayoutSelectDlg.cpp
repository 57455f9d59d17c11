#include "settings/pages/LayoutSelectDlg.h"

#include <commctrl.h>

#include "controls/WindowUtils.h"

CLayoutSelectDlg::CLayoutSelectDlg(CKeyLayoutList& chosen, int& disableLangSwitch, CKeyLayouts& layouts)
    : m_chosen(chosen), m_disableLangSwitch(disableLangSwitch), m_layouts(layouts) {}

BOOL CLayoutSelectDlg::OnFill() {
  HWND list = ::GetDlgItem(m_hWnd, IDC_LAYOUT_LIST);
  m_filling = TRUE;
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES);
  RECT client{};
  ::GetClientRect(list, &client);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
  ListView_InsertColumn(list, 0, &column);
  for (int i = 0; i < m_layouts.GetCount(); ++i) {
    // The name is copied: loading a layout may list or unlist names.
    CString name = m_layouts.GetName(i);
    CKeyLayout* layout = m_layouts.GetLayout(name, TRUE);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(list);
    item.pszText = const_cast<LPWSTR>(GetTranslator().Translate(name));
    item.lParam = reinterpret_cast<LPARAM>(layout);
    const int index = ListView_InsertItem(list, &item);
    if (index >= 0) ListView_SetCheckState(list, index, layout && m_chosen.Find(layout) >= 0);
  }
  ::CheckDlgButton(m_hWnd, IDC_LAYOUT_LANG_SWITCH, m_disableLangSwitch == 0 ? BST_CHECKED : BST_UNCHECKED);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LAYOUT_LANG_SWITCH), CountTicked() > 1);
  m_filling = FALSE;
  return TRUE;
}

int CLayoutSelectDlg::CountTicked() const {
  HWND list = ::GetDlgItem(m_hWnd, IDC_LAYOUT_LIST);
  int ticked = 0;
  const int count = ListView_GetItemCount(list);
  for (int i = 0; i < count; ++i)
    if (ListView_GetCheckState(list, i)) ++ticked;
  return ticked;
}

LRESULT CLayoutSelectDlg::OnItemChanged(int, LPNMHDR header, BOOL&) {
  const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!m_filling && (change->uChanged & LVIF_STATE))
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LAYOUT_LANG_SWITCH), CountTicked() > 1);
  return 0;
}

void CLayoutSelectDlg::OnOK() {
  HWND list = ::GetDlgItem(m_hWnd, IDC_LAYOUT_LIST);
  m_chosen.RemoveAll();
  const int count = ListView_GetItemCount(list);
  for (int i = 0; i < count; ++i) {
    if (!ListView_GetCheckState(list, i)) continue;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    // A listed file that no longer reads has no layout to keep.
    if (ListView_GetItem(list, &item) && item.lParam) m_chosen.Add(reinterpret_cast<CKeyLayout*>(item.lParam));
  }
  m_disableLangSwitch = ::IsDlgButtonChecked(m_hWnd, IDC_LAYOUT_LANG_SWITCH) == BST_CHECKED ? 0 : 1;
  EndDialog(1);
}

LRESULT CLayoutSelectDlg::OnHelpTopic(UINT, WPARAM, LPARAM, BOOL&) {
  ShowHelp(L"options_layouts_select");
  return TRUE;
}
