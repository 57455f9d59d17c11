// Logical pixels: every size in the programs is given at 96 pixels per inch and
// scaled to the screen as (value * dpi + 48) / 96, separately for x and y, with
// the screen's dpi read once per process.
#pragma once
#include <windows.h>

// Reads LOGPIXELSX and LOGPIXELSY of the screen once (while the x value is 0).
void InitScreenDpi();
// Sets both values, as a program that already knows them does; 0, 0 makes the
// next InitScreenDpi read the screen again.
void SetScreenDpi(int dpiX, int dpiY);
// The cached values (after InitScreenDpi; the first call reads them).
int GetScreenDpiX();
int GetScreenDpiY();

// A logical size in pixels of the screen, the sign kept: (|v| * dpi + 48) / 96.
int ScaleX(int value);
int ScaleY(int value);

// Caps a window's height at a logical height: when the window is higher than that
// height in pixels, it is made exactly that high, keeping its width, position and
// Z order. FALSE when the window could not be measured or sized.
BOOL SetWindowHeightScaled(HWND window, int logicalHeight);
