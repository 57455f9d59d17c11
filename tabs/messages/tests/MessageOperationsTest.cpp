// The message operations over the device's sample stores: what the message store,
// the stand-in mail program ("tmail.exe", its log), the stand-in transport and the
// item-operations program are given, what WebIS Mail is asked instead, and that each
// operation reports what happened, a failing store included.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/Platform.h"
#include "base/TaggedBlob.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "pim/OndrelClient.h"
#include "pim/PimAddins.h"
#include "platform/aygshell/AygTest.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "platform/coredll/DeviceSwitch.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailSyncCallback.h"
#include "tabs/messages/tests/SampleStoreSupport.h"

using namespace mapitest;

namespace {

const ULONGLONG kAsInbox = 0x10002, kAsDeleted = 0x10005, kAsProjects = 0x10007;
const ULONGLONG kLunch = 0x11001;  // unread, in the inbox

CTaggedBlob MapiFolder(ULONGLONG id) { return sampletest::Folder(id, L"f"); }
CTaggedBlob WebISFolder(DWORD number, const wchar_t* account) { return sampletest::WebISFolder(number, account, L"f"); }

std::wstring LogPath(const wchar_t* name) { return Root() + L"\\Windows\\" + name; }

std::vector<std::wstring> LogLines(const wchar_t* name) {
  const std::string bytes = ReadFileBytes(LogPath(name));
  std::vector<std::wstring> lines;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(at, end - at);
    std::wstring wide(line.size(), L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &wide[0],
                                      static_cast<int>(wide.size()));
    wide.resize(n > 0 ? size_t(n) : 0);
    lines.push_back(wide);
    at = end + 2;
  }
  return lines;
}

// The arguments as the mail program splits its command line.
std::vector<std::wstring> Split(const std::wstring& arguments) {
  std::vector<std::wstring> out;
  if (arguments.empty()) return out;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW((L"tmail.exe " + arguments).c_str(), &count);
  for (int i = 1; argv && i < count; ++i) out.push_back(argv[i]);
  LocalFree(argv);
  return out;
}

// The system mail program is the stand-in beside the tests, started and waited for;
// "Ondrel.exe" never starts (no item-operations program unless a test makes its window).
BOOL RunStandIn(SHELLEXECUTEINFOW* info) {
  const std::wstring file = info->lpFile ? info->lpFile : L"";
  if (file != L"\\Windows\\tmail.exe") return FALSE;
  std::wstring commandLine = L"tmail.exe";
  if (info->lpParameters) commandLine += std::wstring(L" ") + info->lpParameters;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  const std::wstring program = BinFile(L"tmail.exe");
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return FALSE;
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return TRUE;
}

void NoSleep(DWORD) {}

// WebIS Mail as a test sets it up; every command is recorded.
class CFakeWebISCommands : public IWebISMailCommands {
 public:
  BOOL installed = FALSE, takenOver = FALSE, email = FALSE, sms = FALSE;
  std::vector<std::wstring> calls;

  BOOL IsInstalled() override { return installed; }
  BOOL HasTakenOverMailProgram() override { return takenOver; }
  BOOL IsEmailIntegration() override { return email; }
  BOOL IsSmsIntegration() override { return sms; }
  BOOL OpenMessage(const EMAIL_ITEM& item, int action) override {
    return Note(L"open " + std::to_wstring(item.webisId) + L" " + std::to_wstring(action));
  }
  BOOL SetRead(const EMAIL_ITEM& item, BOOL read, BOOL) override {
    return Note(L"read " + std::to_wstring(item.webisId) + L" " + std::to_wstring(read));
  }
  BOOL MarkForDownload(const EMAIL_ITEM& item, BOOL mark) override {
    return Note(L"download " + std::to_wstring(item.webisId) + L" " + std::to_wstring(mark));
  }
  BOOL DeleteMessage(const EMAIL_ITEM& item) override { return Note(L"delete " + std::to_wstring(item.webisId)); }
  BOOL MoveMessage(const EMAIL_ITEM& item, DWORD folder) override {
    return Note(L"move " + std::to_wstring(item.webisId) + L" " + std::to_wstring(folder));
  }
  BOOL OpenService(LPCWSTR storage) override { return Note(L"service " + Text(storage)); }
  BOOL Synchronize(LPCWSTR storage) override { return Note(L"sync " + Text(storage)); }
  BOOL Compose(LPCWSTR storage, LPCWSTR recipient) override {
    return Note(L"compose " + Text(storage) + L" to " + Text(recipient));
  }

 private:
  static std::wstring Text(LPCWSTR text) { return text ? text : L"(none)"; }
  BOOL Note(const std::wstring& call) {
    calls.push_back(call);
    return TRUE;
  }
};

// The item-operations program's window, in this process: the requests it was sent.
class CFakeOndrelWindow {
 public:
  CFakeOndrelWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = ONDREL_WINDOW_CLASS;
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    Codes().clear();
  }
  ~CFakeOndrelWindow() { DestroyWindow(hwnd_); }
  static std::vector<ULONG_PTR>& Codes() {
    static std::vector<ULONG_PTR> codes;
    return codes;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
      const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (copy->cbData == sizeof(ONDREL_REQUEST)) Codes().push_back(copy->dwData);
      return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

class MessageOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.Loaded());
    ASSERT_TRUE(machine_.Redirected());
    sampletest::RegisterSampleServices(machine_);
    machine_.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\ActiveSync").WriteString(L"DLL", BinFile(L"mailtransport.dll").c_str());
    ASSERT_TRUE(sampletest::InstallSampleStores());
    DeleteFileW(LogPath(L"tmail.log").c_str());
    DeleteFileW(LogPath(L"mailtransport.log").c_str());
    SetTrashEmpty(-1);
    previousLauncher_ = SetProgramLauncher(RunStandIn);
    previousSleep_ = COndrelClient::SetSleep(NoSleep);
    list_.SetWebISCommands(&webis_);
    AygTestTakeNotificationRemovals(nullptr, nullptr, 0);
  }
  void TearDown() override {
    list_.Done();
    SetTrashEmpty(-1);
    SetProgramLauncher(previousLauncher_);
    COndrelClient::SetSleep(previousSleep_);
  }
  // -1 removes the value.
  static void SetTrashEmpty(int value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Inbox\\Settings", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    if (value < 0) {
      RegDeleteValueW(key, L"TrashEmpty");
    } else {
      const DWORD v = DWORD(value);
      RegSetValueExW(key, L"TrashEmpty", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    }
    RegCloseKey(key);
  }
  // The account of a sample folder and its message with that id (held by the list).
  EMAIL_ITEM* Message(ULONGLONG folder, ULONGLONG id) {
    const int account = list_.FindOrAddStore(MapiFolder(folder));
    if (account < 0) return nullptr;
    const std::string entry = Entry(MAPI_MESSAGE, id);
    EMAIL_ITEM* item = nullptr;
    for (BOOL more = list_.GetFirstItem(account, &item); more; more = list_.GetNextItem(account, &item))
      if (item->entryId.GetSize() == entry.size() && memcmp(item->entryId.GetData(), entry.data(), entry.size()) == 0)
        return item;
    return nullptr;
  }
  // A property of the stored message; -1 when the message does not open.
  static LONG Stored(ULONGLONG id, ULONG tag) {
    CSessionHolder session;
    IMessage* message = Open<IMessage>(session.get(), Entry(MAPI_MESSAGE, id));
    if (!message) return -1;
    SizedSPropTagArray<1> tags = {1, {tag}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    LONG value = -2;
    if (SUCCEEDED(message->GetProps(tags, 0, &count, &values)) && count == 1 && values[0].ulPropTag == tag)
      value = values[0].Value.l;
    MAPIFreeBuffer(values);
    message->Release();
    return value;
  }
  // The folder holding the stored message; 0 when it is gone.
  static ULONGLONG ParentOf(ULONGLONG id) {
    for (ULONGLONG folder : {kAsInbox, kAsDeleted, kAsProjects}) {
      CSessionHolder session;
      IMAPIFolder* opened = Open<IMAPIFolder>(session.get(), Entry(MAPI_FOLDER, folder));
      if (!opened) continue;
      IMAPITable* table = nullptr;
      bool found = false;
      if (SUCCEEDED(opened->GetContentsTable(0, &table)) && table) {
        SizedSPropTagArray<1> columns = {1, {PR_ENTRYID}};
        table->SetColumns(columns, 0);
        const std::string entry = Entry(MAPI_MESSAGE, id);
        for (;;) {
          LPSRowSet rows = nullptr;
          if (FAILED(table->QueryRows(1, 0, &rows)) || !rows || rows->cRows == 0) {
            if (rows) FreeProws(rows);
            break;
          }
          const SBinary& bin = rows->aRow[0].lpProps[0].Value.bin;
          found = found || (bin.cb == entry.size() && memcmp(bin.lpb, entry.data(), bin.cb) == 0);
          FreeProws(rows);
        }
        table->Release();
      }
      opened->Release();
      if (found) return folder;
    }
    return 0;
  }
  std::vector<std::vector<std::wstring>> MailProgramRuns() {
    std::vector<std::vector<std::wstring>> runs;
    for (const std::wstring& line : LogLines(L"tmail.log")) runs.push_back(Split(line));
    return runs;
  }
  static std::vector<DWORD> RemovedNotifications() {
    CLSID clsids[8];
    DWORD ids[8] = {};
    const int count = AygTestTakeNotificationRemovals(clsids, ids, 8);
    return std::vector<DWORD>(ids, ids + (count < 8 ? count : 8));
  }

  CResourceLibraryScope resources_;
  CLocalMachineSandbox machine_{L"MessageOperationsTest"};
  CEmailsList list_;
  CFakeWebISCommands webis_;
  PFN_PROGRAM_LAUNCHER previousLauncher_ = nullptr;
  COndrelClient::PFN_SLEEP previousSleep_ = nullptr;
};

TEST_F(MessageOperationsTest, ReadFlagsAndDownloadMarksAreWrittenToTheStore) {
  EMAIL_ITEM* lunch = Message(kAsInbox, kLunch);
  ASSERT_NE(lunch, nullptr);
  ASSERT_FALSE(lunch->IsRead());

  EXPECT_TRUE(list_.SetRead(lunch, TRUE, TRUE));
  EXPECT_EQ(MSGFLAG_READ, Stored(kLunch, PR_MESSAGE_FLAGS) & MSGFLAG_READ);
  EXPECT_EQ((std::vector<DWORD>{23, 22}), RemovedNotifications()) << "the shell's new-mail notices go";

  lunch->flags |= MSGFLAG_READ;
  EXPECT_TRUE(list_.SetRead(lunch, TRUE, TRUE)) << "already read: nothing to do";
  EXPECT_TRUE(RemovedNotifications().empty());
  EXPECT_TRUE(list_.SetRead(lunch, FALSE, TRUE));
  EXPECT_EQ(0, Stored(kLunch, PR_MESSAGE_FLAGS) & MSGFLAG_READ);
  EXPECT_TRUE(RemovedNotifications().empty()) << "marking unread leaves them";

  EXPECT_TRUE(list_.MarkForDownload(lunch, TRUE));
  EXPECT_EQ(0x1000, Stored(kLunch, PR_MSG_STATUS) & 0x1000);
  lunch->status |= 0x1000;
  EXPECT_TRUE(list_.MarkForDownload(lunch, FALSE));
  EXPECT_EQ(0, Stored(kLunch, PR_MSG_STATUS) & 0x1000);
}

TEST_F(MessageOperationsTest, MovesReportWhetherTheMessageMoved) {
  EMAIL_ITEM* lunch = Message(kAsInbox, kLunch);
  ASSERT_NE(lunch, nullptr);
  EXPECT_TRUE(list_.MoveItem(lunch, MapiFolder(kAsInbox))) << "its own folder: nothing moves";
  EXPECT_EQ(kAsInbox, ParentOf(kLunch));
  EXPECT_FALSE(list_.MoveItem(lunch, WebISFolder(1, L"home"))) << "not into another program's folder";
  EXPECT_FALSE(list_.MoveItem(lunch, MapiFolder(0x999999))) << "no such folder";
  EXPECT_EQ(kAsInbox, ParentOf(kLunch));
  EXPECT_TRUE(list_.MoveItem(lunch, MapiFolder(kAsProjects)));
  EXPECT_EQ(kAsProjects, ParentOf(kLunch));
  EXPECT_TRUE(webis_.calls.empty());
}

TEST_F(MessageOperationsTest, DeletionGoesToDeletedItemsOrForGoodWithTheTransportTold) {
  struct Case {
    const char* what;
    int trashEmpty;  // -1: no value
    BOOL webisEmail;
    ULONGLONG expectedFolder;  // 0: gone for good
    bool transport;
  } cases[] = {
      {"no value: to Deleted Items", -1, FALSE, kAsDeleted, false},
      {"emptied at once", 0, FALSE, 0, true},
      {"WebIS Mail handles e-mail", 0, TRUE, kAsDeleted, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    list_.ClearStores(0);
    RemoveStores();
    ASSERT_TRUE(InstallStore(L"ActiveSync.mst", sampletest::ResourceText(101)));
    DeleteFileW(LogPath(L"mailtransport.log").c_str());
    SetTrashEmpty(c.trashEmpty);
    webis_.email = c.webisEmail;
    EMAIL_ITEM* lunch = Message(kAsInbox, kLunch);
    ASSERT_NE(lunch, nullptr);
    EXPECT_TRUE(list_.DeleteItem(lunch));
    EXPECT_EQ(c.expectedFolder, ParentOf(kLunch));
    const std::vector<std::wstring> transport = LogLines(L"mailtransport.log");
    if (c.transport) {
      ASSERT_EQ(2u, transport.size());
      EXPECT_EQ(L"Initialize transport=\"ActiveSync\" profile=\"dummy\" store=\"ActiveSync\" memory=yes", transport[0]);
      EXPECT_EQ(L"ShutDown transport=\"ActiveSync\" reserved=0", transport[1]);
    } else {
      EXPECT_TRUE(transport.empty());
    }
  }
  // Deleting from Deleted Items deletes for good, and without a transport library too.
  machine_.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\ActiveSync").WriteString(L"DLL", L"missing-transport.dll");
  SetTrashEmpty(-1);
  EMAIL_ITEM* deleted = Message(kAsDeleted, kLunch);
  ASSERT_NE(deleted, nullptr);
  EXPECT_TRUE(list_.DeleteItem(deleted));
  EXPECT_EQ(0u, ParentOf(kLunch));
}

TEST_F(MessageOperationsTest, AFailingStoreOrAMissingMessageReportsFailure) {
  EMAIL_ITEM* lunch = Message(kAsInbox, kLunch);
  ASSERT_NE(lunch, nullptr);
  // A message the store no longer has.
  EMAIL_ITEM* gone = EMAIL_ITEM::New();
  gone->CopyFrom(*lunch);
  const std::string missing = Entry(MAPI_MESSAGE, 0x11999);
  gone->entryId.Assign(reinterpret_cast<const BYTE*>(missing.data()), static_cast<DWORD>(missing.size()));
  EXPECT_FALSE(list_.ChangeFlags(gone, MSGFLAG_READ, TRUE));
  EXPECT_TRUE(RemovedNotifications().empty());
  EXPECT_FALSE(list_.MarkForDownload(gone, TRUE));
  EXPECT_FALSE(list_.MoveItem(gone, MapiFolder(kAsProjects)));
  EXPECT_FALSE(list_.DeleteItem(gone));
  gone->Release();

  // The store's file damaged behind the list's back: every change is refused.
  std::string bytes = ReadFileBytes(StorePath(L"ActiveSync.mst"));
  ASSERT_GT(bytes.size(), 100u);
  bytes[bytes.size() / 2] ^= 0x5A;
  ASSERT_TRUE(WriteFileBytes(StorePath(L"ActiveSync.mst"), bytes));
  EXPECT_FALSE(list_.SetRead(lunch, TRUE, FALSE));
  EXPECT_FALSE(list_.MarkForDownload(lunch, TRUE));
  EXPECT_FALSE(list_.MoveItem(lunch, MapiFolder(kAsProjects)));
  EXPECT_FALSE(list_.DeleteItem(lunch));
}

TEST_F(MessageOperationsTest, OpeningGoesToTheItemOperationsProgramAndMarksRead) {
  EMAIL_ITEM* lunch = Message(kAsInbox, kLunch);
  ASSERT_NE(lunch, nullptr);
  // No item-operations program to be found or started: nothing opened, nothing marked.
  EXPECT_FALSE(list_.OpenMessage(lunch, 0));
  EXPECT_EQ(0, Stored(kLunch, PR_MESSAGE_FLAGS) & MSGFLAG_READ);

  CFakeOndrelWindow ondrel;
  struct Case {
    int action;
    ULONG_PTR code;
  } cases[] = {{0, 0x30001}, {3, 0x30004}, {4, 0x30005}, {5, 0x30006}};
  for (const Case& c : cases) EXPECT_TRUE(list_.OpenMessage(lunch, c.action)) << c.action;
  EXPECT_EQ((std::vector<ULONG_PTR>{0x30001, 0x30004, 0x30005, 0x30006}), CFakeOndrelWindow::Codes());
  EXPECT_EQ(MSGFLAG_READ, Stored(kLunch, PR_MESSAGE_FLAGS) & MSGFLAG_READ);

  // WebIS Mail shows the device's messages itself once it has taken over.
  webis_.takenOver = TRUE;
  EXPECT_FALSE(list_.OpenMessage(lunch, 0));
  EXPECT_EQ(4u, CFakeOndrelWindow::Codes().size());
  EXPECT_TRUE(webis_.calls.empty());
}

TEST_F(MessageOperationsTest, WebISMessagesGoToWebISMail) {
  EMAIL_ITEM* item = EMAIL_ITEM::New();
  item->FillFromText(L"IPM.Note", 7, nullptr, L"me@example.com", L"you@example.com", L"Web 7", L"", 46000);
  item->sourceKind = kSourceWebIS;
  item->webisId = 7;
  item->accountName = L"home";
  EXPECT_TRUE(list_.OpenMessage(item, 3));
  EXPECT_TRUE(list_.SetRead(item, TRUE, TRUE));
  EXPECT_TRUE(list_.MarkForDownload(item, TRUE));
  EXPECT_TRUE(list_.MoveItem(item, WebISFolder(4, L"home")));
  EXPECT_FALSE(list_.MoveItem(item, WebISFolder(4, L"work"))) << "not into another account";
  EXPECT_FALSE(list_.MoveItem(item, MapiFolder(kAsProjects))) << "not into a message store";
  EXPECT_FALSE(list_.ChangeFlags(item, MSGFLAG_READ, TRUE));
  EXPECT_TRUE(list_.DeleteItem(item));
  EXPECT_EQ((std::vector<std::wstring>{L"open 7 3", L"read 7 1", L"download 7 1", L"move 7 4", L"delete 7"}),
            webis_.calls);
  item->Release();
  // Without WebIS Mail its messages are refused.
  list_.SetWebISCommands(nullptr);
  EMAIL_ITEM* orphan = EMAIL_ITEM::New();
  orphan->sourceKind = kSourceWebIS;
  EXPECT_FALSE(list_.OpenMessage(orphan, 0));
  EXPECT_FALSE(list_.DeleteItem(orphan));
  orphan->Release();
  EXPECT_TRUE(LogLines(L"tmail.log").empty());
}

// Accounts, send/receive and new messages: the system mail program's arguments as it
// splits them, names with quotes and backslashes kept whole.
TEST_F(MessageOperationsTest, MailProgramCommandLines) {
  DWORD major = 0, minor = 0;
  ASSERT_TRUE(GetPocketPCVersion(&major, &minor) && major >= 5) << "the emulated device is a Pocket PC 5 or later";
  using Args = std::vector<std::wstring>;
  struct Case {
    std::function<BOOL()> run;
    std::vector<Args> runs;
  } cases[] = {
      {[&] { return list_.OpenAccount(L""); }, {{}}},
      {[&] { return list_.OpenAccount(L"ActiveSync"); }, {{L"-service", L"ActiveSync"}}},
      {[&] { return list_.OpenAccount(L"Say \"hi\" \\"); }, {{L"-service", L"Say \"hi\" \\"}}},
      {[&] { return list_.SendReceive(nullptr); }, {{L"-sync"}}},
      {[&] { return list_.SendReceive(L"ActiveSync"); }, {{L"-service", L"ActiveSync"}, {L"-sync"}}},
      {[&] { return list_.NewMessage(L""); }, {{L"-to", L""}}},
      {[&] { return list_.NewMessage(L"ActiveSync"); },
       {{L"-service", L"ActiveSync", L"-transport", L"ActiveSync", L"-to", L""}}},
      {[&] { return list_.ComposeEmail(L"Ann Lee", L"ann@example.com"); }, {{L"-to", L"\"Ann Lee\" <ann@example.com>"}}},
      {[&] { return list_.ComposeEmail(L"Ann \"Al\" Lee\\", L"ann@example.com"); },
       {{L"-to", L"\"Ann \\\"Al\\\" Lee\\\\\" <ann@example.com>"}}},
  };
  for (const Case& c : cases) {
    DeleteFileW(LogPath(L"tmail.log").c_str());
    EXPECT_TRUE(c.run());
    std::vector<Args> runs = MailProgramRuns();
    if (runs.size() == 1 && c.runs.size() == 1 && c.runs[0].empty()) {
      EXPECT_TRUE(runs[0].empty() || (runs[0].size() == 1 && runs[0][0].empty()));
    } else {
      EXPECT_EQ(c.runs, runs);
    }
  }
  EXPECT_TRUE(webis_.calls.empty());
}

TEST_F(MessageOperationsTest, WebISMailTakesTheAccountsItHandles) {
  struct Case {
    BOOL installed, takenOver, email, sms;
    std::function<BOOL()> run;
    std::vector<std::wstring> webis;
    size_t mailRuns;
  } cases[] = {
      {TRUE, TRUE, FALSE, FALSE, [&] { return list_.OpenAccount(L"ActiveSync"); }, {L"service ActiveSync"}, 0},
      {TRUE, TRUE, FALSE, FALSE, [&] { return list_.SendReceive(nullptr); }, {L"sync (none)"}, 0},
      {TRUE, FALSE, FALSE, FALSE, [&] { return list_.SendReceive(nullptr); }, {L"sync (none)"}, 1},
      {TRUE, FALSE, TRUE, FALSE, [&] { return list_.NewMessage(L"ActiveSync"); }, {L"compose ActiveSync to "}, 0},
      {TRUE, FALSE, FALSE, TRUE, [&] { return list_.NewMessage(L"sms"); }, {L"compose sms to "}, 0},
      {TRUE, FALSE, FALSE, TRUE, [&] { return list_.NewMessage(L"ActiveSync"); }, {}, 1},
      {TRUE, FALSE, TRUE, FALSE, [&] { return list_.ComposeEmail(L"Ann", L"a@example.com"); },
       {L"compose (none) to Ann <a@example.com>"}, 0},
      {TRUE, TRUE, FALSE, FALSE, [&] { return list_.ComposeEmail(L"", L"a@example.com"); },
       {L"compose (none) to a@example.com"}, 0},
      {FALSE, FALSE, TRUE, FALSE, [&] { return list_.ComposeEmail(L"Ann", L"a@example.com"); }, {}, 1},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(row++);
    DeleteFileW(LogPath(L"tmail.log").c_str());
    webis_.calls.clear();
    webis_.installed = c.installed;
    webis_.takenOver = c.takenOver;
    webis_.email = c.email;
    webis_.sms = c.sms;
    EXPECT_TRUE(c.run());
    EXPECT_EQ(c.webis, webis_.calls);
    EXPECT_EQ(c.mailRuns, LogLines(L"tmail.log").size());
  }
}

TEST_F(MessageOperationsTest, TextMessagesOnlyOnAPhoneAndThroughTheComposer) {
  ForgetPhonePresence();
  ASSERT_FALSE(IsPhonePresent());
  list_.Init(nullptr);
  EXPECT_FALSE(list_.ComposeSms(L"Bob", L"+15550100"));
  EXPECT_FALSE(ComposeSmsTo(L"+15550100", L"Bob"));
  EXPECT_TRUE(LogLines(L"tmail.log").empty());
  // The contacts' e-mail reaches the list once it runs, and no more after it stopped.
  EXPECT_TRUE(ComposeEmailTo(L"bo@example.com", L"Bo"));
  EXPECT_EQ((std::vector<std::vector<std::wstring>>{{L"-to", L"\"Bo\" <bo@example.com>"}}), MailProgramRuns());
  EXPECT_FALSE(ComposeEmailTo(L"", L"Bo")) << "no address";
  list_.Done();
  EXPECT_FALSE(ComposeEmailTo(L"bo@example.com", L"Bo"));
  EXPECT_EQ(1u, LogLines(L"tmail.log").size());

  CDeviceSwitch device;
  ASSERT_TRUE(device.AddOptionalLibrary(L"phone"));
  ForgetPhonePresence();
  list_.Init(nullptr);
  DeleteFileW(LogPath(L"tmail.log").c_str());
  EXPECT_TRUE(ComposeSmsTo(L"+15550100", L"Bob"));
  EXPECT_EQ((std::vector<std::vector<std::wstring>>{{L"-transport", L"SMS", L"-to", L"\"Bob\" <+15550100>"}}),
            MailProgramRuns());
  webis_.installed = webis_.sms = TRUE;
  EXPECT_TRUE(ComposeSmsTo(L"+15550100", L""));
  EXPECT_EQ((std::vector<std::wstring>{L"compose SMS to +15550100"}), webis_.calls);
  list_.Done();
  ForgetPhonePresence();
}

TEST(MailSyncCallbackTest, AnswersWhatATransportAsks) {
  CMailSyncCallback* callback = new CMailSyncCallback(nullptr);
  void* out = nullptr;
  EXPECT_EQ(E_INVALIDARG, callback->QueryInterface(IID_IMailSyncCallBack, nullptr));
  EXPECT_EQ(E_NOINTERFACE, callback->QueryInterface(IID_IMAPISession, &out));
  EXPECT_EQ(nullptr, out);
  ASSERT_EQ(S_OK, callback->QueryInterface(IID_IMailSyncCallBack, &out));
  EXPECT_EQ(static_cast<IMailSyncCallBack*>(callback), out);
  ASSERT_EQ(S_OK, callback->QueryInterface(IID_IUnknown, &out));
  EXPECT_EQ(4u, callback->AddRef()) << "one made, two asked, one added";
  EXPECT_EQ(E_FAIL, callback->RequestSync(L"p", 0));
  EXPECT_EQ(S_OK, callback->Progress(L"p", nullptr));
  EXPECT_EQ(E_FAIL, callback->GetGlobalSetting(0, nullptr));
  EXPECT_EQ(E_FAIL, callback->RequestCredentials(L"p", nullptr, 0));
  EXPECT_EQ(S_OK, callback->LogEvent(nullptr));
  LPBYTE block = nullptr;
  ASSERT_EQ(S_OK, callback->AllocateMem(64, &block));
  ASSERT_NE(nullptr, block);
  memset(block, 0xAB, 64);
  EXPECT_EQ(S_OK, callback->FreeMem(block));
  EXPECT_EQ(E_INVALIDARG, callback->AllocateMem(8, nullptr));
  {
    CMessageBoxAnswer box(IDYES);
    int answer = 0;
    EXPECT_EQ(S_OK, callback->DisplayMessageBox(L"Delete?", L"Mail", MB_YESNO, &answer));
    EXPECT_EQ(IDYES, answer);
    EXPECT_EQ(1u, box.asked.size());
  }
  EXPECT_EQ(3u, callback->Release());
  EXPECT_EQ(2u, callback->Release());
  EXPECT_EQ(1u, callback->Release());
  EXPECT_EQ(0u, callback->Release());
}

}  // namespace
