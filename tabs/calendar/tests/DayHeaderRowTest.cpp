// The day header of the Calendar's day list: its title under the today and offset
// settings, its key, and taps on the time-span bar reported as a row event.
#include "tabs/calendar/DayHeaderRow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "res/TarvoResIds.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"

namespace {

using COwner = caltest::CRowOwner;

const double kToday = 47539;  // 2030-02-25


std::wstring LongDate(double day) {
  SYSTEMTIME parts = {};
  VariantDateToSystemTime(day, &parts);
  CString text;
  FormatLongDate(text, parts);
  return std::wstring(text);
}
std::wstring Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return std::wstring(text);
}

class DayHeaderRowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    SetScreenDpi(96, 96);
    GetViewSettings().Load();
  }
  void TearDown() override { GetViewSettings().Load(); }
  CLocalMachineSandbox machine{L"DayHeaderRowTest"};
  CResourceLibraryScope resources;
};

TEST_F(DayHeaderRowTest, TitlesNameTodayAndTomorrowAndMarkTheOffset) {
  struct {
    int today, offset;
    double day;
    std::wstring expected;
  } cases[] = {
      {1, 1, kToday, Text(IDS_DAY_TODAY) + L", " + LongDate(kToday)},
      {1, 1, kToday + 1, Text(IDS_DAY_TOMORROW) + L", " + LongDate(kToday + 1)},
      {1, 1, kToday + 3, L"[+3] " + LongDate(kToday + 3)},
      {1, 2, kToday - 2, LongDate(kToday - 2) + L" [-2]"},
      {0, 1, kToday, L"[0] " + LongDate(kToday)},
      {0, 0, kToday + 1, LongDate(kToday + 1)},
  };
  for (const auto& c : cases) {
    GetViewSettings().AppGroup_Today = c.today;
    GetViewSettings().AppGroup_Offset = c.offset;
    EXPECT_EQ(std::wstring(CDayHeaderRow::MakeTitle(c.day + 0.4, kToday)), c.expected) << c.today << c.offset;
  }
  COwner owner;
  CDayHeaderRow header(&owner, kToday + 3.7, kToday);
  EXPECT_EQ(header.GetDay(), kToday + 3);
  EXPECT_EQ(header.GetKind(), 557);
  CString key;
  header.GetKey(key);
  EXPECT_EQ(std::wstring(key), std::to_wstring(static_cast<int>(kToday + 3)));
}

TEST_F(DayHeaderRowTest, ATapOnTheSpanBarIsRowEvent768) {
  GetViewSettings().AppGroup_Span = 1;
  COwner owner;
  CDayHeaderRow header(&owner, kToday, kToday);
  header.SetSize(240, 240, 0, TRUE);
  RECT bar = header.GetHeaderIconRect(1);
  ASSERT_FALSE(IsRectEmpty(&bar));
  EXPECT_EQ(bar.right - bar.left, header.GetSpanBar().GetSlotCount());
  RECT icon = header.GetHeaderIconRect(0);
  EXPECT_TRUE(IsRectEmpty(&icon));  // no forecast item: no icon
  bar = header.GetHeaderIconRect(1);
  POINT on = {(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2};
  EXPECT_TRUE(header.OnPress(&on));
  EXPECT_EQ(owner.notified, (std::vector<int>{768}));
  // Without the bar the place is the header's own.
  GetViewSettings().AppGroup_Span = 0;
  RECT none = header.GetHeaderIconRect(1);
  EXPECT_TRUE(IsRectEmpty(&none));
}

}  // namespace
