#include "graphics/FontInfo.h"
#include "graphics/tests/TestFont.h"

#include <gtest/gtest.h>

using testfont::CTestFont;

namespace {

TEST(FontInfo, CachedWidthsAreGdiWidthsOfTheFont) {
  CTestFont font;
  ASSERT_GT(font.Height(), 0);
  const WCHAR sample[] = L"aiMW .,\x2026\x00E9\x0416";
  for (const WCHAR* c = sample; *c; c++) {
    const WCHAR one[2] = {*c, 0};
    EXPECT_EQ(font.Info()->GetCharWidth(font.Dc(), *c), font.Sum(one)) << int(*c);
    // Asked again, the cache answers the same.
    EXPECT_EQ(font.Info()->GetCharWidth(font.Dc(), *c), font.Sum(one)) << int(*c);
  }
}

TEST(FontInfo, MeasuresWithItsOwnFontWhateverTheDcHolds) {
  CTestFont font(12);
  CTestFont big(40);
  const int own = font.Sum(L"W");
  ASSERT_NE(own, big.Sum(L"W"));
  // A DC holding another font must not leave that font's width in the cache.
  HGDIOBJ before = SelectObject(big.Dc(), big.Font());
  EXPECT_EQ(font.Info()->GetCharWidth(big.Dc(), L'W'), own);
  EXPECT_EQ(GetCurrentObject(big.Dc(), OBJ_FONT), big.Font());
  SelectObject(big.Dc(), before);
  EXPECT_EQ(font.Info()->GetCharWidth(font.Dc(), L'W'), own);
}

TEST(FontInfo, MostRecentlyUsedPageComesFirst) {
  CTestFont font;
  CFontInfo* info = font.Info();
  info->GetCharWidth(font.Dc(), L'a');
  info->GetCharWidth(font.Dc(), 0x0416);
  info->GetCharWidth(font.Dc(), L'b');
  ASSERT_EQ(info->GetPageCount(), 2);
  EXPECT_EQ(info->GetPageKey(0), 0x00);
  EXPECT_EQ(info->GetPageKey(1), 0x04);
  for (int page = 0x10; page < 0x16; page++) info->GetCharWidth(font.Dc(), WCHAR(page << 8 | 0x41));
  info->GetCharWidth(font.Dc(), 0x0417);
  ASSERT_EQ(info->GetPageCount(), 8);
  EXPECT_EQ(info->GetPageKey(0), 0x04);
  EXPECT_EQ(info->GetPageKey(1), 0x15);
  EXPECT_EQ(info->GetPageKey(7), 0x00);
  info->ClearWidthCache();
  EXPECT_EQ(info->GetPageCount(), 0);
  EXPECT_EQ(info->GetCharWidth(font.Dc(), L'a'), font.Sum(L"a"));
}

TEST(FontInfo, MeasureTextAddsWidthsAndTakesTheFontHeight) {
  CTestFont font;
  RECT rect = {5, 7, 0, 0};
  font.Info()->MeasureText(font.Dc(), L"Hello", &rect);
  EXPECT_EQ(rect.right, 5 + font.Sum(L"Hello"));
  EXPECT_EQ(rect.bottom, 7 + font.Height());
  font.Info()->MeasureText(font.Dc(), L"", &rect);
  EXPECT_EQ(rect.right, 5);
  EXPECT_EQ(rect.bottom, 7 + font.Height());
  font.Info()->MeasureChar(font.Dc(), L'H', &rect);
  EXPECT_EQ(rect.right, 5 + font.Sum(L"H"));
}

}  // namespace
