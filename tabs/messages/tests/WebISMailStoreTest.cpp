// WebIS Mail's messages as the Messages tab reads and changes them: records turned into
// list items, the stored MIME source put together from its chunks (damaged chunk lists
// give none), commands handed to WebIS Mail by build, record changes while its window
// is closed, change notices reaching the e-mail list, and a seeded fuzzer over chunks
// and message records.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/BlobObj.h"
#include "base/TaggedBlob.h"
#include "base/tests/ResourceLibraryScope.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/webismail/WebISMailWriter.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/EmailItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/WebISMailCommands.h"
#include "tabs/messages/WebISMailSettings.h"
#include "tabs/messages/tests/NoticeWindow.h"
#include "tabs/messages/tests/WebISTestSupport.h"

using namespace webismail;

namespace {

std::vector<std::wstring> g_commands;
void RecordCommand(LPCWSTR text) { g_commands.push_back(text); }

std::string ReadAll(IStream* stream) {
  std::string bytes;
  if (!stream) return bytes;
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  char buffer[4096];
  ULONG read = 0;
  while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read) bytes.append(buffer, read);
  stream->Release();
  return bytes;
}

class CHeard : public IWebISMailListener {
 public:
  void OnItemAdded(LPCWSTR account, DWORD id, const EMAIL_ITEM& data) override {
    events.push_back(L"added " + std::wstring(account) + L" " + std::to_wstring(id) + L" " + data.subject.GetString());
  }
  void OnItemDeleted(LPCWSTR account, DWORD id) override {
    events.push_back(L"deleted " + std::wstring(account) + L" " + std::to_wstring(id));
  }
  void OnItemChanged(LPCWSTR account, DWORD id, const EMAIL_ITEM& data) override {
    events.push_back(L"changed " + std::wstring(account) + L" " + std::to_wstring(id) + L" " +
                     std::to_wstring(data.folderNumber) + L" " + std::to_wstring(data.flags));
  }
  std::vector<std::wstring> events;
};

FILETIME Utc(WORD year, WORD month, WORD day, WORD hour) {
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  st.wHour = hour;
  FILETIME ft{};
  SystemTimeToFileTime(&st, &ft);
  return ft;
}

const char kIni[] =
    "[Settings]\r\nEmailIntegration=TRUE\r\nSMSIntegration=FALSE\r\n"
    "[SERVICE.1]\r\nStorage=work\r\nStorageName=Work mail\r\nStorageDBFileName=\\Work.vol\r\nServiceName=IMAP\r\n"
    "[SERVICE.2]\r\nStorage=work\r\nStorageName=Work mail\r\nStorageDBFileName=\\Work.vol\r\nServiceName=SMTP\r\n"
    "[SERVICE.3]\r\nStorage=home\r\nStorageName=Home\r\nStorageDBFileName=\\Home.vol\r\nServiceName=POP\r\n";

const std::string kSource =
    "From: Ann <ann@example.com>\r\nSubject: Plans\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n"
    "See you at the station at nine. \xe2\x82\xac 12 for the tickets.\r\n";

// One account with an inbox, a deleted-items folder and messages of every kind.
struct Account {
  CEOID inbox = 0, trash = 0, plain = 0, rich = 0, gone = 0, headerOnly = 0, filed = 0;
  FILETIME when = Utc(2026, 3, 16, 9);

  void Write(CWebISMailVolume& volume) {
    inbox = volume.AddFolder(0, 1, L"Inbox");
    trash = volume.AddFolder(0, 4, L"Deleted");
    Message m;
    m.folder = inbox;
    m.subject = L"Plans";
    m.to = L"Sam <sam@example.com>";
    m.from = L"\"Ann Berg\" <ann@example.com>";
    m.text5 = L"cc text";
    m.text6 = L"more";
    m.idText = L"<1@example.com>";
    m.time = &when;
    plain = volume.AddMessage(m);
    m.subject = L"Report";
    m.from = L"boss@example.com";
    m.status = kRead | kAttachments | kHighPriority;
    m.time = nullptr;
    rich = volume.AddMessage(m);
    m.subject = L"Gone";
    m.status = kDeleted;
    gone = volume.AddMessage(m);
    m.subject = L"Big";
    m.status = kLowPriority | kForDownload;
    m.headerOnly = 1;
    headerOnly = volume.AddMessage(m);
    m.subject = L"Filed";
    m.status = 0;
    m.headerOnly = 0;
    m.folder = trash;
    filed = volume.AddMessage(m);
    volume.AddSource(plain, kSource, 17);
  }
};

class WebISMailStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = cedbtest::Root() + L"\\WebISData";
    Uninstall(data_);
    for (const wchar_t* file : {L"\\Work.vol", L"\\Home.vol"}) DeleteFileW((cedbtest::Root() + file).c_str());
    g_commands.clear();
    CWebISMailSettings::SetCommandRunner(RecordCommand);
  }
  void TearDown() override {
    CWebISMailSettings::SetCommandRunner(nullptr);
    Uninstall(data_);
    for (const wchar_t* file : {L"\\Work.vol", L"\\Home.vol"}) DeleteFileW((cedbtest::Root() + file).c_str());
  }
  // Writes both volumes and installs WebIS Mail with the build.
  void Install(DWORD build, const char* ini = kIni) {
    {
      CWebISMailVolume work(L"\\Work.vol");
      ASSERT_TRUE(work.IsOpen());
      account_.Write(work);
      CWebISMailVolume home(L"\\Home.vol");
      home.AddFolder(0, 1, L"Inbox");
    }
    ASSERT_TRUE(webismail::Install(L"\\Program Files\\WebIS", data_, ini, build));
  }
  std::vector<std::wstring> Subjects(CWebISMailSettings& settings, CEOID folder) {
    std::vector<std::wstring> out;
    EMAIL_ITEM* item = EMAIL_ITEM::New();
    for (BOOL more = settings.GetFirstMessage(L"work", static_cast<int>(folder), item); more;
         more = settings.GetNextMessage(item))
      out.push_back(item->subject.GetString());
    item->Release();
    return out;
  }
  EMAIL_ITEM* Item(CWebISMailSettings& settings, CEOID id) {
    EMAIL_ITEM* item = EMAIL_ITEM::New();
    settings.FindAccount(L"work")->ReadMessage(id, item, nullptr);
    items_.push_back(item);
    return item;
  }
  ~WebISMailStoreTest() override {
    for (EMAIL_ITEM* item : items_) item->Release();
  }

  std::wstring data_;
  Account account_;
  std::vector<EMAIL_ITEM*> items_;
  CMessageBoxAnswer boxes_;
};

TEST_F(WebISMailStoreTest, MessagesOfAFolderBecomeListItems) {
  Install(993);
  CWebISMailSettings settings;
  ASSERT_TRUE(settings.LoadAccounts(nullptr, nullptr));
  // The deleted record and the other folder's message are passed over.
  EXPECT_EQ((std::vector<std::wstring>{L"Plans", L"Report", L"Big"}), Subjects(settings, account_.inbox));
  EXPECT_EQ((std::vector<std::wstring>{L"Filed"}), Subjects(settings, account_.trash));

  EMAIL_ITEM* plain = Item(settings, account_.plain);
  EXPECT_STREQ(L"WebIs", plain->messageClass);
  EXPECT_STREQ(L"Ann Berg", plain->senderAddress);   // the display part without its quotes
  EXPECT_STREQ(L"\"Ann Berg\" <ann@example.com>", plain->recipientText);  // property 4
  EXPECT_STREQ(L"Sam", plain->recipientName);
  EXPECT_STREQ(L"cc text", plain->extraText1);
  EXPECT_STREQ(L"more", plain->extraText2);
  EXPECT_TRUE(plain->body.IsEmpty());
  EXPECT_EQ(static_cast<DWORD>(kSourceWebIS), plain->sourceKind);
  EXPECT_EQ(account_.plain, plain->webisId);
  EXPECT_EQ(account_.inbox, plain->folderNumber);
  EXPECT_STREQ(L"work", plain->accountName);
  EXPECT_NE(949998.0, plain->time);
  EXPECT_EQ(0, plain->priority);
  // Entry id: the record identifier low byte first, then the storage name.
  std::string entry(4, '\0');
  for (int i = 0; i < 4; ++i) entry[i] = static_cast<char>(account_.plain >> (8 * i));
  const std::wstring name = L"Work mail";
  entry.append(reinterpret_cast<const char*>(name.data()), name.size() * 2);
  EXPECT_EQ(entry, std::string(reinterpret_cast<const char*>(plain->entryId.GetData()), plain->entryId.GetSize()));

  struct Case {
    CEOID Account::*record;
    DWORD flags, status;
    BOOL attachments;
    LONG priority;
  } const cases[] = {
      {&Account::plain, 0, 0, FALSE, 0},
      {&Account::rich, 0x10 | MSGFLAG_READ, 0, TRUE, 1},
      {&Account::gone, 0, 0x8, FALSE, 0},
      {&Account::headerOnly, 0, 0x1000 | 0x100000, FALSE, -1},
  };
  for (const Case& c : cases) {
    EMAIL_ITEM* item = Item(settings, account_.*c.record);
    EXPECT_EQ(c.flags, item->flags) << item->subject.GetString();
    EXPECT_EQ(c.status, item->status) << item->subject.GetString();
    EXPECT_EQ(c.attachments, item->hasAttachments) << item->subject.GetString();
    EXPECT_EQ(c.priority, item->priority) << item->subject.GetString();
  }
  EXPECT_DOUBLE_EQ(949998.0, Item(settings, account_.rich)->time);
  EXPECT_FALSE(settings.GetFirstMessage(L"nobody", 1, Item(settings, 0)));
}

TEST_F(WebISMailStoreTest, DisplayPartsOfAddresses) {
  struct Case {
    const wchar_t* address;
    const wchar_t* shown;
  } const cases[] = {
      {L"\"Ann Berg\" <ann@example.com>", L"Ann Berg"},
      {L"'Ann' <ann@example.com>", L"Ann"},
      {L"  Ann Berg   <ann@example.com>", L"Ann Berg"},
      {L"\"Ann Berg' <ann@example.com>", L"\"Ann Berg'"},
      {L"ann@example.com", L"ann@example.com"},
      {L"Ann <ann@example.com", L"Ann <ann@example.com"},
      {L"a <b> c <d>", L"a <b> c"},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_STREQ(c.shown, WebISDisplayPart(c.address)) << c.address;
}

TEST_F(WebISMailStoreTest, TheStoredSourceIsItsChunksInIndexOrder) {
  Install(993);
  {
    CWebISMailVolume work(L"\\Work.vol");
    // The rich message's chunks out of order in the database.
    work.AddChunk(account_.rich, 2, "C");
    work.AddChunk(account_.rich, 0, "A");
    work.AddChunk(account_.rich, 1, "B");
  }
  CWebISMailSettings settings;
  ASSERT_TRUE(settings.LoadAccounts(nullptr, nullptr));
  EXPECT_EQ(kSource, ReadAll(settings.GetMessageSource(L"work", account_.plain)));
  EXPECT_EQ("ABC", ReadAll(settings.GetMessageSource(L"work", account_.rich)));
  EXPECT_EQ(nullptr, settings.GetMessageSource(L"work", account_.gone));   // no chunks
  EXPECT_EQ(nullptr, settings.GetMessageSource(L"work", 0));
  EXPECT_EQ(nullptr, settings.GetMessageSource(L"home", account_.plain));  // another account's volume
}

TEST_F(WebISMailStoreTest, DamagedChunkListsGiveNoSource) {
  Install(993);
  struct Case {
    const char* what;
    std::vector<std::pair<DWORD, std::string>> chunks;
  } const cases[] = {
      {"chunk 1 missing", {{0, "A"}, {2, "C"}}},
      {"index past the end", {{0, "A"}, {0xFFFFFFFF, "B"}}},
      {"the same index twice", {{0, "A"}, {0, "B"}}},
      {"only empty chunks", {{0, ""}, {1, ""}}},
      {"no chunk 0", {{1, "B"}}},
  };
  std::vector<CEOID> messages;
  {
    CWebISMailVolume work(L"\\Work.vol");
    for (const Case& c : cases) {
      Message m;
      m.folder = account_.inbox;
      m.subject = std::wstring(c.what, c.what + strlen(c.what));
      messages.push_back(work.AddMessage(m));
      for (const auto& chunk : c.chunks) work.AddChunk(messages.back(), chunk.first, chunk.second);
    }
  }
  CWebISMailSettings settings;
  ASSERT_TRUE(settings.LoadAccounts(nullptr, nullptr));
  for (size_t i = 0; i < messages.size(); ++i)
    EXPECT_EQ(nullptr, settings.GetMessageSource(L"work", messages[i])) << cases[i].what;
  EXPECT_EQ(kSource, ReadAll(settings.GetMessageSource(L"work", account_.plain)));  // the good one still reads
}

TEST_F(WebISMailStoreTest, CommandsGoToWebISMailFromBuild993) {
  for (DWORD build : {992u, 993u}) {
    SCOPED_TRACE(build);
    Uninstall(data_);
    for (const wchar_t* file : {L"\\Work.vol", L"\\Home.vol"}) DeleteFileW((cedbtest::Root() + file).c_str());
    Install(build);
    CResourceLibraryScope resources;
    CWebISMailSettings settings;
    ASSERT_TRUE(settings.LoadAccounts(nullptr, nullptr));
    g_commands.clear();
    boxes_.asked.clear();
    EMAIL_ITEM* item = Item(settings, account_.plain);
    const BOOL given = build >= 993;
    for (int action : {0, 1, 3, 4, 5}) EXPECT_EQ(given, settings.OpenMessage(item, action)) << action;
    EXPECT_EQ(given, settings.Compose(L"work", L"ann@example.com"));
    EXPECT_EQ(given, settings.Compose(L"Other service", nullptr));
    EXPECT_EQ(given, settings.Compose(nullptr, L"x@example.com"));
    EXPECT_EQ(given, settings.OpenService(L"home"));
    EXPECT_EQ(given, settings.Synchronize(L"work"));
    EXPECT_FALSE(settings.Synchronize(L"nobody"));
    if (!given) {
      EXPECT_TRUE(g_commands.empty());
      EXPECT_TRUE(boxes_.asked.empty());
      continue;
    }
    const std::wstring id = std::to_wstring(account_.plain);
    const std::vector<std::wstring> expected = {
        L"-open WORK." + id,      L"-open WORK." + id,     L"-reply WORK." + id,
        L"-repall WORK." + id,    L"-forward WORK." + id,  L"-service \"IMAP\" -new -to \"ann@example.com\"",
        L"-service \"Other service\" -new -to \" \"",      L"-new -to \"x@example.com\"",
        L"-service \"POP\"",      L"-synchronize \"IMAP\""};
    EXPECT_EQ(expected, g_commands);
    // Two services share the work account: the user is told only the first is synchronised.
    ASSERT_EQ(1u, boxes_.asked.size());
    wchar_t text[512] = L"";
    LoadStringW(GetModule().GetResourceInstance(), IDS_WEBIS_SYNC_ONE_ACCOUNT, text, 512);
    EXPECT_EQ(std::wstring(text), boxes_.asked[0].text);
    // Not a WebIS Mail item, or an account not known: nothing.
    EMAIL_ITEM* other = EMAIL_ITEM::New();
    other->sourceKind = kSourceMapi;
    EXPECT_FALSE(settings.OpenMessage(other, 0));
    other->sourceKind = kSourceWebIS;
    other->accountName = L"nobody";
    EXPECT_FALSE(settings.DeleteMessage(other));
    other->Release();
  }
}

// With WebIS Mail's window closed the records are changed here, as its delete mode says.
TEST_F(WebISMailStoreTest, ChangesWhileWebISMailIsClosedWriteTheRecords) {
  struct Case {
    const char* what;
    const char* settings;
    bool erased;       // else moved to deleted items
    bool markedRead;
  } const cases[] = {
      {"default: keep, mark read", "", false, true},
      {"keep without marking", "MarkReadOnDeletion=FALSE\r\nDeletePermanently=FALSE\r\n", false, false},
      {"delete for good", "MarkReadOnDeletion=FALSE\r\nDeletePermanently=TRUE\r\n", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Uninstall(data_);
    for (const wchar_t* file : {L"\\Work.vol", L"\\Home.vol"}) DeleteFileW((cedbtest::Root() + file).c_str());
    const std::string ini = std::string("[Settings]\r\n") + c.settings + std::string(kIni).substr(10);
    Install(993, ini.c_str());
    CWebISMailSettings settings;
    CHeard heard;
    ASSERT_TRUE(settings.LoadAccounts(nullptr, &heard));
    EMAIL_ITEM* plain = Item(settings, account_.plain);
    ASSERT_TRUE(settings.DeleteMessage(plain));
    EXPECT_TRUE(g_commands.empty());
    EMAIL_ITEM* after = Item(settings, account_.plain);
    if (c.erased) {
      EXPECT_EQ(0x8u, after->status & 0x8);
      EXPECT_TRUE(after->extraText1.IsEmpty());  // the texts emptied
      EXPECT_EQ(nullptr, settings.GetMessageSource(L"work", account_.plain));  // its chunks deleted
      ASSERT_EQ(1u, heard.events.size());
      EXPECT_EQ(0u, heard.events[0].find(L"deleted work "));
    } else {
      EXPECT_EQ(account_.trash, after->folderNumber);
      EXPECT_EQ(c.markedRead, after->IsRead() != FALSE);
      EXPECT_EQ(kSource, ReadAll(settings.GetMessageSource(L"work", account_.plain)));
      ASSERT_EQ(1u, heard.events.size());
      EXPECT_EQ(0u, heard.events[0].find(L"changed work "));
      // Deleting from deleted items erases it.
      ASSERT_TRUE(settings.DeleteMessage(after));
      EXPECT_EQ(0x8u, Item(settings, account_.plain)->status & 0x8);
    }
  }
  // Read, download marks and moves.
  CWebISMailSettings settings;
  CHeard heard;
  ASSERT_TRUE(settings.LoadAccounts(nullptr, &heard));
  EMAIL_ITEM* rich = Item(settings, account_.rich);
  ASSERT_TRUE(settings.SetRead(rich, FALSE));
  EXPECT_FALSE(Item(settings, account_.rich)->IsRead());
  ASSERT_TRUE(settings.MarkForDownload(rich, TRUE));
  EXPECT_EQ(0x1000u, Item(settings, account_.rich)->status & 0x1000);
  EXPECT_TRUE(settings.MoveMessage(rich, account_.inbox));        // where it is: nothing to do
  EXPECT_FALSE(settings.MoveMessage(rich, 0x7FFFFFF0));           // no such folder
  ASSERT_TRUE(settings.MoveMessage(rich, account_.trash));
  EXPECT_EQ(account_.trash, Item(settings, account_.rich)->folderNumber);
  EXPECT_EQ(3u, heard.events.size());
  EXPECT_TRUE(g_commands.empty());
}

TEST_F(WebISMailStoreTest, ChangesOfTheMessagesDatabaseReachTheList) {
  Install(993);
  CWebISMailSettings settings;
  CNoticeWindow owner;
  CHeard heard;
  ASSERT_TRUE(settings.LoadAccounts(owner.hwnd(), &heard));
  CWebISMailVolume work(L"\\Work.vol");
  Message m;
  m.folder = account_.inbox;
  m.subject = L"Fresh";
  const CEOID fresh = work.AddMessage(m);
  ASSERT_TRUE(cedbtest::PumpUntil([&] { return !heard.events.empty(); }));
  EXPECT_EQ(L"added work " + std::to_wstring(fresh) + L" Fresh", heard.events[0]);
  m.status = kRead;
  work.WriteMessage(fresh, m);
  ASSERT_TRUE(cedbtest::PumpUntil([&] { return heard.events.size() >= 2; }));
  EXPECT_EQ(0u, heard.events[1].find(L"changed work " + std::to_wstring(fresh)));
  m.status = kDeleted;
  work.WriteMessage(fresh, m);
  ASSERT_TRUE(cedbtest::PumpUntil([&] { return heard.events.size() >= 3; }));
  EXPECT_EQ(L"deleted work " + std::to_wstring(fresh), heard.events[2]);
  work.DeleteMessage(fresh);
  ASSERT_TRUE(cedbtest::PumpUntil([&] { return heard.events.size() >= 4; }));
  EXPECT_EQ(L"deleted work " + std::to_wstring(fresh), heard.events[3]);
  // A folder or chunk change is not a message change.
  work.AddChunk(fresh, 0, "x");
  cedbtest::PumpUntil([] { return false; }, 300);
  EXPECT_EQ(4u, heard.events.size());
}

TEST_F(WebISMailStoreTest, TheEmailListShowsAndTracksItsAccounts) {
  Install(993);
  CResourceLibraryScope resources;
  CWebISMailSettings settings;
  CEmailsList list;
  list.SetOtherSources(nullptr, &settings);
  CNoticeWindow owner;
  list.Init(owner.hwnd());
  CBlobObj packed;
  PackKindText(account_.inbox, L"work", packed);
  CTaggedBlob folder;
  folder.SetData(packed.GetData(), packed.GetSize());
  folder.SetKind(CTaggedBlob::KindF);
  ASSERT_EQ(0, list.FindOrAddStore(folder));
  EXPECT_EQ(3, list.GetItemCount(0));
  EXPECT_EQ(2, list.GetUnreadCount(0));
  {
    CWebISMailVolume work(L"\\Work.vol");
    Message m;
    m.folder = account_.inbox;
    m.subject = L"Fresh";
    work.AddMessage(m);
  }
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return list.GetItemCount(0) == 4; }));
  list.Done();
}

namespace {

CTaggedBlob WebISTarget(CEOID folder, const wchar_t* account) {
  CBlobObj packed;
  PackKindText(folder, account, packed);
  CTaggedBlob target;
  target.SetData(packed.GetData(), packed.GetSize());
  target.SetKind(CTaggedBlob::KindF);
  target.SetName(L"f");
  return target;
}

}  // namespace

// The e-mail list's operations on WebIS Mail's messages are WebIS Mail's own: with its
// window closed they change its records (and the list hears of it), with it open they
// are its command lines, and accounts and new messages are its commands too.
TEST_F(WebISMailStoreTest, TheListsOperationsOnItsMessagesAreWebISMailsOwn) {
  Install(993);
  CResourceLibraryScope resources;
  CWebISMailSettings settings;
  CWebISMailCommands commands(settings);
  CEmailsList list;
  list.SetOtherSources(nullptr, &settings);
  list.SetWebISCommands(&commands);
  CNoticeWindow owner;
  list.Init(owner.hwnd());
  ASSERT_EQ(0, list.FindOrAddStore(WebISTarget(account_.inbox, L"work")));
  std::vector<EMAIL_ITEM*> held;
  auto message = [&](const wchar_t* subject) {
    EMAIL_ITEM* item = nullptr;
    for (BOOL more = list.GetFirstItem(0, &item); more; more = list.GetNextItem(0, &item))
      if (item->subject.Compare(subject) == 0) {
        item->AddRef();
        held.push_back(item);
        return item;
      }
    return static_cast<EMAIL_ITEM*>(nullptr);
  };
  EMAIL_ITEM* plain = message(L"Plans");
  EMAIL_ITEM* rich = message(L"Report");
  ASSERT_TRUE(plain && rich);

  EXPECT_TRUE(list.SetRead(plain, TRUE, TRUE));
  EXPECT_TRUE(Item(settings, account_.plain)->IsRead());
  EXPECT_EQ(1, list.GetUnreadCount(0)) << "the list heard of it";
  EXPECT_TRUE(list.MarkForDownload(plain, TRUE));
  EXPECT_EQ(0x1000u, Item(settings, account_.plain)->status & 0x1000);
  EXPECT_FALSE(list.MoveItem(plain, WebISTarget(account_.trash, L"home"))) << "another account";
  ASSERT_TRUE(list.MoveItem(plain, WebISTarget(account_.trash, L"work")));
  EXPECT_EQ(account_.trash, Item(settings, account_.plain)->folderNumber);
  EXPECT_EQ(2, list.GetItemCount(0)) << "gone from the inbox";
  // The default delete mode keeps deleted mail in its folder, marked read.
  ASSERT_TRUE(list.DeleteItem(rich));
  EXPECT_EQ(account_.trash, Item(settings, account_.rich)->folderNumber);
  EXPECT_TRUE(g_commands.empty());

  EXPECT_TRUE(list.OpenMessage(plain, 3));
  EXPECT_TRUE(list.ComposeEmail(L"Ann", L"ann@example.com"));  // WebIS Mail handles e-mail
  EXPECT_TRUE(list.SendReceive(L"work"));
  EXPECT_TRUE(list.OpenAccount(L"work"));
  {
    webistest::CWebISMainWindow window;
    ASSERT_TRUE(window.hwnd());
    EXPECT_TRUE(list.SetRead(plain, FALSE, TRUE));
    EXPECT_TRUE(list.MarkForDownload(plain, FALSE));
    EXPECT_TRUE(list.DeleteItem(plain));
    EXPECT_FALSE(list.MoveItem(plain, WebISTarget(account_.inbox, L"work"))) << "no command moves";
  }
  const std::wstring id = std::to_wstring(account_.plain);
  EXPECT_EQ(g_commands, (std::vector<std::wstring>{L"-reply WORK." + id, L"-new -to \"Ann <ann@example.com>\"",
                                                   L"-synchronize \"IMAP\"", L"-service \"IMAP\"",
                                                   L"-mark_unread WORK." + id, L"-unmark_for_download WORK." + id,
                                                   L"-delete WORK." + id}));
  EXPECT_TRUE(Item(settings, account_.plain)->IsRead()) << "the window open, the record is WebIS Mail's to change";
  for (EMAIL_ITEM* item : held) item->Release();
  list.Done();
}

TEST_F(WebISMailStoreTest, TakeOverIsTheSameSizeOfBothMailPrograms) {
  CDeviceSwitch device;
  device.Set(L"Root", cedbtest::Root());
  Install(993);
  const std::wstring system = cedbtest::Root() + L"\\Windows", own = cedbtest::Root() + L"\\Program Files\\WebIS";
  CreateDirectoryW(system.c_str(), nullptr);
  CreateDirectoryW((cedbtest::Root() + L"\\Program Files").c_str(), nullptr);
  CreateDirectoryW(own.c_str(), nullptr);
  struct Case {
    const char* what;
    const char* systemFile;  // null: missing
    const char* ownFile;
    bool takenOver;
  } const cases[] = {
      {"same size", "12345", "abcde", true},
      {"other size", "12345", "abc", false},
      {"own one missing", "12345", nullptr, false},
      {"system one missing", nullptr, "abc", false},
  };
  for (const Case& c : cases) {
    DeleteFileW((system + L"\\tmail.exe").c_str());
    DeleteFileW((own + L"\\tmail.exe").c_str());
    if (c.systemFile) cedbtest::WriteFileBytes(system + L"\\tmail.exe", c.systemFile);
    if (c.ownFile) cedbtest::WriteFileBytes(own + L"\\tmail.exe", c.ownFile);
    CWebISMailSettings settings;
    EXPECT_EQ(c.takenOver, settings.HasTakenOverMailProgram() != FALSE) << c.what;
  }
  DeleteFileW((system + L"\\tmail.exe").c_str());
  DeleteFileW((own + L"\\tmail.exe").c_str());
}

// Random chunk lists and damaged message records: a source comes back only when its
// chunks fill every place once, and every read stays inside what the store gave.
TEST_F(WebISMailStoreTest, SeededFuzzerOverChunksAndRecords) {
  Install(993);
  std::mt19937 random(6415);
  std::vector<std::pair<CEOID, std::string>> expected;  // empty string: no source
  {
    CWebISMailVolume work(L"\\Work.vol");
    for (int round = 0; round < 120; ++round) {
      Message m;
      m.folder = random() % 3 ? account_.inbox : static_cast<CEOID>(random());
      m.status = random();
      m.subject = std::wstring(random() % 40, static_cast<wchar_t>(L'a' + random() % 26));
      m.from = random() % 2 ? L"<" : L"\"x\" <y> <";
      const CEOID id = work.AddMessage(m);
      const int count = static_cast<int>(random() % 5);
      std::vector<DWORD> indexes;
      for (int i = 0; i < count; ++i) indexes.push_back(static_cast<DWORD>(i));
      if (random() % 2 && count)
        indexes.back() = random() % 3 == 0 ? 0xFFFFFFFFu : static_cast<DWORD>(random() % 6);
      // Sound when the indexes fill 0 .. count-1 once each, damaged or not.
      std::vector<DWORD> sorted = indexes;
      std::sort(sorted.begin(), sorted.end());
      bool sound = true;
      for (size_t i = 0; i < sorted.size(); ++i) sound = sound && sorted[i] == i;
      std::shuffle(indexes.begin(), indexes.end(), random);
      std::vector<std::string> pieces(static_cast<size_t>(count));
      for (int i = 0; i < count; ++i) {
        std::string piece(random() % 300, '\0');
        for (char& ch : piece) ch = static_cast<char>(random());
        pieces[static_cast<size_t>(i)] = piece;
        work.AddChunk(id, indexes[static_cast<size_t>(i)], piece);
      }
      std::string whole;
      if (sound) {
        std::vector<std::string> ordered(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) ordered[indexes[static_cast<size_t>(i)]] = pieces[static_cast<size_t>(i)];
        for (const std::string& piece : ordered) whole += piece;
      }
      expected.push_back({id, whole});
    }
  }
  CWebISMailSettings settings;
  ASSERT_TRUE(settings.LoadAccounts(nullptr, nullptr));
  for (const auto& message : expected) {
    const std::string got = ReadAll(settings.GetMessageSource(L"work", message.first));
    EXPECT_EQ(message.second, got) << message.first;
  }
  std::vector<std::wstring> subjects = Subjects(settings, account_.inbox);
  EXPECT_GE(subjects.size(), 3u);
}

}  // namespace
