#include "pim/CategoriesList.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "base/DbRecord.h"
#include "graphics/Skin.h"
#include "pim/PocketOutlook.h"
#include "platform/windowlib/ComPtr.h"

namespace {

CCategoriesList* g_current = nullptr;
CCategoriesList::IconReload g_iconReload = nullptr;

const wchar_t kOldDatabase[] = L"\\Categories Database";
const wchar_t kMainDatabase[] = L"CategoryMainDB";
const wchar_t kAssocDatabase[] = L"CategoryAssocDB";

const DWORD kDisplayCompareFlags = NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH;

// The entry the store gave for the listed property: present and of the listed type.
const CEPROPVAL* Typed(const CDbRecord& record, int index, CEPROPID id) {
  const CEPROPVAL* entry = record.GetPropVal(index);
  if (!entry || (entry->wFlags & (CEDB_PROPNOTFOUND | CEDB_PROPDELETE)) || entry->propid != id) return nullptr;
  return entry;
}

bool IsSeparator(wchar_t c) { return c == L',' || c == L';'; }

}  // namespace

CCategoriesList::CCategoriesList()
    : m_assocOid(0),
      m_loaded(FALSE),
      m_main(INVALID_HANDLE_VALUE),
      m_assoc(INVALID_HANDLE_VALUE),
      m_request(),
      m_hasRequest(FALSE),
      m_itemSink(nullptr) {
  g_current = this;
}

CCategoriesList::~CCategoriesList() {
  Close();
  if (g_current == this) g_current = nullptr;
}

CCategoriesList* CCategoriesList::GetCurrent() { return g_current; }

void CCategoriesList::SetIconReload(IconReload reload) { g_iconReload = reload; }

BOOL CCategoriesList::Open(HWND window) {
  memset(&m_request, 0, sizeof m_request);
  m_request.dwSize = sizeof m_request;
  m_request.hwnd = window;
  m_request.dwFlags = CEDB_EXNOTIFICATION;
  m_request.hHeap = nullptr;
  m_request.dwParam = reinterpret_cast<DWORD_PTR>(this);
  m_hasRequest = window != nullptr;
  return OpenDatabases();
}

BOOL CCategoriesList::OwnsNotification(const CENOTIFICATION* notification) const {
  return notification && notification->dwParam == reinterpret_cast<DWORD_PTR>(this);
}

BOOL CCategoriesList::OpenDatabases() {
  CCeDbApi* api = GetCeDbApi();
  CENOTIFYREQUEST* request = m_hasRequest ? &m_request : nullptr;
  if (IsNewerStore()) {
    if (m_main != INVALID_HANDLE_VALUE && m_assoc != INVALID_HANDLE_VALUE) return TRUE;
    if (m_assoc == INVALID_HANDLE_VALUE) {
      CEOID oid = 0;
      m_assoc = api->OpenDatabase(kAssocDatabase, FALSE, 0, request, &oid);
      m_assocOid = m_assoc != INVALID_HANDLE_VALUE ? oid : 0;
    }
    if (m_main == INVALID_HANDLE_VALUE) m_main = api->OpenDatabase(kMainDatabase, TRUE, 0, request, nullptr);
  } else {
    if (m_main != INVALID_HANDLE_VALUE) return TRUE;
    m_assocOid = 0;
    m_main = api->OpenDatabaseByName(kOldDatabase, TRUE, 0, request, nullptr, nullptr);
  }
  if (m_main == INVALID_HANDLE_VALUE) return FALSE;
  Reload();
  return TRUE;
}

void CCategoriesList::Empty() {
  m_records.clear();
  m_byName.clear();
  m_byDisplay.clear();
  m_byId.clear();
}

void CCategoriesList::Close() {
  Empty();
  if (m_main != INVALID_HANDLE_VALUE) CloseHandle(m_main);
  if (m_assoc != INVALID_HANDLE_VALUE) CloseHandle(m_assoc);
  m_main = INVALID_HANDLE_VALUE;
  m_assoc = INVALID_HANDLE_VALUE;
  m_assocOid = 0;
  m_loaded = FALSE;
}

BOOL CCategoriesList::Reload() {
  m_loaded = FALSE;
  Empty();
  if (m_main == INVALID_HANDLE_VALUE) return FALSE;
  DWORD index = 0;
  GetCeDbApi()->Seek(m_main, CEDB_SEEK_BEGINNING, 0, &index);
  CATEGORY_RECORD record;
  CEOID last = 0;
  for (;;) {
    record = CATEGORY_RECORD();
    // The main database is open with auto-increment: every read moves on. A store
    // that does not would give the same record again.
    if (!ReadRecord(0, &record) || record.oid == last) break;
    last = record.oid;
    if (!record.name.IsEmpty() && record.oid) m_records.push_back(record);
  }
  Sort();
  m_loaded = TRUE;
  return TRUE;
}

BOOL CCategoriesList::ReadRecord(CEOID oid, CATEGORY_RECORD* out) {
  const bool newer = IsNewerStore() != FALSE;
  CDbRecord record(m_main);
  if (newer) {
    record.AddPropId(kCategoryMainId);
    record.AddPropId(kCategoryMainName);
    record.AddPropId(kCategoryMainValue);
  } else {
    record.AddPropId(kOldCategoryName);
    record.AddPropId(kOldCategoryFlagD);
    record.AddPropId(kOldCategoryFlagB);
    record.AddPropId(kOldCategoryFlagC);
    record.AddPropId(kOldCategoryFlagA);
    record.AddPropId(kOldCategoryId);
  }
  CEOID read = record.Read(oid, TRUE);
  if (!read) return FALSE;
  out->oid = read;
  out->name.Empty();
  const CEPROPVAL* name = Typed(record, newer ? 1 : 0, newer ? kCategoryMainName : kOldCategoryName);
  if (newer) {
    const CEPROPVAL* id = Typed(record, 0, kCategoryMainId);
    if (!id || !name) return TRUE;
    out->id = id->val.lVal;
    out->flagA = out->flagB = out->flagC = out->flagD = 1;
  } else {
    const CEPROPVAL* flagD = Typed(record, 1, kOldCategoryFlagD);
    const CEPROPVAL* flagB = Typed(record, 2, kOldCategoryFlagB);
    const CEPROPVAL* flagC = Typed(record, 3, kOldCategoryFlagC);
    const CEPROPVAL* flagA = Typed(record, 4, kOldCategoryFlagA);
    const CEPROPVAL* id = Typed(record, 5, kOldCategoryId);
    if (!name || !flagA || !flagB || !flagC || !flagD || !id) return TRUE;
    out->flagA = flagA->val.iVal;
    out->flagB = flagB->val.iVal;
    out->flagC = flagC->val.iVal;
    out->flagD = flagD->val.iVal;
    out->id = id->val.iVal;
  }
  // A text longer than any record can hold is not a name the store gave.
  if (name->val.lpwstr) {
    size_t length = wcsnlen(name->val.lpwstr, CEDB_MAXPROPDATASIZE / sizeof(WCHAR));
    out->name = CString(name->val.lpwstr, static_cast<int>(length));
  }
  return TRUE;
}

void CCategoriesList::Sort() {
  m_byName.clear();
  m_byDisplay.clear();
  m_byId.clear();
  for (size_t i = 0; i < m_records.size(); ++i) {
    CATEGORY_RECORD& record = m_records[i];
    record.displayPos = -1;
    if (record.oid == static_cast<CEOID>(-1)) continue;
    m_byName.push_back(static_cast<int>(i));
    m_byDisplay.push_back(static_cast<int>(i));
    m_byId.push_back(static_cast<int>(i));
  }
  const std::vector<CATEGORY_RECORD>& records = m_records;
  std::stable_sort(m_byName.begin(), m_byName.end(),
                   [&](int a, int b) { return wcscmp(records[a].name, records[b].name) < 0; });
  std::stable_sort(m_byDisplay.begin(), m_byDisplay.end(), [&](int a, int b) {
    return CompareStringW(LOCALE_USER_DEFAULT, kDisplayCompareFlags, records[a].name, -1, records[b].name, -1) ==
           CSTR_LESS_THAN;
  });
  std::stable_sort(m_byId.begin(), m_byId.end(), [&](int a, int b) { return records[a].id < records[b].id; });
  for (size_t k = 0; k < m_byDisplay.size(); ++k) m_records[m_byDisplay[k]].displayPos = static_cast<int>(k);
}

void CCategoriesList::Subscribe(ICategoriesListener* listener) {
  if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
    m_listeners.push_back(listener);
}

void CCategoriesList::Unsubscribe(ICategoriesListener* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

int CCategoriesList::FindByOid(CEOID oid) const {
  for (size_t i = 0; i < m_records.size(); ++i)
    if (m_records[i].oid == oid) return static_cast<int>(i);
  return -1;
}

void CCategoriesList::ReloadIcons() {
  if (g_iconReload) {
    g_iconReload();
    return;
  }
  if (ISkinCategoryIcons* icons = CSkin::Instance().GetCategoryIcons()) icons->LoadIcons();
}

void CCategoriesList::OnDbNotify(CENOTIFICATION* notification, BOOL callerFrees) {
  if (!notification) return;
  const UINT type = notification->uType;
  const CEOID oid = notification->oid;
  const CEOID parent = notification->oidParent;
  if (!callerFrees) CeFreeNotification(&m_request, notification);
  if (!m_loaded || (m_assocOid && parent == m_assocOid)) return;

  if (type == kCategoriesReloadAll) {
    Reload();
    return;
  }
  // No record of ours has the deleted mark or no id.
  if (!oid || oid == static_cast<CEOID>(-1)) return;
  const int index = FindByOid(oid);
  if (type == DB_CEOID_CHANGED || (type == DB_CEOID_CREATED && index >= 0)) {
    if (index < 0) return;
    const CString before = m_records[index].name;
    const int beforeId = m_records[index].id;
    CATEGORY_RECORD record = m_records[index];
    // A record that cannot be read any more keeps its place with an empty name.
    if (!ReadRecord(oid, &record)) record.name.Empty();
    record.oid = oid;
    m_records[index] = record;
    // A new id moves the record in the id index as a new name does in the others.
    if (before != record.name || beforeId != record.id) Sort();
    return;
  }
  if (type == DB_CEOID_CREATED) {
    CATEGORY_RECORD record;
    if (!ReadRecord(oid, &record) || record.name.IsEmpty()) return;
    m_records.push_back(record);
    Sort();
    ReloadIcons();
    if (IsNewerStore()) NotifyItemsOfCategory(record.id);
    const int added = GetCount() - 1;
    std::vector<ICategoriesListener*> listeners = m_listeners;
    for (ICategoriesListener* listener : listeners) listener->OnCategoryAdded(added);
    return;
  }
  if (type == DB_CEOID_RECORD_DELETED && index >= 0) {
    m_records[index].name.Empty();
    m_records[index].oid = static_cast<CEOID>(-1);
    Sort();
    ReloadIcons();
    std::vector<ICategoriesListener*> listeners = m_listeners;
    for (ICategoriesListener* listener : listeners) listener->OnCategoryDeleted(index);
  }
}

void CCategoriesList::NotifyItemsOfCategory(int id) {
  if (!m_itemSink || m_assoc == INVALID_HANDLE_VALUE) return;
  // The items first, then the calls: a sink may read the associations itself.
  std::vector<CEOID> items;
  CDbRecord record(m_assoc);
  int itemIndex = record.AddPropId(kCategoryAssocItem);
  int categoryIndex = record.AddPropId(kCategoryAssocCategory);
  // Opened without auto-increment, the database stays on a record it read: the walk
  // moves on by itself.
  CCeDbApi* api = GetCeDbApi();
  DWORD position = 0;
  for (CEOID at = api->Seek(m_assoc, CEDB_SEEK_BEGINNING, 0, &position); at;
       at = api->Seek(m_assoc, CEDB_SEEK_CURRENT, 1, &position)) {
    if (!record.Read(0, TRUE)) break;
    const CEPROPVAL* item = Typed(record, itemIndex, kCategoryAssocItem);
    const CEPROPVAL* category = Typed(record, categoryIndex, kCategoryAssocCategory);
    if (item && category && category->val.lVal == id) items.push_back(item->val.ulVal);
  }
  for (CEOID item : items) {
    const DWORD kind = item >> 28;
    if (kind != 0x4 && kind != 0x8 && kind != 0xC) continue;
    CENOTIFICATION notification = {};
    notification.dwSize = sizeof notification;
    notification.uType = DB_CEOID_CHANGED;
    notification.oid = item;
    m_itemSink->OnItemNotification(kind, &notification);
  }
}

const CATEGORY_RECORD* CCategoriesList::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return &m_records[index];
}

CString CCategoriesList::GetName(int index) const {
  const CATEGORY_RECORD* record = GetAt(index);
  return record ? record->name : CString();
}

int CCategoriesList::GetDisplayAt(int position) const {
  if (position < 0 || position >= GetDisplayCount()) return -1;
  return m_byDisplay[position];
}

BOOL CCategoriesList::FindByName(LPCWSTR name, int* index) const {
  if (!name) name = L"";
  int low = 0, high = static_cast<int>(m_byName.size());
  while (low < high) {
    const int middle = (low + high) / 2;
    const int order = wcscmp(m_records[m_byName[middle]].name, name);
    if (order == 0) {
      if (index) *index = m_byName[middle];
      return TRUE;
    }
    if (order < 0)
      low = middle + 1;
    else
      high = middle;
  }
  if (index) *index = low;
  return FALSE;
}

int CCategoriesList::FindById(int id) const {
  int low = 0, high = static_cast<int>(m_byId.size());
  while (low < high) {
    const int middle = (low + high) / 2;
    const int found = m_records[m_byId[middle]].id;
    if (found == id) return m_byId[middle];
    if (found < id)
      low = middle + 1;
    else
      high = middle;
  }
  return -1;
}

void CCategoriesList::ParseCategories(LPCWSTR text, CBitSet& set) const {
  set.Clear();
  if (!text) return;
  const wchar_t* at = text;
  while (*at) {
    const wchar_t* end = at;
    while (*end && !IsSeparator(*end)) ++end;
    if (end > at) {
      CString name(at, static_cast<int>(end - at));
      int index = -1;
      if (FindByName(name, &index)) set.Set(index);
    }
    at = end;
    while (*at && (IsSeparator(*at) || *at == L' ')) ++at;
  }
}

CString CCategoriesList::BuildNamesText(const CBitSet& set) const {
  CString text;
  for (int i = set.FindNext(0); i >= 0 && i < GetCount(); i = set.FindNext(i + 1)) {
    // A deleted category has no name left to write.
    if (m_records[i].name.IsEmpty()) continue;
    if (!text.IsEmpty()) text += L", ";
    text += m_records[i].name;
  }
  return text;
}

CString CCategoriesList::GetNamesText(const CBitSet& set) {
  return g_current ? g_current->BuildNamesText(set) : CString();
}

int CCategoriesList::ReadItemCategories(CEOID itemOid, CBitSet& set) {
  set.Clear();
  if (!IsNewerStore() || m_assoc == INVALID_HANDLE_VALUE) return 0;
  CDbRecord record(m_assoc);
  int itemIndex = record.AddPropId(kCategoryAssocItem);
  int categoryIndex = record.AddPropId(kCategoryAssocCategory);
  CEPROPVAL key = {};
  key.propid = kCategoryAssocItem;
  key.val.ulVal = itemOid;
  int count = 0;
  DWORD seek = CEDB_SEEK_VALUEFIRSTEQUAL;
  while (record.SeekAndReadByValue(reinterpret_cast<DWORD_PTR>(&key), nullptr, seek)) {
    seek = CEDB_SEEK_VALUENEXTEQUAL;
    const CEPROPVAL* item = Typed(record, itemIndex, kCategoryAssocItem);
    // The seek promises the item; a store that breaks it does not end the walk early.
    if (!item || item->val.ulVal != itemOid) continue;
    ++count;
    if (const CEPROPVAL* category = Typed(record, categoryIndex, kCategoryAssocCategory)) {
      const int index = FindById(category->val.lVal);
      if (index >= 0) set.Set(index);
    }
  }
  return count;
}

CString CCategoriesList::GetCategoriesForFolder(int folder) {
  CString text;
  IPOutlookApp* app = CPocketOutlook::GetInst();
  if (!app) return text;
  CComPtr<IFolder> pimFolder;
  if (FAILED(app->GetDefaultFolder(folder, &pimFolder)) || !pimFolder) return text;
  CComPtr<IItem> item;
  if (FAILED(pimFolder->QueryInterface(IID_IItem, reinterpret_cast<void**>(&item))) || !item) return text;
  const CEPROPID id = PIMPR_FOLDER_CATEGORIES;
  ULONG size = 0;
  if (FAILED(item->GetProps(&id, 0, 1, nullptr, &size, nullptr)) || size == 0 || size > CEDB_MAXRECORDSIZE)
    return text;
  const ULONG room = size + 16;
  BYTE* buffer = static_cast<BYTE*>(LocalAlloc(LPTR, room));
  if (!buffer) return text;
  CEPROPVAL* values = reinterpret_cast<CEPROPVAL*>(buffer);
  ULONG filled = room;
  if (SUCCEEDED(item->GetProps(&id, 0, 1, &values, &filled, nullptr)) && values == reinterpret_cast<CEPROPVAL*>(buffer) &&
      room >= sizeof(CEPROPVAL) && values->propid == id && !(values->wFlags & CEDB_PROPNOTFOUND)) {
    // The text must lie in the buffer, its end included.
    const BYTE* start = reinterpret_cast<const BYTE*>(values->val.lpwstr);
    if (start >= buffer + sizeof(CEPROPVAL) && start < buffer + room) {
      const size_t most = (buffer + room - start) / sizeof(WCHAR);
      const size_t length = wcsnlen(values->val.lpwstr, most);
      if (length < most) text = CString(values->val.lpwstr, static_cast<int>(length));
    }
  }
  LocalFree(buffer);
  return text;
}

int CCategoriesList::GetSingle(const CBitSet& set) const {
  const int first = set.FindNext(0);
  if (first < 0) return -1;
  return set.FindNext(first + 1) < 0 ? first : -1;
}

int CCategoriesList::FirstInDisplayOrder(const CBitSet& set, int excluded) const {
  int best = -1;
  bool reachedExcluded = false;
  for (int i = set.FindNext(0); i >= 0 && i < GetCount(); i = set.FindNext(i + 1)) {
    if (i == excluded) {
      reachedExcluded = true;
      continue;
    }
    const int position = m_records[i].displayPos;
    if (position < 0) continue;
    if (best < 0 || position < m_records[best].displayPos) best = i;
  }
  if (best >= 0) return best;
  return reachedExcluded ? excluded : -1;
}

void CCategoriesList::ReadCategoryBits(const BYTE* data, DWORD size, CBitSet& set) const {
  if (!data) return;
  // No identifier past 1000 names a category: the rest of a longer blob is ignored.
  const DWORD bytes = size < 126 ? size : 126;
  for (DWORD i = 0; i < bytes; ++i)
    for (int j = 0; j < 8; ++j)
      if (data[i] & (1 << j)) {
        int index = FindById(static_cast<int>(i * 8 + j));
        if (index >= 0) set.Set(index);
      }
}
