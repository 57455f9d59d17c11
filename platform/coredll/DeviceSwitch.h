// Switches the emulated device for the current process only, and back on destruction.
// Tests run side by side on one Wine prefix: the switch goes through the
// CEDEVICE_<NAME> environment variables, never through the shared registry key.
// Child processes started while a switch is held inherit it.
//
//   CDeviceSwitch device;
//   device.Set(L"Version", L"4.21");      // classic store
//   device.Set(L"PlatformType", L"PocketPC");
//   device.Clear(L"Clock");               // back to the key's or the default answer
//   device.AddOptionalLibrary(L"phone");  // the device has "phone.dll" (a phone edition)
//
// Optional libraries: libraries only some devices have ("phone.dll", "doclist.dll") are
// built into bin\optional\<name>\, beside no program, so a plain load finds them only
// where a test asked for them: AddOptionalLibrary puts that folder first on the PATH the
// loader searches (child processes inherit it) until the switch ends.
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

  // The folder of the optional library name beside this program's folder; false when the
  // program's path is unknown.
  bool AddOptionalLibrary(const wchar_t* name) {
    wchar_t exe[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    std::wstring folder(exe, n);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    folder += L"optional\\";
    folder += name;
    std::wstring path = folder;
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (size > 0) {
      std::wstring old(size, L'\0');
      old.resize(GetEnvironmentVariableW(L"PATH", &old[0], size));
      path += L';';
      path += old;
    }
    PutVariable(L"PATH", path.c_str());
    return true;
  }

 private:
  struct Saved {
    std::wstring name;
    bool was;
    std::wstring value;
  };

  void Put(const wchar_t* name, const wchar_t* value) {
    std::wstring var = L"CEDEVICE_";
    for (const wchar_t* c = name; *c; ++c) var += static_cast<wchar_t>(towupper(*c));
    PutVariable(var, value);
  }

  void PutVariable(const std::wstring& var, const wchar_t* value) {
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
