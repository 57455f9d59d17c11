// WebIS Mail (version 2), another vendor's mail program: its settings and its
// accounts, each a database volume of its own. Read so that the mail folder
// tree and filters can offer its folders; nothing of WebIS Mail is ever written.
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

#include "platform/windowlib/String.h"
#include "tabs/messages/CeMailStore.h"

class CWebISMailSettings {
 public:
  // The short name of a volume file without a folder or extension.
  static constexpr LPCWSTR kNoShortName = L"{00000000-0000-0000-0000-000000000000}";

  CWebISMailSettings();
  ~CWebISMailSettings();
  CWebISMailSettings(const CWebISMailSettings&) = delete;
  CWebISMailSettings& operator=(const CWebISMailSettings&) = delete;

  BOOL IsInstalled() const { return !m_installDir.IsEmpty(); }
  DWORD GetBuild() const { return m_build; }
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

  BOOL GetFirstAccount(CString& key, CString& displayName);
  BOOL GetNextAccount(CString& key, CString& displayName);
  BOOL GetFirstFolder(LPCWSTR key, WEBIS_FOLDER& folder);
  BOOL GetNextFolder(WEBIS_FOLDER& folder);
  CCeMailStore* FindAccount(LPCWSTR key) const;

 private:
  CString SettingsPath() const;

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
};

// The process's settings, read on first use.
CWebISMailSettings& GetWebISMailSettings();
