#include "tabs/messages/EmailsList.h"

#include <algorithm>
#include <new>

#include "base/Platform.h"
#include "base/TaggedBlob.h"
#include "panel/PanelRecord.h"
#include "pim/SystemUtils.h"
#include "tabs/messages/EmailChangeRecord.h"
#include "tabs/messages/MapiRecipient.h"
#include "tabs/messages/PalmMsgStore.h"
#include "tabs/messages/WebISMailSettings.h"

namespace {

// A store whose parents run in a circle would keep the walk going for ever.
const int kMaxParentWalk = 64;

// The blank item both arguments of a rebuild-everything change name.
EMAIL_ITEM g_blank;

LPENTRYID AsEntry(const BYTE* id) { return reinterpret_cast<LPENTRYID>(const_cast<BYTE*>(id)); }

template <class T>
void ReleaseAndNull(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

}  // namespace

CEmailsList::CEmailsList() : m_palm(&GetPalmMsgStore()), m_webis(&GetWebISMailSettings()) {}

CEmailsList::~CEmailsList() {
  if (GetMessageComposer() == this) SetMessageComposer(nullptr);
  m_stores.clear();
  // The library keeps the sink by pointer until Unadvise: a list that goes without Done
  // must not leave it a dangling one.
  if (m_session) m_session->Unadvise(m_connection);
  ReleaseAndNull(m_session);
  if (m_mapiInitialized) MAPIUninitialize();
}

CEmailsList& CEmailsList::GetGlobal() {
  static CEmailsList list;
  return list;
}

void CEmailsList::SetOtherSources(IPalmMsgSource* palm, IWebISMailSource* webis) {
  m_palm = palm ? palm : GetNullPalmMsgSource();
  m_webis = webis ? webis : GetNullWebISMailSource();
}

void CEmailsList::Init(HWND owner) {
  m_ownerThread = GetCurrentThreadId();
  m_changedMessage = RegisterWindowMessageW(kChangedMessage);
  m_owner = owner;
  if (!m_mapiInitialized && SUCCEEDED(MAPIInitialize(nullptr))) m_mapiInitialized = TRUE;
  m_webis->LoadAccounts(owner, this);
  m_palm->Start(owner, this);
  SetMessageComposer(this);
}

void CEmailsList::Done() {
  if (GetMessageComposer() == this) SetMessageComposer(nullptr);
  ClearStores(0);
  if (m_session) {
    m_session->Unadvise(m_connection);
    m_session->Logoff(0, 0, 0);
    ReleaseAndNull(m_session);
    m_connection = 0;
  }
  m_owner = nullptr;
  m_ownerThread = 0;
  m_palm->Stop();
  m_webis->CloseAccounts();
}

void CEmailsList::AddListener(IEmailListListener* listener) {
  if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
    m_listeners.push_back(listener);
}

void CEmailsList::RemoveListener(IEmailListListener* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

EMAIL_STORE* CEmailsList::StoreAt(int index) const {
  return index >= 0 && index < GetAccountCount() ? m_stores[index].get() : nullptr;
}

const EMAIL_STORE* CEmailsList::GetAccount(int index) const { return StoreAt(index); }

CString CEmailsList::GetAccountName(int index) const {
  EMAIL_STORE* record = StoreAt(index);
  return record ? record->name : CString();
}

DWORD CEmailsList::GetAccountKind(int index) const {
  EMAIL_STORE* record = StoreAt(index);
  return record ? record->kind : 0;
}

int CEmailsList::GetItemCount(int index) const {
  EMAIL_STORE* record = StoreAt(index);
  return record ? static_cast<int>(record->messages.size()) : 0;
}

int CEmailsList::GetUnreadCount(int index) const {
  EMAIL_STORE* record = StoreAt(index);
  return record ? record->unreadCount : 0;
}

BOOL CEmailsList::GetFirstItem(int index, EMAIL_ITEM** item) {
  EMAIL_STORE* record = StoreAt(index);
  if (!record) return FALSE;
  record->cursor = 0;
  return GetNextItem(index, item);
}

BOOL CEmailsList::GetNextItem(int index, EMAIL_ITEM** item) {
  EMAIL_STORE* record = StoreAt(index);
  if (!record || record->cursor < 0 || record->cursor >= static_cast<int>(record->messages.size())) return FALSE;
  if (item) *item = record->messages[record->cursor];
  ++record->cursor;
  return TRUE;
}

DWORD CEmailsList::GetAccountKindByName(LPCWSTR name) const {
  if (!name || !*name) return 0;
  for (int i = GetAccountCount() - 1; i >= 0; --i)
    if (m_stores[i]->name.Compare(name) == 0) return m_stores[i]->kind;
  return 0;
}

IMAPISession* CEmailsList::GetSession() {
  if (m_session) return m_session;
  IMAPISession* session = nullptr;
  if (FAILED(MAPILogonEx(0, nullptr, nullptr, 0, &session)) || !session) return nullptr;
  m_session = session;
  if (FAILED(m_session->Advise(0, nullptr, 0xFFFFFFFF, this, &m_connection))) m_connection = 0;
  return m_session;
}

BOOL CEmailsList::CompareID(ULONG cb1, const BYTE* id1, ULONG cb2, const BYTE* id2) {
  if (!m_session) return FALSE;
  ULONG result = 0;
  if (FAILED(m_session->CompareEntryIDs(cb1, AsEntry(id1), cb2, AsEntry(id2), 0, &result))) return FALSE;
  return result ? TRUE : FALSE;
}

int CEmailsList::FindStoreByFolder(ULONG cb, const BYTE* id) {
  if (!id || !cb) return -1;
  for (int i = 0; i < GetAccountCount(); ++i) {
    const EMAIL_STORE& record = *m_stores[i];
    if (record.kind == kStoreWebIS) {
      if (record.folderId.GetSize() >= cb && memcmp(record.folderId.GetData(), id, cb) == 0) return i;
    } else if (CompareID(record.folderId.GetSize(), record.folderId.GetData(), cb, id)) {
      return i;
    }
  }
  return -1;
}

int CEmailsList::FindItem(int index, ULONG cb, const BYTE* id) {
  EMAIL_STORE* record = StoreAt(index);
  if (!record || !id || !cb) return -1;
  for (size_t i = 0; i < record->messages.size(); ++i) {
    const CBlobObj& entry = record->messages[i]->entryId;
    if (CompareID(entry.GetSize(), entry.GetData(), cb, id)) return static_cast<int>(i);
  }
  return -1;
}

void CEmailsList::ClearStores(DWORD kind) {
  if (kind == 0) {
    m_stores.clear();
    return;
  }
  m_stores.erase(std::remove_if(m_stores.begin(), m_stores.end(),
                                [kind](const std::unique_ptr<EMAIL_STORE>& record) { return record->kind == kind; }),
                 m_stores.end());
}

void CEmailsList::SetOnlyUnread(BOOL onlyUnread) {
  onlyUnread = onlyUnread ? TRUE : FALSE;
  if (onlyUnread == m_onlyUnread) return;
  m_onlyUnread = onlyUnread;
  ClearStores(0);
}

BOOL CEmailsList::GetMapiRecipient(const CBlobObj& entryId, CString& name, CString& text, CString& addressType) {
  IMAPISession* session = GetSession();
  if (!session || !entryId.GetSize()) return FALSE;
  IUnknown* unknown = nullptr;
  ULONG type = 0;
  if (FAILED(session->OpenEntry(entryId.GetSize(), AsEntry(entryId.GetData()), nullptr, 0, &type, &unknown)) ||
      !unknown)
    return FALSE;
  BOOL found = type == MAPI_MESSAGE && ReadMapiRecipient(static_cast<IMessage*>(unknown), name, text, addressType);
  unknown->Release();
  return found;
}

void CEmailsList::EnsureRecipient(EMAIL_ITEM* item) {
  if (!item || !item->recipientPending) return;
  item->recipientPending = FALSE;
  CString addressType;
  if (!GetMapiRecipient(item->entryId, item->recipientName, item->recipientText, addressType)) {
    item->recipientName.Empty();
    item->recipientText.Empty();
  }
}

// Walks up from the folder to the topmost object that opens: that is the store, its
// id the store's entry id, its properties the transport and display names.
BOOL CEmailsList::FindStoreId(IUnknown* folder, CBlobObj& storeId, CString& service, CString& displayName) {
  const ULONG serviceTag = IsPocketPCVersion5() ? PR_CE_TRANSPORT_NAME_W : PR_CE_TRANSPORT_NAME_OLD_W;
  SizedSPropTagArray<3> tags = {3, {PR_PARENT_ENTRYID, serviceTag, PR_DISPLAY_NAME_W}};
  IMAPIProp* current = static_cast<IMAPIProp*>(folder);
  current->AddRef();
  CBlobObj currentId;
  BOOL found = FALSE;
  for (int depth = 0; depth < kMaxParentWalk; ++depth) {
    ULONG count = 0;
    LPSPropValue values = nullptr;
    if (FAILED(current->GetProps(tags, MAPI_UNICODE, &count, &values)) || !values || count < 3 ||
        values[0].ulPropTag != PR_PARENT_ENTRYID) {
      MAPIFreeBuffer(values);
      break;
    }
    const SBinary& parent = values[0].Value.bin;
    if (!parent.lpb || !parent.cb ||
        CompareID(parent.cb, parent.lpb, currentId.GetSize(), currentId.GetData())) {
      MAPIFreeBuffer(values);
      break;
    }
    IUnknown* next = nullptr;
    ULONG type = 0;
    if (SUCCEEDED(m_session->OpenEntry(parent.cb, AsEntry(parent.lpb), nullptr, MAPI_MODIFY, &type, &next)) &&
        next) {
      current->Release();
      current = static_cast<IMAPIProp*>(next);
      currentId.Assign(parent.lpb, parent.cb);
      MAPIFreeBuffer(values);
      continue;
    }
    if (values[1].ulPropTag == serviceTag) service = values[1].Value.lpszW;
    if (values[2].ulPropTag == PR_DISPLAY_NAME_W) displayName = values[2].Value.lpszW;
    storeId = currentId;
    found = storeId.GetSize() != 0;
    MAPIFreeBuffer(values);
    break;
  }
  current->Release();
  return found;
}

BOOL CEmailsList::QueryStoreInfo(EMAIL_STORE& record, const CBlobObj& storeId) {
  IMsgStore* store = nullptr;
  if (FAILED(m_session->OpenMsgStore(0, storeId.GetSize(), AsEntry(storeId.GetData()), nullptr, 0, &store)) ||
      !store)
    return FALSE;
  SizedSPropTagArray<2> tags = {2, {PR_DISPLAY_NAME_W, PR_IPM_WASTEBASKET_ENTRYID}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  if (FAILED(store->GetProps(tags, MAPI_UNICODE, &count, &values)) || !values || count < 2) {
    MAPIFreeBuffer(values);
    store->Release();
    return FALSE;
  }
  record.name = values[0].ulPropTag == PR_DISPLAY_NAME_W ? values[0].Value.lpszW : L"";
  record.displayName = GetInboxServiceFriendlyName(record.name);
  if (values[1].ulPropTag == PR_IPM_WASTEBASKET_ENTRYID)
    record.deletedId.Assign(values[1].Value.bin.lpb, values[1].Value.bin.cb);
  record.storeId = storeId;
  ReleaseAndNull(record.store);
  record.store = store;
  MAPIFreeBuffer(values);
  return TRUE;
}

int CEmailsList::FindOrAddStore(const CTaggedBlob& folder) {
  const int found = FindStoreByFolder(folder.GetSize(), folder.GetData());
  if (found >= 0) return found;

  if (folder.GetKind() == CTaggedBlob::KindF) {
    CBlobObj packed;
    packed.Assign(folder.GetData(), folder.GetSize());
    DWORD number = 0;
    CString account;
    if (!UnpackKindText(packed, number, account)) return -1;
    auto record = std::make_unique<EMAIL_STORE>(account, L"", L"FlexMail");
    record->kind = kStoreWebIS;
    record->webisFolder = static_cast<int>(number);
    record->folderId = packed;
    m_stores.push_back(std::move(record));
    UpdateStore(GetAccountCount() - 1);
    return GetAccountCount() - 1;
  }

  const BOOL palm = m_palm->IsAvailable();
  IMAPISession* session = GetSession();
  if (!session || !folder.GetSize()) return -1;
  IUnknown* opened = nullptr;
  ULONG type = 0;
  if (FAILED(session->OpenEntry(folder.GetSize(), AsEntry(folder.GetData()), nullptr, MAPI_MODIFY, &type, &opened)) ||
      !opened)
    return -1;
  // Only a folder has contents to show.
  if (type != MAPI_FOLDER) {
    opened->Release();
    return -1;
  }
  CBlobObj storeId;
  CString service, displayName;
  if (!FindStoreId(opened, storeId, service, displayName)) {
    opened->Release();
    return -1;
  }
  if (service.IsEmpty()) service = displayName;
  if (!IsInboxServicePresent(service)) {
    opened->Release();
    return -1;
  }
  auto record = std::make_unique<EMAIL_STORE>(L"tmp", L"tmp", service);
  if (!QueryStoreInfo(*record, storeId)) {
    opened->Release();
    return -1;
  }
  record->folder = static_cast<IMAPIFolder*>(opened);
  record->folderId.Assign(folder.GetData(), folder.GetSize());
  if (palm && service.Compare(L"SMS") == 0) record->kind = kStorePalm;
  m_stores.push_back(std::move(record));
  UpdateStore(GetAccountCount() - 1);
  return GetAccountCount() - 1;
}

int CEmailsList::UpdateStore(int index) {
  if (m_stores.empty() || index >= GetAccountCount()) return 0;
  if (index < 0) index = GetAccountCount() - 1;
  EMAIL_STORE& record = *m_stores[index];
  if (record.kind == kStorePalm) return UpdatePalmStore(record);
  if (record.kind == kStoreWebIS) return UpdateWebISStore(record);
  record.unreadCount = 0;
  if (!record.folder) return 0;
  IMAPITable* table = nullptr;
  if (FAILED(record.folder->GetContentsTable(0, &table)) || !table) return 0;
  int added = 0;
  // One zone for the whole reading: the device's is read once, not per message.
  TIME_ZONE_INFORMATION zone;
  const TIME_ZONE_INFORMATION* zoneUsed = GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID ? nullptr : &zone;
  if (SUCCEEDED(table->SetColumns(GetEmailColumns(), 0))) {
    for (;;) {
      LPSRowSet rows = nullptr;
      if (FAILED(table->QueryRows(8, 0, &rows)) || !rows || rows->cRows == 0) {
        FreeProws(rows);
        break;
      }
      for (ULONG r = 0; r < rows->cRows; ++r) {
        const SRow& row = rows->aRow[r];
        if (!row.lpProps || row.cValues == 0) continue;
        if (row.lpProps[0].ulPropTag == PR_ENTRYID && row.lpProps[0].Value.bin.cb == 0) continue;
        if (m_onlyUnread && row.cValues > kColFlags && row.lpProps[kColFlags].ulPropTag == PR_MESSAGE_FLAGS &&
            (row.lpProps[kColFlags].Value.ul & MSGFLAG_READ))
          continue;
        EMAIL_ITEM* item = EMAIL_ITEM::New();
        if (!item) continue;
        item->accountName = record.name;
        if (item->FillFromRow(row.lpProps, row.cValues, nullptr, record.storeId, nullptr, zoneUsed)) {
          record.messages.push_back(item);
          if (!item->IsRead()) ++record.unreadCount;
          ++added;
        } else {
          item->Release();
        }
      }
      FreeProws(rows);
    }
  }
  table->Release();
  return added;
}

int CEmailsList::UpdatePalmStore(EMAIL_STORE& record) {
  if (!record.palmFolder) {
    if (!record.store) return 0;
    SizedSPropTagArray<5> tags = {5,
                                  {PR_CE_IPM_INBOX_ENTRYID, PR_IPM_OUTBOX_ENTRYID, PR_IPM_SENTMAIL_ENTRYID,
                                   PR_IPM_WASTEBASKET_ENTRYID, PR_CE_IPM_DRAFTS_ENTRYID}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    if (FAILED(record.store->GetProps(tags, MAPI_UNICODE, &count, &values)) || !values) {
      MAPIFreeBuffer(values);
      return 0;
    }
    int number = 0;
    for (ULONG i = 0; i < count && i < 5 && !number; ++i)
      if (values[i].ulPropTag == tags.aulPropTag[i] &&
          CompareID(values[i].Value.bin.cb, values[i].Value.bin.lpb, record.folderId.GetSize(),
                    record.folderId.GetData()))
        number = static_cast<int>(i) + 1;
    MAPIFreeBuffer(values);
    if (!number) return 0;
    record.palmFolder = m_palm->OpenFolder(record.store, number);
    if (!record.palmFolder) {
      record.unreadCount = 0;
      return 0;
    }
  }
  // A Palm message without its record identifier could never be found again.
  return ReadItems(
      record, [&](EMAIL_ITEM* item, bool first) { return first ? m_palm->GetFirst(record.palmFolder, item) : m_palm->GetNext(item); },
      [](const EMAIL_ITEM& item) { return item.webisId != 0; });
}

int CEmailsList::UpdateWebISStore(EMAIL_STORE& record) {
  return ReadItems(
      record,
      [&](EMAIL_ITEM* item, bool first) {
        return first ? m_webis->GetFirstMessage(record.name, record.webisFolder, item) : m_webis->GetNextMessage(item);
      },
      [](const EMAIL_ITEM&) { return true; });
}

// The messages another program's reader gives one by one; a skipped one's item is
// handed to the reader again.
template <class Next, class Wanted>
int CEmailsList::ReadItems(EMAIL_STORE& record, Next next, Wanted wanted) {
  record.unreadCount = 0;
  int added = 0;
  EMAIL_ITEM* item = EMAIL_ITEM::New();
  for (BOOL more = item && next(item, true); more; more = item && next(item, false)) {
    if (!wanted(*item) || !Keeps(*item)) continue;
    item->accountName = record.name;
    record.messages.push_back(item);
    if (!item->IsRead()) ++record.unreadCount;
    ++added;
    item = EMAIL_ITEM::New();
  }
  if (item) item->Release();
  return added;
}

// ---- Change tracking ----

HRESULT CEmailsList::QueryInterface(REFIID, void** out) {
  if (!out) return E_POINTER;
  *out = static_cast<IMAPIAdviseSink*>(this);
  return S_OK;
}

ULONG CEmailsList::OnNotify(ULONG count, LPNOTIFICATION notifications) {
  if (!count || !notifications) return 0;
  // Before Init and after Done nobody shows the list: a change heard on the messaging
  // library's thread then must not touch the accounts the panel's thread reads.
  if (!m_ownerThread) return 0;
  if (GetCurrentThreadId() != m_ownerThread) {
    for (ULONG i = 0; i < count; ++i) {
      auto* copy = new (std::nothrow) CEmailChangeRecord(notifications[i]);
      if (!copy) continue;
      if (!copy->handled) {
        delete copy;
        continue;
      }
      PostPanelRecord(m_owner, m_changedMessage, 1, copy);
    }
    return 0;
  }
  for (ULONG i = 0; i < count; ++i) HandleNotification(notifications[i]);
  return 0;
}

void CEmailsList::OnNotify(WPARAM count, CPanelRecord& record) {
  auto* change = dynamic_cast<CEmailChangeRecord*>(&record);
  if (!change || count != 1) return;
  HandleNotification(change->notification);
}

void CEmailsList::HandleNotification(const NOTIFICATION& n) {
  const ULONG event = n.ulEventType;
  if (event == fnevNewMail) {
    const NEWMAIL_NOTIFICATION& mail = n.info.newmail;
    const int store = FindStoreByFolder(mail.cbParentID, reinterpret_cast<const BYTE*>(mail.lpParentID));
    if (store >= 0) AddMessage(store, mail.cbEntryID, reinterpret_cast<const BYTE*>(mail.lpEntryID));
    return;
  }
  const OBJECT_NOTIFICATION& o = n.info.obj;
  const BYTE* entry = reinterpret_cast<const BYTE*>(o.lpEntryID);
  const BYTE* parent = reinterpret_cast<const BYTE*>(o.lpParentID);
  if (o.ulObjType == MAPI_STORE) {
    if (event & (fnevObjectCreated | fnevObjectDeleted | fnevObjectModified)) RebuildAll();
    return;
  }
  if (o.ulObjType != MAPI_MESSAGE) return;

  Action action = Action::None;
  int store = -1, message = -1, oldStore = -1, oldMessage = -1;
  if (event & fnevObjectCreated) {
    store = FindStoreByFolder(o.cbParentID, parent);
    if (store >= 0) action = Action::Add;
  }
  if (event & fnevObjectDeleted) {
    store = FindStoreByFolder(o.cbParentID, parent);
    message = FindItem(store, o.cbEntryID, entry);
    if (message >= 0) action = Action::Delete;
  }
  if (event & fnevObjectModified) {
    store = FindStoreByFolder(o.cbParentID, parent);
    message = FindItem(store, o.cbEntryID, entry);
    if (store >= 0) action = message >= 0 ? Action::Modify : Action::Add;
  }
  if (event & (fnevObjectMoved | fnevObjectCopied)) {
    const bool move = (event & fnevObjectMoved) != 0;
    oldStore = FindStoreByFolder(o.cbOldParentID, reinterpret_cast<const BYTE*>(o.lpOldParentID));
    oldMessage = FindItem(oldStore, o.cbOldID, reinterpret_cast<const BYTE*>(o.lpOldID));
    store = FindStoreByFolder(o.cbParentID, parent);
    message = FindItem(store, o.cbEntryID, entry);
    action = Action::None;
    // A message the target already holds is brought up to date, never listed twice;
    // a copy into a shown folder shows there whether or not its original is shown.
    if (oldMessage >= 0 && move) {
      action = Action::Move;
    } else if (store >= 0) {
      action = message >= 0 ? Action::Modify : Action::Add;
    }
  }

  switch (action) {
    case Action::Add:
      AddMessage(store, o.cbEntryID, entry);
      break;
    case Action::Delete:
      DeleteMessage(store, message);
      break;
    case Action::Modify:
      ModifyMessage(store, message);
      break;
    case Action::Move:
      DeleteMessage(oldStore, oldMessage);
      if (store >= 0) {
        // Deleting from the same account moved its later messages down by one.
        if (store == oldStore && message > oldMessage) --message;
        if (message >= 0)
          ModifyMessage(store, message);
        else
          AddMessage(store, o.cbEntryID, entry);
      }
      break;
    case Action::RebuildAll:
      RebuildAll();
      break;
    case Action::None:
      break;
  }
}

void CEmailsList::AppendItem(EMAIL_STORE& record, EMAIL_ITEM* item) {
  item->accountName = record.name;
  record.messages.push_back(item);
  if (!item->IsRead()) ++record.unreadCount;
  for (IEmailListListener* listener : ListenersCopy()) listener->OnEmailAdded(item);
}

void CEmailsList::AddMessage(int storeIndex, ULONG cb, const BYTE* entryId) {
  EMAIL_STORE* record = StoreAt(storeIndex);
  if (!record || !cb || !entryId) return;
  // One delivery is heard as new mail and as a created message: the second brings the
  // held message up to date instead of listing it twice.
  const int held = FindItem(storeIndex, cb, entryId);
  if (held >= 0) {
    ModifyMessage(storeIndex, held);
    return;
  }
  EMAIL_ITEM* item = EMAIL_ITEM::New();
  if (!item) return;
  CBlobObj id;
  id.Assign(entryId, cb);
  if (!item->Parse(GetSession(), id, record->storeId) || !Keeps(*item)) {
    item->Release();
    return;
  }
  AppendItem(*record, item);
}

void CEmailsList::DeleteMessage(int storeIndex, int messageIndex) {
  EMAIL_STORE* record = StoreAt(storeIndex);
  if (!record || messageIndex < 0 || messageIndex >= static_cast<int>(record->messages.size())) return;
  EMAIL_ITEM* item = record->messages[messageIndex];
  record->messages.erase(record->messages.begin() + messageIndex);
  if (!item->IsRead()) --record->unreadCount;
  for (IEmailListListener* listener : ListenersCopy()) listener->OnEmailDeleted(item, 1);
  item->Release();
}

// newItem takes the old one's place when it is kept; otherwise the old one goes.
void CEmailsList::ReplaceMessage(int storeIndex, int messageIndex, EMAIL_ITEM* newItem) {
  EMAIL_STORE& record = *StoreAt(storeIndex);
  EMAIL_ITEM* oldItem = record.messages[messageIndex];
  if (newItem && Keeps(*newItem)) {
    newItem->accountName = record.name;
    record.messages[messageIndex] = newItem;
    record.unreadCount += (newItem->IsRead() ? 0 : 1) - (oldItem->IsRead() ? 0 : 1);
    for (IEmailListListener* listener : ListenersCopy()) listener->OnEmailChanged(oldItem, newItem);
  } else {
    record.messages.erase(record.messages.begin() + messageIndex);
    if (!oldItem->IsRead()) --record.unreadCount;
    for (IEmailListListener* listener : ListenersCopy()) listener->OnEmailDeleted(oldItem, 1);
    if (newItem) newItem->Release();
  }
  oldItem->Release();
}

void CEmailsList::ModifyMessage(int storeIndex, int messageIndex) {
  EMAIL_STORE* record = StoreAt(storeIndex);
  if (!record || messageIndex < 0 || messageIndex >= static_cast<int>(record->messages.size())) return;
  EMAIL_ITEM* newItem = EMAIL_ITEM::New();
  if (newItem && !newItem->Parse(GetSession(), record->messages[messageIndex]->entryId, record->storeId)) {
    newItem->Release();
    newItem = nullptr;
  }
  ReplaceMessage(storeIndex, messageIndex, newItem);
}

void CEmailsList::RebuildAll() {
  for (IEmailListListener* listener : ListenersCopy()) listener->OnEmailChanged(&g_blank, &g_blank);
}

// ---- The other mail programs' readers ----

int CEmailsList::FindWebISTarget(LPCWSTR account, DWORD folderNumber) const {
  for (int i = GetAccountCount() - 1; i >= 0; --i) {
    const EMAIL_STORE& record = *m_stores[i];
    if (record.kind == kStoreWebIS && record.name.Compare(account ? account : L"") == 0 &&
        static_cast<DWORD>(record.webisFolder) == folderNumber)
      return i;
  }
  return -1;
}

int CEmailsList::FindWebISMessage(LPCWSTR account, DWORD id, int* messageIndex) const {
  for (int i = 0; i < GetAccountCount(); ++i) {
    const EMAIL_STORE& record = *m_stores[i];
    if (record.kind != kStoreWebIS || record.name.Compare(account ? account : L"") != 0) continue;
    for (size_t m = 0; m < record.messages.size(); ++m)
      if (record.messages[m]->webisId == id) {
        *messageIndex = static_cast<int>(m);
        return i;
      }
  }
  return -1;
}

void CEmailsList::OnItemAdded(LPCWSTR account, DWORD id, const EMAIL_ITEM& data) {
  const int target = FindWebISTarget(account, data.folderNumber);
  if (target < 0) return;
  EMAIL_STORE& record = *m_stores[target];
  for (size_t m = 0; m < record.messages.size(); ++m)
    if (record.messages[m]->webisId == id) {
      EMAIL_ITEM* item = EMAIL_ITEM::New();
      if (item) item->CopyFrom(data);
      ReplaceMessage(target, static_cast<int>(m), item);
      return;
    }
  if (!Keeps(data)) return;
  EMAIL_ITEM* item = EMAIL_ITEM::New();
  if (!item) return;
  item->CopyFrom(data);
  AppendItem(record, item);
}

void CEmailsList::OnItemDeleted(LPCWSTR account, DWORD id) {
  int message = -1;
  const int store = FindWebISMessage(account, id, &message);
  if (store >= 0) DeleteMessage(store, message);
}

void CEmailsList::OnItemChanged(LPCWSTR account, DWORD id, const EMAIL_ITEM& data) {
  int message = -1;
  const int store = FindWebISMessage(account, id, &message);
  if (store < 0) {
    OnItemAdded(account, id, data);
    return;
  }
  int target = store;
  if (static_cast<DWORD>(m_stores[store]->webisFolder) != data.folderNumber) {
    target = FindWebISTarget(account, data.folderNumber);
    if (target < 0) {
      OnItemDeleted(account, id);
      return;
    }
  }
  if (!Keeps(data)) {
    DeleteMessage(store, message);
    return;
  }
  EMAIL_ITEM* newItem = EMAIL_ITEM::New();
  if (!newItem) return;
  newItem->CopyFrom(data);
  if (target == store) {
    ReplaceMessage(store, message, newItem);
    return;
  }
  EMAIL_STORE& from = *m_stores[store];
  EMAIL_STORE& to = *m_stores[target];
  EMAIL_ITEM* oldItem = from.messages[message];
  from.messages.erase(from.messages.begin() + message);
  if (!oldItem->IsRead()) --from.unreadCount;
  newItem->accountName = to.name;
  to.messages.push_back(newItem);
  if (!newItem->IsRead()) ++to.unreadCount;
  for (IEmailListListener* listener : ListenersCopy()) listener->OnEmailChanged(oldItem, newItem);
  oldItem->Release();
}

void CEmailsList::OnStoreReset() {
  ClearStores(kStorePalm);
  for (IEmailListListener* listener : ListenersCopy()) listener->OnEmailChanged(nullptr, nullptr);
}
