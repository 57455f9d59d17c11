#include "controls/LiveElements.h"

#include <algorithm>

#include "controls/VirtualRoot.h"

CLiveElements& CLiveElements::Get() {
  static CLiveElements table;
  return table;
}

void CLiveElements::Add(CVirtualWnd* element) {
  CCriticalSectionLock lock(m_lock);
  m_elements[element] = 0;
}

void CLiveElements::Remove(CVirtualWnd* element) {
  CCriticalSectionLock lock(m_lock);
  m_elements.erase(element);
  for (CVirtualRoot* root : m_roots) root->ForgetElement(element);
}

BOOL CLiveElements::IsLive(const CVirtualWnd* element) {
  CCriticalSectionLock lock(m_lock);
  return m_elements.count(element) != 0;
}

void CLiveElements::AddRoot(CVirtualRoot* root) {
  CCriticalSectionLock lock(m_lock);
  m_roots.push_back(root);
}

void CLiveElements::RemoveRoot(CVirtualRoot* root) {
  CCriticalSectionLock lock(m_lock);
  m_roots.erase(std::remove(m_roots.begin(), m_roots.end(), root), m_roots.end());
}

void CLiveElements::AddPending(CVirtualWnd* element) {
  CCriticalSectionLock lock(m_lock);
  auto it = m_elements.find(element);
  if (it != m_elements.end()) ++it->second;
}

BOOL CLiveElements::TakePending(const CVirtualWnd* element) {
  CCriticalSectionLock lock(m_lock);
  auto it = m_elements.find(element);
  if (it == m_elements.end() || it->second <= 0) return FALSE;
  --it->second;
  return TRUE;
}
