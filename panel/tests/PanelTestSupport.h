// Helpers of the panel's tests.
#pragma once
#include <windows.h>

#include <string>

// Runs a command line as another program and waits for it (at most a minute).
// Its exit code, or -1 when it could not be started.
inline DWORD RunProgram(std::wstring line) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process))
    return static_cast<DWORD>(-1);
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}
