// The Palm messaging component's store as that component writes it: the volume
// "\Windows\PalmMsgV001" with the database "poDatabase". Each record holds a sort
// value (property 1, CEVT_I4: the record kind) and one blob (property 2): a run of
// properties, each a 16-bit identifier high byte first and a value whose form the
// identifier's top four bits give (0x1000 number, 0x2000 text, 0x3000 binary, 0x5000
// time). Binary tables inside a value (folder table, index) are the component's
// structures as they lie in memory, low byte first.
//
// Tests write damaged records too: Raw appends any bytes.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/coredll/cedb.h"

namespace palmmsg {

// Record kinds.
constexpr DWORD kFolderKind = 10003;
constexpr DWORD kNestedIndexKind = 10009;
constexpr DWORD kMessageKind = 10005;
constexpr DWORD kMessageKind2 = 10017;

// Index entry flags.
constexpr DWORD kEntryNested = 0x20;
constexpr DWORD kEntrySkipped = 0x4;

class CPropertyRun {
 public:
  CPropertyRun& Number(WORD id, DWORD value);
  // The bytes as stored: UTF-8 for identifiers 0x22xx, the ANSI code page otherwise.
  CPropertyRun& Text(WORD id, const std::string& bytes);
  CPropertyRun& Binary(WORD id, const std::string& bytes);
  CPropertyRun& Time(WORD id, const FILETIME& time);
  // A value whose stated length is not its real one (0x2000 and 0x3000 forms).
  CPropertyRun& LyingLength(WORD id, DWORD statedLength, const std::string& bytes);
  CPropertyRun& Raw(const std::string& bytes);
  const std::string& Bytes() const { return bytes_; }

 private:
  void Id(WORD id);
  void Big32(DWORD value);
  std::string bytes_;
};

// The folder table's entries: a 32-byte name and a record identifier.
std::string FolderTable(const std::vector<std::pair<std::string, CEOID>>& folders);
// Index entries of 32 bytes: flags and record identifier, then zeros.
std::string IndexEntries(const std::vector<std::pair<DWORD, CEOID>>& entries);
// A nested property block: four bytes the reader skips, then a run.
std::string NestedBlock(const CPropertyRun& run);

// Ready-made records.
CPropertyRun PalmMessage(DWORD kind, const std::string& utf8Text, DWORD flags, const FILETIME* time,
                           const std::string& peer);
CPropertyRun PalmFolder(const std::string& index);
CPropertyRun PalmNestedIndex(const std::string& index);
CPropertyRun PalmFolderTable(const std::string& table);

// The store's volume, created when missing. Records keep their identifiers across
// Replace, so an index can be written after the messages it names.
class CPalmMsgVolume {
 public:
  static constexpr const wchar_t* kVolume = L"\\Windows\\PalmMsgV001";
  static constexpr const wchar_t* kDatabase = L"poDatabase";

  // Another path for tests that keep several stores.
  explicit CPalmMsgVolume(const std::wstring& path = kVolume);
  ~CPalmMsgVolume();
  CPalmMsgVolume(const CPalmMsgVolume&) = delete;
  CPalmMsgVolume& operator=(const CPalmMsgVolume&) = delete;

  bool IsOpen() const { return db_ != INVALID_HANDLE_VALUE; }
  // The new record's identifier, 0 on failure.
  CEOID Add(DWORD kind, const std::string& blob);
  bool Replace(CEOID oid, DWORD kind, const std::string& blob);
  bool Delete(CEOID oid);
  // Closes the database and unmounts the volume (also done by the destructor).
  void Close();

 private:
  CEGUID guid_{};
  bool mounted_ = false;
  HANDLE db_ = INVALID_HANDLE_VALUE;
};

}  // namespace palmmsg
