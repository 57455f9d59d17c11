#include "controls/PopupMenuTracker.h"

namespace {

PopupMenuHook g_hook = nullptr;
void* g_context = nullptr;

const UINT kMinusOne = static_cast<UINT>(-1);

BOOL SetItemId(HMENU menu, int position, UINT id) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;
  info.wID = id;
  return SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
}

UINT GetItemId(HMENU menu, int position) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;
  return GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) ? info.wID : 0;
}

}  // namespace

// On the device an item with identifier -1 comes back from the menu as -1; the
// desktop's menu loop answers 0 for it, as if the menu had been dismissed. Such
// an item carries an unused identifier while the menu runs.
int CPopupMenuTracker::Track(HMENU menu, UINT flags, int x, int y, HWND owner) {
  if (g_hook) return g_hook(menu, flags, x, y, owner, g_context);
  const int count = GetMenuItemCount(menu);
  int minusOne = -1;
  UINT stand = 0x7FFF;
  for (int i = 0; i < count; ++i)
    if (GetItemId(menu, i) == kMinusOne && minusOne < 0) minusOne = i;
  if (minusOne >= 0) {
    for (BOOL used = TRUE; used && stand > 1; ) {
      used = FALSE;
      for (int i = 0; i < count && !used; ++i) used = GetItemId(menu, i) == stand;
      if (used) --stand;
    }
    SetItemId(menu, minusOne, stand);
  }
  int result = static_cast<int>(TrackPopupMenuEx(menu, flags, x, y, owner, nullptr));
  if (minusOne >= 0) {
    SetItemId(menu, minusOne, kMinusOne);
    if (result == static_cast<int>(stand)) result = -1;
  }
  return result;
}

void CPopupMenuTracker::SetHook(PopupMenuHook hook, void* context) {
  g_hook = hook;
  g_context = context;
}
