#include "controls/TreeChooserDlg.h"

#include "base/TaggedBlob.h"

BOOL CTreeChooserDlg::OnFill() {
  m_result.text.Empty();
  HWND tree = GetDlgItem(IDC_CHOOSER_TREE);
  if (!tree || !m_source) return FALSE;
  return m_source->Fill(tree);
}

void CTreeChooserDlg::OnOK() {
  HWND tree = GetDlgItem(IDC_CHOOSER_TREE);
  HTREEITEM item = tree ? TreeView_GetSelection(tree) : nullptr;
  const MAIL_FOLDER_NODE* node = (item && m_source) ? m_source->GetItemData(item) : nullptr;
  if (!node || !node->selectable) {
    EndDialog(IDCANCEL);
    return;
  }
  m_result.isStore = node->isStore;
  if (node->isStore) {
    PackKindText(node->storeKind, node->name, m_result.id);
  } else {
    m_result.id = node->folderId;
  }
  HTREEITEM parentItem = TreeView_GetParent(tree, item);
  const MAIL_FOLDER_NODE* parent = parentItem ? m_source->GetItemData(parentItem) : nullptr;
  if (parent && parent->selectable) {
    m_result.text.Format(L"%s - %s", static_cast<LPCWSTR>(parent->name), static_cast<LPCWSTR>(node->name));
  } else {
    m_result.text = node->name;
  }
  EndDialog(IDOK);
}

LRESULT CTreeChooserDlg::OnNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header || header->idFrom != IDC_CHOOSER_TREE) {
    handled = FALSE;
    return 0;
  }
  // The folder tree acts on taps and Enter itself.
  if (header->code == static_cast<UINT>(NM_RETURN) || header->code == static_cast<UINT>(NM_CLICK))
    return ::SendMessageW(header->hwndFrom, OCM_NOTIFY, wParam, lParam);
  return 0;
}
