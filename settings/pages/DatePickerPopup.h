// The month calendar that drops down under the Calendar common page's first-week
// box: Enter takes the selected date, a tap outside it or the focus leaving closes
// it without one. Either way the page hears of it as a notification.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/windowlib/WindowImpl.h"

// The page's notifications from the popup (the date's is the month calendar's own
// selection code on the desktop, with the same layout: the date follows the header).
const UINT kDatePickedCode = static_cast<UINT>(-746);
const UINT kDatePickerClosedCode = static_cast<UINT>(-745);

struct DatePickedNotify {
  NMHDR header;
  SYSTEMTIME date;
};

class CDatePickerPopup : public CWindowImpl<CDatePickerPopup> {
 public:
  BEGIN_MSG_MAP(CDatePickerPopup)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  END_MSG_MAP()

 private:
  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  // Capture released, hidden, the page told without a date.
  void Close();
};
