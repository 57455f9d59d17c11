#include "tabs/messages/AccountIterator.h"

#include "base/MergeSort.h"
#include "tabs/messages/EmailsList.h"

CAccountIterator::CAccountIterator(CEmailsList& list) : m_list(list) {}

void CAccountIterator::SetFilter(const EMAIL_ACCOUNT& filter) {
  m_filter.name = filter.name;
  m_filter.folders = filter.folders;
  m_pairs.clear();
  m_built = false;
  m_next = 0;
}

void CAccountIterator::Build() {
  m_built = true;
  m_pairs.clear();
  for (int i = 0; i < m_filter.folders.GetCount(); ++i) {
    const CTaggedBlob& folder = m_filter.folders[i];
    const int index = m_list.FindOrAddStore(folder);
    if (index < 0) continue;
    m_pairs.push_back(Pair{folder.GetName(), index});
  }
  MergeSort(m_pairs.data(), static_cast<int>(m_pairs.size()), 0, [](int, const Pair& a, const Pair& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH,
                          a.folderName, -1, b.folderName, -1) -
           CSTR_EQUAL;
  });
}

BOOL CAccountIterator::GetFirst(CString& folderName, int& accountIndex) {
  if (!m_built) Build();
  m_next = 0;
  return GetNext(folderName, accountIndex);
}

BOOL CAccountIterator::GetNext(CString& folderName, int& accountIndex) {
  if (m_next >= m_pairs.size()) return FALSE;
  folderName = m_pairs[m_next].folderName;
  accountIndex = m_pairs[m_next].account;
  ++m_next;
  return TRUE;
}
