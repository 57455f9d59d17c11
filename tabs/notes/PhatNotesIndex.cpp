#include "tabs/notes/PhatNotesIndex.h"

#include <cstring>

#include "base/DbRecord.h"

namespace {

const WCHAR kIndexName[] = L"\\phatware_hpcnotes_data";
enum { kDatabaseName, kDisplayName, kTime };

}  // namespace

CPhatNotesIndex::CPhatNotesIndex() : m_database(kIndexName, this) {}

CPhatNotesIndex::~CPhatNotesIndex() { Close(); }

void CPhatNotesIndex::OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) {
  if (!notification || database != &m_database || !m_database.IsOpen()) return;
  ReadRecords();
}

BOOL CPhatNotesIndex::Open(HWND window) {
  Close();
  if (!m_database.Open(window)) return FALSE;
  ReadRecords();
  return TRUE;
}

void CPhatNotesIndex::Close() {
  m_database.Close();
  m_entries.clear();
}

int CPhatNotesIndex::ReadRecords() {
  m_entries.clear();
  if (!m_database.IsOpen()) return 0;
  CCeDbApi* api = GetCeDbApi();
  const HANDLE db = m_database.GetHandle();
  DWORD index = 0;
  for (CEOID oid = api->Seek(db, CEDB_SEEK_BEGINNING, 0, &index); oid;) {
    CDbRecord record(db);
    record.AddPropId(kPropDatabaseName);
    record.AddPropId(kPropDisplayName);
    record.AddPropId(kPropTime);
    if (record.Read(oid, TRUE)) {
      Entry entry;
      record.GetString(kDatabaseName, entry.databaseName, L"");
      record.GetString(kDisplayName, entry.displayName, L"");
      entry.time = record.GetDateValue(kTime, kNoDate, TRUE);
      // An entry naming no database points nowhere.
      if (!entry.databaseName.IsEmpty()) m_entries.push_back(entry);
    }
    api->Seek(db, CEDB_SEEK_CEOID, oid, &index);
    oid = api->Seek(db, CEDB_SEEK_CURRENT, 1, &index);
  }
  return static_cast<int>(m_entries.size());
}

BOOL CPhatNotesIndex::GetDatabaseName(LPCWSTR displayName, CString& databaseName) const {
  databaseName.Empty();
  if (!displayName) return FALSE;
  for (const Entry& entry : m_entries)
    if (lstrcmpiW(entry.displayName, displayName) == 0) {
      databaseName = entry.databaseName;
      return TRUE;
    }
  return FALSE;
}

std::vector<CString> CPhatNotesIndex::EnumerateDatabases() {
  std::vector<CString> names;
  CEGUID store;
  CREATE_SYSTEMGUID(&store);
  HANDLE found = ::CeFindFirstDatabaseEx(&store, kDatabaseType);
  if (found == INVALID_HANDLE_VALUE || !found) return names;
  for (CEOID oid = ::CeFindNextDatabaseEx(found, &store); oid; oid = ::CeFindNextDatabaseEx(found, &store)) {
    CEOIDINFO info = {};
    if (!::CeOidGetInfoEx(&store, oid, &info) || info.wObjType != OBJTYPE_DATABASE) continue;
    WCHAR name[CEDB_MAXDBASENAMELEN + 1] = {};
    memcpy(name, info.infDatabase.szDbaseName, sizeof(info.infDatabase.szDbaseName));
    if (name[0]) names.push_back(name);
  }
  ::CloseHandle(found);
  return names;
}
