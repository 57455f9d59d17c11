#include "pim/IconFile.h"

#include <cwchar>

void ClearReadOnlyAttribute(LPCWSTR path) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

BOOL CopyIntoFolder(LPCWSTR source, LPCWSTR folder, LPCWSTR target) {
  if (!source || !*source || !folder || !*folder || !target) return FALSE;
  CString bare = folder;
  // The existence test and CreateDirectoryW take the folder without its trailing "\".
  if (bare.GetLength() > 1 && bare[bare.GetLength() - 1] == L'\\') bare = CString(bare, bare.GetLength() - 1);
  if (GetFileAttributesW(bare) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(bare, nullptr);
  ClearReadOnlyAttribute(target);
  return CopyFileW(source, target, FALSE);
}

CString IconStoredName(LPCWSTR source, CString* ext) {
  if (ext) ext->Empty();
  if (!source) return CString();
  const wchar_t* last = wcsrchr(source, L'\\');
  const wchar_t* file = last ? last + 1 : source;
  const wchar_t* dot = wcsrchr(file, L'.');
  CString name;
  if (last) {
    const wchar_t* folder = last;
    while (folder > source && folder[-1] != L'\\') --folder;
    name = CString(folder, static_cast<int>(last - folder));
    name += L'-';
  }
  // Only the file name loses its extension: a "." in the folder name stays.
  name += dot ? CString(file, static_cast<int>(dot - file)) : CString(file);
  if (ext && dot) *ext = dot;
  return name;
}

BOOL CopyIconFile(LPCWSTR source, CString& storedName, LPCWSTR folder) {
  storedName.Empty();
  if (!source || !*source || !folder || !*folder) return FALSE;
  CString ext;
  CString name = IconStoredName(source, &ext);
  if (name.IsEmpty()) return FALSE;
  CString target = folder;
  if (target[target.GetLength() - 1] != L'\\') target += L'\\';
  target += name;
  target += ext;
  if (!CopyIntoFolder(source, folder, target)) return FALSE;
  storedName = name;
  return TRUE;
}
