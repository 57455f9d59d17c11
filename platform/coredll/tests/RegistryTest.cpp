// The device's registry as the system uses it: rooted paths, no access rights.
#include "platform/coredll/ce.h"
#include <gtest/gtest.h>

namespace {

const wchar_t kSandbox[] = L"Software\\CoreDllRegistryTest";

class DeviceRegistry : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSandbox);
  }
};

// On the device a key path may begin with "\"; the access word is 0 and still reads and writes.
TEST_F(DeviceRegistry, RootedPathIsCreatedAndReadBack) {
  struct Case {
    HKEY root;
    const wchar_t* create;
    const wchar_t* open;
  };
  const Case cases[] = {
      {HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest\\A", L"\\Software\\CoreDllRegistryTest\\A"},
      {HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest\\B", L"Software\\CoreDllRegistryTest\\B"},
      {HKEY_CURRENT_USER, L"Software\\CoreDllRegistryTest\\C", L"\\Software\\CoreDllRegistryTest\\C"},
      {HKEY_LOCAL_MACHINE, L"\\Software\\CoreDllRegistryTest\\D", L"\\Software\\CoreDllRegistryTest\\D"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.create);
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(c.root, c.create, 0, nullptr, 0, 0, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    DWORD value = 1234;
    ASSERT_EQ(RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_EQ(RegOpenKeyExW(c.root, c.open, 0, 0, &key), ERROR_SUCCESS);
    DWORD read = 0, size = sizeof read;
    EXPECT_EQ(RegQueryValueExW(key, L"Number", nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 1234u);
    RegCloseKey(key);
  }
}

// On the device, opening a missing key fails with ERROR_FILE_NOT_FOUND and creates nothing.
TEST_F(DeviceRegistry, OpeningAMissingRootedPathFails) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest\\Missing", 0, 0, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
}

// On the device, deleting a key deletes its sub-keys with it.
TEST_F(DeviceRegistry, DeletingAKeyDeletesItsSubKeys) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest\\Tree\\Leaf\\Deeper", 0, nullptr,
                            0, 0, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest\\Tree"), ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest\\Tree", 0, 0, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest", 0, 0, &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest\\Tree"), ERROR_FILE_NOT_FOUND);
}

// The test counter sees every key opened or created and every value read, and nothing
// else: a write or a closed key leaves it alone.
TEST_F(DeviceRegistry, ReadCounterSeesOpensAndValueReads) {
  HKEY key = nullptr;
  DWORD before = CeTestRegistryReads();
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest", 0, nullptr, 0, 0, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(CeTestRegistryReads(), before + 1) << "create";
  DWORD value = 7, size = sizeof value;
  RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value);
  RegCloseKey(key);
  EXPECT_EQ(CeTestRegistryReads(), before + 1) << "a write and a close read nothing";
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"\\Software\\CoreDllRegistryTest", 0, 0, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(key, L"Number", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(key, L"Missing", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
  EXPECT_EQ(CeTestRegistryReads(), before + 4) << "an open and two reads, found or not";
}

}  // namespace
