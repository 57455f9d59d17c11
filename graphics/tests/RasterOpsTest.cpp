#include "graphics/RasterOps.h"
#include "graphics/tests/TestImages.h"

#include <gtest/gtest.h>

using testimg::PixelOf;
using testimg::SetPixel24;

namespace {

CDib& Solid(CDib& dib, int w, int h, COLORREF c) {
  EXPECT_TRUE(dib.CreateFilled(w, h, c));
  return dib;
}

TEST(ColorTests, DistanceNearEqualAndClose) {
  const BYTE black[3] = {0, 0, 0}, a[3] = {3, 6, 9}, eight[3] = {8, 8, 8}, nine[3] = {9, 9, 9}, ten[3] = {10, 0, 0};
  EXPECT_EQ(ColorDistance(black, a), 6);
  EXPECT_TRUE(IsNearColor(black, a));
  EXPECT_FALSE(IsNearColor(black, eight));
  EXPECT_TRUE(ColorsClose(black, nine));
  EXPECT_FALSE(ColorsClose(black, ten));
  EXPECT_TRUE(ColorsNear(black, nine));
  EXPECT_TRUE(ColorsEqual(a, a));
  EXPECT_FALSE(ColorsEqual(black, nine));
}

TEST(RectOps, FillIsClippedToTheBuffer) {
  CDib dib;
  Solid(dib, 3, 3, RGB(1, 1, 1));
  FillRect24(dib, RECT{-1, -1, 2, 2}, g_bgrRed);
  FillRect24(dib, RECT{10, 10, 20, 20}, g_bgrBlue);
  EXPECT_EQ(PixelOf(dib, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(dib, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(dib, 2, 2), RGB(1, 1, 1));
}

TEST(RectOps, BlendTowardAColourByAlphaAndByAMaskPerChannel) {
  CDib dib;
  const BYTE colour[3] = {200, 200, 200};
  BlendColorRect(Solid(dib, 2, 1, RGB(100, 100, 100)), RECT{0, 0, 1, 1}, colour, 128);
  EXPECT_EQ(PixelOf(dib, 0, 0), RGB(150, 150, 150));  // (100 * 127 + 200 * 128) / 255
  EXPECT_EQ(PixelOf(dib, 1, 0), RGB(100, 100, 100));
  BlendColorRect(dib, RECT{0, 0, 2, 1}, colour, 300);
  EXPECT_EQ(PixelOf(dib, 1, 0), RGB(200, 200, 200)) << "alpha above 255 counts as 255";

  CDib mask;
  Solid(mask, 1, 1, RGB(128, 0, 255));  // red 128, green 0, blue 255
  Solid(dib, 3, 1, RGB(100, 100, 100));
  BlendColorByMask(dib, RECT{1, 0, 3, 1}, mask, colour);
  EXPECT_EQ(PixelOf(dib, 1, 0), RGB(150, 100, 200));
  EXPECT_EQ(PixelOf(dib, 2, 0), RGB(100, 100, 100)) << "beyond the mask nothing changes";
}

TEST(RectOps, GradientIsFullAtTheLowerCornerAndSurvivesTinyRectangles) {
  CDib dib;
  GradientTintRect(Solid(dib, 4, 4, RGB(0, 0, 0)), RECT{0, 0, 4, 4}, RGB(255, 255, 255), true);
  EXPECT_EQ(PixelOf(dib, 0, 3), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(dib, 3, 0), RGB(0, 0, 0));
  GradientTintRect(Solid(dib, 4, 4, RGB(0, 0, 0)), RECT{0, 0, 4, 4}, RGB(255, 255, 255), false);
  EXPECT_EQ(PixelOf(dib, 3, 3), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(dib, 0, 0), RGB(0, 0, 0));

  // One row narrower than three pixels: no span to fade over, and no division by zero.
  struct Case {
    RECT rect;
    bool fromLeft;
    COLORREF left, right;
  } const cases[] = {
      {{0, 0, 1, 1}, true, RGB(255, 255, 255), RGB(0, 0, 0)},
      {{0, 0, 2, 1}, true, RGB(255, 255, 255), RGB(0, 0, 0)},
      {{0, 0, 2, 1}, false, RGB(0, 0, 0), RGB(255, 255, 255)},
  };
  for (const Case& c : cases) {
    GradientTintRect(Solid(dib, 2, 1, RGB(0, 0, 0)), c.rect, RGB(255, 255, 255), c.fromLeft);
    EXPECT_EQ(PixelOf(dib, 0, 0), c.left);
    EXPECT_EQ(PixelOf(dib, 1, 0), c.right);
  }
}

TEST(RectOps, GreyLightenAndMasks) {
  CDib dib;
  Solid(dib, 2, 1, RGB(30, 60, 90));
  SetPixel24(dib, 1, 0, RGB(250, 5, 250));
  GreyRectExceptKey(dib, RECT{0, 0, 2, 1}, RGB(255, 0, 255));
  EXPECT_EQ(PixelOf(dib, 0, 0), RGB(60, 60, 60));
  EXPECT_EQ(PixelOf(dib, 1, 0), RGB(250, 5, 250)) << "close to the key: kept";

  Solid(dib, 1, 1, RGB(0, 100, 255));
  LightenBuffer(dib);
  EXPECT_EQ(PixelOf(dib, 0, 0), RGB(153, 193, 255));
  LightenDib(dib);
  EXPECT_EQ(GetRValue(PixelOf(dib, 0, 0)), 214);

  // Opaque white, background, half-covered grey.
  CDib onBlack, onWhite;
  Solid(onBlack, 3, 1, RGB(255, 255, 255));
  Solid(onWhite, 3, 1, RGB(255, 255, 255));
  SetPixel24(onBlack, 1, 0, RGB(0, 0, 0));
  SetPixel24(onBlack, 2, 0, RGB(64, 64, 64));
  SetPixel24(onWhite, 2, 0, RGB(191, 191, 191));
  MakeAlphaMask(onBlack, onWhite);
  EXPECT_EQ(PixelOf(onWhite, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(onWhite, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(onWhite, 2, 0), RGB(128, 128, 128));

  CDib image, mask;
  Solid(image, 2, 1, RGB(100, 100, 100));
  Solid(mask, 2, 1, RGB(50, 50, 50));
  SetPixel24(mask, 1, 0, RGB(255, 255, 255));
  GreyWithMask(image, mask);
  EXPECT_EQ(PixelOf(image, 0, 0), RGB(50, 50, 50));
  EXPECT_EQ(PixelOf(image, 1, 0), RGB(100, 100, 100));
}

TEST(KeyedOps, TintSumAndCopyFollowTheKey) {
  const COLORREF key = RGB(255, 0, 255);
  CDib src, dst;
  Solid(src, 2, 1, key);
  SetPixel24(src, 1, 0, RGB(250, 5, 250));  // close to the key but not equal
  Solid(dst, 2, 1, RGB(100, 100, 100));
  TintByKeyMask(dst, RECT{0, 0, 2, 1}, src, 0, 0, key, RGB(200, 200, 200), 128);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(150, 150, 150));
  EXPECT_EQ(PixelOf(dst, 1, 0), RGB(100, 100, 100));

  SetPixel24(dst, 1, 0, RGB(7, 8, 9));
  SetPixel24(src, 1, 0, key);
  DWORD b = 0, g = 0, r = 0, n = 0;
  SumByKeyMask(dst, RECT{0, 0, 2, 1}, src, 0, 0, key, &b, &g, &r, &n);
  EXPECT_EQ(n, 2u);
  EXPECT_EQ(r, 157u);
  EXPECT_EQ(g, 158u);
  EXPECT_EQ(b, 159u);

  SetPixel24(src, 1, 0, RGB(250, 5, 250));
  SetPixel24(src, 0, 0, RGB(1, 2, 3));
  Solid(dst, 2, 1, RGB(100, 100, 100));
  CopyRectKeyed(dst, 0, 0, 2, 1, src, 0, 0, key);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(PixelOf(dst, 1, 0), RGB(100, 100, 100)) << "close to the key: transparent";
}

TEST(KeyedOps, CopyIsClippedOnEveryBuffer) {
  CDib src, dst;
  ASSERT_TRUE(testimg::MakeDib(src, 2, 2, testimg::Pattern));
  Solid(dst, 3, 3, RGB(0, 0, 0));
  CopyRect24(dst, -1, -1, 2, 2, src, 0, 0);
  EXPECT_EQ(PixelOf(dst, 0, 0), testimg::Pattern(1, 1));
  EXPECT_EQ(PixelOf(dst, 1, 0), RGB(0, 0, 0));
  Solid(dst, 3, 3, RGB(0, 0, 0));
  CopyRect24(dst, 2, 2, 5, 5, src, -1, 0);
  EXPECT_EQ(PixelOf(dst, 2, 2), RGB(0, 0, 0)) << "destination pixel of the source column -1 is skipped";
  CopyRect24(dst, 1, 1, 5, 5, src, 0, 0);
  EXPECT_EQ(PixelOf(dst, 2, 2), testimg::Pattern(1, 1));
  CopyKeyed(dst, 100, 100, 2, 2, src, 0, 0, 0);  // wholly outside: nothing, no fault
}

enum Blit { kSkin, kPremultiplied, kRecolor, kBinary };

void RunBlit(Blit which, CDib& dst, const CDib& src, const CDib& mask, int alpha) {
  switch (which) {
    case kSkin:
      DrawSkinPiece(dst, 0, 0, 1, 1, src, 0, 0, mask, 0, 0, alpha);
      break;
    case kPremultiplied:
      BlitPremultipliedByMask(dst, 0, 0, 1, 1, src, 0, 0, mask, 0, 0, alpha);
      break;
    case kRecolor:
      BlitByMaskRecolor(dst, 0, 0, 1, 1, src, 0, 0, mask, 0, 0, alpha, RGB(1, 2, 3));
      break;
    case kBinary:
      BlitByBinaryMask(dst, 0, 0, 1, 1, src, 0, 0, mask, 0, 0);
      break;
  }
}

TEST(MaskedBlits, MaskSevenLeavesTheDestinationAndWeight248CopiesTheSource) {
  for (Blit which : {kSkin, kPremultiplied, kRecolor, kBinary}) {
    CDib dst, src, mask;
    Solid(src, 1, 1, RGB(200, 40, 90));
    Solid(dst, 1, 1, RGB(10, 20, 30));
    RunBlit(which, dst, src, Solid(mask, 1, 1, RGB(7, 7, 7)), 255);
    EXPECT_EQ(PixelOf(dst, 0, 0), RGB(10, 20, 30)) << which;
    RunBlit(which, dst, src, Solid(mask, 1, 1, RGB(248, 248, 248)), 255);
    EXPECT_EQ(PixelOf(dst, 0, 0), RGB(200, 40, 90)) << which;
  }
}

TEST(MaskedBlits, PartialWeightsBlend) {
  CDib dst, src, mask;
  Solid(src, 1, 1, RGB(200, 200, 200));
  Solid(mask, 1, 1, RGB(128, 0, 0));  // red byte only
  DrawSkinPiece(Solid(dst, 1, 1, RGB(100, 100, 100)), 0, 0, 1, 1, src, 0, 0, mask, 0, 0, 255);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(150, 150, 150));
  DrawSkinPiece(Solid(dst, 1, 1, RGB(100, 100, 100)), 0, 0, 1, 1, src, 0, 0, mask, 0, 0, 128);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(125, 125, 125));  // weight 128 * 128 / 255 = 64
  BlitByBinaryMask(Solid(dst, 1, 1, RGB(100, 100, 100)), 0, 0, 1, 1, src, 0, 0, mask, 0, 0);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(200, 200, 200)) << "red 128 is opaque for the binary mask";

  // Premultiplied: the mask's grey decides; the sum never wraps.
  Solid(src, 1, 1, RGB(50, 50, 50));
  Solid(mask, 1, 1, RGB(128, 128, 128));
  BlitPremultipliedByMask(Solid(dst, 1, 1, RGB(100, 100, 100)), 0, 0, 1, 1, src, 0, 0, mask, 0, 0, 255);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(99, 99, 99));
  Solid(src, 1, 1, RGB(250, 250, 250));
  Solid(mask, 1, 1, RGB(8, 8, 8));
  BlitPremultipliedByMask(Solid(dst, 1, 1, RGB(250, 250, 250)), 0, 0, 1, 1, src, 0, 0, mask, 0, 0, 255);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(255, 255, 255));
}

TEST(MaskedBlits, RecolorReplacesMagentaBeforeLaying) {
  CDib dst, src, mask;
  Solid(src, 2, 1, RGB(250, 5, 250));
  SetPixel24(src, 1, 0, RGB(250, 10, 250));  // green 10: not the placeholder
  Solid(mask, 2, 1, RGB(255, 0, 0));
  Solid(dst, 2, 1, RGB(0, 0, 0));
  BlitByMaskRecolor(dst, 0, 0, 2, 1, src, 0, 0, mask, 0, 0, 255, RGB(10, 20, 30));
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(10, 20, 30));
  EXPECT_EQ(PixelOf(dst, 1, 0), RGB(250, 10, 250));
  Solid(mask, 2, 1, RGB(128, 0, 0));
  Solid(dst, 2, 1, RGB(0, 0, 0));
  DrawSkinPieceTinted(dst, 0, 0, 1, 1, src, 0, 0, mask, 0, 0, 255, RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(128, 128, 128));
}

TEST(MaskedBlits, ClippedAtNegativeOffsets) {
  CDib dst, src, mask;
  ASSERT_TRUE(testimg::MakeDib(src, 2, 2, testimg::Pattern));
  Solid(mask, 2, 2, RGB(255, 255, 255));
  Solid(dst, 3, 3, RGB(0, 0, 0));
  DrawSkinPiece(dst, -1, -1, 2, 2, src, 0, 0, mask, 0, 0, 255);
  EXPECT_EQ(PixelOf(dst, 0, 0), testimg::Pattern(1, 1));
  EXPECT_EQ(PixelOf(dst, 1, 1), RGB(0, 0, 0));
}

TEST(LevelOverlay, MultiplyLightenAndDarken) {
  const COLORREF key = RGB(255, 0, 255);
  CDib dst, src;
  Solid(src, 2, 1, RGB(128, 128, 128));
  SetPixel24(src, 1, 0, key);
  BlendRectKeyed(Solid(dst, 2, 1, RGB(200, 200, 200)), 0, 0, 2, 1, src, 0, 0, key, false, 0, 100);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(100, 100, 100));
  EXPECT_EQ(PixelOf(dst, 1, 0), RGB(200, 200, 200)) << "key pixels are skipped";

  struct Case {
    COLORREF d, s;
    int low, high;
    COLORREF result;
  } const cases[] = {
      {RGB(100, 100, 100), RGB(200, 200, 200), 0, 100, RGB(200, 200, 200)},  // lighten
      {RGB(100, 100, 100), RGB(50, 50, 50), 0, 100, RGB(50, 50, 50)},        // darken
      {RGB(100, 100, 100), RGB(0, 0, 0), 20, 100, RGB(51, 51, 51)},           // base 51
      // Decided on red, lightening a blue below the grey: held at 0, not wrapped.
      {RGB(250, 10, 10), RGB(255, 0, 0), 0, 100, RGB(255, 0, 0)},
      // A level above 100 maps past 255: held at 255, no division by zero on a white destination.
      {RGB(255, 255, 255), RGB(200, 200, 200), 0, 200, RGB(255, 255, 255)},
      // Black destination: grey 0 counts as 1.
      {RGB(0, 0, 0), RGB(0, 0, 0), 0, 100, RGB(0, 0, 0)},
  };
  for (const Case& c : cases) {
    Solid(src, 1, 1, c.s);
    BlendRectKeyed(Solid(dst, 1, 1, c.d), 0, 0, 1, 1, src, 0, 0, key, true, c.low, c.high);
    EXPECT_EQ(PixelOf(dst, 0, 0), c.result) << std::hex << c.d << " " << c.s;
  }
}

TEST(LevelOverlay, MaskKeyedAndThreeWay) {
  const COLORREF key = RGB(0, 255, 0);
  CDib dst, src, mask;
  Solid(src, 2, 1, RGB(200, 200, 200));
  Solid(mask, 2, 1, key);
  SetPixel24(mask, 1, 0, RGB(0, 0, 0));
  BlendRectMaskKeyed(Solid(dst, 2, 1, RGB(100, 100, 100)), 0, 0, 2, 1, src, 0, 0, mask, 0, 0, key, 0, 100);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(200, 200, 200));
  EXPECT_EQ(PixelOf(dst, 1, 0), RGB(100, 100, 100)) << "only under the key";

  // White mask: the overlay replaces; black mask: it adds to the destination.
  Solid(mask, 2, 1, RGB(255, 255, 255));
  SetPixel24(mask, 1, 0, RGB(0, 0, 0));
  BlendRectThreeWay(Solid(dst, 2, 1, RGB(100, 100, 100)), 0, 0, 2, 1, src, 0, 0, mask, 0, 0, 0, 100);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(200, 200, 200));
  EXPECT_EQ(PixelOf(dst, 1, 0), RGB(255, 255, 255));
  CDib again;
  ColorizeMasked(Solid(again, 2, 1, RGB(100, 100, 100)), 0, 0, 2, 1, src, 0, 0, mask, 0, 0, 0, 100);
  EXPECT_EQ(memcmp(again.GetBits(), dst.GetBits(), 6), 0);
  // A level above 100 would have wrapped the mapped byte (400 -> 144); it is held at 255.
  Solid(mask, 1, 1, RGB(255, 255, 255));
  BlendRectThreeWay(Solid(dst, 1, 1, RGB(100, 100, 100)), 0, 0, 1, 1, src, 0, 0, mask, 0, 0, 0, 200);
  EXPECT_EQ(PixelOf(dst, 0, 0), RGB(255, 255, 255));
}

}  // namespace
