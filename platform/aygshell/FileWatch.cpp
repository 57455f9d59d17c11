#include "platform/aygshell/FileWatch.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>

namespace ayg {

namespace {

constexpr DWORD kBufferBytes = 16 * 1024;
constexpr DWORD kWhat = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES |
                        FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
// Folders one registration may watch; a larger tree is watched in part.
constexpr size_t kFolderBudget = 1024;

std::wstring Lower(std::wstring text) {
  if (!text.empty()) CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

bool IsFolderOnHost(const std::wstring& host) {
  DWORD attributes = GetFileAttributesW(host.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The names of the folders directly inside a host folder.
std::vector<std::wstring> ChildFolders(const std::wstring& host) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((host + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && wcscmp(data.cFileName, L".") &&
        wcscmp(data.cFileName, L".."))
      names.push_back(data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder) {
  return path.size() > folder.size() && path[folder.size()] == L'\\' &&
         _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) == 0;
}

}  // namespace

std::unique_ptr<CFileWatch> CFileWatch::Start(HWND window, DWORD mask, bool recursive, std::vector<Folder> folders) {
  std::unique_ptr<CFileWatch> watch(new CFileWatch);
  watch->window_ = window;
  watch->mask_ = mask;
  watch->recursive_ = recursive;
  watch->budget_ = kFolderBudget;
  for (Folder& folder : folders) watch->Add(std::move(folder), recursive);
  if (watch->folders_.empty()) return nullptr;
  watch->stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  watch->armed_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!watch->stop_ || !watch->armed_) return nullptr;
  watch->thread_ = CreateThread(nullptr, 0, &CFileWatch::ThreadMain, watch.get(), 0, nullptr);
  if (!watch->thread_) return nullptr;
  WaitForSingleObject(watch->armed_, 10000);
  return watch;
}

CFileWatch::~CFileWatch() {
  if (thread_) {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  for (auto& watched : folders_)
    if (watched->handle != INVALID_HANDLE_VALUE) CloseHandle(watched->handle);
  if (stop_) CloseHandle(stop_);
  if (armed_) CloseHandle(armed_);
}

// Opens a folder for watching (and, in a recursive watch, the folders below it).
bool CFileWatch::Add(Folder folder, bool withBelow) {
  if (budget_ == 0) return false;
  auto watched = std::make_unique<Watched>();
  watched->owner = this;
  watched->handle = CreateFileW(folder.host.c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  if (watched->handle == INVALID_HANDLE_VALUE) return false;
  --budget_;
  watched->buffer.resize(kBufferBytes);
  watched->folder = std::move(folder);
  const std::vector<std::wstring> children = ChildFolders(watched->folder.host);
  for (const std::wstring& name : children) watched->childFolders.insert(Lower(name));
  const Folder parent = watched->folder;
  folders_.push_back(std::move(watched));
  if (withBelow) {
    for (const std::wstring& name : children)
      Add({parent.reported + L"\\" + name, parent.host + L"\\" + name}, true);
  }
  return true;
}

DWORD WINAPI CFileWatch::ThreadMain(void* self) {
  static_cast<CFileWatch*>(self)->Run();
  return 0;
}

void CFileWatch::Arm(Watched& watched) {
  watched.pending = ReadDirectoryChangesW(watched.handle, watched.buffer.data(),
                                          static_cast<DWORD>(watched.buffer.size()), FALSE, kWhat, nullptr,
                                          &watched.overlapped, &CFileWatch::Completed) != FALSE;
}

void CFileWatch::Run() {
  for (auto& watched : folders_) Arm(*watched);
  SetEvent(armed_);
  for (;;) {
    // The window may go without deregistering: look again now and then.
    DWORD woke = WaitForSingleObjectEx(stop_, 1000, TRUE);
    closed_.clear();
    if (woke == WAIT_OBJECT_0 || !IsWindow(window_) || folders_.empty()) break;
  }
  // Every read still out comes back (cancelled) before the folders close.
  for (auto& watched : folders_)
    if (watched->pending) CancelIoEx(watched->handle, &watched->overlapped);
  for (;;) {
    bool pending = false;
    for (auto& watched : folders_) pending = pending || watched->pending;
    if (!pending) break;
    SleepEx(50, TRUE);
  }
  closed_.clear();
}

void CALLBACK CFileWatch::Completed(DWORD error, DWORD bytes, OVERLAPPED* overlapped) {
  auto* watched = reinterpret_cast<Watched*>(overlapped);
  CFileWatch* self = watched->owner;
  watched->pending = false;
  if (WaitForSingleObject(self->stop_, 0) == WAIT_OBJECT_0) return;
  if (error == ERROR_OPERATION_ABORTED || (error != ERROR_SUCCESS && error != ERROR_NOTIFY_ENUM_DIR)) {
    // The folder went away or cannot be read any more: stop watching it.
    for (auto it = self->folders_.begin(); it != self->folders_.end(); ++it) {
      if (it->get() != watched) continue;
      CloseHandle(watched->handle);
      watched->handle = INVALID_HANDLE_VALUE;
      self->closed_.push_back(std::move(*it));
      self->folders_.erase(it);
      break;
    }
    return;
  }
  self->Drain(*watched, error == ERROR_NOTIFY_ENUM_DIR ? 0 : bytes);
  self->Arm(*watched);
}

// Reads the changes the system wrote into the buffer; every offset and length is
// checked against what was written.
void CFileWatch::Drain(Watched& watched, DWORD bytes) {
  const std::wstring base = watched.folder.reported;
  const std::wstring baseHost = watched.folder.host;
  if (bytes == 0 || bytes > watched.buffer.size()) {
    // Too many changes at once: the folder as a whole changed.
    Deliver(SHCNE_UPDATEDIR, base, L"");
    return;
  }
  // A copy: adding folders below may move the entries of folders_.
  const std::vector<BYTE> data(watched.buffer.begin(), watched.buffer.begin() + bytes);
  const size_t header = offsetof(FILE_NOTIFY_INFORMATION, FileName);
  size_t offset = 0;
  while (offset + header <= data.size()) {
    FILE_NOTIFY_INFORMATION info;
    memcpy(&info, data.data() + offset, header);
    const size_t nameBytes = info.FileNameLength;
    if (nameBytes % sizeof(WCHAR) || nameBytes > data.size() - offset - header) break;
    std::wstring name(nameBytes / sizeof(WCHAR), L'\0');
    if (nameBytes) memcpy(&name[0], data.data() + offset + header, nameBytes);
    name.erase(std::find(name.begin(), name.end(), L'\0'), name.end());
    // Only direct items are ours; each folder below reports its own.
    if (!name.empty() && name.find(L'\\') == std::wstring::npos) {
      const std::wstring item = base + L"\\" + name;
      const std::wstring host = baseHost + L"\\" + name;
      const std::wstring key = Lower(name);
      switch (info.Action) {
        case FILE_ACTION_ADDED:
          if (IsFolderOnHost(host)) {
            watched.childFolders.insert(key);
            Deliver(SHCNE_MKDIR, item, L"");
            if (recursive_) {
              const size_t before = folders_.size();
              Add({item, host}, true);
              for (size_t i = before; i < folders_.size(); ++i) Arm(*folders_[i]);
              // What was put in the new folder before its watch began is told now.
              for (size_t i = before; i < folders_.size(); ++i) Announce(*folders_[i]);
            }
          } else {
            Deliver(SHCNE_CREATE, item, L"");
          }
          break;
        case FILE_ACTION_REMOVED:
          Deliver(watched.childFolders.erase(key) ? SHCNE_RMDIR : SHCNE_DELETE, item, L"");
          break;
        case FILE_ACTION_MODIFIED:
          // A folder "changes" whenever its contents do; those changes come on their own.
          if (!IsFolderOnHost(host)) Deliver(SHCNE_UPDATEITEM, item, L"");
          break;
        case FILE_ACTION_RENAMED_OLD_NAME:
          watched.renamedFrom = name;
          break;
        case FILE_ACTION_RENAMED_NEW_NAME:
          if (!watched.renamedFrom.empty()) {
            const std::wstring oldItem = base + L"\\" + watched.renamedFrom;
            const bool folder = watched.childFolders.erase(Lower(watched.renamedFrom)) > 0 || IsFolderOnHost(host);
            if (folder) {
              watched.childFolders.insert(key);
              Renamed(oldItem, item, host);
            }
            Deliver(folder ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, oldItem, item);
            watched.renamedFrom.clear();
          } else {
            Deliver(IsFolderOnHost(host) ? SHCNE_MKDIR : SHCNE_CREATE, item, L"");
          }
          break;
        default:
          break;
      }
    }
    if (info.NextEntryOffset == 0 || info.NextEntryOffset > data.size() - offset) break;
    offset += info.NextEntryOffset;
  }
}

// Tells of the items a newly watched folder already holds, as if just made.
void CFileWatch::Announce(const Watched& watched) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((watched.folder.host + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!wcscmp(data.cFileName, L".") || !wcscmp(data.cFileName, L"..")) continue;
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    Deliver(folder ? SHCNE_MKDIR : SHCNE_CREATE, watched.folder.reported + L"\\" + data.cFileName, L"");
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// A renamed folder keeps its watches; the names they report follow the new name.
void CFileWatch::Renamed(const std::wstring& oldReported, const std::wstring& newReported,
                         const std::wstring& newHost) {
  for (auto& watched : folders_) {
    Folder& f = watched->folder;
    if (_wcsicmp(f.reported.c_str(), oldReported.c_str()) == 0) {
      f.reported = newReported;
      f.host = newHost;
    } else if (StartsWithFolder(f.reported, oldReported)) {
      const std::wstring rest = f.reported.substr(oldReported.size());
      f.reported = newReported + rest;
      f.host = newHost + rest;
    }
  }
}

void CFileWatch::Deliver(LONG event, const std::wstring& item1, const std::wstring& item2) {
  if (!(mask_ & static_cast<DWORD>(event))) return;
  FILECHANGENOTIFY* record = MakeFileChangeRecord(event, item1.c_str(), item2.empty() ? nullptr : item2.c_str());
  if (!record) return;
  if (!PostMessageW(window_, WM_FILECHANGEINFO, 0, reinterpret_cast<LPARAM>(record))) SHChangeNotifyFree(record);
}

}  // namespace ayg
