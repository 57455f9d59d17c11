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

namespace devicetest {

inline std::wstring BinFolder() {
  CString dir;
  GetModuleDirPath(dir);
  return std::wstring(dir);
}

// The screen as drawn, as rows of pixels (0x00RRGGBB).
struct Screen {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;
  COLORREF At(int x, int y) const {
    const DWORD p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // The first box framed in that colour, from the left: a column of the colour whose
  // top and bottom rows run on in the colour as far as it is high.
  bool FindBox(COLORREF colour, RECT* box) const {
    for (int x = 0; x < width; ++x)
      for (int y = 0; y < height; ++y) {
        if (At(x, y) != colour) continue;
        int bottom = y;
        while (bottom + 1 < height && At(x, bottom + 1) == colour) ++bottom;
        const int side = bottom - y + 1;
        if (side < 5 || x + side > width) continue;
        bool framed = true;
        for (int k = 0; k < side && framed; ++k) framed = At(x + k, y) == colour && At(x + k, bottom) == colour;
        if (!framed) continue;
        *box = {x, y, x + side, bottom + 1};
        return true;
      }
    return false;
  }
  bool Has(COLORREF colour) const {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (At(x, y) == colour) return true;
    return false;
  }
  // A tick inside the box's frame, drawn in the frame's colour.
  bool Ticked(const RECT& box) const {
    const COLORREF frame = At(box.left, box.top);
    for (int y = box.top + 1; y < box.bottom - 1; ++y)
      for (int x = box.left + 1; x < box.right - 1; ++x)
        if (At(x, y) == frame) return true;
    return false;
  }
};

inline Screen Shoot(const CTodayHost& host) {
  Screen screen;
  HBITMAP bitmap = host.Capture();
  DIBSECTION dib = {};
  if (bitmap && GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits) {
    screen.width = dib.dsBm.bmWidth;
    screen.height = dib.dsBm.bmHeight < 0 ? -dib.dsBm.bmHeight : dib.dsBm.bmHeight;
    const DWORD* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
    screen.pixels.assign(bits, bits + static_cast<size_t>(screen.width) * screen.height);
  }
  if (bitmap) DeleteObject(bitmap);
  return screen;
}

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
  // The samples (a dump of the volume tool) loaded into "pim.vol" of a fresh store.
  void Prepare(const wchar_t* sandbox, const wchar_t* samples) {
    m_device.Set(L"PlatformType", L"PocketPC");
    m_device.Set(L"Version", L"5.1");
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
    ASSERT_TRUE(CeMountDBVol(&volume, &name[0], OPEN_ALWAYS));
    ASSERT_TRUE(VolumeText::Load(volume, text, &error)) << error;
    CeUnmountDBVol(&volume);

    ASSERT_TRUE(m_sandbox->Redirected());
    m_sandbox->Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", BinFolder().c_str());
    CRegistryView item = m_sandbox->Key((std::wstring(L"Software\\Microsoft\\Today\\Items\\") +
                                         TARVO_TODAY_ITEM_NAME).c_str());
    item.WriteString(L"DLL", (BinFolder() + L"\\QelTarvo.dll").c_str());
    item.WriteDWORD(L"Type", 4);
    item.WriteDWORD(L"Enabled", 1);
    item.WriteDWORD(L"Options", 1);
    item.WriteDWORD(L"Selectability", 2);
  }
  CRegistryView Product() const { return m_sandbox->Key(TARVO_PRODUCT_KEY); }
  void Start() {
    TodayHostOptions options;
    options.pollMs = 500;
    ASSERT_TRUE(m_host.Create(options));
  }
  void TearDown() override {
    m_host.Destroy();
    COndrelClient::Instance().StopOndrel();
  }

  // The log, and the screen saved beside the temporary files (as name.png) for a look.
  std::string Log(const wchar_t* name) const {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring png = std::wstring(temp) + name + L".png";
    m_host.SaveScreenshot(png);
    std::string out = "screen: " + std::string(png.begin(), png.end()) + "\n";
    for (const std::wstring& line : m_host.LogLines()) out += std::string(line.begin(), line.end()) + "\n";
    return out;
  }

  CDeviceSwitch m_device;
  std::unique_ptr<CLocalMachineSandbox> m_sandbox;
  CTodayHost m_host;
};

}  // namespace devicetest
