// The reminder interval: minutes to count and unit and back, through the dialog.
#include <windows.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "controls/ValueEntryDlg.h"
#include "controls/tests/DialogFixtures.h"

namespace {

using dlgtest::RunModal;

TEST(ValueEntry, MinutesShowInTheLargestUnitThatDividesThem) {
  struct Case {
    int minutes, count, unit;
  } cases[] = {
      {2880, 2, CValueEntryDlg::kDays},   {90, 90, CValueEntryDlg::kMinutes}, {10080, 1, CValueEntryDlg::kWeeks},
      {0, 0, CValueEntryDlg::kWeeks},     {120, 2, CValueEntryDlg::kHours},   {20160, 2, CValueEntryDlg::kWeeks},
      {1, 1, CValueEntryDlg::kMinutes},   {-1, 1, CValueEntryDlg::kMinutes},  {-500, 1, CValueEntryDlg::kMinutes},
  };
  for (const Case& c : cases) {
    int count = -7, unit = -7;
    CValueEntryDlg::SplitMinutes(c.minutes, count, unit);
    EXPECT_EQ(count, c.count) << c.minutes;
    EXPECT_EQ(unit, c.unit) << c.minutes;
    if (c.minutes >= 0) {
      EXPECT_EQ(CValueEntryDlg::JoinMinutes(count, unit), c.minutes) << "and back";
    }
  }
}

TEST(ValueEntry, CountsBecomeMinutesWithoutEverMeaningNone) {
  EXPECT_EQ(CValueEntryDlg::JoinMinutes(7, CValueEntryDlg::kHours), 420);
  EXPECT_EQ(CValueEntryDlg::JoinMinutes(0, CValueEntryDlg::kDays), 0);
  EXPECT_EQ(CValueEntryDlg::JoinMinutes(999, CValueEntryDlg::kWeeks), 999 * 10080);
  EXPECT_GE(CValueEntryDlg::JoinMinutes(INT_MAX, CValueEntryDlg::kWeeks), 0) << "no overflow into a negative";
  EXPECT_EQ(CValueEntryDlg::JoinMinutes(-1, CValueEntryDlg::kMinutes), 0);
  EXPECT_EQ(CValueEntryDlg::JoinMinutes(3, 9), 0);
  struct Case {
    const wchar_t* text;
    int count;
  } texts[] = {{L"15", 15}, {L"abc", 0}, {L"", 0}, {L"7x", 7}, {L"007", 7}, {L"99999999999999", 0}};
  for (const Case& c : texts) {
    const int count = CValueEntryDlg::ParseCount(c.text);
    if (c.count) {
      EXPECT_EQ(count, c.count) << c.text;
    } else {
      EXPECT_GE(count, 0) << c.text;
    }
  }
  EXPECT_EQ(CValueEntryDlg::ParseCount(nullptr), 0);
}

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

struct Outcome {
  INT_PTR result;
  int value;
};

class ValueEntryDlgTest : public ::testing::Test {
 protected:
  Outcome RunDialog(int minutes, const dlgtest::Script& script) {
    CValueEntryDlg dialog(L"Remind", minutes);
    INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, script);
    return {result, dialog.GetValue()};
  }
  dlgtest::DialogEnvironment env;
};

TEST_F(ValueEntryDlgTest, OpensOnTheValueAndGivesItBack) {
  struct Case {
    int minutes;
    bool ticked;
    const wchar_t* count;
    int unit;
    int afterOK;
  } cases[] = {
      {2880, true, L"2", 2, 2880}, {90, true, L"90", 0, 90}, {10080, true, L"1", 3, 10080},
      {0, true, L"0", 3, 0},       {-1, false, L"1", 0, -1},
  };
  for (const Case& c : cases) {
    Outcome run = RunDialog(c.minutes, [&](HWND dlg) {
      EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_VALUE_ON) == BST_CHECKED, c.ticked) << c.minutes;
      EXPECT_EQ(dlgtest::WindowText(Item(dlg, IDC_VALUE_COUNT)), c.count) << c.minutes;
      EXPECT_EQ(SendDlgItemMessageW(dlg, IDC_VALUE_UNIT, CB_GETCURSEL, 0, 0), c.unit) << c.minutes;
      EXPECT_EQ(IsWindowEnabled(Item(dlg, IDC_VALUE_COUNT)) != FALSE, c.ticked) << c.minutes;
      EXPECT_EQ(IsWindowEnabled(Item(dlg, IDC_VALUE_UNIT)) != FALSE, c.ticked) << c.minutes;
      dlgtest::Press(dlg, IDOK);
    });
    EXPECT_EQ(run.result, IDOK);
    EXPECT_EQ(run.value, c.afterOK) << c.minutes;
  }
}

TEST_F(ValueEntryDlgTest, UnitListsAndTheTypedCount) {
  bool stayedDisabled = false;
  Outcome run = RunDialog(30, [&](HWND dlg) {
    dlgtest::ExpectOwnerDisabledThroughErase(dlg, env.Owner(), stayedDisabled);
    HWND units = Item(dlg, IDC_VALUE_UNIT);
    ASSERT_EQ(SendMessageW(units, CB_GETCOUNT, 0, 0), 4);
    wchar_t text[64] = L"";
    SendMessageW(units, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"days") << "unit 2 is text 142";
    HWND counts = Item(dlg, IDC_VALUE_COUNT);
    EXPECT_EQ(SendMessageW(counts, CB_GETCOUNT, 0, 0), 7) << "1, 5, 10, 15, 20, 30, 45 minutes";
    EXPECT_EQ(SendMessageW(counts, CB_GETITEMDATA, 6, 0), 45);
    SetWindowTextW(counts, L"7");
    dlgtest::ChooseComboItem(dlg, IDC_VALUE_UNIT, CValueEntryDlg::kHours);
    EXPECT_EQ(SendMessageW(counts, CB_GETCOUNT, 0, 0), 6) << "1 to 6 of the other units";
    EXPECT_EQ(SendMessageW(counts, CB_GETITEMDATA, 5, 0), 6);
    EXPECT_EQ(dlgtest::WindowText(counts), L"7") << "the typed count stays";
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_TRUE(stayedDisabled);
  EXPECT_EQ(run.value, 420);

  run = RunDialog(60, [&](HWND dlg) {
    SetWindowTextW(Item(dlg, IDC_VALUE_COUNT), L"0");
    dlgtest::ChooseComboItem(dlg, IDC_VALUE_UNIT, CValueEntryDlg::kDays);
    EXPECT_EQ(dlgtest::WindowText(Item(dlg, IDC_VALUE_COUNT)), L"0");
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(run.value, 0) << "a count of 0 stays 0";

  run = RunDialog(60, [&](HWND dlg) {
    SetWindowTextW(Item(dlg, IDC_VALUE_COUNT), L"ab");
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(run.value, 0) << "a count that is no number";
}

TEST_F(ValueEntryDlgTest, TheCheckBoxSwitchesTheReminder) {
  Outcome run = RunDialog(2880, [&](HWND dlg) {
    dlgtest::ClickCheck(dlg, IDC_VALUE_ON, FALSE);
    EXPECT_FALSE(IsWindowEnabled(Item(dlg, IDC_VALUE_COUNT)));
    EXPECT_FALSE(IsWindowEnabled(Item(dlg, IDC_VALUE_UNIT)));
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(run.value, -1) << "switched off is none, whatever the count";

  run = RunDialog(-1, [&](HWND dlg) {
    dlgtest::ClickCheck(dlg, IDC_VALUE_ON, TRUE);
    EXPECT_TRUE(IsWindowEnabled(Item(dlg, IDC_VALUE_COUNT)));
    SetWindowTextW(Item(dlg, IDC_VALUE_COUNT), L"15");
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(run.value, 15);

  run = RunDialog(2880, [&](HWND dlg) { dlgtest::Press(dlg, IDCANCEL); });
  EXPECT_EQ(run.result, IDCANCEL);
  EXPECT_EQ(run.value, 2880) << "Cancel changes nothing";
}

}  // namespace
