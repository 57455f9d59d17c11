// Kernel calls of the device.
#include "platform/coredll/ce.h"
#include "platform/coredll/DeviceSwitch.h"
#include <gtest/gtest.h>

#include <string>

namespace {

bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

// On the device events are set, reset and pulsed through EventModify.
TEST(DeviceKernel, EventModifySetsResetsAndPulses) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_TRUE(EventModify(event, EVENT_SET));
  EXPECT_TRUE(Signalled(event));
  EXPECT_TRUE(EventModify(event, EVENT_RESET));
  EXPECT_FALSE(Signalled(event));
  EXPECT_TRUE(EventModify(event, EVENT_PULSE));
  EXPECT_FALSE(Signalled(event)) << "a pulse releases waiters and leaves the event reset";

  EXPECT_FALSE(EventModify(event, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(event);
}

// On the device SetKMode and SetProcPermissions give back the previous setting.
TEST(DeviceKernel, ModeAndPermissionCallsReturnThePreviousSetting) {
  BOOL mode = SetKMode(TRUE);
  EXPECT_TRUE(SetKMode(FALSE));
  EXPECT_FALSE(SetKMode(mode));

  DWORD permissions = SetProcPermissions(0xFFFFFFFF);
  EXPECT_EQ(SetProcPermissions(permissions), 0xFFFFFFFFu);
}

// Every CE-only call the system binds by name is found in coredll.dll by its wide name.
TEST(DeviceKernel, CallsBoundByNameAreFound) {
  HMODULE core = GetModuleHandleW(L"coredll.dll");
  ASSERT_NE(core, nullptr);
  const wchar_t* names[] = {
      L"SetWindowsHookExW", L"CallNextHookEx",  L"UnhookWindowsHookEx",     L"EventModify",
      L"SetKMode",          L"SetProcPermissions", L"CompactAllHeaps",      L"TransparentImage",
      L"SHLoadDIBitmap",    L"CeRunAppAtTime",  L"CeSetUserNotificationEx", L"CeSetUserNotification",
      L"CeClearUserNotification", L"CeGetUserNotificationHandles", L"CeGetUserNotification",
  };
  for (const wchar_t* name : names) EXPECT_NE(GetProcAddressW(core, name), nullptr) << name;
}

}  // namespace

namespace {

// Programs start through coredll as on the device, and a start that cannot succeed
// reports its own reason, not a retried one.
TEST(DeviceKernel, CreateProcessStartsProgramsAndReportsRealFailures) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring line = std::wstring(L"\"") + system + L"\\cmd.exe\" /c exit 7";
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      << GetLastError();
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 7u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);

  std::wstring missing = L"C:\\no\\such\\program.exe";
  EXPECT_FALSE(CreateProcessW(missing.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  const DWORD error = GetLastError();
  EXPECT_TRUE(error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) << error;
}

}  // namespace

// On the device a storage card is a folder at the top of the device with the temporary
// attribute; the folders the device identity names as cards carry it here, by device
// path or by the host's path under the device root, and nothing else gains it.
TEST(DeviceKernel, StorageCardFoldersCarryTheTemporaryAttribute) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"cardroot-" + std::to_wstring(GetCurrentProcessId());
  for (const wchar_t* folder : {L"", L"\\Storage Card", L"\\Storage Card\\My Documents", L"\\Other"})
    CreateDirectoryW((root + folder).c_str(), nullptr);
  HANDLE file = CreateFileW((root + L"\\Card2").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  CDeviceSwitch device;
  device.Set(L"Root", root.c_str());
  device.Set(L"StorageCards", L"\\Storage Card;Card2\\");
  struct Case {
    std::wstring path;
    bool card;
  };
  const Case cases[] = {
      {root + L"\\Storage Card", true},
      {root + L"\\STORAGE CARD\\", true},
      {root + L"\\Storage Card\\My Documents", false},
      {root + L"\\Other", false},
      {root + L"\\Card2", false},  // a file of a card's name
  };
  for (const Case& c : cases) {
    const DWORD attributes = GetFileAttributesW(c.path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << std::string(c.path.begin(), c.path.end());
    EXPECT_EQ((attributes & FILE_ATTRIBUTE_TEMPORARY) != 0, c.card) << std::string(c.path.begin(), c.path.end());
  }
  SetLastError(0);
  EXPECT_EQ(GetFileAttributesW((root + L"\\Missing").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  DeleteFileW((root + L"\\Card2").c_str());
  for (const wchar_t* folder : {L"\\Storage Card\\My Documents", L"\\Storage Card", L"\\Other", L""})
    RemoveDirectoryW((root + folder).c_str());
}
