// Small services the panel, the tabs and the PIM code share: presence of other
// programs, screen codes, the shown-tabs width, safe messages, file extensions.
#pragma once
#include <windows.h>

// 240x320 0, 320x240 1, 240x240 2, 480x640 3, 640x480 4, 480x480 5; else -1.
int GetScreenCode(int width, int height);
int GetScreenCode();  // of the screen
BOOL IsHighResScreen();
BOOL IsLandscapeScreen();

BOOL IsAgendaFusionInstalled();
BOOL IsAgendaOneInstalled();
BOOL IsPocketInformantToolsPresent();
BOOL IsPellamPresent();

// The width the tab strip needs: 60 small, 80 in the host, else 20 per shown tab
// ("ShowTabs" bits and custom tabs), at least three tabs.
int GetShownTabs(BOOL host, BOOL small);

// Only to a window: a message for a null or dead handle would otherwise become
// a thread message or a broadcast.
LRESULT SendMessageSafe(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageSafe(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The text after the last "." behind the last "\", or null.
LPCWSTR GetFileExtension(LPCWSTR path);
