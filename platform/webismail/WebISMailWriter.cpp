#include "platform/webismail/WebISMailWriter.h"

#include <vector>

namespace webismail {

namespace {

CEPROPVAL Number(WORD id, DWORD value) {
  CEPROPVAL v{};
  v.propid = (static_cast<DWORD>(id) << 16) | CEVT_UI4;
  v.val.ulVal = value;
  return v;
}

CEPROPVAL Text(WORD id, const std::wstring& text) {
  CEPROPVAL v{};
  v.propid = (static_cast<DWORD>(id) << 16) | CEVT_LPWSTR;
  v.val.lpwstr = const_cast<LPWSTR>(text.c_str());
  return v;
}

HANDLE OpenOrCreate(CEGUID* guid, const wchar_t* name, bool sortedOnFirst) {
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(guid, &oid, const_cast<LPWSTR>(name), nullptr, 0, nullptr);
  if (db != INVALID_HANDLE_VALUE) return db;
  CEDBASEINFOEX info{};
  info.wVersion = CEDBASEINFOEX_VERSION;
  info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
  lstrcpynW(info.szDbaseName, name, CEDB_MAXDBASENAMELEN);
  if (sortedOnFirst) {
    info.wNumSortOrder = 1;
    info.rgSortSpecs[0].wVersion = SORTORDERSPECEX_VERSION;
    info.rgSortSpecs[0].wNumProps = 1;
    info.rgSortSpecs[0].rgPropID[0] = CEVT_UI4;
  }
  if (!CeCreateDatabaseEx2(guid, &info)) return INVALID_HANDLE_VALUE;
  return CeOpenDatabaseEx2(guid, &oid, const_cast<LPWSTR>(name), nullptr, 0, nullptr);
}

DWORD Count(HANDLE db) {
  DWORD count = 0;
  if (!CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, nullptr)) return 0;
  for (;;) {
    WORD props = 0;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    const CEOID read = CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, &props, nullptr, &buffer, &size, nullptr);
    if (buffer) LocalFree(buffer);
    if (!read) return count;
    ++count;
    if (!CeSeekDatabaseEx(db, CEDB_SEEK_CURRENT, 1, 0, nullptr)) return count;
  }
}

}  // namespace

CWebISMailVolume::CWebISMailVolume(const std::wstring& path) {
  std::wstring name = path;
  if (!CeMountDBVol(&guid_, &name[0], OPEN_ALWAYS)) return;
  mounted_ = true;
  messages_ = OpenOrCreate(&guid_, L"Messages", false);
  bodies_ = OpenOrCreate(&guid_, L"Bodies", true);
  folders_ = OpenOrCreate(&guid_, L"Folders", false);
  if (messages_ == INVALID_HANDLE_VALUE || bodies_ == INVALID_HANDLE_VALUE) Close();
}

CWebISMailVolume::~CWebISMailVolume() { Close(); }

void CWebISMailVolume::Close() {
  for (HANDLE* db : {&folders_, &messages_, &bodies_}) {
    if (*db != INVALID_HANDLE_VALUE) CloseHandle(*db);
    *db = INVALID_HANDLE_VALUE;
  }
  if (mounted_) CeUnmountDBVol(&guid_);
  mounted_ = false;
}

CEOID CWebISMailVolume::AddFolder(CEOID parent, DWORD type, const wchar_t* name) {
  if (!IsOpen()) return 0;
  const std::wstring text = name;
  CEPROPVAL values[3] = {Number(0, parent), Number(1, type), Text(2, text)};
  return CeWriteRecordProps(folders_, 0, 3, values);
}

CEOID CWebISMailVolume::AddMessage(const Message& message) { return WriteMessage(0, message); }

CEOID CWebISMailVolume::WriteMessage(CEOID oid, const Message& m) {
  if (!IsOpen()) return 0;
  std::vector<CEPROPVAL> values = {Number(0, m.folder),   Number(1, m.status), Text(2, m.subject),
                                   Text(3, m.to),         Text(4, m.from),     Text(5, m.text5),
                                   Text(6, m.text6),      Text(11, m.idText),  Text(12, m.text12),
                                   Number(14, m.headerOnly)};
  if (m.time) {
    CEPROPVAL time{};
    time.propid = (9 << 16) | CEVT_FILETIME;
    time.val.filetime = *m.time;
    values.push_back(time);
  }
  return CeWriteRecordProps(messages_, oid, static_cast<WORD>(values.size()), values.data());
}

CEOID CWebISMailVolume::AddChunk(CEOID message, DWORD index, const std::string& bytes) {
  if (!IsOpen()) return 0;
  CEPROPVAL values[3] = {Number(0, message), Number(1, index), {}};
  values[2].propid = (2 << 16) | CEVT_BLOB;
  values[2].val.blob.dwCount = static_cast<DWORD>(bytes.size());
  values[2].val.blob.lpb = reinterpret_cast<LPBYTE>(const_cast<char*>(bytes.data()));
  return CeWriteRecordProps(bodies_, 0, 3, values);
}

bool CWebISMailVolume::AddSource(CEOID message, const std::string& source, size_t chunkSize) {
  DWORD index = 0;
  for (size_t at = 0; at < source.size(); at += chunkSize)
    if (!AddChunk(message, index++, source.substr(at, chunkSize))) return false;
  return true;
}

bool CWebISMailVolume::DeleteMessage(CEOID oid) { return IsOpen() && CeDeleteRecord(messages_, oid); }

DWORD CWebISMailVolume::CountMessages() { return IsOpen() ? Count(messages_) : 0; }
DWORD CWebISMailVolume::CountChunks() { return IsOpen() ? Count(bodies_) : 0; }

bool Install(const std::wstring& installDir, const std::wstring& dataDir, const std::string& ini, DWORD build) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\WebIS\\Mail2", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDir.c_str()),
                 static_cast<DWORD>((installDir.size() + 1) * 2));
  RegSetValueExW(key, L"DataDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(dataDir.c_str()),
                 static_cast<DWORD>((dataDir.size() + 1) * 2));
  if (build) RegSetValueExW(key, L"Build", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&build), sizeof build);
  RegCloseKey(key);
  CreateDirectoryW(dataDir.c_str(), nullptr);
  HANDLE file = CreateFileW((dataDir + L"\\settings.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, ini.data(), static_cast<DWORD>(ini.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == ini.size();
}

void Uninstall(const std::wstring& dataDir) {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WebIS");
  DeleteFileW((dataDir + L"\\settings.ini").c_str());
  RemoveDirectoryW(dataDir.c_str());
}

}  // namespace webismail
