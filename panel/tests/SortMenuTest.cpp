// The group/sort selector: the orders it offers and what a choice stores.
#include "panel/SortMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "panel/tests/PanelTestSupport.h"
#include "panel/TabFilterSet.h"

namespace {

std::wstring Joined(const std::vector<CString>& entries) {
  std::wstring text;
  for (const CString& e : entries) text += std::wstring(e) + L"|";
  return text;
}

struct Listener : IDropDownListener {
  void OnSelectionChanged(CVirtualDropDown*, int) override {}
  void OnItemChosen(int command) override { chosen.push_back(command); }
  std::vector<int> chosen;
};

}  // namespace

TEST(SortMenu, OrdersWithoutTheCategoryKeyAreOfferedOnce) {
  struct Case {
    const wchar_t* orders;
    int active;
    BOOL categoryKey;
    const wchar_t* entries;
  };
  const Case cases[] = {
      {L"CIS,CDIS,CIDS,ICS,DICS,S,DS", 5, FALSE, L"||IDS|IS|DIS|S|DS|"},
      {L"CIS,CDIS,CIDS,ICS,DICS,S,DS", 0, FALSE, L"IS||IDS||DIS|S|DS|"},  // the active copy stays
      {L"CIS,CDIS,CIDS,ICS,DICS,S,DS", 5, TRUE, L"CIS|CDIS|CIDS|ICS|DICS|S|DS|"},
      {L"CS,CDS,S", 0, FALSE, L"S|DS||"},  // the later copy of the active order goes
      {L"CS,CDS,S", 1, FALSE, L"|DS|S|"},
      {L"S", 3, FALSE, L"S|"},
      {L"", 0, TRUE, L"|"},
  };
  for (const Case& c : cases) {
    std::vector<CString> entries;
    CSortMenu::BuildOrderEntries(c.orders, c.active, c.categoryKey, entries);
    EXPECT_EQ(Joined(entries), c.entries) << c.orders << " active " << c.active;
  }
}

TEST(SortMenu, ChoicesStoreTheOrderAndTellTheOwner) {
  CLocalMachineSandbox machine(L"SortMenu");
  CResourceLibraryScope resources;
  const CRegistryView product = machine.Key(L"Software\\Korvel\\Qel Tarvo");
  EXPECT_EQ(std::wstring(CSortMenu::OrderText(L"CdSx")), L"Category, -Date, Subject, ???");

  CSortMenu menu(FILTER_KIND_TASKS);
  Listener listener;
  menu.SetOwner(&listener);
  menu.AddItem(CMenuEntry(551, L"Category"));
  menu.AddItem(CMenuEntry(7, L"Something else"));
  menu.SetSelection(551, FALSE);
  menu.SetCategoryKey(FALSE);
  std::wstring stored;
  EXPECT_EQ(std::wstring(menu.GetActiveOrderText()), L"IS");
  EXPECT_TRUE(product.ReadString(L"SortOrder551Str", stored));
  EXPECT_EQ(stored, L"CIS,CDIS,CIDS,ICS,DICS,S,DS") << "the default written back";

  HMENU popup = CreatePopupMenu();
  menu.FillMenuExtra(popup, 0);
  ASSERT_EQ(GetMenuItemCount(popup), 2);
  HMENU orders = GetSubMenu(popup, 1);
  ASSERT_NE(orders, nullptr);
  EXPECT_EQ(GetMenuItemCount(orders), 5);
  EXPECT_EQ(GetMenuItemID(orders, 0), 5000u);
  EXPECT_EQ(GetMenuState(orders, 5000, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
  EXPECT_EQ(GetMenuState(orders, 5003, MF_BYCOMMAND), 0xFFFFFFFFu) << "the later IS is blanked";
  DestroyMenu(popup);

  EXPECT_EQ(menu.OnItemChosen(5000), -2) << "the active order again";
  EXPECT_TRUE(listener.chosen.empty());
  EXPECT_EQ(menu.OnItemChosen(5006), 5006);
  EXPECT_EQ(Number(product, L"SortOrder551Active"), 6u);
  EXPECT_EQ(listener.chosen, (std::vector<int>{SORT_CHOSEN_ORDER}));
  EXPECT_EQ(menu.GetSelectedId(), 551) << "the selection stays";
  EXPECT_EQ(std::wstring(menu.GetActiveOrderText()), L"DS");

  menu.SetSelection(7, FALSE);
  popup = CreatePopupMenu();
  menu.FillMenuExtra(popup, 0);
  EXPECT_EQ(GetMenuItemCount(popup), 0) << "no orders without a group-by value";
  DestroyMenu(popup);
  EXPECT_EQ(std::wstring(menu.GetActiveOrderText()), L"");

  // Notes and Special events keep their own orders.
  CSortMenu notes(FILTER_KIND_NOTES);
  notes.AddItem(CMenuEntry(501, L"Folder"));
  notes.SetSelection(501, FALSE);
  EXPECT_EQ(CSortMenu::GetNoteSortOrder(), 1);
  EXPECT_EQ(notes.OnItemChosen(5001), -2);
  EXPECT_EQ(notes.OnItemChosen(5003), 5003);
  EXPECT_EQ(Number(product, L"NoteSortOrder"), 3u);

  CViewSettings& settings = GetViewSettings();
  const int previousPeriod = settings.SpecialPeriod;
  settings.SpecialPeriod = 9;
  CSortMenu special(FILTER_KIND_SPECIAL);
  special.AddItem(CMenuEntry(501, L"Events"));
  special.SetSelection(501, FALSE);
  popup = CreatePopupMenu();
  special.FillMenuExtra(popup, 0);
  HMENU periods = GetSubMenu(popup, 1);
  ASSERT_NE(periods, nullptr);
  EXPECT_EQ(GetMenuItemCount(periods), 7);
  EXPECT_EQ(GetMenuItemID(periods, 3), 5000u);
  EXPECT_EQ(GetMenuState(periods, 5000, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED)) << "9 shows as 0";
  DestroyMenu(popup);
  EXPECT_EQ(special.OnItemChosen(5004), 5004);
  EXPECT_EQ(settings.SpecialPeriod, 4);
  settings.SpecialPeriod = previousPeriod;
}

// A tab's own menu takes the orders straight in (0x80001000; the Special events period
// also with 0x80002000) or only the group-by items (4096), never a submenu then.
TEST(SortMenu, ModesPutTheEntriesInPlaceOrLeaveThemOut) {
  CLocalMachineSandbox machine(L"SortMenuModes");
  CResourceLibraryScope resources;
  struct Case {
    int kind;
    int mode;
    int items;    // group-by items inserted
    int entries;  // entries after them, straight in the menu
    bool submenu;
  };
  const Case cases[] = {
      {FILTER_KIND_TASKS, 0, 2, 2, true},  // separator and the submenu
      {FILTER_KIND_TASKS, SORT_MENU_ITEMS_ONLY, 2, 0, false},
      {FILTER_KIND_TASKS, SORT_MENU_IN_PLACE, 0, 3, false},  // "CIS,S,DS", no separator first
      {FILTER_KIND_TASKS, SORT_MENU_IN_PLACE_SPECIAL, 0, 2, true},
      {FILTER_KIND_NOTES, SORT_MENU_IN_PLACE, 0, 4, false},
      {FILTER_KIND_SPECIAL, SORT_MENU_IN_PLACE, 0, 7, false},
      {FILTER_KIND_SPECIAL, SORT_MENU_IN_PLACE_SPECIAL, 0, 7, false},
      {FILTER_KIND_CONTACTS, SORT_MENU_ITEMS_ONLY, 2, 0, false},
      {FILTER_KIND_CONTACTS, SORT_MENU_IN_PLACE, 0, 3, false},
  };
  for (const Case& c : cases) {
    CSortMenu menu(c.kind);
    menu.AddItem(CMenuEntry(501, L"None"));
    menu.AddItem(CMenuEntry(551, L"Category"));
    menu.SetSelection(501, FALSE);
    HMENU popup = CreatePopupMenu();
    menu.FillMenu(popup, c.mode);
    const int count = GetMenuItemCount(popup);
    bool submenu = false;
    for (int i = 0; i < count; ++i) submenu = submenu || GetSubMenu(popup, i) != nullptr;
    EXPECT_EQ(count, c.items + c.entries) << c.kind << " mode " << std::hex << c.mode;
    EXPECT_EQ(submenu, c.submenu) << c.kind << " mode " << std::hex << c.mode;
    if (c.mode == SORT_MENU_IN_PLACE && c.kind == FILTER_KIND_TASKS) {
      EXPECT_EQ(GetMenuItemID(popup, 0), 5000u);
      EXPECT_EQ(GetMenuState(popup, 5000, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
    }
    DestroyMenu(popup);
  }
}
