// The emulated device's volumes: main memory under the device root, and its storage
// cards. A card is a folder at the top of the device that carries the temporary
// attribute, as on the device; Wine keeps no such attribute on folders, so the
// device identity's "StorageCards" setting (device paths separated by ';', e.g.
// "\Storage Card") names them as well. Header only: the shell's watcher and the
// notes project library share it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/aygshell/aygshell.h"
#include "platform/coredll/DeviceIdentity.h"

namespace devvol {

// A device path ("\My Documents\a.txt") as the host sees it, under the device root.
// A path that already names a drive or a share is the host's own and stays.
inline std::wstring ToHost(const std::wstring& devicePath) {
  if (devicePath.size() >= 2 && (devicePath[1] == L':' || (devicePath[0] == L'\\' && devicePath[1] == L'\\')))
    return devicePath;
  std::wstring root = CDeviceIdentity::Root();
  while (!root.empty() && root.back() == L'\\') root.pop_back();
  if (devicePath.empty() || devicePath[0] != L'\\') root += L'\\';
  return root + devicePath;
}

inline bool IsFolder(const std::wstring& devicePath) {
  DWORD attributes = GetFileAttributesW(ToHost(devicePath).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool SameText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// The storage cards present, as device paths ("\Storage Card"), each once.
inline std::vector<std::wstring> StorageCards() {
  std::vector<std::wstring> cards;
  auto add = [&cards](std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    if (path.empty()) return;
    if (path[0] != L'\\') path.insert(path.begin(), L'\\');
    if (path.find(L'\\', 1) != std::wstring::npos || !IsFolder(path)) return;
    for (const std::wstring& known : cards)
      if (SameText(known, path)) return;
    cards.push_back(path);
  };
  std::wstring named;
  if (CDeviceIdentity::Read(L"StorageCards", named)) {
    size_t start = 0;
    while (start <= named.size()) {
      size_t end = named.find(L';', start);
      if (end == std::wstring::npos) end = named.size();
      add(named.substr(start, end - start));
      start = end + 1;
    }
  }
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(ToHost(L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const DWORD card = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
      if ((data.dwFileAttributes & card) == card && wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
        add(std::wstring(L"\\") + data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  return cards;
}

// The documents folder of main memory and/or of each card, as device paths. A card
// keeps its documents under the same name as main memory, inside the card's folder;
// the shell names main memory's.
inline std::vector<std::wstring> DocumentsFolders(bool mainMemory, bool cards) {
  std::vector<std::wstring> folders;
  WCHAR path[MAX_PATH];
  if (!SHGetDocumentsFolder(L"\\", path)) return folders;
  if (mainMemory) folders.push_back(path);
  if (cards) {
    for (const std::wstring& card : StorageCards()) folders.push_back(card + path);
  }
  return folders;
}

}  // namespace devvol
