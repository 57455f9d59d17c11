#include "base/Platform.h"

#include <wchar.h>

#include "platform/coredll/ce.h"

namespace {

int g_pocketPC = -1;
int g_pocketPCVersion5 = -1;

// The system major version when the device is a Pocket PC, else 0.
DWORD PocketPCMajorVersion() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExW(&version)) return 0;
  WCHAR type[256] = {};
  if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(type), type, 0)) return 0;
  type[255] = 0;
  return wcscmp(type, L"PocketPC") == 0 ? version.dwMajorVersion : 0;
}

}  // namespace

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
