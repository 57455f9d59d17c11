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
