// DeleteFolderTree: a folder goes with everything in it, files and folders, read-only
// ones too, as far as it can (a file still in use stays, and so does every folder above
// it). The tests and the benchmarks clear their scratch folders and device roots with it.
#pragma once
#include <windows.h>

#include <string>

inline void DeleteFolderTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        DeleteFolderTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}
