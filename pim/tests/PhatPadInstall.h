// A PhatPad installation in a folder of the test's own: the view libraries copied
// from where the build puts them, the programs as empty files (only their presence
// counts). Shared by the PhatPad link's tests and the note viewer's.
#pragma once
#include <windows.h>

#include <string>

namespace phatpadtest {

// The folder for this process's files under the temp folder, with its final "\".
inline std::wstring TempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// Writes bytes into a file (created or emptied).
inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

// A folder with what the flags say: "PhatPad.exe" / "PhatPadViewer.exe" and the two
// view libraries.
inline void MakeInstallFolder(const std::wstring& folder, bool padExe, bool viewerExe, bool libraries) {
  CreateDirectoryW(folder.c_str(), nullptr);
  if (padExe) WriteBytes(folder + L"PhatPad.exe", "");
  if (viewerExe) WriteBytes(folder + L"PhatPadViewer.exe", "");
  if (!libraries) return;
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring from = self;
  from = from.substr(0, from.rfind(L'\\') + 1) + L"optional\\phatpad\\";
  for (const wchar_t* name : {L"PhatPadCtl.dll", L"PhatPadViewCtl.dll"})
    CopyFileW((from + name).c_str(), (folder + name).c_str(), FALSE);
}

// Removes the folder's files (those a loaded library keeps stay) and the folder.
inline void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data = {};
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + data.cFileName).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace phatpadtest
