// CMruList: a most-recently-used list of texts kept in a registry key of
// HKEY_LOCAL_MACHINE as values "1", "2", ... ("1" the most recent).
#pragma once

#include "base/StringList.h"

class CMruList {
public:
  CMruList(LPCWSTR keyPath, int limit);
  virtual ~CMruList() = default;
  CMruList(const CMruList&) = delete;
  CMruList& operator=(const CMruList&) = delete;

  // Reads the values whose names start with a positive number n into slot
  // n - 1; slots 0 .. (number of such values - 1) are then taken in order,
  // missing slots and empty texts skipped. The key is created when missing.
  // Returns the count.
  int Load();
  // Writes entry i as value "i + 1" and deletes the numbered values beyond
  // the count, so nothing stale comes back on the next Load. FALSE when the
  // key cannot be opened or a value not written.
  BOOL Save() const;
  // Puts text first: moved there when present, else inserted and the oldest
  // entries dropped down to the limit.
  void Add(LPCWSTR text);
  void MoveToFront(int index);
  int Find(LPCWSTR text) const { return FindText(m_entries, text); }
  int GetCount() const { return m_entries.GetCount(); }
  CString GetAt(int index) const;
  int GetLimit() const { return m_limit; }

private:
  int m_limit;
  CString m_keyPath;
  CStringList m_entries;  // most recent first
};
