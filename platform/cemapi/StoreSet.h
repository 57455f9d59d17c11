#pragma once
// Every message store of the emulated device, as files "<device root>\MessageStores\*.mst",
// kept in one view per process. One device-wide mutex guards the files; a shared counter
// tells a process that another one wrote, and the process reads the files again. A
// change is written to a new file, flushed and moved over the old one before the call
// returns; a file that does not read back is damaged: it is refused and never written.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/cemapi/StoreRecord.h"

struct StoreEntry {
  std::wstring path;
  StoreRecord record;  // for a damaged file: the last good reading, if any
  bool damaged = false;
  std::string error;
};

// One change, as every process of the device sees it.
struct NotifyRecord {
  LONGLONG seq;
  DWORD pid;
  DWORD deliveredHere;  // the writing process gave it to its own sinks already
  ULONG event;
  ULONG objType;
  ULONG cb[4];          // entry id, parent id, old id, old parent id
  BYTE ids[4][32];
};

struct SharedBlock {
  static const int kRing = 256;
  LONG generation;
  LONG reserved;
  LONGLONG notifySeq;  // sequence number of the last record written
  NotifyRecord ring[kRing];
};

class CStoreSet {
 public:
  static CStoreSet& Instance();

  // Holds the device-wide lock while it lives, with the view brought up to date.
  class Guard {
   public:
    explicit Guard(CStoreSet& set);
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    bool Ok() const { return ok_; }

   private:
    CStoreSet& set_;
    bool ok_;
  };

  std::vector<StoreEntry>& Stores() { return stores_; }
  StoreEntry* FindStore(ULONGLONG id);
  bool FindFolder(ULONGLONG id, StoreEntry*& store, FolderRecord*& folder);
  bool FindMessage(ULONGLONG id, StoreEntry*& store, MessageRecord*& message);

  // Writes the store's file (under a guard); MAPI_E_CORRUPT_STORE when the file on disk
  // is damaged, which stays as it is.
  HRESULT Commit(StoreEntry& store);
  // Writes a new store file named `name` (under a guard); fails when the store's id is
  // taken by another file.
  HRESULT Install(const std::wstring& name, const StoreRecord& record, std::string& error);

  ULONGLONG NewId();
  SharedBlock* Shared() { return shared_; }
  std::wstring Folder() const { return folder_; }

 private:
  CStoreSet() = default;
  bool Open();
  void Reload();
  bool Lock();
  void Unlock();

  std::wstring root_;
  std::wstring folder_;
  HANDLE mutex_ = nullptr;
  HANDLE mapping_ = nullptr;
  SharedBlock* shared_ = nullptr;
  LONG generation_ = 0;
  bool loaded_ = false;
  std::vector<StoreEntry> stores_;
};
