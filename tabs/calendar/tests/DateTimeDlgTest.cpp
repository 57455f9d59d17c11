// The date and time dialog driven through the modal seam: what it shows, how the
// start and end follow each other, all day, days apart, the reminder's count and
// unit (a count that is no number stored as what is shown) and the month popup.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "base/DatePicker.h"
#include "controls/tests/DialogFixtures.h"
#include "tabs/calendar/DateTimeDlg.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"

namespace {

using caltest::Variant;
using dlgtest::RunModal;

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

void Notify(HWND dialog, int id, UINT code) { dlgtest::NotifyPicker(dialog, id, code); }

void PickDate(HWND dialog, int id, double date) {
  DlgSetDatePickerValue(GetDlgItem(dialog, id), date);
  Notify(dialog, id, DTN_DATETIMECHANGE);
}

void PickTime(HWND dialog, int id, int hour, int minute) {
  SYSTEMTIME time = {};
  SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  Notify(dialog, id, DTN_DATETIMECHANGE);
}

double PickerDay(HWND dialog, int id) {
  double date = 0;
  DlgGetDatePickerValue(GetDlgItem(dialog, id), &date);
  return VariantDateFloor(date);
}

int PickerMinutes(HWND dialog, int id) {
  SYSTEMTIME time = {};
  SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  return time.wHour * 60 + time.wMinute;
}

LRESULT Selected(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0); }

bool Near(double a, double b) { return std::fabs(a - b) < 0.5 / 1440; }

class DateTimeDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    SetScreenDpi(96, 96);
  }
  CLocalMachineSandbox machine{L"DateTimeDlgTest"};
  dlgtest::DialogEnvironment env;
};

TEST_F(DateTimeDlgTest, ReminderShowsInTheLargestUnitThatDividesIt) {
  struct Case {
    LONG minutes;
    const wchar_t* count;
    int unit;
    bool on;
  } cases[] = {{2880, L"2", 2, true}, {90, L"90", 0, true}, {10080, L"1", 3, true}, {120, L"2", 1, true},
               {0, L"0", 3, true},    {-1, L"1", 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.minutes);
    CDateTimeDlg dialog;
    dialog.m_start = Variant(2024, 6, 3, 9);
    dialog.m_end = Variant(2024, 6, 3, 10);
    dialog.m_reminderAvailable = TRUE;
    dialog.m_reminder = c.minutes;
    dialog.m_title = L"Dentist";
    RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
      EXPECT_EQ(dlgtest::WindowText(dlg), L"Dentist");
      EXPECT_EQ(dlgtest::WindowText(GetDlgItem(dlg, IDC_DT_REMINDER_COUNT)), c.count);
      EXPECT_EQ(Selected(dlg, IDC_DT_REMINDER_UNIT), c.unit);
      EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_DT_REMINDER_ON) == BST_CHECKED, c.on);
      EXPECT_EQ(Enabled(dlg, IDC_DT_REMINDER_COUNT), c.on);
      EXPECT_EQ(Enabled(dlg, IDC_DT_REMINDER_UNIT), c.on);
      EXPECT_EQ(SendDlgItemMessageW(dlg, IDC_DT_START_HALF, CB_GETCOUNT, 0, 0), 48);
      EXPECT_EQ(Selected(dlg, IDC_DT_START_HALF), 18);
      EXPECT_EQ(Selected(dlg, IDC_DT_END_HALF), 20);
    });
  }
}

TEST_F(DateTimeDlgTest, EnablesFollowAllDayFixedDatesAndReminderAvailability) {
  struct Case {
    BOOL allDay, fixed, available;
    LONG reminder;
  } cases[] = {{FALSE, FALSE, TRUE, 15}, {TRUE, FALSE, TRUE, 15}, {FALSE, TRUE, FALSE, 15}, {FALSE, FALSE, FALSE, -1}};
  for (const Case& c : cases) {
    CDateTimeDlg dialog;
    dialog.m_start = Variant(2024, 6, 3);
    dialog.m_end = Variant(2024, 6, 3);
    dialog.m_allDay = c.allDay;
    dialog.m_datesFixed = c.fixed;
    dialog.m_reminderAvailable = c.available;
    dialog.m_reminder = c.reminder;
    RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
      for (int id : {IDC_DT_START_TIME, IDC_DT_END_TIME, IDC_DT_START_HALF, IDC_DT_END_HALF})
        EXPECT_EQ(Enabled(dlg, id), !c.allDay) << id;
      for (int id : {IDC_DT_START_DATE, IDC_DT_END_DATE}) EXPECT_EQ(Enabled(dlg, id), !c.fixed) << id;
      EXPECT_EQ(Enabled(dlg, IDC_DT_REMINDER_ON), c.available != FALSE);
      EXPECT_EQ(Enabled(dlg, IDC_DT_REMINDER_COUNT), c.available && c.reminder >= 0);
      dlgtest::ClickCheck(dlg, IDC_DT_ALL_DAY, !c.allDay);
      EXPECT_EQ(Enabled(dlg, IDC_DT_START_TIME), c.allDay != FALSE);
    });
  }
}

TEST_F(DateTimeDlgTest, MovingTheStartKeepsTheDurationAndAnEarlierEndPullsTheStart) {
  CDateTimeDlg dialog;
  dialog.m_start = Variant(2024, 6, 3, 9);
  dialog.m_end = Variant(2024, 6, 3, 10, 30);
  const INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    PickDate(dlg, IDC_DT_START_DATE, Variant(2024, 6, 4));
    EXPECT_EQ(PickerDay(dlg, IDC_DT_END_DATE), Variant(2024, 6, 4));
    EXPECT_EQ(PickerMinutes(dlg, IDC_DT_END_TIME), 10 * 60 + 30);
    PickTime(dlg, IDC_DT_START_TIME, 14, 0);
    EXPECT_EQ(PickerMinutes(dlg, IDC_DT_END_TIME), 15 * 60 + 30);
    EXPECT_EQ(Selected(dlg, IDC_DT_END_HALF), 31);
    // The half-hour list moves its picker, which moves the end.
    dlgtest::ChooseComboItem(dlg, IDC_DT_START_HALF, 16);
    EXPECT_EQ(PickerMinutes(dlg, IDC_DT_START_TIME), 8 * 60);
    EXPECT_EQ(PickerMinutes(dlg, IDC_DT_END_TIME), 9 * 60 + 30);
    // An end before the start pulls the start back to it.
    PickDate(dlg, IDC_DT_END_DATE, Variant(2024, 6, 2));
    EXPECT_EQ(PickerDay(dlg, IDC_DT_START_DATE), Variant(2024, 6, 2));
    EXPECT_EQ(PickerMinutes(dlg, IDC_DT_START_TIME), 9 * 60 + 30);
    // The duration is now 0: moving the start again takes the end along.
    PickTime(dlg, IDC_DT_START_TIME, 11, 0);
    EXPECT_EQ(PickerMinutes(dlg, IDC_DT_END_TIME), 11 * 60);
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(Near(dialog.m_start, Variant(2024, 6, 2, 11)));
  EXPECT_TRUE(Near(dialog.m_end, Variant(2024, 6, 2, 11)));
}

TEST_F(DateTimeDlgTest, AllDayOffersTimesAndOkCutsToWholeDaysOverSeveralDays) {
  struct Case {
    double start, end;
    bool sameDay;
  } cases[] = {{Variant(2024, 6, 3), Variant(2024, 6, 3), true}, {Variant(2024, 6, 3), Variant(2024, 6, 5), false}};
  for (const Case& c : cases) {
    CDateTimeDlg dialog;
    dialog.m_start = c.start;
    dialog.m_end = c.end;
    dialog.m_allDay = TRUE;
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    const INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
      const int hour = std::min(now.wHour + 1, 22);
      EXPECT_EQ(PickerMinutes(dlg, IDC_DT_START_TIME) / 60, hour);
      EXPECT_EQ(PickerMinutes(dlg, IDC_DT_END_TIME) / 60, c.sameDay ? hour + 1 : hour);
      EXPECT_EQ(PickerDay(dlg, IDC_DT_END_DATE), VariantDateFloor(c.end));
      dlgtest::Press(dlg, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(dialog.m_allDay);
    EXPECT_EQ(dialog.m_start, VariantDateFloor(c.start));
    EXPECT_EQ(dialog.m_end, VariantDateFloor(c.end));
  }
}

TEST(DateTimeDlgRules, OfferedHourAndTypedCountsStayInRange) {
  const int hours[][2] = {{0, 1}, {8, 9}, {20, 21}, {21, 22}, {22, 22}, {23, 22}};
  for (const auto& h : hours) EXPECT_EQ(CDateTimeDlg::OfferedHour(h[0]), h[1]) << h[0];
  const struct {
    const wchar_t* text;
    int count;
  } counts[] = {{L"3", 3}, {L"045", 45}, {L"", 1}, {L"0", 1}, {L"abc", 1}, {L"7x", 7}, {nullptr, 1}};
  for (const auto& c : counts) EXPECT_EQ(CDateTimeDlg::ClampCount(c.text), c.count);
  SYSTEMTIME time = {};
  for (int index : {0, 1, 17, 47}) {
    CDateTimeDlg::HalfHourTime(index, &time);
    EXPECT_EQ(CDateTimeDlg::HalfHourIndex(time), index);
  }
  CDateTimeDlg::HalfHourTime(60, &time);
  EXPECT_EQ(CDateTimeDlg::HalfHourIndex(time), 47);
}

TEST_F(DateTimeDlgTest, MultiDayTimesComeBackAsShown) {
  CDateTimeDlg dialog;
  dialog.m_start = Variant(2024, 6, 3, 22);
  dialog.m_end = Variant(2024, 6, 5, 7, 30);
  const INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    EXPECT_EQ(PickerDay(dlg, IDC_DT_END_DATE), Variant(2024, 6, 5));
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(Near(dialog.m_start, Variant(2024, 6, 3, 22)));
  EXPECT_TRUE(Near(dialog.m_end, Variant(2024, 6, 5, 7, 30)));
  EXPECT_FALSE(dialog.m_allDay);
  EXPECT_EQ(dialog.m_reminder, -1);
}

TEST_F(DateTimeDlgTest, ReminderEditsAreStoredAsShown) {
  struct Case {
    const char* name;
    LONG initial;
    bool check;
    int unit;              // -1: leave
    const wchar_t* typed;  // null: leave
    LONG stored;
    const wchar_t* shown;
  } cases[] = {
      {"hours typed", 15, true, 1, L"3", 180, L"3"},
      {"weeks from the list", 15, true, 3, nullptr, 15 * 10080, L"15"},
      {"a count that is no number is 1", 15, true, 0, L"x", 1, L"1"},
      {"an empty count is 1", 60, true, 2, L"", 1440, L"1"},
      {"zero is 1", 60, true, -1, L"0", 60, L"1"},
      {"switched off", 15, false, -1, nullptr, -1, nullptr},
      {"switched on", -1, true, -1, nullptr, 1, L"1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDateTimeDlg dialog;
    dialog.m_start = Variant(2024, 6, 3, 9);
    dialog.m_end = Variant(2024, 6, 3, 10);
    dialog.m_reminderAvailable = TRUE;
    dialog.m_reminder = c.initial;
    std::wstring shownAfter;
    const INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
      dlgtest::ClickCheck(dlg, IDC_DT_REMINDER_ON, c.check);
      if (c.unit >= 0) dlgtest::ChooseComboItem(dlg, IDC_DT_REMINDER_UNIT, c.unit);
      if (c.typed) SetWindowTextW(GetDlgItem(dlg, IDC_DT_REMINDER_COUNT), c.typed);
      dialog.ReadControls();
      shownAfter = dlgtest::WindowText(GetDlgItem(dlg, IDC_DT_REMINDER_COUNT));
      dlgtest::Press(dlg, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_reminder, c.stored);
    if (c.shown) {
      EXPECT_EQ(shownAfter, c.shown);
    }
  }
}

TEST_F(DateTimeDlgTest, CancelKeepsTheCallersValues) {
  CDateTimeDlg dialog;
  dialog.m_start = Variant(2024, 6, 3, 9);
  dialog.m_end = Variant(2024, 6, 3, 10);
  dialog.m_reminder = 30;
  dialog.m_reminderAvailable = TRUE;
  const INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    PickDate(dlg, IDC_DT_START_DATE, Variant(2024, 7, 1));
    dlgtest::Press(dlg, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(DateTimeDlgTest, DropDownOpensTheMonthPopupAndItsDayIsTakenButNoDateIsNot) {
  caltest::CFakeMonthData data;
  CDateTimeDlg dialog;
  dialog.m_start = Variant(2024, 6, 3, 9);
  dialog.m_end = Variant(2024, 6, 3, 10);
  RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    Notify(dlg, IDC_DT_END_DATE, DTN_DROPDOWN);
    ASSERT_TRUE(dialog.GetMonthCalendar().IsCreated());
    EXPECT_EQ(dialog.GetMonthCalendar().GetGrid().GetMonth(), 6);
    dialog.OnPeriodChosen(kNoDate, kNoDate);
    EXPECT_EQ(PickerDay(dlg, IDC_DT_END_DATE), Variant(2024, 6, 3));
    dialog.OnPeriodChosen(Variant(2024, 6, 9), Variant(2024, 6, 9));
    EXPECT_EQ(PickerDay(dlg, IDC_DT_END_DATE), Variant(2024, 6, 9));
    EXPECT_EQ(PickerMinutes(dlg, IDC_DT_END_TIME), 10 * 60);
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_FALSE(dialog.GetMonthCalendar().IsCreated());
  EXPECT_TRUE(Near(dialog.m_end, Variant(2024, 6, 9, 10)));
}

}  // namespace
