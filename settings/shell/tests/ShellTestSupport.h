// What the shell tests share: the tests' own resource library as the resource
// instance, HKEY_LOCAL_MACHINE of the test process in a sandbox, and a pump.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "platform/windowlib/Module.h"
#include "settings/shell/CommandLine.h"

inline std::wstring TestBinaryPath(const wchar_t* fileName) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return folder + fileName;
}

// Every message already queued for this thread goes to its window.
inline void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The open-section requests queued for window, in order, taken off the queue.
inline std::vector<std::pair<int, int>> TakeRequests(HWND window) {
  std::vector<std::pair<int, int>> requests;
  MSG msg;
  while (PeekMessageW(&msg, window, WM_OPENSECTION, WM_OPENSECTION, PM_REMOVE))
    requests.emplace_back(static_cast<int>(msg.wParam), static_cast<int>(msg.lParam));
  return requests;
}

// The shell tests' own resource library, as the resource instance.
class CShellTestResources : public CResourceLibraryScope {
 public:
  CShellTestResources() : CResourceLibraryScope(L"SettingsShellTestRes.Dll") {}
};

// The resource library the program ships, as the resource instance.
using CProductResources = CResourceLibraryScope;
