#include "tabs/notes/PhatNotesIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "tabs/notes/tests/PhatNotesTestSupport.h"

namespace {

using namespace phatnotestest;

const wchar_t kIndex[] = L"\\phatware_hpcnotes_data";

std::vector<std::wstring> Described(const CPhatNotesIndex& index) {
  std::vector<std::wstring> out;
  for (const CPhatNotesIndex::Entry& entry : index.GetEntries())
    out.push_back(std::wstring(entry.displayName) + L"=" + std::wstring(entry.databaseName) +
                  (entry.time == CPhatNotesIndex::kNoDate ? L" (no time)" : L""));
  return out;
}

// The entries as PhatNotes writes them: an entry without a database name is left out,
// one without a time reads as no date; notebooks are looked up by display name.
TEST(PhatNotesIndex, EntriesReadAndLookedUp) {
  PhatNotesFixture fixture;
  HANDLE db = fixture.Database(kIndex, 0);
  fixture.WriteIndexEntry(db, L"Work", L"phatnotes_work");
  fixture.WriteIndexEntry(db, L"Home", L"phatnotes_home", false);
  fixture.WriteIndexEntry(db, L"Broken", nullptr);
  fixture.WriteIndexEntry(db, nullptr, L"phatnotes_unnamed");

  CPhatNotesIndex index;
  ASSERT_TRUE(index.Open(nullptr));
  std::vector<std::wstring> seen = Described(index);
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"=phatnotes_unnamed", L"Home=phatnotes_home (no time)",
                                             L"Work=phatnotes_work"}));
  for (const CPhatNotesIndex::Entry& entry : index.GetEntries())
    if (entry.displayName == L"Work") {
      EXPECT_GT(entry.time, 46000.0);
    }

  CString name;
  EXPECT_TRUE(index.GetDatabaseName(L"work", name));
  EXPECT_STREQ(name, L"phatnotes_work");
  EXPECT_FALSE(index.GetDatabaseName(L"Broken", name));
  EXPECT_TRUE(name.IsEmpty());
  EXPECT_FALSE(index.GetDatabaseName(nullptr, name));
  index.Close();
  EXPECT_FALSE(index.IsOpen());
  EXPECT_TRUE(index.GetEntries().empty());
}

// Without PhatNotes' index nothing opens and nothing is listed; the databases are still
// found by their type.
TEST(PhatNotesIndex, NoIndexStillFindsTheDatabases) {
  PhatNotesFixture fixture;
  fixture.Database(L"phatnotes_alone");
  fixture.Database(L"other_program", 0xF1304);
  CPhatNotesIndex index;
  EXPECT_FALSE(index.Open(nullptr));
  EXPECT_TRUE(index.GetEntries().empty());
  EXPECT_EQ(index.ReadRecords(), 0);
  const std::vector<CString> names = CPhatNotesIndex::EnumerateDatabases();
  EXPECT_NE(std::find(names.begin(), names.end(), CString(L"phatnotes_alone")), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), CString(L"other_program")), names.end());
}

// A window that hands each database notification back to the database that asked.
class Dispatcher {
 public:
  Dispatcher() {
    static const ATOM atom = [] {
      WNDCLASSW info = {};
      info.lpfnWndProc = Proc;
      info.hInstance = GetModuleHandleW(nullptr);
      info.lpszClassName = L"PhatNotesIndexDispatcher";
      return RegisterClassW(&info);
    }();
    hwnd = CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  ~Dispatcher() { DestroyWindow(hwnd); }
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DBNOTIFICATION) {
      CENOTIFICATION* notification = reinterpret_cast<CENOTIFICATION*>(lParam);
      if (CCeDatabase* database = CCeDatabase::FromNotification(notification)) database->OnNotification(notification);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND hwnd = nullptr;
};

// The index follows PhatNotes' changes through the store's notifications.
TEST(PhatNotesIndex, FollowsChangesOfTheIndex) {
  PhatNotesFixture fixture;
  HANDLE db = fixture.Database(kIndex, 0);
  fixture.WriteIndexEntry(db, L"Work", L"phatnotes_work");
  Dispatcher dispatcher;
  CPhatNotesIndex index;
  ASSERT_TRUE(index.Open(dispatcher.hwnd));
  EXPECT_EQ(index.GetEntries().size(), 1u);
  const CEOID added = fixture.WriteIndexEntry(db, L"Home", L"phatnotes_home");
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return index.GetEntries().size() == 2; }));
  ASSERT_TRUE(CeDeleteRecord(db, added));
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return index.GetEntries().size() == 1; }));
  EXPECT_EQ(Described(index), std::vector<std::wstring>{L"Work=phatnotes_work"});
}

// Records of any shape (other properties, other types, odd sizes, long texts) are read
// soundly: nothing crashes and every entry kept names a database.
TEST(PhatNotesIndex, FuzzedIndexRecordsReadSoundly) {
  PhatNotesFixture fixture;
  HANDLE db = fixture.Database(kIndex, 0);
  std::mt19937 random(20261211);
  const WORD ids[] = {0x6E, 0x78, 0x82, 0x6F, 0x01};
  const WORD types[] = {CEVT_LPWSTR, CEVT_FILETIME, CEVT_I4, CEVT_UI4, CEVT_BLOB, CEVT_I2, CEVT_R8};
  int written = 0;
  for (int i = 0; i < 2000; ++i) {
    std::vector<CEPROPVAL> values;
    std::vector<std::wstring> texts;
    std::vector<std::vector<BYTE>> blobs;
    texts.reserve(8);
    blobs.reserve(8);
    const int count = static_cast<int>(random() % 5);
    for (int p = 0; p < count; ++p) {
      CEPROPVAL value = {};
      const WORD id = ids[random() % ARRAYSIZE(ids)];
      const WORD type = types[random() % ARRAYSIZE(types)];
      value.propid = MAKELONG(type, id);
      if (std::any_of(values.begin(), values.end(), [&](const CEPROPVAL& v) { return v.propid == value.propid; }))
        continue;
      switch (type) {
        case CEVT_LPWSTR: {
          std::wstring text(random() % 300, L'a');
          for (wchar_t& c : text) c = static_cast<wchar_t>(1 + random() % 0xD7FF);
          texts.push_back(text);
          value.val.lpwstr = const_cast<LPWSTR>(texts.back().c_str());
          break;
        }
        case CEVT_BLOB: {
          std::vector<BYTE> bytes(random() % 64);
          for (BYTE& b : bytes) b = static_cast<BYTE>(random());
          blobs.push_back(bytes);
          value.val.blob.dwCount = static_cast<DWORD>(blobs.back().size());
          value.val.blob.lpb = blobs.back().data();
          break;
        }
        case CEVT_FILETIME:
          value.val.filetime.dwLowDateTime = random();
          value.val.filetime.dwHighDateTime = random();
          break;
        case CEVT_R8:
          value.val.dblVal = static_cast<double>(random()) / 7.0;
          break;
        default:
          value.val.ulVal = random();
          break;
      }
      values.push_back(value);
    }
    if (values.empty()) values.push_back(cedbtest::Text(0x6E, L"phatnotes_plain"));
    if (CeWriteRecordProps(db, 0, static_cast<WORD>(values.size()), values.data())) ++written;
  }
  ASSERT_GT(written, 1500);
  CPhatNotesIndex index;
  ASSERT_TRUE(index.Open(nullptr));
  EXPECT_GT(index.GetEntries().size(), 0u);
  EXPECT_LE(index.GetEntries().size(), static_cast<size_t>(written));
  for (const CPhatNotesIndex::Entry& entry : index.GetEntries()) EXPECT_FALSE(entry.databaseName.IsEmpty());
  CString name;
  index.GetDatabaseName(L"", name);
}

}  // namespace
