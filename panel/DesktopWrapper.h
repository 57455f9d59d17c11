// CDesktopWrapper: subclasses the Today screen's top-level window so that the keys
// typed while it has the focus reach the panel, and so that chosen messages can be
// swallowed before they reach it. It steps aside whenever the Today screen reloads
// its items, closes or is destroyed.
//
// The wrapper finds itself through a window property of its own: the host's
// GWLP_USERDATA is the host's and is never touched.
#pragma once
#include <windows.h>

#include <vector>

class CDesktopWrapper {
 public:
  // The process's one wrapper.
  static CDesktopWrapper& Instance();

  CDesktopWrapper();
  ~CDesktopWrapper();
  CDesktopWrapper(const CDesktopWrapper&) = delete;
  CDesktopWrapper& operator=(const CDesktopWrapper&) = delete;

  // The window key messages are posted to (null: none are).
  void SetTarget(HWND target) { m_target = target; }
  HWND GetTarget() const { return m_target; }
  // Wraps window (any previous one is let go first); special is the panel's tab-host
  // mode. FALSE, and detached, when the window does not exist or cannot be wrapped.
  BOOL Attach(HWND window, BOOL special);
  void Detach();
  HWND GetWrappedWindow() const { return m_window; }

  // Returns 1; a message already blocked is not added twice.
  BOOL AddBlockedMessage(UINT message);
  // Whether it was blocked.
  BOOL RemoveBlockedMessage(UINT message);
  BOOL IsBlocked(UINT message) const;
  // Posts "CDesktopWrapper_Close" to the wrapped window.
  void PostClose();
  // A plain message loop until WM_QUIT; 0.
  static int RunMessageLoop();

 private:
  static LRESULT CALLBACK WrapperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::vector<UINT> m_blocked;
  HWND m_target;
  UINT m_closeMessage;
  HWND m_window;
  WNDPROC m_previous;
  BOOL m_special;
};

// The start-up health values ("AHR_State", "AHR_Counter"). Checking clears the state
// before it reads it back, so the counting of unhealthy starts (which would disable
// the Today item) stays disarmed; TRUE when it is armed.
BOOL CheckStartupHealth();
BOOL IsStartupHealthArmed();
// The healthy-run mark (a scroll bar's first drag): while armed, writes the counter 0
// and the state 1 and disarms the check for the rest of the run.
void MarkStartupHealthy();
