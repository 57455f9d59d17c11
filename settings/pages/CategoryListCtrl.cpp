#include "settings/pages/CategoryListCtrl.h"

CCategoryListCtrl::~CCategoryListCtrl() {
  if (m_hWnd) UnsubclassWindow(TRUE);
}

LRESULT CCategoryListCtrl::OnDoubleTap(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  ::PostMessageW(m_hWnd, WM_LBUTTONDOWN, wParam, lParam);
  ::PostMessageW(m_hWnd, WM_LBUTTONUP, wParam & ~static_cast<WPARAM>(MK_LBUTTON), lParam);
  return 0;
}
