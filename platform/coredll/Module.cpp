#include "platform/coredll/ce.h"

#include <string>

CORE_API FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR name) {
  if (IS_INTRESOURCE(name)) return GetProcAddress(module, reinterpret_cast<LPCSTR>(name));
  int n = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return nullptr;
  std::string narrow(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, name, -1, &narrow[0], n, nullptr, nullptr);
  return GetProcAddress(module, narrow.c_str());
}
