// The string loader of the PIM resource library: its own texts, by number.
#include "platform/pimres/pimres.h"

namespace {
HMODULE g_module = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" int WINAPI PimLoadString(UINT id, LPWSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = 0;
  if (size < 2) return 0;
  return LoadStringW(g_module, id, buffer, size);
}
