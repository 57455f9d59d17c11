#include "tabs/messages/CeMailStore.h"

#include "base/CeDbApi.h"
#include "base/DbRecord.h"
#include "base/MemoryStream.h"
#include "tabs/messages/EmailItem.h"

#include <cstring>
#include <new>
#include <vector>

CCeMailStore::CCeMailStore(LPCWSTR key, LPCWSTR displayName, LPCWSTR shortName, const CEGUID& volume)
    : m_key(key), m_displayName(displayName), m_shortName(shortName), m_volume(volume) {}

CCeMailStore::~CCeMailStore() {
  // The databases close before their volume goes.
  m_folderDb.reset();
  m_messageDb.reset();
  m_bodyDb.reset();
  ::CeUnmountDBVol(&m_volume);
}

BOOL CCeMailStore::Open(HWND owner, ICeDatabaseSink* sink) {
  // Read in one walk: each read moves on to the next record.
  m_folderDb = std::make_unique<CCeDatabase>(L"Folders", nullptr, &m_volume, TRUE);
  m_messageDb = std::make_unique<CCeDatabase>(L"Messages", sink, &m_volume, TRUE);
  // "Bodies" is read whole in its own order, so it opens whatever sort orders it has.
  m_bodyDb = std::make_unique<CCeDatabase>(L"Bodies", nullptr, &m_volume, TRUE);
  if (!m_folderDb->Open(owner) || !m_messageDb->Open(owner) || !m_bodyDb->Open(owner)) return FALSE;
  m_folders.clear();
  m_deletedFolder = 0;
  HANDLE db = m_folderDb->GetHandle();
  CDbRecord record(db);
  const int parent = record.AddPropId(kParentProp);
  const int type = record.AddPropId(kTypeProp);
  const int name = record.AddPropId(kNameProp);
  if (!GetCeDbApi()->Seek(db, CEDB_SEEK_BEGINNING, 0, nullptr)) return FALSE;
  for (;;) {
    const CEOID read = record.Read(0, FALSE);
    if (!read) break;
    WEBIS_FOLDER folder;
    folder.id = read;
    folder.parent = static_cast<DWORD>(record.GetLong(parent, -1));
    folder.type = static_cast<DWORD>(record.GetLong(type, -1));
    record.GetString(name, folder.name, L"");
    if (folder.type == WEBIS_FOLDER_DELETED && !m_deletedFolder) m_deletedFolder = read;
    m_folders.push_back(folder);
  }
  return !m_folders.empty();
}

namespace {

const CEPROPID kMsgFolder = (0 << 16) | CEVT_UI4;
const CEPROPID kMsgStatus = (1 << 16) | CEVT_UI4;
const CEPROPID kMsgText2 = (2 << 16) | CEVT_LPWSTR;
const CEPROPID kMsgText3 = (3 << 16) | CEVT_LPWSTR;
const CEPROPID kMsgText4 = (4 << 16) | CEVT_LPWSTR;
const CEPROPID kMsgText5 = (5 << 16) | CEVT_LPWSTR;
const CEPROPID kMsgText6 = (6 << 16) | CEVT_LPWSTR;
const CEPROPID kMsgTime = (9 << 16) | CEVT_FILETIME;
const CEPROPID kMsgIdText = (11 << 16) | CEVT_LPWSTR;
const CEPROPID kMsgText12 = (12 << 16) | CEVT_LPWSTR;
const CEPROPID kMsgHeaderOnly = (14 << 16) | CEVT_UI4;
const CEPROPID kBodyMessage = (0 << 16) | CEVT_UI4;
const CEPROPID kBodyIndex = (1 << 16) | CEVT_UI4;
const CEPROPID kBodyChunk = (2 << 16) | CEVT_BLOB;

enum MessageProp { kFolderIx, kStatusIx, kText2Ix, kText3Ix, kText4Ix, kText5Ix, kText6Ix, kTimeIx, kIdTextIx,
                   kText12Ix, kHeaderOnlyIx };

void ListMessageProps(CDbRecord& record) {
  for (CEPROPID id : {kMsgFolder, kMsgStatus, kMsgText2, kMsgText3, kMsgText4, kMsgText5, kMsgText6, kMsgTime,
                      kMsgIdText, kMsgText12, kMsgHeaderOnly})
    record.AddPropId(id);
}

CString Text(const CDbRecord& record, int index) {
  CString text;
  record.GetString(index, text, L"");
  return text;
}

}  // namespace

CString WebISDisplayPart(LPCWSTR address) {
  CString text = address ? address : L"";
  const int open = text.ReverseFind(L'<');
  if (open < 0 || text.Find(L'>', open) < 0) return text;
  CString name = text.Left(open);
  name.Trim();
  const int length = name.GetLength();
  if (length >= 2 && (name[0] == L'"' || name[0] == L'\'') && name[length - 1] == name[0])
    name = name.Mid(1, length - 2);
  return name;
}

BOOL CCeMailStore::SeekFirstMessage() {
  return m_messageDb && m_messageDb->IsOpen() &&
         GetCeDbApi()->Seek(m_messageDb->GetHandle(), CEDB_SEEK_BEGINNING, 0, nullptr) != 0;
}

CEOID CCeMailStore::ReadMessage(CEOID oid, EMAIL_ITEM* item, DWORD* recordStatus) {
  if (!m_messageDb || !m_messageDb->IsOpen() || !item) return 0;
  CDbRecord record(m_messageDb->GetHandle());
  ListMessageProps(record);
  const CEOID read = record.Read(oid, TRUE);
  if (!read) return 0;
  const DWORD status = static_cast<DWORD>(record.GetLong(kStatusIx, 0));
  if (recordStatus) *recordStatus = status;
  double when = 949998.0;
  record.GetDate(kTimeIx, &when, 949998.0, TRUE);
  const CString to = Text(record, kText3Ix), from = Text(record, kText4Ix);
  item->FillFromText(L"WebIs", 0, Text(record, kIdTextIx), WebISDisplayPart(to), WebISDisplayPart(from),
                     Text(record, kText2Ix), L"Nobody", when);
  item->recipientText = from;
  item->extraText1 = Text(record, kText5Ix);
  item->extraText2 = Text(record, kText6Ix);
  item->body.Empty();
  item->folderNumber = static_cast<DWORD>(record.GetLong(kFolderIx, 0));
  item->webisId = read;
  item->sourceKind = kSourceWebIS;
  item->accountName = m_key;
  std::vector<BYTE> entry(4);
  for (int i = 0; i < 4; ++i) entry[i] = static_cast<BYTE>(read >> (8 * i));
  const BYTE* name = reinterpret_cast<const BYTE*>(static_cast<LPCWSTR>(m_displayName));
  entry.insert(entry.end(), name, name + m_displayName.GetLength() * sizeof(WCHAR));
  item->entryId.Assign(entry.data(), static_cast<DWORD>(entry.size()));
  item->flags = 0;
  item->status = 0;
  item->hasAttachments = FALSE;
  if (status & 0x8) {
    item->flags |= 0x10;
    item->hasAttachments = TRUE;
  }
  if (status & 0x10) item->flags |= MSGFLAG_READ;
  if (status & 0x1) item->status |= 0x8;
  if (status & 0x40) item->status |= 0x1000;
  if (record.GetLong(kHeaderOnlyIx, 0)) item->status |= 0x100000;
  item->priority = (status & 0x2) ? -1 : (status & 0x4) ? 1 : 0;
  return read;
}

IStream* CCeMailStore::GetMessageSource(CEOID message) {
  if (!m_bodyDb || !m_bodyDb->IsOpen() || !message) return nullptr;
  HANDLE db = m_bodyDb->GetHandle();
  if (!GetCeDbApi()->Seek(db, CEDB_SEEK_BEGINNING, 0, nullptr)) return nullptr;
  CDbRecord record(db);
  const int owner = record.AddPropId(kBodyMessage);
  const int index = record.AddPropId(kBodyIndex);
  const int chunk = record.AddPropId(kBodyChunk);
  std::vector<std::pair<DWORD, CBlobObj>> chunks;
  // The database reads on by itself: one walk in its order.
  while (record.Read(0, FALSE)) {
    if (static_cast<CEOID>(record.GetLong(owner, 0)) != message) continue;
    LONG at = 0;
    if (!record.GetLong(index, &at, -1)) return nullptr;
    chunks.emplace_back(static_cast<DWORD>(at), CBlobObj());
    record.GetBuffer(chunk, chunks.back().second);
  }
  // Each place from 0 up to the last filled exactly once: an index at or past the number
  // of chunks leaves a gap, whatever its size.
  std::vector<const CBlobObj*> places(chunks.size(), nullptr);
  ULONGLONG total = 0;
  for (const auto& piece : chunks) {
    if (piece.first >= places.size() || places[piece.first]) return nullptr;
    places[piece.first] = &piece.second;
    total += piece.second.GetSize();
  }
  if (!total || total > 0x7FFFFFFF) return nullptr;
  BYTE* block = new (std::nothrow) BYTE[static_cast<size_t>(total)];
  if (!block) return nullptr;
  size_t at = 0;
  for (const CBlobObj* piece : places) {
    if (piece->GetSize()) memcpy(block + at, piece->GetData(), piece->GetSize());
    at += piece->GetSize();
  }
  IStream* stream = nullptr;
  if (FAILED(CreateMemoryStream(&stream, block, static_cast<ULONG>(total)))) return nullptr;
  return stream;
}

BOOL CCeMailStore::HasFolder(CEOID folder) const {
  for (const WEBIS_FOLDER& known : m_folders)
    if (known.id == folder) return TRUE;
  return FALSE;
}

BOOL CCeMailStore::ChangeMessage(CEOID message, DWORD setStatus, DWORD clearStatus, const CEOID* folder) {
  if (!m_messageDb || !m_messageDb->IsOpen()) return FALSE;
  CDbRecord record(m_messageDb->GetHandle());
  const int folderIx = record.AddPropId(kMsgFolder);
  const int statusIx = record.AddPropId(kMsgStatus);
  if (!record.Read(message, TRUE)) return FALSE;
  const DWORD status = (static_cast<DWORD>(record.GetLong(statusIx, 0)) | setStatus) & ~clearStatus;
  record.SetLong(statusIx, static_cast<LONG>(status));
  if (folder) record.SetLong(folderIx, static_cast<LONG>(*folder));
  return record.WriteRecord(message, TRUE) == message;
}

BOOL CCeMailStore::EraseMessage(CEOID message) {
  if (!m_messageDb || !m_messageDb->IsOpen()) return FALSE;
  {
    CDbRecord record(m_messageDb->GetHandle());
    ListMessageProps(record);
    if (!record.Read(message, TRUE)) return FALSE;
    record.SetLong(kStatusIx, 0x8001);
    for (int text : {kText2Ix, kText3Ix, kText4Ix, kText5Ix, kText6Ix, kText12Ix}) record.SetString(text, L"");
    if (record.WriteRecord(message, TRUE) != message) return FALSE;
  }
  if (!m_bodyDb || !m_bodyDb->IsOpen()) return TRUE;
  HANDLE db = m_bodyDb->GetHandle();
  std::vector<CEOID> doomed;
  if (GetCeDbApi()->Seek(db, CEDB_SEEK_BEGINNING, 0, nullptr)) {
    CDbRecord record(db);
    const int owner = record.AddPropId(kBodyMessage);
    for (CEOID read = record.Read(0, FALSE); read; read = record.Read(0, FALSE))
      if (static_cast<CEOID>(record.GetLong(owner, 0)) == message) doomed.push_back(read);
  }
  for (CEOID chunk : doomed) GetCeDbApi()->DeleteRecord(db, chunk);
  return TRUE;
}
