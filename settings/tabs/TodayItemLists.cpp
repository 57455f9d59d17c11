#include "settings/tabs/TodayItemLists.h"

#include "base/RegKey.h"
#include "panel/Registration.h"

namespace {

const LPCWSTR kOwnPluginNames[] = {L"TarvoCalendar", L"TarvoTasks",    L"TarvoContacts", L"TarvoNotes",
                                   L"TarvoMessages", L"TarvoSpecial", L"TarvoAll"};

bool IsOwnPlugin(const CString& name) {
  for (LPCWSTR own : kOwnPluginNames)
    if (name.CompareNoCase(own) == 0) return true;
  return false;
}

CString Join(LPCWSTR parent, LPCWSTR child) {
  CString path(parent);
  path += L"\\";
  path += child;
  return path;
}

}  // namespace

void ReadItemsEmbeddedElsewhere(std::vector<TodayItemInfo>& list, LPCWSTR excluded, DWORD minVersion) {
  CRegKey items(HKEY_LOCAL_MACHINE, TODAY_ITEMS_KEY, FALSE);
  if (!items.IsOpen()) return;
  CString name;
  for (BOOL more = items.EnumFirstSubKey(name); more; more = items.EnumNextSubKey(name)) {
    if (excluded && name.CompareNoCase(excluded) == 0) continue;
    CRegKey item(HKEY_LOCAL_MACHINE, Join(TODAY_ITEMS_KEY, name), FALSE);
    if (!item.IsOpen()) continue;
    const DWORD version = item.ValueExists(L"stVersion") ? item.QueryDWORD(L"stVersion") : 1;
    const CString container = item.QueryString(L"STEmbedded");
    if (version < minVersion || item.QueryString(L"DLL").IsEmpty() || container.IsEmpty()) continue;
    if (excluded && container.CompareNoCase(excluded) == 0) continue;
    TodayItemInfo info;
    TodayItemInfo::Read(info, name, item.GetHandle());
    list.push_back(info);
  }
}

void ReadTabPlugins(std::vector<TodayItemInfo>& list) {
  CRegKey root(HKEY_LOCAL_MACHINE, TARVO_TAB_PLUGINS_KEY, FALSE);
  if (!root.IsOpen()) return;
  CString name;
  for (BOOL more = root.EnumFirstSubKey(name); more; more = root.EnumNextSubKey(name)) {
    if (IsOwnPlugin(name)) continue;
    const CString path = Join(TARVO_TAB_PLUGINS_KEY, name);
    CRegKey plugin(HKEY_LOCAL_MACHINE, path, FALSE);
    CString sub;
    if (!plugin.IsOpen() || !plugin.EnumFirstSubKey(sub)) continue;
    CRegKey inner(HKEY_LOCAL_MACHINE, Join(path, sub), FALSE);
    if (!inner.IsOpen()) continue;
    TodayItemInfo info;
    TodayItemInfo::Read(info, sub, inner.GetHandle());
    list.push_back(info);
  }
}
