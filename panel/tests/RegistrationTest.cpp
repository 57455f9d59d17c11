#include "panel/Registration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "panel/TodayItemInfo.h"
#include "panel/tests/PanelTestSupport.h"

namespace {

std::vector<DWORD> g_pauses;
void RecordReload(DWORD pause) { g_pauses.push_back(pause); }

// A machine of its own, the hosts' reload recorded instead of broadcast.
struct RegistrationFixture {
  explicit RegistrationFixture(const wchar_t* name) : machine(name) {
    g_pauses.clear();
    previous = SetHostsReload(RecordReload);
  }
  ~RegistrationFixture() { SetHostsReload(previous); }
  CRegistryView Key(const std::wstring& path) const { return machine.Key(path.c_str()); }
  CRegistryView TodayItem() const { return Key(std::wstring(TODAY_ITEMS_KEY) + L"\\" + TARVO_TODAY_ITEM_NAME); }
  CRegistryView Plugin(const wchar_t* name) const { return Key(std::wstring(TARVO_TAB_PLUGINS_KEY) + L"\\" + name); }
  CLocalMachineSandbox machine;
  PFN_HOSTS_RELOAD previous;
};

std::wstring Text(const CRegistryView& key, const wchar_t* name) {
  std::wstring text;
  return key.ReadString(name, text) ? text : L"(missing)";
}

TEST(Registration, RegisteringWritesTheTodayItemThePluginsAndTheApplet) {
  RegistrationFixture f(L"register");
  ASSERT_TRUE(f.machine.Redirected());
  RegisterServer();
  CRegistryView item = f.TodayItem();
  EXPECT_EQ(Text(item, L"DLL"), L"\\Windows\\QelTarvo.dll");
  EXPECT_EQ(Number(item, L"Selectability"), 2u);
  EXPECT_EQ(Number(item, L"Type"), 4u);
  EXPECT_EQ(Number(item, L"Options"), 1u);
  EXPECT_EQ(Number(item, L"Enabled"), 1u);
  EXPECT_EQ(Number(item, L"STCVersion"), 1u);
  EXPECT_EQ(Number(item, L"STCCurrentTabs"), 4u);
  EXPECT_EQ(Number(item, L"STCPossibleTabs"), 5u);
  EXPECT_EQ(Number(item, L"STCRecommendedIndent"), 0u);
  CRegistryView all = f.Plugin(L"TarvoAll");
  EXPECT_EQ(Text(all, L"Name3.0"), L"Qel Tarvo");
  EXPECT_EQ(Text(all, L"Label"), L"");
  EXPECT_FALSE(f.Plugin(L"TarvoTasks").Exists());
  CRegistryView applet = f.Key(std::wstring(TARVO_TAB_APPLETS_KEY) + L"\\TarvoPhotoContact");
  EXPECT_EQ(Text(applet, L"Name"), L"Photo Contact");
  EXPECT_EQ(Number(applet, L"Type"), 0u);
  EXPECT_EQ(g_pauses, std::vector<DWORD>{1000});
  EXPECT_EQ(GetRegistrationState(nullptr), kTodayItemEnabled);
}

TEST(Registration, StateFollowsTheKeys) {
  struct Case {
    const char* what;
    const wchar_t* dll;  // null: no Today item key
    DWORD enabled;
    const wchar_t* pluginWithSubKey;
    RegistrationState state;
  };
  const Case cases[] = {
      {"nothing", nullptr, 0, nullptr, kNotRegistered},
      {"an enabled item", L"\\Windows\\QelTarvo.dll", 1, nullptr, kTodayItemEnabled},
      {"a disabled item", L"\\Windows\\QelTarvo.dll", 0, nullptr, kTodayItemDisabled},
      {"an item without library", L"", 1, nullptr, kTodayItemDisabled},
      {"per-tab plug-ins", L"\\Windows\\QelTarvo.dll", 1, L"TarvoNotes", kPerTabPlugins},
      {"the whole panel as one tab", nullptr, 0, L"TarvoAll", kAllTabsPlugin},
  };
  for (const Case& c : cases) {
    RegistrationFixture f(L"state");
    ASSERT_TRUE(f.machine.Redirected());
    if (c.dll) {
      f.TodayItem().WriteString(L"DLL", c.dll);
      f.TodayItem().WriteDWORD(L"enabled", c.enabled);
    }
    if (c.pluginWithSubKey) f.Plugin(c.pluginWithSubKey).CreateSubKey(L"Slot");
    BOOL host = TRUE;
    EXPECT_EQ(GetRegistrationState(&host), c.state) << c.what;
    EXPECT_FALSE(host) << c.what;
  }
}

TEST(Registration, TabHostWithPerTabPluginsKeepsThem) {
  RegistrationFixture f(L"per_tab");
  ASSERT_TRUE(f.machine.Redirected());
  f.Key(TARVO_TAB_HOST_KEY).WriteDWORD(L"Present", 1);
  f.Plugin(L"TarvoTasks").CreateSubKey(L"Slot");
  RegisterServer();
  EXPECT_EQ(Number(f.Key(TARVO_PRODUCT_KEY), L"AllTabsInArdeno"), 0u);
  for (LPCWSTR name : kTabPluginNames) EXPECT_TRUE(f.Plugin(name).Exists()) << name;
  EXPECT_EQ(Text(f.Plugin(L"TarvoTasks"), L"Name3.0"), L"Qel Tarvo - Tasks");
  EXPECT_EQ(Text(f.Key(std::wstring(TARVO_TAB_PLUGINS_KEY) + L"\\TarvoTasks\\Slot"), L"DLL"),
            L"\\Windows\\QelTarvo.dll");
  EXPECT_FALSE(f.Plugin(L"TarvoAll").Exists());
  EXPECT_FALSE(f.TodayItem().Exists()) << "the tab host shows it: no Today item";
}

TEST(Registration, UnregisteringRemovesEveryKeyButOthersProducts) {
  for (bool otherProduct : {false, true}) {
    RegistrationFixture f(L"unregister");
    ASSERT_TRUE(f.machine.Redirected());
    if (otherProduct) f.Key(L"SOFTWARE\\Korvel\\Shared\\TabPlugins\\OtherTab").WriteDWORD(L"x", 1);
    RegisterServer();
    f.Plugin(L"TarvoAll").CreateSubKey(L"Slot");
    g_pauses.clear();
    UnregisterServer();
    EXPECT_FALSE(f.TodayItem().Exists());
    EXPECT_FALSE(f.Plugin(L"TarvoAll").Exists());
    EXPECT_FALSE(f.Key(std::wstring(TARVO_TAB_APPLETS_KEY)).Exists());
    EXPECT_TRUE(f.Key(TODAY_ITEMS_KEY).Exists()) << "the Today screen's own key stays";
    EXPECT_EQ(f.Key(L"SOFTWARE\\Korvel\\Shared\\TabPlugins\\OtherTab").Exists(), otherProduct);
    EXPECT_EQ(g_pauses, std::vector<DWORD>{3000});
    EXPECT_EQ(GetRegistrationState(nullptr), kNotRegistered);
  }
}

TEST(Registration, DisablingTheItemClearsThePluginLibraries) {
  for (BOOL clearDll : {FALSE, TRUE}) {
    RegistrationFixture f(L"disable");
    ASSERT_TRUE(f.machine.Redirected());
    RegisterServer();
    f.Plugin(L"TarvoNotes").WriteString(L"DLL", L"x");
    DisableTodayItem(clearDll);
    EXPECT_EQ(GetRegistrationState(nullptr), kTodayItemDisabled) << clearDll;
    EXPECT_EQ(Text(f.Plugin(L"TarvoAll"), L"DLL"), L"");
    EXPECT_EQ(Text(f.Plugin(L"TarvoNotes"), L"DLL"), L"");
    EXPECT_FALSE(f.Plugin(L"TarvoTasks").Exists()) << "a missing key is not made";
    // Without force, a disabled-by-library item registers no plug-ins.
    EXPECT_EQ(RegisterTabPlugins(nullptr, nullptr, FALSE), clearDll ? 0 : 1);
  }
}

}  // namespace
