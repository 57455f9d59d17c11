#include "settings/pages/GroupStylePage.h"

#include <gtest/gtest.h>

#include "settings/pages/tests/PageRunner.h"

namespace {

using GroupStylePageTest = PageRunTest;

struct Stripe {
  DWORD style, counter, noNull, icon;
};

TEST_F(GroupStylePageTest, StripeSettingsRoundTripThroughTheSheet) {
  struct Case {
    const char* name;
    Stripe stored;
    int chooseStyle;  // item, -1: leave alone
    bool clickCounter, clickNoNull, clickIcon;
    int button;
    int shownStyle;
    bool counter, noNull, icon;
    Stripe written;
  };
  const Case cases[] = {
      {"style 3 is the third item", {3, 1, 1, 1}, -1, false, false, false, IDOK, 2, true, true, true, {3, 1, 1, 1}},
      {"first item stores 1", {3, 1, 0, 1}, 0, false, false, false, IDOK, 2, true, false, true, {1, 1, 0, 1}},
      {"boxes switched", {2, 1, 1, 0}, -1, true, true, true, IDOK, 1, true, true, false, {2, 0, 0, 1}},
      // A style the box has no item for shows nothing and is kept.
      {"unknown style kept", {9, 0, 0, 0}, -1, false, false, false, IDOK, -1, false, false, false, {9, 0, 0, 0}},
      {"cancel keeps the stored values", {2, 1, 1, 1}, 2, true, false, true, IDCANCEL, 1, true, true, true,
       {2, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"FoldingStripeStyle", c.stored.style);
    Store(L"FoldingStripeDrawCounter", c.stored.counter);
    Store(L"FoldingStripeDontShowNull", c.stored.noNull);
    Store(L"FoldingStripeShowCollapseIcon", c.stored.icon);
    int style = -2, items = 0;
    bool counter = false, noNull = false, icon = false;
    int liveStyle = -1;
    RunPage(
        0, 2,
        [&](HWND page) {
          style = Selection(page, kStripeStyleCombo);
          items = ItemCount(page, kStripeStyleCombo);
          counter = Ticked(page, kStripeCounterBox);
          noNull = Ticked(page, kStripeNoNullBox);
          icon = Ticked(page, kStripeCollapseIconBox);
          if (c.chooseStyle >= 0) Choose(page, kStripeStyleCombo, c.chooseStyle);
          if (c.clickCounter) Click(page, kStripeCounterBox);
          if (c.clickNoNull) Click(page, kStripeNoNullBox);
          if (c.clickIcon) Click(page, kStripeCollapseIconBox);
          // The record follows the page at once, for the lists drawn meanwhile.
          liveStyle = GetViewSettings().FoldingStripeStyle;
        },
        {c.button});
    EXPECT_EQ(items, 3);
    EXPECT_EQ(style, c.shownStyle);
    EXPECT_EQ(counter, c.counter);
    EXPECT_EQ(noNull, c.noNull);
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(liveStyle, c.chooseStyle >= 0 ? c.chooseStyle + 1 : static_cast<int>(c.stored.style));
    EXPECT_EQ(Stored(L"FoldingStripeStyle"), c.written.style);
    EXPECT_EQ(Stored(L"FoldingStripeDrawCounter"), c.written.counter);
    EXPECT_EQ(Stored(L"FoldingStripeDontShowNull"), c.written.noNull);
    EXPECT_EQ(Stored(L"FoldingStripeShowCollapseIcon"), c.written.icon);
    // Cancelling reads the record back from the registry.
    EXPECT_EQ(GetViewSettings().FoldingStripeStyle, static_cast<int>(c.written.style));
  }
}

}  // namespace
