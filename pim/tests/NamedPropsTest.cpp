// The named-property tables: tags looked up or made, values read, written and deleted
// with listeners told, records of other programs read soundly, changes of another
// process heard.
#include "pim/NamedProps.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

#include "base/tests/DeviceRoot.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"

namespace namedtest {

const wchar_t kTags[] = L"PIMNamedPropTags";
const wchar_t kVals[] = L"PIMNamedPropVals";

void DropTable(const wchar_t* name) {
  CEGUID guid = cedbtest::PimGuid();
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(name), nullptr, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  CloseHandle(h);
  CeDeleteDatabaseEx(&guid, oid);
}

// The tables as the object model makes them.
void MakeTables() {
  DropTable(kTags);
  DropTable(kVals);
  CEGUID guid = cedbtest::PimGuid();
  cedbtest::CreateDb(&guid, kTags, {{kNamedTagName, 0}});
  cedbtest::CreateDb(&guid, kVals, {{kNamedValObject, 0}});
}

// Writes one record as another program would; its OID.
CEOID WriteRaw(const wchar_t* table, std::vector<CEPROPVAL> values) {
  CEGUID guid = cedbtest::PimGuid();
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(table), nullptr, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  CEOID written = CeWriteRecordProps(h, 0, static_cast<WORD>(values.size()), values.data());
  CloseHandle(h);
  return written;
}

CEOID WriteValue(DWORD object, DWORD tag, const void* data, DWORD size) {
  return WriteRaw(kVals, {cedbtest::ULong(1, object), cedbtest::ULong(2, tag), cedbtest::Blob(3, data, size)});
}

bool DeleteRaw(const wchar_t* table, CEOID record) {
  CEGUID guid = cedbtest::PimGuid();
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(table), nullptr, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = CeDeleteRecord(h, record) != FALSE;
  CloseHandle(h);
  return ok;
}

struct TagRow {
  std::wstring name;
  DWORD tag;
  DWORD flags;
};

std::vector<TagRow> ReadTags() {
  std::vector<TagRow> rows;
  CEGUID guid = cedbtest::PimGuid();
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(kTags), nullptr, CEDB_AUTOINCREMENT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return rows;
  DWORD index = 0;
  CeSeekDatabaseEx(h, CEDB_SEEK_BEGINNING, 0, 0, &index);
  for (;;) {
    cedbtest::ReadResult read;
    if (!cedbtest::ReadAt(h, &read)) break;
    TagRow row{L"", 0, 0};
    if (const CEPROPVAL* v = read.Find(kNamedTagName)) row.name = v->val.lpwstr;
    if (const CEPROPVAL* v = read.Find(kNamedTagTag)) row.tag = v->val.ulVal;
    if (const CEPROPVAL* v = read.Find(kNamedTagFlags)) row.flags = v->val.ulVal;
    rows.push_back(row);
  }
  CloseHandle(h);
  return rows;
}

size_t CountValues() {
  CEGUID guid = cedbtest::PimGuid();
  CEOIDINFOEX info{};
  info.wVersion = CEOIDINFOEX_VERSION;
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(kVals), nullptr, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  CloseHandle(h);
  if (!CeOidGetInfoEx2(&guid, oid, &info)) return 0;
  return info.infDatabase.dwNumRecords;
}

// The scripted draws of new tag numbers; the last repeats.
std::deque<unsigned>& Draws() {
  static std::deque<unsigned> draws;
  return draws;
}
unsigned NextDraw() {
  unsigned n = Draws().empty() ? 0 : Draws().front();
  if (Draws().size() > 1) Draws().pop_front();
  return n;
}

struct Heard {
  UINT type;
  CEOID record;
  LONG tag;
  CEOID object;
};

class Listener : public INamedPropsListener {
 public:
  void OnNamedPropChange(const CENOTIFICATION* n, LONG tag, CEOID object) override {
    EXPECT_EQ(n->dwSize, sizeof(CENOTIFICATION));
    heard.push_back({n->uType, n->oid, tag, object});
  }
  std::vector<Heard> heard;
};

class NamedPropsTest : public ::testing::Test {
 protected:
  NamedPropsTest() : m_store(true) {}
  void SetUp() override {
    MakeTables();
    CNamedProps::ForgetTags();
    Draws().clear();
    CNamedProps::SetRandomSource(NextDraw);
    m_window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    while (m_props.GetOpenCount()) m_props.Release();
    CNamedProps::SetRandomSource(nullptr);
    CNamedProps::ForgetTags();
    DestroyWindow(m_window);
  }

  CStoreMode m_store;
  CNamedProps m_props;
  HWND m_window = nullptr;
};

TEST_F(NamedPropsTest, AValueMakesItsTagAndGoesRoundTheTables) {
  NAMED_PROPERTY prop = {-1, CEVT_LPWSTR, 0, L"QELTARVO_IconName"};
  Draws() = {0x1234};
  Listener first, second;
  ASSERT_TRUE(m_props.Open(m_window));
  m_props.Subscribe(&first);
  m_props.Subscribe(&second);
  m_props.Subscribe(&first);

  CEOID record = m_props.SetValue(0x40000005, prop, L"cars-red", nullptr);
  ASSERT_NE(record, 0u);
  EXPECT_EQ(prop.tag, 0x1234001F);
  std::vector<TagRow> tags = ReadTags();
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0].name, L"QELTARVO_IconName");
  EXPECT_EQ(tags[0].tag, 0x1234001Fu);
  ASSERT_EQ(first.heard.size(), 1u) << "subscribed once";
  EXPECT_EQ(first.heard[0].type, static_cast<UINT>(DB_CEOID_CREATED));
  EXPECT_EQ(first.heard[0].record, record);
  EXPECT_EQ(first.heard[0].tag, 0x1234001F);
  EXPECT_EQ(first.heard[0].object, 0x40000005u);

  CString text;
  EXPECT_EQ(m_props.GetValue(0x40000005, prop, text), record);
  EXPECT_STREQ(text, L"cars-red");

  // A change is written over the same record; the one who made it is not told.
  EXPECT_EQ(m_props.SetValue(0x40000005, prop, L"blue", &first), record);
  EXPECT_EQ(first.heard.size(), 1u);
  ASSERT_EQ(second.heard.size(), 2u);
  EXPECT_EQ(second.heard[1].type, static_cast<UINT>(DB_CEOID_CHANGED));
  EXPECT_EQ(CountValues(), 1u);
  EXPECT_EQ(m_props.GetValue(0x40000005, prop, text), record);
  EXPECT_STREQ(text, L"blue");

  // Another item keeps its own value; an empty text is a value too.
  CEOID other = m_props.SetValue(0x40000006, prop, L"", nullptr);
  ASSERT_NE(other, 0u);
  EXPECT_NE(other, record);
  EXPECT_EQ(m_props.GetValue(0x40000006, prop, text), other);
  EXPECT_STREQ(text, L"");
  EXPECT_EQ(m_props.GetValue(0x40000005, prop, text), record);
  EXPECT_STREQ(text, L"blue");

  EXPECT_TRUE(m_props.DeleteValue(0x40000005, prop, nullptr));
  ASSERT_EQ(second.heard.size(), 4u);
  EXPECT_EQ(second.heard[3].type, static_cast<UINT>(DB_CEOID_RECORD_DELETED));
  EXPECT_EQ(second.heard[3].record, record);
  EXPECT_EQ(second.heard[3].object, 0x40000005u);
  EXPECT_EQ(m_props.GetValue(0x40000005, prop, text), 0u);
  EXPECT_STREQ(text, L"");
  EXPECT_FALSE(m_props.DeleteValue(0x40000005, prop, nullptr));

  m_props.Unsubscribe(&second);
  m_props.SetValue(0x40000006, prop, L"x", nullptr);
  EXPECT_EQ(second.heard.size(), 4u);
  EXPECT_EQ(ReadTags().size(), 1u) << "the tag is made once";
}

TEST_F(NamedPropsTest, TagsAreFoundOrMadeWithAFreeNumber) {
  const struct Case {
    const char* what;
    std::vector<TagRow> table;
    WORD type;
    std::deque<unsigned> draws;
    LONG tag;
    size_t rows;
  } cases[] = {
      {"in the table", {{L"Other", 0x00050013, 0}, {L"Prop", 0x00AA0013, 5}}, CEVT_LPWSTR, {1}, 0x00AA0013, 2},
      {"look-up only, not there", {{L"Other", 0x00050013, 0}}, 0, {1}, -1, 1},
      {"empty table: the first draw", {}, CEVT_LPWSTR, {0x42, 0x43}, 0x0042001F, 1},
      {"drawn numbers taken", {{L"A", 0x00420013, 0}, {L"B", 0x0043001F, 0}}, 256, {0x42, 0x43, 0x50},
       0x00500100, 3},
      {"every draw taken: the next free number", {{L"A", 0x0007001F, 0}, {L"B", 0x0008001F, 0}}, CEVT_LPWSTR,
       {7}, 0x0009001F, 3},
      {"the last number taken: round to 0", {{L"A", 0xFFFF001F, 0}}, CEVT_LPWSTR, {0xFFFF}, 0x0000001F, 2},
  };
  for (const Case& c : cases) {
    MakeTables();
    for (const TagRow& row : c.table)
      WriteRaw(kTags, {cedbtest::Text(1, row.name.c_str()), cedbtest::ULong(2, row.tag),
                       cedbtest::ULong(3, row.flags)});
    Draws() = c.draws;
    NAMED_PROPERTY prop = {-1, c.type, 0, L"Prop"};
    EXPECT_EQ(m_props.GetTag(prop), c.tag) << c.what;
    EXPECT_EQ(prop.tag, c.tag) << c.what;
    std::vector<TagRow> rows = ReadTags();
    EXPECT_EQ(rows.size(), c.rows) << c.what;
    if (c.tag != -1 && rows.size() > c.table.size()) {
      bool found = false;
      for (const TagRow& row : rows) found = found || (row.name == L"Prop" && row.tag == static_cast<DWORD>(c.tag));
      EXPECT_TRUE(found) << c.what;
    }
  }
  // Once known, the tag comes without the tables.
  NAMED_PROPERTY known = {0x00AA0013, CEVT_LPWSTR, 0, L"Prop"};
  DropTable(kTags);
  EXPECT_EQ(m_props.GetTag(known), 0x00AA0013);
  NAMED_PROPERTY unknown = {-1, CEVT_LPWSTR, 0, L"Prop"};
  EXPECT_EQ(m_props.GetTag(unknown), -1) << "no tag table";
}

TEST_F(NamedPropsTest, EveryUserHoldsTheTableUntilItsRelease) {
  NAMED_PROPERTY prop = {-1, CEVT_LPWSTR, 0, L"Prop"};
  Draws() = {3};
  CString text;
  EXPECT_EQ(m_props.SetValue(1, prop, L"x", nullptr), 0u) << "closed";
  EXPECT_EQ(m_props.GetValue(1, prop, text), 0u);
  EXPECT_FALSE(m_props.DeleteValue(1, prop, nullptr));

  ASSERT_TRUE(m_props.Open(nullptr));
  EXPECT_TRUE(m_props.IsOpen()) << "opened without notifications";
  ASSERT_TRUE(m_props.Open(m_window)) << "reopened with the window";
  ASSERT_TRUE(m_props.Open(m_window));
  EXPECT_EQ(m_props.GetOpenCount(), 3);
  m_props.Release();
  m_props.Release();
  ASSERT_TRUE(m_props.IsOpen()) << "one user left";
  EXPECT_NE(m_props.SetValue(1, prop, L"x", nullptr), 0u);
  m_props.Release();
  EXPECT_FALSE(m_props.IsOpen());
  m_props.Release();
  EXPECT_EQ(m_props.GetOpenCount(), 0);

  DropTable(kVals);
  EXPECT_FALSE(m_props.Open(m_window));
  EXPECT_EQ(m_props.GetOpenCount(), 0);
}

// Values as other programs store them.
TEST_F(NamedPropsTest, ValuesOfOtherProgramsReadSoundly) {
  const DWORD kTag = 0x0077001F;
  WriteRaw(kTags, {cedbtest::Text(1, L"Prop"), cedbtest::ULong(2, kTag), cedbtest::ULong(3, 0)});
  const struct Case {
    const char* what;
    std::vector<BYTE> bytes;
    bool blob;
    const wchar_t* text;
  } cases[] = {
      {"terminated", {'a', 0, 'b', 0, 0, 0}, true, L"ab"},
      {"not terminated", {'a', 0, 'b', 0}, true, L"ab"},
      {"odd last byte", {'a', 0, 'b', 0, 'c'}, true, L"ab"},
      {"terminator inside", {'a', 0, 0, 0, 'b', 0}, true, L"a"},
      {"empty blob", {}, true, L""},
      {"one byte", {'a'}, true, L""},
      {"no value property", {}, false, L""},
  };
  DWORD object = 100;
  for (const Case& c : cases) {
    ++object;
    // A value of another tag first: the search walks on to the right one.
    WriteValue(object, 0x0001001F, "z\0", 2);
    CEOID record = c.blob ? WriteValue(object, kTag, c.bytes.data(), static_cast<DWORD>(c.bytes.size()))
                          : WriteRaw(kVals, {cedbtest::ULong(1, object), cedbtest::ULong(2, kTag)});
    ASSERT_NE(record, 0u) << c.what;
    ASSERT_TRUE(m_props.Open(m_window));
    NAMED_PROPERTY prop = {-1, 0, 0, L"Prop"};
    CString text = L"stale";
    EXPECT_EQ(m_props.GetValue(object, prop, text), record) << c.what;
    EXPECT_STREQ(text, c.text) << c.what;
    m_props.Release();
  }
  // Records without the item or the tag are no one's value.
  WriteRaw(kVals, {cedbtest::ULong(2, kTag), cedbtest::Blob(3, "x\0", 2)});
  WriteRaw(kVals, {cedbtest::ULong(1, 500), cedbtest::Blob(3, "x\0", 2)});
  WriteRaw(kVals, {cedbtest::Text(1, L"500"), cedbtest::ULong(2, kTag)});
  ASSERT_TRUE(m_props.Open(m_window));
  NAMED_PROPERTY prop = {-1, 0, 0, L"Prop"};
  CString text;
  EXPECT_EQ(m_props.GetValue(500, prop, text), 0u);
  EXPECT_EQ(m_props.GetValue(0, prop, text), 0u);
}

// The value table of the process is open with a window; another process writes and
// deletes a value. Its notifications come to the window, and the listeners hear
// which item and tag changed (or, deleted, only the record).
TEST_F(NamedPropsTest, ChangesOfAnotherProcessReachTheListeners) {
  const DWORD kTag = 0x0033001F;
  cedbtest::NotificationSink sink;
  ASSERT_TRUE(m_props.Open(sink.hwnd()));
  Listener listener;
  m_props.Subscribe(&listener);
  ASSERT_EQ(cedbtest::RunChild(L"named-write", L"51 3342367"), 0u);
  ASSERT_TRUE(cedbtest::PumpUntil([&] { return sink.received.size() >= 1; }));
  ASSERT_EQ(CCeDatabase::FromNotification(&sink.received[0]), m_props.GetDatabase()) << "named by its opener";
  m_props.OnNotification(&sink.received[0]);
  ASSERT_EQ(listener.heard.size(), 1u);
  ASSERT_EQ(cedbtest::RunChild(L"named-delete", std::to_wstring(listener.heard[0].record)), 0u);
  ASSERT_TRUE(cedbtest::PumpUntil([&] { return sink.received.size() >= 2; }));
  m_props.OnNotification(&sink.received[1]);
  ASSERT_EQ(listener.heard.size(), 2u);
  EXPECT_EQ(listener.heard[0].type, static_cast<UINT>(DB_CEOID_CREATED));
  EXPECT_EQ(listener.heard[0].tag, static_cast<LONG>(kTag));
  EXPECT_EQ(listener.heard[0].object, 51u);
  EXPECT_EQ(listener.heard[1].type, static_cast<UINT>(DB_CEOID_RECORD_DELETED));
  EXPECT_EQ(listener.heard[1].record, listener.heard[0].record);
  EXPECT_EQ(listener.heard[1].tag, -1) << "the record is gone";
  EXPECT_EQ(listener.heard[1].object, 0u);
}

// Any records in both tables: lookups, writes and notifications stay sound.
TEST_F(NamedPropsTest, FuzzedTablesAreReadSoundly) {
  std::mt19937 random(20261209);
  const CEPROPID ids[] = {kNamedValObject, kNamedValTag, kNamedValData, MAKELONG(CEVT_LPWSTR, 1), MAKELONG(CEVT_I2, 2),
                          MAKELONG(CEVT_BLOB, 1), MAKELONG(CEVT_LPWSTR, 3), MAKELONG(CEVT_UI4, 3)};
  std::vector<CEOID> records;
  std::vector<BYTE> bytes(64);
  std::wstring text;
  for (int round = 0; round < 2000; ++round) {
    int action = static_cast<int>(random() % 4);
    if (action == 0 || records.empty()) {
      std::vector<CEPROPVAL> values;
      int count = 1 + static_cast<int>(random() % 3);
      DWORD size = random() % 64;
      for (BYTE& b : bytes) b = static_cast<BYTE>(random());
      text.assign(random() % 8, static_cast<wchar_t>(L'a' + random() % 26));
      for (int i = 0; i < count; ++i) {
        CEPROPID id = ids[random() % (sizeof ids / sizeof ids[0])];
        CEPROPVAL v{};
        v.propid = id;
        WORD type = TypeFromPropID(id);
        if (type == CEVT_BLOB) {
          v.val.blob.dwCount = size;
          v.val.blob.lpb = bytes.data();
        } else if (type == CEVT_LPWSTR) {
          v.val.lpwstr = &text[0];
        } else {
          v.val.ulVal = random() % 4 == 0 ? static_cast<ULONG>(random()) : random() % 8;
        }
        bool duplicate = false;
        for (const CEPROPVAL& other : values) duplicate = duplicate || other.propid == v.propid;
        if (!duplicate) values.push_back(v);
      }
      const wchar_t* table = random() % 3 ? kVals : kTags;
      CEOID oid = WriteRaw(table, values);
      if (oid && table == kVals) records.push_back(oid);
      continue;
    }
    ASSERT_TRUE(m_props.Open(m_window));
    NAMED_PROPERTY prop = {-1, static_cast<WORD>(random() % 2 ? CEVT_LPWSTR : 0), 0, random() % 2 ? L"a" : L"b"};
    Draws() = {static_cast<unsigned>(random() % 8)};
    CString value;
    DWORD object = random() % 8;
    if (action == 1) m_props.GetValue(object, prop, value);
    if (action == 2) m_props.SetValue(object, prop, L"v", nullptr);
    if (action == 3) {
      CENOTIFICATION n = {};
      n.dwSize = sizeof n;
      n.uType = random() % 2 ? DB_CEOID_CHANGED : DB_CEOID_RECORD_DELETED;
      n.oid = random() % 4 ? records[random() % records.size()] : static_cast<CEOID>(random());
      m_props.OnNotification(&n);
      if (random() % 8 == 0) m_props.DeleteValue(object, prop, nullptr);
    }
    m_props.Release();
    CNamedProps::ForgetTags();
  }
}

}  // namespace namedtest

namespace cedbtest {

// "named-write OBJECT TAG" writes a value of that item and tag; "named-delete RECORD"
// deletes a value record.
bool RunNamedJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  unsigned long object = 0, tag = 0;
  if (job == L"named-write" && swscanf(arg.c_str(), L"%lu %lu", &object, &tag) == 2) {
    *exitCode = namedtest::WriteValue(object, tag, L"new", 8) ? 0 : 1;
    return true;
  }
  if (job == L"named-delete" && swscanf(arg.c_str(), L"%lu", &object) == 1) {
    *exitCode = namedtest::DeleteRaw(namedtest::kVals, object) ? 0 : 1;
    return true;
  }
  return false;
}

}  // namespace cedbtest
