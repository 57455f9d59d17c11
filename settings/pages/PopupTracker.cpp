#include "settings/pages/PopupTracker.h"

int CPopupTracker::Track(HWND popup) {
  m_done = FALSE;
  m_result = 0;
  if (!::IsWindow(popup)) return 0;
  ::UpdateWindow(popup);
  ::SetWindowPos(popup, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::ShowWindow(popup, SW_SHOW);
  ::SetFocus(popup);
  ::SetTimer(popup, kTimerId, 100, nullptr);
  BOOL openingTapDown = (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;

  MSG msg;
  BOOL quit = FALSE;
  WPARAM quitCode = 0;
  while (!m_done) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = TRUE;
      quitCode = msg.wParam;
      break;
    }
    if (got == -1) break;
    if (msg.hwnd != popup && !::IsChild(popup, msg.hwnd)) {
      if (msg.message == WM_LBUTTONDOWN) {
        ::ShowWindow(popup, SW_HIDE);
        continue;
      }
      if (msg.message == WM_LBUTTONUP) {
        if (openingTapDown) {
          openingTapDown = FALSE;
        } else {
          break;
        }
      }
      if (msg.message == WM_COMMAND && (LOWORD(msg.wParam) == IDOK || LOWORD(msg.wParam) == IDCANCEL)) {
        ::PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        break;
      }
    } else {
      if (msg.message == WM_TIMER && msg.wParam == kTimerId) continue;
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        m_result = 1;
        break;
      }
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ::KillTimer(popup, kTimerId);
  ::ShowWindow(popup, SW_HIDE);
  // The quit belongs to the loop outside this one.
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
  return m_result;
}
