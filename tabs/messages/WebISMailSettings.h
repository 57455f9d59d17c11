// WebIS Mail (version 2), another vendor's mail program: its settings and its
// accounts, each a database volume of its own. The options program reads them so that
// the mail folder tree and filters can offer its folders, and never writes them; the
// e-mail list reads their messages and, while WebIS Mail's own window is closed, changes
// their records as WebIS Mail would (read, download marks, moves, deletions).
//
// Registry: HKCU "Software\WebIS\Mail2" ("InstallDir", "DataDir", "Build").
// "settings.ini" in the data folder: section "Settings" (the integration and
// delete-mode flags) and one "SERVICE.<anything>" section per mail service with
// "Storage" (the account key), "StorageName", "StorageDBFileName" and
// "ServiceName"; services sharing one storage are one account.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "base/CeDatabase.h"
#include "platform/windowlib/String.h"
#include "tabs/messages/OtherMailSources.h"
#include "tabs/messages/CeMailStore.h"

class CWebISMailSettings : public IWebISMailSource, public ICeDatabaseSink {
 public:
  // Where command lines for WebIS Mail go: by default the item-operations program,
  // which starts WebIS Mail with them. Tests give their own (null restores it).
  typedef void (*CommandRunner)(LPCWSTR parameters);
  static void SetCommandRunner(CommandRunner runner);

  // The short name of a volume file without a folder or extension.
  static constexpr LPCWSTR kNoShortName = L"{00000000-0000-0000-0000-000000000000}";

  CWebISMailSettings();
  ~CWebISMailSettings() override;
  CWebISMailSettings(const CWebISMailSettings&) = delete;
  CWebISMailSettings& operator=(const CWebISMailSettings&) = delete;

  BOOL IsInstalled() const { return !m_installDir.IsEmpty(); }
  DWORD GetBuild() const override { return m_build; }
  // 1: mark read on deletion; 2: keep deleted mail (not deleted for good).
  DWORD GetDeleteFlags() const { return m_deleteFlags; }
  BOOL IsEmailIntegration() const { return m_emailIntegration; }
  BOOL IsSmsIntegration() const { return m_smsIntegration; }
  const CString& GetInstallDir() const { return m_installDir; }
  const CString& GetDataDir() const { return m_dataDir; }

  // Mounts and opens every account of "settings.ini"; an account whose volume
  // does not mount or open, or has no folders, is left out. FALSE when WebIS
  // Mail is not installed.
  BOOL LoadAccounts();
  // Closes and unmounts every account.
  void ReleaseAccounts();

  // The e-mail list's reading: the accounts opened with their databases' changes going
  // to owner, and single-message changes told to listener. 0 when not installed.
  BOOL LoadAccounts(HWND owner, IWebISMailListener* listener) override;
  void CloseAccounts() override;
  // The messages of one folder record of an account; deleted ones are passed over.
  BOOL GetFirstMessage(LPCWSTR account, int folder, EMAIL_ITEM* item) override;
  BOOL GetNextMessage(EMAIL_ITEM* item) override;
  // A stream (one reference) over the message's MIME source, or null.
  IStream* GetMessageSource(LPCWSTR storage, DWORD id) override;

  // WebIS Mail's main window is open: changes go to it as commands.
  BOOL IsMainWindowRunning() const;
  // WebIS Mail's "tmail.exe" replaced the system's (both the same size); decided once.
  BOOL HasTakenOverMailProgram() override;

  // The message operations on a WebIS Mail item of a known account (else FALSE). With
  // build 993 or later and the main window open they are commands; else the records
  // are changed here and the change is told to the listener.
  BOOL OpenMessage(const EMAIL_ITEM* item, int action);
  BOOL DeleteMessage(const EMAIL_ITEM* item);
  BOOL SetRead(const EMAIL_ITEM* item, BOOL read);
  BOOL MarkForDownload(const EMAIL_ITEM* item, BOOL mark);
  // Only while the main window is closed; the folder is a "Folders" record identifier.
  BOOL MoveMessage(const EMAIL_ITEM* item, DWORD folder);
  // Commands (build 993 or later): a new message from an account (its first service) or
  // a service named, opening an account's service, synchronising an account.
  BOOL Compose(LPCWSTR storageOrService, LPCWSTR recipient);
  BOOL OpenService(LPCWSTR storage);
  BOOL Synchronize(LPCWSTR storage);

  void OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) override;

  BOOL GetFirstAccount(CString& key, CString& displayName);
  BOOL GetNextAccount(CString& key, CString& displayName);
  BOOL GetFirstFolder(LPCWSTR key, WEBIS_FOLDER& folder);
  BOOL GetNextFolder(WEBIS_FOLDER& folder);
  CCeMailStore* FindAccount(LPCWSTR key) const;

 private:
  CString SettingsPath() const;
  CCeMailStore* StoreOf(const EMAIL_ITEM* item) const;
  BOOL RunCommand(LPCWSTR format, const CCeMailStore& store, DWORD id);
  BOOL ReportChanged(CCeMailStore& store, DWORD id);

  DWORD m_build = 0;
  DWORD m_deleteFlags = 3;
  BOOL m_emailIntegration = FALSE;
  BOOL m_smsIntegration = FALSE;
  CString m_installDir;
  CString m_dataDir;
  int m_accountCursor = 0;
  // In the order the accounts were found.
  std::vector<std::unique_ptr<CCeMailStore>> m_accounts;
  CCeMailStore* m_folderAccount = nullptr;
  size_t m_folderCursor = 0;
  HWND m_owner = nullptr;
  IWebISMailListener* m_listener = nullptr;
  CCeMailStore* m_messageAccount = nullptr;
  DWORD m_messageFolder = 0;
  int m_takeOver = 2;  // 2: not decided yet
};

// The process's settings, read on first use.
CWebISMailSettings& GetWebISMailSettings();
