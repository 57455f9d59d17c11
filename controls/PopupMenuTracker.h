// CPopupMenuTracker: every popup menu a control opens goes through here, so that a
// test can answer the menu instead of a person (the menu loop is modal).
#pragma once
#include <windows.h>

// Answers a menu in place of TrackPopupMenuEx: the chosen command, 0 when dismissed.
using PopupMenuHook = int (*)(HMENU menu, UINT flags, int x, int y, HWND owner, void* context);

class CPopupMenuTracker {
 public:
  // TrackPopupMenuEx, or the hook when one is set.
  static int Track(HMENU menu, UINT flags, int x, int y, HWND owner);
  // Null puts the real menu back.
  static void SetHook(PopupMenuHook hook, void* context);
};
