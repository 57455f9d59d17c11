// A tools library as its callers find it. It shows nothing: each call leaves what it
// was given as one line in the device's "\Windows\pitools.log" and in the environment
// variable PITOOLS_CALL of the calling process (which outlives the library). The
// display entry points answer 7, a value no caller gives a meaning to.
#include <windows.h>

#include <cstdio>

#include "platform/cemapi/DeviceLog.h"

namespace {

int Record(const wchar_t* text) {
  SetEnvironmentVariableW(L"PITOOLS_CALL", text);
  CDeviceLog::Append(L"pitools.log", text);
  return 7;
}

}  // namespace

extern "C" {

#ifndef PITOOLS_WITHOUT_D_APPT
__declspec(dllexport) int D_Appt(DWORD oid, double date, DWORD a, DWORD openOnly, DWORD b) {
  wchar_t text[200];
  swprintf(text, 200, L"D_Appt %lu %.5f %lu %lu %lu", oid, date, a, openOnly, b);
  return Record(text);
}
#endif

__declspec(dllexport) int D_Task(DWORD oid, DWORD a, DWORD openOnly, DWORD b) {
  wchar_t text[200];
  swprintf(text, 200, L"D_Task %lu %lu %lu %lu", oid, a, openOnly, b);
  return Record(text);
}

__declspec(dllexport) int DisplayContactWindowExtern(DWORD oid, DWORD a, DWORD b) {
  wchar_t text[200];
  swprintf(text, 200, L"DisplayContactWindowExtern %lu %lu %lu", oid, a, b);
  return Record(text);
}

__declspec(dllexport) int CreateAlarmNoteExtern(HWND window) {
  wchar_t text[200];
  swprintf(text, 200, L"CreateAlarmNoteExtern %p", static_cast<void*>(window));
  return Record(text);
}

__declspec(dllexport) int C_Appt() { return Record(L"C_Appt"); }
__declspec(dllexport) int LoadAlarmNote() { return Record(L"LoadAlarmNote"); }
__declspec(dllexport) int DeleteAlarmNoteFile() { return Record(L"DeleteAlarmNoteFile"); }
__declspec(dllexport) int DisplayAlarmNoteWindowExtern() { return Record(L"DisplayAlarmNoteWindowExtern"); }

#ifdef PITOOLS_HAS_CREATE_TASK
__declspec(dllexport) int C_Task() { return Record(L"C_Task"); }
#endif

#ifdef PITOOLS_HAS_NOTES_AND_CONTACTS
__declspec(dllexport) int D_Contact(DWORD oid, DWORD a, DWORD openOnly, DWORD b) {
  wchar_t text[200];
  swprintf(text, 200, L"D_Contact %lu %lu %lu %lu", oid, a, openOnly, b);
  return Record(text);
}

__declspec(dllexport) int D_Note(const wchar_t* path, HWND window) {
  wchar_t text[400];
  swprintf(text, 400, L"D_Note %ls %p", path ? path : L"(null)", static_cast<void*>(window));
  return Record(text);
}
#endif
}
