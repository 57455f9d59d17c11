#include "platform/cemapi/ObjectProps.h"

#include "platform/cemapi/EntryId.h"
#include "platform/cemapi/StoreText.h"

namespace {

struct RoleProp {
  const wchar_t* role;
  ULONG storeTag;
  ULONG folderBits;
};
const RoleProp kRoles[] = {
    {L"root", PR_IPM_SUBTREE_ENTRYID, 0},
    {L"inbox", PR_CE_IPM_INBOX_ENTRYID, FOLDER_INBOX},
    {L"outbox", PR_IPM_OUTBOX_ENTRYID, FOLDER_OUTBOX},
    {L"sent", PR_IPM_SENTMAIL_ENTRYID, FOLDER_SENT},
    {L"deleted", PR_IPM_WASTEBASKET_ENTRYID, FOLDER_DELETED},
    {L"drafts", PR_CE_IPM_DRAFTS_ENTRYID, FOLDER_DRAFTS},
};

const ULONG kComputed[] = {PR_ENTRYID,          PR_PARENT_ENTRYID,          PR_OBJECT_TYPE,
                           PR_SUBFOLDERS,       PR_CE_TRANSPORT_NAME_OLD_W, PR_IPM_SUBTREE_ENTRYID,
                           PR_CE_IPM_INBOX_ENTRYID, PR_IPM_OUTBOX_ENTRYID,  PR_IPM_SENTMAIL_ENTRYID,
                           PR_IPM_WASTEBASKET_ENTRYID, PR_CE_IPM_DRAFTS_ENTRYID};

PropValueRecord Bytes(const std::string& b) {
  PropValueRecord v;
  v.bytes = b;
  return v;
}
PropValueRecord Number(LONGLONG n) {
  PropValueRecord v;
  v.number = n;
  return v;
}
PropValueRecord Text(const std::wstring& t) {
  PropValueRecord v;
  v.text = t;
  return v;
}

bool Has(const PropRecordMap& m, ULONG tag) {
  for (const auto& p : m)
    if (PROP_ID(p.first) == PROP_ID(tag)) return true;
  return false;
}

std::wstring FromNarrow(const char* s) {
  if (!s) return std::wstring();
  std::wstring out;
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s, -1, nullptr, 0);
  UINT cp = CP_UTF8;
  if (n <= 0) {
    cp = CP_ACP;
    n = MultiByteToWideChar(cp, 0, s, -1, nullptr, 0);
  }
  if (n > 1) {
    out.resize(n);
    MultiByteToWideChar(cp, 0, s, -1, &out[0], n);
    out.resize(n - 1);
  }
  return out;
}

}  // namespace

PropRecordMap CObjectProps::Store(const StoreRecord& store) {
  PropRecordMap m = store.props;
  m[PR_ENTRYID] = Bytes(CEntryId::Make(MAPI_STORE, store.id));
  m[PR_PARENT_ENTRYID] = Bytes(CEntryId::Make(CEntryId::kStoreParent, store.id));
  m[PR_OBJECT_TYPE] = Number(MAPI_STORE);
  auto transport = m.find(PR_CE_TRANSPORT_NAME_W);
  if (transport != m.end()) m[PR_CE_TRANSPORT_NAME_OLD_W] = transport->second;
  for (const FolderRecord& f : store.folders)
    for (const RoleProp& r : kRoles)
      if (f.role == r.role) m[r.storeTag] = Bytes(CEntryId::Make(MAPI_FOLDER, f.id));
  return m;
}

PropRecordMap CObjectProps::Folder(const StoreRecord& store, const FolderRecord& folder) {
  PropRecordMap m = folder.props;
  m[PR_ENTRYID] = Bytes(CEntryId::Make(MAPI_FOLDER, folder.id));
  m[PR_PARENT_ENTRYID] = Bytes(folder.parent ? CEntryId::Make(MAPI_FOLDER, folder.parent)
                                             : CEntryId::Make(MAPI_STORE, store.id));
  m[PR_OBJECT_TYPE] = Number(MAPI_FOLDER);
  bool sub = false;
  for (const FolderRecord& f : store.folders) sub = sub || f.parent == folder.id;
  m[PR_SUBFOLDERS] = Number(sub ? 1 : 0);
  if (!Has(m, PR_FOLDER_TYPE))
    for (const RoleProp& r : kRoles)
      if (folder.role == r.role && r.folderBits) m[PR_FOLDER_TYPE] = Number(r.folderBits);
  return m;
}

PropRecordMap CObjectProps::Message(const MessageRecord& message) {
  PropRecordMap m = message.props;
  m[PR_ENTRYID] = Bytes(CEntryId::Make(MAPI_MESSAGE, message.id));
  m[PR_PARENT_ENTRYID] = Bytes(CEntryId::Make(MAPI_FOLDER, message.folder));
  m[PR_OBJECT_TYPE] = Number(MAPI_MESSAGE);
  if (!Has(m, PR_MESSAGE_FLAGS)) m[PR_MESSAGE_FLAGS] = Number(0);
  if (!Has(m, PR_MESSAGE_SIZE)) {
    LONGLONG size = 0;
    for (const auto& p : message.props) size += p.second.text.size() * sizeof(wchar_t) + p.second.bytes.size();
    m[PR_MESSAGE_SIZE] = Number(size > 0x7FFFFFFF ? 0x7FFFFFFF : size);
  }
  if (!Has(m, PR_DISPLAY_TO_W)) {
    std::wstring to;
    for (const PropRecordMap& r : message.recipients) {
      auto type = r.find(PR_RECIPIENT_TYPE);
      auto name = r.find(PR_DISPLAY_NAME_W);
      if (type == r.end() || type->second.number != MAPI_TO || name == r.end()) continue;
      if (!to.empty()) to += L"; ";
      to += name->second.text;
    }
    if (!to.empty()) m[PR_DISPLAY_TO_W] = Text(to);
  }
  return m;
}

void CObjectProps::Apply(PropRecordMap& stored, ULONG count, const SPropValue* values,
                         std::vector<SPropProblem>& problems) {
  for (ULONG i = 0; i < count; ++i) {
    const SPropValue& v = values[i];
    ULONG tag = CStoreText::NormalTag(v.ulPropTag);
    HRESULT problem = S_OK;
    for (ULONG c : kComputed)
      if (PROP_ID(c) == PROP_ID(tag)) problem = MAPI_E_COMPUTED;
    PropValueRecord r;
    if (problem == S_OK) {
      switch (PROP_TYPE(v.ulPropTag)) {
        case PT_I2: r.number = v.Value.i; break;
        case PT_LONG: r.number = v.Value.l; break;
        case PT_BOOLEAN: r.number = v.Value.b ? 1 : 0; break;
        case PT_I8: r.number = v.Value.li.QuadPart; break;
        case PT_SYSTIME:
          r.number = static_cast<LONGLONG>((static_cast<ULONGLONG>(v.Value.ft.dwHighDateTime) << 32) |
                                           v.Value.ft.dwLowDateTime);
          break;
        case PT_UNICODE: r.text = v.Value.lpszW ? v.Value.lpszW : L""; break;
        case PT_STRING8: r.text = FromNarrow(v.Value.lpszA); break;
        case PT_BINARY:
          if (v.Value.bin.cb && !v.Value.bin.lpb) problem = MAPI_E_INVALID_PARAMETER;
          else if (v.Value.bin.cb) r.bytes.assign(reinterpret_cast<const char*>(v.Value.bin.lpb), v.Value.bin.cb);
          break;
        default: problem = MAPI_E_INVALID_PARAMETER;
      }
    }
    if (problem != S_OK) {
      problems.push_back(SPropProblem{i, v.ulPropTag, problem});
      continue;
    }
    for (auto it = stored.begin(); it != stored.end();)
      it = PROP_ID(it->first) == PROP_ID(tag) ? stored.erase(it) : std::next(it);
    stored[tag] = r;
  }
}

LONGLONG CObjectProps::Now() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  SYSTEMTIME st;
  GetSystemTime(&st);  // the device clock when the device sets one
  SystemTimeToFileTime(&st, &ft);
  return static_cast<LONGLONG>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}
