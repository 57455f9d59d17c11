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

FOLDER_ENTRY FOLDER_ENTRY::WebIS(DWORD folderId, LPCWSTR accountKey) {
  FOLDER_ENTRY entry;
  entry.kind = FOLDER_KIND_WEBIS;
  for (int i = 0; i < 4; ++i) entry.blob.push_back(static_cast<BYTE>(folderId >> (8 * i)));
  for (LPCWSTR c = accountKey; c && *c; ++c) {
    entry.blob.push_back(static_cast<BYTE>(*c & 0xFF));
    entry.blob.push_back(static_cast<BYTE>(*c >> 8));
  }
  return entry;
}

int MAIL_FILTER::FindEntry(const FOLDER_ENTRY& entry) const {
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i] == entry) return static_cast<int>(i);
  return -1;
}

int MAIL_FILTER::AddEntry(const FOLDER_ENTRY& entry, LPCWSTR folderName) {
  const int found = FindEntry(entry);
  if (found >= 0) return found;
  entries.push_back(entry);
  names.push_back(folderName ? folderName : L"");
  return static_cast<int>(entries.size()) - 1;
}

BOOL CMailFoldersFilters::Decode(const BYTE* data, size_t size, MAIL_FILTER& filter) {
  filter.Clear();
  if (!data && size) return FALSE;
  size_t at = 0;
  while (at < size) {
    if (size - at < 2) return FALSE;
    const BYTE* kind = std::find(std::begin(kKindBytes), std::end(kKindBytes), data[at]);
    if (kind == std::end(kKindBytes)) return FALSE;
    FOLDER_ENTRY entry;
    entry.kind = static_cast<BYTE>(kind - std::begin(kKindBytes));
    const size_t length = data[at + 1];
    at += 2;
    if (length > size - at) return FALSE;
    entry.blob.assign(data + at, data + at + length);
    at += length;
    if (at >= size) return FALSE;
    const size_t characters = data[at++];
    if (characters == 0 || characters * 2 > size - at) return FALSE;
    WCHAR text[256];
    for (size_t i = 0; i < characters; ++i) text[i] = static_cast<WCHAR>(data[at + 2 * i] | (data[at + 2 * i + 1] << 8));
    CString name;
    name.Append(text, static_cast<int>(characters));
    at += characters * 2;
    filter.AddEntry(entry, name);
  }
  return TRUE;
}

BOOL CMailFoldersFilters::Encode(const MAIL_FILTER& filter, std::vector<BYTE>& data) {
  data.clear();
  if (filter.entries.size() != filter.names.size()) return FALSE;
  for (size_t i = 0; i < filter.entries.size(); ++i) {
    const FOLDER_ENTRY& entry = filter.entries[i];
    const CString& name = filter.names[i];
    if (entry.blob.size() > 255 || entry.kind > FOLDER_KIND_OTHER || name.IsEmpty()) return FALSE;
    const int characters = std::min(name.GetLength(), kMaxFolderName);
    data.push_back(kKindBytes[entry.kind]);
    data.push_back(static_cast<BYTE>(entry.blob.size()));
    data.insert(data.end(), entry.blob.begin(), entry.blob.end());
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
    MAIL_FILTER filter;
    filter.name = name;
    if (Decode(data.data(), read, filter)) m_filters.push_back(std::move(filter));
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
  for (const MAIL_FILTER& filter : m_filters) {
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
  return name.IsEmpty() ? -1 : FindByName(name);
}

int CMailFoldersFilters::FindByName(LPCWSTR name) const {
  for (size_t i = 0; i < m_filters.size(); ++i)
    if (name && m_filters[i].name == name) return static_cast<int>(i);
  return -1;
}

int CMailFoldersFilters::Add(const MAIL_FILTER& filter) {
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

BOOL CMailFoldersFilters::UpdateKnownAccounts(IMAPISession* session, BOOL force, CWebISMailSettings* webIS) {
  if (!webIS) webIS = &GetWebISMailSettings();
  if (m_accountsUpdated && !force) return TRUE;
  m_accountsUpdated = TRUE;
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  CStringList known;
  SplitString(product.GetString(L"KnownEmailAccounts", L""), L';', known);
  CStringList result;
  for (int i = 0; i < known.GetSize(); ++i) result.Add(known[i]);

  CString standardNames[5];
  for (int i = 0; i < 5; ++i) {
    standardNames[i] = LoadText(kStandardFilterTexts[i]);
    if (FindByName(standardNames[i]) < 0) {
      MAIL_FILTER filter;
      filter.name = standardNames[i];
      Add(filter);
    }
  }
  if (GetAt(FindByName(standardNames[kInboxSlot])).entries.empty()) known.RemoveAll();

  bool failed = false;
  IMAPITable* table = nullptr;
  if (session && SUCCEEDED(session->GetMsgStoresTable(MAPI_UNICODE, &table)) && table) {
    const ULONG transportTag = GetStoreTransportTag();
    SizedSPropTagArray<3> columns = {3, {PR_ENTRYID, PR_DISPLAY_NAME_W, transportTag}};
    failed = FAILED(table->SetColumns(columns, 0));
    while (!failed) {
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
        // The pass stops at a store that does not open: its name stays out of the
        // list, so it counts as new next time.
        if (values) MAPIFreeBuffer(values);
        if (store) store->Release();
        FreeProws(rows);
        failed = true;
        break;
      }
      CString friendly = GetInboxServiceFriendlyName(transport);
      if (friendly.IsEmpty()) friendly = name;
      for (int i = 0; i < 5; ++i) {
        if (values[i].ulPropTag != kSpecialFolderTags[i] || values[i].Value.bin.cb > 255) continue;
        FOLDER_ENTRY entry;
        entry.kind = FOLDER_KIND_MAPI;
        entry.blob.assign(values[i].Value.bin.lpb, values[i].Value.bin.lpb + values[i].Value.bin.cb);
        GetAt(FindByName(standardNames[i])).AddEntry(entry, friendly);
        if (i == kInboxSlot && FindByName(friendly) < 0) {
          MAIL_FILTER own;
          own.name = friendly;
          own.AddEntry(entry, friendly);
          Add(own);
        }
      }
      MAPIFreeBuffer(values);
      store->Release();
      // Each account once: a name listed twice would outlive one removal below
      // and bring the account back as new at the next run.
      if (FindText(result, name) < 0) result.Add(name);
      FreeProws(rows);
    }
    table->Release();
  }

  // WebIS Mail's accounts, by display name, unless the stores' pass stopped.
  CString key, name;
  for (BOOL more = !failed && webIS->IsInstalled() && webIS->GetFirstAccount(key, name); more;
       more = webIS->GetNextAccount(key, name)) {
    if (RemoveFirst(known, name)) continue;
    // Folder types 1-5 in the order of the standard filters' slots.
    static const DWORD kSlotTypes[5] = {WEBIS_FOLDER_DELETED, WEBIS_FOLDER_DRAFTS, WEBIS_FOLDER_INBOX,
                                        WEBIS_FOLDER_OUTBOX, WEBIS_FOLDER_SENT};
    WEBIS_FOLDER folder;
    for (BOOL next = webIS->GetFirstFolder(key, folder); next; next = webIS->GetNextFolder(folder)) {
      for (int i = 0; i < 5; ++i) {
        if (folder.type != kSlotTypes[i]) continue;
        const FOLDER_ENTRY entry = FOLDER_ENTRY::WebIS(folder.id, key);
        if (entry.blob.size() > 255) continue;
        GetAt(FindByName(standardNames[i])).AddEntry(entry, name);
        if (i == kInboxSlot && FindByName(name) < 0) {
          MAIL_FILTER own;
          own.name = name;
          own.AddEntry(entry, name);
          Add(own);
        }
      }
    }
    if (FindText(result, name) < 0) result.Add(name);
  }

  for (const CString& name : standardNames) {
    const int index = FindByName(name);
    if (index >= 0 && GetAt(index).entries.empty()) RemoveAt(index);
  }
  for (int i = 0; i < known.GetSize(); ++i) RemoveAllEqual(result, known[i]);
  product.SetString(L"KnownEmailAccounts", JoinStrings(result, L';'));
  return Save();
}
