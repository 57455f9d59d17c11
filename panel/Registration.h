// How the library registers itself: as a custom item of the Today screen, and as
// tab plug-ins and a tab applet of the tab host. The panel also reads the state to
// know how it is hosted.
#pragma once
#include <windows.h>

// The Today item's key name: the product name in double quotes.
#define TARVO_TODAY_ITEM_NAME L"\"Qel Tarvo\""
// The path every registration names; the installer puts the library there.
#define TARVO_LIBRARY_PATH L"\\Windows\\QelTarvo.dll"
#define TARVO_TAB_PLUGINS_KEY L"SOFTWARE\\Korvel\\Shared\\TabPlugins"
#define TARVO_TAB_APPLETS_KEY L"SOFTWARE\\Korvel\\Shared\\TabApplets"
#define TARVO_TAB_HOST_KEY L"SOFTWARE\\Korvel\\Ardeno 2"

enum RegistrationState {
  kNotRegistered = 0,     // no Today item key
  kTodayItemDisabled = 1, // the key without a "DLL" text, or "enabled" 0
  kTodayItemEnabled = 2,
  kPerTabPlugins = 3,     // a per-tab plug-in key has a sub-key
  kAllTabsPlugin = 4,     // the "TarvoAll" plug-in key has a sub-key
};

// The six per-tab plug-in names, in tab order (Calendar first).
extern const LPCWSTR kTabPluginNames[6];

// 1 when it registered, 0 when it did nothing (without force: no enabled Today item).
int RegisterTabPlugins(BOOL* pluginHadSubKey, BOOL* perTabHadSubKey, BOOL force);
// The bodies of the registration exports; both end with the setting-change
// broadcast and a pause for the hosts to reload.
void RegisterServer();
void UnregisterServer();
RegistrationState GetRegistrationState(BOOL* hostInstalled);
void DisableTodayItem(BOOL clearDll);
void ClearTabPluginDlls();
BOOL WriteContainerValues(BOOL horizontal);

// Tells the hosts to reload their items (the setting-change broadcast) and gives
// them time; tests install their own to see it happen without waiting.
typedef void (*PFN_HOSTS_RELOAD)(DWORD pauseMs);
PFN_HOSTS_RELOAD SetHostsReload(PFN_HOSTS_RELOAD reload);
void TellHostsToReload(DWORD pauseMs);
