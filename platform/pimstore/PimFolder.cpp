#include "platform/pimstore/PimFolder.h"

#include <vector>

#include "platform/pimstore/ItemCollection.h"
#include "platform/pimstore/PimApp.h"
#include "platform/pimstore/PimStore.h"
#include "platform/pimstore/PropAnswer.h"

namespace {
// Beaming is recorded, never sent.
LONG g_sent = 0;
}  // namespace

CPimFolder::CPimFolder(CPimApp* app, int folder) : m_app(app), m_folder(folder) { m_app->AddRef(); }
CPimFolder::~CPimFolder() { m_app->Release(); }

DWORD CPimFolder::SentCount() { return static_cast<DWORD>(g_sent); }

STDMETHODIMP CPimFolder::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IFolder) *out = static_cast<IFolder*>(this);
  else if (iid == IID_IItem) *out = static_cast<IItem*>(this);
  else return E_NOINTERFACE;
  AddRef();
  return S_OK;
}
PIM_DISPATCH_IMPLEMENTATION(CPimFolder)

STDMETHODIMP CPimFolder::get_Items(IPOutlookItemCollection** items) {
  if (!items) return E_POINTER;
  *items = nullptr;
  PimKind kind;
  if (!CPimStore::KindOfFolder(m_folder, &kind)) return E_NOTIMPL;
  CItemCollection* collection = CItemCollection::Load(m_app, kind);
  if (!collection) return E_FAIL;
  *items = collection;
  return S_OK;
}

STDMETHODIMP CPimFolder::get_DefaultItemType(int* itemType) {
  if (!itemType) return E_POINTER;
  PimKind kind = PimKind::Appointment;
  CPimStore::KindOfFolder(m_folder, &kind);
  *itemType = static_cast<int>(kind);
  return S_OK;
}

STDMETHODIMP CPimFolder::get_Application(IPOutlookApp** app) {
  if (!app) return E_POINTER;
  *app = m_app;
  m_app->AddRef();
  return S_OK;
}

STDMETHODIMP CPimFolder::AddItemToInfraredFolder(int itemType, IDispatch* item) {
  if (m_folder != olFolderInfrared) return E_FAIL;
  // Programs name the kind by item type (1, 2, 3) or by its folder (9, 10, 13).
  PimKind kind;
  bool known = (itemType >= olAppointmentItem && itemType <= olTaskItem) || CPimStore::KindOfFolder(itemType, &kind);
  if (!known || !item) return E_INVALIDARG;
  ++m_waiting;
  return S_OK;
}

STDMETHODIMP CPimFolder::SendToInfrared() {
  if (m_folder != olFolderInfrared) return E_FAIL;
  InterlockedExchangeAdd(&g_sent, m_waiting);
  m_waiting = 0;
  return S_OK;
}

STDMETHODIMP CPimFolder::ReceiveFromInfrared(IPOutlookItemCollection**) { return E_NOTIMPL; }

STDMETHODIMP CPimFolder::GetProps(const CEPROPID* ids, ULONG flags, WORD count, CEPROPVAL** values, ULONG* size,
                                  HANDLE heap) {
  if (!ids) return E_INVALIDARG;
  std::wstring names;
  for (const auto& category : m_app->Store().Categories()) {
    if (!names.empty()) names += L",";
    names += category.second;
  }
  std::vector<PropAnswer> answers(count);
  for (WORD i = 0; i < count; ++i)
    if (ids[i] == PIMPR_FOLDER_CATEGORIES) {
      answers[i].found = true;
      answers[i].text = names;
    }
  return ReturnProps(ids, count, answers, flags, values, size, heap);
}

STDMETHODIMP CPimFolder::SetProps(ULONG, WORD, CEPROPVAL*) { return E_NOTIMPL; }
STDMETHODIMP CPimFolder::Save() { return E_NOTIMPL; }
STDMETHODIMP CPimFolder::Delete() { return E_NOTIMPL; }
STDMETHODIMP CPimFolder::Copy(IItem**) { return E_NOTIMPL; }
STDMETHODIMP CPimFolder::get_Oid(long* oid) {
  if (!oid) return E_POINTER;
  *oid = m_folder;
  return S_OK;
}
STDMETHODIMP CPimFolder::Display(HWND) { return E_NOTIMPL; }
STDMETHODIMP CPimFolder::Edit(HWND) { return E_NOTIMPL; }
