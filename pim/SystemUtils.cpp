#include "pim/SystemUtils.h"

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "platform/windowlib/Module.h"

#include <cstring>
#include "pim/PocketInformantTools.h"

namespace {

BOOL KeyHasText(LPCWSTR path, LPCWSTR name) {
  CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
  return key.IsOpen() && !key.QueryString(name).IsEmpty();
}

}  // namespace

BOOL LibraryFileExists(LPCWSTR name) {
  HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!library) return FALSE;
  FreeLibrary(library);
  return TRUE;
}

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

const PHATNOTES_KEY g_phatNotesKeys[] = {
    {0x405, L"Software\\PhatWare\\PhatNotes\\4.0\\Settings", L"AppName", L"Path"},
    {0x407, L"Software\\PhatWare\\PhatNotes\\Settings", L"AppName", L"Path"},
    {-1, nullptr, nullptr, nullptr},
};

int FindPhatNotesKey(int* identifier, int* index) {
  for (int i = 0; g_phatNotesKeys[i].identifier != -1; ++i) {
    CRegKey key(HKEY_CURRENT_USER, g_phatNotesKeys[i].path, FALSE, FALSE);
    if (!key.IsOpen()) continue;
    if (identifier) *identifier = g_phatNotesKeys[i].identifier;
    if (index) *index = i;
    return 1;
  }
  if (index) *index = -1;
  return 0;
}

BOOL IsPocketInformantToolsPresent() {
  HMODULE library = FindPIToolsLibrary();
  if (!library) return FALSE;
  FreeLibrary(library);
  return TRUE;
}

BOOL IsPellamPresent() { return LibraryFileExists(L"\\Windows\\QelPellamScheduledAPI.dll"); }

CString GetInboxServiceFriendlyName(LPCWSTR transport) {
  CString name(transport ? transport : L"");
  if (name.IsEmpty()) return name;
  CString path(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\");
  path += name;
  CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
  CString friendly = key.QueryString(L"FriendlyName");
  // The device reads the value into 256 bytes: a longer one counts as missing.
  return friendly.IsEmpty() || friendly.GetLength() > 127 ? name : friendly;
}

BOOL IsInboxServicePresent(LPCWSTR transport) {
  if (!transport || !*transport) return TRUE;
  CString path(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\");
  path += transport;
  CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
  return key.IsOpen();
}

BOOL GetInboxServiceInfo(LPCWSTR transport, CString& name, CString& library) {
  name.Empty();
  library.Empty();
  if (!transport || !*transport) return FALSE;
  CString path(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\");
  path += transport;
  CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
  if (!key.IsOpen()) return FALSE;
  name = key.QueryString(L"Name");
  library = key.QueryString(L"DLL");
  return !name.IsEmpty() && !library.IsEmpty();
}

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

namespace {

// The window's place inside its parent.
RECT PlaceInParent(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

int GetLeftMarginDelta(HWND window) {
  const int margin = (25 * GetScreenDpiX() + 48) / 96;
  return window ? margin - PlaceInParent(window).left : margin;
}

int GetTopMarginDelta(HWND window) {
  const int margin = (20 * GetScreenDpiY() + 48) / 96;
  return window ? margin - PlaceInParent(window).top : margin;
}

void StretchChildrenToWidth(HWND window) {
  RECT client = {};
  if (!GetClientRect(window, &client)) return;
  const int width = client.right - client.left;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT rect = PlaceInParent(child);
    wchar_t className[16] = {};
    GetClassNameW(child, className, ARRAYSIZE(className));
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    const int height = rect.bottom - rect.top;
    if (!lstrcmpiW(className, L"static") && (style & SS_TYPEMASK) == SS_BITMAP) {
      const int own = rect.right - rect.left;
      MoveWindow(child, (width - own) / 2, rect.top, own, height, TRUE);
    } else {
      MoveWindow(child, 0, rect.top, width, height, TRUE);
    }
  }
}

void* ReadWholeFile(LPCWSTR path, DWORD* size, DWORD maxSize) {
  if (size) *size = 0;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER length = {};
  void* data = nullptr;
  if (GetFileSizeEx(file, &length) && length.QuadPart <= maxSize) {
    const DWORD bytes = static_cast<DWORD>(length.QuadPart);
    data = LocalAlloc(LMEM_FIXED, bytes ? bytes : 1);
    DWORD read = 0;
    if (data && (!ReadFile(file, data, bytes, &read, nullptr) || read != bytes)) {
      LocalFree(data);
      data = nullptr;
    }
    if (data && size) *size = bytes;
  }
  CloseHandle(file);
  return data;
}

BOOL WriteWholeFile(LPCWSTR path, const void* data, DWORD size) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  DWORD written = 0;
  const BOOL ok = (!size || WriteFile(file, data, size, &written, nullptr)) && written == size;
  CloseHandle(file);
  return ok;
}

void* LoadResourceData(LPCWSTR type, LPCWSTR name, DWORD* size) {
  if (size) *size = 0;
  HINSTANCE module = GetModule().GetResourceInstance();
  HRSRC resource = module ? FindResourceW(module, name, type) : nullptr;
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD length = resource ? SizeofResource(module, resource) : 0;
  if (!bytes) return nullptr;
  void* copy = LocalAlloc(LMEM_FIXED, length ? length : 1);
  if (!copy) return nullptr;
  memcpy(copy, bytes, length);
  if (size) *size = length;
  return copy;
}

BOOL GetBitmapResourceSize(LPCWSTR name, SIZE* size) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(GetModule().GetResourceInstance(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info = {};
  const BOOL ok = bitmap && GetObjectW(bitmap, sizeof info, &info);
  if (bitmap) DeleteObject(bitmap);
  if (ok && size) *size = {info.bmWidth, info.bmHeight};
  return ok;
}

int GetUIMetricsFontSize() {
  HMODULE shell = LoadLibraryW(L"AYGSHELL");
  if (!shell) return 0;
  typedef HRESULT(WINAPI * PFN_METRICS)(int, void*, DWORD, DWORD*);
  PFN_METRICS metrics =
      reinterpret_cast<PFN_METRICS>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetUIMetrics")));
  DWORD value = 0, needed = 0;
  if (!metrics || FAILED(metrics(1 /* font size in points */, &value, sizeof value, &needed))) value = 0;
  FreeLibrary(shell);
  return static_cast<int>(value);
}

int CompareStringsNoCase(LPCWSTR a, LPCWSTR b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH, a, -1, b,
                        -1);
}
