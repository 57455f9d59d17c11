#include "base/CeDatabase.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Every database object alive in this process: what a notification's parameter is
// checked against before it is taken for an object.
std::mutex g_liveLock;
std::vector<const CCeDatabase*> g_live;

}  // namespace

CCeDatabase::CCeDatabase(LPCWSTR name, ICeDatabaseSink* sink, const CEGUID* volume, BOOL autoIncrement,
                         CEPROPID sortPropId)
    : m_volume(),
      m_sink(sink),
      m_db(INVALID_HANDLE_VALUE),
      m_oid(static_cast<CEOID>(-1)),
      m_name(name ? name : L""),
      m_request(),
      m_autoIncrement(autoIncrement),
      m_sortPropId(sortPropId) {
  if (volume) m_volume = *volume;
  std::lock_guard<std::mutex> hold(g_liveLock);
  g_live.push_back(this);
}

CCeDatabase::~CCeDatabase() {
  Close();
  std::lock_guard<std::mutex> hold(g_liveLock);
  g_live.erase(std::remove(g_live.begin(), g_live.end(), this), g_live.end());
}

CCeDatabase* CCeDatabase::FromNotification(const CENOTIFICATION* notification) {
  if (!notification) return nullptr;
  std::lock_guard<std::mutex> hold(g_liveLock);
  for (const CCeDatabase* database : g_live) {
    if (reinterpret_cast<DWORD_PTR>(database) == notification->dwParam) return const_cast<CCeDatabase*>(database);
  }
  return nullptr;
}

BOOL CCeDatabase::Open(HWND window) {
  Close();
  memset(&m_request, 0, sizeof m_request);
  m_request.dwSize = sizeof m_request;
  m_request.hwnd = window;
  m_request.dwFlags = CEDB_EXNOTIFICATION;
  m_request.dwParam = reinterpret_cast<DWORD_PTR>(this);
  CEOID oid = 0;
  bool noVolume = !m_volume.Data1 && !m_volume.Data2 && !m_volume.Data3 && !m_volume.Data4;
  m_db = GetCeDbApi()->OpenDatabaseByName(m_name, m_autoIncrement, m_sortPropId, window ? &m_request : nullptr,
                                          &oid, noVolume ? nullptr : &m_volume);
  if (m_db == INVALID_HANDLE_VALUE) return FALSE;
  m_oid = oid;
  return TRUE;
}

void CCeDatabase::Close() {
  if (m_db != INVALID_HANDLE_VALUE) CloseHandle(m_db);
  m_db = INVALID_HANDLE_VALUE;
}

void CCeDatabase::OnNotification(CENOTIFICATION* notification, BOOL keep) {
  if (m_sink) m_sink->OnDatabaseNotification(notification, this);
  if (!keep) CeFreeNotification(&m_request, notification);
}

CCeDatabaseList::~CCeDatabaseList() {
  for (CCeDatabase* database : m_databases) delete database;
}

CCeDatabase* CCeDatabaseList::FindByName(LPCWSTR name) const {
  for (auto it = m_databases.rbegin(); it != m_databases.rend(); ++it)
    if (name && wcscmp((*it)->GetName(), name) == 0) return *it;
  return nullptr;
}

CCeDatabase* CCeDatabaseList::FindByHandle(HANDLE db) const {
  for (auto it = m_databases.rbegin(); it != m_databases.rend(); ++it)
    if ((*it)->GetHandle() == db) return *it;
  return nullptr;
}

CCeDatabase* CCeDatabaseList::FindByOid(CEOID oid) const {
  for (auto it = m_databases.rbegin(); it != m_databases.rend(); ++it)
    if ((*it)->GetOid() == oid) return *it;
  return nullptr;
}
