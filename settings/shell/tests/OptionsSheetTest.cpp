#include "settings/shell/OptionsSheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "settings/shell/OptionsPage.h"
#include "settings/shell/PageServices.h"
#include "settings/shell/tests/SheetDriver.h"
#include "settings/shell/tests/ShellTestRes.h"
#include "settings/shell/tests/ShellTestSupport.h"

namespace {

template <UINT Id>
class CTestPage : public COptionsPage<CTestPage<Id>> {
 public:
  enum { IDD = Id };
  using Base = COptionsPage<CTestPage<Id>>;

  BOOL OnInitPage() {
    ++inits;
    return TRUE;
  }
  BOOL OnApply() {
    ++applies;
    appliedTick = IsDlgButtonChecked(this->m_hWnd, IDC_TEST_TICK);
    return !refuseApply;
  }
  void OnReset() { ++resets; }
  BOOL OnKillActive() {
    ++kills;
    return !refuseLeave;
  }
  void UpdateLayout() { ++layouts; }
  LPCWSTR GetHelpTopic() { return L"Fonts"; }

  BEGIN_MSG_MAP(CTestPage)
    CHAIN_MSG_MAP(Base)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnOwnSettingChange)
    COMMAND_HANDLER(IDC_TEST_TICK, BN_CLICKED, OnTick)
  END_MSG_MAP()

  LRESULT OnOwnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    ownSettingChanges.push_back(wParam);
    handled = FALSE;
    return 0;
  }
  LRESULT OnTick(WORD, WORD, HWND, BOOL&) {
    ++ticks;
    SendMessageW(GetParent(this->m_hWnd), PSM_CHANGED, reinterpret_cast<WPARAM>(this->m_hWnd), 0);
    return 0;
  }

  int inits = 0, applies = 0, resets = 0, layouts = 0, ticks = 0, kills = 0;
  // How often the sheet's notifications reached the page logic.
  int HookCalls() const { return applies + resets + layouts + kills; }
  UINT appliedTick = BST_UNCHECKED;
  BOOL refuseApply = FALSE, refuseLeave = FALSE;
  std::vector<WPARAM> ownSettingChanges;
};

using CFirstPage = CTestPage<IDD_TEST_FIRST_PAGE>;
using CSecondPage = CTestPage<IDD_TEST_SECOND_PAGE>;

class CTestSheet : public COptionsSheet<CTestSheet> {
 public:
  CTestSheet() {
    SetTitle(L"Test options");
    AddPage(first);
    AddPage(second);
  }
  CFirstPage first;
  CSecondPage second;
};

class OptionsSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_machine.Redirected());
    ASSERT_TRUE(m_resources.Loaded());
  }
  CLocalMachineSandbox m_machine{L"OptionsSheet"};
  CShellTestResources m_resources;
};

// What a page answers, as the sheet reads it: the procedure's own value and what it
// left in DWLP_MSGRESULT (the dialog manager clears it before each message).
struct Answer {
  LRESULT returned;
  LONG_PTR result;
};
Answer SendToPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  SetWindowLongPtrW(page, DWLP_MSGRESULT, 77);
  LRESULT returned = SendMessageW(page, message, wParam, lParam);
  return {returned, GetWindowLongPtrW(page, DWLP_MSGRESULT)};
}
Answer Notify(HWND page, HWND from, UINT code) {
  NMHDR header = {from, 0, code};
  return SendToPage(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

TEST_F(OptionsSheetTest, DriverTicksBoxesOnTwoPagesAndOkAppliesBoth) {
  CTestSheet sheet;
  bool secondShown = false;
  CSheetDriver driver({
      CSheetDriver::Click(IDC_TEST_TICK),
      CSheetDriver::SelectPage(1),
      CSheetDriver::Click(IDC_TEST_TICK),
      [&](HWND window) { secondShown = sheet.second.m_hWnd && CSheetDriver::CurrentPage(window) == sheet.second.m_hWnd; },
      CSheetDriver::Press(IDOK),
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(driver.Runs(), 1);
  EXPECT_TRUE(secondShown);
  EXPECT_EQ(sheet.first.inits, 1);
  EXPECT_EQ(sheet.second.inits, 1);
  EXPECT_EQ(sheet.first.ticks, 1);
  EXPECT_EQ(sheet.second.ticks, 1);
  EXPECT_EQ(sheet.first.applies, 1);
  EXPECT_EQ(sheet.second.applies, 1);
  EXPECT_EQ(sheet.first.appliedTick, static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(sheet.second.appliedTick, static_cast<UINT>(BST_CHECKED));
  // After the run the pages' windows are gone and the objects may run again.
  EXPECT_EQ(sheet.first.m_hWnd, nullptr);
  EXPECT_EQ(sheet.m_hWnd, nullptr);
}

TEST_F(OptionsSheetTest, CancelResetsAndAppliesNothing) {
  CTestSheet sheet;
  CSheetDriver driver({CSheetDriver::Click(IDC_TEST_TICK), CSheetDriver::Press(IDCANCEL)});
  EXPECT_EQ(sheet.DoModal(), 0);
  EXPECT_EQ(sheet.first.applies, 0);
  EXPECT_EQ(sheet.first.resets, 1);
}

TEST_F(OptionsSheetTest, RefusedApplyKeepsTheSheetOpenWithoutChangingPage) {
  CTestSheet sheet;
  sheet.second.refuseApply = TRUE;
  bool onSamePage = false;
  BOOL openAfterOk = FALSE;
  CSheetDriver driver({
      CSheetDriver::SelectPage(1),
      CSheetDriver::SelectPage(0),
      CSheetDriver::Press(IDOK),
      [&](HWND window) {
        onSamePage = CSheetDriver::CurrentPage(window) == sheet.first.m_hWnd;
        openAfterOk = IsWindow(window);
      },
      CSheetDriver::Press(IDCANCEL),
  });
  EXPECT_EQ(sheet.DoModal(), 0);
  EXPECT_TRUE(openAfterOk);
  EXPECT_TRUE(onSamePage);
  EXPECT_EQ(sheet.first.applies, 1);
  EXPECT_EQ(sheet.second.applies, 1);
  EXPECT_EQ(sheet.second.resets, 1);
}

TEST_F(OptionsSheetTest, NotificationsFromSheetOrPageMapOntoThePage) {
  CTestSheet sheet;
  std::vector<std::string> failures;
  CSheetDriver driver({
      [&](HWND window) {
        CFirstPage& page = sheet.first;
        HWND child = GetDlgItem(page.m_hWnd, IDC_TEST_TICK);
        struct Case {
          const char* name;
          HWND from;
          UINT code;
          BOOL refuse;
          int hookCalls;
          LONG_PTR result;
        };
        const Case cases[] = {
            {"apply accepted", window, PSN_APPLY, FALSE, 1, PSNRET_NOERROR},
            {"apply refused", window, PSN_APPLY, TRUE, 1, PSNRET_INVALID_NOCHANGEPAGE},
            {"apply from the page itself", page.m_hWnd, PSN_APPLY, FALSE, 1, PSNRET_NOERROR},
            {"set active", window, PSN_SETACTIVE, FALSE, 1, 0},
            {"kill active allowed", window, PSN_KILLACTIVE, FALSE, 1, 0},
            {"kill active refused", window, PSN_KILLACTIVE, TRUE, 1, 1},
            {"reset", window, PSN_RESET, FALSE, 1, 0},
            {"query cancel", window, PSN_QUERYCANCEL, FALSE, 0, 0},
            {"code -204 is not mapped", window, static_cast<UINT>(-204), FALSE, 0, 0},
            {"a child control's apply", child, PSN_APPLY, FALSE, 0, 0},
        };
        for (const Case& c : cases) {
          page.refuseApply = page.refuseLeave = c.refuse;
          int before = page.HookCalls();
          Answer answer = Notify(page.m_hWnd, c.from, c.code);
          if (page.HookCalls() - before != c.hookCalls || answer.result != c.result)
            failures.push_back(std::string(c.name) + ": hooks " + std::to_string(page.HookCalls() - before) +
                               ", result " + std::to_string(answer.result));
        }
        page.refuseApply = page.refuseLeave = FALSE;
      },
      CSheetDriver::Press(IDCANCEL),
  });
  sheet.DoModal();
  EXPECT_EQ(driver.Runs(), 1);
  EXPECT_TRUE(failures.empty()) << failures.front();
}

std::wstring g_started;
BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  g_started = std::wstring(info->lpFile) + L" " + info->lpParameters;
  return TRUE;
}

TEST_F(OptionsSheetTest, HelpOpensTheViewerAtThePagesTopic) {
  CTestSheet sheet;
  g_started.clear();
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(RecordLaunch);
  CSheetDriver driver({
      [&](HWND window) { Notify(sheet.first.m_hWnd, window, PSN_HELP); },
      CSheetDriver::Press(IDCANCEL),
  });
  sheet.DoModal();
  SetProgramLauncher(previous);
  EXPECT_EQ(g_started, L"PegHelp.exe QelTarvo.htm#Fonts");
}

TEST_F(OptionsSheetTest, ScreenResetRunsLayoutOnceAfterFillingAndPassesOtherCodesOn) {
  CTestSheet sheet;
  int layoutsAfterFill = -1, layoutsAfterOther = -1, layoutsAfterReset = -1;
  std::vector<WPARAM> seen;
  CSheetDriver driver({
      [&](HWND) {
        PumpPending();
        CFirstPage& page = sheet.first;
        layoutsAfterFill = page.layouts;
        SendMessageW(page.m_hWnd, WM_SETTINGCHANGE, 0x1234, 0);
        layoutsAfterOther = page.layouts;
        SendMessageW(page.m_hWnd, WM_SETTINGCHANGE, kScreenResetCode, 0);
        layoutsAfterReset = page.layouts;
        seen = page.ownSettingChanges;
      },
      CSheetDriver::Press(IDCANCEL),
  });
  sheet.DoModal();
  // The set-active default lays out once more; the posted reset adds exactly one.
  ASSERT_GE(layoutsAfterFill, 1);
  EXPECT_EQ(layoutsAfterOther, layoutsAfterFill);
  EXPECT_EQ(layoutsAfterReset, layoutsAfterFill + 1);
  // The page's own map sees every code, the posted reset included.
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[seen.size() - 2], static_cast<WPARAM>(0x1234));
  EXPECT_EQ(seen.back(), kScreenResetCode);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), kScreenResetCode), 2);
}

TEST_F(OptionsSheetTest, MessagesFourAndSixtyTwoAnswerOneAndWriteOnlyToWritableMemory) {
  CTestSheet sheet;
  WCHAR buffer[4] = L"abc";
  Answer toBuffer = {}, toNull = {}, toBadAddress = {}, toCode = {}, answer62 = {};
  CSheetDriver driver({
      [&](HWND) {
        HWND page = sheet.first.m_hWnd;
        toBuffer = SendToPage(page, 0x0004, 0, reinterpret_cast<LPARAM>(buffer));
        toNull = SendToPage(page, 0x0004, 0, 0);
        toBadAddress = SendToPage(page, 0x0004, 0, 0x10);
        // Read-only memory: the page's own code.
        toCode = SendToPage(page, 0x0004, 0, reinterpret_cast<LPARAM>(&DrawPageHeader));
        answer62 = SendToPage(page, 0x0062, 0, 0);
      },
      CSheetDriver::Press(IDCANCEL),
  });
  sheet.DoModal();
  EXPECT_EQ(buffer[0], L'\0');
  EXPECT_EQ(buffer[1], L'b');
  EXPECT_EQ(toBuffer.result, 1);
  EXPECT_EQ(toNull.result, 0);
  EXPECT_EQ(toBadAddress.result, 0);
  EXPECT_EQ(toCode.result, 0);
  EXPECT_EQ(answer62.result, 1);
}

TEST_F(OptionsSheetTest, PagesTakeTheirTitlesFromTheTemplateCaption) {
  class CUntitledPage : public COptionsPage<CUntitledPage> {
   public:
    enum { IDD = IDD_TEST_UNTITLED_PAGE };
    BOOL OnInitPage() { return TRUE; }
    BOOL OnApply() { return TRUE; }
  };
  CFirstPage first;
  CUntitledPage untitled;
  CSecondPage second;
  EXPECT_STREQ(first.GetTitle(), L"First");
  EXPECT_TRUE(first.GetPropSheetPage().dwFlags & PSP_USETITLE);
  EXPECT_TRUE(first.GetPropSheetPage().dwFlags & PSP_USECALLBACK);
  EXPECT_STREQ(first.GetPropSheetPage().pszTitle, L"First");
  EXPECT_STREQ(untitled.GetTitle(), L"");
  EXPECT_FALSE(untitled.GetPropSheetPage().dwFlags & PSP_USETITLE);
  EXPECT_STREQ(second.GetTitle(), L"Second");
}

TEST_F(OptionsSheetTest, SheetSetsUpMenuBarAndKeepsItsOwnerEnabled) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  CTestSheet sheet;
  HWND menuBar = nullptr;
  BOOL ownerEnabled = FALSE;
  CSheetDriver driver({
      [&](HWND) {
        menuBar = sheet.GetMenuBar();
        ownerEnabled = IsWindowEnabled(owner);
      },
      CSheetDriver::Press(IDCANCEL),
  });
  sheet.DoModal(owner);
  EXPECT_NE(menuBar, nullptr);
  EXPECT_TRUE(ownerEnabled);
  // The device's flags are ours; the shell stand-in translated them for the run.
  EXPECT_EQ(sheet.GetHeader().dwFlags & (PSH_USECALLBACK | PSH_MAXIMIZE),
            static_cast<DWORD>(PSH_USECALLBACK | PSH_MAXIMIZE));
  EXPECT_EQ(sheet.GetHeader().nPages, 0u);
  DestroyWindow(owner);
}

TEST(OptionsSheetCallbackTest, AnswersVersionAndAnEmptyTitle) {
  EXPECT_EQ(COptionsSheet<CTestSheet>::SheetCallback(nullptr, PSCB_GETVERSION, 0), 0x020C);
  WCHAR title[8] = L"old";
  EXPECT_EQ(COptionsSheet<CTestSheet>::SheetCallback(nullptr, PSCB_GETTITLE, reinterpret_cast<LPARAM>(title)), 0);
  EXPECT_EQ(title[0], L'\0');
  EXPECT_EQ(COptionsSheet<CTestSheet>::SheetCallback(nullptr, PSCB_GETTITLE, 0), 0);
}

}  // namespace
