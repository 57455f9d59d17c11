// Category stores written as the object model writes them, for the tests of the
// categories list and of what builds on it.
#pragma once
#include <windows.h>

#include <cwchar>
#include <vector>

#include "pim/CategoriesList.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"

namespace cattest {


inline const wchar_t* MainName(bool newer) { return newer ? L"CategoryMainDB" : L"\\Categories Database"; }

inline HANDLE OpenRaw(bool newer, const wchar_t* name, bool create) {
  CEGUID guid = pimtest::LayoutGuid(newer);
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(name), nullptr, CEDB_AUTOINCREMENT, nullptr);
  if (h != INVALID_HANDLE_VALUE || !create) return h;
  // As the object model makes them: the associations sorted by item.
  if (wcscmp(name, L"CategoryAssocDB") == 0)
    cedbtest::CreateDb(&guid, name, {{kCategoryAssocItem, 0}});
  else
    cedbtest::CreateDb(&guid, name, {});
  return CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(name), nullptr, CEDB_AUTOINCREMENT, nullptr);
}

inline CEOID WriteValues(bool newer, const wchar_t* table, std::vector<CEPROPVAL> values, CEOID oid = 0) {
  HANDLE h = OpenRaw(newer, table, true);
  if (h == INVALID_HANDLE_VALUE) return 0;
  CEOID written = CeWriteRecordProps(h, oid, static_cast<WORD>(values.size()), values.data());
  CloseHandle(h);
  return written;
}

// A category record exactly as the object model writes one.
inline CEOID WriteCategory(bool newer, const wchar_t* name, long id, CEOID oid = 0) {
  std::vector<CEPROPVAL> values;
  if (newer) {
    CEPROPVAL key = cedbtest::Long(1, id);
    key.propid = kCategoryMainId;
    values = {key, cedbtest::Text(2, name), cedbtest::Long(3, 0)};
  } else {
    values = {cedbtest::Text(0x4001, name), cedbtest::Short(0x4002, static_cast<short>(id))};
    for (WORD p = 0x4003; p <= 0x4006; ++p) values.push_back(cedbtest::Short(p, static_cast<short>(p - 0x4000)));
  }
  return WriteValues(newer, MainName(newer), values, oid);
}

inline CEOID WriteAssociation(DWORD item, long category) {
  return WriteValues(true, L"CategoryAssocDB", {cedbtest::ULong(1, item), cedbtest::Long(2, category)});
}

inline bool DeleteRecord(bool newer, const wchar_t* table, CEOID oid) {
  HANDLE h = OpenRaw(newer, table, false);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = CeDeleteRecord(h, oid) != FALSE;
  CloseHandle(h);
  return ok;
}

}  // namespace cattest
