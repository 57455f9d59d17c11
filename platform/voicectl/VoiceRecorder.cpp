#include "platform/voicectl/voicectl.h"

#include <cwchar>

namespace {

HINSTANCE g_module = nullptr;
SRWLOCK g_lock = SRWLOCK_INIT;
VoiceRecorderCall g_last = {};
bool g_called = false;

// The control's size in pixels.
constexpr int kWidth = 120, kHeight = 40;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterOnce() {
  WNDCLASSW existing;
  if (GetClassInfoW(g_module, VOICERECORDER_CLASSNAME, &existing)) return true;
  WNDCLASSW wc = {};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = RecorderProc;
  wc.hInstance = g_module;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = VOICERECORDER_CLASSNAME;
  return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// A negative coordinate centres the control on its owner, or on the screen without one.
POINT Placement(const CM_VOICE_RECORDER& record, int width, int height) {
  RECT around = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (record.hwndParent && IsWindow(record.hwndParent)) GetWindowRect(record.hwndParent, &around);
  POINT at = {record.xPos, record.yPos};
  if (at.x < 0) at.x = around.left + (around.right - around.left - width) / 2;
  if (at.y < 0) at.y = around.top + (around.bottom - around.top - height) / 2;
  return at;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

VOICECTL_API HWND WINAPI VoiceRecorder_Create(LPCM_VOICE_RECORDER record) {
  if (!record || record->cb != sizeof(CM_VOICE_RECORDER)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  VoiceRecorderCall call = {};
  call.dwStyle = record->dwStyle;
  call.xPos = record->xPos;
  call.yPos = record->yPos;
  call.hwndParent = record->hwndParent;
  call.id = record->id;
  if (record->lpszRecordFileName) {
    size_t n = wcsnlen(record->lpszRecordFileName, MAX_PATH - 1);
    wmemcpy(call.fileName, record->lpszRecordFileName, n);
    call.fileName[n] = L'\0';
  }
  HWND owner = record->hwndParent && IsWindow(record->hwndParent) ? record->hwndParent : nullptr;
  if (RegisterOnce()) {
    POINT at = Placement(*record, kWidth, kHeight);
    call.window = CreateWindowExW(WS_EX_TOOLWINDOW, VOICERECORDER_CLASSNAME, call.fileName, WS_POPUP | WS_BORDER,
                                  at.x, at.y, kWidth, kHeight, owner, nullptr, g_module, nullptr);
    if (call.window) ShowWindow(call.window, SW_SHOWNA);
  }
  AcquireSRWLockExclusive(&g_lock);
  g_last = call;
  g_called = true;
  ReleaseSRWLockExclusive(&g_lock);
  return call.window;
}

VOICECTL_API BOOL WINAPI VoiceRecorderTestLastCall(VoiceRecorderCall* call) {
  if (!call) return FALSE;
  AcquireSRWLockShared(&g_lock);
  BOOL called = g_called;
  if (called) *call = g_last;
  ReleaseSRWLockShared(&g_lock);
  return called;
}
