#include "settings/base/DrawingHelpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A white 32-bit canvas with a black pen of the given width and no brush.
class CCanvas {
 public:
  CCanvas(int width, int height, int penWidth) : m_width(width) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
    for (int i = 0; i < width * height; ++i) m_bits[i] = 0xFFFFFF;
    m_pen = CreatePen(PS_SOLID, penWidth, RGB(0, 0, 0));
    m_oldPen = SelectObject(m_dc, m_pen);
    m_oldBrush = SelectObject(m_dc, GetStockObject(NULL_BRUSH));
  }
  ~CCanvas() {
    SelectObject(m_dc, m_oldBrush);
    SelectObject(m_dc, m_oldPen);
    SelectObject(m_dc, m_oldBitmap);
    DeleteObject(m_pen);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  HDC DC() const { return m_dc; }
  bool Inked(int x, int y) const { return (m_bits[y * m_width + x] & 0xFFFFFF) != 0xFFFFFF; }
  // The first and last inked column of a row, or -1, -1.
  std::pair<int, int> InkedColumns(int y) const {
    int first = -1, last = -1;
    for (int x = 0; x < m_width; ++x)
      if (Inked(x, y)) {
        if (first < 0) first = x;
        last = x;
      }
    return {first, last};
  }

 private:
  int m_width;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_oldBitmap, m_oldPen, m_oldBrush;
  HPEN m_pen;
  DWORD* m_bits = nullptr;
};

TEST(DrawAlignedPolylineTest, ThickPenLiesOnTheFlaggedSide) {
  struct Case {
    const char* name;
    DWORD flags;
    int first, last;  // inked columns of a vertical line at x = 10, pen 3 wide
  };
  const Case cases[] = {
      {"plain: centred", 0, 9, 11},
      {"right of the line", kLineRightOfSteep, 10, 12},
      {"left of the line", kLineLeftOfSteep, 8, 10},
      {"flat flags leave steep segments alone", kLineBelowFlat, 9, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CCanvas canvas(30, 30, 3);
    POINT line[] = {{10, 2}, {10, 25}};
    ASSERT_TRUE(DrawAlignedPolyline(canvas.DC(), line, 2, c.flags));
    EXPECT_EQ(canvas.InkedColumns(12), std::make_pair(c.first, c.last));
  }
  // A flat segment moves up or down instead.
  CCanvas below(30, 30, 3);
  POINT flat[] = {{2, 10}, {25, 10}};
  ASSERT_TRUE(DrawAlignedPolyline(below.DC(), flat, 2, kLineBelowFlat));
  EXPECT_FALSE(below.Inked(12, 9));
  EXPECT_TRUE(below.Inked(12, 12));
  CCanvas above(30, 30, 3);
  ASSERT_TRUE(DrawAlignedPolyline(above.DC(), flat, 2, kLineAboveFlat));
  EXPECT_TRUE(above.Inked(12, 8));
  EXPECT_FALSE(above.Inked(12, 11));
}

TEST(DrawFrameRectTest, OuterEdgeLiesOnTheBox) {
  CCanvas canvas(30, 30, 3);
  ASSERT_TRUE(DrawFrameRect(canvas.DC(), 5, 5, 25, 25));
  EXPECT_FALSE(canvas.Inked(4, 15));
  EXPECT_TRUE(canvas.Inked(5, 15));
  EXPECT_TRUE(canvas.Inked(15, 5));
  EXPECT_FALSE(canvas.Inked(15, 15));
}

TEST(BlitDibCenteredTest, SmallImageIsCentredLargeOneStartsAtTheBox) {
  CDib small;
  ASSERT_TRUE(small.CreateFilled(4, 4, RGB(0, 0, 0)));
  CCanvas canvas(30, 30, 1);
  ASSERT_TRUE(BlitDibCentered(canvas.DC(), 10, 10, 10, 10, small));
  EXPECT_FALSE(canvas.Inked(12, 12));
  EXPECT_TRUE(canvas.Inked(13, 13));
  EXPECT_TRUE(canvas.Inked(16, 16));
  EXPECT_FALSE(canvas.Inked(17, 17));
  CDib large;
  ASSERT_TRUE(large.CreateFilled(8, 8, RGB(0, 0, 0)));
  CCanvas box(30, 30, 1);
  ASSERT_TRUE(BlitDibCentered(box.DC(), 10, 10, 4, 4, large));
  EXPECT_FALSE(box.Inked(9, 9));
  EXPECT_TRUE(box.Inked(10, 10));
  EXPECT_TRUE(box.Inked(17, 17));
}

TEST(FitDialogChildrenTest, ChildrenTakeTheWidthPicturesAreCentred) {
  HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(dialog, nullptr);
  struct Case {
    const char* name;
    LPCWSTR className;
    DWORD style;
    int left, width;
  };
  const Case cases[] = {
      {"a button", L"BUTTON", BS_PUSHBUTTON, 0, 200},
      {"a right-aligned text", L"STATIC", SS_RIGHT, 0, 200},
      {"a centred text", L"STATIC", SS_CENTER, 0, 200},
      {"a bitmap", L"STATIC", SS_BITMAP, 80, 40},
  };
  std::vector<HWND> children;
  for (const Case& c : cases)
    children.push_back(CreateWindowExW(0, c.className, L"", WS_CHILD | c.style, 5, 20, 40, 10, dialog, nullptr,
                                       nullptr, nullptr));
  FitDialogChildren(dialog);
  for (size_t i = 0; i < children.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    RECT rect;
    GetWindowRect(children[i], &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, cases[i].left);
    EXPECT_EQ(rect.right - rect.left, cases[i].width);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.bottom - rect.top, 10);
  }
  DestroyWindow(dialog);
}

}  // namespace
