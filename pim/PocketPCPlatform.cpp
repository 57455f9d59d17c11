#include "pim/PocketPCPlatform.h"

#include <wchar.h>

#include "platform/coredll/ce.h"

namespace {

int g_pocketPC = -1;

BOOL AskPlatform() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExW(&version)) return FALSE;
  if (version.dwMajorVersion < 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion < 21)) return FALSE;
  WCHAR type[64] = {};
  if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof type, type, 0)) return FALSE;
  type[63] = 0;
  return wcscmp(type, L"PocketPC") == 0;
}

}  // namespace

BOOL IsPocketPCPlatform() {
  if (g_pocketPC < 0) g_pocketPC = AskPlatform() ? 1 : 0;
  return g_pocketPC;
}

void ResetPocketPCPlatform() { g_pocketPC = -1; }
