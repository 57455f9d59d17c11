#include "tabs/messages/CeMailStore.h"

#include "base/CeDbApi.h"
#include "base/DbRecord.h"

CCeMailStore::CCeMailStore(LPCWSTR key, LPCWSTR displayName, LPCWSTR shortName, const CEGUID& volume)
    : m_key(key), m_displayName(displayName), m_shortName(shortName), m_volume(volume) {}

CCeMailStore::~CCeMailStore() {
  // The databases close before their volume goes.
  m_folderDb.reset();
  m_messageDb.reset();
  m_bodyDb.reset();
  ::CeUnmountDBVol(&m_volume);
}

BOOL CCeMailStore::Open() {
  // Read in one walk: each read moves on to the next record.
  m_folderDb = std::make_unique<CCeDatabase>(L"Folders", nullptr, &m_volume, TRUE);
  m_messageDb = std::make_unique<CCeDatabase>(L"Messages", nullptr, &m_volume);
  m_bodyDb = std::make_unique<CCeDatabase>(L"Bodies", nullptr, &m_volume);
  if (!m_folderDb->Open() || !m_messageDb->Open() || !m_bodyDb->Open()) return FALSE;
  m_folders.clear();
  m_deletedFolder = 0;
  HANDLE db = m_folderDb->GetHandle();
  CDbRecord record(db);
  const int parent = record.AddPropId(kParentProp);
  const int type = record.AddPropId(kTypeProp);
  const int name = record.AddPropId(kNameProp);
  if (!GetCeDbApi()->Seek(db, CEDB_SEEK_BEGINNING, 0, nullptr)) return FALSE;
  for (;;) {
    const CEOID read = record.Read(0, FALSE);
    if (!read) break;
    WEBIS_FOLDER folder;
    folder.id = read;
    folder.parent = static_cast<DWORD>(record.GetLong(parent, -1));
    folder.type = static_cast<DWORD>(record.GetLong(type, -1));
    record.GetString(name, folder.name, L"");
    if (folder.type == WEBIS_FOLDER_DELETED && !m_deletedFolder) m_deletedFolder = read;
    m_folders.push_back(folder);
  }
  return !m_folders.empty();
}
