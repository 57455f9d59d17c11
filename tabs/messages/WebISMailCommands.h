// What the message operations ask of WebIS Mail: its tests (installed, taken over
// the system mail program, e-mail and text-message integration) and its commands on
// its own messages and accounts. WebIS Mail's integration gives the real one; until
// it is installed the list uses the null one: not installed, every command refused.
#pragma once
#include <windows.h>

#include "tabs/messages/EmailItem.h"

class IWebISMailCommands {
 public:
  virtual ~IWebISMailCommands() = default;
  virtual BOOL IsInstalled() = 0;
  virtual BOOL HasTakenOverMailProgram() = 0;
  virtual BOOL IsEmailIntegration() = 0;
  virtual BOOL IsSmsIntegration() = 0;
  // Actions 0 open, 3 reply, 4 reply to all, 5 forward.
  virtual BOOL OpenMessage(const EMAIL_ITEM& item, int action) = 0;
  virtual BOOL SetRead(const EMAIL_ITEM& item, BOOL read, BOOL notify) = 0;
  virtual BOOL MarkForDownload(const EMAIL_ITEM& item, BOOL mark) = 0;
  virtual BOOL DeleteMessage(const EMAIL_ITEM& item) = 0;
  virtual BOOL MoveMessage(const EMAIL_ITEM& item, DWORD folderNumber) = 0;
  virtual BOOL OpenService(LPCWSTR storage) = 0;
  // Null: every account.
  virtual BOOL Synchronize(LPCWSTR storage) = 0;
  // storageOrService null: no account named.
  virtual BOOL Compose(LPCWSTR storageOrService, LPCWSTR recipient) = 0;
};

IWebISMailCommands* GetNullWebISMailCommands();
