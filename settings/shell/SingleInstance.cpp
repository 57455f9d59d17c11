#include "settings/shell/SingleInstance.h"

#include <cwchar>

namespace {

HANDLE g_mutex = nullptr;

// Sends the command line to the first instance; it must not hang this start when
// the first one does not answer.
void HandOver(HWND window, LPCWSTR commandLine) {
  if (!commandLine || !wcschr(commandLine, L'-')) return;
  size_t length = wcslen(commandLine);
  SettingsHandOver record = {};
  if (length >= ARRAYSIZE(record.text)) return;
  record.length = static_cast<DWORD>(length);
  wmemcpy(record.text, commandLine, length);
  COPYDATASTRUCT data = {kSettingsHandOverKind, sizeof(record), &record};
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &answer);
}

}  // namespace

HRESULT CheckSingleInstance(HINSTANCE, HWND* window, LPCWSTR commandLine) {
  if (window) *window = nullptr;
  for (int attempt = 0; attempt < 25; ++attempt) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, SETTINGS_INSTANCE_NAME);
    DWORD error = GetLastError();
    if (!mutex) return error == ERROR_INVALID_HANDLE ? E_INVALIDARG : E_FAIL;
    if (error != ERROR_ALREADY_EXISTS) {
      g_mutex = mutex;
      return S_OK;
    }
    CloseHandle(mutex);
    HWND other = FindWindowW(SETTINGS_INSTANCE_NAME, nullptr);
    if (!other) {
      Sleep(100);
      continue;
    }
    // The odd handle reaches the window's last active popup (a sheet it runs).
    if (SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(other) | 1))) {
      if (window) *window = other;
      HandOver(other, commandLine);
      return 1;
    }
  }
  return S_OK;
}

void ReleaseSingleInstance() {
  if (g_mutex) CloseHandle(g_mutex);
  g_mutex = nullptr;
}

LPCWSTR ReadHandOver(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kSettingsHandOverKind || data->cbData != sizeof(SettingsHandOver) || !data->lpData)
    return nullptr;
  const auto* record = static_cast<const SettingsHandOver*>(data->lpData);
  if (record->length >= ARRAYSIZE(record->text) || record->text[record->length] != L'\0') return nullptr;
  return record->text;
}
