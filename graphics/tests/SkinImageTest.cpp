// Cells of a skin strip drawn with magenta left out.
#include "graphics/SkinImage.h"

#include <gtest/gtest.h>

#include "graphics/SkinArchive.h"
#include "graphics/tests/TestImages.h"
#include "platform/unzip/tests/ZipWriter.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kPaper = RGB(10, 20, 30);

// Two columns and three rows of 4 x 4 cells; in each cell the pixels on its
// diagonal are magenta, the rest a colour telling cell and place.
COLORREF StripColour(int x, int y) {
  if (x % 4 == y % 4) return kMagenta;
  return RGB(x * 20, y * 15, 100);
}

class SkinImageTest : public ::testing::Test {
 protected:
  SkinImageTest() : m_folder(L"skin_image_test") {
    ziptest::WriteBytes(m_folder.File(L"tab_icons_16.bmp"), testimg::MakeBmp(8, 12, false, StripColour));
  }
  ~SkinImageTest() override {
    CSkinArchive::Instance().Close();
    CSkinArchive::Instance().ClearCache();
  }

  ziptest::TempFolder m_folder;
};

TEST_F(SkinImageTest, DrawsOneCellLeavingTheKeyColourOut) {
  ASSERT_TRUE(CSkinArchive::Instance().Open(m_folder.Path().c_str()));
  CSkinImage image;
  EXPECT_FALSE(image.Draw(nullptr, 0, 0, 0, 0));
  ASSERT_TRUE(image.Load(L"tab_icons_16.bmp", 4, 4));
  EXPECT_EQ(3, image.GetRowCount());

  CDib target;
  ASSERT_TRUE(target.CreateFilled(10, 10, kPaper));
  ASSERT_TRUE(image.Draw(target.GetDC(), 2, 3, 5, 1));
  target.ReleaseDC();
  for (int y = 0; y < 10; y++)
    for (int x = 0; x < 10; x++) {
      const bool inside = x >= 3 && x < 7 && y >= 5 && y < 9;
      COLORREF expected = kPaper;
      if (inside) {
        const COLORREF cell = StripColour(4 + (x - 3), 8 + (y - 5));
        if (cell != kMagenta) expected = cell;
      }
      EXPECT_EQ(expected, testimg::PixelOf(target, x, y)) << "at " << x << "," << y;
    }
}

TEST_F(SkinImageTest, RowsAreWholeCellsAndBadLoadsFail) {
  CSkinArchive archive;
  ASSERT_TRUE(archive.Open(m_folder.Path().c_str()));
  CSkinImage image;
  EXPECT_EQ(0, image.GetRowCount());
  ASSERT_TRUE(image.Load(archive, L"tab_icons_16.bmp", 4, 5));
  EXPECT_EQ(2, image.GetRowCount());
  EXPECT_FALSE(image.Load(archive, L"tab_icons_16.bmp", 4, 0));
  EXPECT_FALSE(image.Load(archive, L"tab_icons_32.bmp", 8, 8));
  // A failed load keeps what was loaded.
  EXPECT_EQ(2, image.GetRowCount());
}

}  // namespace
