#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/tests/HostWindow.h"
#include "platform/aygshell/tests/MenuBarFixture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using aygtest::HostWindow;

HINSTANCE Fixture() { return GetModuleHandleW(nullptr); }

SHMENUBARINFO BarInfo(HWND parent, DWORD flags, UINT id) {
  SHMENUBARINFO info = {};
  info.cbSize = sizeof(info);
  info.hwndParent = parent;
  info.dwFlags = flags;
  info.nToolBarId = id;
  info.hInstRes = Fixture();
  return info;
}

struct ButtonView {
  int command;
  std::wstring text;
  HMENU popup;
  bool hidden;
};

// What TranslateMenuBar reads: each button's command, then its text and data by command.
std::vector<ButtonView> Buttons(HWND bar) {
  std::vector<ButtonView> out;
  int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button = {};
    SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    WCHAR text[256] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT | TBIF_LPARAM;
    info.pszText = text;
    info.cchText = 256;
    SendMessageW(bar, TB_GETBUTTONINFOW, button.idCommand, reinterpret_cast<LPARAM>(&info));
    out.push_back({button.idCommand, text, reinterpret_cast<HMENU>(info.lParam),
                   SendMessageW(bar, TB_ISBUTTONHIDDEN, button.idCommand, 0) != 0});
  }
  return out;
}

POINT ButtonCentre(HWND bar, int command) {
  RECT r = {};
  SendMessageW(bar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&r));
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Tap(HWND bar, int command) {
  POINT p = ButtonCentre(bar, command);
  SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

std::vector<UINT> Commands(const HostWindow& host) {
  std::vector<UINT> out;
  for (const auto& r : host.Of(WM_COMMAND)) out.push_back(LOWORD(r.wParam));
  return out;
}

// Choices made through the menu chooser seam.
struct Chosen {
  HMENU popup;
  HWND owner;
};
std::vector<Chosen> g_chosen;
UINT g_choice = 0;
UINT CALLBACK Choose(HMENU popup, POINT, HWND owner) {
  g_chosen.push_back({popup, owner});
  return g_choice;
}

class MenuBar : public ::testing::Test {
 protected:
  void SetUp() override {
    g_chosen.clear();
    AygTestSetMenuChooser(Choose);
  }
  void TearDown() override { AygTestSetMenuChooser(nullptr); }
};

// On the device, a menu bar made from a plain menu is a toolbar along the screen's
// bottom, wherever its owner is: one button per top-level item, popups carried in the
// button data.
TEST_F(MenuBar, FromPlainMenuIsToolbarAtScreensBottomAndFoundAgain) {
  HostWindow owner({10, 20, 250, 340});
  SHMENUBARINFO info = BarInfo(owner.hwnd(), SHCMBF_HMENU, IDM_PLAIN);
  ASSERT_TRUE(SHCreateMenuBar(&info));
  HWND bar = info.hwndMB;
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(SHFindMenuBar(owner.hwnd()), bar);
  WCHAR cls[64] = {};
  GetClassNameW(bar, cls, 64);
  EXPECT_STREQ(cls, MENUBAR_CLASSNAME);
  EXPECT_TRUE(IsWindowVisible(bar));

  RECT barRect;
  GetWindowRect(bar, &barRect);
  EXPECT_EQ(barRect.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(barRect.left, 0);
  EXPECT_EQ(barRect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_GT(barRect.bottom - barRect.top, 0);

  auto buttons = Buttons(bar);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0].text, L"File");
  ASSERT_TRUE(IsMenu(buttons[0].popup));
  EXPECT_EQ(GetMenuItemID(buttons[0].popup, 1), static_cast<UINT>(ID_CLOSE));
  EXPECT_EQ(buttons[1].text, L"Done");
  EXPECT_EQ(buttons[1].command, ID_DONE);
  EXPECT_EQ(buttons[1].popup, nullptr);
  EXPECT_EQ(buttons[2].text, L"Edit");
  EXPECT_EQ(GetMenuItemID(buttons[2].popup, 0), static_cast<UINT>(ID_COPY));
}

// Translation changes a button's text and the texts of its popup in place.
TEST_F(MenuBar, ButtonTextsAndPopupsCanBeChanged) {
  HostWindow owner;
  SHMENUBARINFO info = BarInfo(owner.hwnd(), SHCMBF_HMENU, IDM_PLAIN);
  ASSERT_TRUE(SHCreateMenuBar(&info));
  auto before = Buttons(info.hwndMB);
  TBBUTTONINFOW text = {};
  text.cbSize = sizeof(text);
  text.dwMask = TBIF_TEXT;
  text.pszText = const_cast<LPWSTR>(L"Datei");
  ASSERT_TRUE(SendMessageW(info.hwndMB, TB_SETBUTTONINFOW, before[0].command, reinterpret_cast<LPARAM>(&text)));
  ASSERT_TRUE(ModifyMenuW(before[0].popup, ID_OPEN, MF_BYCOMMAND | MF_STRING, ID_OPEN, L"Öffnen"));

  auto after = Buttons(info.hwndMB);
  EXPECT_EQ(after[0].text, L"Datei");
  WCHAR item[64] = {};
  GetMenuStringW(after[0].popup, ID_OPEN, item, 64, MF_BYCOMMAND);
  EXPECT_STREQ(item, L"Öffnen");
}

// A tap on a popup's button opens that popup; the chosen item's command goes to the owner.
// A tap on a command button sends its command to the owner.
TEST_F(MenuBar, TapsOpenPopupsAndCommandsReachTheOwner) {
  HostWindow owner;
  SHMENUBARINFO info = BarInfo(owner.hwnd(), SHCMBF_HMENU, IDM_PLAIN);
  ASSERT_TRUE(SHCreateMenuBar(&info));
  auto buttons = Buttons(info.hwndMB);

  g_choice = ID_CLOSE;
  Tap(info.hwndMB, buttons[0].command);
  ASSERT_EQ(g_chosen.size(), 1u);
  EXPECT_EQ(g_chosen[0].popup, buttons[0].popup);
  EXPECT_EQ(g_chosen[0].owner, owner.hwnd());
  ASSERT_TRUE(aygtest::PumpUntil([&] { return !owner.Of(WM_COMMAND).empty(); }));
  EXPECT_EQ(Commands(owner), std::vector<UINT>{ID_CLOSE});
  EXPECT_EQ(owner.Of(WM_INITMENUPOPUP).size(), 1u);

  owner.Clear();
  g_choice = 0;  // dismissed: nothing reaches the owner
  Tap(info.hwndMB, buttons[2].command);
  aygtest::PumpPending();
  EXPECT_TRUE(Commands(owner).empty());

  Tap(info.hwndMB, ID_DONE);
  aygtest::PumpPending();
  EXPECT_EQ(Commands(owner), std::vector<UINT>{ID_DONE});
  EXPECT_EQ(g_chosen.size(), 2u);
}

// A menu bar resource names its buttons' commands, texts and popups; a button can be
// hidden by its command.
TEST_F(MenuBar, FromMenuBarResource) {
  HostWindow owner;
  SHMENUBARINFO info = BarInfo(owner.hwnd(), 0, IDR_MENUBAR);
  ASSERT_TRUE(SHCreateMenuBar(&info));
  auto buttons = Buttons(info.hwndMB);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(buttons[0].command, ID_NEW);
  EXPECT_EQ(buttons[0].text, L"New");
  EXPECT_EQ(buttons[0].popup, nullptr);
  EXPECT_EQ(buttons[1].command, ID_MENU);
  EXPECT_EQ(buttons[1].text, L"Menu");
  ASSERT_TRUE(IsMenu(buttons[1].popup));
  EXPECT_EQ(GetMenuItemID(buttons[1].popup, 0), static_cast<UINT>(ID_ITEM));

  TBBUTTONINFOW hide = {};
  hide.cbSize = sizeof(hide);
  hide.dwMask = TBIF_STATE;
  hide.fsState = TBSTATE_HIDDEN;
  SendMessageW(info.hwndMB, TB_SETBUTTONINFOW, ID_MENU, reinterpret_cast<LPARAM>(&hide));
  EXPECT_TRUE(Buttons(info.hwndMB)[1].hidden);

  g_choice = ID_ITEM;
  Tap(info.hwndMB, ID_NEW);
  aygtest::PumpPending();
  EXPECT_EQ(Commands(owner), std::vector<UINT>{ID_NEW});
}

TEST_F(MenuBar, EmptyAndHiddenBars) {
  HostWindow owner;
  SHMENUBARINFO empty = BarInfo(owner.hwnd(), SHCMBF_EMPTYBAR, 0);
  ASSERT_TRUE(SHCreateMenuBar(&empty));
  EXPECT_EQ(SendMessageW(empty.hwndMB, TB_BUTTONCOUNT, 0, 0), 0);
  EXPECT_TRUE(IsWindowVisible(empty.hwndMB));

  // A second bar for the same window replaces the first.
  SHMENUBARINFO hidden = BarInfo(owner.hwnd(), SHCMBF_HMENU | SHCMBF_HIDDEN, IDM_PLAIN);
  ASSERT_TRUE(SHCreateMenuBar(&hidden));
  EXPECT_FALSE(IsWindowVisible(hidden.hwndMB));
  EXPECT_EQ(SHFindMenuBar(owner.hwnd()), hidden.hwndMB);
  EXPECT_FALSE(IsWindow(empty.hwndMB));
}

// The bar goes with its owner.
TEST_F(MenuBar, GoesWithItsOwner) {
  HWND bar;
  HWND ownerHandle;
  {
    HostWindow owner;
    ownerHandle = owner.hwnd();
    SHMENUBARINFO info = BarInfo(owner.hwnd(), SHCMBF_HMENU, IDM_PLAIN);
    ASSERT_TRUE(SHCreateMenuBar(&info));
    bar = info.hwndMB;
  }
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_EQ(SHFindMenuBar(ownerHandle), nullptr);
}

TEST_F(MenuBar, RefusesBadRequests) {
  HostWindow owner;
  struct Case {
    const char* name;
    DWORD cbSize;
    HWND parent;
    DWORD flags;
    UINT id;
  };
  const Case cases[] = {
      {"missing menu", sizeof(SHMENUBARINFO), owner.hwnd(), SHCMBF_HMENU, 999},
      {"missing menu bar resource", sizeof(SHMENUBARINFO), owner.hwnd(), 0, 999},
      {"resource shorter than its count", sizeof(SHMENUBARINFO), owner.hwnd(), 0, IDR_BROKENBAR},
      {"wrong size", 20, owner.hwnd(), SHCMBF_HMENU, IDM_PLAIN},
      {"no parent", sizeof(SHMENUBARINFO), nullptr, SHCMBF_HMENU, IDM_PLAIN},
  };
  for (const Case& c : cases) {
    SHMENUBARINFO info = BarInfo(c.parent, c.flags, c.id);
    info.cbSize = c.cbSize;
    info.hwndMB = reinterpret_cast<HWND>(1);
    SetLastError(0);
    EXPECT_FALSE(SHCreateMenuBar(&info)) << c.name;
    EXPECT_NE(GetLastError(), 0u) << c.name;
    EXPECT_EQ(SHFindMenuBar(owner.hwnd()), nullptr) << c.name;
  }
  EXPECT_FALSE(SHCreateMenuBar(nullptr));
}

// Older callers pass the record without its last field.
TEST_F(MenuBar, AcceptsTheRecordWithoutBackgroundColour) {
  HostWindow owner;
  SHMENUBARINFO info = BarInfo(owner.hwnd(), SHCMBF_HMENU, IDM_PLAIN);
  info.cbSize = offsetof(SHMENUBARINFO, clrBk);
  EXPECT_TRUE(SHCreateMenuBar(&info));
}

}  // namespace
