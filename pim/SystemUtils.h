// Small services the panel, the tabs and the PIM code share: presence of other
// programs, screen codes, the shown-tabs width, safe messages, file extensions.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// 240x320 0, 320x240 1, 240x240 2, 480x640 3, 640x480 4, 480x480 5; else -1.
int GetScreenCode(int width, int height);
int GetScreenCode();  // of the screen
BOOL IsHighResScreen();
BOOL IsLandscapeScreen();

// Agenda Fusion: HKLM "SOFTWARE\Developer One, Inc.\Agenda Fusion" holds a non-empty
// "AppLocation". Agenda One: HKLM "SOFTWARE\Developer One\Agenda One" holds a non-empty
// "InstallPath". A key or a value left behind by an uninstaller is no installation. The
// panel and the options program both ask these.
BOOL IsAgendaFusionInstalled();
BOOL IsAgendaOneInstalled();
BOOL IsPocketInformantToolsPresent();
// "\Windows\QelPellamScheduledAPI.dll" is there.
BOOL IsPellamPresent();
// "FriendlyName" of HKLM "SOFTWARE\Microsoft\Inbox\Svc\<transport>", or the transport's
// own name when there is none.
CString GetInboxServiceFriendlyName(LPCWSTR transport);
// TRUE for no transport; else whether its key exists.
BOOL IsInboxServicePresent(LPCWSTR transport);
// "Name" and "DLL" of the transport's key; FALSE (both empty) unless both are there.
BOOL GetInboxServiceInfo(LPCWSTR transport, CString& name, CString& library);
// PhatNotes' settings keys under HKEY_CURRENT_USER, newest version first, ended by the
// identifier -1: "Software\PhatWare\PhatNotes\4.0\Settings" (0x405), then
// "Software\PhatWare\PhatNotes\Settings" (0x407). The program and folder values are
// where the item-operations program finds PhatNotes itself.
struct PHATNOTES_KEY {
  int identifier;
  LPCWSTR path;
  LPCWSTR programValue;  // "AppName"
  LPCWSTR folderValue;   // "Path"
};
extern const PHATNOTES_KEY g_phatNotesKeys[];
// The first of those keys that opens (never created): 1 with its identifier and row
// index; 0 with the index -1 when none does. Either out may be null.
int FindPhatNotesKey(int* identifier, int* index);

// Whether a library file is found where a load would look. Presence tests ask this,
// never running another vendor's code.
BOOL LibraryFileExists(LPCWSTR name);

// The width the tab strip needs: 60 small, 80 in the host, else 20 per shown tab
// ("ShowTabs" bits and custom tabs), at least three tabs.
int GetShownTabs(BOOL host, BOOL small);

// Only to a window: a message for a null or dead handle would otherwise become
// a thread message or a broadcast.
LRESULT SendMessageSafe(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageSafe(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The text after the last "." behind the last "\", or null.
LPCWSTR GetFileExtension(LPCWSTR path);

// The margins a page keeps (25 and 20 logical pixels) minus the window's offset
// inside its parent; the margin alone without a window.
int GetLeftMarginDelta(HWND window);
int GetTopMarginDelta(HWND window);
// Every child takes the client width (keeping top and height); an image static
// keeps its width and is centred.
void StretchChildrenToWidth(HWND window);

// The whole file in a LocalAlloc block (freed by the caller); null when it cannot
// be read or is larger than maxSize.
void* ReadWholeFile(LPCWSTR path, DWORD* size, DWORD maxSize = 16 * 1024 * 1024);
BOOL WriteWholeFile(LPCWSTR path, const void* data, DWORD size);
// A copy of a resource of the resource module in a LocalAlloc block.
void* LoadResourceData(LPCWSTR type, LPCWSTR name, DWORD* size);
// Width and height of a bitmap resource of the resource module.
BOOL GetBitmapResourceSize(LPCWSTR name, SIZE* size);

// The shell's system font size ("SHGetUIMetrics" looked up at run time); 0 without it.
int GetUIMetricsFontSize();
// CompareStringW in the user's locale ignoring case, kana type and width.
int CompareStringsNoCase(LPCWSTR a, LPCWSTR b);
