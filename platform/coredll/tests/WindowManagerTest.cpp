// The window manager takes the device's meanings of its arguments.
#include "platform/coredll/ce.h"
#include <gtest/gtest.h>

#include <vector>

namespace {

// On the device system colours are asked with the index flag; the answer is the colour of the index.
TEST(DeviceWindowManager, FlaggedSystemColourEqualsUnflagged) {
  const int indexes[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,
                         COLOR_GRAYTEXT};
  for (int index : indexes) {
    SCOPED_TRACE(index);
    EXPECT_EQ(GetSysColor(index | SYS_COLOR_INDEX_FLAG), GetSysColor(index));
    EXPECT_EQ(GetSysColorBrush(index | SYS_COLOR_INDEX_FLAG), GetSysColorBrush(index));
    EXPECT_NE(GetSysColorBrush(index | SYS_COLOR_INDEX_FLAG), nullptr);
  }
}

// A 1-pixel-high 32-bit DIB section to paint into and read back.
class CPixelStrip {
 public:
  explicit CPixelStrip(int width) : width_(width) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -1;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~CPixelStrip() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  void Fill(COLORREF colour) {
    for (int i = 0; i < width_; i++) bits_[i] = Pixel(colour);
  }
  COLORREF At(int x) const {
    GdiFlush();
    DWORD p = bits_[x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  void Set(int x, COLORREF colour) { bits_[x] = Pixel(colour); }

 private:
  static DWORD Pixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  DWORD* bits_ = nullptr;
};

// On the device a window class background may be a flagged system colour (COLOR_x + 1 | flag),
// whichever call registers the class.
TEST(DeviceWindowManager, ClassBackgroundTakesAFlaggedSystemColour) {
  struct Case {
    const wchar_t* name;
    bool extended;
  };
  const Case cases[] = {{L"CoreDllFlaggedBrush", false}, {L"CoreDllFlaggedBrushEx", true}};
  const HBRUSH flagged = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(SYS_COLOR_INDEX_FLAG | (COLOR_WINDOW + 1)));
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ATOM atom = 0;
    if (c.extended) {
      WNDCLASSEXW wc = {};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = instance;
      wc.hbrBackground = flagged;
      wc.lpszClassName = c.name;
      atom = RegisterClassExW(&wc);
    } else {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = instance;
      wc.hbrBackground = flagged;
      wc.lpszClassName = c.name;
      atom = RegisterClassW(&wc);
    }
    ASSERT_NE(atom, 0);
    HWND hwnd = CreateWindowExW(0, c.name, L"", WS_POPUP, 0, 0, 8, 1, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(hwnd, nullptr);

    CPixelStrip strip(8);
    strip.Fill(RGB(1, 2, 3));
    SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(strip.dc()), 0);
    EXPECT_EQ(strip.At(0), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(strip.At(7), GetSysColor(COLOR_WINDOW));

    DestroyWindow(hwnd);
    UnregisterClassW(c.name, instance);
  }
}

// On the device a window can be made "above the start-up screen" (0x20000000) with
// the desktop's styles beside it (0x28000008: no activation, topmost).
TEST(DeviceWindowManager, DeviceExtendedStylesCreateTheWindow) {
  HWND hwnd = CreateWindowExW(WS_EX_ABOVESTARTUP | WS_EX_NOACTIVATE | WS_EX_TOPMOST, L"STATIC", L"hint", WS_POPUP,
                              0, 0, 20, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(hwnd, nullptr);
  LONG ex = GetWindowLongW(hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
  DestroyWindow(hwnd);
}

// On the device SetForegroundWindow of the handle with its lowest bit set brings the
// window, and its owned windows with it, to the front.
TEST(DeviceWindowManager, ForegroundWithOwnedWindows) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               instance, nullptr);
  HWND owned = CreateWindowExW(0, L"STATIC", L"owned", WS_POPUP | WS_VISIBLE, 10, 10, 20, 20, owner, nullptr,
                               instance, nullptr);
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               instance, nullptr);
  ASSERT_TRUE(owner && owned && other);

  // The foreground belongs to the whole desktop: a test program running beside this one
  // may take it between our call and our look. Such a theft is tried again; a stand-in
  // that does not bring the owner forward fails every round.
  struct Walk {
    HWND mine[3];
    std::vector<HWND> order;
  };
  HWND foreground = nullptr;
  std::vector<HWND> order;
  for (int round = 0; round < 5; ++round) {
    ASSERT_TRUE(SetForegroundWindow(other));
    EXPECT_TRUE(SetForegroundWindow(CE_FOREGROUND_WITH_OWNED(owner)));
    foreground = GetForegroundWindow();
    // EnumWindows takes a snapshot of the stacking order: walking it with GW_HWNDNEXT
    // breaks off when a window of another test program dies during the walk.
    Walk walk = {{owner, owned, other}, {}};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
          auto* state = reinterpret_cast<Walk*>(lp);
          for (HWND m : state->mine)
            if (w == m) state->order.push_back(w);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    order = walk.order;
    if (foreground == owner) break;
    Sleep(50);
  }
  EXPECT_EQ(foreground, owner);
  // The owned window is above its owner, and both above the other window.
  EXPECT_EQ(order, (std::vector<HWND>{owned, owner, other}));

  DestroyWindow(other);
  DestroyWindow(owner);
}

// The hook functions are bound by name from coredll.dll and take the device's hook numbers.
struct HookState {
  decltype(&CallNextHookEx) callNext = nullptr;
  std::vector<DWORD> keyDowns;
} g_hook;

LRESULT CALLBACK KeyboardHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && wp == WM_KEYDOWN) g_hook.keyDowns.push_back(reinterpret_cast<KBDLLHOOKSTRUCT*>(lp)->vkCode);
  return g_hook.callNext(nullptr, code, wp, lp);
}

LRESULT CALLBACK CountKeys(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN) SetWindowLongPtrW(hwnd, GWLP_USERDATA, GetWindowLongPtrW(hwnd, GWLP_USERDATA) + 1);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

template <class F>
F BindCore(const wchar_t* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddressW(GetModuleHandleW(L"coredll.dll"), name)));
}

TEST(DeviceWindowManager, LowLevelKeyboardHookSeesKeysAndPassesThemOn) {
  auto setHook = BindCore<decltype(&SetWindowsHookExW)>(L"SetWindowsHookExW");
  g_hook.callNext = BindCore<decltype(&CallNextHookEx)>(L"CallNextHookEx");
  auto unhook = BindCore<decltype(&UnhookWindowsHookEx)>(L"UnhookWindowsHookEx");
  ASSERT_TRUE(setHook && g_hook.callNext && unhook);

  WNDCLASSW wc = {};
  wc.lpfnWndProc = CountKeys;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CoreDllKeyTarget";
  RegisterClassW(&wc);
  HWND target = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
  ASSERT_NE(target, nullptr);
  SetForegroundWindow(target);
  SetFocus(target);

  g_hook.keyDowns.clear();
  HHOOK hook = setHook(CE_WH_KEYBOARD_LL, KeyboardHook, nullptr, 0);
  ASSERT_NE(hook, nullptr) << GetLastError();
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_LEFT;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  EXPECT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);

  DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < 3000 && GetWindowLongPtrW(target, GWLP_USERDATA) == 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  EXPECT_TRUE(unhook(hook));
  EXPECT_EQ(g_hook.keyDowns, std::vector<DWORD>{VK_LEFT});
  EXPECT_EQ(GetWindowLongPtrW(target, GWLP_USERDATA), 1) << "the key must still reach the window";

  DestroyWindow(target);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

}  // namespace
