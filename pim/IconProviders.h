// The process's one picture store: the store object for the current PIM and store
// generation, the listeners told of picture changes, and the owner window that
// receives the store's database notifications. CIconProviderRef drives it.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "pim/IconProvider.h"

class CIconProviders {
 public:
  static CIconProviders& Instance();

  CIconProviders();
  ~CIconProviders();
  CIconProviders(const CIconProviders&) = delete;
  CIconProviders& operator=(const CIconProviders&) = delete;

  CIconProvider* GetStore() const { return m_store.get(); }
  // Takes the store (null: none); the old one is closed and destroyed first.
  void SetStore(CIconProvider* store);
  HWND GetOwner() const { return m_owner; }
  void SetOwner(HWND owner) { m_owner = owner; }

  // A listener is held once; removing takes away every occurrence.
  void AddListener(IIconProviderListener* listener);
  void RemoveListener(IIconProviderListener* listener);
  void RemoveAllListeners() { m_listeners.clear(); }
  // Tells the one listener given, or every listener in order when none is.
  void Notify(IIconProviderListener* listener, const CENOTIFICATION* notification, BOOL byMessage);

 private:
  std::unique_ptr<CIconProvider> m_store;
  std::vector<IIconProviderListener*> m_listeners;
  HWND m_owner;
};
