#include "platform/windowlib/MessageLoop.h"

int CMessageLoop::Run() {
  bool idle = true;
  int idleCount = 0;
  for (;;) {
    while (idle && !::PeekMessageW(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    BOOL got = ::GetMessageW(&m_msg, nullptr, 0, 0);
    if (got == -1) return -1;
    if (!got) break;
    if (!PreTranslateMessage(&m_msg)) {
      ::TranslateMessage(&m_msg);
      ::DispatchMessageW(&m_msg);
    }
    if (IsIdleMessage(&m_msg)) {
      idle = true;
      idleCount = 0;
    }
  }
  return static_cast<int>(m_msg.wParam);
}

BOOL CMessageLoop::PreTranslateMessage(MSG* pMsg) {
  for (int i = m_filters.GetSize() - 1; i >= 0; --i) {
    if (i >= m_filters.GetSize()) continue;  // a filter removed others
    if (m_filters[i]->PreTranslateMessage(pMsg)) return TRUE;
  }
  return FALSE;
}

BOOL CMessageLoop::OnIdle(int /*idleCount*/) {
  for (int i = 0; i < m_idleHandlers.GetSize(); ++i) m_idleHandlers[i]->OnIdle();
  return FALSE;
}

BOOL CMessageLoop::IsIdleMessage(const MSG* pMsg) {
  switch (pMsg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118:  // the system's caret-blink timer
      return FALSE;
    default:
      return TRUE;
  }
}
