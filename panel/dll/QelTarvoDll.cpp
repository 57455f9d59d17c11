// QelTarvo.dll: the entry and the exports the Today screen, the tab host and
// regsvr32 call. Each export only passes on to the library's shell.
#include <windows.h>

#include "panel/FaultGuard.h"
#include "panel/Plugin.h"
#include "panel/Registration.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    PluginAttach(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    PluginDetach(reserved != nullptr);
  }
  return TRUE;
}

HWND WINAPI InitializeCustomItem(TODAYLISTITEM* item, HWND parent) {
  return InitializeTodayItem(item, parent);
}

BOOL CALLBACK CustomItemOptionsDlgProc(HWND dialog, UINT message, WPARAM wParam,
                                                             LPARAM lParam) {
  return static_cast<BOOL>(OptionsDialogProc(dialog, message, wParam, lParam));
}

HWND WINAPI GetPluginWindow(LPARAM, TODAYLISTITEM* item, HWND parent) {
  return GetTabHostWindow(item, parent);
}

HICON WINAPI GetTabIconEx(LPCWSTR name) { return GetTabIcon(name); }

HRESULT WINAPI DllRegisterServer() {
  return GuardedCall<HRESULT>(E_FAIL, [] {
    RegisterServer();
    return S_OK;
  });
}

HRESULT WINAPI DllUnregisterServer() {
  return GuardedCall<HRESULT>(E_FAIL, [] {
    UnregisterServer();
    return S_OK;
  });
}

}  // extern "C"
