// What the e-mail list reads from the mail programs that keep their own stores: the
// Palm message database and WebIS Mail. Their readers implement these; until they are
// installed the list uses null ones that have nothing.
#pragma once
#include <windows.h>
#include <objidl.h>

#include "platform/cemapi/cemapi.h"
#include "tabs/messages/EmailItem.h"

// Told by the Palm store reader when its database was replaced as a whole.
class IPalmStoreListener {
 public:
  virtual void OnStoreReset() = 0;

 protected:
  ~IPalmStoreListener() = default;
};

class IPalmMsgSource {
 public:
  virtual ~IPalmMsgSource() = default;
  virtual BOOL IsAvailable() = 0;
  virtual void Start(HWND owner, IPalmStoreListener* listener) = 0;
  virtual void Stop() = 0;
  // The folder record of folder number 1-5 (inbox, outbox, sent, deleted, drafts) of
  // the store; 0 when there is none.
  virtual DWORD OpenFolder(IMsgStore* store, int folderNumber) = 0;
  // The messages of a folder record one by one into item; FALSE at the end.
  virtual BOOL GetFirst(DWORD folderRecord, EMAIL_ITEM* item) = 0;
  virtual BOOL GetNext(EMAIL_ITEM* item) = 0;
};

// Told by the WebIS Mail reader of single messages of its accounts; the message data
// carries the folder number and the identifier (webisId).
class IWebISMailListener {
 public:
  virtual void OnItemAdded(LPCWSTR account, DWORD id, const EMAIL_ITEM& data) = 0;
  virtual void OnItemDeleted(LPCWSTR account, DWORD id) = 0;
  virtual void OnItemChanged(LPCWSTR account, DWORD id, const EMAIL_ITEM& data) = 0;

 protected:
  ~IWebISMailListener() = default;
};

class IWebISMailSource {
 public:
  virtual ~IWebISMailSource() = default;
  // FALSE when the program is not installed.
  virtual BOOL LoadAccounts(HWND owner, IWebISMailListener* listener) = 0;
  virtual void CloseAccounts() = 0;
  // The messages of one folder of an account, one by one into item; FALSE at the end.
  virtual BOOL GetFirstMessage(LPCWSTR account, int folderNumber, EMAIL_ITEM* item) = 0;
  virtual BOOL GetNextMessage(EMAIL_ITEM* item) = 0;
  // What the mail preview asks: a message's stored MIME source (one reference, or
  // null), the program's build (0 when not known) and whether its own "tmail.exe" has
  // replaced the system's.
  virtual IStream* GetMessageSource(LPCWSTR account, DWORD id) = 0;
  virtual DWORD GetBuild() const = 0;
  virtual BOOL HasTakenOverMailProgram() = 0;
};

// The readers that have nothing: no Palm store, no WebIS Mail accounts.
IPalmMsgSource* GetNullPalmMsgSource();
IWebISMailSource* GetNullWebISMailSource();
