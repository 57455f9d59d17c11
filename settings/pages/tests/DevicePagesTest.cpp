// Options pages changing the plug-in on the emulated device: the Today screen loads
// QelTarvo.dll from an install folder of the test's own, the store holds the
// device's sample week, a page is changed and applied through its sheet, and the
// options program tells the plug-in as it does when it ends. Nothing of the
// plug-in is called: the screen is read. Each test leaves the screen before and
// after in the temporary folder for a look.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "graphics/Skin.h"
#include "panel/Registration.h"
#include "pim/ApptStatusColors.h"
#include "pim/OndrelClient.h"
#include "platform/cedbtool/VolumeText.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/today/TodayHost.h"
#include "platform/today/tests/TodayScreen.h"
#include "platform/unzip/tests/ZipWriter.h"
#include "settings/pages/CalendarViewStylePage.h"
#include "settings/pages/SkinsPage.h"
#include "settings/pages/tests/DeviceInstallFolder.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

using deviceinstall::BinFolder;
using deviceinstall::SourcePath;

using Screen = TodayScreen;
Screen Shoot(const CTodayHost& host) { return Screen::Shoot(host); }

// The rows' status bars stand in the screen's left columns, after the tab strip, in
// the busy colour of the sample week's appointments.
const int kStatusLeft = 0, kStatusRight = 80;
int StatusBarPixels(const Screen& screen) { return screen.Count(LoadApptStatusColors(2), kStatusLeft, kStatusRight); }

// Generous: the machine may be busy with other builds; a condition ends the wait early.
bool WaitFor(const std::function<bool()>& done) { return cedbtest::PumpUntil(done, 60000); }

// The device of the sample week at 96 dpi; the plug-in as the one Today item, its
// install folder a copy of what the device installs: the resource library and the
// skins.
class DevicePagesTest : public PageRunTest {
 protected:
  DevicePagesTest() : m_install(L"settings_device_pages") {
    m_device.Set(L"PlatformType", L"PocketPC");
    m_device.Set(L"Version", L"5.1");
    m_device.Set(L"Dpi", L"96");
    m_device.Set(L"Screen", L"240x320");
    m_device.Set(L"Clock", L"2026-03-16 09:30:00");
  }
  void SetUp() override {
    PageRunTest::SetUp();
    pimtest::ClearStores();
    std::string error;
    const std::string week = cedbtest::ReadFileBytes(SourcePath("/pim/calendar.txt"));
    ASSERT_FALSE(week.empty());
    CEGUID volume;
    std::wstring name = L"pim.vol";
    ASSERT_TRUE(CeMountDBVol(&volume, &name[0], OPEN_ALWAYS));
    ASSERT_TRUE(VolumeText::Load(volume, week, &error)) << error;
    CeUnmountDBVol(&volume);

    ASSERT_TRUE(deviceinstall::LayOut(m_install));
    m_machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", m_install.Path().c_str());
    // The Calendar alone, its week with every appointment's status bar.
    Product().WriteDWORD(L"ShowTabs", 32);
    Product().WriteDWORD(L"CalendarPeriod", 7);
    Product().WriteDWORD(L"App_StatusBar", 1);
    Product().WriteString(L"SkinName", L"NewStyle");
    CRegistryView item = m_machine.Key((std::wstring(L"Software\\Microsoft\\Today\\Items\\") +
                                        TARVO_TODAY_ITEM_NAME).c_str());
    item.WriteString(L"DLL", (BinFolder() + L"\\QelTarvo.dll").c_str());
    item.WriteDWORD(L"Type", 4);
    item.WriteDWORD(L"Enabled", 1);
    item.WriteDWORD(L"Options", 1);
    item.WriteDWORD(L"Selectability", 2);
    // The options program's window beside the device's screen, not over it.
    SetWindowPos(m_window, nullptr, 600, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    TodayHostOptions options;
    options.pollMs = 500;
    ASSERT_TRUE(m_host.Create(options));
    ASSERT_EQ(m_host.ItemCount(), 1u) << Log(L"");
  }
  void TearDown() override {
    m_host.Destroy();
    COndrelClient::Instance().StopOndrel();
    pimtest::ClearStores();
    PageRunTest::TearDown();
  }

  // The plug-in's item once it has grown from its first height to its rows' (the
  // Today screen's first layout passes take half a second), so pictures show it whole.
  bool ItemGrown() const { return TodayItemHeight(m_host) > 200; }

  // The screen once the Calendar shows its rows, saved as name.png.
  Screen CalendarShown(const wchar_t* name) {
    EXPECT_TRUE(WaitFor([&] { return ItemGrown() && StatusBarPixels(Shoot(m_host)) > 10; }))
        << "the Calendar never showed its rows\n" << Log(name);
    Log(name);
    return Shoot(m_host);
  }

  // What the options program does when it ends after a change: tell the plug-in.
  void TellThePlugin() { ASSERT_TRUE(m_window.NotifyPluginSettingsChanged(0)); }

  // The screen saved as name.png in the temporary folder, and the host's log.
  std::string Log(const std::wstring& name) const {
    std::string out;
    if (!name.empty()) {
      wchar_t temp[MAX_PATH];
      GetTempPathW(MAX_PATH, temp);
      const std::wstring png = std::wstring(temp) + name + L".png";
      m_host.SaveScreenshot(png);
      out = "screen: " + std::string(png.begin(), png.end()) + "\n";
    }
    for (const std::wstring& line : m_host.LogLines()) out += std::string(line.begin(), line.end()) + "\n";
    return out;
  }

  CDeviceSwitch m_device;
  ziptest::TempFolder m_install;
  CTodayHost m_host;
};

TEST_F(DevicePagesTest, TheViewStylePageTakesTheStatusBarsOffTheCalendar) {
  const Screen before = CalendarShown(L"CalendarViewBefore");
  RunPage(
      1, 4,
      [&](HWND page) {
        ASSERT_TRUE(Ticked(page, kAppStatusBarBox));
        Click(page, kAppStatusBarBox);
      },
      {IDOK});
  EXPECT_EQ(Stored(L"App_StatusBar"), 0u);
  TellThePlugin();
  EXPECT_TRUE(WaitFor([&] { return ItemGrown() && StatusBarPixels(Shoot(m_host)) == 0; }))
      << "the status bars stayed\n" << Log(L"CalendarViewAfter");
  EXPECT_GT(Shoot(m_host).Differences(before), 0);
  Log(L"CalendarViewAfter");
}

TEST_F(DevicePagesTest, ASkinChosenOnTheSkinsPageChangesThePluginsLook) {
  const Screen before = CalendarShown(L"SkinBefore");
  RunPage(
      0, 5,
      [&](HWND page) {
        ASSERT_EQ(ItemCount(page, kSkinCombo), 2);
        ASSERT_EQ(ItemText(page, kSkinCombo, 1), L"Plain");
        Choose(page, kSkinCombo, 1);
      },
      {IDOK});
  EXPECT_EQ(StoredText(L"SkinName"), L"Plain");
  TellThePlugin();
  // A tenth of the screen at least: the skin's tab strip, headers and scroll bar.
  const int enough = before.width * before.height / 10;
  EXPECT_TRUE(WaitFor([&] { return ItemGrown() && Shoot(m_host).Differences(before) > enough; }))
      << "the plug-in kept its look\n" << Log(L"SkinAfter");
  Log(L"SkinAfter");
  // The page tried the skin in this program too.
  CSkin::Instance().UseSkinPath(nullptr);
  CSkin::Instance().Release();
}

}  // namespace
