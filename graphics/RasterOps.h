#pragma once
// Pixel operations on 24-bit CDib buffers. Pixels are three bytes, blue, green,
// red; "colour bytes" arguments point at three such bytes, COLORREF arguments are
// 0x00BBGGRR. Every operation clips to the buffers it touches, and every result
// is kept within 0..255.
#include "graphics/Dib.h"

// Fixed colours, blue-green-red.
extern const BYTE g_bgrBlack[3];
extern const BYTE g_bgrWhite[3];
extern const BYTE g_bgrGreen[3];
extern const BYTE g_bgrDarkGreen[3];
extern const BYTE g_bgrRed[3];
extern const BYTE g_bgrDarkRed[3];
extern const BYTE g_bgrBlue[3];
// The placeholder colour BlitByMaskRecolor replaces.
extern const BYTE g_bgrMagenta[3];

// Colour tests on two pixels.
int ColorDistance(const BYTE* a, const BYTE* b);
bool IsNearColor(const BYTE* a, const BYTE* b);
bool ColorsEqual(const BYTE* a, const BYTE* b);
bool ColorsClose(const BYTE* a, const BYTE* b);

// Whole-rectangle operations.
void FillRect24(CDib& dib, const RECT& rect, const BYTE* colour);
void BlendColorRect(CDib& dib, const RECT& rect, const BYTE* colour, int alpha);
void BlendColorByMask(CDib& dib, const RECT& rect, const CDib& mask, const BYTE* colour);
// Full colour at the lower-left corner fading toward the upper right; with
// fromLeft false the columns are mirrored (full colour at the lower right).
void GradientTintRect(CDib& dib, const RECT& rect, COLORREF colour, bool fromLeft);
void GreyRectExceptKey(CDib& dib, const RECT& rect, COLORREF key);
BYTE LightenChannel(BYTE c);
void LightenBuffer(CDib& dib);
// onWhite becomes the grey opacity mask of a picture rendered once on black and once on white.
void MakeAlphaMask(const CDib& onBlack, CDib& onWhite);
void GreyWithMask(CDib& image, const CDib& mask);

// Keyed operations between two buffers.
void TintByKeyMask(CDib& dst, const RECT& rect, const CDib& src, int sx, int sy, COLORREF key, COLORREF colour, int alpha);
void SumByKeyMask(const CDib& dst, const RECT& rect, const CDib& src, int sx, int sy, COLORREF key, DWORD* sumBlue,
                  DWORD* sumGreen, DWORD* sumRed, DWORD* count);
void CopyRect24(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy);
void CopyRectKeyed(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy, COLORREF key);

// Blits weighted by a mask: weight = mask value * alpha / 255; a mask value below
// 8 leaves the destination, a weight above 247 copies the source.
void DrawSkinPiece(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy, const CDib& mask,
                   int mx, int my, int alpha);
void BlitPremultipliedByMask(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                             const CDib& mask, int mx, int my, int alpha);
// As DrawSkinPiece, with magenta source pixels replaced by `colour` first.
void BlitByMaskRecolor(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                       const CDib& mask, int mx, int my, int alpha, COLORREF colour);
// As DrawSkinPiece, with every source pixel equal to from[i] laid as to[i] (the
// first match wins); the single scroll-bar strip is recoloured this way.
void BlitByMaskReplacing(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                         const CDib& mask, int mx, int my, int alpha, const COLORREF* from, const COLORREF* to,
                         int count);
// Per-channel sums and the count of the image's pixels in rect whose mask pixel
// (the mask read from (mx, my) for rect's top left) would lay anything, that is
// whose red byte is at least 8: the colour under a masked piece.
void SumUnderMask(const CDib& image, const RECT& rect, const CDib& mask, int mx, int my, DWORD* sumBlue,
                  DWORD* sumGreen, DWORD* sumRed, DWORD* count);
// Copies where the mask's red byte is at least 128.
void BlitByBinaryMask(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                      const CDib& mask, int mx, int my);

// Level-mapped overlays: the source is mapped into the level range low..high
// (percent) and laid over the destination by the destination's grey.
void BlendRectKeyed(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy, COLORREF key,
                    bool overlay, int low, int high);
void BlendRectMaskKeyed(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                        const CDib& mask, int mx, int my, COLORREF key, int low, int high);
void BlendRectThreeWay(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                       const CDib& mask, int mx, int my, int low, int high);

// The options program's names for the same operations.
inline bool ColorsNear(const BYTE* a, const BYTE* b) { return ColorsClose(a, b); }
inline void LightenDib(CDib& dib) { LightenBuffer(dib); }
inline void DrawSkinPieceTinted(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                                const CDib& mask, int mx, int my, int alpha, COLORREF colour) {
  BlitByMaskRecolor(dst, dx, dy, width, height, src, sx, sy, mask, mx, my, alpha, colour);
}
inline void CopyKeyed(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy, COLORREF key) {
  CopyRectKeyed(dst, dx, dy, width, height, src, sx, sy, key);
}
inline void ColorizeMasked(CDib& dst, int dx, int dy, int width, int height, const CDib& src, int sx, int sy,
                           const CDib& mask, int mx, int my, int low, int high) {
  BlendRectThreeWay(dst, dx, dy, width, height, src, sx, sy, mask, mx, my, low, high);
}
