// One options program per device. The first instance holds the mutex named like its
// main window class; a later start finds that window, brings it to the front, hands
// it its command line (so "-p5:1" from the plug-in still opens the page) and ends.
#pragma once
#include <windows.h>

// The mutex and the main window class share this name.
#define SETTINGS_INSTANCE_NAME L"TarvoSettings_MainWnd"

// A command line handed to the running instance as WM_COPYDATA: dwData
// kSettingsHandOverKind, cbData exactly sizeof(SettingsHandOver). A command line that
// does not fit is not handed over (a cut switch could name another page).
struct SettingsHandOver {
  DWORD length;  // characters in text before its terminator, at most 511
  WCHAR text[512];
};
static_assert(sizeof(SettingsHandOver) == 1028, "fixed layout across processes");
const ULONG_PTR kSettingsHandOverKind = 0x4C435354;  // "TSCL"

// S_OK (0): this is the instance to run, and it now holds the mutex. 1: another
// instance was found and brought to the front (its window in *window when given),
// with commandLine handed to it. E_INVALIDARG / E_FAIL: the mutex cannot be made.
// After 25 tries, 100 ms apart, without finding a window that comes to the front,
// S_OK: this process runs as a full instance after all.
HRESULT CheckSingleInstance(HINSTANCE instance, HWND* window, LPCWSTR commandLine = nullptr);
// Closes the mutex this process holds, for tests that play the first instance more
// than once. The program keeps it until it ends.
void ReleaseSingleInstance();

// The command line carried by a WM_COPYDATA record, or null when the record is not a
// well-formed hand-over (wrong kind, size or length, no terminator).
LPCWSTR ReadHandOver(const COPYDATASTRUCT* data);
