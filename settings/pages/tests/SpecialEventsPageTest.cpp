#include "settings/pages/SpecialEventsPage.h"

#include <gtest/gtest.h>

#include "pim/SystemUtils.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

using SpecialEventsPageTest = PageRunTest;

TEST_F(SpecialEventsPageTest, ValuesRoundTripThroughTheSheet) {
  struct Case {
    const char* name;
    DWORD birthdays, transactions, period, names;  // stored; 0xDEAD: none
    int clickBirthdays;
    int choosePeriod, chooseNames;  // -1: leave alone
    int button;
    // shown
    bool birthdaysTicked, transactionsTicked;
    int periodItem, namesItem;
    // written
    DWORD wBirthdays, wTransactions, wPeriod, wNames;
  };
  // Without the money program's library the transactions box defaults to off.
  const DWORD noLibrary = IsPellamPresent() ? 1 : 0;
  const Case cases[] = {
      {"defaults", 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0, -1, -1, IDOK, true, noLibrary != 0, 3, 0, 1, noLibrary, 0, 0},
      // Period 0 is the fourth item; the table's order is not the values' order.
      {"period 0 and 2", 1, 1, 0, 2, 0, -1, -1, IDOK, true, true, 3, 2, 1, 1, 0, 2},
      {"period 6 chosen", 1, 0, 0, 0, 1, 6, 1, IDOK, true, false, 3, 0, 0, 0, 6, 1},
      {"period 1 is the first item", 0, 0, 1, 1, 0, 2, -1, IDOK, false, false, 0, 1, 0, 0, 3, 1},
      // A name order the box has no item for shows nothing and is kept; a period
      // beyond the table is read as its default.
      {"unknown values", 1, 1, 9, 5, 0, -1, -1, IDOK, true, true, 3, -1, 1, 1, 0, 5},
      {"cancel", 1, 1, 2, 0, 1, 0, 2, IDCANCEL, true, true, 1, 0, 1, 1, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"SpecialShowBirthdays", c.birthdays);
    Store(L"SpecialShowTransactions", c.transactions);
    Store(L"SpecialPeriod", c.period);
    Store(L"BirthdayDisplay", c.names);
    bool birthdays = false, transactions = false, transactionsEnabled = true;
    int period = -2, names = -2, periods = 0;
    RunPage(
        6, 0,
        [&](HWND page) {
          birthdays = Ticked(page, kShowBirthdaysBox);
          transactions = Ticked(page, kShowTransactionsBox);
          transactionsEnabled = Enabled(page, kShowTransactionsBox);
          period = Selection(page, kSpecialPeriodCombo);
          names = Selection(page, kBirthdayDisplayCombo);
          periods = ItemCount(page, kSpecialPeriodCombo);
          if (c.clickBirthdays) Click(page, kShowBirthdaysBox);
          if (c.choosePeriod >= 0) Choose(page, kSpecialPeriodCombo, c.choosePeriod);
          if (c.chooseNames >= 0) Choose(page, kBirthdayDisplayCombo, c.chooseNames);
        },
        {c.button});
    EXPECT_EQ(birthdays, c.birthdaysTicked);
    EXPECT_EQ(transactions, c.transactionsTicked);
    EXPECT_EQ(transactionsEnabled, IsPellamPresent() != FALSE);
    EXPECT_EQ(periods, 7);
    EXPECT_EQ(period, c.periodItem);
    EXPECT_EQ(names, c.namesItem);
    EXPECT_EQ(Stored(L"SpecialShowBirthdays"), c.wBirthdays);
    EXPECT_EQ(Stored(L"SpecialShowTransactions"), c.wTransactions);
    EXPECT_EQ(Stored(L"SpecialPeriod"), c.wPeriod);
    EXPECT_EQ(Stored(L"BirthdayDisplay"), c.wNames);
    // The record holds what is stored: applied, or read back on cancel.
    EXPECT_EQ(static_cast<DWORD>(GetViewSettings().SpecialPeriod), c.wPeriod);
  }
}

}  // namespace
