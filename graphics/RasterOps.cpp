#include "graphics/RasterOps.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

const BYTE g_bgrBlack[3] = {0, 0, 0};
const BYTE g_bgrWhite[3] = {255, 255, 255};
const BYTE g_bgrGreen[3] = {0, 255, 0};
const BYTE g_bgrDarkGreen[3] = {0, 128, 0};
const BYTE g_bgrRed[3] = {0, 0, 255};
const BYTE g_bgrDarkRed[3] = {0, 0, 128};
const BYTE g_bgrBlue[3] = {255, 0, 0};
const BYTE g_bgrMagenta[3] = {255, 0, 255};

namespace {

const int kSkipBelow = 8;
const int kCopyAbove = 247;

inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline int Grey(const BYTE* p) { return (p[0] + p[1] + p[2]) / 3; }

struct Bgr {
  BYTE c[3];
  explicit Bgr(COLORREF colour) : c{GetBValue(colour), GetGValue(colour), GetRValue(colour)} {}
};

inline void Blend(BYTE* p, const BYTE* c, int a) {
  for (int i = 0; i < 3; i++) p[i] = BYTE((p[i] * (255 - a) + c[i] * a) / 255);
}

// The part of `rect` inside both the buffer and its bounds; false when empty.
bool ClipRect(const CDib& dib, const RECT& rect, RECT* out) {
  if (dib.IsEmpty()) return false;
  const RECT& b = dib.GetBounds();
  out->left = std::max({rect.left, b.left, 0L});
  out->top = std::max({rect.top, b.top, 0L});
  out->right = std::min({rect.right, b.right, LONG(dib.GetWidth())});
  out->bottom = std::min({rect.bottom, b.bottom, LONG(dib.GetHeight())});
  return out->left < out->right && out->top < out->bottom;
}

struct Origin {
  const CDib* dib;
  int x, y;
};

// Clips a blit to the destination's bounds and to every buffer it reads; a
// start cut off on one buffer moves the start on all of them. False when
// nothing is left.
bool ClipBlit(const CDib& dst, int& dx, int& dy, int& w, int& h, Origin* from, int count) {
  if (dst.IsEmpty()) return false;
  for (int i = 0; i < count; i++)
    if (from[i].dib->IsEmpty()) return false;
  const RECT& b = dst.GetBounds();
  const int left = std::max(0, int(b.left)), top = std::max(0, int(b.top));
  const int right = std::min(dst.GetWidth(), int(b.right)), bottom = std::min(dst.GetHeight(), int(b.bottom));
  auto shiftX = [&](int d) {
    dx += d;
    w -= d;
    for (int i = 0; i < count; i++) from[i].x += d;
  };
  auto shiftY = [&](int d) {
    dy += d;
    h -= d;
    for (int i = 0; i < count; i++) from[i].y += d;
  };
  if (dx < left) shiftX(left - dx);
  if (dy < top) shiftY(top - dy);
  for (int i = 0; i < count; i++) {
    if (from[i].x < 0) shiftX(-from[i].x);
    if (from[i].y < 0) shiftY(-from[i].y);
  }
  w = std::min(w, right - dx);
  h = std::min(h, bottom - dy);
  for (int i = 0; i < count; i++) {
    w = std::min(w, from[i].dib->GetWidth() - from[i].x);
    h = std::min(h, from[i].dib->GetHeight() - from[i].y);
  }
  return w > 0 && h > 0;
}

// Runs `op(d, s, m)` over every pixel of a clipped blit with a source and a mask.
template <typename Op>
void ForEachMasked(CDib& dst, int dx, int dy, int w, int h, const CDib& src, int sx, int sy, const CDib& mask, int mx,
                   int my, Op op) {
  Origin from[2] = {{&src, sx, sy}, {&mask, mx, my}};
  if (!ClipBlit(dst, dx, dy, w, h, from, 2)) return;
  for (int y = 0; y < h; y++) {
    BYTE* d = dst.Pixel(dx, dy + y);
    const BYTE* s = src.Pixel(from[0].x, from[0].y + y);
    const BYTE* m = mask.Pixel(from[1].x, from[1].y + y);
    for (int x = 0; x < w; x++, d += 3, s += 3, m += 3) op(d, s, m);
  }
}

// The destination is const here only because SumByKeyMask reads it; Pixel gives writable bytes.
template <typename Op>
void ForEachSource(const CDib& dst, int dx, int dy, int w, int h, const CDib& src, int sx, int sy, Op op) {
  Origin from[1] = {{&src, sx, sy}};
  if (!ClipBlit(dst, dx, dy, w, h, from, 1)) return;
  for (int y = 0; y < h; y++) {
    BYTE* d = dst.Pixel(dx, dy + y);
    const BYTE* s = src.Pixel(from[0].x, from[0].y + y);
    for (int x = 0; x < w; x++, d += 3, s += 3) op(d, s);
  }
}

// Weighted copy shared by the masked blits: m is the mask value, s the source pixel to lay.
inline void MaskedLay(BYTE* d, const BYTE* s, int m, int alpha) {
  if (m < kSkipBelow) return;
  const int a = m * alpha / 255;
  if (a > kCopyAbove) {
    memcpy(d, s, 3);
    return;
  }
  Blend(d, s, a);
}

// The level-mapped overlay: the source mapped into base + s * range / 100, then
// lightening or darkening the destination by its grey, decided on red. Mapped
// values and results are held to 0..255: a mapped value above 255 would make the
// lightening divide by zero, one below the grey would wrap a byte.
void Overlay(BYTE* out, const BYTE* d, const BYTE* s, int base, int range) {
  int mapped[3];
  for (int c = 0; c < 3; c++) mapped[c] = Clamp255(base + s[c] * range / 100);
  const int g = Grey(d);
  if (mapped[2] > g) {
    for (int c = 0; c < 3; c++) out[c] = BYTE(Clamp255(d[c] + (mapped[c] - g) * (255 - d[c]) / (255 - g)));
  } else {
    const int divisor = g ? g : 1;
    for (int c = 0; c < 3; c++) out[c] = BYTE(Clamp255(d[c] * mapped[c] / divisor));
  }
}

}  // namespace

int ColorDistance(const BYTE* a, const BYTE* b) {
  return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) / 3;
}

bool IsNearColor(const BYTE* a, const BYTE* b) { return ColorDistance(a, b) < 8; }

bool ColorsEqual(const BYTE* a, const BYTE* b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

bool ColorsClose(const BYTE* a, const BYTE* b) {
  return std::abs(a[0] - b[0]) < 10 && std::abs(a[1] - b[1]) < 10 && std::abs(a[2] - b[2]) < 10;
}

void FillRect24(CDib& dib, const RECT& rect, const BYTE* colour) {
  RECT r;
  if (!ClipRect(dib, rect, &r)) return;
  for (int y = r.top; y < r.bottom; y++) {
    BYTE* p = dib.Pixel(r.left, y);
    for (int x = r.left; x < r.right; x++, p += 3) memcpy(p, colour, 3);
  }
}

void BlendColorRect(CDib& dib, const RECT& rect, const BYTE* colour, int alpha) {
  RECT r;
  if (!ClipRect(dib, rect, &r)) return;
  const int a = Clamp255(alpha);
  for (int y = r.top; y < r.bottom; y++) {
    BYTE* p = dib.Pixel(r.left, y);
    for (int x = r.left; x < r.right; x++, p += 3) Blend(p, colour, a);
  }
}

void BlendColorByMask(CDib& dib, const RECT& rect, const CDib& mask, const BYTE* colour) {
  RECT r;
  if (mask.IsEmpty() || !ClipRect(dib, rect, &r)) return;
  // The mask is read from its origin at the rectangle's top-left corner.
  const int w = std::min(int(r.right - r.left), mask.GetWidth() - int(r.left - rect.left));
  const int h = std::min(int(r.bottom - r.top), mask.GetHeight() - int(r.top - rect.top));
  for (int y = 0; y < h; y++) {
    BYTE* p = dib.Pixel(r.left, r.top + y);
    const BYTE* m = mask.Pixel(r.left - rect.left, r.top - rect.top + y);
    for (int x = 0; x < w; x++, p += 3, m += 3)
      for (int c = 0; c < 3; c++) p[c] = BYTE(((255 - m[c]) * p[c] + m[c] * colour[c]) / 255);
  }
}

void GradientTintRect(CDib& dib, const RECT& rect, COLORREF colour, bool fromLeft) {
  RECT r;
  if (!ClipRect(dib, rect, &r)) return;
  const Bgr c(colour);
  // Corners by their last pixel, so that the full colour sits on the corner pixel itself.
  const int x0 = r.left, x1 = r.right - 1, y0 = r.top, y1 = r.bottom - 1;
  int span = (y1 - y0) + (x1 - x0) / 3;
  // One row narrower than three pixels has no span to fade over.
  if (span < 1) span = 1;
  for (int y = y0; y <= y1; y++) {
    BYTE* p = dib.Pixel(x0, y);
    for (int x = x0; x <= x1; x++, p += 3) {
      const int column = fromLeft ? x : x0 + x1 - x;
      const int w = 255 + 255 * ((y - column) - (y1 - x0)) / span;
      Blend(p, c.c, std::min(255, std::max(0, w * 255 / 170)));
    }
  }
}

void GreyRectExceptKey(CDib& dib, const RECT& rect, COLORREF key) {
  RECT r;
  if (!ClipRect(dib, rect, &r)) return;
  const Bgr k(key);
  for (int y = r.top; y < r.bottom; y++) {
    BYTE* p = dib.Pixel(r.left, y);
    for (int x = r.left; x < r.right; x++, p += 3)
      if (!ColorsClose(p, k.c)) p[0] = p[1] = p[2] = BYTE(Grey(p));
  }
}

BYTE LightenChannel(BYTE c) { return BYTE(std::min(255, c + (255 - c) * 60 / 100)); }

void LightenBuffer(CDib& dib) {
  for (int y = 0; y < dib.GetHeight(); y++) {
    BYTE* p = dib.Row(y);
    for (int i = 0; i < dib.GetWidth() * 3; i++) p[i] = LightenChannel(p[i]);
  }
}

void MakeAlphaMask(const CDib& onBlack, CDib& onWhite) {
  const int w = std::min(onBlack.GetWidth(), onWhite.GetWidth());
  const int h = std::min(onBlack.GetHeight(), onWhite.GetHeight());
  for (int y = 0; y < h; y++) {
    const BYTE* a = onBlack.Row(y);
    BYTE* b = onWhite.Row(y);
    for (int x = 0; x < w; x++, a += 3, b += 3) {
      int sum = 0;
      for (int c = 0; c < 3; c++) sum += (a[c] - b[c] + 255) & 0xFF;
      b[0] = b[1] = b[2] = BYTE(sum / 3);
    }
  }
}

void GreyWithMask(CDib& image, const CDib& mask) {
  const int w = std::min(image.GetWidth(), mask.GetWidth());
  const int h = std::min(image.GetHeight(), mask.GetHeight());
  for (int y = 0; y < h; y++) {
    BYTE* p = image.Row(y);
    const BYTE* m = mask.Row(y);
    for (int x = 0; x < w; x++, p += 3, m += 3) p[0] = p[1] = p[2] = BYTE(std::min(Grey(p), Grey(m)));
  }
}

void TintByKeyMask(CDib& dst, const RECT& rect, const CDib& src, int sx, int sy, COLORREF key, COLORREF colour,
                   int alpha) {
  const Bgr k(key), c(colour);
  const int a = Clamp255(alpha);
  ForEachSource(dst, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, src, sx, sy,
                [&](BYTE* d, const BYTE* s) {
                  if (ColorsEqual(s, k.c)) Blend(d, c.c, a);
                });
}

namespace {

void StoreSums(const DWORD sums[3], DWORD n, DWORD* sumBlue, DWORD* sumGreen, DWORD* sumRed, DWORD* count) {
  if (sumBlue) *sumBlue = sums[0];
  if (sumGreen) *sumGreen = sums[1];
  if (sumRed) *sumRed = sums[2];
  if (count) *count = n;
}

}  // namespace

void SumByKeyMask(const CDib& dst, const RECT& rect, const CDib& src, int sx, int sy, COLORREF key, DWORD* sumBlue,
                  DWORD* sumGreen, DWORD* sumRed, DWORD* count) {
  const Bgr k(key);
  DWORD sums[3] = {0, 0, 0}, n = 0;
  ForEachSource(dst, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, src, sx,
                sy, [&](BYTE* d, const BYTE* s) {
                  if (!ColorsEqual(s, k.c)) return;
                  for (int c = 0; c < 3; c++) sums[c] += d[c];
                  n++;
                });
  StoreSums(sums, n, sumBlue, sumGreen, sumRed, count);
}

void CopyRect24(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy) {
  Origin from[1] = {{&src, sx, sy}};
  if (!ClipBlit(dst, dx, dy, width, height, from, 1)) return;
  for (int y = 0; y < height; y++)
    memmove(dst.Pixel(dx, dy + y), src.Pixel(from[0].x, from[0].y + y), size_t(width) * 3);
}

void CopyRectKeyed(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy, COLORREF key) {
  const Bgr k(key);
  ForEachSource(dst, dx, dy, width, height, src, sx, sy, [&](BYTE* d, const BYTE* s) {
    if (!ColorsClose(s, k.c)) memcpy(d, s, 3);
  });
}

void DrawSkinPiece(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy, const CDib& mask,
                   int mx, int my, int alpha) {
  const int a = Clamp255(alpha);
  ForEachMasked(dst, dx, dy, width, height, src, sx, sy, mask, mx, my,
                [a](BYTE* d, const BYTE* s, const BYTE* m) { MaskedLay(d, s, m[2], a); });
}

void BlitPremultipliedByMask(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                             const CDib& mask, int mx, int my, int alpha) {
  const int alphaClamped = Clamp255(alpha);
  ForEachMasked(dst, dx, dy, width, height, src, sx, sy, mask, mx, my, [&](BYTE* d, const BYTE* s, const BYTE* m) {
    const int value = Grey(m);
    if (value < kSkipBelow) return;
    const int a = value * alphaClamped / 255;
    if (a > kCopyAbove) {
      memcpy(d, s, 3);
      return;
    }
    for (int c = 0; c < 3; c++) d[c] = BYTE(std::min(255, s[c] + d[c] * (255 - a) / 255));
  });
}

void BlitByMaskRecolor(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                       const CDib& mask, int mx, int my, int alpha, COLORREF colour) {
  const int a = Clamp255(alpha);
  const Bgr replacement(colour);
  ForEachMasked(dst, dx, dy, width, height, src, sx, sy, mask, mx, my, [&](BYTE* d, const BYTE* s, const BYTE* m) {
    const bool magenta = s[2] > 247 && s[1] < 8 && s[0] > 247;
    MaskedLay(d, magenta ? replacement.c : s, m[2], a);
  });
}

void BlitByMaskReplacing(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                         const CDib& mask, int mx, int my, int alpha, const COLORREF* from, const COLORREF* to,
                         int count) {
  const int a = Clamp255(alpha);
  std::vector<Bgr> froms, tos;
  for (int i = 0; i < count; i++) {
    froms.emplace_back(from[i]);
    tos.emplace_back(to[i]);
  }
  ForEachMasked(dst, dx, dy, width, height, src, sx, sy, mask, mx, my, [&](BYTE* d, const BYTE* s, const BYTE* m) {
    const BYTE* lay = s;
    for (size_t i = 0; i < froms.size(); i++) {
      if (ColorsEqual(s, froms[i].c)) {
        lay = tos[i].c;
        break;
      }
    }
    MaskedLay(d, lay, m[2], a);
  });
}

void SumUnderMask(const CDib& image, const RECT& rect, const CDib& mask, int mx, int my, DWORD* sumBlue,
                  DWORD* sumGreen, DWORD* sumRed, DWORD* count) {
  DWORD sums[3] = {0, 0, 0}, n = 0;
  // The image is only read: ForEachMasked lays nothing here.
  ForEachMasked(const_cast<CDib&>(image), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, mask,
                mx, my, mask, mx, my, [&](BYTE* d, const BYTE*, const BYTE* m) {
                  if (m[2] < kSkipBelow) return;
                  for (int c = 0; c < 3; c++) sums[c] += d[c];
                  n++;
                });
  StoreSums(sums, n, sumBlue, sumGreen, sumRed, count);
}

void BlitByBinaryMask(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                      const CDib& mask, int mx, int my) {
  ForEachMasked(dst, dx, dy, width, height, src, sx, sy, mask, mx, my, [](BYTE* d, const BYTE* s, const BYTE* m) {
    if (m[2] >= 128) memcpy(d, s, 3);
  });
}

void BlendRectKeyed(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy, COLORREF key,
                    bool overlay, int low, int high) {
  const Bgr k(key);
  const int base = low * 255 / 100, range = high - low;
  ForEachSource(dst, dx, dy, width, height, src, sx, sy, [&](BYTE* d, const BYTE* s) {
    if (ColorsClose(s, k.c)) return;
    if (overlay) {
      Overlay(d, d, s, base, range);
    } else {
      for (int c = 0; c < 3; c++) d[c] = BYTE(s[c] * d[c] / 255);
    }
  });
}

void BlendRectMaskKeyed(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                        const CDib& mask, int mx, int my, COLORREF key, int low, int high) {
  const Bgr k(key);
  const int base = low * 255 / 100, range = high - low;
  ForEachMasked(dst, dx, dy, width, height, src, sx, sy, mask, mx, my, [&](BYTE* d, const BYTE* s, const BYTE* m) {
    if (ColorsClose(m, k.c)) Overlay(d, d, s, base, range);
  });
}

void BlendRectThreeWay(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                       const CDib& mask, int mx, int my, int low, int high) {
  const int range = high - low;
  ForEachMasked(dst, dx, dy, width, height, src, sx, sy, mask, mx, my, [&](BYTE* d, const BYTE* s, const BYTE* m) {
    const int value = Grey(m);
    BYTE o[3];
    Overlay(o, d, s, value * low / 100, range);
    for (int c = 0; c < 3; c++) d[c] = BYTE(std::min(255, d[c] * (255 - value) / 255 + o[c]));
  });
}
