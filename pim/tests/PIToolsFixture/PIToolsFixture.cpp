// A tools library as the binding finds it. Each call leaves what it was given in the
// environment variable PITOOLS_CALL of the process, which outlives the library.
#include <windows.h>

#include <cstdio>

namespace {

int Record(const wchar_t* text) {
  SetEnvironmentVariableW(L"PITOOLS_CALL", text);
  return 7;
}

}  // namespace

extern "C" {

__declspec(dllexport) int D_Appt(HWND window, DWORD a, DWORD b, DWORD c, DWORD d, double date) {
  wchar_t text[200];
  swprintf(text, 200, L"D_Appt %p %lu %lu %lu %lu %.2f", static_cast<void*>(window), a, b, c, d, date);
  return Record(text);
}

__declspec(dllexport) int D_Task(HWND window, DWORD a, DWORD b, DWORD c) {
  wchar_t text[200];
  swprintf(text, 200, L"D_Task %p %lu %lu %lu", static_cast<void*>(window), a, b, c);
  return Record(text);
}

__declspec(dllexport) int C_Appt(HWND, DWORD, DWORD, DWORD) { return Record(L"C_Appt"); }

#ifdef PITOOLS_FULL
__declspec(dllexport) int C_Task(HWND, DWORD, DWORD, DWORD) { return Record(L"C_Task"); }
#endif
}
