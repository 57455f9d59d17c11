#include "pim/PhatPad.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <random>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/tests/RegistrySandbox.h"
#include "pim/tests/PhatPadInstall.h"
#include "pim/tests/UserSandbox.h"

namespace {

using phatpadtest::MakeInstallFolder;
using phatpadtest::RemoveFolder;
using phatpadtest::TempFolder;
using phatpadtest::WriteBytes;

const wchar_t kPadKey[] = L"Software\\PhatWare\\PhatPad";
const wchar_t kViewerKey[] = L"Software\\PhatWare\\PhatPad Viewer";

struct Launch {
  std::wstring file, verb, parameters;
  int show;
};
std::vector<Launch> g_launches;
BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  g_launches.push_back({info->lpFile ? info->lpFile : L"", info->lpVerb ? info->lpVerb : L"",
                        info->lpParameters ? info->lpParameters : L"", info->nShow});
  return info->lpDirectory == nullptr;
}

class PhatPadLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(user.Redirected());
    g_launches.clear();
    previousLauncher = SetProgramLauncher(RecordLaunch);
  }
  void TearDown() override {
    SetProgramLauncher(previousLauncher);
    for (const std::wstring& folder : folders) RemoveFolder(folder);
  }
  // A fresh install folder of this test, made as the flags say.
  std::wstring Folder(const wchar_t* name, bool padExe, bool viewerExe, bool libraries) {
    std::wstring folder = TempFolder(L"phatpad") + name + L"\\";
    RemoveFolder(folder);
    MakeInstallFolder(folder, padExe, viewerExe, libraries);
    folders.push_back(folder);
    return folder;
  }
  void SetFolder(const wchar_t* key, const std::wstring& folder) {
    CRegistryView(HKEY_CURRENT_USER, key).WriteString(L"InstPath", folder.c_str());
  }

  CUserSandbox user{L"PhatPadLink"};
  PFN_PROGRAM_LAUNCHER previousLauncher = nullptr;
  std::vector<std::wstring> folders;
};

// Folders come from "InstPath" with a final backslash; a key without the value gives
// the usual folder, and nothing is written into the other program's keys.
TEST_F(PhatPadLink, InstallFoldersReadOnly) {
  CPhatPad pad;
  CString padFolder = L"x", viewerFolder = L"y";
  EXPECT_FALSE(pad.GetInstallPaths(&padFolder, &viewerFolder));
  EXPECT_TRUE(padFolder.IsEmpty());
  EXPECT_TRUE(viewerFolder.IsEmpty());
  EXPECT_FALSE(pad.IsAvailable());
  EXPECT_FALSE(CRegistryView(HKEY_CURRENT_USER, kPadKey).Exists());
  EXPECT_FALSE(pad.OpenFile(L"\\a.pwd"));

  CRegistryView(HKEY_CURRENT_USER, L"Software\\PhatWare").CreateSubKey(L"PhatPad");
  EXPECT_TRUE(pad.GetInstallPaths(&padFolder, &viewerFolder));
  EXPECT_STREQ(padFolder, L"\\Program Files\\PhatPad\\");
  EXPECT_TRUE(viewerFolder.IsEmpty());
  EXPECT_FALSE(CRegistryView(HKEY_CURRENT_USER, kPadKey).Has(L"InstPath"));

  SetFolder(kViewerKey, L"\\Program Files\\Viewer");
  EXPECT_TRUE(pad.GetInstallPaths(&padFolder, &viewerFolder));
  EXPECT_STREQ(viewerFolder, L"\\Program Files\\Viewer\\");
  std::wstring stored;
  ASSERT_TRUE(CRegistryView(HKEY_CURRENT_USER, kViewerKey).ReadString(L"InstPath", stored));
  EXPECT_EQ(stored, L"\\Program Files\\Viewer");
}

// Whatever another program left in "InstPath" (any characters, any length) gives a
// folder ending in a backslash and no fault.
TEST_F(PhatPadLink, FuzzedInstallPaths) {
  std::mt19937 random(59106);
  CPhatPad pad;
  for (int i = 0; i < 500; ++i) {
    std::wstring path(random() % 400, L'a');
    for (wchar_t& c : path) c = static_cast<wchar_t>(1 + random() % ((random() % 2) ? 0x7F : 0xFFFD));
    SetFolder((i % 2) ? kPadKey : kViewerKey, path);
    CString padFolder, viewerFolder;
    EXPECT_TRUE(pad.GetInstallPaths(&padFolder, &viewerFolder));
    const CString& folder = (i % 2) ? padFolder : viewerFolder;
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_EQ(folder[folder.GetLength() - 1], L'\\');
    pad.IsAvailable();
    EXPECT_TRUE(pad.OpenFile(L"x"));
  }
}

// Available only where PhatPad's or the viewer's program is; the view entry is bound
// when a view library is there too.
TEST_F(PhatPadLink, AvailabilityByProgramAndLibraries) {
  struct Case {
    const wchar_t* name;
    bool padKey, padExe, padViewerExe, padLibraries;
    bool viewerKey, viewerExe, viewerLibraries;
    bool available, bound;
  };
  const Case cases[] = {
      {L"full", true, true, false, true, false, false, false, true, true},
      {L"viewer only", false, false, false, false, true, true, true, true, true},
      {L"libraries without a program", true, false, false, true, true, false, true, false, false},
      {L"program without libraries", true, true, false, false, false, false, false, true, false},
      {L"PhatPad's program, the viewer's libraries", true, true, false, false, true, false, true, true, true},
      {L"the viewer's program in PhatPad's folder", true, false, true, true, false, false, false, false, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PhatWare");
    const std::wstring tag = std::to_wstring(n++);
    if (c.padKey) SetFolder(kPadKey, Folder((L"pad" + tag).c_str(), c.padExe, c.padViewerExe, c.padLibraries));
    if (c.viewerKey) SetFolder(kViewerKey, Folder((L"viewer" + tag).c_str(), false, c.viewerExe, c.viewerLibraries));
    CPhatPad pad;
    EXPECT_EQ(pad.Load() != FALSE, c.available) << c.name;
    EXPECT_EQ(pad.IsViewBound() != FALSE, c.bound) << c.name;
    pad.Unload();
    EXPECT_FALSE(pad.IsViewBound()) << c.name;
    EXPECT_EQ(pad.IsAvailable() != FALSE, c.available) << c.name;
  }
}

// OpenFile starts PhatPad when its folder is known, else the viewer.
TEST_F(PhatPadLink, OpenFileStartsPhatPadElseTheViewer) {
  CPhatPad pad;
  SetFolder(kViewerKey, L"\\Viewer");
  EXPECT_TRUE(pad.OpenFile(L"\"\\My Documents\\a.pwd\""));
  SetFolder(kPadKey, L"\\Pad\\");
  EXPECT_TRUE(pad.OpenFile(L"b.pwd"));
  ASSERT_EQ(g_launches.size(), 2u);
  EXPECT_EQ(g_launches[0].file, L"\\Viewer\\PhatPadViewer.exe");
  EXPECT_EQ(g_launches[0].parameters, L"\"\\My Documents\\a.pwd\"");
  EXPECT_EQ(g_launches[0].verb, L"open");
  EXPECT_EQ(g_launches[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(g_launches[1].file, L"\\Pad\\PhatPad.exe");
}

// The view is made with the record, then told to open and show the file; a refused
// file leaves no view. Unloading takes the view classes away with the library.
TEST_F(PhatPadLink, ViewOpensTheFileOrIsDestroyed) {
  const std::wstring folder = Folder(L"views", true, false, true);
  SetFolder(kPadKey, folder);
  const std::wstring drawing = folder + L"drawing.pwd";
  const std::wstring empty = folder + L"empty.pwd";
  ASSERT_TRUE(WriteBytes(drawing, "page"));
  ASSERT_TRUE(WriteBytes(empty, ""));
  HWND parentWindow = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parentWindow, nullptr);
  CPhatPad pad;

  struct Case {
    std::wstring path;
    bool made;
  };
  const Case cases[] = {
      {drawing, true}, {folder + L"missing.pwd", false}, {folder, false}, {empty, false}, {L"", true},
  };
  for (const Case& c : cases) {
    PHATPAD_VIEW_RECORD record = {};
    record.cbSize = sizeof(record);
    record.style = WS_CHILD | WS_VISIBLE;
    record.rect = {0, 0, 50, 50};
    record.parent = parentWindow;
    record.path = c.path.c_str();
    HWND view = pad.CreateView(&record);
    EXPECT_EQ(view != nullptr, c.made) << c.path;
    EXPECT_EQ(record.path, c.path.empty() ? c.path.c_str() : nullptr) << c.path;
    EXPECT_EQ(GetWindow(parentWindow, GW_CHILD), view) << c.path;
    if (view) {
      wchar_t text[MAX_PATH] = {};
      GetWindowTextW(view, text, MAX_PATH);
      EXPECT_EQ(std::wstring(text), c.path);
      DestroyWindow(view);
    }
  }
  HMODULE library = GetModuleHandleW(L"PhatPadViewCtl.dll");
  ASSERT_NE(library, nullptr);
  WNDCLASSW info = {};
  EXPECT_TRUE(GetClassInfoW(library, PHATPAD_FILE_VIEW_CLASS, &info));
  pad.Unload();
  DestroyWindow(parentWindow);
  EXPECT_EQ(GetModuleHandleW(L"PhatPadViewCtl.dll"), nullptr);
  EXPECT_FALSE(GetClassInfoW(library, PHATPAD_FILE_VIEW_CLASS, &info));
  EXPECT_FALSE(GetClassInfoW(library, PHATPAD_PAGE_BROWSER_CLASS, &info));
}

}  // namespace
