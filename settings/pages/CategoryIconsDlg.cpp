#include "settings/pages/CategoryIconsDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/WindowUtils.h"
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
  GetCategoryIcons()->LoadIcons();
  m_color.Attach(::GetDlgItem(m_hWnd, kColorId));
  HWND blend = ::GetDlgItem(m_hWnd, kBlendId);
  ::SendMessageW(blend, TBM_SETRANGE, TRUE, MAKELPARAM(0, kBlendSteps));
  ::EnableWindow(blend, FALSE);

  HWND list = List();
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
  UpdateControls();
  return TRUE;
}

void CCategoryIconsDlg::FitList() {
  // The row height follows the largest icon; the column leaves room for a scroll bar
  // only when the rows need one.
  HWND list = List();
  SIZE largest = GetCategoryIcons()->GetIconSize();
  const int cell = (std::max)(static_cast<int>(largest.cy), ScaleY(kMinimumIconCell));
  RECT client{};
  ::GetClientRect(list, &client);
  const BOOL scrolls = (::GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) != 0;
  int width = client.right;
  if (!scrolls && client.bottom < cell * RowCount()) width -= ::GetSystemMetrics(SM_CXVSCROLL);
  ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
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
