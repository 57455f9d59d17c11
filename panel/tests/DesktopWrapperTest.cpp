#include "panel/DesktopWrapper.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/Platform.h"
#include "base/RegKey.h"
#include "controls/ScrollBar.h"
#include "panel/tests/PanelTestSupport.h"

namespace {

// The Today screen's top-level window as a host that keeps its own data in
// GWLP_USERDATA, logging what reaches its own procedure.
struct HostWindow {
  HostWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WrapperTestHost";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, wc.lpszClassName, L"Today", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr,
                             wc.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    target = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  ~HostWindow() {
    CDesktopWrapper::Instance().Detach();
    CDesktopWrapper::Instance().SetTarget(nullptr);
    if (IsWindow(window)) DestroyWindow(window);
    DestroyWindow(target);
  }
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message != WM_GETTEXT && message != WM_GETTEXTLENGTH) self->seen.push_back(message);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  int Seen(UINT message) const {
    int n = 0;
    for (UINT m : seen) n += m == message;
    return n;
  }
  // What the target window got posted.
  std::vector<MSG> Posted() {
    std::vector<MSG> out;
    MSG msg;
    while (PeekMessageW(&msg, target, 0, 0, PM_REMOVE)) out.push_back(msg);
    return out;
  }
  HWND window;
  HWND target;
  std::vector<UINT> seen;
};

void Pump(HWND window) {
  MSG msg;
  while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(DesktopWrapper, KeepsTheHostsUserDataAndLetsGo) {
  HostWindow host;
  CDesktopWrapper& wrapper = CDesktopWrapper::Instance();
  const LONG_PTR hostData = GetWindowLongPtrW(host.window, GWLP_USERDATA);
  const LONG_PTR hostProc = GetWindowLongPtrW(host.window, GWLP_WNDPROC);
  ASSERT_TRUE(wrapper.Attach(host.window, FALSE));
  EXPECT_EQ(GetWindowLongPtrW(host.window, GWLP_USERDATA), hostData) << "the host's data stays the host's";
  EXPECT_NE(GetWindowLongPtrW(host.window, GWLP_WNDPROC), hostProc);
  SendMessageW(host.window, WM_USER + 5, 0, 0);
  EXPECT_EQ(host.Seen(WM_USER + 5), 1) << "passed on";
  wrapper.Detach();
  EXPECT_EQ(GetWindowLongPtrW(host.window, GWLP_USERDATA), hostData);
  EXPECT_EQ(GetWindowLongPtrW(host.window, GWLP_WNDPROC), hostProc);
  EXPECT_FALSE(wrapper.Attach(nullptr, FALSE));
  EXPECT_FALSE(wrapper.Attach(reinterpret_cast<HWND>(0x12340), FALSE));
  EXPECT_EQ(wrapper.GetWrappedWindow(), nullptr);
}

TEST(DesktopWrapper, BlockedMessagesAndForwardedKeys) {
  HostWindow host;
  CDesktopWrapper& wrapper = CDesktopWrapper::Instance();
  ASSERT_TRUE(wrapper.Attach(host.window, FALSE));
  wrapper.SetTarget(host.target);
  EXPECT_TRUE(wrapper.AddBlockedMessage(WM_USER + 1));
  EXPECT_TRUE(wrapper.AddBlockedMessage(WM_USER + 1));
  EXPECT_TRUE(wrapper.IsBlocked(WM_USER + 1));
  EXPECT_EQ(SendMessageW(host.window, WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(host.Seen(WM_USER + 1), 0) << "blocked";
  EXPECT_TRUE(wrapper.RemoveBlockedMessage(WM_USER + 1));
  EXPECT_FALSE(wrapper.RemoveBlockedMessage(WM_USER + 1)) << "added once only";
  SendMessageW(host.window, WM_USER + 1, 0, 0);
  EXPECT_EQ(host.Seen(WM_USER + 1), 1);

  // Characters always reach the panel; key presses only off a Pocket PC, where the
  // Today screen does not pass them on itself.
  SendMessageW(host.window, WM_CHAR, L'k', 7);
  SendMessageW(host.window, WM_KEYDOWN, VK_DOWN, 9);
  std::vector<MSG> posted = host.Posted();
  std::vector<UINT> kinds;
  for (const MSG& m : posted) kinds.push_back(m.message);
  const std::vector<UINT> expected = IsPocketPC() ? std::vector<UINT>{WM_CHAR} : std::vector<UINT>{WM_CHAR, WM_KEYDOWN};
  EXPECT_EQ(kinds, expected);
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ(posted[0].wParam, static_cast<WPARAM>(L'k'));
  EXPECT_EQ(posted[0].lParam, 7);
  EXPECT_EQ(host.Seen(WM_CHAR), 1) << "and the host still has them";

  wrapper.SetTarget(nullptr);
  SendMessageW(host.window, WM_CHAR, L'k', 7);
  EXPECT_TRUE(host.Posted().empty()) << "no target, no forwarding";
}

TEST(DesktopWrapper, TextIsEmptyWhileCharactersAreBlockedAndFocused) {
  HostWindow host;
  CDesktopWrapper& wrapper = CDesktopWrapper::Instance();
  ASSERT_TRUE(wrapper.Attach(host.window, FALSE));
  ShowWindow(host.window, SW_SHOW);
  SetForegroundWindow(host.window);
  SetFocus(host.window);
  ASSERT_EQ(GetFocus(), host.window);
  WCHAR text[32] = L"x";
  EXPECT_GT(SendMessageW(host.window, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text)), 0);
  EXPECT_STREQ(text, L"Today");
  wrapper.AddBlockedMessage(WM_CHAR);
  EXPECT_EQ(SendMessageW(host.window, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text)), 0);
  EXPECT_STREQ(text, L"");
  SetFocus(nullptr);
  EXPECT_GT(SendMessageW(host.window, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text)), 0) << "not focused";
  wrapper.RemoveBlockedMessage(WM_CHAR);
}

TEST(DesktopWrapper, StepsAsideWhenTheHostReloadsClosesOrIsTold) {
  const UINT close = RegisterWindowMessageW(L"CDesktopWrapper_Close");
  struct Case {
    const char* what;
    UINT message;
    WPARAM wParam;
    int seen;  // how often the host's procedure gets the message
  };
  const Case cases[] = {
      {"the Today screen reloads its items", WM_SETTINGCHANGE, 0xF2, 1},
      {"our own close", close, 0, 0},
      {"the window closes", WM_CLOSE, 0, 1},
  };
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"wrapper_detach");
    HostWindow host;
    const LONG_PTR hostProc = GetWindowLongPtrW(host.window, GWLP_WNDPROC);
    CDesktopWrapper& wrapper = CDesktopWrapper::Instance();
    ASSERT_TRUE(wrapper.Attach(host.window, FALSE)) << c.what;
    if (c.message == close)
      wrapper.PostClose();
    else if (c.message == WM_SETTINGCHANGE)
      SendMessageW(host.window, c.message, c.wParam, 0);
    else
      PostMessageW(host.window, c.message, c.wParam, 0);
    Pump(host.window);
    EXPECT_EQ(wrapper.GetWrappedWindow(), nullptr) << c.what;
    if (IsWindow(host.window)) {
      EXPECT_EQ(GetWindowLongPtrW(host.window, GWLP_WNDPROC), hostProc) << c.what;
    }
    EXPECT_EQ(host.Seen(c.message), c.seen) << c.what;
  }
  // Another setting change leaves it in place.
  HostWindow host;
  ASSERT_TRUE(CDesktopWrapper::Instance().Attach(host.window, FALSE));
  SendMessageW(host.window, WM_SETTINGCHANGE, 0x3002, 0);
  EXPECT_EQ(CDesktopWrapper::Instance().GetWrappedWindow(), host.window);
}

TEST(DesktopWrapper, DestroyedHostIsLetGo) {
  HostWindow host;
  ASSERT_TRUE(CDesktopWrapper::Instance().Attach(host.window, FALSE));
  DestroyWindow(host.window);
  EXPECT_EQ(CDesktopWrapper::Instance().GetWrappedWindow(), nullptr);
  EXPECT_TRUE(CDesktopWrapper::Instance().Attach(host.target, FALSE)) << "free for the next window";
  CDesktopWrapper::Instance().Detach();
}

// The health check clears the state before it reads it, so it stays disarmed and a
// scroll bar's first drag writes nothing.
TEST(DesktopWrapper, StartupHealthStaysDisarmed) {
  CLocalMachineSandbox machine(L"wrapper_health");
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  product.WriteDWORD(L"AHR_State", 5);
  product.WriteDWORD(L"AHR_Counter", 3);
  EXPECT_FALSE(CheckStartupHealth());
  EXPECT_EQ(Number(product, L"AHR_State"), 0u);
  MarkStartupHealthy();
  EXPECT_EQ(Number(product, L"AHR_State"), 0u);
  EXPECT_EQ(Number(product, L"AHR_Counter"), 3u);
  EXPECT_FALSE(IsStartupHealthArmed());
}

}  // namespace
