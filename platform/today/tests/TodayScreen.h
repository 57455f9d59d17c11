// The Today screen as drawn, for tests that read what the device shows: its pixels
// (0x00RRGGBB, rows from the top) and the small questions tests ask of them.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/today/TodayHost.h"

// The height of the first Today item's window, 0 without one. The screen first gives an
// item the height it last stored (120 pixels the first time) and the item grows to its
// rows' once it has measured them: tests that read the screen wait for that.
inline int TodayItemHeight(const CTodayHost& host) {
  RECT r = {};
  HWND item = host.ItemCount() ? host.ItemAt(0).record->hwndCustom : nullptr;
  return item && GetWindowRect(item, &r) ? r.bottom - r.top : 0;
}

struct TodayScreen {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;

  // The host's screen now; empty when it cannot be captured.
  static TodayScreen Shoot(const CTodayHost& host) {
    TodayScreen screen;
    HBITMAP bitmap = host.Capture();
    DIBSECTION dib = {};
    if (bitmap && GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits) {
      screen.width = dib.dsBm.bmWidth;
      screen.height = dib.dsBm.bmHeight < 0 ? -dib.dsBm.bmHeight : dib.dsBm.bmHeight;
      const DWORD* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
      screen.pixels.assign(bits, bits + static_cast<size_t>(screen.width) * screen.height);
    }
    if (bitmap) DeleteObject(bitmap);
    return screen;
  }

  COLORREF At(int x, int y) const {
    const DWORD p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  bool Has(COLORREF colour) const { return Count(colour, 0, width) > 0; }
  // Pixels of that colour in the columns [left, right).
  int Count(COLORREF colour, int left, int right) const {
    int count = 0;
    for (int y = 0; y < height; ++y)
      for (int x = left < 0 ? 0 : left; x < right && x < width; ++x) count += At(x, y) == colour;
    return count;
  }
  // Pixels that differ from another screen's (all of them when the sizes differ).
  int Differences(const TodayScreen& other) const {
    if (other.pixels.size() != pixels.size()) return static_cast<int>(pixels.size());
    int count = 0;
    for (size_t i = 0; i < pixels.size(); ++i) count += (pixels[i] & 0xFFFFFF) != (other.pixels[i] & 0xFFFFFF);
    return count;
  }
  // The first box framed in that colour, from the left: a column of the colour whose
  // top and bottom rows run on in the colour as far as it is high.
  bool FindBox(COLORREF colour, RECT* box) const {
    for (int x = 0; x < width; ++x)
      for (int y = 0; y < height; ++y) {
        if (At(x, y) != colour) continue;
        int bottom = y;
        while (bottom + 1 < height && At(x, bottom + 1) == colour) ++bottom;
        const int side = bottom - y + 1;
        if (side < 5 || x + side > width) continue;
        bool framed = true;
        for (int k = 0; k < side && framed; ++k) framed = At(x + k, y) == colour && At(x + k, bottom) == colour;
        if (!framed) continue;
        *box = {x, y, x + side, bottom + 1};
        return true;
      }
    return false;
  }
  // The lines of dark text between top and bottom in the columns left to right: each
  // run of pixel rows holding a dark pixel is one (a selected row, light on dark, is
  // not counted); -1 when the area lies outside the screen.
  int TextLines(int top, int bottom, int left, int right) const {
    if (bottom > height || right > width) return -1;
    int lines = 0;
    bool inLine = false;
    for (int y = top; y < bottom; ++y) {
      bool dark = false;
      for (int x = left; x < right && !dark; ++x) {
        const COLORREF c = At(x, y);
        dark = GetRValue(c) < 0x70 && GetGValue(c) < 0x70 && GetBValue(c) < 0x70;
      }
      if (dark && !inLine) ++lines;
      inLine = dark;
    }
    return lines;
  }
  // A tick inside the box's frame, drawn in the frame's colour.
  bool Ticked(const RECT& box) const {
    const COLORREF frame = At(box.left, box.top);
    for (int y = box.top + 1; y < box.bottom - 1; ++y)
      for (int x = box.left + 1; x < box.right - 1; ++x)
        if (At(x, y) == frame) return true;
    return false;
  }
};
