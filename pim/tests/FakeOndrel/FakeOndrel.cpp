// A stand-in for the item-operations program, for the client's tests: it takes
// requests and changes exactly as the real program must (through the readers)
// and reports each one, as read, to the test's recorder window by copy.
#include <windows.h>

#include <cstring>

#include "pim/tests/FakeOndrelReport.h"

namespace {

UINT g_messages[FAKE_ONDREL_MESSAGE_COUNT];

void Report(const FAKE_ONDREL_REPORT& report) {
  HWND recorder = FindWindowW(FAKE_ONDREL_RECORDER, nullptr);
  if (!recorder) return;
  COPYDATASTRUCT copy = {FAKE_ONDREL_REPORT_DATA, sizeof report, const_cast<FAKE_ONDREL_REPORT*>(&report)};
  SendMessageW(recorder, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

LRESULT OnCopyData(const COPYDATASTRUCT* copy) {
  FAKE_ONDREL_REPORT report = {};
  report.dwData = copy->dwData;
  report.cbData = copy->cbData;
  LRESULT result = 0;
  if (ReadOndrelRequest(copy, &report.request)) {
    report.what = FAKE_ONDREL_REQUEST;
    result = 1;
  } else if (ReadOndrelChange(copy, &report.change)) {
    report.what = FAKE_ONDREL_CHANGE;
    result = FakeOndrelChangeResult(report.change.record);
  } else {
    report.what = FAKE_ONDREL_REFUSED;
  }
  Report(report);
  return result;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  if (message == WM_DESTROY) {
    PostQuitMessage(1);
    return 0;
  }
  for (int i = 0; i < FAKE_ONDREL_MESSAGE_COUNT; ++i) {
    if (message != g_messages[i]) continue;
    // Closing is not reported: the client waits for the process without pumping.
    if (i == FAKE_ONDREL_CLOSE) {
      DestroyWindow(window);
      return 0;
    }
    FAKE_ONDREL_REPORT report = {};
    report.what = FAKE_ONDREL_MESSAGE;
    report.message = i;
    report.wParam = wParam;
    report.lParam = lParam;
    Report(report);
    return i == FAKE_ONDREL_GET_PI_STATUS ? 2 : 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  for (int i = 0; i < FAKE_ONDREL_MESSAGE_COUNT; ++i) g_messages[i] = RegisterWindowMessageW(kFakeOndrelMessages[i]);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = ONDREL_WINDOW_CLASS;
  if (!RegisterClassW(&windowClass)) return 2;
  if (!CreateWindowExW(0, ONDREL_WINDOW_CLASS, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr))
    return 3;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return static_cast<int>(msg.wParam);
}
