#include "panel/Registration.h"

#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "panel/TodayItemInfo.h"

const LPCWSTR kTabPluginNames[6] = {L"TarvoCalendar", L"TarvoTasks",    L"TarvoContacts",
                                    L"TarvoNotes",    L"TarvoMessages", L"TarvoSpecial"};

namespace {

const LPCWSTR kTabDisplayNames[6] = {L"Calendar", L"Tasks", L"Contacts", L"Notes", L"Messages", L"Special Events"};
const LPCWSTR kAllTabs = L"TarvoAll";

void DefaultReload(DWORD pauseMs) {
  SendMessageW(GetDesktopWindow(), WM_SETTINGCHANGE, 0xF2, 0);
  Sleep(pauseMs);
}

PFN_HOSTS_RELOAD g_reload = DefaultReload;

CString Join(LPCWSTR parent, LPCWSTR child) {
  CString path(parent);
  path += L"\\";
  path += child;
  return path;
}

CString TodayItemPath() { return Join(TODAY_ITEMS_KEY, TARVO_TODAY_ITEM_NAME); }

BOOL KeyExists(LPCWSTR path) {
  CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
  return key.IsOpen();
}

BOOL HasSubKey(LPCWSTR path) {
  CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
  CString name;
  return key.IsOpen() && key.EnumFirstSubKey(name);
}

// The key and everything below it, then the parent flushed.
void DeleteKey(LPCWSTR parent, LPCWSTR name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, parent, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteTreeW(key, name);
  RegDeleteKeyW(key, name);
  RegFlushKey(key);
  RegCloseKey(key);
}

// Writes a tab plug-in key; when something is registered below it, that is pointed
// at the library too (reported through hadSubKey).
void WritePluginKey(LPCWSTR name, LPCWSTR displayName, BOOL* hadSubKey) {
  CString path = Join(TARVO_TAB_PLUGINS_KEY, name);
  CRegKey key(HKEY_LOCAL_MACHINE, path);
  if (!key.IsOpen()) return;
  key.SetString(L"DLL", TARVO_LIBRARY_PATH);
  key.SetString(L"Name3.0", displayName);
  key.SetString(L"Label", L"");
  RegFlushKey(key.GetHandle());
  CString sub;
  if (key.EnumFirstSubKey(sub)) {
    CRegKey inner(HKEY_LOCAL_MACHINE, Join(path, sub));
    if (inner.IsOpen()) inner.SetString(L"DLL", TARVO_LIBRARY_PATH);
    if (hadSubKey) *hadSubKey = TRUE;
  }
}

CString Translated(LPCWSTR text) {
  CString out;
  TranslateText(text, out);
  return out;
}

}  // namespace

PFN_HOSTS_RELOAD SetHostsReload(PFN_HOSTS_RELOAD reload) {
  PFN_HOSTS_RELOAD previous = g_reload;
  g_reload = reload ? reload : DefaultReload;
  return previous;
}

void TellHostsToReload(DWORD pauseMs) { g_reload(pauseMs); }

RegistrationState GetRegistrationState(BOOL* hostInstalled) {
  if (hostInstalled) *hostInstalled = KeyExists(TARVO_TAB_HOST_KEY);
  if (KeyExists(TARVO_TAB_PLUGINS_KEY)) {
    if (HasSubKey(Join(TARVO_TAB_PLUGINS_KEY, kAllTabs))) return kAllTabsPlugin;
    for (LPCWSTR name : kTabPluginNames)
      if (HasSubKey(Join(TARVO_TAB_PLUGINS_KEY, name))) return kPerTabPlugins;
  }
  CRegKey item(HKEY_LOCAL_MACHINE, TodayItemPath(), FALSE, FALSE);
  if (!item.IsOpen()) return kNotRegistered;
  if (item.QueryString(L"DLL").IsEmpty() || item.QueryDWORD(L"enabled") == 0) return kTodayItemDisabled;
  return kTodayItemEnabled;
}

int RegisterTabPlugins(BOOL* pluginHadSubKey, BOOL* perTabHadSubKey, BOOL force) {
  if (pluginHadSubKey) *pluginHadSubKey = FALSE;
  if (perTabHadSubKey) *perTabHadSubKey = FALSE;
  if (!force) {
    CRegKey item(HKEY_LOCAL_MACHINE, TodayItemPath(), FALSE, FALSE);
    if (!item.IsOpen() || item.QueryString(L"DLL").IsEmpty()) return 0;
  }
  BOOL hostInstalled = FALSE;
  DWORD allTabs;
  RegistrationState state;
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    allTabs = product.GetDWORD(L"AllTabsInArdeno", 1);
    state = GetRegistrationState(&hostInstalled);
    if (hostInstalled && state == kPerTabPlugins) product.SetDWORD(L"AllTabsInArdeno", allTabs = 0);
    if (hostInstalled && state == kAllTabsPlugin) product.SetDWORD(L"AllTabsInArdeno", allTabs = 1);
  }
  if ((!hostInstalled || state != kPerTabPlugins) && allTabs) {
    WritePluginKey(kAllTabs, L"Qel Tarvo", pluginHadSubKey);
    for (LPCWSTR name : kTabPluginNames)
      if (KeyExists(Join(TARVO_TAB_PLUGINS_KEY, name))) DeleteKey(TARVO_TAB_PLUGINS_KEY, name);
    return 1;
  }
  for (int i = 5; i >= 0; --i) {
    CString display(L"Qel Tarvo - ");
    display += Translated(kTabDisplayNames[i]);
    BOOL had = FALSE;
    WritePluginKey(kTabPluginNames[i], display, &had);
    if (had) {
      if (pluginHadSubKey) *pluginHadSubKey = TRUE;
      if (perTabHadSubKey) *perTabHadSubKey = TRUE;
    }
  }
  if (KeyExists(Join(TARVO_TAB_PLUGINS_KEY, kAllTabs))) DeleteKey(TARVO_TAB_PLUGINS_KEY, kAllTabs);
  return 1;
}

BOOL WriteContainerValues(BOOL horizontal) {
  CRegKey key(HKEY_LOCAL_MACHINE, TodayItemPath(), FALSE);
  if (!key.IsOpen()) return FALSE;
  key.SetDWORD(L"STCVersion", 1);
  key.SetDWORD(L"STCCurrentTabs", CViewSettings::CurrentTabsFor(horizontal));
  key.SetDWORD(L"STCPossibleTabs", 5);
  key.SetDWORD(L"STCRecommendedIndent", 0);
  return TRUE;
}

void RegisterServer() {
  BOOL pluginHadSubKey = FALSE, perTabHadSubKey = FALSE;
  RegisterTabPlugins(&pluginHadSubKey, &perTabHadSubKey, TRUE);
  if (!pluginHadSubKey) {
    CRegKey item(HKEY_LOCAL_MACHINE, TodayItemPath());
    item.SetString(L"DLL", TARVO_LIBRARY_PATH);
    item.SetDWORD(L"selectability", 2);
    item.SetDWORD(L"type", 4);
    item.SetDWORD(L"options", 1);
    item.SetDWORD(L"enabled", 1);
  }
  {
    CRegKey applet(HKEY_LOCAL_MACHINE, Join(TARVO_TAB_APPLETS_KEY, L"TarvoPhotoContact"));
    CString name = Translated(L"Photo Contact");
    applet.SetDWORD(L"Type", 0);
    applet.SetString(L"Label", name);
    applet.SetString(L"Name", name);
    applet.SetString(L"DLL", TARVO_LIBRARY_PATH);
  }
  DWORD horizontal;
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    horizontal = product.GetDWORD(L"HorizontalTabsMode", 0);
  }
  WriteContainerValues(horizontal != 0);
  TellHostsToReload(1000);
}

void UnregisterServer() {
  DeleteKey(TARVO_TAB_APPLETS_KEY, L"TarvoPhotoContact");
  DeleteKey(TODAY_ITEMS_KEY, TARVO_TODAY_ITEM_NAME);
  if (KeyExists(TARVO_TAB_PLUGINS_KEY)) {
    DeleteKey(TARVO_TAB_PLUGINS_KEY, kAllTabs);
    for (LPCWSTR name : kTabPluginNames) DeleteKey(TARVO_TAB_PLUGINS_KEY, name);
  }
  // Shared keys go only when no other product keeps anything below them. The
  // applets key was ours alone when it is empty now.
  if (KeyExists(TARVO_TAB_APPLETS_KEY) && !HasSubKey(TARVO_TAB_APPLETS_KEY))
    DeleteKey(L"SOFTWARE\\Korvel\\Shared", L"TabApplets");
  if (KeyExists(TARVO_TAB_PLUGINS_KEY) && !HasSubKey(TARVO_TAB_PLUGINS_KEY))
    DeleteKey(L"SOFTWARE\\Korvel\\Shared", L"TabPlugins");
  if (KeyExists(L"SOFTWARE\\Korvel\\Shared") && !HasSubKey(L"SOFTWARE\\Korvel\\Shared"))
    DeleteKey(L"SOFTWARE\\Korvel", L"Shared");
  if (KeyExists(L"SOFTWARE\\Korvel") && !HasSubKey(L"SOFTWARE\\Korvel")) DeleteKey(L"SOFTWARE", L"Korvel");
  TellHostsToReload(3000);
}

void DisableTodayItem(BOOL clearDll) {
  {
    CRegKey item(HKEY_LOCAL_MACHINE, TodayItemPath());
    if (clearDll)
      item.SetString(L"DLL", L"");
    else
      item.SetDWORD(L"enabled", 0);
  }
  ClearTabPluginDlls();
}

void ClearTabPluginDlls() {
  CString all = Join(TARVO_TAB_PLUGINS_KEY, kAllTabs);
  if (KeyExists(all)) {
    CRegKey key(HKEY_LOCAL_MACHINE, all, FALSE);
    key.SetString(L"DLL", L"");
  }
  for (LPCWSTR name : kTabPluginNames) {
    CString path = Join(TARVO_TAB_PLUGINS_KEY, name);
    if (!KeyExists(path)) continue;
    CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE);
    key.SetString(L"DLL", L"");
  }
}
