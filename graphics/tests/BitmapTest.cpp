#include "graphics/Bitmap.h"

#include <gtest/gtest.h>

#include "graphics/KeyedBitmap.h"
#include "graphics/RasterOps.h"
#include "graphics/tests/SkinFixtures.h"
#include "graphics/tests/TestImages.h"

namespace {

// A strip of the given size, magenta in the first mask column at the marker rows.
HBITMAP MakeStrip(int width, int height, std::vector<int> markers,
                  std::function<COLORREF(int, int)> colour = [](int, int) { return RGB(0, 0, 255); }) {
  CDib dib;
  testimg::MakeDib(dib, width, height, [&](int x, int y) {
    for (int m : markers)
      if (x == width / 2 && y == m) return RGB(255, 0, 255);
    return colour(x, y);
  });
  dib.SetOwnsBitmap(FALSE);
  dib.ReleaseDC();
  return dib.GetBitmap();
}

bool SameRect(const RECT& r, int l, int t, int rr, int b) {
  return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

TEST(Bitmap, MarkerRowsCutTheParts) {
  CBitmap strip;
  ASSERT_TRUE(strip.LoadFromBitmap(MakeStrip(40, 30, {9, 19})));
  ASSERT_EQ(strip.GetPartCount(), 2);
  EXPECT_TRUE(SameRect(strip.GetPart(0), 0, 0, 20, 9));
  EXPECT_TRUE(SameRect(strip.GetPart(1), 0, 10, 20, 19)) << "rows below the last marker belong to no part";
  EXPECT_EQ(strip.GetPartSize(1).cy, 9);
  EXPECT_EQ(strip.GetPartSize(2).cx, 0);
  EXPECT_EQ(strip.GetSize().cx, 40);

  CBitmap plain;
  ASSERT_TRUE(plain.LoadFromBitmap(MakeStrip(40, 30, {})));
  ASSERT_EQ(plain.GetPartCount(), 1);
  EXPECT_TRUE(SameRect(plain.GetPart(0), 0, 0, 20, 30));

  CBitmap none;
  EXPECT_FALSE(none.LoadFromBitmap(nullptr));
  EXPECT_EQ(none.GetPartCount(), 0);
}

// Picture: blue where the mask (right half) is white, white where it is black.
COLORREF MaskedPicture(int x, int y) {
  const bool opaque = (x % 10) >= 3 && (x % 10) < 7 && y >= 2 && y < 6;
  if (x >= 10) return opaque ? RGB(255, 255, 255) : RGB(0, 0, 0);
  return opaque ? RGB(0, 0, 255) : RGB(255, 255, 255);
}

TEST(Bitmap, TransparentDrawLeavesTheBackgroundUnderMaskedPixels) {
  CBitmap strip;
  ASSERT_TRUE(strip.LoadFromBitmap(MakeStrip(20, 9, {8}, MaskedPicture)));
  CDib screen;
  ASSERT_TRUE(screen.CreateFilled(12, 10, RGB(0, 200, 0)));
  ASSERT_TRUE(strip.DrawTransparent(screen.GetDC(), 0, 1, 1));
  EXPECT_FALSE(strip.DrawTransparent(screen.GetDC(), 1, 1, 1));
  GdiFlush();
  EXPECT_EQ(testimg::PixelOf(screen, 1, 1), RGB(0, 200, 0));
  EXPECT_EQ(testimg::PixelOf(screen, 4, 3), RGB(0, 0, 255));
  EXPECT_EQ(testimg::PixelOf(screen, 8, 3), RGB(0, 200, 0));

  // The same part blended into a pixel buffer, and with colours replaced.
  CDib target;
  ASSERT_TRUE(target.CreateFilled(12, 10, RGB(0, 200, 0)));
  strip.DrawPart(0, target, 1, 1);
  EXPECT_EQ(testimg::PixelOf(target, 4, 3), RGB(0, 0, 255));
  EXPECT_EQ(testimg::PixelOf(target, 1, 1), RGB(0, 200, 0));
  const COLORREF from[1] = {RGB(0, 0, 255)}, to[1] = {RGB(9, 8, 7)};
  strip.DrawPartReplacing(0, target, 1, 1, from, to, 1);
  EXPECT_EQ(testimg::PixelOf(target, 4, 3), RGB(9, 8, 7));

  DWORD sums[3], count = 0;
  strip.SumUnderPart(0, target, 1, 1, sums, &count);
  EXPECT_EQ(count, 16u) << "the 4 x 4 opaque pixels";
  EXPECT_EQ(sums[2], 16u * 9) << "red";
}

// A picture composed into a part keeps the mask's meaning: it shows where the
// mask is white and lets the background through where it is black, in the DC
// drawing and in the pixel buffer alike; the mask half is left as it was.
TEST(Bitmap, AComposedPictureDrawsThroughTheSameMask) {
  for (BOOL rightEdge : {FALSE, TRUE}) {
    CBitmap strip;
    ASSERT_TRUE(strip.LoadFromBitmap(MakeStrip(20, 9, {8}, MaskedPicture)));
    CDib source;
    ASSERT_TRUE(source.CreateFilled(14, 12, RGB(200, 30, 40)));
    EXPECT_FALSE(strip.ComposeFrom(source.GetDC(), 1, 2, 3, rightEdge));
    ASSERT_TRUE(strip.ComposeFrom(source.GetDC(), 0, 2, 3, rightEdge));
    GdiFlush();
    EXPECT_EQ(testimg::PixelOf(strip, 4, 3), RGB(200, 30, 40)) << "opaque";
    EXPECT_EQ(testimg::PixelOf(strip, 1, 1), RGB(255, 255, 255)) << "transparent";
    EXPECT_EQ(testimg::PixelOf(strip, 14, 3), RGB(255, 255, 255)) << "mask kept";
    EXPECT_EQ(testimg::PixelOf(strip, 11, 1), RGB(0, 0, 0)) << "mask kept";

    CDib screen;
    ASSERT_TRUE(screen.CreateFilled(12, 10, RGB(0, 200, 0)));
    ASSERT_TRUE(strip.DrawTransparent(screen.GetDC(), 0, 1, 1));
    GdiFlush();
    EXPECT_EQ(testimg::PixelOf(screen, 1, 1), RGB(0, 200, 0));
    EXPECT_EQ(testimg::PixelOf(screen, 4, 3), RGB(200, 30, 40));
    CDib target;
    ASSERT_TRUE(target.CreateFilled(12, 10, RGB(0, 200, 0)));
    strip.DrawPart(0, target, 1, 1);
    EXPECT_EQ(testimg::PixelOf(target, 4, 3), RGB(200, 30, 40));
    EXPECT_EQ(testimg::PixelOf(target, 8, 3), RGB(0, 200, 0));
  }
}

TEST(Bitmap, ResourceStripsHoldTheSevenParts) {
  skintest::ResourceLibrary resources;
  ASSERT_NE(resources.Module(), nullptr);
  struct Case {
    UINT id;
    int half;
  };
  for (const Case c : {Case{129, 16}, Case{142, 32}}) {
    CBitmap strip;
    ASSERT_TRUE(strip.LoadResource(c.id)) << c.id;
    EXPECT_EQ(strip.GetHalfWidth(), c.half);
    EXPECT_EQ(strip.GetPartCount(), 7);
    EXPECT_EQ(strip.GetPartSize(0).cy, c.half);
  }
  CBitmap missing;
  EXPECT_FALSE(missing.LoadResource(4321));
}

TEST(KeyedBitmap, KeyColourBytesAndDrawing) {
  CKeyedBitmap icon;
  icon.SetKeyColor(0x00FF00FF);
  EXPECT_EQ(icon.GetKeyBytes()[0], 255);
  EXPECT_EQ(icon.GetKeyBytes()[1], 0);
  EXPECT_EQ(icon.GetKeyBytes()[2], 255);
  EXPECT_EQ(icon.GetSize().cx, 0);
  EXPECT_FALSE(icon.DrawTransparent(nullptr, 0, 0, nullptr));

  // Column 0 the key, column 1 near the key, column 2 a colour.
  CDib picture;
  testimg::MakeDib(picture, 3, 2, [](int x, int) {
    return x == 0 ? RGB(0, 255, 0) : x == 1 ? RGB(4, 250, 3) : RGB(10, 20, 30);
  });
  picture.SetOwnsBitmap(FALSE);
  picture.ReleaseDC();
  ASSERT_TRUE(icon.LoadFromBitmap(picture.GetBitmap()));
  icon.SetKeyColor(RGB(0, 255, 0));
  EXPECT_EQ(icon.GetSize().cx, 3);

  struct Case {
    BOOL exact;
    COLORREF nearPixel;
  };
  for (const Case c : {Case{FALSE, RGB(1, 1, 1)}, Case{TRUE, RGB(4, 250, 3)}}) {
    CKeyedBitmap::SetExactKeyInDib(c.exact);
    CDib target;
    ASSERT_TRUE(target.CreateFilled(4, 3, RGB(1, 1, 1)));
    ASSERT_TRUE(icon.DrawTransparent(&target, 1, 1));
    EXPECT_EQ(testimg::PixelOf(target, 1, 1), RGB(1, 1, 1));
    EXPECT_EQ(testimg::PixelOf(target, 2, 1), c.nearPixel) << "exact " << c.exact;
    EXPECT_EQ(testimg::PixelOf(target, 3, 2), RGB(10, 20, 30));
  }
  CKeyedBitmap::SetExactKeyInDib(FALSE);

  CDib screen;
  ASSERT_TRUE(screen.CreateFilled(4, 3, RGB(1, 1, 1)));
  ASSERT_TRUE(icon.DrawTransparent(nullptr, 0, 0, screen.GetDC()));
  GdiFlush();
  EXPECT_EQ(testimg::PixelOf(screen, 0, 0), RGB(1, 1, 1));
  EXPECT_EQ(testimg::PixelOf(screen, 2, 0), RGB(10, 20, 30));
}

// A skin piece whose mask is smaller than the region asked for (a damaged skin) is
// drawn only where the mask has pixels; the rest of the target stays as it was.
TEST(SkinPieces, AMaskSmallerThanThePieceLimitsTheDrawing) {
  CDib src, mask, target;
  ASSERT_TRUE(testimg::MakeDib(src, 4, 4, testimg::Pattern));
  ASSERT_TRUE(mask.CreateFilled(2, 3, RGB(255, 255, 255)));
  for (bool tinted : {false, true}) {
    SCOPED_TRACE(tinted);
    ASSERT_TRUE(target.CreateFilled(4, 4, RGB(0, 0, 0)));
    if (tinted) {
      DrawSkinPieceTinted(target, 0, 0, 4, 4, src, 0, 0, mask, 0, 0, 255, RGB(1, 2, 3));
    } else {
      DrawSkinPiece(target, 0, 0, 4, 4, src, 0, 0, mask, 0, 0, 255);
    }
    EXPECT_EQ(testimg::PixelOf(target, 1, 2), testimg::Pattern(1, 2));
    EXPECT_EQ(testimg::PixelOf(target, 2, 0), RGB(0, 0, 0)) << "right of the mask";
    EXPECT_EQ(testimg::PixelOf(target, 0, 3), RGB(0, 0, 0)) << "below the mask";
    EXPECT_EQ(testimg::PixelOf(target, 3, 3), RGB(0, 0, 0));
  }
}

TEST(ControlHelpers, HashAndWaitCursor) {
  EXPECT_EQ(HashWideString(L""), 0u);
  EXPECT_EQ(HashWideString(nullptr), 0u);
  EXPECT_EQ(HashWideString(L"ab"), 97u * 33 + 98);
  HCURSOR before = GetCursor();
  ShowWaitCursor();
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  RestoreCursor();
  EXPECT_EQ(GetCursor(), before);
}

}  // namespace
