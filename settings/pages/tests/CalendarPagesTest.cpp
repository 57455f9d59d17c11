// The Calendar sheet's common, show, tasks, titles and view-style pages, driven
// through the real sheet over the shipped resource library.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "pim/SystemUtils.h"
#include "settings/pages/CalendarCommonPage.h"
#include "settings/pages/CalendarIconsPage.h"
#include "settings/pages/CalendarShowPage.h"
#include "settings/pages/CalendarTasksPage.h"
#include "settings/pages/CalendarTitlesPage.h"
#include "settings/pages/CalendarViewStylePage.h"
#include "settings/pages/tests/PagesTestSupport.h"
#include "settings/shell/UserPrompt.h"
#include "settings/shell/tests/SheetDriver.h"

namespace {

const DWORD kMissing = 0xDEAD;

int g_boxes = 0;
int CountBox(HWND, LPCWSTR, LPCWSTR caption, UINT) {
  if (std::wstring(caption) == L"Qel Tarvo Options") ++g_boxes;
  return IDOK;
}

int Selection(HWND page, int combo) {
  return static_cast<int>(SendDlgItemMessageW(page, combo, CB_GETCURSEL, 0, 0));
}
int Count(HWND page, int combo) { return static_cast<int>(SendDlgItemMessageW(page, combo, CB_GETCOUNT, 0, 0)); }
bool Ticked(HWND page, int box) { return IsDlgButtonChecked(page, box) == BST_CHECKED; }
bool Enabled(HWND page, int control) { return IsWindowEnabled(GetDlgItem(page, control)) != FALSE; }
void Tick(HWND page, int box, bool on) {
  if (Ticked(page, box) != on) SendDlgItemMessageW(page, box, BM_CLICK, 0, 0);
}
void Choose(HWND page, int combo, int index) {
  SendDlgItemMessageW(page, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, combo)));
}
// The month calendar's answer, as its popup sends it.
void PickDate(HWND page, WORD year, WORD month, WORD day) {
  DatePickedNotify notify = {};
  notify.header.hwndFrom = GetDlgItem(page, kFirstWeekDatePicker);
  notify.header.idFrom = kFirstWeekDatePicker;
  notify.header.code = kDatePickedCode;
  notify.date.wYear = year;
  notify.date.wMonth = month;
  notify.date.wDay = day;
  SendMessageW(page, WM_NOTIFY, kFirstWeekDatePicker, reinterpret_cast<LPARAM>(&notify));
}
DWORD DayNumber(WORD year, WORD month, WORD day) {
  SYSTEMTIME date = {};
  date.wYear = year;
  date.wMonth = month;
  date.wDay = day;
  double variant = 0;
  SystemTimeToVariantTime(&date, &variant);
  return static_cast<DWORD>(variant);
}

class CalendarPagesTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    GetViewSettings().Load();
  }
  DWORD Stored(const wchar_t* name) {
    DWORD value = kMissing;
    m_product.ReadDWORD(name, value);
    return value;
  }
  // The Calendar sheet at a page: the steps run on the page, then the button.
  void RunPage(int page, const std::function<void(HWND page)>& steps, int button = IDOK) {
    CSheetDriver driver({CSheetDriver::SelectPage(page),
                         [&](HWND sheet) { steps(CSheetDriver::CurrentPage(sheet)); }, CSheetDriver::Press(button)});
    Activate(1);
    ASSERT_EQ(driver.Runs(), 1);
  }

  CRegistryView m_product = m_machine.Key(TARVO_PRODUCT_KEY);
};

TEST_F(CalendarPagesTest, CommonPageShowsAndWritesBackItsValues) {
  struct Case {
    const char* name;
    DWORD week, custom, period;  // kMissing: not stored
    int shownWeek, items, shownPeriod;
    DWORD writtenCustom, writtenPeriod;
  };
  const DWORD march = DayNumber(2020, 3, 15);
  const Case cases[] = {
      {"defaults", kMissing, kMissing, kMissing, 0, 5, 4, 949998, 7},
      {"the none value", 2, 949998, 14, 2, 5, 5, 949998, 14},
      {"custom date", 4, march, 3, 4, 6, 2, march, 3},
      // A period the box does not offer selects nothing and is kept, not written as 0.
      {"odd period", 1, kMissing, 10, 1, 5, -1, 949998, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_product.Delete();
    if (c.week != kMissing) m_product.WriteDWORD(L"Calendar_FirstYearWeek", c.week);
    if (c.custom != kMissing) m_product.WriteDWORD(L"Calendar_CustomFirstYearWeek", c.custom);
    if (c.period != kMissing) m_product.WriteDWORD(L"CalendarPeriod", c.period);
    GetViewSettings().Load();
    int week = -2, items = -2, period = -2;
    bool calendarHidden = false, boxes = false;
    RunPage(0, [&](HWND page) {
      week = Selection(page, kFirstWeekCombo);
      items = Count(page, kFirstWeekCombo);
      period = Selection(page, kCalendarPeriodCombo);
      calendarHidden = !IsWindowVisible(GetDlgItem(page, kFirstWeekDatePicker));
      boxes = Ticked(page, kMarkConflictingBox) && Ticked(page, kCollapseButTodayBox);
    });
    EXPECT_EQ(week, c.shownWeek);
    EXPECT_EQ(items, c.items);
    EXPECT_EQ(period, c.shownPeriod);
    EXPECT_TRUE(calendarHidden);
    EXPECT_TRUE(boxes);
    EXPECT_EQ(Stored(L"Calendar_FirstYearWeek"), static_cast<DWORD>(c.shownWeek));
    EXPECT_EQ(Stored(L"Calendar_CustomFirstYearWeek"), c.writtenCustom);
    EXPECT_EQ(Stored(L"CalendarPeriod"), c.writtenPeriod);
  }
}

TEST_F(CalendarPagesTest, CommonPageBoxesReachTheViewSettingsOnApplyOnly) {
  RunPage(0, [&](HWND page) {
    Tick(page, kMarkConflictingBox, false);
    Tick(page, kCollapseButTodayBox, false);
    Choose(page, kCalendarPeriodCombo, 0);
  }, IDCANCEL);
  // Reading wrote the missing period back with its default; the choice is not kept.
  EXPECT_EQ(Stored(L"CalendarPeriod"), 7u);
  EXPECT_EQ(Stored(L"App_MarkConflicting"), 1u);
  RunPage(0, [&](HWND page) {
    Tick(page, kMarkConflictingBox, false);
    Tick(page, kCollapseButTodayBox, false);
    Choose(page, kCalendarPeriodCombo, 0);
  });
  EXPECT_EQ(Stored(L"CalendarPeriod"), 1u);
  CViewSettings read;
  read.Load();
  EXPECT_EQ(read.App_MarkConflicting, 0);
  EXPECT_EQ(read.App_CollapseButToday, 0);
}

TEST_F(CalendarPagesTest, CustomFirstWeekDateComesAndGoesWithTheMonthCalendar) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  int afterMarch = -1, itemsAfterMarch = -1, afterJanuary = -1, itemsAfterJanuary = -1, afterLeaving = -1;
  SYSTEMTIME shown = {};
  bool opened = false;
  RECT calendar = {}, combo = {}, client = {};
  RunPage(0, [&](HWND page) {
    PickDate(page, 2019, 3, 15);
    afterMarch = Selection(page, kFirstWeekCombo);
    itemsAfterMarch = Count(page, kFirstWeekCombo);
    // Choosing the last item opens the calendar at the custom date of this year.
    Choose(page, kFirstWeekCombo, Count(page, kFirstWeekCombo) - 1);
    HWND picker = GetDlgItem(page, kFirstWeekDatePicker);
    opened = IsWindowVisible(picker) != FALSE;
    SendMessageW(picker, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
    GetWindowRect(picker, &calendar);
    GetWindowRect(GetDlgItem(page, kFirstWeekCombo), &combo);
    GetClientRect(page, &client);
    MapWindowPoints(page, nullptr, reinterpret_cast<POINT*>(&client), 2);
    // Left without a choice: back to the custom date's item.
    NMHDR closed = {picker, kFirstWeekDatePicker, kDatePickerClosedCode};
    SendMessageW(page, WM_NOTIFY, kFirstWeekDatePicker, reinterpret_cast<LPARAM>(&closed));
    afterLeaving = Selection(page, kFirstWeekCombo);
  }, IDOK);
  EXPECT_EQ(afterMarch, 4);
  EXPECT_EQ(itemsAfterMarch, 6);
  EXPECT_TRUE(opened);
  EXPECT_EQ(shown.wYear, now.wYear);
  EXPECT_EQ(shown.wMonth, 3);
  EXPECT_EQ(shown.wDay, 15);
  EXPECT_EQ(calendar.right, combo.right);
  EXPECT_LE(calendar.bottom, client.bottom);
  EXPECT_GE(calendar.top, client.top);
  EXPECT_EQ(afterLeaving, 4);
  EXPECT_EQ(Stored(L"Calendar_FirstYearWeek"), 4u);
  EXPECT_EQ(Stored(L"Calendar_CustomFirstYearWeek"), DayNumber(2019, 3, 15));

  RunPage(0, [&](HWND page) {
    PickDate(page, 2021, 1, 1);
    afterJanuary = Selection(page, kFirstWeekCombo);
    itemsAfterJanuary = Count(page, kFirstWeekCombo);
  });
  EXPECT_EQ(afterJanuary, 1);
  EXPECT_EQ(itemsAfterJanuary, 5);
  EXPECT_EQ(Stored(L"Calendar_FirstYearWeek"), 1u);
  EXPECT_EQ(Stored(L"Calendar_CustomFirstYearWeek"), 949998u);
}

TEST_F(CalendarPagesTest, ShowPageRoundTripsAndStacksItsBoxes) {
  const bool pellam = IsPellamPresent() != FALSE;
  struct Case {
    const char* name;
    DWORD stored;  // every value; kMissing: none stored
  };
  const Case cases[] = {{"defaults", kMissing}, {"all off", 0}, {"all on", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_product.Delete();
    if (c.stored != kMissing)
      for (const CalendarShowBox& box : kCalendarShowBoxes) m_product.WriteDWORD(box.value, c.stored);
    bool shown[7] = {};
    bool transactionsEnabled = true;
    RECT places[7] = {};
    RunPage(1, [&](HWND page) {
      for (int i = 0; i < 7; ++i) {
        shown[i] = Ticked(page, kCalendarShowBoxes[i].control);
        GetWindowRect(GetDlgItem(page, kCalendarShowBoxes[i].control), &places[i]);
      }
      transactionsEnabled = Enabled(page, kCalendarTransactionsBox);
    });
    EXPECT_EQ(transactionsEnabled, pellam);
    for (int i = 0; i < 7; ++i) {
      const CalendarShowBox& box = kCalendarShowBoxes[i];
      SCOPED_TRACE(testing::Message() << box.control);
      const bool transactions = box.control == kCalendarTransactionsBox;
      const DWORD expected = c.stored == kMissing ? box.defaultValue : c.stored;
      EXPECT_EQ(shown[i], transactions && !pellam ? false : expected != 0);
      // Without Pellam's library its value is neither read nor written.
      EXPECT_EQ(Stored(box.value), transactions && !pellam ? c.stored : expected);
      if (i > 0) {
        EXPECT_EQ(places[i].left, places[0].left);
        EXPECT_EQ(places[i].top - places[i - 1].top, places[0].bottom - places[0].top + ScaleY(1));
      }
    }
  }
}

TEST_F(CalendarPagesTest, TasksPageRoundTripsAndRestoresTheDependentBoxes) {
  struct Case {
    const char* name;
    DWORD tasks, overdue, completed, undated, multiday;
  };
  const Case cases[] = {
      {"defaults", kMissing, kMissing, kMissing, kMissing, kMissing},
      {"tasks off", 0, 0, 1, 1, 0},
      {"all on", 1, 1, 1, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_product.Delete();
    const std::pair<const wchar_t*, DWORD> values[] = {{L"CalendarShowTasks", c.tasks},
                                                       {L"CalendarShowOverdueTasks", c.overdue},
                                                       {L"CalendarShowCompletedTasks", c.completed},
                                                       {L"CalendarShowUndatedTasks", c.undated},
                                                       {L"App_TaskShowMultiday", c.multiday}};
    for (const auto& value : values)
      if (value.second != kMissing) m_product.WriteDWORD(value.first, value.second);
    GetViewSettings().Load();
    bool dependentsOn = false, dependentsEnabled = false;
    int multiday = -1;
    RunPage(2, [&](HWND page) {
      dependentsEnabled = Enabled(page, kShowOverdueTasksBox) && Enabled(page, kTaskMultidayCombo);
      dependentsOn = Ticked(page, kShowOverdueTasksBox) || Ticked(page, kShowCompletedTasksBox);
      multiday = Selection(page, kTaskMultidayCombo);
    });
    const bool tasks = c.tasks != 0;
    EXPECT_EQ(dependentsEnabled, tasks);
    if (!tasks) {
      EXPECT_FALSE(dependentsOn);
    }
    EXPECT_EQ(multiday, c.multiday == kMissing ? 3 : static_cast<int>(c.multiday));
    const DWORD defaults[] = {1, 1, 0, 0, 3};
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(Stored(values[i].first), values[i].second == kMissing ? defaults[i] : values[i].second)
          << "value " << i;
  }

  // Off and on again: the three boxes come back as they were; while off they are
  // cleared and their stored values kept.
  m_product.Delete();
  bool clearedWhileOff = false, restored = false;
  RunPage(2, [&](HWND page) {
    Tick(page, kShowCompletedTasksBox, true);
    Tick(page, kShowOverdueTasksBox, false);
    Tick(page, kShowTasksBox, false);
    clearedWhileOff = !Ticked(page, kShowCompletedTasksBox) && !Enabled(page, kShowCompletedTasksBox);
    Tick(page, kShowTasksBox, true);
    restored = Ticked(page, kShowCompletedTasksBox) && !Ticked(page, kShowOverdueTasksBox) &&
               Enabled(page, kShowOverdueTasksBox);
    Tick(page, kShowTasksBox, false);
  });
  EXPECT_TRUE(clearedWhileOff);
  EXPECT_TRUE(restored);
  EXPECT_EQ(Stored(L"CalendarShowTasks"), 0u);
  EXPECT_EQ(Stored(L"CalendarShowCompletedTasks"), 1u);
  EXPECT_EQ(Stored(L"CalendarShowOverdueTasks"), 0u);
}

TEST_F(CalendarPagesTest, ViewStylePageChangesWhatTheCalendarReads) {
  struct Case {
    const char* name;
    const wchar_t* pattern;
    DWORD style, statusBar, location, startOnly;
    int lines, styleItem;
  };
  const Case cases[] = {
      {"defaults", nullptr, kMissing, kMissing, kMissing, kMissing, 2, 2},
      {"one line, plain", L"n1rq", 1, 0, 0, 1, 0, 0},
      {"two lines, style 2", L"q2", 2, 1, 1, 0, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_product.Delete();
    if (c.pattern) m_product.WriteString(L"CurAppPattern", c.pattern);
    if (c.style != kMissing) m_product.WriteDWORD(L"App_SubjectStyle", c.style);
    if (c.statusBar != kMissing) m_product.WriteDWORD(L"App_StatusBar", c.statusBar);
    if (c.location != kMissing) m_product.WriteDWORD(L"App_Location", c.location);
    if (c.startOnly != kMissing) m_product.WriteDWORD(L"App_StartOnly", c.startOnly);
    GetViewSettings().Load();
    CViewSettings before;
    before.Load();
    int lines = -1, style = -1, recordStyle = -1;
    RunPage(4, [&](HWND page) {
      lines = Selection(page, kAppLinesCombo);
      style = Selection(page, kSubjectStyleCombo);
      recordStyle = GetViewSettings().App_SubjectStyle;
    });
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(style, c.styleItem);
    // Style 3 is drawn as 2 while the page runs, and stored as 3.
    EXPECT_EQ(recordStyle, c.styleItem == 2 ? 2 : c.styleItem + 1);
    CViewSettings after;
    after.Load();
    EXPECT_EQ(after.GetAppPattern(), before.GetAppPattern());
    EXPECT_EQ(after.App_SubjectStyle, before.App_SubjectStyle);
    EXPECT_EQ(after.App_StatusBar, before.App_StatusBar);
    EXPECT_EQ(after.App_Location, before.App_Location);
    EXPECT_EQ(after.App_StartOnly, before.App_StartOnly);
  }

  // A change: what the Calendar reads from the product key follows on apply, and a
  // cancelled change leaves it and the running record as stored.
  m_product.Delete();
  GetViewSettings().Load();
  const auto change = [](HWND page) {
    Choose(page, kAppLinesCombo, 0);
    Choose(page, kSubjectStyleCombo, 0);
    Tick(page, kAppStatusBarBox, false);
    Tick(page, kAppStartOnlyBox, true);
  };
  RunPage(4, change, IDCANCEL);
  EXPECT_EQ(GetViewSettings().AppPattern.count, 3);
  EXPECT_EQ(GetViewSettings().App_SubjectStyle, 3);
  RunPage(4, change);
  CViewSettings calendar;
  calendar.Load();
  EXPECT_EQ(calendar.GetAppPattern(), CString(L"n1rqsca"));
  EXPECT_EQ(calendar.App_SubjectStyle, 1);
  EXPECT_EQ(calendar.App_StatusBar, 0);
  EXPECT_EQ(calendar.App_StartOnly, 1);
}

TEST_F(CalendarPagesTest, TitlesPageFollowsTheForecastProductsPresence) {
  struct Case {
    const char* name;
    bool installed;
    DWORD build;
    bool boxEnabled;
    DWORD written;  // "AppGroup_Sovel" after ticking the box and applying twice
    int warnings;
  };
  const Case cases[] = {
      // Absent: the box is off and disabled and the stored value stays.
      {"absent", false, 0, false, 0, 0},
      {"old build", true, 300, true, 1, 1},
      {"current build", true, 400, true, 1, 0},
  };
  PFN_MESSAGE_BOX previous = SetMessageBoxHandler(CountBox);
  const CRegistryView sovel = m_machine.Key(L"Software\\Korvel\\Qel Sovel");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_product.Delete();
    sovel.Delete();
    if (c.installed) sovel.WriteDWORD(L"Build", c.build);
    m_product.WriteDWORD(L"AppGroup_Sovel", 0);
    m_product.WriteDWORD(L"AppGroup_Offset", 2);
    GetViewSettings().Load();
    g_boxes = 0;
    bool enabled = true, shownOn = true;
    int offset = -1;
    CSheetDriver driver({CSheetDriver::SelectPage(3),
                         [&](HWND sheet) {
                           HWND page = CSheetDriver::CurrentPage(sheet);
                           enabled = Enabled(page, kSovelForecastBox);
                           shownOn = Ticked(page, kSovelForecastBox);
                           offset = Selection(page, kDayOffsetCombo);
                           CheckDlgButton(page, kSovelForecastBox, BST_CHECKED);
                           Tick(page, kTodayMarkBox, false);
                           Choose(page, kDayOffsetCombo, 1);
                         },
                         CSheetDriver::Press(CSheetDriver::kApply), CSheetDriver::Press(CSheetDriver::kApply),
                         CSheetDriver::Press(IDOK)});
    Activate(1);
    ASSERT_EQ(driver.Runs(), 1);
    EXPECT_EQ(enabled, c.boxEnabled);
    EXPECT_FALSE(shownOn);
    EXPECT_EQ(offset, 2);
    EXPECT_EQ(Stored(L"AppGroup_Sovel"), c.written);
    EXPECT_EQ(Stored(L"AppGroup_Today"), 0u);
    EXPECT_EQ(Stored(L"AppGroup_Offset"), 1u);
    EXPECT_EQ(g_boxes, c.warnings);
  }
  sovel.Delete();
  SetMessageBoxHandler(previous);
}


// The long-date link is a band 36 logical pixels high along the page's bottom, 5 in
// from each side. A turn of the screen (or the page shown again) puts it there again
// when the page is at least 240 logical pixels high; a shorter page leaves it.
TEST_F(CalendarPagesTest, TitlesPageLinkKeepsToThePagesBottom) {
  const auto place = [](HWND page) {
    RECT rect = {};
    GetWindowRect(GetDlgItem(page, kLongDateLink), &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  struct Step {
    const char* name;
    int width, height;  // the page's client size, logical pixels
    bool placed;        // the link along its bottom afterwards; else where it was
  };
  const Step steps[] = {{"tall", 240, 300, true},
                        {"wider", 300, 320, true},
                        {"short", 320, 200, false},
                        {"just tall", 240, 240, true}};
  RunPage(3, [&](HWND page) {
    RECT last = place(page);
    for (const Step& s : steps) {
      SCOPED_TRACE(s.name);
      SizePageClient(page, ScaleX(s.width), ScaleY(s.height));
      RECT client = {};
      GetClientRect(page, &client);
      ASSERT_EQ(client.bottom, ScaleY(s.height));
      SendMessageW(page, WM_SETTINGCHANGE, kScreenResetCode, 0);
      const RECT now = place(page);
      const RECT band = {ScaleX(5), client.bottom - ScaleY(36), client.right - ScaleX(5), client.bottom};
      EXPECT_TRUE(EqualRect(&now, s.placed ? &band : &last))
          << now.left << "," << now.top << "," << now.right << "," << now.bottom;
      last = now;
    }
  }, IDCANCEL);
}

}  // namespace

namespace {

TEST_F(CalendarPagesTest, IconsPageKeepsThePatternsLettersInListOrder) {
  struct Case {
    const char* name;
    const wchar_t* stored;
    int leadingItem;
    const wchar_t* written;
  };
  const Case cases[] = {
      {"default", nullptr, 1, L"n3qrsac"},
      {"no leading icon", L"2sq", 0, L"2qs"},
      // Letters the page has no icon for are dropped; a doubled letter ends unselected.
      {"unknown and doubled", L"Q1xrzrc", 2, L"q1c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_product.Delete();
    if (c.stored) m_product.WriteString(L"CurAppPattern", c.stored);
    GetViewSettings().Load();
    int leading = -1;
    RunPage(5, [&](HWND page) { leading = Selection(page, kLeadingIconCombo); });
    EXPECT_EQ(leading, c.leadingItem);
    CViewSettings calendar;
    calendar.Load();
    EXPECT_EQ(std::wstring(calendar.GetAppPattern()), std::wstring(c.written));
  }

  // No leading icon chosen: the row that carried it is no trailing icon either.
  m_product.Delete();
  GetViewSettings().Load();
  RunPage(5, [&](HWND page) { Choose(page, kLeadingIconCombo, 0); });
  CViewSettings calendar;
  calendar.Load();
  EXPECT_EQ(std::wstring(calendar.GetAppPattern()), std::wstring(L"3qrsac"));
}

// The icons page applies after the view-style page and saves the same record: the
// style held back while the view-style page ran is what it stores.
TEST_F(CalendarPagesTest, StyleThreeSurvivesThePagesThatApplyAfterTheViewStylePage) {
  m_product.Delete();
  GetViewSettings().Load();
  int heldBack = -1;
  CSheetDriver driver({CSheetDriver::SelectPage(4),
                       [&](HWND) { heldBack = GetViewSettings().App_SubjectStyle; },
                       CSheetDriver::SelectPage(5), CSheetDriver::Press(IDOK)});
  Activate(1);
  ASSERT_EQ(driver.Runs(), 1);
  EXPECT_EQ(heldBack, 2);
  EXPECT_EQ(Stored(L"App_SubjectStyle"), 3u);
}

}  // namespace
