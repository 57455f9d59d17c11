#include "base/DbRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DeviceRoot.h"
#include "base/CeDatabase.h"
#include "base/DateTime.h"

namespace {

constexpr CEPROPID Prop(WORD id, WORD type) { return (static_cast<CEPROPID>(id) << 16) | type; }

const CEPROPID kNumber = Prop(0x4001, CEVT_I4);
const CEPROPID kSmall = Prop(0x4002, CEVT_I2);
const CEPROPID kText = Prop(0x4003, CEVT_LPWSTR);
const CEPROPID kWhen = Prop(0x4004, CEVT_FILETIME);
const CEPROPID kData = Prop(0x4005, CEVT_BLOB);
const CEPROPID kNever = Prop(0x4006, CEVT_I4);

CEPROPVAL Value(CEPROPID id) {
  CEPROPVAL v;
  memset(&v, 0, sizeof v);
  v.propid = id;
  return v;
}

// One database on "pim.vol" per test, with the record identifier as first sort order
// and the number as second; the same cases run on the classic and the newer store.
class DbRecordTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    m_mode = std::make_unique<CStoreMode>(GetParam());
    ASSERT_TRUE(GetCeDbApi()->FindPimVolume(&m_pim));
    static int serial = 0;
    m_name = L"Items" + std::to_wstring(++serial);
    CEDBASEINFOEX info;
    memset(&info, 0, sizeof info);
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
    wcscpy(info.szDbaseName, m_name.c_str());
    info.wNumSortOrder = 2;
    info.rgSortSpecs[0].wVersion = SORTORDERSPECEX_VERSION;
    info.rgSortSpecs[0].wNumProps = 1;
    info.rgSortSpecs[0].rgPropID[0] = kRecordIdPropId;
    info.rgSortSpecs[1] = info.rgSortSpecs[0];
    info.rgSortSpecs[1].rgPropID[0] = kNumber;
    m_dbOid = CeCreateDatabaseEx2(&m_pim, &info);
    ASSERT_NE(0u, m_dbOid);
    CEOID oid = 0;
    m_db = GetCeDbApi()->OpenDatabase(m_name.c_str(), FALSE, 0, nullptr, &oid);
    ASSERT_NE(INVALID_HANDLE_VALUE, m_db);
    EXPECT_EQ(m_dbOid, oid);
  }
  void TearDown() override {
    if (m_db != INVALID_HANDLE_VALUE) CloseHandle(m_db);
    CeDeleteDatabaseEx(&m_pim, m_dbOid);
    GetCeDbApi()->SetReadHeap(nullptr);
    m_mode.reset();
  }

  bool Newer() const { return GetParam(); }

  // Writes a record as the PIM does: its record identifier holds the low bits of its OID.
  // The identifier the programs know it by: the item identifier (kind in the top four
  // bits, no database OID) in the newer store, the record OID in the classic one.
  CEOID AddItem(std::vector<CEPROPVAL> values) {
    CEOID oid = CeWriteRecordProps(m_db, 0, static_cast<WORD>(values.size()), values.data());
    EXPECT_NE(0u, oid);
    CEPROPVAL id = Value(kRecordIdPropId);
    id.val.ulVal = oid & 0x0FFFFFFF;
    EXPECT_EQ(oid, CeWriteRecordProps(m_db, oid, 1, &id));
    m_oids.push_back(oid);
    return Newer() ? (0x40000000 | (oid & 0x0FFFFFFF)) : oid;
  }

  CEOID OidOf(CEOID item) const { return Newer() ? m_oids.back() : item; }

  DWORD RecordCount() {
    CEOIDINFOEX info;
    memset(&info, 0, sizeof info);
    info.wVersion = CEOIDINFOEX_VERSION;
    EXPECT_TRUE(CeOidGetInfoEx2(&m_pim, m_dbOid, &info));
    return info.infDatabase.dwNumRecords;
  }

  // Every property of a record as the store keeps it, bypassing the cursor.
  std::vector<CEPROPVAL> RawProps(CEOID oid, std::vector<BYTE>* keep) {
    std::vector<CEPROPVAL> props;
    if (CeSeekDatabase(m_db, CEDB_SEEK_CEOID, oid, nullptr) != oid) return props;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    WORD count = 0;
    if (!CeReadRecordProps(m_db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size)) return props;
    keep->assign(buffer, buffer + size);
    LocalFree(buffer);
    auto* entries = reinterpret_cast<CEPROPVAL*>(keep->data());
    props.assign(entries, entries + count);
    return props;
  }

  std::unique_ptr<CStoreMode> m_mode;
  CEGUID m_pim{};
  std::wstring m_name;
  CEOID m_dbOid = 0;
  HANDLE m_db = INVALID_HANDLE_VALUE;
  std::vector<CEOID> m_oids;
};

std::vector<CEPROPVAL> Sample() {
  static const BYTE bytes[] = {1, 2, 3, 0, 5};
  static WCHAR text[] = L"Dentist";
  std::vector<CEPROPVAL> values(5);
  values[0] = Value(kNumber);
  values[0].val.lVal = -42;
  values[1] = Value(kSmall);
  values[1].val.iVal = 7;
  values[2] = Value(kText);
  values[2].val.lpwstr = text;
  values[3] = Value(kWhen);
  values[3].val.filetime.dwLowDateTime = 0x12345678;
  values[3].val.filetime.dwHighDateTime = 0x01DA0000;
  values[4] = Value(kData);
  values[4].val.blob.dwCount = sizeof bytes;
  values[4].val.blob.lpb = const_cast<BYTE*>(bytes);
  return values;
}

TEST_P(DbRecordTest, ReadsEveryTypeAndSaysWhatWasPresent) {
  CEOID item = AddItem(Sample());
  for (HANDLE heap : {static_cast<HANDLE>(nullptr), GetProcessHeap()}) {
    // The plug-in reads into the store's local allocations, the options program into its heap.
    GetCeDbApi()->SetReadHeap(heap);
    CDbRecord record(m_db);
    int number = record.AddPropId(kNumber);
    int small = record.AddPropId(kSmall);
    int text = record.AddPropId(kText);
    int when = record.AddPropId(kWhen);
    int data = record.AddPropId(kData);
    int never = record.AddPropId(kNever);
    ASSERT_EQ(OidOf(item), record.Read(item));

    LONG l = 0;
    EXPECT_TRUE(record.GetLong(number, &l, 5));
    EXPECT_EQ(-42, l);
    EXPECT_EQ(-42, record.GetLong(number, 5));
    short s = 0;
    EXPECT_TRUE(record.GetShort(small, &s, 1));
    EXPECT_EQ(7, s);
    CString t;
    EXPECT_TRUE(record.GetString(text, t, L"none"));
    EXPECT_STREQ(L"Dentist", t);
    EXPECT_STREQ(L"Dentist", record.GetStringCopy(text, nullptr));
    FILETIME ft{};
    EXPECT_TRUE(record.GetFileTime(when, &ft, 0, 0));
    EXPECT_EQ(0x12345678u, ft.dwLowDateTime);
    CBlobObj blob;
    EXPECT_TRUE(record.GetBuffer(data, blob));
    ASSERT_EQ(5u, blob.GetSize());
    EXPECT_EQ(5, blob.GetData()[4]);
    BYTE* p = nullptr;
    DWORD n = 0;
    EXPECT_TRUE(record.GetBlob(data, &p, &n));
    EXPECT_EQ(5u, n);

    // A property the record lacks: the caller's default and FALSE.
    EXPECT_FALSE(record.GetLong(never, &l, 99));
    EXPECT_EQ(99, l);
    EXPECT_FALSE(record.GetString(never, t, nullptr));
    EXPECT_STREQ(L"", t);
    n = 1234;
    EXPECT_FALSE(record.GetBlob(never, &p, &n));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(1234u, n);
    EXPECT_FALSE(record.GetBuffer(never, blob));
    EXPECT_EQ(0u, blob.GetSize());
    EXPECT_EQ((ULONG64(CEDB_PROPNOTFOUND) << 32) | 3, record.GetValue(never, 3));
    EXPECT_EQ(static_cast<ULONG64>(static_cast<DWORD>(-42)), record.GetValue(number, 3));
    EXPECT_FALSE(record.HasValue(never));
    EXPECT_FALSE(record.HasValue(17));
  }
}

TEST_P(DbRecordTest, ADeletedPropertyGivesTheDefault) {
  CEOID item = AddItem(Sample());
  CDbRecord record(m_db);
  int number = record.AddPropId(kNumber);
  int text = record.AddPropId(kText);
  ASSERT_NE(0u, record.Read(item));
  ASSERT_TRUE(record.DeleteProp(number));
  ASSERT_EQ(OidOf(item), record.WriteRecord(item));
  ASSERT_NE(0u, record.Read(item));
  LONG l = 0;
  EXPECT_FALSE(record.GetLong(number, &l, 11));
  EXPECT_EQ(11, l);
  EXPECT_TRUE(record.HasValue(text));
}

TEST_P(DbRecordTest, TextsAreCopiedWhenSet) {
  CDbRecord record(m_db);
  int text = record.AddPropId(kText);
  int id = record.AddPropId(kRecordIdPropId);
  WCHAR buffer[16] = L"Lunch";
  ASSERT_TRUE(record.SetString(text, buffer));
  ASSERT_TRUE(record.SetLong(id, 0x0ABCDEF));
  wcscpy(buffer, L"XXXXX");
  CEOID oid = record.WriteRecord(0);
  ASSERT_NE(0u, oid);
  m_oids.push_back(oid);
  CDbRecord reader(m_db);
  int again = reader.AddPropId(kText);
  ASSERT_EQ(oid, reader.Read(oid, TRUE));
  EXPECT_STREQ(L"Lunch", reader.GetStringCopy(again, nullptr));
  // A value of the wrong type for the listed property is refused.
  EXPECT_FALSE(record.SetLong(text, 1));
  EXPECT_FALSE(record.SetString(id, L"1"));
  EXPECT_FALSE(record.SetLong(5, 1));
}

TEST_P(DbRecordTest, WritingAnItemDeletedMeanwhileFails) {
  CEOID item = AddItem(Sample());
  CDbRecord record(m_db);
  int number = record.AddPropId(kNumber);
  ASSERT_NE(0u, record.Read(item));
  ASSERT_TRUE(CeDeleteRecord(m_db, OidOf(item)));
  DWORD before = RecordCount();
  ASSERT_TRUE(record.SetLong(number, 5));
  EXPECT_EQ(0u, record.WriteRecord(item));
  EXPECT_EQ(before, RecordCount());  // no ghost record in its place
  EXPECT_FALSE(record.DeleteRecord(item));
}

TEST_P(DbRecordTest, UnsetEntriesAreNeverWritten) {
  // A cursor that writes without reading, setting one of three properties.
  CDbRecord fresh(m_db);
  int number = fresh.AddPropId(kNumber);
  fresh.AddPropId(kText);
  fresh.AddPropId(kData);
  ASSERT_TRUE(fresh.SetLong(number, 8));
  CEOID oid = fresh.WriteRecord(0);
  ASSERT_NE(0u, oid);
  m_oids.push_back(oid);
  std::vector<BYTE> keep;
  std::vector<CEPROPVAL> props = RawProps(oid, &keep);
  ASSERT_EQ(1u, props.size());
  EXPECT_EQ(kNumber, props[0].propid);
  EXPECT_EQ(8, props[0].val.lVal);

  // A record read without a property keeps lacking it when written back; a property
  // added to the read list after the read does not disturb the values read.
  CEOID item = AddItem({Sample()[2]});
  CDbRecord record(m_db);
  int text = record.AddPropId(kText);
  int missing = record.AddPropId(kNumber);
  ASSERT_NE(0u, record.Read(item));
  int late = record.AddPropId(kSmall);
  ASSERT_TRUE(record.SetLong(late, 3));
  EXPECT_STREQ(L"Dentist", record.GetStringCopy(text, nullptr));
  ASSERT_EQ(OidOf(item), record.WriteRecord(item));
  ASSERT_NE(0u, record.Read(item));
  EXPECT_STREQ(L"Dentist", record.GetStringCopy(text, nullptr));
  EXPECT_FALSE(record.HasValue(missing));
  short s = 0;
  EXPECT_TRUE(record.GetShort(late, &s, 0));
  EXPECT_EQ(3, s);
}

TEST_P(DbRecordTest, FindsRecordsByTheirIdentifier) {
  CEOID first = AddItem(Sample());
  CEOID second = AddItem({Sample()[0]});
  CDbRecord record(m_db);
  int number = record.AddPropId(kNumber);
  EXPECT_EQ(m_oids[0], record.Read(first));
  EXPECT_EQ(m_oids[1], record.Read(second));
  EXPECT_TRUE(record.HasValue(number));
  // A failed read leaves nothing of the record before.
  EXPECT_EQ(0u, record.Read(second + 0x100));
  EXPECT_FALSE(record.HasValue(number));
  if (Newer()) {
    // Only the low 28 bits count: a task's kind bits make no difference.
    EXPECT_EQ(m_oids[0], record.Read((first & 0x0FFFFFFF) | 0xC0000000));
    EXPECT_EQ(m_oids[0], record.Read(m_oids[0], TRUE));
  }

  // An empty read list: the seek alone answers.
  CDbRecord bare(m_db);
  CEOID found = 0;
  CEPROPVAL key = Value(kRecordIdPropId);
  key.val.ulVal = m_oids[1] & 0x0FFFFFFF;
  if (Newer()) {
    EXPECT_TRUE(bare.SeekAndRead(CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key), &found));
    EXPECT_EQ(m_oids[1], found);
    EXPECT_EQ(nullptr, bare.GetPropVal(0));
    EXPECT_EQ(m_oids[1], SeekRecordIdValue(record, kRecordIdPropId, m_oids[1] & 0x0FFFFFFF));
  }
  EXPECT_TRUE(bare.SeekAndRead(CEDB_SEEK_CEOID, m_oids[0], &found));
  EXPECT_EQ(m_oids[0], found);
  EXPECT_EQ(m_oids[0], record.SeekAndReadByValue(m_oids[0], &found, CEDB_SEEK_CEOID));
  EXPECT_EQ(-42, record.GetLong(number, 0));
  EXPECT_FALSE(bare.SeekAndRead(CEDB_SEEK_CEOID, 0x7FFFFFF, &found));
  EXPECT_EQ(0u, found);
}

TEST_P(DbRecordTest, DatesConvertBetweenUtcAndLocalTime) {
  TIME_ZONE_INFORMATION zone{};
  zone.Bias = -60;  // one hour east, no daylight time
  CDbRecord record(m_db);
  int when = record.AddPropId(kWhen);
  double local = 45361.5;  // 2024-03-10 12:00
  ASSERT_TRUE(record.SetDate(when, local, TRUE, &zone));
  CEOID oid = record.WriteRecord(0);
  ASSERT_NE(0u, oid);
  m_oids.push_back(oid);
  ASSERT_EQ(oid, record.Read(oid, TRUE));
  double utc = 0;
  EXPECT_TRUE(record.GetDate(when, &utc, kNoDate, FALSE));
  EXPECT_DOUBLE_EQ(local - 1.0 / 24, utc);
  EXPECT_DOUBLE_EQ(local, record.GetDateValue(when, kNoDate, TRUE, &zone));
  EXPECT_EQ(kNoDate, record.GetDateValue(record.AddPropId(kNever), kNoDate, TRUE, &zone));
}

TEST_P(DbRecordTest, OpensBySortPropertyAndFindsThePimVolume) {
  AddItem(Sample());
  CEGUID again{};
  ASSERT_TRUE(GetCeDbApi()->FindPimVolume(&again));
  EXPECT_EQ(0, memcmp(&again, &m_pim, sizeof again));
  // Opened with the order on the number, a value seek on the number finds the record.
  CEOID oid = 0;
  HANDLE db = GetCeDbApi()->OpenDatabaseByName(m_name.c_str(), FALSE, kNumber, nullptr, &oid, &m_pim);
  ASSERT_NE(INVALID_HANDLE_VALUE, db);
  EXPECT_EQ(m_dbOid, oid);
  CEPROPVAL key = Value(kNumber);
  key.val.lVal = -42;
  EXPECT_EQ(m_oids[0], GetCeDbApi()->Seek(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key), nullptr));
  CloseHandle(db);
  EXPECT_EQ(INVALID_HANDLE_VALUE, GetCeDbApi()->OpenDatabaseByName(L"No such base", FALSE, 0, nullptr, &oid, nullptr));
}

// Notifications reach the database's sink through the window given at open.
class Sink : public ICeDatabaseSink {
 public:
  void OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) override {
    seen.push_back({notification->uType, notification->oid});
    from = database;
  }
  std::vector<std::pair<UINT, CEOID>> seen;
  CCeDatabase* from = nullptr;
};

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DBNOTIFICATION) {
    auto* notification = reinterpret_cast<CENOTIFICATION*>(lParam);
    if (CCeDatabase* db = CCeDatabase::FromNotification(notification)) db->OnNotification(notification);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_P(DbRecordTest, NotificationsReachTheSink) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = NotifyProc;
  wc.lpszClassName = L"BaseDbNotifyTest";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  Sink sink;
  CCeDatabaseList list;
  auto* db = new CCeDatabase(m_name.c_str(), &sink, &m_pim);
  list.Add(db);
  list.Add(new CCeDatabase(L"No such base", nullptr));
  ASSERT_TRUE(db->Open(window));
  EXPECT_FALSE(list.GetAt(1)->Open());
  EXPECT_EQ(db, list.FindByName(m_name.c_str()));
  EXPECT_EQ(db, list.FindByHandle(db->GetHandle()));
  EXPECT_EQ(db, list.FindByOid(m_dbOid));
  EXPECT_EQ(nullptr, list.FindByOid(12345));

  AddItem(Sample());
  DWORD deadline = GetTickCount() + 10000;
  while (sink.seen.empty() && GetTickCount() < deadline) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  ASSERT_FALSE(sink.seen.empty());
  EXPECT_EQ(static_cast<UINT>(DB_CEOID_CREATED), sink.seen[0].first);
  EXPECT_EQ(m_oids[0], sink.seen[0].second);
  EXPECT_EQ(db, sink.from);
  DestroyWindow(window);
}

// A notification's parameter is a number until it matches a live database: one still
// queued when its database was deleted, or one another program made up, names nothing.
TEST_P(DbRecordTest, NotificationsNameOnlyLiveDatabases) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  Sink sink;
  auto* db = new CCeDatabase(m_name.c_str(), &sink, &m_pim);
  ASSERT_TRUE(db->Open(window));
  CENOTIFICATION notification = {};
  notification.dwSize = sizeof notification;
  notification.dwParam = reinterpret_cast<DWORD_PTR>(db);
  EXPECT_EQ(db, CCeDatabase::FromNotification(&notification));
  db->Close();
  EXPECT_EQ(db, CCeDatabase::FromNotification(&notification)) << "closed, but still alive";
  delete db;
  EXPECT_EQ(nullptr, CCeDatabase::FromNotification(&notification));
  for (DWORD_PTR forged : {DWORD_PTR{0}, DWORD_PTR{1}, reinterpret_cast<DWORD_PTR>(&sink), ~DWORD_PTR{0}}) {
    notification.dwParam = forged;
    EXPECT_EQ(nullptr, CCeDatabase::FromNotification(&notification)) << forged;
  }
  EXPECT_EQ(nullptr, CCeDatabase::FromNotification(nullptr));
  DestroyWindow(window);
}

INSTANTIATE_TEST_SUITE_P(StoreModes, DbRecordTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Classic"; });

}  // namespace
