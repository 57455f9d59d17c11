#include "tabs/notes/tests/NoteTestSupport.h"

namespace notetest {

COwnerWindow::COwnerWindow() {
  static const ATOM atom = [] {
    WNDCLASSW info = {};
    info.lpfnWndProc = DefWindowProcW;
    info.hInstance = GetModuleHandleW(nullptr);
    info.lpszClassName = L"NoteTestOwner";
    return RegisterClassW(&info);
  }();
  m_hwnd = CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

COwnerWindow::~COwnerWindow() {
  if (m_hwnd) DestroyWindow(m_hwnd);
}

std::vector<std::pair<UINT, WPARAM>> COwnerWindow::TakeKeys() {
  std::vector<std::pair<UINT, WPARAM>> keys;
  MSG msg;
  while (PeekMessageW(&msg, m_hwnd, WM_KEYDOWN, WM_KEYUP, PM_REMOVE)) keys.emplace_back(msg.message, msg.wParam);
  return keys;
}

}  // namespace notetest
