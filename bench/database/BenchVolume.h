// The benchmarks' own device roots, so their figures never touch a real one.
#pragma once
#include <string>

#include "base/FolderTree.h"
#include "platform/coredll/cedb.h"

namespace bench {

// A device root of the benchmark's own, so its figures never touch a real one. The root
// goes, with everything in it, when the object does.
class BenchRoot {
 public:
  // benchName names the root ("cedbbench" makes %TEMP%\cedbbench-PID).
  explicit BenchRoot(const wchar_t* benchName) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + benchName + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root_.c_str(), nullptr);
    SetEnvironmentVariableW(L"CEDEVICE_ROOT", root_.c_str());
  }
  ~BenchRoot() { DeleteFolderTree(root_); }
  BenchRoot(const BenchRoot&) = delete;
  BenchRoot& operator=(const BenchRoot&) = delete;

  std::wstring File(const std::wstring& name) const { return root_ + L"\\" + name; }

 private:
  std::wstring root_;
};

// A benchmark's own device root with one volume created there.
class BenchVolume {
 public:
  BenchVolume(const wchar_t* benchName, const wchar_t* volumeName) : root_(benchName) {
    mounted_ = CeMountDBVol(&guid_, const_cast<LPWSTR>(volumeName), CREATE_ALWAYS) != FALSE;
  }
  ~BenchVolume() {
    if (mounted_) CeUnmountDBVol(&guid_);
  }
  BenchVolume(const BenchVolume&) = delete;
  BenchVolume& operator=(const BenchVolume&) = delete;

  bool mounted() const { return mounted_; }
  CEGUID& guid() { return guid_; }
  std::wstring File(const std::wstring& name) const { return root_.File(name); }

 private:
  BenchRoot root_;
  CEGUID guid_{};
  bool mounted_ = false;
};

}  // namespace bench
