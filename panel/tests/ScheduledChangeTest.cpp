// The finance program's change message, however it reaches the panel (from its
// notification window or posted by anyone), goes to the handler the transactions'
// folder installed, once per message; without a handler it changes nothing.
#include "panel/ScheduledChange.h"

#include <gtest/gtest.h>

#include "base/RegKey.h"
#include "panel/TodayPanel.h"
#include "panel/tests/PanelTestSupport.h"

namespace {

int g_heard = 0;
void Heard() { ++g_heard; }

TEST(ScheduledChange, ThePanelPassesTheProgramsChangeMessageToTheHandler) {
  CLocalMachineSandbox machine(L"panel_scheduled_change");
  TodayView view;
  HWND item = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 120, view.window, nullptr,
                              nullptr, nullptr);
  CTodayPanel panel(0);
  ASSERT_TRUE(panel.Attach(item));
  panel.OnCreate();
  const UINT changed = RegisterWindowMessageW(L"QelPellam_ScheduledChanged");
  auto pump = [item]() {
    MSG msg;
    while (PeekMessageW(&msg, item, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  };

  PFN_SCHEDULED_CHANGED previous = SetScheduledChangedHandler(nullptr);
  g_heard = 0;
  ASSERT_TRUE(PostMessageW(item, changed, 0, 0));
  pump();
  EXPECT_EQ(g_heard, 0);

  SetScheduledChangedHandler(&Heard);
  ASSERT_TRUE(PostMessageW(item, changed, 7, static_cast<LPARAM>(0xDEAD0000)));
  ASSERT_TRUE(PostMessageW(item, changed, 0, 0));
  pump();
  EXPECT_EQ(g_heard, 2);
  EXPECT_EQ(SetScheduledChangedHandler(previous), &Heard);
}

}  // namespace
