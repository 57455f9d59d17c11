// What the shell's families share inside the library.
#pragma once
#include <windows.h>

namespace ayg {

// Holds a slim lock for a scope.
class Locked {
 public:
  explicit Locked(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~Locked() { ReleaseSRWLockExclusive(&lock_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  SRWLOCK& lock_;
};

// This library's module, for the window classes it registers.
HINSTANCE Module();

// The screen's vertical dots per inch.
int ScreenDpiY();

// Logical pixels (96 per inch) to device pixels, vertically.
int ScaleY(int logical);

// The device's whole screen.
RECT ScreenRect();

// The screen area that programs' windows may take: below the task bar, above the menu bar.
RECT WorkArea();

// Height of a menu bar.
int MenuBarHeight();

// Where every menu bar stands: along the screen's bottom, below the work area.
RECT MenuBarRect();

// The device tells every top-level window of a system change; here the state lives in
// each process, so only that process's windows hear of it.
void SendToTopLevelWindows(UINT message, WPARAM wParam, LPARAM lParam);

// Input panel state shared with dialog initialisation.
void LowerInputPanel();

// Marks a dialog that SHInitDialog sized to the work area: a menu bar made for it
// later takes its place at the dialog's bottom edge.
constexpr wchar_t kFullScreenProp[] = L"AygFullScreen";

}  // namespace ayg
