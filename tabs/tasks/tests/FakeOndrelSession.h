// Test helper: the stand-in item-operations program for one test. It is started by the
// client as the real one would be, reports every request and change it receives to a
// recorder window of the test, and is ended with the session.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "pim/OndrelClient.h"
#include "pim/tests/BesideTest.h"
#include "pim/tests/FakeOndrelReport.h"

class CFakeOndrelSession {
 public:
  explicit CFakeOndrelSession(COndrelClient& client) : m_client(client) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = FAKE_ONDREL_RECORDER;
    RegisterClassW(&windowClass);
    m_recorder = CreateWindowExW(0, FAKE_ONDREL_RECORDER, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    Reports() = &reports;
    m_previousLauncher = SetProgramLauncher(StartFake);
    m_previousSleep = COndrelClient::SetSleep(WaitForWindow);
  }
  ~CFakeOndrelSession() {
    m_client.StopOndrel();
    SetProgramLauncher(m_previousLauncher);
    COndrelClient::SetSleep(m_previousSleep);
    Reports() = nullptr;
    DestroyWindow(m_recorder);
  }
  CFakeOndrelSession(const CFakeOndrelSession&) = delete;
  CFakeOndrelSession& operator=(const CFakeOndrelSession&) = delete;

  // The change reports that arrived (pumping up to five seconds for count of them).
  std::vector<ONDREL_CHANGE_RECORD> Changes(size_t count) {
    const DWORD start = GetTickCount();
    auto changes = [&] {
      std::vector<ONDREL_CHANGE_RECORD> out;
      for (const FAKE_ONDREL_REPORT& r : reports)
        if (r.what == FAKE_ONDREL_CHANGE) out.push_back(r.change.record);
      return out;
    };
    while (changes().size() < count && GetTickCount() - start < 5000) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(10);
    }
    return changes();
  }

  std::vector<FAKE_ONDREL_REPORT> reports;

 private:
  static std::vector<FAKE_ONDREL_REPORT>*& Reports() {
    static std::vector<FAKE_ONDREL_REPORT>* reports = nullptr;
    return reports;
  }
  static LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA && Reports()) {
      auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (copy->dwData == FAKE_ONDREL_REPORT_DATA && copy->cbData == sizeof(FAKE_ONDREL_REPORT)) {
        FAKE_ONDREL_REPORT report;
        memcpy(&report, copy->lpData, sizeof report);
        Reports()->push_back(report);
      }
      return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  static BOOL StartFake(SHELLEXECUTEINFOW*) {
    std::wstring path = BesideTest(L"FakeOndrel.exe");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
      return FALSE;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
  }
  static void WaitForWindow(DWORD) {
    for (int i = 0; i < 250 && !FindWindowW(ONDREL_WINDOW_CLASS, nullptr); ++i) Sleep(20);
  }

  COndrelClient& m_client;
  HWND m_recorder = nullptr;
  PFN_PROGRAM_LAUNCHER m_previousLauncher = nullptr;
  COndrelClient::PFN_SLEEP m_previousSleep = nullptr;
};
