#include "panel/MinimalPanel.h"

#include <gtest/gtest.h>

#include "base/ScreenDpi.h"
#include "panel/NoResourcesTab.h"
#include "platform/today/todaycmn.h"
#include "panel/tests/PanelTestSupport.h"
#include "platform/windowlib/Module.h"

namespace {

// The Today view with one item window in it, as the placeholder leaves it.
struct ItemWindow {
  ItemWindow() {
    window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 60, view.window, nullptr,
                             nullptr, nullptr);
  }
  TodayView view;
  HWND window;
};

struct ResourceInstance {
  explicit ResourceInstance(HINSTANCE instance) : previous(GetModule().SetResourceInstance(instance)) {}
  ~ResourceInstance() { GetModule().SetResourceInstance(previous); }
  HINSTANCE previous;
};

TEST(MinimalPanel, ShowsTheTabThatFitsTheResources) {
  struct Case {
    const char* what;
    HINSTANCE resources;  // null: the module's own (the library missing)
    bool missing;
  };
  const Case cases[] = {{"resources missing", nullptr, true},
                        {"resource library loaded", GetModuleHandleW(L"kernel32.dll"), false}};
  for (const Case& c : cases) {
    ResourceInstance resources(c.resources);
    ItemWindow item;
    CMinimalPanel panel(0);
    EXPECT_EQ(panel.IsResourcesMissing() != FALSE, c.missing) << c.what;
    ASSERT_TRUE(panel.Attach(item.window));
    EXPECT_FALSE(panel.Attach(item.window)) << "one window at a time";
    panel.OnCreate();
    auto* tab = dynamic_cast<CNoResourcesTab*>(panel.GetTab());
    EXPECT_EQ(tab != nullptr, c.missing) << c.what;
    if (tab) {
      EXPECT_STREQ(tab->GetText(), L"Please insert storage card");
    }
  }
}

TEST(MinimalPanel, PaintsOverTheTodayBackgroundAndLetsTheWindowGo) {
  ResourceInstance resources(nullptr);
  ItemWindow item;
  CMinimalPanel panel(0);
  ASSERT_TRUE(panel.Attach(item.window));
  panel.OnCreate();
  WINDOWPOS position = {item.window, nullptr, 0, 0, 240, 60, 0x244};
  panel.OnWindowPosChanged(&position);
  RECT bounds = *panel.GetTab()->GetRectPtr();
  EXPECT_EQ(bounds.right, 240);
  EXPECT_EQ(bounds.bottom, 60);
  ShowWindow(item.view.window, SW_SHOWNA);
  item.view.watermarks = 0;
  RedrawWindow(item.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GE(item.view.watermarks, 1);

  const UINT update = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");
  SendMessageW(item.window, WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
  SendMessageW(item.window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, item.window, update, update, PM_REMOVE)) << "the tab asked for the settings";

  DestroyWindow(item.window);
  EXPECT_EQ(panel.GetHwnd(), nullptr) << "the panel let go of its window";
  EXPECT_EQ(panel.GetTab(), nullptr);
}

}  // namespace
