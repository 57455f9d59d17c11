// The process's one list of messages: e-mail, text and multimedia messages of the
// device's message stores, of WebIS Mail and of the Palm message store, grouped into
// accounts as the account filters name their folders. It owns the messaging session
// and is its advise sink: notifications from any thread are carried to the panel's
// thread and turned into single-message changes told to the views.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "pim/PimAddins.h"
#include "platform/cemapi/cemapi.h"
#include "platform/windowlib/String.h"
#include "tabs/messages/EmailItem.h"
#include "tabs/messages/EmailListListener.h"
#include "tabs/messages/EmailStore.h"
#include "tabs/messages/OtherMailSources.h"
#include "tabs/messages/WebISMailCommands.h"

class CPanelRecord;
class CTaggedBlob;

class CEmailsList : public IMAPIAdviseSink,
                    public IWebISMailListener,
                    public IPalmStoreListener,
                    public IMessageComposer {
 public:
  static constexpr const wchar_t* kChangedMessage = L"QelTarvo_EmailListChanged";

  CEmailsList();
  virtual ~CEmailsList();
  CEmailsList(const CEmailsList&) = delete;
  CEmailsList& operator=(const CEmailsList&) = delete;
  static CEmailsList& GetGlobal();

  // The readers of the other mail programs (at first the Palm message store and WebIS
  // Mail's settings); null: the null ones. Set before Init.
  void SetOtherSources(IPalmMsgSource* palm, IWebISMailSource* webis);
  IWebISMailSource* GetWebISSource() const { return m_webis; }

  // WebIS Mail's tests and commands (at first the process's WebIS Mail settings); null:
  // the null ones (not installed).
  void SetWebISCommands(IWebISMailCommands* commands);

  // The calling thread becomes the owner: notifications from other threads are posted
  // to owner as "QelTarvo_EmailListChanged". The list composes the contacts' new
  // messages from then until Done.
  void Init(HWND owner);
  void Done();

  void AddListener(IEmailListListener* listener);
  void RemoveListener(IEmailListListener* listener);

  int GetAccountCount() const { return static_cast<int>(m_stores.size()); }
  // Out of range: empty, 0, FALSE.
  CString GetAccountName(int index) const;
  DWORD GetAccountKind(int index) const;
  int GetItemCount(int index) const;
  int GetUnreadCount(int index) const;
  // The message at the account's cursor (borrowed), the cursor moving on.
  BOOL GetFirstItem(int index, EMAIL_ITEM** item);
  BOOL GetNextItem(int index, EMAIL_ITEM** item);
  DWORD GetAccountKindByName(LPCWSTR name) const;
  const EMAIL_STORE* GetAccount(int index) const;

  // The account showing the filter's folder, added and read when missing; -1 on failure.
  int FindOrAddStore(const CTaggedBlob& folder);
  // Reads an account's messages (negative: the last account); the number added.
  int UpdateStore(int index);
  void SetOnlyUnread(BOOL onlyUnread);
  BOOL GetOnlyUnread() const { return m_onlyUnread; }
  IMAPISession* GetSession();
  BOOL CompareID(ULONG cb1, const BYTE* id1, ULONG cb2, const BYTE* id2);
  int FindStoreByFolder(ULONG cb, const BYTE* id);
  int FindItem(int index, ULONG cb, const BYTE* id);
  // Kind 0: every account's messages and the accounts; else only accounts of that kind.
  void ClearStores(DWORD kind);
  BOOL GetMapiRecipient(const CBlobObj& entryId, CString& name, CString& text, CString& addressType);
  // Reads the recipient an account's reading left for later; nothing when it is there.
  void EnsureRecipient(EMAIL_ITEM* item);

  // Message operations. Each tells whether it was done; a message's list entry changes
  // only with the notification its change brings. Actions 0 open, 3 reply, 4 reply to
  // all, 5 forward (through the item-operations program, the message then marked read).
  BOOL OpenMessage(EMAIL_ITEM* item, int action);
  BOOL SetRead(EMAIL_ITEM* item, BOOL read, BOOL notify);
  // Writes the message flags; notify with the read bit removes the shell's new-mail
  // notifications.
  BOOL ChangeFlags(EMAIL_ITEM* item, DWORD flags, BOOL notify);
  BOOL MarkForDownload(EMAIL_ITEM* item, BOOL mark);
  // To Deleted Items, or for good (from Deleted Items, or when "TrashEmpty" is 0 and
  // WebIS Mail does not handle e-mail) with the account's transport told.
  BOOL DeleteItem(EMAIL_ITEM* item);
  // To a folder of the item's own kind; a move to its own folder changes nothing.
  BOOL MoveItem(EMAIL_ITEM* item, const CTaggedBlob& target);
  // The account in its mail program (empty: the mail program as it starts).
  BOOL OpenAccount(LPCWSTR account);
  // Null: every account.
  BOOL SendReceive(LPCWSTR account);
  BOOL SendReceiveInMailProgram(LPCWSTR account);
  BOOL NewMessage(LPCWSTR account);
  BOOL ComposeEmail(LPCWSTR name, LPCWSTR address) override;
  // Only on a device with a phone.
  BOOL ComposeSms(LPCWSTR name, LPCWSTR number) override;
  // "TrashEmpty" of the inbox settings; 2 when missing.
  static DWORD IsTrashEmptyImmediate();
  static void RemoveNewMailNotifications();
  int FindStoreOf(const EMAIL_ITEM& item);
  BOOL IsSameId(const CTaggedBlob& folder, const CBlobObj& id);

  // A record posted with "QelTarvo_EmailListChanged", handed on by the panel.
  void OnNotify(WPARAM count, CPanelRecord& record);
  UINT GetChangedMessageId() const { return m_changedMessage; }

  // Advise sink: the list is never freed through these.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  ULONG STDMETHODCALLTYPE OnNotify(ULONG count, LPNOTIFICATION notifications) override;

  // WebIS Mail reader.
  void OnItemAdded(LPCWSTR account, DWORD id, const EMAIL_ITEM& data) override;
  void OnItemDeleted(LPCWSTR account, DWORD id) override;
  void OnItemChanged(LPCWSTR account, DWORD id, const EMAIL_ITEM& data) override;
  // Palm store reader.
  void OnStoreReset() override;

 private:
  enum class Action { None, Add, Delete, Modify, Move, RebuildAll };
  void HandleNotification(const NOTIFICATION& notification);
  BOOL FindStoreId(IUnknown* folder, CBlobObj& storeId, CString& service, CString& displayName);
  BOOL QueryStoreInfo(EMAIL_STORE& record, const CBlobObj& storeId);
  int UpdatePalmStore(EMAIL_STORE& record);
  int UpdateWebISStore(EMAIL_STORE& record);
  template <class Next, class Wanted>
  int ReadItems(EMAIL_STORE& record, Next next, Wanted wanted);
  EMAIL_STORE* StoreAt(int index) const;
  int FindWebISTarget(LPCWSTR account, DWORD folderNumber) const;
  int FindWebISMessage(LPCWSTR account, DWORD id, int* messageIndex) const;
  BOOL RunServiceInMailProgram(LPCWSTR account);
  BOOL NewMessageInMailProgram(LPCWSTR account);
  BOOL Keeps(const EMAIL_ITEM& item) const { return !(m_onlyUnread && item.IsRead()); }

  // The actions, each ending in the listeners' calls.
  void AddMessage(int storeIndex, ULONG cb, const BYTE* entryId);
  void AppendItem(EMAIL_STORE& record, EMAIL_ITEM* item);
  void DeleteMessage(int storeIndex, int messageIndex);
  void ReplaceMessage(int storeIndex, int messageIndex, EMAIL_ITEM* newItem);
  void ModifyMessage(int storeIndex, int messageIndex);
  void RebuildAll();

  std::vector<IEmailListListener*> ListenersCopy() const { return m_listeners; }

  std::vector<std::unique_ptr<EMAIL_STORE>> m_stores;
  std::vector<IEmailListListener*> m_listeners;
  ULONG m_connection = 0;
  DWORD m_ownerThread = 0;
  HWND m_owner = nullptr;
  IMAPISession* m_session = nullptr;
  BOOL m_onlyUnread = FALSE;
  BOOL m_mapiInitialized = FALSE;
  UINT m_changedMessage = 0;
  IPalmMsgSource* m_palm;
  IWebISMailSource* m_webis;
  IWebISMailCommands* m_webisCommands = GetWebISMailCommands();
};
