// How the device's property databases behave, in the object store and in "pim.vol".
#include "platform/coredll/tests/DatabaseTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace cedbtest;

namespace {

const CEPROPID kId = MAKELONG(CEVT_I4, 1);
const CEPROPID kName = MAKELONG(CEVT_LPWSTR, 2);
const CEPROPID kCount = MAKELONG(CEVT_UI4, 3);
const CEPROPID kData = MAKELONG(CEVT_BLOB, 4);
const CEPROPID kSmall = MAKELONG(CEVT_I2, 5);
const CEPROPID kReal = MAKELONG(CEVT_R8, 6);

struct VolumeCase {
  const char* label;
  CEGUID (*guid)();
};

class DatabaseOnVolume : public ::testing::TestWithParam<VolumeCase> {
 protected:
  void SetUp() override { guid_ = GetParam().guid(); }
  // Names differ per volume so both runs share nothing.
  std::wstring Name(const wchar_t* base) const {
    return std::wstring(base) + (GetParam().label[0] == 'o' ? L".os" : L".pim");
  }
  HANDLE Open(const std::wstring& name, CEOID* oid, DWORD flags = CEDB_AUTOINCREMENT,
              CENOTIFYREQUEST* req = nullptr) {
    *oid = 0;
    return CeOpenDatabaseEx2(&guid_, oid, const_cast<LPWSTR>(name.c_str()), nullptr, flags, req);
  }
  CEGUID guid_{};
};

// On the device, a record written with OID 0 is created, found by OID and read back whole.
TEST_P(DatabaseOnVolume, WritesAndReadsEveryPropertyType) {
  std::wstring name = Name(L"Every type");
  CEOID dbOid = CreateDb(&guid_, name.c_str(), {});
  ASSERT_NE(dbOid, 0u) << GetLastError();
  CEOID opened;
  HANDLE db = Open(name, &opened);
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  EXPECT_EQ(opened, dbOid);

  BYTE bytes[] = {1, 2, 3, 0, 5};
  FILETIME ft{0x11223344, 0x01D00000};
  CEPROPVAL fileTime{};
  fileTime.propid = MAKELONG(CEVT_FILETIME, 7);
  fileTime.val.filetime = ft;
  CEPROPVAL vals[] = {Long(1, -42), Text(2, L"H\u00e9llo"), ULong(3, 0xFFFFFFF0u),
                      Blob(4, bytes, sizeof bytes), Short(5, -7), Double(6, 2.5), fileTime};
  CEOID rec = CeWriteRecordProps(db, 0, 7, vals);
  ASSERT_NE(rec, 0u);

  EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CEOID, rec, 1, nullptr), rec);
  ReadResult r;
  ASSERT_TRUE(ReadAt(db, &r));
  EXPECT_EQ(r.oid, rec);
  ASSERT_EQ(r.props.size(), 7u);
  EXPECT_EQ(r.Find(kId)->val.lVal, -42);
  EXPECT_STREQ(r.Find(kName)->val.lpwstr, L"H\u00e9llo");
  EXPECT_EQ(r.Find(kCount)->val.ulVal, 0xFFFFFFF0u);
  ASSERT_EQ(r.Find(kData)->val.blob.dwCount, sizeof bytes);
  EXPECT_EQ(memcmp(r.Find(kData)->val.blob.lpb, bytes, sizeof bytes), 0);
  EXPECT_EQ(r.Find(kSmall)->val.iVal, -7);
  EXPECT_EQ(r.Find(kReal)->val.dblVal, 2.5);
  EXPECT_EQ(r.Find(fileTime.propid)->val.filetime.dwHighDateTime, ft.dwHighDateTime);
  // The values live in the caller's buffer, after the entries.
  BYTE* end = r.buffer + LocalSize(r.buffer);
  EXPECT_GT(reinterpret_cast<BYTE*>(r.Find(kName)->val.lpwstr), r.buffer + 7 * sizeof(CEPROPVAL) - 1);
  EXPECT_LT(reinterpret_cast<BYTE*>(r.Find(kName)->val.lpwstr), end);

  EXPECT_TRUE(CloseHandle(db));
}

// On the device, listed properties come back in request order; missing ones are flagged.
TEST_P(DatabaseOnVolume, ListedPropertiesFlagMissingAndDeletedOnes) {
  std::wstring name = Name(L"Listed");
  ASSERT_NE(CreateDb(&guid_, name.c_str(), {}), 0u);
  CEOID oid;
  HANDLE db = Open(name, &oid, 0);
  CEPROPVAL vals[] = {Long(1, 5), Text(2, L"kept"), ULong(3, 9)};
  CEOID rec = CeWriteRecordProps(db, 0, 3, vals);
  ASSERT_NE(rec, 0u);
  CEPROPVAL drop = Deleted(3, CEVT_UI4);
  ASSERT_EQ(CeWriteRecordProps(db, rec, 1, &drop), rec);

  CEPROPID want[] = {kName, kCount, kId, MAKELONG(CEVT_I4, 99)};
  WORD count = 4;
  LPBYTE buf = nullptr;
  DWORD size = 0;
  ASSERT_EQ(CeSeekDatabase(db, CEDB_SEEK_CEOID, rec, nullptr), rec);
  ASSERT_EQ(CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, want, &buf, &size), rec);
  auto* p = reinterpret_cast<CEPROPVAL*>(buf);
  ASSERT_EQ(count, 4);
  EXPECT_EQ(p[0].propid, kName);
  EXPECT_STREQ(p[0].val.lpwstr, L"kept");
  EXPECT_EQ(p[1].propid, kCount);
  EXPECT_EQ(p[1].wFlags & CEDB_PROPNOTFOUND, CEDB_PROPNOTFOUND) << "deleted property";
  EXPECT_EQ(p[2].val.lVal, 5);
  EXPECT_EQ(p[2].wFlags, 0);
  EXPECT_EQ(p[3].wFlags & CEDB_PROPNOTFOUND, CEDB_PROPNOTFOUND) << "never written";
  LocalFree(buf);
  CloseHandle(db);
}

// On the device a property is its whole identifier: the same identifier word with two
// types names two properties, written, read and deleted apart.
TEST_P(DatabaseOnVolume, OneIdentifierWordWithTwoTypesIsTwoProperties) {
  std::wstring name = Name(L"Two types");
  ASSERT_NE(CreateDb(&guid_, name.c_str(), {}), 0u);
  CEOID oid;
  HANDLE db = Open(name, &oid, 0);
  CEPROPVAL flag = Short(0x410F, 1);
  CEOID rec = CeWriteRecordProps(db, 0, 1, &flag);
  ASSERT_NE(rec, 0u);
  CEPROPVAL when{};
  when.propid = MAKELONG(CEVT_FILETIME, 0x410F);
  when.val.filetime = FILETIME{0x12345678, 0x01D00000};
  ASSERT_EQ(CeWriteRecordProps(db, rec, 1, &when), rec);
  ASSERT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CEOID, rec, 1, nullptr), rec);
  {
    ReadResult r;
    ASSERT_TRUE(ReadAt(db, &r));
    ASSERT_EQ(r.props.size(), 2u);
    ASSERT_TRUE(r.Find(MAKELONG(CEVT_I2, 0x410F)));
    EXPECT_EQ(r.Find(MAKELONG(CEVT_I2, 0x410F))->val.iVal, 1);
    ASSERT_TRUE(r.Find(when.propid));
    EXPECT_EQ(r.Find(when.propid)->val.filetime.dwLowDateTime, 0x12345678u);
  }
  CEPROPVAL drop = Deleted(0x410F, CEVT_FILETIME);
  ASSERT_EQ(CeWriteRecordProps(db, rec, 1, &drop), rec);
  ASSERT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CEOID, rec, 1, nullptr), rec);
  ReadResult r;
  ASSERT_TRUE(ReadAt(db, &r));
  ASSERT_EQ(r.props.size(), 1u);
  EXPECT_TRUE(r.Find(MAKELONG(CEVT_I2, 0x410F)));
  CloseHandle(db);
}

// On the device, CEDB_ALLOWREALLOC grows the caller's LocalAlloc buffer; without it a
// small buffer gives ERROR_INSUFFICIENT_BUFFER and the size needed.
TEST_P(DatabaseOnVolume, ReadGrowsTheCallersBuffer) {
  std::wstring name = Name(L"Realloc");
  ASSERT_NE(CreateDb(&guid_, name.c_str(), {}), 0u);
  CEOID oid;
  HANDLE db = Open(name, &oid, 0);
  std::wstring big(5000, L'x');
  CEPROPVAL v = Text(2, big.c_str());
  CEOID rec = CeWriteRecordProps(db, 0, 1, &v);
  ASSERT_NE(rec, 0u);

  LPBYTE buf = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, 16));
  DWORD size = 16;
  WORD count = 0;
  EXPECT_EQ(CeReadRecordProps(db, 0, &count, nullptr, &buf, &size), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_GE(size, sizeof(CEPROPVAL) + 5001 * sizeof(wchar_t));

  size = 16;
  ASSERT_EQ(CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size), rec);
  EXPECT_GE(LocalSize(buf), size);
  EXPECT_EQ(reinterpret_cast<CEPROPVAL*>(buf)->val.lpwstr, big);
  LocalFree(buf);

  // Given a heap, the buffer is grown on that heap.
  HANDLE heap = GetProcessHeap();
  buf = static_cast<LPBYTE>(HeapAlloc(heap, 0, 16));
  size = 16;
  ASSERT_EQ(CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size, heap), rec);
  EXPECT_GE(HeapSize(heap, 0, buf), size);
  EXPECT_EQ(reinterpret_cast<CEPROPVAL*>(buf)->val.lpwstr, big);
  HeapFree(heap, 0, buf);
  CloseHandle(db);
}

INSTANTIATE_TEST_SUITE_P(Volumes, DatabaseOnVolume,
                         ::testing::Values(VolumeCase{"objectStore", SystemGuid},
                                           VolumeCase{"pimVol", PimGuid}),
                         [](const ::testing::TestParamInfo<VolumeCase>& i) {
                           return std::string(i.param.label);
                         });

// ---- sort orders and seeks ----

class SortedDatabase : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    guid_ = PimGuid();
    SORTORDERSPECEX byId{SORTORDERSPECEX_VERSION, 1, 0, {kId}, {0}};
    SORTORDERSPECEX byName{SORTORDERSPECEX_VERSION, 1, 0, {kName}, {CEDB_SORT_CASEINSENSITIVE}};
    SORTORDERSPECEX byCountDown{SORTORDERSPECEX_VERSION, 1, 0, {kCount},
                                {CEDB_SORT_DESCENDING | CEDB_SORT_UNKNOWNFIRST}};
    SORTORDERSPECEX byIdThenName{SORTORDERSPECEX_VERSION, 2, 0, {kId, kName}, {0, CEDB_SORT_DESCENDING}};
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC;
    lstrcpyW(info.szDbaseName, L"Sorted");
    info.dwDbaseType = 0x20010002;
    info.wNumSortOrder = 4;
    info.rgSortSpecs[0] = byId;
    info.rgSortSpecs[1] = byName;
    info.rgSortSpecs[2] = byCountDown;
    info.rgSortSpecs[3] = byIdThenName;
    dbOid_ = CeCreateDatabaseEx2(&guid_, &info);
    ASSERT_NE(dbOid_, 0u) << GetLastError();
    CEOID oid = 0;
    HANDLE db = CeOpenDatabaseEx2(&guid_, &oid, info.szDbaseName, nullptr, 0, nullptr);
    // id, name, count (0 = none)
    struct Row { long id; const wchar_t* name; ULONG count; };
    const Row rows[] = {{20, L"delta", 4}, {10, L"Alpha", 0}, {30, L"charlie", 1}, {20, L"bravo", 7}};
    for (const Row& row : rows) {
      CEPROPVAL v[] = {Long(1, row.id), Text(2, row.name), ULong(3, row.count)};
      oids_.push_back(CeWriteRecordProps(db, 0, row.count ? 3 : 2, v));
    }
    CloseHandle(db);
  }

  HANDLE OpenSorted(int order, DWORD flags = CEDB_AUTOINCREMENT) {
    CEOIDINFOEX info{};
    info.wVersion = CEOIDINFOEX_VERSION;
    EXPECT_TRUE(CeOidGetInfoEx2(&guid_, dbOid_, &info));
    CEOID oid = 0;
    return CeOpenDatabaseEx2(&guid_, &oid, const_cast<LPWSTR>(L"Sorted"),
                             &info.infDatabase.rgSortSpecs[order], flags, nullptr);
  }

  std::vector<long> WalkIds(HANDLE db) {
    std::vector<long> ids;
    CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 1, nullptr);
    ReadResult r;
    while (ReadAt(db, &r)) {
      ids.push_back(r.Find(kId)->val.lVal * 10 + static_cast<long>(r.Find(kCount) ? r.Find(kCount)->val.ulVal : 0));
      LocalFree(r.buffer);
      r.buffer = nullptr;
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    return ids;
  }

  static CEGUID guid_;
  static CEOID dbOid_;
  static std::vector<CEOID> oids_;
};
CEGUID SortedDatabase::guid_;
CEOID SortedDatabase::dbOid_;
std::vector<CEOID> SortedDatabase::oids_;

// On the device, each sort order of a database walks the records in its own order
// (records are identified here as id*10+count).
TEST_F(SortedDatabase, EachSortOrderWalksInItsOrder) {
  struct Case { int order; std::vector<long> ids; };
  const Case cases[] = {
      {0, {100, 204, 207, 301}},  // id ascending, ties by creation
      {1, {100, 207, 301, 204}},  // name, case-insensitive
      {2, {100, 207, 204, 301}},  // count descending, records without it first
      {3, {100, 204, 207, 301}},  // id, then name descending: "delta" before "bravo"
  };
  for (const Case& c : cases) {
    HANDLE db = OpenSorted(c.order);
    ASSERT_NE(db, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WalkIds(db), c.ids) << "order " << c.order;
    CloseHandle(db);
  }
}

// On the device, every seek type lands where its definition says, in the handle's order,
// and a failed seek returns 0 and leaves the position at the end.
TEST_F(SortedDatabase, SeekTypesLandOnTheDefinedRecord) {
  HANDLE db = OpenSorted(0, 0);  // id ascending: 10, 20(delta), 20(bravo), 30
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  CEPROPVAL v20 = Long(1, 20), v25 = Long(1, 25), v10 = Long(1, 10), v30 = Long(1, 30);
  auto val = [](CEPROPVAL* p) { return reinterpret_cast<DWORD_PTR>(p); };
  struct Case { DWORD type; DWORD_PTR value; int index; };  // index -1: not found
  const Case cases[] = {
      {CEDB_SEEK_BEGINNING, 0, 0},
      {CEDB_SEEK_BEGINNING, 2, 2},
      {CEDB_SEEK_BEGINNING, 4, -1},
      {CEDB_SEEK_END, 0, 3},
      {CEDB_SEEK_END, 3, 0},
      {CEDB_SEEK_VALUEFIRSTEQUAL, val(&v20), 1},
      {CEDB_SEEK_VALUENEXTEQUAL, val(&v20), 2},
      {CEDB_SEEK_VALUENEXTEQUAL, val(&v20), -1},
      {CEDB_SEEK_VALUEFIRSTEQUAL, val(&v25), -1},
      {CEDB_SEEK_VALUESMALLER, val(&v20), 0},
      {CEDB_SEEK_VALUESMALLER, val(&v10), -1},
      {CEDB_SEEK_VALUESMALLEROREQUAL, val(&v20), 2},
      {CEDB_SEEK_VALUEGREATER, val(&v20), 3},
      {CEDB_SEEK_VALUEGREATER, val(&v30), -1},
      {CEDB_SEEK_VALUEGREATEROREQUAL, val(&v25), 3},
      {CEDB_SEEK_BEGINNING, 1, 1},
      {CEDB_SEEK_CURRENT, 2, 3},
      {CEDB_SEEK_CURRENT, static_cast<DWORD>(-3), 0},
      {CEDB_SEEK_CURRENT, static_cast<DWORD>(-1), -1},
  };
  const CEOID inOrder[] = {oids_[1], oids_[0], oids_[3], oids_[2]};
  for (const Case& c : cases) {
    DWORD index = 99;
    CEOID got = CeSeekDatabaseEx(db, c.type, c.value, 1, &index);
    if (c.index < 0) {
      EXPECT_EQ(got, 0u) << "seek type " << c.type;
      WORD n = 0;
      LPBYTE buf = nullptr;
      DWORD size = 0;
      EXPECT_EQ(CeReadRecordProps(db, CEDB_ALLOWREALLOC, &n, nullptr, &buf, &size), 0u) << "at the end";
      // The walk goes on from a known place.
      CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 1, 1, nullptr);
    } else {
      EXPECT_EQ(got, inOrder[c.index]) << "seek type " << c.type;
      EXPECT_EQ(index, static_cast<DWORD>(c.index));
    }
  }
  EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CEOID, oids_[3], 1, nullptr), oids_[3]);
  EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CEOID, 0x7FFFFFF0, 1, nullptr), 0u);
  CloseHandle(db);
}

// On the device, value seeks compare texts with the order's flags (here case-insensitive).
TEST_F(SortedDatabase, TextSeekUsesTheOrdersFlags) {
  HANDLE db = OpenSorted(1, 0);
  CEPROPVAL v = Text(2, L"CHARLIE");
  EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&v), 1, nullptr),
            oids_[2]);
  CloseHandle(db);
}

// On the device, the position advances on read only with CEDB_AUTOINCREMENT.
TEST_F(SortedDatabase, ReadAdvancesOnlyWithAutoIncrement) {
  for (DWORD flags : {DWORD(0), DWORD(CEDB_AUTOINCREMENT)}) {
    HANDLE db = OpenSorted(0, flags);
    ReadResult a, b;
    ASSERT_TRUE(ReadAt(db, &a));
    ASSERT_TRUE(ReadAt(db, &b));
    EXPECT_EQ(a.oid == b.oid, flags == 0);
    CloseHandle(db);
  }
}

// On the device, the database information lists its sort orders, type and record count,
// and a record's information names its database.
TEST_F(SortedDatabase, OidInformationDescribesDatabaseAndRecord) {
  CEOIDINFOEX info{};
  info.wVersion = CEOIDINFOEX_VERSION;
  ASSERT_TRUE(CeOidGetInfoEx2(&guid_, dbOid_, &info));
  EXPECT_EQ(info.wObjType, OBJTYPE_DATABASE);
  EXPECT_STREQ(info.infDatabase.szDbaseName, L"Sorted");
  EXPECT_EQ(info.infDatabase.dwDbaseType, 0x20010002u);
  EXPECT_EQ(info.infDatabase.dwNumRecords, 4u);
  ASSERT_EQ(info.infDatabase.wNumSortOrder, 4);
  EXPECT_EQ(info.infDatabase.rgSortSpecs[3].wNumProps, 2);
  EXPECT_EQ(info.infDatabase.rgSortSpecs[3].rgPropID[1], kName);
  EXPECT_EQ(info.infDatabase.rgSortSpecs[2].rgdwFlags[0],
            DWORD(CEDB_SORT_DESCENDING | CEDB_SORT_UNKNOWNFIRST));

  ASSERT_TRUE(CeOidGetInfoEx2(&guid_, oids_[0], &info));
  EXPECT_EQ(info.wObjType, OBJTYPE_RECORD);
  EXPECT_EQ(info.infRecord.oidParent, dbOid_);
  EXPECT_FALSE(CeOidGetInfoEx2(&guid_, 0x7FFFFFF0, &info));
}

// ---- databases and volumes ----

// On the device, a second database of the same name is refused, a missing one does not
// open, and a deleted one is gone.
TEST(DatabaseLifecycle, NamesAreUniqueAndDeletionRemoves) {
  CEGUID pim = PimGuid();
  CEOID oid = CreateDb(&pim, L"Lifecycle", {{kId, 0}});
  ASSERT_NE(oid, 0u);
  EXPECT_EQ(CreateDb(&pim, L"lifecycle", {}), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DUP_NAME));

  CEOID found = 0;
  EXPECT_EQ(CeOpenDatabaseEx2(&pim, &found, const_cast<LPWSTR>(L"No such"), nullptr, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  found = oid;
  HANDLE byOid = CeOpenDatabaseEx2(&pim, &found, nullptr, nullptr, 0, nullptr);
  EXPECT_NE(byOid, INVALID_HANDLE_VALUE);
  CloseHandle(byOid);

  EXPECT_TRUE(CeDeleteDatabaseEx(&pim, oid));
  found = 0;
  EXPECT_EQ(CeOpenDatabaseEx2(&pim, &found, const_cast<LPWSTR>(L"Lifecycle"), nullptr, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CeDeleteDatabaseEx(&pim, oid));
}

// On the device, more sort orders than allowed, a blob sort or a name too long are refused.
TEST(DatabaseLifecycle, BadDescriptionsAreRefused) {
  CEGUID pim = PimGuid();
  struct Case { const wchar_t* name; std::vector<SORTORDERSPEC> sorts; };
  const Case cases[] = {
      {L"Five orders", {{kId, 0}, {kId, 0}, {kId, 0}, {kId, 0}, {kId, 0}}},
      {L"Blob order", {{kData, 0}}},
      {L"A name far too long for any database", {}},
      {L"", {}},
  };
  for (const Case& c : cases) {
    CEDBASEINFO info{};
    info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
    lstrcpynW(info.szDbaseName, c.name, CEDB_MAXDBASENAMELEN);
    if (wcslen(c.name) >= CEDB_MAXDBASENAMELEN) memcpy(info.szDbaseName, c.name, sizeof info.szDbaseName);
    info.wNumSortOrder = static_cast<WORD>(c.sorts.size());
    for (size_t i = 0; i < c.sorts.size() && i < CEDB_MAXSORTORDER; ++i) info.rgSortSpecs[i] = c.sorts[i];
    EXPECT_EQ(CeCreateDatabaseEx(&pim, &info), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
}

// On the device, "pim.vol" is always mounted; other volumes are mounted and unmounted by
// name, and an enumeration lists what is mounted.
TEST(DatabaseVolumes, MountEnumerateAndUnmount) {
  CEGUID guid;
  EXPECT_FALSE(CeMountDBVol(&guid, const_cast<LPWSTR>(L"\\Absent.vol"), 0x80000000 | OPEN_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_TRUE(CeMountDBVol(&guid, const_cast<LPWSTR>(L"\\Links.vol"), OPEN_ALWAYS));
  EXPECT_NE(GetFileAttributesW(HostFile(L"Links.vol").c_str()), INVALID_FILE_ATTRIBUTES);

  auto names = [] {
    std::vector<std::wstring> out;
    CEGUID g;
    CREATE_INVALIDGUID(&g);
    wchar_t name[MAX_PATH];
    while (CeEnumDBVolumes(&g, name, MAX_PATH)) out.push_back(name);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    return out;
  };
  std::vector<std::wstring> mounted = names();
  ASSERT_GE(mounted.size(), 2u);
  EXPECT_EQ(mounted[0], L"pim.vol");
  EXPECT_NE(std::find(mounted.begin(), mounted.end(), L"\\Links.vol"), mounted.end());

  // A database found through "any volume" by name.
  ASSERT_NE(CreateDb(&guid, L"OnLinks", {}), 0u);
  CEGUID any;
  CREATE_INVALIDGUID(&any);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx(&any, &oid, const_cast<LPWSTR>(L"OnLinks"), 0, 0, nullptr);
  EXPECT_NE(db, INVALID_HANDLE_VALUE);
  CloseHandle(db);

  EXPECT_TRUE(CeUnmountDBVol(&guid));
  mounted = names();
  EXPECT_EQ(std::find(mounted.begin(), mounted.end(), L"\\Links.vol"), mounted.end());

  // The enumeration may also start from a GUID whose first word alone is -1.
  CEGUID start{0xFFFFFFFFu, 0, 0, 0};
  wchar_t name[MAX_PATH];
  ASSERT_TRUE(CeEnumDBVolumes(&start, name, MAX_PATH));
  EXPECT_STREQ(name, L"pim.vol");

  CEGUID first;
  CREATE_INVALIDGUID(&first);
  wchar_t tiny[3];
  EXPECT_FALSE(CeEnumDBVolumes(&first, tiny, 3));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

// On the device, database handles are kernel handles: CloseHandle closes them, and a
// closed or made-up handle gives ERROR_INVALID_HANDLE, never a crash.
TEST(DatabaseHandles, ClosedAndBogusHandlesAreRefused) {
  CEGUID pim = PimGuid();
  ASSERT_NE(CreateDb(&pim, L"Handles", {}), 0u);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(&pim, &oid, const_cast<LPWSTR>(L"Handles"), nullptr, 0, nullptr);
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(db));
  for (HANDLE bad : {HANDLE(nullptr), INVALID_HANDLE_VALUE, HANDLE(0x1234)}) {
    CEPROPVAL v = Long(1, 1);
    WORD n = 0;
    LPBYTE buf = nullptr;
    DWORD size = 0;
    EXPECT_EQ(CeWriteRecordProps(bad, 0, 1, &v), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CeReadRecordProps(bad, CEDB_ALLOWREALLOC, &n, nullptr, &buf, &size), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CeSeekDatabase(bad, CEDB_SEEK_BEGINNING, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CeDeleteRecord(bad, 5));
  }
}

// On the device, bad arguments give ERROR_INVALID_PARAMETER and change nothing.
TEST(DatabaseHandles, BadArgumentsAreRefused) {
  CEGUID pim = PimGuid();
  ASSERT_NE(CreateDb(&pim, L"Arguments", {}), 0u);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(&pim, &oid, const_cast<LPWSTR>(L"Arguments"), nullptr, 0, nullptr);
  CEPROPVAL badType{};
  badType.propid = MAKELONG(77, 1);
  EXPECT_EQ(CeWriteRecordProps(db, 0, 1, &badType), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CEPROPVAL nullBlob = Blob(4, nullptr, 10);
  EXPECT_EQ(CeWriteRecordProps(db, 0, 1, &nullBlob), 0u);
  CEPROPVAL v = Long(1, 1);
  EXPECT_EQ(CeWriteRecordProps(db, 0x7FFFFFF0, 1, &v), 0u) << "no such record";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CeSeekDatabaseEx(db, 0x4000, 0, 1, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, 0, 1, nullptr), 0u) << "no value";
  EXPECT_EQ(CeOpenDatabaseEx2(&pim, nullptr, const_cast<LPWSTR>(L"Arguments"), nullptr, 0, nullptr),
            INVALID_HANDLE_VALUE);
  CEOIDINFOEX info{};
  EXPECT_FALSE(CeOidGetInfoEx2(nullptr, oid, &info));
  EXPECT_FALSE(CeFreeNotification(nullptr, nullptr));
  WORD n = 0;
  LPBYTE buf = nullptr;
  DWORD size = 0;
  EXPECT_EQ(CeReadRecordProps(db, CEDB_ALLOWREALLOC, &n, nullptr, &buf, &size), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS)) << "the database stayed empty";
  CloseHandle(db);
}

// On the device, a unique sort order admits no second record with the same key.
TEST(DatabaseRecords, UniqueOrderRefusesDuplicateKeys) {
  CEGUID pim = PimGuid();
  CEDBASEINFOEX info{};
  info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
  lstrcpyW(info.szDbaseName, L"Unique");
  info.wNumSortOrder = 1;
  info.rgSortSpecs[0] = {SORTORDERSPECEX_VERSION, 1, CEDB_SORT_UNIQUE, {kId}, {0}};
  ASSERT_NE(CeCreateDatabaseEx2(&pim, &info), 0u);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(&pim, &oid, info.szDbaseName, nullptr, 0, nullptr);
  CEPROPVAL one = Long(1, 1);
  CEOID first = CeWriteRecordProps(db, 0, 1, &one);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(CeWriteRecordProps(db, 0, 1, &one), 0u);
  EXPECT_EQ(CeWriteRecordProps(db, first, 1, &one), first) << "rewriting itself is fine";
  // A key is met wherever it stands in the order: first, between, last, or past the end.
  struct Case { long key; bool accepted; };
  const Case cases[] = {{5, true}, {3, true}, {1, false}, {3, false}, {5, false}, {4, true}, {9, true}, {4, false}};
  for (const Case& c : cases) {
    CEPROPVAL key = Long(1, c.key);
    EXPECT_EQ(CeWriteRecordProps(db, 0, 1, &key) != 0, c.accepted) << c.key;
  }
  CloseHandle(db);
}

// Records written in a volume load land in every sort order exactly where records written
// one by one land: the same walks, the same seeks, the same refusals. The records arrive in
// the first order only; the others (descending, case-insensitive, unknown first, unique, two
// keys) get them out of sequence, with rewrites and deletions among them.
namespace loadorders {

const CEPROPID kSeq = MAKELONG(CEVT_UI4, 7);
const SORTORDERSPECEX kOrders[] = {
    {SORTORDERSPECEX_VERSION, 1, 0, {kSeq}, {0}},
    {SORTORDERSPECEX_VERSION, 1, 0, {kName}, {CEDB_SORT_DESCENDING | CEDB_SORT_CASEINSENSITIVE | CEDB_SORT_UNKNOWNFIRST}},
    {SORTORDERSPECEX_VERSION, 1, CEDB_SORT_UNIQUE, {kId}, {0}},
    {SORTORDERSPECEX_VERSION, 2, 0, {kCount, kName}, {CEDB_SORT_UNKNOWNFIRST, 0}},
};
// Texts that differ by case only, by hyphens and spaces, by accents (precomposed and
// combining), digits as text, and the empty text.
const wchar_t* const kNames[] = {L"alpha", L"Alpha",  L"ALPHA",      L"bravo", L"Bravo", L"charlie",
                                 L"delta", L"Delta",  L"co-op",      L"coop",  L"co op", L"Z\u00FCrich",
                                 L"zurich", L"e\u0301", L"\u00E9",  L"10",    L"9",     L""};

struct Script {
  std::vector<DWORD> outcomes;  // per step: 0 accepted, else the error
  std::vector<CEOID> bySeq;     // each step's record, 0 when refused or deleted
};

// New records handed to the bulk write, a run at a time.
struct Pending {
  std::vector<std::vector<CEPROPVAL>> records;
  size_t from = 0;
  static const CEPROPVAL* CALLBACK Next(LPVOID context, DWORD k, WORD* count) {
    auto* self = static_cast<Pending*>(context);
    const std::vector<CEPROPVAL>& vals = self->records[self->from + k];
    *count = static_cast<WORD>(vals.size());
    return vals.data();
  }
};

CEOID FindSeq(HANDLE bySeq, ULONG seq) {
  CEPROPVAL want = ULong(7, seq);
  return CeSeekDatabaseEx(bySeq, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&want), 1, nullptr);
}

// A fixed, seeded script: new records, rewrites of earlier ones and deletions. With bySeq (a
// handle on the same database in the first order), each run of new records goes to the
// bulk write in one call, and the records filed are found by their sequence numbers.
Script Write(HANDLE db, HANDLE bySeq = nullptr) {
  Script run;
  Pending pending;
  auto flush = [&] {
    for (pending.from = 0; pending.from < pending.records.size();) {
      const DWORD want = static_cast<DWORD>(pending.records.size() - pending.from);
      const DWORD filed = CedbLoadRecords(db, want, &Pending::Next, &pending);
      const DWORD error = GetLastError();
      EXPECT_LE(filed, want);
      for (DWORD k = 0; k < filed; ++k) {
        run.outcomes.push_back(0);
        run.bySeq.push_back(FindSeq(bySeq, pending.records[pending.from + k][0].val.ulVal));
        EXPECT_NE(run.bySeq.back(), 0u);
      }
      pending.from += filed;
      if (filed < want) {  // the refused one, then on with the rest
        EXPECT_NE(error, 0u);
        run.outcomes.push_back(error);
        run.bySeq.push_back(0);
        ++pending.from;
      }
    }
    pending.records.clear();
  };
  uint32_t state = 12345;
  auto next = [&state](uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) % n;
  };
  for (ULONG seq = 0; seq < 400; ++seq) {
    std::vector<CEPROPVAL> vals = {ULong(7, seq)};
    if (next(8)) vals.push_back(Long(1, static_cast<long>(next(600))));  // the unique key, sometimes missing
    if (next(6)) vals.push_back(Text(2, kNames[next(18)]));
    if (next(3)) vals.push_back(ULong(3, next(5)));
    CEOID target = 0;
    uint32_t what = next(10);
    if (bySeq && (what > 1 || !seq)) {
      pending.records.push_back(vals);
      continue;
    }
    if (bySeq) flush();
    if (what == 0 && seq) target = run.bySeq[next(seq)];
    if (what == 1 && seq) {
      CEOID victim = run.bySeq[next(seq)];
      if (!victim) {
        run.outcomes.push_back(1);  // nothing left to delete there
      } else {
        run.outcomes.push_back(CeDeleteRecord(db, victim) ? 0 : GetLastError());
        std::replace(run.bySeq.begin(), run.bySeq.end(), victim, CEOID(0));
      }
      run.bySeq.push_back(0);
      continue;
    }
    // A rewrite keeps the record's sequence number: only its keys move.
    CEOID got = CeWriteRecordProps(db, target, static_cast<WORD>(target ? vals.size() - 1 : vals.size()),
                                   target ? vals.data() + 1 : vals.data());
    run.outcomes.push_back(got ? 0 : GetLastError());
    run.bySeq.push_back(got && !target ? got : 0);
  }
  if (bySeq) flush();
  return run;
}

ULONG SeqAt(HANDLE db) {
  ReadResult r;
  if (!ReadAt(db, &r)) return ~0ul;
  ULONG seq = r.Find(kSeq) ? r.Find(kSeq)->val.ulVal : ~1ul;
  LocalFree(r.buffer);
  r.buffer = nullptr;
  return seq;
}

// Every order's walk, then value seeks of every kind in it, as sequence numbers and indexes.
std::vector<long> Observe(CEGUID* guid, const wchar_t* name) {
  std::vector<long> seen;
  for (int order = 0; order < 4; ++order) {
    CEOID oid = 0;
    SORTORDERSPECEX sortOrder = kOrders[order];
    HANDLE db = CeOpenDatabaseEx2(guid, &oid, const_cast<LPWSTR>(name), &sortOrder, 0, nullptr);
    EXPECT_NE(db, INVALID_HANDLE_VALUE);
    CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 1, nullptr);
    for (ULONG seq; (seq = SeqAt(db)) != ~0ul;) {
      seen.push_back(static_cast<long>(seq));
      CeSeekDatabaseEx(db, CEDB_SEEK_CURRENT, 1, 1, nullptr);
    }
    seen.push_back(-1);
    const DWORD seeks[] = {CEDB_SEEK_VALUEFIRSTEQUAL, CEDB_SEEK_VALUESMALLER, CEDB_SEEK_VALUESMALLEROREQUAL,
                           CEDB_SEEK_VALUEGREATER, CEDB_SEEK_VALUEGREATEROREQUAL};
    for (DWORD type : seeks) {
      for (int probe = 0; probe < 8; ++probe) {
        CEPROPVAL value{};
        switch (order) {
          case 0: value = ULong(7, static_cast<ULONG>(probe * 50)); break;
          case 1: value = Text(2, kNames[probe * 2 + 1]); break;
          case 2: value = Long(1, probe * 75); break;
          default: value = ULong(3, static_cast<ULONG>(probe % 5)); break;
        }
        DWORD index = 0;
        CEOID at = CeSeekDatabaseEx(db, type, reinterpret_cast<DWORD_PTR>(&value), 1, &index);
        seen.push_back(at ? static_cast<long>(SeqAt(db)) * 10000 + static_cast<long>(index) : -2);
      }
    }
    CloseHandle(db);
  }
  return seen;
}

CEOID Create(CEGUID* guid, const wchar_t* name) {
  CEDBASEINFOEX info{};
  info.wVersion = CEDBASEINFOEX_VERSION;
  info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
  lstrcpyW(info.szDbaseName, name);
  info.wNumSortOrder = 4;
  for (int i = 0; i < 4; ++i) info.rgSortSpecs[i] = kOrders[i];
  return CeCreateDatabaseEx2(guid, &info);
}

}  // namespace loadorders

TEST(DatabaseLoads, EveryOrderMatchesRecordsWrittenOneByOne) {
  using namespace loadorders;
  CEGUID pim = PimGuid();
  ASSERT_NE(Create(&pim, L"OneByOne"), 0u);
  CEOID oid = 0;
  HANDLE one = CeOpenDatabaseEx2(&pim, &oid, const_cast<LPWSTR>(L"OneByOne"), nullptr, 0, nullptr);
  const Script expected = Write(one);
  CloseHandle(one);
  const std::vector<long> want = Observe(&pim, L"OneByOne");
  // The script meets every kind of refusal it is meant to.
  EXPECT_NE(std::count(expected.outcomes.begin(), expected.outcomes.end(), DWORD(ERROR_ALREADY_EXISTS)), 0);
  EXPECT_NE(std::count(expected.outcomes.begin(), expected.outcomes.end(), DWORD(ERROR_INVALID_PARAMETER)), 0);

  ASSERT_TRUE(CedbBeginVolumeLoad(&pim));
  ASSERT_NE(Create(&pim, L"Loaded"), 0u);
  oid = 0;
  HANDLE loaded = CeOpenDatabaseEx2(&pim, &oid, const_cast<LPWSTR>(L"Loaded"), nullptr, 0, nullptr);
  const Script got = Write(loaded);
  CloseHandle(loaded);
  EXPECT_EQ(got.outcomes, expected.outcomes);
  EXPECT_EQ(Observe(&pim, L"Loaded"), want) << "read while the load is open";
  // The same script with its runs of new records through the bulk write.
  ASSERT_NE(Create(&pim, L"Bulk"), 0u);
  HANDLE bulk = CeOpenDatabaseEx2(&pim, &(oid = 0), const_cast<LPWSTR>(L"Bulk"), nullptr, 0, nullptr);
  SORTORDERSPECEX first = kOrders[0];
  HANDLE bySeq = CeOpenDatabaseEx2(&pim, &(oid = 0), const_cast<LPWSTR>(L"Bulk"), &first, 0, nullptr);
  const Script bulked = Write(bulk, bySeq);
  EXPECT_EQ(bulked.outcomes, expected.outcomes);
  EXPECT_EQ(Observe(&pim, L"Bulk"), want) << "bulk, read while the load is open";
  // Written after the orders were read: they are filed again, then made whole at the end.
  loaded = CeOpenDatabaseEx2(&pim, &(oid = 0), const_cast<LPWSTR>(L"Loaded"), nullptr, 0, nullptr);
  HANDLE more = CeOpenDatabaseEx2(&pim, &(oid = 0), const_cast<LPWSTR>(L"OneByOne"), nullptr, 0, nullptr);
  Pending late;
  for (long key : {599L, 1L, 300L}) {
    late.records.push_back({ULong(7, 1000 + static_cast<ULONG>(key)), Long(1, 700 + key), Text(2, L"Echo")});
    CEPROPVAL* vals = late.records.back().data();
    EXPECT_EQ(CeWriteRecordProps(loaded, 0, 3, vals) != 0, CeWriteRecordProps(more, 0, 3, vals) != 0);
  }
  for (late.from = 0; late.from < late.records.size(); ++late.from)
    late.from += CedbLoadRecords(bulk, static_cast<DWORD>(late.records.size() - late.from), &Pending::Next, &late);
  CloseHandle(more);
  CloseHandle(loaded);
  CloseHandle(bySeq);
  CloseHandle(bulk);
  ASSERT_TRUE(CedbEndVolumeLoad(&pim, TRUE));
  const std::vector<long> after = Observe(&pim, L"OneByOne");
  EXPECT_NE(after, want);
  EXPECT_EQ(Observe(&pim, L"Loaded"), after) << "after the load";
  EXPECT_EQ(Observe(&pim, L"Bulk"), after) << "bulk, after the load";
}

// The bulk write refuses what a record write refuses, and only inside a load; it stops at
// the record refused, with those before it filed.
TEST(DatabaseLoads, BulkWriteStopsAtTheRecordRefused) {
  using namespace loadorders;
  CEGUID pim = PimGuid();
  ASSERT_NE(Create(&pim, L"BulkRefusals"), 0u);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(&pim, &oid, const_cast<LPWSTR>(L"BulkRefusals"), nullptr, 0, nullptr);
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  Pending two;
  two.records = {{ULong(7, 1), Long(1, 5)}, {ULong(7, 2), Long(1, 6)}};
  SetLastError(0);
  EXPECT_EQ(CedbLoadRecords(db, 2, &Pending::Next, &two), 0u) << "outside a load";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  ASSERT_TRUE(CedbBeginVolumeLoad(&pim));
  EXPECT_EQ(CedbLoadRecords(db, 2, nullptr, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CedbLoadRecords(reinterpret_cast<HANDLE>(0x1234), 2, &Pending::Next, &two), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CEPROPVAL unknown = ULong(9, 1);
  unknown.propid = MAKELONG(0x77, 9);
  CEPROPVAL noBytes = Blob(9, nullptr, 4);
  struct Case { std::vector<CEPROPVAL> third; DWORD filed; DWORD error; };
  const Case cases[] = {
      {{ULong(7, 3), Long(1, 7)}, 3, 0},
      {{ULong(7, 3), Long(1, 5)}, 2, ERROR_ALREADY_EXISTS},  // the unique key of the first
      {{ULong(7, 3)}, 2, ERROR_INVALID_PARAMETER},           // no unique key at all
      {{ULong(7, 3), Long(1, 7), unknown}, 2, ERROR_INVALID_PARAMETER},
      {{ULong(7, 3), Long(1, 7), noBytes}, 2, ERROR_INVALID_PARAMETER},
      {{ULong(7, 3), Long(1, 6), Long(1, 7)}, 3, 0},  // the last of one identifier counts
  };
  const std::vector<long> empty = Observe(&pim, L"BulkRefusals");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filed * 100 + c.error);
    Pending run;
    run.records = {two.records[0], two.records[1], c.third, {ULong(7, 4), Long(1, 8)}};
    SetLastError(0xDEAD);
    EXPECT_EQ(CedbLoadRecords(db, 4, &Pending::Next, &run), c.filed == 3 ? 4u : c.filed);
    EXPECT_EQ(GetLastError(), c.error);
    std::vector<long> seen = Observe(&pim, L"BulkRefusals");
    // Walked in the first order: the records filed, by sequence number.
    std::vector<long> filed(seen.begin(), std::find(seen.begin(), seen.end(), -1));
    const std::vector<long> all = {1, 2, 3, 4}, firstTwo = {1, 2};
    EXPECT_EQ(filed, c.filed == 3 ? all : firstTwo);
    ASSERT_TRUE(CedbEndVolumeLoad(&pim, FALSE));
    EXPECT_EQ(Observe(&pim, L"BulkRefusals"), empty) << "dropped with the load";
    ASSERT_TRUE(CedbBeginVolumeLoad(&pim));
  }
  ASSERT_TRUE(CedbEndVolumeLoad(&pim, FALSE));
  CloseHandle(db);
}

// On the device, deleting the record a handle stands on moves the handle to the next one.
TEST(DatabaseRecords, DeletingTheCurrentRecordMovesToTheNext) {
  CEGUID pim = PimGuid();
  ASSERT_NE(CreateDb(&pim, L"Deleting", {{kId, 0}}), 0u);
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx(&pim, &oid, const_cast<LPWSTR>(L"Deleting"), kId, CEDB_AUTOINCREMENT, nullptr);
  std::vector<CEOID> recs;
  for (long i = 1; i <= 3; ++i) {
    CEPROPVAL v = Long(1, i);
    recs.push_back(CeWriteRecordProps(db, 0, 1, &v));
  }
  ASSERT_EQ(CeSeekDatabase(db, CEDB_SEEK_CEOID, recs[1], nullptr), recs[1]);
  ASSERT_TRUE(CeDeleteRecord(db, recs[1]));
  ReadResult r;
  ASSERT_TRUE(ReadAt(db, &r));
  EXPECT_EQ(r.oid, recs[2]);
  EXPECT_EQ(CeSeekDatabase(db, CEDB_SEEK_CEOID, recs[1], nullptr), 0u);
  EXPECT_FALSE(CeDeleteRecord(db, recs[1]));
  CloseHandle(db);
}

// ---- notifications within one process ----

// On the device, each change reaches the window given at open as WM_DBNOTIFICATION with a
// CENOTIFICATION {size, the request's parameter, type, volume, record, database}.
TEST(DatabaseNotifications, ChangesReachTheWindowGivenAtOpen) {
  CEGUID pim = PimGuid();
  CEOID dbOid = CreateDb(&pim, L"Notified", {});
  ASSERT_NE(dbOid, 0u);
  NotificationSink sink;
  CENOTIFYREQUEST req = sink.Request(0xABCDEF0123ull);
  req.dwSize = 20;  // as device callers fill it
  CEOID oid = 0;
  HANDLE db = CeOpenDatabaseEx2(&pim, &oid, const_cast<LPWSTR>(L"Notified"), nullptr, 0, &req);
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  CEPROPVAL v = Long(1, 1);
  CEOID rec = CeWriteRecordProps(db, 0, 1, &v);
  v.val.lVal = 2;
  ASSERT_EQ(CeWriteRecordProps(db, rec, 1, &v), rec);
  ASSERT_TRUE(CeDeleteRecord(db, rec));
  ASSERT_TRUE(PumpUntil([&] { return sink.received.size() >= 3; }));
  const UINT types[] = {DB_CEOID_CREATED, DB_CEOID_CHANGED, DB_CEOID_RECORD_DELETED};
  for (size_t i = 0; i < 3; ++i) {
    const CENOTIFICATION& n = sink.received[i];
    EXPECT_EQ(n.dwSize, sizeof(CENOTIFICATION));
    EXPECT_EQ(n.dwParam, DWORD_PTR(0xABCDEF0123ull));
    EXPECT_EQ(n.uType, types[i]);
    EXPECT_EQ(n.oid, rec);
    EXPECT_EQ(n.oidParent, dbOid);
    EXPECT_EQ(memcmp(&n.guid, &pim, sizeof pim), 0);
  }
  CloseHandle(db);
}

// Every window of the process that asked hears every change, whichever handle of the
// process made it: one in each layout, and a second window on the same database.
TEST(DatabaseNotifications, EveryWindowOfTheWritingProcessHears) {
  CEGUID pim = PimGuid();
  CEOID dbOid = CreateDb(&pim, L"HeardHere", {});
  ASSERT_NE(dbOid, 0u);
  NotificationSink ex, older, second;
  CENOTIFYREQUEST requests[] = {ex.Request(1), older.Request(2), second.Request(3)};
  requests[1].dwFlags = 0;
  NotificationSink* sinks[] = {&ex, &older, &second};
  std::vector<HANDLE> opened;
  for (CENOTIFYREQUEST& req : requests) {
    CEOID oid = 0;
    opened.push_back(CeOpenDatabaseEx2(&pim, &oid, const_cast<LPWSTR>(L"HeardHere"), nullptr, 0, &req));
    ASSERT_NE(opened.back(), INVALID_HANDLE_VALUE);
  }
  CEOID oid = 0;
  HANDLE writer = CeOpenDatabaseEx2(&pim, &oid, const_cast<LPWSTR>(L"HeardHere"), nullptr, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  CEPROPVAL v = Long(1, 1);
  CEOID rec = CeWriteRecordProps(writer, 0, 1, &v);
  ASSERT_NE(rec, 0u);
  v.val.lVal = 2;
  ASSERT_EQ(CeWriteRecordProps(writer, rec, 1, &v), rec);
  ASSERT_TRUE(CeDeleteRecord(writer, rec));
  ASSERT_TRUE(PumpUntil([&] {
    for (NotificationSink* s : sinks)
      if (s->received.size() < 3) return false;
    return true;
  }));
  const UINT types[] = {DB_CEOID_CREATED, DB_CEOID_CHANGED, DB_CEOID_RECORD_DELETED};
  for (NotificationSink* s : sinks) {
    ASSERT_EQ(s->received.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(s->received[i].uType, types[i]);
      EXPECT_EQ(s->received[i].oid, rec);
      EXPECT_EQ(s->received[i].oidParent, dbOid);
    }
  }
  CloseHandle(writer);
  for (HANDLE h : opened) CloseHandle(h);
}

}  // namespace
