// INoteViewer: where the appointments list shows an appointment's notes (the notes
// viewer implements it; tests install a fake).
#pragma once
#include <windows.h>

class INoteViewer {
 public:
  // Shows the notes as stored (text or ink) beside the rectangle (screen coordinates)
  // with the title; FALSE when they cannot be shown.
  virtual BOOL ShowInk(HWND owner, const RECT& beside, LPCWSTR title, const BYTE* notes, DWORD size) = 0;

 protected:
  ~INoteViewer() = default;
};
