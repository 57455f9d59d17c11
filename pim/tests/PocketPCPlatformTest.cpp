// Whether the device is a Pocket PC: version 4.21 and the platform type.
#include "pim/PocketPCPlatform.h"

#include <gtest/gtest.h>

#include "platform/coredll/DeviceSwitch.h"

namespace {

TEST(PocketPCPlatform, VersionAndPlatformType) {
  const struct Case {
    const wchar_t* version;
    const wchar_t* type;
    BOOL pocketPC;
  } cases[] = {
      {L"4.21", L"PocketPC", TRUE},  {L"5.1", L"PocketPC", TRUE},    {L"4.20", L"PocketPC", FALSE},
      {L"3.0", L"PocketPC", FALSE},  {L"5.1", L"SmartPhone", FALSE}, {L"5.1", L"", FALSE},
      {L"6.0", L"PocketPC", TRUE},   {L"4.30", L"PocketPC", TRUE},
  };
  for (const Case& c : cases) {
    CDeviceSwitch device;
    device.Set(L"Version", c.version);
    device.Set(L"PlatformType", c.type);
    ResetPocketPCPlatform();
    EXPECT_EQ(IsPocketPCPlatform(), c.pocketPC) << c.version << L" " << c.type;
    // Asked once: the answer stays while the process runs.
    device.Set(L"Version", L"3.0");
    EXPECT_EQ(IsPocketPCPlatform(), c.pocketPC) << c.version;
  }
  ResetPocketPCPlatform();
}

}  // namespace
