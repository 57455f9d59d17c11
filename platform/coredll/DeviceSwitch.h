// Switches the emulated device for the current process only, and back on destruction.
// Tests run side by side on one Wine prefix: the switch goes through the
// CEDEVICE_<NAME> environment variables, never through the shared registry key.
// Child processes started while a switch is held inherit it.
//
//   CDeviceSwitch device;
//   device.Set(L"Version", L"4.21");      // classic store
//   device.Set(L"PlatformType", L"PocketPC");
//   device.Clear(L"Clock");               // back to the key's or the default answer
#pragma once
#include <windows.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

class CDeviceSwitch {
 public:
  CDeviceSwitch() = default;
  CDeviceSwitch(const CDeviceSwitch&) = delete;
  CDeviceSwitch& operator=(const CDeviceSwitch&) = delete;

  ~CDeviceSwitch() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      SetEnvironmentVariableW(it->name.c_str(), it->was ? it->value.c_str() : nullptr);
  }

  void Set(const wchar_t* name, const std::wstring& value) { Put(name, value.c_str()); }
  void Clear(const wchar_t* name) { Put(name, nullptr); }

 private:
  struct Saved {
    std::wstring name;
    bool was;
    std::wstring value;
  };

  void Put(const wchar_t* name, const wchar_t* value) {
    std::wstring var = L"CEDEVICE_";
    for (const wchar_t* c = name; *c; ++c) var += static_cast<wchar_t>(towupper(*c));
    Saved saved{var, false, L""};
    SetLastError(ERROR_SUCCESS);
    DWORD n = GetEnvironmentVariableW(var.c_str(), nullptr, 0);
    if (n > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND) {
      saved.was = true;
      if (n > 0) {
        saved.value.assign(n, L'\0');
        saved.value.resize(GetEnvironmentVariableW(var.c_str(), &saved.value[0], n));
      }
    }
    saved_.push_back(std::move(saved));
    SetEnvironmentVariableW(var.c_str(), value);
  }

  std::vector<Saved> saved_;
};
