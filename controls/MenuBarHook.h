// The shell's open menu closes on the Left key while a popup shows it: the menu
// window is subclassed for the time it lives.
#pragma once
#include <windows.h>

#include "platform/windowlib/WindowImpl.h"

class CMenuBarHook : public CWindowThunk {
 public:
  BEGIN_MSG_MAP(CMenuBarHook)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
  END_MSG_MAP()

  // The window is gone: so is the hook.
  void OnFinalMessage(HWND) override { delete this; }

 private:
  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
};

// Hooks the open menu (the window of class "MNU"); not on a Pocket PC of system
// version 5 or later, whose menus close on Left by themselves. Whether a hook was made.
BOOL HookMenuBarKeys();
