#include "platform/palmmsg/PalmMsgWriter.h"

#include <cstring>

namespace palmmsg {

namespace {

void Little32(std::string& out, DWORD value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

CEPROPVAL KindValue(DWORD kind) {
  CEPROPVAL value{};
  value.propid = (1 << 16) | CEVT_I4;
  value.val.lVal = static_cast<long>(kind);
  return value;
}

CEPROPVAL BlobValue(const std::string& blob) {
  CEPROPVAL value{};
  value.propid = (2 << 16) | CEVT_BLOB;
  value.val.blob.dwCount = static_cast<DWORD>(blob.size());
  value.val.blob.lpb = reinterpret_cast<LPBYTE>(const_cast<char*>(blob.data()));
  return value;
}

}  // namespace

void CPropertyRun::Id(WORD id) {
  bytes_.push_back(static_cast<char>(id >> 8));
  bytes_.push_back(static_cast<char>(id & 0xFF));
}

void CPropertyRun::Big32(DWORD value) {
  for (int i = 3; i >= 0; --i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

CPropertyRun& CPropertyRun::Number(WORD id, DWORD value) {
  Id(id);
  Big32(value);
  return *this;
}

CPropertyRun& CPropertyRun::Text(WORD id, const std::string& bytes) {
  return LyingLength(id, static_cast<DWORD>(bytes.size()), bytes);
}

CPropertyRun& CPropertyRun::Binary(WORD id, const std::string& bytes) {
  return LyingLength(id, static_cast<DWORD>(bytes.size()), bytes);
}

CPropertyRun& CPropertyRun::LyingLength(WORD id, DWORD statedLength, const std::string& bytes) {
  Id(id);
  Big32(statedLength);
  bytes_ += bytes;
  return *this;
}

CPropertyRun& CPropertyRun::Time(WORD id, const FILETIME& time) {
  Id(id);
  Little32(bytes_, time.dwLowDateTime);
  Little32(bytes_, time.dwHighDateTime);
  return *this;
}

CPropertyRun& CPropertyRun::Raw(const std::string& bytes) {
  bytes_ += bytes;
  return *this;
}

std::string FolderTable(const std::vector<std::pair<std::string, CEOID>>& folders) {
  std::string out;
  for (const auto& folder : folders) {
    char name[32] = {};
    memcpy(name, folder.first.data(), folder.first.size() < 31 ? folder.first.size() : 31);
    out.append(name, sizeof name);
    Little32(out, folder.second);
  }
  return out;
}

std::string IndexEntries(const std::vector<std::pair<DWORD, CEOID>>& entries) {
  std::string out;
  for (const auto& entry : entries) {
    Little32(out, entry.first);
    Little32(out, entry.second);
    out.append(24, '\0');
  }
  return out;
}

std::string NestedBlock(const CPropertyRun& run) { return std::string(4, '\0') + run.Bytes(); }

CPropertyRun PalmMessage(DWORD kind, const std::string& utf8Text, DWORD flags, const FILETIME* time,
                           const std::string& peer) {
  CPropertyRun run;
  run.Number(0x1100, kind).Text(0x2200, utf8Text).Number(0x1108, flags);
  if (time) run.Time(0x5109, *time);
  run.Binary(0x311F, NestedBlock(CPropertyRun().Text(0x2102, peer)));
  return run;
}

CPropertyRun PalmFolder(const std::string& index) {
  CPropertyRun run;
  run.Number(0x1100, kFolderKind).Binary(0x3129, index);
  return run;
}

CPropertyRun PalmNestedIndex(const std::string& index) {
  CPropertyRun run;
  run.Number(0x1100, kNestedIndexKind).Binary(0x3129, index);
  return run;
}

CPropertyRun PalmFolderTable(const std::string& table) {
  CPropertyRun run;
  run.Number(0x1100, 10001).Binary(0x310B, table);
  return run;
}

CPalmMsgVolume::CPalmMsgVolume(const std::wstring& path) {
  std::wstring name = path;
  if (!CeMountDBVol(&guid_, &name[0], OPEN_ALWAYS)) return;
  mounted_ = true;
  CEOID oid = 0;
  db_ = CeOpenDatabaseEx2(&guid_, &oid, const_cast<LPWSTR>(kDatabase), nullptr, 0, nullptr);
  if (db_ != INVALID_HANDLE_VALUE) return;
  CEDBASEINFOEX info{};
  info.wVersion = CEDBASEINFOEX_VERSION;
  info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
  lstrcpynW(info.szDbaseName, kDatabase, CEDB_MAXDBASENAMELEN);
  info.wNumSortOrder = 1;
  info.rgSortSpecs[0].wVersion = SORTORDERSPECEX_VERSION;
  info.rgSortSpecs[0].wNumProps = 1;
  info.rgSortSpecs[0].rgPropID[0] = (1 << 16) | CEVT_I4;
  if (!CeCreateDatabaseEx2(&guid_, &info)) return;
  db_ = CeOpenDatabaseEx2(&guid_, &oid, const_cast<LPWSTR>(kDatabase), nullptr, 0, nullptr);
}

CPalmMsgVolume::~CPalmMsgVolume() { Close(); }

void CPalmMsgVolume::Close() {
  if (db_ != INVALID_HANDLE_VALUE) CloseHandle(db_);
  db_ = INVALID_HANDLE_VALUE;
  if (mounted_) CeUnmountDBVol(&guid_);
  mounted_ = false;
}

CEOID CPalmMsgVolume::Add(DWORD kind, const std::string& blob) {
  if (!IsOpen()) return 0;
  CEPROPVAL values[2] = {KindValue(kind), BlobValue(blob)};
  return CeWriteRecordProps(db_, 0, 2, values);
}

bool CPalmMsgVolume::Replace(CEOID oid, DWORD kind, const std::string& blob) {
  if (!IsOpen()) return false;
  CEPROPVAL values[2] = {KindValue(kind), BlobValue(blob)};
  return CeWriteRecordProps(db_, oid, 2, values) == oid;
}

bool CPalmMsgVolume::Delete(CEOID oid) { return IsOpen() && CeDeleteRecord(db_, oid); }

}  // namespace palmmsg
