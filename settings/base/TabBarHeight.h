// How high the panel must be for its tab bar, for the options pages that size the
// panel's preview and check the Today item's height.
#pragma once
#include <windows.h>

// 60 in the tab host; 80 with horizontal tabs; else 20 for each tab shown: the bits
// 1 to 32 of "ShowTabs" (default every tab, written back) and one for each sub-key of
// "CustomTabs" (created when missing) under the product key, at least three tabs.
int GetTabBarHeight(BOOL horizontalTabs, BOOL tabHost);
