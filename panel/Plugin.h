// The library's process-wide state and its outer shell: the entry, the one-time
// initialiser every export runs first, the stop, and the bodies of the exports.
#pragma once
#include <windows.h>

#include "platform/today/todaycmn.h"

class CTodayPanelBase;

// Library entry: attach (flags cleared, module object, dpi) and detach.
void PluginAttach(HINSTANCE module);
// processEnding: the process is going away and the rest of it may already be gone;
// then nothing is torn down.
void PluginDetach(BOOL processEnding);

// Runs the start-up once (until ShutdownPlugin); TRUE when initialised.
BOOL EnsurePluginInitialized();
BOOL IsPluginInitialized();
// The panel's own teardown happens when its window is destroyed (the host
// destroys item windows before it frees the library); this cleans what is left.
void ShutdownPlugin();

// The panel, null when none. SetTodayPanel takes ownership (deleting a previous one).
CTodayPanelBase* GetTodayPanel();
void SetTodayPanel(CTodayPanelBase* panel);
BOOL IsPanelCreated();
void SetPanelCreated(BOOL created);
// The placeholder window while it exists.
HWND GetPreWindowHandle();
void SetPreWindowHandle(HWND window);

// The resource instance is the module instance: TarvoRes.Dll did not load.
BOOL IsResourcesMissing();
// How many copies of TarvoRes.Dll the library holds loaded.
int GetLoadedResourceLibraryCount();

// Bodies of the exports.
HWND InitializeTodayItem(TODAYLISTITEM* item, HWND parent);
HWND GetTabHostWindow(TODAYLISTITEM* item, HWND parent);
INT_PTR OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
HICON GetTabIcon(LPCWSTR name);
// The tab icon's identifier in the resource library; 128 (generic) for other names.
UINT GetTabIconResourceId(LPCWSTR name);
