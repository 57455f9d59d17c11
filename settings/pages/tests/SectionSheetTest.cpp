#include "settings/pages/SectionSheet.h"

#include <gtest/gtest.h>

#include <prsht.h>

#include <string>
#include <vector>

#include "base/ViewSettings.h"
#include "settings/pages/tests/PagesTestSupport.h"
#include "settings/shell/tests/SheetDriver.h"

namespace {

// What a person sees of a running sheet.
struct SheetView {
  UINT section = 99;
  int pages = 0;
  int current = -1;
  UINT menuBar = 0;
  std::wstring caption;
  bool hasMenuBar = false;
};

SheetView Look(CSheetDriver& driver, HWND sheet) {
  SheetView view;
  auto* object = static_cast<CSectionSheet*>(driver.CurrentSheet());
  view.section = object->GetSection();
  HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
  view.pages = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  view.current = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
  view.menuBar = object->GetMenuBarId();
  view.hasMenuBar = object->GetMenuBar() != nullptr;
  view.caption = object->GetHeader().pszCaption ? object->GetHeader().pszCaption : L"";
  return view;
}

using SectionSheetTest = PagesTest;

TEST_F(SectionSheetTest, TheListOpensEverySectionsSheetAtItsFirstPage) {
  struct Case {
    int item;
    int pages;
    UINT menuBar;
    const wchar_t* caption;
  };
  const Case cases[] = {
      {0, 7, 125, L"General options"}, {1, 6, 125, L"Calendar options"},  {2, 3, 203, L"Task options"},
      {3, 4, 125, L"Contact options"}, {4, 4, 125, L"Note options"},      {5, 2, 125, L"Message options"},
      {6, 1, 125, L"Special event options"}, {8, 2, 125, L"Tab options"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    SheetView view;
    std::vector<bool> pagesWithControls;
    CSheetDriver driver({
        [&](HWND sheet) {
          view = Look(driver, sheet);
          // Every page comes up with its template's controls.
          for (int i = 0; i < view.pages; ++i) {
            SendMessageW(sheet, PSM_SETCURSEL, i, 0);
            pagesWithControls.push_back(GetWindow(CSheetDriver::CurrentPage(sheet), GW_CHILD) != nullptr);
          }
        },
        CSheetDriver::Press(IDCANCEL),
    });
    Activate(c.item);
    EXPECT_EQ(driver.Runs(), 1);
    EXPECT_EQ(view.section, static_cast<UINT>(c.item));
    EXPECT_EQ(view.pages, c.pages);
    EXPECT_EQ(view.current, 0);
    EXPECT_EQ(view.menuBar, c.menuBar);
    EXPECT_TRUE(view.hasMenuBar);
    EXPECT_EQ(view.caption, c.caption);
    EXPECT_EQ(pagesWithControls, std::vector<bool>(c.pages, true));
    EXPECT_FALSE(m_window.IsChanged());
  }
}

TEST_F(SectionSheetTest, StartPagesOfRequestsAndTheChangedFlag) {
  struct Case {
    UINT section;
    int page;
    int opensAt;  // -1: nothing opens
    WORD button;
  };
  const Case cases[] = {
      {0, 3, 3, IDCANCEL},   // the long-date page
      {3, 2, 0, IDCANCEL},   // contacts: always the first page
      {5, 1, 1, IDCANCEL},   // the messages filter page
      {2, 1, 1, IDCANCEL},   // tasks view style, with the tasks menu bar
      {1, 5, 5, IDCANCEL},
      {4, 3, 0, IDCANCEL},
      {8, 1, 0, IDCANCEL},
      {6, 0, 0, IDOK},
      {9, 0, -1, IDOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.section) + ":" + std::to_string(c.page));
    m_window.SetChanged(FALSE);
    SheetView view;
    CSheetDriver driver({[&](HWND sheet) { view = Look(driver, sheet); }, CSheetDriver::Press(c.button)});
    SendMessageW(m_window, WM_OPENSECTION, c.section, c.page);
    EXPECT_EQ(driver.Runs(), c.opensAt < 0 ? 0 : 1);
    if (c.opensAt >= 0) {
      EXPECT_EQ(view.current, c.opensAt);
    }
    EXPECT_EQ(m_window.IsChanged(), c.opensAt >= 0 && c.button == IDOK ? TRUE : FALSE);
  }
}

// "-p0:99" or a made-up request from another program: the sheet still opens, on
// one of its own pages.
TEST_F(SectionSheetTest, StartPagesPastTheLastPageStillOpenTheSheet) {
  for (int page : {7, 99, -1, 0x7FFFFFFF}) {
    SheetView view;
    CSheetDriver driver({[&](HWND sheet) { view = Look(driver, sheet); }, CSheetDriver::Press(IDCANCEL)});
    SendMessageW(m_window, WM_OPENSECTION, 0, page);
    EXPECT_EQ(driver.Runs(), 1) << page;
    EXPECT_GE(view.current, 0) << page;
    EXPECT_LT(view.current, 7) << page;
  }
}

TEST_F(SectionSheetTest, TheListOpensNothingWhileASheetRuns) {
  CSheetDriver driver({
      [&](HWND) { Activate(2); },
      [&](HWND) { SendMessageW(m_window, WM_OPENSECTION, 4, 0); },
      CSheetDriver::Press(IDCANCEL),
  });
  Activate(6);
  EXPECT_EQ(driver.Runs(), 1);
}

TEST_F(SectionSheetTest, LongDateLinkOpensTheGeneralSheetOverTheCalendarSheet) {
  struct Seen {
    UINT section = 99;
    int current = -1;
    BOOL outerEnabled = TRUE;
    BOOL mainEnabled = FALSE;
  } inner;
  BOOL outerEnabledAfter = FALSE;
  HWND outer = nullptr;
  CSheetDriver driver({[&](HWND sheet) {
    auto* object = static_cast<CSectionSheet*>(driver.CurrentSheet());
    if (object->GetSection() == 1) {
      outer = sheet;
      SendMessageW(sheet, PSM_SETCURSEL, 3, 0);
      SendDlgItemMessageW(CSheetDriver::CurrentPage(sheet), 1048, BM_CLICK, 0, 0);
      outerEnabledAfter = IsWindowEnabled(sheet);
      CSheetDriver::Press(IDCANCEL)(sheet);
      return;
    }
    inner.section = object->GetSection();
    inner.current = Look(driver, sheet).current;
    inner.outerEnabled = IsWindowEnabled(outer);
    inner.mainEnabled = IsWindowEnabled(m_window);
    CSheetDriver::Press(IDCANCEL)(sheet);
  }});
  Activate(1);
  EXPECT_EQ(driver.Runs(), 2);
  EXPECT_EQ(inner.section, 0u);
  EXPECT_EQ(inner.current, 3);
  EXPECT_FALSE(inner.outerEnabled);
  EXPECT_TRUE(inner.mainEnabled);
  EXPECT_TRUE(outerEnabledAfter);
  EXPECT_FALSE(m_window.IsSectionOpen());
}

TEST_F(SectionSheetTest, ContactsLeftIndentBoxIsTheOppositeOfTheStoredIndent) {
  struct Case {
    int stored;
    int clicks;
    int expected;
  };
  const Case cases[] = {{1, 1, 0}, {0, 1, 1}, {1, 2, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.stored) + " clicked " + std::to_string(c.clicks));
    m_machine.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"ContLeftIdent", c.stored);
    // Without a leading icon: a leading icon always indents and takes the box away.
    m_machine.Key(TARVO_PRODUCT_KEY).WriteString(L"CurContactPattern", L"1n");
    GetViewSettings().Load();
    UINT shown = 99;
    int inMemory = -1;
    CSheetDriver driver({
        CSheetDriver::SelectPage(3),
        [&](HWND sheet) { shown = IsDlgButtonChecked(CSheetDriver::CurrentPage(sheet), 1060); },
        [&](HWND sheet) {
          for (int i = 0; i < c.clicks; ++i)
            SendDlgItemMessageW(CSheetDriver::CurrentPage(sheet), 1060, BM_CLICK, 0, 0);
          inMemory = GetViewSettings().ContLeftIdent;
        },
        CSheetDriver::Press(IDOK),
    });
    Activate(3);
    EXPECT_EQ(shown, c.stored ? static_cast<UINT>(BST_UNCHECKED) : static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(inMemory, c.expected);
    DWORD saved = 99;
    EXPECT_TRUE(m_machine.Key(TARVO_PRODUCT_KEY).ReadDWORD(L"ContLeftIdent", saved));
    EXPECT_EQ(saved, static_cast<DWORD>(c.expected));
  }
}

TEST_F(SectionSheetTest, ListPagesAnswerTheGestureQueryFromAnySender) {
  struct Case {
    int item;
    int page;
  };
  for (const Case& c : {Case{4, 3}, Case{8, 1}}) {
    LRESULT answer = 0;
    CSheetDriver driver({
        CSheetDriver::SelectPage(c.page),
        [&](HWND sheet) {
          NMHDR query = {reinterpret_cast<HWND>(0x4321), 12, static_cast<UINT>(-50)};
          HWND page = CSheetDriver::CurrentPage(sheet);
          SendMessageW(page, WM_NOTIFY, 12, reinterpret_cast<LPARAM>(&query));
          answer = GetWindowLongPtrW(page, DWLP_MSGRESULT);
        },
        CSheetDriver::Press(IDCANCEL),
    });
    Activate(c.item);
    EXPECT_EQ(answer, 1) << c.item;
  }
}

}  // namespace
