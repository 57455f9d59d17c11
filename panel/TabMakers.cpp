#include "panel/TabMakers.h"

#include "panel/StandInTab.h"

namespace {
const int kBuiltInTabs = 6;
PFN_MAKE_TAB g_makers[kBuiltInTabs + 1] = {};
ICustomTabSource* g_customTabs = nullptr;
}  // namespace

PFN_MAKE_TAB SetTabMaker(int tabId, PFN_MAKE_TAB maker) {
  if (tabId < TAB_CALENDAR || tabId > kBuiltInTabs) return nullptr;
  PFN_MAKE_TAB previous = g_makers[tabId];
  g_makers[tabId] = maker;
  return previous;
}

CScrollPanel* MakeTab(int tabId, CVirtualWnd* owner) {
  if (tabId < TAB_CALENDAR || tabId > kBuiltInTabs) return nullptr;
  if (g_makers[tabId]) return g_makers[tabId](owner);
  return new CStandInTab(tabId, owner);
}

void SetCustomTabSource(ICustomTabSource* source) { g_customTabs = source; }
ICustomTabSource* GetCustomTabSource() { return g_customTabs; }
