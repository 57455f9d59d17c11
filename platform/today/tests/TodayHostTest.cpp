// The Today screen as items see it: the item record, the height protocol, the
// watermark, selection, reload, and what happens to items that cannot load.
#include "platform/today/TodayHost.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/ce.h"
#include "platform/tests/ByteMutator.h"
#include "platform/today/ScriptAnswers.h"
#include "platform/today/TestItem.h"
#include "platform/today/TodayScript.h"

namespace {

// Each test's own items key, so no other program's Today items are touched.
constexpr wchar_t kItemsKey[] = L"\\Software\\TodayHostTest\\Items";
constexpr wchar_t kTestRoot[] = L"\\Software\\TodayHostTest";

std::wstring BinFile(const wchar_t* name) {
  WCHAR path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir = path;
  return dir.substr(0, dir.find_last_of(L'\\') + 1) + name;
}

struct ItemEntry {
  const wchar_t* key;
  DWORD order;
  DWORD flags;         // the test item's height in the low word
  DWORD selectability;
  std::wstring dll = BinFile(TODAY_TEST_ITEM_DLL);
  DWORD enabled = 1;
  DWORD type = 4;
};

class TodayHostTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kTestRoot); }
  void TearDown() override {
    host.Destroy();
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kTestRoot);
  }

  void AddItem(const ItemEntry& entry) {
    HKEY key = nullptr;
    std::wstring path = std::wstring(kItemsKey) + L"\\" + entry.key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    auto dword = [&](const wchar_t* name, DWORD value) {
      RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    };
    dword(L"Type", entry.type);
    dword(L"Enabled", entry.enabled);
    dword(L"Order", entry.order);
    dword(L"Flags", entry.flags);
    dword(L"Selectability", entry.selectability);
    dword(L"Options", 1);
    RegSetValueExW(key, L"DLL", 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.dll.c_str()),
                   static_cast<DWORD>((entry.dll.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }

  void Start(const std::wstring& watermark = L"") {
    TodayHostOptions options;
    options.watermark = watermark;
    options.itemsKey = kItemsKey;
    // Apart from other programs' windows and above them, so that what is drawn stays visible.
    options.x = 700;
    options.y = 400;
    options.topmost = true;
    options.pollMs = 0;
    ASSERT_TRUE(host.Create(options));
    PumpPendingMessages();
  }

  RECT ItemRect(size_t i) const {
    RECT r;
    HWND window = host.ItemAt(i).record->hwndCustom;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, host.View(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  std::vector<std::pair<UINT, WPARAM>> Received(size_t i) const {
    auto read = reinterpret_cast<PFNTESTITEMMESSAGES>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(TODAY_TEST_ITEM_DLL), "TestItemMessages")));
    std::vector<std::pair<UINT, WPARAM>> out;
    if (!read) return out;
    UINT messages[64];
    WPARAM wParams[64];
    int n = read(host.ItemAt(i).record->hwndCustom, messages, wParams, 64);
    for (int k = 0; k < n && k < 64; ++k) out.push_back({messages[k], wParams[k]});
    return out;
  }

  // What the test item's menu and dialog were answered with since the last call.
  std::wstring NewAnswers() {
    auto read = reinterpret_cast<PFNTESTITEMANSWERS>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(TODAY_TEST_ITEM_DLL), "TestItemAnswers")));
    if (!read) return L"(no answers export)";
    std::wstring all(static_cast<size_t>(read(nullptr, 0)) + 1, L'\0');
    all.resize(static_cast<size_t>(read(&all[0], static_cast<int>(all.size()))));
    std::wstring fresh = all.substr(std::min(seenAnswers, all.size()));
    seenAnswers = all.size();
    return fresh;
  }
  size_t seenAnswers = 0;

  // A log line that has both texts.
  bool LogHas(const std::wstring& text, const std::wstring& also) const {
    for (const auto& line : host.LogLines())
      if (line.find(text) != std::wstring::npos && line.find(also) != std::wstring::npos) return true;
    return false;
  }

  CTodayHost host;
};

TEST_F(TodayHostTest, AnItemIsHandedItsRecordAndAnswersItsHeightThroughTheRefreshQuery) {
  AddItem({L"First", 1, 50, 2});
  Start();
  ASSERT_EQ(1u, host.ItemCount());
  const TODAYLISTITEM& r = *host.ItemAt(0).record;
  EXPECT_STREQ(L"First", r.szName);
  EXPECT_EQ(tlitCustom, r.tlit);
  EXPECT_EQ(1u, r.dwOrder);
  EXPECT_TRUE(r.fEnabled);
  EXPECT_TRUE(r.fOptions);
  EXPECT_EQ(50u, r.grfFlags);
  EXPECT_NE(nullptr, r.hinstDLL);
  ASSERT_TRUE(IsWindow(r.hwndCustom));
  EXPECT_EQ(host.View(), GetParent(r.hwndCustom));
  EXPECT_EQ(50u, r.cyp);
  RECT rect = ItemRect(0);
  EXPECT_EQ(0, rect.top);
  EXPECT_EQ(50, rect.bottom - rect.top);

  // Clear the cache first, then ask for the height, both with the record in wParam.
  auto got = Received(0);
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(std::make_pair(UINT(WM_TODAYCUSTOM_CLEARCACHE), reinterpret_cast<WPARAM>(&r)), got[0]);
  EXPECT_EQ(std::make_pair(UINT(WM_TODAYCUSTOM_QUERYREFRESHCACHE), reinterpret_cast<WPARAM>(&r)), got[1]);
}

TEST_F(TodayHostTest, ItemsStackInOrderAndAChangedHeightMovesTheOnesBelow) {
  AddItem({L"Lower", 20, 30, 2});
  AddItem({L"Upper", 10, 40, 2});
  Start();
  ASSERT_EQ(2u, host.ItemCount());
  EXPECT_EQ(L"Upper", host.ItemAt(0).key);
  EXPECT_EQ(40, ItemRect(1).top);
  const TODAYLISTITEM* record = host.ItemAt(0).record;

  SendMessageW(host.ItemAt(0).record->hwndCustom, RegisterWindowMessageW(L"TodayTestItem_SetHeight"), 90, 0);
  EXPECT_EQ(40, ItemRect(1).top) << "nothing moves before the screen asks";
  host.Poll();
  EXPECT_EQ(90u, host.ItemAt(0).record->cyp);
  EXPECT_EQ(90, ItemRect(0).bottom - ItemRect(0).top);
  EXPECT_EQ(90, ItemRect(1).top);
  EXPECT_EQ(record, host.ItemAt(0).record) << "the record keeps its address";
}

TEST_F(TodayHostTest, ANegativeHeightTakesNoRoomRatherThanBillionsOfPixels) {
  AddItem({L"Upper", 1, 40, 2});
  AddItem({L"Lower", 2, 30, 2});
  Start();
  SendMessageW(host.ItemAt(0).record->hwndCustom, RegisterWindowMessageW(L"TodayTestItem_SetHeight"),
               static_cast<WPARAM>(static_cast<DWORD>(-240)), 0);
  host.Poll();
  EXPECT_EQ(0, ItemRect(0).bottom - ItemRect(0).top);
  EXPECT_EQ(0, ItemRect(1).top);
  SCROLLINFO si = {sizeof(si), SIF_RANGE, 0, 0, 0, 0, 0};
  GetScrollInfo(host.View(), SB_VERT, &si);
  EXPECT_LT(si.nMax, 30);
}

TEST_F(TodayHostTest, TheWatermarkReachesTheItemsDrawingContextContinuousWithTheScreen) {
  AddItem({L"Top", 1, 40, 2});
  AddItem({L"Below", 2, 60, 2});
  Start();
  ASSERT_EQ(2u, host.ItemCount());
  for (size_t i = 0; i < 2; ++i) {
    HWND window = host.ItemAt(i).record->hwndCustom;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    // Right of the item's text: only the watermark is there.
    POINT inItem = {200, 30};
    POINT inView = inItem;
    MapWindowPoints(window, host.View(), &inView, 1);
    COLORREF expected = host.BackgroundPixel(inView.x, inView.y);
    EXPECT_EQ(expected, GetPixel(dc, inItem.x, inItem.y)) << "item " << i;
    ReleaseDC(window, dc);
  }
  // The gradient differs from top to bottom, so the two items did not get the same copy.
  EXPECT_NE(host.BackgroundPixel(200, 30), host.BackgroundPixel(200, 70));
}

TEST_F(TodayHostTest, TheProfilesWatermarkImageIsTheBackground) {
  // A 2x2 picture, all one colour (blue 0x40, green 0x80, red 0xC0), as a BMP file.
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring path = std::wstring(temp) + L"TodayHostTestWatermark.bmp";
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = 2;
  info.biHeight = 2;
  info.biPlanes = 1;
  info.biBitCount = 32;
  const DWORD pixels[4] = {0x00C08040, 0x00C08040, 0x00C08040, 0x00C08040};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + sizeof(pixels);
  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, out);
  DWORD written = 0;
  WriteFile(out, &file, sizeof(file), &written, nullptr);
  WriteFile(out, &info, sizeof(info), &written, nullptr);
  WriteFile(out, pixels, sizeof(pixels), &written, nullptr);
  CloseHandle(out);

  AddItem({L"A", 1, 40, 2});
  Start(path);
  DeleteFileW(path.c_str());
  EXPECT_EQ(RGB(0xC0, 0x80, 0x40), host.BackgroundPixel(100, 200)) << "stretched over the whole screen";
  EXPECT_EQ(RGB(0xC0, 0x80, 0x40), host.BackgroundPixel(5, 5));
}

TEST_F(TodayHostTest, AMissingWatermarkImageLeavesTheGradient) {
  Start(L"C:\\no\\such\\image.png");
  EXPECT_NE(host.BackgroundPixel(5, 5), host.BackgroundPixel(5, 300));
  EXPECT_TRUE(LogHas(L"watermark", L"cannot be read"));
}

TEST_F(TodayHostTest, ArrowKeysMoveTheSelectionFromItemToItem) {
  AddItem({L"A", 1, 40, 2});
  AddItem({L"B", 2, 40, 2});
  Start();
  ASSERT_EQ(2u, host.ItemCount());
  EXPECT_EQ(-1, host.Selected());

  host.OnKey(VK_DOWN);
  EXPECT_EQ(0, host.Selected());
  host.OnKey(VK_DOWN);
  EXPECT_EQ(1, host.Selected());
  host.OnKey(VK_DOWN);
  EXPECT_EQ(1, host.Selected()) << "the last item keeps it";
  host.OnKey(VK_UP);
  EXPECT_EQ(0, host.Selected());

  auto a = Received(0), b = Received(1);
  auto has = [](const std::vector<std::pair<UINT, WPARAM>>& got, UINT message, WPARAM wParam) {
    for (auto& m : got)
      if (m.first == message && m.second == wParam) return true;
    return false;
  };
  // The item is asked first; it declined, so the screen moved on.
  EXPECT_TRUE(has(a, WM_TODAYCUSTOM_USERNAVIGATION, VK_DOWN));
  EXPECT_TRUE(has(a, WM_TODAYCUSTOM_LOSTSELECTION, 0));
  EXPECT_TRUE(has(b, WM_TODAYCUSTOM_RECEIVEDSELECTION, VK_DOWN));
  EXPECT_TRUE(has(a, WM_TODAYCUSTOM_RECEIVEDSELECTION, VK_UP));

  host.OnKey(VK_RETURN);
  EXPECT_TRUE(has(Received(0), WM_TODAYCUSTOM_ACTION, VK_RETURN));
}

// A window an item opens over the screen (a date picker, a box) is part of what the
// user sees, and it is where the keys then go: a picture of the screen shows it.
TEST_F(TodayHostTest, ThePictureShowsTheWindowsOpenOverTheScreen) {
  AddItem({L"A", 1, 80, 2});
  Start();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = CreateSolidBrush(RGB(200, 0, 0));
  wc.lpszClassName = L"TodayHostTestPopup";
  RegisterClassW(&wc);
  RECT frame;
  GetWindowRect(host.Frame(), &frame);
  struct Case {
    int x, y;
    bool shown;
  };
  const Case cases[] = {{20, 30, true}, {120, 150, false}};
  std::vector<HWND> popups;
  for (const Case& c : cases) {
    HWND popup = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, wc.lpszClassName, L"", WS_POPUP,
                                 frame.left + c.x, frame.top + c.y, 50, 40, host.Frame(), nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_NE(popup, nullptr);
    if (c.shown) ShowWindow(popup, SW_SHOWNOACTIVATE);
    UpdateWindow(popup);
    popups.push_back(popup);
  }
  PumpPendingMessages();
  HBITMAP shot = host.Capture();
  ASSERT_NE(shot, nullptr);
  DIBSECTION dib = {};
  ASSERT_TRUE(GetObjectW(shot, sizeof(dib), &dib));
  const int width = dib.dsBm.bmWidth;
  auto at = [&](int x, int y) {
    const DWORD pixel = static_cast<const DWORD*>(dib.dsBm.bmBits)[y * width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    const COLORREF inside = at(c.x + 25, c.y + 20);
    if (c.shown)
      EXPECT_EQ(inside, RGB(200, 0, 0));
    else
      EXPECT_NE(inside, RGB(200, 0, 0)) << "a hidden window is not on the screen";
  }
  DeleteObject(shot);
  for (HWND popup : popups) DestroyWindow(popup);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
  DeleteObject(wc.hbrBackground);
}

// A window of the tap test: it counts the taps it gets, answers the activation question
// as the case says and, as the plug-in's popups do, closes when it loses the front.
LRESULT g_tapAnswer = 0;
int g_popupTaps = 0;
LRESULT CALLBACK TapPopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      if (g_tapAnswer) return g_tapAnswer;
      break;
    case WM_LBUTTONDOWN:
      ++g_popupTaps;
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) PostMessageW(hwnd, WM_CLOSE, 0, 0);
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A tap lands on what the screen shows at its point: a window open over the screen
// where it lies, not the item below it; and it brings the window tapped to the front
// first, as the device's touch screen does, unless the window answers not to. So a
// tap beside a popup that closes when it loses the front closes it.
TEST_F(TodayHostTest, ATapLandsOnTheWindowShownThereAndBringsItToTheFront) {
  AddItem({L"A", 1, 40, 2});
  AddItem({L"B", 2, 40, 2});
  Start();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = TapPopupProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = L"TodayHostTestTapPopup";
  RegisterClassW(&wc);
  RECT frame;
  GetWindowRect(host.Frame(), &frame);
  struct Case {
    const char* name;
    bool inFront;    // the popup is in front before the tap
    LRESULT answer;  // to WM_MOUSEACTIVATE; 0: the default
    int x, y;        // the tap; the popup covers x 10-110, y 45-75 (over item B)
    bool open, front, tapped;
    int selected;    // the item the tap selected; -1: none
  };
  const Case cases[] = {
      {"on the popup in front", true, 0, 50, 60, true, true, true, -1},
      {"on a popup behind: it comes forward", false, 0, 50, 60, true, true, true, -1},
      {"on a popup that stays behind", false, MA_NOACTIVATE, 50, 60, true, false, true, -1},
      {"on a popup that comes forward and eats the tap", false, MA_ACTIVATEANDEAT, 50, 60, true, true, false, -1},
      {"on a popup that stays behind and eats the tap", false, MA_NOACTIVATEANDEAT, 50, 60, true, false, false, -1},
      {"beside the popup in front: the screen comes forward, the popup closes", true, 0, 20, 10, false, false,
       false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_tapAnswer = c.answer;
    g_popupTaps = 0;
    SetForegroundWindow(host.Frame());
    HWND popup = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP, frame.left + 10, frame.top + 45, 100,
                                 30, host.Frame(), nullptr, wc.hInstance, nullptr);
    ASSERT_NE(popup, nullptr);
    if (c.inFront) {
      ShowWindow(popup, SW_SHOW);
      SetForegroundWindow(popup);
    } else {
      ShowWindow(popup, SW_SHOWNOACTIVATE);
    }
    PumpPendingMessages();
    ASSERT_EQ(c.inFront, GetForegroundWindow() == popup);
    const int before = host.Selected();
    CTodayScript script;
    std::wstring error;
    ASSERT_TRUE(script.Parse(L"tap " + std::to_wstring(c.x) + L" " + std::to_wstring(c.y) + L"\n", error));
    ASSERT_TRUE(script.Run(host, error)) << error;
    PumpMessagesFor(50);
    EXPECT_EQ(c.open, IsWindow(popup) != FALSE);
    EXPECT_EQ(c.front, GetForegroundWindow() == popup);
    EXPECT_EQ(c.tapped, g_popupTaps > 0);
    EXPECT_EQ(c.selected == -1 ? before : c.selected, host.Selected()) << "the item below the tap";
    if (IsWindow(popup)) DestroyWindow(popup);
  }
  g_tapAnswer = 0;
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

TEST_F(TodayHostTest, AnItemThatTakesTheSelectionTakesItFromTheOther) {
  AddItem({L"A", 1, 40, 2});
  AddItem({L"B", 2, 40, 2});
  Start();
  host.OnKey(VK_DOWN);
  ASSERT_EQ(0, host.Selected());
  SendMessageW(host.ItemAt(1).record->hwndCustom, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(1, host.Selected());
  auto a = Received(0);
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(UINT(WM_TODAYCUSTOM_LOSTSELECTION), a.back().first);
}

TEST_F(TodayHostTest, TheSettingChangeSentToTheDesktopReloadsTheItems) {
  AddItem({L"A", 1, 40, 2});
  Start();
  ASSERT_EQ(1u, host.ItemCount());
  HWND before = host.ItemAt(0).record->hwndCustom;
  AddItem({L"B", 2, 30, 2});

  // As an installer does it, from inside an item.
  SendMessageW(before, RegisterWindowMessageW(L"TodayTestItem_Reload"), 0, 0);
  EXPECT_TRUE(IsWindow(before)) << "the sender's window outlives its own message";
  PumpPendingMessages();
  ASSERT_EQ(2u, host.ItemCount());
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(40, ItemRect(1).top);

  // From anywhere else, straight to the desktop.
  HWND second = host.ItemAt(1).record->hwndCustom;
  SendMessageW(GetDesktopWindow(), WM_SETTINGCHANGE, 0xF2, 0);
  PumpPendingMessages();
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(2u, host.ItemCount());

  HWND third = host.ItemAt(1).record->hwndCustom;
  PostMessageW(GetDesktopWindow(), WM_SETTINGCHANGE, 0xF2, 0);
  PumpPendingMessages();
  EXPECT_FALSE(IsWindow(third)) << "posted, too";
  EXPECT_EQ(2u, host.ItemCount());
}

TEST_F(TodayHostTest, ItemsThatCannotRunAreSkippedWithTheReasonLogged) {
  struct Case {
    ItemEntry entry;
    const wchar_t* reason;
  };
  const Case cases[] = {
      {{L"Missing", 1, 0, 2, BinFile(L"NoSuchItem.dll")}, L"cannot load"},
      {{L"NoOrdinal", 2, 0, 2, BinFile(L"TarvoRes.Dll")}, L"has no ordinal 240"},
      {{L"Failing", 3, TODAY_TEST_ITEM_FAIL, 2}, L"returned no window"},
      {{L"Off", 4, 0, 2, BinFile(TODAY_TEST_ITEM_DLL), 0}, L"not enabled"},
      {{L"Builtin", 5, 0, 2, BinFile(TODAY_TEST_ITEM_DLL), 1, 1}, L"not a custom item"},
      {{L"NoDll", 6, 0, 2, L""}, L"no DLL"},
  };
  for (const Case& c : cases) AddItem(c.entry);
  AddItem({L"Good", 7, 40, 2});
  Start();
  ASSERT_EQ(1u, host.ItemCount());
  EXPECT_EQ(L"Good", host.ItemAt(0).key);
  EXPECT_EQ(0, ItemRect(0).top);
  for (const Case& c : cases)
    EXPECT_TRUE(LogHas(std::wstring(L"skip \"") + c.entry.key + L"\": ", c.reason)) << c.entry.key;
}

TEST_F(TodayHostTest, TheOptionsDialogRunsFromTheItemsOwnTemplate) {
  AddItem({L"A", 1, 40, 2});
  Start();
  EXPECT_EQ(IDOK, host.ShowOptions(0));
  EXPECT_EQ(-1, host.ShowOptions(1));
}

TEST_F(TodayHostTest, ScrollingMovesTheItemsAndTheTopCommandReturns) {
  AddItem({L"A", 1, 200, 2});
  AddItem({L"B", 2, 200, 2});
  Start();
  SendMessageW(host.View(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(80, host.ScrollPos()) << "no further than the last item's bottom";
  EXPECT_EQ(120, ItemRect(1).top);
  SendMessageW(host.View(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(0, host.ScrollPos());
  EXPECT_EQ(200, ItemRect(1).top);
}

TEST(TodayScriptTest, StepsParseAndBadLinesAreRejectedWithTheirNumber) {
  CTodayScript script;
  std::wstring error;
  ASSERT_TRUE(script.Parse(L"# demo\ntap 10 20\r\nhold 5 6 700\nkey down\nkey 13\nwait 50\n"
                           L"post Some_Message 3 4\nscreenshot C:\\a b.png\nquit\n",
                           error))
      << error;
  ASSERT_EQ(8u, script.Steps().size());
  EXPECT_EQ(CTodayScript::Kind::Hold, script.Steps()[1].kind);
  EXPECT_EQ(VK_DOWN, script.Steps()[2].a);
  EXPECT_EQ(L"C:\\a b.png", script.Steps()[6].text);

  // The answers to menus and dialogs keep the rest of their line as it is.
  ASSERT_TRUE(script.Parse(L"menu  Dates... \nmenu #1214\nfield 1016 10:30\nfield 10  two  words\nfield 10\n"
                           L"press OK\npress 8\n",
                           error))
      << error;
  ASSERT_EQ(7u, script.Steps().size());
  const auto& a = script.Steps();
  EXPECT_EQ(CTodayScript::Kind::Menu, a[0].kind);
  EXPECT_EQ(L"Dates...", a[0].text);
  EXPECT_EQ(0, a[0].b);
  EXPECT_EQ(1, a[1].b);
  EXPECT_EQ(1214, a[1].a);
  EXPECT_EQ(CTodayScript::Kind::Field, a[2].kind);
  EXPECT_EQ(1016, a[2].a);
  EXPECT_EQ(L"10:30", a[2].text);
  EXPECT_EQ(L"two  words", a[3].text);
  EXPECT_EQ(L"", a[4].text) << "an edit field may be emptied";
  EXPECT_EQ(CTodayScript::Kind::Press, a[5].kind);
  EXPECT_EQ(IDOK, a[5].a);
  EXPECT_EQ(8, a[6].a);

  const wchar_t* bad[] = {L"tap 1",      L"key nowhere", L"wait -1",   L"fly",        L"screenshot",
                          L"options 0",  L"rotate 90",   L"menu",      L"menu #",     L"menu #0",
                          L"menu #70000", L"field",      L"field x 1", L"field 0 1",  L"press",
                          L"press maybe", L"press 1 2",  L"press 0"};
  for (const wchar_t* line : bad) {
    std::wstring text = std::wstring(L"wait 1\n") + line + L"\n";
    EXPECT_FALSE(script.Parse(text, error)) << line;
    EXPECT_EQ(0u, error.find(L"line 2:")) << error;
  }
}

// Any text, however mangled, parses to steps or to an error naming a line; never more.
TEST(TodayScriptTest, MangledScriptsParseOrFailCleanly) {
  const std::wstring seed =
      L"tap 10 20\nhold 5 6 700\nkey down\nwait 50\npost M 3 4\noptions 1\nscreenshot a.png\n"
      L"reload\nrotate\nmenu #12\nmenu Dates...\nfield 3 10:30\npress ok\nquit\n";
  const std::vector<std::wstring> alphabet =
      fixtures::ByteMutator::EachUnit(std::wstring(L"0123456789 -\n\r\t#xkeytaprotatemnufildps\u00e9"));
  fixtures::ByteMutator mutator(7);
  for (int i = 0; i < 3000; ++i) {
    const std::wstring text = mutator.Edit(seed, 6, alphabet);
    CTodayScript script;
    std::wstring error;
    if (script.Parse(text, error)) {
      EXPECT_LE(script.Steps().size(), 1 + text.size() / 2) << i;
      for (const auto& step : script.Steps()) ASSERT_LE(int(step.kind), int(CTodayScript::Kind::Press)) << i;
    } else {
      EXPECT_EQ(0u, error.find(L"line ")) << i;
    }
  }
}

TEST_F(TodayHostTest, AScriptDrivesTheScreenAndWritesAPng) {
  AddItem({L"A", 1, 40, 2});
  AddItem({L"B", 2, 40, 2});
  Start();
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring png = std::wstring(temp) + L"TodayHostTest.png";
  DeleteFileW(png.c_str());
  CTodayScript script;
  std::wstring error;
  ASSERT_TRUE(script.Parse(L"post TodayTestItem_SetHeight 60\nwait 10\nreload\ntap 20 50\n"
                           L"post TodayTestItem_MessageBox\nscreenshot " + png + L"\nquit\nkey down\n",
                           error));
  ASSERT_TRUE(script.Run(host, error)) << error;
  EXPECT_EQ(1, host.Selected()) << "the tap at y 50 is in the second item; the key after quit never ran";
  // Nobody is there to answer: the box got its default button.
  EXPECT_EQ(IDOK, reinterpret_cast<INT_PTR>(GetPropW(host.ItemAt(1).record->hwndCustom, L"TodayTestItem.Answer")));
  EXPECT_TRUE(LogHas(L"dialog \"Test item\" answered 1", L"Go on?"));

  HANDLE file = CreateFileW(png.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  BYTE head[8] = {};
  DWORD read = 0;
  ReadFile(file, head, 8, &read, nullptr);
  CloseHandle(file);
  DeleteFileW(png.c_str());
  const BYTE signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_EQ(0, memcmp(head, signature, 8));
}

// A box that shows Yes and No gets Yes or No, whichever it makes the default: never a
// button it does not show (its template's OK), which the device never answers.
TEST_F(TodayHostTest, AScriptAnswersABoxWithTheDefaultButtonItShows) {
  AddItem({L"A", 1, 40, 2});
  Start();
  struct Case {
    UINT type;
    INT_PTR answer;
  };
  const Case cases[] = {
      {MB_YESNO, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_YESNOCANCEL | MB_DEFBUTTON2, IDNO},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_OK, IDOK},
      {MB_RETRYCANCEL, IDRETRY},
  };
  for (const Case& c : cases) {
    CTodayScript script;
    std::wstring error;
    ASSERT_TRUE(script.Parse(L"post TodayTestItem_MessageBox " + std::to_wstring(c.type) + L"\n", error));
    ASSERT_TRUE(script.Run(host, error)) << error;
    EXPECT_EQ(c.answer, reinterpret_cast<INT_PTR>(GetPropW(host.ItemAt(0).record->hwndCustom, L"TodayTestItem.Answer")))
        << std::hex << c.type;
  }
}

// A PNG's width and height, from its header; {0, 0} when the file is not one.
SIZE PngSize(const std::wstring& path) {
  SIZE size = {0, 0};
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return size;
  BYTE head[24] = {};
  DWORD read = 0;
  ReadFile(file, head, sizeof(head), &read, nullptr);
  CloseHandle(file);
  if (read != sizeof(head) || memcmp(head + 12, "IHDR", 4) != 0) return size;
  auto big = [&](int at) {
    return LONG(head[at]) << 24 | LONG(head[at + 1]) << 16 | LONG(head[at + 2]) << 8 | head[at + 3];
  };
  size.cx = big(16);
  size.cy = big(20);
  return size;
}

// A top-level window of another part of the program, counting screen resets.
int g_resets = 0;
LRESULT CALLBACK CountResets(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTINGCHANGE && wParam == SETTINGCHANGE_RESET) ++g_resets;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(TodayHostTest, RotatingTurnsTheScreenAndTellsTheTopLevelWindows) {
  CDeviceSwitch device;
  device.Set(L"Screen", L"240x320");
  device.Set(L"Dpi", L"96");
  WNDCLASSW wc = {};
  wc.lpfnWndProc = CountResets;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TodayHostTestListener";
  RegisterClassW(&wc);
  HWND listener = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
  ASSERT_NE(listener, nullptr);
  g_resets = 0;
  AddItem({L"A", 1, 40, 2});
  Start();
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring png = std::wstring(temp) + L"TodayHostRotate.png";

  struct Turn {
    int width, height;
  };
  const Turn turns[] = {{320, 240}, {240, 320}};
  for (const Turn& t : turns) {
    SCOPED_TRACE(t.width);
    DeleteFileW(png.c_str());
    CTodayScript script;
    std::wstring error;
    ASSERT_TRUE(script.Parse(L"rotate\nscreenshot " + png + L"\n", error)) << error;
    ASSERT_TRUE(script.Run(host, error)) << error;
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), t.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), t.height);
    const SIZE shot = PngSize(png);
    EXPECT_EQ(shot.cx, t.width);
    EXPECT_EQ(shot.cy, t.height);
    // The whole screen is drawn again over the new background, not only what was uncovered.
    HBITMAP shotBitmap = host.Capture();
    ASSERT_NE(shotBitmap, nullptr);
    DIBSECTION dib = {};
    ASSERT_TRUE(GetObjectW(shotBitmap, sizeof(dib), &dib));
    const int y = t.height - 2;
    const DWORD pixel = static_cast<const DWORD*>(dib.dsBm.bmBits)[y * t.width + 5];
    DeleteObject(shotBitmap);
    EXPECT_EQ(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF), host.BackgroundPixel(5, y));
    // The item spans the turned screen's width.
    RECT view = {};
    GetClientRect(host.View(), &view);
    EXPECT_EQ(ItemRect(0).right, view.right);
    EXPECT_GT(view.right, t.width - 30);
  }
  EXPECT_EQ(g_resets, 2);
  EXPECT_TRUE(LogHas(L"screen turned to 320x240", L""));
  DeleteFileW(png.c_str());
  DestroyWindow(listener);
}

// A picker's value as a script gives it: date, time or both, only what is given changes;
// anything else, or a day that does not exist, is refused and changes nothing.
TEST(TodayScriptTest, PickerValuesChangeOnlyTheirPartsAndImpossibleOnesAreRefused) {
  const SYSTEMTIME shown = {2026, 3, 1, 16, 9, 30, 15, 0};
  struct Case {
    const wchar_t* text;
    bool ok = false;
    WORD year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  };
  const Case cases[] = {
      {L"10:45", true, 2026, 3, 16, 10, 45, 0},
      {L"23:59:59", true, 2026, 3, 16, 23, 59, 59},
      {L"2024-02-29", true, 2024, 2, 29, 9, 30, 15},
      {L"2026-12-31 00:00", true, 2026, 12, 31, 0, 0, 0},
      {L"2026-03-17T08:05:09", true, 2026, 3, 17, 8, 5, 9},
      {L"2026-02-29"}, {L"2026-02-30"}, {L"2026-13-01"}, {L"1500-01-01"}, {L"24:00"}, {L"10:60"},
      {L"10:30:61"}, {L"7:30"}, {L"2026-3-16"}, {L"10:30 2026-03-16"}, {L"2026-03-16 "}, {L""}, {L"noon"},
      {L"2026-03-16 10"}, {L"10:30:"},
  };
  for (const Case& c : cases) {
    SYSTEMTIME value = shown;
    EXPECT_EQ(c.ok, scriptanswers::ParsePickerValue(c.text, value)) << c.text;
    if (!c.ok) {
      EXPECT_EQ(0, memcmp(&value, &shown, sizeof value)) << c.text << ": changed though refused";
      continue;
    }
    EXPECT_EQ(c.year, value.wYear) << c.text;
    EXPECT_EQ(c.month, value.wMonth) << c.text;
    EXPECT_EQ(c.day, value.wDay) << c.text;
    EXPECT_EQ(c.hour, value.wHour) << c.text;
    EXPECT_EQ(c.minute, value.wMinute) << c.text;
    EXPECT_EQ(c.second, value.wSecond) << c.text;
  }
  // Any text: refused, or a time the system takes.
  std::mt19937 random(11);
  const wchar_t alphabet[] = L"0123456789-: T";
  for (int i = 0; i < 20000; ++i) {
    std::wstring text;
    for (int n = random() % 22; n > 0; --n) text += alphabet[random() % 14];
    SYSTEMTIME value = shown;
    FILETIME file;
    if (scriptanswers::ParsePickerValue(text, value)) {
      ASSERT_TRUE(SystemTimeToFileTime(&value, &file)) << i;
    }
  }
}

// A script run against the test item: what its menu and dialog were answered with, and
// for a script that must stop, the reason it gives (null: it runs to its end).
struct AnswerCase {
  const wchar_t* script;
  const wchar_t* answers;
  const wchar_t* reason = nullptr;
};

class TodayScriptAnswersTest : public TodayHostTest {
 protected:
  void SetUp() override {
    TodayHostTest::SetUp();
    AddItem({L"A", 1, 40, 2});
    Start();
    NewAnswers();
  }
  void Check(const AnswerCase& c) {
    CTodayScript script;
    script.SetAnswerTimeout(1500);
    std::wstring error;
    ASSERT_TRUE(script.Parse(c.script, error)) << error;
    const bool ran = script.Run(host, error);
    if (c.reason) {
      EXPECT_FALSE(ran) << c.script;
      EXPECT_NE(std::wstring::npos, error.find(c.reason)) << c.script << ": " << error;
    } else {
      EXPECT_TRUE(ran) << c.script << ": " << error;
    }
    // Steps after a failed one never run; a menu or dialog it failed in is closed.
    EXPECT_EQ(c.answers, NewAnswers()) << c.script;
  }
};

// A tap and hold opens the test item's menu; the script's next step chooses in it as a
// person would, by text (any case, without & and shortcut) or by id, in a submenu too.
// A step that cannot choose closes the menu, so the step that opened it ends, and the
// script stops there with the reason.
TEST_F(TodayScriptAnswersTest, AMenuAStepOpenedIsAnsweredByTextOrIdInsideSubmenusToo) {
  const AnswerCase cases[] = {
      {L"hold 20 10 600\nmenu Open\n", L"menu 101;"},
      {L"hold 20 10 600\nmenu deeper\n", L"menu 202;"},
      {L"hold 20 10 600\nmenu #201\n", L"menu 201;"},
      {L"hold 20 10 600\nmenu Last\n", L"menu 103;"},
      {L"tap 20 10\nwait 700\n", L""},  // a tap is no hold: no menu
      {L"hold 20 10 600\nmenu Nowhere\npost TodayTestItem_Dialog\n", L"menu 0;",
       L"line 2: the menu has no entry \"Nowhere\""},
      {L"hold 20 10 600\nmenu #999\n", L"menu 0;", L"line 2: the menu has no entry #999"},
      {L"hold 20 10 600\nmenu Greyed\n", L"menu 0;", L"line 2: the menu entry \"Greyed\" is greyed"},
      {L"tap 20 10\nmenu Open\npost TodayTestItem_Dialog\n", L"", L"line 2: no menu open"},
  };
  for (const AnswerCase& c : cases) Check(c);
  EXPECT_TRUE(LogHas(L"menu: chose \"deeper\"", L"202"));
}

// A dialog a step opened is filled in by the steps after it, the way typing and picking
// would (the owner hears of each picker change), and its button pressed; without such
// steps it gets its default button as before. A field that cannot be set cancels the
// dialog (nobody else would) and stops the script with the reason.
TEST_F(TodayScriptAnswersTest, ADialogAStepOpenedHasItsFieldsSetAndItsButtonPressed) {
  const AnswerCase cases[] = {
      {L"post TodayTestItem_Dialog\nfield 10 hello there\nfield 11 10:45\nfield 12 2026-02-28\npress ok\n",
       L"ok text=hello there time=10:45:00 date=2026-02-28 changes=2;"},
      {L"post TodayTestItem_Dialog\nfield 11 2026-03-17 08:05:09\npress OK\n",
       L"ok text= time=08:05:09 date=2026-03-16 changes=1;"},
      {L"post TodayTestItem_Dialog\nfield 10 gone\npress cancel\n", L"cancel;"},
      {L"post TodayTestItem_Dialog\npress 1\n", L"ok text= time=09:30:00 date=2026-03-16 changes=0;"},
      {L"post TodayTestItem_Dialog\nwait 20\n", L"ok text= time=09:30:00 date=2026-03-16 changes=0;"},
      {L"post TodayTestItem_Dialog\nfield 99 x\npress ok\n", L"cancel;", L"line 2: the dialog has no control 99"},
      {L"post TodayTestItem_Dialog\nfield 12 2026-02-30\npress ok\n", L"cancel;", L"2026-02-30"},
      {L"post TodayTestItem_Dialog\nfield 1 x\n", L"cancel;", L"line 2: control 1 is a Button"},
      {L"wait 10\nfield 10 x\npost TodayTestItem_Dialog\n", L"", L"line 2: no dialog open"},
      {L"press ok\n", L"", L"line 1: no dialog open"},
  };
  for (const AnswerCase& c : cases) Check(c);
  EXPECT_TRUE(LogHas(L"dialog \"Test fields\" field 11", L"10:45"));
}

}  // namespace
