// The device's screen as the library's own calls see it (Screen.cpp).
#pragma once
#include <windows.h>

namespace coredll {

// The device's dpi: the identity's, else the display's.
int DeviceDpi();
// The whole screen, from (0, 0).
RECT ScreenRect();
// Height of the task bar, and of the menu bar, in pixels.
int ShellBarHeight();
// The screen below the task bar and above the menu bar.
RECT WorkArea();

}  // namespace coredll
