#include "pim/SystemUtils.h"

#include "base/RegKey.h"
#include "pim/PocketInformantTools.h"

namespace {

BOOL KeyHasText(LPCWSTR path, LPCWSTR name) {
  CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
  return key.IsOpen() && !key.QueryString(name).IsEmpty();
}

BOOL LibraryLoads(LPCWSTR name) {
  HMODULE library = LoadLibraryW(name);
  if (!library) return FALSE;
  FreeLibrary(library);
  return TRUE;
}

}  // namespace

int GetScreenCode(int width, int height) {
  static const struct {
    int width, height;
  } sizes[] = {{240, 320}, {320, 240}, {240, 240}, {480, 640}, {640, 480}, {480, 480}};
  for (int i = 0; i < static_cast<int>(ARRAYSIZE(sizes)); ++i)
    if (sizes[i].width == width && sizes[i].height == height) return i;
  return -1;
}

int GetScreenCode() { return GetScreenCode(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)); }
BOOL IsHighResScreen() { return GetScreenCode() >= 3; }
BOOL IsLandscapeScreen() {
  const int code = GetScreenCode();
  return code == 1 || code == 4;
}

BOOL IsAgendaFusionInstalled() {
  return KeyHasText(L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion", L"AppLocation");
}
BOOL IsAgendaOneInstalled() { return KeyHasText(L"SOFTWARE\\Developer One\\Agenda One", L"InstallPath"); }

BOOL IsPocketInformantToolsPresent() {
  HMODULE library = FindPIToolsLibrary();
  if (!library) return FALSE;
  FreeLibrary(library);
  return TRUE;
}

BOOL IsPellamPresent() { return LibraryLoads(L"\\Windows\\QelPellamScheduledAPI.dll"); }

int GetShownTabs(BOOL host, BOOL small) {
  if (small) return 60;
  if (host) return 80;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE, FALSE);
  const DWORD shown = key.IsOpen() && key.ValueExists(L"ShowTabs") ? key.QueryDWORD(L"ShowTabs") : 0xFFFFFFFF;
  int count = 0;
  for (int bit = 0; bit < 6; ++bit)
    if (shown & (1u << bit)) ++count;
  CRegKey custom(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY L"\\CustomTabs", FALSE, FALSE);
  CString name;
  for (BOOL more = custom.EnumFirstSubKey(name); more; more = custom.EnumNextSubKey(name)) ++count;
  return 20 * (count < 3 ? 3 : count);
}

LRESULT SendMessageSafe(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return window && IsWindow(window) ? SendMessageW(window, message, wParam, lParam) : 0;
}

BOOL PostMessageSafe(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return window && IsWindow(window) ? PostMessageW(window, message, wParam, lParam) : FALSE;
}

LPCWSTR GetFileExtension(LPCWSTR path) {
  if (!path) return nullptr;
  LPCWSTR dot = nullptr;
  for (LPCWSTR p = path; *p; ++p) {
    if (*p == L'\\') dot = nullptr;
    else if (*p == L'.') dot = p;
  }
  return dot ? dot + 1 : nullptr;
}
