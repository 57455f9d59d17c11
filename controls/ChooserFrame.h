// What the chooser dialogs (a folder tree, a contact list) share around their one
// list: it fills the dialog to the right and bottom, 8 logical pixels kept free below;
// it stays above the input panel when the panel comes up; the shell's device-only
// query (notification -50) is answered with 1. A dialog chains its message map to
// its frame before its own notification handling.
#pragma once
#include <windows.h>

// The shell's device-only query of a chooser's list.
constexpr int kChooserQueryNotification = -50;

class CChooserFrame {
 public:
  // listId: the list's control id. fitWidth: with the input panel up the list also
  // narrows to the visible desktop. fromCorner: the list is sized from where it
  // stands; without it, as though it stood at the client's top-left corner.
  CChooserFrame(int listId, BOOL fitWidth, BOOL fromCorner)
      : m_listId(listId), m_fitWidth(fitWidth), m_fromCorner(fromCorner) {}

  BOOL ProcessWindowMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0);

  // Sizes the list for a dialog of width x height.
  void FitList(HWND dialog, int width, int height) const;

 private:
  int m_listId;
  BOOL m_fitWidth;
  BOOL m_fromCorner;
};
