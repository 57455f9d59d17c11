// What the shell tests share: the tests' own resource library as the resource
// instance, HKEY_LOCAL_MACHINE of the test process in a sandbox, and a pump.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/tests/RegistrySandbox.h"
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

class CShellTestResources {
 public:
  CShellTestResources() {
    m_library = LoadLibraryExW(TestBinaryPath(L"SettingsShellTestRes.Dll").c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE);
    m_previous = GetModule().SetResourceInstance(m_library);
  }
  ~CShellTestResources() {
    GetModule().SetResourceInstance(m_previous);
    if (m_library) FreeLibrary(m_library);
  }
  CShellTestResources(const CShellTestResources&) = delete;
  CShellTestResources& operator=(const CShellTestResources&) = delete;
  bool Loaded() const { return m_library != nullptr; }

 private:
  HMODULE m_library;
  HINSTANCE m_previous;
};

// The resource library the program ships, as the resource instance.
class CProductResources {
 public:
  CProductResources() {
    m_library = LoadLibraryExW(TestBinaryPath(L"TarvoRes.Dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    m_previous = GetModule().SetResourceInstance(m_library);
  }
  ~CProductResources() {
    GetModule().SetResourceInstance(m_previous);
    if (m_library) FreeLibrary(m_library);
  }
  CProductResources(const CProductResources&) = delete;
  CProductResources& operator=(const CProductResources&) = delete;
  HMODULE Library() const { return m_library; }

 private:
  HMODULE m_library;
  HINSTANCE m_previous;
};
