#include "platform/cemapi/StoreSet.h"

#include <objbase.h>

#include <algorithm>

#include "platform/cemapi/StoreText.h"
#include "platform/cemapi/cemapi.h"
#include "platform/coredll/DeviceIdentity.h"

namespace {

const DWORD kMaxFile = 256u << 20;

bool ReadWhole(const std::wstring& path, std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(f, &size) && size.QuadPart <= kMaxFile;
  if (ok) {
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    ok = bytes.empty() || (ReadFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                           got == bytes.size());
  }
  CloseHandle(f);
  return ok;
}

// Written beside the file, flushed, then moved over it: a reader sees the old file or
// the new one, never half of one.
bool WriteDurably(const std::wstring& path, const std::string& bytes) {
  std::wstring temp = path + L".new";
  HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size() &&
            FlushFileBuffers(f);
  CloseHandle(f);
  if (ok) ok = MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

std::wstring NameHash(const std::wstring& root) {
  ULONG h = 2166136261u;
  for (wchar_t c : root) {
    h ^= static_cast<ULONG>(towlower(c));
    h *= 16777619u;
  }
  wchar_t buf[16];
  swprintf(buf, 16, L"%08lX", h);
  return buf;
}

}  // namespace

CStoreSet& CStoreSet::Instance() {
  static CStoreSet* set = new CStoreSet;  // lives as long as the process: sinks may outlive unloads
  return *set;
}

CStoreSet::Guard::Guard(CStoreSet& set) : set_(set), ok_(set.Lock()) {}

CStoreSet::Guard::~Guard() {
  if (ok_) set_.Unlock();
}

bool CStoreSet::Open() {
  std::wstring root = CDeviceIdentity::Root();
  if (root == root_ && mutex_) return true;
  if (mutex_) {
    if (shared_) UnmapViewOfFile(shared_);
    if (mapping_) CloseHandle(mapping_);
    CloseHandle(mutex_);
    mutex_ = mapping_ = nullptr;
    shared_ = nullptr;
  }
  root_ = root;
  folder_ = root + (root.back() == L'\\' ? L"" : L"\\") + L"MessageStores";
  loaded_ = false;
  stores_.clear();
  std::wstring base = L"CeMapi-" + NameHash(root);
  mutex_ = CreateMutexW(nullptr, FALSE, (base + L"-Lock").c_str());
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedBlock),
                                (base + L"-Shared").c_str());
  if (mapping_) shared_ = static_cast<SharedBlock*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!mutex_ || !shared_) {
    root_.clear();
    return false;
  }
  return true;
}

bool CStoreSet::Lock() {
  // The root may change between calls (tests give each case a device of its own), so
  // the shared objects are looked up under a name made from it.
  static CRITICAL_SECTION openLock;
  static bool ready = [] {
    InitializeCriticalSection(&openLock);
    return true;
  }();
  (void)ready;
  EnterCriticalSection(&openLock);
  bool ok = Open();
  HANDLE mutex = mutex_;
  LeaveCriticalSection(&openLock);
  if (!ok) return false;
  DWORD wait = WaitForSingleObject(mutex, INFINITE);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
  if (!loaded_ || shared_->generation != generation_) Reload();
  return true;
}

void CStoreSet::Unlock() { ReleaseMutex(mutex_); }

void CStoreSet::Reload() {
  std::vector<StoreEntry> previous;
  previous.swap(stores_);
  CreateDirectoryW(folder_.c_str(), nullptr);
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((folder_ + L"\\*.mst").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      StoreEntry entry;
      entry.path = folder_ + L"\\" + fd.cFileName;
      std::string bytes;
      if (!ReadWhole(entry.path, bytes)) {
        entry.damaged = true;
        entry.error = "cannot read the file";
      } else if (!CStoreText::ParseFile(bytes, entry.record, entry.error)) {
        entry.damaged = true;
      } else if (FindStore(entry.record.id)) {
        entry.damaged = true;
        entry.error = "store id used by another file";
      }
      if (entry.damaged) {
        entry.record = StoreRecord();
        for (StoreEntry& old : previous)
          if (_wcsicmp(old.path.c_str(), entry.path.c_str()) == 0) entry.record = old.record;
      }
      stores_.push_back(std::move(entry));
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
  // Listed by file name, whatever order the file system gives.
  std::sort(stores_.begin(), stores_.end(),
            [](const StoreEntry& a, const StoreEntry& b) { return _wcsicmp(a.path.c_str(), b.path.c_str()) < 0; });
  generation_ = shared_->generation;
  loaded_ = true;
}

StoreEntry* CStoreSet::FindStore(ULONGLONG id) {
  for (StoreEntry& s : stores_)
    if (s.record.id == id && id) return &s;
  return nullptr;
}

bool CStoreSet::FindFolder(ULONGLONG id, StoreEntry*& store, FolderRecord*& folder) {
  for (StoreEntry& s : stores_)
    for (FolderRecord& f : s.record.folders)
      if (f.id == id) {
        store = &s;
        folder = &f;
        return true;
      }
  return false;
}

bool CStoreSet::FindMessage(ULONGLONG id, StoreEntry*& store, MessageRecord*& message) {
  for (StoreEntry& s : stores_)
    for (MessageRecord& m : s.record.messages)
      if (m.id == id) {
        store = &s;
        message = &m;
        return true;
      }
  return false;
}

HRESULT CStoreSet::Commit(StoreEntry& store) {
  if (store.damaged) return MAPI_E_CORRUPT_STORE;
  std::string disk;
  StoreRecord check;
  std::string error;
  if (ReadWhole(store.path, disk) && !CStoreText::ParseFile(disk, check, error)) {
    store.damaged = true;
    store.error = error;
    loaded_ = false;  // the change just made in memory is not on disk: read again
    return MAPI_E_CORRUPT_STORE;
  }
  if (!WriteDurably(store.path, CStoreText::FormatFile(store.record))) {
    loaded_ = false;
    return MAPI_E_CALL_FAILED;
  }
  generation_ = InterlockedIncrement(&shared_->generation);
  return S_OK;
}

HRESULT CStoreSet::Install(const std::wstring& name, const StoreRecord& record, std::string& error) {
  std::wstring path = folder_ + L"\\" + name;
  for (StoreEntry& s : stores_) {
    if (_wcsicmp(s.path.c_str(), path.c_str()) == 0) continue;
    if (!s.damaged && s.record.id == record.id) {
      error = "the store id is taken by another file";
      return MAPI_E_INVALID_PARAMETER;
    }
  }
  if (!WriteDurably(path, CStoreText::FormatFile(record))) {
    error = "cannot write the file";
    return MAPI_E_CALL_FAILED;
  }
  InterlockedIncrement(&shared_->generation);
  loaded_ = false;
  return S_OK;
}

ULONGLONG CStoreSet::NewId() {
  for (;;) {
    GUID g;
    if (FAILED(CoCreateGuid(&g))) {
      LARGE_INTEGER t;
      QueryPerformanceCounter(&t);
      g.Data1 = t.LowPart ^ GetCurrentProcessId();
      g.Data2 = static_cast<WORD>(t.HighPart);
      g.Data3 = static_cast<WORD>(GetTickCount());
    }
    ULONGLONG a, b;
    memcpy(&a, &g, 8);
    memcpy(&b, reinterpret_cast<const BYTE*>(&g) + 8, 8);
    ULONGLONG id = a ^ b;
    StoreEntry* s;
    FolderRecord* f;
    MessageRecord* m;
    if (id && !FindStore(id) && !FindFolder(id, s, f) && !FindMessage(id, s, m)) return id;
  }
}
