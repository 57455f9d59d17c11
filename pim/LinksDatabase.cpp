#include "pim/LinksDatabase.h"

#include <cstring>
#include <vector>

#include "base/DbRecord.h"
#include "pim/IconProviders.h"

namespace {

const CEOID kNoRecord = static_cast<CEOID>(-1);

CEPROPVAL Value(CEPROPID id) {
  CEPROPVAL value;
  memset(&value, 0, sizeof value);
  value.propid = id;
  return value;
}

// Whether the object store holds a database of that name: TRUE when it does, or when
// the store cannot say (damaged, busy), so that nothing is made over it.
bool MayExist(LPCWSTR name) {
  CEGUID store;
  CREATE_SYSTEMGUID(&store);
  HANDLE found = CeFindFirstDatabaseEx(&store, 0);
  if (found == INVALID_HANDLE_VALUE) return true;
  bool exists = false;
  for (;;) {
    CEOID oid = CeFindNextDatabaseEx(found, &store);
    if (!oid) {
      exists = GetLastError() != ERROR_NO_MORE_ITEMS;
      break;
    }
    CEOIDINFO info;
    memset(&info, 0, sizeof info);
    if (!CeOidGetInfoEx(&store, oid, &info)) {
      exists = true;
      break;
    }
    if (info.wObjType == OBJTYPE_DATABASE && lstrcmpiW(info.infDatabase.szDbaseName, name) == 0) {
      exists = true;
      break;
    }
  }
  CloseHandle(found);
  return exists;
}

}  // namespace

CLinksDatabase::CLinksDatabase(int kind, LPCWSTR name, LPCWSTR volume, BOOL createWhenMissing)
    : CIconProvider(kind),
      m_name(name),
      m_volumeName(volume),
      m_createWhenMissing(createWhenMissing),
      m_volume(),
      m_mounted(FALSE) {}

CLinksDatabase::~CLinksDatabase() { Close(); }

BOOL CLinksDatabase::CreateWhenAbsent() {
  // A failed open says nothing of why: a damaged or busy store, or a database of
  // another shape, holds links that must outlive it. Only a database that is not
  // there at all is made, and nothing is ever deleted to make room.
  if (MayExist(m_name)) return FALSE;
  CEDBASEINFO info;
  memset(&info, 0, sizeof info);
  info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC;
  lstrcpynW(info.szDbaseName, m_name, CEDB_MAXDBASENAMELEN);
  info.dwDbaseType = kLinksDatabaseType;
  info.wNumSortOrder = 3;
  info.rgSortSpecs[0].propid = kLinkItem;
  info.rgSortSpecs[1].propid = kLinkNumber;
  info.rgSortSpecs[2].propid = kLinkType;
  CEGUID store;
  CREATE_SYSTEMGUID(&store);
  return CeCreateDatabaseEx(&store, &info) != 0;
}

BOOL CLinksDatabase::Open(HWND owner) {
  Close();
  const CEGUID* volume = nullptr;
  if (!m_volumeName.IsEmpty()) {
    if (!CeMountDBVol(&m_volume, const_cast<LPWSTR>(static_cast<LPCWSTR>(m_volumeName)), kLinksVolumeFlags))
      return FALSE;
    m_mounted = TRUE;
    volume = &m_volume;
  }
  m_byItem.reset(new CCeDatabase(m_name, this, volume, FALSE, kLinkItem));
  BOOL opened = m_byItem->Open(owner);
  if (!opened && m_createWhenMissing && !volume && CreateWhenAbsent()) opened = m_byItem->Open(owner);
  if (opened) {
    m_byNumber.reset(new CCeDatabase(m_name, nullptr, volume, FALSE, kLinkNumber));
    opened = m_byNumber->Open();
  }
  if (!opened) Close();
  return opened;
}

void CLinksDatabase::Close() {
  m_byItem.reset();
  m_byNumber.reset();
  m_pictures.clear();
  if (m_mounted) CeUnmountDBVol(&m_volume);
  m_mounted = FALSE;
  memset(&m_volume, 0, sizeof m_volume);
}

BOOL CLinksDatabase::ReadRecord(CEOID recordId, LINK_RECORD* link) {
  if (!IsOpen() || !link) return FALSE;
  CDbRecord record(m_byItem->GetHandle());
  int item = record.AddPropId(kLinkItem);
  int number = record.AddPropId(kLinkNumber);
  int type = record.AddPropId(kLinkType);
  int object = record.AddPropId(kLinkObject);
  int path = record.AddPropId(kLinkPath);
  int date = record.AddPropId(kLinkDate);
  CEOID read = record.Read(recordId, TRUE);
  if (!read) return FALSE;
  link->recordId = read;
  link->itemId = record.GetLong(item, 0);
  link->number = 0;
  record.GetShort(number, &link->number, 0);
  link->type = 0;
  record.GetShort(type, &link->type, 0);
  link->objectId = record.GetLong(object, 0);
  record.GetString(path, link->path, L"");
  const CEPROPVAL* stored = record.HasValue(date) ? record.GetPropVal(date) : nullptr;
  link->date = stored ? stored->val.dblVal : 0.0;
  return TRUE;
}

BOOL CLinksDatabase::FindPictureLink(CEOID objectId, LINK_RECORD* link) {
  if (!IsOpen() || !link) return FALSE;
  HANDLE db = m_byItem->GetHandle();
  CEPROPVAL key = Value(kLinkItem);
  key.val.lVal = static_cast<LONG>(objectId);
  DWORD seek = CEDB_SEEK_VALUEFIRSTEQUAL;
  for (;;) {
    CEOID found = GetCeDbApi()->Seek(db, seek, reinterpret_cast<DWORD_PTR>(&key), nullptr);
    if (!found) return FALSE;
    seek = CEDB_SEEK_VALUENEXTEQUAL;
    if (ReadRecord(found, link) && link->type == kPictureLink && static_cast<CEOID>(link->itemId) == objectId) {
      m_pictures[link->recordId] = objectId;
      return TRUE;
    }
  }
}

short CLinksDatabase::NextLinkNumber() {
  // The handle sorted on the number: the last record that has one holds the largest.
  CDbRecord record(m_byNumber->GetHandle());
  int number = record.AddPropId(kLinkNumber);
  for (DWORD back = 0;; ++back) {
    if (!GetCeDbApi()->Seek(m_byNumber->GetHandle(), CEDB_SEEK_END, back, nullptr)) return 1;
    short largest = 0;
    if (record.Read(0, TRUE) && record.GetShort(number, &largest, 0)) return static_cast<short>(largest + 1);
  }
}

BOOL CLinksDatabase::WriteRecord(LINK_RECORD& link) {
  if (link.type < 1 || link.type > kPictureLink || !IsOpen()) return FALSE;
  std::vector<CEPROPVAL> values;
  auto add = [&](CEPROPID id) {
    CEPROPVAL value = Value(id);
    switch (id) {
      case kLinkItem: value.val.lVal = link.itemId; break;
      case kLinkNumber: value.val.iVal = link.number; break;
      case kLinkType: value.val.iVal = link.type; break;
      case kLinkObject: value.val.lVal = link.objectId; break;
      case kLinkPath: value.val.lpwstr = const_cast<LPWSTR>(static_cast<LPCWSTR>(link.path)); break;
      case kLinkDate: value.val.dblVal = link.date; break;
    }
    values.push_back(value);
  };
  if (link.type < kLinkToFileFirst) {
    for (CEPROPID id : {kLinkDate, kLinkItem, kLinkType, kLinkNumber, kLinkObject}) add(id);
  } else {
    for (CEPROPID id : {kLinkItem, kLinkType, kLinkNumber, kLinkDate, kLinkPath}) add(id);
  }
  CEOID target = link.recordId == kNoRecord ? 0 : link.recordId;
  CEOID written =
      GetCeDbApi()->WriteRecord(m_byItem->GetHandle(), target, static_cast<WORD>(values.size()), values.data());
  if (!written) return FALSE;
  link.recordId = written;
  return TRUE;
}

BOOL CLinksDatabase::SetPictureLink(CEOID objectId, LPCWSTR path, IIconProviderListener* listener) {
  if (!IsOpen()) return FALSE;
  LINK_RECORD link;
  if (path && *path) {
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return FALSE;
    if (FindPictureLink(objectId, &link)) {
      link.path = path;
    } else {
      link.recordId = 0;
      link.itemId = static_cast<LONG>(objectId);
      link.number = NextLinkNumber();
      link.type = kPictureLink;
      link.objectId = 0;
      link.path = path;
      link.date = 0.0;
    }
    if (!WriteRecord(link)) return FALSE;
    m_pictures[link.recordId] = objectId;
  } else {
    if (!FindPictureLink(objectId, &link) || !GetCeDbApi()->DeleteRecord(m_byItem->GetHandle(), link.recordId))
      return FALSE;
    m_pictures.erase(link.recordId);
  }
  Tell(DB_CEOID_CHANGED, objectId, listener, FALSE);
  return TRUE;
}

BOOL CLinksDatabase::GetIconFile(CString& path, CEOID objectId) {
  path.Empty();
  LINK_RECORD link;
  if (!FindPictureLink(objectId, &link)) return FALSE;
  path = link.path;
  return !path.IsEmpty();
}

BOOL CLinksDatabase::SetLink(CEOID objectId, int itemKind, LPCWSTR source, CString* storedName,
                             IIconProviderListener* listener) {
  (void)itemKind;
  if (storedName) storedName->Empty();
  if (!SetPictureLink(objectId, source, listener)) return FALSE;
  if (storedName && source) *storedName = source;
  return TRUE;
}

void CLinksDatabase::Tell(UINT type, CEOID objectId, IIconProviderListener* listener, BOOL byMessage) {
  CENOTIFICATION notification;
  memset(&notification, 0, sizeof notification);
  notification.dwSize = sizeof notification;
  notification.dwParam = reinterpret_cast<DWORD_PTR>(this);
  notification.uType = type;
  notification.oid = objectId;
  CIconProviders::Instance().Notify(listener, &notification, byMessage);
}

void CLinksDatabase::HandleNotification(const CENOTIFICATION* notification, BOOL byMessage) {
  if (!notification || !IsOpen()) return;
  switch (notification->uType) {
    case DB_NOTIFY_DATABASE_CHANGED:
      // Too many changes to list: every picture is looked up again.
      m_pictures.clear();
      Tell(DB_NOTIFY_DATABASE_CHANGED, 0, nullptr, byMessage);
      return;
    case DB_CEOID_RECORD_DELETED: {
      auto known = m_pictures.find(notification->oid);
      if (known == m_pictures.end()) return;
      CEOID item = known->second;
      m_pictures.erase(known);
      Tell(DB_CEOID_CHANGED, item, nullptr, byMessage);
      return;
    }
    case DB_CEOID_CREATED:
    case DB_CEOID_CHANGED: {
      LINK_RECORD link;
      auto known = m_pictures.find(notification->oid);
      if (!ReadRecord(notification->oid, &link) || link.type != kPictureLink) {
        // A picture link changed into another kind of link: its item lost the picture.
        if (known != m_pictures.end()) {
          CEOID item = known->second;
          m_pictures.erase(known);
          Tell(DB_CEOID_CHANGED, item, nullptr, byMessage);
        }
        return;
      }
      CEOID item = static_cast<CEOID>(link.itemId);
      if (known != m_pictures.end() && known->second != item) Tell(DB_CEOID_CHANGED, known->second, nullptr, byMessage);
      m_pictures[link.recordId] = item;
      Tell(DB_CEOID_CHANGED, item, nullptr, byMessage);
      return;
    }
    default:
      return;
  }
}

void CLinksDatabase::OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) {
  if (database == m_byItem.get()) HandleNotification(notification, TRUE);
}
