// The tour's changes as a page sees them: the next item after the stored one, for a
// list whose first items choose nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/tour/TourSteps.h"

namespace {

struct Case {
  const char* what;
  std::vector<const wchar_t*> items;
  const wchar_t* stored;
  bool changed;
  int chosen;  // the selection afterwards
};

TEST(TourChange, NextStoredChoosesTheItemAfterTheStoredOne) {
  const std::vector<const wchar_t*> filters = {L"New filter", L"Deleted Items", L"Inbox", L"Sent Items"};
  const Case cases[] = {
      {"nothing stored", filters, L"", true, 1},
      {"a middle item", filters, L"Deleted Items", true, 2},
      {"the last item: the first that names one", filters, L"Sent Items", true, 1},
      {"an item before those that name one", filters, L"New filter", true, 1},
      {"a name no item has", filters, L"Gone", true, 1},
      {"a name differing in case", filters, L"inbox", true, 1},
      {"the one item that names one is stored", {L"New filter", L"Inbox"}, L"Inbox", false, 0},
      {"no item names one", {L"New filter"}, L"", false, 0},
  };
  const TourStep step = {5, 1, L"filter", TourAction::NextStored, 1038, 1, L"EmailFilter", L'5'};
  for (const Case& c : cases) {
    HWND page = CreateWindowExW(0, L"STATIC", L"page", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(page, nullptr);
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0, 150, 100,
                                 page, reinterpret_cast<HMENU>(1038), nullptr, nullptr);
    ASSERT_NE(combo, nullptr);
    for (const wchar_t* item : c.items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(MakeTourChange(page, step, c.stored), c.changed) << c.what;
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), c.chosen) << c.what;
    // A control the user cannot reach is not changed.
    EnableWindow(combo, FALSE);
    EXPECT_FALSE(MakeTourChange(page, step, c.stored)) << c.what;
    DestroyWindow(page);
  }
}

}  // namespace
