// The application object: logon with the window that hears item notifications,
// default folders, items by oid, new items.
#pragma once
#include <windows.h>

#include "platform/pimstore/PimStore.h"
#include "platform/pimstore/DispatchStubs.h"
#include "platform/pimstore/pimstore.h"

class CPimApp : public IPOutlookApp {
 public:
  CPimApp();

  CPimStore& Store() { return m_store; }
  // Posts the item notification to every logon window of every process.
  void NotifyItem(UINT message, DWORD oid, int folder);

  PIM_DISPATCH_DECLARATIONS

  STDMETHODIMP Logon(long hWnd) override;
  STDMETHODIMP Logoff() override;
  STDMETHODIMP get_Version(BSTR* version) override;
  STDMETHODIMP GetDefaultFolder(int folder, IFolder** result) override;
  STDMETHODIMP CreateItem(int itemType, IDispatch** item) override;
  STDMETHODIMP GetItemFromOid(long oid, IDispatch** item) override;

 private:
  virtual ~CPimApp();
  LONG m_refs = 1;
  CPimStore m_store;
  HWND m_window = nullptr;
  bool m_loggedOn = false;
};

// The logon windows of all processes, in a shared table.
class CLogonWindows {
 public:
  static void Add(HWND window);
  static void Remove(HWND window);
  static void Post(UINT message, WPARAM wParam, LPARAM lParam);
};
