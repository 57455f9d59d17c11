#include "settings/shell/ChoiceTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/shell/tests/ShellTestSupport.h"

namespace {


struct CCombo {
  CCombo() {
    window = CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
  }
  ~CCombo() { DestroyWindow(window); }
  std::vector<std::pair<std::wstring, LRESULT>> Items() const {
    std::vector<std::pair<std::wstring, LRESULT>> items;
    const LRESULT count = SendMessageW(window, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      WCHAR text[128] = L"";
      SendMessageW(window, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      items.emplace_back(text, SendMessageW(window, CB_GETITEMDATA, i, 0));
    }
    return items;
  }
  HWND window;
};

TEST(ChoiceTableTest, IdTablesFillInOrderAndLookUpByValue) {
  CProductResources resources;
  const IdChoice table[] = {{7, 171}, {-3, 72}, {7, 173}, {0, -1}, {9, 172}};
  CCombo combo;
  FillComboFromTable(table, combo.window);
  using Items = std::vector<std::pair<std::wstring, LRESULT>>;
  EXPECT_EQ(combo.Items(), (Items{{L"Calendar", 7}, {L"Tasks", -3}, {L"Contacts", 7}}));
  EXPECT_EQ(FindTableIndex(table, 7), 0);   // the first pair of the value
  EXPECT_EQ(FindTableIndex(table, -3), 1);
  EXPECT_EQ(FindTableIndex(table, 9), 0);   // past the end: not in the table
  EXPECT_EQ(FindTableIndex(table, 42), 0);
  const IdChoice empty[] = {{5, -1}};
  CCombo none;
  FillComboFromTable(empty, none.window);
  EXPECT_TRUE(none.Items().empty());
  EXPECT_EQ(FindTableIndex(empty, 5), 0);
}

TEST(ChoiceTableTest, TextTablesEndAtTheFirstEmptyText) {
  const TextChoice table[] = {{1, L"Small"}, {4, L"Large"}, {6, L""}, {8, L"Never"}};
  CCombo combo;
  FillComboFromStrings(table, combo.window);
  using Items = std::vector<std::pair<std::wstring, LRESULT>>;
  EXPECT_EQ(combo.Items(), (Items{{L"Small", 1}, {L"Large", 4}}));
  EXPECT_EQ(SelectComboByData(table, 4), 1);
  EXPECT_EQ(SelectComboByData(table, 8), 0);
  const TextChoice firstEmpty[] = {{1, L""}, {2, L"Hidden"}};
  const TextChoice firstNull[] = {{1, nullptr}, {2, L"Hidden"}};
  CCombo a, b;
  FillListFromStrings(firstEmpty, a.window);
  FillComboFromStrings(firstNull, b.window);
  EXPECT_TRUE(a.Items().empty());
  EXPECT_TRUE(b.Items().empty());
}

}  // namespace
