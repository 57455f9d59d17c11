#include "base/SortedStringList.h"

#include "base/RegKey.h"

#include <new>
#include <utility>

const wchar_t* const CSortedStringList::DefaultRegistryPath = TARVO_PRODUCT_KEY L"\\Filters";

CTaggedBlobList::CTaggedBlobList(LPCWSTR key, LPCWSTR registryPath) : m_key(key), m_registryPath(registryPath) {}

BOOL CTaggedBlobList::Save() const {
  CString text;
  for (int i = 0; i < GetCount(); ++i) {
    if (i) text += L'|';
    text += (*this)[i].ToText();
  }
  CRegKey key(HKEY_LOCAL_MACHINE, m_registryPath);
  return key.SetString(m_key, text);
}

BOOL CTaggedBlobList::Load() {
  RemoveAll();
  CRegKey key(HKEY_LOCAL_MACHINE, m_registryPath, FALSE);
  if (!key.ValueExists(m_key)) return FALSE;
  CString text = key.QueryString(m_key);
  // Names may hold '|': records are read by their length prefixes, each
  // followed by '|' or the end.
  for (LPCWSTR at = text; *at;) {
    CTaggedBlob blob;
    int used = 0;
    if (!blob.FromText(at, &used) || (at[used] && at[used] != L'|') || !Add(blob)) {
      RemoveAll();
      return FALSE;
    }
    at += used;
    if (*at) ++at;
  }
  return TRUE;
}

CSortedStringList& CSortedStringList::Instance() {
  static CSortedStringList table;
  return table;
}

CTaggedBlobList* CSortedStringList::GetList(LPCWSTR key) {
  int at = m_lists.FindKey(key);
  if (at >= 0) return m_lists.GetValueAt(at);
  auto* list = new (std::nothrow) CTaggedBlobList(key, m_registryPath);
  if (list && !m_lists.Add(key, list)) {
    delete list;
    list = nullptr;
  }
  // A list is read once, when first asked for; from then on the table's copy is the
  // one every user changes and SaveAll writes.
  if (list) list->Load();
  return list;
}

int CSortedStringList::GetSorted(LPCWSTR key, CSimpleArray<CNameIndex>& out) {
  out.RemoveAll();
  CTaggedBlobList* list = GetList(key);
  for (int i = 0; list && i < list->GetCount(); ++i) out.Add(CNameIndex{(*list)[i].GetName(), i});
  return SortStrings(out);
}

int CSortedStringList::SortStrings(CSimpleArray<CNameIndex>& pairs) {
  const DWORD flags = NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH;
  for (int i = 0; i < pairs.GetSize(); ++i)
    for (int j = i + 1; j < pairs.GetSize(); ++j)
      if (CompareStringW(LOCALE_USER_DEFAULT, flags, pairs[i].name, -1, pairs[j].name, -1) == CSTR_GREATER_THAN)
        std::swap(pairs[i], pairs[j]);
  return pairs.GetSize();
}

void CSortedStringList::SaveAll() {
  for (int i = 0; i < m_lists.GetSize(); ++i) {
    m_lists.GetValueAt(i)->Save();
    delete m_lists.GetValueAt(i);
  }
  m_lists.RemoveAll();
}
