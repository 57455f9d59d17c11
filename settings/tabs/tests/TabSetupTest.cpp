#include "settings/tabs/TabSetup.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "base/ViewSettings.h"
#include "panel/tests/PanelTestSupport.h"

#include "settings/tabs/tests/TabsTestSupport.h"

namespace {

using TabSetupTest = TabsTest;

TEST_F(TabSetupTest, OrderComesFromTheSequenceThenTheWantedTabsThenTheCustomTabs) {
  struct Case {
    const char* name;
    DWORD showTabs;        // 0xDEAD: none stored
    const wchar_t* sequence;  // null: none stored
    const wchar_t* customTabs;  // keys under "CustomTabs"
    const wchar_t* order;
  };
  const Case cases[] = {
      {"nothing stored: every built-in tab", 0xDEAD, nullptr, L"", L"123456"},
      {"no tab wanted: Calendar alone", 0, L"", L"", L"1"},
      {"the sequence first, missing tabs in table order", 0xDEAD, L"32", L"", L"321456"},
      {"a sequenced tab shows whatever ShowTabs says", 32, L"4", L"", L"41"},
      {"a custom tab without a key is dropped", 32 | 1, L"B21", L"", L"21"},
      {"a custom tab the sequence misses goes last", 32, L"1", L"C", L"1C"},
      {"custom tabs keep their places", 32 | 4, L"A14", L"A", L"A14"},
      {"repeated characters count once", 32, L"1A1A", L"A", L"1A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_machine.Key(TARVO_PRODUCT_KEY).Delete();
    Store(L"ShowTabs", c.showTabs);
    if (c.sequence) Product().WriteString(L"ShowTabsSequence", c.sequence);
    for (const wchar_t* id = c.customTabs; *id; ++id) MakeCustomTabKey(*id, {});
    CTabSetup setup;
    setup.Load();
    EXPECT_STREQ(setup.GetOrder(), c.order);
    EXPECT_EQ(ImageList_GetImageCount(setup.GetImageList()), static_cast<int>(wcslen(c.order)));
  }
}

}  // namespace

namespace {

// The panel must be high enough for the tab bar: 20 per shown tab (at least three)
// with vertical tabs, 80 with horizontal ones, 60 for the tab host's separate tabs.
TEST_F(TabSetupTest, SavingRaisesThePanelHeightsToTheTabBar) {
  struct Case {
    const char* name;
    const wchar_t* sequence;
    DWORD showTabs;
    DWORD horizontal;
    bool perTab;
    DWORD height, heightL;  // stored; 0xDEAD: none
    DWORD wHeight, wHeightL;
  };
  const Case cases[] = {
      {"two tabs, vertical: three rows", L"12", 32 | 1, 0, false, 40, 120, 60, 120},
      {"six tabs, vertical", L"123456", 63, 0, false, 100, 119, 120, 120},
      {"horizontal", L"1", 32, 1, false, 20, 81, 80, 81},
      {"the host's separate tabs", L"123456", 63, 0, true, 59, 0xDEAD, 60, 120},
      {"no built-in tab at all", L"", 0, 0, false, 0xDEAD, 10, 120, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_machine.Key(TARVO_PRODUCT_KEY).Delete();
    m_machine.Key(TARVO_TAB_PLUGINS_KEY).Delete();
    if (c.perTab) {
      m_machine.Key((std::wstring(TARVO_TAB_PLUGINS_KEY) + L"\\TarvoTasks\\Tab").c_str()).WriteString(L"DLL", L"x");
    }
    Store(L"HorizontalTabsMode", c.horizontal);
    Store(L"TotalHeight", c.height);
    Store(L"TotalHeightL", c.heightL);
    Store(L"ShowTabs", c.showTabs);
    Product().WriteString(L"ShowTabsSequence", c.sequence);
    GetViewSettings().Load();
    CTabSetup setup;
    setup.Load();
    // An order without built-in tabs: every tab taken away.
    if (!*c.sequence)
      while (!setup.GetOrder().IsEmpty()) setup.RemoveTab(0);
    EXPECT_TRUE(setup.Save());
    EXPECT_EQ(Stored(L"TotalHeight"), c.wHeight);
    EXPECT_EQ(Stored(L"TotalHeightL"), c.wHeightL);
    EXPECT_EQ(Stored(L"ShowTabs"), c.showTabs);
    EXPECT_EQ(StoredText(L"ShowTabsSequence"), c.sequence);
  }
}

// "ShowTabs" and "ShowTabsSequence" as another program writes them, of any type
// and content: the order holds each known tab once, an icon for each.
TEST_F(TabSetupTest, StoredOrdersOfAnyShape) {
  const std::wstring product = std::wstring(L"HKCU\\") + Product().Path();
  MakeCustomTabKey(L'B', {});
  const std::wstring commands[] = {
      L"add \"" + product + L"\" /v ShowTabsSequence /t REG_SZ /d 6B2Q /f",
      L"add \"" + product + L"\" /v ShowTabs /t REG_DWORD /d 33 /f",
  };
  for (const std::wstring& command : commands) EXPECT_EQ(RunProgram(L"reg.exe " + command), 0u) << command.c_str();
  {
    CTabSetup setup;
    setup.Load();
    EXPECT_STREQ(setup.GetOrder(), L"6B21");
  }
  std::mt19937 random(1210);
  const wchar_t alphabet[] = L"0123456789ABCZa\x4E2D\\ ";
  for (int round = 0; round < 300; ++round) {
    std::wstring sequence;
    for (int n = static_cast<int>(random() % 12); n > 0; --n) sequence += alphabet[random() % (ARRAYSIZE(alphabet) - 1)];
    if (random() % 4 == 0)
      Product().Write(L"ShowTabsSequence", REG_BINARY, sequence.data(), static_cast<DWORD>(random() % 9));
    else
      Product().WriteString(L"ShowTabsSequence", sequence.c_str());
    if (random() % 3)
      Product().WriteDWORD(L"ShowTabs", static_cast<DWORD>(random()));
    else
      Product().Write(L"ShowTabs", REG_SZ, L"12", 6);
    CTabSetup setup;
    setup.Load();
    const CString& order = setup.GetOrder();
    std::set<wchar_t> seen;
    for (int i = 0; i < order.GetLength(); ++i) {
      EXPECT_TRUE(seen.insert(order[i]).second) << "twice: " << static_cast<int>(order[i]);
      EXPECT_TRUE(CTabSetup::FindBuiltInTab(order[i]) >= 0 || order[i] == L'B');
    }
    EXPECT_EQ(ImageList_GetImageCount(setup.GetImageList()), order.GetLength());
  }
}

}  // namespace
