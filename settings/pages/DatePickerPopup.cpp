#include "settings/pages/DatePickerPopup.h"

#include <windowsx.h>

LRESULT CDatePickerPopup::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != VK_RETURN) {
    handled = FALSE;
    return 0;
  }
  ::ReleaseCapture();
  ShowWindow(SW_HIDE);
  const int id = static_cast<int>(::GetWindowLongW(m_hWnd, GWL_ID));
  DatePickedNotify notify = {};
  ::SendMessageW(m_hWnd, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&notify.date));
  notify.header.hwndFrom = m_hWnd;
  notify.header.idFrom = static_cast<UINT_PTR>(id);
  notify.header.code = kDatePickedCode;
  ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&notify));
  return 0;
}

void CDatePickerPopup::Close() {
  ::ReleaseCapture();
  ShowWindow(SW_HIDE);
  const int id = static_cast<int>(::GetWindowLongW(m_hWnd, GWL_ID));
  NMHDR header = {m_hWnd, static_cast<UINT_PTR>(id), kDatePickerClosedCode};
  ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
}

LRESULT CDatePickerPopup::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled) {
  Close();
  handled = FALSE;  // the calendar's own handling runs too
  return 0;
}

LRESULT CDatePickerPopup::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  if (x < 0 || y < 0 || x > client.right || y > client.bottom) Close();
  handled = FALSE;
  return 0;
}
