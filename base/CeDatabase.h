// A database opened by name whose change notifications go to a window; the window's
// owner hands each WM_DBNOTIFICATION back to the database it names (the request's
// parameter), which passes it on to its sink.
#pragma once
#include <windows.h>

#include <vector>

#include "base/CeDbApi.h"
#include "platform/windowlib/String.h"

class CCeDatabase;

class ICeDatabaseSink {
 public:
  virtual void OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) = 0;

 protected:
  ~ICeDatabaseSink() = default;
};

class CCeDatabase {
 public:
  // No volume: the object store (with the classic functions also every mounted volume).
  CCeDatabase(LPCWSTR name, ICeDatabaseSink* sink, const CEGUID* volume = nullptr, BOOL autoIncrement = FALSE,
              CEPROPID sortPropId = 0);
  virtual ~CCeDatabase();
  CCeDatabase(const CCeDatabase&) = delete;
  CCeDatabase& operator=(const CCeDatabase&) = delete;

  // With a window, every change of the database is posted to it as WM_DBNOTIFICATION.
  BOOL Open(HWND window = nullptr);
  void Close();
  BOOL IsOpen() const { return m_db != INVALID_HANDLE_VALUE; }

  // Passes the notification to the sink; frees it unless keep is set.
  virtual void OnNotification(CENOTIFICATION* notification, BOOL keep = FALSE);
  // The database a notification's request names, or null. The parameter is only a
  // number to compare: a notification still queued for a database already deleted, or
  // one posted by another program, names no live object and gives null.
  static CCeDatabase* FromNotification(const CENOTIFICATION* notification);

  HANDLE GetHandle() const { return m_db; }
  CEOID GetOid() const { return m_oid; }
  LPCWSTR GetName() const { return m_name; }
  const CEGUID& GetVolume() const { return m_volume; }

 private:
  CEGUID m_volume;
  ICeDatabaseSink* m_sink;
  HANDLE m_db;
  CEOID m_oid;
  CString m_name;
  CENOTIFYREQUEST m_request;
  BOOL m_autoIncrement;
  CEPROPID m_sortPropId;
};

// Owns its databases. The finders give the last match, names compared with case.
class CCeDatabaseList {
 public:
  CCeDatabaseList() = default;
  ~CCeDatabaseList();
  CCeDatabaseList(const CCeDatabaseList&) = delete;
  CCeDatabaseList& operator=(const CCeDatabaseList&) = delete;

  void Add(CCeDatabase* database) { m_databases.push_back(database); }
  int GetCount() const { return static_cast<int>(m_databases.size()); }
  CCeDatabase* GetAt(int index) const { return m_databases[index]; }
  CCeDatabase* FindByName(LPCWSTR name) const;
  CCeDatabase* FindByHandle(HANDLE db) const;
  CCeDatabase* FindByOid(CEOID oid) const;

 private:
  std::vector<CCeDatabase*> m_databases;
};
