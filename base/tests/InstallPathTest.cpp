#include "base/InstallPath.h"
#include "base/tests/RegistrySandbox.h"
#include <gtest/gtest.h>

#include <string>

namespace {

// The folder of this test program with its final "\".
std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

class InstallPath : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(machine.Redirected()); }

  CLocalMachineSandbox machine{L"InstallPath"};
  CRegistryView install = machine.Key(TARVO_INSTALL_KEY);
};

TEST_F(InstallPath, WithoutTheInstallKeyIsTheModuleFolder) {
  CString path;
  GetInstallPath(path, L"QelTarvo.txt");
  EXPECT_EQ(std::wstring(path), ProgramFolder() + L"QelTarvo.txt");
  GetInstallPath(path);
  EXPECT_EQ(std::wstring(path) + L"\\", ProgramFolder());
  EXPECT_FALSE(install.Exists()) << "never created";
}

TEST_F(InstallPath, IsTheInstallFolderOfTheInstallKey) {
  struct Case {
    const wchar_t* installDir;  // null: the key has no "InstallDir"
    const wchar_t* fileName;
    const wchar_t* path;
  };
  const Case cases[] = {
      {L"\\Program Files\\Qel Tarvo", L"TarvoRes.Dll", L"\\Program Files\\Qel Tarvo\\TarvoRes.Dll"},
      {L"\\Program Files\\Qel Tarvo", nullptr, L"\\Program Files\\Qel Tarvo"},
      // The folder is taken as it is: a trailing "\" is not looked at.
      {L"\\Storage Card\\", L"icons.dat", L"\\Storage Card\\\\icons.dat"},
      // An empty or missing folder is the device root.
      {L"", L"icons.dat", L"\\icons.dat"},
      {nullptr, L"icons.dat", L"\\icons.dat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.installDir ? "set" : "missing"));
    install.Delete();
    install.WriteDWORD(L"Other", 1);
    if (c.installDir) install.WriteString(L"InstallDir", c.installDir);
    CString path;
    GetInstallPath(path, c.fileName);
    EXPECT_EQ(path, c.path);
    EXPECT_EQ(install.Has(L"InstallDir"), c.installDir != nullptr) << "nothing written back";
  }
}

TEST(ModuleDirPath, IsTheFolderOfThisBinary) {
  CString path;
  GetModuleDirPath(path, L"Skins\\NewStyle.zip");
  EXPECT_EQ(std::wstring(path), ProgramFolder() + L"Skins\\NewStyle.zip");
  GetModuleDirPath(path);
  EXPECT_EQ(std::wstring(path) + L"\\", ProgramFolder());
}

TEST(EnsureTrailingBackslash, AppendsOneToANonEmptyPathOnly) {
  struct Case {
    const wchar_t* in;
    const wchar_t* out;
  };
  const Case cases[] = {{L"", L""}, {L"\\", L"\\"}, {L"\\Windows", L"\\Windows\\"}, {L"a\\", L"a\\"}};
  for (const Case& c : cases) {
    CString path = c.in;
    EnsureTrailingBackslash(path);
    EXPECT_EQ(path, c.out);
  }
}

SHELLEXECUTEINFOW g_launched;
std::wstring g_file, g_parameters, g_verb;

BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  g_launched = *info;
  g_file = info->lpFile ? info->lpFile : L"";
  g_parameters = info->lpParameters ? info->lpParameters : L"";
  g_verb = info->lpVerb ? info->lpVerb : L"";
  return TRUE;
}

TEST_F(InstallPath, SettingsProgramStartsFromTheInstallFolder) {
  install.WriteString(L"InstallDir", L"\\Program Files\\Qel Tarvo");
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(RecordLaunch);
  EXPECT_TRUE(RunSettingsProgram(L"-p3:0"));
  SetProgramLauncher(previous);
  EXPECT_EQ(g_file, L"\\Program Files\\Qel Tarvo\\TarvoSettings.exe");
  EXPECT_EQ(g_parameters, L"-p3:0");
  EXPECT_EQ(g_verb, L"open");
  EXPECT_EQ(g_launched.nShow, SW_SHOWNORMAL);
  EXPECT_EQ(g_launched.fMask, static_cast<ULONG>(SEE_MASK_FLAG_NO_UI));
  EXPECT_EQ(g_launched.hwnd, nullptr);
}

// Without the program, starting it fails at once: no error box waits for a person.
TEST_F(InstallPath, AMissingSettingsProgramFailsWithoutAsking) {
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring empty = std::wstring(temp) + L"NoSettingsHere" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(empty.c_str(), nullptr);
  install.WriteString(L"InstallDir", empty.c_str());
  EXPECT_FALSE(RunSettingsProgram(nullptr));
  RemoveDirectoryW(empty.c_str());
}

}  // namespace
