// CPhatNotesIndex: the index database PhatNotes keeps of its notebooks
// ("\phatware_hpcnotes_data": a display name, a database name and a time for each),
// watched for changes, and the walk over the object store's PhatNotes databases.
#pragma once
#include <windows.h>

#include <vector>

#include "base/CeDatabase.h"
#include "platform/windowlib/String.h"

class CPhatNotesIndex : public ICeDatabaseSink {
 public:
  enum : DWORD { kDatabaseType = 0xF1305 };
  enum : CEPROPID {
    kPropDatabaseName = 0x006E001F,
    kPropDisplayName = 0x0078001F,
    kPropTime = 0x00820040,
  };
  static constexpr double kNoDate = 949998.0;

  struct Entry {
    CString databaseName;
    CString displayName;
    double time = kNoDate;
  };

  CPhatNotesIndex();
  virtual ~CPhatNotesIndex();
  CPhatNotesIndex(const CPhatNotesIndex&) = delete;
  CPhatNotesIndex& operator=(const CPhatNotesIndex&) = delete;

  // A change of the index: its entries are read again.
  void OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) override;
  // Opens the index with its changes posted to the window (null: none) and reads its
  // entries; FALSE when PhatNotes keeps no index.
  BOOL Open(HWND window);
  void Close();
  BOOL IsOpen() const { return m_database.IsOpen(); }

  // The database name of the notebook shown under the display name (compared without
  // case); FALSE when the index has no such entry.
  BOOL GetDatabaseName(LPCWSTR displayName, CString& databaseName) const;
  // The names of every database of PhatNotes' type in the object store.
  static std::vector<CString> EnumerateDatabases();
  // Reads the entries of the open index again; a record that cannot be read is left
  // out. The number of entries.
  int ReadRecords();

  const std::vector<Entry>& GetEntries() const { return m_entries; }

 private:
  CCeDatabase m_database;
  std::vector<Entry> m_entries;
};
