#include "panel/MinimalPanel.h"

#include <gtest/gtest.h>

#include "base/ScreenDpi.h"
#include "panel/NoResourcesTab.h"
#include "platform/today/todaycmn.h"
#include "platform/windowlib/Module.h"

namespace {

int g_watermarks = 0;

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TODAYM_DRAWWATERMARK) {
    ++g_watermarks;
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The Today view with one item window in it, as the placeholder leaves it.
struct ItemWindow {
  ItemWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ViewProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MinimalPanelTestView";
    RegisterClassW(&wc);
    view = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, wc.hInstance,
                           nullptr);
    window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 60, view, nullptr, nullptr,
                             nullptr);
    original = GetWindowLongPtrW(window, GWLP_WNDPROC);
  }
  ~ItemWindow() { DestroyWindow(view); }
  HWND view;
  HWND window;
  LONG_PTR original;
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
  ShowWindow(item.view, SW_SHOWNA);
  g_watermarks = 0;
  RedrawWindow(item.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GE(g_watermarks, 1);

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
