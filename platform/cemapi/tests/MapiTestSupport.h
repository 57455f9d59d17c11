#pragma once
// Shared by the messaging tests: a fixture store built in code and small helpers over the
// session. The device root of the test program's own, the child processes running a named
// job (cedbtest::RunChildJob, in ChangeTest) and the file and message helpers are the
// database tests' own.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/cemapi/StoreRecord.h"
#include "platform/cemapi/cemapi.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"

namespace mapitest {

using cedbtest::PumpUntil;
using cedbtest::ReadFileBytes;
using cedbtest::Root;
using cedbtest::RunChild;
using cedbtest::StartChild;
using cedbtest::WriteFileBytes;

std::wstring BinFile(const wchar_t* name);  // a file beside the test program

// Removes every store file and writes the fixture's stores.
void InstallFixture();
void RemoveStores();
bool InstallStore(const std::wstring& name, const std::string& text);
std::wstring StorePath(const std::wstring& name);

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

}  // namespace mapitest
