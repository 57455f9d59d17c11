// The phone library is found only on a device that has it, and records the calls it is
// asked to place, refusing malformed descriptions.
#include "platform/coredll/DeviceSwitch.h"
#include "platform/phone/phone.h"

#include <gtest/gtest.h>

#include <string>

namespace {

template <typename T>
T Export(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

TEST(PhoneLibrary, OnlyADeviceWithAPhoneFindsIt) {
  EXPECT_EQ(LoadLibraryW(L"phone.dll"), nullptr);
  EXPECT_EQ(LoadLibraryExW(L"phone.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
  {
    CDeviceSwitch device;
    ASSERT_TRUE(device.AddOptionalLibrary(L"phone"));
    HMODULE phone = LoadLibraryW(L"phone.dll");
    ASSERT_NE(phone, nullptr);
    EXPECT_NE(Export<PFN_PHONEMAKECALL>(phone, "PhoneMakeCall"), nullptr);
    FreeLibrary(phone);
    HMODULE data = LoadLibraryExW(L"phone.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(data, nullptr);
    if (data) FreeLibrary(data);
  }
  // The switch ended: the device is without a phone again.
  EXPECT_EQ(LoadLibraryW(L"phone.dll"), nullptr);
}

TEST(PhoneLibrary, CallsAreRecordedAndMalformedDescriptionsRefused) {
  CDeviceSwitch device;
  ASSERT_TRUE(device.AddOptionalLibrary(L"phone"));
  HMODULE phone = LoadLibraryW(L"phone.dll");
  ASSERT_NE(phone, nullptr);
  auto makeCall = Export<PFN_PHONEMAKECALL>(phone, "PhoneMakeCall");
  auto count = Export<int(WINAPI*)()>(phone, "PhoneTestGetCallCount");
  auto get = Export<BOOL(WINAPI*)(int, LPWSTR, int, DWORD*)>(phone, "PhoneTestGetCall");
  ASSERT_TRUE(makeCall && count && get);

  const std::wstring tooLong(257, L'5');
  const std::wstring longest(256, L'7');
  const struct {
    DWORD size;
    LPCWSTR number;
    bool placed;
  } cases[] = {
      {sizeof(PHONEMAKECALLINFO), L"+44 20 7946 0018", true},
      {sizeof(PHONEMAKECALLINFO), longest.c_str(), true},
      {24, L"555 0100", false},  // the device's 32-bit size is not ours
      {sizeof(PHONEMAKECALLINFO), nullptr, false},
      {sizeof(PHONEMAKECALLINFO), L"", false},
      {sizeof(PHONEMAKECALLINFO), tooLong.c_str(), false},
  };
  int placed = 0;
  for (const auto& c : cases) {
    PHONEMAKECALLINFO info = {};
    info.cbSize = c.size;
    info.dwFlags = PMCF_DEFAULT;
    info.pszDestAddress = c.number;
    EXPECT_EQ(makeCall(&info) == 0, c.placed) << (c.number ? c.number : L"(null)");
    if (c.placed) ++placed;
  }
  EXPECT_NE(makeCall(nullptr), 0);
  ASSERT_EQ(count(), placed);
  wchar_t number[300] = {};
  DWORD flags = 0;
  ASSERT_TRUE(get(0, number, 300, &flags));
  EXPECT_STREQ(number, L"+44 20 7946 0018");
  EXPECT_EQ(flags, static_cast<DWORD>(PMCF_DEFAULT));
  ASSERT_TRUE(get(1, number, 300, nullptr));
  EXPECT_EQ(std::wstring(number), longest);
  EXPECT_FALSE(get(2, number, 300, nullptr));
  EXPECT_FALSE(get(-1, number, 300, nullptr));
  FreeLibrary(phone);
}

}  // namespace
