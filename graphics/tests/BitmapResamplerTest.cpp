#include "graphics/BitmapResampler.h"
#include "graphics/tests/TestImages.h"

#include <gtest/gtest.h>

using testimg::PixelOf;

namespace {

COLORREF Grey(int v) { return RGB(v, v, v); }

// Feeds every row of `src` and returns whether all were taken.
bool ResampleAll(const CDib& src, CDib& target, int width, int height, int turns, int top = 0, int bottom = 0,
                 int* mode = nullptr) {
  CBitmapResampler resampler;
  if (!CBitmapResampler::CreateTarget(width, height, turns, target)) return false;
  if (!resampler.Prepare(src.GetWidth(), src.GetHeight(), width, height, turns, target, top, bottom)) return false;
  if (mode) *mode = resampler.GetMode();
  for (int y = 0; y < src.GetHeight(); y++)
    if (!resampler.Resample(src.Row(y))) return false;
  return !resampler.Resample(src.Row(0));  // one row too many is refused
}

TEST(BitmapResampler, ModeFollowsTheSizes) {
  struct Case {
    int sw, sh, tw, th, top;
    int mode, factor;
  } const cases[] = {
      {64, 64, 32, 32, 0, CBitmapResampler::kModeHalve, 2},
      {32, 32, 96, 96, 0, CBitmapResampler::kModeEnlarge, 3},
      {100, 80, 30, 24, 0, CBitmapResampler::kModeArea, 1},
      {10, 8, 10, 8, 0, CBitmapResampler::kModeCopy, 1},
      {10, 8, 20, 16, 0, CBitmapResampler::kModeDouble, 2},
      {90, 60, 30, 20, 0, CBitmapResampler::kModeShrink, 3},
      {10, 8, 10, 8, 250, CBitmapResampler::kModeOffset, 1},
      {30, 30, 90, 60, 0, CBitmapResampler::kModeArea, 1},  // factors differ per direction
  };
  for (const Case& c : cases) {
    CDib target;
    CBitmapResampler resampler;
    ASSERT_TRUE(CBitmapResampler::CreateTarget(c.tw, c.th, 0, target));
    ASSERT_TRUE(resampler.Prepare(c.sw, c.sh, c.tw, c.th, 0, target, c.top, 0));
    EXPECT_EQ(resampler.GetMode(), c.mode) << c.sw << "x" << c.sh << " -> " << c.tw << "x" << c.th;
    EXPECT_EQ(resampler.GetFactor(), c.factor);
  }
}

TEST(BitmapResampler, TargetOfAnOddTurnIsSwapped) {
  CDib target;
  ASSERT_TRUE(CBitmapResampler::CreateTarget(40, 30, 1, target));
  EXPECT_EQ(target.GetWidth(), 30);
  EXPECT_EQ(target.GetHeight(), 40);
  ASSERT_TRUE(CBitmapResampler::CreateTarget(40, 30, -2, target));
  EXPECT_EQ(target.GetWidth(), 40);
  EXPECT_EQ(PixelOf(target, 39, 29), RGB(0, 0, 0));
}

TEST(BitmapResampler, RefusesEmptySizesAndAMismatchedTarget) {
  CDib target;
  CBitmapResampler resampler;
  EXPECT_FALSE(CBitmapResampler::CreateTarget(0, 5, 0, target));
  ASSERT_TRUE(CBitmapResampler::CreateTarget(4, 3, 0, target));
  EXPECT_FALSE(resampler.Prepare(0, 5, 4, 3, 0, target));
  EXPECT_FALSE(resampler.Prepare(5, 0, 4, 3, 0, target));
  EXPECT_FALSE(resampler.Prepare(5, 5, 0, 3, 0, target));
  EXPECT_FALSE(resampler.Prepare(5, 5, 4, 3, 1, target)) << "a turned target must be 3 x 4";
  const BYTE row[15] = {};
  EXPECT_FALSE(resampler.Resample(row)) << "no rows before a successful Prepare";
}

TEST(BitmapResampler, BlockModesAverageAndReplicate) {
  CDib src, target;
  // 2 x 2 -> 1 x 1: the four summed and shifted right by two.
  ASSERT_TRUE(testimg::MakeDib(src, 2, 2, [](int x, int y) { return Grey(10 + 10 * x + 21 * y); }));
  ASSERT_TRUE(ResampleAll(src, target, 1, 1, 0));
  EXPECT_EQ(PixelOf(target, 0, 0), Grey(25));  // (10 + 20 + 31 + 41) >> 2
  // 3 x 3 -> 1 x 1: divided by nine, truncated.
  ASSERT_TRUE(testimg::MakeDib(src, 3, 3, [](int x, int y) { return Grey(10 * (x + 3 * y) + 1); }));
  ASSERT_TRUE(ResampleAll(src, target, 1, 1, 0));
  EXPECT_EQ(PixelOf(target, 0, 0), Grey(41));  // 369 / 9
  // One pixel into 2 x 2 and 3 x 3 blocks.
  ASSERT_TRUE(testimg::MakeDib(src, 1, 1, [](int, int) { return RGB(1, 2, 3); }));
  for (int k : {1, 2, 3}) {
    ASSERT_TRUE(ResampleAll(src, target, k, k, 0));
    for (int y = 0; y < k; y++)
      for (int x = 0; x < k; x++) EXPECT_EQ(PixelOf(target, x, y), RGB(1, 2, 3)) << k;
  }
}

TEST(BitmapResampler, AreaWeightingByHand) {
  // Three columns into two: covers 85 | 43 + 42 | 85 of 128, fractions carried.
  CDib src, target;
  ASSERT_TRUE(testimg::MakeDib(src, 3, 1, [](int x, int) { return Grey(90 + 60 * x); }));
  int mode = -1;
  ASSERT_TRUE(ResampleAll(src, target, 2, 1, 0, 0, 0, &mode));
  EXPECT_EQ(mode, CBitmapResampler::kModeArea);
  EXPECT_EQ(PixelOf(target, 0, 0), Grey(110));
  EXPECT_EQ(PixelOf(target, 1, 0), Grey(188));
  // One pixel grown to 3 x 2 covers every target pixel whole.
  ASSERT_TRUE(testimg::MakeDib(src, 1, 1, [](int, int) { return RGB(7, 130, 255); }));
  ASSERT_TRUE(ResampleAll(src, target, 3, 2, 0));
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 3; x++) EXPECT_EQ(PixelOf(target, x, y), RGB(7, 130, 255));
}

TEST(BitmapResampler, OffsetsSqueezeRowsByThousandths) {
  // Half a pixel off the top and the bottom: each source row covers half a target row.
  CDib src, target;
  ASSERT_TRUE(testimg::MakeDib(src, 1, 2, [](int, int y) { return Grey(y ? 100 : 200); }));
  int mode = -1;
  ASSERT_TRUE(ResampleAll(src, target, 1, 2, 0, 500, 500, &mode));
  EXPECT_EQ(mode, CBitmapResampler::kModeOffset);
  EXPECT_EQ(PixelOf(target, 0, 0), Grey(100));
  EXPECT_EQ(PixelOf(target, 0, 1), Grey(50));
  // Offsets that push rows outside the target are cut, not written beyond it.
  ASSERT_TRUE(ResampleAll(src, target, 1, 2, 0, -1500, 0));
  ASSERT_TRUE(ResampleAll(src, target, 1, 2, 0, 2500, 0));
}

// Where the picture's pixel (x, y) of a width x height picture lands after `turns`.
POINT Turned(int x, int y, int width, int height, int turns) {
  switch (((turns % 4) + 4) % 4) {
    case 1:
      return {height - y - 1, x};
    case 2:
      return {width - x - 1, height - y - 1};
    case 3:
      return {y, width - x - 1};
    default:
      return {x, y};
  }
}

TEST(BitmapResampler, EveryModeTurnsTheSamePicture) {
  struct Case {
    int sw, sh, tw, th, top;
  } const cases[] = {
      {4, 3, 4, 3, 0}, {4, 2, 2, 1, 0}, {2, 3, 4, 6, 0}, {2, 1, 6, 3, 0}, {6, 3, 2, 1, 0}, {5, 4, 3, 3, 0}, {4, 3, 4, 3, 300},
  };
  for (const Case& c : cases) {
    CDib src, straight;
    ASSERT_TRUE(testimg::MakeDib(src, c.sw, c.sh, testimg::Pattern));
    ASSERT_TRUE(ResampleAll(src, straight, c.tw, c.th, 0, c.top, 0));
    for (int turns : {1, 2, 3, -1}) {
      CDib turned;
      ASSERT_TRUE(ResampleAll(src, turned, c.tw, c.th, turns, c.top, 0));
      for (int y = 0; y < c.th; y++)
        for (int x = 0; x < c.tw; x++) {
          const POINT p = Turned(x, y, c.tw, c.th, turns);
          ASSERT_EQ(PixelOf(turned, p.x, p.y), PixelOf(straight, x, y))
              << c.sw << "x" << c.sh << " -> " << c.tw << "x" << c.th << " turns " << turns << " at " << x << "," << y;
        }
    }
  }
}

TEST(BitmapResampler, SameSizeCopyIsExact) {
  CDib src, target;
  ASSERT_TRUE(testimg::MakeDib(src, 5, 3, testimg::Pattern));
  ASSERT_TRUE(ResampleAll(src, target, 5, 3, 0));
  for (int y = 0; y < 3; y++)
    for (int x = 0; x < 5; x++) EXPECT_EQ(PixelOf(target, x, y), testimg::Pattern(x, y));
}

}  // namespace
