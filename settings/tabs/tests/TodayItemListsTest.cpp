#include "settings/tabs/TodayItemLists.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "panel/CustomTabEntry.h"
#include "panel/tests/PanelTestSupport.h"
#include "settings/tabs/TodayItemPickerDlg.h"
#include "settings/tabs/tests/TabsTestSupport.h"

namespace {

using TodayItemListsTest = TabsTest;

std::set<std::wstring> Names(const std::vector<TodayItemInfo>& list) {
  std::set<std::wstring> names;
  for (const TodayItemInfo& item : list) names.insert(item.keyName.GetString());
  return names;
}

// Containers that hold each other: reading ends, and the item that holds the
// plug-in while the plug-in holds it is marked as its host.
TEST_F(TodayItemListsTest, AContainerCycleEnds) {
  struct Link {
    const wchar_t* item;
    const wchar_t* container;
  };
  struct Case {
    const char* name;
    std::vector<Link> links;  // every item disabled, embedded where it says
    const wchar_t* host;      // marked in the plug-in's list; null: none
  };
  const Case cases[] = {
      {"the plug-in and X hold each other", {{L"X", TARVO_TODAY_ITEM_NAME}, {TARVO_TODAY_ITEM_NAME, L"X"}}, L"X"},
      {"through a third item",
       {{L"X", TARVO_TODAY_ITEM_NAME}, {TARVO_TODAY_ITEM_NAME, L"Y"}, {L"Y", L"X"}}, L"X"},
      {"a loop above that misses the plug-in",
       {{L"X", TARVO_TODAY_ITEM_NAME}, {TARVO_TODAY_ITEM_NAME, L"Y"}, {L"Y", L"Z"}, {L"Z", L"Y"}}, nullptr},
      // Its own item is then among its items, and is the host.
      {"the plug-in holds itself", {{L"X", TARVO_TODAY_ITEM_NAME}, {TARVO_TODAY_ITEM_NAME, TARVO_TODAY_ITEM_NAME}},
       TARVO_TODAY_ITEM_NAME},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_machine.Key(TODAY_ITEMS_KEY).Delete();
    for (const Link& link : c.links) MakeTodayItem(link.item, link.container, 0);
    std::vector<TodayItemInfo> list;
    EnumEmbeddedTodayItems(TARVO_TODAY_ITEM_NAME, 1, list);
    ASSERT_FALSE(list.empty());
    for (const TodayItemInfo& item : list)
      EXPECT_EQ(item.cyclic != 0, c.host && item.keyName.CompareNoCase(c.host) == 0) << item.keyName.GetString();
    // The options program's own readers over the same keys end too.
    std::vector<CustomTabEntry> tabs;
    EXPECT_TRUE(LoadCustomTabs(tabs));
    BOOL unavailable = FALSE;
    CTodayItemPickerDlg::CollectRows(nullptr, &unavailable);
  }
}

// Reading other makers' item keys leaves them as they were; the plug-in's own
// rules (defaults written back) still hold where it asks for them.
TEST_F(TodayItemListsTest, ReadingLeavesOtherItemsKeysAlone) {
  for (BOOL writeBack : {FALSE, TRUE}) {
    SCOPED_TRACE(writeBack ? "the plug-in's rules" : "the options program's rules");
    SetTodayItemDefaultsWrittenBack(writeBack);
    m_machine.Key(TODAY_ITEMS_KEY).Delete();
    CRegistryView bare = TodayItem(L"Bare");
    bare.WriteString(L"DLL", L"\\Windows\\bare.dll");
    bare.WriteDWORD(L"Type", 4);
    CRegistryView outer = TodayItem(L"Outer");
    outer.WriteString(L"DLL", L"\\Windows\\outer.dll");
    std::vector<TodayItemInfo> list;
    EnumFreeTodayItems(list, TARVO_TODAY_ITEM_NAME, 1);
    ASSERT_EQ(Names(list), (std::set<std::wstring>{L"Bare"}));
    EXPECT_EQ(list[0].order, 50u);
    EXPECT_EQ(list[0].enabled, 0u);
    TodayItem(L"Bare").WriteString(L"STEmbedded", L"Outer");
    TodayContainerInfo info;
    EXPECT_EQ(GetContainerInfo(L"Bare", info), S_OK);
    EXPECT_TRUE(info.found);
    EXPECT_EQ(bare.Has(L"Order"), writeBack != FALSE);
    EXPECT_EQ(bare.Has(L"Enabled"), writeBack != FALSE);
    EXPECT_EQ(outer.Has(L"STCVersion"), writeBack != FALSE);
  }
}

TEST_F(TodayItemListsTest, ItemsHeldElsewhereAndOtherMakersTabPlugins) {
  MakeTodayItem(L"Free");
  MakeTodayItem(L"Mine", TARVO_TODAY_ITEM_NAME, 0);
  MakeTodayItem(L"Theirs", L"\"Other\"", 0);
  MakeTodayItem(L"OldKind", L"\"Other\"", 0, 1, 3);  // any Type
  MakeTodayItem(L"Old", L"\"Other\"", 0);
  TodayItem(L"Old").WriteDWORD(L"stVersion", 0);     // the same value, another spelling
  MakeTodayItem(L"NoLibrary", L"\"Other\"", 0);
  TodayItem(L"NoLibrary").WriteString(L"DLL", L"");
  std::vector<TodayItemInfo> elsewhere;
  ReadItemsEmbeddedElsewhere(elsewhere, TARVO_TODAY_ITEM_NAME, 1);
  EXPECT_EQ(Names(elsewhere), (std::set<std::wstring>{L"Theirs", L"OldKind"}));

  const std::wstring root = TARVO_TAB_PLUGINS_KEY;
  m_machine.Key((root + L"\\TarvoAll\\Inside").c_str()).WriteString(L"DLL", L"x.dll");  // our own: never listed
  m_machine.Key((root + L"\\Weather\\WeatherItem").c_str()).WriteString(L"DLL", L"w.dll");
  m_machine.Key((root + L"\\Weather\\WeatherItem").c_str()).WriteString(L"STName", L"Weather");
  m_machine.Key((root + L"\\Lonely").c_str()).WriteString(L"DLL", L"l.dll");  // not integrated
  std::vector<TodayItemInfo> plugins;
  ReadTabPlugins(plugins);
  ASSERT_EQ(Names(plugins), (std::set<std::wstring>{L"WeatherItem"}));
  EXPECT_STREQ(plugins[0].name, L"Weather");
}

// Today items and tab plug-ins written by the platform's own registry tool, with
// values of the wrong types: every reader ends, and only sound items are listed.
TEST_F(TodayItemListsTest, KeysWrittenByRegExe) {
  const std::wstring items = std::wstring(L"HKCU\\") + TodayItem(L"").Path();
  const std::wstring plugins = std::wstring(L"HKCU\\") + m_machine.Key(TARVO_TAB_PLUGINS_KEY).Path() + L"\\";
  const std::wstring commands[] = {
      L"add \"" + items + L"Clock\" /v DLL /t REG_SZ /d \\Windows\\clock.dll /f",
      L"add \"" + items + L"Clock\" /v Type /t REG_DWORD /d 4 /f",
      L"add \"" + items + L"Clock\" /v STName /t REG_SZ /d \"World clock\" /f",
      L"add \"" + items + L"Odd\" /v DLL /t REG_MULTI_SZ /d a\\0b /f",
      L"add \"" + items + L"Odd\" /v Type /t REG_SZ /d 4 /f",
      L"add \"" + items + L"Held\" /v DLL /t REG_SZ /d held.dll /f",
      L"add \"" + items + L"Held\" /v STEmbedded /t REG_BINARY /d 4100 /f",
      L"add \"" + items + L"Held\" /v stVersion /t REG_QWORD /d 7 /f",
      L"add \"" + plugins + L"Radio\\RadioItem\" /v DLL /t REG_SZ /d radio.dll /f",
  };
  for (const std::wstring& command : commands) EXPECT_EQ(RunProgram(L"reg.exe " + command), 0u) << command.c_str();
  std::vector<TodayItemInfo> free;
  EnumFreeTodayItems(free, TARVO_TODAY_ITEM_NAME, 1);
  ASSERT_EQ(Names(free), (std::set<std::wstring>{L"Clock"}));
  EXPECT_STREQ(free[0].name, L"World clock");
  std::vector<TodayItemInfo> elsewhere, tabPlugins;
  ReadItemsEmbeddedElsewhere(elsewhere, TARVO_TODAY_ITEM_NAME, 1);
  ReadTabPlugins(tabPlugins);
  EXPECT_EQ(Names(tabPlugins), (std::set<std::wstring>{L"RadioItem"}));
  for (const TodayItemInfo& item : elsewhere) EXPECT_FALSE(item.dllPath.IsEmpty());
}

// Item keys of any shape: the readers end and list only items with a library.
TEST_F(TodayItemListsTest, FuzzedItemKeys) {
  const wchar_t* names[] = {L"A", L"B", L"C", TARVO_TODAY_ITEM_NAME, L"\"Ardeno\""};
  const wchar_t* values[] = {L"DLL",     L"Type",      L"Enabled",   L"STEmbedded", L"STVersion",
                             L"STName",  L"Order",     L"STCCurrentTabs", L"Flags"};
  const DWORD types[] = {REG_DWORD, REG_SZ, REG_BINARY, REG_MULTI_SZ, REG_QWORD, REG_NONE};
  std::mt19937 random(5201);
  for (int round = 0; round < 200; ++round) {
    m_machine.Key(TODAY_ITEMS_KEY).Delete();
    for (int n = 0; n < 12; ++n) {
      CRegistryView item = TodayItem(names[random() % 5]);
      const wchar_t* value = values[random() % 9];
      const DWORD type = types[random() % 6];
      if (type == REG_SZ && random() % 2) {
        item.WriteString(value, names[random() % 5]);
        continue;
      }
      BYTE bytes[12];
      for (BYTE& b : bytes) b = static_cast<BYTE>(random() % 3 == 0 ? 4 : random());
      item.Write(value, type, bytes, random() % 13);
    }
    std::vector<TodayItemInfo> list;
    EnumFreeTodayItems(list, TARVO_TODAY_ITEM_NAME, 1);
    EnumEmbeddedTodayItems(TARVO_TODAY_ITEM_NAME, 1, list);
    ReadItemsEmbeddedElsewhere(list, TARVO_TODAY_ITEM_NAME, 1);
    for (const TodayItemInfo& item : list) EXPECT_FALSE(item.dllPath.IsEmpty());
    BOOL unavailable = FALSE;
    for (const TodayItemInfo& row : CTodayItemPickerDlg::CollectRows(nullptr, &unavailable))
      EXPECT_FALSE(row.name.IsEmpty() && row.keyName.IsEmpty() && !unavailable);
  }
}

}  // namespace
