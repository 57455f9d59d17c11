// The lists of Today items the item picker shows greyed: items another container
// holds, and other makers' tab plug-ins already integrated into the tab host.
#pragma once
#include <windows.h>

#include <vector>

#include "panel/TodayItemInfo.h"

// Appends the items embedded in any container but excluded that speak at least
// minVersion ("stVersion"; none counts as 1) and have a library. Any "Type".
void ReadItemsEmbeddedElsewhere(std::vector<TodayItemInfo>& list, LPCWSTR excluded, DWORD minVersion);
// Appends one record for each tab plug-in of another maker that the tab host has
// integrated (its key has a sub-key; the record is read from that sub-key).
void ReadTabPlugins(std::vector<TodayItemInfo>& list);
