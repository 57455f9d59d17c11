#include "panel/CustomTabEntry.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "panel/Registration.h"
#include "panel/tests/PanelTestSupport.h"

namespace {

// A redirected machine key with Today items and custom tabs written as other
// programs would.
struct TabsFixture {
  explicit TabsFixture(const wchar_t* name) : machine(name) {}
  CRegistryView Item(const std::wstring& key) const {
    return machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\" + key).c_str());
  }
  // A custom item embedded in the plug-in (or, with an empty container, free and enabled).
  CRegistryView Embedded(const std::wstring& key, const wchar_t* container = TARVO_TODAY_ITEM_NAME) const {
    CRegistryView item = Item(key);
    item.WriteDWORD(L"Type", 4);
    item.WriteString(L"DLL", L"\\Windows\\item.dll");
    item.WriteDWORD(L"Enabled", *container ? 0 : 1);
    item.WriteString(L"STEmbedded", container);
    return item;
  }
  CRegistryView Tabs() const { return machine.Key(TARVO_PRODUCT_KEY L"\\CustomTabs"); }
  CRegistryView Tab(const wchar_t* id) const { return machine.Key((std::wstring(TARVO_PRODUCT_KEY L"\\CustomTabs\\") + id).c_str()); }
  // A tab listing names as "_0", "_1", ... with "Upb" = count.
  CRegistryView WriteTab(const wchar_t* id, std::vector<std::wstring> names, DWORD count) const {
    CRegistryView tab = Tab(id);
    tab.WriteDWORD(L"Upb", count);
    for (size_t i = 0; i < names.size(); ++i)
      tab.WriteString((L"_" + std::to_wstring(i)).c_str(), names[i].c_str());
    return tab;
  }
  std::wstring Text(const CRegistryView& key, const wchar_t* name) const {
    std::wstring text = L"<missing>";
    key.ReadString(name, text);
    return text;
  }
  CLocalMachineSandbox machine;
};

std::vector<std::wstring> Items(const CustomTabEntry& entry) {
  std::vector<std::wstring> names;
  for (const TodayItemInfo& item : entry.items) names.push_back(std::wstring(item.keyName));
  return names;
}

std::wstring Ids(const std::vector<CustomTabEntry>& list) {
  std::wstring ids;
  for (const CustomTabEntry& entry : list) ids += static_cast<wchar_t>(entry.id);
  return ids;
}

TEST(CustomTabEntry, EmbeddedItemsWithoutATabGetEntryA) {
  TabsFixture fixture(L"lone");
  ASSERT_TRUE(fixture.machine.Redirected());
  fixture.Embedded(L"Weather");
  std::vector<CustomTabEntry> list;
  EXPECT_TRUE(LoadCustomTabs(list));
  ASSERT_EQ(Ids(list), L"A");
  EXPECT_EQ(Items(list[0]), std::vector<std::wstring>{L"Weather"});
  CRegistryView tab = fixture.Tab(L"A");
  EXPECT_EQ(Number(tab, L"Upb"), 1u);
  EXPECT_EQ(Number(tab, L"SmartIcon"), 0u);
  EXPECT_EQ(fixture.Text(tab, L"IconName"), L"default");
  EXPECT_EQ(fixture.Text(tab, L"_0"), L"Weather");

  // Nothing embedded and nothing configured: no tabs, nothing written.
  TabsFixture empty(L"none");
  LoadCustomTabs(list);
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(empty.Tabs().Exists());
}

TEST(CustomTabEntry, ReadingKeepsTheListedOrderAndSkipsStrangers) {
  TabsFixture fixture(L"order");
  ASSERT_TRUE(fixture.machine.Redirected());
  fixture.Embedded(L"One");
  fixture.Embedded(L"Two");
  fixture.Embedded(L"Three");
  fixture.Embedded(L"Shown", L"");  // on the Today screen, in no tab
  // "_1" names an item that is not embedded, "_3" is beyond "Upb", "_2" in another case.
  CRegistryView a = fixture.WriteTab(L"A", {L"Two", L"Shown", L"one", L"Three"}, 3);
  // The same item named by a second tab stays with the first one read.
  fixture.WriteTab(L"B", {L"Two", L"Three"}, 2);
  std::vector<CustomTabEntry> list;
  LoadCustomTabs(list);
  ASSERT_EQ(Ids(list), L"AB");
  EXPECT_EQ(Items(list[0]), (std::vector<std::wstring>{L"Two", L"One"}));
  EXPECT_EQ(Items(list[1]), std::vector<std::wstring>{L"Three"});
  EXPECT_EQ(fixture.Text(a, L"IconName"), L"default") << "missing settings are written back";
  EXPECT_EQ(Number(a, L"SmartIcon"), 0u);
}

TEST(CustomTabEntry, LeftOverItemsTakeTheFirstFreeCharacter) {
  TabsFixture fixture(L"gap");
  ASSERT_TRUE(fixture.machine.Redirected());
  fixture.Embedded(L"Left1");
  fixture.Embedded(L"Left2");
  for (const wchar_t* id : {L"D", L"A", L"B"}) fixture.WriteTab(id, {}, 0);
  std::vector<CustomTabEntry> list;
  LoadCustomTabs(list);
  ASSERT_EQ(Ids(list), L"ABDC");
  EXPECT_EQ(Items(list[3]), (std::vector<std::wstring>{L"Left1", L"Left2"}));
  EXPECT_EQ(Number(fixture.Tab(L"C"), L"Upb"), 2u);
}

TEST(CustomTabEntry, FreeCharacterTable) {
  struct Case {
    const wchar_t* used;
    wchar_t free;
  };
  const Case cases[] = {
      {L"", L'A'},
      {L"A", L'B'},
      {L"B", L'A'},
      {L"DBA", L'C'},
      {L"ABCDEFGHIJKLMNOPQRSTUVWXYZ", L'['},
      // A backslash would make a key path, not a key name.
      {L"ABCDEFGHIJKLMNOPQRSTUVWXYZ[", L']'},
      {L"1A", L'B'},
      // Another program's lower-case key is the same key as the upper-case one.
      {L"Ba", L'C'},
  };
  for (const Case& c : cases) {
    std::vector<CustomTabEntry> list;
    for (const wchar_t* id = c.used; *id; ++id) {
      list.emplace_back();
      list.back().id = *id;
    }
    EXPECT_EQ(GetFreeTabIdChar(list), static_cast<DWORD>(c.free)) << c.used;
  }
}

TEST(CustomTabEntry, WriteEmbedsAndRefusesCharactersThatAreNoKeyName) {
  TabsFixture fixture(L"write");
  ASSERT_TRUE(fixture.machine.Redirected());
  CRegistryView item = fixture.Embedded(L"Free", L"");
  CustomTabEntry entry;
  entry.id = L'Q';
  entry.smartIcon = 1;
  entry.iconName = L"Free";
  entry.items.emplace_back();
  entry.items.back().keyName = L"Free";
  entry.items.back().enabled = 5;
  ASSERT_TRUE(CustomTabEntry::Write(entry));
  CRegistryView tab = fixture.Tab(L"Q");
  EXPECT_EQ(Number(tab, L"SmartIcon"), 1u);
  EXPECT_EQ(fixture.Text(tab, L"IconName"), L"Free");
  EXPECT_EQ(fixture.Text(tab, L"_0"), L"Free");
  EXPECT_EQ(fixture.Text(item, L"STEmbedded"), TARVO_TODAY_ITEM_NAME);
  EXPECT_EQ(Number(item, L"Enabled"), 1u) << "any non-zero Enabled is written as 1";

  const DWORD refused[] = {L'\\', 0, 0x10000};
  for (DWORD id : refused) {
    entry.id = id;
    EXPECT_FALSE(CustomTabEntry::Write(entry)) << id;
  }
  EXPECT_FALSE(fixture.Tabs().Has(L"Upb")) << "nothing written on the parent key";
}

TEST(CustomTabEntry, TheTabHostsItemEmptiesThePluginLibraries) {
  TabsFixture fixture(L"ardeno");
  ASSERT_TRUE(fixture.machine.Redirected());
  CRegistryView plugin = fixture.machine.Key(TARVO_TAB_PLUGINS_KEY L"\\TarvoAll");
  plugin.WriteString(L"DLL", TARVO_LIBRARY_PATH);
  fixture.Embedded(ARDENO_TODAY_ITEM_NAME);
  fixture.WriteTab(L"A", {L"\"ARDENO\""}, 1);
  std::vector<CustomTabEntry> list;
  LoadCustomTabs(list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(CustomTabEntry::FindArdenoItem(list[0]), 0);
  EXPECT_EQ(fixture.Text(plugin, L"DLL"), L"");

  plugin.WriteString(L"DLL", TARVO_LIBRARY_PATH);
  CustomTabEntry::Write(list[0]);
  EXPECT_EQ(fixture.Text(plugin, L"DLL"), L"");

  // While the plug-in is one of the host's tabs, the host is never offered to itself.
  plugin.CreateSubKey(L"Sub");
  std::vector<TodayItemInfo> candidates(2);
  candidates[0].keyName = L"Other";
  candidates[1].keyName = L"\"ardeno\"";
  RemoveArdenoItem(candidates);
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(std::wstring(candidates[0].keyName), L"Other");
}

TEST(CustomTabEntry, DeletingTheOnlyTabHidesItsItemsEverywhere) {
  TabsFixture fixture(L"delete");
  ASSERT_TRUE(fixture.machine.Redirected());
  CRegistryView item = fixture.Embedded(L"Only");
  fixture.WriteTab(L"A", {L"Only"}, 1);
  fixture.Tab(L"A").CreateSubKey(L"deeper");
  std::vector<CustomTabEntry> list;
  LoadCustomTabs(list);
  ASSERT_EQ(list.size(), 1u);
  DeleteCustomTab(list[0], 0);
  EXPECT_FALSE(fixture.Tab(L"A").Exists());
  EXPECT_EQ(fixture.Text(item, L"STEmbedded"), L"");
  EXPECT_EQ(Number(item, L"Enabled"), 0u);
  LoadCustomTabs(list);
  EXPECT_TRUE(list.empty()) << "the item is in no tab and not on the Today screen";
}

TEST(CustomTabEntry, SavingRewritesEveryTabAndReportsDroppedItems) {
  TabsFixture fixture(L"save");
  ASSERT_TRUE(fixture.machine.Redirected());
  CRegistryView kept = fixture.Embedded(L"Kept");
  CRegistryView dropped = fixture.Embedded(L"Dropped");
  fixture.WriteTab(L"A", {L"Kept", L"Dropped"}, 2);
  fixture.Tab(L"A").WriteString(L"_5", L"stale");
  fixture.WriteTab(L"Z", {}, 0);
  std::vector<CustomTabEntry> list;
  LoadCustomTabs(list);
  ASSERT_EQ(Ids(list), L"AZ");
  list[0].items.pop_back();
  list.pop_back();
  DWORD changed = 7;
  SaveCustomTabs(list, 1, &changed);
  EXPECT_EQ(changed, 1u);
  EXPECT_FALSE(fixture.Tab(L"Z").Exists());
  EXPECT_FALSE(fixture.Tab(L"A").Has(L"_5")) << "the key is written afresh";
  EXPECT_EQ(Number(fixture.Tab(L"A"), L"Upb"), 1u);
  EXPECT_EQ(fixture.Text(kept, L"STEmbedded"), TARVO_TODAY_ITEM_NAME);
  EXPECT_EQ(fixture.Text(dropped, L"STEmbedded"), L"");
  EXPECT_EQ(Number(dropped, L"Enabled"), 1u) << "back on the Today screen";

  SaveCustomTabs(list, 1, &changed);
  EXPECT_EQ(changed, 0u);
}

TEST(CustomTabEntry, DeleteKeyTreeGoesDepthFirst) {
  CRegistrySandbox sandbox(L"tree");
  CRegistryView root(HKEY_CURRENT_USER, sandbox.Path());
  for (const wchar_t* path : {L"t\\a\\b\\c", L"t\\a\\d", L"t\\e", L"t\\f\\g"}) root.CreateSubKey(path);
  root.WriteDWORD(L"keep", 1);
  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, sandbox.Path(), 0, KEY_ALL_ACCESS, &parent), ERROR_SUCCESS);
  EXPECT_TRUE(RegDeleteKeyTree(parent, L"t"));
  EXPECT_FALSE(CRegistryView(HKEY_CURRENT_USER, root.Sub(L"t")).Exists());
  EXPECT_TRUE(root.Has(L"keep"));
  EXPECT_FALSE(RegDeleteKeyTree(parent, L"t")) << "a missing key";
  EXPECT_FALSE(RegDeleteKeyTree(parent, L""));
  EXPECT_FALSE(RegDeleteKeyTree(nullptr, L"t"));
  RegCloseKey(parent);
}

// Tabs written by another program, values of the wrong types and an absurd count.
TEST(CustomTabEntry, TabsWrittenByAnotherProgram) {
  TabsFixture fixture(L"foreign");
  ASSERT_TRUE(fixture.machine.Redirected());
  fixture.Embedded(L"X");
  fixture.Embedded(L"Y");
  const std::wstring base = std::wstring(L"HKCU\\") + fixture.Tabs().Path() + L"\\";
  const std::wstring commands[] = {
      L"add \"" + base + L"Big\" /v Upb /t REG_DWORD /d 4294967295 /f",
      L"add \"" + base + L"Big\" /v _0 /t REG_BINARY /d 5800 /f",
      L"add \"" + base + L"Big\" /v _1 /t REG_SZ /d X /f",
      L"add \"" + base + L"Big\" /v IconName /t REG_DWORD /d 3 /f",
      L"add \"" + base + L"1\" /v Upb /t REG_SZ /d 2 /f",
      L"add \"" + base + L"1\" /v _0 /t REG_MULTI_SZ /d Y\\0X /f",
      L"add \"" + base + L"1\" /v SmartIcon /t REG_QWORD /d 1 /f",
  };
  for (const std::wstring& command : commands) EXPECT_EQ(RunProgram(L"reg.exe " + command), 0u) << command.c_str();
  std::vector<CustomTabEntry> list;
  LoadCustomTabs(list);
  std::set<std::wstring> seen;
  for (const CustomTabEntry& entry : list)
    for (const std::wstring& name : Items(entry)) EXPECT_TRUE(seen.insert(name).second) << name.c_str();
  EXPECT_EQ(seen, (std::set<std::wstring>{L"X", L"Y"})) << "every embedded item lands in one tab";
}

// Any registry contents under "CustomTabs": loading ends, every embedded item is in
// exactly one tab, and a second load finds what the first wrote.
TEST(CustomTabEntry, FuzzedTabsLoad) {
  TabsFixture fixture(L"fuzz");
  ASSERT_TRUE(fixture.machine.Redirected());
  const wchar_t* items[] = {L"P", L"Q", L"R", L"\"Ardeno\""};
  for (const wchar_t* item : items) fixture.Embedded(item);
  const wchar_t* keys[] = {L"A", L"B", L"AB", L"1", L"[", L"\x4E2D", L"a", L"Z"};
  const wchar_t* values[] = {L"Upb", L"_0", L"_1", L"_2", L"SmartIcon", L"IconName", L"_-1", L""};
  const DWORD types[] = {REG_DWORD, REG_SZ, REG_BINARY, REG_MULTI_SZ, REG_QWORD, REG_EXPAND_SZ};
  std::mt19937 random(20261210);
  for (int round = 0; round < 300; ++round) {
    fixture.Tabs().Delete();
    for (const wchar_t* item : items) fixture.Embedded(item);
    for (int n = 0; n < 10; ++n) {
      CRegistryView tab = fixture.Tab(keys[random() % 8]);
      if (random() % 2) {
        tab.WriteString(values[1 + random() % 3], items[random() % 4]);
        continue;
      }
      BYTE data[48];
      for (BYTE& b : data) b = static_cast<BYTE>(random());
      const DWORD size = random() % 3 ? random() % sizeof data : 4;
      tab.Write(values[random() % 8], types[random() % 6], data, size);
    }
    std::vector<CustomTabEntry> list;
    LoadCustomTabs(list);
    std::multiset<std::wstring> seen;
    for (const CustomTabEntry& entry : list)
      for (const std::wstring& name : Items(entry)) seen.insert(name);
    ASSERT_EQ(seen.size(), 4u) << "round " << round;
    ASSERT_EQ(std::set<std::wstring>(seen.begin(), seen.end()).size(), 4u) << "round " << round;
    std::vector<CustomTabEntry> again;
    LoadCustomTabs(again);
    ASSERT_EQ(Ids(again).size(), Ids(list).size()) << "round " << round;
    seen.clear();
    for (const CustomTabEntry& entry : again)
      for (const std::wstring& name : Items(entry)) seen.insert(name);
    ASSERT_EQ(std::set<std::wstring>(seen.begin(), seen.end()).size(), 4u) << "round " << round;
  }
}

}  // namespace
