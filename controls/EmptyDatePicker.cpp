#include "controls/EmptyDatePicker.h"

BOOL CEmptyDatePicker::IsMarkedEmpty(HWND picker) {
  return picker && ::GetWindowLongPtrW(picker, GWLP_USERDATA) == 1;
}

LRESULT CEmptyDatePicker::OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (!IsMarkedEmpty(m_hWnd)) handled = FALSE;
  return 0;
}

LRESULT CEmptyDatePicker::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (!IsMarkedEmpty(m_hWnd)) handled = FALSE;
  return 0;
}
