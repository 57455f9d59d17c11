// How the tasks list shows a task's note: the notes' viewer window installs the real
// one; tests give a fake.
#pragma once
#include <windows.h>

class ITaskNoteViewer {
 public:
  virtual ~ITaskNoteViewer() = default;
  // Shows the note beside place (screen coordinates), owned by owner.
  virtual BOOL ShowNote(HWND owner, const RECT& place, LPCWSTR subject, LPCWSTR note) = 0;
};
