// The Palm messaging component's store: on devices where that component keeps text and
// multimedia messages in its own database ("poDatabase" on the volume
// "\Windows\PalmMsgV001") instead of the messaging stores, the "SMS" account's messages
// are read from here. One process-wide object (GetPalmMsgStore).
//
// The database is the device's, written by another program: a record that cannot be
// read, is not of the expected kind, or holds lengths that do not fit ends the current
// walk; nothing in it is trusted to stay inside its bytes.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/CeDatabase.h"
#include "platform/windowlib/String.h"
#include "tabs/messages/OtherMailSources.h"
#include "tabs/messages/PalmRecord.h"

class CPalmMsgStore : public IPalmMsgSource, public ICeDatabaseSink {
 public:
  static constexpr const wchar_t* kVolume = L"\\Windows\\PalmMsgV001";
  static constexpr const wchar_t* kDatabase = L"poDatabase";

  CPalmMsgStore();
  ~CPalmMsgStore() override;
  CPalmMsgStore(const CPalmMsgStore&) = delete;
  CPalmMsgStore& operator=(const CPalmMsgStore&) = delete;

  // Another volume path, for tests that keep several stores.
  void SetVolumePath(LPCWSTR path) { m_volumePath = path; }

  // Only with the newer object store (the platform flag); TRUE when the database is open.
  // Opening it again hands its changes to the new listener and window.
  BOOL Open(HWND owner, IPalmStoreListener* listener);
  BOOL IsAvailable() override { return m_db && m_db->IsOpen(); }
  void Start(HWND owner, IPalmStoreListener* listener) override { Open(owner, listener); }
  void Stop() override;
  DWORD OpenFolder(IMsgStore* store, int folderNumber) override;
  BOOL GetFirst(DWORD folderRecord, EMAIL_ITEM* item) override;
  BOOL GetNext(EMAIL_ITEM* item) override;
  // TRUE when the record is a message; the item then holds it.
  BOOL DecodeMessage(CEOID record, EMAIL_ITEM* item);

  // The owner window's database notifications, handed back through CCeDatabase.
  void OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) override;

  // How a reported record was reached.
  enum Way { kReachedFolder = 1, kReachedNested = 2, kReachedMessage = 3 };
  size_t GetReportedCount() const { return m_reported.size(); }

 private:
  struct Folder {
    CString name;
    CEOID record;
  };
  // Reads the record's blob (the first blob among its properties); oid 0 reads where
  // the database stands. The identifier read (0 at the end) in readOid.
  BOOL ReadRecord(CEOID oid, CPalmRecord& record, CEOID* readOid = nullptr);
  BOOL LoadFolderTable();
  BOOL HasMessageKind(const CPalmRecord& record, BOOL withNested) const;
  void ResetWalk();

  IPalmStoreListener* m_listener = nullptr;
  HWND m_owner = nullptr;
  size_t m_indexPos = 0;
  size_t m_indexCount = 0;
  size_t m_nestedPos = 0;
  size_t m_nestedCount = 0;
  std::unique_ptr<CCeDatabase> m_db;
  CEGUID m_volume{};
  BOOL m_mounted = FALSE;
  std::map<CEOID, Way> m_reported;
  std::vector<Folder> m_folders;
  size_t m_folderCursor = 0;
  std::string m_index;
  std::string m_nested;
  CString m_volumePath;
};

CPalmMsgStore& GetPalmMsgStore();
