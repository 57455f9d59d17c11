#include "tabs/messages/RecentFolderList.h"

#include <cstring>

namespace {

BOOL SameFolder(const CTaggedBlob& a, const CTaggedBlob& b) {
  return a.GetKind() == b.GetKind() && a.GetSize() == b.GetSize() &&
         (a.GetSize() == 0 || std::memcmp(a.GetData(), b.GetData(), a.GetSize()) == 0);
}

}  // namespace

CRecentFolderList::CRecentFolderList(CSortedStringList* table)
    : m_table(table ? table : &CSortedStringList::Instance()) {}

BOOL CRecentFolderList::Load(LPCWSTR account) {
  m_list = m_table->GetList(account ? account : L"");
  return m_list != nullptr;
}

BOOL CRecentFolderList::Save() { return m_list && m_list->Save(); }

BOOL CRecentFolderList::InsertFront(const CTaggedBlob& folder) {
  if (!m_list) return FALSE;
  CTaggedBlobArray kept;
  if (!kept.Add(folder)) return FALSE;
  for (int i = 0; i < m_list->GetCount() && kept.GetCount() < kMaxEntries; ++i)
    if (!SameFolder((*m_list)[i], folder) && !kept.Add((*m_list)[i])) return FALSE;
  m_list->RemoveAll();
  for (int i = 0; i < kept.GetCount(); ++i) m_list->Add(kept[i]);
  return TRUE;
}

int CRecentFolderList::GetCount() const {
  if (!m_list) return 0;
  return m_list->GetCount() < kMaxEntries ? m_list->GetCount() : static_cast<int>(kMaxEntries);
}

BOOL CRecentFolderList::GetAt(int index, CTaggedBlob& out) const {
  if (index < 0 || index >= GetCount()) return FALSE;
  out = (*m_list)[index];
  return TRUE;
}

int CRecentFolderList::GetSorted(CSimpleArray<CNameIndex>& out) const {
  out.RemoveAll();
  for (int i = 0; i < GetCount(); ++i) out.Add(CNameIndex{(*m_list)[i].GetName(), i});
  return CSortedStringList::SortStrings(out);
}
