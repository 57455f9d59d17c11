#include "tabs/messages/MailFoldersFilters.h"

#include <algorithm>

#include "base/RegKey.h"
#include "base/StringList.h"
#include "base/Translator.h"
#include "pim/SystemUtils.h"
#include "platform/cemapi/cemapi.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/MailFolderTree.h"
#include "tabs/messages/WebISMailSettings.h"

namespace {

const BYTE kKindBytes[] = {'M', 'F', 'P'};

// A value's data is read whole; a filter of this many bytes is far beyond any
// real set of folders.
const DWORD kMaxValueSize = 1024 * 1024;

}  // namespace

BOOL CMailFoldersFilters::Decode(const BYTE* data, size_t size, EMAIL_ACCOUNT& filter) {
  filter.Clear();
  if (!data && size) return FALSE;
  size_t at = 0;
  while (at < size) {
    if (size - at < 2) return FALSE;
    const BYTE* kind = std::find(std::begin(kKindBytes), std::end(kKindBytes), data[at]);
    if (kind == std::end(kKindBytes)) return FALSE;
    const size_t length = data[at + 1];
    at += 2;
    if (length > size - at) return FALSE;
    const BYTE* id = data + at;
    at += length;
    if (at >= size) return FALSE;
    const size_t characters = data[at++];
    if (characters == 0 || characters * 2 > size - at) return FALSE;
    WCHAR text[256];
    for (size_t i = 0; i < characters; ++i) text[i] = static_cast<WCHAR>(data[at + 2 * i] | (data[at + 2 * i + 1] << 8));
    text[characters] = 0;
    at += characters * 2;
    CTaggedBlob folder;
    if (!MakeMailFolder(static_cast<int>(kind - std::begin(kKindBytes)), id, static_cast<DWORD>(length), text, folder))
      return FALSE;
    // A folder listed twice keeps its first name.
    if (filter.FindFolder(folder) < 0 && !filter.folders.Add(folder)) return FALSE;
  }
  return TRUE;
}

BOOL CMailFoldersFilters::Encode(const EMAIL_ACCOUNT& filter, std::vector<BYTE>& data) {
  data.clear();
  for (int i = 0; i < filter.folders.GetCount(); ++i) {
    const CTaggedBlob& folder = filter.folders[i];
    const CString& name = folder.GetName();
    if (folder.GetSize() > 255 || folder.GetKind() < 0 || folder.GetKind() > FOLDER_KIND_OTHER || name.IsEmpty())
      return FALSE;
    const int characters = std::min(name.GetLength(), kMaxFolderName);
    data.push_back(kKindBytes[folder.GetKind()]);
    data.push_back(static_cast<BYTE>(folder.GetSize()));
    if (folder.GetSize()) data.insert(data.end(), folder.GetData(), folder.GetData() + folder.GetSize());
    data.push_back(static_cast<BYTE>(characters));
    for (int c = 0; c < characters; ++c) {
      data.push_back(static_cast<BYTE>(name[c] & 0xFF));
      data.push_back(static_cast<BYTE>(name[c] >> 8));
    }
  }
  return TRUE;
}

BOOL CMailFoldersFilters::Load(BOOL force) {
  if (m_loaded && !force) return TRUE;
  m_loaded = TRUE;
  m_filters.clear();
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_MAIL_FILTERS_KEY, FALSE);
  if (!key.IsOpen()) return FALSE;
  std::vector<BYTE> data;
  for (DWORD index = 0;; ++index) {
    WCHAR name[261] = L"";
    DWORD nameLength = ARRAYSIZE(name);
    DWORD type = 0, size = 0;
    const LONG found = ::RegEnumValueW(key.GetHandle(), index, name, &nameLength, nullptr, &type, nullptr, &size);
    if (found == ERROR_NO_MORE_ITEMS) break;
    // A name too long for the list's names is passed over, as the others are read.
    if (found != ERROR_SUCCESS && found != ERROR_MORE_DATA) continue;
    if (found == ERROR_MORE_DATA && nameLength >= ARRAYSIZE(name)) continue;
    if (size > kMaxValueSize) continue;
    data.assign(size, 0);
    DWORD read = size;
    if (::RegQueryValueExW(key.GetHandle(), name, nullptr, &type, data.empty() ? nullptr : data.data(), &read) !=
            ERROR_SUCCESS ||
        read > size)
      continue;
    EMAIL_ACCOUNT filter;
    filter.name = name;
    if (Decode(data.data(), read, filter)) m_filters.push_back(filter);
  }
  return TRUE;
}

BOOL CMailFoldersFilters::Save() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_MAIL_FILTERS_KEY, TRUE);
  if (!key.IsOpen()) return FALSE;
  std::vector<CString> old;
  CString name;
  for (BOOL more = key.EnumFirstValue(name); more; more = key.EnumNextValue(name)) old.push_back(name);
  for (const CString& value : old) ::RegDeleteValueW(key.GetHandle(), value);
  BOOL written = TRUE;
  std::vector<BYTE> data;
  for (const EMAIL_ACCOUNT& filter : m_filters) {
    if (filter.name.IsEmpty() || !Encode(filter, data) || data.empty()) continue;
    if (!key.SetBinary(filter.name, data.data(), static_cast<DWORD>(data.size()))) written = FALSE;
  }
  return written;
}

BOOL CMailFoldersFilters::SetActiveFilter(int index) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  if (index < 0 || index >= GetCount()) return ::RegDeleteValueW(key.GetHandle(), L"EmailFilter") == ERROR_SUCCESS;
  return key.SetString(L"EmailFilter", m_filters[size_t(index)].name);
}

int CMailFoldersFilters::GetActiveFilter() const {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE, FALSE);
  const CString name = key.IsOpen() ? key.QueryString(L"EmailFilter") : CString();
  return name.IsEmpty() ? -1 : Find(name);
}

int CMailFoldersFilters::Find(LPCWSTR name) const {
  for (size_t i = 0; i < m_filters.size(); ++i)
    if (name && m_filters[i].name == name) return static_cast<int>(i);
  return -1;
}

int CMailFoldersFilters::Add(const EMAIL_ACCOUNT& filter) {
  m_filters.push_back(filter);
  return GetCount() - 1;
}

void CMailFoldersFilters::RemoveAt(int index) {
  if (index >= 0 && index < GetCount()) m_filters.erase(m_filters.begin() + index);
}

void CMailFoldersFilters::GetSortedIndexes(std::vector<int>& indexes) const {
  indexes.clear();
  for (int i = 0; i < GetCount(); ++i)
    if (!m_filters[size_t(i)].name.IsEmpty()) indexes.push_back(i);
  std::stable_sort(indexes.begin(), indexes.end(), [this](int a, int b) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH,
                            m_filters[size_t(a)].name, -1, m_filters[size_t(b)].name, -1) == CSTR_LESS_THAN;
  });
}

CMailFoldersFilters& GetMailFoldersFilters() {
  static CMailFoldersFilters filters;
  return filters;
}

// Deleted items, drafts, inbox, outbox, sent items: each standard filter's text and
// the store property of its folder.
const UINT CMailFoldersFilters::kStandardFilterTexts[5] = {IDS_MAIL_FILTER_DELETED, IDS_MAIL_FILTER_DRAFTS,
                                                           IDS_MAIL_FILTER_INBOX, IDS_MAIL_FILTER_OUTBOX,
                                                           IDS_MAIL_FILTER_SENT};

namespace {

const ULONG kSpecialFolderTags[5] = {PR_IPM_WASTEBASKET_ENTRYID, PR_CE_IPM_DRAFTS_ENTRYID, PR_CE_IPM_INBOX_ENTRYID,
                                     PR_IPM_OUTBOX_ENTRYID, PR_IPM_SENTMAIL_ENTRYID};
const int kInboxSlot = 2;

CString LoadText(UINT id) {
  CString text;
  LoadResString(GetTranslator(), text, id);
  return text;
}

bool RemoveFirst(CStringList& names, const CString& name) {
  const int index = FindText(names, name);
  return index >= 0 && names.RemoveAt(index);
}

}  // namespace

CString CMailFoldersFilters::GetProtectedFilterName() { return LoadText(IDS_MAIL_FILTER_INBOX); }

int CMailFoldersFilters::FindStandard(int slot) const { return Find(LoadText(kStandardFilterTexts[slot])); }

BOOL CMailFoldersFilters::UpdateKnownAccounts(IMAPISession* session, BOOL force, CWebISMailSettings* webIS) {
  if (m_accountsUpdated && !force) return TRUE;
  m_accountsUpdated = TRUE;
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  CStringList known;
  SplitString(product.GetString(L"KnownEmailAccounts", L""), L';', known);
  CStringList seen;
  for (int i = 0; i < known.GetSize(); ++i) seen.Add(known[i]);

  for (int slot = 0; slot < 5; ++slot) {
    if (FindStandard(slot) >= 0) continue;
    EMAIL_ACCOUNT filter;
    filter.name = LoadText(kStandardFilterTexts[slot]);
    Add(filter);
  }
  if (GetAt(FindStandard(kInboxSlot)).folders.GetCount() == 0) known.RemoveAll();
  if (AddMAPIFolders(session, known, seen)) AddWebISFolders(known, seen, webIS);
  for (int slot = 0; slot < 5; ++slot) {
    const int index = FindStandard(slot);
    if (index >= 0 && GetAt(index).folders.GetCount() == 0) RemoveAt(index);
  }
  for (int i = 0; i < known.GetSize(); ++i) RemoveAllEqual(seen, known[i]);
  product.SetString(L"KnownEmailAccounts", JoinStrings(seen, L';'));
  return Save();
}

void CMailFoldersFilters::AddSpecialFolder(int slot, const CTaggedBlob& folder) {
  const int index = FindStandard(slot);
  if (index >= 0) GetAt(index).AddFolder(folder);
  // A new account's inbox also makes the account's own filter.
  if (slot == kInboxSlot && Find(folder.GetName()) < 0) {
    EMAIL_ACCOUNT own;
    own.name = folder.GetName();
    own.AddFolder(folder);
    Add(own);
  }
}

BOOL CMailFoldersFilters::AddMAPIFolders(IMAPISession* session, CStringList& known, CStringList& seen) {
  if (!session) return FALSE;
  IMAPITable* table = nullptr;
  if (FAILED(session->GetMsgStoresTable(MAPI_UNICODE, &table)) || !table) return FALSE;
  const ULONG transportTag = GetStoreTransportTag();
  SizedSPropTagArray<3> columns = {3, {PR_ENTRYID, PR_DISPLAY_NAME_W, transportTag}};
  BOOL result = SUCCEEDED(table->SetColumns(columns, 0));
  while (result) {
    LPSRowSet rows = nullptr;
    if (FAILED(table->QueryRows(1, 0, &rows)) || !rows) break;
    if (rows->cRows == 0 || rows->aRow[0].cValues < 3 || rows->aRow[0].lpProps[0].ulPropTag != PR_ENTRYID) {
      FreeProws(rows);
      break;
    }
    const SPropValue* props = rows->aRow[0].lpProps;
    const CString name = GetMapiText(props[1], PR_DISPLAY_NAME_W);
    const CString transport = GetMapiText(props[2], transportTag);
    if (RemoveFirst(known, name) || !IsInboxServicePresent(transport)) {
      FreeProws(rows);
      continue;
    }
    IMsgStore* store = nullptr;
    LPSPropValue values = nullptr;
    ULONG count = 0;
    SizedSPropTagArray<5> tags = {5, {}};
    std::copy(std::begin(kSpecialFolderTags), std::end(kSpecialFolderTags), tags.aulPropTag);
    if (FAILED(session->OpenMsgStore(0, props[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(props[0].Value.bin.lpb),
                                     nullptr, 0, &store)) ||
        !store || FAILED(store->GetProps(tags, MAPI_UNICODE, &count, &values)) || !values || count != 5) {
      // The walk stops at a store that does not open: its name stays out of the
      // list, so it counts as new next time.
      if (values) MAPIFreeBuffer(values);
      if (store) store->Release();
      FreeProws(rows);
      result = FALSE;
      break;
    }
    CString friendly = GetInboxServiceFriendlyName(transport);
    if (friendly.IsEmpty()) friendly = name;
    for (int slot = 0; slot < 5; ++slot) {
      CTaggedBlob folder;
      if (values[slot].ulPropTag != kSpecialFolderTags[slot] || values[slot].Value.bin.cb > 255 ||
          !MakeMailFolder(CTaggedBlob::KindM, values[slot].Value.bin.lpb, values[slot].Value.bin.cb, friendly, folder))
        continue;
      AddSpecialFolder(slot, folder);
    }
    MAPIFreeBuffer(values);
    store->Release();
    // Each account once: a name listed twice would outlive one removal and bring the
    // account back as new at the next run.
    if (FindText(seen, name) < 0) seen.Add(name);
    FreeProws(rows);
  }
  table->Release();
  return result;
}

BOOL CMailFoldersFilters::AddWebISFolders(CStringList& known, CStringList& seen, CWebISMailSettings* webIS) {
  if (!webIS) webIS = &GetWebISMailSettings();
  if (!webIS->IsInstalled()) return TRUE;
  // Folder types 1-5 in the order of the standard filters' slots.
  static const DWORD kSlotTypes[5] = {WEBIS_FOLDER_DELETED, WEBIS_FOLDER_DRAFTS, WEBIS_FOLDER_INBOX,
                                      WEBIS_FOLDER_OUTBOX, WEBIS_FOLDER_SENT};
  CString key, name;
  for (BOOL more = webIS->GetFirstAccount(key, name); more; more = webIS->GetNextAccount(key, name)) {
    if (RemoveFirst(known, name)) continue;
    WEBIS_FOLDER folder;
    for (BOOL next = webIS->GetFirstFolder(key, folder); next; next = webIS->GetNextFolder(folder)) {
      const DWORD* slot = std::find(std::begin(kSlotTypes), std::end(kSlotTypes), folder.type);
      CTaggedBlob entry;
      if (slot == std::end(kSlotTypes) || !MakeWebISFolder(folder.id, key, name, entry) || entry.GetSize() > 255)
        continue;
      AddSpecialFolder(static_cast<int>(slot - std::begin(kSlotTypes)), entry);
    }
    if (FindText(seen, name) < 0) seen.Add(name);
  }
  return TRUE;
}
