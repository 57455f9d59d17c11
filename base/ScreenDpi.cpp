#include "base/ScreenDpi.h"

namespace {

int g_dpiX = 0;
int g_dpiY = 0;

int Scale(int value, int dpi) {
  int scaled = ((value < 0 ? -value : value) * dpi + 48) / 96;
  return value < 0 ? -scaled : scaled;
}

}  // namespace

void InitScreenDpi() {
  if (g_dpiX) return;
  HDC screen = GetDC(nullptr);
  if (!screen) return;
  g_dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  g_dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
}

void SetScreenDpi(int dpiX, int dpiY) {
  g_dpiX = dpiX;
  g_dpiY = dpiY;
}

int GetScreenDpiX() {
  InitScreenDpi();
  return g_dpiX;
}

int GetScreenDpiY() {
  InitScreenDpi();
  return g_dpiY;
}

int ScaleX(int value) { return Scale(value, GetScreenDpiX()); }
int ScaleY(int value) { return Scale(value, GetScreenDpiY()); }

BOOL SetWindowHeightScaled(HWND window, int logicalHeight) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return FALSE;
  // The cap is in pixels of this screen: comparing the pixel height with the
  // logical height would make a window on a high-dpi screen taller, not shorter.
  const int height = ScaleY(logicalHeight);
  if (rect.bottom - rect.top <= height) return TRUE;
  return SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, height,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
