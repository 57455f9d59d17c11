// Keeps a date picker that shows "no date" from handling the focus and keys
// itself: while it is marked empty it asks for no keys and ignores the focus.
#pragma once
#include <windows.h>

#include "platform/windowlib/WindowImpl.h"

class CEmptyDatePicker : public CWindowThunk {
 public:
  BEGIN_MSG_MAP(CEmptyDatePicker)
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  END_MSG_MAP()

  // The picker's "no date" mark (its user data 1).
  static BOOL IsMarkedEmpty(HWND picker);

 private:
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled);
};
