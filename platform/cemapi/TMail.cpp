// The system mail program "\Windows\tmail.exe" as a stand-in: it shows nothing and
// appends the arguments it was started with, as one line, to "\Windows\tmail.log".
#include <windows.h>

#include "platform/cemapi/DeviceLog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  // The raw text after the program's name, exactly as the starter wrote it.
  const wchar_t* cmd = GetCommandLineW();
  if (*cmd == L'"') {
    ++cmd;
    while (*cmd && *cmd != L'"') ++cmd;
    if (*cmd) ++cmd;
  } else {
    while (*cmd && *cmd != L' ' && *cmd != L'\t') ++cmd;
  }
  while (*cmd == L' ' || *cmd == L'\t') ++cmd;
  return CDeviceLog::Append(L"tmail.log", cmd) ? 0 : 1;
}
