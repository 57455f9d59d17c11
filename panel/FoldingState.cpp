#include "panel/FoldingState.h"

#include <algorithm>
#include <cwchar>

#include "base/RegKey.h"

CFoldingState::~CFoldingState() { Save(); }

void CFoldingState::Load(int tabId, int filterChoice) {
  m_valueName.Format(L"FoldingState%dv%d", tabId, filterChoice % 65536);
  m_keys.clear();
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  m_text = key.GetString(m_valueName, L"");
  const WCHAR* p = m_text;
  while (*p) {
    const WCHAR* end = wcschr(p, L',');
    if (!end) end = p + wcslen(p);
    // Another program may have written the keys in any order or twice.
    const CString one(p, static_cast<int>(end - p));
    if (!one.IsEmpty()) Set(one, TRUE);
    p = *end ? end + 1 : end;
  }
}

size_t CFoldingState::LowerBound(LPCWSTR key) const {
  return std::lower_bound(m_keys.begin(), m_keys.end(), key,
                          [](const CString& a, LPCWSTR b) { return wcscmp(a, b) < 0; }) -
         m_keys.begin();
}

BOOL CFoldingState::Query(LPCWSTR key) const {
  if (!key) return FALSE;
  const size_t at = LowerBound(key);
  return at < m_keys.size() && wcscmp(m_keys[at], key) == 0;
}

CString CFoldingState::NumberKey(int number) {
  CString key;
  key.Format(L"%d", number);
  return key;
}

BOOL CFoldingState::QueryNumber(int number) const { return Query(NumberKey(number)); }

void CFoldingState::Set(LPCWSTR key, BOOL folded) {
  if (!key) return;
  const size_t at = LowerBound(key);
  const bool present = at < m_keys.size() && wcscmp(m_keys[at], key) == 0;
  if (folded && !present)
    m_keys.insert(m_keys.begin() + at, CString(key));
  else if (!folded && present)
    m_keys.erase(m_keys.begin() + at);
}

void CFoldingState::SetNumber(int number, BOOL folded) { Set(NumberKey(number), folded); }

void CFoldingState::Save() {
  if (m_valueName.IsEmpty()) return;
  CString joined;
  for (size_t i = 0; i < m_keys.size(); ++i) {
    if (i) joined += L',';
    joined += m_keys[i];
  }
  if (joined.Compare(m_text) == 0) return;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  if (key.SetString(m_valueName, joined)) m_text = joined;
}
