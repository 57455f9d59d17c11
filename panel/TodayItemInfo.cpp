#include "panel/TodayItemInfo.h"

#include "base/RegKey.h"

namespace {

BOOL g_writeBack = TRUE;

CString ItemPath(LPCWSTR keyName) {
  CString path(TODAY_ITEMS_KEY);
  path += L"\\";
  path += keyName;
  return path;
}

// A value that may be missing, never written back.
DWORD ReadOptional(CRegKey& key, LPCWSTR name, DWORD missing) {
  return key.ValueExists(name) ? key.QueryDWORD(name) : missing;
}

// A value with a default, written back only where the program's rules say so.
DWORD ReadWithDefault(CRegKey& key, LPCWSTR name, DWORD defaultValue) {
  return g_writeBack ? key.GetDWORD(name, defaultValue) : ReadOptional(key, name, defaultValue);
}

bool Contains(const std::vector<CString>& names, LPCWSTR name) {
  for (const CString& seen : names)
    if (seen.CompareNoCase(name) == 0) return true;
  return false;
}

// visited: the items whose containers are being read, innermost last. A container
// met again closes a loop: the chain above it is already counted.
HRESULT ContainerOf(LPCWSTR keyName, TodayContainerInfo& info, std::vector<CString>& visited) {
  info = TodayContainerInfo();
  if (!keyName || !*keyName) return E_FAIL;
  visited.push_back(keyName);
  CRegKey item(HKEY_LOCAL_MACHINE, ItemPath(keyName), FALSE);
  if (!item.IsOpen()) return S_OK;
  if (ReadWithDefault(item, L"Enabled", 0) != 0) return S_OK;
  CString container = item.QueryString(L"STEmbedded");
  if (container.IsEmpty() || container.GetLength() >= static_cast<int>(ARRAYSIZE(info.name))) return S_OK;
  CRegKey outer(HKEY_LOCAL_MACHINE, ItemPath(container), FALSE);
  if (!outer.IsOpen()) return S_OK;
  info.found = TRUE;
  lstrcpynW(info.name, container, ARRAYSIZE(info.name));
  info.possibleTabs = ReadWithDefault(outer, L"STCPossibleTabs", 0);
  info.currentTabs = ReadWithDefault(outer, L"STCCurrentTabs", 0);
  info.recommendedIndent = ReadWithDefault(outer, L"STCRecommendedIndent", 0);
  info.version = ReadWithDefault(outer, L"STCVersion", 0);
  if (Contains(visited, container)) return S_OK;
  TodayContainerInfo upper;
  if (FAILED(ContainerOf(container, upper, visited))) return E_FAIL;
  if (upper.found) {
    info.possibleTabs |= upper.possibleTabs;
    info.currentTabs |= upper.currentTabs;
  }
  return S_OK;
}

}  // namespace

void TodayItemInfo::Read(TodayItemInfo& info, LPCWSTR keyName, HKEY handle) {
  info = TodayItemInfo();
  info.keyName = keyName;
  // The caller keeps its handle; this reads through a handle of its own.
  CRegKey key(handle, L"", FALSE);
  if (!key.IsOpen()) return;
  info.order = ReadWithDefault(key, L"Order", 50);
  info.dllPath = key.QueryString(L"DLL");
  info.enabled = ReadWithDefault(key, L"Enabled", 0);
  info.selectability = ReadOptional(key, L"Selectability", 0);
  info.flags = ReadOptional(key, L"Flags", 0);
  info.name = key.QueryString(L"STName");
  if (info.name.IsEmpty()) {
    for (LPCWSTR c = keyName; c && *c; ++c)
      if (*c != L'"') info.name += *c;
  }
  info.minWidth = static_cast<LONG>(ReadOptional(key, L"STMinWidth", 0));
  info.minHeight = ReadOptional(key, L"STMinHeight", 0);
  info.version = ReadOptional(key, L"STVersion", static_cast<DWORD>(-1));
  info.heightResizeType = ReadOptional(key, TODAY_HEIGHT_RESIZE_VALUE, 0);
  info.cyclic = 0;
}

BOOL TodayItemInfo::SetEmbedding(const TodayItemInfo& info, LPCWSTR container) {
  CRegKey key(HKEY_LOCAL_MACHINE, ItemPath(info.keyName), FALSE);
  if (!key.IsOpen()) return FALSE;
  BOOL ok = key.SetString(L"STEmbedded", container ? container : L"");
  return key.SetDWORD(L"Enabled", info.enabled ? 1 : 0) && ok;
}

BOOL ReadTodayItemIfEmbeddable(LPCWSTR container, DWORD minVersion, LPCWSTR keyName, TodayItemInfo& info) {
  if (!keyName || !*keyName) return FALSE;
  CRegKey key(HKEY_LOCAL_MACHINE, ItemPath(keyName), FALSE);
  if (!key.IsOpen()) return FALSE;
  if (ReadOptional(key, L"STVersion", 1) < minVersion) return FALSE;
  if (!key.ValueExists(L"Type") || key.QueryDWORD(L"Type") != 4) return FALSE;
  CString embedded = key.QueryString(L"STEmbedded");
  if (container && *container) {
    if (embedded.CompareNoCase(container) != 0) return FALSE;
  } else if (!embedded.IsEmpty()) {
    return FALSE;
  }
  if (key.QueryString(L"DLL").IsEmpty()) return FALSE;
  TodayItemInfo::Read(info, keyName, key.GetHandle());
  return TRUE;
}

namespace {

template <typename Visit>
void ForEachItemKey(Visit visit) {
  CRegKey items(HKEY_LOCAL_MACHINE, TODAY_ITEMS_KEY, FALSE);
  if (!items.IsOpen()) return;
  CString name;
  for (BOOL more = items.EnumFirstSubKey(name); more; more = items.EnumNextSubKey(name)) visit(name);
}

}  // namespace

void EnumEmbeddedTodayItems(LPCWSTR container, DWORD minVersion, std::vector<TodayItemInfo>& list) {
  if (!container || !*container) return;
  const size_t first = list.size();
  ForEachItemKey([&](const CString& name) {
    TodayItemInfo info;
    if (ReadTodayItemIfEmbeddable(container, minVersion, name, info)) list.push_back(info);
  });
  if (list.size() == first) return;
  // Walk up from the container: arriving back at it means one of its own items
  // holds it. A loop elsewhere (Y in Z in Y) ends the walk when it repeats.
  CString current(container);
  std::vector<CString> walked;
  while (!Contains(walked, current)) {
    walked.push_back(current);
    TodayContainerInfo info;
    if (FAILED(GetContainerInfo(current, info)) || !info.found) return;
    if (CString(info.name).CompareNoCase(container) == 0) {
      for (size_t i = list.size(); i-- > first;) {
        if (list[i].keyName.CompareNoCase(current) == 0) {
          list[i].cyclic = 1;
          break;
        }
      }
      return;
    }
    current = info.name;
  }
}

void EnumFreeTodayItems(std::vector<TodayItemInfo>& list, LPCWSTR excluded, DWORD minVersion) {
  ForEachItemKey([&](const CString& name) {
    if (excluded && name.CompareNoCase(excluded) == 0) return;
    TodayItemInfo info;
    if (ReadTodayItemIfEmbeddable(nullptr, minVersion, name, info)) list.push_back(info);
  });
}

HRESULT GetContainerInfo(LPCWSTR keyName, TodayContainerInfo& info) {
  std::vector<CString> visited;
  return ContainerOf(keyName, info, visited);
}

void SetTodayItemDefaultsWrittenBack(BOOL writeBack) { g_writeBack = writeBack; }
BOOL AreTodayItemDefaultsWrittenBack() { return g_writeBack; }

int CompareTodayItemsForMenu(const TodayItemInfo& a, const TodayItemInfo& b) {
  const bool ea = a.enabled != 0, eb = b.enabled != 0;
  if (ea != eb) return ea ? -1 : 1;
  return a.name.CompareNoCase(b.name);
}
