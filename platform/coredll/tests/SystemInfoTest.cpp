// The device answers about itself from its identity, switchable per process.
#include "platform/coredll/DeviceIdentity.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/ce.h"
#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

const wchar_t kSandbox[] = L"Software\\CoreDllIdentityTest";

// Each test starts from a device without registry settings (its own empty key) and
// without environment switches.
class DeviceIdentity : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox);
    device.Set(L"Key", kSandbox);
    for (const wchar_t* name : {L"PlatformType", L"Version", L"Dpi", L"Clock", L"Root", L"TimeZone"}) device.Clear(name);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox); }

  static std::wstring PlatformType() {
    wchar_t text[256] = {};
    if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof text, text, 0)) return L"<failed>";
    return text;
  }
  static OSVERSIONINFOW Version() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    EXPECT_TRUE(GetVersionExW(&info));
    return info;
  }
  void WriteKey(const wchar_t* name, const wchar_t* text) {
    EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSandbox, name, REG_SZ, text,
                              static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }

  CDeviceSwitch device;
};

// Out of the box the device is a Pocket PC with system version 5.1 (the newer store).
TEST_F(DeviceIdentity, DefaultDeviceIsAPocketPcOfVersion5) {
  EXPECT_EQ(PlatformType(), L"PocketPC");
  OSVERSIONINFOW info = Version();
  EXPECT_EQ(info.dwMajorVersion, 5u);
  EXPECT_EQ(info.dwMinorVersion, 1u);
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_CE));
}

// Switching the identity switches the platform answers: both store generations are reachable.
TEST_F(DeviceIdentity, SwitchChangesThePlatformAnswers) {
  struct Case {
    const wchar_t* platform;
    const wchar_t* version;
    DWORD major, minor, build;
  };
  const Case cases[] = {
      {L"PocketPC", L"4.21", 4, 21, 0},         // classic store
      {L"PocketPC", L"5.2.1235", 5, 2, 1235},   // newer store
      {L"PocketPC", L"3.0", 3, 0, 0},
      {L"Smartphone", L"5.1", 5, 1, 0},
      {L"", L"6.0", 6, 0, 0},                   // a device without a platform type
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.platform << " " << c.version);
    device.Set(L"PlatformType", c.platform);
    device.Set(L"Version", c.version);
    EXPECT_EQ(PlatformType(), c.platform);
    OSVERSIONINFOW info = Version();
    EXPECT_EQ(info.dwMajorVersion, c.major);
    EXPECT_EQ(info.dwMinorVersion, c.minor);
    EXPECT_EQ(info.dwBuildNumber, c.build);
  }
}

// The device's registry key sets the identity; a per-process switch wins over it.
TEST_F(DeviceIdentity, RegistryKeySetsTheDeviceAndTheSwitchWins) {
  WriteKey(L"PlatformType", L"Smartphone");
  WriteKey(L"Version", L"4.20");
  EXPECT_EQ(PlatformType(), L"Smartphone");
  EXPECT_EQ(Version().dwMinorVersion, 20u);

  device.Set(L"Version", L"5.1");
  EXPECT_EQ(Version().dwMajorVersion, 5u);
  EXPECT_EQ(PlatformType(), L"Smartphone");
}

// On the device the platform type query fails for a buffer too small for the text.
TEST_F(DeviceIdentity, PlatformTypeNeedsRoomForTheWholeText) {
  wchar_t text[9] = {};  // "PocketPC" and its terminator need 18 bytes
  EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 16, text, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 18, text, 0));
  EXPECT_STREQ(text, L"PocketPC");
}

// A set clock stands still at the given local time; system time is the same instant in UTC.
TEST_F(DeviceIdentity, ClockSwitchSetsLocalAndSystemTime) {
  device.Set(L"Clock", L"2024-02-29 23:59:30");
  SYSTEMTIME local = {};
  GetLocalTime(&local);
  EXPECT_EQ(local.wYear, 2024);
  EXPECT_EQ(local.wMonth, 2);
  EXPECT_EQ(local.wDay, 29);
  EXPECT_EQ(local.wDayOfWeek, 4);  // a Thursday
  EXPECT_EQ(local.wHour, 23);
  EXPECT_EQ(local.wSecond, 30);

  SYSTEMTIME utc = {}, expected = {};
  GetSystemTime(&utc);
  ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &expected));
  EXPECT_EQ(memcmp(&utc, &expected, sizeof utc), 0);

  device.Clear(L"Clock");
  GetLocalTime(&local);
  EXPECT_GE(local.wYear, 2025);
}

// The device's zone comes from the identity by the zone list's name; its clock changes
// decide which clock runs at the device's time, and the set clock's UTC follows the zone.
TEST_F(DeviceIdentity, TimeZoneSwitchSetsTheZoneAndItsClock) {
  const struct {
    const wchar_t* zone;
    const wchar_t* clock;
    DWORD which;
    LONG bias;        // of the zone
    WORD utcHour;     // GetSystemTime at the clock's 12:00
    const wchar_t* standardName;
  } cases[] = {
      {L"W. Europe Standard Time", L"2024-07-01 12:00:00", TIME_ZONE_ID_DAYLIGHT, -60, 10, L"W. Europe Standard Time"},
      {L"W. Europe Standard Time", L"2024-01-15 12:00:00", TIME_ZONE_ID_STANDARD, -60, 11, L"W. Europe Standard Time"},
      // The southern summer is in January.
      {L"AUS Eastern Standard Time", L"2024-01-15 12:00:00", TIME_ZONE_ID_DAYLIGHT, -600, 1, nullptr},
      {L"AUS Eastern Standard Time", L"2024-07-01 12:00:00", TIME_ZONE_ID_STANDARD, -600, 2, nullptr},
      {L"Tokyo Standard Time", L"2024-07-01 12:00:00", TIME_ZONE_ID_UNKNOWN, -540, 3, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.zone << " " << c.clock);
    device.Set(L"TimeZone", c.zone);
    device.Set(L"Clock", c.clock);
    TIME_ZONE_INFORMATION zone = {};
    EXPECT_EQ(GetTimeZoneInformation(&zone), c.which);
    EXPECT_EQ(zone.Bias, c.bias);
    if (c.standardName) {
      EXPECT_STREQ(zone.StandardName, c.standardName);
    }
    SYSTEMTIME utc = {};
    GetSystemTime(&utc);
    EXPECT_EQ(utc.wHour, c.utcHour);
  }
}

// Without a set clock the device's local time is the real UTC time on the device's zone;
// an unknown, empty or path-like zone name leaves the host's zone.
TEST_F(DeviceIdentity, TimeZoneSwitchMovesTheRealClockAndBadNamesChangeNothing) {
  TIME_ZONE_INFORMATION host = {};
  const DWORD hostWhich = GetTimeZoneInformation(&host);
  device.Set(L"TimeZone", L"Tokyo Standard Time");
  SYSTEMTIME local = {}, utc = {};
  GetLocalTime(&local);
  GetSystemTime(&utc);
  FILETIME a, b;
  ASSERT_TRUE(SystemTimeToFileTime(&local, &a));
  ASSERT_TRUE(SystemTimeToFileTime(&utc, &b));
  const LONGLONG minutes = (static_cast<LONGLONG>(ULARGE_INTEGER{{a.dwLowDateTime, a.dwHighDateTime}}.QuadPart) -
                            static_cast<LONGLONG>(ULARGE_INTEGER{{b.dwLowDateTime, b.dwHighDateTime}}.QuadPart) +
                            300000000LL) / 600000000LL;
  EXPECT_EQ(minutes, 540);

  for (const wchar_t* name : {L"", L"No Such Zone", L"..\\Time Zones\\UTC", L"W. Europe Standard Time\\"}) {
    SCOPED_TRACE(testing::Message() << "'" << name << "'");
    device.Set(L"TimeZone", name);
    TIME_ZONE_INFORMATION zone = {};
    EXPECT_EQ(GetTimeZoneInformation(&zone), hostWhich);
    EXPECT_EQ(zone.Bias, host.Bias);
  }
  // The device's key holds it when no process switch does.
  device.Clear(L"TimeZone");
  WriteKey(L"TimeZone", L"Tokyo Standard Time");
  TIME_ZONE_INFORMATION zone = {};
  EXPECT_EQ(GetTimeZoneInformation(&zone), static_cast<DWORD>(TIME_ZONE_ID_UNKNOWN));
  EXPECT_EQ(zone.Bias, -540);
}

// The zone list is the registry's: whatever another program left in an entry, the device
// takes a sound zone from it or keeps the host's, and its clocks keep answering.
TEST_F(DeviceIdentity, TimeZoneEntriesOfAnyShapeAreTakenOnlyWhenSound) {
  const std::wstring name = L"QelTarvo Test Zone";
  const std::wstring path = std::wstring(CDeviceIdentity::kZoneListPath) + L"\\" + name;
  TIME_ZONE_INFORMATION host = {};
  GetTimeZoneInformation(&host);
  device.Set(L"TimeZone", name);
  device.Set(L"Clock", L"2025-07-01 12:00:00");

  // A well-formed entry, then one whose rule names month 13.
  struct Rule {
    LONG bias, standardBias, daylightBias;
    SYSTEMTIME standard, daylight;
  } rule = {-60, 0, -60, {0, 10, 0, 5, 3, 0, 0, 0}, {0, 3, 0, 5, 2, 0, 0, 0}};
  static_assert(sizeof rule == 44, "");
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"TZI", REG_BINARY, &rule, sizeof rule), ERROR_SUCCESS);
  TIME_ZONE_INFORMATION zone = {};
  EXPECT_EQ(GetTimeZoneInformation(&zone), static_cast<DWORD>(TIME_ZONE_ID_DAYLIGHT));
  EXPECT_EQ(zone.Bias, -60);
  rule.daylight.wMonth = 13;
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"TZI", REG_BINARY, &rule, sizeof rule), ERROR_SUCCESS);
  EXPECT_EQ(GetTimeZoneInformation(&zone), GetTimeZoneInformation(&host));
  EXPECT_EQ(zone.Bias, host.Bias);

  // The clock stands in the spring-forward gap of the well-formed entry's rules.
  device.Set(L"Clock", L"2025-03-30 02:30:00");
  std::mt19937 random(4242);
  for (int round = 0; round < 2000; ++round) {
    BYTE bytes[64];
    for (BYTE& b : bytes) b = static_cast<BYTE>(random());
    Rule& r = *reinterpret_cast<Rule*>(bytes);
    // Mostly near-valid rules, so the conversions run on the edges too.
    if (round % 2) {
      r.bias = static_cast<LONG>(random() % 2000) - 1000;
      r.standardBias = static_cast<LONG>(random() % 200) - 100;
      r.daylightBias = static_cast<LONG>(random() % 200) - 100;
      for (SYSTEMTIME* t : {&r.standard, &r.daylight}) {
        t->wYear = random() % 4 ? 0 : static_cast<WORD>(2020 + random() % 10);
        t->wMonth = static_cast<WORD>(random() % 14);
        t->wDayOfWeek = static_cast<WORD>(random() % 8);
        t->wDay = static_cast<WORD>(random() % 33);
        t->wHour = static_cast<WORD>(random() % 25);
        t->wMinute = static_cast<WORD>(random() % 61);
        t->wSecond = 0;
        t->wMilliseconds = 0;
      }
    }
    const DWORD size = random() % 3 ? 44 : static_cast<DWORD>(random() % 64);
    const DWORD type = random() % 8 ? REG_BINARY : REG_SZ;
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"TZI", type, bytes, size), ERROR_SUCCESS);
    const DWORD which = GetTimeZoneInformation(&zone);
    ASSERT_TRUE(which <= TIME_ZONE_ID_DAYLIGHT) << round;
    EXPECT_TRUE(zone.Bias > -1440 && zone.Bias < 1440) << round;
    SYSTEMTIME local = {}, utc = {};
    GetLocalTime(&local);
    GetSystemTime(&utc);
    EXPECT_EQ(local.wYear, 2025) << round;
    EXPECT_TRUE(utc.wYear >= 2024 && utc.wYear <= 2026) << round;
  }
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
}

// The screen's pixels per inch follow the identity; other device capabilities do not.
TEST_F(DeviceIdentity, DpiSwitchSetsTheScreenResolution) {
  HDC screen = GetDC(nullptr);
  int depth = GetDeviceCaps(screen, BITSPIXEL);
  device.Set(L"Dpi", L"192");
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 192);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 192);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), depth);
  device.Clear(L"Dpi");
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
  ReleaseDC(nullptr, screen);
}

// The device's "\" is the prefix's C:\ unless the identity names another host folder.
TEST_F(DeviceIdentity, RootFolder) {
  EXPECT_EQ(CDeviceIdentity::Root(), L"C:\\");
  WriteKey(L"Root", L"C:\\devices\\one\\");
  EXPECT_EQ(CDeviceIdentity::Root(), L"C:\\devices\\one");
  device.Set(L"Root", L"D:");
  EXPECT_EQ(CDeviceIdentity::Root(), L"D:\\");
}

}  // namespace
