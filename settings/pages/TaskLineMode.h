// The number of the task pattern (how much of a task's subject a row shows) while a
// Tasks sheet runs. Two of the sheet's pages offer it, and the view-style page keeps
// 3 in the shared record as 2 while it runs, so neither page can trust the record or
// its own box at apply: the sheet keeps one number, each page shows it when it comes
// up and puts the user's choice into it, and both pages write it at apply. The
// number means what the Tasks tab reads: 1 the whole subject, 2 one line, 3 the whole
// subject of the selected row.
#pragma once
#include <windows.h>

class CTaskLineMode {
 public:
  // The sheet's number: the last one chosen or pinned on it, else the record's.
  static int Get(HWND sheet);
  static void Set(HWND sheet, int number);
  // The sheet ended or was cancelled: the record's number counts again.
  static void Forget(HWND sheet);
};
