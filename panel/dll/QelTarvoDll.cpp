// QelTarvo.dll: the entry and the exports the Today screen, the tab host and
// regsvr32 call. Each export only passes on to the library's shell.
#include <windows.h>

#include "panel/AppletManager.h"
#include "panel/FaultGuard.h"
#include "panel/Plugin.h"
#include "panel/Registration.h"
#include "platform/ardeno/ArdenoApplet.h"

namespace {

// The host hands back only handles we gave it; any other value names no applet.
IApplet* AppletOf(ARDENO_APPLET handle) {
  auto* applet = static_cast<IApplet*>(handle);
  return CAppletManager::Instance().IsLive(applet) ? applet : nullptr;
}

}  // namespace

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

ARDENO_APPLET WINAPI ArdenoAppletCreate(const BYTE* data, DWORD size) {
  return GuardedCall<ARDENO_APPLET>(nullptr, [&]() -> ARDENO_APPLET {
    EnsurePluginInitialized();
    return CAppletManager::Instance().Create(data, size);
  });
}

ARDENO_APPLET WINAPI ArdenoAppletShowCreateDialog(HWND host) {
  return GuardedCall<ARDENO_APPLET>(nullptr, [&]() -> ARDENO_APPLET {
    EnsurePluginInitialized();
    return CAppletManager::Instance().ShowCreateDialog(host);
  });
}

BOOL WINAPI ArdenoAppletInit(ARDENO_APPLET applet, HWND host) {
  return GuardedCall<BOOL>(FALSE, [&] { return CAppletManager::Instance().Init(AppletOf(applet), host); });
}

BOOL WINAPI ArdenoAppletDelete(ARDENO_APPLET applet) {
  return GuardedCall<BOOL>(FALSE, [&] { return CAppletManager::Instance().Delete(AppletOf(applet)); });
}

HICON WINAPI ArdenoAppletGetIcon() {
  return GuardedCall<HICON>(nullptr, [] { return CAppletManager::Instance().GetIcon(); });
}

int WINAPI ArdenoAppletGetDescription(ARDENO_APPLET applet, LPWSTR buffer, int length, LPARAM) {
  return GuardedCall<int>(0, [&] { return CAppletManager::Instance().GetDescription(AppletOf(applet), buffer, length); });
}

DWORD WINAPI ArdenoAppletGetData(ARDENO_APPLET applet, BYTE* buffer, DWORD* size) {
  return GuardedCall<DWORD>(0, [&] { return CAppletManager::Instance().GetData(AppletOf(applet), buffer, size); });
}

BOOL WINAPI ArdenoAppletGetSize(ARDENO_APPLET applet, SIZE* size) {
  return GuardedCall<BOOL>(FALSE, [&] {
    IApplet* live = AppletOf(applet);
    return live && size ? live->GetSize(size) : FALSE;
  });
}

BOOL WINAPI ArdenoAppletPaint(ARDENO_APPLET applet, const RECT* rect, HDC dc) {
  return GuardedCall<BOOL>(FALSE, [&] {
    IApplet* live = AppletOf(applet);
    return live && rect ? live->Paint(*rect, dc) : FALSE;
  });
}

BOOL WINAPI ArdenoAppletUpdate(ARDENO_APPLET) { return TRUE; }

BOOL WINAPI ArdenoAppletOnClick(ARDENO_APPLET applet, int x, int y) {
  return GuardedCall<BOOL>(FALSE, [&] {
    IApplet* live = AppletOf(applet);
    return live ? live->OnClick(x, y) : FALSE;
  });
}

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
