#include "panel/TodayItemInfo.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/tests/RegistrySandbox.h"
#include "panel/tests/PanelTestSupport.h"

namespace {

// The Today items of a redirected machine key, written as other programs would.
struct ItemsFixture {
  explicit ItemsFixture(const wchar_t* name) : machine(name) {}
  CRegistryView Items() const { return machine.Key(TODAY_ITEMS_KEY); }
  CRegistryView Item(const std::wstring& key) const {
    return machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\" + key).c_str());
  }
  // A custom item with a library, embedded in container (empty: nowhere).
  CRegistryView Custom(const std::wstring& key, const wchar_t* container = L"") const {
    CRegistryView item = Item(key);
    item.WriteDWORD(L"Type", 4);
    item.WriteString(L"DLL", L"\\Windows\\item.dll");
    item.WriteDWORD(L"Enabled", *container ? 0 : 1);
    if (*container) item.WriteString(L"STEmbedded", container);
    return item;
  }
  CLocalMachineSandbox machine;
};

std::vector<std::wstring> Names(const std::vector<TodayItemInfo>& list) {
  std::vector<std::wstring> names;
  for (const TodayItemInfo& info : list) names.push_back(std::wstring(info.keyName));
  return names;
}

TEST(TodayItemInfo, WhichItemsMayBeEmbedded) {
  struct Case {
    const char* what;
    bool hasType;
    DWORD type;
    const wchar_t* dll;
    bool hasVersion;
    DWORD version;
    const wchar_t* embedded;
    const wchar_t* container;  // asked for
    bool qualifies;
  };
  const Case cases[] = {
      {"a free custom item", true, 4, L"x.dll", false, 0, L"", nullptr, true},
      {"no type", false, 0, L"x.dll", false, 0, L"", nullptr, false},
      {"not custom", true, 1, L"x.dll", false, 0, L"", nullptr, false},
      {"no library", true, 4, L"", false, 0, L"", nullptr, false},
      {"version below the minimum", true, 4, L"x.dll", true, 0, L"", nullptr, false},
      {"version at the minimum", true, 4, L"x.dll", true, 1, L"", nullptr, true},
      {"embedded elsewhere, asked free", true, 4, L"x.dll", false, 0, L"Other", nullptr, false},
      {"embedded here, any case", true, 4, L"x.dll", false, 0, L"\"qel tarvo\"", L"\"Qel Tarvo\"", true},
      {"embedded elsewhere, asked here", true, 4, L"x.dll", false, 0, L"Other", L"\"Qel Tarvo\"", false},
      {"free, asked here", true, 4, L"x.dll", false, 0, L"", L"\"Qel Tarvo\"", false},
  };
  for (const Case& c : cases) {
    ItemsFixture items(L"embeddable");
    ASSERT_TRUE(items.machine.Redirected());
    CRegistryView item = items.Item(L"Item");
    if (c.hasType) item.WriteDWORD(L"Type", c.type);
    item.WriteString(L"DLL", c.dll);
    if (c.hasVersion) item.WriteDWORD(L"STVersion", c.version);
    if (*c.embedded) item.WriteString(L"STEmbedded", c.embedded);
    TodayItemInfo info;
    EXPECT_EQ(ReadTodayItemIfEmbeddable(c.container, 1, L"Item", info) != FALSE, c.qualifies) << c.what;
  }
}

TEST(TodayItemInfo, ReadsEveryValueAndNamesTheItem) {
  ItemsFixture items(L"read");
  ASSERT_TRUE(items.machine.Redirected());
  CRegistryView item = items.Custom(L"\"My Item\"");
  item.WriteDWORD(L"Selectability", 2);
  item.WriteDWORD(L"Flags", 7);
  item.WriteDWORD(L"STMinWidth", 90);
  item.WriteDWORD(TODAY_HEIGHT_RESIZE_VALUE, 3);
  // The same name with a Latin E is another value.
  item.WriteDWORD(L"SEHeightResizeType", 9);
  TodayItemInfo info;
  ASSERT_TRUE(ReadTodayItemIfEmbeddable(nullptr, 1, L"\"My Item\"", info));
  EXPECT_EQ(std::wstring(info.name), L"My Item");
  EXPECT_EQ(info.version, static_cast<DWORD>(-1)) << "not declared";
  EXPECT_EQ(info.heightResizeType, 3u);
  EXPECT_EQ(info.selectability, 2u);
  EXPECT_EQ(info.flags, 7u);
  EXPECT_EQ(info.minWidth, 90);
  EXPECT_EQ(info.order, 50u);
  EXPECT_EQ(info.cyclic, 0u);
  DWORD order = 0;
  EXPECT_TRUE(item.ReadDWORD(L"Order", order)) << "a setting with a default is written back";
  EXPECT_FALSE(item.Has(L"STVersion")) << "a value without a default is never written";
  EXPECT_FALSE(item.Has(L"STName"));

  item.WriteString(L"STName", L"Shown");
  ASSERT_TRUE(ReadTodayItemIfEmbeddable(nullptr, 1, L"\"My Item\"", info));
  EXPECT_EQ(std::wstring(info.name), L"Shown");
}

TEST(TodayItemInfo, EnumeratesFreeAndEmbeddedItems) {
  ItemsFixture items(L"enum");
  ASSERT_TRUE(items.machine.Redirected());
  items.Custom(L"\"Qel Tarvo\"");
  items.Custom(L"Free");
  items.Custom(L"Inside", L"\"Qel Tarvo\"");
  items.Custom(L"Elsewhere", L"Free");
  std::vector<TodayItemInfo> list;
  EnumFreeTodayItems(list, L"\"qel tarvo\"", 1);
  EXPECT_EQ(Names(list), std::vector<std::wstring>{L"Free"});
  list.clear();
  EnumEmbeddedTodayItems(L"\"Qel Tarvo\"", 1, list);
  ASSERT_EQ(Names(list), std::vector<std::wstring>{L"Inside"});
  EXPECT_EQ(list[0].cyclic, 0u);

  // Taken into the panel: off the Today screen, listed among the panel's items.
  TodayItemInfo free;
  ASSERT_TRUE(ReadTodayItemIfEmbeddable(nullptr, 1, L"Free", free));
  free.enabled = 0;
  ASSERT_TRUE(TodayItemInfo::SetEmbedding(free, L"\"Qel Tarvo\""));
  list.clear();
  EnumEmbeddedTodayItems(L"\"Qel Tarvo\"", 1, list);
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"Free", L"Inside"}));
  EXPECT_EQ(Number(items.Item(L"Free"), L"Enabled"), 0u);
  // And back out.
  free.enabled = 1;
  ASSERT_TRUE(TodayItemInfo::SetEmbedding(free, L""));
  list.clear();
  EnumFreeTodayItems(list, L"\"Qel Tarvo\"", 1);
  EXPECT_EQ(Names(list), std::vector<std::wstring>{L"Free"});
  TodayItemInfo missing;
  missing.keyName = L"Nowhere";
  EXPECT_FALSE(TodayItemInfo::SetEmbedding(missing, L"")) << "no key is made for an unknown item";
}

TEST(TodayItemInfo, ContainerValuesAreCombinedUpTheChain) {
  ItemsFixture items(L"container");
  ASSERT_TRUE(items.machine.Redirected());
  CRegistryView outer = items.Custom(L"Outer");
  outer.WriteDWORD(L"STCPossibleTabs", 1);
  outer.WriteDWORD(L"STCCurrentTabs", 4);
  CRegistryView middle = items.Custom(L"Middle", L"Outer");
  middle.WriteDWORD(L"STCPossibleTabs", 2);
  middle.WriteDWORD(L"STCCurrentTabs", 1);
  middle.WriteDWORD(L"STCVersion", 1);
  items.Custom(L"Leaf", L"Middle");
  TodayContainerInfo info;
  ASSERT_EQ(GetContainerInfo(L"Leaf", info), S_OK);
  EXPECT_TRUE(info.found);
  EXPECT_EQ(std::wstring(info.name), L"Middle");
  EXPECT_EQ(info.possibleTabs, 3u);
  EXPECT_EQ(info.currentTabs, 5u);
  EXPECT_EQ(info.version, 1u);
  EXPECT_EQ(GetContainerInfo(L"", info), E_FAIL);
  ASSERT_EQ(GetContainerInfo(L"Outer", info), S_OK);
  EXPECT_FALSE(info.found) << "an enabled item is in no container";
}

TEST(TodayItemInfo, LoopsOfContainersEnd) {
  ItemsFixture items(L"cycle");
  ASSERT_TRUE(items.machine.Redirected());
  // The plug-in sits in X while X sits in the plug-in.
  items.Custom(L"\"Qel Tarvo\"", L"X");
  items.Custom(L"X", L"\"Qel Tarvo\"");
  std::vector<TodayItemInfo> list;
  EnumEmbeddedTodayItems(L"\"Qel Tarvo\"", 1, list);
  ASSERT_EQ(Names(list), std::vector<std::wstring>{L"X"});
  EXPECT_EQ(list[0].cyclic, 1u);

  // Y and Z hold each other, and W sits in Y: the walk from W never comes back to
  // W but must still end.
  items.Custom(L"Y", L"Z");
  items.Custom(L"Z", L"Y");
  items.Custom(L"W", L"Y");
  items.Custom(L"InW", L"W");
  TodayContainerInfo info;
  ASSERT_EQ(GetContainerInfo(L"W", info), S_OK);
  EXPECT_TRUE(info.found);
  EXPECT_EQ(std::wstring(info.name), L"Y");
  list.clear();
  EnumEmbeddedTodayItems(L"W", 1, list);
  ASSERT_EQ(Names(list), std::vector<std::wstring>{L"InW"});
  EXPECT_EQ(list[0].cyclic, 0u);
}

TEST(TodayItemInfo, MenuOrderPutsEnabledItemsFirst) {
  TodayItemInfo a, b, c;
  a.name = L"beta";
  a.enabled = 1;
  b.name = L"Alpha";
  b.enabled = 0;
  c.name = L"ALPHA2";
  c.enabled = 1;
  EXPECT_LT(CompareTodayItemsForMenu(a, b), 0);
  EXPECT_LT(CompareTodayItemsForMenu(c, a), 0);
  EXPECT_GT(CompareTodayItemsForMenu(b, c), 0);
}

// Items written by another program: reg.exe, with values of the wrong types.
TEST(TodayItemInfo, ItemsWrittenByAnotherProgram) {
  ItemsFixture items(L"foreign");
  ASSERT_TRUE(items.machine.Redirected());
  const std::wstring base = std::wstring(L"HKCU\\") + items.Items().Path() + L"\\";
  const std::wstring commands[] = {
      L"add \"" + base + L"Typed\" /v Type /t REG_DWORD /d 4 /f",
      L"add \"" + base + L"Typed\" /v DLL /t REG_SZ /d x.dll /f",
      L"add \"" + base + L"Typed\" /v STVersion /t REG_BINARY /d 0200 /f",
      L"add \"" + base + L"Typed\" /v STName /t REG_BINARY /d 41 /f",
      L"add \"" + base + L"Wrong\" /v Type /t REG_SZ /d 4 /f",
      L"add \"" + base + L"Wrong\" /v DLL /t REG_SZ /d x.dll /f",
      L"add \"" + base + L"Multi\" /v Type /t REG_DWORD /d 4 /f",
      L"add \"" + base + L"Multi\" /v DLL /t REG_MULTI_SZ /d a\\0b /f",
  };
  for (const std::wstring& command : commands) EXPECT_EQ(RunProgram(L"reg.exe " + command), 0u) << command.c_str();
  std::vector<TodayItemInfo> list;
  EnumFreeTodayItems(list, nullptr, 1);
  for (const TodayItemInfo& info : list) EXPECT_NE(std::wstring(info.keyName), L"Wrong") << "type as text";
  TodayItemInfo info;
  ASSERT_TRUE(ReadTodayItemIfEmbeddable(nullptr, 1, L"Typed", info));
  EXPECT_EQ(info.version, 2u) << "a short binary is read as its bytes";
}

// Any registry contents: random item graphs with values of random types and sizes.
TEST(TodayItemInfo, FuzzedRegistryEnds) {
  ItemsFixture items(L"fuzz");
  ASSERT_TRUE(items.machine.Redirected());
  std::mt19937 random(20261210);
  const wchar_t* names[] = {L"A", L"B", L"\"Qel Tarvo\"", L"D", L"", L"\"", L"E\x0415"};
  const wchar_t* values[] = {L"Type", L"DLL", L"Enabled", L"STEmbedded", L"STVersion", L"STName",
                             L"STCPossibleTabs", L"Order", TODAY_HEIGHT_RESIZE_VALUE};
  const DWORD types[] = {REG_DWORD, REG_SZ, REG_BINARY, REG_MULTI_SZ, REG_QWORD, REG_EXPAND_SZ};
  for (int round = 0; round < 400; ++round) {
    items.Items().Delete();
    for (int n = 0; n < 12; ++n) {
      CRegistryView item = items.Item(names[random() % 6 ? random() % 4 : random() % 7]);
      BYTE data[64];
      const DWORD size = random() % 2 ? random() % sizeof data : 4;
      for (BYTE& b : data) b = static_cast<BYTE>(random());
      if (random() % 3 == 0) {
        const wchar_t* target = names[random() % 7];
        item.WriteString(L"STEmbedded", target);
        item.WriteDWORD(L"Type", 4);
        item.WriteDWORD(L"Enabled", 0);
      } else {
        item.Write(values[random() % 9], types[random() % 6], data, size);
      }
    }
    std::vector<TodayItemInfo> list;
    for (const wchar_t* name : names) {
      EnumEmbeddedTodayItems(name, random() % 3, list);
      TodayContainerInfo info;
      GetContainerInfo(name, info);
      EXPECT_LT(wcslen(info.name), ARRAYSIZE(info.name));
    }
    EnumFreeTodayItems(list, L"\"Qel Tarvo\"", 1);
  }
}

}  // namespace
