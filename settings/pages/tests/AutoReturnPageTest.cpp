#include "settings/pages/AutoReturnPage.h"

#include <gtest/gtest.h>

#include "settings/pages/tests/PageRunner.h"

namespace {

using AutoReturnPageTest = PageRunTest;

TEST_F(AutoReturnPageTest, StoredChoiceRoundTripsThroughTheSheet) {
  struct Case {
    const char* name;
    DWORD stored;  // 0xDEAD: none
    int choose;    // -1: leave the box alone
    int button;
    int shown;
    DWORD written;
  };
  const Case cases[] = {
      {"none stored: Never, written back", 0xDEAD, -1, IDOK, 0, 0},
      {"Always kept", 2, -1, IDOK, 2, 2},
      {"When active chosen", 0, 1, IDOK, 0, 1},
      // A value the box has no item for shows nothing and is kept.
      {"unknown value kept", 7, -1, IDOK, -1, 7},
      {"unknown value replaced by the user", 7, 0, IDOK, -1, 0},
      {"cancel writes nothing", 1, 2, IDCANCEL, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"AdvancedKeyboardSupport", c.stored);
    int shown = -2, count = 0;
    RunPage(
        0, 6,
        [&](HWND page) {
          shown = Selection(page, kAutoReturnCombo);
          count = ItemCount(page, kAutoReturnCombo);
          if (c.choose >= 0) Choose(page, kAutoReturnCombo, c.choose);
        },
        {c.button});
    EXPECT_EQ(count, 3);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(Stored(L"AdvancedKeyboardSupport"), c.written);
  }
}

TEST_F(AutoReturnPageTest, ItemsAreTheEnglishTextsInValueOrder) {
  std::wstring texts[3];
  RunPage(
      0, 6,
      [&](HWND page) {
        for (int i = 0; i < 3; ++i) texts[i] = ItemText(page, kAutoReturnCombo, i);
      },
      {IDCANCEL});
  EXPECT_EQ(texts[0], L"Never");
  EXPECT_EQ(texts[1], L"When active");
  EXPECT_EQ(texts[2], L"Always");
}

}  // namespace
