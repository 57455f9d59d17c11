#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/FileWatch.h"
#include "platform/aygshell/ShellInternal.h"

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "platform/note_prj/DeviceVolumes.h"

namespace {

struct Registration {
  HWND window;
  DWORD mask;
  std::wstring folder;  // empty: every folder
  bool recursive;
  std::shared_ptr<ayg::CFileWatch> watch;  // the real watcher; null when no folder could be opened
};

SRWLOCK g_lock = SRWLOCK_INIT;
std::vector<Registration> g_registrations;

std::wstring WithoutTrailingSlash(LPCWSTR path) {
  std::wstring text = path ? path : L"";
  while (!text.empty() && text.back() == L'\\') text.pop_back();
  return text;
}

bool Watches(const Registration& r, LPCWSTR item) {
  if (r.folder.empty()) return true;
  if (!item) return false;
  const size_t n = r.folder.size();
  if (wcslen(item) <= n || _wcsnicmp(item, r.folder.c_str(), n) != 0 || item[n] != L'\\') return false;
  return r.recursive || !wcschr(item + n + 1, L'\\');
}

size_t Chars(LPCWSTR text) { return text ? wcslen(text) + 1 : 0; }

// The folders a registration watches: the one it names, or, for one that names none,
// the documents folders of main memory and of each storage card, where the device's
// users keep their files.
std::shared_ptr<ayg::CFileWatch> StartWatch(const Registration& r) {
  std::vector<ayg::CFileWatch::Folder> folders;
  if (!r.folder.empty()) {
    folders.push_back({r.folder, devvol::ToHost(r.folder)});
  } else {
    for (const std::wstring& documents : devvol::DocumentsFolders(true, true))
      folders.push_back({documents, devvol::ToHost(documents)});
  }
  return ayg::CFileWatch::Start(r.window, r.mask, r.recursive, std::move(folders));
}

}  // namespace

// One block: the record, then the paths it points to. Freed by SHChangeNotifyFree.
FILECHANGENOTIFY* ayg::MakeFileChangeRecord(LONG eventId, LPCWSTR item1, LPCWSTR item2) {
  const size_t n1 = Chars(item1), n2 = Chars(item2);
  const size_t bytes = sizeof(FILECHANGENOTIFY) + (n1 + n2) * sizeof(WCHAR);
  auto* record = static_cast<FILECHANGENOTIFY*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
  if (!record) return nullptr;
  record->dwRefCount = 1;
  FILECHANGEINFO& info = record->fci;
  info.cbSize = sizeof(FILECHANGEINFO);
  info.wEventId = eventId;
  info.uFlags = SHCNF_PATHW;
  auto* text = reinterpret_cast<WCHAR*>(record + 1);
  if (item1) {
    wmemcpy(text, item1, n1);
    info.dwItem1 = reinterpret_cast<DWORD_PTR>(text);
    text += n1;
  }
  if (item2) {
    wmemcpy(text, item2, n2);
    info.dwItem2 = reinterpret_cast<DWORD_PTR>(text);
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  LPCWSTR current = item2 ? item2 : item1;
  if (current && GetFileAttributesExW(devvol::ToHost(current).c_str(), GetFileExInfoStandard, &data)) {
    info.dwAttributes = data.dwFileAttributes;
    info.ftModified = data.ftLastWriteTime;
    info.nFileSize = data.nFileSizeLow;
  }
  return record;
}

AYG_API BOOL WINAPI SHChangeNotifyRegisterCE(HWND window, const SHCHANGENOTIFYENTRY* entry) {
  if (!IsWindow(window) || !entry) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Registration r{window, entry->dwEventMask, WithoutTrailingSlash(entry->pszWatchDir),
                 entry->fRecursive != FALSE, nullptr};
  r.watch = StartWatch(r);
  std::shared_ptr<ayg::CFileWatch> replaced;  // stopped outside the lock
  ayg::Locked lock(g_lock);
  for (Registration& old : g_registrations) {
    if (old.window == window) {
      replaced = std::move(old.watch);
      old = r;
      return TRUE;
    }
  }
  g_registrations.push_back(r);
  return TRUE;
}

AYG_API BOOL WINAPI SHChangeNotifyDeregisterCE(HWND window) {
  std::shared_ptr<ayg::CFileWatch> stopped;  // the watcher ends before the call returns
  ayg::Locked lock(g_lock);
  for (auto it = g_registrations.begin(); it != g_registrations.end(); ++it) {
    if (it->window == window) {
      stopped = std::move(it->watch);
      g_registrations.erase(it);
      return TRUE;
    }
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

AYG_API void WINAPI SHChangeNotifyFree(FILECHANGENOTIFY* notify) {
  if (!notify) return;
  if (InterlockedDecrement(reinterpret_cast<volatile LONG*>(&notify->dwRefCount)) == 0)
    HeapFree(GetProcessHeap(), 0, notify);
}

AYG_API int WINAPI AygTestNotifyFileChange(LONG eventId, LPCWSTR item1, LPCWSTR item2) {
  std::vector<Registration> targets;
  std::vector<std::shared_ptr<ayg::CFileWatch>> stopped;
  {
    ayg::Locked lock(g_lock);
    // Windows that went away without deregistering are forgotten here.
    for (auto it = g_registrations.begin(); it != g_registrations.end();) {
      if (!IsWindow(it->window)) {
        stopped.push_back(std::move(it->watch));
        it = g_registrations.erase(it);
        continue;
      }
      if ((it->mask & static_cast<DWORD>(eventId)) && (Watches(*it, item1) || Watches(*it, item2)))
        targets.push_back(*it);
      ++it;
    }
  }
  int told = 0;
  for (const Registration& r : targets) {
    FILECHANGENOTIFY* record = ayg::MakeFileChangeRecord(eventId, item1, item2);
    if (!record) break;
    if (PostMessageW(r.window, WM_FILECHANGEINFO, 0, reinterpret_cast<LPARAM>(record))) {
      ++told;
    } else {
      SHChangeNotifyFree(record);
    }
  }
  return told;
}
