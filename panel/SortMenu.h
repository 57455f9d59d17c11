// CSortMenu: the group/sort selector in the left half of a list tab's header. Its items
// are the group-by values the tab adds (501, 551 to 561); while one is selected its menu
// also offers the sort orders of that value (letter strings, "SortOrder%dStr" and
// "SortOrder%dActive" under the product key), the Notes sort order, the Special events
// period or the Contacts display.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/VirtualDropDown.h"

// What the owner hears after an order, note order or period change.
const int SORT_CHOSEN_ORDER = 12345;
const int SORT_CMD_ORDER = 5000;  // + order index (Notes order, Special period value)
const int SORT_CMD_CONTACT_DISPLAY = 28672;  // + "ContDisplay"
// FillMenu's position argument as a mode: the items only (appended, no extra entries);
// no items and the extra entries straight in the given menu instead of a submenu (the
// second form for the Special events period too).
const int SORT_MENU_ITEMS_ONLY = 4096;
const int SORT_MENU_IN_PLACE = static_cast<int>(0x80001000);
const int SORT_MENU_IN_PLACE_SPECIAL = static_cast<int>(0x80002000);

class CSortMenu : public CVirtualDropDown {
 public:
  // kind: the filter kinds (0 Tasks, 1 Calendar, 2 Contacts, 3 Notes, 5 Special events).
  explicit CSortMenu(int kind);
  ~CSortMenu() override;

  // When off, the category key is taken out of every order.
  void SetCategoryKey(BOOL on) { m_categoryKey = on; }

  static int GetActiveOrder(int groupBy);
  static void SetActiveOrder(int groupBy, int index);
  // The stored orders of the group-by value, its default written back when missing.
  static CString GetOrders(int groupBy);
  // The letters of the active order of the selected group-by value; empty when none
  // is selected or the index is out of range.
  CString GetActiveOrderText();
  static int GetNoteSortOrder();
  static void SetNoteSortOrder(int order);

  // The orders as the menu offers them: split at ",", the category key removed when it
  // is off, and an order other than the active one blanked when it equals the active
  // one or a later one (so each order is offered once, at its last place).
  static void BuildOrderEntries(LPCWSTR orders, int active, BOOL categoryKey, std::vector<CString>& out);
  // The letters' texts joined by ", ".
  static CString OrderText(LPCWSTR letters);

  void FillMenuExtra(HMENU menu, int position) override;
  int OnItemChosen(int commandId) override;

 private:
  // The selected group-by value, or 0 when the selection is none of them.
  int SelectedGroupBy() const;

  int m_kind;
  BOOL m_categoryKey;
};
