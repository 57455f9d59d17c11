// Kernel calls of the device.
#include "platform/coredll/ce.h"
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
