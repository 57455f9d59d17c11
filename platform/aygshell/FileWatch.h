// Watches folders of the file system for one registered window, on a thread of its
// own, and posts each change to the window as the device's file-change record.
// Wine's watch of a whole tree misses changes in folders that existed before it
// began, so each folder of a watched tree gets a watch of its own.
#pragma once
#include <windows.h>

#include "platform/aygshell/aygshell.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace ayg {

class CFileWatch {
 public:
  struct Folder {
    std::wstring reported;  // the folder as changes name it (a device path)
    std::wstring host;      // the folder on the host
  };

  // Starts watching; returns once every folder that can be opened is armed, so a
  // change made after the call is seen. Null when no folder could be watched.
  static std::unique_ptr<CFileWatch> Start(HWND window, DWORD mask, bool recursive, std::vector<Folder> folders);

  // Stops the thread and closes the folders.
  ~CFileWatch();
  CFileWatch(const CFileWatch&) = delete;
  CFileWatch& operator=(const CFileWatch&) = delete;

 private:
  struct Watched {
    OVERLAPPED overlapped = {};  // first: the completion finds the entry from it
    CFileWatch* owner = nullptr;
    Folder folder;
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::vector<BYTE> buffer;
    bool pending = false;
    std::set<std::wstring> childFolders;  // lower-case names of the folders directly inside
    std::wstring renamedFrom;             // old name of a rename in progress
  };

  CFileWatch() = default;
  static DWORD WINAPI ThreadMain(void* self);
  static void CALLBACK Completed(DWORD error, DWORD bytes, OVERLAPPED* overlapped);
  void Run();
  bool Add(Folder folder, bool withBelow);
  void Arm(Watched& watched);
  void Drain(Watched& watched, DWORD bytes);
  void Announce(const Watched& watched);
  void Renamed(const std::wstring& oldReported, const std::wstring& newReported, const std::wstring& newHost);
  void Deliver(LONG event, const std::wstring& item1, const std::wstring& item2);

  HWND window_ = nullptr;
  DWORD mask_ = 0;
  bool recursive_ = false;
  size_t budget_ = 0;  // folders that may still be watched
  std::vector<std::unique_ptr<Watched>> folders_;
  std::vector<std::unique_ptr<Watched>> closed_;  // freed once their last read came back
  HANDLE stop_ = nullptr;
  HANDLE armed_ = nullptr;
  HANDLE thread_ = nullptr;
};

// The record of one change, with its paths in the same block; freed by
// SHChangeNotifyFree. Null when out of memory.
FILECHANGENOTIFY* MakeFileChangeRecord(LONG eventId, LPCWSTR item1, LPCWSTR item2);

}  // namespace ayg
