#include "settings/pages/GeneralCommonPage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pim/tests/UserSandbox.h"
#include "platform/coredll/DeviceIdentity.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

using GeneralCommonPageTest = PageRunTest;

bool Landscape() { return GetSystemMetrics(SM_CXSCREEN) > GetSystemMetrics(SM_CYSCREEN); }

TEST(HeaderMinimise, StoredPairsAndItemsMapBothWays) {
  struct Read {
    DWORD header, allow;
    int item;
  };
  const Read reads[] = {{2, 0, 2}, {2, 1, 2}, {0, 1, 1}, {1, 1, 1}, {1, 0, 0}, {0, 0, 1}, {7, 0, 1}};
  for (const Read& r : reads) EXPECT_EQ(HeaderMinimiseItem(r.header, r.allow), r.item) << r.header << "," << r.allow;
  struct Write {
    int item;
    DWORD storedHeader;
    DWORD header, allow;
  };
  const Write writes[] = {{0, 0, 1, 0}, {0, 2, 1, 0}, {1, 0, 0, 1}, {1, 1, 1, 1}, {1, 2, 1, 1}, {2, 0, 2, 1},
                          {1, 7, 7, 1}};
  for (const Write& w : writes) {
    DWORD header = 99, allow = 99;
    HeaderMinimiseValues(w.item, w.storedHeader, &header, &allow);
    EXPECT_EQ(header, w.header) << w.item << " over " << w.storedHeader;
    EXPECT_EQ(allow, w.allow) << w.item << " over " << w.storedHeader;
  }
}

TEST_F(GeneralCommonPageTest, ValuesRoundTripThroughTheSheet) {
  struct Case {
    const char* name;
    DWORD portrait, landscape, autoSize, header, allow, pim, doubleClick;  // stored; 0xDEAD none
    const wchar_t* typed;  // height typed, null: leave alone
    bool clickAutoSize;
    int chooseHeader, chooseDoubleTap;  // -1: leave alone
    // shown
    int shownHeight;
    bool autoTicked;
    int headerItem, doubleTapItem;
    // written
    DWORD wPortrait, wLandscape, wAutoSize, wHeader, wAllow, wPim, wDoubleClick;
  };
  // ShowTabs 7 shows three tabs: the panel is at least 60 high.
  const bool landscape = Landscape();
  const DWORD kNone = 0xDEAD;
  auto mine = [&](DWORD portrait, DWORD wide) { return static_cast<int>(landscape ? wide : portrait); };
  const Case cases[] = {
      {"defaults", kNone, kNone, kNone, kNone, kNone, kNone, kNone, nullptr, false, -1, -1, 60, true, 1, 2, 60, 60, 1,
       0, 1, 0, 2},
      // A stored height below the minimum is raised and written back at once.
      {"raised", 40, 100, 0, 0, 0, 0, 0, nullptr, false, -1, -1, mine(60, 100), false, 1, 0, 60, 100, 0, 0, 1, 0, 0},
      {"typed and switched", 120, 140, 1, 2, 1, 0, 1, L"250", true, 0, 2, mine(120, 140), true, 2, 1,
       landscape ? 120u : 250u, landscape ? 250u : 140u, 0, 1, 0, 0, 2},
      {"300 accepted", 80, 80, 1, 1, 0, 0, 2, L"300", false, -1, -1, 80, true, 0, 2, landscape ? 80u : 300u,
       landscape ? 300u : 80u, 1, 1, 0, 0, 2},
      // A typed height below the minimum is raised on apply.
      {"typed low", 80, 80, 1, 0, 1, 0, 2, L"5", false, -1, -1, 80, true, 1, 2, landscape ? 80u : 60u,
       landscape ? 60u : 80u, 1, 0, 1, 0, 2},
      // A double-tap action the box has no item for shows nothing and is kept.
      {"unknown double tap kept", 80, 80, 1, 0, 1, 0, 9, nullptr, false, -1, -1, 80, true, 1, -1, 80, 80, 1, 0, 1, 0,
       9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"ShowTabs", 7);
    Store(L"TotalHeight", c.portrait);
    Store(L"TotalHeightL", c.landscape);
    Store(L"AutoSizeAdjust", c.autoSize);
    Store(L"HeaderMinimized", c.header);
    Store(L"AllowMinimization", c.allow);
    Store(L"CurrentPIM", c.pim);
    Store(L"DoubleClick", c.doubleClick);
    int shownHeight = -1, headerItem = -2, doubleTapItem = -2;
    bool autoTicked = false;
    DWORD raisedAtOnce = 0;
    std::wstring autoText;
    RunPage(
        0, 0,
        [&](HWND page) {
          raisedAtOnce = Stored(L"TotalHeight");
          BOOL read = FALSE;
          shownHeight = static_cast<int>(GetDlgItemInt(page, kPanelHeightEdit, &read, FALSE));
          autoTicked = Ticked(page, kAutoSizeBox);
          headerItem = Selection(page, kHeaderMinimiseCombo);
          doubleTapItem = Selection(page, kDoubleTapCombo);
          if (c.typed) SetDlgItemTextW(page, kPanelHeightEdit, c.typed);
          if (c.clickAutoSize) Click(page, kAutoSizeBox);
          if (c.chooseHeader >= 0) Choose(page, kHeaderMinimiseCombo, c.chooseHeader);
          if (c.chooseDoubleTap >= 0) Choose(page, kDoubleTapCombo, c.chooseDoubleTap);
          WCHAR text[200] = L"";
          GetDlgItemTextW(page, kAutoSizeText, text, ARRAYSIZE(text));
          autoText = text;
        },
        {IDOK});
    EXPECT_TRUE(Messages().empty());
    EXPECT_GE(raisedAtOnce, 60u);
    EXPECT_EQ(shownHeight, c.shownHeight);
    EXPECT_EQ(autoTicked, c.autoTicked);
    EXPECT_EQ(headerItem, c.headerItem);
    EXPECT_EQ(doubleTapItem, c.doubleTapItem);
    EXPECT_FALSE(autoText.empty());
    EXPECT_EQ(Stored(L"TotalHeight"), c.wPortrait);
    EXPECT_EQ(Stored(L"TotalHeightL"), c.wLandscape);
    EXPECT_EQ(Stored(L"AutoSizeAdjust"), c.wAutoSize);
    EXPECT_EQ(Stored(L"HeaderMinimized"), c.wHeader);
    EXPECT_EQ(Stored(L"AllowMinimization"), c.wAllow);
    EXPECT_EQ(Stored(L"CurrentPIM"), c.wPim);
    EXPECT_EQ(Stored(L"DoubleClick"), c.wDoubleClick);
  }
}

TEST_F(GeneralCommonPageTest, HeightAboveThreeHundredIsRefusedAndNothingWritten) {
  Store(L"ShowTabs", 7);
  Store(L"TotalHeight", 90);
  Store(L"TotalHeightL", 90);
  Store(L"CurrentPIM", 0);
  RunPage(
      0, 0,
      [&](HWND page) {
        SetDlgItemTextW(page, kPanelHeightEdit, L"301");
        Click(page, kAutoSizeBox);
      },
      {IDOK, IDCANCEL});
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].caption, L"Qel Tarvo Options");
  EXPECT_NE(Messages()[0].text.find(L"60"), std::wstring::npos);
  EXPECT_TRUE(Messages()[0].type & MB_ICONERROR);
  EXPECT_EQ(Stored(L"TotalHeight"), 90u);
  EXPECT_EQ(Stored(L"TotalHeightL"), 90u);
  EXPECT_EQ(Stored(L"AutoSizeAdjust"), 1u);
}

TEST_F(GeneralCommonPageTest, ProviderBoxOffersTheInstalledProgramsOnly) {
  struct Case {
    const char* name;
    bool agendaFusion;
    DWORD stored;
    int items;
    bool enabled;
    int selection;
    DWORD written;
  };
  const Case cases[] = {
      {"no other program", false, 0, 1, false, 0, 0},
      {"Agenda Fusion chosen", true, 1, 2, true, 1, 1},
      {"Agenda Fusion there, device's own chosen", true, 0, 2, true, 0, 0},
      // A provider whose program went away shows nothing and is kept.
      {"Agenda Fusion gone", false, 1, 1, false, -1, 1},
  };
  const CRegistryView fusion = m_machine.Key(L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fusion.Delete();
    if (c.agendaFusion) fusion.WriteString(L"AppLocation", L"\\Program Files\\Agenda Fusion");
    Store(L"CurrentPIM", c.stored);
    int items = 0, selection = -2;
    bool enabled = true;
    RunPage(
        0, 0,
        [&](HWND page) {
          items = ItemCount(page, kPimProviderCombo);
          selection = Selection(page, kPimProviderCombo);
          enabled = Enabled(page, kPimProviderCombo);
        },
        {IDOK});
    EXPECT_EQ(items, c.items);
    EXPECT_EQ(selection, c.selection);
    EXPECT_EQ(enabled, c.enabled);
    EXPECT_EQ(Stored(L"CurrentPIM"), c.written);
  }
  fusion.Delete();
}

TEST_F(GeneralCommonPageTest, UnusableProviderKeepsThePageOpen) {
  // Agenda Fusion there when the page opens, gone by the time the user applies.
  const CRegistryView fusion = m_machine.Key(L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion");
  fusion.WriteString(L"AppLocation", L"\\Program Files\\Agenda Fusion");
  Store(L"ShowTabs", 7);
  Store(L"CurrentPIM", 0);
  Store(L"TotalHeight", 90);
  RunPage(
      0, 0,
      [&](HWND page) {
        Choose(page, kPimProviderCombo, 1);
        SetDlgItemTextW(page, kPanelHeightEdit, L"200");
        fusion.Delete();
      },
      {IDOK, IDCANCEL});
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(Messages()[0].type & MB_ICONERROR);
  EXPECT_EQ(Stored(L"CurrentPIM"), 0u);
  EXPECT_EQ(Stored(L"TotalHeight"), 90u);
}

// The height shown is the one of the screen's present orientation, which the page
// reads from the device; turning the screen while the page runs keeps what was typed
// for the orientation left and shows the other one's.
TEST_F(GeneralCommonPageTest, TurningTheScreenSwitchesBetweenTheTwoHeights) {
  CDeviceSwitch device;
  device.Set(L"Screen", L"240x320");
  Store(L"ShowTabs", 7);
  Store(L"TotalHeight", 100);
  Store(L"TotalHeightL", 150);
  struct Step {
    const wchar_t* screen;  // the screen turned to before the step; null: as it is
    int shown;              // the height the page shows then
    const wchar_t* typed;   // then typed
  };
  const Step steps[] = {
      {nullptr, 100, L"180"},
      {L"320x240", 150, L"200"},
      {L"240x320", 180, nullptr},
      {L"240x320", 180, nullptr},  // a reset without a turn changes nothing
  };
  std::vector<int> shown;
  RunPage(
      0, 0,
      [&](HWND page) {
        for (const Step& s : steps) {
          if (s.screen) {
            bool local = false;
            ASSERT_TRUE(CDeviceIdentity::Write(L"Screen", s.screen, local));
            ASSERT_TRUE(local) << "only this test's device turns";
            SendMessageW(page, WM_SETTINGCHANGE, kScreenResetCode, 0);
          }
          BOOL read = FALSE;
          shown.push_back(static_cast<int>(GetDlgItemInt(page, kPanelHeightEdit, &read, FALSE)));
          if (s.typed) SetDlgItemTextW(page, kPanelHeightEdit, s.typed);
        }
      },
      {IDOK});
  EXPECT_EQ(shown, (std::vector<int>{100, 150, 180, 180}));
  EXPECT_EQ(Stored(L"TotalHeight"), 180u);
  EXPECT_EQ(Stored(L"TotalHeightL"), 200u);
}

std::wstring BesideTests(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file = path;
  return file.substr(0, file.rfind(L'\\') + 1) + name;
}

// Pocket Informant is offered when its tools library loads; choosing it is accepted
// only when the library can show appointments ("D_Appt"). The library's place comes
// from Pocket Informant's own user key.
TEST_F(GeneralCommonPageTest, PocketInformantNeedsToolsThatShowAppointments) {
  struct Case {
    const char* name;
    const wchar_t* library;  // where the user key says the tools are
    const wchar_t* before;   // and where, by the time the user applies (null: the same)
    int items;
    UINT message;  // the text shown, 0 for none
    UINT icon;
    DWORD written;
  };
  const Case cases[] = {
      {"tools with D_Appt", L"PIToolsFull.dll", nullptr, 2, 0, 0, 2},
      {"tools without D_Appt", L"PIToolsNoAppt.dll", nullptr, 2, IDS_PI_TOOLS_TOO_OLD, MB_ICONINFORMATION, 0},
      {"tools gone before apply", L"PIToolsFull.dll", L"Missing.dll", 2, IDS_PI_TOOLS_MISSING, MB_ICONERROR, 0},
      {"no tools", L"Missing.dll", nullptr, 1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Messages().clear();
    Store(L"CurrentPIM", 0);
    Store(L"ShowTabs", 7);
    Store(L"TotalHeight", 120);
    Store(L"TotalHeightL", 120);
    int items = 0;
    {
      // Machine values are written above: from here on the current user is the sandbox.
      CUserSandbox user(L"settings_pitools");
      ASSERT_TRUE(user.Redirected());
      const CRegistryView tools(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant");
      tools.WriteString(L"PIToolsLoc", BesideTests(c.library).c_str());
      std::vector<int> buttons = {IDOK};
      if (c.message) buttons.push_back(IDCANCEL);
      RunPage(
          0, 0,
          [&](HWND page) {
            items = ItemCount(page, kPimProviderCombo);
            if (items == 2) Choose(page, kPimProviderCombo, 1);
            if (c.before) tools.WriteString(L"PIToolsLoc", BesideTests(c.before).c_str());
          },
          buttons);
    }
    EXPECT_EQ(items, c.items);
    if (c.message) {
      ASSERT_EQ(Messages().size(), 1u);
      wchar_t text[256] = L"";
      LoadStringW(GetModule().GetResourceInstance(), c.message, text, 256);
      EXPECT_EQ(Messages()[0].text, text);
      EXPECT_TRUE(Messages()[0].type & c.icon);
    } else {
      EXPECT_TRUE(Messages().empty());
    }
    EXPECT_EQ(Stored(L"CurrentPIM"), c.written);
  }
}

}  // namespace
