#pragma once
// Small pictures built in code for the graphics tests.
#include "graphics/Dib.h"

#include <cstring>
#include <functional>
#include <vector>

namespace testimg {

inline void Put32(std::vector<BYTE>& b, size_t at, DWORD v) {
  for (int i = 0; i < 4; i++) b[at + i] = BYTE(v >> (8 * i));
}
inline void Put16(std::vector<BYTE>& b, size_t at, WORD v) {
  b[at] = BYTE(v);
  b[at + 1] = BYTE(v >> 8);
}

// .bmp bytes of a 24-bit picture; `colour(x, y)` gives 0x00BBGGRR with y from the top.
inline std::vector<BYTE> MakeBmp(int width, int height, bool topDown, const std::function<COLORREF(int, int)>& colour) {
  const int stride = CDib::StrideFor(width);
  std::vector<BYTE> b(54 + size_t(stride) * height, 0);
  Put16(b, 0, 0x4D42);
  Put32(b, 2, DWORD(b.size()));
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, DWORD(width));
  Put32(b, 22, DWORD(topDown ? -height : height));
  Put16(b, 26, 1);
  Put16(b, 28, 24);
  for (int y = 0; y < height; y++) {
    const int fileRow = topDown ? y : height - 1 - y;
    for (int x = 0; x < width; x++) {
      BYTE* p = &b[54 + size_t(fileRow) * stride + size_t(x) * 3];
      const COLORREF c = colour(x, y);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  }
  return b;
}

inline COLORREF Pattern(int x, int y) { return RGB(x * 40 + 10, y * 50 + 20, (x + y) * 7); }

inline COLORREF PixelOf(const CDib& dib, int x, int y) {
  const BYTE* p = dib.Pixel(x, y);
  return RGB(p[2], p[1], p[0]);
}

inline void SetPixel24(CDib& dib, int x, int y, COLORREF c) {
  BYTE* p = dib.Pixel(x, y);
  p[0] = GetBValue(c);
  p[1] = GetGValue(c);
  p[2] = GetRValue(c);
}

// A DIB section whose pixels come from `colour`.
inline bool MakeDib(CDib& dib, int width, int height, const std::function<COLORREF(int, int)>& colour) {
  if (!dib.Create(width, height)) return false;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) SetPixel24(dib, x, y, colour(x, y));
  return true;
}

}  // namespace testimg
