// How the device's volumes survive restarts, killed writers and damage, and how processes
// that open the same volume see each other's changes.
#include "platform/coredll/tests/DatabaseTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
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
  if (job == L"keep") {
    // Keeps the volume open across another process's death: reads it, says so, waits to
    // be told, then answers how many records it sees now.
    CEGUID g = Mount(arg, OPEN_EXISTING);
    HANDLE db = OpenByName(&g, L"Numbers");
    if (db == INVALID_HANDLE_VALUE || CountIntact(db) < 0) return *exitCode = 1000, true;
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Local\\CeDbTestKeepReady");
    HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, L"Local\\CeDbTestKeepGo");
    if (!ready || !go) return *exitCode = 1001, true;
    SetEvent(ready);
    WaitForSingleObject(go, 60000);
    *exitCode = static_cast<DWORD>(CountIntact(db));
    return true;
  }
  if (job == L"loadkill") {
    // Starts loading the volume in one step, changes much, and is killed before the end.
    CEGUID g = Mount(arg, OPEN_EXISTING);
    HANDLE db = OpenByName(&g, L"Numbers");
    HANDLE loading = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Local\\CeDbTestLoading");
    if (db == INVALID_HANDLE_VALUE || !loading || !CedbBeginVolumeLoad(&g)) return *exitCode = 1, true;
    ReadResult first;
    if (!ReadAt(db, &first) || !CeDeleteRecord(db, first.oid)) return *exitCode = 2, true;
    for (long i = 100; i < 150; ++i)
      if (!WriteNumbered(db, i)) return *exitCode = 3, true;
    SetEvent(loading);
    Sleep(INFINITE);
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
  if (job == L"idleheap") {
    // Listens to "Idle" and, once the relay has nothing to do, holds every heap's lock
    // for many of its rounds, then asks the store something. A relay that allocates while
    // idle stops inside the allocation with the store's lock held, and the question never
    // returns: the parent sees a child that does not end.
    CEGUID pim = PimGuid();
    NotificationSink sink;
    CENOTIFYREQUEST req = sink.Request(1);
    HANDLE db = OpenByName(&pim, L"Idle", 0, &req);
    if (db == INVALID_HANDLE_VALUE) return *exitCode = 1, true;
    Sleep(200);
    HANDLE heaps[256];
    DWORD count = GetProcessHeaps(256, heaps);
    if (count == 0 || count > 256) return *exitCode = 2, true;
    for (DWORD i = 0; i < count; ++i) HeapLock(heaps[i]);
    Sleep(400);
    CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 1, nullptr);
    for (DWORD i = 0; i < count; ++i) HeapUnlock(heaps[i]);
    *exitCode = 0;
    return true;
  }
  return false;
}

}  // namespace cedbtest

namespace {

// Wine ends a process by killing its other threads wherever they are; one killed inside an
// allocation leaves the heap locked and the program hangs at exit. The notification relay
// of an idle program must therefore never be inside the heap.
TEST(DatabaseNotifications, AnIdleRelayStaysOutOfTheHeap) {
  CEGUID pim = PimGuid();
  ASSERT_NE(CreateDb(&pim, L"Idle", {}), 0u);
  HANDLE child = StartChild(L"idleheap");
  ASSERT_NE(child, nullptr);
  bool ended = WaitForSingleObject(child, 60000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(child, 254);
  WaitForSingleObject(child, 10000);
  DWORD code = 253;
  GetExitCodeProcess(child, &code);
  CloseHandle(child);
  EXPECT_TRUE(ended) << "the idle relay waited on a heap's lock while holding the store's";
  EXPECT_EQ(code, 0u);
}

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

// The volume "fill" writes, as written (format 2) and as the first format wrote it.
std::vector<std::string> FilledVolumes(const wchar_t* vol) {
  if (RunChild(L"fill", vol) != 0) return {};
  std::string written = ReadFileBytes(HostFile(vol + 1));
  return {written, AsFormat1(written)};
}

// A last entry cut short (a write interrupted by a kill or power loss) is dropped; the rest
// reads, and the next write cuts off that one entry and nothing more. An old volume is
// written on in its own format.
TEST(DatabasePersistence, TornLastWriteIsDropped) {
  int n = 0;
  for (const std::string& whole : FilledVolumes(L"\\TornSource.vol")) {
    SCOPED_TRACE("format " + std::to_string(VolumeFormat(whole)));
    std::vector<size_t> at = EntryOffsets(whole);
    ASSERT_EQ(at.size(), 5u) << "a database and three records";
    ASSERT_EQ(at.back(), whole.size());
    const size_t h = EntryHeaderSize(whole);
    // The append that never finished: the front of an entry like the last one.
    const std::string next = whole.substr(at[3]);
    struct Case { const char* what; std::string tail; };
    const Case cases[] = {
        {"part of a header", next.substr(0, 3)},
        {"eight bytes of a header promising more", std::string("\x40\x00\x00\x00\x12\x34\x56\x78", 8)},
        {"a header alone", next.substr(0, h)},
        {"a header and part of the bytes", next.substr(0, h + 4)},
        {"all but the last byte", next.substr(0, next.size() - 1)},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      std::wstring vol = L"\\Torn" + std::to_wstring(++n) + L".vol";
      WriteFileBytes(HostFile(vol.substr(1)), whole + c.tail);
      EXPECT_EQ(RunChild(L"check", vol), 0u);
      CEGUID g = Mount(vol, OPEN_EXISTING);
      HANDLE db = OpenByName(&g, L"Numbers");
      ASSERT_NE(db, INVALID_HANDLE_VALUE);
      ASSERT_NE(WriteNumbered(db, 4), 0u);
      CloseHandle(db);
      CeUnmountDBVol(&g);
      std::string after = ReadFileBytes(HostFile(vol.substr(1)));
      EXPECT_EQ(after.substr(0, whole.size()), whole) << "only the torn entry is cut off";
      EXPECT_EQ(EntryOffsets(after).size(), 6u);
      EXPECT_EQ(EntryOffsets(after).back(), after.size());
      EXPECT_EQ(RunChild(L"count", vol), 4u);
    }
  }
}

// A volume load changes the file once, at its end: dropped, or killed before the end, it
// leaves the file as it was; kept, the volume holds the content once, not a log of changes.
TEST(DatabasePersistence, VolumeLoadIsOneDurableStep) {
  ASSERT_EQ(RunChild(L"fill", L"\\Loaded.vol"), 0u);
  const std::string before = ReadFileBytes(HostFile(L"Loaded.vol"));

  HANDLE loading = CreateEventW(nullptr, TRUE, FALSE, L"Local\\CeDbTestLoading");
  HANDLE child = StartChild(L"loadkill", L"\\Loaded.vol");
  ASSERT_NE(child, nullptr);
  ASSERT_EQ(WaitForSingleObject(loading, 60000), WAIT_OBJECT_0);
  EXPECT_EQ(ReadFileBytes(HostFile(L"Loaded.vol")), before) << "nothing written before the end";
  TerminateProcess(child, 9);
  WaitForSingleObject(child, 60000);
  CloseHandle(child);
  CloseHandle(loading);
  EXPECT_EQ(RunChild(L"count", L"\\Loaded.vol"), 3u);
  EXPECT_EQ(ReadFileBytes(HostFile(L"Loaded.vol")), before);

  CEGUID g = Mount(L"\\Loaded.vol", OPEN_EXISTING);
  HANDLE db = OpenByName(&g, L"Numbers");
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(CedbBeginVolumeLoad(&g));
  for (long i = 4; i <= 6; ++i) ASSERT_NE(WriteNumbered(db, i), 0u);
  EXPECT_EQ(CountIntact(db), 6) << "the loading process sees its changes";
  ASSERT_TRUE(CedbEndVolumeLoad(&g, FALSE));
  EXPECT_EQ(CountIntact(db), 3) << "dropped";
  EXPECT_EQ(ReadFileBytes(HostFile(L"Loaded.vol")), before);

  ASSERT_TRUE(CedbBeginVolumeLoad(&g));
  ReadResult first;
  CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 1, nullptr);
  ASSERT_TRUE(ReadAt(db, &first));
  ASSERT_TRUE(CeDeleteRecord(db, first.oid));
  for (long i = 4; i <= 10; ++i) ASSERT_NE(WriteNumbered(db, i), 0u);
  ASSERT_TRUE(CedbEndVolumeLoad(&g, TRUE));
  CloseHandle(db);
  CeUnmountDBVol(&g);
  EXPECT_EQ(RunChild(L"count", L"\\Loaded.vol"), 9u);
  EXPECT_EQ(EntryOffsets(ReadFileBytes(HostFile(L"Loaded.vol"))).size(), 1u + 1u + 9u)
      << "a database and nine records, once each";
}

// Volumes of the first format, whose entries have no header checksum, open, take changes
// in their own format, and are written in the current one when loaded whole.
TEST(DatabasePersistence, OldVolumesStayReadableAndWritable) {
  std::vector<std::string> volumes = FilledVolumes(L"\\OldSource.vol");
  ASSERT_EQ(volumes.size(), 2u);
  const std::string& old = volumes[1];
  ASSERT_EQ(VolumeFormat(old), 1u);
  WriteFileBytes(HostFile(L"Old.vol"), old);
  EXPECT_EQ(RunChild(L"check", L"\\Old.vol"), 0u);
  CEGUID g = Mount(L"\\Old.vol", OPEN_EXISTING);
  HANDLE db = OpenByName(&g, L"Numbers");
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  ASSERT_NE(WriteNumbered(db, 4), 0u);
  std::string appended = ReadFileBytes(HostFile(L"Old.vol"));
  EXPECT_EQ(VolumeFormat(appended), 1u);
  EXPECT_EQ(appended.substr(0, old.size()), old);
  EXPECT_EQ(RunChild(L"count", L"\\Old.vol"), 4u);
  ASSERT_TRUE(CedbBeginVolumeLoad(&g));
  ASSERT_TRUE(CedbEndVolumeLoad(&g, TRUE));
  EXPECT_EQ(VolumeFormat(ReadFileBytes(HostFile(L"Old.vol"))), 2u);
  ASSERT_NE(WriteNumbered(db, 5), 0u);
  CloseHandle(db);
  CeUnmountDBVol(&g);
  EXPECT_EQ(RunChild(L"count", L"\\Old.vol"), 5u);
}

// Damage to any field of an entry's header, in the middle of the log or in its last entry
// (a change that was acknowledged), is damage: it is never taken for a torn last write,
// the volume is refused and the file left as it is, every record in it. So in both formats.
TEST(DatabasePersistence, DamagedEntryHeaderIsRefusedNeverTrimmed) {
  enum Field { kLength, kChecksum, kHeaderChecksum, kKind };
  struct Case {
    const char* what;
    bool last;  // the last entry, else one in the middle
    Field field;
    size_t byte;
    uint8_t flip;  // bits flipped; 0 = the length set to run exactly to the end of the file
  };
  const Case cases[] = {
      {"length, low bit", false, kLength, 0, 0x01},
      {"length, past the end", false, kLength, 1, 0x01},
      {"length, far past the end", false, kLength, 1, 0x80},
      {"length, third byte", false, kLength, 2, 0x01},
      {"length, over the largest entry", false, kLength, 3, 0x80},
      {"length, to the end of the file", false, kLength, 0, 0},
      {"checksum, first byte", false, kChecksum, 0, 0x01},
      {"checksum, second byte", false, kChecksum, 1, 0x10},
      {"checksum, third byte", false, kChecksum, 2, 0x80},
      {"checksum, last byte", false, kChecksum, 3, 0xFF},
      {"header checksum, first byte", false, kHeaderChecksum, 0, 0x01},
      {"header checksum, last byte", false, kHeaderChecksum, 3, 0x80},
      {"kind of change", false, kKind, 0, 0x07},
      {"last entry: length, past the end", true, kLength, 1, 0x01},
      {"last entry: length one more", true, kLength, 0, 0x01},
      {"last entry: length over the largest entry", true, kLength, 3, 0x80},
      {"last entry: checksum", true, kChecksum, 0, 0x01},
      {"last entry: header checksum", true, kHeaderChecksum, 2, 0x01},
      {"last entry: kind of change", true, kKind, 0, 0x07},
  };
  int n = 0;
  for (const std::string& whole : FilledVolumes(L"\\HeaderSource.vol")) {
    SCOPED_TRACE("format " + std::to_string(VolumeFormat(whole)));
    std::vector<size_t> at = EntryOffsets(whole);
    ASSERT_EQ(at.size(), 5u) << "a database and three records";
    const size_t h = EntryHeaderSize(whole);
    for (const Case& c : cases) {
      if (c.field == kHeaderChecksum && h < 12) continue;
      SCOPED_TRACE(c.what);
      size_t entry = c.last ? at[3] : at[1];
      size_t field = c.field == kLength ? 0 : c.field == kChecksum ? 4 : c.field == kHeaderChecksum ? 8 : h;
      std::string bytes = whole;
      if (c.flip) {
        bytes[entry + field + c.byte] = static_cast<char>(bytes[entry + field + c.byte] ^ c.flip);
      } else {
        uint32_t len = static_cast<uint32_t>(bytes.size() - entry - h);
        memcpy(&bytes[entry], &len, 4);
      }
      std::wstring vol = L"\\Header" + std::to_wstring(++n) + L".vol";
      WriteFileBytes(HostFile(vol.substr(1)), bytes);
      CEGUID g;
      EXPECT_FALSE(CeMountDBVol(&g, const_cast<LPWSTR>(vol.c_str()), OPEN_EXISTING));
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNAL_DB_CORRUPTION));
      EXPECT_EQ(RunChild(L"count", vol), 1000u) << "another process refuses it too";
      EXPECT_EQ(ReadFileBytes(HostFile(vol.substr(1))), bytes) << "left as it was";
    }
  }
}

// A writer killed in the middle of a change: the change counts when its entry reached the
// file whole, and not otherwise, and every process agrees on which: one that had the volume
// open all along sees what one opening it after every other has closed it sees.
TEST(DatabasePersistence, ChangeInFlightAtAKillIsSeenAlikeByEveryProcess) {
  HANDLE started = CreateEventW(nullptr, TRUE, FALSE, L"Local\\CeDbTestHammer");
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"Local\\CeDbTestKeepReady");
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, L"Local\\CeDbTestKeepGo");
  // Kills land at random points of a write; a few rounds make landing after the entry is
  // on disk but before the writer says so (most of a write's time is its flush) near certain.
  for (int round = 1; round <= 4; ++round) {
    SCOPED_TRACE(round);
    std::wstring vol = L"\\InFlight" + std::to_wstring(round) + L".vol";
    ResetEvent(started);
    ResetEvent(ready);
    ResetEvent(go);
    HANDLE hammer = StartChild(L"hammer", vol);
    ASSERT_NE(hammer, nullptr);
    ASSERT_EQ(WaitForSingleObject(started, 60000), WAIT_OBJECT_0);
    HANDLE keeper = StartChild(L"keep", vol);
    ASSERT_NE(keeper, nullptr);
    ASSERT_EQ(WaitForSingleObject(ready, 60000), WAIT_OBJECT_0);
    TerminateProcess(hammer, 9);
    WaitForSingleObject(hammer, 60000);
    CloseHandle(hammer);
    SetEvent(go);
    WaitForSingleObject(keeper, 60000);
    DWORD seenByKeeper = 0;
    GetExitCodeProcess(keeper, &seenByKeeper);
    CloseHandle(keeper);
    ASSERT_GE(seenByKeeper, 50u);
    ASSERT_LT(seenByKeeper, 1000u);
    EXPECT_EQ(RunChild(L"count", vol), seenByKeeper) << "a process opening it later";
  }
  CloseHandle(started);
  CloseHandle(ready);
  CloseHandle(go);
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
