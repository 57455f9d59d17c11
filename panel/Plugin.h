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
// Undoes the start-up (Pocket Outlook, the notification window, classes, the
// resource library, imaging, COM). Runs when the panel's window has gone, which the
// host does before it frees the library, so nothing of it runs under the loader lock.
void StopPlugin();
// At detach: deletes the panel object (closing a window its host left alive), then
// stops what is still started.
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
// The settings reload's look at the resource library: one in use whose file is gone
// (its storage card taken out) is let go; without one it is loaded again (and
// "QelTarvo.txt" with it). TRUE when the panel runs without it afterwards.
BOOL RefreshResourceLibrary();

// Bodies of the exports.
HWND InitializeTodayItem(TODAYLISTITEM* item, HWND parent);
HWND GetTabHostWindow(TODAYLISTITEM* item, HWND parent);
INT_PTR OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
HICON GetTabIcon(LPCWSTR name);
// The tab icon's identifier in the resource library; 128 (generic) for other names.
UINT GetTabIconResourceId(LPCWSTR name);
