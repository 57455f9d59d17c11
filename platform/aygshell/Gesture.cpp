#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/ShellInternal.h"

#include <cstdlib>

namespace {

volatile LONG g_mode = AYG_GESTURE_REAL;

// Waits while the stylus stays down near the press point: true when it was held for
// the whole delay, false when it was lifted or dragged away. The lift or the drag
// stays queued for the caller's own handling.
bool StylusHeld(HWND client, POINT down, DWORD delay) {
  if (!(GetKeyState(VK_LBUTTON) & 0x8000)) return false;
  POINT origin = down;
  ClientToScreen(client, &origin);
  const int slackX = GetSystemMetrics(SM_CXDRAG), slackY = GetSystemMetrics(SM_CYDRAG);
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)) return false;
    while (PeekMessageW(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE)) {
      POINT at = msg.pt;
      if (std::abs(at.x - origin.x) > slackX || std::abs(at.y - origin.y) > slackY) return false;
      PeekMessageW(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
    }
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= delay) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, delay - elapsed, QS_MOUSE);
  }
}

}  // namespace

AYG_API void WINAPI AygTestSetGestureMode(DWORD mode) { InterlockedExchange(&g_mode, static_cast<LONG>(mode)); }

AYG_API DWORD WINAPI SHRecognizeGesture(SHRGINFO* info) {
  if (!info || info->cbSize != sizeof(SHRGINFO) || !IsWindow(info->hwndClient)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  bool held;
  switch (g_mode) {
    case AYG_GESTURE_HOLD: held = true; break;
    case AYG_GESTURE_TAP: held = false; break;
    default:
      held = StylusHeld(info->hwndClient, info->ptDown, (info->dwFlags & SHRG_LONGDELAY) ? 1000 : 500);
      break;
  }
  if (!held) return 0;
  if (info->dwFlags & SHRG_RETURNCMD) return GN_CONTEXTMENU;

  NMRGINFO note = {};
  note.hdr.hwndFrom = info->hwndClient;
  note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(info->hwndClient));
  note.hdr.code = GN_CONTEXTMENU;
  note.ptAction = info->ptDown;
  ClientToScreen(info->hwndClient, &note.ptAction);
  HWND target = (info->dwFlags & SHRG_NOTIFYPARENT) ? GetParent(info->hwndClient) : info->hwndClient;
  if (!target) return 0;
  return static_cast<DWORD>(SendMessageW(target, WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note)));
}
