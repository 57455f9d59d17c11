#include "controls/PopupMenuTracker.h"

namespace {

PopupMenuHook g_hook = nullptr;
void* g_context = nullptr;

}  // namespace

int CPopupMenuTracker::Track(HMENU menu, UINT flags, int x, int y, HWND owner) {
  if (g_hook) return g_hook(menu, flags, x, y, owner, g_context);
  return static_cast<int>(TrackPopupMenuEx(menu, flags, x, y, owner, nullptr));
}

void CPopupMenuTracker::SetHook(PopupMenuHook hook, void* context) {
  g_hook = hook;
  g_context = context;
}
