// The install folder of the options program's tests on the emulated device: a copy
// of what the device installs beside the plug-in, the resource library and the
// shipped skins (the default "NewStyle.zip" and the folder "Plain"), from the
// build and from the source tree's device/ (TARVO_DEVICE_DIR).
#pragma once
#include <windows.h>

#include <string>

#include "base/InstallPath.h"
#include "platform/unzip/tests/ZipWriter.h"

namespace deviceinstall {

// A file or folder below the source tree's device/, as Wine's Z: drive shows it.
inline std::wstring SourcePath(const char* below) {
  std::wstring path = L"Z:";
  for (const char* c = TARVO_DEVICE_DIR; *c; ++c) path += *c == '/' ? L'\\' : wchar_t(*c);
  for (const char* c = below; *c; ++c) path += *c == '/' ? L'\\' : wchar_t(*c);
  return path;
}

inline std::wstring BinFolder() {
  CString dir;
  GetModuleDirPath(dir);
  return std::wstring(dir);
}

// Copies a folder of files (no sub-folders) into target.
inline bool CopyFolder(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    ok = ok && CopyFileW((from + L"\\" + found.cFileName).c_str(), (to + L"\\" + found.cFileName).c_str(), FALSE);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return ok;
}

// The resource library and the skins into the folder; false when one is missing.
inline bool LayOut(const ziptest::TempFolder& install) {
  if (!CopyFileW((BinFolder() + L"\\TarvoRes.Dll").c_str(), install.File(L"TarvoRes.Dll").c_str(), FALSE)) return false;
  CreateDirectoryW(install.File(L"Skins").c_str(), nullptr);
  return CopyFileW(SourcePath("/skins/NewStyle.zip").c_str(), install.File(L"Skins\\NewStyle.zip").c_str(), FALSE) &&
         CopyFolder(SourcePath("/skins/Plain"), install.File(L"Skins\\Plain"));
}

}  // namespace deviceinstall
