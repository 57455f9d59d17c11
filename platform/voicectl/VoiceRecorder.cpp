#include "platform/voicectl/voicectl.h"

#include <cwchar>
#include <string>

#include "platform/note_prj/DeviceVolumes.h"

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

// What a recording made at once and stopped leaves: one second of silence, 8 kHz,
// 8-bit mono, in the device's wave format. The file is created anew (device paths
// under the device root); FALSE when it cannot be written.
bool WriteRecording(const wchar_t* devicePath) {
  const DWORD rate = 8000, samples = rate;
  BYTE header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  auto put32 = [&header](int at, DWORD value) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<BYTE>(value >> (8 * i));
  };
  put32(4, 36 + samples);
  put32(16, 16);
  header[20] = 1;  // PCM
  header[22] = 1;  // mono
  put32(24, rate);
  put32(28, rate);  // bytes per second
  header[32] = 1;   // block
  header[34] = 8;   // bits
  memcpy(header + 36, "data", 4);
  put32(40, samples);
  HANDLE file = CreateFileW(devvol::ToHost(devicePath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes(reinterpret_cast<const char*>(header), sizeof header);
  bytes.append(samples, static_cast<char>(0x80));
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
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
  // Recording starts and stops at once: the file is there when the call returns.
  if ((record->dwStyle & VRS_RECORD_MODE) && call.fileName[0] && !WriteRecording(call.fileName)) {
    SetLastError(ERROR_CANNOT_MAKE);
    return nullptr;
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
