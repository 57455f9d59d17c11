#include "panel/RecentFilterList.h"

#include <algorithm>

#include "base/RegKey.h"
#include "panel/TabFilterSet.h"

void CRecentFilterList::Load(LPCWSTR valueName) {
  m_valueName = valueName;
  m_entries.clear();
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_FILTERS_KEY);
  const CString text = key.GetString(valueName, L"");
  const WCHAR* p = text;
  while (*p) {
    long long value = 0;
    BOOL digits = FALSE, bad = FALSE;
    for (; *p && *p != L','; ++p) {
      if (*p < L'0' || *p > L'9' || value > 0x7FFFFFF) {
        bad = TRUE;
        continue;
      }
      value = value * 10 + (*p - L'0');
      digits = TRUE;
    }
    if (digits && !bad) m_entries.push_back(static_cast<int>(value));
    if (*p == L',') ++p;
  }
}

CString CRecentFilterList::ToText() const {
  CString text;
  for (size_t i = 0; i < m_entries.size(); ++i) text.AppendFormat(i ? L",%d" : L"%d", m_entries[i]);
  return text;
}

BOOL CRecentFilterList::Save() const {
  if (m_valueName.IsEmpty()) return FALSE;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_FILTERS_KEY);
  return key.SetString(m_valueName, ToText());
}

void CRecentFilterList::Remove(int index) {
  m_entries.erase(std::remove(m_entries.begin(), m_entries.end(), index), m_entries.end());
}

void CRecentFilterList::MoveToFront(int index) {
  Remove(index);
  m_entries.insert(m_entries.begin(), index);
}

BOOL CRecentFilterList::Prune(const CTabFilterSet& set) {
  const size_t before = m_entries.size();
  m_entries.erase(
      std::remove_if(m_entries.begin(), m_entries.end(), [&set](int index) { return !set.IsUsed(index); }),
      m_entries.end());
  return m_entries.size() != before;
}
