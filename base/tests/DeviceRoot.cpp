#include "DeviceRoot.h"

#include <gtest/gtest.h>

namespace {

std::wstring& Root() {
  static std::wstring root;
  return root;
}

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = dir + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(dir.c_str());
}

class RootCleanup : public ::testing::Environment {
 public:
  void TearDown() override { RemoveTree(Root()); }
};

struct Startup {
  Startup() {
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    Root() = std::wstring(temp) + L"base_device_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(Root().c_str(), nullptr);
    SetEnvironmentVariableW(L"CEDEVICE_ROOT", Root().c_str());
    ::testing::AddGlobalTestEnvironment(new RootCleanup);
  }
} startup;

}  // namespace

std::wstring TestDeviceRoot() { return Root(); }
