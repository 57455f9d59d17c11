// The panel's message boxes: every one goes through ShowPanelMessage, which a test
// (or a headless run) answers through a hook instead of a person.
#pragma once
#include <windows.h>

typedef int (*PFN_PANEL_MESSAGE_HOOK)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// MessageBoxW unless a hook is set; returns the box's answer.
int ShowPanelMessage(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// Returns the previous hook; null restores the real box.
PFN_PANEL_MESSAGE_HOOK SetPanelMessageHook(PFN_PANEL_MESSAGE_HOOK hook);
