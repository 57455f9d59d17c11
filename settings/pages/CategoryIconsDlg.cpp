#include "settings/pages/CategoryIconsDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/WindowUtils.h"
#include "graphics/Dib.h"
#include "graphics/KeyedBitmap.h"
#include "pim/CategoriesList.h"
#include "pim/CategoryIcons.h"
#include "settings/shell/UserPrompt.h"

namespace {

const int kMinimumIconCell = 15;
// The five trackbar steps are blends of 0, 25, 50, 75 and 100 percent.
const int kBlendSteps = 4;

int RowCount() {
  CCategoriesList* list = CCategoriesList::GetCurrent();
  return list ? list->GetDisplayCount() : 0;
}

}  // namespace

CCategoryIconsDlg::CCategoryIconsDlg() = default;

CCategoryIconsDlg::~CCategoryIconsDlg() = default;

int CCategoryIconsDlg::GetCategoryOfRow(int row) const {
  CCategoriesList* list = CCategoriesList::GetCurrent();
  if (!list || row < 0 || row >= list->GetDisplayCount()) return -1;
  return list->GetDisplayAt(row);
}

int CCategoryIconsDlg::GetSelectedRow() const {
  return static_cast<int>(::SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CCategoryIconsDlg::SelectRow(int row) {
  HWND list = List();
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  if (row < 0) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
  ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

BOOL CCategoryIconsDlg::OnFill() {
  m_cell = {ScaleX(kMinimumIconCell), ScaleY(kMinimumIconCell)};
  GetCategoryIcons()->LoadIcons();
  m_color.Attach(::GetDlgItem(m_hWnd, kColorId));
  HWND blend = ::GetDlgItem(m_hWnd, kBlendId);
  ::SendMessageW(blend, TBM_SETRANGE, TRUE, MAKELPARAM(0, kBlendSteps));
  ::EnableWindow(blend, FALSE);

  HWND list = List();
  m_list.Attach(list);
  RECT client{};
  ::GetClientRect(list, &client);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<LPWSTR>(L"ddd");
  column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
  ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_ONECLICKACTIVATE, LVS_EX_ONECLICKACTIVATE);
  FillList();
  FitList();
  m_preview.Attach(::GetDlgItem(m_hWnd, kPreviewId));
  UpdateControls();
  return TRUE;
}

void CCategoryIconsDlg::FitList() {
  // The rows are as high as the largest icon; the column leaves room for a scroll
  // bar only when the rows need one.
  HWND list = List();
  const SIZE largest = GetCategoryIcons()->GetIconSize();
  m_cell.cx = (std::max)(static_cast<int>(largest.cx), ScaleX(kMinimumIconCell));
  m_cell.cy = (std::max)(static_cast<int>(largest.cy), ScaleY(kMinimumIconCell));
  RECT client{};
  ::GetClientRect(list, &client);
  const BOOL scrolls = (::GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) != 0;
  // From the client width each time, so that fitting again never shrinks it twice.
  int width = client.right;
  const BOOL rowsFit = client.bottom >= m_cell.cy * RowCount();
  if (!scrolls && !rowsFit) width -= ::GetSystemMetrics(SM_CXVSCROLL);
  if (scrolls && rowsFit) width += ::GetSystemMetrics(SM_CXVSCROLL);
  ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
  // A list asks for its row height again when its size changes; a move onto the
  // same rectangle never reaches it, so it is made a pixel taller and put back.
  RECT place{};
  ::GetWindowRect(list, &place);
  const int listWidth = place.right - place.left, listHeight = place.bottom - place.top;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  ::SetWindowPos(list, nullptr, 0, 0, listWidth, listHeight + 1, flags);
  ::SetWindowPos(list, nullptr, 0, 0, listWidth, listHeight, flags);
}

LRESULT CCategoryIconsDlg::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (!measure || measure->CtlID != kListId) {
    handled = FALSE;
    return FALSE;
  }
  // The list is made before the dialog starts: its first question gets the least cell.
  measure->itemHeight = m_cell.cy > 0 ? m_cell.cy : ScaleY(kMinimumIconCell);
  return TRUE;
}

LRESULT CCategoryIconsDlg::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (!item || item->CtlID != kListId || !item->hDC) {
    handled = FALSE;
    return FALSE;
  }
  DrawRow(*item);
  return TRUE;
}

void CCategoryIconsDlg::DrawRow(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT& row = item.rcItem;
  const BOOL selected = (item.itemState & ODS_SELECTED) != 0;
  ::FillRect(dc, &row, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int category = GetCategoryOfRow(static_cast<int>(item.itemID));
  CCategoriesList* list = CCategoriesList::GetCurrent();
  if (category < 0 || !list) return;
  CCategoryIcons* icons = GetCategoryIcons();
  const COLORREF color = icons->GetColors().GetColor(category);
  const BOOL hasColor = color != CCategoryColors::kNone;

  const int cellWidth = m_cell.cx > 0 ? m_cell.cx : ScaleX(kMinimumIconCell);
  const int cellHeight = m_cell.cy > 0 ? m_cell.cy : ScaleY(kMinimumIconCell);
  RECT text = row;
  text.left += ScaleX(2) + cellWidth;
  text.right -= ScaleX(2);
  if (hasColor) text.right -= ScaleX(10);
  const COLORREF oldColor = ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const CString name = list->GetName(category);
  ::DrawTextW(dc, name, name.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  ::SetBkMode(dc, oldMode);
  ::SetTextColor(dc, oldColor);

  if (hasColor) {
    // The raw colour, not blended: the square says which colour the blend starts from.
    if (HBRUSH brush = ::CreateSolidBrush(color & 0x00FFFFFF)) {
      HGDIOBJ oldBrush = ::SelectObject(dc, brush);
      ::Rectangle(dc, row.right - ScaleX(2) - ScaleX(10), row.top + ScaleY(2), row.right - ScaleX(2),
                  row.bottom - ScaleY(2));
      ::SelectObject(dc, oldBrush);
      ::DeleteObject(brush);
    }
  }

  CKeyedBitmap* icon = icons->GetIcon(category);
  const SIZE size = icon ? icon->GetSize() : SIZE{0, 0};
  if (size.cx <= 0 || size.cy <= 0) return;
  const int x = row.left + (cellWidth - size.cx) / 2;
  const int y = row.top + (cellHeight - size.cy) / 2;
  // The icon's key colour shows what the row already has there.
  CDib under;
  if (!under.Create(size.cx, size.cy)) return;
  if (HDC image = under.GetDC()) {
    ::BitBlt(image, 0, 0, size.cx, size.cy, dc, x, y, SRCCOPY);
    under.ReleaseDC();
    icon->DrawTransparent(&under, 0, 0);
    if (HDC drawn = under.GetDC()) {
      ::BitBlt(dc, x, y, size.cx, size.cy, drawn, 0, 0, SRCCOPY);
      under.ReleaseDC();
    }
  }
}

void CCategoryIconsDlg::FillList() {
  GetCategoryIcons()->LoadIcons();
  HWND list = List();
  const int mark = GetSelectedRow();
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  const int count = RowCount();
  ::SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL);
  if (mark >= 0 && mark < count) {
    SelectRow(mark);
  } else if (count > 0) {
    SelectRow(0);
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void CCategoryIconsDlg::UpdateControls() {
  m_updatePosted = FALSE;
  ++m_updates;
  HWND blend = ::GetDlgItem(m_hWnd, kBlendId);
  const int category = SelectedCategory();
  if (category < 0) {
    ::EnableWindow(::GetDlgItem(m_hWnd, kChangeIconId), FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, kDeleteIconId), FALSE);
    ::EnableWindow(blend, FALSE);
    m_color.SetColor(kNoColor);
    ::EnableWindow(m_color.m_hWnd, FALSE);
    return;
  }
  m_preview.SetCategory(category);
  CCategoryIcons* icons = GetCategoryIcons();
  const CCategoryColors& colors = icons->GetColors();
  const COLORREF color = colors.GetColor(category);
  m_color.SetColor(color);
  ::EnableWindow(m_color.m_hWnd, TRUE);
  // Only showing the category: its stored value is left as it is.
  ::EnableWindow(blend, color != CCategoryColors::kNone);
  const int percent = colors.GetBlend(category);
  ::SendMessageW(blend, TBM_SETPOS, TRUE, percent < 0 ? kBlendSteps : percent * kBlendSteps / 100);
  ::EnableWindow(::GetDlgItem(m_hWnd, kChangeIconId), TRUE);
  ::EnableWindow(::GetDlgItem(m_hWnd, kDeleteIconId), icons->GetIcon(category) != nullptr);
}

LRESULT CCategoryIconsDlg::OnUpdateMessage(UINT, WPARAM, LPARAM, BOOL&) {
  UpdateControls();
  return 0;
}

LRESULT CCategoryIconsDlg::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header) {
    handled = FALSE;
    return 0;
  }
  if (static_cast<int>(header->code) == -50) {
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, 1);
    return 1;
  }
  if (header->hwndFrom != List()) {
    handled = FALSE;
    return 0;
  }
  if (header->code == LVN_GETDISPINFOW) {
    NMLVDISPINFOW* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
    if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
      CCategoriesList* list = CCategoriesList::GetCurrent();
      const int category = GetCategoryOfRow(info->item.iItem);
      CString name = list && category >= 0 ? list->GetName(category) : CString();
      lstrcpynW(info->item.pszText, name, info->item.cchTextMax);
    }
    return 0;
  }
  if (header->code == LVN_ITEMCHANGED) {
    // A tap changes two rows; the controls follow once.
    if (!m_updatePosted) {
      m_updatePosted = TRUE;
      ::PostMessageW(m_hWnd, WM_UPDATE_CONTROLS, 0, 0);
    }
    return 0;
  }
  handled = FALSE;
  return 0;
}

LRESULT CCategoryIconsDlg::OnHelpTopic(UINT, WPARAM, LPARAM, BOOL&) {
  ShowHelp(L"options_category_icons_main");
  return TRUE;
}

LRESULT CCategoryIconsDlg::OnHScroll(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  HWND blend = ::GetDlgItem(m_hWnd, kBlendId);
  if (reinterpret_cast<HWND>(lParam) != blend) {
    handled = FALSE;
    return 0;
  }
  const int category = SelectedCategory();
  if (category >= 0) {
    const int position = static_cast<int>(::SendMessageW(blend, TBM_GETPOS, 0, 0));
    GetCategoryIcons()->GetColors().SetBlend(category, position * 100 / kBlendSteps);
    m_preview.SetCategory(category);
  }
  return 0;
}

LRESULT CCategoryIconsDlg::OnColorChosen(WORD, WORD, HWND, BOOL&) {
  const int row = GetSelectedRow();
  const int category = GetCategoryOfRow(row);
  if (category < 0) return 0;
  CCategoryColors& colors = GetCategoryIcons()->GetColors();
  const COLORREF chosen = m_color.GetColor();
  if (chosen == CCategoryColors::kNone) {
    if (colors.GetColor(category) != CCategoryColors::kNone) m_blendsOfNone[category] = colors.GetBlend(category);
    colors.SetColor(category, chosen);
  } else {
    const BOOL wasNone = colors.GetColor(category) == CCategoryColors::kNone;
    colors.SetColor(category, chosen);
    auto kept = m_blendsOfNone.find(category);
    if (wasNone && kept != m_blendsOfNone.end()) {
      colors.SetBlend(category, kept->second);
      m_blendsOfNone.erase(kept);
    }
  }
  ::SendMessageW(List(), LVM_UPDATE, static_cast<WPARAM>(row), 0);
  UpdateControls();
  return 0;
}

LRESULT CCategoryIconsDlg::OnChangeIcon(WORD, WORD, HWND, BOOL&) {
  if (!m_chooser) {
    m_chooser.reset(new CIconSets());
    GetCategoryIcons()->LoadIcons();
  }
  const int category = SelectedCategory();
  if (category >= 0) {
    m_chooser->SetSelectedName(L"");
    CCategoriesList* list = CCategoriesList::GetCurrent();
    m_chooser->SetMirtoArgument(list ? static_cast<LPCWSTR>(list->GetName(category)) : L"");
  }
  if (m_chooser->DoModal(m_hWnd) != IDOK) return 0;
  if (category >= 0) {
    LPCWSTR chosen = m_chooser->GetSelectedName();
    if (!chosen) {
      DeleteSelectedIcon();
      return 0;
    }
    if (*chosen) GetCategoryIcons()->SetIcon(category, chosen);
  }
  FillList();
  FitList();
  UpdateControls();
  return 0;
}

void CCategoryIconsDlg::DeleteSelectedIcon() {
  const int category = SelectedCategory();
  CCategoryIcons* icons = GetCategoryIcons();
  if (category < 0 || !icons->GetIcon(category)) return;
  CString text, caption;
  LoadUIString(text, IDS_DELETE_CATEGORY_ICON);
  LoadUIString(caption, IDS_SETTINGS_TITLE);
  if (ShowMessageBox(m_hWnd, text, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
  icons->DeleteIcon(category);
  FillList();
  FitList();
  UpdateControls();
}

LRESULT CCategoryIconsDlg::OnDeleteIcon(WORD, WORD, HWND, BOOL&) {
  DeleteSelectedIcon();
  return 0;
}
