// The Tasks sheet's pages driven through the real sheet: what they show of the stored
// values, what they write back, and the pattern number that two of them edit.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/PatternIcons.h"
#include "settings/pages/TasksCommonPage.h"
#include "settings/pages/TasksIconsPage.h"
#include "settings/pages/TasksViewStylePage.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

const DWORD kMissing = 0xDEAD;
const int kTasksSection = 2;

class TasksPagesTest : public PageRunTest {
 protected:
  std::wstring StoredPattern() const { return StoredText(L"CurTaskPattern"); }
  void StorePattern(const wchar_t* pattern) const {
    if (pattern) Product().WriteString(L"CurTaskPattern", pattern);
  }
  // Shows another page of the running sheet, as a tap on its tab does.
  static void ShowPage(HWND page, int index) {
    PropSheet_SetCurSel(GetParent(page), nullptr, index);
  }
  static HWND Current(HWND page) { return PropSheet_GetCurrentPageHwnd(GetParent(page)); }
};

TEST_F(TasksPagesTest, CommonPageShowsAndWritesBackItsValues) {
  struct Case {
    const char* name;
    DWORD message, style, allCategories;
    const wchar_t* pattern;  // null: not stored
    int shownSubject, shownStyle;
    int chooseSubject, chooseStyle;  // -1: left alone
    const wchar_t* writtenPattern;
    DWORD writtenStyle;
  };
  const Case cases[] = {
      {"defaults", kMissing, kMissing, kMissing, nullptr, 1, 1, -1, -1, L"p3nqrsc", 1},
      // The items mean what the Tasks tab reads: 1 the whole subject, 2 one line.
      {"whole subject", 0, 0, 1, L"p1nq", 0, 0, -1, -1, L"p1nq", 0},
      {"one line", 1, 3, 0, L"n2", 2, 3, -1, -1, L"n2", 3},
      {"one line chosen", 1, 2, 0, L"p3nqrsc", 1, 2, 2, 0, L"p2nqrsc", 0},
      {"whole subject chosen", 1, 1, 0, L"2c", 2, 1, 0, -1, L"1c", 1},
      // Values the boxes have no item for select nothing and are kept.
      {"unknown values", 1, 9, 0, L"p7s", -1, -1, -1, -1, L"p7s", 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"Task_DisplayComplMsg", c.message);
    Store(L"Tasks_ShowTasksStyle", c.style);
    Store(L"ShowTasksInAllCategories", c.allCategories);
    StorePattern(c.pattern);
    int subject = -2, style = -2, subjectItems = 0;
    bool message = false, all = true;
    std::wstring firstItem;
    RunPage(kTasksSection, 0, [&](HWND page) {
      subject = Selection(page, kTaskSubjectCombo);
      subjectItems = ItemCount(page, kTaskSubjectCombo);
      firstItem = ItemText(page, kTaskSubjectCombo, 0);
      style = Selection(page, kTasksStyleCombo);
      message = Ticked(page, kTaskCompletedMessageBox);
      all = Ticked(page, kTasksAllCategoriesBox);
      if (c.chooseSubject >= 0) Choose(page, kTaskSubjectCombo, c.chooseSubject);
      if (c.chooseStyle >= 0) Choose(page, kTasksStyleCombo, c.chooseStyle);
      Click(page, kTaskCompletedMessageBox);
      Click(page, kTasksAllCategoriesBox);
    }, {IDOK});
    EXPECT_EQ(subject, c.shownSubject);
    EXPECT_EQ(subjectItems, 3);
    EXPECT_EQ(firstItem, L"Whole subject");
    EXPECT_EQ(style, c.shownStyle);
    EXPECT_EQ(message, c.message != 0);
    EXPECT_EQ(all, c.allCategories != kMissing && c.allCategories != 0);
    EXPECT_EQ(StoredPattern(), c.writtenPattern);
    EXPECT_EQ(Stored(L"Tasks_ShowTasksStyle"), c.writtenStyle);
    EXPECT_EQ(Stored(L"Task_DisplayComplMsg"), c.message != 0 ? 0u : 1u);
    EXPECT_EQ(Stored(L"ShowTasksInAllCategories"), all ? 0u : 1u);
  }
}

TEST_F(TasksPagesTest, CommonPageCancelWritesNothing) {
  StorePattern(L"p3nqrsc");
  RunPage(kTasksSection, 0, [&](HWND page) {
    Choose(page, kTaskSubjectCombo, 0);
    Choose(page, kTasksStyleCombo, 3);
    Click(page, kTaskCompletedMessageBox);
  }, {IDCANCEL});
  EXPECT_EQ(StoredPattern(), L"p3nqrsc");
  EXPECT_NE(Stored(L"Tasks_ShowTasksStyle"), 3u);
  EXPECT_NE(Stored(L"Task_DisplayComplMsg"), 0u);
}

// Both pages offer the pattern number: the one chosen last is stored, whichever page
// it was chosen on and whichever page applies last, and each page shows it on coming up.
TEST_F(TasksPagesTest, TheLastChoiceOfEitherPageIsStored) {
  struct Case {
    const char* name;
    const wchar_t* stored;
    int firstPage, firstItem;    // a choice on the first page (-1: none)
    int secondPage, secondItem;  // then on the second
    int shownOnSecond;           // the second page's item for the number before its choice
    const wchar_t* written;
  };
  const Case cases[] = {
      // View-style items are number - 1; common items 0, 1, 2 are numbers 1, 3, 2.
      {"view then common", L"p3nqrsc", 1, 1, 0, 0, 2, L"p1nqrsc"},
      {"common then view", L"p3nqrsc", 0, 2, 1, 2, 1, L"p3nqrsc"},
      {"view only, common visited", L"p3nqrsc", 1, 0, 0, -1, 0, L"p1nqrsc"},
      {"common only, view visited", L"p1nq", 0, 1, 1, -1, 2, L"p3nq"},
      // Opening the view-style page holds 3 back as 2; the common page still sees 3.
      {"nothing chosen", L"p3nqrsc", 1, -1, 0, -1, 1, L"p3nqrsc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    StorePattern(c.stored);
    int shown = -2;
    RunPage(kTasksSection, c.firstPage, [&](HWND page) {
      const int firstCombo = c.firstPage == 0 ? kTaskSubjectCombo : kTaskLineModeCombo;
      const int secondCombo = c.secondPage == 0 ? kTaskSubjectCombo : kTaskLineModeCombo;
      if (c.firstItem >= 0) Choose(page, firstCombo, c.firstItem);
      ShowPage(page, c.secondPage);
      HWND second = Current(page);
      shown = Selection(second, secondCombo);
      if (c.secondItem >= 0) Choose(second, secondCombo, c.secondItem);
    }, {IDOK});
    EXPECT_EQ(shown, c.shownOnSecond);
    EXPECT_EQ(StoredPattern(), c.written);
  }
}

TEST_F(TasksPagesTest, ViewStylePageHoldsBackThreeAndLeavesTheIndentOfOneLineAlone) {
  struct Case {
    const char* name;
    const wchar_t* pattern;
    DWORD indent, checkBox;
    int choose;  // item of 1013, -1: none
    int shown;
    bool indentEnabled;
    int recordWhileRunning;
    const wchar_t* written;
    DWORD writtenIndent, writtenCheckBox;  // after clicking both boxes
  };
  const Case cases[] = {
      {"three", L"p3nqrsc", 1, 1, -1, 2, true, 2, L"p3nqrsc", 0, 0},
      {"two", L"p2nq", 0, 0, -1, 1, true, 2, L"p2nq", 1, 1},
      // Number 1: the indent box is off limits and its stored value stays.
      {"one", L"1n", 0, 1, -1, 0, false, 1, L"1n", 0, 0},
      {"one chosen", L"p2", 1, 1, 0, 1, true, 1, L"p1", 1, 0},
      {"three chosen", L"p1", 0, 1, 2, 0, false, 2, L"p3", 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    StorePattern(c.pattern);
    Store(L"Task_MakeDateIndent", c.indent);
    Store(L"Task_ShowCheckbox", c.checkBox);
    int shown = -2, record = -2;
    bool enabledAtStart = false;
    RunPage(kTasksSection, 1, [&](HWND page) {
      shown = Selection(page, kTaskLineModeCombo);
      enabledAtStart = Enabled(page, kTaskDateIndentBox);
      if (c.choose >= 0) Choose(page, kTaskLineModeCombo, c.choose);
      Click(page, kTaskDateIndentBox);
      Click(page, kTaskCheckBoxBox);
      record = GetViewSettings().TaskPattern.count;
    }, {IDOK});
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(enabledAtStart, c.indentEnabled);
    EXPECT_EQ(record, c.recordWhileRunning);
    EXPECT_EQ(StoredPattern(), c.written);
    EXPECT_EQ(Stored(L"Task_MakeDateIndent"), c.writtenIndent);
    EXPECT_EQ(Stored(L"Task_ShowCheckbox"), c.writtenCheckBox);
  }
}

TEST_F(TasksPagesTest, ViewStyleCancelReloadsTheRecord) {
  StorePattern(L"p3nqrsc");
  RunPage(kTasksSection, 1, [&](HWND page) {
    Choose(page, kTaskLineModeCombo, 0);
    Click(page, kTaskCheckBoxBox);
  }, {IDCANCEL});
  EXPECT_EQ(StoredPattern(), L"p3nqrsc");
  EXPECT_EQ(GetViewSettings().TaskPattern.count, 3);
  EXPECT_EQ(GetViewSettings().Task_ShowCheckbox, 1);
}

TEST_F(TasksPagesTest, IconsPageKeepsTheTaskLettersInListOrder) {
  struct Case {
    const char* name;
    const wchar_t* stored;
    int shownLeading;
    int chooseLeading;  // -1: none
    const wchar_t* written;
  };
  const Case cases[] = {
      {"default", nullptr, 2, -1, L"p3nqrsc"},
      {"no leading icon", L"2sq", 0, -1, L"2qs"},
      // A leading icon is no trailing icon, even where the pattern had it there.
      {"leading s", L"p3nqrsc", 2, 5, L"s3nqrc"},
      {"leading removed", L"p3nqrsc", 2, 0, L"3nqrsc"},
      {"unknown letters dropped", L"x1ab", 0, -1, L"1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    StorePattern(c.stored);
    int leading = -2, items = 0;
    RunPage(kTasksSection, 2, [&](HWND page) {
      leading = Selection(page, kLeadingIconCombo);
      items = ItemCount(page, kLeadingIconCombo);
      if (c.chooseLeading >= 0) Choose(page, kLeadingIconCombo, c.chooseLeading);
    }, {IDOK});
    EXPECT_EQ(leading, c.shownLeading);
    EXPECT_EQ(items, 7);
    EXPECT_EQ(StoredPattern(), c.written);
  }
}

// The icons page applies after the view-style page and saves the same record: the
// number held back while the view-style page ran is what it stores.
TEST_F(TasksPagesTest, NumberThreeSurvivesThePagesThatApplyAfterTheViewStylePage) {
  StorePattern(L"p3nqrsc");
  int heldBack = -1;
  RunPage(kTasksSection, 1, [&](HWND page) {
    heldBack = GetViewSettings().TaskPattern.count;
    ShowPage(page, 2);
  }, {IDOK});
  EXPECT_EQ(heldBack, 2);
  EXPECT_EQ(StoredPattern(), L"p3nqrsc");
}

}  // namespace
