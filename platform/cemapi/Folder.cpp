#include "platform/cemapi/Folder.h"

#include <algorithm>

#include "platform/cemapi/EntryId.h"
#include "platform/cemapi/NotifyCenter.h"
#include "platform/cemapi/ObjectProps.h"
#include "platform/cemapi/Table.h"

namespace {

bool MessageIdOf(const SBinary& b, ULONGLONG& id) {
  ULONG kind = 0;
  return CEntryId::Parse(b.cb, b.lpb, kind, id) && kind == MAPI_MESSAGE;
}

}  // namespace

CFolder::CFolder(ULONGLONG id)
    : CPropObject<IMAPIFolder>(MAPI_FOLDER, id, {&IID_IMAPIProp, &IID_IMAPIContainer, &IID_IMAPIFolder}) {}

// A table of rows taken from the folder's store under the store lock; the rows are
// copies, so the table outlives any later change.
template <typename Collect>
HRESULT CFolder::MakeTable(ULONG flags, std::initializer_list<ULONG> columns, IMAPITable** table, Collect collect) {
  if (!table) return MAPI_E_INVALID_PARAMETER;
  *table = nullptr;
  std::vector<PropRecordMap> rows;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    StoreEntry* store;
    FolderRecord* folder;
    if (!set.FindFolder(id_, store, folder)) return MAPI_E_NOT_FOUND;
    if (store->damaged) return MAPI_E_CORRUPT_STORE;
    collect(store->record, rows);
  }
  CTable* t = new (std::nothrow) CTable(std::move(rows), columns, (flags & MAPI_UNICODE) != 0);
  if (!t) return MAPI_E_NOT_ENOUGH_MEMORY;
  *table = t;
  return S_OK;
}

HRESULT CFolder::GetContentsTable(ULONG flags, IMAPITable** table) {
  return MakeTable(flags, {PR_ENTRYID, PR_SUBJECT_W, PR_MESSAGE_CLASS_W, PR_MESSAGE_FLAGS, PR_MESSAGE_DELIVERY_TIME},
                   table, [this](const StoreRecord& record, std::vector<PropRecordMap>& rows) {
                     for (const MessageRecord& m : record.messages)
                       if (m.folder == id_) rows.push_back(CObjectProps::Message(m));
                   });
}

HRESULT CFolder::GetHierarchyTable(ULONG flags, IMAPITable** table) {
  return MakeTable(flags, {PR_ENTRYID, PR_DISPLAY_NAME_W, PR_SUBFOLDERS, PR_FOLDER_TYPE}, table,
                   [this](const StoreRecord& record, std::vector<PropRecordMap>& rows) {
                     for (const FolderRecord& f : record.folders)
                       if (f.parent == id_) rows.push_back(CObjectProps::Folder(record, f));
                   });
}

HRESULT CFolder::OpenEntry(ULONG cb, LPENTRYID entry, LPCIID iid, ULONG, ULONG* type, IUnknown** out) {
  return CObjectCore::OpenEntry(cb, entry, iid, type, out);
}

HRESULT CFolder::CopyMessages(LPENTRYLIST list, LPCIID, void* destination, ULONG_PTR, IMAPIProgress*, ULONG flags) {
  if (!list || (list->cValues && !list->lpbin)) return MAPI_E_INVALID_PARAMETER;
  CObjectCore* target = CObjectCore::Of(static_cast<IUnknown*>(destination));
  if (!target || target->Kind() != MAPI_FOLDER) return MAPI_E_INVALID_PARAMETER;
  bool move = (flags & MESSAGE_MOVE) != 0;
  std::vector<NotifyEvent> events;
  bool partial = false;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    StoreEntry* from;
    StoreEntry* to;
    FolderRecord* folder;
    if (!set.FindFolder(id_, from, folder) || !set.FindFolder(target->Id(), to, folder)) return MAPI_E_NOT_FOUND;
    if (from->damaged || to->damaged) return MAPI_E_CORRUPT_STORE;
    bool changed = false;
    for (ULONG i = 0; i < list->cValues; ++i) {
      ULONGLONG id = 0;
      auto it = from->record.messages.end();
      if (MessageIdOf(list->lpbin[i], id))
        it = std::find_if(from->record.messages.begin(), from->record.messages.end(),
                          [&](const MessageRecord& m) { return m.id == id && m.folder == id_; });
      if (it == from->record.messages.end()) {
        partial = true;
        continue;
      }
      if (move && target->Id() == id_) continue;  // already there
      NotifyEvent e;
      e.objType = MAPI_MESSAGE;
      e.parent = CEntryId::Make(MAPI_FOLDER, target->Id());
      e.oldId = CEntryId::Make(MAPI_MESSAGE, id);
      e.oldParent = CEntryId::Make(MAPI_FOLDER, id_);
      if (move) {
        e.event = fnevObjectMoved;
        e.id = e.oldId;
        MessageRecord m = *it;
        m.folder = target->Id();
        if (from == to) {
          *it = m;
        } else {
          from->record.messages.erase(it);
          to->record.messages.push_back(m);
        }
      } else {
        e.event = fnevObjectCopied;
        MessageRecord m = *it;
        m.id = set.NewId();
        m.folder = target->Id();
        e.id = CEntryId::Make(MAPI_MESSAGE, m.id);
        to->record.messages.push_back(m);
      }
      events.push_back(e);
      changed = true;
    }
    if (changed) {
      // The destination first: should the second write fail, the message is in both
      // stores rather than in neither.
      HRESULT hr = set.Commit(*to);
      if (SUCCEEDED(hr) && from != to) hr = set.Commit(*from);
      if (FAILED(hr)) return hr;
      CNotifyCenter::Instance().Publish(set, events);
    }
  }
  CNotifyCenter::Instance().DeliverHere(events);
  return partial ? MAPI_W_PARTIAL_COMPLETION : S_OK;
}

HRESULT CFolder::DeleteMessages(LPENTRYLIST list, ULONG_PTR, IMAPIProgress*, ULONG) {
  if (!list || (list->cValues && !list->lpbin)) return MAPI_E_INVALID_PARAMETER;
  std::vector<NotifyEvent> events;
  bool partial = false;
  {
    CStoreSet& set = CStoreSet::Instance();
    CStoreSet::Guard guard(set);
    if (!guard.Ok()) return MAPI_E_CALL_FAILED;
    StoreEntry* store;
    FolderRecord* folder;
    if (!set.FindFolder(id_, store, folder)) return MAPI_E_NOT_FOUND;
    if (store->damaged) return MAPI_E_CORRUPT_STORE;
    for (ULONG i = 0; i < list->cValues; ++i) {
      ULONGLONG id = 0;
      auto& messages = store->record.messages;
      auto it = messages.end();
      if (MessageIdOf(list->lpbin[i], id))
        it = std::find_if(messages.begin(), messages.end(),
                          [&](const MessageRecord& m) { return m.id == id && m.folder == id_; });
      if (it == messages.end()) {
        partial = true;
        continue;
      }
      messages.erase(it);
      NotifyEvent e;
      e.event = fnevObjectDeleted;
      e.objType = MAPI_MESSAGE;
      e.id = CEntryId::Make(MAPI_MESSAGE, id);
      e.parent = CEntryId::Make(MAPI_FOLDER, id_);
      events.push_back(e);
    }
    if (!events.empty()) {
      HRESULT hr = set.Commit(*store);
      if (FAILED(hr)) return hr;
      CNotifyCenter::Instance().Publish(set, events);
    }
  }
  CNotifyCenter::Instance().DeliverHere(events);
  return partial ? MAPI_W_PARTIAL_COMPLETION : S_OK;
}
