// The list tabs' category filters: the value and its stored text, the stored set with
// its recent lists and first run, and the filter selector.
#include "panel/CategoryFilter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/DeviceRoot.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "panel/tests/PanelTestSupport.h"
#include "panel/NoteFolderSource.h"
#include "panel/PanelPrompt.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "panel/TabFilterMenu.h"
#include "panel/TabFilterSet.h"
#include "pim/tests/CategoryFixtures.h"

namespace {

// A device with these categories (record numbers in this order), HKEY_LOCAL_MACHINE
// of its own and the texts of the resource library.
class CategoryDevice {
 public:
  explicit CategoryDevice(std::vector<const wchar_t*> names) : m_mode(false), m_machine(L"TabFilters") {
    pimtest::ClearStores();
    long id = 1;
    for (const wchar_t* name : names) cattest::WriteCategory(false, name, id++);
    list.Open(nullptr);
  }
  ~CategoryDevice() { pimtest::ClearStores(); }
  CRegistryView Filters() const { return m_machine.Key(L"Software\\Korvel\\Qel Tarvo\\Filters"); }
  CRegistryView Product() const { return m_machine.Key(L"Software\\Korvel\\Qel Tarvo"); }
  std::wstring Text(const wchar_t* value) const {
    std::wstring text;
    Filters().ReadString(value, text);
    return text;
  }
  // Stored slots without the first-run seeding.
  void Store(std::vector<std::wstring> slots) const {
    Filters().WriteDWORD(L"FirstTime", 0);
    Filters().WriteDWORD(L"Upb", static_cast<DWORD>(slots.size()));
    for (size_t i = 0; i < slots.size(); ++i) Filters().WriteString(std::to_wstring(i).c_str(), slots[i].c_str());
  }

 private:
  CStoreMode m_mode;
  CLocalMachineSandbox m_machine;
  CResourceLibraryScope m_resources;

 public:
  CCategoriesList list;
};

std::wstring Names(const CCategoriesList& list, const CBitSet& set) {
  return std::wstring(list.BuildNamesText(set));
}

CBitSet Set(std::initializer_list<int> indices) {
  CBitSet set;
  for (int i : indices) set.Set(i);
  return set;
}

}  // namespace

TEST(CategoryFilter, StoredTextReadsBackAsTheSameFilter) {
  CategoryDevice device({L"Home", L"Work", L"Business"});
  struct Case {
    const wchar_t* text;
    const wchar_t* name;
    BOOL noCategory, matchAll, exclude;
    const wchar_t* categories;
    const wchar_t* written;  // the text form written back
  };
  const Case cases[] = {
      {L"Work ;|+Work, Home", L"Work", 0, 0, 0, L"Home, Work", L"Work ;|+Home, Work"},
      {L"Private ;N&+", L"Private", 1, 1, 0, L"", L"Private ;N&+"},
      {L"Out ;N|-Business", L"Out", 1, 0, 1, L"Business", L"Out ;N|-Business"},
      {L"A ;|", L"A", 0, 0, 0, L"", L"A ;|+"},  // fewer than two characters after the ";"
      {L"X ;?+Work", L"X", 0, 0, 0, L"", L"X ;|+"},  // reading stops at an unknown character
      {L"X ;N?+Work", L"X", 1, 0, 0, L"", L"X ;N|+"},
      {L"X ;&*Work", L"X", 0, 1, 0, L"", L"X ;&+"},
      {L"Gone ;|+Moved, Work", L"Gone", 0, 0, 0, L"Work", L"Gone ;|+Work"},  // unknown names drop
      {L"Two words ;|+Home;Business", L"Two words", 0, 0, 0, L"Home, Business", L"Two words ;|+Home, Business"},
      {L";|+Work", L"", 0, 0, 0, L"", L" ;|+"},
      {L"No separator at all", L"", 0, 0, 0, L"", L" ;|+"},
      {L"", L"", 0, 0, 0, L"", L" ;|+"},
  };
  for (const Case& c : cases) {
    CCategoryFilter filter;
    filter.all = TRUE;
    filter.Parse(c.text);
    EXPECT_FALSE(filter.all) << "parsing resets every field";
    EXPECT_EQ(std::wstring(filter.name), c.name) << c.text;
    EXPECT_EQ(filter.noCategory, c.noCategory) << c.text;
    EXPECT_EQ(filter.matchAll, c.matchAll) << c.text;
    EXPECT_EQ(filter.exclude, c.exclude) << c.text;
    EXPECT_EQ(Names(device.list, filter.categories), c.categories) << c.text;
    EXPECT_EQ(std::wstring(filter.Format()), c.written) << c.text;
  }
  CCategoryFilter fresh;
  EXPECT_EQ(std::wstring(fresh.name), L"Filter") << "a new filter carries the default name";
}

TEST(CategoryFilter, MatchesByFlagsAndCategories) {
  // Items: none, only 2, only 5, 2 and 5.
  const CBitSet none, two = Set({2}), five = Set({5}), both = Set({2, 5});
  struct Case {
    const char* what;
    BOOL noCategory, matchAll, exclude;
    std::initializer_list<int> named;
    int count;
    BOOL expect[4];  // none, two, five, both
  };
  const Case cases[] = {
      {"any include", 0, 0, 0, {2}, 8, {0, 1, 0, 1}},
      {"any include with no-category", 1, 0, 0, {2}, 8, {1, 1, 0, 1}},
      {"any exclude", 0, 0, 1, {2}, 8, {1, 0, 1, 0}},
      {"any exclude with no-category", 1, 0, 1, {2}, 8, {0, 0, 1, 0}},
      {"any include, no device categories", 1, 0, 0, {2}, 0, {1, 1, 1, 1}},
      {"any exclude, no device categories", 1, 0, 1, {2}, 0, {0, 0, 0, 0}},
      {"all include", 0, 1, 0, {2, 5}, 8, {0, 0, 0, 1}},
      {"all exclude", 0, 1, 1, {2, 5}, 8, {1, 1, 1, 0}},
      {"all with no-category matches nothing", 1, 1, 0, {}, 8, {0, 0, 0, 0}},
      {"all include, no device categories", 0, 1, 0, {2}, 0, {1, 1, 1, 1}},
      {"all exclude, no device categories", 0, 1, 1, {2}, 0, {0, 0, 0, 0}},
  };
  const CBitSet* items[4] = {&none, &two, &five, &both};
  for (const Case& c : cases) {
    CCategoryFilter filter;
    filter.noCategory = c.noCategory;
    filter.matchAll = c.matchAll;
    filter.exclude = c.exclude;
    for (int i : c.named) filter.categories.Set(i);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(filter.Matches(*items[i], c.count), c.expect[i]) << c.what << " item " << i;
    filter.all = TRUE;
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(filter.Matches(*items[i], c.count)) << "all items";
  }
}

TEST(CategoryFilter, ValiditySingleCategoryAndEquality) {
  struct Case {
    const char* what;
    BOOL all, noCategory, matchAll, exclude;
    std::initializer_list<int> named;
    const wchar_t* name;
    BOOL valid;
    int single;
  };
  const int n = 3;
  const Case cases[] = {
      {"one category", 0, 0, 0, 0, {1}, L"Work", 1, 1},
      {"nothing named", 0, 0, 0, 0, {}, L"Empty", 0, -1},
      {"only no-category", 0, 1, 0, 0, {}, L"Loose", 1, -1},
      {"all of, excluded", 0, 0, 1, 1, {1, 2}, L"Odd", 0, -1},
      {"all of with no-category", 0, 1, 1, 0, {1}, L"Odd", 0, -1},
      {"no name", 0, 0, 0, 0, {1}, L"", 0, 1},
      {"a name with a semicolon", 0, 0, 0, 0, {1}, L"a;b", 0, 1},
      {"excluded single", 0, 0, 0, 1, {1}, L"NotWork", 1, -1},
      {"two categories", 0, 0, 0, 0, {0, 1}, L"Both", 1, -1},
      {"all items, no-category, every category", 1, 1, 0, 0, {0, 1, 2}, L"All", 0, -1},
      {"all items", 1, 0, 0, 0, {}, L"All", 1, -1},
  };
  for (const Case& c : cases) {
    CCategoryFilter filter;
    filter.all = c.all;
    filter.noCategory = c.noCategory;
    filter.matchAll = c.matchAll;
    filter.exclude = c.exclude;
    filter.name = c.name;
    for (int i : c.named) filter.categories.Set(i);
    EXPECT_EQ(filter.IsValid(n), c.valid) << c.what;
    EXPECT_EQ(filter.GetSingleCategory(), c.single) << c.what;
    EXPECT_EQ(filter.IsUnrestricted(), c.all || c.named.size() == 0) << c.what;
    CCategoryFilter copy(filter);
    copy.name = L"Another name";
    EXPECT_TRUE(copy.Equals(filter, n)) << "names do not count";
    copy.categories.Set(7);
    EXPECT_TRUE(copy.Equals(filter, n)) << "a category beyond the device's does not count: " << c.what;
    EXPECT_EQ(copy.Equals(filter, 8), c.all) << c.what;
    copy = filter;
    copy.exclude = !filter.exclude;
    EXPECT_EQ(copy.Equals(filter, n), c.all) << c.what;
  }
}

// Any text another program leaves in a slot parses to a filter whose own text form
// reads back as the same filter.
TEST(CategoryFilter, AnySlotTextGivesAFilterThatRoundTrips) {
  CategoryDevice device({L"Home", L"Work", L"A, B", L"N"});
  std::mt19937 random(31);
  const wchar_t alphabet[] = L" ;,|&+-NWorkHome\x00e9\xd800";
  const int n = device.list.GetCount();
  for (int run = 0; run < 4000; ++run) {
    std::wstring text;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i)
      text += random() % 8 ? alphabet[random() % (sizeof alphabet / sizeof alphabet[0] - 1)]
                           : static_cast<wchar_t>(1 + random() % 0xFFFE);
    CCategoryFilter first;
    first.Parse(text.c_str());
    EXPECT_EQ(std::wstring(first.name).find(L';'), std::wstring::npos);
    CCategoryFilter second;
    second.Parse(first.Format());
    if (first.name.IsEmpty()) continue;  // an empty name is the one thing the text form cannot hold
    ASSERT_TRUE(second.Equals(first, n)) << "run " << run;
    ASSERT_EQ(std::wstring(second.name), std::wstring(first.name)) << "run " << run;
  }
}

TEST(TabFilterSet, FirstRunSeedsOneFilterPerCategoryInSortedOrder) {
  CategoryDevice device({L"Personal", L"Business", L"Holiday"});
  {
    CTabFilterSet set;
    set.Load();
    ASSERT_EQ(set.GetCount(), 3);
  }
  EXPECT_EQ(device.Text(L"0"), L"Personal ;|+Personal");
  EXPECT_EQ(device.Text(L"1"), L"Holiday ;|+Holiday");
  EXPECT_EQ(device.Text(L"2"), L"Business ;|+Business");
  for (const wchar_t* list :
       {L"RecentTasksFilters", L"RecentCalendarFilters", L"RecentContactsFilters", L"RecentSpecialFilters"})
    EXPECT_EQ(device.Text(list), L"2,1,0") << list;
  EXPECT_EQ(Number(device.Filters(), L"FirstTime"), 0u);
  EXPECT_EQ(Number(device.Filters(), L"Upb"), 3u);

  // The user deletes every filter: a later load does not seed again.
  {
    CTabFilterSet set;
    set.Load();
    for (int i = 0; i < 3; ++i) set.Delete(i);
    set.Save();
  }
  CTabFilterSet again;
  again.Load();
  std::vector<int> used;
  again.GetUsedSortedByName(used);
  EXPECT_TRUE(used.empty());
  EXPECT_EQ(device.Text(L"RecentSpecialFilters"), L"");
}

TEST(TabFilterSet, DeleteAndNormalizePruneEveryRecentList) {
  CategoryDevice device({L"Home", L"Work"});
  device.Store({L"Home ;|+Home", L"Work ;|+Work", L"Gone ;|+Moved", L"", L"Both ;&+Work, Home"});
  for (const wchar_t* list :
       {L"RecentTasksFilters", L"RecentCalendarFilters", L"RecentContactsFilters", L"RecentSpecialFilters"})
    device.Filters().WriteString(list, L"1,4,2,0,3");
  CTabFilterSet set;
  set.Load();
  // Slot 3 is free: pruned at load.
  EXPECT_EQ(device.Text(L"RecentTasksFilters"), L"1,4,2,0");
  set.Delete(1);
  for (const wchar_t* list :
       {L"RecentTasksFilters", L"RecentCalendarFilters", L"RecentContactsFilters", L"RecentSpecialFilters"})
    EXPECT_EQ(device.Text(list), L"4,2,0") << list;
  EXPECT_EQ(device.Text(L"1"), L"");
  EXPECT_EQ(set.FindFreeSlot(), 1);

  // Slot 2 names only a category that no longer exists: unrestricted, deleted.
  set.Normalize();
  EXPECT_EQ(device.Text(L"2"), L"");
  EXPECT_EQ(device.Text(L"4"), L"Both ;&+Home, Work") << "written back in record order";
  EXPECT_EQ(device.Text(L"RecentContactsFilters"), L"4,0");
  std::vector<int> used;
  set.GetUsedSortedByName(used);
  EXPECT_EQ(used, (std::vector<int>{4, 0}));
}

TEST(TabFilterSet, ANameWithASemicolonIsRefusedAndNothingStored) {
  CategoryDevice device({L"Work"});
  device.Store({L"Work ;|+Work"});
  CMessageBoxAnswer box(IDOK);
  CTabFilterSet set;
  set.Load();
  CCategoryFilter filter;
  filter.name = L"Work;Home";
  filter.categories.Set(0);
  EXPECT_FALSE(set.Store(0, filter, nullptr));
  ASSERT_EQ(box.asked.size(), 1u);
  EXPECT_NE(box.Last().text.find(L"semicolon"), std::wstring::npos) << "the user hears why";
  EXPECT_EQ(device.Text(L"0"), L"Work ;|+Work") << "the stored filter is kept";
  filter.name = L"Job";
  EXPECT_TRUE(set.Store(0, filter, nullptr));
  EXPECT_EQ(box.asked.size(), 1u) << "nothing more to say";
  EXPECT_EQ(device.Text(L"0"), L"Job ;|+Work");
}

namespace {

// The note files' folders as the Notes tab's source gives them.
class NoteFolders : public INoteFolderSource {
 public:
  explicit NoteFolders(std::vector<const wchar_t*> names) : m_names(std::move(names)) {
    m_previous = SetNoteFolderSource(this);
  }
  ~NoteFolders() { SetNoteFolderSource(m_previous); }
  void GetFoldersWithEntries(std::vector<CString>& out) override {
    for (const wchar_t* name : m_names) out.push_back(name);
  }
  void GetPhatNotesFolders(std::vector<CString>&) override {}
  BOOL IsPhatNotesInstalled() override { return FALSE; }
  BOOL IsPhatPadAvailable() override { return FALSE; }

 private:
  std::vector<const wchar_t*> m_names;
  INoteFolderSource* m_previous;
};

}  // namespace

// The notes-folder store's first run takes the folders from the one note folder
// source the selector asks too: the main folder (empty name) is no slot, and the
// first folder ends most recent.
TEST(TabFilterSet, NotesFolderModeSeedsFromTheNoteFolderSource) {
  CategoryDevice device({L"Home"});
  {
    // Without a source nothing is seeded.
    CTabFilterSet empty(TRUE);
    empty.Load();
    EXPECT_EQ(empty.GetCount(), 0);
  }
  device.Filters().WriteDWORD(L"FirstTimeN", 1);
  {
    NoteFolders folders({L"", L"Personal", L"Work"});
    CTabFilterSet set(TRUE);
    set.Load();
    ASSERT_EQ(set.GetCount(), 2);
    EXPECT_STREQ(set.GetText(0), L"Work");
    EXPECT_STREQ(set.GetText(1), L"Personal");
    EXPECT_EQ(std::wstring(set.GetRecentList(FILTER_KIND_NOTES).ToText()), L"1,0");
  }
  EXPECT_EQ(device.Text(L"N0"), L"Work");
  EXPECT_EQ(device.Text(L"N1"), L"Personal");
  EXPECT_EQ(Number(device.Filters(), L"UpbN"), 2u);
  EXPECT_EQ(Number(device.Filters(), L"FirstTimeN"), 0u);
  EXPECT_EQ(device.Text(L"0"), L"") << "the category filters' slots are another store";
}

// Recent lists and slot counts as other programs may leave them.
TEST(TabFilterSet, ReadsAnyStoredListsSafely) {
  CategoryDevice device({L"Home"});
  std::vector<std::wstring> slots(12, L"Home ;|+Home");
  device.Store(slots);
  device.Filters().WriteString(L"RecentTasksFilters", L"3,x,,007,-1,99999999999,2,3,11,12");
  CTabFilterSet set;
  set.Load();
  const CRecentFilterList& recent = set.GetRecentList(FILTER_KIND_TASKS);
  EXPECT_EQ(std::wstring(recent.ToText()), L"3,7,2,3,11");
  EXPECT_EQ(&set.GetRecentList(4), &recent) << "other kinds give the Tasks list";

  device.Filters().WriteDWORD(L"Upb", 0xFFFFFFFF);
  CTabFilterSet huge;
  huge.Load();
  EXPECT_EQ(huge.GetCount(), CTabFilterSet::kMaxSlots);

  std::mt19937 random(7);
  const wchar_t alphabet[] = L"0123456789,,-x ";
  for (int run = 0; run < 2000; ++run) {
    std::wstring text;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i)
      text += random() % 10 ? alphabet[random() % (sizeof alphabet / sizeof alphabet[0] - 1)]
                            : static_cast<wchar_t>(1 + random() % 0xFFFE);
    device.Filters().WriteString(L"RecentCalendarFilters", text.c_str());
    CRecentFilterList list;
    list.Load(L"RecentCalendarFilters");
    for (int i = 0; i < list.GetCount(); ++i) ASSERT_GE(list.GetAt(i), 0) << "run " << run;
    list.Prune(set);
    for (int i = 0; i < list.GetCount(); ++i) ASSERT_TRUE(set.IsUsed(list.GetAt(i)));
  }
}

namespace {

struct Listener : IDropDownListener {
  void OnSelectionChanged(CVirtualDropDown*, int) override {}
  void OnItemChosen(int command) override { chosen.push_back(command); }
  std::vector<int> chosen;
};

BOOL NoLibrary() { return FALSE; }
BOOL WithLibrary() { return TRUE; }

}  // namespace

TEST(TabFilterMenu, ShowsSevenRecentFiltersByTextAndStoresTheChoice) {
  CategoryDevice device({L"Home"});
  std::vector<std::wstring> slots;
  for (const wchar_t* name : {L"India", L"Hotel", L"Golf", L"Foxtrot", L"Echo", L"Delta", L"Charlie", L"Bravo",
                              L"Alpha", L"Spare"})
    slots.push_back(std::wstring(name) + L" ;|+Home");
  slots[9].clear();
  device.Store(slots);
  device.Filters().WriteString(L"RecentTasksFilters", L"0,1,2,3,4,5,6,7,8");
  device.Product().WriteDWORD(L"TasksFilterID", 3);

  CTabFilterMenu menu(FILTER_KIND_TASKS);
  Listener listener;
  menu.SetOwner(&listener);
  menu.Load();
  ASSERT_EQ(menu.GetCount(), 8);
  EXPECT_EQ(std::wstring(menu.GetItem(0).text), L"All tasks");
  const wchar_t* expected[] = {L"Charlie", L"Delta", L"Echo", L"Foxtrot", L"Golf", L"Hotel", L"India"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(std::wstring(menu.GetItem(i + 1).text), expected[i]);
  EXPECT_EQ(menu.GetSelectedId(), 3 + 2);

  CCategoryFilter current;
  menu.GetCurrentFilter(current);
  EXPECT_EQ(std::wstring(current.name), L"Foxtrot");

  // All items: -1 stored, the recent list untouched, the owner told.
  EXPECT_EQ(menu.OnItemChosen(FILTER_CMD_ALL_ITEMS), FILTER_CMD_ALL_ITEMS);
  EXPECT_EQ(Number(device.Product(), L"TasksFilterID"), 0xFFFFFFFFu);
  EXPECT_EQ(device.Text(L"RecentTasksFilters"), L"0,1,2,3,4,5,6,7,8");
  menu.GetCurrentFilter(current);
  EXPECT_TRUE(current.all);

  // A filter: stored and put first in the kind's list only.
  menu.OnItemChosen(8 + 2);
  EXPECT_EQ(Number(device.Product(), L"TasksFilterID"), 8u);
  EXPECT_EQ(device.Text(L"RecentTasksFilters"), L"8,0,1,2,3,4,5,6,7");
  EXPECT_EQ(listener.chosen, (std::vector<int>{FILTER_CMD_ALL_ITEMS, 10}));

  // A free slot is not stored; a stored choice of a free slot reads as all items.
  menu.OnItemChosen(9 + 2);
  EXPECT_EQ(Number(device.Product(), L"TasksFilterID"), 8u);
  device.Product().WriteDWORD(L"TasksFilterID", 9);
  menu.GetCurrentFilter(current);
  EXPECT_TRUE(current.all);
  EXPECT_EQ(Number(device.Product(), L"TasksFilterID"), 0xFFFFFFFFu) << "reset when read";
}

TEST(TabFilterMenu, ShowOptionsToggleAndAreWrittenBack) {
  CategoryDevice device({L"Home"});
  CTabFilterMenu::LibraryTest previousTest = CTabFilterMenu::SetTransactionsLibraryTest(NoLibrary);
  {
    CTabFilterMenu calendar(FILTER_KIND_CALENDAR);
    EXPECT_TRUE(calendar.GetSwitch(SHOW_PAST_APPOINTMENTS));
    EXPECT_FALSE(calendar.GetSwitch(SHOW_EMPTY_DAYS));
    EXPECT_FALSE(calendar.GetSwitch(SHOW_TRANSACTIONS)) << "without the library the switch stays off";
    EXPECT_FALSE(device.Product().Has(L"CalendarShowTransactions"));
    EXPECT_EQ(Number(device.Product(), L"CalendarShowTodayAlways"), 1u) << "defaults written back";

    calendar.OnItemChosen(static_cast<int>(0x80000004));  // show tasks off
    EXPECT_EQ(Number(device.Product(), L"CalendarShowTasks"), 0u);
    HMENU popup = CreatePopupMenu();
    calendar.FillMenuExtra(popup, 0);
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    EXPECT_EQ(GetMenuItemID(popup, 0), 0x80000001u);
    HMENU options = GetSubMenu(popup, 2);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(GetMenuItemCount(options), 10) << "nine entries without transactions and a separator";
    EXPECT_EQ(GetMenuState(options, 0x80000005, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), UINT(MF_GRAYED))
        << "overdue tasks: greyed and unchecked while tasks are hidden";
    EXPECT_EQ(GetMenuState(options, 0x80000006, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_EQ(GetMenuState(options, 0x8000000A, MF_BYCOMMAND), 0xFFFFFFFFu) << "no transactions entry";
    DestroyMenu(popup);

    calendar.SetRestricting(TRUE);
    popup = CreatePopupMenu();
    calendar.FillMenuExtra(popup, 0);
    EXPECT_EQ(GetMenuState(GetSubMenu(popup, 2), 0x80000006, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED),
              UINT(MF_GRAYED));
    DestroyMenu(popup);
  }
  CTabFilterMenu::SetTransactionsLibraryTest(WithLibrary);
  {
    CTabFilterMenu special(FILTER_KIND_SPECIAL);
    EXPECT_TRUE(special.GetSwitch(SHOW_TRANSACTIONS));
    special.OnItemChosen(static_cast<int>(0x8000000A));
    EXPECT_EQ(Number(device.Product(), L"SpecialShowTransactions"), 0u);
    EXPECT_EQ(Number(device.Product(), L"SpecialShowBirthdays"), 1u);

    CTabFilterMenu tasks(FILTER_KIND_TASKS);
    EXPECT_EQ(tasks.GetTasksStyle(), 1);
    tasks.OnItemChosen(0x70000004);
    EXPECT_EQ(Number(device.Product(), L"Tasks_ShowTasksStyle"), 3u);
    EXPECT_EQ(CTabFilterMenu(FILTER_KIND_TASKS).GetTasksStyle(), 3);
  }
  CTabFilterMenu::SetTransactionsLibraryTest(previousTest);
}

TEST(TabFilterMenu, TheEditEntryRunsTheEditorAndADeclinedEditIsDropped) {
  CategoryDevice device({L"Home"});
  static int answer;
  static std::wstring askedValue;
  CTabFilterMenu::FilterEditor previous = CTabFilterMenu::SetFilterEditor([](HWND, int kind, LPCWSTR value) {
    askedValue = std::to_wstring(kind) + L":" + value;
    return answer;
  });
  CTabFilterMenu menu(FILTER_KIND_CONTACTS);
  Listener listener;
  menu.SetOwner(&listener);
  answer = 2;
  EXPECT_EQ(menu.OnItemChosen(FILTER_CMD_EDIT), -2);
  EXPECT_EQ(askedValue, L"2:ContactsFilterID");
  EXPECT_TRUE(listener.chosen.empty());
  answer = 1;
  EXPECT_EQ(menu.OnItemChosen(FILTER_CMD_EDIT), FILTER_CMD_EDIT);
  EXPECT_EQ(listener.chosen, (std::vector<int>{FILTER_CMD_EDIT}));
  CTabFilterMenu::SetFilterEditor(previous);
}
