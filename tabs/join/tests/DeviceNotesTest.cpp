// The Notes tab on the emulated device: the Today screen loads QelTarvo.dll, the
// documents folder holds the device's sample notes, and the tab's "new note" command,
// chosen from its menu by a held tap, starts the device's Notes program, which records
// a voice note through the voice recorder; the shell's file notice brings the new note
// into the list. Nothing of the plug-in is called directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "panel/Registration.h"
#include "pim/OndrelClient.h"
#include "platform/aygshell/AygTest.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/today/RowSteps.h"
#include "platform/today/TodayHost.h"
#include "platform/today/TodayScript.h"
#include "tabs/join/tests/DeviceTestSupport.h"

namespace {

using devicetest::RunSteps;
using devicetest::Shoot;
using devicetest::WaitFor;

const std::wstring kDocuments = L"C:\\My Documents";
const wchar_t* const kSamples[] = {L"Welcome.txt", L"Shopping list.pwi"};

// The recordings in the documents folder, by name.
std::vector<std::wstring> Recordings() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((kDocuments + L"\\Recording*.wav").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(data.cFileName);
  while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

// A person at the menu: once a popup menu shows, the first entry is chosen by keys.
class CMenuChooser {
 public:
  CMenuChooser()
      : m_thread([this] {
          for (int tries = 0; tries < 600 && !m_stop; ++tries) {
            HWND menu = FindWindowW(L"#32768", nullptr);
            if (menu && IsWindowVisible(menu)) {
              PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
              Sleep(200);
              PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
              m_chosen = true;
              return;
            }
            Sleep(50);
          }
        }) {}
  ~CMenuChooser() {
    m_stop = true;
    m_thread.join();
  }
  bool Chosen() const { return m_chosen; }

 private:
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_chosen{false};
  std::thread m_thread;
};

class DeviceNotes : public ::testing::Test {
 protected:
  void SetUp() override {
    m_device.Set(L"PlatformType", L"PocketPC");
    m_device.Set(L"Version", L"5.1");
    m_device.Set(L"Dpi", L"96");
    m_device.Set(L"Screen", L"240x320");
    // Device paths are the drive's: the documents folder is "C:\My Documents".
    m_device.Set(L"Root", L"C:\\");
    GetCurrentDirectoryW(MAX_PATH, m_previousDirectory);
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
    CreateDirectoryW(kDocuments.c_str(), nullptr);
    for (const wchar_t* sample : kSamples) {
      const std::wstring to = kDocuments + L"\\" + sample;
      if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
      ASSERT_TRUE(CopyFileW((std::wstring(TARVO_DEVICE_DOCUMENTS) + L"/" + sample).c_str(), to.c_str(), TRUE));
      m_copied.push_back(to);
    }
    m_before = Recordings();

    m_sandbox.reset(new CLocalMachineSandbox(L"devicenotes"));
    CLocalMachineSandbox& machine = *m_sandbox;
    ASSERT_TRUE(machine.Redirected());
    devicetest::RegisterPluginItem(machine);
    CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
    // By folder, the newest note first in each.
    product.WriteDWORD(L"NotesGroupBy", 551);
    product.WriteDWORD(L"NoteSortOrder", 1);

    TodayHostOptions options;
    options.pollMs = 500;
    ASSERT_TRUE(m_host.Create(options));
  }
  void TearDown() override {
    m_host.Destroy();
    COndrelClient::Instance().StopOndrel();
    for (const std::wstring& recording : Recordings())
      if (std::find(m_before.begin(), m_before.end(), recording) == m_before.end())
        DeleteFileW((kDocuments + L"\\" + recording).c_str());
    for (const std::wstring& path : m_copied) DeleteFileW(path.c_str());
    SetCurrentDirectoryW(m_previousDirectory);
  }

  std::string Log() const { return devicetest::HostLog(m_host, L"DeviceNotes.png"); }

  CDeviceSwitch m_device;
  WCHAR m_previousDirectory[MAX_PATH] = {};
  std::vector<std::wstring> m_copied;
  std::vector<std::wstring> m_before;
  std::unique_ptr<CLocalMachineSandbox> m_sandbox;
  CTodayHost m_host;
};

}  // namespace

TEST_F(DeviceNotes, ANewVoiceNoteRecordedFromTheTabsMenuAppearsInTheList) {
  ASSERT_EQ(m_host.ItemCount(), 1u) << Log();
  // The strip's fourth cell: the Notes tab, its header, then the folders' groups with
  // the documents folder itself first.
  ASSERT_TRUE(RunSteps(m_host, L"wait 300\ntap 12 70\nwait 1000\n"));
  // The notes' names below the first header, above the letter bar: the sample notes.
  const int top = 37, bottom = 300, left = 50, right = 140;
  int lines = 0;
  ASSERT_TRUE(WaitFor([&] {
    lines = Shoot(m_host).TextLines(top, bottom, left, right);
    return lines >= 2;
  })) << "no rows drawn\n" << Log();

  // A held tap on the first group's header (its title, not its fold sign) opens the
  // tab's menu; its first entry is "New note". The script's button messages are posted,
  // which moves no stylus the shell could watch: the shell takes this press as a hold.
  {
    CMenuChooser chooser;
    AygTestSetGestureMode(AYG_GESTURE_HOLD);
    const bool ran = RunSteps(m_host, L"tap 100 29\nwait 300\n");
    AygTestSetGestureMode(AYG_GESTURE_REAL);
    ASSERT_TRUE(ran);
    EXPECT_TRUE(WaitFor([&] { return chooser.Chosen(); })) << "no menu opened\n" << Log();
  }
  // The Notes program records into the documents folder...
  std::wstring made;
  EXPECT_TRUE(WaitFor([&] {
    for (const std::wstring& recording : Recordings())
      if (std::find(m_before.begin(), m_before.end(), recording) == m_before.end()) made = recording;
    return !made.empty();
  })) << "no recording was made\n" << Log();
  // ...and the shell's notice adds its row, shown at the top of the documents folder's
  // group (the newest first). Looked for by its name: the shared drive's documents folder
  // may hold notes other programs left, so a count of lines tells nothing.
  const std::wstring name = made.substr(0, made.find_last_of(L'.'));
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring rows = std::wstring(temp) + L"DeviceNotes-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  std::wstring dump;
  RECT place = {};
  EXPECT_TRUE(WaitFor([&] {
    dump = WriteItemRows(m_host, rows) ? ReadRowDump(rows) : std::wstring();
    return FindShownRow(dump, name, place);
  })) << "no row shows the new note " << std::string(name.begin(), name.end()) << "\n"
      << std::string(dump.begin(), dump.end()) << Log();
  DeleteFileW(rows.c_str());
}
