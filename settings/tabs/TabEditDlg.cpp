#include "settings/tabs/TabEditDlg.h"

#include <vector>

#include "settings/tabs/TabIconDlg.h"
#include "settings/tabs/TabIcons.h"
#include "settings/tabs/TabSetup.h"
#include "settings/tabs/TodayItemPickerDlg.h"

// Every row keeps the index of its item in the working copy as its data, so rows
// whose items show the same name stay told apart when they move or go.

CTabEditDlg::CTabEditDlg(CTabsPage* owner, const CustomTabEntry& tab, HBITMAP icon, BOOL newTab)
    : m_owner(owner), m_tab(tab), m_icon(icon), m_newTab(newTab) {}

CTabEditDlg::~CTabEditDlg() {
  if (m_icon) DeleteObject(m_icon);
}

void CTabEditDlg::ShowIcon(HBITMAP icon) {
  HBITMAP previous = reinterpret_cast<HBITMAP>(
      ::SendDlgItemMessageW(m_hWnd, IDC_TAB_EDIT_ICON, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(icon)));
  if (previous && previous != icon && previous != m_icon) DeleteObject(previous);
}

void CTabEditDlg::AddRow(size_t item) {
  const LRESULT row = ::SendMessageW(Items(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_tab.items[item].name.GetString()));
  if (row >= 0) ::SendMessageW(Items(), LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(item));
}

BOOL CTabEditDlg::OnFill() {
  ShowIcon(m_icon);
  for (size_t i = 0; i < m_tab.items.size(); ++i) AddRow(i);
  ::SendMessageW(Items(), LB_SETCURSEL, 0, 0);
  UpdateButtons();
  if (m_newTab) {
    RunAdd();
    ::SendMessageW(Items(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    UpdateButtons();
  }
  return TRUE;
}

void CTabEditDlg::UpdateButtons() {
  const int row = static_cast<int>(::SendMessageW(Items(), LB_GETCURSEL, 0, 0));
  const int count = static_cast<int>(::SendMessageW(Items(), LB_GETCOUNT, 0, 0));
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TAB_EDIT_UP), row > 0);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TAB_EDIT_DOWN), row >= 0 && row < count - 1);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TAB_EDIT_REMOVE), row >= 0 && count > 0);
}

void CTabEditDlg::Move(int by) {
  HWND list = Items();
  const int row = static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0));
  const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  const int target = row + by;
  if (row < 0 || target < 0 || target >= count) return;
  const LRESULT item = ::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
  ::SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
  const LRESULT placed = ::SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(target),
                                        reinterpret_cast<LPARAM>(m_tab.items[static_cast<size_t>(item)].name.GetString()));
  ::SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(placed), item);
  ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(placed), 0);
  UpdateButtons();
}

LRESULT CTabEditDlg::OnMoveUp(WORD, WORD, HWND, BOOL&) {
  Move(-1);
  return 0;
}

LRESULT CTabEditDlg::OnMoveDown(WORD, WORD, HWND, BOOL&) {
  Move(1);
  return 0;
}

LRESULT CTabEditDlg::OnSelChange(WORD, WORD, HWND, BOOL&) {
  UpdateButtons();
  return 0;
}

LRESULT CTabEditDlg::OnRemove(WORD, WORD, HWND, BOOL&) {
  HWND list = Items();
  const int row = static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0));
  if (row < 0) return 0;
  const size_t item = static_cast<size_t>(::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
  if (item >= m_tab.items.size()) return 0;
  if (m_tab.smartIcon && m_tab.iconName.CompareNoCase(m_tab.items[item].keyName) == 0) {
    m_tab.smartIcon = 0;
    m_tab.iconName = L"default";
    HBITMAP icon = nullptr;
    LoadTabIconBitmap(L"default", &icon);
    ShowIcon(icon);
    if (m_icon) DeleteObject(m_icon);
    m_icon = icon;
  }
  m_tab.items.erase(m_tab.items.begin() + static_cast<std::ptrdiff_t>(item));
  ::SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
  // The items behind the removed one moved down by one.
  const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int r = 0; r < count; ++r) {
    const size_t data = static_cast<size_t>(::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(r), 0));
    if (data > item) ::SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(r), static_cast<LPARAM>(data - 1));
  }
  if (count > 0) ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row > 0 ? row - 1 : 0), 0);
  UpdateButtons();
  return 0;
}

void CTabEditDlg::RunAdd() {
  CTodayItemPickerDlg picker(this);
  if (picker.DoModal(m_hWnd) != IDOK) return;
  for (const TodayItemInfo& chosen : picker.GetResult()) {
    m_tab.items.push_back(chosen);
    AddRow(m_tab.items.size() - 1);
    // The Today screen showed it until now: it must let it go.
    if (chosen.enabled && m_owner) GetTabSetup().SetTodayReload();
  }
  const int count = static_cast<int>(::SendMessageW(Items(), LB_GETCOUNT, 0, 0));
  ::SendMessageW(Items(), LB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
  UpdateButtons();
}

LRESULT CTabEditDlg::OnAdd(WORD, WORD, HWND, BOOL&) {
  RunAdd();
  return 0;
}

LRESULT CTabEditDlg::OnChangeIcon(WORD, WORD, HWND, BOOL&) {
  CTabIconDlg chooser(m_tab.items, m_tab.iconName, m_hWnd);
  if (chooser.DoModal(m_hWnd) != IDOK) return 0;
  HBITMAP icon = chooser.TakeBitmap();
  if (!icon) return 0;
  m_tab.smartIcon = chooser.GetSmartIcon();
  m_tab.iconName = chooser.GetIconName();
  ShowIcon(icon);
  if (m_icon) DeleteObject(m_icon);
  m_icon = icon;
  return 0;
}

void CTabEditDlg::OnOK() {
  HWND list = Items();
  const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  std::vector<TodayItemInfo> ordered;
  for (int r = 0; r < count; ++r) {
    const size_t item = static_cast<size_t>(::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(r), 0));
    if (item < m_tab.items.size()) ordered.push_back(m_tab.items[item]);
  }
  m_tab.items = ordered;
  EndDialog(IDOK);
}

WCHAR CTabEditDlg::IsItemUsed(LPCWSTR name) const {
  if (!m_owner || !name) return 0;
  for (const TodayItemInfo& item : m_tab.items)
    if (item.keyName.CompareNoCase(name) == 0) return static_cast<WCHAR>(m_tab.id);
  const WCHAR tab = GetTabSetup().FindTabOfItem(name);
  return tab == static_cast<WCHAR>(m_tab.id) ? 0 : tab;
}
