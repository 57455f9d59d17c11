#include "settings/pages/CategoryListCtrl.h"

#include "controls/WindowUtils.h"

CCategoryListCtrl::~CCategoryListCtrl() {
  if (m_hWnd) UnsubclassWindow(TRUE);
}

LRESULT CCategoryListCtrl::OnDoubleTap(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  SplitDoubleTap(m_hWnd, wParam, lParam);
  return 0;
}
