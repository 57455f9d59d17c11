// CKeyboardHook: a low-level keyboard hook that hands the arrow keys to the panel
// window (as WM_HOOKED_ARROW_KEY) while the desktop is in front. The hook functions
// are bound by name from "coredll.dll", which takes the device's hook number. A key
// is never swallowed: every call is passed on.
#pragma once
#include <windows.h>

// Posted to the target window: wParam the virtual-key code, lParam 0.
const UINT WM_HOOKED_ARROW_KEY = 0x3439;

class CKeyboardHook {
 public:
  CKeyboardHook();
  virtual ~CKeyboardHook();
  CKeyboardHook(const CKeyboardHook&) = delete;
  CKeyboardHook& operator=(const CKeyboardHook&) = delete;

  // The hook of the process.
  static CKeyboardHook& Instance();

  // Removes a previous hook, then hooks for target. FALSE when the hook functions
  // are missing or the system refused.
  BOOL Install(HWND target);
  void Uninstall();
  BOOL IsInstalled() const { return m_hHook != nullptr; }

  // The hook procedure: goes to the installed hook object.
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

 protected:
  // Whether the desktop window is the foreground window.
  virtual BOOL IsDesktopInFront();

 private:
  LRESULT OnHook(int code, WPARAM wParam, LPARAM lParam);

  decltype(&SetWindowsHookExW) m_pSetWindowsHookEx;
  decltype(&CallNextHookEx) m_pCallNextHookEx;
  decltype(&UnhookWindowsHookEx) m_pUnhookWindowsHookEx;
  HHOOK m_hHook;
  HWND m_hTarget;
};
