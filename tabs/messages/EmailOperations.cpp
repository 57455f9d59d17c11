// The message operations of the e-mail list: what the rows, the account headers, the
// contact popups and the preview start on messages and accounts. WebIS Mail's own
// messages go to its commands; the others are changed in their message store, shown
// by the item-operations program or handed to the system mail program. Every
// operation tells what really happened.
#include <new>

#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/TaggedBlob.h"
#include "pim/OndrelClient.h"
#include "pim/PimAddins.h"
#include "pim/SystemUtils.h"
#include "platform/aygshell/aygshell.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailSyncCallback.h"

namespace {

// The shell's new-mail notifications of the inbox.
const CLSID kNewMailNotification = {0xA877D65A, 0x239C, 0x47A7, {0x93, 0x04, 0x0D, 0x34, 0x7F, 0x58, 0x04, 0x08}};
const CLSID kNewMessageNotification = {0xA877D65B, 0x239C, 0x47A7, {0x93, 0x04, 0x0D, 0x34, 0x7F, 0x58, 0x04, 0x08}};
const DWORD kMsgStatusDownload = 0x1000;

LPENTRYID AsEntry(const BYTE* id) { return reinterpret_cast<LPENTRYID>(const_cast<BYTE*>(id)); }

template <class T>
T* OpenAs(IMAPISession* session, ULONG size, const BYTE* id) {
  if (!session || !size || !id) return nullptr;
  IUnknown* opened = nullptr;
  ULONG type = 0;
  if (FAILED(session->OpenEntry(size, AsEntry(id), nullptr, 0, &type, &opened)) || !opened) return nullptr;
  return static_cast<T*>(opened);
}

template <class T>
void ReleaseAndNull(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

BOOL SetOneProp(IMAPISession* session, const CBlobObj& entryId, ULONG tag, DWORD value) {
  IMessage* message = OpenAs<IMessage>(session, entryId.GetSize(), entryId.GetData());
  if (!message) return FALSE;
  SPropValue prop = {};
  prop.ulPropTag = tag;
  prop.Value.l = static_cast<LONG>(value);
  const HRESULT result = message->SetProps(1, &prop, nullptr);
  message->Release();
  return SUCCEEDED(result);
}

// A name on the mail program's command line stays one argument, whatever it holds:
// the text between double quotes with a quote written \" and the backslashes before a
// quote (or before the closing one) doubled, as programs split their command lines.
CString QuotedArgument(LPCWSTR text) {
  CString out(L"\"");
  int backslashes = 0;
  for (LPCWSTR at = text ? text : L""; *at; ++at) {
    if (*at == L'\\') {
      ++backslashes;
      continue;
    }
    for (int i = 0; i < (*at == L'"' ? backslashes * 2 + 1 : backslashes); ++i) out += L'\\';
    backslashes = 0;
    out += *at;
  }
  for (int i = 0; i < backslashes * 2; ++i) out += L'\\';
  out += L'"';
  return out;
}

// "name" <address>, the name's own quotes and backslashes escaped as an address
// header writes them, so a quote in a name cannot end the display part early.
CString NamedAddress(LPCWSTR name, LPCWSTR address) {
  CString out(L"\"");
  for (LPCWSTR at = name ? name : L""; *at; ++at) {
    if (*at == L'"' || *at == L'\\') out += L'\\';
    out += *at;
  }
  out += L"\" <";
  out += address ? address : L"";
  out += L'>';
  return out;
}

// WebIS Mail's recipient: "name <address>", or the address alone without a name.
CString RecipientText(LPCWSTR name, LPCWSTR address) {
  CString recipient;
  if (name && *name)
    recipient.Format(L"%s <%s>", name, address ? address : L"");
  else
    recipient = address ? address : L"";
  return recipient;
}

BOOL IsPocketPC5OrLater() {
  DWORD major = 0, minor = 0;
  return GetPocketPCVersion(&major, &minor) && major >= 5;
}

}  // namespace

void CEmailsList::SetWebISCommands(IWebISMailCommands* commands) {
  m_webisCommands = commands ? commands : GetNullWebISMailCommands();
}

BOOL CEmailsList::OpenMessage(EMAIL_ITEM* item, int action) {
  if (!item) return FALSE;
  if (item->sourceKind == kSourceWebIS) return m_webisCommands->OpenMessage(*item, action);
  // WebIS Mail shows the device's messages itself then; nothing was opened here.
  if (m_webisCommands->HasTakenOverMailProgram()) return FALSE;
  COndrelClient& ondrel = COndrelClient::Instance();
  if (!ondrel.SendMessageItem(item->entryId.GetData(), item->entryId.GetSize(), action) ||
      !ondrel.FindOndrelWindow())
    return FALSE;
  ChangeFlags(item, item->flags | MSGFLAG_READ, TRUE);
  return TRUE;
}

BOOL CEmailsList::SetRead(EMAIL_ITEM* item, BOOL read, BOOL notify) {
  if (!item) return FALSE;
  if (item->sourceKind == kSourceWebIS) return m_webisCommands->SetRead(*item, read, notify);
  if ((item->IsRead() != FALSE) == (read != FALSE)) return TRUE;
  return ChangeFlags(item, read ? item->flags | MSGFLAG_READ : item->flags & ~DWORD(MSGFLAG_READ), notify);
}

BOOL CEmailsList::ChangeFlags(EMAIL_ITEM* item, DWORD flags, BOOL notify) {
  if (!item || item->sourceKind == kSourceWebIS) return FALSE;
  // The list itself changes with the notification that follows.
  if (!SetOneProp(GetSession(), item->entryId, PR_MESSAGE_FLAGS, flags)) return FALSE;
  if (notify && (flags & MSGFLAG_READ)) RemoveNewMailNotifications();
  return TRUE;
}

void CEmailsList::RemoveNewMailNotifications() {
  SHNotificationRemove(&kNewMailNotification, 23);
  SHNotificationRemove(&kNewMessageNotification, 22);
}

BOOL CEmailsList::MarkForDownload(EMAIL_ITEM* item, BOOL mark) {
  if (!item) return FALSE;
  if (item->sourceKind == kSourceWebIS) return m_webisCommands->MarkForDownload(*item, mark);
  const DWORD status = mark ? item->status | kMsgStatusDownload : item->status & ~kMsgStatusDownload;
  return SetOneProp(GetSession(), item->entryId, PR_MSG_STATUS, status);
}

DWORD CEmailsList::IsTrashEmptyImmediate() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Inbox\\Settings", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return 2;
  DWORD type = 0, value = 0, size = sizeof value;
  const LONG read = RegQueryValueExW(key, L"TrashEmpty", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value ? value : 2;
}

int CEmailsList::FindStoreOf(const EMAIL_ITEM& item) {
  return FindStoreByFolder(item.parentId.GetSize(), item.parentId.GetData());
}

BOOL CEmailsList::DeleteItem(EMAIL_ITEM* item) {
  if (!item) return FALSE;
  if (item->sourceKind == kSourceWebIS) return m_webisCommands->DeleteMessage(*item);
  BOOL permanent = !m_webisCommands->IsEmailIntegration() && IsTrashEmptyImmediate() == 0;
  const int index = FindStoreOf(*item);
  EMAIL_STORE* record = StoreAt(index);
  IMAPISession* session = GetSession();
  if (!record || !session || !record->deletedId.GetSize()) return FALSE;
  const BOOL inDeleted = CompareID(record->folderId.GetSize(), record->folderId.GetData(),
                                   record->deletedId.GetSize(), record->deletedId.GetData());
  if (inDeleted) permanent = TRUE;

  IMAPIFolder* folder = OpenAs<IMAPIFolder>(session, record->folderId.GetSize(), record->folderId.GetData());
  IMAPIFolder* deleted = OpenAs<IMAPIFolder>(session, record->deletedId.GetSize(), record->deletedId.GetData());
  if (!folder || !deleted) {
    ReleaseAndNull(folder);
    ReleaseAndNull(deleted);
    return FALSE;
  }

  // The account's transport hears of a deletion for good; without it the message
  // store still deletes the message.
  HMODULE library = nullptr;
  IMailSyncHandler* transport = nullptr;
  BOOL initialized = FALSE;
  CString transportName, libraryName;
  if (permanent && record->store && GetInboxServiceInfo(record->service, transportName, libraryName)) {
    library = LoadLibraryW(libraryName);
    auto factory = library ? reinterpret_cast<ONESTOPFACTORYFUNC>(
                                 reinterpret_cast<void*>(GetProcAddress(library, "OneStopFactory")))
                           : nullptr;
    if (factory && SUCCEEDED(factory(transportName, &transport)) && transport) {
      CMailSyncCallback* callback = new (std::nothrow) CMailSyncCallback(m_owner);
      if (callback) {
        initialized = SUCCEEDED(transport->Initialize(callback, L"dummy", record->store));
        callback->Release();
      }
    }
  }

  SBinary entry = {item->entryId.GetSize(), const_cast<BYTE*>(item->entryId.GetData())};
  ENTRYLIST list = {1, &entry};
  // A message the folder did not hold is only a warning to the store: not done.
  BOOL done = TRUE;
  if (!inDeleted) done = folder->CopyMessages(&list, nullptr, deleted, 0, nullptr, MESSAGE_MOVE) == S_OK;
  // A move keeps the message's entry id, so the same list names it in Deleted Items.
  if (done && permanent) done = deleted->DeleteMessages(&list, 0, nullptr, 0) == S_OK;

  if (initialized) transport->ShutDown(0);
  ReleaseAndNull(transport);
  if (library) FreeLibrary(library);
  folder->Release();
  deleted->Release();
  return done;
}

BOOL CEmailsList::MoveItem(EMAIL_ITEM* item, const CTaggedBlob& target) {
  if (!item) return FALSE;
  const BOOL webisTarget = target.GetKind() == CTaggedBlob::KindF;
  if (item->sourceKind == kSourceWebIS) {
    if (!webisTarget) return FALSE;
    CBlobObj packed;
    packed.Assign(target.GetData(), target.GetSize());
    DWORD number = 0;
    CString account;
    if (!UnpackKindText(packed, number, account) || account.Compare(item->accountName) != 0) return FALSE;
    return m_webisCommands->MoveMessage(*item, number);
  }
  if (webisTarget) return FALSE;
  if (IsSameId(target, item->parentId)) return TRUE;
  EMAIL_STORE* record = StoreAt(FindStoreOf(*item));
  IMAPISession* session = GetSession();
  if (!record || !session) return FALSE;
  IMAPIFolder* source = OpenAs<IMAPIFolder>(session, record->folderId.GetSize(), record->folderId.GetData());
  IMAPIFolder* destination = OpenAs<IMAPIFolder>(session, target.GetSize(), target.GetData());
  BOOL moved = FALSE;
  if (source && destination) {
    SBinary entry = {item->entryId.GetSize(), const_cast<BYTE*>(item->entryId.GetData())};
    ENTRYLIST list = {1, &entry};
    moved = source->CopyMessages(&list, nullptr, destination, 0, nullptr, MESSAGE_MOVE) == S_OK;
  }
  ReleaseAndNull(source);
  ReleaseAndNull(destination);
  return moved;
}

BOOL CEmailsList::IsSameId(const CTaggedBlob& folder, const CBlobObj& id) {
  GetSession();
  return CompareID(folder.GetSize(), folder.GetData(), id.GetSize(), id.GetData());
}

BOOL CEmailsList::RunServiceInMailProgram(LPCWSTR account) {
  return RunMailProgram(L"-service " + QuotedArgument(account));
}

BOOL CEmailsList::OpenAccount(LPCWSTR account) {
  if (!account || !*account) return RunMailProgram(nullptr);
  if (!m_webisCommands->HasTakenOverMailProgram() && GetAccountKindByName(account) != kStoreWebIS)
    return RunServiceInMailProgram(account);
  return m_webisCommands->OpenService(account);
}

BOOL CEmailsList::SendReceive(LPCWSTR account) {
  if (account && *account) {
    if (!m_webisCommands->HasTakenOverMailProgram() && GetAccountKindByName(account) != kStoreWebIS)
      return SendReceiveInMailProgram(account);
    return m_webisCommands->Synchronize(account);
  }
  BOOL done = FALSE;
  if (m_webisCommands->IsInstalled()) {
    done = m_webisCommands->Synchronize(nullptr);
    if (m_webisCommands->HasTakenOverMailProgram()) return done;
  }
  return SendReceiveInMailProgram(nullptr);
}

BOOL CEmailsList::SendReceiveInMailProgram(LPCWSTR account) {
  if (account && *account && !RunServiceInMailProgram(account)) return FALSE;
  return RunMailProgram(L"-sync");
}

BOOL CEmailsList::NewMessageInMailProgram(LPCWSTR account) {
  const BOOL named = account && *account;
  CString arguments;
  if (IsPocketPC5OrLater()) {
    if (named) arguments = L"-service " + QuotedArgument(account) + L" -transport " + QuotedArgument(account) + L" ";
    arguments += L"-to " + QuotedArgument(L"");
  } else {
    arguments = named ? L"-service " + QuotedArgument(account) + L" -to " + QuotedArgument(L"") : CString(L"-new");
  }
  return RunMailProgram(arguments);
}

BOOL CEmailsList::NewMessage(LPCWSTR account) {
  if (!account || !*account) return NewMessageInMailProgram(nullptr);
  const DWORD kind = GetAccountKindByName(account);
  const BOOL sms = _wcsicmp(account, L"SMS") == 0;
  const BOOL takenOver = m_webisCommands->HasTakenOverMailProgram();
  const BOOL webis = takenOver || kind == kStoreWebIS ||
                     (sms ? m_webisCommands->IsSmsIntegration() : m_webisCommands->IsEmailIntegration());
  if (!webis) return NewMessageInMailProgram(account);
  // A device account WebIS Mail does not know by name.
  if (kind == kStoreMapiFolder && !sms && _wcsicmp(account, L"ActiveSync") != 0)
    return takenOver ? m_webisCommands->Compose(nullptr, L"") : NewMessageInMailProgram(account);
  return m_webisCommands->Compose(account, L"");
}

BOOL CEmailsList::ComposeEmail(LPCWSTR name, LPCWSTR address) {
  if (m_webisCommands->IsInstalled() &&
      (m_webisCommands->HasTakenOverMailProgram() || m_webisCommands->IsEmailIntegration())) {
    return m_webisCommands->Compose(nullptr, RecipientText(name, address));
  }
  return RunMailProgram(L"-to " + QuotedArgument(NamedAddress(name, address)));
}

BOOL CEmailsList::ComposeSms(LPCWSTR name, LPCWSTR number) {
  if (!IsPhonePresent()) return FALSE;
  if (m_webisCommands->IsInstalled() &&
      (m_webisCommands->HasTakenOverMailProgram() || m_webisCommands->IsSmsIntegration())) {
    return m_webisCommands->Compose(L"SMS", RecipientText(name, number));
  }
  return RunMailProgram(L"-transport \"SMS\" -to " + QuotedArgument(NamedAddress(name, number)));
}
