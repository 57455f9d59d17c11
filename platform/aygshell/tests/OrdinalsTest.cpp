#include "platform/aygshell/AygTest.h"

#include <gtest/gtest.h>

namespace {

// Programs import the shell by ordinal: each ordinal reaches the function of that number.
TEST(Ordinals, EachOrdinalReachesItsFunction) {
  HMODULE shell = GetModuleHandleW(L"aygshell.dll");
  ASSERT_NE(shell, nullptr);
  struct Case {
    WORD ordinal;
    const void* function;
  };
  const Case cases[] = {
      {4, reinterpret_cast<const void*>(&SHSipInfo)},
      {9, reinterpret_cast<const void*>(&AygInitialize)},
      {34, reinterpret_cast<const void*>(&SHCreateMenuBar)},
      {40, reinterpret_cast<const void*>(&SHRecognizeGesture)},
      {56, reinterpret_cast<const void*>(&SHInitDialog)},
      {69, reinterpret_cast<const void*>(&SHDoneButton)},
      {75, reinterpret_cast<const void*>(&SHLoadImageFile)},
      {113, reinterpret_cast<const void*>(&SHChangeNotifyRegisterCE)},
      {114, reinterpret_cast<const void*>(&SHChangeNotifyDeregisterCE)},
      {115, reinterpret_cast<const void*>(&SHChangeNotifyFree)},
      {157, reinterpret_cast<const void*>(&SHNotificationRemove)},
      {188, reinterpret_cast<const void*>(&SHFindMenuBar)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(reinterpret_cast<const void*>(GetProcAddress(shell, MAKEINTRESOURCEA(c.ordinal))), c.function)
        << c.ordinal;
  }
  EXPECT_TRUE(AygInitialize());
}

// No bubble is ever shown here, so removing one finds nothing; id 0 is refused.
TEST(Notifications, RemovingFindsNothing) {
  const CLSID inbox = {0xA877D65A, 0x239C, 0x47A7, {0x93, 0x04, 0x0D, 0x34, 0x7F, 0x58, 0x04, 0x08}};
  EXPECT_EQ(SHNotificationRemove(&inbox, 23), static_cast<LRESULT>(ERROR_NOT_FOUND));
  EXPECT_EQ(SHNotificationRemove(&inbox, 0), static_cast<LRESULT>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(SHNotificationRemove(nullptr, 23), static_cast<LRESULT>(ERROR_INVALID_PARAMETER));
}

}  // namespace
