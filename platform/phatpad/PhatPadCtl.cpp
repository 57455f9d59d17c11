// PhatPadCtl.dll: PhatPad's control library. Callers load it before the view library
// and keep it loaded; nothing in it is called by name.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
  return TRUE;
}
