// What TodayTestItem.dll offers beyond a Today item's ordinals: the messages an item
// window was sent, for tests in the screen's process.
#pragma once
#include <windows.h>

#define TODAY_TEST_ITEM_DLL L"TodayTestItem.dll"
#define TODAY_TEST_ITEM_FAIL 0x10000  // "Flags" bit: ordinal 240 returns no window

// Copies up to max (message, wParam) pairs; returns how many there are, -1 for no item window.
typedef int(WINAPI* PFNTESTITEMMESSAGES)(HWND item, UINT* messages, WPARAM* wParams, int max);
