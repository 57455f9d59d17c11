#include "settings/pages/RegistryValues.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/tests/RegistrySandbox.h"

namespace {

// name -> (type, bytes) as the registry holds them now.
std::map<std::wstring, std::pair<DWORD, std::wstring>> ReadAll(const CRegistryView& key) {
  std::map<std::wstring, std::pair<DWORD, std::wstring>> values;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(key.Root(), key.Path(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    WCHAR name[300];
    DWORD nameLength = 300, type = 0, size = 0;
    if (RegEnumValueW(handle, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::wstring bytes;
    key.Read(name, type, bytes);
    values[name] = {type, bytes};
  }
  RegCloseKey(handle);
  return values;
}

class RegistryValuesTest : public ::testing::Test {
 protected:
  CLocalMachineSandbox m_machine{L"RegistryValues"};
  CRegistryView m_key = m_machine.Key(L"Software\\Snap");
  const wchar_t* kPath = L"\\Software\\Snap";
};

// Values another program may have written: every type, empty and large data, a
// long name, a text without its terminator.
TEST_F(RegistryValuesTest, RestorePutsBackEveryKindOfValueExactly) {
  m_key.WriteString(L"Text", L"Ocean");
  const wchar_t multi[] = L"a\0bc\0";
  m_key.Write(L"Multi", REG_MULTI_SZ, multi, sizeof multi);
  m_key.Write(L"Empty", REG_BINARY, nullptr, 0);
  m_key.WriteDWORD(L"Number", 7);
  const ULONGLONG wide = 0x1122334455667788ull;
  m_key.Write(L"Wide", REG_QWORD, &wide, sizeof wide);
  std::vector<BYTE> large(70000);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<BYTE>(i * 7);
  m_key.Write(L"Large", REG_BINARY, large.data(), static_cast<DWORD>(large.size()));
  m_key.Write(std::wstring(255, L'n').c_str(), REG_DWORD, &wide, 4);
  m_key.Write(L"Unterminated", REG_SZ, L"abc", 6);
  m_key.Write(L"", REG_SZ, L"default", 16);
  const auto before = ReadAll(m_key);

  CRegistryValues snapshot;
  ASSERT_TRUE(snapshot.Take(HKEY_LOCAL_MACHINE, kPath));
  m_key.WriteString(L"Text", L"Forest");
  m_key.WriteDWORD(L"Added", 1);
  RegDeleteKeyValueW(m_key.Root(), m_key.Path(), L"Large");
  ASSERT_TRUE(snapshot.Restore());
  EXPECT_EQ(ReadAll(m_key), before);
}

TEST_F(RegistryValuesTest, ChangesSinceABaseAreWrittenAlone) {
  m_key.WriteDWORD(L"Kept", 1);
  m_key.WriteDWORD(L"Edited", 1);
  CRegistryValues base, edited;
  ASSERT_TRUE(base.Take(HKEY_LOCAL_MACHINE, kPath));
  m_key.WriteDWORD(L"Edited", 2);
  m_key.WriteDWORD(L"New", 3);
  ASSERT_TRUE(edited.Take(HKEY_LOCAL_MACHINE, kPath));
  ASSERT_TRUE(base.Restore());
  m_key.WriteDWORD(L"Kept", 5);  // changed by someone else meanwhile
  ASSERT_TRUE(edited.WriteChangesSince(base));
  DWORD value = 0;
  EXPECT_TRUE(m_key.ReadDWORD(L"Kept", value));
  EXPECT_EQ(value, 5u);
  EXPECT_TRUE(m_key.ReadDWORD(L"Edited", value));
  EXPECT_EQ(value, 2u);
  EXPECT_TRUE(m_key.ReadDWORD(L"New", value));
  EXPECT_EQ(value, 3u);
}

TEST_F(RegistryValuesTest, MissingKeyTakesNothingAndRestoresNothing) {
  CRegistryValues snapshot;
  EXPECT_FALSE(snapshot.Take(HKEY_LOCAL_MACHINE, L"\\Software\\NoSuchKey"));
  CRegistryValues unset;
  EXPECT_FALSE(unset.Restore());
  EXPECT_FALSE(unset.WriteChangesSince(snapshot));
}

// Random keys of random values, changed at random: a restore always gives the key
// back exactly.
TEST_F(RegistryValuesTest, RandomKeysComeBackExactly) {
  std::mt19937 random(4711);
  const DWORD types[] = {REG_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_EXPAND_SZ, REG_NONE, 0x1234};
  auto writeRandom = [&](int count) {
    for (int i = 0; i < count; ++i) {
      std::wstring name = L"v" + std::to_wstring(random() % 40);
      std::vector<BYTE> data(random() % 64);
      for (BYTE& b : data) b = static_cast<BYTE>(random());
      m_key.Write(name.c_str(), types[random() % 7], data.data(), static_cast<DWORD>(data.size()));
    }
  };
  for (int round = 0; round < 150; ++round) {
    m_key.Delete();
    writeRandom(1 + static_cast<int>(random() % 12));
    const auto before = ReadAll(m_key);
    CRegistryValues snapshot;
    ASSERT_TRUE(snapshot.Take(HKEY_LOCAL_MACHINE, kPath));
    writeRandom(static_cast<int>(random() % 6));
    if (random() % 2 && !before.empty())
      RegDeleteKeyValueW(m_key.Root(), m_key.Path(), before.begin()->first.c_str());
    ASSERT_TRUE(snapshot.Restore());
    ASSERT_EQ(ReadAll(m_key), before) << round;
  }
}

}  // namespace
