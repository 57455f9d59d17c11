// CTodayPanelBase: what the library asks of the panel that takes over the
// placeholder window. The placeholder makes the panel through MakeTodayPanel, lets
// it take the window (its procedure replaces the placeholder's, which it keeps for
// what it does not handle), then runs its create and first layout.
#pragma once
#include <windows.h>

class CTodayPanelBase {
 public:
  virtual ~CTodayPanelBase() = default;
  // Takes the window over; FALSE leaves it as it was.
  virtual BOOL Attach(HWND window) = 0;
  virtual HWND GetHwnd() const = 0;
  virtual LRESULT OnCreate() = 0;
  virtual LRESULT OnWindowPosChanged(WINDOWPOS* position) = 0;
  // The tab host's requests that arrive before the panel exists.
  virtual LRESULT OnActivateTab(WPARAM wParam, LPARAM lParam) = 0;
  virtual LRESULT OnSetCurrentPlugin(WPARAM wParam, LPARAM lParam) = 0;
  // True while the panel runs without the resource library.
  virtual BOOL IsResourcesMissing() const = 0;
};

// The panel for a placeholder's mode (0 Today, 1 tab host); null when none can be made.
CTodayPanelBase* MakeTodayPanel(int mode);
