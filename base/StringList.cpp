#include "base/StringList.h"

#include <new>
#include <utility>

CStringList::CStringList(const CStringList& src) {
  if (src.m_capacity > 0 && Reserve(src.m_capacity))
    for (int i = 0; i < src.m_count; ++i) new (&m_items[m_count++]) CString(src.m_items[i]);
}

CStringList& CStringList::operator=(const CStringList& src) {
  if (this != &src) {
    RemoveAll();
    if (src.m_capacity > 0 && Reserve(src.m_capacity))
      for (int i = 0; i < src.m_count; ++i) new (&m_items[m_count++]) CString(src.m_items[i]);
  }
  return *this;
}

BOOL CStringList::Reserve(int capacity) {
  if (capacity <= m_capacity) return TRUE;
  if (static_cast<size_t>(capacity) > (size_t(-1) >> 1) / sizeof(CString)) return FALSE;
  auto* items = static_cast<CString*>(::operator new(sizeof(CString) * capacity, std::nothrow));
  if (!items) return FALSE;
  for (int i = 0; i < m_count; ++i) {
    new (&items[i]) CString(std::move(m_items[i]));
    m_items[i].~CString();
  }
  ::operator delete(m_items);
  m_items = items;
  m_capacity = capacity;
  return TRUE;
}

BOOL CStringList::Add(const CString& text) {
  if (m_count == m_capacity) {
    CString copy(text);  // text may live in this list
    if (!Reserve(m_capacity == 0 ? 1 : m_capacity * 2)) return FALSE;
    new (&m_items[m_count++]) CString(std::move(copy));
    return TRUE;
  }
  new (&m_items[m_count++]) CString(text);
  return TRUE;
}

BOOL CStringList::InsertAt(int index, const CString& text) {
  if (index < 0 || index > m_count || !Add(text)) return FALSE;
  for (int i = m_count - 1; i > index; --i) std::swap(m_items[i], m_items[i - 1]);
  return TRUE;
}

BOOL CStringList::RemoveAt(int index) {
  if (index < 0 || index >= m_count) return FALSE;
  for (int i = index; i + 1 < m_count; ++i) m_items[i] = std::move(m_items[i + 1]);
  m_items[--m_count].~CString();
  return TRUE;
}

void CStringList::RemoveAll() {
  for (int i = 0; i < m_count; ++i) m_items[i].~CString();
  ::operator delete(m_items);
  m_items = nullptr;
  m_capacity = m_count = 0;
}

int FindText(const CStringList& list, LPCWSTR text) {
  for (int i = 0; i < list.GetCount(); ++i)
    if (list[i] == (text ? text : L"")) return i;
  return -1;
}

int RemoveAllEqual(CStringList& list, LPCWSTR text) {
  int removed = 0;
  for (int i = list.GetCount() - 1; i >= 0; --i)
    if (list[i] == (text ? text : L"")) {
      list.RemoveAt(i);
      ++removed;
    }
  return removed;
}

BOOL InsertMostRecent(CStringList& list, LPCWSTR text) {
  CString copy(text);  // text may point into an entry about to go
  RemoveAllEqual(list, copy);
  return list.InsertAt(0, copy);
}

void CopyFirstEntries(const CStringList& source, CStringList& target, int n) {
  if (&source == &target) {
    while (target.GetCount() > (n < 0 ? 0 : n)) target.RemoveAt(target.GetCount() - 1);
    return;
  }
  target.RemoveAll();
  for (int i = 0; i < n && i < source.GetCount(); ++i) target.Add(source[i]);
}

CStringVector::CStringVector(int count)
    : m_items(count > 0 ? new (std::nothrow) CString[count] : nullptr), m_count(count) {}

void AddBackslash(CString& path) {
  int length = path.GetLength();
  if (length > 0 && path[length - 1] != L'\\') path += L'\\';
}
