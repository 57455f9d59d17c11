// What the program refused or could not do, one line each in "Ondrel.log" beside the
// program: it has no window to say it in, and the plug-in is not told.
#pragma once
#include <windows.h>

class COndrelLog {
 public:
  static void Append(LPCWSTR line);
};
