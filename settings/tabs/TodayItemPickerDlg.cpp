#include "settings/tabs/TodayItemPickerDlg.h"

#include <algorithm>

#include <commctrl.h>

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/WindowUtils.h"
#include "panel/CustomTabEntry.h"
#include "panel/Registration.h"
#include "settings/shell/UserPrompt.h"
#include "settings/tabs/TabEditDlg.h"
#include "settings/tabs/TodayItemLists.h"

namespace {

// Row data: the item speaks the embedding protocol (1) or does not say so (0);
// -1 marks a greyed row.
LPARAM RowData(const TodayItemInfo& item) {
  if (item.keyName.IsEmpty()) return -1;
  return item.version == 0 || item.version == static_cast<DWORD>(-1) ? 0 : 1;
}

void SortByName(std::vector<TodayItemInfo>& items) {
  std::stable_sort(items.begin(), items.end(),
                   [](const TodayItemInfo& a, const TodayItemInfo& b) { return a.name.CompareNoCase(b.name) < 0; });
}

int Ask(HWND owner, UINT text, UINT type) {
  CString message, caption;
  LoadTranslatedString(message, text);
  LoadTranslatedString(caption, IDS_SETTINGS_TITLE);
  return ShowMessageBox(owner, message, caption, type);
}

}  // namespace

// --- the list --------------------------------------------------------------------

void CPickerListView::Attach(HWND list) {
  m_list = list;
  m_disabled.clear();
  if (list) SetWindowSubclass(list, &CPickerListView::Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

BOOL CPickerListView::IsRowDisabled(int row) const {
  return std::find(m_disabled.begin(), m_disabled.end(), row) != m_disabled.end();
}

BOOL CPickerListView::SetRowDisabled(int row, BOOL enable) {
  const BOOL was = IsRowDisabled(row);
  if (enable)
    m_disabled.erase(std::remove(m_disabled.begin(), m_disabled.end(), row), m_disabled.end());
  else if (!was)
    m_disabled.push_back(row);
  RECT rect{};
  if (m_list && ListView_GetItemRect(m_list, row, &rect, LVIR_BOUNDS)) ::InvalidateRect(m_list, &rect, TRUE);
  return was;
}

LRESULT CPickerListView::OnKey(WPARAM key) {
  const int count = ListView_GetItemCount(m_list);
  const int from = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
  const int step = key == VK_UP ? -1 : 1;
  for (int row = from + step; row >= 0 && row < count; row += step) {
    if (IsRowDisabled(row)) continue;
    ListView_SetItemState(m_list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(m_list, row, FALSE);
    break;
  }
  return 0;
}

LRESULT CALLBACK CPickerListView::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
  auto* self = reinterpret_cast<CPickerListView*>(data);
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_DOWN) return self->OnKey(wParam);
      if (wParam == VK_RETURN) {
        const int row = ListView_GetSelectionMark(window);
        if (row >= 0 && !self->IsRowDisabled(row)) ListView_SetCheckState(window, row, !ListView_GetCheckState(window, row));
        return 0;
      }
      break;
    case WM_LBUTTONDBLCLK:
      SplitDoubleTap(window, wParam, lParam);
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &CPickerListView::Proc, 1);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void CPickerListView::Fade(HDC dc, int row) {
  RECT rect{};
  if (!ListView_GetItemRect(m_list, row, &rect, LVIR_BOUNDS)) return;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = section ? CreateCompatibleDC(dc) : nullptr;
  if (memory) {
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const COLORREF back = GetSysColor(COLOR_WINDOW);
    const int background[3] = {GetBValue(back), GetGValue(back), GetRValue(back)};
    const int stride = ((width * 3) + 3) & ~3;
    for (int y = 0; y < height; ++y) {
      BYTE* pixel = static_cast<BYTE*>(bits) + static_cast<size_t>(y) * stride;
      for (int x = 0; x < width; ++x, pixel += 3)
        for (int c = 0; c < 3; ++c) pixel[c] = static_cast<BYTE>((pixel[c] * 64 + background[c] * 191) / 255);
    }
    BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  if (section) DeleteObject(section);
}

BOOL CPickerListView::OnNotify(const NMHDR* header, LRESULT* result) {
  if (!m_list || header->hwndFrom != m_list) return FALSE;
  if (header->code == LVN_ITEMCHANGING) {
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
    *result = IsRowDisabled(change->iItem) && (change->uChanged & LVIF_STATE) ? TRUE : FALSE;
    return TRUE;
  }
  if (header->code == NM_CUSTOMDRAW) {
    const NMLVCUSTOMDRAW* draw = reinterpret_cast<const NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
      case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        return TRUE;
      case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYPOSTPAINT;
        return TRUE;
      case CDDS_ITEMPOSTPAINT:
        if (IsRowDisabled(static_cast<int>(draw->nmcd.dwItemSpec))) Fade(draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec));
        *result = CDRF_DODEFAULT;
        return TRUE;
      default:
        *result = CDRF_DODEFAULT;
        return TRUE;
    }
  }
  return FALSE;
}

// --- the dialog ------------------------------------------------------------------

CTodayItemPickerDlg::CTodayItemPickerDlg(CTabEditDlg* owner) : m_owner(owner) {}

std::vector<TodayItemInfo> CTodayItemPickerDlg::CollectRows(CTabEditDlg* owner, BOOL* anyUnavailable) {
  auto unused = [owner](const TodayItemInfo& item) { return !owner || owner->IsItemUsed(item.keyName) == 0; };
  std::vector<TodayItemInfo> found, rows;
  EnumFreeTodayItems(found, TARVO_TODAY_ITEM_NAME, 1);
  RemoveArdenoItem(found);
  for (const TodayItemInfo& item : found)
    if (unused(item)) rows.push_back(item);
  found.clear();
  EnumEmbeddedTodayItems(TARVO_TODAY_ITEM_NAME, 1, found);
  for (const TodayItemInfo& item : found)
    if (unused(item)) rows.push_back(item);
  SortByName(rows);
  std::vector<TodayItemInfo> unavailable;
  ReadItemsEmbeddedElsewhere(unavailable, TARVO_TODAY_ITEM_NAME, 1);
  ReadTabPlugins(unavailable);
  SortByName(unavailable);
  for (TodayItemInfo& item : unavailable) {
    item.keyName.Empty();
    rows.push_back(item);
  }
  if (anyUnavailable) *anyUnavailable = !unavailable.empty();
  return rows;
}

BOOL CTodayItemPickerDlg::OnFill() {
  m_initialising = TRUE;
  m_warning = FALSE;
  HWND list = ::GetDlgItem(m_hWnd, IDC_PICKER_LIST);
  m_list.Attach(list);
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                                      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client{};
  ::GetClientRect(list, &client);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH | LVCF_TEXT;
  column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
  column.pszText = const_cast<LPWSTR>(L"Foo");
  ListView_InsertColumn(list, 0, &column);
  BOOL anyUnavailable = FALSE;
  m_result = CollectRows(m_owner, &anyUnavailable);
  if (anyUnavailable) {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    if (product.GetDWORD(L"ShownPluginIntegratedWarning", 0) == 0) {
      m_warning = TRUE;
      product.SetDWORD(L"ShownPluginIntegratedWarning", 1);
    }
  }
  BOOL selected = FALSE;
  for (size_t i = 0; i < m_result.size(); ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<LPWSTR>(m_result[i].name.GetString());
    item.lParam = RowData(m_result[i]);
    const int row = ListView_InsertItem(list, &item);
    if (row < 0) continue;
    if (item.lParam == -1) {
      ListView_SetItemState(list, row, 0, LVIS_STATEIMAGEMASK);
      m_list.SetRowDisabled(row, FALSE);
    } else {
      ListView_SetCheckState(list, row, FALSE);
      if (!selected) {
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        selected = TRUE;
      }
    }
  }
  m_initialising = FALSE;
  return TRUE;
}

LRESULT CTodayItemPickerDlg::OnPaintWarning(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (m_warning) {
    m_warning = FALSE;
    ::PostMessageW(m_hWnd, WM_TIMER, kWarningTimer, 0);
  }
  handled = FALSE;
  return 0;
}

LRESULT CTodayItemPickerDlg::OnTimer(UINT, WPARAM id, LPARAM, BOOL& handled) {
  if (id != kWarningTimer) {
    handled = FALSE;
    return 0;
  }
  Ask(m_hWnd, IDS_ITEMS_INTEGRATED_WARNING, MB_OK);
  return 0;
}

LRESULT CTodayItemPickerDlg::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  LRESULT result = 0;
  if (m_list.OnNotify(header, &result)) return result;
  if (header->hwndFrom != m_list.GetWindow() || header->code != LVN_ITEMCHANGED || m_initialising) {
    handled = FALSE;
    return 0;
  }
  const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!(change->uChanged & LVIF_STATE) || change->iItem < 0) return 0;
  HWND list = m_list.GetWindow();
  if (change->lParam == -1) {
    if (change->uNewState & LVIS_STATEIMAGEMASK) {
      m_initialising = TRUE;
      ListView_SetItemState(list, change->iItem, 0, LVIS_STATEIMAGEMASK);
      m_initialising = FALSE;
    }
    return 0;
  }
  const bool ticked = ((change->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
  const bool was = ((change->uOldState & LVIS_STATEIMAGEMASK) >> 12) == 2;
  if (ticked && !was && change->lParam == 0 && Ask(m_hWnd, IDS_CONFIRM_UNKNOWN_ITEM, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    m_initialising = TRUE;
    ListView_SetCheckState(list, change->iItem, FALSE);
    m_initialising = FALSE;
  }
  return 0;
}

LRESULT CTodayItemPickerDlg::OnSize(UINT, WPARAM, LPARAM, BOOL& handled) {
  HWND list = m_list.GetWindow();
  handled = FALSE;
  if (!list) return 0;
  RECT client{}, rect{};
  ::GetClientRect(m_hWnd, &client);
  ::GetWindowRect(list, &rect);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  const int width = client.right - 2 * rect.left;
  const int height = client.bottom - ScaleY(5) - rect.top;
  if (width > 0 && height > 0) ::SetWindowPos(list, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

void CTodayItemPickerDlg::OnOK() {
  HWND list = m_list.GetWindow();
  for (int row = static_cast<int>(m_result.size()) - 1; row >= 0; --row) {
    if (m_result[static_cast<size_t>(row)].keyName.IsEmpty() || !ListView_GetCheckState(list, row))
      m_result.erase(m_result.begin() + row);
  }
  EndDialog(IDOK);
}

LRESULT CTodayItemPickerDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  m_result.clear();
  EndDialog(IDCANCEL);
  return 0;
}
