#include "base/ScreenDpi.h"
#include "platform/coredll/DeviceSwitch.h"
#include <gtest/gtest.h>

namespace {

class ScreenDpi : public ::testing::Test {
 protected:
  void TearDown() override { SetScreenDpi(0, 0); }
};

TEST_F(ScreenDpi, LogicalPixelsScaleWithRoundingAndTheSignKept) {
  struct Case {
    int dpi;
    int value;
    int scaled;
  };
  const Case cases[] = {
      {96, 1, 1},    {96, 20, 20},   {96, -7, -7},
      {120, 1, 1},   {120, 2, 3},    {120, 10, 13},  {120, 16, 20}, {120, -10, -13},
      {144, 1, 2},   {144, 3, 5},    {144, 20, 30},  {144, -1, -2},
      {192, 1, 2},   {192, 20, 40},  {192, -5, -10}, {192, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " at " << c.dpi);
    SetScreenDpi(c.dpi, 96);
    EXPECT_EQ(ScaleX(c.value), c.scaled);
    EXPECT_EQ(ScaleY(c.value), c.value) << "y keeps its own dpi";
    SetScreenDpi(96, c.dpi);
    EXPECT_EQ(ScaleY(c.value), c.scaled);
  }
}

TEST_F(ScreenDpi, IsReadFromTheScreenOnce) {
  CDeviceSwitch device;
  device.Set(L"Dpi", L"192");
  SetScreenDpi(0, 0);
  InitScreenDpi();
  EXPECT_EQ(GetScreenDpiX(), 192);
  EXPECT_EQ(GetScreenDpiY(), 192);
  device.Set(L"Dpi", L"120");
  InitScreenDpi();
  EXPECT_EQ(GetScreenDpiX(), 192) << "kept for the process";
}

TEST_F(ScreenDpi, WindowHeightIsCappedAtTheScaledHeight) {
  struct Case {
    int dpi;
    int pixels;   // the window's height before
    int logical;  // the cap
    int after;
  };
  const Case cases[] = {
      {96, 30, 20, 20},
      {96, 15, 20, 15},
      // Between the logical and the scaled height: already within the cap.
      {192, 30, 20, 30},
      {192, 50, 20, 40},
      {144, 31, 20, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pixels << " px, cap " << c.logical << " at " << c.dpi);
    SetScreenDpi(c.dpi, c.dpi);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 7, 9, 60, c.pixels, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(SetWindowHeightScaled(window, c.logical));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.bottom - rect.top, c.after);
    EXPECT_EQ(rect.right - rect.left, 60);
    EXPECT_EQ(rect.left, 7);
    EXPECT_EQ(rect.top, 9);
    DestroyWindow(window);
  }
  EXPECT_FALSE(SetWindowHeightScaled(nullptr, 20));
}

}  // namespace
