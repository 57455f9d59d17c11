#include "panel/NoResourcesTab.h"

#include <gtest/gtest.h>

#include "base/ScreenDpi.h"
#include "controls/TextRunList.h"
#include "controls/tests/TestHost.h"

namespace {

using ctltest::CTestHost;

int PendingUpdateRequests(HWND host) {
  const UINT update = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");
  int count = 0;
  MSG msg;
  while (PeekMessageW(&msg, host, update, update, PM_REMOVE)) ++count;
  return count;
}

struct TabHost {
  TabHost() : host(120, 80) {
    SetScreenDpi(96, 96);
    host.root.AddChild(&tab);
    RECT all = {0, 0, 120, 80};
    tab.SetRect(&all);
  }
  ~TabHost() {
    host.root.RemoveChild(&tab);
    SetScreenDpi(0, 0);
  }
  CTestHost host;
  CNoResourcesTab tab;
};

TEST(NoResourcesTab, IsOneHeaderlessTabWithOneLine) {
  TabHost h;
  EXPECT_EQ(h.tab.GetTabId(), 51);
  EXPECT_EQ(h.tab.GetHeaderHeight(), 0);
  EXPECT_EQ(h.tab.GetContentRect().top, 0) << "the content starts at the top";
  EXPECT_EQ(h.tab.GetTabIcon(), 128u);
  EXPECT_EQ(h.tab.GetTabIconId(1), 124u);
  EXPECT_EQ(h.tab.GetTabIconId(0), 128u);
  EXPECT_TRUE(h.tab.GetText().IsEmpty()) << "made on first use";
  h.tab.Activate();
  h.tab.Activate();
  EXPECT_STREQ(h.tab.GetText(), L"Please insert storage card");

  HDC screen = GetDC(nullptr);
  RECT clip = {0, 0, 120, 80};
  CTextRunList context(screen, clip);
  h.tab.Paint(&context);
  ASSERT_EQ(context.GetRunCount(), 1);
  EXPECT_STREQ(context.GetRun(0).text, L"Please insert storage card");
  ReleaseDC(nullptr, screen);
}

TEST(NoResourcesTab, EveryPressAsksForTheSettingsOnce) {
  TabHost h;
  h.tab.Activate();
  PendingUpdateRequests(h.host.m_hWnd);
  for (POINT at : {POINT{5, 5}, POINT{100, 70}}) {
    h.host.Tap(WM_LBUTTONDOWN, at.x, at.y);
    h.host.Tap(WM_LBUTTONUP, at.x, at.y);
    EXPECT_EQ(PendingUpdateRequests(h.host.m_hWnd), 1) << at.x;
  }
}

}  // namespace
