// CFilterList: a named list of texts kept as one REG_SZ value under the product's
// "Filters" key, the entries joined by '|' (recent account filters, the Notes tab's
// recent folders, the hidden note folders).
#pragma once
#include <windows.h>

#include "base/StringList.h"

class CFilterList {
 public:
  CFilterList() = default;
  CFilterList(const CFilterList&) = delete;
  CFilterList& operator=(const CFilterList&) = delete;

  // Remembers the value name and reads the value (missing: no entries). Every '|'
  // ends one entry, so an empty piece before a '|' is an entry and a trailing '|'
  // adds none. FALSE when the value was missing or unreadable (the list is empty).
  BOOL Load(LPCWSTR valueName);
  // Joins the entries, a '|' before an entry only once the text so far is not empty
  // (so leading empty entries vanish), and writes the value. FALSE when not written
  // or before any Load.
  BOOL Save() const;

  CStringList& Entries() { return m_entries; }
  const CStringList& Entries() const { return m_entries; }
  const CString& GetValueName() const { return m_valueName; }
  int GetCount() const { return m_entries.GetCount(); }
  int Find(LPCWSTR text) const { return FindText(m_entries, text); }

  // The registry value's text for entries (what Save writes) and the entries a text
  // holds (what Load reads).
  static CString Join(const CStringList& entries);
  static void Split(LPCWSTR text, CStringList& entries);

  // Where the values live: "\Software\Korvel\Qel Tarvo\Filters" of HKEY_LOCAL_MACHINE.
  static const wchar_t* const kKeyPath;

 private:
  CStringList m_entries;
  CString m_valueName;
};
