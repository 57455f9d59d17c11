#include "base/Platform.h"
#include "platform/coredll/DeviceSwitch.h"
#include <gtest/gtest.h>

namespace {

TEST(Platform, AnswersFromTheDeviceIdentity) {
  struct Case {
    const wchar_t* version;
    const wchar_t* type;
    BOOL pocketPC;
    BOOL version5;
    DWORD major, minor;  // 0, 0: not a Pocket PC
  };
  const Case cases[] = {
      {L"5.1", L"PocketPC", TRUE, TRUE, 5, 1},
      {L"5.2.1235", L"PocketPC", TRUE, TRUE, 5, 2},
      {L"6.0", L"PocketPC", TRUE, FALSE, 6, 0},
      {L"4.21", L"PocketPC", FALSE, FALSE, 4, 21},
      {L"3.0", L"PocketPC", FALSE, FALSE, 3, 0},
      {L"5.1", L"SmartPhone", FALSE, FALSE, 0, 0},
      {L"5.1", L"", FALSE, FALSE, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.version, c.version + wcslen(c.version)) << " "
                                    << std::string(c.type, c.type + wcslen(c.type)));
    CDeviceSwitch device;
    device.Set(L"Version", c.version);
    device.Set(L"PlatformType", c.type);
    ResetPlatformTests();
    EXPECT_EQ(IsPocketPC(), c.pocketPC);
    EXPECT_EQ(IsPocketPCVersion5(), c.version5);
    DWORD major = 99, minor = 99;
    EXPECT_EQ(GetPocketPCVersion(&major, &minor), c.major != 0);
    EXPECT_EQ(major, c.major);
    EXPECT_EQ(minor, c.minor);
  }
  ResetPlatformTests();
}

TEST(Platform, AnswersAreKeptForTheProcess) {
  CDeviceSwitch device;
  device.Set(L"Version", L"5.1");
  device.Set(L"PlatformType", L"PocketPC");
  ResetPlatformTests();
  ASSERT_TRUE(IsPocketPC());
  ASSERT_TRUE(IsPocketPCVersion5());
  device.Set(L"Version", L"4.21");
  EXPECT_TRUE(IsPocketPC());
  EXPECT_TRUE(IsPocketPCVersion5());
  ResetPlatformTests();
  EXPECT_FALSE(IsPocketPC());
  ResetPlatformTests();
}

}  // namespace
