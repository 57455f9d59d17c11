// How the device's volumes survive restarts, killed writers and damage, and how processes
// that open the same volume see each other's changes.
#include "platform/coredll/tests/DatabaseTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace cedbtest;

namespace {

const CEPROPID kId = MAKELONG(CEVT_I4, 1);
const CEPROPID kName = MAKELONG(CEVT_LPWSTR, 2);

CEGUID Mount(const std::wstring& vol, DWORD how) {
  CEGUID g{};
  if (!CeMountDBVol(&g, const_cast<LPWSTR>(vol.c_str()), how)) CREATE_INVALIDGUID(&g);
  return g;
}

HANDLE OpenByName(CEGUID* g, const wchar_t* name, DWORD flags = CEDB_AUTOINCREMENT,
                  CENOTIFYREQUEST* req = nullptr) {
  CEOID oid = 0;
  return CeOpenDatabaseEx2(g, &oid, const_cast<LPWSTR>(name), nullptr, flags, req);
}

// Writes record i with twenty properties whose values all derive from i.
CEOID WriteNumbered(HANDLE db, long i) {
  std::wstring text = L"record " + std::to_wstring(i);
  CEPROPVAL v[20];
  v[0] = Long(1, i);
  v[1] = Text(2, text.c_str());
  for (WORD k = 2; k < 20; ++k) v[k] = Long(static_cast<WORD>(k + 1), i * 100 + k);
  return CeWriteRecordProps(db, 0, 20, v);
}

bool IsNumberedIntact(const ReadResult& r) {
  if (r.props.size() != 20 || !r.Find(kId) || !r.Find(kName)) return false;
  long i = r.Find(kId)->val.lVal;
  if (std::wstring(r.Find(kName)->val.lpwstr) != L"record " + std::to_wstring(i)) return false;
  for (WORD k = 2; k < 20; ++k) {
    const CEPROPVAL* p = r.Find(MAKELONG(CEVT_I4, k + 1));
    if (!p || p->val.lVal != i * 100 + k) return false;
  }
  return true;
}

// Reads every record of a database; counts them, or -1 when one is not intact.
int CountIntact(HANDLE db) {
  int n = 0;
  CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 1, nullptr);
  for (;;) {
    ReadResult r;
    if (!ReadAt(db, &r)) return GetLastError() == ERROR_NO_MORE_ITEMS ? n : -2;
    if (!IsNumberedIntact(r)) return -1;
    ++n;
  }
}

std::string ReadFileBytes(const std::wstring& path) {
  std::string out;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return out;
  char buf[65536];
  DWORD got;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
  CloseHandle(f);
  return out;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD done;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(f);
}

}  // namespace

// ---- the jobs children run ----

namespace cedbtest {

bool RunChildJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  if (job == L"fill") {
    // A new volume with one database of three numbered records.
    CEGUID g = Mount(arg, CREATE_ALWAYS);
    if (CreateDb(&g, L"Numbers", {{kId, 0}}) == 0) return *exitCode = 1, true;
    HANDLE db = OpenByName(&g, L"Numbers");
    for (long i = 3; i >= 1; --i)
      if (!WriteNumbered(db, i)) return *exitCode = 2, true;
    *exitCode = 0;
    return true;
  }
  if (job == L"check") {
    // Reads the volume "fill" wrote: three intact records in id order.
    CEGUID g = Mount(arg, OPEN_EXISTING);
    HANDLE db = OpenByName(&g, L"Numbers");
    if (db == INVALID_HANDLE_VALUE) return *exitCode = 1, true;
    ReadResult r;
    if (!ReadAt(db, &r) || r.Find(kId)->val.lVal != 1) return *exitCode = 2, true;
    *exitCode = static_cast<DWORD>(CountIntact(db) == 3 ? 0 : 3);
    return true;
  }
  if (job == L"count") {
    CEGUID g = Mount(arg, OPEN_EXISTING);
    HANDLE db = OpenByName(&g, L"Numbers");
    if (db == INVALID_HANDLE_VALUE) return *exitCode = 1000, true;
    *exitCode = static_cast<DWORD>(CountIntact(db));
    return true;
  }
  if (job == L"hammer") {
    // Writes without end; says so after the first fifty.
    CEGUID g = Mount(arg, OPEN_ALWAYS);
    CreateDb(&g, L"Numbers", {{kId, 0}});
    HANDLE db = OpenByName(&g, L"Numbers");
    HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Local\\CeDbTestHammer");
    for (long i = 1;; ++i) {
      if (!WriteNumbered(db, i)) return *exitCode = 1, true;
      if (i == 50 && started) SetEvent(started);
    }
  }
  if (job == L"add100") {
    // A hundred records with numbers of its own, as fast as it can.
    CEGUID g = Mount(arg, OPEN_EXISTING);
    HANDLE db = OpenByName(&g, L"Numbers");
    long base = static_cast<long>(GetCurrentProcessId() % 10000) * 1000;
    for (long i = 1; i <= 100; ++i)
      if (!WriteNumbered(db, base + i)) return *exitCode = 1, true;
    *exitCode = 0;
    return true;
  }
  if (job == L"churn") {
    // Rewrites one record until the log is much longer than its content.
    CEGUID g = Mount(arg, OPEN_EXISTING);
    HANDLE db = OpenByName(&g, L"Numbers");
    ReadResult r;
    if (!ReadAt(db, &r)) return *exitCode = 1, true;
    CEPROPVAL same = Long(1, r.Find(kId)->val.lVal);
    for (int i = 0; i < 1500; ++i)
      if (CeWriteRecordProps(db, r.oid, 1, &same) != r.oid) return *exitCode = 2, true;
    *exitCode = 0;
    return true;
  }
  if (job == L"peer") {
    // Sees the record the parent wrote in "Shared", adds its own and returns its OID.
    CEGUID pim = PimGuid();
    HANDLE db = OpenByName(&pim, L"Shared", 0);
    CEPROPVAL want = Long(1, 1);
    if (!CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&want), 1, nullptr))
      return *exitCode = 1, true;
    CEOID mine = WriteNumbered(db, 2);
    *exitCode = mine ? mine : 2;
    return true;
  }
  return false;
}

}  // namespace cedbtest

namespace {

// On the device, what was written is there after a restart: one process writes and ends,
// another starts later and reads it back.
TEST(DatabasePersistence, ContentSurvivesARestart) {
  EXPECT_EQ(RunChild(L"fill", L"\\Restart.vol"), 0u);
  EXPECT_EQ(RunChild(L"check", L"\\Restart.vol"), 0u);
}

// A process killed while writing loses at most the write in progress; the volume stays
// readable and writable, every record whole.
TEST(DatabasePersistence, KilledWriterLeavesAReadableVolume) {
  HANDLE started = CreateEventW(nullptr, TRUE, FALSE, L"Local\\CeDbTestHammer");
  HANDLE child = StartChild(L"hammer", L"\\Killed.vol");
  ASSERT_NE(child, nullptr);
  ASSERT_EQ(WaitForSingleObject(started, 60000), WAIT_OBJECT_0);
  TerminateProcess(child, 9);
  WaitForSingleObject(child, 60000);
  CloseHandle(child);
  CloseHandle(started);

  DWORD count = RunChild(L"count", L"\\Killed.vol");
  EXPECT_GE(count, 50u) << "every record written before the kill is intact";
  EXPECT_LT(count, 1000u);
  // This process goes on writing to it, and a later one reads both.
  CEGUID g = Mount(L"\\Killed.vol", OPEN_EXISTING);
  HANDLE db = OpenByName(&g, L"Numbers");
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  ASSERT_NE(WriteNumbered(db, 100000), 0u);
  EXPECT_EQ(RunChild(L"count", L"\\Killed.vol"), count + 1);
  CloseHandle(db);
  CeUnmountDBVol(&g);
}

// Processes writing to one database at the same time lose nothing and tear nothing.
TEST(DatabaseSharing, ConcurrentWritersAllLand) {
  CEGUID g = Mount(L"\\Concurrent.vol", CREATE_ALWAYS);
  ASSERT_NE(CreateDb(&g, L"Numbers", {{kId, 0}}), 0u);
  HANDLE db = OpenByName(&g, L"Numbers");
  HANDLE children[] = {StartChild(L"add100", L"\\Concurrent.vol"), StartChild(L"add100", L"\\Concurrent.vol")};
  for (long i = 1; i <= 100; ++i) ASSERT_NE(WriteNumbered(db, i), 0u);
  for (HANDLE c : children) {
    ASSERT_NE(c, nullptr);
    WaitForSingleObject(c, 60000);
    DWORD code = 99;
    GetExitCodeProcess(c, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(c);
  }
  EXPECT_EQ(CountIntact(db), 300);
  CloseHandle(db);
  CeUnmountDBVol(&g);
}

// A volume rewritten by another process (when its log outgrows its content) is read
// again whole by a process that had it open, and stays small.
TEST(DatabasePersistence, CompactionByAnotherProcessKeepsTheContent) {
  CEGUID g = Mount(L"\\Compacted.vol", CREATE_ALWAYS);
  ASSERT_NE(CreateDb(&g, L"Numbers", {{kId, 0}}), 0u);
  HANDLE db = OpenByName(&g, L"Numbers");
  for (long i = 1; i <= 3; ++i) ASSERT_NE(WriteNumbered(db, i), 0u);
  ASSERT_EQ(CountIntact(db), 3);
  ASSERT_EQ(RunChild(L"churn", L"\\Compacted.vol"), 0u);
  EXPECT_EQ(CountIntact(db), 3);
  EXPECT_LT(ReadFileBytes(HostFile(L"Compacted.vol")).size(), 150000u) << "1500 rewrites take 300 KB uncompacted";
  ASSERT_NE(WriteNumbered(db, 4), 0u);
  EXPECT_EQ(RunChild(L"count", L"\\Compacted.vol"), 4u);
  CloseHandle(db);
  CeUnmountDBVol(&g);
}

// A last entry cut short (a write interrupted by power loss) is dropped; the rest reads.
TEST(DatabasePersistence, TornLastWriteIsDropped) {
  ASSERT_EQ(RunChild(L"fill", L"\\Torn.vol"), 0u);
  std::string bytes = ReadFileBytes(HostFile(L"Torn.vol"));
  bytes += std::string("\x40\x00\x00\x00\x12\x34", 6);  // an entry header promising more
  WriteFileBytes(HostFile(L"Torn.vol"), bytes);
  EXPECT_EQ(RunChild(L"check", L"\\Torn.vol"), 0u);
}

// On the device, a damaged volume is refused with an error and left as it is for
// inspection; nothing of it is read.
TEST(DatabasePersistence, DamagedVolumeIsRefusedAndLeftAlone) {
  struct Case { const wchar_t* vol; size_t offset; };
  const Case cases[] = {
      {L"\\DamagedHeader.vol", 3},  // the header
      {L"\\DamagedEntry.vol", 60},  // inside an entry that has others after it
  };
  for (const Case& c : cases) {
    ASSERT_EQ(RunChild(L"fill", c.vol), 0u);
    std::wstring file = HostFile(c.vol + 1);
    std::string bytes = ReadFileBytes(file);
    ASSERT_GT(bytes.size(), c.offset);
    bytes[c.offset] ^= 0x5A;
    WriteFileBytes(file, bytes);

    CEGUID g;
    EXPECT_FALSE(CeMountDBVol(&g, const_cast<LPWSTR>(c.vol), OPEN_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNAL_DB_CORRUPTION));
    EXPECT_EQ(ReadFileBytes(file), bytes) << "left as it was";
  }
  WriteFileBytes(HostFile(L"Garbage.vol"), std::string(10, '\x7F'));
  CEGUID g;
  EXPECT_FALSE(CeMountDBVol(&g, const_cast<LPWSTR>(L"Garbage.vol"), OPEN_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNAL_DB_CORRUPTION));
}

// On the device, programs that open the same volume see each other's writes, and a
// change made by one reaches the window another gave at open.
TEST(DatabaseSharing, TwoProcessesSeeEachOthersWritesAndNotifications) {
  CEGUID pim = PimGuid();
  CEOID dbOid = CreateDb(&pim, L"Shared", {{kId, 0}});
  ASSERT_NE(dbOid, 0u);
  NotificationSink sink;
  CENOTIFYREQUEST req = sink.Request(7);
  HANDLE db = OpenByName(&pim, L"Shared", 0, &req);
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  CEOID mine = WriteNumbered(db, 1);
  ASSERT_NE(mine, 0u);

  DWORD theirs = RunChild(L"peer");
  ASSERT_GT(theirs, 2u) << "the other process did not see our record";
  ASSERT_TRUE(PumpUntil([&] { return sink.Has(DB_CEOID_CREATED, theirs); }));
  for (const CENOTIFICATION& n : sink.received)
    if (n.oid == theirs) {
      EXPECT_EQ(n.oidParent, dbOid);
    }

  CEPROPVAL want = Long(1, 2);
  ASSERT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&want), 1, nullptr),
            theirs);
  ReadResult r;
  ASSERT_TRUE(ReadAt(db, &r));
  EXPECT_TRUE(IsNumberedIntact(r));
  CloseHandle(db);
}

}  // namespace
