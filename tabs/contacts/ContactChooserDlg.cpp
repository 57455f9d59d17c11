#include "tabs/contacts/ContactChooserDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactPhotos.h"
#include "tabs/contacts/ContactsList.h"

BOOL CContactChooserDlg::OnFill() {
  m_result = 0;
  HWND list = GetDlgItem(IDC_CONTACT_CHOOSER_LIST);
  if (!list) return FALSE;
  RECT client = {};
  ::GetClientRect(list, &client);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<LPWSTR>(L"Foo");
  column.cx = std::max<int>(0, static_cast<int>(client.right - GetSystemMetrics(SM_CXVSCROLL)));
  ListView_InsertColumn(list, 0, &column);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  CContactsList& contacts = m_contacts ? *m_contacts : CContactsList::GetGlobal();
  CONTACT_ITEM* contact = nullptr;
  int row = 0;
  int selected = -1;
  for (BOOL more = contacts.GetFirst(&contact); more; more = contacts.GetNext(&contact)) {
    if (FindContactPhoto(contact) != CONTACT_ITEM::kPhotoPresent) continue;
    CString name;
    contact->GetDisplayName(name, FALSE, FALSE);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(name));
    item.lParam = static_cast<LPARAM>(contact->m_recordOid);
    const int at = ListView_InsertItem(list, &item);
    if (at >= 0 && m_preselected && contact->m_recordOid == m_preselected) selected = at;
    if (at >= 0) ++row;
  }
  if (selected >= 0) {
    ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, selected, FALSE);
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  return TRUE;
}

void CContactChooserDlg::OnOK() {
  HWND list = GetDlgItem(IDC_CONTACT_CHOOSER_LIST);
  const int selected = list ? ListView_GetNextItem(list, -1, LVNI_SELECTED) : -1;
  if (selected < 0) {
    EndDialog(2);
    return;
  }
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = selected;
  ListView_GetItem(list, &item);
  m_result = static_cast<DWORD>(item.lParam);
  EndDialog(1);
}
