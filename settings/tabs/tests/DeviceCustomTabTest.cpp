// The options program and the plug-in on the emulated device: the Today screen
// loads QelTarvo.dll beside another Today item; a custom tab made on the Tabs page
// takes that item in; when the program tells the Today screen to reload, the item
// leaves the Today screen and shows inside the plug-in's new tab.
#include <gtest/gtest.h>

#include <functional>

#include "base/InstallPath.h"
#include "controls/PopupMenuTracker.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/today/TestItem.h"
#include "platform/today/TodayHost.h"
#include "platform/today/TodayScript.h"
#include "settings/tabs/tests/TabsTestSupport.h"

namespace cedbtest {
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest

namespace {

std::wstring BinFolder() {
  CString dir;
  GetModuleDirPath(dir);
  return std::wstring(dir);
}

std::wstring TempFile(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name;
}

// The test item's window and whether the Today screen itself holds it.
HWND FindTestItem(HWND frame, HWND* parent) {
  struct Search {
    HWND found = nullptr;
  } search;
  EnumChildWindows(
      frame,
      [](HWND window, LPARAM data) -> BOOL {
        WCHAR name[32] = L"";
        GetClassNameW(window, name, ARRAYSIZE(name));
        if (lstrcmpW(name, L"TodayTestItem") != 0) return TRUE;
        reinterpret_cast<Search*>(data)->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (parent) *parent = search.found ? GetParent(search.found) : nullptr;
  return search.found;
}

struct MenuChoice {
  int command;
};
int ChooseFromMenu(HMENU, UINT, int, int, HWND, void* context) { return static_cast<MenuChoice*>(context)->command; }

using DeviceCustomTab = TabsTest;

TEST_F(DeviceCustomTab, ACustomTabMadeInTheOptionsProgramShowsInThePlugin) {
  CDeviceSwitch device;
  device.Set(L"PlatformType", L"PocketPC");
  device.Set(L"Version", L"5.1");
  device.Set(L"Dpi", L"96");
  device.Set(L"Screen", L"240x320");
  device.Set(L"Clock", L"2026-03-16 09:30:00");
  m_machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", BinFolder().c_str());
  CRegistryView own = TodayItem(TARVO_TODAY_ITEM_NAME);
  own.WriteString(L"DLL", (BinFolder() + L"\\QelTarvo.dll").c_str());
  own.WriteDWORD(L"Type", 4);
  own.WriteDWORD(L"Enabled", 1);
  own.WriteDWORD(L"Order", 0);
  own.WriteDWORD(L"Options", 1);
  own.WriteDWORD(L"Selectability", 2);
  CRegistryView item = TodayItem(L"TestItem");
  item.WriteString(L"DLL", (BinFolder() + L"\\" + TODAY_TEST_ITEM_DLL).c_str());
  item.WriteDWORD(L"Type", 4);
  item.WriteDWORD(L"Enabled", 1);
  item.WriteDWORD(L"Order", 20);
  item.WriteDWORD(L"STVersion", 1);
  item.WriteDWORD(L"Flags", 40);  // its height
  item.WriteString(L"STName", L"Test item");

  CTodayHost host;
  TodayHostOptions options;
  options.pollMs = 500;
  ASSERT_TRUE(host.Create(options));
  auto log = [&host] {
    std::string out;
    for (const std::wstring& line : host.LogLines()) out += std::string(line.begin(), line.end()) + "\n";
    return out;
  };
  cedbtest::PumpUntil([] { return false; }, 500);
  ASSERT_EQ(host.ItemCount(), 2u) << log();
  HWND parent = nullptr;
  ASSERT_TRUE(FindTestItem(host.Frame(), &parent));
  EXPECT_EQ(parent, host.View()) << "the Today screen shows the item itself";
  host.SaveScreenshot(TempFile(L"TabsDeviceBefore.png"));

  // The Tabs page, as the user works it: a new custom tab holding the test item.
  MenuChoice choice{ID_NEW_CUSTOM_TAB};
  CPopupMenuTracker::SetHook(&ChooseFromMenu, &choice);
  {
    CTabDialogScript script({[](HWND edit) { CTabDialogScript::Press(edit, IDOK); },
                             [](HWND picker) {
                               HWND list = GetDlgItem(picker, IDC_PICKER_LIST);
                               ASSERT_EQ(ListRows(list), std::vector<std::wstring>{L"Test item"});
                               ListView_SetCheckState(list, 0, TRUE);
                               CTabDialogScript::Press(picker, IDOK);
                             },
                             nullptr});
    RunPage(8, 1, [](HWND page) { CTabDialogScript::Press(page, IDC_TABS_NEW); }, {IDOK});
  }
  CPopupMenuTracker::SetHook(nullptr, nullptr);
  EXPECT_EQ(StoredText(L"ShowTabsSequence"), L"123456A");
  ASSERT_TRUE(m_window.IsFullRefresh());
  // What the program does when it ends: the Today screen reloads its items.
  ASSERT_TRUE(m_window.NotifyPluginSettingsChanged(0));
  ASSERT_TRUE(cedbtest::PumpUntil([&] { return host.ItemCount() == 1; }, 30000)) << log();
  EXPECT_EQ(FindTestItem(host.Frame(), nullptr), nullptr) << "the Today screen no longer shows the item";

  // The seventh cell of the strip: the custom tab, which loads the item inside the panel.
  CTodayScript script;
  std::wstring error;
  ASSERT_TRUE(script.Parse(L"wait 500\ntap 12 130\nwait 500\n", error));
  ASSERT_TRUE(script.Run(host, error)) << std::string(error.begin(), error.end());
  HWND shown = nullptr;
  ASSERT_TRUE(cedbtest::PumpUntil([&] { return (shown = FindTestItem(host.Frame(), &parent)) != nullptr; }, 30000))
      << log();
  EXPECT_NE(parent, host.View()) << "the item is hosted by the plug-in";
  EXPECT_TRUE(IsWindowVisible(shown));
  host.SaveScreenshot(TempFile(L"TabsDeviceAfter.png"));
  host.Destroy();
}

}  // namespace
