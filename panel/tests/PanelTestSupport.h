// Helpers of the panel's tests.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "base/tests/RegistrySandbox.h"
#include "panel/TodayPanelBase.h"
#include "platform/today/todaycmn.h"

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

// The panel as what the library asks of it: only its window, which the test owns.
class FakeTodayPanel : public CTodayPanelBase {
 public:
  explicit FakeTodayPanel(HWND window) : m_window(window) {}
  BOOL Attach(HWND) override { return TRUE; }
  HWND GetHwnd() const override { return m_window; }
  LRESULT OnCreate() override { return 0; }
  LRESULT OnWindowPosChanged(WINDOWPOS*) override { return 0; }
  LRESULT OnActivateTab(WPARAM, LPARAM) override { return 0; }
  LRESULT OnSetCurrentPlugin(WPARAM, LPARAM) override { return 0; }
  BOOL IsResourcesMissing() const override { return FALSE; }

 private:
  HWND m_window;
};

// A DWORD value of the key, 0xBAD when it is missing or of another type.
inline DWORD Number(const CRegistryView& key, const wchar_t* name) {
  DWORD value = 0xBAD;
  key.ReadDWORD(name, value);
  return value;
}

// The Today screen's view: a hidden top-level window that answers the watermark
// request, counts it and tells onWatermark.
class TodayView {
 public:
  explicit TodayView(std::function<void()> onWatermark = nullptr) : m_onWatermark(std::move(onWatermark)) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PanelTestTodayView";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, wc.hInstance,
                             nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TodayView() { DestroyWindow(window); }
  TodayView(const TodayView&) = delete;
  TodayView& operator=(const TodayView&) = delete;

  HWND window;
  int watermarks = 0;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<TodayView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == TODAYM_DRAWWATERMARK && view) {
      ++view->watermarks;
      if (view->m_onWatermark) view->m_onWatermark();
      return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  std::function<void()> m_onWatermark;
};
