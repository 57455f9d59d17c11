#include "graphics/ColorValue.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorValue, NewValuesAndTheRegistryForm) {
  CColorValue none;
  EXPECT_TRUE(none.IsNone());
  EXPECT_EQ(CColorValue::kNoColor, none.GetColor());
  EXPECT_EQ(100, none.GetBlend());
  EXPECT_EQ(0xE4000000u, none.Pack());

  CColorValue red(RGB(200, 0, 0));
  EXPECT_FALSE(red.IsNone());
  EXPECT_EQ(0x640000C8u, red.Pack());

  struct Case {
    DWORD packed;
    bool none;
    int blend;
    COLORREF color;
  } const cases[] = {
      {0x64123456, false, 100, 0x123456},
      {0xE4123456, true, 100, CColorValue::kNoColor},
      {0x00ABCDEF, false, 0, 0xABCDEF},
      {0xB2010203, true, 50, CColorValue::kNoColor},
      {0x7F000000, false, 127, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.packed);
    CColorValue value;
    value.Unpack(c.packed);
    EXPECT_EQ(c.none, !!value.IsNone());
    EXPECT_EQ(c.blend, value.GetBlend());
    EXPECT_EQ(c.color, value.GetColor());
    EXPECT_EQ(c.packed, value.Pack());
  }
}

TEST(ColorValue, SettingNoneKeepsTheColour) {
  CColorValue value(RGB(1, 2, 3));
  value.SetColor(0xFFFFFFFF);
  EXPECT_TRUE(value.IsNone());
  EXPECT_EQ(0xFFFFFFFFu, value.GetColor());
  EXPECT_EQ(0xE4030201u, value.Pack());
  value.SetColor(RGB(4, 5, 6));
  EXPECT_FALSE(value.IsNone());
  EXPECT_EQ(0x64060504u, value.Pack());

  value.SetNone();
  EXPECT_EQ(0xC8, value.SetBlend(72)) << "the none flag stays";
  EXPECT_EQ(0xE4, value.SetBlend(150));
  EXPECT_EQ(0x80, value.SetBlend(-5));
}

TEST(ColorValue, BlendMovesTowardTheColourTruncating) {
  struct Case {
    COLORREF color;
    int blend;
    COLORREF base;
    COLORREF expected;
  } const cases[] = {
      {RGB(100, 0, 0), 50, RGB(200, 0, 0), RGB(150, 0, 0)},
      {RGB(201, 0, 0), 50, RGB(200, 0, 0), RGB(200, 0, 0)},
      {RGB(10, 20, 30), 100, RGB(200, 100, 50), RGB(10, 20, 30)},
      {RGB(10, 20, 30), 0, RGB(200, 100, 50), RGB(200, 100, 50)},
      {RGB(0, 255, 99), 25, RGB(255, 0, 1), RGB(192, 63, 25)},
  };
  for (const Case& c : cases) {
    CColorValue value(c.color);
    value.SetBlend(c.blend);
    EXPECT_EQ(c.expected, value.Blend(c.base)) << c.blend;
  }
  CColorValue none;
  EXPECT_EQ(RGB(7, 8, 9), none.Blend(RGB(7, 8, 9)));

  // A percentage above 100 from the registry stays within each channel.
  CColorValue stored;
  stored.Unpack(0x7F00FF00);
  EXPECT_EQ(RGB(0, 255, 0), stored.Blend(RGB(0, 0, 0)));
}

}  // namespace
