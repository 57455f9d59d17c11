// The InkX control keeps any ink data byte for byte, shows its size and text, hands
// out its inner text window, and offers its own menu unless the parent takes the
// context gesture.
#include "platform/inkx/inkx.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/aygshell/aygshell.h"
#include "platform/richink/richink.h"

namespace {

struct Parent {
  HWND hwnd = nullptr;
  std::vector<NMRGINFO> notes;
  LRESULT answer = 0;

  Parent() {
    static bool registered = false;
    if (!registered) {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"InkXTestParent";
      RegisterClassW(&wc);
      registered = true;
    }
    hwnd = CreateWindowExW(0, L"InkXTestParent", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr,
                           GetModuleHandleW(nullptr), this);
  }
  ~Parent() { DestroyWindow(hwnd); }

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<Parent*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && self && reinterpret_cast<NMHDR*>(lParam)->code == GN_CONTEXTMENU) {
      self->notes.push_back(*reinterpret_cast<NMRGINFO*>(lParam));
      return self->answer;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
};

class InkX : public ::testing::Test {
 protected:
  void SetUp() override {
    InitInkX();
    control_ = CreateWindowExW(0x100000, WC_INKX, L"", 0x50000800, 0, 0, 200, 200, parent_.hwnd,
                               reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(control_, nullptr);
    inner_ = reinterpret_cast<HWND>(SendMessageW(control_, IM_GETINNERWINDOW, 0, 0));
    ASSERT_NE(inner_, nullptr);
  }
  void TearDown() override { DestroyWindow(control_); }

  std::vector<BYTE> ReadBack() const {
    std::vector<BYTE> out(InkXTestGetData(control_, nullptr, 0));
    if (!out.empty()) InkXTestGetData(control_, out.data(), static_cast<DWORD>(out.size()));
    return out;
  }
  std::wstring Shown() const {
    std::wstring text(GetWindowTextLengthW(inner_) + 1, L'\0');
    text.resize(GetWindowTextW(inner_, &text[0], static_cast<int>(text.size())));
    return text;
  }
  bool Set(const std::vector<BYTE>& bytes) {
    return SendMessageW(control_, IM_SETDATA, bytes.size(), reinterpret_cast<LPARAM>(bytes.data())) != FALSE;
  }

  Parent parent_;
  HWND control_ = nullptr;
  HWND inner_ = nullptr;
};

std::vector<BYTE> Bytes(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }

// Ink data comes back byte for byte, whatever it holds; the view shows its size and
// the text found in it.
TEST_F(InkX, DataKeptAndShown) {
  std::string utf16le("\xFF\xFE" "h\0i\0", 6);
  std::string binary("\x01\x02\0\0" "P\0o\0c\0k\0e\0t\0" "\x7F\x80\x00" "memo\x01", 26);
  struct Case {
    std::vector<BYTE> bytes;
    const wchar_t* shownPart;  // found in the view
  };
  const Case cases[] = {
      {Bytes("A note\r\nline two"), L"A note\r"},
      {Bytes(utf16le), L"hi"},
      {Bytes(binary), L"Pocket"},
      {Bytes(binary), L"memo"},
      {{}, L"0 bytes"},
      {Bytes("\xCE\xB1\xCE\xB2 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xE4\xB8\xAD\xE6\x96\x87 e\xCC\x81"),
       L"\x05e9\x05dc\x05d5\x05dd"},
      {Bytes("caf\xC3\xA9"), L"caf\x00e9"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Set(c.bytes));
    EXPECT_EQ(ReadBack(), c.bytes);
    const std::wstring shown = Shown();
    EXPECT_NE(shown.find(std::to_wstring(c.bytes.size()) + L" bytes"), std::wstring::npos) << shown;
    EXPECT_NE(shown.find(c.shownPart), std::wstring::npos) << shown;
  }
  EXPECT_FALSE(SendMessageW(control_, IM_SETDATA, 5, 0));
  EXPECT_EQ(ReadBack(), Bytes("caf\xC3\xA9"));
}

// Random data of any length is kept whole and shown without harm.
TEST_F(InkX, FuzzedData) {
  std::mt19937 random(1540);
  for (int i = 0; i < 2000; ++i) {
    std::vector<BYTE> bytes(random() % 600);
    for (BYTE& b : bytes) b = static_cast<BYTE>(random() % 3 ? random() : 'a' + random() % 26);
    ASSERT_TRUE(Set(bytes));
    ASSERT_EQ(ReadBack(), bytes) << i;
  }
  // Text of any script, as a text note sent as ink would hold it.
  const wchar_t letters[] = L"a \x00e9\x03b1\x05d0\x0627\x0301\x4e2d\x0e01\x200f\x202e\xac00\r\n";
  for (int i = 0; i < 300; ++i) {
    std::wstring text;
    for (int n = random() % 200; n > 0; --n) text += letters[random() % (sizeof(letters) / sizeof(wchar_t) - 1)];
    std::string utf8(text.size() * 4 + 1, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0],
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    ASSERT_TRUE(Set(Bytes(utf8)));
    ASSERT_EQ(ReadBack(), Bytes(utf8));
  }
  std::vector<BYTE> large(200000, 0x41);
  ASSERT_TRUE(Set(large));
  EXPECT_EQ(ReadBack().size(), large.size());
}

// The inner window is a RichInk child; the zoom the control is sent reaches it.
TEST_F(InkX, InnerWindowReached) {
  WCHAR name[32] = {};
  GetClassNameW(inner_, name, 32);
  EXPECT_STREQ(name, WC_RICHINK);
  EXPECT_EQ(GetParent(inner_), control_);
  VIEWATTRIBUTES view = {15, 0, 120, 80, 1, 0};
  SendMessageW(control_, EM_SETVIEWATTRIBUTES, 0, reinterpret_cast<LPARAM>(&view));
  WPARAM num = 0;
  LPARAM den = 0;
  SendMessageW(inner_, EM_GETZOOM, reinterpret_cast<WPARAM>(&num), reinterpret_cast<LPARAM>(&den));
  EXPECT_EQ(num, 120u);
  EXPECT_EQ(den, 100);
  EXPECT_EQ(SendMessageW(control_, EM_RICHINK_1353, 1, 0), 0);
}

struct MenuSeen {
  std::vector<UINT> items;
  HWND owner = nullptr;
  int calls = 0;
  UINT answer = 0;
} g_menu;

UINT CALLBACK Choose(HMENU menu, POINT, HWND owner) {
  ++g_menu.calls;
  g_menu.owner = owner;
  g_menu.items.clear();
  for (int i = 0; i < GetMenuItemCount(menu); ++i) g_menu.items.push_back(GetMenuItemID(menu, i));
  return g_menu.answer;
}

WNDPROC g_innerProc = nullptr;
int g_initPopups = 0;
std::vector<UINT> g_commands;
LRESULT CALLBACK WatchInner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITMENUPOPUP) ++g_initPopups;
  if (message == WM_COMMAND) g_commands.push_back(LOWORD(wParam));
  return CallWindowProcW(g_innerProc, window, message, wParam, lParam);
}

// A right tap tells the parent (from the control, in its coordinates); when the parent
// leaves it, the control's own menu opens with the inner window as its owner, which
// hears WM_INITMENUPOPUP.
TEST_F(InkX, ContextGestureAndOwnMenu) {
  g_innerProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(inner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchInner)));
  InkXTestSetMenuChooser(Choose);
  g_menu = MenuSeen();
  g_initPopups = 0;
  g_commands.clear();

  SendMessageW(inner_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(12, 14));
  SendMessageW(inner_, WM_RBUTTONUP, 0, MAKELPARAM(12, 14));
  ASSERT_EQ(parent_.notes.size(), 1u);
  EXPECT_EQ(parent_.notes[0].hdr.hwndFrom, control_);
  EXPECT_EQ(parent_.notes[0].hdr.idFrom, 7u);
  EXPECT_EQ(parent_.notes[0].ptAction.x, 12);
  EXPECT_EQ(parent_.notes[0].ptAction.y, 14);
  EXPECT_EQ(g_menu.calls, 1);
  EXPECT_EQ(g_menu.owner, inner_);
  EXPECT_EQ(g_initPopups, 1);
  for (UINT id : {IDM_INKX_UNDO, IDM_INKX_CUT, IDM_INKX_PASTE, IDM_INKX_CLEAR})
    EXPECT_NE(std::find(g_menu.items.begin(), g_menu.items.end(), id), g_menu.items.end()) << id;

  EXPECT_TRUE(g_commands.empty());

  // An item the owner added to the menu comes back to the owner as its command.
  g_menu.answer = 1901;
  SendMessageW(inner_, WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(g_commands, std::vector<UINT>{1901});
  g_menu.answer = 0;

  parent_.answer = 1;
  SendMessageW(inner_, WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(parent_.notes.size(), 3u);
  EXPECT_EQ(g_menu.calls, 2);
  InkXTestSetMenuChooser(nullptr);
  SetWindowLongPtrW(inner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_innerProc));
}

}  // namespace
