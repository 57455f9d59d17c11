#include "panel/PanelPrompt.h"

namespace {
PFN_PANEL_MESSAGE_HOOK g_hook = nullptr;
}  // namespace

int ShowPanelMessage(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  if (g_hook) return g_hook(owner, text, caption, type);
  return MessageBoxW(owner, text, caption, type);
}

PFN_PANEL_MESSAGE_HOOK SetPanelMessageHook(PFN_PANEL_MESSAGE_HOOK hook) {
  PFN_PANEL_MESSAGE_HOOK previous = g_hook;
  g_hook = hook;
  return previous;
}
