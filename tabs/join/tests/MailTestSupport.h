// What the join tests read back of the mail folder filters: the values of the filters'
// key as another reader of the registry sees them.
#pragma once
#include <windows.h>

#include <string>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"

namespace mailtest {

inline CRegistryView FiltersKey(const CLocalMachineSandbox& machine) {
  return machine.Key((std::wstring(TARVO_PRODUCT_KEY) + L"\\MailFilters").c_str());
}

// The number of stored filters; 0 without the key.
inline DWORD StoredFilters(const CLocalMachineSandbox& machine) {
  const CRegistryView view = FiltersKey(machine);
  HKEY key = nullptr;
  DWORD values = 0;
  if (RegOpenKeyExW(view.Root(), view.Path(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS)
    values = 0;
  RegCloseKey(key);
  return values;
}

}  // namespace mailtest
