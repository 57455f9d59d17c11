// CPopupTracker: the nested message loop that runs while the colour button's grid is
// open. A tap outside closes the grid (that tap is swallowed), Enter on the grid
// chooses, Escape or OK/Cancel elsewhere closes it. A WM_QUIT that arrives while it
// runs ends it and is posted again, so the program's own loop still sees it.
#pragma once
#include <windows.h>

class CPopupTracker {
 public:
  static constexpr UINT_PTR kTimerId = 0x1234ABCD;

  // 1 when a value was chosen (Enter on the popup), else 0. The popup is hidden
  // when this returns.
  int Track(HWND popup);
  // Ends the loop from inside (the popup's own code).
  void SetDone(int result) {
    m_result = result;
    m_done = TRUE;
  }

 private:
  BOOL m_done = FALSE;
  int m_result = 0;
};
