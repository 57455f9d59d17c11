#include "pim/DrawingUtils.h"

#include <gtest/gtest.h>

#include <string>

#include "base/BitmapDC.h"
#include "base/ScreenDpi.h"
#include "pim/tests/BesideTest.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

// A run of pixels as text: '#' black, '.' white, '?' other.
std::string Pixels(HDC dc, int x, int y, int dx, int dy, int count) {
  std::string run;
  for (int i = 0; i < count; ++i) {
    const COLORREF c = GetPixel(dc, x + i * dx, y + i * dy);
    run += c == kBlack ? '#' : c == kWhite ? '.' : '?';
  }
  return run;
}
std::string Row(HDC dc, int y, int width) { return Pixels(dc, 0, y, 1, 0, width); }
std::string Column(HDC dc, int x, int height) { return Pixels(dc, x, 0, 0, 1, height); }

struct Surface {
  Surface(int width, int height) { dc.CreateFilled(width, height, kWhite); }
  HDC DC() const { return dc.GetDC(); }
  CBitmapDC dc;
};

TEST(DrawingUtilsTest, PolylineSegmentsMoveByThePenWidth) {
  // An L: down the left side, then along the bottom, drawn 3 pixels wide.
  const POINT points[] = {{5, 1}, {5, 10}, {14, 10}};
  struct Case {
    UINT flags;
    int verticalAt;    // the centre column of the vertical segment
    int horizontalAt;  // the centre row of the horizontal segment
  };
  const Case cases[] = {{0, 5, 10},
                        {POLYLINE_LEFT, 4, 10},
                        {POLYLINE_RIGHT, 6, 10},
                        {POLYLINE_UP, 5, 9},
                        {POLYLINE_DOWN, 5, 11},
                        {POLYLINE_LEFT | POLYLINE_UP, 4, 9}};
  for (const Case& c : cases) {
    Surface surface(20, 16);
    HPEN pen = CreatePen(PS_SOLID, 3, kBlack);
    HGDIOBJ old = SelectObject(surface.DC(), pen);
    EXPECT_TRUE(DrawPolylineCurrentPen(surface.DC(), points, 3, c.flags));
    SelectObject(surface.DC(), old);
    DeleteObject(pen);
    EXPECT_EQ('#', Row(surface.DC(), 5, 20)[c.verticalAt]) << c.flags;
    EXPECT_EQ('.', Row(surface.DC(), 5, 20)[c.verticalAt + 2]) << c.flags;
    EXPECT_EQ('.', Row(surface.DC(), 5, 20)[c.verticalAt - 2]) << c.flags;
    EXPECT_EQ('#', Column(surface.DC(), 10, 16)[c.horizontalAt]) << c.flags;
    EXPECT_EQ('.', Column(surface.DC(), 10, 16)[c.horizontalAt + 2]) << c.flags;
    EXPECT_EQ('.', Column(surface.DC(), 10, 16)[c.horizontalAt - 2]) << c.flags;
  }
  Surface surface(4, 4);
  EXPECT_FALSE(DrawPolyline(surface.DC(), points, 1, 0, 1)) << "one point is no line";
}

TEST(DrawingUtilsTest, RectangleOutlineStaysInside) {
  Surface surface(12, 12);
  HPEN pen = CreatePen(PS_SOLID, 3, kBlack);
  HGDIOBJ oldPen = SelectObject(surface.DC(), pen);
  HGDIOBJ oldBrush = SelectObject(surface.DC(), GetStockObject(WHITE_BRUSH));
  const RECT rect = {1, 1, 11, 11};
  EXPECT_TRUE(DrawRectangleCurrentPen(surface.DC(), rect));
  SelectObject(surface.DC(), oldPen);
  SelectObject(surface.DC(), oldBrush);
  DeleteObject(pen);
  EXPECT_EQ(".###....###.", Row(surface.DC(), 6, 12));
  EXPECT_EQ(".###....###.", Column(surface.DC(), 6, 12));

  Surface stock(8, 8);
  const RECT all = {0, 0, 8, 8};
  EXPECT_TRUE(DrawRectangleStockPen(stock.DC(), all)) << "the border pen exists here too";
  EXPECT_EQ("#......#", Row(stock.DC(), 4, 8));
}

TEST(DrawingUtilsTest, CentredAndTiledBitmaps) {
  // A 3x2 black block with one white pixel at its top left, to see the tiles' origin.
  CBitmapDC tile;
  tile.CreateFilled(3, 2, kBlack);
  SetPixel(tile.GetDC(), 0, 0, kWhite);
  HBITMAP bitmap = tile.GetBitmap();
  tile.SetOwnsBitmap(FALSE);
  tile.Release();

  Surface centred(9, 4);
  const RECT wide = {0, 0, 9, 4};
  EXPECT_TRUE(BlitCentered(centred.DC(), wide, bitmap));
  EXPECT_EQ("....##...", Row(centred.DC(), 1, 9));
  Surface small(2, 1);
  const RECT tight = {0, 0, 2, 1};
  EXPECT_TRUE(BlitCentered(small.DC(), tight, bitmap));
  EXPECT_EQ(".#", Row(small.DC(), 0, 2)) << "never moved left of the rectangle";

  Surface tiled(8, 5);
  const RECT area = {0, 0, 7, 5};
  EXPECT_TRUE(TileBitmap(tiled.DC(), area, bitmap));
  EXPECT_EQ(".##.##..", Row(tiled.DC(), 0, 8)) << "last column clipped at 7";
  EXPECT_EQ("#######.", Row(tiled.DC(), 1, 8));
  EXPECT_EQ(".#.#.", Column(tiled.DC(), 0, 5)) << "last row clipped at 5";
  EXPECT_FALSE(TileBitmap(tiled.DC(), area, nullptr));
  DeleteObject(bitmap);
}

TEST(DrawingUtilsTest, ImageStripCellsAreResizedOneByOne) {
  // Two 4x2 cells side by side: the first black, the second white.
  auto makeStrip = [] {
    CBitmapDC strip;
    strip.CreateFilled(8, 2, kWhite);
    const RECT first = {0, 0, 4, 2};
    FillRect(strip.GetDC(), &first, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HBITMAP bitmap = strip.GetBitmap();
    strip.SetOwnsBitmap(FALSE);
    return bitmap;
  };
  struct Case {
    int cellWidth, cellHeight, columns, rows;
    BOOL result;
    int width, height;
  };
  const Case cases[] = {
      {8, 4, 2, 1, TRUE, 16, 4},  {0, 1, 2, 1, TRUE, 4, 1},  {2, 0, 2, 1, TRUE, 4, 1},
      {4, 2, 2, 1, TRUE, 8, 2},   {0, 0, 2, 1, FALSE, 8, 2}, {4, 2, 0, 1, FALSE, 8, 2},
  };
  for (const Case& c : cases) {
    HBITMAP bitmap = makeStrip();
    EXPECT_EQ(c.result, ResizeImageStrip(bitmap, c.cellWidth, c.cellHeight, c.columns, c.rows)) << c.cellWidth;
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    EXPECT_EQ(c.width, info.bmWidth) << c.cellWidth;
    EXPECT_EQ(c.height, info.bmHeight) << c.cellWidth;
    CBitmapDC check;
    check.Attach(bitmap);
    EXPECT_EQ(kBlack, GetPixel(check.GetDC(), c.width / 2 - 1, 0)) << "the first cell stays in its half";
    EXPECT_EQ(kWhite, GetPixel(check.GetDC(), c.width / 2, 0)) << "the second cell stays in its half";
    check.Release();
    DeleteObject(bitmap);
  }
}

TEST(DrawingUtilsTest, ImageListsScaleWithTheScreen) {
  // The resource library's scroll bar strip: 32 x 79, four 8-wide images.
  HMODULE res = LoadLibraryExW(BesideTest(L"TarvoRes.Dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, res);
  struct Case {
    int dpi, cx, cy;
  };
  for (const Case& c : {Case{96, 8, 79}, Case{192, 16, 158}, Case{144, 12, 119}}) {
    SetScreenDpi(c.dpi, c.dpi);
    HIMAGELIST list = LoadImageListScaled(res, MAKEINTRESOURCEW(129), 8, 1, RGB(255, 0, 255), ILC_COLOR24, 0);
    ASSERT_NE(nullptr, list) << c.dpi;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(c.cx, cx) << c.dpi;
    EXPECT_EQ(c.cy, cy) << c.dpi;
    EXPECT_EQ(4, ImageList_GetImageCount(list)) << c.dpi;
    ImageList_Destroy(list);
  }
  EXPECT_EQ(nullptr, LoadImageListScaled(res, MAKEINTRESOURCEW(4321), 8, 1, CLR_NONE, ILC_COLOR24, 0));
  InitScreenDpi();
  FreeLibrary(res);
}

TEST(DrawingUtilsTest, OpaqueIconHidesWhatIsBehindIt) {
  // A 4x4 icon: white, its left half masked out (transparent).
  CBitmapDC colour, mask;
  colour.CreateFilled(4, 4, kWhite);
  PatBlt(colour.GetDC(), 0, 0, 2, 4, BLACKNESS);
  mask.CreateWithBitCount(4, 4, 1);
  PatBlt(mask.GetDC(), 0, 0, 4, 4, BLACKNESS);
  PatBlt(mask.GetDC(), 0, 0, 2, 4, WHITENESS);
  ICONINFO info = {TRUE, 0, 0, mask.GetBitmap(), colour.GetBitmap()};
  mask.SetOwnsBitmap(FALSE);
  colour.SetOwnsBitmap(FALSE);
  mask.Release();
  colour.Release();
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  ASSERT_NE(nullptr, icon);
  auto drawnOverWhite = [](HICON drawn) {
    Surface surface(4, 1);
    DrawIconEx(surface.DC(), 0, 0, drawn, 4, 4, 0, nullptr, DI_NORMAL);
    return Row(surface.DC(), 0, 4);
  };
  ASSERT_EQ("....", drawnOverWhite(icon)) << "the fixture: transparent left, white right";
  EXPECT_TRUE(MakeIconOpaque(icon, 4, 4));
  EXPECT_EQ("##..", drawnOverWhite(icon)) << "the transparent half is black now";
  HICON none = nullptr;
  EXPECT_FALSE(MakeIconOpaque(none, 4, 4));
  EXPECT_FALSE(MakeIconOpaque(icon, 0, 4));
  DestroyIcon(icon);
}

}  // namespace
