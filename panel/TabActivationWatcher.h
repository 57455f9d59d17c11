// The one watcher of the process: custom tabs register the Today items they host,
// and a signal of an item's "STACTIVATE/" event posts "QelTarvoActivateTab" with
// the hosting tab's character to the panel window.
#pragma once
#include <windows.h>

#include <vector>

#include "panel/EventWaitThread.h"

class CTabActivationWatcher : public CEventWaitThread {
 public:
  CTabActivationWatcher();
  ~CTabActivationWatcher() override;

  static CTabActivationWatcher& Instance();

  // The first tab while no other holds a reference sets the window; the last
  // release clears it.
  void AddRef(HWND target);
  void Release();
  void SetTabForItem(LPCWSTR name, WCHAR tabId);
  void RemoveItem(LPCWSTR name);
  // 0 when the name is not mapped.
  WCHAR GetTabForItem(LPCWSTR name);

 protected:
  void OnEvent(LPCWSTR name) override;

 private:
  CRITICAL_SECTION m_mapLock;
  HWND m_target;
  LONG m_tabs;
  std::vector<CString> m_itemNames;
  std::vector<WCHAR> m_tabIds;
  UINT m_activateTab;
};
