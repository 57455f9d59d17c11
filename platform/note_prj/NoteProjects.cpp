#include "platform/note_prj/note_prj.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/note_prj/DeviceVolumes.h"

namespace {

struct Volumes {
  bool mainMemory;
  bool cards;
};

bool VolumesOf(DWORD flags, Volumes& volumes) {
  volumes.mainMemory = (flags & (PRJ_ENUM_MEMORY | PRJ_ENUM_ALL_DEVICES)) != 0;
  volumes.cards = (flags & (PRJ_ENUM_FLASH | PRJ_ENUM_ALL_DEVICES)) != 0;
  if (volumes.mainMemory || volumes.cards) return true;
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

bool IsDots(const wchar_t* name) { return !wcscmp(name, L".") || !wcscmp(name, L".."); }

// The entries of a device folder that match the pattern, folders or files, by name.
std::vector<std::wstring> Entries(const std::wstring& folder, const wchar_t* pattern, bool folders) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(devvol::ToHost(folder + L"\\" + pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder == folders && !IsDots(data.cFileName)) names.push_back(data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
  });
  return names;
}

// The folders whose items count as notes: each documents folder (when asked) and the
// folders directly inside it.
std::vector<std::wstring> ProjectFolders(const Volumes& volumes, bool withHome) {
  std::vector<std::wstring> folders;
  for (const std::wstring& documents : devvol::DocumentsFolders(volumes.mainMemory, volumes.cards)) {
    if (withHome && devvol::IsFolder(documents)) folders.push_back(documents);
    for (const std::wstring& name : Entries(documents, L"*", true)) folders.push_back(documents + L"\\" + name);
  }
  return folders;
}

// Hands one path to the callback; false when the callback asked to stop. A path too
// long for the record is left out rather than cut.
template <typename Callback>
bool Report(Callback callback, LPARAM param, const std::wstring& path, int& count) {
  if (path.size() + 1 > static_cast<size_t>(PA_MAX_PATHNAME)) return true;
  ++count;
  if (!callback) return true;
  PAstruct record = {};
  record.m_IDtype = FILE_ID_TYPE_PATH;
  wmemcpy(record.m_szPathname, path.c_str(), path.size() + 1);
  return callback(&record, param) != FALSE;
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder, std::wstring& rest) {
  if (path.size() <= folder.size() + 1 || path[folder.size()] != L'\\') return false;
  if (!devvol::SameText(path.substr(0, folder.size()), folder)) return false;
  rest = path.substr(folder.size() + 1);
  return true;
}

}  // namespace

NOTE_PRJ_API int WINAPI EnumProjectsEx(PROJECTS_ENUMPROC_EX callback, DWORD /*oidFlash*/, DWORD flags,
                                       LPARAM param) {
  Volumes volumes;
  if (!VolumesOf(flags, volumes)) return 0;
  int count = 0;
  for (const std::wstring& folder : ProjectFolders(volumes, (flags & PRJ_ENUM_HOME_PROJ) != 0)) {
    if (!Report(callback, param, folder, count)) break;
  }
  return count;
}

NOTE_PRJ_API int WINAPI EnumProjectsFilesEx(PROJECTSFILES_ENUMPROC_EX callback, DWORD /*oidFlash*/, DWORD flags,
                                            LPCWSTR project, LPCWSTR pattern, LPARAM param) {
  Volumes volumes;
  if (!VolumesOf(flags, volumes)) return 0;
  const wchar_t* match = pattern && *pattern ? pattern : L"*.*";
  // A pattern names files of one folder: no folder part.
  if (wcschr(match, L'\\') || wcschr(match, L'/')) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::vector<std::wstring> folders;
  if (flags & PRJ_ENUM_ALL_PROJ) {
    folders = ProjectFolders(volumes, (flags & PRJ_ENUM_HOME_PROJ) != 0);
  } else if (project && *project) {
    if (wcschr(project, L'\\') || wcschr(project, L'/') || IsDots(project)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    for (const std::wstring& documents : devvol::DocumentsFolders(volumes.mainMemory, volumes.cards))
      folders.push_back(documents + L"\\" + project);
  } else {
    folders = devvol::DocumentsFolders(volumes.mainMemory, volumes.cards);
  }
  int count = 0;
  for (const std::wstring& folder : folders) {
    for (const std::wstring& name : Entries(folder, match, false)) {
      if (!Report(callback, param, folder + L"\\" + name, count)) return count;
    }
  }
  return count;
}

NOTE_PRJ_API BOOL WINAPI IsProjectItemPath(LPCWSTR path) {
  if (!path || !*path) return FALSE;
  std::wstring text = path;
  for (wchar_t& c : text)
    if (c == L'/') c = L'\\';
  for (const std::wstring& documents : devvol::DocumentsFolders(true, true)) {
    std::wstring rest;
    if (!StartsWithFolder(text, documents, rest)) continue;
    // The item itself, or an item of one folder below; no empty or dot elements.
    size_t slash = rest.find(L'\\');
    std::wstring first = rest.substr(0, slash);
    std::wstring second = slash == std::wstring::npos ? L"" : rest.substr(slash + 1);
    if (first.empty() || IsDots(first.c_str())) continue;
    if (slash == std::wstring::npos) return TRUE;
    if (!second.empty() && second.find(L'\\') == std::wstring::npos && !IsDots(second.c_str())) return TRUE;
  }
  return FALSE;
}
