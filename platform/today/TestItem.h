// What TodayTestItem.dll offers beyond a Today item's ordinals: the messages an item
// window was sent, for tests in the screen's process.
#pragma once
#include <windows.h>

#define TODAY_TEST_ITEM_DLL L"TodayTestItem.dll"
#define TODAY_TEST_ITEM_FAIL 0x10000  // "Flags" bit: ordinal 240 returns no window
// "Flags" bit: the library leaves its window class registered when it is freed, as
// careless items do; the host must unregister it.
#define TODAY_TEST_ITEM_KEEP_CLASS 0x20000

// Copies up to max (message, wParam) pairs; returns how many there are, -1 for no item window.
typedef int(WINAPI* PFNTESTITEMMESSAGES)(HWND item, UINT* messages, WPARAM* wParams, int max);
// Copies what the item's menu and dialog were answered with ("menu N;", "ok text=...
// time=HH:MM:SS date=YYYY-MM-DD changes=N;", "cancel;"); returns its whole length.
typedef int(WINAPI* PFNTESTITEMANSWERS)(wchar_t* out, int max);
