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
}

}  // namespace
