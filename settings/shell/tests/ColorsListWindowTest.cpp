#include "settings/shell/ColorsListWindow.h"

#include <gtest/gtest.h>

#include "base/ScreenDpi.h"
#include "settings/shell/tests/ShellTestSupport.h"

namespace {

class ColorsListWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_grid.Create(10, 10, nullptr)); }
  void Key(WPARAM key) { SendMessageW(m_grid, WM_KEYDOWN, key, 0); }
  void Tap(int x, int y) { SendMessageW(m_grid, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y)); }
  std::pair<int, int> Cell() const { return {m_grid.GetSelectedRow(), m_grid.GetSelectedColumn()}; }

  CColorsListWindow m_grid;
};

TEST_F(ColorsListWindowTest, IsTheGridsSizeAtTheScreensDpi) {
  RECT rect = {};
  GetWindowRect(m_grid, &rect);
  const SIZE size = CColorsListWindow::GetControlSize();
  if (GetScreenDpiX() == 96 && GetScreenDpiY() == 96) {
    EXPECT_EQ(size.cx, 148);
    EXPECT_EQ(size.cy, 94);
  }
  EXPECT_EQ(rect.right - rect.left, size.cx);
  EXPECT_EQ(rect.bottom - rect.top, size.cy);
  EXPECT_TRUE(GetWindowLongW(m_grid, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(SendMessageW(m_grid, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
}

TEST_F(ColorsListWindowTest, ArrowKeysMoveAndStopAtTheEdges) {
  struct Step {
    WPARAM key;
    std::pair<int, int> cell;
  };
  const Step steps[] = {
      {VK_LEFT, {0, 0}}, {VK_UP, {0, 0}},    {VK_RIGHT, {0, 1}}, {VK_DOWN, {1, 1}},
      {VK_DOWN, {2, 1}}, {VK_DOWN, {3, 1}}, {VK_DOWN, {4, 1}},  {VK_DOWN, {4, 1}},
  };
  for (const Step& step : steps) {
    Key(step.key);
    EXPECT_EQ(Cell(), step.cell) << step.key;
  }
  m_grid.SelectValue(0x00282828);  // row 0, last column
  EXPECT_EQ(Cell(), std::make_pair(0, 7));
  Key(VK_RIGHT);
  EXPECT_EQ(Cell(), std::make_pair(0, 7));
  Key('A');  // not an arrow: nothing moves
  EXPECT_EQ(Cell(), std::make_pair(0, 7));
}

TEST_F(ColorsListWindowTest, TapsPickTheCellAndClampPastTheEdges) {
  const int step = ScaleX(18), margin = ScaleX(4);
  struct Case {
    int x, y;
    std::pair<int, int> cell;
  };
  const Case cases[] = {
      {margin + 1, margin + 1, {0, 0}},
      {margin + 2 * step + 2, margin + 3 * step + 2, {3, 2}},
      {margin + 2 * step + ScaleX(14), margin + 2, {0, 2}},  // in a gap: the cell on its left
      {1000, 5, {0, 7}},                                     // right of the last column
      {5, 1000, {4, 0}},                                     // below the last row
      {-20, -20, {0, 0}},
  };
  for (const Case& c : cases) {
    Tap(c.x, c.y);
    EXPECT_EQ(Cell(), c.cell) << c.x << "," << c.y;
  }
  // The release asks the owner to end the popup.
  SendMessageW(m_grid, WM_LBUTTONUP, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, m_grid, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_RETURN));
}

TEST_F(ColorsListWindowTest, ValuesSelectTheirCells) {
  struct Case {
    COLORREF color;
    std::pair<int, int> cell;
  };
  const Case cases[] = {
      {0x00FFFFFF, {4, 7}}, {0x000000FF, {2, 0}}, {kNoColor, {0, 0}}, {0x00123456, {0, 0}},
  };
  for (const Case& c : cases) {
    m_grid.SelectValue(c.color);
    EXPECT_EQ(Cell(), c.cell);
  }
  m_grid.SelectValue(0x00FFFFFF);
  EXPECT_EQ(m_grid.GetSelectedValue(), 0x00FFFFFFu);
  m_grid.SelectValue(0x00123456);
  EXPECT_EQ(m_grid.GetSelectedValue(), kNoColor);
  // Painting a grid with every kind of cell selected runs through.
  ShowWindow(m_grid, SW_SHOWNA);
  UpdateWindow(m_grid);
}

}  // namespace
