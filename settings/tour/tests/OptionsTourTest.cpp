// The options tour on the emulated device, headless: every page of every sheet gets
// its one change through the options program's own start and exit, the registry is
// read after each step, and the plug-in on the Today screen is watched as it reloads:
// the values it reads afterwards and the texts it draws. No pixels are compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/tests/ResourceLibraryScope.h"
#include "platform/coredll/DeviceIdentity.h"
#include "settings/pages/SectionSheet.h"
#include "settings/pages/tests/DeviceInstallFolder.h"
#include "settings/shell/SettingsApp.h"
#include "settings/shell/UserPrompt.h"
#include "settings/tour/OptionsTour.h"
#include "settings/tour/PluginProbe.h"
#include "tabs/join/tests/DeviceTestSupport.h"
#include "tabs/messages/tests/SampleStoreSupport.h"

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Every value of the product key as the tour reads it.
std::map<std::wstring, std::wstring> ProductValues() {
  std::map<std::wstring, std::wstring> values;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY + 1, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    values[name] = ReadProductValue(name);
  }
  RegCloseKey(key);
  return values;
}

// The windows of this thread that show, by class, as a person would see what is left
// on the screen.
std::map<HWND, std::string> ShownWindows() {
  std::map<HWND, std::string> shown;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        if (!IsWindowVisible(window)) return TRUE;
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        (*reinterpret_cast<std::map<HWND, std::string>*>(found))[window] = name;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&shown));
  return shown;
}

int g_boxes = 0;
int CountBox(HWND, LPCWSTR, LPCWSTR, UINT) {
  ++g_boxes;
  return IDOK;
}

class OptionsTourTest : public devicetest::DeviceToday {
 protected:
  OptionsTourTest() : m_install(L"settings_options_tour") {}
  void SetUp() override {
    Prepare(L"OptionsTour", TARVO_DEVICE_CALENDAR);
    if (HasFatalFailure()) return;
    // The sample tasks beside the week, for the short date of their due dates.
    {
      std::string error;
      const std::string tasks = cedbtest::ReadFileBytes(deviceinstall::SourcePath("/pim/tasks.txt"));
      ASSERT_FALSE(tasks.empty());
      CEGUID volume;
      std::wstring name = L"pim.vol";
      ASSERT_TRUE(CeMountDBVol(&volume, &name[0], OPEN_ALWAYS));
      ASSERT_TRUE(VolumeText::Load(volume, tasks, &error)) << error;
      CeUnmountDBVol(&volume);
    }
    // The sample notes in their folders, for the notes pages: device paths are the
    // drive's, so the documents folder is "C:\My Documents" (as DeviceNotesTest has
    // it); only what was not there is copied, and taken away again.
    m_device.Set(L"Root", L"C:\\");
    GetCurrentDirectoryW(MAX_PATH, m_previousDirectory);
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
    for (const char* folder : {"", "/Work", "/Personal"}) {
      std::wstring to = L"C:\\My Documents";
      for (const char* c = folder; *c; ++c) to += *c == '/' ? L'\\' : wchar_t(*c);
      if (CreateDirectoryW(to.c_str(), nullptr)) m_made.insert(m_made.begin(), to);
      const std::wstring from = deviceinstall::SourcePath((std::string("/root/My Documents") + folder).c_str());
      WIN32_FIND_DATAW found;
      HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &found);
      ASSERT_NE(find, INVALID_HANDLE_VALUE);
      do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring file = to + L"\\" + found.cFileName;
        if (CopyFileW((from + L"\\" + found.cFileName).c_str(), file.c_str(), TRUE)) m_copied.push_back(file);
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
    // The sample message stores in the device's store folder, for the messages pages;
    // only stores that were not there are taken away again.
    sampletest::RegisterSampleServices(*m_sandbox);
    m_stores = CDeviceIdentity::Root() + L"MessageStores\\";
    if (CreateDirectoryW(m_stores.c_str(), nullptr)) m_made.push_back(m_stores);
    for (const wchar_t* store : {L"ActiveSync.mst", L"SMS.mst"})
      if (GetFileAttributesW((m_stores + store).c_str()) == INVALID_FILE_ATTRIBUTES) m_copied.push_back(m_stores + store);
    ASSERT_TRUE(mapitest::InstallStore(L"ActiveSync.mst", sampletest::ResourceText(101)) &&
                mapitest::InstallStore(L"SMS.mst", sampletest::ResourceText(102)));
    ASSERT_TRUE(deviceinstall::LayOut(m_install));
    m_sandbox->Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", m_install.Path().c_str());
    m_resources.reset(new CResourceLibraryScope());
    CSettingsApp::SetProgramSwitches();
    RegisterSectionSheets();
    g_boxes = 0;
    m_previousBox = SetMessageBoxHandler(&CountBox);
    Start();
    ASSERT_EQ(m_host.ItemCount(), 1u) << Log(L"OptionsTourStart");
  }
  void TearDown() override {
    SetMessageBoxHandler(m_previousBox);
    devicetest::DeviceToday::TearDown();
    m_resources.reset();
    for (const std::wstring& file : m_copied) DeleteFileW(file.c_str());
    for (const std::wstring& folder : m_made) RemoveDirectoryW(folder.c_str());
    if (m_previousDirectory[0]) SetCurrentDirectoryW(m_previousDirectory);
  }

  ziptest::TempFolder m_install;
  std::unique_ptr<CResourceLibraryScope> m_resources;
  PFN_MESSAGE_BOX m_previousBox = nullptr;
  wchar_t m_previousDirectory[MAX_PATH] = L"";
  std::vector<std::wstring> m_copied, m_made;  // the samples copied, the folders made (innermost first)
  std::wstring m_stores;
};

TEST_F(OptionsTourTest, EveryPageStoresItsChangeAndThePluginReloadsIt) {
  COptionsTour tour(m_host);
  const std::map<HWND, std::string> screen = ShownWindows();
  for (size_t i = 0; i < kTourStepCount; ++i) {
    const TourStep& step = kTourSteps[i];
    SCOPED_TRACE(Narrow(step.name));
    ASSERT_TRUE(tour.AttachProbe());
    const std::map<std::wstring, std::wstring> before = ProductValues();
    TourStepResult result;
    std::wstring error;
    EXPECT_TRUE(tour.RunStep(step, static_cast<int>(i) + 1, result, error)) << Narrow(error);
    // Only the step's value changed of what was stored before.
    const std::map<std::wstring, std::wstring> after = ProductValues();
    for (const auto& value : before) {
      // The plug-in's own records (its current tab, its grown height) may change meanwhile.
      if (_wcsicmp(value.first.c_str(), step.value) == 0 || value.first == L"last_panel" ||
          value.first.compare(0, 12, L"LastAutoSize") == 0)
        continue;
      auto now = after.find(value.first);
      EXPECT_TRUE(now != after.end() && now->second == value.second)
          << Narrow(value.first) << " was \"" << Narrow(value.second) << "\"";
    }
    EXPECT_TRUE(tour.AwaitReload(step, static_cast<int>(i) + 1, result, 60000, error)) << Narrow(error) << Log(step.name);
    // The program left nothing on the screen for the next step to meet.
    for (const auto& window : ShownWindows())
      EXPECT_TRUE(screen.count(window.first)) << "a window of class " << window.second << " stayed";
  }
  EXPECT_EQ(g_boxes, 0);
}

}  // namespace

namespace cedbtest {
// This program runs no child jobs.
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest
