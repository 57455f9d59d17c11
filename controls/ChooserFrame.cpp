#include "controls/ChooserFrame.h"

#include <algorithm>

#include "base/ScreenDpi.h"
#include "platform/aygshell/aygshell.h"

BOOL CChooserFrame::ProcessWindowMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                         DWORD) {
  switch (message) {
    case WM_SETTINGCHANGE: {
      if (wParam != SPI_SETSIPINFO) return FALSE;
      result = 0;
      SIPINFO sip = {};
      sip.cbSize = sizeof(sip);
      if (!SipGetInfo(&sip)) return TRUE;
      RECT own{};
      ::GetWindowRect(dialog, &own);
      int width = own.right - own.left;
      if (m_fitWidth) width = std::min<int>(width, sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left);
      const int height = std::min<int>(own.bottom - own.top, sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top);
      FitList(dialog, width, height);
      return TRUE;
    }
    case WM_SIZE:
      result = 0;
      FitList(dialog, LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (!header || static_cast<int>(header->code) != kChooserQueryNotification) return FALSE;
      result = 1;
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void CChooserFrame::FitList(HWND dialog, int width, int height) const {
  HWND list = ::GetDlgItem(dialog, m_listId);
  if (!width || !height || !list) return;
  POINT corner = {0, 0};
  if (m_fromCorner) {
    RECT at{};
    ::GetWindowRect(list, &at);
    corner = {at.left, at.top};
    ::ScreenToClient(dialog, &corner);
  }
  ::SetWindowPos(list, nullptr, 0, 0, width - corner.x, std::max<int>(0, height - corner.y - ScaleY(8)),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
