#include "controls/TreeChooserDlg.h"

#include <algorithm>

#include "base/TaggedBlob.h"
#include "platform/aygshell/aygshell.h"

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

LRESULT CTreeChooserDlg::OnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != SPI_SETSIPINFO) {
    handled = FALSE;
    return 0;
  }
  SIPINFO sip = {};
  sip.cbSize = sizeof(sip);
  if (!SipGetInfo(&sip)) return 0;
  RECT own{};
  GetWindowRect(&own);
  const int width = std::min<int>(own.right - own.left, sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left);
  const int height = std::min<int>(own.bottom - own.top, sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top);
  BOOL unused = TRUE;
  OnSize(WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height), unused);
  return 0;
}

LRESULT CTreeChooserDlg::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const int width = LOWORD(lParam), height = HIWORD(lParam);
  HWND tree = GetDlgItem(IDC_CHOOSER_TREE);
  if (width && height && tree)
    ::SetWindowPos(tree, nullptr, 0, 0, width, std::max<int>(0, height - ScaleY(8)),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

LRESULT CTreeChooserDlg::OnNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header) {
    handled = FALSE;
    return 0;
  }
  if (static_cast<int>(header->code) == kTreeQueryNotification) return 1;
  if (header->idFrom != IDC_CHOOSER_TREE) {
    handled = FALSE;
    return 0;
  }
  // The folder tree acts on taps and Enter itself.
  if (header->code == static_cast<UINT>(NM_RETURN) || header->code == static_cast<UINT>(NM_CLICK))
    return ::SendMessageW(header->hwndFrom, OCM_NOTIFY, wParam, lParam);
  return 0;
}
