// The Contacts tab on the emulated device: the Today screen loads QelTarvo.dll, the
// store holds the device's thirty sample contacts, the Contacts cell of the strip is
// tapped and letters are typed to the plug-in's window as the keyboard delivers them;
// the list on the screen narrows. Nothing of the plug-in is called directly.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "panel/Registration.h"
#include "platform/cedbtool/VolumeText.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/today/TodayHost.h"
#include "platform/today/TodayScript.h"

namespace {

std::wstring ProgramFolder() {
  CString dir;
  GetModuleDirPath(dir);
  return std::wstring(dir);
}

// The pixel rows of the list's name column (right of the tab strip, between the
// header and the letter bar) that hold dark (text) pixels: a measure of how many
// names are listed.
int TextLines(const CTodayHost& host, int top) {
  HBITMAP bitmap = host.Capture();
  DIBSECTION dib = {};
  int lines = 0;
  if (bitmap && GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits) {
    const int width = dib.dsBm.bmWidth;
    const int height = dib.dsBm.bmHeight < 0 ? -dib.dsBm.bmHeight : dib.dsBm.bmHeight;
    const DWORD* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
    for (int y = top; y < height - 16; ++y) {
      bool dark = false;
      for (int x = 40; x < width / 2 + 30 && !dark; ++x) {
        const DWORD p = bits[static_cast<size_t>(y) * width + x];
        dark = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 160;
      }
      lines += dark ? 1 : 0;
    }
  }
  if (bitmap) DeleteObject(bitmap);
  return lines;
}

bool RunSteps(CTodayHost& host, const std::wstring& steps) {
  CTodayScript script;
  std::wstring error;
  EXPECT_TRUE(script.Parse(steps, error)) << std::string(error.begin(), error.end());
  const bool ran = script.Run(host, error);
  EXPECT_TRUE(ran) << std::string(error.begin(), error.end());
  return ran;
}

class DeviceContacts : public ::testing::Test {
 protected:
  void SetUp() override {
    m_device.Set(L"PlatformType", L"PocketPC");
    m_device.Set(L"Version", L"5.1");
    m_device.Set(L"Dpi", L"96");
    m_device.Set(L"Screen", L"240x320");
    m_device.Set(L"Clock", L"2026-03-16 09:30:00");
    m_sandbox.reset(new CLocalMachineSandbox(L"devicecontacts"));
    pimtest::ClearStores();
    std::string text = cedbtest::ReadFileBytes(TARVO_DEVICE_CONTACTS), error;
    ASSERT_FALSE(text.empty());
    CEGUID volume;
    std::wstring name = L"pim.vol";
    ASSERT_TRUE(CeMountDBVol(&volume, &name[0], OPEN_ALWAYS));
    ASSERT_TRUE(VolumeText::Load(volume, text, &error)) << error;
    CeUnmountDBVol(&volume);

    CLocalMachineSandbox& machine = *m_sandbox;
    ASSERT_TRUE(machine.Redirected());
    machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", ProgramFolder().c_str());
    // Names in one flat list, as the README's picture shows them.
    machine.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"ContactsGroupBy", 501);
    CRegistryView item =
        machine.Key((std::wstring(L"Software\\Microsoft\\Today\\Items\\") + TARVO_TODAY_ITEM_NAME).c_str());
    item.WriteString(L"DLL", (ProgramFolder() + L"\\QelTarvo.dll").c_str());
    item.WriteDWORD(L"Type", 4);
    item.WriteDWORD(L"Enabled", 1);
    item.WriteDWORD(L"Options", 1);
    item.WriteDWORD(L"Selectability", 2);
    TodayHostOptions options;
    options.pollMs = 500;
    ASSERT_TRUE(m_host.Create(options));
  }
  void TearDown() override { m_host.Destroy(); }

  // Types as the keyboard does: a character to the plug-in's window.
  void Type(const wchar_t* keys) {
    HWND panel = m_host.ItemCount() ? m_host.ItemAt(0).record->hwndCustom : nullptr;
    ASSERT_NE(panel, nullptr);
    for (const wchar_t* k = keys; *k; ++k) {
      PostMessageW(panel, WM_CHAR, *k, 1);
      RunSteps(m_host, L"wait 150\n");
    }
    RunSteps(m_host, L"wait 400\n");
  }

  // The screen saved beside the temporary files, for a look and for the README.
  std::wstring Save(const wchar_t* name) const {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring png = std::wstring(temp) + name;
    m_host.SaveScreenshot(png);
    return png;
  }

  CDeviceSwitch m_device;
  std::unique_ptr<CLocalMachineSandbox> m_sandbox;
  CTodayHost m_host;
};

TEST_F(DeviceContacts, TypingLettersOnTheContactsTabNarrowsTheList) {
  ASSERT_EQ(m_host.ItemCount(), 1u);
  // The strip's third cell: the Contacts tab.
  ASSERT_TRUE(RunSteps(m_host, L"wait 300\ntap 12 50\nwait 600\n"));
  const int top = 18;
  const int all = TextLines(m_host, top);
  Save(L"DeviceContactsBefore.png");
  // Typed text: only Nils Strand's words start with "st".
  Type(L"st");
  const int text = TextLines(m_host, top);
  Save(L"DeviceContactsTyped.png");
  EXPECT_GT(all, 0);
  EXPECT_LT(text * 3, all) << "the list did not narrow: " << all << " lines before, " << text << " after";
  EXPECT_GT(text, 0) << "the one match is shown";
  // Back to every name, then the phone keys: 9 is w, x, y, z (Wall, Young, Zorn).
  Type(L"\b\b");
  EXPECT_GE(TextLines(m_host, top) * 4, all * 3);
  Type(L"9");
  const int keys = TextLines(m_host, top);
  Save(L"DeviceContactsKeys.png");
  EXPECT_LT(keys * 2, all);
  EXPECT_GT(keys, text);
}

}  // namespace
