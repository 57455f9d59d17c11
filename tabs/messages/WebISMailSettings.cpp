#include "tabs/messages/WebISMailSettings.h"

#include "base/Translator.h"
#include "graphics/IniFile.h"
#include "panel/PanelPrompt.h"
#include "pim/OndrelClient.h"
#include "platform/coredll/DeviceIdentity.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/EmailItem.h"

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

void RunWithOndrel(LPCWSTR parameters) { COndrelClient::Instance().RunMail2Command(parameters); }

CWebISMailSettings::CommandRunner g_commandRunner = RunWithOndrel;

// A device path ("\Windows\tmail.exe") as a host path: under the device's root.
CString OnDevice(const CString& path) {
  if (path.IsEmpty() || path[0] != L'\\') return path;
  std::wstring root = CDeviceIdentity::Root();
  while (!root.empty() && (root.back() == L'\\' || root.back() == L'/')) root.pop_back();
  return CString(root.c_str()) + path;
}

}  // namespace

void CWebISMailSettings::SetCommandRunner(CommandRunner runner) { g_commandRunner = runner ? runner : RunWithOndrel; }

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
    if (store->Open(m_owner, this)) m_accounts.push_back(std::move(store));
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
  m_messageAccount = nullptr;
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

BOOL CWebISMailSettings::LoadAccounts(HWND owner, IWebISMailListener* listener) {
  m_owner = owner;
  m_listener = listener;
  return LoadAccounts();
}

void CWebISMailSettings::CloseAccounts() {
  ReleaseAccounts();
  m_listener = nullptr;
  m_owner = nullptr;
}

BOOL CWebISMailSettings::GetFirstMessage(LPCWSTR account, int folder, EMAIL_ITEM* item) {
  m_messageAccount = FindAccount(account);
  m_messageFolder = static_cast<DWORD>(folder);
  if (!m_messageAccount || !m_messageAccount->SeekFirstMessage()) {
    m_messageAccount = nullptr;
    return FALSE;
  }
  return GetNextMessage(item);
}

BOOL CWebISMailSettings::GetNextMessage(EMAIL_ITEM* item) {
  if (!m_messageAccount || !item) return FALSE;
  for (;;) {
    DWORD status = 0;
    if (!m_messageAccount->ReadMessage(0, item, &status)) {
      m_messageAccount = nullptr;
      return FALSE;
    }
    if (item->folderNumber == m_messageFolder && !(status & 0x1)) return TRUE;
  }
}

IStream* CWebISMailSettings::GetMessageSource(LPCWSTR storage, DWORD id) {
  CCeMailStore* store = FindAccount(storage);
  return store && id ? store->GetMessageSource(id) : nullptr;
}

BOOL CWebISMailSettings::IsMainWindowRunning() const {
  return ::FindWindowW(L"CeWnd:WebISMailMainWnd", nullptr) != nullptr;
}

BOOL CWebISMailSettings::HasTakenOverMailProgram() {
  if (m_takeOver == 2) {
    m_takeOver = 1;
    WIN32_FILE_ATTRIBUTE_DATA system = {}, own = {};
    CString path = m_installDir;
    path += L"tmail.exe";
    if (IsInstalled() &&
        ::GetFileAttributesExW(OnDevice(L"\\Windows\\tmail.exe"), GetFileExInfoStandard, &system) &&
        ::GetFileAttributesExW(OnDevice(path), GetFileExInfoStandard, &own) && system.nFileSizeLow == own.nFileSizeLow)
      m_takeOver = 0;
  }
  return m_takeOver == 0;
}

BOOL CWebISMailSettings::RunCommand(LPCWSTR format, const CCeMailStore& store, DWORD id) {
  if (m_build < 993) return FALSE;
  CString parameters;
  parameters.Format(format, static_cast<LPCWSTR>(store.GetShortName()), static_cast<int>(id));
  g_commandRunner(parameters);
  return TRUE;
}

CCeMailStore* CWebISMailSettings::StoreOf(const EMAIL_ITEM* item) const {
  return item && item->sourceKind == kSourceWebIS ? FindAccount(item->accountName) : nullptr;
}

BOOL CWebISMailSettings::OpenMessage(const EMAIL_ITEM* item, int action) {
  CCeMailStore* store = StoreOf(item);
  if (!store) return FALSE;
  LPCWSTR format = nullptr;
  switch (action) {
    case 0:
    case 1: format = L"-open %s.%d"; break;
    case 3: format = L"-reply %s.%d"; break;
    case 4: format = L"-repall %s.%d"; break;
    case 5: format = L"-forward %s.%d"; break;
    default: return m_build >= 993;
  }
  return RunCommand(format, *store, item->webisId);
}

BOOL CWebISMailSettings::ReportChanged(CCeMailStore& store, DWORD id) {
  if (!m_listener) return TRUE;
  EMAIL_ITEM* item = EMAIL_ITEM::New();
  if (!item) return TRUE;
  DWORD status = 0;
  if (store.ReadMessage(id, item, &status)) {
    if (status & 0x1)
      m_listener->OnItemDeleted(store.GetKey(), id);
    else
      m_listener->OnItemChanged(store.GetKey(), id, *item);
  }
  item->Release();
  return TRUE;
}

BOOL CWebISMailSettings::SetRead(const EMAIL_ITEM* item, BOOL read) {
  CCeMailStore* store = StoreOf(item);
  if (!store) return FALSE;
  if (IsMainWindowRunning())
    return RunCommand(read ? L"-mark_read %s.%d" : L"-mark_unread %s.%d", *store, item->webisId);
  if (!store->ChangeMessage(item->webisId, read ? 0x10 : 0, read ? 0 : 0x10, nullptr)) return FALSE;
  return ReportChanged(*store, item->webisId);
}

BOOL CWebISMailSettings::MarkForDownload(const EMAIL_ITEM* item, BOOL mark) {
  CCeMailStore* store = StoreOf(item);
  if (!store) return FALSE;
  if (IsMainWindowRunning())
    return RunCommand(mark ? L"-mark_for_download %s.%d" : L"-unmark_for_download %s.%d", *store, item->webisId);
  if (!store->ChangeMessage(item->webisId, mark ? 0x40 : 0, mark ? 0 : 0x40, nullptr)) return FALSE;
  return ReportChanged(*store, item->webisId);
}

BOOL CWebISMailSettings::MoveMessage(const EMAIL_ITEM* item, DWORD folder) {
  CCeMailStore* store = StoreOf(item);
  if (!store || IsMainWindowRunning()) return FALSE;
  if (item->folderNumber == folder) return TRUE;
  if (!store->HasFolder(folder)) return FALSE;
  const CEOID target = folder;
  if (!store->ChangeMessage(item->webisId, 0, 0, &target)) return FALSE;
  return ReportChanged(*store, item->webisId);
}

BOOL CWebISMailSettings::DeleteMessage(const EMAIL_ITEM* item) {
  CCeMailStore* store = StoreOf(item);
  if (!store) return FALSE;
  if (IsMainWindowRunning()) return RunCommand(L"-delete %s.%d", *store, item->webisId);
  const CEOID deleted = store->GetDeletedFolderId();
  BOOL done;
  if ((m_deleteFlags & 2) && deleted && item->folderNumber != deleted)
    done = store->ChangeMessage(item->webisId, (m_deleteFlags & 1) ? 0x10 : 0, 0, &deleted);
  else
    done = store->EraseMessage(item->webisId);
  if (!done) return FALSE;
  return ReportChanged(*store, item->webisId);
}

namespace {

CString FirstService(CCeMailStore* store) { return store && !store->GetServices().empty() ? store->GetServices()[0] : CString(); }

}  // namespace

BOOL CWebISMailSettings::Compose(LPCWSTR storageOrService, LPCWSTR recipient) {
  if (m_build < 993) return FALSE;
  const CString to = recipient && *recipient ? CString(recipient) : CString(L" ");
  CString parameters;
  if (storageOrService && *storageOrService) {
    CCeMailStore* store = FindAccount(storageOrService);
    const CString service = store ? FirstService(store) : CString(storageOrService);
    parameters.Format(L"-service \"%s\" -new -to \"%s\"", static_cast<LPCWSTR>(service), static_cast<LPCWSTR>(to));
  } else {
    parameters.Format(L"-new -to \"%s\"", static_cast<LPCWSTR>(to));
  }
  g_commandRunner(parameters);
  return TRUE;
}

BOOL CWebISMailSettings::OpenService(LPCWSTR storage) {
  CCeMailStore* store = FindAccount(storage);
  // Without a known account there is no service to name: WebIS Mail opens as it likes.
  if (m_build < 993 || !store || store->GetServices().empty()) return FALSE;
  CString parameters;
  parameters.Format(L"-service \"%s\"", static_cast<LPCWSTR>(FirstService(store)));
  g_commandRunner(parameters);
  return TRUE;
}

BOOL CWebISMailSettings::Synchronize(LPCWSTR storage) {
  CCeMailStore* store = FindAccount(storage);
  if (m_build < 993 || !store || store->GetServices().empty()) return FALSE;
  if (store->GetServices().size() > 1) {
    CString text;
    LoadTranslatedString(text, IDS_WEBIS_SYNC_ONE_ACCOUNT);
    ShowPanelMessage(m_owner, text, nullptr, MB_ICONEXCLAMATION);
  }
  CString parameters;
  parameters.Format(L"-synchronize \"%s\"", static_cast<LPCWSTR>(FirstService(store)));
  g_commandRunner(parameters);
  return TRUE;
}

void CWebISMailSettings::OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) {
  if (!notification || !m_listener) return;
  for (const auto& account : m_accounts) {
    if (account->GetMessageDb() != database) continue;
    const CEOID id = notification->oid;
    switch (notification->uType) {
      case DB_CEOID_CREATED:
      case DB_CEOID_CHANGED: {
        EMAIL_ITEM* item = EMAIL_ITEM::New();
        if (!item) return;
        DWORD status = 0;
        const BOOL readable = account->ReadMessage(id, item, &status) && !(status & 0x1);
        if (readable)
          notification->uType == DB_CEOID_CREATED ? m_listener->OnItemAdded(account->GetKey(), id, *item)
                                                  : m_listener->OnItemChanged(account->GetKey(), id, *item);
        else if (notification->uType == DB_CEOID_CHANGED)
          m_listener->OnItemDeleted(account->GetKey(), id);
        item->Release();
        return;
      }
      case DB_CEOID_RECORD_DELETED:
        m_listener->OnItemDeleted(account->GetKey(), id);
        return;
      default:
        return;
    }
  }
}

CWebISMailSettings& GetWebISMailSettings() {
  static CWebISMailSettings settings;
  return settings;
}
