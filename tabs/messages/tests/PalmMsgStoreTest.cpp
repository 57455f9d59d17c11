// The Palm messaging component's store: the folder table, index and nested index walks,
// message decoding (UTF-8 and ANSI texts, MMS and read flags, time, peer), the e-mail
// list's "SMS" account reading from it and hearing its changes, damaged records (lying
// lengths, indexes naming records that are not there) and a seeded fuzzer.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/CeDbApi.h"
#include "base/DateTime.h"
#include "base/TaggedBlob.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/palmmsg/PalmMsgWriter.h"
#include "tabs/messages/EmailItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/PalmMsgStore.h"
#include "tabs/messages/PalmRecord.h"
#include "tabs/messages/tests/NoticeWindow.h"

using namespace palmmsg;

namespace {

std::string Encode(UINT codePage, const wchar_t* text) {
  const int n = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(codePage, 0, text, -1, &out[0], n, nullptr, nullptr);
  return out;
}

FILETIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  st.wHour = hour;
  st.wMinute = minute;
  FILETIME ft{};
  SystemTimeToFileTime(&st, &ft);
  return ft;
}

double LocalDate(const FILETIME& utc) {
  SYSTEMTIME u, l;
  FileTimeToSystemTime(&utc, &u);
  UtcToLocalSystemTime(nullptr, u, &l);
  double d = 0;
  SystemTimeToVariantDate(l, &d);
  return d;
}

class CResetCounter : public IPalmStoreListener {
 public:
  void OnStoreReset() override { ++resets; }
  int resets = 0;
};

// A store as the component leaves it: the folder table, an inbox whose index holds a
// message, a skipped entry and a nested index of two messages, and an empty sent folder.
struct Fixture {
  CEOID sms = 0, skipped = 0, mms = 0, ansi = 0, nested = 0, inbox = 0, sent = 0, table = 0;
  FILETIME when = Utc(2026, 3, 14, 9, 30);

  bool Write(CPalmMsgVolume& volume) {
    sms = volume.Add(kMessageKind, PalmMessage(kMessageKind, Encode(CP_UTF8, L"Gr\u00fc\u00dfe \u20ac"), 0x10,
                                                 &when, "+15550100").Bytes());
    skipped = volume.Add(kMessageKind, PalmMessage(kMessageKind, "hidden", 0, &when, "+1").Bytes());
    mms = volume.Add(kMessageKind2, PalmMessage(kMessageKind2, "picture", 0x110, nullptr, "+15550101").Bytes());
    ansi = volume.Add(kMessageKind,
                      CPropertyRun()
                          .Number(0x1100, kMessageKind)
                          .Text(0x230E, Encode(CP_ACP, L"caf\u00e9"))
                          .Binary(0x3120, NestedBlock(CPropertyRun().Text(0x2102, "+15550102")))
                          .Bytes());
    nested = volume.Add(kNestedIndexKind,
                        PalmNestedIndex(IndexEntries({{0, mms}, {0, ansi}})).Bytes());
    inbox = volume.Add(kFolderKind, PalmFolder(IndexEntries({{0, sms}, {kEntrySkipped, skipped},
                                                               {kEntryNested, nested}})).Bytes());
    sent = volume.Add(kFolderKind, PalmFolder("").Bytes());
    table = volume.Add(10001, PalmFolderTable(FolderTable({{"msgCore:Drafts", 0},
                                                             {"msgCore:Inbox", inbox},
                                                             {"msgCore:Sent", sent}})).Bytes());
    return sms && skipped && mms && ansi && nested && inbox && sent && table;
  }
};

class PalmMsgStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetNewerStore(TRUE);
    CreateDirectoryW((cedbtest::Root() + L"\\Windows").c_str(), nullptr);
    DeleteFileW((cedbtest::Root() + L"\\Windows\\PalmMsgV001").c_str());
  }
  void TearDown() override {
    store_.Stop();
    SetNewerStore(FALSE);
    DeleteFileW((cedbtest::Root() + L"\\Windows\\PalmMsgV001").c_str());
  }
  // Every item of a folder's walk: (record identifier, subject).
  std::vector<std::pair<DWORD, std::wstring>> Walk(DWORD folder, bool* endedClean = nullptr) {
    std::vector<std::pair<DWORD, std::wstring>> out;
    EMAIL_ITEM* item = EMAIL_ITEM::New();
    for (BOOL more = store_.GetFirst(folder, item); more && out.size() < 1000; more = store_.GetNext(item))
      out.push_back({item->webisId, static_cast<LPCWSTR>(item->subject)});
    item->Release();
    if (endedClean) *endedClean = out.size() < 1000;
    return out;
  }
  CPalmMsgStore store_;
  CResetCounter listener_;
};

TEST_F(PalmMsgStoreTest, FoldersAndMessagesAreReadAsTheComponentWritesThem) {
  Fixture fixture;
  {
    CPalmMsgVolume volume;
    ASSERT_TRUE(fixture.Write(volume));
  }
  ASSERT_TRUE(store_.Open(nullptr, &listener_));
  EXPECT_TRUE(store_.IsAvailable());
  EXPECT_EQ(fixture.inbox, store_.OpenFolder(nullptr, 1));
  EXPECT_EQ(fixture.sent, store_.OpenFolder(nullptr, 3));
  EXPECT_EQ(0u, store_.OpenFolder(nullptr, 2));  // no outbox in the table
  EXPECT_EQ(0u, store_.OpenFolder(nullptr, 5));  // drafts names record 0

  const auto items = Walk(fixture.inbox);
  // The skipped entry gives an item without identifier; the nested index is walked in place.
  const std::vector<std::pair<DWORD, std::wstring>> expected = {{fixture.sms, L"Gr\u00fc\u00dfe \u20ac"},
                                                                {0, L""},
                                                                {fixture.mms, L"picture"},
                                                                {fixture.ansi, L"caf\u00e9"}};
  ASSERT_EQ(expected.size(), items.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].first, items[i].first) << i;
    if (expected[i].first) {
      EXPECT_EQ(expected[i].second, items[i].second) << i;
    }
  }
  EXPECT_TRUE(Walk(fixture.sent).empty());  // an empty index
  EXPECT_TRUE(Walk(fixture.sms).empty());   // not a folder record
}

TEST_F(PalmMsgStoreTest, MessagesDecodeClassFlagsTimeAndPeer) {
  Fixture fixture;
  {
    CPalmMsgVolume volume;
    ASSERT_TRUE(fixture.Write(volume));
  }
  ASSERT_TRUE(store_.Open(nullptr, &listener_));
  struct Case {
    CEOID Fixture::*record;
    const wchar_t* cls;
    bool read;
    bool timed;
    const wchar_t* peer;
  } const cases[] = {
      {&Fixture::sms, L"Palm.SMSText", true, true, L"+15550100"},
      {&Fixture::mms, L"Palm.class.MMS", true, false, L"+15550101"},  // flags 0x110
      {&Fixture::ansi, L"Palm.SMSText", false, false, L"+15550102"},  // the second peer block
  };
  for (const Case& c : cases) {
    EMAIL_ITEM* item = EMAIL_ITEM::New();
    ASSERT_TRUE(store_.DecodeMessage(fixture.*c.record, item)) << c.cls;
    EXPECT_STREQ(c.cls, item->messageClass);
    EXPECT_EQ(c.read, item->IsRead() != FALSE) << c.cls;
    EXPECT_DOUBLE_EQ(c.timed ? LocalDate(fixture.when) : 949998.0, item->time);
    EXPECT_STREQ(c.peer, item->senderAddress);
    EXPECT_STREQ(c.peer, item->recipientText);
    EXPECT_EQ(static_cast<DWORD>(kSourcePalm), item->sourceKind);
    EXPECT_EQ(fixture.*c.record, item->webisId);
    EXPECT_EQ(0u, item->folderNumber);
    item->Release();
  }
  EMAIL_ITEM* item = EMAIL_ITEM::New();
  EXPECT_FALSE(store_.DecodeMessage(fixture.nested, item));  // not a message
  EXPECT_FALSE(store_.DecodeMessage(0x7FFFFFF0, item));      // no such record
  item->Release();
}

TEST_F(PalmMsgStoreTest, UnavailableWithoutTheNewerStoreOrTheVolume) {
  ASSERT_FALSE(store_.Open(nullptr, &listener_));  // no volume: mounting must not create one
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((cedbtest::Root() + L"\\Windows\\PalmMsgV001").c_str()));
  {
    CPalmMsgVolume volume;
    ASSERT_TRUE(volume.IsOpen());
  }
  SetNewerStore(FALSE);
  EXPECT_FALSE(store_.Open(nullptr, &listener_));
  SetNewerStore(TRUE);
  EXPECT_TRUE(store_.Open(nullptr, &listener_));
  EXPECT_EQ(0u, store_.OpenFolder(nullptr, 1));  // no folder table
  store_.Stop();
  EXPECT_FALSE(store_.IsAvailable());
}

TEST_F(PalmMsgStoreTest, ChangesOfFoldersAndMessagesResetTheList) {
  Fixture fixture;
  CPalmMsgVolume volume;
  ASSERT_TRUE(fixture.Write(volume));
  CNoticeWindow owner;
  ASSERT_TRUE(store_.Open(owner.hwnd(), &listener_));
  ASSERT_EQ(fixture.inbox, store_.OpenFolder(nullptr, 1));
  Walk(fixture.inbox);
  cedbtest::PumpUntil([] { return false; }, 200);  // the writes before opening are not heard
  listener_.resets = 0;

  struct Case {
    const char* what;
    std::function<bool()> change;
    bool resets;
  } const cases[] = {
      {"folder record changed", [&] { return volume.Replace(fixture.inbox, kFolderKind, PalmFolder("").Bytes()); },
       true},
      {"message changed",
       [&] { return volume.Replace(fixture.mms, kMessageKind2, PalmMessage(kMessageKind2, "x", 0, nullptr, "").Bytes()); },
       true},
      {"nested index changed",
       [&] { return volume.Replace(fixture.nested, kNestedIndexKind, PalmNestedIndex("").Bytes()); }, true},
      {"unrelated record changed", [&] { return volume.Replace(fixture.table, 10001, CPropertyRun().Bytes()); }, false},
      {"message created", [&] { return volume.Add(kMessageKind, PalmMessage(kMessageKind, "n", 0, nullptr, "").Bytes()) != 0; },
       false},
  };
  for (const Case& c : cases) {
    listener_.resets = 0;
    ASSERT_TRUE(c.change()) << c.what;
    cedbtest::PumpUntil([&] { return listener_.resets > 0; }, c.resets ? 10000 : 500);
    EXPECT_EQ(c.resets, listener_.resets > 0) << c.what;
  }
}

// A second start (another list, or the panel's window made anew) hands the changes to
// its own listener and window: the first ones hear nothing more, and a first window
// that is gone loses nothing.
TEST_F(PalmMsgStoreTest, ASecondStartTakesItsListenerAndWindow) {
  Fixture fixture;
  CPalmMsgVolume volume;
  ASSERT_TRUE(fixture.Write(volume));
  for (bool newWindow : {false, true}) {
    auto first = std::make_unique<CNoticeWindow>();
    std::unique_ptr<CNoticeWindow> second;
    CResetCounter before, after;
    ASSERT_TRUE(store_.Open(first->hwnd(), &before));
    ASSERT_EQ(fixture.inbox, store_.OpenFolder(nullptr, 1));
    if (newWindow) second = std::make_unique<CNoticeWindow>();
    ASSERT_TRUE(store_.Open(newWindow ? second->hwnd() : first->hwnd(), &after));
    if (newWindow) first.reset();
    ASSERT_TRUE(volume.Replace(fixture.inbox, kFolderKind, PalmFolder("").Bytes())) << newWindow;
    EXPECT_TRUE(cedbtest::PumpUntil([&] { return after.resets > 0; })) << newWindow;
    EXPECT_EQ(0, before.resets) << newWindow;
    store_.Stop();
  }
}

// Damaged records: every length and index from the file is checked, so a walk over
// them ends with what could be read, never outside the record.
TEST_F(PalmMsgStoreTest, DamagedRecordsEndTheWalkInsteadOfReadingPastThem) {
  CPalmMsgVolume volume;
  const CEOID good = volume.Add(kMessageKind, PalmMessage(kMessageKind, "good", 0, nullptr, "+1").Bytes());
  struct Case {
    const char* what;
    std::string message;  // the damaged record the inbox's second entry names
    DWORD entryFlags;
    bool decodes;
  } const cases[] = {
      {"text longer than the record", CPropertyRun().Number(0x1100, kMessageKind).LyingLength(0x2200, 500, "short").Bytes(),
       0, true},
      {"length 0xFFFFFFFF", CPropertyRun().Number(0x1100, kMessageKind).LyingLength(0x3120, 0xFFFFFFFF, "ab").Bytes(), 0,
       true},
      {"kind cut short", std::string("\x11\x00\x00", 3), 0, false},
      {"no properties", std::string(), 0, false},
      {"unknown form ends it", CPropertyRun().Raw(std::string("\x70\x00", 2)).Number(0x1100, kMessageKind).Bytes(), 0,
       false},
      {"peer block shorter than its skip", CPropertyRun().Number(0x1100, kMessageKind).Binary(0x311F, "ab").Bytes(), 0,
       true},
      {"peer block lying inside", CPropertyRun().Number(0x1100, kMessageKind)
                                      .Binary(0x311F, std::string(4, '\0') + CPropertyRun().LyingLength(0x2102, 99, "+1").Bytes())
                                      .Bytes(),
       0, true},
      {"nested index shorter than an entry", PalmNestedIndex(std::string(31, '\0')).Bytes(), kEntryNested, false},
      {"nested index of another kind", PalmFolder(IndexEntries({{0, good}})).Bytes(), kEntryNested, false},
  };
  for (const Case& c : cases) {
    const CEOID damaged = volume.Add(kMessageKind, c.message);
    ASSERT_NE(0u, damaged) << c.what;
    // A ragged tail (an entry cut short) is not an entry.
    const CEOID inbox = volume.Add(
        kFolderKind, PalmFolder(IndexEntries({{0, good}, {c.entryFlags, damaged}, {0, good}}) + "tail").Bytes());
    ASSERT_TRUE(store_.Open(nullptr, &listener_));
    bool clean = false;
    const auto items = Walk(inbox, &clean);
    EXPECT_TRUE(clean) << c.what;
    ASSERT_LE(1u, items.size()) << c.what;
    EXPECT_EQ(good, items[0].first) << c.what;
    EXPECT_EQ(c.decodes ? 3u : 1u, items.size()) << c.what;
    store_.Stop();
  }
  struct Index {
    const char* what;
    std::string index;
  } const indexes[] = {
      {"entry names no record", IndexEntries({{0, 0x7FFFFFF0}})},
      {"entry names record 0", IndexEntries({{0, 0}})},
      {"index too short", std::string(31, '\x01')},
      {"index length lies", std::string()},
  };
  for (const Index& c : indexes) {
    std::string record = c.index.empty() ? CPropertyRun().Number(0x1100, kFolderKind).LyingLength(0x3129, 64000, IndexEntries({{0, good}})).Bytes()
                                         : PalmFolder(c.index).Bytes();
    const CEOID inbox = volume.Add(kFolderKind, record);
    ASSERT_TRUE(store_.Open(nullptr, &listener_));
    EXPECT_TRUE(Walk(inbox).empty()) << c.what;
    store_.Stop();
  }
  // A folder table entry cut short and one naming record 0.
  volume.Add(10001, PalmFolderTable(FolderTable({{"msgCore:Inbox", 0}, {"msgCore:Sent", good}}) + "cut").Bytes());
  ASSERT_TRUE(store_.Open(nullptr, &listener_));
  EXPECT_EQ(0u, store_.OpenFolder(nullptr, 1));
  EXPECT_EQ(good, store_.OpenFolder(nullptr, 3));
}

class CHeardChanges : public IEmailListListener {
 public:
  void OnEmailChanged(EMAIL_ITEM* oldItem, EMAIL_ITEM* newItem) override { rebuilds += !oldItem && !newItem; }
  void OnEmailAdded(EMAIL_ITEM*) override {}
  void OnEmailDeleted(EMAIL_ITEM*, int) override {}
  int rebuilds = 0;
};

std::string ResourceText(int id) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  if (!loaded) return std::string();
  return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
}

// The e-mail list's "SMS" inbox read from the store, and a change the component makes
// there reaching the list's views as a rebuild.
TEST_F(PalmMsgStoreTest, TheTextMessagesAccountOfTheListReadsTheStore) {
  CResourceLibraryScope resources;
  CLocalMachineSandbox machine(L"PalmMsgStoreList");
  ASSERT_TRUE(machine.Redirected());
  machine.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\SMS").WriteString(L"FriendlyName", L"Text Messages");
  mapitest::RemoveStores();
  ASSERT_TRUE(mapitest::InstallStore(L"SMS.mst", ResourceText(102)));
  Fixture fixture;
  CPalmMsgVolume volume;
  ASSERT_TRUE(fixture.Write(volume));

  CEmailsList list;
  list.SetOtherSources(&store_, nullptr);
  CNoticeWindow owner;
  list.Init(owner.hwnd());
  CHeardChanges heard;
  list.AddListener(&heard);
  CTaggedBlob inbox;
  const std::string entry = mapitest::Entry(MAPI_FOLDER, 0x20002);
  inbox.SetData(entry.data(), static_cast<DWORD>(entry.size()));
  ASSERT_EQ(0, list.FindOrAddStore(inbox));
  EXPECT_EQ(static_cast<DWORD>(kStorePalm), list.GetAccountKind(0));
  std::vector<std::wstring> subjects;
  EMAIL_ITEM* item = nullptr;
  for (BOOL more = list.GetFirstItem(0, &item); more; more = list.GetNextItem(0, &item))
    subjects.push_back(static_cast<LPCWSTR>(item->subject));
  // The skipped entry is not listed.
  const std::vector<std::wstring> expected = {L"Gr\u00fc\u00dfe \u20ac", L"picture", L"caf\u00e9"};
  EXPECT_EQ(expected, subjects);
  EXPECT_EQ(1, list.GetUnreadCount(0));

  ASSERT_TRUE(volume.Replace(fixture.inbox, kFolderKind, PalmFolder(IndexEntries({{0, fixture.sms}})).Bytes()));
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return heard.rebuilds > 0; }));
  list.RemoveListener(&heard);
  list.Done();
  EXPECT_FALSE(store_.IsAvailable());
  mapitest::RemoveStores();
}

TEST(PalmRecordTest, PropertyFormsAndBounds) {
  struct Case {
    const char* what;
    std::string bytes;
    size_t count;
  } const cases[] = {
      {"empty", "", 0},
      {"one byte", "\x11", 0},
      {"number", CPropertyRun().Number(0x1100, 7).Bytes(), 1},
      {"number cut", CPropertyRun().Number(0x1100, 7).Bytes().substr(0, 5), 0},
      {"time", CPropertyRun().Time(0x5109, FILETIME{1, 2}).Bytes(), 1},
      {"time cut", CPropertyRun().Time(0x5109, FILETIME{1, 2}).Bytes().substr(0, 9), 0},
      {"length cut", CPropertyRun().Text(0x2200, "abc").Bytes().substr(0, 4), 0},
      {"lying length after a good one", CPropertyRun().Number(1 | 0x1000, 1).LyingLength(0x3000, 5, "abcd").Bytes(), 1},
      {"zero length", CPropertyRun().Binary(0x3000, "").Number(0x1001, 2).Bytes(), 2},
      {"form 0x4000 ends", CPropertyRun().Number(0x1000, 1).Raw(std::string("\x40\x00\x00\x00", 4)).Number(0x1001, 2).Bytes(), 1},
  };
  for (const Case& c : cases) {
    CPalmRecord record;
    record.Parse(reinterpret_cast<const BYTE*>(c.bytes.data()), c.bytes.size());
    EXPECT_EQ(c.count, record.GetCount()) << c.what;
  }
  CPalmRecord record;
  const std::string bytes = CPropertyRun()
                                .Number(0x1108, 0x01020304)
                                .Number(0x1108, 9)
                                .Text(0x2200, Encode(CP_UTF8, L"\u00e5") + std::string(1, '\0') + "junk")
                                .Bytes();
  record.Parse(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
  DWORD number = 0;
  ASSERT_TRUE(record.GetNumber(0x1108, &number));
  EXPECT_EQ(0x01020304u, number);  // the first of two, high byte first
  CString text;
  ASSERT_TRUE(record.GetText(0x2200, text));
  EXPECT_STREQ(L"\u00e5", text);  // a terminating zero inside the length ends the text
  const BYTE* data = nullptr;
  DWORD size = 0;
  EXPECT_FALSE(record.GetBinary(0x2200, &data, &size));  // asked in another form
  EXPECT_FALSE(record.GetNumber(0x1109, &number));
}

// Random records for the parser and random stores for the walk: whatever the bytes,
// reading stays inside them and every walk ends.
TEST_F(PalmMsgStoreTest, SeededFuzzerOverRecordsAndStores) {
  std::mt19937 random(20261210);
  Fixture fixture;
  std::vector<std::string> seeds;
  {
    CPalmMsgVolume volume;
    ASSERT_TRUE(fixture.Write(volume));
  }
  seeds.push_back(PalmMessage(kMessageKind, "seed text", 0x110, &fixture.when, "+15550100").Bytes());
  seeds.push_back(PalmFolder(IndexEntries({{0, fixture.sms}, {kEntryNested, fixture.nested}})).Bytes());
  seeds.push_back(PalmNestedIndex(IndexEntries({{0, fixture.mms}, {0, fixture.ansi}})).Bytes());
  auto mutate = [&](std::string bytes) {
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits; ++e) {
      switch (random() % 4) {
        case 0:
          if (!bytes.empty()) bytes[random() % bytes.size()] = static_cast<char>(random());
          break;
        case 1:
          if (!bytes.empty()) bytes.resize(random() % bytes.size());
          break;
        case 2:
          bytes.insert(bytes.empty() ? 0 : random() % bytes.size(), 1, static_cast<char>(random()));
          break;
        default:
          if (bytes.size() >= 4) {
            // A length or identifier made huge or pointing elsewhere.
            const size_t at = random() % (bytes.size() - 3);
            const DWORD value = random() % 2 ? 0xFFFFFFFFu : static_cast<DWORD>(random() % 40);
            for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
          }
      }
    }
    return bytes;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string bytes = mutate(seeds[random() % seeds.size()]);
    CPalmRecord record;
    record.Parse(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
    CString text;
    record.GetText(0x2200, text);
    record.GetText(0x230E, text);
  }
  CPalmMsgVolume volume;
  for (int round = 0; round < 150; ++round) {
    volume.Replace(fixture.nested, kNestedIndexKind, mutate(seeds[2]));
    volume.Replace(fixture.mms, kMessageKind2, mutate(seeds[0]));
    volume.Replace(fixture.inbox, kFolderKind, mutate(seeds[1]));
    ASSERT_TRUE(store_.Open(nullptr, &listener_));
    bool clean = false;
    Walk(fixture.inbox, &clean);
    EXPECT_TRUE(clean) << round;
    store_.Stop();
  }
}

}  // namespace
