#include "settings/pages/MessagesCommonPage.h"

#include <gtest/gtest.h>

#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

using MessagesCommonPageTest = PageRunTest;

struct Shown {
  int sorting = -2, oneTap = -2, counter = -2;
  bool boxes[5] = {};
  int counts[3] = {};
};

const int kBoxes[5] = {kSetAsReadPreviewBox, kCalendarEmailsBox, kConfirmDeletionBox, kOnlyUnreadBox,
                       kShowEmptyAccountsBox};

Shown ReadPage(HWND page) {
  Shown shown;
  shown.sorting = GetComboSelection(page, kEmailSortingCombo);
  shown.oneTap = GetComboSelection(page, kEmailsOneTapCombo);
  shown.counter = GetComboSelection(page, kEmailCounterCombo);
  for (int i = 0; i < 5; ++i) shown.boxes[i] = IsDlgButtonChecked(page, kBoxes[i]) == BST_CHECKED;
  const int combos[3] = {kEmailSortingCombo, kEmailsOneTapCombo, kEmailCounterCombo};
  for (int i = 0; i < 3; ++i)
    shown.counts[i] = static_cast<int>(SendDlgItemMessageW(page, combos[i], CB_GETCOUNT, 0, 0));
  return shown;
}

TEST_F(MessagesCommonPageTest, EmptyKeyShowsTheDefaultsAndOkWritesThemAll) {
  Product().Delete();
  Shown shown;
  RunPage(5, 0, [&](HWND page) { shown = ReadPage(page); }, {IDOK});
  EXPECT_EQ(shown.counts[0], 4);
  EXPECT_GE(shown.counts[1], 3);
  EXPECT_GE(shown.counts[2], 3);
  EXPECT_EQ(shown.sorting, 0);
  EXPECT_EQ(shown.oneTap, 2);
  EXPECT_EQ(shown.counter, 0);
  const bool expected[5] = {true, true, true, false, false};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(shown.boxes[i], expected[i]) << kBoxes[i];
  EXPECT_EQ(Stored(L"EmailSorting"), 0u);
  EXPECT_EQ(Stored(L"EmailsOneTap"), 2u);
  EXPECT_EQ(Stored(L"Messages_SetAsReadedPreview"), 1u);
  // The calendar box stores the value the plug-in and the calendar show page use.
  EXPECT_EQ(Stored(L"CalendarShowEmails"), 1u);
  EXPECT_EQ(Stored(L"Calendar_ShowEmails"), 0xDEADu);
  EXPECT_EQ(Stored(L"EmailCounterStyle"), 0u);
  EXPECT_EQ(Stored(L"EmailConfirmDeletion"), 1u);
  EXPECT_EQ(Stored(L"EmailsOnlyUnreaded"), 0u);
  EXPECT_EQ(Stored(L"EmailShowEmptyAccounts"), 0u);
}

TEST_F(MessagesCommonPageTest, StoredValuesShowAndTheUsersChangesAreWritten) {
  struct Case {
    const char* name;
    int button;
    DWORD sorting, oneTap, counter, preview, calendar, confirm, unread, empty;  // written
  };
  const Case cases[] = {
      {"ok", IDOK, 1, 0, 1, 1, 1, 1, 1, 1},
      {"cancel keeps what was stored", IDCANCEL, 3, 1, 2, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"EmailSorting", 3);
    Store(L"EmailsOneTap", 1);
    Store(L"EmailCounterStyle", 2);
    Store(L"Messages_SetAsReadedPreview", 0);
    Store(L"CalendarShowEmails", 0);
    Store(L"EmailConfirmDeletion", 0);
    Store(L"EmailsOnlyUnreaded", 0);
    Store(L"EmailShowEmptyAccounts", 0);
    Shown shown;
    RunPage(
        5, 0,
        [&](HWND page) {
          shown = ReadPage(page);
          Choose(page, kEmailSortingCombo, 1);
          Choose(page, kEmailsOneTapCombo, 0);
          Choose(page, kEmailCounterCombo, 1);
          for (int box : kBoxes) Click(page, box);
        },
        {c.button});
    EXPECT_EQ(shown.sorting, 3);
    EXPECT_EQ(shown.oneTap, 1);
    EXPECT_EQ(shown.counter, 2);
    for (bool ticked : shown.boxes) EXPECT_FALSE(ticked);
    EXPECT_EQ(Stored(L"EmailSorting"), c.sorting);
    EXPECT_EQ(Stored(L"EmailsOneTap"), c.oneTap);
    EXPECT_EQ(Stored(L"EmailCounterStyle"), c.counter);
    EXPECT_EQ(Stored(L"Messages_SetAsReadedPreview"), c.preview);
    EXPECT_EQ(Stored(L"CalendarShowEmails"), c.calendar);
    EXPECT_EQ(Stored(L"EmailConfirmDeletion"), c.confirm);
    EXPECT_EQ(Stored(L"EmailsOnlyUnreaded"), c.unread);
    EXPECT_EQ(Stored(L"EmailShowEmptyAccounts"), c.empty);
  }
}

}  // namespace
