#include "tabs/notes/PhatNotesSource.h"

#include <algorithm>

#include "base/ViewSettings.h"
#include "pim/OndrelClient.h"
#include "pim/SystemUtils.h"

namespace {

const DWORD kColourChoices[] = {0x40000, 0x80000, 0, 0x20000, 0x10000};
// A PhatNotes that does not answer must not hold the Today screen.
const UINT kSendTimeout = 5000;

HWND FindWithClient() { return COndrelClient::Instance().GetNotesWindow(); }
void RealPause(DWORD milliseconds) { ::Sleep(milliseconds); }

CPhatNotesSource::PFN_FIND_NOTES_WINDOW g_finder = FindWithClient;
CPhatNotesSource::PFN_PAUSE g_pause = RealPause;

BOOL SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout, &result)) return FALSE;
  *answer = static_cast<LRESULT>(result);
  return TRUE;
}

}  // namespace

CPhatNotesSource& GetPhatNotesSource() {
  static CPhatNotesSource source;
  return source;
}

CPhatNotesSource::~CPhatNotesSource() { Unload(); }

BOOL CPhatNotesSource::Load(HWND window) {
  Unload();
  m_window = window;
  // PhatNotes may keep no index; its databases are found by their type all the same.
  m_index.Open(window);
  for (const CString& name : CPhatNotesIndex::EnumerateDatabases()) {
    CCeDatabase* database = new CCeDatabase(name, this);
    if (database->Open(window) && !DatabaseOf(database->GetOid())) m_databases.push_back(database);
    else delete database;
  }
  m_loaded = TRUE;
  return !m_databases.empty();
}

void CPhatNotesSource::DropRecords() {
  std::vector<CPhatNoteRecord*> records;
  records.swap(m_records);
  for (CPhatNoteRecord* record : records) record->Release();
  m_read = FALSE;
  m_cursor = -1;
}

void CPhatNotesSource::Unload() {
  DropRecords();
  std::vector<CCeDatabase*> databases;
  databases.swap(m_databases);
  for (CCeDatabase* database : databases) delete database;
  m_index.Close();
  m_loaded = FALSE;
  m_window = nullptr;
}

void CPhatNotesSource::ReadAll() {
  DropRecords();
  m_read = TRUE;
  CCeDbApi* api = GetCeDbApi();
  for (CCeDatabase* database : m_databases) {
    if (!database->IsOpen()) continue;
    DWORD index = 0;
    for (CEOID oid = api->Seek(database->GetHandle(), CEDB_SEEK_BEGINNING, 0, &index); oid;) {
      // A record that cannot be read is left out; the walk goes on after it.
      if (CPhatNoteRecord* note = CPhatNoteRecord::Read(database->GetHandle(), database->GetOid(), oid))
        m_records.push_back(note);
      api->Seek(database->GetHandle(), CEDB_SEEK_CEOID, oid, &index);
      oid = api->Seek(database->GetHandle(), CEDB_SEEK_CURRENT, 1, &index);
    }
  }
}

BOOL CPhatNotesSource::GetFirst(CPhatNoteRecord** note) {
  m_cursor = -1;
  if (!m_loaded || !GetViewSettings().PhatNotesEnabled) return FALSE;
  if (!m_read) ReadAll();
  m_cursor = 0;
  return GetNext(note);
}

BOOL CPhatNotesSource::GetNext(CPhatNoteRecord** note) {
  if (m_cursor < 0 || m_cursor >= static_cast<int>(m_records.size())) {
    m_cursor = -1;
    return FALSE;
  }
  if (note) *note = m_records[static_cast<size_t>(m_cursor)];
  ++m_cursor;
  return TRUE;
}

void CPhatNotesSource::GetFolderNames(std::vector<CString>& names, BOOL skipEmpty) {
  if (m_loaded && !m_read && GetViewSettings().PhatNotesEnabled) ReadAll();
  BOOL emptyAdded = FALSE;
  for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) {
    const CString& folder = (*it)->folder;
    if (folder.IsEmpty()) {
      if (!skipEmpty && !emptyAdded) names.push_back(CString());
      emptyAdded = TRUE;
      continue;
    }
    if (std::find_if(names.begin(), names.end(), [&folder](const CString& name) { return name == folder; }) ==
        names.end())
      names.push_back(folder);
  }
}

int CPhatNotesSource::Find(CEOID databaseOid, CEOID recordOid) const {
  for (size_t i = 0; i < m_records.size(); ++i)
    if (m_records[i]->databaseOid == databaseOid && m_records[i]->recordOid == recordOid) return static_cast<int>(i);
  return -1;
}

CCeDatabase* CPhatNotesSource::DatabaseOf(CEOID databaseOid) const {
  for (CCeDatabase* database : m_databases)
    if (database->GetOid() == databaseOid) return database;
  return nullptr;
}

void CPhatNotesSource::OnRecordChanged(CCeDatabase* database, CEOID recordOid) {
  const int index = Find(database->GetOid(), recordOid);
  CPhatNoteRecord* fresh = CPhatNoteRecord::Read(database->GetHandle(), database->GetOid(), recordOid);
  if (index < 0) {
    if (!fresh) return;
    m_records.push_back(fresh);
    for (IPhatNotesListener* listener : m_listeners) listener->OnPhatNoteAdded(fresh);
    return;
  }
  CPhatNoteRecord* old = m_records[static_cast<size_t>(index)];
  if (fresh) {
    m_records[static_cast<size_t>(index)] = fresh;
    for (IPhatNotesListener* listener : m_listeners) listener->OnPhatNoteChanged(fresh, old);
  } else {
    m_records.erase(m_records.begin() + index);
    for (IPhatNotesListener* listener : m_listeners) listener->OnPhatNoteRemoved(old);
  }
  old->Release();
}

void CPhatNotesSource::OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) {
  if (!m_loaded || !notification || !database) return;
  // Records not read yet are read whole on the next GetFirst.
  if (!m_read && notification->uType != DB_NOTIFY_DATABASE_CHANGED) return;
  switch (notification->uType) {
    case DB_CEOID_CREATED:
    case DB_CEOID_CHANGED:
      OnRecordChanged(database, notification->oid);
      break;
    case DB_CEOID_RECORD_DELETED: {
      const int index = Find(database->GetOid(), notification->oid);
      if (index < 0) break;
      CPhatNoteRecord* old = m_records[static_cast<size_t>(index)];
      m_records.erase(m_records.begin() + index);
      for (IPhatNotesListener* listener : m_listeners) listener->OnPhatNoteRemoved(old);
      old->Release();
      break;
    }
    case DB_NOTIFY_DATABASE_CHANGED:
      DropRecords();
      for (IPhatNotesListener* listener : m_listeners) listener->OnPhatNoteChanged(nullptr, nullptr);
      break;
    default:
      break;
  }
}

BOOL CPhatNotesSource::DeleteNote(CPhatNoteRecord* note) {
  if (!note) return FALSE;
  const int index = Find(note->databaseOid, note->recordOid);
  CCeDatabase* database = DatabaseOf(note->databaseOid);
  if (index < 0 || !database) return FALSE;
  CPhatNoteRecord* held = m_records[static_cast<size_t>(index)];
  m_records.erase(m_records.begin() + index);
  for (IPhatNotesListener* listener : m_listeners) listener->OnPhatNoteRemoved(held);
  const BOOL deleted = GetCeDbApi()->DeleteRecord(database->GetHandle(), held->recordOid);
  held->Release();
  return deleted;
}

BOOL CPhatNotesSource::WriteChange(CPhatNoteRecord* note, DWORD mask, DWORD value) {
  if (!note) return FALSE;
  CCeDatabase* database = DatabaseOf(note->databaseOid);
  if (!database || Find(note->databaseOid, note->recordOid) < 0) return FALSE;
  note->flags = (note->flags & ~mask) | value | CPhatNoteRecord::kChangedBit;
  const BOOL written = note->WriteFlags(database->GetHandle());
  // The list shows the change now, not when the store's notification comes.
  OnRecordChanged(database, note->recordOid);
  return written;
}

BOOL CPhatNotesSource::SetPriority(CPhatNoteRecord* note, int choice) {
  if (choice < -1 || choice > 1) return FALSE;
  const DWORD value = choice < 0   ? static_cast<DWORD>(CPhatNoteRecord::kPriorityLow)
                      : choice > 0 ? static_cast<DWORD>(CPhatNoteRecord::kPriorityHigh)
                                   : 0;
  return WriteChange(note, CPhatNoteRecord::kPriorityMask, value);
}

BOOL CPhatNotesSource::SetColour(CPhatNoteRecord* note, int choice) {
  if (choice < 0 || choice >= static_cast<int>(ARRAYSIZE(kColourChoices))) return FALSE;
  return WriteChange(note, CPhatNoteRecord::kColourMask, kColourChoices[choice]);
}

BOOL CPhatNotesSource::ReadText(const CPhatNoteRecord* note, CString& text) {
  text.Empty();
  CCeDatabase* database = note ? DatabaseOf(note->databaseOid) : nullptr;
  return database && CPhatNoteRecord::ReadText(database->GetHandle(), note->recordOid, text);
}

void CPhatNotesSource::SetWindowFinder(PFN_FIND_NOTES_WINDOW finder, PFN_PAUSE pause) {
  g_finder = finder ? finder : FindWithClient;
  g_pause = pause ? pause : RealPause;
}

BOOL CPhatNotesSource::OpenInPhatNotes(CEOID recordOid, CEOID databaseOid) {
  HWND window = g_finder();
  if (!window || !::IsWindow(window)) return FALSE;
  LRESULT answer = 0;
  if (!SendTo(window, kMsgPrepare, 1, 0, &answer)) return FALSE;
  if (answer) g_pause(500);
  // The odd handle brings the window's owned windows along.
  ::SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) | 1));
  if (!SendTo(window, kMsgSelectDatabase, 0, static_cast<LPARAM>(databaseOid), &answer) || !answer) return FALSE;
  return ::PostMessageW(window, kMsgOpenRecord, 0, static_cast<LPARAM>(recordOid));
}

void CPhatNotesSource::AddListener(IPhatNotesListener* listener) {
  if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
    m_listeners.push_back(listener);
}

void CPhatNotesSource::RemoveListener(IPhatNotesListener* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

int IsPhatNotesInstalled(int* identifier) { return FindPhatNotesKey(identifier, nullptr); }
