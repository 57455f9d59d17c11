#include "settings/base/VendorPresence.h"

#include <cwchar>

#include "base/RegKey.h"

namespace {

// Whether a library file can be found where LoadLibrary would look, without running
// its entry point: presence tests must not start another vendor's code.
BOOL LibraryExists(LPCWSTR name) {
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return FALSE;
  FreeLibrary(module);
  return TRUE;
}

struct PhatNotesRow {
  DWORD code;
  LPCWSTR path;
};
const PhatNotesRow kPhatNotesRows[] = {
    {0x405, L"Software\\PhatWare\\PhatNotes\\4.0\\Settings"},
    {0x407, L"Software\\PhatWare\\PhatNotes\\Settings"},
};

CString PIToolsFirstCandidate() {
  CRegKey key(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant", FALSE, FALSE);
  CString path = key.QueryString(L"PIToolsLoc");
  return path.IsEmpty() ? CString(L"PITools.dll") : path;
}

const LPCWSTR kPIToolsFallbacks[] = {L"\\Windows\\PITools.dll", L"PINewEditUI.dll", L"\\Windows\\PINewEditUI.dll"};

}  // namespace

BOOL GetAgendaFusionPath() {
  CRegKey key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion", FALSE, FALSE);
  return key.IsOpen() && key.ValueExists(L"AppLocation");
}

BOOL GetAgendaOnePath() {
  CRegKey key(HKEY_CURRENT_USER, L"SOFTWARE\\Developer One\\Agenda One", FALSE, FALSE);
  return key.IsOpen() && key.ValueExists(L"InstallPath");
}

BOOL FreeLibrarySafe() {
  if (LibraryExists(PIToolsFirstCandidate())) return TRUE;
  for (LPCWSTR name : kPIToolsFallbacks)
    if (LibraryExists(name)) return TRUE;
  return FALSE;
}

BOOL FindFirstExistingKey(DWORD* code, int* row) {
  if (row) *row = -1;
  for (int i = 0; i < static_cast<int>(ARRAYSIZE(kPhatNotesRows)); ++i) {
    CRegKey key(HKEY_CURRENT_USER, kPhatNotesRows[i].path, FALSE, FALSE);
    if (!key.IsOpen()) continue;
    if (row) *row = i;
    if (code) *code = kPhatNotesRows[i].code;
    return TRUE;
  }
  return FALSE;
}

BOOL GetFirstExistingKeyIndex(DWORD* code) { return FindFirstExistingKey(code, nullptr); }
