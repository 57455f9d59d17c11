#include "controls/ListPickerWnd.h"

#include <windowsx.h>
// The message-cracker header's macro of the same name hides the method.
#undef SubclassWindow

#include <algorithm>

#include "base/Platform.h"
#include "base/ScreenDpi.h"
#include "controls/CategoryChoices.h"
#include "controls/ControlFonts.h"
#include "controls/WindowUtils.h"

namespace {

const DWORD kListStyle = WS_CHILD | WS_VISIBLE | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_REPORT;
const DWORD kListExStyle = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
const COLORREF kGreen = RGB(0, 255, 0);
const UINT kTicked = INDEXTOSTATEIMAGEMASK(2);
// A notification of the device's list view that wants 1 for an answer.
const int kAnswerOneCode = -50;

CListPickerWnd::ModalHook g_hook = nullptr;
void* g_hookContext = nullptr;

LRESULT ListSend(HWND list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::SendMessageW(list, message, wParam, lParam);
}

bool IsTicked(HWND list, int row) {
  return (ListSend(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) == kTicked;
}

void SetTick(HWND list, int row, bool ticked) {
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
  ListSend(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void SelectRow(HWND list, int row) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ListSend(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  ListSend(list, LVM_SETSELECTIONMARK, 0, row);
  ListSend(list, LVM_ENSUREVISIBLE, row, FALSE);
}

bool SameSet(const CBitSet& a, const CBitSet& b) {
  int i = a.FindNext(0), k = b.FindNext(0);
  while (i >= 0 && k >= 0 && i == k) {
    i = a.FindNext(i + 1);
    k = b.FindNext(k + 1);
  }
  return i < 0 && k < 0;
}

}  // namespace

void CListPickerWnd::SetModalHook(ModalHook hook, void* context) {
  g_hook = hook;
  g_hookContext = context;
}

CListPickerWnd::CListPickerWnd() : m_unchanged(FALSE), m_images(nullptr), m_choices(nullptr), m_disabledOwner(nullptr) {}

CListPickerWnd::~CListPickerWnd() {
  // Our own clean-up must run while the object is still a picker.
  if (m_hWnd && ::IsWindow(m_hWnd)) ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
  EnableOwner();
  DropImageList();
}

int CListPickerWnd::GetRowCount() const {
  return m_list.m_hWnd ? static_cast<int>(ListSend(m_list.m_hWnd, LVM_GETITEMCOUNT)) : 0;
}

BOOL CListPickerWnd::Create(HWND owner, POINT anchor, LPCWSTR title) {
  RECT at = {anchor.x, anchor.y, anchor.x + ScaleX(kWidth), anchor.y + ScaleY(kHeight)};
  if (!CPopupWindow::Create(owner, &at, title, FALSE)) return FALSE;
  m_unchanged = FALSE;
  m_result.Empty();
  m_ticked.Clear();
  m_choices = GetCategoryChoices();

  RECT content;
  ::GetClientRect(m_hWnd, &content);
  content.top += GetTitleHeight();
  content.right += ScaleX(1);
  HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", kListStyle, content.left, content.top,
                                content.right - content.left, content.bottom - content.top, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), nullptr, nullptr);
  if (list) {
    m_list.SubclassWindow(list);
    ListSend(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetControlListFont()), FALSE);
    ListSend(list, LVM_SETEXTENDEDLISTVIEWSTYLE, kListExStyle, kListExStyle);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<LPWSTR>(L"col1");
    column.cx = std::max(0, static_cast<int>(content.right - content.left) - GetSystemMetrics(SM_CXVSCROLL));
    ListSend(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    FillList();
  }
  ::ShowWindow(m_hWnd, SW_SHOW);
  // Nothing behind the popup may act while it waits: dialogs disable their owner too.
  if (owner && ::IsWindowEnabled(owner)) {
    m_disabledOwner = owner;
    ::EnableWindow(owner, FALSE);
  }
  if (g_hook) g_hook(this, g_hookContext);

  MSG message;
  while (!IsClosed()) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program's own loop must still see the request to end.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  if (!IsClosed() && m_hWnd) {
    // Ended from outside: nothing the user ticked is taken.
    m_unchanged = TRUE;
    ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
  }
  EnableOwner();
  return !m_unchanged;
}

void CListPickerWnd::EnableOwner() {
  if (!m_disabledOwner) return;
  if (::IsWindow(m_disabledOwner)) ::EnableWindow(m_disabledOwner, TRUE);
  m_disabledOwner = nullptr;
}

void CListPickerWnd::DropImageList() {
  if (m_list.m_hWnd) {
    ListSend(m_list.m_hWnd, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ListSend(m_list.m_hWnd, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
  }
  if (m_images) ImageList_Destroy(m_images);
  m_images = nullptr;
}

void CListPickerWnd::FillList() {
  HWND list = m_list.m_hWnd;
  const int selected = static_cast<int>(ListSend(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  ListSend(list, LVM_DELETEALLITEMS);
  DropImageList();
  const int count = m_choices ? m_choices->GetDisplayCount() : 0;

  if (count > 0) {
    // One strip of cells in display order, green where no icon covers it.
    SIZE cell = m_choices->GetIconSize();
    cell.cx = std::max<LONG>(cell.cx, ScaleX(16));
    cell.cy = std::max<LONG>(cell.cy, ScaleY(16));
    HDC screen = ::GetDC(nullptr);
    HBITMAP strip = ::CreateCompatibleBitmap(screen, cell.cx * count, cell.cy);
    HDC hdc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    if (strip && hdc) {
      HGDIOBJ old = ::SelectObject(hdc, strip);
      HBRUSH green = ::CreateSolidBrush(kGreen);
      RECT all = {0, 0, cell.cx * count, cell.cy};
      ::FillRect(hdc, &all, green);
      ::DeleteObject(green);
      for (int k = 0; k < count; ++k) {
        CKeyedBitmap* icon = m_choices->GetIcon(m_choices->GetDisplayAt(k));
        if (!icon || !icon->IsLoaded()) continue;
        const SIZE size = icon->GetSize();
        const COLORREF key = icon->GetKeyColor();
        icon->SetKeyColor(kGreen);
        icon->DrawTransparent(nullptr, k * cell.cx + (cell.cx - size.cx) / 2, (cell.cy - size.cy) / 2, hdc);
        icon->SetKeyColor(key);
        icon->ReleaseDC();
      }
      ::SelectObject(hdc, old);
      m_images = ImageList_Create(cell.cx, cell.cy, ILC_COLOR24 | ILC_MASK, count, 0);
      if (m_images) {
        ImageList_AddMasked(m_images, strip, kGreen);
        ListSend(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_images));
        ListSend(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(m_images));
      }
    }
    if (hdc) ::DeleteDC(hdc);
    if (strip) ::DeleteObject(strip);
  }

  // The categories of the item first, ticked; then the others.
  int row = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (int k = 0; k < count; ++k) {
      const int index = m_choices->GetDisplayAt(k);
      if (index < 0) continue;
      const bool initial = m_initial.Test(index) == CBitSet::IsSet;
      if (initial != (pass == 0)) continue;
      const CString name = m_choices->GetName(index);
      LVITEMW item = {};
      item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
      item.iItem = row;
      item.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(name));
      item.iImage = k;
      item.lParam = index;
      const int at = static_cast<int>(ListSend(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
      if (at < 0) continue;
      SetTick(list, at, pass == 0);
      ++row;
    }
  }
  if (row > 0) SelectRow(list, selected >= 0 && selected < row ? selected : 0);
  RECT client;
  ::GetClientRect(list, &client);
  ListSend(list, LVM_SETCOLUMNWIDTH, 0, client.right - client.left);
}

void CListPickerWnd::FocusList() {
  HWND list = m_list.m_hWnd;
  ::SetFocus(list);
  if (static_cast<int>(ListSend(list, LVM_GETSELECTIONMARK)) < 0) SelectRow(list, 0);
  GetRoot().OnVirtualMessage(POPUP_FOCUS_CLOSE_CODE);
}

BOOL CListPickerWnd::OnListNotify(NMHDR* header, LRESULT& result) {
  if (static_cast<int>(header->code) == kAnswerOneCode) {
    result = 1;
    return TRUE;
  }
  if (header->code != LVN_KEYDOWN) return FALSE;
  HWND list = m_list.m_hWnd;
  switch (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey) {
    case VK_LEFT:
      m_unchanged = TRUE;
      // As the close key: the owner window hears that the popup closed.
      ::PostMessageW(m_hWnd, WM_CLOSE, GetPopupClosedMessageId(), 0);
      return TRUE;
    case VK_UP:
      if (static_cast<int>(ListSend(list, LVM_GETSELECTIONMARK)) == 0) {
        ListSend(list, LVM_SETSELECTIONMARK, 0, -1);
        ::SetFocus(m_hWnd);
      }
      return TRUE;
    case VK_RIGHT:
      ::SetFocus(m_hWnd);
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL CListPickerWnd::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                          DWORD mapId) {
  if (mapId == 0) {
    if (message == WM_NOTIFY && lParam) {
      NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
      result = 0;
      if (header->hwndFrom == m_list.m_hWnd && m_list.m_hWnd && OnListNotify(header, result)) return TRUE;
    }
    if (message == WM_KEYDOWN && wParam == VK_DOWN && GetRowCount() > 0 && ::GetFocus() != m_list.m_hWnd) {
      FocusList();
      result = 0;
      return TRUE;
    }
    // The owner takes the activation back as the popup goes, as after a dialog.
    if (message == WM_CLOSE) EnableOwner();
  }
  return CPopupWindow::ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId);
}

void CListPickerWnd::OnPopupDestroy() {
  HWND list = m_list.m_hWnd;
  m_ticked.Clear();
  const int rows = GetRowCount();
  for (int row = 0; row < rows; ++row) {
    if (!IsTicked(list, row)) continue;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (ListSend(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) m_ticked.Set(static_cast<int>(item.lParam));
  }
  if (SameSet(m_ticked, m_initial)) {
    m_unchanged = TRUE;
    m_result.Empty();
  } else {
    m_result = m_choices ? m_choices->BuildNamesText(m_ticked) : CString();
  }
  DropImageList();
  if (list) {
    m_list.UnsubclassWindow(TRUE);
    ::DestroyWindow(list);
  }
  m_list.m_hWnd = nullptr;
}

BOOL CListPickerWnd::CListHook::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                     LRESULT& result, DWORD mapId) {
  if (mapId != 0) return FALSE;
  result = 0;
  switch (message) {
    case WM_LBUTTONDOWN: {
      // Pocket PC 5 devices leave taps to the list view.
      if (IsPocketPCVersion5()) return FALSE;
      LVHITTESTINFO hit = {};
      hit.pt.x = GET_X_LPARAM(lParam);
      hit.pt.y = GET_Y_LPARAM(lParam);
      const int row = static_cast<int>(ListSend(hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      // A tap on the name selects; only the box itself toggles the tick.
      if (row < 0 || !(hit.flags & LVHT_ONITEM) || hit.flags == LVHT_ONITEMSTATEICON) return FALSE;
      SelectRow(hWnd, row);
      return TRUE;
    }
    case WM_KEYDOWN: {
      if (wParam != VK_RETURN || IsPocketPC()) return FALSE;
      const DWORD extended = static_cast<DWORD>(ListSend(hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE));
      const int mark = static_cast<int>(ListSend(hWnd, LVM_GETSELECTIONMARK));
      if (!(extended & LVS_EX_CHECKBOXES) || mark < 0) return FALSE;
      SetTick(hWnd, mark, !IsTicked(hWnd, mark));
      return TRUE;
    }
    case WM_LBUTTONDBLCLK:
      SplitDoubleTap(hWnd, wParam, lParam);
      return TRUE;
    default:
      return FALSE;
  }
}
