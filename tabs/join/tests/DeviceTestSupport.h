// The whole plug-in on the emulated device, for tests that tap the screen and read it:
// the device as its profile describes it, sample data from device/pim in its store, the
// plug-in registered as the one Today item with its install folder beside the test (so
// the real item-operations program is found), and the screen read back as pixels.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "panel/Registration.h"
#include "pim/OndrelClient.h"
#include "platform/cedbtool/VolumeText.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/today/TodayHost.h"
#include "platform/today/TodayScript.h"
#include "platform/today/tests/TodayScreen.h"

namespace devicetest {

inline std::wstring BinFolder() {
  CString dir;
  GetModuleDirPath(dir);
  return std::wstring(dir);
}

// The plug-in of this build as the one Today item, its install folder beside the tests.
inline void RegisterPluginItem(CLocalMachineSandbox& machine) {
  machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", BinFolder().c_str());
  CRegistryView item =
      machine.Key((std::wstring(L"Software\\Microsoft\\Today\\Items\\") + TARVO_TODAY_ITEM_NAME).c_str());
  item.WriteString(L"DLL", (BinFolder() + L"\\QelTarvo.dll").c_str());
  item.WriteDWORD(L"Type", 4);
  item.WriteDWORD(L"Enabled", 1);
  item.WriteDWORD(L"Options", 1);
  item.WriteDWORD(L"Selectability", 2);
}

// The host's log, and its screen saved under that name beside the temporary files for
// a look.
inline std::string HostLog(const CTodayHost& host, const wchar_t* pictureName) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring png = std::wstring(temp) + pictureName;
  host.SaveScreenshot(png);
  std::string out = "screen: " + std::string(png.begin(), png.end()) + "\n";
  for (const std::wstring& line : host.LogLines()) out += std::string(line.begin(), line.end()) + "\n";
  return out;
}

using Screen = TodayScreen;

inline Screen Shoot(const CTodayHost& host) { return TodayScreen::Shoot(host); }

inline bool RunSteps(CTodayHost& host, const std::wstring& steps) {
  CTodayScript script;
  std::wstring error;
  EXPECT_TRUE(script.Parse(steps, error)) << std::string(error.begin(), error.end());
  const bool ran = script.Run(host, error);
  EXPECT_TRUE(ran) << std::string(error.begin(), error.end());
  return ran;
}

// Generous: the machine may be busy with other builds; a condition ends the wait early.
inline bool WaitFor(const std::function<bool()>& done) { return cedbtest::PumpUntil(done, 60000); }

// The device at 09:30 on Monday, 16 March 2026, with one file of device/pim in its
// store and the plug-in as its one Today item; Start makes the Today screen.
class DeviceToday : public ::testing::Test {
 protected:
  // The samples (a dump of the volume tool) loaded into "pim.vol" of a fresh store; on
  // a device of the older layout (Windows Mobile 2003) into its object store.
  void Prepare(const wchar_t* sandbox, const wchar_t* samples, bool olderLayout = false) {
    m_device.Set(L"PlatformType", L"PocketPC");
    m_device.Set(L"Version", olderLayout ? L"4.21" : L"5.1");
    m_device.Set(L"Dpi", L"96");
    m_device.Set(L"Screen", L"240x320");
    m_device.Set(L"Clock", L"2026-03-16 09:30:00");
    // The object model's server is registered for the whole prefix: the program that
    // changes the store is another process, outside this one's registry sandbox.
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
    m_sandbox.reset(new CLocalMachineSandbox(sandbox));
    pimtest::ClearStores();
    std::string text = cedbtest::ReadFileBytes(samples), error;
    ASSERT_FALSE(text.empty());
    CEGUID volume;
    std::wstring name = L"pim.vol";
    if (olderLayout) {
      CREATE_SYSTEMGUID(&volume);
      ASSERT_TRUE(VolumeText::Load(volume, text, &error)) << error;
    } else {
      ASSERT_TRUE(CeMountDBVol(&volume, &name[0], OPEN_ALWAYS));
      ASSERT_TRUE(VolumeText::Load(volume, text, &error)) << error;
      CeUnmountDBVol(&volume);
    }

    ASSERT_TRUE(m_sandbox->Redirected());
    RegisterPluginItem(*m_sandbox);
  }
  CRegistryView Product() const { return m_sandbox->Key(TARVO_PRODUCT_KEY); }
  // The Today screen, once the plug-in's item has grown from the first height the
  // screen gives it to its rows' (the first layout passes take about half a second):
  // what a test reads from the screen is then the whole item.
  void Start() {
    TodayHostOptions options;
    options.pollMs = 500;
    ASSERT_TRUE(m_host.Create(options));
    ASSERT_TRUE(WaitFor([&] { return TodayItemHeight(m_host) > kFirstItemHeight; }))
        << "the Today item kept its first height\n" << Log(L"NotGrown");
  }
  // The item's "TotalHeight" before it has measured its rows.
  static const int kFirstItemHeight = 120;
  void TearDown() override {
    m_host.Destroy();
    COndrelClient::Instance().StopOndrel();
  }

  // The log, and the screen saved beside the temporary files (as name.png) for a look.
  std::string Log(const wchar_t* name) const { return HostLog(m_host, (std::wstring(name) + L".png").c_str()); }

  CDeviceSwitch m_device;
  std::unique_ptr<CLocalMachineSandbox> m_sandbox;
  CTodayHost m_host;
};

}  // namespace devicetest
