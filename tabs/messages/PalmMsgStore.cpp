#include "tabs/messages/PalmMsgStore.h"

#include "base/CeDbApi.h"
#include "base/DateTime.h"
#include "tabs/messages/EmailItem.h"

namespace {

const DWORD kMountFlags = 0x80000000u | OPEN_EXISTING;
const CEPROPID kSortProp = 0x10003;

const WORD kKindProp = 0x1100;
const WORD kFolderTableProp = 0x310B;
const WORD kIndexProp = 0x3129;
const WORD kTextProp = 0x2200;
const WORD kAnsiTextProp = 0x230E;
const WORD kFlagsProp = 0x1108;
const WORD kTimeProp = 0x5109;
const WORD kPeerBlockProp = 0x311F;
const WORD kPeerBlockProp2 = 0x3120;
const WORD kPeerProp = 0x2102;

const DWORD kFolderKind = 10003;
const DWORD kNestedKind = 10009;
const DWORD kMessageKind = 10005;
const DWORD kMessageKind2 = 10017;

const DWORD kFlagMms = 0x100;
const DWORD kFlagRead = 0x10;
const DWORD kEntryNested = 0x20;
const DWORD kEntrySkipped = 0x4;

const size_t kFolderEntrySize = 36;
const size_t kIndexEntrySize = 32;

DWORD Little32(const char* p) {
  const BYTE* b = reinterpret_cast<const BYTE*>(p);
  return DWORD(b[0]) | (DWORD(b[1]) << 8) | (DWORD(b[2]) << 16) | (DWORD(b[3]) << 24);
}

int FolderNumber(const CString& name) {
  static const struct {
    LPCWSTR name;
    int number;
  } kFolders[] = {{L"msgCore:Inbox", 1}, {L"msgCore:Outbox", 2}, {L"msgCore:Sent", 3}, {L"msgCore:Drafts", 5}};
  for (const auto& folder : kFolders)
    if (name.Compare(folder.name) == 0) return folder.number;
  return 0;
}

}  // namespace

CPalmMsgStore::CPalmMsgStore() : m_volumePath(kVolume) {}

CPalmMsgStore::~CPalmMsgStore() { Stop(); }

BOOL CPalmMsgStore::Open(HWND owner, IPalmStoreListener* listener) {
  if (!IsNewerStore()) return FALSE;
  // The last start names who hears the changes: the one before may be gone (a list
  // ended, the panel's window made anew), and its listener or window would then be
  // told nothing, or be told through freed memory.
  m_listener = listener;
  if (IsAvailable()) {
    if (owner == m_owner) return TRUE;
    // The database tells its changes to the window it was opened with.
    m_db.reset();
  }
  m_owner = owner;
  if (!m_mounted) {
    CString path = m_volumePath;
    if (!CeMountDBVol(&m_volume, path.GetBuffer(path.GetLength() + 1), kMountFlags)) return FALSE;
    path.ReleaseBuffer();
    m_mounted = TRUE;
  }
  m_db = std::make_unique<CCeDatabase>(kDatabase, this, &m_volume, TRUE, kSortProp);
  if (!m_db->Open(owner)) {
    Stop();
    return FALSE;
  }
  return TRUE;
}

void CPalmMsgStore::Stop() {
  m_db.reset();
  if (m_mounted) CeUnmountDBVol(&m_volume);
  m_mounted = FALSE;
  m_volume = CEGUID{};
  m_reported.clear();
  m_folders.clear();
  m_folderCursor = 0;
  ResetWalk();
}

void CPalmMsgStore::ResetWalk() {
  m_index.clear();
  m_nested.clear();
  m_indexPos = m_indexCount = m_nestedPos = m_nestedCount = 0;
}

BOOL CPalmMsgStore::ReadRecord(CEOID oid, CPalmRecord& record, CEOID* readOid) {
  record.Parse(nullptr, 0);
  if (readOid) *readOid = 0;
  if (!IsAvailable()) return FALSE;
  HANDLE db = m_db->GetHandle();
  CCeDbApi* api = GetCeDbApi();
  if (oid && !api->Seek(db, CEDB_SEEK_CEOID, oid, nullptr)) return FALSE;
  WORD count = 0;
  BYTE* buffer = nullptr;
  DWORD size = 0;
  const CEOID read = api->ReadRecord(db, &count, nullptr, &buffer, &size);
  if (readOid) *readOid = read;
  BOOL found = FALSE;
  if (read && buffer) {
    const CEPROPVAL* values = reinterpret_cast<const CEPROPVAL*>(buffer);
    for (WORD i = 0; i < count && !found; ++i) {
      if (TypeFromPropID(values[i].propid) != CEVT_BLOB || (values[i].wFlags & CEDB_PROPNOTFOUND)) continue;
      record.Parse(values[i].val.blob.lpb, values[i].val.blob.dwCount);
      found = TRUE;
    }
  }
  if (buffer) {
    if (HANDLE heap = api->GetReadHeap())
      HeapFree(heap, 0, buffer);
    else
      LocalFree(buffer);
  }
  return read && found;
}

BOOL CPalmMsgStore::LoadFolderTable() {
  m_folders.clear();
  if (!IsAvailable() || !GetCeDbApi()->Seek(m_db->GetHandle(), CEDB_SEEK_BEGINNING, 0, nullptr)) return FALSE;
  CPalmRecord record;
  // The database reads on by itself (auto-increment): one walk from the beginning.
  for (;;) {
    CEOID read = 0;
    const BOOL hasBlob = ReadRecord(0, record, &read);
    if (!read) return FALSE;
    const BYTE* table = nullptr;
    DWORD size = 0;
    if (!hasBlob || !record.GetBinary(kFolderTableProp, &table, &size)) continue;
    for (DWORD at = 0; size - at >= kFolderEntrySize; at += kFolderEntrySize) {
      char name[33] = {};
      memcpy(name, table + at, 32);
      WCHAR wide[33] = {};
      MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 33);
      m_folders.push_back({wide, Little32(reinterpret_cast<const char*>(table) + at + 32)});
    }
    return TRUE;
  }
}

DWORD CPalmMsgStore::OpenFolder(IMsgStore*, int folderNumber) {
  if (m_folders.empty()) LoadFolderTable();
  for (m_folderCursor = 0; m_folderCursor < m_folders.size(); ++m_folderCursor) {
    const Folder& folder = m_folders[m_folderCursor];
    if (FolderNumber(folder.name) == folderNumber && folder.record) {
      m_reported[folder.record] = kReachedFolder;
      return folder.record;
    }
  }
  return 0;
}

BOOL CPalmMsgStore::GetFirst(DWORD folderRecord, EMAIL_ITEM* item) {
  ResetWalk();
  CPalmRecord record;
  if (!folderRecord || !ReadRecord(folderRecord, record)) return FALSE;
  DWORD kind = 0;
  const BYTE* index = nullptr;
  DWORD size = 0;
  if (!record.GetNumber(kKindProp, &kind) || kind != kFolderKind || !record.GetBinary(kIndexProp, &index, &size) ||
      size < kIndexEntrySize)
    return FALSE;
  m_index.assign(reinterpret_cast<const char*>(index), size);
  m_indexCount = size / kIndexEntrySize;
  return GetNext(item);
}

BOOL CPalmMsgStore::GetNext(EMAIL_ITEM* item) {
  if (!item || m_indexPos >= m_indexCount) return FALSE;
  const char* entry = m_nestedCount ? &m_nested[m_nestedPos * kIndexEntrySize] : &m_index[m_indexPos * kIndexEntrySize];
  DWORD flags = Little32(entry);
  CEOID id = Little32(entry + 4);
  if (!m_nestedCount && (flags & kEntryNested)) {
    CPalmRecord nested;
    DWORD kind = 0;
    const BYTE* index = nullptr;
    DWORD size = 0;
    if (!ReadRecord(id, nested) || !nested.GetNumber(kKindProp, &kind) || kind != kNestedKind ||
        !nested.GetBinary(kIndexProp, &index, &size) || size < kIndexEntrySize)
      return FALSE;
    m_reported[id] = kReachedNested;
    m_nested.assign(reinterpret_cast<const char*>(index), size);
    m_nestedCount = size / kIndexEntrySize;
    m_nestedPos = 0;
    flags = Little32(&m_nested[0]);
    id = Little32(&m_nested[4]);
  }
  if (flags & kEntrySkipped) {
    // The list keeps no item without a record identifier.
    item->webisId = 0;
  } else {
    if (!DecodeMessage(id, item)) return FALSE;
    m_reported[id] = kReachedMessage;
  }
  if (m_nestedCount && ++m_nestedPos < m_nestedCount) return TRUE;
  m_nested.clear();
  m_nestedCount = m_nestedPos = 0;
  if (++m_indexPos >= m_indexCount) {
    m_index.clear();
    m_indexCount = m_indexPos = 0;
  }
  return TRUE;
}

BOOL CPalmMsgStore::HasMessageKind(const CPalmRecord& record, BOOL withNested) const {
  DWORD kind = 0;
  if (!record.GetNumber(kKindProp, &kind)) return FALSE;
  return kind == kMessageKind || kind == kMessageKind2 || (withNested && kind == kNestedKind);
}

BOOL CPalmMsgStore::DecodeMessage(CEOID oid, EMAIL_ITEM* item) {
  CPalmRecord record;
  if (!item || !oid || !ReadRecord(oid, record) || !HasMessageKind(record, FALSE)) return FALSE;
  CString text;
  if (!record.GetText(kTextProp, text) && !record.GetText(kAnsiTextProp, text)) text.Empty();
  DWORD flags = 0;
  if (!record.GetNumber(kFlagsProp, &flags)) flags = 0;
  double when = 949998.0;
  FILETIME utc;
  SYSTEMTIME utcTime, local;
  if (record.GetTime(kTimeProp, &utc) && FileTimeToSystemTime(&utc, &utcTime) &&
      UtcToLocalSystemTime(nullptr, utcTime, &local) && !SystemTimeToVariantDate(local, &when))
    when = 949998.0;
  CString peer;
  const BYTE* block = nullptr;
  DWORD size = 0;
  if ((record.GetBinary(kPeerBlockProp, &block, &size) || record.GetBinary(kPeerBlockProp2, &block, &size)) &&
      size >= 4) {
    CPalmRecord nested;
    nested.Parse(block + 4, size - 4);
    if (!nested.GetText(kPeerProp, peer)) peer.Empty();
  }
  item->FillFromText((flags & kFlagMms) ? L"Palm.class.MMS" : L"Palm.SMSText", oid, nullptr, peer, peer, text, L"",
                     when);
  item->folderNumber = 0;
  item->flags = (flags & kFlagRead) ? MSGFLAG_READ : 0;
  item->status = 0;
  item->hasAttachments = FALSE;
  item->sourceKind = kSourcePalm;
  item->webisId = oid;
  return TRUE;
}

void CPalmMsgStore::OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase*) {
  if (!notification || !m_listener) return;
  BOOL reset = notification->uType == DB_NOTIFY_DATABASE_CHANGED;
  for (const Folder& folder : m_folders)
    if (folder.record == notification->oid) reset = TRUE;
  if (!reset && notification->uType == DB_CEOID_CHANGED) {
    CPalmRecord record;
    reset = ReadRecord(notification->oid, record) && HasMessageKind(record, TRUE);
  }
  if (reset) m_listener->OnStoreReset();
}

CPalmMsgStore& GetPalmMsgStore() {
  static CPalmMsgStore store;
  return store;
}
