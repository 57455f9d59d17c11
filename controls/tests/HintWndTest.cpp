#include "controls/HintWnd.h"

#include <gtest/gtest.h>

#include "base/ScreenDpi.h"
#include "controls/ControlFonts.h"
#include "controls/tests/TestHost.h"
#include "graphics/Dib.h"

namespace {

using ctltest::CTestHost;

RECT Desktop() {
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  return desktop;
}

void MoveHost(CTestHost& host, int x, int y) {
  SetWindowPos(host.m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The show timer's second has passed.
void TimeUp(CHintWnd& hint) { SendMessageW(hint.m_hWnd, WM_TIMER, CHintWnd::kShowTimer, 0); }

TEST(HintWnd, SitsAboveAndLeftOfTheButtonWithoutAmpersands) {
  CTestHost host(100, 100);
  MoveHost(host, 100, 150);
  CHintWnd hint;
  const RECT anchor = {50, 50, 70, 70};
  hint.SetText(host.m_hWnd, &anchor, L"&Save && close");
  ASSERT_TRUE(hint.IsCreated());
  EXPECT_STREQ(hint.GetText(), L"Save  close");
  EXPECT_FALSE(IsWindowVisible(hint.m_hWnd));
  wchar_t name[64];
  GetClassNameW(hint.m_hWnd, name, 64);
  EXPECT_STREQ(name, L"QelTarvoToolTipWnd_1.0");
  EXPECT_EQ(GetWindow(hint.m_hWnd, GW_OWNER), host.m_hWnd);

  hint.StartShow(55, 55);
  TimeUp(hint);
  EXPECT_TRUE(IsWindowVisible(hint.m_hWnd));
  RECT shown;
  GetWindowRect(hint.m_hWnd, &shown);
  EXPECT_EQ(shown.right, 150);
  EXPECT_EQ(shown.bottom, 200);
  hint.Hide(55, 55);
  EXPECT_FALSE(IsWindowVisible(hint.m_hWnd));
}

TEST(HintWnd, AHintNearEachScreenEdgeStaysOnTheScreen) {
  const RECT desktop = Desktop();
  struct Case {
    const char* edge;
    int hostX, hostY;
    RECT anchor;
  };
  const Case cases[] = {
      {"left", desktop.left, 150, {0, 40, 20, 60}},
      {"top", 100, desktop.top, {40, 0, 60, 20}},
      {"top left", desktop.left, desktop.top, {2, 2, 22, 22}},
      {"right", desktop.right - 30, 150, {40, 40, 60, 60}},
      {"bottom", 100, desktop.bottom - 30, {40, 40, 60, 60}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edge);
    CTestHost host(100, 100);
    MoveHost(host, c.hostX, c.hostY);
    CHintWnd hint;
    hint.SetText(host.m_hWnd, &c.anchor, L"A hint of some length");
    hint.StartShow(c.anchor.left + 1, c.anchor.top + 1);
    TimeUp(hint);
    ASSERT_TRUE(IsWindowVisible(hint.m_hWnd));
    RECT shown;
    GetWindowRect(hint.m_hWnd, &shown);
    EXPECT_GE(shown.left, desktop.left);
    EXPECT_GE(shown.top, desktop.top);
    EXPECT_LE(shown.right, desktop.right);
    EXPECT_LE(shown.bottom, desktop.bottom);
    EXPECT_GT(shown.right - shown.left, 20);
  }
}

TEST(HintWnd, ThePressMustStayOnTheButtonForTheWholeDelay) {
  CTestHost host(100, 100);
  CHintWnd hint;
  const RECT anchor = {50, 50, 70, 70};
  hint.SetText(host.m_hWnd, &anchor, L"Hint");

  hint.StartShow(10, 10);  // outside the button: nothing starts
  EXPECT_FALSE(KillTimer(hint.m_hWnd, CHintWnd::kShowTimer));

  hint.StartShow(55, 55);
  hint.Track(90, 90);  // off the button: the timer stops
  EXPECT_FALSE(KillTimer(hint.m_hWnd, CHintWnd::kShowTimer));
  hint.Track(56, 56);  // back on: the full second again
  EXPECT_TRUE(KillTimer(hint.m_hWnd, CHintWnd::kShowTimer));

  hint.StartShow(55, 55);
  hint.Hide(55, 55);  // released early: no timer, nothing shown
  EXPECT_FALSE(KillTimer(hint.m_hWnd, CHintWnd::kShowTimer));
  EXPECT_FALSE(IsWindowVisible(hint.m_hWnd));
}

// The hint is sized for and drawn in the default font, the one a fresh DC holds,
// whatever the list fonts are.
TEST(HintWnd, MeasuresAndDrawsInTheDefaultFont) {
  CTestHost host(100, 100);
  MoveHost(host, 300, 300);
  CHintWnd hint;
  const RECT anchor = {50, 50, 70, 70};
  const wchar_t* text = L"Shows the whole week";
  hint.SetText(host.m_hWnd, &anchor, text);
  ASSERT_TRUE(hint.IsCreated());
  HFONT system = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  const SIZE extent = MeasureControlText(system, text);
  const RECT placed = hint.GetPlacement();
  EXPECT_EQ(placed.right - placed.left, extent.cx + ScaleX(4));
  EXPECT_EQ(placed.bottom - placed.top, extent.cy + ScaleY(4));

  RECT client;
  GetClientRect(hint.m_hWnd, &client);
  CDib drawn, expected;
  ASSERT_TRUE(drawn.CreateFilled(client.right, client.bottom, RGB(255, 255, 255)));
  ASSERT_TRUE(expected.CreateFilled(client.right, client.bottom, RGB(255, 255, 255)));
  hint.DrawHint(drawn.GetDC());
  HDC dc = expected.GetDC();
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, system);
  DrawTextW(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  int inked = 0, differing = 0;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) {
      const BYTE* a = drawn.Pixel(x, y);
      const BYTE* b = expected.Pixel(x, y);
      if (a[0] != 255 || a[1] != 255 || a[2] != 255) ++inked;
      if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) ++differing;
    }
  EXPECT_GT(inked, 0);
  EXPECT_EQ(differing, 0);
}

TEST(HintWnd, WithoutAnOwnerThereIsNoHint) {
  CHintWnd hint;
  const RECT anchor = {0, 0, 10, 10};
  hint.SetText(nullptr, &anchor, L"Hint");
  EXPECT_FALSE(hint.IsCreated());
  hint.StartShow(5, 5);
  hint.Hide(5, 5);
  EXPECT_EQ(hint.m_hWnd, nullptr);
}

}  // namespace
