#include "controls/KeyboardHook.h"

#include <gtest/gtest.h>

#include "controls/tests/TestHost.h"

namespace {

// A hook whose idea of the foreground the test decides.
class CTestHook : public CKeyboardHook {
 public:
  BOOL desktopInFront = TRUE;

 protected:
  BOOL IsDesktopInFront() override { return desktopInFront; }
};

std::vector<WPARAM> ForwardedKeys(HWND target) {
  std::vector<WPARAM> keys;
  MSG msg;
  while (PeekMessageW(&msg, target, WM_HOOKED_ARROW_KEY, WM_HOOKED_ARROW_KEY, PM_REMOVE)) keys.push_back(msg.wParam);
  return keys;
}

TEST(KeyboardHook, ArrowKeysAreForwardedOnlyWhileTheDesktopIsInFront) {
  ctltest::CTestHost target;
  CTestHook hook;
  ASSERT_TRUE(hook.Install(target.m_hWnd));
  EXPECT_TRUE(hook.IsInstalled());

  struct Case {
    int code;
    WPARAM message;
    DWORD key;
    BOOL desktop;
    bool forwarded;
  };
  const Case cases[] = {
      {HC_ACTION, WM_KEYDOWN, VK_LEFT, TRUE, true},   {HC_ACTION, WM_KEYDOWN, VK_DOWN, TRUE, true},
      {HC_ACTION, WM_KEYUP, VK_LEFT, TRUE, false},    {HC_ACTION, WM_KEYDOWN, 'A', TRUE, false},
      {HC_ACTION, WM_KEYDOWN, VK_UP, FALSE, false},   {-1, WM_KEYDOWN, VK_RIGHT, TRUE, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    hook.desktopInFront = c.desktop;
    KBDLLHOOKSTRUCT record = {};
    record.vkCode = c.key;
    CKeyboardHook::HookProc(c.code, c.message, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(ForwardedKeys(target.m_hWnd), c.forwarded ? std::vector<WPARAM>{c.key} : std::vector<WPARAM>{});
  }
  hook.Uninstall();
  EXPECT_FALSE(hook.IsInstalled());
}

// The window the user types into, which is also the hook's target here: it counts
// the key-downs that reach it and keeps the keys handed on by the hook.
class CKeyTarget : public CWindowImpl<CKeyTarget> {
 public:
  DECLARE_WND_CLASS_EX(L"ControlsKeyTarget", 0, COLOR_WINDOW)
  BEGIN_MSG_MAP(CKeyTarget)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_HOOKED_ARROW_KEY, OnHookedKey)
  END_MSG_MAP()
  LRESULT OnKeyDown(UINT, WPARAM, LPARAM, BOOL&) {
    ++keyDowns;
    return 0;
  }
  LRESULT OnHookedKey(UINT, WPARAM wParam, LPARAM, BOOL&) {
    forwarded.push_back(wParam);
    return 0;
  }
  int keyDowns = 0;
  std::vector<WPARAM> forwarded;
};

TEST(KeyboardHook, AForwardedKeyStillReachesTheWindowInFront) {
  CKeyTarget typing;
  RECT at = {0, 0, 20, 20};
  ASSERT_TRUE(typing.Create(nullptr, &at, L"", WS_POPUP | WS_VISIBLE));
  SetForegroundWindow(typing);
  ::SetFocus(typing);

  CTestHook hook;
  ASSERT_TRUE(hook.Install(typing));
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_LEFT;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
  EXPECT_TRUE(ctltest::PumpUntil([&] { return typing.keyDowns > 0 && !typing.forwarded.empty(); }));
  hook.Uninstall();
  EXPECT_EQ(typing.keyDowns, 1);
  EXPECT_EQ(typing.forwarded, std::vector<WPARAM>{VK_LEFT});
  typing.DestroyWindow();
}

}  // namespace
