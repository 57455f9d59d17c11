#include "platform/pimstore/ItemCollection.h"

#include <algorithm>
#include <cmath>

#include "platform/pimstore/PimApp.h"
#include "platform/pimstore/PimItem.h"
#include "platform/pimstore/PimQuery.h"

namespace {

void ReleaseAll(std::vector<CPimItem*>& items) {
  for (CPimItem* item : items) item->Dispatch()->Release();
  items.clear();
}

// Without a date in the restriction a series is expanded over this many days from today.
const double kDefaultSpanBefore = 366, kDefaultSpanAfter = 732;

}  // namespace

CItemCollection::CItemCollection(CPimApp* app, PimKind kind) : m_app(app), m_kind(kind) { m_app->AddRef(); }

CItemCollection::~CItemCollection() {
  ReleaseAll(m_items);
  ReleaseAll(m_found);
  m_app->Release();
}

CItemCollection* CItemCollection::Load(CPimApp* app, PimKind kind) {
  std::vector<PimRecord> records;
  if (!app->Store().ReadAll(kind, &records)) return nullptr;
  auto* collection = new CItemCollection(app, kind);
  for (const PimRecord& record : records)
    if (CPimItem* item = CPimItem::FromRecord(app, kind, record)) collection->m_items.push_back(item);
  return collection;
}

STDMETHODIMP CItemCollection::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IPOutlookItemCollection) return E_NOINTERFACE;
  *out = static_cast<IPOutlookItemCollection*>(this);
  AddRef();
  return S_OK;
}
PIM_DISPATCH_IMPLEMENTATION(CItemCollection)

STDMETHODIMP CItemCollection::Add(IDispatch** item) { return m_app->CreateItem(static_cast<int>(m_kind), item); }

STDMETHODIMP CItemCollection::get_Count(int* count) {
  if (!count) return E_POINTER;
  *count = static_cast<int>(m_items.size());
  return S_OK;
}

STDMETHODIMP CItemCollection::Item(int index, IDispatch** item) {
  if (!item) return E_POINTER;
  *item = nullptr;
  if (index < 1 || static_cast<size_t>(index) > m_items.size()) return E_INVALIDARG;
  *item = m_items[index - 1]->Dispatch();
  (*item)->AddRef();
  return S_OK;
}

STDMETHODIMP CItemCollection::Remove(int index) {
  if (index < 1 || static_cast<size_t>(index) > m_items.size()) return E_INVALIDARG;
  CPimItem* item = m_items[index - 1];
  HRESULT hr = static_cast<IItem*>(item)->Delete();
  if (FAILED(hr)) return hr;
  m_items.erase(m_items.begin() + (index - 1));
  item->Dispatch()->Release();
  return S_OK;
}

std::vector<CPimItem*> CItemCollection::Candidates(const CPimQuery& query) const {
  std::vector<CPimItem*> all;
  double low = 0, high = 0;
  bool bounded = query.Bounds(L"Start", &low, &high);
  double otherLow = 0, otherHigh = 0;
  if (query.Bounds(L"End", &otherLow, &otherHigh)) {
    low = bounded ? std::min(low, otherLow) : otherLow;
    high = bounded ? std::max(high, otherHigh) : otherHigh;
    bounded = true;
  }
  if (!bounded) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    double today = 0;
    SystemTimeToVariantTime(&now, &today);
    low = std::floor(today) - kDefaultSpanBefore;
    high = std::floor(today) + kDefaultSpanAfter;
  }
  // One day beyond each bound: occurrences that begin before the first day may run into it.
  DWORD from = CRecurrence::DateToMinutes(std::floor(low) - 1);
  DWORD to = CRecurrence::DateToMinutes(std::floor(high) + 2);
  for (CPimItem* item : m_items) {
    if (m_includeRecurrences && item->HasPattern()) {
      for (const auto& occurrence : item->Pattern().Between(from, to))
        all.push_back(CPimItem::MakeOccurrence(m_app, item->Record(), item->Pattern(), occurrence));
      continue;
    }
    item->Dispatch()->AddRef();
    all.push_back(item);
  }
  return all;
}

HRESULT CItemCollection::Select(BSTR restriction, std::vector<CPimItem*>* found) const {
  CPimQuery query;
  if (!query.Parse(restriction)) return E_INVALIDARG;
  std::vector<CPimItem*> all = Candidates(query);
  for (CPimItem* item : all) {
    if (query.Matches(*item)) found->push_back(item);
    else item->Dispatch()->Release();
  }
  return S_OK;
}

STDMETHODIMP CItemCollection::Restrict(BSTR restriction, IPOutlookItemCollection** items) {
  if (!items) return E_POINTER;
  *items = nullptr;
  auto* collection = new CItemCollection(m_app, m_kind);
  HRESULT hr = Select(restriction, &collection->m_items);
  if (FAILED(hr)) {
    collection->Release();
    return hr;
  }
  *items = collection;
  return S_OK;
}

STDMETHODIMP CItemCollection::Find(BSTR restriction, IDispatch** item) {
  if (!item) return E_POINTER;
  *item = nullptr;
  ReleaseAll(m_found);
  m_next = 0;
  HRESULT hr = Select(restriction, &m_found);
  if (FAILED(hr)) return hr;
  return FindNext(item);
}

STDMETHODIMP CItemCollection::FindNext(IDispatch** item) {
  if (!item) return E_POINTER;
  *item = nullptr;
  // Nothing more: success with no item, as the device answers.
  if (m_next >= m_found.size()) return S_OK;
  *item = m_found[m_next++]->Dispatch();
  (*item)->AddRef();
  return S_OK;
}

STDMETHODIMP CItemCollection::Sort(BSTR property, VARIANT_BOOL descending) {
  if (!property) return E_INVALIDARG;
  std::wstring name(property, SysStringLen(property));
  if (name.size() < 3 || name.front() != L'[' || name.back() != L']') return E_INVALIDARG;
  name = name.substr(1, name.size() - 2);
  if (m_items.empty()) return S_OK;
  double n = 0;
  std::wstring t;
  bool isText = false;
  if (!m_items.front()->Value(name.c_str(), &n, &t, &isText)) return E_INVALIDARG;
  std::stable_sort(m_items.begin(), m_items.end(), [&](CPimItem* a, CPimItem* b) {
    double na = 0, nb = 0;
    std::wstring ta, tb;
    bool ia = false, ib = false;
    a->Value(name.c_str(), &na, &ta, &ia);
    b->Value(name.c_str(), &nb, &tb, &ib);
    int order = isText ? _wcsicmp(ta.c_str(), tb.c_str()) : (na < nb ? -1 : na > nb ? 1 : 0);
    return descending ? order > 0 : order < 0;
  });
  return S_OK;
}

STDMETHODIMP CItemCollection::get_IncludeRecurrences(VARIANT_BOOL* include) {
  if (!include) return E_POINTER;
  *include = m_includeRecurrences ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP CItemCollection::put_IncludeRecurrences(VARIANT_BOOL include) {
  // Callers pass 1 as well as VARIANT_TRUE: any non-zero value is true.
  m_includeRecurrences = include != 0;
  return S_OK;
}

STDMETHODIMP CItemCollection::get_Application(IPOutlookApp** app) {
  if (!app) return E_POINTER;
  *app = m_app;
  m_app->AddRef();
  return S_OK;
}
