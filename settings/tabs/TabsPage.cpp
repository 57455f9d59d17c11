#include "settings/tabs/TabsPage.h"

#include <vector>

#include "base/Translator.h"
#include "controls/PopupMenuTracker.h"
#include "controls/WaitCursor.h"
#include "graphics/Skin.h"
#include "res/TarvoResIds.h"
#include "settings/tabs/TabEditDlg.h"
#include "settings/tabs/TabIcons.h"
#include "settings/tabs/TabSetup.h"

namespace {

const int kUp = IDC_TABS_UP, kDown = IDC_TABS_DOWN, kEdit = IDC_TABS_EDIT, kDelete = IDC_TABS_DELETE;

bool IsCustomId(WCHAR id) { return id >= L'A'; }

void Enable(HWND page, int control, BOOL enable) { ::EnableWindow(::GetDlgItem(page, control), enable); }

}  // namespace

BOOL CTabsPage::OnInitPage() {
  CWaitCursor wait;
  GetSkin().LoadTabIcons();
  HWND list = List();
  // The model's image list outlives the page: the list only borrows it.
  ::SetWindowLongPtrW(list, GWL_STYLE, ::GetWindowLongPtrW(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  RECT client{};
  ::GetClientRect(list, &client);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH | LVCF_TEXT;
  column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
  column.pszText = const_cast<LPWSTR>(L"Foo");
  ListView_InsertColumn(list, 0, &column);
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  OnReset();
  return TRUE;
}

void CTabsPage::OnReset() {
  GetTabSetup().Load();
  FillList();
}

BOOL CTabsPage::OnSetActive() {
  FillList();
  return COptionsPage<CTabsPage>::OnSetActive();
}

BOOL CTabsPage::OnApply() {
  GetTabSetup().Save();
  return TRUE;
}

void CTabsPage::FillList() {
  CTabSetup& setup = GetTabSetup();
  HWND list = List();
  m_filling = TRUE;
  ListView_DeleteAllItems(list);
  HIMAGELIST previous = ListView_SetImageList(list, setup.GetImageList(), LVSIL_SMALL);
  if (previous && previous != setup.GetImageList()) ImageList_Destroy(previous);
  for (int i = 0; i < setup.GetOrder().GetLength(); ++i) InsertRow(i);
  m_filling = FALSE;
  Select(0);
  Enable(m_hWnd, kUp, FALSE);
  Enable(m_hWnd, kDown, ListView_GetItemCount(list) >= 2);
}

void CTabsPage::InsertRow(int position) {
  CTabSetup& setup = GetTabSetup();
  const WCHAR id = setup.GetOrder()[position];
  const CString title = CTabSetup::GetTabTitle(id);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = position;
  item.pszText = const_cast<LPWSTR>(title.GetString());
  item.iImage = position;
  item.lParam = id;
  ListView_InsertItem(List(), &item);
}

int CTabsPage::Selected() const { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }

WCHAR CTabsPage::RowTab(int row) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  return ListView_GetItem(List(), &item) ? static_cast<WCHAR>(item.lParam) : 0;
}

void CTabsPage::Select(int row) {
  HWND list = List();
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, row, FALSE);
  UpdateButtons();
}

void CTabsPage::UpdateButtons() {
  const int row = Selected();
  if (row < 0) {
    ::PostMessageW(m_hWnd, WM_USER, 0, 0);
    return;
  }
  const int count = ListView_GetItemCount(List());
  Enable(m_hWnd, kDown, row < count - 1);
  Enable(m_hWnd, kUp, row > 0);
  const WCHAR id = RowTab(row);
  if (IsCustomId(id)) {
    Enable(m_hWnd, kEdit, TRUE);
    Enable(m_hWnd, kDelete, TRUE);
  } else {
    Enable(m_hWnd, kEdit, FALSE);
    int builtIn = 0;
    const CString& order = GetTabSetup().GetOrder();
    for (int i = 0; i < order.GetLength(); ++i)
      if (!IsCustomId(order[i])) ++builtIn;
    Enable(m_hWnd, kDelete, builtIn > 1);
  }
}

LRESULT CTabsPage::OnNoSelection(UINT, WPARAM, LPARAM, BOOL&) {
  if (Selected() >= 0) return 0;
  for (int control : {kUp, kDown, kEdit, kDelete}) Enable(m_hWnd, control, FALSE);
  return 0;
}

LRESULT CTabsPage::OnItemChanged(int, NMHDR* header, BOOL&) {
  const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (m_filling || IsInitialising() || !(change->uChanged & LVIF_STATE)) return 0;
  if (((change->uNewState ^ change->uOldState) & LVIS_SELECTED) == 0) return 0;
  UpdateButtons();
  if (Selected() >= 0) ::SetFocus(List());
  return 0;
}

void CTabsPage::Move(int by) {
  const int row = Selected();
  const int target = row + by;
  HWND list = List();
  if (row < 0 || target < 0 || target >= ListView_GetItemCount(list)) return;
  CTabSetup& setup = GetTabSetup();
  setup.SwapTabs(row, target);
  m_filling = TRUE;
  for (int r : {row, target}) {
    const WCHAR id = setup.GetOrder()[r];
    const CString title = CTabSetup::GetTabTitle(id);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = r;
    item.pszText = const_cast<LPWSTR>(title.GetString());
    item.iImage = r;
    item.lParam = id;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = r == target ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
    ListView_SetItem(list, &item);
  }
  m_filling = FALSE;
  ListView_EnsureVisible(list, target, FALSE);
  UpdateButtons();
  if (target == ListView_GetItemCount(list) - 1)
    ::SendDlgItemMessageW(m_hWnd, kDown, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  ::InvalidateRect(list, nullptr, TRUE);
}

LRESULT CTabsPage::OnMoveUp(WORD, WORD, HWND, BOOL&) {
  Move(-1);
  return 0;
}

LRESULT CTabsPage::OnMoveDown(WORD, WORD, HWND, BOOL&) {
  Move(1);
  return 0;
}

LRESULT CTabsPage::OnEdit(WORD, WORD, HWND, BOOL&) {
  const int row = Selected();
  const WCHAR id = row >= 0 ? RowTab(row) : 0;
  CTabSetup& setup = GetTabSetup();
  const int index = IsCustomId(id) ? setup.FindCustomTab(id) : -1;
  if (index < 0) return 0;
  const int position = setup.GetOrder().Find(id);
  CustomTabEntry copy = setup.GetCustomTabs()[static_cast<size_t>(index)];
  CTabEditDlg dialog(this, copy, DrawImageListIcon(setup.GetImageList(), position), FALSE);
  if (dialog.DoModal(m_hWnd) != IDOK) return 0;
  CustomTabEntry result = dialog.GetTab();
  result.id = id;
  // The dialog may have run the picker, which reads the registry, but the record
  // is still where it was.
  const int again = setup.FindCustomTab(id);
  if (again >= 0) setup.GetCustomTabs()[static_cast<size_t>(again)] = result;
  setup.ReplaceIcon(position, dialog.GetIcon());
  ::InvalidateRect(List(), nullptr, TRUE);
  return 0;
}

LRESULT CTabsPage::OnDelete(WORD, WORD, HWND, BOOL&) {
  const int row = Selected();
  if (row < 0) return 0;
  CTabSetup& setup = GetTabSetup();
  HWND list = List();
  m_filling = TRUE;
  ListView_DeleteItem(list, row);
  setup.RemoveTab(row);
  // Every row behind the removed picture points one picture lower.
  for (int r = row; r < ListView_GetItemCount(list); ++r) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = r;
    item.iImage = r;
    ListView_SetItem(list, &item);
  }
  m_filling = FALSE;
  if (ListView_GetItemCount(list) > 0) Select(row > 0 ? row - 1 : 0);
  else UpdateButtons();
  return 0;
}

LRESULT CTabsPage::OnNew(WORD, WORD, HWND button, BOOL&) {
  CTabSetup& setup = GetTabSetup();
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return 0;
  const CString hidden = setup.GetHiddenBuiltInTabs();
  for (int i = 0; i < hidden.GetLength(); ++i)
    ::AppendMenuW(menu, MF_STRING, hidden[i], CTabSetup::GetTabTitle(hidden[i]));
  CString custom;
  LoadTranslatedString(custom, IDS_CUSTOM_TAB_TITLE);
  ::AppendMenuW(menu, MF_STRING, ID_NEW_CUSTOM_TAB, custom);
  RECT rect{};
  ::GetWindowRect(button ? button : ::GetDlgItem(m_hWnd, IDC_TABS_NEW), &rect);
  const int command =
      CPopupMenuTracker::Track(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, rect.left, rect.bottom, m_hWnd);
  ::DestroyMenu(menu);
  if (command <= 0) return 0;
  if (command != ID_NEW_CUSTOM_TAB) {
    if (CTabSetup::FindBuiltInTab(static_cast<WCHAR>(command)) < 0 ||
        setup.GetOrder().Find(static_cast<WCHAR>(command)) >= 0)
      return 0;
    const int position = setup.AddBuiltInTab(static_cast<WCHAR>(command));
    InsertRow(position);
    Enable(m_hWnd, kDelete, TRUE);
    Select(position);
    return 0;
  }
  std::vector<CustomTabEntry> records = setup.GetCustomTabs();
  CustomTabEntry entry;
  entry.id = GetFreeTabIdChar(records);
  HBITMAP icon = nullptr;
  LoadTabIconBitmap(L"default", &icon);
  CTabEditDlg dialog(this, entry, icon, TRUE);
  if (dialog.DoModal(m_hWnd) != IDOK) return 0;
  CustomTabEntry result = dialog.GetTab();
  result.id = entry.id;
  setup.AddCustomRecord(result);
  const int position = setup.AddCustomTab(static_cast<WCHAR>(result.id));
  if (position < 0) return 0;
  InsertRow(position);
  Select(position);
  return 0;
}
