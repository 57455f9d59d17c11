// "Tasks Database" of the test program's own device, written as the device's tasks
// program writes it in either layout, and the layout switch.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/tests/DeviceRoot.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"

namespace tasktest {

const double kNoneStored = 949998.0;

struct StoredTask {
  const wchar_t* subject = L"";
  double start = -1;  // -1: not stored
  double due = -1;
  int importance = -2;  // -2: not stored
  BOOL complete = FALSE;
  double completedOn = 0;
  std::string note;  // bytes; empty: not stored
  BOOL reminder = FALSE;
  LONG offset = 0;       // older layout
  short reference = 1;   // older layout
  double reminderTime = 0;  // newer layout
  BOOL recurring = FALSE;
  int privateValue = 0;
  DWORD itemId = 0;  // newer layout; 0: the next one
};

inline CEPROPVAL Date(CEPROPID id, double date) {
  CEPROPVAL p{};
  p.propid = id;
  FILETIME time{};
  VariantDateToFileTime(date, &time);
  p.val.filetime = time;
  return p;
}

inline CEPROPVAL Value(CEPROPID id, LONG value) {
  CEPROPVAL p{};
  p.propid = id;
  if (TypeFromPropID(id) == CEVT_I2 || TypeFromPropID(id) == CEVT_BOOL)
    p.val.iVal = static_cast<short>(value);
  else
    p.val.lVal = value;
  return p;
}

inline CEPROPVAL Bytes(CEPROPID id, const std::string& bytes) {
  CEPROPVAL p{};
  p.propid = id;
  p.val.blob.dwCount = static_cast<DWORD>(bytes.size());
  p.val.blob.lpb = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
  return p;
}

inline CEPROPVAL Words(CEPROPID id, const wchar_t* text) {
  CEPROPVAL p{};
  p.propid = id;
  p.val.lpwstr = const_cast<LPWSTR>(text);
  return p;
}

// UTF-16 bytes of a text with its terminator.
inline std::string NoteBytes(const wchar_t* text) {
  return std::string(reinterpret_cast<const char*>(text), (wcslen(text) + 1) * sizeof(wchar_t));
}

class CTaskStore {
 public:
  explicit CTaskStore(bool newer) : m_newer(newer), m_guid(newer ? cedbtest::PimGuid() : cedbtest::SystemGuid()) {
    Clear();
    SORTORDERSPEC sort{};
    sort.propid = newer ? 0x10000066 : 0x410F0002;
    cedbtest::CreateDb(&m_guid, L"Tasks Database", {sort});
    CEOID oid = 0;
    m_db = CeOpenDatabaseEx2(&m_guid, &oid, const_cast<LPWSTR>(L"Tasks Database"), nullptr, 0, nullptr);
  }
  ~CTaskStore() {
    if (m_db != INVALID_HANDLE_VALUE) CloseHandle(m_db);
    Clear();
  }
  CTaskStore(const CTaskStore&) = delete;
  CTaskStore& operator=(const CTaskStore&) = delete;

  HANDLE Handle() const { return m_db; }
  bool Newer() const { return m_newer; }

  std::vector<CEPROPVAL> Props(const StoredTask& t, DWORD itemId) const {
    std::vector<CEPROPVAL> p;
    if (m_newer) {
      p.push_back(Value(0x10000066, static_cast<LONG>(itemId)));
      p.push_back(Words(0x0020001F, t.subject));
      if (t.start >= 0) p.push_back(Date(0x00620040, t.start));
      if (t.due >= 0) p.push_back(Date(0x00630040, t.due));
      if (t.importance != -2) p.push_back(Value(0x00600013, t.importance + 1));
      if (t.complete) p.push_back(Date(0x00640040, t.completedOn ? t.completedOn : 46000));
      if (!t.note.empty()) p.push_back(Bytes(0x001E0064, t.note));
      if (t.reminder) p.push_back(Value(0x0028000B, 1));
      if (t.reminderTime) p.push_back(Date(0x10660040, t.reminderTime));
      p.push_back(Value(0x0022000B, t.recurring));
      p.push_back(Value(0x00210013, t.privateValue));
    } else {
      p.push_back(Words(0x0037001F, t.subject));
      if (t.start >= 0) p.push_back(Date(0x41040040, t.start));
      if (t.due >= 0) p.push_back(Date(0x41050040, t.due));
      if (t.importance != -2) p.push_back(Value(0x00260003, 2 - t.importance));
      p.push_back(Value(0x410F0002, t.complete));
      if (t.complete) p.push_back(Date(0x410F0040, t.completedOn ? t.completedOn : 46000));
      if (!t.note.empty()) p.push_back(Bytes(0x00170041, t.note));
      p.push_back(Value(0x45030002, t.reminder));
      if (t.reminder) {
        p.push_back(Value(0x45010003, t.offset));
        p.push_back(Value(0x00030002, t.reference));
      }
      p.push_back(Value(0x41260002, t.recurring));
      p.push_back(Value(0x00040002, t.privateValue));
    }
    return p;
  }

  // The record's CE identifier.
  CEOID Add(const StoredTask& t) {
    std::vector<CEPROPVAL> p = Props(t, t.itemId ? t.itemId : ++m_nextItem);
    return CeWriteRecordProps(m_db, 0, static_cast<WORD>(p.size()), p.data());
  }
  CEOID Write(CEOID oid, std::vector<CEPROPVAL> values) {
    return CeWriteRecordProps(m_db, oid, static_cast<WORD>(values.size()), values.data());
  }
  // The identifier the list knows the record by: the record (older), the item (newer).
  DWORD ItemOid(CEOID record) const {
    if (!m_newer) return record;
    CEPROPID id = 0x10000066;
    WORD count = 1;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    DWORD item = 0;
    if (CeSeekDatabaseEx(m_db, CEDB_SEEK_CEOID, record, 1, nullptr) == record &&
        CeReadRecordPropsEx(m_db, CEDB_ALLOWREALLOC, &count, &id, &buffer, &size, nullptr) && count == 1)
      item = reinterpret_cast<CEPROPVAL*>(buffer)->val.ulVal | 0xC0000000;
    if (buffer) LocalFree(buffer);
    return item;
  }
  // One property of a record, or false.
  bool Read(CEOID record, CEPROPID id, CEPROPVAL* out) {
    WORD count = 1;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    bool found = false;
    if (CeSeekDatabaseEx(m_db, CEDB_SEEK_CEOID, record, 1, nullptr) == record &&
        CeReadRecordPropsEx(m_db, CEDB_ALLOWREALLOC, &count, &id, &buffer, &size, nullptr) && count == 1) {
      const CEPROPVAL* v = reinterpret_cast<CEPROPVAL*>(buffer);
      found = !(v->wFlags & CEDB_PROPNOTFOUND);
      if (found) *out = *v;
    }
    if (buffer) LocalFree(buffer);
    return found;
  }
  LONG ReadLong(CEOID record, CEPROPID id, LONG missing = -7777) {
    CEPROPVAL v{};
    if (!Read(record, id, &v)) return missing;
    return TypeFromPropID(id) == CEVT_I2 ? v.val.iVal : v.val.lVal;
  }

 private:
  void Clear() {
    CEOID oid = 0;
    HANDLE h = CeOpenDatabaseEx2(&m_guid, &oid, const_cast<LPWSTR>(L"Tasks Database"), nullptr, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    CloseHandle(h);
    CeDeleteDatabaseEx(&m_guid, oid);
  }
  bool m_newer;
  CEGUID m_guid;
  HANDLE m_db = INVALID_HANDLE_VALUE;
  DWORD m_nextItem = 100;
};

// Removes the layout's category databases.
inline void DropCategories(bool newer) {
  CEGUID guid = newer ? cedbtest::PimGuid() : cedbtest::SystemGuid();
  for (const wchar_t* name : {L"\\Categories Database", L"CategoryMainDB", L"CategoryAssocDB"}) {
    CEOID oid = 0;
    HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(name), nullptr, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) continue;
    CloseHandle(h);
    CeDeleteDatabaseEx(&guid, oid);
  }
}

}  // namespace tasktest
