// What every benchmark that runs the panel or its lists sets up around it: a registry
// key of its own seen as HKEY_LOCAL_MACHINE (the panel reads and writes its settings
// there, never in the machine's), the folder the program runs from, and the resource
// library beside it as the library's resources.
#pragma once
#include <windows.h>

#include <string>

#include "base/InstallPath.h"
#include "panel/Registration.h"
#include "platform/windowlib/Module.h"

namespace bench {

// The folder of the running program, with a trailing backslash.
inline std::wstring ProgramFolder() {
  WCHAR path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return folder;
}

// "Software\TarvoBench\<name>" of the current user, seen as HKEY_LOCAL_MACHINE by this
// process until the object goes; it goes with it, and everything written in it.
class MachineKey {
 public:
  explicit MachineKey(const wchar_t* name) : path_(std::wstring(L"Software\\TarvoBench\\") + name) {
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    if (key_) RegOverridePredefKey(HKEY_LOCAL_MACHINE, key_);
  }
  ~MachineKey() {
    if (!key_) return;
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    // The benchmarks' common key goes with the last of them (it fails while another
    // benchmark's key is still in it).
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TarvoBench");
  }
  MachineKey(const MachineKey&) = delete;
  MachineKey& operator=(const MachineKey&) = delete;

  // Null when the key could not be made (nothing is overridden then).
  HKEY get() const { return key_; }
  // Creates the sub-key (and those above it) and closes it again.
  void Create(const wchar_t* subKey) const {
    HKEY sub = nullptr;
    if (key_ && RegCreateKeyExW(key_, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr) == ERROR_SUCCESS)
      RegCloseKey(sub);
  }

 private:
  std::wstring path_;
  HKEY key_ = nullptr;
};

// "TarvoRes.Dll" beside the program as the library's resource instance while the
// object lives.
class ResourceLibrary {
 public:
  ResourceLibrary()
      : module_(LoadLibraryExW((ProgramFolder() + L"TarvoRes.Dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    if (module_) GetModule().SetResourceInstance(module_);
  }
  ~ResourceLibrary() {
    if (!module_) return;
    GetModule().SetResourceInstance(nullptr);
    FreeLibrary(module_);
  }
  ResourceLibrary(const ResourceLibrary&) = delete;
  ResourceLibrary& operator=(const ResourceLibrary&) = delete;

  bool loaded() const { return module_ != nullptr; }

 private:
  HMODULE module_;
};

// The plug-in as the Today screen's item, its install folder BIN (no trailing
// backslash), written under MACHINE (the benchmark's own key seen as HKLM).
inline void RegisterTodayItem(HKEY machine, const std::wstring& bin) {
  HKEY key = nullptr;
  const std::wstring itemKey = std::wstring(L"Software\\Microsoft\\Today\\Items\\") + TARVO_TODAY_ITEM_NAME;
  RegCreateKeyExW(machine, itemKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  const std::wstring dll = bin + L"\\QelTarvo.dll";
  RegSetValueExW(key, L"DLL", 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()),
                 static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t)));
  const struct {
    const wchar_t* name;
    DWORD value;
  } numbers[] = {{L"Type", 4}, {L"Enabled", 1}, {L"Options", 1}, {L"Selectability", 2}};
  for (const auto& n : numbers)
    RegSetValueExW(key, n.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n.value), sizeof n.value);
  RegCloseKey(key);
  RegCreateKeyExW(machine, TARVO_INSTALL_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(bin.c_str()),
                 static_cast<DWORD>((bin.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

}  // namespace bench
