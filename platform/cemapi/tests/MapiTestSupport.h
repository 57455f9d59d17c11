#pragma once
// Shared by the messaging tests: a device root of the test program's own (children
// inherit it), child processes running a named job, a fixture store built in code,
// and small helpers over the session.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/cemapi/StoreRecord.h"
#include "platform/cemapi/cemapi.h"

namespace mapitest {

std::wstring Root();
std::wstring BinFile(const wchar_t* name);  // a file beside the test program

// Runs this program again as a child doing `job` with `arg`; its exit code (0 = done).
DWORD RunChild(const std::wstring& job, const std::wstring& arg);
HANDLE StartChild(const std::wstring& job, const std::wstring& arg);
// Child jobs, by name: a test file registers its own.
void RegisterChildJob(const std::wstring& job, std::function<DWORD(const std::wstring&)> run);

// Removes every store file and writes the fixture's stores.
void InstallFixture();
void RemoveStores();
bool InstallStore(const std::wstring& name, const std::string& text);
std::wstring StorePath(const std::wstring& name);
std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);

// The fixture: store "Mail" (ActiveSync) with root, inbox, outbox, sent, deleted,
// drafts and "Projects" > "Archive"; store "SMS".
extern const char kFixtureMail[];
extern const char kFixtureSms[];
const ULONGLONG kMailStore = 0xA100, kMailRoot = 0xA101, kInbox = 0xA102, kOutbox = 0xA103, kSent = 0xA104,
                kDeleted = 0xA105, kDrafts = 0xA106, kProjects = 0xA107, kArchive = 0xA108;
const ULONGLONG kMsgPlain = 0xB001, kMsgHtml = 0xB002, kMsgMime = 0xB003, kMsgBare = 0xB004;
const ULONGLONG kSmsStore = 0xC100, kSmsInbox = 0xC102, kSmsText = 0xD001;

std::string Entry(ULONG kind, ULONGLONG id);
SBinary Bin(const std::string& bytes);

// A logged-on session (MAPIInitialize done); released with the guard.
class CSessionHolder {
 public:
  CSessionHolder();
  ~CSessionHolder();
  IMAPISession* operator->() const { return session_; }
  IMAPISession* get() const { return session_; }

 private:
  IMAPISession* session_ = nullptr;
};

template <class T>
T* Open(IMAPISession* session, const std::string& entry, ULONG* type = nullptr) {
  IUnknown* unknown = nullptr;
  ULONG t = 0;
  if (FAILED(session->OpenEntry(static_cast<ULONG>(entry.size()),
                                reinterpret_cast<LPENTRYID>(const_cast<char*>(entry.data())), nullptr, 0, &t,
                                &unknown)))
    return nullptr;
  if (type) *type = t;
  return static_cast<T*>(static_cast<IUnknown*>(unknown));
}

// Pumps messages until done() or about 10 s (a safety net, not a timing).
bool WaitUntil(const std::function<bool()>& done);

}  // namespace mapitest
