// The items of a folder, or of a restriction of it, in a stable order. With
// recurrences included, a series stands for its occurrences over the days a
// restriction names.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/pimstore/PimStore.h"
#include "platform/pimstore/DispatchStubs.h"
#include "platform/pimstore/pimstore.h"

class CPimApp;
class CPimItem;
class CPimQuery;

class CItemCollection : public IPOutlookItemCollection {
 public:
  // Every readable item of the kind; records that do not decode are left out.
  static CItemCollection* Load(CPimApp* app, PimKind kind);

  PIM_DISPATCH_DECLARATIONS

  STDMETHODIMP Add(IDispatch** item) override;
  STDMETHODIMP get_Count(int* count) override;
  STDMETHODIMP Find(BSTR restriction, IDispatch** item) override;
  STDMETHODIMP FindNext(IDispatch** item) override;
  STDMETHODIMP Item(int index, IDispatch** item) override;
  STDMETHODIMP Remove(int index) override;
  STDMETHODIMP Restrict(BSTR restriction, IPOutlookItemCollection** items) override;
  STDMETHODIMP Sort(BSTR property, VARIANT_BOOL descending) override;
  STDMETHODIMP get_IncludeRecurrences(VARIANT_BOOL* include) override;
  STDMETHODIMP put_IncludeRecurrences(VARIANT_BOOL include) override;
  STDMETHODIMP get_Application(IPOutlookApp** app) override;

 private:
  CItemCollection(CPimApp* app, PimKind kind);
  virtual ~CItemCollection();
  // The items the restriction sees: occurrences instead of series when included.
  std::vector<CPimItem*> Candidates(const CPimQuery& query) const;
  HRESULT Select(BSTR restriction, std::vector<CPimItem*>* found) const;

  LONG m_refs = 1;
  CPimApp* m_app;
  PimKind m_kind;
  std::vector<CPimItem*> m_items;
  bool m_includeRecurrences = false;
  std::vector<CPimItem*> m_found;  // of the last Find
  size_t m_next = 0;
};
