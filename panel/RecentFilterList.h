// CRecentFilterList: the filters a tab showed last, as slot indices of the stored filter
// set, most recent first; kept under the filters key as decimal indices joined by ",".
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlib/String.h"

class CTabFilterSet;

// The key of the stored filters and recent lists under HKEY_LOCAL_MACHINE.
#define TARVO_FILTERS_KEY L"\\Software\\Korvel\\Qel Tarvo\\Filters"

class CRecentFilterList {
 public:
  CRecentFilterList() = default;

  // Reads the value (created empty when missing). Anything but non-negative decimal
  // numbers between the commas is skipped.
  void Load(LPCWSTR valueName);
  BOOL Save() const;
  // Every occurrence is removed, then the index is put first.
  void MoveToFront(int index);
  void Remove(int index);
  // Removes every entry that is not a used slot of the set; whether anything went.
  BOOL Prune(const CTabFilterSet& set);

  int GetCount() const { return static_cast<int>(m_entries.size()); }
  int GetAt(int position) const { return m_entries[position]; }
  const CString& GetValueName() const { return m_valueName; }
  CString ToText() const;

 private:
  std::vector<int> m_entries;
  CString m_valueName;
};
