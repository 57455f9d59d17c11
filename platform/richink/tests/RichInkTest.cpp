// The RichInk control takes the device's messages and stream-in answers, and tells its
// parent of the context gesture.
#include "platform/richink/richink.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/aygshell/AygTest.h"
#include "platform/tests/ByteMutator.h"

namespace {

// A parent that keeps the context notifications it is sent.
struct Parent {
  HWND hwnd = nullptr;
  std::vector<NMRGINFO> notes;

  Parent() {
    static bool registered = false;
    if (!registered) {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"RichInkTestParent";
      RegisterClassW(&wc);
      registered = true;
    }
    hwnd = CreateWindowExW(0, L"RichInkTestParent", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr,
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
      return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
};

class RichInk : public ::testing::Test {
 protected:
  void SetUp() override {
    InitRichInkDLL();
    control_ = CreateWindowExW(0, WC_RICHINK, L"", 0x50300800, 0, 0, 200, 200, parent_.hwnd,
                               reinterpret_cast<HMENU>(100), nullptr, nullptr);
    ASSERT_NE(control_, nullptr);
  }
  void TearDown() override { DestroyWindow(control_); }

  std::wstring Text() const {
    std::wstring text(GetWindowTextLengthW(control_) + 1, L'\0');
    text.resize(GetWindowTextW(control_, &text[0], static_cast<int>(text.size())));
    return text;
  }

  Parent parent_;
  HWND control_ = nullptr;
};

struct Source {
  std::string bytes;
  size_t at = 0;
  DWORD failWith = 0;
};

DWORD CALLBACK Feed(DWORD_PTR cookie, LPBYTE out, LONG wanted, LONG* given) {
  auto* source = reinterpret_cast<Source*>(cookie);
  if (source->failWith) return source->failWith;
  size_t n = std::min(static_cast<size_t>(wanted), source->bytes.size() - source->at);
  memcpy(out, source->bytes.data() + source->at, n);
  source->at += n;
  *given = static_cast<LONG>(n);
  return 0;
}

LRESULT StreamIn(HWND control, WPARAM format, Source& source, DWORD* error = nullptr) {
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = Feed;
  LRESULT result = SendMessageW(control, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
  if (error) *error = stream.dwError;
  return result;
}

std::string Utf16(const wchar_t* text) {
  return std::string(reinterpret_cast<const char*>(text), wcslen(text) * sizeof(wchar_t));
}

// The device's style for a RichInk (no multi-line bit) still gives a view of many
// lines that pages.
TEST_F(RichInk, ManyLinesWhateverTheStyle) {
  std::wstring lines;
  for (int i = 0; i < 100; ++i) lines += L"line " + std::to_wstring(i) + L"\r\n";
  SetWindowTextW(control_, lines.c_str());
  EXPECT_GE(SendMessageW(control_, EM_GETLINECOUNT, 0, 0), 100);
  SendMessageW(control_, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_GT(SendMessageW(control_, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
}

// The zoom arrives by the device's numbers (1314, and 1356 with the view attributes),
// which the desktop rich edit reads otherwise; 1353 is taken and changes nothing.
TEST_F(RichInk, DeviceMessagesSetTheZoom) {
  auto zoom = [this] {
    WPARAM num = 0;
    LPARAM den = 0;
    SendMessageW(control_, EM_GETZOOM, reinterpret_cast<WPARAM>(&num), reinterpret_cast<LPARAM>(&den));
    return std::make_pair(static_cast<int>(num), static_cast<int>(den));
  };
  SetWindowTextW(control_, L"kept");
  SendMessageW(control_, EM_SETZOOMPERCENT, 150, 150);
  EXPECT_EQ(zoom(), std::make_pair(150, 100));
  VIEWATTRIBUTES view = {15, 0, 80, 16, 0, 0};
  SendMessageW(control_, EM_SETVIEWATTRIBUTES, 0, reinterpret_cast<LPARAM>(&view));
  EXPECT_EQ(zoom(), std::make_pair(80, 100));
  VIEWATTRIBUTES noZoom = {VIEWATTRIBUTE_PAGESTYLE, 0, 300, 16, 0, 0};
  SendMessageW(control_, EM_SETVIEWATTRIBUTES, 0, reinterpret_cast<LPARAM>(&noZoom));
  EXPECT_EQ(zoom(), std::make_pair(80, 100));
  EXPECT_EQ(SendMessageW(control_, EM_SETVIEWATTRIBUTES, 0, 0), 0);
  EXPECT_EQ(SendMessageW(control_, EM_RICHINK_1353, 1, 0), 0);
  EXPECT_EQ(Text(), L"kept");
}

// The stream-in forms: RTF, UTF-16 text and ANSI text are taken (answer 0); data that
// is not RTF, or a failing source, is refused with the content kept.
TEST_F(RichInk, StreamInForms) {
  struct Case {
    WPARAM format;
    std::string bytes;
    bool taken;
    const wchar_t* text;  // after the call
  };
  const Case cases[] = {
      {SF_RTF, "{\\rtf1\\ansi Hello {\\b bold}}", true, L"Hello bold"},
      {SF_TEXT | SF_UNICODE, Utf16(L"Unicode \x00e9t\x00e9"), true, L"Unicode \x00e9t\x00e9"},
      {SF_TEXT, "plain", true, L"plain"},
      {SF_RTF, "{not rtf at all}", false, L"plain"},
      {SF_RTF, "", false, L"plain"},
      {SF_TEXT | SF_UNICODE, "", true, L""},
  };
  for (const Case& c : cases) {
    Source source;
    source.bytes = c.bytes;
    DWORD error = 0;
    LRESULT result = StreamIn(control_, c.format, source, &error);
    EXPECT_EQ(result == 0, c.taken) << c.bytes;
    EXPECT_EQ(static_cast<LRESULT>(error), result) << c.bytes;
    EXPECT_EQ(Text(), c.text) << c.bytes;
  }
  Source failing;
  failing.failWith = 5;
  EXPECT_EQ(StreamIn(control_, SF_TEXT, failing), 5);
  EXPECT_NE(SendMessageW(control_, EM_STREAMIN, SF_TEXT, 0), 0);
}

// RTF groups nested deeper than Wine's rich edit can hold (it ended the process from
// 33 levels on) still show their text; escaped braces stay text, and the bytes after
// \bin count as RTF, as the rich edit reads them.
TEST_F(RichInk, DeeplyNestedGroupsShowTheirText) {
  auto nested = [](int depth, const std::string& inner, bool closed) {
    return "{\\rtf1" + std::string(depth, '{') + inner + (closed ? std::string(depth, '}') : "") + "}";
  };
  struct Case {
    const char* what;
    std::string bytes;
    bool whole;  // the groups close: the control reads to the end without error
    const wchar_t* text;
  };
  const Case cases[] = {
      {"as deep as kept", nested(29, "x", true), true, L"x"},
      {"one past Wine's limit", nested(32, "x", true), true, L"x"},
      {"far past it", nested(300, "a{\\b b}c", true), true, L"abc"},
      {"never closed", nested(300, "x", false), false, L"x"},
      {"beside a deep group", "{\\rtf1" + std::string(40, '{') + "x" + std::string(40, '}') + "{\\b y}}", true, L"xy"},
      {"escaped braces are text", "{\\rtf1" + std::string(40, '{') + "\\{\\}\\\\" + std::string(40, '}') + "}", true,
       L"{}\\"},
      {"binary data read as groups", "{\\rtf1 a\\bin40 " + std::string(40, '{') + "b" + std::string(40, '}') + "}", true,
       L"ab"},
  };
  for (const Case& c : cases) {
    Source source;
    source.bytes = c.bytes;
    EXPECT_EQ(StreamIn(control_, SF_RTF, source) == 0, c.whole) << c.what;
    EXPECT_EQ(Text(), c.text) << c.what;
  }
}

// Any bytes, as RTF or as text, are answered without harm.
TEST_F(RichInk, FuzzedStreams) {
  fixtures::ByteMutator mutator(1314);
  const std::string seeds[] = {"{\\rtf1\\ansi a{\\b b}\\par c}", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\u233?x}", "text"};
  const std::vector<std::string> specials = fixtures::ByteMutator::EachUnit(std::string("{}\\\0", 4));
  for (int i = 0; i < 2000; ++i) {
    Source source;
    source.bytes = mutator.Edit(seeds[mutator.Below(3)], 8, specials);
    StreamIn(control_, (i & 1) ? SF_RTF : (SF_TEXT | SF_UNICODE), source);
  }
}

// Text given by any means loses the combining marks Wine cannot place (which would end
// the process); shared accents stay on their letters.
TEST_F(RichInk, MarksWineCannotPlaceAreDropped) {
  struct Case {
    const wchar_t* given;
    const wchar_t* shown;
  };
  const Case cases[] = {
      {L"\x05b0", L""},
      {L"\x05d0\x05b0\x05d1", L"\x05d0\x05d1"},
      {L"a\x064b", L"a"},
      {L"caf\x0065\x0301", L"caf\x0065\x0301"},
      {L"e\x0301\x0302\x0303\x0304\x0305", L"e\x0301\x0302\x0303"},
      {L" \x0301x", L" x"},
      {L"\x05e9\x05dc\x05d5\x05dd", L"\x05e9\x05dc\x05d5\x05dd"},
  };
  for (const Case& c : cases) {
    SetWindowTextW(control_, c.given);
    EXPECT_EQ(Text(), c.shown);
    Source source;
    source.bytes = Utf16(c.given);
    EXPECT_EQ(StreamIn(control_, SF_TEXT | SF_UNICODE, source), 0);
    EXPECT_EQ(Text(), c.shown);
  }
  // Any characters of the basic plane, painted.
  std::mt19937 random(5);
  ShowWindow(control_, SW_SHOWNA);
  for (int i = 0; i < 300; ++i) {
    std::wstring text;
    for (int n = random() % 200; n > 0; --n) text += static_cast<wchar_t>(0x20 + random() % (0xD800 - 0x20));
    SetWindowTextW(control_, text.c_str());
    UpdateWindow(control_);
  }
}

// A right tap, or a held tap, tells the parent (code 1000, the point in the control's
// own coordinates); a plain tap does not.
TEST_F(RichInk, ContextGestureNotifiesParent) {
  SendMessageW(control_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 7));
  SendMessageW(control_, WM_RBUTTONUP, 0, MAKELPARAM(5, 7));
  ASSERT_EQ(parent_.notes.size(), 1u);
  EXPECT_EQ(parent_.notes[0].hdr.hwndFrom, control_);
  EXPECT_EQ(parent_.notes[0].hdr.idFrom, 100u);
  EXPECT_EQ(parent_.notes[0].ptAction.x, 5);
  EXPECT_EQ(parent_.notes[0].ptAction.y, 7);

  AygTestSetGestureMode(AYG_GESTURE_TAP);
  SendMessageW(control_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(9, 9));
  SendMessageW(control_, WM_LBUTTONUP, 0, MAKELPARAM(9, 9));
  EXPECT_EQ(parent_.notes.size(), 1u);
  AygTestSetGestureMode(AYG_GESTURE_HOLD);
  SendMessageW(control_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
  AygTestSetGestureMode(AYG_GESTURE_REAL);
  ASSERT_EQ(parent_.notes.size(), 2u);
  EXPECT_EQ(parent_.notes[1].ptAction.x, 20);
  EXPECT_EQ(parent_.notes[1].ptAction.y, 30);
}

}  // namespace
