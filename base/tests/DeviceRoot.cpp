#include "DeviceRoot.h"

#include <gtest/gtest.h>

#include "base/FolderTree.h"

namespace {

std::wstring& Root() {
  static std::wstring root;
  return root;
}

class RootCleanup : public ::testing::Environment {
 public:
  void TearDown() override { DeleteFolderTree(Root()); }
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
