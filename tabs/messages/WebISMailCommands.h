// What the message operations ask of WebIS Mail: its tests (installed, taken over
// the system mail program, e-mail and text-message integration) and its commands on
// its own messages and accounts. The e-mail list asks WebIS Mail's settings object
// (CWebISMailCommands over GetWebISMailSettings); the null one stands for a device
// without WebIS Mail: not installed, every command refused.
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

class CWebISMailSettings;

// WebIS Mail's own answers: its settings and accounts (CWebISMailSettings) change its
// records while its window is closed and hand it command lines from build 993 on.
class CWebISMailCommands : public IWebISMailCommands {
 public:
  explicit CWebISMailCommands(CWebISMailSettings& settings) : m_settings(settings) {}
  BOOL IsInstalled() override;
  BOOL HasTakenOverMailProgram() override;
  BOOL IsEmailIntegration() override;
  BOOL IsSmsIntegration() override;
  BOOL OpenMessage(const EMAIL_ITEM& item, int action) override;
  // The change is told to the list by WebIS Mail's reader whether or not notify is set.
  BOOL SetRead(const EMAIL_ITEM& item, BOOL read, BOOL notify) override;
  BOOL MarkForDownload(const EMAIL_ITEM& item, BOOL mark) override;
  BOOL DeleteMessage(const EMAIL_ITEM& item) override;
  BOOL MoveMessage(const EMAIL_ITEM& item, DWORD folderNumber) override;
  BOOL OpenService(LPCWSTR storage) override;
  BOOL Synchronize(LPCWSTR storage) override;
  BOOL Compose(LPCWSTR storageOrService, LPCWSTR recipient) override;

 private:
  CWebISMailSettings& m_settings;
};

// The process's: over GetWebISMailSettings().
IWebISMailCommands* GetWebISMailCommands();
