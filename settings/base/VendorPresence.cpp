#include "settings/base/VendorPresence.h"

#include <cwchar>

#include "base/RegKey.h"

namespace {

CString PIToolsFirstCandidate() {
  CRegKey key(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant", FALSE, FALSE);
  CString path = key.QueryString(L"PIToolsLoc");
  return path.IsEmpty() ? CString(L"PITools.dll") : path;
}

const LPCWSTR kPIToolsFallbacks[] = {L"\\Windows\\PITools.dll", L"PINewEditUI.dll", L"\\Windows\\PINewEditUI.dll"};

}  // namespace

BOOL FreeLibrarySafe() {
  if (LibraryFileExists(PIToolsFirstCandidate())) return TRUE;
  for (LPCWSTR name : kPIToolsFallbacks)
    if (LibraryFileExists(name)) return TRUE;
  return FALSE;
}

BOOL FindFirstExistingKey(DWORD* code, int* row) {
  int identifier = 0;
  if (!FindPhatNotesKey(&identifier, row)) return FALSE;
  if (code) *code = static_cast<DWORD>(identifier);
  return TRUE;
}

BOOL GetFirstExistingKeyIndex(DWORD* code) { return FindFirstExistingKey(code, nullptr); }
