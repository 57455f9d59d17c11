#include "settings/base/IconAssignList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ScreenDpi.h"

namespace {

// A strip of the given icons in a popup parent at (x, y), 20 pixels a cell.
class Strip {
 public:
  Strip(BOOL multi, std::vector<int> icons, int x = 10, int y = 100) : m_list(multi) {
    m_list.SetItems(icons.empty() ? nullptr : icons.data(), static_cast<int>(icons.size()));
    const int width = 20 * static_cast<int>(icons.size()) + 1;
    m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, x, y, width, 30, nullptr, nullptr, nullptr, nullptr);
    // Shown without taking the foreground from the popups of test programs beside this one.
    ShowWindow(m_parent, SW_SHOWNA);
    RECT rect = {0, 0, width, 21};
    m_list.Create(m_parent, &rect, nullptr, WS_CHILD | WS_VISIBLE, 0, kIconAssignListId);
  }
  ~Strip() {
    m_list.DestroyWindow();
    DestroyWindow(m_parent);
  }
  // The WM_COMMANDs posted to the parent since the last call.
  std::vector<WPARAM> Commands() {
    std::vector<WPARAM> seen;
    MSG msg;
    while (PeekMessageW(&msg, m_parent, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
      EXPECT_EQ(reinterpret_cast<HWND>(msg.lParam), m_list.m_hWnd);
      seen.push_back(msg.wParam);
    }
    return seen;
  }
  void Mouse(UINT message, int x, int y) { SendMessageW(m_list, message, 0, MAKELPARAM(x, y)); }
  void Tap(int cell) {
    Mouse(WM_LBUTTONDOWN, 20 * cell + 10, 10);
    Mouse(WM_LBUTTONUP, 20 * cell + 10, 10);
  }

  CIconAssignList m_list;
  HWND m_parent = nullptr;
};

const WPARAM kChanged = MAKEWPARAM(kIconAssignListId, 1);

TEST(IconAssignList, TapsChooseCellsAndTellTheParentEachTime) {
  struct Case {
    const char* name;
    BOOL multi;
    std::vector<int> taps;
    std::vector<bool> selected;
  };
  const Case cases[] = {
      {"multi: twice deselects", TRUE, {1, 1}, {false, false, false}},
      {"multi: two cells", TRUE, {0, 2}, {true, false, true}},
      {"single: the last tap wins", FALSE, {0, 2}, {false, false, true}},
      // Tapping the current cell changes nothing but still tells the parent.
      {"single: again", FALSE, {1, 1}, {false, true, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Strip strip(c.multi, {0, 3, 6});
    for (int cell : c.taps) strip.Tap(cell);
    EXPECT_EQ(strip.Commands(), std::vector<WPARAM>(c.taps.size(), kChanged));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(strip.m_list.IsSelected(i) != FALSE, c.selected[i]) << i;
    EXPECT_EQ(strip.m_list.GetPressedCell(), -1);
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

TEST(IconAssignList, MarkedCellsRefuseTapsAndSlidingOffSelectsNothing) {
  Strip strip(TRUE, {0, 3, 6});
  strip.m_list.ToggleItem(1);
  EXPECT_TRUE(strip.m_list.IsChecked(1));
  strip.Tap(1);
  EXPECT_TRUE(strip.Commands().empty());
  EXPECT_FALSE(strip.m_list.IsSelected(1));

  strip.Mouse(WM_LBUTTONDOWN, 5, 10);
  EXPECT_EQ(strip.m_list.GetPressedCell(), 0);
  EXPECT_EQ(GetCapture(), strip.m_list.m_hWnd);
  strip.Mouse(WM_MOUSEMOVE, 45, 10);
  strip.Mouse(WM_LBUTTONUP, 45, 10);
  EXPECT_TRUE(strip.Commands().empty());
  EXPECT_FALSE(strip.m_list.IsSelected(0));
  EXPECT_FALSE(strip.m_list.IsSelected(2));
  // Outside every cell nothing is pressed.
  strip.Mouse(WM_LBUTTONDOWN, 200, 10);
  EXPECT_EQ(strip.m_list.GetPressedCell(), -1);

  strip.m_list.ToggleItem(-1);
  EXPECT_FALSE(strip.m_list.IsChecked(1));
}

TEST(IconAssignList, CellsPastThirtyTwoShowButCannotBeChosen) {
  Strip strip(TRUE, std::vector<int>(34, 0));
  strip.m_list.SetCurSel(31);
  strip.m_list.SetCurSel(32);
  EXPECT_TRUE(strip.m_list.IsSelected(31));
  EXPECT_FALSE(strip.m_list.IsSelected(32));
  EXPECT_EQ(strip.Commands().size(), 2u);
  strip.m_list.SetCurSel(-1);
  EXPECT_FALSE(strip.m_list.IsSelected(31));
  POINT last = {20 * 33 + 5, 5};
  EXPECT_EQ(strip.m_list.HitTest(last), 33);
}

TEST(IconAssignList, HoldShowsTheNameAboveTheCellKeptOnTheScreen) {
  const int screen = GetSystemMetrics(SM_CXSCREEN);
  struct Case {
    const char* name;
    int stripLeft;
    bool shifted;
  };
  const Case cases[] = {{"room to the right", 10, false}, {"at the screen's right edge", screen - 61, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Icon 1's name is the fixed "Low Priority".
    Strip strip(TRUE, {0, 3, 1}, c.stripLeft, 100);
    strip.Mouse(WM_LBUTTONDOWN, 50, 10);
    SendMessageW(strip.m_list, WM_TIMER, 1, 0);
    HWND hint = strip.m_list.GetHintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(IsWindowVisible(hint));
    WCHAR text[32] = L"";
    GetWindowTextW(hint, text, 32);
    EXPECT_STREQ(text, L"Low Priority");
    RECT rect = {};
    GetWindowRect(hint, &rect);
    RECT stripRect = {};
    GetWindowRect(strip.m_list, &stripRect);
    EXPECT_EQ(rect.bottom, stripRect.top);
    if (c.shifted) {
      EXPECT_EQ(rect.right, screen);
      EXPECT_LT(rect.left, stripRect.left + 40);
    } else {
      EXPECT_EQ(rect.left, stripRect.left + 40);
    }
    strip.Mouse(WM_LBUTTONUP, 50, 10);
    EXPECT_FALSE(IsWindowVisible(hint));
  }
}

TEST(IconAssignList, AStripWithoutItemsSizesAndPaintsSafely) {
  Strip strip(FALSE, {});
  SetWindowPos(strip.m_list, nullptr, 0, 0, 50, 20, SWP_NOZORDER);
  UpdateWindow(strip.m_list);
  strip.Mouse(WM_LBUTTONDOWN, 5, 5);
  EXPECT_EQ(strip.m_list.GetPressedCell(), -1);
  EXPECT_FALSE(strip.m_list.IsSelected(0));
}

}  // namespace
