// The period selector: its items with the custom period in place, what it keeps
// in the registry, the range picked in the month calendar, and what the owner is told.
#include <gtest/gtest.h>

#include "tabs/calendar/CalendarPeriodSelector.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"

namespace {

using caltest::CFakeMonthData;
using caltest::Variant;

class CNotifyParent : public CVirtualWnd {
 public:
  LRESULT OnChildCommand(CVirtualWnd*, int code, LPARAM) override {
    codes.push_back(code);
    return 0;
  }
  std::vector<int> codes;
};

class CalendarPeriodSelectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    SetScreenDpi(96, 96);
  }
  CRegistryView Product() const { return machine.Key(L"\\Software\\Korvel\\Qel Tarvo"); }
  static std::vector<int> Ids(const CCalendarPeriodSelector& selector) {
    std::vector<int> ids;
    for (int i = 0; i < const_cast<CCalendarPeriodSelector&>(selector).GetCount(); ++i)
      ids.push_back(selector.GetItem(i).id);
    return ids;
  }
  DWORD StoredPeriod() const {
    DWORD value = 0;
    Product().ReadDWORD(L"CalendarPeriod", value);
    return value;
  }

  CLocalMachineSandbox machine{L"CalendarPeriodSelectorTest"};
  CResourceLibraryScope resources;
};

TEST_F(CalendarPeriodSelectorTest, CustomPeriodIsPlacedBySizeOrDropped) {
  struct Case {
    DWORD custom;
    int kept;
    std::vector<int> ids;
  } cases[] = {
      {0, 0, {1401, 1402, 1403, 1405, 1407, 1414, 1431}},
      {7, 0, {1401, 1402, 1403, 1405, 1407, 1414, 1431}},
      {10, 10, {1401, 1402, 1403, 1405, 1407, 998, 1414, 1431}},
      {4, 4, {1401, 1402, 1403, 998, 1405, 1407, 1414, 1431}},
      {6, 6, {1401, 1402, 1403, 1405, 998, 1407, 1414, 1431}},
      {20, 20, {1401, 1402, 1403, 1405, 1407, 1414, 998, 1431}},
      {45, 45, {1401, 1402, 1403, 1405, 1407, 1414, 1431, 998}},
      {2000, 998, {1401, 1402, 1403, 1405, 1407, 1414, 1431, 998}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.custom);
    Product().WriteDWORD(L"CalendarCustomPeriod", c.custom);
    CCalendarPeriodSelector selector;
    EXPECT_EQ(selector.GetCustomPeriod(), c.kept);
    EXPECT_EQ(Ids(selector), c.ids);
    if (c.kept) {
      const int at = selector.FindIndexById(998);
      CString expected;
      expected.Format(L"%d Days", c.kept);
      EXPECT_STREQ(selector.GetItem(at).text, expected);
    }
  }
}

TEST_F(CalendarPeriodSelectorTest, ChoicesSetThePeriodSaveItAndTellTheOwner) {
  Product().WriteDWORD(L"CalendarCustomPeriod", 10);
  CCalendarPeriodSelector selector;
  CNotifyParent parent;
  parent.AddChild(&selector);
  EXPECT_EQ(selector.GetPeriod(), 7);
  EXPECT_EQ(selector.GetSelectedId(), 1407);
  EXPECT_EQ(StoredPeriod(), 7u);
  struct Case {
    int item, period, selected;
  } cases[] = {{1401, 1, 1401}, {1414, 14, 1414}, {998, 10, 998}, {1431, 31, 1431}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    parent.codes.clear();
    EXPECT_EQ(selector.OnItemChosen(c.item), c.item);
    EXPECT_EQ(selector.GetPeriod(), c.period);
    EXPECT_EQ(selector.GetSelectedId(), c.selected);
    EXPECT_EQ(StoredPeriod(), static_cast<DWORD>(c.period));
    EXPECT_EQ(parent.codes, std::vector<int>{CCalendarPeriodSelector::kChangedCode});
  }
  parent.codes.clear();
  EXPECT_FALSE(selector.IsFlatMode());
  selector.OnItemChosen(889);
  EXPECT_TRUE(selector.IsFlatMode());
  EXPECT_EQ(parent.codes, std::vector<int>{CCalendarPeriodSelector::kChangedCode});
  // A settings load clears the flat mode.
  selector.LoadSettings();
  EXPECT_FALSE(selector.IsFlatMode());
  EXPECT_EQ(selector.OnSelect(4242), 4242);
  parent.RemoveChild(&selector);
}

TEST_F(CalendarPeriodSelectorTest, RangesFromTheCalendarAreShownButNotStored) {
  CCalendarPeriodSelector selector;
  selector.OnItemChosen(1405);
  ASSERT_EQ(StoredPeriod(), 5u);
  struct Case {
    double from, to;
    bool oneDate;
  } cases[] = {{Variant(2024, 5, 6, 13), Variant(2024, 5, 6, 23), true},
               {Variant(2024, 5, 6), Variant(2024, 5, 12), false}};
  for (const Case& c : cases) {
    selector.OnPeriodChosen(c.from, c.to);
    EXPECT_EQ(selector.GetPeriod(), 999);
    EXPECT_EQ(selector.GetSelectedId(), 999);
    LONG first = 0, last = 0;
    selector.GetRange(&first, &last);
    EXPECT_EQ(first, static_cast<LONG>(c.from));
    EXPECT_EQ(last, static_cast<LONG>(c.to));
    const CString text = selector.GetItem(selector.FindIndexById(999)).text;
    EXPECT_EQ(text.Find(L'-') < 0, c.oneDate) << static_cast<const wchar_t*>(text);
    EXPECT_EQ(StoredPeriod(), 5u);
  }
  // "No date" from the calendar changes nothing.
  selector.OnPeriodChosen(kNoDate, kNoDate);
  EXPECT_EQ(selector.GetPeriod(), 999);
  // A settings load keeps the range shown; choosing a count ends it.
  selector.LoadSettings();
  EXPECT_EQ(selector.GetSelectedId(), 999);
  selector.OnItemChosen(1402);
  EXPECT_EQ(selector.FindIndexById(999), -1);
  EXPECT_EQ(StoredPeriod(), 2u);
}

TEST_F(CalendarPeriodSelectorTest, RangeRunsFromTodayForCounts) {
  CCalendarPeriodSelector selector;
  const LONG today = static_cast<LONG>(GetTodayDate());
  struct Case {
    int item;
    LONG days;
  } cases[] = {{1401, 1}, {1403, 3}, {1431, 31}};
  for (const Case& c : cases) {
    selector.OnItemChosen(c.item);
    LONG first = 0, last = 0;
    selector.GetRange(&first, &last);
    EXPECT_EQ(first, today);
    EXPECT_EQ(last, today + c.days - 1);
  }
}

TEST_F(CalendarPeriodSelectorTest, StoredPeriodsThatNameNoItemFallBackToTheWeek) {
  for (DWORD stored : {0u, 999u, 5000u}) {
    Product().WriteDWORD(L"CalendarPeriod", stored);
    CCalendarPeriodSelector selector;
    EXPECT_EQ(selector.GetPeriod(), 7) << stored;
  }
}

TEST_F(CalendarPeriodSelectorTest, PickDatesOpensTheMonthCalendarWithItsClosingMessage) {
  CFakeMonthData data;
  ctltest::CTestHost host(240, 320);
  CCalendarPeriodSelector selector;
  host.root.AddChild(&selector);
  RECT bounds = {10, 20, 110, 40};
  selector.SetRect(&bounds);
  CMenuAnswer answer(0);
  HMENU menu = CreatePopupMenu();
  selector.FillMenu(menu, 0);
  const int count = GetMenuItemCount(menu);
  EXPECT_EQ(GetMenuItemID(menu, count - 1), 888u);
  DestroyMenu(menu);
  selector.OnItemChosen(888);
  ASSERT_TRUE(selector.GetMonthCalendar().IsCreated());
  RECT window;
  GetWindowRect(selector.GetMonthCalendar().m_hWnd, &window);
  POINT corner = {10, 20};
  ClientToScreen(host.m_hWnd, &corner);
  EXPECT_EQ(window.left, corner.x);
  EXPECT_EQ(window.top, corner.y);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, host.m_hWnd, WM_CAPTURECHANGED, WM_CAPTURECHANGED, PM_REMOVE));
  // The popup's report becomes the range.
  selector.GetMonthCalendar().RunMenuCommand(CMonthCalendarWnd::kCmdReportMonth);
  EXPECT_EQ(selector.GetPeriod(), 999);
  ctltest::PumpUntil([&] { return selector.GetMonthCalendar().IsClosed() != FALSE; });
  host.root.RemoveChild(&selector);
}

}  // namespace
