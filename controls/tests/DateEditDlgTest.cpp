// The date and reminder dialog driven as the user would: pickers, the half-hour
// list, the check box and the month popup (a fake in place of the calendar's).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "base/DatePicker.h"
#include "base/DateTime.h"
#include "controls/DateEditDlg.h"
#include "controls/MonthPopup.h"
#include "controls/tests/DialogFixtures.h"

namespace {

using dlgtest::RunModal;

const double kDue = 45000;  // 2023-03-15
const double N = kNoDate;

void Notify(HWND dialog, int id, UINT code) { dlgtest::NotifyPicker(dialog, id, code); }

// The user picks a date in picker id (N empties it).
void PickDate(HWND dialog, int id, double date) {
  DlgSetDatePickerValue(GetDlgItem(dialog, id), date);
  Notify(dialog, id, DTN_DATETIMECHANGE);
}

double PickerDate(HWND dialog, int id) {
  double date = -1;
  DlgGetDatePickerValue(GetDlgItem(dialog, id), &date);
  return date == N ? N : VariantDateFloor(date);
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// Minutes past midnight of a date, rounded.
int MinuteOfDay(double date) { return static_cast<int>(std::lround((date - VariantDateFloor(date)) * 1440)); }

class FakeMonthPopup : public IMonthPopup {
 public:
  BOOL Open(HWND owner, const RECT& place, IDatePeriodListener* listener, UINT mode, double date) override {
    ++opened;
    this->owner = owner;
    this->mode = mode;
    this->date = date;
    this->place = place;
    if (listener) listener->OnPeriodChosen(answer, answer);
    return TRUE;
  }
  double answer = N;
  int opened = 0;
  HWND owner = nullptr;
  UINT mode = 0;
  double date = 0;
  RECT place{};
};

class DateEditDlgTest : public ::testing::Test {
 protected:
  void TearDown() override { SetMonthPopup(nullptr); }
  dlgtest::DialogEnvironment env;
};

TEST(DateEditTimePicture, SecondsAreRemovedWithTheirSeparator) {
  struct Case {
    const wchar_t* picture;
    BOOL has;
    const wchar_t* result;
  } cases[] = {
      {L"h:mm:ss tt", TRUE, L"h:mm tt"}, {L"HH:mm:ss", TRUE, L"HH:mm"}, {L"H.mm.s", TRUE, L"H.mm"},
      {L"ss", TRUE, L""},                {L"tt h:mm", FALSE, L""},      {L"HH'h'mm:SS", TRUE, L"HH'h'mm"},
  };
  for (const Case& c : cases) {
    CString out = L"junk";
    EXPECT_EQ(CDateEditDlg::RemoveSeconds(c.picture, out), c.has) << c.picture;
    EXPECT_STREQ(out, c.result) << c.picture;
  }
}

TEST_F(DateEditDlgTest, TickingRemindsOnTheDueDayAtTheTimeShown) {
  CDateEditDlg dialog(L"Task dates", FALSE, N, N, kDue);
  bool stayedDisabled = false;
  INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    EXPECT_EQ(dlgtest::WindowText(dlg), L"Task dates");
    dlgtest::ExpectOwnerDisabledThroughErase(dlg, env.Owner(), stayedDisabled);
    EXPECT_EQ(SendDlgItemMessageW(dlg, IDC_HALF_HOURS, CB_GETCOUNT, 0, 0), 48);
    EXPECT_EQ(SendDlgItemMessageW(dlg, IDC_HALF_HOURS, CB_GETCURSEL, 0, 0), 16) << "08:00 without a reminder";
    EXPECT_TRUE(Enabled(dlg, IDC_REMINDER_ON));
    EXPECT_FALSE(Enabled(dlg, IDC_REMINDER_DATE));
    EXPECT_FALSE(Enabled(dlg, IDC_HALF_HOURS));
    EXPECT_EQ(PickerDate(dlg, IDC_START_DATE), N);
    EXPECT_EQ(PickerDate(dlg, IDC_DUE_DATE), kDue);
    dlgtest::ClickCheck(dlg, IDC_REMINDER_ON, TRUE);
    EXPECT_TRUE(Enabled(dlg, IDC_REMINDER_DATE));
    EXPECT_TRUE(Enabled(dlg, IDC_REMINDER_TIME));
    EXPECT_TRUE(Enabled(dlg, IDC_HALF_HOURS));
    EXPECT_EQ(PickerDate(dlg, IDC_REMINDER_DATE), kDue);
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(stayedDisabled) << "the owner stays disabled while the dialog runs";
  EXPECT_TRUE(dialog.IsReminderOn());
  EXPECT_EQ(VariantDateFloor(dialog.GetReminder()), kDue);
  EXPECT_EQ(MinuteOfDay(dialog.GetReminder()), 8 * 60);
  EXPECT_EQ(dialog.GetStart(), N);
  EXPECT_EQ(dialog.GetDue(), kDue);
}

TEST_F(DateEditDlgTest, HalfHourListAndTimePickerFollowEachOther) {
  CDateEditDlg dialog(nullptr, TRUE, kDue - 1 + 10.0 / 24, N, kDue);
  RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    HWND times = GetDlgItem(dlg, IDC_HALF_HOURS);
    EXPECT_EQ(SendMessageW(times, CB_GETCURSEL, 0, 0), 20) << "the reminder's 10:00";
    dlgtest::ChooseComboItem(dlg, IDC_HALF_HOURS, 19);
    SYSTEMTIME time = {};
    SendDlgItemMessageW(dlg, IDC_REMINDER_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    EXPECT_EQ(time.wHour, 9);
    EXPECT_EQ(time.wMinute, 30);
    time.wHour = 13;
    time.wMinute = 10;
    SendDlgItemMessageW(dlg, IDC_REMINDER_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    Notify(dlg, IDC_REMINDER_TIME, DTN_DATETIMECHANGE);
    EXPECT_EQ(SendMessageW(times, CB_GETCURSEL, 0, 0), 26);
    // New regional options rebuild the list and keep its selection.
    SendMessageW(dlg, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(SendMessageW(times, CB_GETCOUNT, 0, 0), 48);
    EXPECT_EQ(SendMessageW(times, CB_GETCURSEL, 0, 0), 26);
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(VariantDateFloor(dialog.GetReminder()), kDue - 1);
  EXPECT_EQ(MinuteOfDay(dialog.GetReminder()), 13 * 60 + 10);
}

TEST_F(DateEditDlgTest, DueDateBeforeTheStartDragsTheStart) {
  CDateEditDlg dialog(nullptr, FALSE, N, kDue - 5, kDue);
  RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    PickDate(dlg, IDC_DUE_DATE, kDue - 10);
    EXPECT_EQ(PickerDate(dlg, IDC_START_DATE), kDue - 10);
    PickDate(dlg, IDC_START_DATE, kDue - 8);
    EXPECT_EQ(PickerDate(dlg, IDC_DUE_DATE), kDue - 8) << "the start moves the due date by their distance (0)";
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(dialog.GetStart(), kDue - 8);
  EXPECT_EQ(dialog.GetDue(), kDue - 8);
  EXPECT_FALSE(dialog.IsReminderOn());
  EXPECT_EQ(dialog.GetReminder(), N);
}

TEST_F(DateEditDlgTest, TheMonthPopupCanEmptyTheDates) {
  FakeMonthPopup popup;
  SetMonthPopup(&popup);
  CDateEditDlg dialog(nullptr, FALSE, N, kDue - 5, kDue);
  RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    Notify(dlg, IDC_DUE_DATE, DTN_DROPDOWN);
    EXPECT_EQ(popup.opened, 0) << "the popup opens from the dialog's own queue";
    dlgtest::Pump();
    ASSERT_EQ(popup.opened, 1);
    EXPECT_EQ(popup.owner, dlg);
    EXPECT_EQ(popup.mode, MONTH_POPUP_PICKER | MONTH_POPUP_NO_DATE);
    EXPECT_EQ(VariantDateFloor(popup.date), kDue);
    RECT picker{};
    GetWindowRect(GetDlgItem(dlg, IDC_DUE_DATE), &picker);
    EXPECT_TRUE(EqualRect(&picker, &popup.place));
    EXPECT_EQ(PickerDate(dlg, IDC_DUE_DATE), N);
    EXPECT_EQ(PickerDate(dlg, IDC_START_DATE), N) << "no due date, no start";
    // An empty picker keeps its hands off the keys.
    EXPECT_EQ(SendDlgItemMessageW(dlg, IDC_START_DATE, WM_GETDLGCODE, 0, 0), 0);

    popup.answer = kDue + 3;
    Notify(dlg, IDC_START_DATE, DTN_DROPDOWN);
    dlgtest::Pump();
    EXPECT_EQ(PickerDate(dlg, IDC_START_DATE), kDue + 3);
    EXPECT_EQ(PickerDate(dlg, IDC_DUE_DATE), kDue + 3) << "a start without a due date gives the due date";
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(dialog.GetStart(), kDue + 3);
  EXPECT_EQ(dialog.GetDue(), kDue + 3);
}

TEST_F(DateEditDlgTest, AnEmptiedReminderStaysOnItsReferenceDay) {
  FakeMonthPopup popup;
  SetMonthPopup(&popup);
  CDateEditDlg dialog(nullptr, TRUE, kDue - 2 + 9.0 / 24, N, kDue);
  RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    EXPECT_EQ(PickerDate(dlg, IDC_REMINDER_DATE), kDue - 2);
    Notify(dlg, IDC_REMINDER_DATE, DTN_DROPDOWN);
    dlgtest::Pump();
    EXPECT_EQ(popup.mode, static_cast<UINT>(MONTH_POPUP_PICKER)) << "no \"no date\" button for the reminder";
    EXPECT_EQ(PickerDate(dlg, IDC_REMINDER_DATE), kDue);
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_TRUE(dialog.IsReminderOn());
  EXPECT_EQ(VariantDateFloor(dialog.GetReminder()), kDue) << "never after the due day";
  EXPECT_EQ(MinuteOfDay(dialog.GetReminder()), 9 * 60);
}

TEST_F(DateEditDlgTest, CancelKeepsTheDates) {
  CDateEditDlg dialog(nullptr, FALSE, N, kDue - 5, kDue);
  INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    PickDate(dlg, IDC_DUE_DATE, kDue - 10);
    dlgtest::Press(dlg, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(dialog.GetStart(), kDue - 5);
  EXPECT_EQ(dialog.GetDue(), kDue);
}

}  // namespace
