#include "platform/aygshell/aygshell.h"
#include "platform/aygshell/ShellInternal.h"

namespace {

// Sizes a top-level dialog to the work area (between the task bar and the menu bar),
// down to the screen's bottom when it asks for no menu bar and has none, and for a
// dialog that only fits above the input panel, to the panel's top when it is up.
void SizeToWorkArea(HWND dialog, bool aboveInputPanel, bool overMenuBar) {
  RECT area = ayg::WorkArea();
  HWND bar = SHFindMenuBar(dialog);
  if (bar && IsWindowVisible(bar)) {
    const RECT place = ayg::MenuBarRect();
    SetWindowPos(bar, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (place.top < area.bottom) area.bottom = place.top;
  } else if (overMenuBar) {
    area.bottom = ayg::ScreenRect().bottom;
  }
  if (aboveInputPanel) {
    SIPINFO sip = {};
    sip.cbSize = sizeof(sip);
    if (SipGetInfo(&sip) && (sip.fdwFlags & SIPF_ON) && sip.rcSipRect.top < area.bottom)
      area.bottom = sip.rcSipRect.top;
  }
  SetPropW(dialog, ayg::kFullScreenProp, reinterpret_cast<HANDLE>(1));
  // The device shows a full-screen dialog's title in its task bar: the dialog itself has
  // no caption or frame, and its client area is the whole window.
  SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) & ~(WS_CAPTION | WS_THICKFRAME));
  SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                    GetWindowLongPtrW(dialog, GWL_EXSTYLE) & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
  SetWindowPos(dialog, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

AYG_API BOOL WINAPI SHInitDialog(SHINITDLGINFO* info) {
  if (!info || !IsWindow(info->hDlg)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
  const DWORD flags = info->dwFlags;
  if (flags & SHIDIF_SIPDOWN) ayg::LowerInputPanel();
  if (flags & SHIDIF_EMPTYMENU) {
    SHMENUBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.hwndParent = info->hDlg;
    bar.dwFlags = SHCMBF_EMPTYBAR;
    SHCreateMenuBar(&bar);
  }
  // Property pages live inside their sheet, which is sized on its own.
  const bool child = (GetWindowLongPtrW(info->hDlg, GWL_STYLE) & WS_CHILD) != 0;
  if (!child && (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)))
    SizeToWorkArea(info->hDlg, (flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) == 0,
                   (flags & SHIDIF_FULLSCREENNOMENUBAR) != 0);
  if (flags & SHIDIF_DONEBUTTON) SHDoneButton(info->hDlg, SHDB_SHOW);
  return TRUE;
}

// The title bar's OK button is drawn by the device's task bar; there is none here, so
// only the arguments are checked.
AYG_API BOOL WINAPI SHDoneButton(HWND window, DWORD state) {
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (state != SHDB_SHOW && state != SHDB_HIDE && state != SHDB_SHOWCANCEL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}
