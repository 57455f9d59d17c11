// A Today item library standing in for the forecast item in the panel's tests: ordinal
// 240 makes a child window of the parent and keeps the record's address, as a Today
// item may; TestSeenItem gives that address back so the test reads the record through
// it after the call.
#include <windows.h>

#include "platform/today/todaycmn.h"

namespace {
TODAYLISTITEM* g_item = nullptr;
}  // namespace

extern "C" __declspec(dllexport) HWND WINAPI TestInitializeItem(TODAYLISTITEM* item, HWND parent) {
  if (!item || !parent) return nullptr;
  g_item = item;
  return CreateWindowExW(0, L"STATIC", L"forecast", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr, nullptr,
                         nullptr);
}

extern "C" __declspec(dllexport) TODAYLISTITEM* WINAPI TestSeenItem() { return g_item; }
