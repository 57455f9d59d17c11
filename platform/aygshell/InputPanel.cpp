#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/ShellInternal.h"

namespace ayg {
namespace {

// The panel's own flags (up, completion off, ...); its rectangles follow from them.
SRWLOCK g_lock = SRWLOCK_INIT;
DWORD g_flags = SIPF_DOCKED;

// The panel is docked on the menu bar, as wide as the work area, 80 logical pixels high.
void Describe(DWORD flags, SIPINFO* info) {
  RECT work = WorkArea();
  int bottom = MenuBarRect().top;
  info->fdwFlags = flags;
  SetRect(&info->rcSipRect, work.left, bottom - ScaleY(80), work.right, bottom);
  info->rcVisibleDesktop = work;
  info->rcVisibleDesktop.bottom = (flags & SIPF_ON) ? info->rcSipRect.top : bottom;
  info->dwImDataSize = 0;
  info->pvImData = nullptr;
}

// Changes the flags; top-level windows hear of it when the panel went up or down.
void SetFlags(DWORD flags) {
  bool moved;
  {
    Locked lock(g_lock);
    moved = ((g_flags ^ flags) & SIPF_ON) != 0;
    g_flags = flags;
  }
  if (moved) SendToTopLevelWindows(WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
}

DWORD Flags() {
  Locked lock(g_lock);
  return g_flags;
}

}  // namespace

void LowerInputPanel() { SetFlags(Flags() & ~SIPF_ON); }

}  // namespace ayg

AYG_API BOOL WINAPI SipGetInfo(SIPINFO* info) {
  if (!info || info->cbSize != sizeof(SIPINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ayg::Describe(ayg::Flags(), info);
  return TRUE;
}

AYG_API BOOL WINAPI SHSipInfo(UINT action, UINT, void* param, UINT) {
  auto* info = static_cast<SIPINFO*>(param);
  switch (action) {
    case SPI_GETSIPINFO:
      return SipGetInfo(info);
    case SPI_SETSIPINFO:
      if (!info || info->cbSize != sizeof(SIPINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      ayg::SetFlags(info->fdwFlags);
      return TRUE;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

AYG_API BOOL WINAPI AygTestShowInputPanel(BOOL up) {
  DWORD flags = ayg::Flags();
  ayg::SetFlags(up ? (flags | SIPF_ON) : (flags & ~SIPF_ON));
  return TRUE;
}
