// A default folder: its items, and the infrared folder where items wait to be beamed.
#pragma once
#include <windows.h>

#include "platform/pimstore/DispatchStubs.h"
#include "platform/pimstore/pimstore.h"

class CPimApp;

class CPimFolder : public IFolder, public IItem {
 public:
  CPimFolder(CPimApp* app, int folder);

  PIM_DISPATCH_DECLARATIONS

  STDMETHODIMP get_Items(IPOutlookItemCollection** items) override;
  STDMETHODIMP get_DefaultItemType(int* itemType) override;
  STDMETHODIMP get_Application(IPOutlookApp** app) override;
  STDMETHODIMP AddItemToInfraredFolder(int itemType, IDispatch* item) override;
  STDMETHODIMP SendToInfrared() override;
  STDMETHODIMP ReceiveFromInfrared(IPOutlookItemCollection** items) override;

  // The folder as an item: its categories (every category of the store).
  STDMETHODIMP GetProps(const CEPROPID* ids, ULONG flags, WORD count, CEPROPVAL** values, ULONG* size,
                        HANDLE heap) override;
  STDMETHODIMP SetProps(ULONG flags, WORD count, CEPROPVAL* values) override;
  STDMETHODIMP Save() override;
  STDMETHODIMP Delete() override;
  STDMETHODIMP Copy(IItem** copy) override;
  STDMETHODIMP get_Oid(long* oid) override;
  STDMETHODIMP Display(HWND parent) override;
  STDMETHODIMP Edit(HWND parent) override;

  static DWORD SentCount();

 private:
  virtual ~CPimFolder();
  LONG m_refs = 1;
  CPimApp* m_app;
  int m_folder;
  int m_waiting = 0;
};
