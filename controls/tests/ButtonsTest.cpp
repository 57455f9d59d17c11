#include "controls/Buttons.h"

#include <gtest/gtest.h>

#include "base/ScreenDpi.h"
#include "controls/ItemPalette.h"
#include "controls/tests/TestHost.h"

namespace {

using ctltest::CTestHost;

// A parent that counts the clicks its children report.
class CClickCounter : public CVirtualWnd {
 public:
  LRESULT OnChildCommand(CVirtualWnd* sender, int code, LPARAM param) override {
    if (code == 0 && param == 0) clicks.push_back(sender);
    return 0;
  }
  std::vector<CVirtualWnd*> clicks;
};

struct ButtonHost {
  ButtonHost() : host(100, 60), button(L"Go", 0, 16, 16) {
    RECT all = {0, 0, 100, 60};
    parent.SetRect(&all);
    host.root.AddChild(&parent);
    parent.AddChild(&button);
    RECT bounds = {10, 10, 60, 30};
    button.SetRect(&bounds);
  }
  CTestHost host;
  CClickCounter parent;
  CVirtualButton button;
};

TEST(VirtualButton, AReleaseOnTheButtonClicksItAndOneOffItDoesNot) {
  ButtonHost b;
  b.host.Tap(WM_LBUTTONDOWN, 20, 20);
  EXPECT_TRUE(b.button.IsPressedLook());
  b.host.Tap(WM_LBUTTONUP, 20, 20);
  ASSERT_EQ(b.parent.clicks.size(), 1u);
  EXPECT_EQ(b.parent.clicks[0], &b.button);
  EXPECT_EQ(b.host.root.GetCapturedElement(), nullptr);

  b.host.Tap(WM_LBUTTONDOWN, 20, 20);
  b.host.Tap(WM_MOUSEMOVE, 80, 50);
  EXPECT_FALSE(b.button.IsPressedLook());
  b.host.Tap(WM_LBUTTONUP, 80, 50);
  EXPECT_EQ(b.parent.clicks.size(), 1u);

  // Leaving and coming back before the release still clicks.
  b.host.Tap(WM_LBUTTONDOWN, 20, 20);
  b.host.Tap(WM_MOUSEMOVE, 80, 50);
  b.host.Tap(WM_MOUSEMOVE, 30, 20);
  b.host.Tap(WM_LBUTTONUP, 30, 20);
  EXPECT_EQ(b.parent.clicks.size(), 2u);
}

TEST(VirtualButton, EnterOnAFocusedButtonClicksIt) {
  ButtonHost b;
  b.button.SetFocus();
  b.host.Send(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(b.parent.clicks.size(), 1u);
  b.host.Send(WM_KEYDOWN, VK_SPACE);
  EXPECT_EQ(b.parent.clicks.size(), 1u);
}

TEST(VirtualButton, AHeldPressShowsTheHintAndTheReleaseHidesIt) {
  ButtonHost b;
  b.button.SetHintText(L"Go &there");
  CHintWnd& hint = b.button.GetHint();
  ASSERT_TRUE(hint.IsCreated());
  EXPECT_STREQ(hint.GetText(), L"Go there");
  b.host.Tap(WM_LBUTTONDOWN, 20, 20);
  SendMessageW(hint.m_hWnd, WM_TIMER, CHintWnd::kShowTimer, 0);
  EXPECT_TRUE(IsWindowVisible(hint.m_hWnd));
  b.host.Tap(WM_LBUTTONUP, 20, 20);
  EXPECT_FALSE(IsWindowVisible(hint.m_hWnd));
  EXPECT_EQ(b.parent.clicks.size(), 1u);

  b.button.SetHintText(L"");
  EXPECT_FALSE(b.button.GetHint().IsCreated());
}

TEST(VirtualButton, PreferredSizeAndPressedFrame) {
  ButtonHost b;
  const SIZE size = b.button.GetPreferredSize();
  EXPECT_GT(size.cx, ScaleX(16) + ScaleX(2));
  EXPECT_GE(size.cy, ScaleY(16));

  b.host.Tap(WM_LBUTTONDOWN, 20, 20);
  RECT client = {0, 0, 100, 60};
  ASSERT_TRUE(b.host.root.RenderBackBuffer(client));
  const BYTE* edge = b.host.root.GetBackBuffer().Pixel(10, 20);
  EXPECT_EQ(edge[0] + edge[1] + edge[2], 0) << "a pressed button without a pressed icon gets a black frame";
  b.host.Tap(WM_LBUTTONUP, 20, 20);
}

TEST(VirtualImageButton, AnActiveBandIsTheHighlightWithTheBandsBottomLine) {
  CTestHost host(100, 60);
  CVirtualImageButton button;
  button.SetBand(TRUE);
  RECT bounds = {0, 0, 40, 20};
  button.SetRect(&bounds);
  host.root.AddChild(&button);
  button.SetFocus();
  RECT client = {0, 0, 100, 60};
  ASSERT_TRUE(host.root.RenderBackBuffer(client));
  const BYTE* middle = host.root.GetBackBuffer().Pixel(20, 10);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(RGB(middle[2], middle[1], middle[0]), highlight);
  const BYTE* bottom = host.root.GetBackBuffer().Pixel(20, 19);
  EXPECT_NE(RGB(bottom[2], bottom[1], bottom[0]), highlight);
}

}  // namespace
