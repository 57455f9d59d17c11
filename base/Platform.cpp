#include "base/Platform.h"

#include <wchar.h>

#include "platform/coredll/ce.h"

namespace {

int g_pocketPC = -1;
int g_pocketPCVersion5 = -1;

// The system major version when the device is a Pocket PC, else 0.
DWORD PocketPCMajorVersion() {
  DWORD major = 0, minor = 0;
  GetPocketPCVersion(&major, &minor);
  return major;
}

}  // namespace

BOOL GetPocketPCVersion(DWORD* major, DWORD* minor) {
  DWORD dummy;
  if (!major) major = &dummy;
  if (!minor) minor = &dummy;
  *major = *minor = 0;
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExW(&version)) return FALSE;
  WCHAR type[256] = {};
  if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(type), type, 0)) return FALSE;
  type[255] = 0;
  if (wcscmp(type, L"PocketPC") != 0) return FALSE;
  *major = version.dwMajorVersion;
  *minor = version.dwMinorVersion;
  return TRUE;
}

BOOL IsPocketPC() {
  if (g_pocketPC < 0) g_pocketPC = PocketPCMajorVersion() >= 5 ? 1 : 0;
  return g_pocketPC;
}

BOOL IsPocketPCVersion5() {
  if (g_pocketPCVersion5 < 0) g_pocketPCVersion5 = PocketPCMajorVersion() == 5 ? 1 : 0;
  return g_pocketPCVersion5;
}

void ResetPlatformTests() {
  g_pocketPC = -1;
  g_pocketPCVersion5 = -1;
}
