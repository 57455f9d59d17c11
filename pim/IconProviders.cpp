#include "pim/IconProviders.h"

#include <algorithm>

#include "base/CeDbApi.h"
#include "pim/NamedProps.h"

CIconProviders& CIconProviders::Instance() {
  static CIconProviders instance;
  return instance;
}

CIconProviders::CIconProviders() : m_owner(nullptr) {
  // A store still open at exit is closed by this destructor and calls on both: made
  // first, they are destroyed after it.
  CNamedProps::Instance();
  GetCeDbApi();
}

CIconProviders::~CIconProviders() { SetStore(nullptr); }

void CIconProviders::SetStore(CIconProvider* store) {
  if (m_store) m_store->Close();
  m_store.reset(store);
}

void CIconProviders::AddListener(IIconProviderListener* listener) {
  if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
    m_listeners.push_back(listener);
}

void CIconProviders::RemoveListener(IIconProviderListener* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void CIconProviders::Notify(IIconProviderListener* listener, const CENOTIFICATION* notification, BOOL byMessage) {
  if (!notification) return;
  if (listener) {
    listener->OnIconChange(notification, byMessage);
    return;
  }
  // A listener may leave while it is told.
  std::vector<IIconProviderListener*> listeners = m_listeners;
  for (IIconProviderListener* each : listeners)
    if (std::find(m_listeners.begin(), m_listeners.end(), each) != m_listeners.end())
      each->OnIconChange(notification, byMessage);
}
