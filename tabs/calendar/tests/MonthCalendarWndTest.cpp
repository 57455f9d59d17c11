// The month calendar popup driven as the user and the item-operations program
// would: replies by WM_COPYDATA (refused unless whole), taps and drags on the
// grid, the day menu answered through the menu seam, keys and the year editor.
#include <gtest/gtest.h>

#include "platform/aygshell/aygshell.h"
#include "platform/tests/ByteMutator.h"
#include "tabs/calendar/MonthCalendarWnd.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"

namespace {

using caltest::CFakeMonthData;
using caltest::CPeriodRecorder;
using caltest::Date;
using caltest::Variant;
using ctltest::PumpPending;

class MonthCalendarWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    SetScreenDpi(96, 96);
  }
  void TearDown() override { CTimeSpanBar::FreeStatusBrushes(); }
  BOOL Open(UINT mode, double date) {
    return popup.Create(host.m_hWnd, POINT{0, 0}, &listener, mode, date);
  }
  LRESULT Mouse(UINT message, POINT at) {
    return SendMessageW(popup.m_hWnd, message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
  }
  void Drag(int fromCell, int toCell) {
    Mouse(WM_LBUTTONDOWN, popup.CellCenter(fromCell));
    Mouse(WM_MOUSEMOVE, popup.CellCenter(toCell));
    Mouse(WM_LBUTTONUP, popup.CellCenter(toCell));
  }

  CLocalMachineSandbox machine{L"MonthCalendarWndTest"};
  CResourceLibraryScope resources;
  ctltest::CTestHost host{240, 320};
  CFakeMonthData data;
  CPeriodRecorder listener;
  CMonthCalendarWnd popup;
};

TEST_F(MonthCalendarWndTest, OpeningShowsTheDateSelectedAndAsksForThreeMonths) {
  ASSERT_TRUE(Open(0, Variant(2024, 3, 14)));
  EXPECT_EQ(popup.GetGrid().GetMonth(), 3);
  EXPECT_EQ(popup.GetGrid().GetYear(), 2024);
  EXPECT_EQ(data.cancels, 1);
  ASSERT_EQ(data.requests.size(), 1u);
  EXPECT_EQ(data.requests[0].wMonth, 3);
  EXPECT_EQ(data.replyWindow, popup.m_hWnd);
  const int cell = popup.GetGrid().FindDay(static_cast<LONG>(Variant(2024, 3, 14)));
  EXPECT_EQ(popup.GetSelectionFirst(), cell);
  EXPECT_EQ(popup.GetSelectionLast(), cell);
  RECT window;
  GetWindowRect(popup.m_hWnd, &window);
  EXPECT_EQ(window.right - window.left, 219);
  EXPECT_EQ(window.bottom - window.top, 185);
  wchar_t name[64] = L"";
  GetClassNameW(popup.m_hWnd, name, 64);
  EXPECT_STREQ(name, L"QelTarvoCalendarWindow_1.0");
  EXPECT_FALSE(Open(0, Variant(2024, 3, 14)));  // already open
}

TEST_F(MonthCalendarWndTest, RepliesAreTakenOnlyWholeAndNeverReplaceARecord) {
  ASSERT_TRUE(Open(0, Variant(2024, 2, 10)));
  CMonthReply reply;
  reply.SetSlot(4 * 48 + 20, TRUE, 2);  // Feb 5th, 10:00
  std::vector<BYTE> bytes(CMonthReply::kSize + 64);
  memcpy(bytes.data(), &reply.GetLayout(), CMonthReply::kSize);
  struct Case {
    const char* name;
    ULONG_PTR key;
    DWORD size;
  } refused[] = {
      {"short", CMonthReply::MakeKey(2024, 2), CMonthReply::kSize - 1},
      {"oversized", CMonthReply::MakeKey(2024, 2), CMonthReply::kSize + 64},
      {"empty", CMonthReply::MakeKey(2024, 2), 0},
      {"month 13", CMonthReply::MakeKey(2024, 13), CMonthReply::kSize},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CFakeMonthData::Send(popup.m_hWnd, c.key, bytes.data(), c.size), 0);
    EXPECT_EQ(popup.GetBarCount(), 0);
  }
  EXPECT_EQ(CFakeMonthData::SendReply(popup.m_hWnd, 2024, 2, reply), 1);
  EXPECT_EQ(popup.GetBarCount(), 29);
  const CTimeSpanBar* bar = popup.FindBar(static_cast<LONG>(Variant(2024, 2, 5)));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetLevel(20), 2);
  EXPECT_FALSE(bar->IsMorningEmpty());
  EXPECT_TRUE(bar->IsAfternoonEmpty());

  // A later reply for the same days keeps what they hold; new days are added in order.
  CMonthReply other;
  other.SetSlot(4 * 48 + 30, TRUE, 3);
  EXPECT_EQ(CFakeMonthData::SendReply(popup.m_hWnd, 2024, 2, other), 1);
  EXPECT_EQ(popup.GetBarCount(), 29);
  EXPECT_EQ(popup.FindBar(static_cast<LONG>(Variant(2024, 2, 5)))->GetLevel(30), -1);
  EXPECT_EQ(CFakeMonthData::SendReply(popup.m_hWnd, 2024, 1, other), 1);
  EXPECT_EQ(popup.GetBarCount(), 29 + 31);
  EXPECT_EQ(popup.FindBar(static_cast<LONG>(Variant(2024, 1, 5)))->GetLevel(30), 3);
}

// Any program may send the popup WM_COPYDATA: mutated replies of any size and key
// are taken whole or not at all, and never give a month more bars than days.
TEST_F(MonthCalendarWndTest, FuzzedRepliesLeaveTheBarsSound) {
  ASSERT_TRUE(Open(0, Variant(2024, 2, 10)));
  fixtures::ByteMutator mutator(4111);
  std::vector<BYTE> base(CMonthReply::kSize);
  for (BYTE& b : base) b = static_cast<BYTE>(mutator.Any());
  int taken = 0;
  for (int round = 0; round < 2000; ++round) {
    std::vector<BYTE> bytes = mutator.Mutate(base);
    if (mutator.Below(3) == 0) bytes.resize(mutator.Below(2 * CMonthReply::kSize));
    const ULONG_PTR key = mutator.Below(4) == 0 ? static_cast<ULONG_PTR>(mutator.Any())
                                                : CMonthReply::MakeKey(1990 + static_cast<int>(mutator.Below(60)),
                                                                       static_cast<int>(mutator.Below(14)));
    const LRESULT result =
        CFakeMonthData::Send(popup.m_hWnd, key, bytes.empty() ? nullptr : bytes.data(), static_cast<DWORD>(bytes.size()));
    int year = 0, month = 0;
    const bool valid = bytes.size() == CMonthReply::kSize && CMonthReply::SplitKey(key, &year, &month);
    ASSERT_EQ(result != 0, valid);
    taken += valid;
  }
  EXPECT_GT(taken, 100);
  // Sorted, one bar a day, each from a reply.
  LONG previous = -1;
  int count = 0;
  for (LONG day = CMonthGrid::DayNumber(1990, 1, 1); day < CMonthGrid::DayNumber(2051, 1, 1); ++day) {
    if (const CTimeSpanBar* bar = popup.FindBar(day)) {
      ASSERT_GT(day, previous);
      ASSERT_EQ(bar->GetDay(), day);
      previous = day;
      ++count;
    }
  }
  EXPECT_EQ(count, popup.GetBarCount());
}

TEST_F(MonthCalendarWndTest, DayMenuCommandsReportThePeriodOrStartAnItem) {
  const LONG mar1 = static_cast<LONG>(Variant(2024, 3, 1));
  struct Case {
    const char* name;
    int fromDay, toDay;  // days of March 2024 dragged over
    int command;
    double from, to;  // reported period; 0: none
    int itemKind;     // new item asked for; 0: none
  } cases[] = {
      {"selected days", 5, 7, 1, Variant(2024, 3, 5), Variant(2024, 3, 7), 0},
      // March 2024 starts on a Friday; with a Sunday start the weeks run Sunday to Saturday.
      {"whole weeks", 5, 12, 2, Variant(2024, 3, 3), Variant(2024, 3, 16), 0},
      {"the month", 5, 5, 3, Variant(2024, 3, 1), Variant(2024, 3, 31), 0},
      {"new task", 5, 7, 4, 0, 0, 3},
      {"new appointment over days", 5, 7, 5, 0, 0, 1},
  };
  WCHAR locale[4];
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, locale, 4);
  const bool sundayStart = _wtoi(locale) == 6;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.command == 2 && !sundayStart) continue;
    CMenuAnswer answer(c.command);
    listener.periods.clear();
    data.newItems.clear();
    ASSERT_TRUE(Open(0, Variant(2024, 3, 20)));
    Drag(popup.GetGrid().FindDay(mar1 + c.fromDay - 1), popup.GetGrid().FindDay(mar1 + c.toDay - 1));
    EXPECT_EQ(answer.shown, 1);
    ASSERT_FALSE(answer.items.empty());
    EXPECT_EQ(answer.items[0].id, 1);
    if (c.from) {
      ASSERT_EQ(listener.periods.size(), 1u);
      EXPECT_EQ(listener.periods[0].first, c.from);
      EXPECT_EQ(listener.periods[0].second, c.to);
    } else {
      EXPECT_TRUE(listener.periods.empty());
    }
    if (c.itemKind) {
      ASSERT_EQ(data.newItems.size(), 1u);
      EXPECT_EQ(data.newItems[0].kind, c.itemKind);
      EXPECT_EQ(data.newItems[0].start, mar1 + c.fromDay - 1);
      EXPECT_TRUE(data.newItems[0].hasEnd);
      EXPECT_EQ(data.newItems[0].end, mar1 + c.toDay - 1);
    }
    // Every action closes the popup.
    EXPECT_TRUE(ctltest::PumpUntil([&] { return popup.IsClosed() != FALSE; }));
  }
}

TEST_F(MonthCalendarWndTest, OneDaysAppointmentStartsAtTheNextFullHourWithoutEnd) {
  CMenuAnswer answer(5);
  ASSERT_TRUE(Open(0, Variant(2024, 3, 20)));
  const int cell = popup.GetGrid().FindDay(static_cast<LONG>(Variant(2024, 3, 8)));
  SYSTEMTIME before = {};
  GetLocalTime(&before);
  Drag(cell, cell);
  ASSERT_EQ(data.newItems.size(), 1u);
  const double start = data.newItems[0].start;
  EXPECT_EQ(static_cast<LONG>(start), static_cast<LONG>(Variant(2024, 3, 8)));
  const int hour = static_cast<int>((start - VariantDateFloor(start)) * 24 + 0.5);
  EXPECT_TRUE(hour == before.wHour + 1 || hour == before.wHour + 2) << hour;
  EXPECT_FALSE(data.newItems[0].hasEnd);
}

TEST_F(MonthCalendarWndTest, TheWeekColumnSelectsWholeRowsAndTheMenuNamesThem) {
  CMenuAnswer answer(0);
  ASSERT_TRUE(Open(0, Variant(2024, 3, 20)));
  const RECT& grid = popup.GetGridRect();
  POINT row1 = popup.CellCenter(7), row2 = popup.CellCenter(14);
  row1.x = row2.x = grid.left - 4;
  Mouse(WM_LBUTTONDOWN, row1);
  Mouse(WM_MOUSEMOVE, row2);
  Mouse(WM_LBUTTONUP, row2);
  EXPECT_EQ(popup.GetSelectionFirst(), 7);
  EXPECT_EQ(popup.GetSelectionLast(), 20);
  ASSERT_GE(answer.items.size(), 2u);
  EXPECT_EQ(answer.items[1].text, L"Show These Weeks");
  // One row: this week.
  Mouse(WM_LBUTTONDOWN, row1);
  Mouse(WM_LBUTTONUP, row1);
  EXPECT_EQ(answer.items[1].text, L"Show This Week");
  EXPECT_EQ(answer.items[2].text, L"Show All of " + std::wstring(L"March"));
}

TEST_F(MonthCalendarWndTest, PickerModeReportsATapAtOnceAndTheHeaderButtonMeansNoDate) {
  CMenuAnswer answer(0);
  ASSERT_TRUE(Open(CMonthCalendarWnd::kModePicker | CMonthCalendarWnd::kModeHeaderButton, kNoDate));
  const int cell = popup.GetGrid().FindDay(static_cast<LONG>(GetTodayDate()));
  ASSERT_GE(cell, 0);
  Mouse(WM_LBUTTONDOWN, popup.CellCenter(cell));
  Mouse(WM_LBUTTONUP, popup.CellCenter(cell));
  EXPECT_EQ(answer.shown, 0);
  ASSERT_EQ(listener.periods.size(), 1u);
  EXPECT_EQ(listener.periods[0].first, GetTodayDate());
  EXPECT_TRUE(ctltest::PumpUntil([&] { return popup.IsClosed() != FALSE; }));

  listener.periods.clear();
  ASSERT_TRUE(Open(CMonthCalendarWnd::kModePicker | CMonthCalendarWnd::kModeHeaderButton, kNoDate));
  POINT button = {8, popup.GetMonthNameRect().top + 4};
  Mouse(WM_LBUTTONDOWN, button);
  ASSERT_EQ(listener.periods.size(), 1u);
  EXPECT_EQ(listener.periods[0].first, kNoDate);
  EXPECT_EQ(listener.periods[0].second, kNoDate);
}

TEST_F(MonthCalendarWndTest, ClosingPostsTheRegisteredMessageInItsMode) {
  ctltest::CTestHost owner{240, 320};
  UINT closed = GetPopupClosedMessageId();
  for (UINT mode : {0u, static_cast<UINT>(CMonthCalendarWnd::kModeClosedMessage)}) {
    SCOPED_TRACE(mode);
    CMenuAnswer answer(6);
    CMonthCalendarWnd local;
    ASSERT_TRUE(local.Create(owner.m_hWnd, POINT{0, 0}, &listener, mode, Variant(2024, 3, 20)));
    local.RunMenuCommand(CMonthCalendarWnd::kCmdClose);
    // The close carries the message the popup posts to its owner as it goes.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, local.m_hWnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, mode ? closed : 0u);
    ASSERT_TRUE(ctltest::PumpUntil([&] { return local.IsClosed() != FALSE; }));
  }
}

TEST_F(MonthCalendarWndTest, MonthButtonsTodayAndTheMonthMenuShowOtherMonths) {
  CMenuAnswer answer(0);
  ASSERT_TRUE(Open(0, Variant(2024, 1, 31)));
  EXPECT_TRUE(popup.OnCommand(CMonthCalendarWnd::kCmdPreviousMonth));
  EXPECT_EQ(popup.GetGrid().GetMonth(), 12);
  EXPECT_EQ(popup.GetGrid().GetYear(), 2023);
  EXPECT_TRUE(popup.OnCommand(CMonthCalendarWnd::kCmdNextMonth));
  EXPECT_TRUE(popup.OnCommand(CMonthCalendarWnd::kCmdNextMonth));
  EXPECT_EQ(popup.GetGrid().GetMonth(), 2);
  EXPECT_EQ(data.requests.size(), 4u);
  EXPECT_EQ(data.cancels, 4);
  EXPECT_FALSE(popup.OnCommand(4242));

  answer.answer = 7;
  const RECT& month = popup.GetMonthNameRect();
  Mouse(WM_LBUTTONDOWN, POINT{(month.left + month.right) / 2, (month.top + month.bottom) / 2});
  EXPECT_EQ(answer.items.size(), 12u);
  EXPECT_EQ(popup.GetGrid().GetMonth(), 7);
  EXPECT_EQ(popup.GetGrid().GetYear(), 2024);

  EXPECT_TRUE(popup.OnCommand(CMonthCalendarWnd::kCmdToday));
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_EQ(popup.GetGrid().GetMonth(), now.wMonth);
  EXPECT_EQ(popup.GetSelectionFirst(), popup.GetGrid().FindDay(static_cast<LONG>(GetTodayDate())));
}

TEST_F(MonthCalendarWndTest, ArrowsMoveTheFocusAcrossMonths) {
  ASSERT_TRUE(Open(0, Variant(2024, 3, 20)));
  const LONG start = static_cast<LONG>(Variant(2024, 3, 20));
  EXPECT_EQ(popup.GetFocusCell(), popup.GetGrid().FindDay(start));
  SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(popup.GetGrid().GetCellDay(popup.GetFocusCell()), start + 1);
  // Down from the last row shows April with the same weekday in its first rows.
  while (popup.GetFocusCell() < 35) SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
  const LONG day = popup.GetGrid().GetCellDay(popup.GetFocusCell());
  SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(popup.GetGrid().GetMonth(), 4);
  EXPECT_LT(popup.GetFocusCell(), 14);
  EXPECT_EQ(popup.GetGrid().GetCellDay(popup.GetFocusCell()), day + 7);
  // Left from the first cell goes back a month.
  while (popup.GetFocusCell() > 0) SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_LEFT, 0);
  const LONG first = popup.GetGrid().GetCellDay(0);
  SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(popup.GetGrid().GetMonth(), 3);
  EXPECT_EQ(popup.GetGrid().GetCellDay(popup.GetFocusCell()), first - 1);
}

TEST_F(MonthCalendarWndTest, EnterOpensTheLongMenuOrThePickersShortOne) {
  CMenuAnswer answer(0);
  ASSERT_TRUE(Open(0, Variant(2024, 3, 20)));
  SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_EQ(answer.shown, 1);
  EXPECT_EQ(MenuIds(answer.items), (std::vector<int>{1, 2, 3, 0, 4, 5, 1003, 13, 6}));
  popup.RunMenuCommand(CMonthCalendarWnd::kCmdClose);
  ASSERT_TRUE(ctltest::PumpUntil([&] { return popup.IsClosed() != FALSE; }));

  ASSERT_TRUE(Open(CMonthCalendarWnd::kModePicker, Variant(2024, 3, 20)));
  SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(MenuIds(answer.items), (std::vector<int>{1, 7, 1003, 6}));
}

TEST_F(MonthCalendarWndTest, TheYearEditorShowsATypedYearInRange) {
  ASSERT_TRUE(Open(0, Variant(2024, 3, 20)));
  struct Case {
    const wchar_t* typed;
    int year;
  } cases[] = {{L"2031", 2031}, {L"1800", 2031}, {L"3000", 2031}, {L"2031", 2031}, {L"1999", 1999}, {L"", 1999}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.year);
    const RECT& year = popup.GetYearRect();
    Mouse(WM_LBUTTONDOWN, POINT{year.left + 6, (year.top + year.bottom) / 2});
    ASSERT_TRUE(popup.IsYearEditorOpen());
    HWND edit = popup.GetYearEditor();
    SetWindowTextW(edit, c.typed);
    SendMessageW(popup.m_hWnd, WM_COMMAND, MAKEWPARAM(0, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
    EXPECT_FALSE(popup.IsYearEditorOpen());
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(popup.GetGrid().GetYear(), c.year);
    EXPECT_EQ(popup.GetGrid().GetMonth(), 3);
  }
}

TEST_F(MonthCalendarWndTest, TapAndHoldOpensTheDayMenuAtThePoint) {
  CMenuAnswer answer(1);
  ASSERT_TRUE(Open(0, Variant(2024, 3, 20)));
  const int cell = popup.GetGrid().FindDay(static_cast<LONG>(Variant(2024, 3, 11)));
  NMRGINFO info = {};
  info.hdr.hwndFrom = popup.m_hWnd;
  info.hdr.code = GN_CONTEXTMENU;
  info.ptAction = popup.CellCenter(cell);
  ClientToScreen(popup.m_hWnd, &info.ptAction);
  SendMessageW(popup.m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  ASSERT_EQ(listener.periods.size(), 1u);
  EXPECT_EQ(listener.periods[0].first, Variant(2024, 3, 11));
}

}  // namespace
