// The shell watches the file system for registered windows: changes made by any
// program arrive as file-change records without a test raising them.
#include "platform/aygshell/aygshell.h"
#include "platform/aygshell/tests/HostWindow.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/coredll/DeviceSwitch.h"
#include "platform/note_prj/tests/FixtureFiles.h"

namespace {

using aygtest::HostWindow;

constexpr DWORD kAllEvents = 0x000239FF;

using fixture::RunOther;
using fixture::Scratch;

bool Register(HWND window, DWORD mask, const std::wstring& folder, BOOL recursive) {
  SHCHANGENOTIFYENTRY entry = {mask, folder.empty() ? nullptr : const_cast<LPWSTR>(folder.c_str()), recursive};
  return SHChangeNotifyRegisterCE(window, &entry) != FALSE;
}

struct Change {
  LONG event;
  std::wstring item1;
  std::wstring item2;
};

// Takes the records the window received (freeing them) into plain values.
std::vector<Change> Take(HostWindow& window) {
  std::vector<Change> out;
  for (const auto& r : window.Of(WM_FILECHANGEINFO)) {
    auto* record = reinterpret_cast<FILECHANGENOTIFY*>(r.lParam);
    const FILECHANGEINFO& info = record->fci;
    out.push_back({info.wEventId, info.dwItem1 ? reinterpret_cast<LPCWSTR>(info.dwItem1) : L"",
                   info.dwItem2 ? reinterpret_cast<LPCWSTR>(info.dwItem2) : L""});
    SHChangeNotifyFree(record);
  }
  window.Clear();
  return out;
}

bool Has(const std::vector<Change>& changes, LONG event, const std::wstring& item1, const std::wstring& item2 = L"") {
  for (const Change& c : changes)
    if (c.event == event && _wcsicmp(c.item1.c_str(), item1.c_str()) == 0 && c.item2 == item2) return true;
  return false;
}

// Pumps until the window has a record of that change; returns what it got on the way.
std::vector<Change> WaitFor(HostWindow& window, LONG event, const std::wstring& item1,
                            const std::wstring& item2 = L"") {
  std::vector<Change> seen;
  aygtest::PumpUntil([&] {
    for (const Change& c : Take(window)) seen.push_back(c);
    return Has(seen, event, item1, item2);
  });
  return seen;
}

// A file another program writes in a watched folder arrives as a created item with
// its path; folders, removals and renames arrive as theirs.
TEST(FileWatch, ChangesByAnotherProgramArrive) {
  Scratch folder(L"watch_plain");
  HostWindow window;
  ASSERT_TRUE(Register(window.hwnd(), kAllEvents, folder.path(), FALSE));

  ASSERT_TRUE(RunOther(L"echo note> \"" + (folder / L"memo.txt") + L"\""));
  auto seen = WaitFor(window, SHCNE_CREATE, folder / L"memo.txt");
  EXPECT_TRUE(Has(seen, SHCNE_CREATE, folder / L"memo.txt"));

  ASSERT_TRUE(RunOther(L"mkdir \"" + (folder / L"Work") + L"\""));
  EXPECT_TRUE(Has(WaitFor(window, SHCNE_MKDIR, folder / L"Work"), SHCNE_MKDIR, folder / L"Work"));

  ASSERT_TRUE(RunOther(L"ren \"" + (folder / L"memo.txt") + L"\" plan.txt"));
  EXPECT_TRUE(Has(WaitFor(window, SHCNE_RENAMEITEM, folder / L"memo.txt", folder / L"plan.txt"), SHCNE_RENAMEITEM,
                  folder / L"memo.txt", folder / L"plan.txt"));

  ASSERT_TRUE(RunOther(L"del \"" + (folder / L"plan.txt") + L"\""));
  EXPECT_TRUE(Has(WaitFor(window, SHCNE_DELETE, folder / L"plan.txt"), SHCNE_DELETE, folder / L"plan.txt"));

  ASSERT_TRUE(RunOther(L"rmdir \"" + (folder / L"Work") + L"\""));
  EXPECT_TRUE(Has(WaitFor(window, SHCNE_RMDIR, folder / L"Work"), SHCNE_RMDIR, folder / L"Work"));
  EXPECT_TRUE(SHChangeNotifyDeregisterCE(window.hwnd()));
}

// A recursive registration also hears of the folders below; a flat one does not; a
// registration hears only of the events of its mask.
TEST(FileWatch, RecursionAndMask) {
  Scratch folder(L"watch_deep");
  CreateDirectoryW((folder / L"Sub").c_str(), nullptr);
  HostWindow flat, deep, deletions;
  ASSERT_TRUE(Register(flat.hwnd(), kAllEvents, folder.path() + L"\\", FALSE));
  ASSERT_TRUE(Register(deep.hwnd(), kAllEvents, folder.path(), TRUE));
  ASSERT_TRUE(Register(deletions.hwnd(), SHCNE_DELETE, folder.path(), TRUE));

  const std::wstring inner = folder.path() + L"\\Sub\\inner.pwi";
  ASSERT_TRUE(RunOther(L"echo ink> \"" + inner + L"\""));
  EXPECT_TRUE(Has(WaitFor(deep, SHCNE_CREATE, inner), SHCNE_CREATE, inner));
  // The top file is seen by the flat window after the inner one would have been.
  ASSERT_TRUE(RunOther(L"echo top> \"" + (folder / L"top.txt") + L"\""));
  auto flatSeen = WaitFor(flat, SHCNE_CREATE, folder / L"top.txt");
  EXPECT_TRUE(Has(flatSeen, SHCNE_CREATE, folder / L"top.txt"));
  EXPECT_FALSE(Has(flatSeen, SHCNE_CREATE, inner));

  // A folder made after the registration is watched too.
  const std::wstring later = folder.path() + L"\\Later\\new.txt";
  ASSERT_TRUE(RunOther(L"mkdir \"" + (folder / L"Later") + L"\" && echo n> \"" + later + L"\""));
  EXPECT_TRUE(Has(WaitFor(deep, SHCNE_CREATE, later), SHCNE_CREATE, later));

  DeleteFileW(inner.c_str());
  auto deleted = WaitFor(deletions, SHCNE_DELETE, inner);
  EXPECT_TRUE(Has(deleted, SHCNE_DELETE, inner));
  for (const Change& c : deleted) EXPECT_EQ(c.event, SHCNE_DELETE);

  for (HostWindow* w : {&flat, &deep, &deletions}) SHChangeNotifyDeregisterCE(w->hwnd());
  Take(flat);
  Take(deep);
  Take(deletions);
}

// Removing the registration stops its watcher before the call returns: a later
// change reaches the window still registered on the same folder, not the other.
TEST(FileWatch, DeregisteredWindowHearsNothing) {
  Scratch folder(L"watch_gone");
  HostWindow leaving, staying;
  ASSERT_TRUE(Register(leaving.hwnd(), kAllEvents, folder.path(), FALSE));
  ASSERT_TRUE(Register(staying.hwnd(), kAllEvents, folder.path(), FALSE));
  ASSERT_TRUE(SHChangeNotifyDeregisterCE(leaving.hwnd()));

  ASSERT_TRUE(RunOther(L"echo x> \"" + (folder / L"after.txt") + L"\""));
  EXPECT_TRUE(Has(WaitFor(staying, SHCNE_CREATE, folder / L"after.txt"), SHCNE_CREATE, folder / L"after.txt"));
  aygtest::PumpPending();
  EXPECT_TRUE(Take(leaving).empty());

  // A second registration of a window replaces the first and its watcher.
  ASSERT_TRUE(Register(staying.hwnd(), SHCNE_DELETE, folder.path(), FALSE));
  ASSERT_TRUE(RunOther(L"echo y> \"" + (folder / L"more.txt") + L"\""));
  DeleteFileW((folder / L"after.txt").c_str());
  auto seen = WaitFor(staying, SHCNE_DELETE, folder / L"after.txt");
  EXPECT_FALSE(Has(seen, SHCNE_CREATE, folder / L"more.txt"));
  SHChangeNotifyDeregisterCE(staying.hwnd());
  Take(staying);
}

std::vector<DWORD> ThreadsOfThisProcess() {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.push_back(entry.th32ThreadID);
  CloseHandle(snapshot);
  return ids;
}

// The threads a registration started (held open, so their end can be seen).
std::vector<HANDLE> ThreadsStartedBy(const std::function<void()>& action) {
  const std::vector<DWORD> before = ThreadsOfThisProcess();
  action();
  std::vector<HANDLE> started;
  for (DWORD id : ThreadsOfThisProcess()) {
    if (std::find(before.begin(), before.end(), id) != before.end()) continue;
    if (HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id)) started.push_back(thread);
  }
  return started;
}

bool AnyEnded(const std::vector<HANDLE>& threads, DWORD waitMs) {
  if (threads.empty()) return false;
  return WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), FALSE, waitMs) <
         WAIT_OBJECT_0 + threads.size();
}

// A watcher is a thread that ends with its registration, before the call returns, or
// soon after its window goes without deregistering.
TEST(FileWatch, WatcherEndsWithRegistrationOrWindow) {
  Scratch folder(L"watch_end");
  std::vector<HANDLE> first, second;
  {
    HostWindow window;
    first = ThreadsStartedBy([&] { ASSERT_TRUE(Register(window.hwnd(), kAllEvents, folder.path(), FALSE)); });
    ASSERT_FALSE(first.empty());
    EXPECT_FALSE(AnyEnded(first, 0));
    ASSERT_TRUE(SHChangeNotifyDeregisterCE(window.hwnd()));
    EXPECT_TRUE(AnyEnded(first, 0));

    second = ThreadsStartedBy([&] { ASSERT_TRUE(Register(window.hwnd(), kAllEvents, folder.path(), FALSE)); });
    ASSERT_FALSE(second.empty());
    EXPECT_FALSE(AnyEnded(second, 0));
  }
  EXPECT_TRUE(AnyEnded(second, 5000));
  for (HANDLE thread : first) CloseHandle(thread);
  for (HANDLE thread : second) CloseHandle(thread);
}

// A registration that names no folder watches the documents folders of main memory
// and of the storage cards, and names the items by their device paths.
TEST(FileWatch, NoFolderWatchesDocumentsOfEveryVolume) {
  Scratch root(L"watch_device");
  for (const wchar_t* sub : {L"My Documents", L"My Documents\\Work", L"Storage Card", L"Storage Card\\My Documents"})
    CreateDirectoryW((root / sub).c_str(), nullptr);
  CDeviceSwitch device;
  device.Set(L"Root", root.path());
  device.Set(L"StorageCards", L"\\Storage Card");
  HostWindow window;
  ASSERT_TRUE(Register(window.hwnd(), kAllEvents, L"", TRUE));

  ASSERT_TRUE(RunOther(L"echo ink> \"" + (root / L"My Documents\\Work\\plan.pwi") + L"\""));
  auto seen = WaitFor(window, SHCNE_CREATE, L"\\My Documents\\Work\\plan.pwi");
  EXPECT_TRUE(Has(seen, SHCNE_CREATE, L"\\My Documents\\Work\\plan.pwi"));
  ASSERT_TRUE(RunOther(L"echo wav> \"" + (root / L"Storage Card\\My Documents\\voice.wav") + L"\""));
  seen = WaitFor(window, SHCNE_CREATE, L"\\Storage Card\\My Documents\\voice.wav");
  EXPECT_TRUE(Has(seen, SHCNE_CREATE, L"\\Storage Card\\My Documents\\voice.wav"));
  SHChangeNotifyDeregisterCE(window.hwnd());
  Take(window);
}

}  // namespace
