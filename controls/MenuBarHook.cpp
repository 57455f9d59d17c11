#include "controls/MenuBarHook.h"

#include "base/Platform.h"
#include "platform/aygshell/CeControls.h"

LRESULT CMenuBarHook::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam == VK_LEFT) ::PostMessageW(m_hWnd, WM_CANCELMODE, 0, 0);
  // The menu still sees the key.
  bHandled = FALSE;
  return 0;
}

BOOL HookMenuBarKeys() {
  if (IsPocketPC()) return FALSE;
  HWND menu = FindCeWindow(CE_MENU_CLASSNAME, nullptr);
  if (!menu) return FALSE;
  CMenuBarHook* hook = new CMenuBarHook;
  if (!hook->SubclassWindow(menu)) {
    delete hook;
    return FALSE;
  }
  return TRUE;
}
