// Kernel calls of the device without a desktop counterpart.
#include "platform/coredll/ce.h"

#include <string>

#include "platform/coredll/DeviceIdentity.h"

namespace {

// The device's protection model does not exist here: the settings are only kept,
// so that callers get back what they set, as on the device.
LONG g_kernelMode = FALSE;
LONG g_permissions = 1;  // the process's own slot

// A top-level folder of the device ("\Storage Card", or the same under the device
// root as the host names it) that the identity's "StorageCards" lists.
bool IsNamedStorageCard(const wchar_t* path) {
  std::wstring device = path;
  const std::wstring root = CDeviceIdentity::Root();
  if (device.size() >= root.size() && CompareStringOrdinal(device.c_str(), static_cast<int>(root.size()), root.c_str(),
                                                           static_cast<int>(root.size()), TRUE) == CSTR_EQUAL) {
    device.erase(0, root.size());
    if (device.empty() || device[0] != L'\\') device.insert(device.begin(), L'\\');
  }
  while (device.size() > 1 && (device.back() == L'\\' || device.back() == L'/')) device.pop_back();
  if (device.size() < 2 || device[0] != L'\\' || device[1] == L'\\' || device.find(L'\\', 1) != std::wstring::npos)
    return false;
  std::wstring named;
  if (!CDeviceIdentity::Read(L"StorageCards", named)) return false;
  size_t start = 0;
  while (start <= named.size()) {
    size_t end = named.find(L';', start);
    if (end == std::wstring::npos) end = named.size();
    std::wstring card = named.substr(start, end - start);
    while (!card.empty() && card.back() == L'\\') card.pop_back();
    if (!card.empty() && card[0] != L'\\') card.insert(card.begin(), L'\\');
    if (card.size() == device.size() &&
        CompareStringOrdinal(card.c_str(), static_cast<int>(card.size()), device.c_str(),
                             static_cast<int>(device.size()), TRUE) == CSTR_EQUAL)
      return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

// On the device a storage card is a top-level folder with the temporary attribute.
// Wine keeps no such attribute on folders: the folders the device identity names as
// cards get it here.
CORE_API DWORD WINAPI CeGetFileAttributesW(LPCWSTR path) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) || !path) return attributes;
  const DWORD error = GetLastError();
  const bool card = IsNamedStorageCard(path);
  SetLastError(error);
  return card ? attributes | FILE_ATTRIBUTE_TEMPORARY : attributes;
}

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
