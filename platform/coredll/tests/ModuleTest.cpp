#include "platform/coredll/ce.h"
#include <gtest/gtest.h>

namespace {

// On the device, functions are bound at run time from "coredll.dll" by wide name or ordinal.
TEST(CoreModule, BindsExportsByWideNameAndOrdinal) {
  HMODULE core = GetModuleHandleW(L"coredll.dll");
  ASSERT_NE(core, nullptr) << "coredll.dll must be loaded in every program";
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddressW(core, L"GetProcAddressW")),
            reinterpret_cast<void*>(&GetProcAddressW));
  EXPECT_EQ(GetProcAddressW(core, L"NoSuchFunction"), nullptr);

  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  EXPECT_EQ(GetProcAddressW(kernel, L"GetTickCount"), GetProcAddress(kernel, "GetTickCount"));
  EXPECT_NE(GetProcAddressW(core, MAKEINTRESOURCEW(1)), nullptr);
  EXPECT_EQ(GetProcAddressW(core, MAKEINTRESOURCEW(1)), GetProcAddress(core, MAKEINTRESOURCEA(1)));
}

// A program calls the device's version of a core call, not the desktop's of the same name.
TEST(CoreModule, ProgramsCallTheDeviceVersionOfCoreCalls) {
  HMODULE core = GetModuleHandleW(L"coredll.dll");
  ASSERT_NE(core, nullptr);
  struct Case {
    const char* name;
    void* bound;
  };
  const Case cases[] = {
      {"RegOpenKeyExW", reinterpret_cast<void*>(&RegOpenKeyExW)},
      {"RegCreateKeyExW", reinterpret_cast<void*>(&RegCreateKeyExW)},
      {"RegDeleteKeyW", reinterpret_cast<void*>(&RegDeleteKeyW)},
      {"SystemParametersInfoW", reinterpret_cast<void*>(&SystemParametersInfoW)},
      {"GetVersionExW", reinterpret_cast<void*>(&GetVersionExW)},
      {"GetDeviceCaps", reinterpret_cast<void*>(&GetDeviceCaps)},
      {"GetLocalTime", reinterpret_cast<void*>(&GetLocalTime)},
      {"GetSystemTime", reinterpret_cast<void*>(&GetSystemTime)},
      {"GetSysColor", reinterpret_cast<void*>(&GetSysColor)},
      {"GetSysColorBrush", reinterpret_cast<void*>(&GetSysColorBrush)},
      {"RegisterClassW", reinterpret_cast<void*>(&RegisterClassW)},
      {"CreateWindowExW", reinterpret_cast<void*>(&CreateWindowExW)},
      {"SetForegroundWindow", reinterpret_cast<void*>(&SetForegroundWindow)},
      {"SetWindowsHookExW", reinterpret_cast<void*>(&SetWindowsHookExW)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    void* exported = reinterpret_cast<void*>(GetProcAddress(core, c.name));
    ASSERT_NE(exported, nullptr);
    EXPECT_EQ(c.bound, exported);
  }
}

// Every program of the system has coredll.dll loaded, even one that calls none of its functions.
TEST(CoreModule, LoadedInAProgramThatCallsNothingOfIt) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  wcscpy(wcsrchr(path, L'\\') + 1, L"CoreDllProbe.exe");
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessW(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) << GetLastError();
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(code, 0u);
}

}  // namespace
