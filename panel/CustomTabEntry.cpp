#include "panel/CustomTabEntry.h"

#include <algorithm>

#include "base/RegKey.h"
#include "panel/Registration.h"

namespace {

const WCHAR kCustomTabsPath[] = TARVO_PRODUCT_KEY L"\\CustomTabs";
// "Upb" is read from outside: a count beyond any real tab must not turn into
// billions of registry reads.
const DWORD kMaxItemsRead = 1024;

// A key name is one character; a backslash would make a path and a null nothing.
bool CanNameKey(DWORD id) { return id != 0 && id <= 0xFFFF && id != L'\\'; }

bool SameKeyName(DWORD a, DWORD b) {
  if (a > 0xFFFF || b > 0xFFFF) return a == b;
  const WCHAR left = static_cast<WCHAR>(a), right = static_cast<WCHAR>(b);
  return CompareStringOrdinal(&left, 1, &right, 1, TRUE) == CSTR_EQUAL;
}

CString EntryKeyName(DWORD id) {
  WCHAR name[2] = {static_cast<WCHAR>(id), 0};
  return CString(name);
}

void CollectCandidates(std::vector<TodayItemInfo>& candidates) {
  RegisterTabPlugins(nullptr, nullptr, FALSE);
  EnumEmbeddedTodayItems(TARVO_TODAY_ITEM_NAME, 1, candidates);
}

void SortById(std::vector<CustomTabEntry>& list) {
  std::stable_sort(list.begin(), list.end(),
                   [](const CustomTabEntry& a, const CustomTabEntry& b) { return a.id < b.id; });
}

}  // namespace

void CustomTabEntry::Read(CustomTabEntry& entry, LPCWSTR keyName, std::vector<TodayItemInfo>& candidates) {
  entry = CustomTabEntry();
  if (!keyName || !*keyName) return;
  entry.id = static_cast<WCHAR>(keyName[0]);
  CString path(kCustomTabsPath);
  path += L"\\";
  path += keyName;
  CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE);
  if (!key.IsOpen()) return;
  entry.smartIcon = key.GetDWORD(L"SmartIcon", 0);
  entry.iconName = key.GetString(L"IconName", L"default");
  const DWORD count = std::min(key.GetDWORD(L"Upb", 0), kMaxItemsRead);
  for (DWORD i = 0; i < count && !candidates.empty(); ++i) {
    WCHAR valueName[16];
    wsprintfW(valueName, L"_%d", static_cast<int>(i));
    CString name = key.QueryString(valueName);
    if (name.IsEmpty()) continue;
    for (size_t c = 0; c < candidates.size(); ++c) {
      if (candidates[c].keyName.CompareNoCase(name) != 0) continue;
      entry.items.push_back(candidates[c]);
      candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(c));
      break;
    }
  }
  if (FindArdenoItem(entry) >= 0) ClearTabPluginDlls();
}

BOOL CustomTabEntry::Write(const CustomTabEntry& entry) {
  if (!CanNameKey(entry.id)) return FALSE;
  CString path(kCustomTabsPath);
  path += L"\\";
  path += EntryKeyName(entry.id);
  {
    CRegKey key(HKEY_LOCAL_MACHINE, path, TRUE);
    if (!key.IsOpen()) return FALSE;
    key.SetDWORD(L"SmartIcon", entry.smartIcon);
    key.SetString(L"IconName", entry.iconName);
    key.SetDWORD(L"Upb", static_cast<DWORD>(entry.items.size()));
    for (size_t i = entry.items.size(); i-- > 0;) {
      WCHAR valueName[16];
      wsprintfW(valueName, L"_%d", static_cast<int>(i));
      key.SetString(valueName, entry.items[i].keyName);
      TodayItemInfo::SetEmbedding(entry.items[i], TARVO_TODAY_ITEM_NAME);
    }
  }
  if (FindArdenoItem(entry) >= 0) ClearTabPluginDlls();
  return TRUE;
}

int CustomTabEntry::FindArdenoItem(const CustomTabEntry& entry) {
  for (size_t i = entry.items.size(); i-- > 0;)
    if (entry.items[i].keyName.CompareNoCase(ARDENO_TODAY_ITEM_NAME) == 0) return static_cast<int>(i);
  return -1;
}

BOOL LoadCustomTabs(std::vector<CustomTabEntry>& list) {
  list.clear();
  std::vector<TodayItemInfo> candidates;
  CollectCandidates(candidates);
  {
    CRegKey tabs(HKEY_LOCAL_MACHINE, kCustomTabsPath, FALSE);
    if (tabs.IsOpen()) {
      CString name;
      for (BOOL more = tabs.EnumFirstSubKey(name); more; more = tabs.EnumNextSubKey(name)) {
        CustomTabEntry entry;
        CustomTabEntry::Read(entry, name, candidates);
        list.push_back(entry);
      }
    }
  }
  if (!candidates.empty()) {
    SortById(list);
    CustomTabEntry entry;
    entry.id = GetFreeTabIdChar(list);
    entry.items = candidates;
    CustomTabEntry::Write(entry);
    list.push_back(entry);
  }
  return TRUE;
}

void SaveCustomTabs(const std::vector<CustomTabEntry>& list, DWORD droppedEnabled, DWORD* changed) {
  if (changed) *changed = 0;
  std::vector<TodayItemInfo> candidates;
  CollectCandidates(candidates);
  for (TodayItemInfo& candidate : candidates) {
    bool listed = false;
    for (const CustomTabEntry& entry : list)
      for (const TodayItemInfo& item : entry.items)
        if (item.keyName.CompareNoCase(candidate.keyName) == 0) listed = true;
    if (!listed) {
      candidate.enabled = droppedEnabled;
      if (changed) *changed = 1;
    }
    TodayItemInfo::SetEmbedding(candidate, L"");
  }
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, TRUE);
  if (!product.IsOpen()) return;
  RegDeleteKeyTree(product.GetHandle(), L"CustomTabs");
  CRegKey tabs(HKEY_LOCAL_MACHINE, kCustomTabsPath, TRUE);
  for (const CustomTabEntry& entry : list) CustomTabEntry::Write(entry);
}

void DeleteCustomTab(const CustomTabEntry& entry, DWORD enabled) {
  for (const TodayItemInfo& item : entry.items) {
    TodayItemInfo given = item;
    given.enabled = enabled;
    TodayItemInfo::SetEmbedding(given, L"");
  }
  if (!CanNameKey(entry.id)) return;
  CRegKey tabs(HKEY_LOCAL_MACHINE, kCustomTabsPath, FALSE);
  if (tabs.IsOpen()) RegDeleteKeyTree(tabs.GetHandle(), EntryKeyName(entry.id));
}

DWORD GetFreeTabIdChar(std::vector<CustomTabEntry>& list) {
  SortById(list);
  // Key names ignore case, so 'a' read from another program's key takes 'A'. For
  // upper-case identifiers this is the first gap of the sorted list.
  auto used = [&list](DWORD candidate) {
    for (const CustomTabEntry& entry : list)
      if (SameKeyName(entry.id, candidate)) return true;
    return false;
  };
  DWORD candidate = L'A';
  while (!CanNameKey(candidate) || used(candidate)) ++candidate;
  return candidate;
}

void RemoveArdenoItem(std::vector<TodayItemInfo>& candidates) {
  if (GetRegistrationState(nullptr) <= kTodayItemEnabled) return;
  candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                  [](const TodayItemInfo& item) {
                                    return item.keyName.CompareNoCase(ARDENO_TODAY_ITEM_NAME) == 0;
                                  }),
                   candidates.end());
}

BOOL RegDeleteKeyTree(HKEY parent, LPCWSTR name) {
  if (!parent || !name || !*name) return FALSE;
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return FALSE;
  BOOL ok = TRUE;
  for (;;) {
    WCHAR sub[260];
    DWORD length = ARRAYSIZE(sub);
    // Always index 0: each deletion moves the rest up.
    LONG result = RegEnumKeyExW(key, 0, sub, &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) break;
    if (!RegDeleteKeyTree(key, sub)) {
      ok = FALSE;
      break;
    }
  }
  RegCloseKey(key);
  if (!ok) return FALSE;
  return RegDeleteKeyW(parent, name) == ERROR_SUCCESS;
}
