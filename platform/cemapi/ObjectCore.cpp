#include "platform/cemapi/ObjectCore.h"

#include <cstring>

#include "platform/cemapi/EntryId.h"
#include "platform/cemapi/Folder.h"
#include "platform/cemapi/Message.h"
#include "platform/cemapi/MsgStore.h"
#include "platform/cemapi/NotifyCenter.h"
#include "platform/cemapi/ObjectProps.h"
#include "platform/cemapi/PropPack.h"
#include "platform/cemapi/PropStream.h"

namespace {

// The stored properties of an object and the store that holds it.
HRESULT Locate(CStoreSet& set, ULONG kind, ULONGLONG id, StoreEntry*& store, PropRecordMap*& stored,
               ULONGLONG& parent) {
  store = nullptr;
  stored = nullptr;
  parent = 0;
  switch (kind) {
    case MAPI_STORE:
      store = set.FindStore(id);
      if (store) stored = &store->record.props;
      break;
    case MAPI_FOLDER: {
      FolderRecord* f = nullptr;
      if (set.FindFolder(id, store, f)) {
        stored = &f->props;
        parent = f->parent;
      }
      break;
    }
    case MAPI_MESSAGE: {
      MessageRecord* m = nullptr;
      if (set.FindMessage(id, store, m)) {
        stored = &m->props;
        parent = m->folder;
      }
      break;
    }
  }
  if (!store) return MAPI_E_NOT_FOUND;
  return store->damaged ? MAPI_E_CORRUPT_STORE : S_OK;
}

}  // namespace

HRESULT CObjectCore::Props(CStoreSet& set, PropRecordMap& props) {
  StoreEntry* store;
  PropRecordMap* stored;
  ULONGLONG parent;
  HRESULT hr = Locate(set, kind_, id_, store, stored, parent);
  if (FAILED(hr)) return hr;
  switch (kind_) {
    case MAPI_STORE: props = CObjectProps::Store(store->record); break;
    case MAPI_FOLDER: {
      FolderRecord* f = nullptr;
      set.FindFolder(id_, store, f);
      props = CObjectProps::Folder(store->record, *f);
      break;
    }
    default: {
      MessageRecord* m = nullptr;
      set.FindMessage(id_, store, m);
      props = CObjectProps::Message(*m);
    }
  }
  return S_OK;
}

HRESULT CObjectCore::GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) {
  if (!count || !values) return MAPI_E_INVALID_PARAMETER;
  *count = 0;
  *values = nullptr;
  PropRecordMap props;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    HRESULT hr = Props(set, props);
    if (FAILED(hr)) return hr;
  }
  bool errors = false;
  LPSPropValue out = CPropPack::Select(props, tags, (flags & MAPI_UNICODE) != 0, *count, errors);
  if (!out) return MAPI_E_NOT_ENOUGH_MEMORY;
  *values = out;
  return errors ? MAPI_W_ERRORS_RETURNED : S_OK;
}

HRESULT CObjectCore::GetPropList(ULONG flags, LPSPropTagArray* tags) {
  if (!tags) return MAPI_E_INVALID_PARAMETER;
  PropRecordMap props;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    HRESULT hr = Props(set, props);
    if (FAILED(hr)) return hr;
  }
  LPSPropTagArray out = static_cast<LPSPropTagArray>(LocalAlloc(LPTR, sizeof(ULONG) * (props.size() + 1)));
  if (!out) return MAPI_E_NOT_ENOUGH_MEMORY;
  for (const auto& p : props) {
    ULONG tag = p.first;
    if (PROP_TYPE(tag) == PT_UNICODE && !(flags & MAPI_UNICODE)) tag = CHANGE_PROP_TYPE(tag, PT_STRING8);
    out->aulPropTag[out->cValues++] = tag;
  }
  *tags = out;
  return S_OK;
}

HRESULT CObjectCore::SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray* problemsOut) {
  if (problemsOut) *problemsOut = nullptr;
  if (count && !values) return MAPI_E_INVALID_PARAMETER;
  std::vector<SPropProblem> problems;
  std::vector<NotifyEvent> events;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    StoreEntry* store;
    PropRecordMap* stored;
    ULONGLONG parent;
    HRESULT hr = Locate(set, kind_, id_, store, stored, parent);
    if (FAILED(hr)) return hr;
    CObjectProps::Apply(*stored, count, values, problems);
    if (problems.size() < count) {
      if (kind_ == MAPI_MESSAGE) (*stored)[PR_LAST_MODIFICATION_TIME].number = CObjectProps::Now();
      hr = set.Commit(*store);
      if (FAILED(hr)) return hr;
      NotifyEvent e;
      e.event = fnevObjectModified;
      e.objType = kind_;
      e.id = CEntryId::Make(kind_, id_);
      if (kind_ == MAPI_STORE) e.parent = CEntryId::Make(CEntryId::kStoreParent, id_);
      else if (parent) e.parent = CEntryId::Make(MAPI_FOLDER, parent);
      else e.parent = CEntryId::Make(MAPI_STORE, store->record.id);
      events.push_back(e);
      CNotifyCenter::Instance().Publish(set, events);
    }
  }
  CNotifyCenter::Instance().DeliverHere(events);
  if (problemsOut && !problems.empty()) {
    LPSPropProblemArray out = static_cast<LPSPropProblemArray>(
        LocalAlloc(LPTR, sizeof(SPropProblemArray) + sizeof(SPropProblem) * problems.size()));
    if (out) {
      out->cProblem = static_cast<ULONG>(problems.size());
      memcpy(out->aProblem, problems.data(), sizeof(SPropProblem) * problems.size());
      *problemsOut = out;
    }
  }
  return S_OK;
}

HRESULT CObjectCore::OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG flags, IUnknown** out) {
  if (!out || !iid) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  if (*iid != IID_IStream) return MAPI_E_INTERFACE_NOT_SUPPORTED;
  if (flags & (MAPI_MODIFY | MAPI_CREATE)) return MAPI_E_NO_ACCESS;  // streams here only read
  std::string bytes;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    PropRecordMap props;
    HRESULT hr = Props(set, props);
    if (FAILED(hr)) return hr;
    if (!CPropPack::StreamBytes(props, tag, bytes)) return MAPI_E_NOT_FOUND;
  }
  CPropStream* stream = new (std::nothrow) CPropStream(std::move(bytes));
  if (!stream) return MAPI_E_NOT_ENOUGH_MEMORY;
  *out = stream;
  return S_OK;
}

HRESULT CObjectCore::OpenEntry(ULONG cb, LPENTRYID entry, LPCIID iid, ULONG* type, IUnknown** out) {
  if (!out) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  ULONG kind = 0;
  ULONGLONG id = 0;
  if (!CEntryId::Parse(cb, entry, kind, id)) return MAPI_E_INVALID_ENTRYID;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    StoreEntry* store;
    PropRecordMap* stored;
    ULONGLONG parent;
    HRESULT hr = Locate(set, kind, id, store, stored, parent);
    if (FAILED(hr)) return hr;
  }
  IUnknown* object = nullptr;
  switch (kind) {
    case MAPI_STORE: object = static_cast<IMsgStore*>(new (std::nothrow) CMsgStore(id)); break;
    case MAPI_FOLDER: object = static_cast<IMAPIFolder*>(new (std::nothrow) CFolder(id)); break;
    case MAPI_MESSAGE: object = static_cast<IMessage*>(new (std::nothrow) CMessage(id)); break;
    default: return MAPI_E_NOT_FOUND;
  }
  if (!object) return MAPI_E_NOT_ENOUGH_MEMORY;
  HRESULT hr = S_OK;
  if (iid) {
    hr = object->QueryInterface(*iid, reinterpret_cast<void**>(out));
    object->Release();
    if (FAILED(hr)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
  } else {
    *out = object;
  }
  if (type) *type = kind;
  return S_OK;
}

HRESULT CObjectCore::CompareEntryIDs(ULONG cb1, LPENTRYID id1, ULONG cb2, LPENTRYID id2, ULONG* result) {
  if (!result || (cb1 && !id1) || (cb2 && !id2)) return MAPI_E_INVALID_PARAMETER;
  *result = cb1 == cb2 && (cb1 == 0 || memcmp(id1, id2, cb1) == 0);
  return S_OK;
}

CObjectCore* CObjectCore::Of(IUnknown* unknown) {
  if (!unknown) return nullptr;
  void* core = nullptr;
  if (FAILED(unknown->QueryInterface(IID_CeMapiObjectCore, &core))) return nullptr;
  return static_cast<CObjectCore*>(core);
}
