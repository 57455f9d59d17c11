// Where the contacts list shows a contact's note: the note viewer's ink display,
// reached through this interface so the list needs nothing of the notes tab.
#pragma once
#include <windows.h>

class IContactNoteViewer {
 public:
  virtual ~IContactNoteViewer() = default;
  // Shows the note beside rect; data is the stored note (size bytes).
  virtual BOOL ShowInk(HWND owner, const RECT& rect, LPCWSTR title, const BYTE* data, DWORD size) = 0;
};
