#include "settings/shell/DropDownBar.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/shell/tests/ShellTestSupport.h"

namespace {

// The bar's parent: reflects the bar's notifications and keeps the commands.
struct CParent {
  CParent(int width) {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = Proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"DropDownBarTestParent";
    RegisterClassW(&cls);
    window = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, width, 100, nullptr, nullptr,
                             cls.hInstance, nullptr);
  }
  ~CParent() { DestroyWindow(window); }
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND && lp) s_commands.push_back(LOWORD(wp));
    BOOL handled = FALSE;
    LRESULT result = ReflectNotifications(w, m, wp, lp, handled);
    return handled ? result : DefWindowProcW(w, m, wp, lp);
  }
  static std::vector<WORD> s_commands;
  HWND window;
};
std::vector<WORD> CParent::s_commands;

int Width(HWND bar, int index) {
  RECT rect = {};
  SendMessageW(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
  return rect.right - rect.left;
}

TEST(DropDownBarTest, SpacerFillsTheRoomBetweenTheOuterButtons) {
  CParent parent(240);
  CDropDownBar bar;
  HWND window = bar.Create(parent.window, 77);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SendMessageW(window, TB_BUTTONCOUNT, 0, 0), 3);
  bar.SetItemValue(kDropDownLeft, L"Set: Standard");
  bar.SetItemValue(kDropDownRight, L"Size: Large");
  RECT client = {};
  GetClientRect(window, &client);
  EXPECT_EQ(Width(window, 0) + Width(window, 1) + Width(window, 2), client.right);
  EXPECT_TRUE(SendMessageW(window, TB_GETSTATE, kDropDownSpacer, 0) & TBSTATE_INDETERMINATE);
}

TEST(DropDownBarTest, NarrowBarShrinksTheLeftButton) {
  CParent parent(240);
  CDropDownBar bar;
  HWND window = bar.Create(parent.window, 77);
  ASSERT_NE(window, nullptr);
  bar.SetItemValue(kDropDownLeft, L"A very long name of an icon set");
  bar.SetItemValue(kDropDownRight, L"Another very long text");
  const int left = Width(window, 0), right = Width(window, 2);
  // Narrower than the two outer buttons together.
  SetWindowPos(window, nullptr, 0, 0, left + right - 30, 24, SWP_NOMOVE | SWP_NOZORDER);
  RECT client = {};
  GetClientRect(window, &client);
  bar.Layout();
  EXPECT_EQ(Width(window, 1), 2);
  EXPECT_EQ(Width(window, 0), left + (client.right - left - right) - 2);
}

TEST(DropDownBarTest, DropsBecomeCommandsOfTheParentAndCustomDrawIsAnswered) {
  CParent parent(240);
  CDropDownBar bar;
  HWND window = bar.Create(parent.window, 77);
  ASSERT_NE(window, nullptr);
  CParent::s_commands.clear();
  NMTOOLBARW drop = {};
  drop.hdr.hwndFrom = window;
  drop.hdr.idFrom = 77;
  drop.hdr.code = TBN_DROPDOWN;
  drop.iItem = kDropDownRight;
  SendMessageW(parent.window, WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&drop));
  EXPECT_EQ(CParent::s_commands, (std::vector<WORD>{static_cast<WORD>(kDropDownRight)}));
  struct Case {
    DWORD stage;
    LRESULT answer;
  };
  const Case cases[] = {{CDDS_PREPAINT, 32}, {CDDS_ITEMPREPAINT, 8}, {CDDS_POSTPAINT, 0}, {CDDS_ITEMPOSTERASE, 0}};
  for (const Case& c : cases) {
    NMTBCUSTOMDRAW draw = {};
    draw.nmcd.hdr.hwndFrom = window;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = c.stage;
    EXPECT_EQ(SendMessageW(window, kReflectedBase + WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&draw)), c.answer)
        << c.stage;
  }
}

TEST(ReflectNotificationsTest, OnlyMessagesWithAControlAreReflected) {
  CParent parent(100);
  BOOL handled = TRUE;
  ReflectNotifications(parent.window, WM_COMMAND, IDOK, 0, handled);  // a menu command
  EXPECT_FALSE(handled);
  NMHDR stray = {reinterpret_cast<HWND>(0x1234), 1, NM_CLICK};
  ReflectNotifications(parent.window, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&stray), handled);
  EXPECT_FALSE(handled);
  ReflectNotifications(parent.window, WM_SIZE, 0, 0, handled);
  EXPECT_FALSE(handled);
}

}  // namespace
