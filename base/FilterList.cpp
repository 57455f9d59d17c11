#include "base/FilterList.h"

#include "base/RegKey.h"

const wchar_t* const CFilterList::kKeyPath = TARVO_PRODUCT_KEY L"\\Filters";

BOOL CFilterList::Load(LPCWSTR valueName) {
  m_valueName = valueName ? valueName : L"";
  m_entries.RemoveAll();
  if (m_valueName.IsEmpty()) return FALSE;
  CRegKey key(HKEY_LOCAL_MACHINE, kKeyPath, FALSE, FALSE);
  if (!key.IsOpen()) return FALSE;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.GetHandle(), m_valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return FALSE;
  Split(key.QueryString(m_valueName), m_entries);
  return TRUE;
}

BOOL CFilterList::Save() const {
  if (m_valueName.IsEmpty()) return FALSE;
  CRegKey key(HKEY_LOCAL_MACHINE, kKeyPath);
  return key.IsOpen() && key.SetString(m_valueName, Join(m_entries));
}

CString CFilterList::Join(const CStringList& entries) {
  CString text;
  for (int i = 0; i < entries.GetCount(); ++i) {
    if (!text.IsEmpty()) text += L'|';
    text += entries[i];
  }
  return text;
}

void CFilterList::Split(LPCWSTR text, CStringList& entries) {
  entries.RemoveAll();
  if (!text) return;
  LPCWSTR start = text;
  for (LPCWSTR p = text; *p; ++p) {
    if (*p != L'|') continue;
    entries.Add(CString(start, static_cast<int>(p - start)));
    start = p + 1;
  }
  if (*start) entries.Add(CString(start));
}
