#include "panel/MemoryDib.h"

#include <gtest/gtest.h>

namespace {

// Each kind gives its depth, its palette or bit fields, 96 dpi and padded rows;
// GDI draws into it through its own device context.
TEST(MemoryDib, KindsGiveTheirFormats) {
  struct Case {
    int kind;
    int bits;
    int colours;     // palette entries
    BYTE secondGrey;  // the palette's second level
    int stride;      // of a 5-pixel row
  };
  const Case cases[] = {
      {CMemoryDib::kMono, 1, 2, 255, 4},       {CMemoryDib::kGrey16, 4, 16, 16, 4},
      {CMemoryDib::kGrey256, 8, 256, 1, 8},    {CMemoryDib::kRgb565, 16, 0, 0, 12},
      {CMemoryDib::kRgb24, 24, 0, 0, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    CMemoryDib dib;
    ASSERT_TRUE(dib.Create(5, 3, c.kind));
    EXPECT_EQ(dib.GetBitsPerPixel(), c.bits);
    EXPECT_EQ(dib.GetStride(), c.stride);
    DIBSECTION section = {};
    ASSERT_EQ(GetObjectW(dib.GetBitmap(), sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBmih.biBitCount, c.bits);
    EXPECT_EQ(section.dsBmih.biXPelsPerMeter, 3780);
    EXPECT_EQ(section.dsBmih.biYPelsPerMeter, 3780);
    EXPECT_EQ(section.dsBm.bmWidthBytes, c.stride);
    HDC dc = dib.GetDC();
    ASSERT_TRUE(dc);
    EXPECT_EQ(dib.GetDC(), dc) << "made once";
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), dib.GetBitmap());
    if (c.colours) {
      RGBQUAD table[256] = {};
      EXPECT_EQ(GetDIBColorTable(dc, 0, 256, table), static_cast<UINT>(c.colours));
      EXPECT_EQ(table[0].rgbRed, 0);
      EXPECT_EQ(table[1].rgbGreen, c.secondGrey);
      EXPECT_EQ(table[c.colours - 1].rgbBlue, c.kind == CMemoryDib::kGrey16 ? 240 : 255);
    }
    if (c.bits == 16) {
      EXPECT_EQ(section.dsBitfields[0], 0xF800u);
      EXPECT_EQ(section.dsBitfields[1], 0x07E0u);
      EXPECT_EQ(section.dsBitfields[2], 0x001Fu);
    }
    // White drawn at the top left lands in the last row of the bottom-up bits.
    RECT pixel = {0, 0, 1, 1};
    FillRect(dc, &pixel, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    GdiFlush();
    const BYTE* top = dib.GetBits() + 2 * dib.GetStride();
    EXPECT_NE(top[0], 0);
    dib.ReleaseDC();
  }
}

TEST(MemoryDib, RefusesWhatItCannotMake) {
  struct Case {
    int width, height, kind;
  };
  const Case cases[] = {{0, 4, 3}, {4, 0, 3}, {-1, 4, 3}, {4, 4, 5}, {4, 4, -1}, {0x7FFFFFFF, 0x7FFFFFFF, 4}};
  for (const Case& c : cases) {
    CMemoryDib dib;
    ASSERT_TRUE(dib.Create(2, 2, CMemoryDib::kRgb24));
    EXPECT_FALSE(dib.Create(c.width, c.height, c.kind)) << c.width << " " << c.height << " " << c.kind;
    EXPECT_EQ(dib.GetBitmap(), nullptr) << "what it held is gone";
    EXPECT_EQ(dib.GetDC(), nullptr);
  }
}

// A drawer that leaves another bitmap selected does not keep the surface from
// being released and made again.
TEST(MemoryDib, ReleasingUndoesWhatTheDrawerSelected) {
  CMemoryDib dib;
  ASSERT_TRUE(dib.Create(4, 4, CMemoryDib::kRgb565));
  HDC dc = dib.GetDC();
  HBITMAP other = CreateBitmap(4, 4, 1, 1, nullptr);
  SelectObject(dc, other);
  dib.ReleaseDC();
  EXPECT_TRUE(DeleteObject(other)) << "no longer selected anywhere";
  dc = dib.GetDC();
  ASSERT_TRUE(dc);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), dib.GetBitmap());
  dib.Destroy();
  EXPECT_EQ(dib.GetBits(), nullptr);
}

}  // namespace
