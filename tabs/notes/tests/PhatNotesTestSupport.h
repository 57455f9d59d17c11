// PhatNotes' databases as PhatNotes writes them, made in the test program's own device
// root: one record per note with the properties PhatNotes stores.
#pragma once
#include <windows.h>

#include <utility>
#include <vector>

#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "tabs/notes/PhatNotesSource.h"

#include <gtest/gtest.h>

namespace phatnotestest {

using cedbtest::Blob;
using cedbtest::CreateDb;
using cedbtest::Long;
using cedbtest::Text;
using cedbtest::ULong;

// The notes database as PhatNotes writes it: one record per note.
struct NoteFixture {
  const wchar_t* title = L"";
  const wchar_t* folder = nullptr;
  DWORD flags = 0;
  const wchar_t* text = L"";
  const wchar_t* extra = nullptr;
  DWORD marker = 0;
  std::vector<DWORD> values;
  bool withTime = true;
};

inline NoteFixture Note(const wchar_t* title, const wchar_t* folder, DWORD flags = 0) {
  NoteFixture note;
  note.title = title;
  note.folder = folder;
  note.flags = flags;
  return note;
}

inline CEPROPVAL Time(WORD id, ULONGLONG value) {
  CEPROPVAL p{};
  p.propid = MAKELONG(CEVT_FILETIME, id);
  p.val.filetime.dwLowDateTime = static_cast<DWORD>(value);
  p.val.filetime.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return p;
}

// 2026-03-01 12:00 UTC as a FILETIME.
const ULONGLONG kMarchFirst = 134166672000000000ULL;

class PhatNotesFixture {
 public:
  PhatNotesFixture() { CREATE_SYSTEMGUID(&m_store); }
  ~PhatNotesFixture() {
    for (HANDLE db : m_open) CloseHandle(db);
    for (CEOID oid : m_created) CeDeleteDatabaseEx(&m_store, oid);
  }
  // A database of the given type, open for writing.
  HANDLE Database(const wchar_t* name, DWORD type = CPhatNotesSource::kDatabaseType) {
    CEOID oid = CreateDb(&m_store, name, {}, type);
    EXPECT_NE(oid, 0u) << name;
    m_created.push_back(oid);
    HANDLE db = CeOpenDatabaseEx(&m_store, &oid, nullptr, 0, 0, nullptr);
    EXPECT_NE(db, INVALID_HANDLE_VALUE);
    m_open.push_back(db);
    return db;
  }
  CEOID Write(HANDLE db, const NoteFixture& note, CEOID oid = 0) {
    std::vector<CEPROPVAL> values = {Long(0, 7), Text(2, note.title), Text(4, note.text), ULong(6, note.flags),
                                     ULong(8, note.marker)};
    if (note.folder) values.push_back(Text(3, note.folder));
    if (note.extra) values.push_back(Text(7, note.extra));
    if (note.withTime) {
      values.push_back(Time(1, kMarchFirst - 864000000000ULL));
      values.push_back(Time(2, kMarchFirst));
    }
    if (!note.values.empty())
      values.push_back(Blob(0x000B, note.values.data(), static_cast<DWORD>(note.values.size() * sizeof(DWORD))));
    return CeWriteRecordProps(db, oid, static_cast<WORD>(values.size()), values.data());
  }
  // An entry of PhatNotes' index of its notebooks; a null text is left out.
  CEOID WriteIndexEntry(HANDLE db, const wchar_t* displayName, const wchar_t* databaseName, bool withTime = true) {
    std::vector<CEPROPVAL> values;
    if (displayName) values.push_back(Text(0x78, displayName));
    if (databaseName) values.push_back(Text(0x6E, databaseName));
    if (withTime) values.push_back(Time(0x82, kMarchFirst));
    return CeWriteRecordProps(db, 0, static_cast<WORD>(values.size()), values.data());
  }
  DWORD FlagsOf(HANDLE db, CEOID oid) {
    CEPROPID id = CPhatNoteRecord::kPropFlags;
    WORD count = 1;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    if (!CeSeekDatabase(db, CEDB_SEEK_CEOID, oid, nullptr)) return 0xFFFFFFFF;
    if (!CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, &id, &buffer, &size)) return 0xFFFFFFFF;
    DWORD flags = reinterpret_cast<CEPROPVAL*>(buffer)->val.ulVal;
    LocalFree(buffer);
    return flags;
  }

 private:
  CEGUID m_store;
  std::vector<CEOID> m_created;
  std::vector<HANDLE> m_open;
};

// A stand-in for PhatNotes' main window: keeps the messages it gets.
struct NotesWindow {
  static inline NotesWindow* current = nullptr;
  HWND hwnd = nullptr;
  LRESULT prepareAnswer = 1;
  LRESULT databaseAnswer = 1;
  std::vector<std::pair<UINT, LPARAM>> received;

  NotesWindow() {
    static const ATOM atom = [] {
      WNDCLASSW info = {};
      info.lpfnWndProc = Proc;
      info.hInstance = GetModuleHandleW(nullptr);
      info.lpszClassName = L"MainNotesWindow";
      return RegisterClassW(&info);
    }();
    current = this;
    hwnd = CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  ~NotesWindow() {
    DestroyWindow(hwnd);
    current = nullptr;
  }
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (current && message >= 1665 && message <= 1670) {
      current->received.emplace_back(message, message == 1670 ? static_cast<LPARAM>(wParam) : lParam);
      if (message == 1670) return current->prepareAnswer;
      if (message == 1666) return current->databaseAnswer;
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
};
}  // namespace phatnotestest
