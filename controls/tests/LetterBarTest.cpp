#include "controls/LetterBar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "controls/ItemPalette.h"
#include "controls/tests/KeyLayoutFixtures.h"
#include "controls/tests/MenuAnswer.h"
#include "controls/tests/TestHost.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/aygshell/AygTest.h"
#include "res/TarvoResIds.h"

using ctltest::CTestHost;
using layouttest::CLayoutSource;
using layouttest::Utf16;

namespace {

// Latin cells: 0 abc, 1 def, 2 ghi, 3 jkl, 4 mno, 5 pqrs, 6 tuv, 7 wxyz, 8 backspace, 9 switch.
const int kBackspace = 8;
const int kSwitch = 9;

// Labels measure five pixels a character.
class CTestBar : public CLetterBar {
 public:
  using CLetterBar::CLetterBar;

 protected:
  int MeasureLabel(LPCWSTR label) override { return 5 * lstrlenW(label); }
};

struct CRecorder : ILetterBarListener, IKeyLayoutSettingsOpener {
  void OnLetterBarChanged(int code) override { codes.push_back(code); }
  void OpenKeyLayoutSettings() override { ++opened; }
  std::vector<int> codes;
  int opened = 0;
};

DWORD g_ticks = 0;
DWORD Ticks() { return g_ticks; }
std::vector<DWORD> g_gestureFlags;
DWORD g_gestureAnswer = 0;
DWORD Recognize(SHRGINFO* info) {
  g_gestureFlags.push_back(info->dwFlags);
  return g_gestureAnswer;
}

// A bar across a host window, over layouts "Latin" and "Greek", its choice kept
// in a sandboxed product key under the prefix "Contacts".
class LetterBarTest : public ::testing::Test {
 protected:
  LetterBarTest() : machine(L"LetterBar"), source(L"LetterBar"), host(320, 40) {
    SetScreenDpi(96, 96);
    source.Write(CLayoutSource::kFolder, {{"greek.txt", Utf16(L"lαβγ(αβγ) δεζ(δεζ)")}});
    layouts.reset(new CKeyLayouts(source.Path().c_str()));
    CLetterBar::SetTickSource(&Ticks);
    CLetterBar::SetGestureRecognizer(&Recognize);
    g_ticks = 1000;
    g_gestureFlags.clear();
    g_gestureAnswer = 0;
    settings.PhoneKeyb_DisableBackspace = 0;
    settings.PhoneKeyb_DisableLangSwitch = 1;
  }
  ~LetterBarTest() override {
    CLetterBar::SetTickSource(nullptr);
    CLetterBar::SetGestureRecognizer(nullptr);
    settings.PhoneKeyb_DisableBackspace = savedBackspace;
    settings.PhoneKeyb_DisableLangSwitch = savedSwitch;
    SetScreenDpi(0, 0);
  }
  CRegistryView Product() const { return machine.Key(TARVO_PRODUCT_KEY); }

  // The bar on the host at 0..width x 10..30, its layouts as stored, on a device whose
  // screen is that wide: 320 turned to landscape, 240 in portrait.
  CTestBar& Make(const wchar_t* stored, int active, int width = 320, int screen = 320) {
    Product().WriteString(L"Contacts_layouts", stored);
    Product().WriteDWORD(L"Contacts_layout_active", DWORD(active));
    device.Set(L"Dpi", L"96");
    device.Set(L"Screen", std::to_wstring(screen) + (screen == 320 ? L"x240" : L"x320"));
    bar.reset(new CTestBar(&recorder, &recorder, layouts.get()));
    host.root.AddChild(bar.get());
    RECT r = {0, 10, width, 30};
    bar->SetRect(&r);
    shown = bar->SetLayout(L"Contacts");
    return *bar;
  }
  POINT Centre(int cell) const {
    RECT r = bar->GetCellRect(cell);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Down(POINT at) { host.Tap(WM_LBUTTONDOWN, at.x, at.y); }
  void Move(POINT at) { host.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y)); }
  void Up(POINT at) { host.Tap(WM_LBUTTONUP, at.x, at.y); }
  void Tap(int cell, DWORD held = 0) {
    Down(Centre(cell));
    g_ticks += held;
    Up(Centre(cell));
  }
  std::vector<int> Typed() const {
    std::vector<int> typed;
    for (int i = 0; i < bar->GetTypedCount(); ++i) typed.push_back(bar->GetTyped(i));
    return typed;
  }
  DWORD StoredActive() const {
    DWORD value = 99;
    Product().ReadDWORD(L"Contacts_layout_active", value);
    return value;
  }

  CViewSettings& settings = GetViewSettings();
  const int savedBackspace = settings.PhoneKeyb_DisableBackspace;
  const int savedSwitch = settings.PhoneKeyb_DisableLangSwitch;
  CLocalMachineSandbox machine;
  CLayoutSource source;
  std::unique_ptr<CKeyLayouts> layouts;
  CDeviceSwitch device;
  CTestHost host;
  CRecorder recorder;
  std::unique_ptr<CTestBar> bar;
  BOOL shown = FALSE;
};

struct WidthCase {
  const wchar_t* what;
  const wchar_t* stored;
  int disableBackspace;
  int disableSwitch;
  int barWidth;
  int screenWidth;
  std::vector<int> widths;
  int indent;
  int initialFocus;
};

// Labels 15 or 20 pixels wide, + 1: a sum of 138 over eight groups.
const WidthCase kWidthCases[] = {
    {L"one layout: no switch cell, a wide backspace", L"Latin", 0, 0, 320, 320,
     {29, 29, 29, 29, 29, 34, 28, 33, 30, 0}, 6, 3},
    {L"a 240-wide screen takes the extra cells from the room", L"Latin", 0, 1, 240, 240,
     {25, 25, 25, 25, 25, 30, 25, 30, 30, 0}, 4, 3},
    {L"two layouts with the switch", L"Latin,Greek", 0, 0, 240, 240,
     {25, 25, 25, 25, 25, 30, 25, 30, 20, 10}, 4, 4},
    {L"two layouts, switch turned off", L"Latin,Greek", 0, 1, 240, 240,
     {25, 25, 25, 25, 25, 30, 25, 30, 30, 0}, 4, 3},
    {L"no backspace", L"Latin", 1, 1, 240, 240, {29, 29, 29, 29, 29, 34, 28, 33, 0, 0}, 6, 3},
    {L"too narrow to widen", L"Latin", 0, 1, 100, 320, {16, 16, 16, 16, 16, 21, 16, 21, 30, 0}, 0, 3},
};

TEST_F(LetterBarTest, CellWidthsFillTheRoom) {
  ASSERT_TRUE(machine.Redirected());
  for (const WidthCase& c : kWidthCases) {
    SCOPED_TRACE(c.what);
    settings.PhoneKeyb_DisableBackspace = c.disableBackspace;
    settings.PhoneKeyb_DisableLangSwitch = c.disableSwitch;
    CTestBar& b = Make(c.stored, 0, c.barWidth, c.screenWidth);
    ASSERT_TRUE(shown);
    std::vector<int> widths;
    for (int i = 0; i < b.GetCellCount(); ++i) widths.push_back(b.GetCellWidth(i));
    EXPECT_EQ(widths, c.widths);
    EXPECT_EQ(b.GetTextIndent(), c.indent);
    EXPECT_EQ(b.GetInitialFocusCell(), c.initialFocus);
  }
}

TEST_F(LetterBarTest, HitTestFindsTheColumn) {
  CTestBar& b = Make(L"Latin", 0, 320, 320);
  EXPECT_EQ(b.CellFromPoint({0, 20}), 0);
  EXPECT_EQ(b.CellFromPoint({29, 20}), 1);
  EXPECT_EQ(b.CellFromPoint({241, 20}), kBackspace);
  EXPECT_EQ(b.CellFromPoint({300, 20}), -2) << "right of all cells";
  EXPECT_EQ(b.CellFromPoint({10, 5}), -1) << "above the bar";
}

TEST_F(LetterBarTest, StoredChoiceGivesTheActiveLayout) {
  Make(L"Latin,Greek,Gone", 1);
  EXPECT_TRUE(shown);
  EXPECT_EQ(bar->GetActiveLayout(), layouts->GetLayout(L"Greek", FALSE))
      << "a name dropped after the active one does not move it";

  Make(L"Latin,Gone", 0);
  EXPECT_TRUE(shown) << "the bar stays when only a later name is gone";
  EXPECT_EQ(bar->GetActiveLayout(), layouts->GetLatin());

  Make(L"Gone", 0);
  EXPECT_TRUE(shown);
  EXPECT_EQ(bar->GetActiveLayout(), layouts->GetLatin()) << "an empty list gets the built-in layout";

  Make(L"Latin,Greek", 7);
  EXPECT_EQ(bar->GetActiveIndex(), 0);
  EXPECT_EQ(StoredActive(), 0u) << "an index outside the list is mended and saved";

  Make(L"Latin", -1);
  EXPECT_FALSE(shown);
  EXPECT_EQ(bar->GetCellCount(), 0);
  int length = 0;
  EXPECT_EQ(bar->FindMatch(L"Jane", &length, nullptr), -1);
}

TEST_F(LetterBarTest, TapsTypeGroupsAndBackspaceRemovesThem) {
  Make(L"Latin", 0);
  Tap(3);
  Tap(0);
  EXPECT_EQ(Typed(), (std::vector<int>{3, 0}));
  int length = 0;
  BOOL direction = TRUE;
  EXPECT_EQ(bar->FindMatch(L"Mr. Kahn", &length, &direction), 4);
  EXPECT_EQ(length, 2);
  EXPECT_FALSE(direction);
  EXPECT_EQ(g_gestureFlags, (std::vector<DWORD>{SHRG_RETURNCMD, SHRG_RETURNCMD}));

  Tap(kBackspace, 400);
  EXPECT_EQ(Typed(), std::vector<int>{3});
  EXPECT_EQ(g_gestureFlags.back(), DWORD(SHRG_RETURNCMD | SHRG_NOANIMATION)) << "no animation on backspace";
  Tap(0);
  Tap(kBackspace, 600);
  EXPECT_TRUE(Typed().empty()) << "a long press clears everything";
  Tap(kBackspace, 600);
  Tap(kBackspace);
  EXPECT_EQ(recorder.codes, (std::vector<int>{3, 0, -1, 0, -2})) << "nothing removed, nothing told";
}

TEST_F(LetterBarTest, SwipeLeftIsABackspace) {
  Make(L"Latin", 0);
  Tap(4);
  Tap(5);
  POINT from = Centre(5), to = {from.x - 12, from.y};
  Down(from);
  Up(to);
  EXPECT_EQ(Typed(), std::vector<int>{4}) << "the pressed cell is not typed";
  Down(from);
  Up({from.x - 8, from.y});
  EXPECT_EQ(Typed(), (std::vector<int>{4, 5})) << "8 pixels is no swipe: the cell is typed";
  bar->ClearTyped();
  recorder.codes.clear();
  Down(from);
  Up(to);
  EXPECT_TRUE(recorder.codes.empty()) << "a swipe over nothing typed tells nothing";
}

TEST_F(LetterBarTest, PressedLookFollowsThePen) {
  Make(L"Latin", 0);
  Down(Centre(2));
  EXPECT_EQ(bar->GetPressedCell(), 2);
  EXPECT_TRUE(bar->IsPressedShown());
  Move(Centre(3));
  EXPECT_FALSE(bar->IsPressedShown());
  Move(Centre(2));
  EXPECT_TRUE(bar->IsPressedShown());
  Move({Centre(2).x, 35});
  Up({Centre(2).x, 35});
  EXPECT_TRUE(Typed().empty()) << "released outside the cell";
  EXPECT_EQ(bar->GetPressedCell(), -1);
}

TEST_F(LetterBarTest, SwitchCellCyclesTheLayoutsAndSavesTheChoice) {
  settings.PhoneKeyb_DisableLangSwitch = 0;
  Make(L"Latin,Greek", 0);
  Tap(0);
  Tap(kSwitch);
  EXPECT_EQ(bar->GetActiveIndex(), 1);
  EXPECT_EQ(bar->GetTypedCount(), 0);
  EXPECT_EQ(StoredActive(), 1u);
  EXPECT_EQ(bar->GetCellCount(), 4) << "two Greek groups";
  Tap(3);
  EXPECT_EQ(bar->GetActiveIndex(), 0) << "wraps to the first";
  EXPECT_EQ(recorder.codes, (std::vector<int>{0, -2, -2}));
}

TEST_F(LetterBarTest, KeysMoveTheFocusAndEnterTypesOnce) {
  Make(L"Latin", 0);
  bar->SetFocus();
  EXPECT_EQ(bar->GetFocusCell(), 3);
  POINT anchor;
  EXPECT_EQ(bar->GetAnchorPoint(&anchor)->x, Centre(3).x);
  host.Send(WM_KEYDOWN, VK_RETURN);
  host.Send(WM_KEYUP, VK_RETURN, 0xC0000001);
  EXPECT_EQ(Typed(), std::vector<int>{3}) << "one press, one group";

  // A hold at the key-down leaves the typing to the key-up.
  g_gestureAnswer = GN_CONTEXTMENU;
  host.Send(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(Typed(), std::vector<int>{3});
  host.Send(WM_KEYUP, VK_RETURN, 0xC0000001);
  EXPECT_EQ(Typed(), (std::vector<int>{3, 3}));
  g_gestureAnswer = 0;

  for (int i = 0; i < 6; ++i) host.Send(WM_KEYDOWN, VK_RIGHT);
  EXPECT_EQ(bar->GetFocusCell(), 0) << "hidden switch cell skipped, wrapped";
  host.Send(WM_KEYDOWN, VK_LEFT);
  EXPECT_EQ(bar->GetFocusCell(), kBackspace);
  host.Send(WM_KEYUP, VK_LEFT, 0xC0000001);
  EXPECT_EQ(bar->GetFocusCell(), kBackspace) << "the key-up does not move again";
  host.Send(WM_KEYDOWN, VK_RETURN);
  host.Send(WM_KEYUP, VK_RETURN, 0xC0000001);
  EXPECT_EQ(Typed(), std::vector<int>{3});
}

TEST_F(LetterBarTest, EnterHoldThroughTheShellsRecognition) {
  CLetterBar::SetGestureRecognizer(nullptr);
  HMODULE shell = LoadLibraryW(L"aygshell.dll");
  ASSERT_NE(shell, nullptr);
  auto setMode = reinterpret_cast<void(WINAPI*)(DWORD)>(
      reinterpret_cast<void*>(GetProcAddress(shell, "AygTestSetGestureMode")));
  ASSERT_NE(setMode, nullptr);
  Make(L"Latin", 0);
  bar->SetFocus();
  setMode(AYG_GESTURE_HOLD);
  host.Send(WM_KEYDOWN, VK_RETURN);
  const int afterDown = bar->GetTypedCount();
  host.Send(WM_KEYUP, VK_RETURN, 0xC0000001);
  setMode(AYG_GESTURE_REAL);
  FreeLibrary(shell);
  EXPECT_EQ(afterDown, 0) << "the shell reported the hold";
  EXPECT_EQ(bar->GetTypedCount(), 1);
}

TEST_F(LetterBarTest, PhoneKeypadCommandsMapToGroups) {
  Make(L"Latin", 0);
  for (int command = 50; command <= 57; ++command) EXPECT_TRUE(bar->OnLetterCommand(command)) << command;
  EXPECT_EQ(Typed(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_FALSE(bar->OnLetterCommand(58)) << "Latin has eight groups";
  EXPECT_FALSE(bar->OnLetterCommand(49));
  EXPECT_TRUE(bar->OnLetterCommand(8));
  EXPECT_EQ(bar->GetTypedCount(), 7);
  EXPECT_EQ(recorder.codes, (std::vector<int>{50, 51, 52, 53, 54, 55, 56, 57, -1}));
}

TEST_F(LetterBarTest, ContextMenuOffersClearingOtherLayoutsAndSettings) {
  Make(L"Latin,Greek", 0);
  CMenuAnswer menu;
  POINT at = Centre(2);
  ClientToScreen(host.m_hWnd, &at);
  EXPECT_TRUE(bar->OnContextMenu(&at));
  ASSERT_EQ(menu.items.size(), 2u);
  EXPECT_EQ(menu.items[0].text, L"Greek");
  EXPECT_EQ(menu.items[0].id, CLetterBar::kLayoutCommand + 1);
  EXPECT_EQ(menu.items[1].id, CLetterBar::kSettingsCommand);

  bar->OnLetterCommand(50);
  menu.answer = CLetterBar::kClearCommand;
  EXPECT_TRUE(bar->OnContextMenu(&at));
  EXPECT_EQ(menu.items[0].id, CLetterBar::kClearCommand);
  EXPECT_EQ(bar->GetTypedCount(), 0);

  menu.answer = CLetterBar::kSettingsCommand;
  bar->OnContextMenu(&at);
  EXPECT_EQ(recorder.opened, 1);

  menu.answer = CLetterBar::kLayoutCommand + 1;
  bar->OnContextMenu(&at);
  EXPECT_EQ(bar->GetActiveIndex(), 1);
  EXPECT_EQ(StoredActive(), 1u);
  EXPECT_EQ(recorder.codes, (std::vector<int>{50, -2, -2}));

  // The backspace cell clears at once; outside the bar nothing is taken.
  bar->OnLetterCommand(50);
  POINT back = Centre(bar->GetBackspaceCell());
  ClientToScreen(host.m_hWnd, &back);
  const int menus = menu.shown;
  EXPECT_TRUE(bar->OnContextMenu(&back));
  EXPECT_EQ(menu.shown, menus);
  EXPECT_EQ(bar->GetTypedCount(), 0);
  POINT outside = {5, 35};
  ClientToScreen(host.m_hWnd, &outside);
  EXPECT_FALSE(bar->OnContextMenu(&outside));
}

TEST_F(LetterBarTest, PressedCellIsPaintedHighlighted) {
  Make(L"Latin", 0);
  Down(Centre(1));
  RECT client = {0, 0, 320, 40};
  ASSERT_TRUE(host.root.RenderBackBuffer(client));
  LOGBRUSH highlight = {}, rule = {};
  GetObjectW(GetItemPalette().GetBrush(2), sizeof highlight, &highlight);
  GetObjectW(GetItemPalette().GetBrush(1), sizeof rule, &rule);
  HDC dc = host.root.GetBackBuffer().GetDC();
  const RECT pressed = bar->GetCellRect(1), other = bar->GetCellRect(6);
  // Left of the labels, which start after the text indent.
  EXPECT_EQ(GetPixel(dc, pressed.left + 2, 20), highlight.lbColor);
  EXPECT_NE(GetPixel(dc, other.left + 2, 20), highlight.lbColor);
  EXPECT_EQ(GetPixel(dc, other.left + 3, 10), rule.lbColor) << "the line along the top";
  EXPECT_EQ(GetPixel(dc, other.right - 1, 25), rule.lbColor) << "the separator";
  Up(Centre(1));
}

// What the tabs do with the bar: show the rows that match the typed groups.
TEST_F(LetterBarTest, TypedGroupsFilterAList) {
  Make(L"Latin", 0);
  const std::vector<std::wstring> rows = {L"Jane Black", L"Mr. Kahn", L"3com", L"Adam Smith", L"Lia Kim"};
  auto visible = [&] {
    std::vector<std::wstring> shown;
    for (const std::wstring& row : rows) {
      int length = 0;
      if (bar->FindMatch(row.c_str(), &length, nullptr) >= 0) shown.push_back(row);
    }
    return shown;
  };
  EXPECT_EQ(visible(), rows) << "nothing typed";
  Tap(3);  // jkl
  EXPECT_EQ(visible(), (std::vector<std::wstring>{L"Jane Black", L"Mr. Kahn", L"Lia Kim"}));
  Tap(0);  // abc
  EXPECT_EQ(visible(), (std::vector<std::wstring>{L"Jane Black", L"Mr. Kahn"}));
  Tap(4);  // mno
  EXPECT_EQ(visible(), std::vector<std::wstring>{L"Jane Black"});
  Tap(kBackspace);
  Tap(kBackspace);
  Tap(0);
  EXPECT_EQ(visible(), (std::vector<std::wstring>{L"Jane Black", L"Mr. Kahn"}));
}

TEST(LetterBarMatchItem, FoldsThroughTheProcesssHardwareKeyLayout) {
  int length = 0;
  EXPECT_EQ(CLetterBar::MatchItem(L"Renée Ørsted", L"ors", &length), 6);
  EXPECT_EQ(length, 3);
  EXPECT_EQ(CLetterBar::MatchItem(L"Renée", L"", &length), 0);
}

}  // namespace
