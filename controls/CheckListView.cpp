#include "controls/CheckListView.h"

#include <windowsx.h>
// The message-cracker header's macro of the same name hides the method.
#undef SubclassWindow

#include <memory>
#include <new>

namespace {

const DWORD kExtendedStyle = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;

}  // namespace

CCheckListView::~CCheckListView() {
  if (m_hWnd) UnsubclassWindow(TRUE);
}

BOOL CCheckListView::Attach(HWND listView) {
  if (!SubclassWindow(listView)) return FALSE;
  ::SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, kExtendedStyle, kExtendedStyle);
  return TRUE;
}

int CCheckListView::GetItemText(int item, int subItem, CString& text) {
  text.Empty();
  for (int size = 256;; size *= 2) {
    std::unique_ptr<WCHAR[]> buffer(new (std::nothrow) WCHAR[size]);
    if (!buffer) return 0;
    LVITEMW request = {};
    request.iSubItem = subItem;
    request.pszText = buffer.get();
    request.cchTextMax = size;
    const int length = static_cast<int>(
        ::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request)));
    // A text that filled the buffer may have been cut: try again twice as big.
    if (length < size - 1) {
      text = buffer.get();
      return length;
    }
  }
}

int CCheckListView::InsertItem(int index, LPCWSTR text) {
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<LPWSTR>(text ? text : L"");
  return static_cast<int>(::SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void CCheckListView::ApplyToSelection(int item) {
  if (item < 0 || !ListView_GetItemState(m_hWnd, item, LVIS_SELECTED)) return;
  const BOOL checked = !ListView_GetCheckState(m_hWnd, item);
  for (int i = ListView_GetNextItem(m_hWnd, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(m_hWnd, i, LVNI_SELECTED))
    if (i != item) ListView_SetCheckState(m_hWnd, i, checked);
}

void CCheckListView::OnToggle(int item) {
  if (GetKeyState(VK_CONTROL) < 0) return;
  ApplyToSelection(item);
}

BOOL CCheckListView::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                          DWORD mapId) {
  if (mapId != 0) return FALSE;
  switch (message) {
    case WM_CREATE:
      result = DefWindowProc(message, wParam, lParam);
      ::SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, kExtendedStyle, kExtendedStyle);
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      LVHITTESTINFO hit = {};
      hit.pt.x = GET_X_LPARAM(lParam);
      hit.pt.y = GET_Y_LPARAM(lParam);
      const int item = static_cast<int>(::SendMessageW(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (item >= 0 && (hit.flags & LVHT_ONITEMSTATEICON)) OnToggle(item);
      return FALSE;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) OnToggle(ListView_GetNextItem(m_hWnd, -1, LVNI_FOCUSED));
      return FALSE;
    default:
      return FALSE;
  }
}
