// Kernel calls of the device.
#include "platform/coredll/ce.h"
#include <gtest/gtest.h>

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
