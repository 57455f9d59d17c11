#include "panel/TabActivationWatcher.h"

CTabActivationWatcher::CTabActivationWatcher()
    : m_target(nullptr), m_tabs(0), m_activateTab(RegisterWindowMessageW(L"QelTarvoActivateTab")) {
  InitializeCriticalSection(&m_mapLock);
}

CTabActivationWatcher::~CTabActivationWatcher() {
  // The thread calls OnEvent of this object: it ends before the map goes.
  Stop();
  DeleteCriticalSection(&m_mapLock);
}

CTabActivationWatcher& CTabActivationWatcher::Instance() {
  static CTabActivationWatcher watcher;
  return watcher;
}

void CTabActivationWatcher::AddRef(HWND target) {
  EnterCriticalSection(&m_mapLock);
  if (m_tabs++ == 0) m_target = target;
  LeaveCriticalSection(&m_mapLock);
  CEventWaitThread::AddRef();
}

void CTabActivationWatcher::Release() {
  if (m_tabs <= 0) return;
  CEventWaitThread::Release();
  EnterCriticalSection(&m_mapLock);
  if (--m_tabs == 0) {
    m_target = nullptr;
    m_itemNames.clear();
    m_tabIds.clear();
  }
  LeaveCriticalSection(&m_mapLock);
}

void CTabActivationWatcher::SetTabForItem(LPCWSTR name, WCHAR tabId) {
  if (!name) return;
  EnterCriticalSection(&m_mapLock);
  size_t i = 0;
  while (i < m_itemNames.size() && lstrcmpW(m_itemNames[i], name) != 0) ++i;
  if (i == m_itemNames.size()) {
    m_itemNames.push_back(name);
    m_tabIds.push_back(tabId);
  } else {
    m_tabIds[i] = tabId;
  }
  LeaveCriticalSection(&m_mapLock);
}

void CTabActivationWatcher::RemoveItem(LPCWSTR name) {
  if (!name) return;
  EnterCriticalSection(&m_mapLock);
  for (size_t i = 0; i < m_itemNames.size(); ++i) {
    if (lstrcmpW(m_itemNames[i], name) != 0) continue;
    m_itemNames.erase(m_itemNames.begin() + static_cast<std::ptrdiff_t>(i));
    m_tabIds.erase(m_tabIds.begin() + static_cast<std::ptrdiff_t>(i));
    break;
  }
  LeaveCriticalSection(&m_mapLock);
  RemoveNamedEvent(name);
}

WCHAR CTabActivationWatcher::GetTabForItem(LPCWSTR name) {
  WCHAR tabId = 0;
  EnterCriticalSection(&m_mapLock);
  for (size_t i = 0; i < m_itemNames.size(); ++i)
    if (lstrcmpW(m_itemNames[i], name) == 0) tabId = m_tabIds[i];
  LeaveCriticalSection(&m_mapLock);
  return tabId;
}

void CTabActivationWatcher::OnEvent(LPCWSTR name) {
  EnterCriticalSection(&m_mapLock);
  HWND target = m_target;
  LeaveCriticalSection(&m_mapLock);
  // A name without a tab (its tab went since) brings nothing forward.
  const WCHAR tabId = GetTabForItem(name);
  if (target && tabId) PostMessageW(target, m_activateTab, tabId, 0);
}
