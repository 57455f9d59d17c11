#include "controls/MenuBarHook.h"

#include <gtest/gtest.h>

#include "base/Platform.h"
#include "platform/aygshell/CeControls.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/windowlib/WindowImpl.h"

namespace {

class COwner : public CWindowImpl<COwner> {
 public:
  DECLARE_WND_CLASS_EX(L"ControlsMenuOwner", 0, COLOR_WINDOW)
  BEGIN_MSG_MAP(COwner)
  END_MSG_MAP()
};

struct MenuProbe {
  BOOL hooked = FALSE;
  bool cancelPosted = false;
  bool found = false;
} g_probe;

// Runs inside the open menu's loop, where a person would press Left.
void CALLBACK PressLeftInMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_probe.hooked = HookMenuBarKeys();
  HWND menu = FindCeWindow(CE_MENU_CLASSNAME, nullptr);
  g_probe.found = menu != nullptr;
  if (menu) {
    SendMessageW(menu, WM_KEYDOWN, VK_LEFT, 0);
    MSG msg;
    g_probe.cancelPosted = PeekMessageW(&msg, menu, WM_CANCELMODE, WM_CANCELMODE, PM_NOREMOVE) != FALSE;
  }
  EndMenu();
}

MenuProbe OpenMenuAndPressLeft() {
  COwner owner;
  RECT at = {0, 0, 50, 50};
  owner.Create(nullptr, &at, L"", WS_POPUP | WS_VISIBLE);
  SetForegroundWindow(owner);
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"One");
  g_probe = MenuProbe();
  SetTimer(nullptr, 0, 10, PressLeftInMenu);
  TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 10, owner, nullptr);
  DestroyMenu(menu);
  owner.DestroyWindow();
  return g_probe;
}

// Older devices' menus stay open on Left; version 5 and later close them themselves.
TEST(MenuBarHook, LeftClosesTheOpenMenuWhereTheDeviceDoesNot) {
  struct Case {
    const wchar_t* version;
    bool hooked;
  };
  const Case cases[] = {{L"4.21", true}, {L"5.1", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hooked);
    CDeviceSwitch device;
    device.Set(L"Version", c.version);
    device.Set(L"PlatformType", L"PocketPC");
    ResetPlatformTests();
    MenuProbe probe = OpenMenuAndPressLeft();
    ASSERT_TRUE(probe.found);
    EXPECT_EQ(probe.hooked != FALSE, c.hooked);
    EXPECT_EQ(probe.cancelPosted, c.hooked);
  }
  ResetPlatformTests();
}

TEST(MenuBarHook, NoOpenMenuNoHook) { EXPECT_FALSE(HookMenuBarKeys()); }

}  // namespace
