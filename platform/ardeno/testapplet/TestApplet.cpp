// ArdenoTestApplet.dll: an applet kind for the tab host's tests and demos. Its
// applets keep a 4-byte number, paint a coloured square, and on a tap count the tap
// and tell the host their description changed. Every call lands in a log.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/ardeno/ArdenoApplet.h"

namespace {

struct TestApplet {
  DWORD number = 0;
  HWND host = nullptr;
  int taps = 0;
  std::wstring description;
};

std::wstring g_log;

void Note(const wchar_t* format, ...) {
  wchar_t line[128];
  va_list args;
  va_start(args, format);
  _vsnwprintf(line, 127, format, args);
  va_end(args);
  line[127] = 0;
  g_log += line;
  g_log += L'\n';
}

void Describe(TestApplet* applet) {
  wchar_t text[64];
  swprintf(text, 64, L"Number %lu, %d taps", applet->number, applet->taps);
  applet->description = text;
}

}  // namespace

extern "C" {

// Data of four bytes makes an applet; anything else none.
ARDENO_APPLET WINAPI ArdenoAppletCreate(const BYTE* data, DWORD size) {
  Note(L"create %lu", size);
  if (!data || size != 4) return nullptr;
  auto* applet = new TestApplet;
  CopyMemory(&applet->number, data, 4);
  Describe(applet);
  return applet;
}

ARDENO_APPLET WINAPI ArdenoAppletShowCreateDialog(HWND) {
  Note(L"dialog");
  auto* applet = new TestApplet;
  Describe(applet);
  return applet;
}

BOOL WINAPI ArdenoAppletInit(ARDENO_APPLET handle, HWND host) {
  Note(L"init");
  static_cast<TestApplet*>(handle)->host = host;
  return TRUE;
}

BOOL WINAPI ArdenoAppletDelete(ARDENO_APPLET handle) {
  Note(L"delete");
  delete static_cast<TestApplet*>(handle);
  return TRUE;
}

HICON WINAPI ArdenoAppletGetIcon() { return LoadIconW(nullptr, IDI_APPLICATION); }

int WINAPI ArdenoAppletGetDescription(ARDENO_APPLET handle, LPWSTR buffer, int length, LPARAM) {
  const std::wstring& text = static_cast<TestApplet*>(handle)->description;
  const int needed = static_cast<int>(text.size());
  if (buffer && needed < length) wcsncpy(buffer, text.c_str(), static_cast<size_t>(length));
  return needed;
}

DWORD WINAPI ArdenoAppletGetData(ARDENO_APPLET handle, BYTE* buffer, DWORD* size) {
  const BOOL fits = *size >= 4;
  if (fits) CopyMemory(buffer, &static_cast<TestApplet*>(handle)->number, 4);
  *size = 4;
  return fits ? 4 : 0;
}

BOOL WINAPI ArdenoAppletGetSize(ARDENO_APPLET, SIZE* size) {
  size->cx = size->cy = 36;
  return TRUE;
}

BOOL WINAPI ArdenoAppletPaint(ARDENO_APPLET handle, const RECT* rect, HDC dc) {
  const DWORD number = static_cast<TestApplet*>(handle)->number;
  HBRUSH brush = CreateSolidBrush(RGB(number * 40 % 256, 120, 200));
  FillRect(dc, rect, brush);
  DeleteObject(brush);
  return TRUE;
}

BOOL WINAPI ArdenoAppletUpdate(ARDENO_APPLET) { return TRUE; }

BOOL WINAPI ArdenoAppletOnClick(ARDENO_APPLET handle, int x, int y) {
  Note(L"click %d %d", x, y);
  auto* applet = static_cast<TestApplet*>(handle);
  ++applet->taps;
  Describe(applet);
  SendMessageW(applet->host, RegisterWindowMessageW(ARDENO_UPDATE_APPLET_MESSAGE), reinterpret_cast<WPARAM>(handle),
               0);
  return TRUE;
}

// For the tests: every call so far, a line each; then forgotten.
BOOL WINAPI TestAppletTakeLog(LPWSTR buffer, int length) {
  if (!buffer || length <= 0) return FALSE;
  lstrcpynW(buffer, g_log.c_str(), length);
  g_log.clear();
  return TRUE;
}

}  // extern "C"
