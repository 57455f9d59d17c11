// The device's registry calls: a path may begin with "\" (the device's registry is
// rooted like its file system; Wine fails such a path with error 161), the access
// word is ignored (the device has no key security, callers pass 0), and deleting a
// key deletes its sub-keys with it.
#include "platform/coredll/ce.h"

namespace {

LPCWSTR DeviceSubKey(LPCWSTR path) {
  if (!path) return path;
  while (*path == L'\\') ++path;
  return path;
}

// Every handle the device gives can read and write; Wine's rights are asked for in full.
const REGSAM kDeviceAccess = KEY_ALL_ACCESS;

// Keys opened and values read, for tests of paths that must not touch the registry.
volatile LONG g_reads = 0;

}  // namespace

CORE_API LONG WINAPI CeRegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM, PHKEY result) {
  InterlockedIncrement(&g_reads);
  return RegOpenKeyExW(key, DeviceSubKey(subKey), options, kDeviceAccess, result);
}

CORE_API LONG WINAPI CeRegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR keyClass, DWORD options, REGSAM,
                                       LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition) {
  InterlockedIncrement(&g_reads);
  return RegCreateKeyExW(key, DeviceSubKey(subKey), 0, keyClass, options, kDeviceAccess, security, result,
                         disposition);
}

CORE_API LONG WINAPI CeRegDeleteKeyW(HKEY key, LPCWSTR subKey) {
  if (!subKey) return ERROR_INVALID_PARAMETER;
  LPCWSTR path = DeviceSubKey(subKey);
  // The device refuses to delete the key itself through an empty name.
  if (!*path) return ERROR_INVALID_PARAMETER;
  return RegDeleteTreeW(key, path);
}

CORE_API LONG WINAPI CeRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                        LPDWORD size) {
  InterlockedIncrement(&g_reads);
  return RegQueryValueExW(key, name, reserved, type, data, size);
}

CORE_API DWORD WINAPI CeTestRegistryReads() { return static_cast<DWORD>(InterlockedCompareExchange(&g_reads, 0, 0)); }
