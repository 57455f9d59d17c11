#include "tabs/notes/PhatNotesSource.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "pim/tests/UserSandbox.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "tabs/notes/tests/PhatNotesTestSupport.h"

// The databases live in this program's own device root; no child jobs.
namespace cedbtest {
bool RunChildJob(const std::wstring&, const std::wstring&, DWORD*) { return false; }
}  // namespace cedbtest

namespace {

using namespace phatnotestest;
using cedbtest::Long;
using cedbtest::Text;
using cedbtest::ULong;

std::vector<std::wstring> Titles(CPhatNotesSource& source) {
  std::vector<std::wstring> titles;
  CPhatNoteRecord* note = nullptr;
  for (BOOL more = source.GetFirst(&note); more; more = source.GetNext(&note))
    titles.push_back(static_cast<LPCWSTR>(note->title));
  return titles;
}

CPhatNoteRecord* ByTitle(CPhatNotesSource& source, const wchar_t* title) {
  CPhatNoteRecord* note = nullptr;
  for (BOOL more = source.GetFirst(&note); more; more = source.GetNext(&note))
    if (note->title == title) return note;
  return nullptr;
}

struct RecordingListener : IPhatNotesListener {
  std::vector<std::wstring> events;
  void OnPhatNoteChanged(CPhatNoteRecord* fresh, CPhatNoteRecord* old) override {
    events.push_back(fresh ? L"changed " + std::wstring(fresh->title) + L" from " + std::wstring(old->title)
                           : std::wstring(L"reloaded"));
  }
  void OnPhatNoteAdded(CPhatNoteRecord* note) override { events.push_back(L"added " + std::wstring(note->title)); }
  void OnPhatNoteRemoved(CPhatNoteRecord* note) override {
    events.push_back(L"removed " + std::wstring(note->title));
  }
};

CENOTIFICATION Notice(UINT type, CEOID oid) {
  CENOTIFICATION n = {};
  n.dwSize = sizeof(n);
  n.uType = type;
  n.oid = oid;
  return n;
}

class PhatNotes : public ::testing::Test {
 protected:
  void SetUp() override { GetViewSettings().PhatNotesEnabled = 1; }
  void TearDown() override { GetViewSettings().PhatNotesEnabled = 1; }
  PhatNotesFixture fixture;
};

// Every database of PhatNotes' type is read (others are not), each note with its fields;
// with the option off nothing is listed.
TEST_F(PhatNotes, NotesOfEveryPhatNotesDatabase) {
  HANDLE work = fixture.Database(L"phatnotes_work");
  HANDLE home = fixture.Database(L"phatnotes_home");
  HANDLE other = fixture.Database(L"not_phatnotes", 0xF1306);
  NoteFixture plan = Note(L"Plan", L"Work", 0x01040000);
  plan.text = L"the plan";
  plan.extra = L"attached";
  plan.marker = 5;
  plan.values = {1, 2, 3};
  fixture.Write(work, plan);
  NoteFixture bare = Note(L"Bare", nullptr);
  bare.withTime = false;
  fixture.Write(home, bare);
  fixture.Write(other, Note(L"Elsewhere", L"Work"));

  CPhatNotesSource source;
  ASSERT_TRUE(source.Load(nullptr));
  EXPECT_EQ(source.GetDatabaseCount(), 2);
  std::vector<std::wstring> titles = Titles(source);
  std::sort(titles.begin(), titles.end());
  EXPECT_EQ(titles, (std::vector<std::wstring>{L"Bare", L"Plan"}));

  const CPhatNoteRecord* read = ByTitle(source, L"Plan");
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->number, 7);
  EXPECT_STREQ(read->folder, L"Work");
  EXPECT_STREQ(read->extraText, L"attached");
  EXPECT_EQ(read->flags, 0x01040000u);
  EXPECT_EQ(read->marker, 5u);
  EXPECT_EQ(read->values, (std::vector<DWORD>{1, 2, 3}));
  EXPECT_EQ(read->ColourIcon(), 33);
  EXPECT_EQ(read->PriorityIcon(), 1);
  EXPECT_GT(read->modified, read->firstTime);
  EXPECT_NE(read->modified, CPhatNoteRecord::kNoDate);
  CString text;
  EXPECT_TRUE(source.ReadText(read, text));
  EXPECT_STREQ(text, L"the plan");

  const CPhatNoteRecord* missing = ByTitle(source, L"Bare");
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->modified, CPhatNoteRecord::kNoDate);
  EXPECT_TRUE(missing->folder.IsEmpty());
  EXPECT_EQ(missing->ColourIcon(), 30);
  EXPECT_EQ(missing->PriorityIcon(), 0);

  GetViewSettings().PhatNotesEnabled = 0;
  EXPECT_TRUE(Titles(source).empty());
}

TEST_F(PhatNotes, NoDatabaseNoNotes) {
  CPhatNotesSource source;
  EXPECT_FALSE(source.Load(nullptr));
  EXPECT_TRUE(Titles(source).empty());
  std::vector<CString> names;
  source.GetFolderNames(names, FALSE);
  EXPECT_TRUE(names.empty());
}

TEST_F(PhatNotes, FolderNamesFromTheLastNote) {
  HANDLE db = fixture.Database(L"phatnotes_folders");
  for (const wchar_t* folder : {L"Work", static_cast<const wchar_t*>(nullptr), L"Home", L"Work", L""})
    fixture.Write(db, Note(L"n", folder));
  CPhatNotesSource source;
  ASSERT_TRUE(source.Load(nullptr));
  struct Case {
    BOOL skipEmpty;
    std::vector<std::wstring> names;
  };
  const Case cases[] = {{FALSE, {L"", L"Work", L"Home"}}, {TRUE, {L"Work", L"Home"}}};
  for (const Case& c : cases) {
    std::vector<CString> names;
    source.GetFolderNames(names, c.skipEmpty);
    std::vector<std::wstring> got;
    for (const CString& name : names) got.push_back(static_cast<LPCWSTR>(name));
    EXPECT_EQ(got, c.names) << c.skipEmpty;
  }
}

// Created, changed and deleted records follow their notifications; a change to a
// record that can no longer be read removes it; a whole-database change drops all.
TEST_F(PhatNotes, ChangesFollowTheNotifications) {
  HANDLE db = fixture.Database(L"phatnotes_live");
  const CEOID first = fixture.Write(db, Note(L"First", L"A"));
  const CEOID second = fixture.Write(db, Note(L"Second", L"A"));
  CPhatNotesSource source;
  ASSERT_TRUE(source.Load(nullptr));
  RecordingListener listener;
  source.AddListener(&listener);
  source.AddListener(&listener);
  CCeDatabase* database = source.GetDatabase(0);

  // Before the first read a notification changes nothing.
  CENOTIFICATION early = Notice(DB_CEOID_CHANGED, first);
  source.OnDatabaseNotification(&early, database);
  EXPECT_TRUE(listener.events.empty());
  ASSERT_EQ(Titles(source).size(), 2u);

  const CEOID third = fixture.Write(db, Note(L"Third", L"B"));
  fixture.Write(db, Note(L"First again", L"A"), first);
  CeDeleteRecord(db, second);
  CENOTIFICATION notes[] = {Notice(DB_CEOID_CREATED, third), Notice(DB_CEOID_CHANGED, first),
                            Notice(DB_CEOID_RECORD_DELETED, second), Notice(DB_CEOID_RECORD_DELETED, second)};
  for (CENOTIFICATION& n : notes) source.OnDatabaseNotification(&n, database);
  EXPECT_EQ(listener.events, (std::vector<std::wstring>{L"added Third", L"changed First again from First",
                                                        L"removed Second"}));
  listener.events.clear();

  CeDeleteRecord(db, third);
  CENOTIFICATION gone = Notice(DB_CEOID_CHANGED, third);
  source.OnDatabaseNotification(&gone, database);
  EXPECT_EQ(listener.events, std::vector<std::wstring>{L"removed Third"});
  EXPECT_EQ(Titles(source), std::vector<std::wstring>{L"First again"});

  listener.events.clear();
  CENOTIFICATION whole = Notice(DB_NOTIFY_DATABASE_CHANGED, 0);
  source.OnDatabaseNotification(&whole, database);
  EXPECT_EQ(listener.events, std::vector<std::wstring>{L"reloaded"});
  EXPECT_EQ(source.GetCount(), 0);
  EXPECT_EQ(Titles(source), std::vector<std::wstring>{L"First again"});
  source.RemoveListener(&listener);
}

// Priority and colour are written back with the changed bit and shown at once;
// deleting removes the note from the list and the database.
TEST_F(PhatNotes, RowChangesWrittenBack) {
  HANDLE db = fixture.Database(L"phatnotes_edit");
  const CEOID oid = fixture.Write(db, Note(L"Edit", L"A", 0x00080000));
  CPhatNotesSource source;
  ASSERT_TRUE(source.Load(nullptr));
  RecordingListener listener;
  source.AddListener(&listener);
  ASSERT_EQ(Titles(source).size(), 1u);

  struct Case {
    bool priority;
    int choice;
    DWORD flags;
  };
  const Case cases[] = {
      {true, -1, 0x01080001}, {true, 1, 0x02080001}, {true, 0, 0x00080001}, {false, 0, 0x00040001},
      {false, 1, 0x00080001}, {false, 2, 0x00000001}, {false, 3, 0x00020001}, {false, 4, 0x00010001},
  };
  for (const Case& c : cases) {
    CPhatNoteRecord* note = ByTitle(source, L"Edit");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(c.priority ? source.SetPriority(note, c.choice) : source.SetColour(note, c.choice));
    EXPECT_EQ(fixture.FlagsOf(db, oid), c.flags) << c.priority << " " << c.choice;
    EXPECT_EQ(ByTitle(source, L"Edit")->flags, c.flags);
  }
  EXPECT_EQ(listener.events.size(), 8u);
  EXPECT_FALSE(source.SetColour(ByTitle(source, L"Edit"), 5));
  EXPECT_FALSE(source.SetPriority(ByTitle(source, L"Edit"), 2));

  listener.events.clear();
  EXPECT_TRUE(source.DeleteNote(ByTitle(source, L"Edit")));
  EXPECT_EQ(listener.events, std::vector<std::wstring>{L"removed Edit"});
  EXPECT_EQ(fixture.FlagsOf(db, oid), 0xFFFFFFFFu);
  EXPECT_TRUE(Titles(source).empty());
  source.RemoveListener(&listener);
}

std::vector<DWORD> g_pauses;

TEST_F(PhatNotes, OpenedInPhatNotesByItsMessages) {
  CPhatNotesSource source;
  g_pauses.clear();
  CPhatNotesSource::SetWindowFinder([]() -> HWND { return NotesWindow::current ? NotesWindow::current->hwnd : nullptr; },
                                    [](DWORD ms) { g_pauses.push_back(ms); });
  EXPECT_FALSE(source.OpenInPhatNotes(21, 11));

  struct Case {
    LRESULT prepare, database;
    std::vector<std::pair<UINT, LPARAM>> expected;
    std::vector<DWORD> pauses;
  };
  const Case cases[] = {
      {1, 1, {{1670, 1}, {1666, 11}, {1665, 21}}, {500}},
      {0, 1, {{1670, 1}, {1666, 11}, {1665, 21}}, {}},
      {1, 0, {{1670, 1}, {1666, 11}}, {500}},
  };
  for (const Case& c : cases) {
    NotesWindow window;
    window.prepareAnswer = c.prepare;
    window.databaseAnswer = c.database;
    g_pauses.clear();
    EXPECT_EQ(source.OpenInPhatNotes(21, 11) != FALSE, c.database != 0);
    MSG msg;
    while (PeekMessageW(&msg, window.hwnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(window.received, c.expected);
    EXPECT_EQ(g_pauses, c.pauses);
  }
  CPhatNotesSource::SetWindowFinder(nullptr, nullptr);
}

// Which key wins is pim's lookup, tested there; here the tab's answer follows it.
TEST(PhatNotesKey, InstalledWhenASettingsKeyExists) {
  CUserSandbox user{L"PhatNotesKey"};
  ASSERT_TRUE(user.Redirected());
  const wchar_t* newer = L"Software\\PhatWare\\PhatNotes\\4.0\\Settings";
  const wchar_t* older = L"Software\\PhatWare\\PhatNotes\\Settings";
  struct Case {
    const wchar_t* key;
    int result, identifier;
  };
  const Case cases[] = {{nullptr, 0, -7}, {older, 1, 0x407}, {newer, 1, 0x405}};
  for (const Case& c : cases) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PhatWare");
    if (c.key) CRegistryView(HKEY_CURRENT_USER, c.key).WriteString(L"AppName", L"PhatNotes.exe");
    int identifier = -7;
    EXPECT_EQ(IsPhatNotesInstalled(&identifier), c.result);
    EXPECT_EQ(identifier, c.identifier);
    EXPECT_EQ(IsPhatNotesInstalled(nullptr), c.result);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PhatWare");
}

// Records of any shape (the known properties with other types, texts and blobs of any
// length, odd blob sizes, unknown properties) are read without fault.
TEST_F(PhatNotes, FuzzedRecordsReadSoundly) {
  HANDLE db = fixture.Database(L"phatnotes_fuzz");
  std::mt19937 random(20261210);
  const WORD ids[] = {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 0x7FFF};
  const WORD types[] = {CEVT_I2, CEVT_UI2, CEVT_I4, CEVT_UI4, CEVT_FILETIME, CEVT_LPWSTR, CEVT_BLOB, CEVT_BOOL,
                        CEVT_R8};
  const int kRecords = 2000;
  int written = 0;
  for (int r = 0; r < kRecords; ++r) {
    std::vector<CEPROPVAL> values;
    std::vector<std::wstring> texts;
    std::vector<std::string> blobs;
    texts.reserve(16);
    blobs.reserve(16);
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
      CEPROPVAL p{};
      const WORD type = types[random() % ARRAYSIZE(types)];
      p.propid = MAKELONG(type, ids[random() % ARRAYSIZE(ids)]);
      bool duplicate = false;
      for (const CEPROPVAL& v : values) duplicate = duplicate || v.propid == p.propid;
      if (duplicate) continue;
      switch (type) {
        case CEVT_LPWSTR: {
          texts.emplace_back(random() % 300, L'x');
          for (wchar_t& ch : texts.back()) ch = static_cast<wchar_t>(1 + random() % 0xD7FF);
          p.val.lpwstr = &texts.back()[0];
          break;
        }
        case CEVT_BLOB: {
          blobs.emplace_back(random() % 41, '\0');
          for (char& b : blobs.back()) b = static_cast<char>(random());
          p.val.blob.dwCount = static_cast<DWORD>(blobs.back().size());
          p.val.blob.lpb = reinterpret_cast<LPBYTE>(&blobs.back()[0]);
          break;
        }
        case CEVT_FILETIME:
          p.val.filetime.dwLowDateTime = random();
          p.val.filetime.dwHighDateTime = random();
          break;
        case CEVT_R8:
          p.val.dblVal = static_cast<double>(random()) * 1e300;
          break;
        default:
          p.val.ulVal = random();
          break;
      }
      values.push_back(p);
    }
    if (values.empty()) values.push_back(Text(2, L"plain"));
    if (CeWriteRecordProps(db, 0, static_cast<WORD>(values.size()), values.data())) ++written;
  }
  CPhatNotesSource source;
  ASSERT_TRUE(source.Load(nullptr));
  size_t read = 0;
  CPhatNoteRecord* note = nullptr;
  for (BOOL more = source.GetFirst(&note); more; more = source.GetNext(&note)) {
    ++read;
    EXPECT_LE(note->values.size(), 10u);
    note->ColourIcon();
    note->PriorityIcon();
  }
  EXPECT_EQ(read, static_cast<size_t>(written));
  std::vector<CString> names;
  source.GetFolderNames(names, FALSE);
  EXPECT_GE(names.size(), 1u);
}

}  // namespace
