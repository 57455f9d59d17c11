#include "tabs/messages/WebISMailSettings.h"

#include "graphics/IniFile.h"

namespace {

CString WithBackslash(const CString& folder) {
  CString text = folder;
  if (text.IsEmpty() || text[text.GetLength() - 1] != L'\\') text += L"\\";
  return text;
}

BOOL ReadText(HKEY key, LPCWSTR name, CString& text) {
  WCHAR buffer[MAX_PATH + 1] = L"";
  DWORD size = sizeof buffer - sizeof(WCHAR);
  DWORD type = 0;
  if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return FALSE;
  buffer[size / sizeof(WCHAR)] = 0;
  text = buffer;
  return TRUE;
}

// "SERVICE" before the first '.', in any case.
bool IsServiceSection(LPCWSTR name) {
  if (!name) return false;
  LPCWSTR dot = wcschr(name, L'.');
  return dot && dot - name == 7 && _wcsnicmp(name, L"SERVICE", 7) == 0;
}

// The file name between the last '\' and the last '.', upper-cased.
CString ShortName(const CString& file) {
  LPCWSTR text = file;
  LPCWSTR slash = wcsrchr(text, L'\\');
  LPCWSTR dot = wcsrchr(text, L'.');
  if (!slash || !dot || dot < slash) return CWebISMailSettings::kNoShortName;
  CString name;
  name.Append(slash + 1, static_cast<int>(dot - slash - 1));
  name.MakeUpper();
  return name;
}

DWORD MountFlags() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return ::GetVersionExW(&version) && version.dwMajorVersion < 5 ? OPEN_EXISTING : 0x80000000u | OPEN_EXISTING;
}

}  // namespace

CWebISMailSettings::CWebISMailSettings() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\WebIS\\Mail2", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  CString install, data;
  if (ReadText(key, L"InstallDir", install) && !install.IsEmpty()) m_installDir = WithBackslash(install);
  ReadText(key, L"DataDir", data);
  m_dataDir = WithBackslash(data);
  DWORD build = 0, type = 0, size = sizeof build;
  if (::RegQueryValueExW(key, L"Build", nullptr, &type, reinterpret_cast<BYTE*>(&build), &size) == ERROR_SUCCESS &&
      type == REG_DWORD && size == sizeof build)
    m_build = build;
  ::RegCloseKey(key);
  CIniFile ini(SettingsPath());
  if (CIniFile* settings = ini.FindSection(L"Settings")) {
    BYTE flag = 0;
    if (settings->GetBool(L"EmailIntegration", flag)) m_emailIntegration = flag;
    if (settings->GetBool(L"SMSIntegration", flag)) m_smsIntegration = flag;
  }
}

CWebISMailSettings::~CWebISMailSettings() { ReleaseAccounts(); }

CString CWebISMailSettings::SettingsPath() const {
  CString path = m_dataDir;
  path += L"settings.ini";
  return path;
}

BOOL CWebISMailSettings::LoadAccounts() {
  if (!IsInstalled()) return FALSE;
  ReleaseAccounts();
  CIniFile ini(SettingsPath());
  for (int i = 0; i < ini.GetSectionCount(); ++i) {
    const CIniFile* section = ini.GetSection(i);
    if (!section || !IsServiceSection(section->GetName())) continue;
    CString key, name, file, service;
    if (!section->GetValue(L"Storage", key) || !section->GetValue(L"StorageName", name) ||
        !section->GetValue(L"StorageDBFileName", file) || !section->GetValue(L"ServiceName", service))
      continue;
    if (CCeMailStore* known = FindAccount(key)) {
      known->GetServices().push_back(service);
      continue;
    }
    CEGUID volume{};
    if (!::CeMountDBVol(&volume, const_cast<LPWSTR>(static_cast<LPCWSTR>(file)), MountFlags())) continue;
    auto store = std::make_unique<CCeMailStore>(key, name, ShortName(file), volume);
    store->GetServices().push_back(service);
    // A store that does not open unmounts its volume as it goes.
    if (store->Open()) m_accounts.push_back(std::move(store));
  }
  if (CIniFile* settings = ini.FindSection(L"Settings")) {
    BYTE markRead = 0, deletePermanently = 0;
    if (settings->GetBool(L"MarkReadOnDeletion", markRead) && settings->GetBool(L"DeletePermanently", deletePermanently))
      m_deleteFlags = (markRead ? 1 : 0) + (deletePermanently ? 0 : 2);
  }
  m_accountCursor = 0;
  return TRUE;
}

void CWebISMailSettings::ReleaseAccounts() {
  m_folderAccount = nullptr;
  m_accounts.clear();
}

CCeMailStore* CWebISMailSettings::FindAccount(LPCWSTR key) const {
  for (const auto& account : m_accounts)
    if (key && account->GetKey() == key) return account.get();
  return nullptr;
}

BOOL CWebISMailSettings::GetFirstAccount(CString& key, CString& displayName) {
  m_accountCursor = 0;
  return GetNextAccount(key, displayName);
}

BOOL CWebISMailSettings::GetNextAccount(CString& key, CString& displayName) {
  if (m_accountCursor < 0 || m_accountCursor >= static_cast<int>(m_accounts.size())) {
    m_accountCursor = -1;
    return FALSE;
  }
  const CCeMailStore& account = *m_accounts[size_t(m_accountCursor++)];
  key = account.GetKey();
  displayName = account.GetDisplayName();
  return TRUE;
}

BOOL CWebISMailSettings::GetFirstFolder(LPCWSTR key, WEBIS_FOLDER& folder) {
  m_folderAccount = FindAccount(key);
  m_folderCursor = 0;
  return GetNextFolder(folder);
}

BOOL CWebISMailSettings::GetNextFolder(WEBIS_FOLDER& folder) {
  if (!m_folderAccount || m_folderCursor >= m_folderAccount->GetFolders().size()) return FALSE;
  folder = m_folderAccount->GetFolders()[m_folderCursor++];
  return TRUE;
}

CWebISMailSettings& GetWebISMailSettings() {
  static CWebISMailSettings settings;
  return settings;
}
