// WebIS Mail (another vendor's mail program) as it leaves its data: the registry values
// under HKEY_CURRENT_USER "Software\WebIS\Mail2", "settings.ini" in its data folder, and
// one database volume per account with the databases "Folders", "Messages" and "Bodies".
//
// Folders: (0, UI4) parent, (1, UI4) type (4 deleted items), (2, LPWSTR) name.
// Messages: (0, UI4) folder record, (1, UI4) status bits, (2) subject, (3) to, (4) from,
// (5), (6), (12) further texts, (9, FILETIME) time, (11) identifier text, (14, UI4)
// header only. Bodies (sorted on property 0): (0, UI4) message record, (1, UI4) chunk
// index, (2, BLOB) the chunk's bytes of the message's MIME source.
#pragma once
#include <windows.h>

#include <string>

#include "platform/coredll/cedb.h"

namespace webismail {

// Status bits of a message record.
constexpr DWORD kDeleted = 0x1;
constexpr DWORD kLowPriority = 0x2;
constexpr DWORD kHighPriority = 0x4;
constexpr DWORD kAttachments = 0x8;
constexpr DWORD kRead = 0x10;
constexpr DWORD kForDownload = 0x40;

struct Message {
  CEOID folder = 0;
  DWORD status = 0;
  std::wstring subject, to, from, text5, text6, text12, idText;
  const FILETIME* time = nullptr;
  DWORD headerOnly = 0;
};

class CWebISMailVolume {
 public:
  // Mounts (creating when missing) the volume and its three databases.
  explicit CWebISMailVolume(const std::wstring& path);
  ~CWebISMailVolume();
  CWebISMailVolume(const CWebISMailVolume&) = delete;
  CWebISMailVolume& operator=(const CWebISMailVolume&) = delete;

  bool IsOpen() const { return folders_ != INVALID_HANDLE_VALUE; }
  CEOID AddFolder(CEOID parent, DWORD type, const wchar_t* name);
  CEOID AddMessage(const Message& message);
  // oid 0 adds; else the record is rewritten whole.
  CEOID WriteMessage(CEOID oid, const Message& message);
  CEOID AddChunk(CEOID message, DWORD index, const std::string& bytes);
  // The source cut in pieces of chunkSize, indexes 0, 1, ...
  bool AddSource(CEOID message, const std::string& source, size_t chunkSize);
  bool DeleteMessage(CEOID oid);
  // Counts of the databases' records, to see what a reader changed.
  DWORD CountMessages();
  DWORD CountChunks();
  void Close();

 private:
  CEGUID guid_{};
  bool mounted_ = false;
  HANDLE folders_ = INVALID_HANDLE_VALUE;
  HANDLE messages_ = INVALID_HANDLE_VALUE;
  HANDLE bodies_ = INVALID_HANDLE_VALUE;
};

// The registry values and settings.ini (UTF-8 bytes as given) in dataDir; build 0:
// no "Build" value.
bool Install(const std::wstring& installDir, const std::wstring& dataDir, const std::string& ini, DWORD build);
void Uninstall(const std::wstring& dataDir);

}  // namespace webismail
