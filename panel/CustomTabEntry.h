// The custom tabs as the registry keeps them: one sub-key of "CustomTabs" under the
// product key per tab, named by the tab's character, listing the Today items the
// tab shows ("Upb" of them, "_0" the top band). Every item a tab lists is embedded
// in the plug-in's own Today item, so the Today screen leaves it to the tab.
#pragma once
#include <windows.h>

#include <vector>

#include "panel/TodayItemInfo.h"
#include "platform/windowlib/String.h"

// The tab host's own Today item, named in double quotes like the plug-in's.
#define ARDENO_TODAY_ITEM_NAME L"\"Ardeno\""

struct CustomTabEntry {
  DWORD id = L'A';  // the identifier character
  DWORD smartIcon = 0;
  CString iconName = L"default";
  std::vector<TodayItemInfo> items;

  // Reads the sub-key keyName of "CustomTabs"; moves the items it names out of
  // candidates, in its order. Missing settings are written back with defaults.
  static void Read(CustomTabEntry& entry, LPCWSTR keyName, std::vector<TodayItemInfo>& candidates);
  // Writes the entry's sub-key and embeds its items; FALSE when the identifier
  // cannot name a key (nothing is written then).
  static BOOL Write(const CustomTabEntry& entry);
  // Index of the tab host's item, searching from the last; -1 when none.
  static int FindArdenoItem(const CustomTabEntry& entry);
};

// Fills list with one entry per sub-key; items embedded in the plug-in that no
// entry names go into a new entry, written back. Always TRUE.
BOOL LoadCustomTabs(std::vector<CustomTabEntry>& list);
// Rewrites every entry; embedded items no entry names get droppedEnabled, and
// *changed (optional) 1 when there was one.
void SaveCustomTabs(const std::vector<CustomTabEntry>& list, DWORD droppedEnabled, DWORD* changed);
// Gives the entry's items back to the Today screen with the Enabled value and
// deletes the entry's sub-key.
void DeleteCustomTab(const CustomTabEntry& entry, DWORD enabled);
// The first identifier from 'A' up that no entry uses (sorts the list first).
// Characters that cannot name a key are passed over.
DWORD GetFreeTabIdChar(std::vector<CustomTabEntry>& list);
// Takes the tab host's item out of candidates when the plug-in is one of its tabs.
void RemoveArdenoItem(std::vector<TodayItemInfo>& candidates);
// Deletes a key with everything below it; TRUE when the key itself went.
BOOL RegDeleteKeyTree(HKEY parent, LPCWSTR name);
