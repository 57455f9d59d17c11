// Kernel calls of the device without a desktop counterpart.
#include "platform/coredll/ce.h"

namespace {

// The device's protection model does not exist here: the settings are only kept,
// so that callers get back what they set, as on the device.
LONG g_kernelMode = FALSE;
LONG g_permissions = 1;  // the process's own slot

}  // namespace

CORE_API BOOL WINAPI EventModify(HANDLE event, DWORD operation) {
  switch (operation) {
    case EVENT_PULSE:
      return PulseEvent(event);
    case EVENT_RESET:
      return ResetEvent(event);
    case EVENT_SET:
      return SetEvent(event);
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

CORE_API BOOL WINAPI SetKMode(BOOL kernelMode) {
  return InterlockedExchange(&g_kernelMode, kernelMode ? TRUE : FALSE);
}

CORE_API DWORD WINAPI SetProcPermissions(DWORD permissions) {
  return static_cast<DWORD>(InterlockedExchange(&g_permissions, static_cast<LONG>(permissions)));
}

CORE_API void WINAPI CompactAllHeaps(void) {
  // Wine's heaps give memory back by themselves.
}

// On the device a process starts or fails for a reason the caller can act on. Wine's
// server, when many programs start at once, now and then refuses a start with
// ERROR_INTERNAL_ERROR and takes the same start a moment later; that passing refusal
// is tried again here, every other failure is the caller's as it came.
CORE_API BOOL WINAPI CeCreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                      LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD flags,
                                      LPVOID environment, LPCWSTR directory, LPSTARTUPINFOW startup,
                                      LPPROCESS_INFORMATION information) {
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(application, commandLine, processAttributes, threadAttributes, inheritHandles, flags,
                       environment, directory, startup, information))
      return TRUE;
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == 5) {
      SetLastError(error);
      return FALSE;
    }
    Sleep(100 * attempt);
  }
}
