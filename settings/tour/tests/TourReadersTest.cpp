// What the tour reads from outside: registry data as other programs store it, turned
// into the text the tour compares, and the plug-in's imports, which the probe takes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "panel/tests/PanelTestSupport.h"
#include "settings/tour/OptionsTour.h"
#include "settings/tour/PluginProbe.h"

namespace {

std::vector<BYTE> Bytes(const std::wstring& text, size_t extraNulls) {
  std::vector<BYTE> bytes((text.size() + extraNulls) * sizeof(wchar_t), 0);
  if (!text.empty()) memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
  return bytes;
}

TEST(RegistryDataText, EachTypeAndSize) {
  const DWORD seven = 7, big = 4000000000u;
  const uint64_t wide = 7;
  struct Case {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    std::wstring text;
  };
  const Case cases[] = {
      {"a number", REG_DWORD, {BYTE(seven), 0, 0, 0}, L"7"},
      {"a large number", REG_DWORD, std::vector<BYTE>(reinterpret_cast<const BYTE*>(&big),
                                                      reinterpret_cast<const BYTE*>(&big) + 4), L"4000000000"},
      {"a number of three bytes", REG_DWORD, {7, 0, 0}, L""},
      {"a number of eight bytes", REG_DWORD, std::vector<BYTE>(8, 0), L""},
      {"a quad word", REG_QWORD, std::vector<BYTE>(reinterpret_cast<const BYTE*>(&wide),
                                                   reinterpret_cast<const BYTE*>(&wide) + 8), L""},
      {"a text with its null", REG_SZ, Bytes(L"Plain", 1), L"Plain"},
      {"a text without one", REG_SZ, Bytes(L"Plain", 0), L"Plain"},
      {"a text with an odd byte", REG_SZ, [] { auto b = Bytes(L"Ab", 0); b.push_back('c'); return b; }(), L"Ab"},
      {"a text cut at a null", REG_SZ, Bytes(std::wstring(L"a\0b", 3), 1), L"a"},
      {"an empty text", REG_SZ, {}, L""},
      {"an expandable text", REG_EXPAND_SZ, Bytes(L"%TEMP%", 1), L"%TEMP%"},
      {"a list of texts", REG_MULTI_SZ, Bytes(std::wstring(L"a\0b\0", 4), 1), L""},
      {"bytes", REG_BINARY, {1, 2, 3, 4}, L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RegistryDataText(c.type, c.data.empty() ? nullptr : c.data.data(), static_cast<DWORD>(c.data.size())),
              c.text)
        << c.what;
}

// Any type and any bytes give a text no longer than the bytes allow.
TEST(RegistryDataText, SeededFuzz) {
  std::mt19937 random(20261210);
  for (int round = 0; round < 20000; ++round) {
    const DWORD type = random() % 13;
    std::vector<BYTE> data(random() % 40);
    for (BYTE& b : data) b = static_cast<BYTE>(random());
    const std::wstring text =
        RegistryDataText(type, data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      ASSERT_LE(text.size(), data.size() / sizeof(wchar_t));
      ASSERT_EQ(text.find(L'\0'), std::wstring::npos);
    } else if (type == REG_DWORD) {
      ASSERT_EQ(text.empty(), data.size() != 4);
    } else {
      ASSERT_TRUE(text.empty());
    }
  }
}

// The product key's values as the platform's own registry tool writes them.
TEST(ReadProductValue, ValuesWrittenByRegExe) {
  CLocalMachineSandbox machine(L"TourReaders");
  ASSERT_TRUE(machine.Redirected());
  const std::wstring key = L"\"HKCU\\" + std::wstring(machine.Key(TARVO_PRODUCT_KEY).Path()) + L"\"";
  struct Case {
    const wchar_t* add;
    const wchar_t* name;
    std::wstring text;
  };
  const Case cases[] = {
      {L"/v FontHeight /t REG_DWORD /d 12", L"FontHeight", L"12"},
      {L"/v ShowTabs /t REG_DWORD /d 0xffffffff", L"ShowTabs", L"4294967295"},
      {L"/v SkinName /t REG_SZ /d Plain", L"SkinName", L"Plain"},
      {L"/v Empty /t REG_SZ /d \"\"", L"Empty", L""},
      {L"/v Path /t REG_EXPAND_SZ /d %TEMP%\\x", L"Path", L"%TEMP%\\x"},
      {L"/v Several /t REG_MULTI_SZ /d a\\0b", L"Several", L""},
      {L"/v Blob /t REG_BINARY /d 0102030405", L"Blob", L""},
      {L"/v Wide /t REG_QWORD /d 7", L"Wide", L""},
  };
  for (const Case& c : cases)
    ASSERT_EQ(RunProgram(L"reg.exe add " + key + L" " + c.add + L" /f"), 0u) << std::string(c.add, c.add + wcslen(c.add));
  for (const Case& c : cases) EXPECT_EQ(ReadProductValue(c.name), c.text);
  EXPECT_EQ(ReadProductValue(L"Missing"), L"");
  // A sub-key's value by its path below the product key.
  const std::wstring filters = L"\"HKCU\\" + std::wstring(machine.Key(TARVO_PRODUCT_KEY L"\\Filters").Path()) + L"\"";
  ASSERT_EQ(RunProgram(L"reg.exe add " + filters + L" /v HiddenFolders /t REG_SZ /d work|personal /f"), 0u);
  EXPECT_EQ(ReadProductValue(L"Filters\\HiddenFolders"), L"work|personal");
  EXPECT_EQ(ReadProductValue(L"HiddenFolders"), L"");
  EXPECT_EQ(ReadProductValue(L"Nowhere\\HiddenFolders"), L"");
  EXPECT_STREQ(ValueNameOf(L"Filters\\HiddenFolders"), L"HiddenFolders");
  EXPECT_STREQ(ValueNameOf(L"ShowTabs"), L"ShowTabs");
}

// Nothing to take: a module that is not loaded, or one that imports neither call.
TEST(PluginProbe, AttachesOnlyToAModuleThatDrawsOrReads) {
  CPluginProbe probe;
  EXPECT_FALSE(probe.Attach(L"NoSuchPlugin.dll"));
  EXPECT_FALSE(probe.Attach(L"ntdll.dll"));
  std::wstring data;
  EXPECT_FALSE(probe.LastReadSince(0, L"ShowTabs", data));
  EXPECT_TRUE(probe.DrawnSince(0).empty());
}

}  // namespace
