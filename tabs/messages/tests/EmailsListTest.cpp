// The e-mail list over the device's message stores: accounts added from filter
// folders by the parent walk, their messages read from contents tables, the other
// mail programs' stores behind their readers, and the list kept current from the
// messaging notifications - heard on the messaging library's thread, handled on the
// owner's - for changes made by other processes and for every rule of the event table.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/TaggedBlob.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "panel/PanelRecord.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "tabs/messages/AccountIterator.h"
#include "tabs/messages/EmailChangeRecord.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/tests/SampleStoreSupport.h"

using namespace mapitest;

namespace {

// Sample store ids (device/mail/*.txt).
const ULONGLONG kAsInbox = 0x10002, kAsSent = 0x10004, kAsDeleted = 0x10005, kAsProjects = 0x10007,
                kAsGarden = 0x10008, kAsReceipts = 0x1000A;
const ULONGLONG kSmsInboxSample = 0x20002, kSmsSent = 0x20004;
const ULONGLONG kLunch = 0x11001, kNewsletter = 0x11002, kCompost = 0x1100A, kReceipt = 0x11005;

using sampletest::Folder;
using sampletest::WebISFolder;

struct Heard {
  char what;  // 'c' changed, 'a' added, 'd' deleted
  std::wstring oldSubject, newSubject;
  bool blank;  // a rebuild: both null or the same blank item
  DWORD thread;
};

class CRecordingListener : public IEmailListListener {
 public:
  void OnEmailChanged(EMAIL_ITEM* oldItem, EMAIL_ITEM* newItem) override {
    heard.push_back({'c', oldItem ? oldItem->subject.GetString() : L"", newItem ? newItem->subject.GetString() : L"",
                     oldItem == newItem, GetCurrentThreadId()});
  }
  void OnEmailAdded(EMAIL_ITEM* item) override {
    heard.push_back({'a', L"", item->subject.GetString(), false, GetCurrentThreadId()});
  }
  void OnEmailDeleted(EMAIL_ITEM* item, int flag) override {
    EXPECT_EQ(1, flag);
    EXPECT_GT(item->GetRefCount(), 0);
    heard.push_back({'d', item->subject.GetString(), L"", false, GetCurrentThreadId()});
  }
  std::string Kinds() const {
    std::string out;
    for (const Heard& h : heard) out += h.what;
    return out;
  }
  std::vector<Heard> heard;
};

// The panel's part: the owner window hands each posted record to the list.
class COwnerWindow {
 public:
  explicit COwnerWindow(CEmailsList& list) : list_(list) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"EmailsListTestOwner";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~COwnerWindow() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  int records = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<COwnerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == RegisterWindowMessageW(CEmailsList::kChangedMessage)) {
      CPanelRecord* record = TakePanelRecord(lParam);
      if (record) {
        ++self->records;
        self->list_.OnNotify(wParam, *record);
        delete record;
      }
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  CEmailsList& list_;
  HWND hwnd_ = nullptr;
};

// A Palm message store reader with two messages, one of them without a record id.
class CFakePalm : public IPalmMsgSource {
 public:
  BOOL IsAvailable() override { return available; }
  void Start(HWND, IPalmStoreListener* l) override { listener = l; }
  void Stop() override { listener = nullptr; }
  DWORD OpenFolder(IMsgStore*, int number) override {
    openedFolder = number;
    return 77;
  }
  BOOL GetFirst(DWORD folder, EMAIL_ITEM* item) override {
    firstFolder = folder;
    next_ = 0;
    return GetNext(item);
  }
  BOOL GetNext(EMAIL_ITEM* item) override {
    const DWORD ids[] = {5, 0, 6};
    if (next_ >= 3) return FALSE;
    item->FillFromText(L"Palm.class.SMS", ids[next_], nullptr, L"+4670", L"+4671", L"Palm text", L"", 46000);
    item->webisId = ids[next_];
    item->flags = next_ == 2 ? MSGFLAG_READ : 0;
    ++next_;
    return TRUE;
  }
  BOOL available = TRUE;
  int openedFolder = 0;
  DWORD firstFolder = 0;
  IPalmStoreListener* listener = nullptr;

 private:
  int next_ = 0;
};

// WebIS Mail with one account "Web" whose folder 1 holds two messages.
class CFakeWebIS : public IWebISMailSource {
 public:
  BOOL LoadAccounts(HWND, IWebISMailListener* l) override {
    listener = l;
    return TRUE;
  }
  void CloseAccounts() override { listener = nullptr; }
  BOOL GetFirstMessage(LPCWSTR account, int folder, EMAIL_ITEM* item) override {
    next_ = lstrcmpW(account, L"Web") == 0 && folder == 1 ? 0 : 2;
    return GetNextMessage(item);
  }
  BOOL GetNextMessage(EMAIL_ITEM* item) override {
    if (next_ >= 2) return FALSE;
    item->CopyFrom(EMAIL_ITEM());
    Make(item, 100 + next_, 1, next_ == 1);
    ++next_;
    return TRUE;
  }
  static void Make(EMAIL_ITEM* item, DWORD id, DWORD folder, bool read) {
    item->FillFromText(L"IPM.Note", id, nullptr, L"me@example.com", L"you@example.com",
                       (L"Web " + std::to_wstring(id)).c_str(), L"", 46000);
    item->sourceKind = kSourceWebIS;
    item->webisId = id;
    item->folderNumber = folder;
    item->flags = read ? MSGFLAG_READ : 0;
  }
  IStream* GetMessageSource(LPCWSTR, DWORD) override { return nullptr; }
  DWORD GetBuild() const override { return 0; }
  BOOL HasTakenOverMailProgram() override { return FALSE; }
  IWebISMailListener* listener = nullptr;

 private:
  int next_ = 0;
};

class EmailsListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.Loaded());
    ASSERT_TRUE(machine_.Redirected());
    sampletest::RegisterSampleServices(machine_);
    ASSERT_TRUE(sampletest::InstallSampleStores());
    list_.SetOtherSources(&palm_, &webis_);
    palm_.available = FALSE;
    list_.Init(owner_.hwnd());
    list_.AddListener(&listener_);
  }
  void TearDown() override {
    list_.RemoveListener(&listener_);
    list_.Done();
  }
  int Add(ULONGLONG folder, const wchar_t* name = L"f") { return list_.FindOrAddStore(Folder(folder, name)); }
  std::vector<std::wstring> Subjects(int account) {
    std::vector<std::wstring> out;
    EMAIL_ITEM* item = nullptr;
    for (BOOL more = list_.GetFirstItem(account, &item); more; more = list_.GetNextItem(account, &item))
      out.push_back(item->subject.GetString());
    return out;
  }
  int CountUnread(int account) {
    int unread = 0;
    EMAIL_ITEM* item = nullptr;
    for (BOOL more = list_.GetFirstItem(account, &item); more; more = list_.GetNextItem(account, &item))
      unread += item->IsRead() ? 0 : 1;
    return unread;
  }
  EMAIL_ITEM* Find(int account, const wchar_t* subject) {
    EMAIL_ITEM* item = nullptr;
    for (BOOL more = list_.GetFirstItem(account, &item); more; more = list_.GetNextItem(account, &item))
      if (item->subject.Compare(subject) == 0) return item;
    return nullptr;
  }
  // One notification handled as the messaging library would give it on the owner thread.
  void Notify(ULONG event, ULONG objType, const std::string& id, const std::string& parent,
              const std::string& oldId = "", const std::string& oldParent = "") {
    NOTIFICATION n = {};
    n.ulEventType = event;
    auto set = [](const std::string& s, ULONG& cb, LPENTRYID& p) {
      cb = static_cast<ULONG>(s.size());
      p = s.empty() ? nullptr : reinterpret_cast<LPENTRYID>(const_cast<char*>(s.data()));
    };
    if (event == fnevNewMail) {
      set(id, n.info.newmail.cbEntryID, n.info.newmail.lpEntryID);
      set(parent, n.info.newmail.cbParentID, n.info.newmail.lpParentID);
    } else {
      n.info.obj.ulObjType = objType;
      set(id, n.info.obj.cbEntryID, n.info.obj.lpEntryID);
      set(parent, n.info.obj.cbParentID, n.info.obj.lpParentID);
      set(oldId, n.info.obj.cbOldID, n.info.obj.lpOldID);
      set(oldParent, n.info.obj.cbOldParentID, n.info.obj.lpOldParentID);
    }
    list_.OnNotify(1, &n);
  }

  CResourceLibraryScope resources_;
  CLocalMachineSandbox machine_{L"EmailsListTest"};
  CEmailsList list_;
  COwnerWindow owner_{list_};
  CFakePalm palm_;
  CFakeWebIS webis_;
  CRecordingListener listener_;
};

TEST_F(EmailsListTest, SampleStoresLoadAsTheFilterNamesThem) {
  EMAIL_ACCOUNT filter;
  filter.name = L"All";
  filter.folders.Add(Folder(kAsInbox, L"inbox"));
  filter.folders.Add(Folder(kSmsInboxSample, L"Text inbox"));
  filter.folders.Add(Folder(kAsReceipts, L"Receipts"));
  filter.folders.Add(Folder(0x999999, L"Gone"));  // no such folder: left out
  filter.folders.Add(Folder(kSmsSent, L"sent texts"));
  CAccountIterator iterator(list_);
  iterator.SetFilter(filter);
  std::vector<std::wstring> names;
  std::vector<int> indexes;
  CString name;
  int index = -1;
  for (BOOL more = iterator.GetFirst(name, index); more; more = iterator.GetNext(name, index)) {
    names.push_back(name.GetString());
    indexes.push_back(index);
  }
  // Sorted by folder name without regard to case.
  EXPECT_EQ((std::vector<std::wstring>{L"inbox", L"Receipts", L"sent texts", L"Text inbox"}), names);
  ASSERT_EQ(4, list_.GetAccountCount());
  EXPECT_EQ((std::vector<int>{0, 2, 3, 1}), indexes);

  struct Expect {
    const wchar_t *name, *display, *service;
    int count, unread;
  };
  const Expect expected[] = {{L"ActiveSync", L"Outlook E-mail", L"ActiveSync", 4, 3},
                             {L"SMS", L"Text Messages", L"SMS", 3, 2},
                             {L"ActiveSync", L"Outlook E-mail", L"ActiveSync", 1, 0},
                             {L"SMS", L"Text Messages", L"SMS", 1, 0}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const EMAIL_STORE* account = list_.GetAccount(i);
    EXPECT_STREQ(expected[i].name, list_.GetAccountName(i));
    EXPECT_STREQ(expected[i].display, account->displayName);
    EXPECT_STREQ(expected[i].service, account->service);
    EXPECT_EQ(static_cast<DWORD>(kStoreMapiFolder), list_.GetAccountKind(i));
    EXPECT_EQ(expected[i].count, list_.GetItemCount(i));
    EXPECT_EQ(expected[i].unread, list_.GetUnreadCount(i));
    EXPECT_EQ(Entry(MAPI_FOLDER, i % 2 ? 0x20005 : 0x10005),
              std::string(reinterpret_cast<char*>(account->deletedId.GetData()), account->deletedId.GetSize()));
    EXPECT_EQ(Entry(MAPI_STORE, i % 2 ? 0x20000 : 0x10000),
              std::string(reinterpret_cast<char*>(account->storeId.GetData()), account->storeId.GetSize()));
  }
  // Each message as the rows show it, its recipient read from the message.
  EMAIL_ITEM* lunch = Find(0, L"Lunch on Friday?");
  ASSERT_TRUE(lunch);
  EXPECT_TRUE(lunch->recipientPending);
  EXPECT_TRUE(lunch->recipientText.IsEmpty());
  list_.EnsureRecipient(lunch);
  EXPECT_FALSE(lunch->recipientPending);
  EXPECT_STREQ(L"Sam Okafor <sam@example.com>", lunch->recipientText);
  EXPECT_STREQ(L"Sam Okafor", lunch->recipientName);
  EXPECT_STREQ(L"ActiveSync", lunch->accountName);
  EXPECT_EQ(Entry(MAPI_STORE, 0x10000), std::string(reinterpret_cast<char*>(lunch->storeId.GetData()), 32));
  EXPECT_EQ(Entry(MAPI_FOLDER, kAsInbox), std::string(reinterpret_cast<char*>(lunch->parentId.GetData()), 32));
  EMAIL_ITEM* onMyWay = Find(3, L"On my way");
  ASSERT_TRUE(onMyWay);
  list_.EnsureRecipient(onMyWay);
  EXPECT_STREQ(L"Jonas Berg <+46709876543>", onMyWay->recipientText);
  EXPECT_TRUE(onMyWay->IsPhoneMessage());
  EXPECT_TRUE(Find(1, L"Picture message")->IsMms());

  // The same folder again is the same account; kinds by name from the last.
  EXPECT_EQ(0, Add(kAsInbox));
  EXPECT_EQ(static_cast<DWORD>(kStoreMapiFolder), list_.GetAccountKindByName(L"SMS"));
  EXPECT_EQ(0u, list_.GetAccountKindByName(L"sms"));
  EXPECT_EQ(0u, list_.GetAccountKindByName(L""));
  EXPECT_EQ(0u, list_.GetAccountKindByName(nullptr));
}

TEST_F(EmailsListTest, IndexesOutsideTheAccountsGiveEmptyAnswers) {
  ASSERT_EQ(0, Add(kAsInbox));
  EMAIL_ITEM* item = nullptr;
  ASSERT_TRUE(list_.GetFirstItem(0, &item));
  ASSERT_TRUE(list_.GetNextItem(0, &item));
  for (int index : {1, -1, 1000}) {
    SCOPED_TRACE(index);
    EXPECT_TRUE(list_.GetAccountName(index).IsEmpty());
    EXPECT_EQ(0u, list_.GetAccountKind(index));
    EXPECT_EQ(0, list_.GetItemCount(index));
    EXPECT_EQ(0, list_.GetUnreadCount(index));
    EXPECT_FALSE(list_.GetFirstItem(index, &item));
    EXPECT_FALSE(list_.GetNextItem(index, &item));
    EXPECT_EQ(-1, list_.FindItem(index, 32, reinterpret_cast<const BYTE*>(Entry(MAPI_MESSAGE, kLunch).data())));
  }
  // The valid account's cursor was not touched by the others.
  int rest = 0;
  while (list_.GetNextItem(0, &item)) ++rest;
  EXPECT_EQ(2, rest);
  EXPECT_EQ(0, list_.UpdateStore(5));
}

TEST_F(EmailsListTest, FoldersThatMakeNoAccount) {
  struct Case {
    const char* name;
    std::string id;
    bool removeService;
  };
  const Case cases[] = {
      {"a message, not a folder", Entry(MAPI_MESSAGE, kLunch), false},
      {"a store, not a folder", Entry(MAPI_STORE, 0x10000), false},
      {"no such folder", Entry(MAPI_FOLDER, 0x777777), false},
      {"bytes of no entry id", std::string("\x01\x02\x03", 3), false},
      {"the store's transport not installed", Entry(MAPI_FOLDER, kAsInbox), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.removeService) machine_.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\ActiveSync").Delete();
    CTaggedBlob blob;
    blob.SetData(c.id.data(), static_cast<DWORD>(c.id.size()));
    EXPECT_EQ(-1, list_.FindOrAddStore(blob));
    EXPECT_EQ(0, list_.GetAccountCount());
  }
}

TEST_F(EmailsListTest, TheParentWalkEndsOnTheStoreFromAnyDepth) {
  // Garden lies under Projects under the root: three steps up to the store.
  ASSERT_EQ(0, Add(kAsGarden));
  const EMAIL_STORE* account = list_.GetAccount(0);
  EXPECT_STREQ(L"ActiveSync", account->name);
  EXPECT_EQ(Entry(MAPI_STORE, 0x10000),
            std::string(reinterpret_cast<char*>(account->storeId.GetData()), account->storeId.GetSize()));
  EXPECT_EQ((std::vector<std::wstring>{L"Compost delivery"}), Subjects(0));
  // A folder without messages is an account with none.
  ASSERT_EQ(1, Add(kAsProjects));
  EXPECT_EQ(0, list_.GetItemCount(1));
}

TEST_F(EmailsListTest, AStoreWhoseMessagesLackPropertiesGivesWhatIsThere) {
  ASSERT_TRUE(InstallStore(L"Bare.mst", R"(store 0000000000030000
  PR_DISPLAY_NAME_W = "Bare"
folder 0000000000030001
  PR_DISPLAY_NAME_W = "Bare"
folder 0000000000030002 parent 0000000000030001 role inbox
  PR_DISPLAY_NAME_W = "Inbox"
message 0000000000031001 folder 0000000000030002
message 0000000000031002 folder 0000000000030002
  PR_SUBJECT_W = "Only a subject"
  PR_LAST_MODIFICATION_TIME = 2026-03-16 09:05:00
recipient
  PR_RECIPIENT_TYPE = 1
  PR_EMAIL_ADDRESS_W = "nameless@example.com"
)"));
  // No transport: the display name stands for it, and "Bare" is no installed service.
  ASSERT_EQ(-1, Add(0x30002));
  machine_.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\Bare").WriteString(L"Name", L"Bare");
  ASSERT_EQ(0, Add(0x30002));
  EXPECT_STREQ(L"Bare", list_.GetAccount(0)->service);
  ASSERT_EQ(2, list_.GetItemCount(0));
  EXPECT_EQ(2, list_.GetUnreadCount(0));
  EMAIL_ITEM* bare = Find(0, L"[no subject]");
  ASSERT_TRUE(bare);
  EXPECT_STREQ(L"#Error reading", bare->body);
  EXPECT_DOUBLE_EQ(kNoDate, bare->time);
  EXPECT_EQ(-1, bare->priority);
  EXPECT_TRUE(bare->senderAddress.IsEmpty());
  EMAIL_ITEM* subject = Find(0, L"Only a subject");
  ASSERT_TRUE(subject);
  EXPECT_NE(kNoDate, subject->time);
  // A recipient without a display name is passed over.
  list_.EnsureRecipient(subject);
  EXPECT_TRUE(subject->recipientText.IsEmpty());
  EXPECT_FALSE(subject->recipientPending);
}

// Recipient tables as other programs leave them: copies before the primary recipient,
// address types the rows do not show, names equal to the address, no recipient.
TEST_F(EmailsListTest, PrimaryRecipients) {
  ASSERT_TRUE(InstallStore(L"People.mst", R"(store 0000000000040000
  PR_DISPLAY_NAME_W = "People"
folder 0000000000040001
folder 0000000000040002 parent 0000000000040001 role inbox
message 0000000000041001 folder 0000000000040002
recipient
  PR_RECIPIENT_TYPE = 2
  PR_DISPLAY_NAME_W = "Cid"
  PR_ADDRTYPE_W = "SMTP"
  PR_EMAIL_ADDRESS_W = "cid@example.com"
recipient
  PR_RECIPIENT_TYPE = 1
  PR_DISPLAY_NAME_W = "Sales team"
  PR_ADDRTYPE_W = "EX"
  PR_EMAIL_ADDRESS_W = "/o=corp/cn=sales"
recipient
  PR_RECIPIENT_TYPE = 1
  PR_DISPLAY_NAME_W = "Bob"
  PR_ADDRTYPE_W = "smtp"
  PR_EMAIL_ADDRESS_W = "bob@example.com"
message 0000000000041002 folder 0000000000040002
recipient
  PR_RECIPIENT_TYPE = 1
  PR_DISPLAY_NAME_W = "First group"
  PR_ADDRTYPE_W = "EX"
  PR_EMAIL_ADDRESS_W = "/cn=first"
recipient
  PR_RECIPIENT_TYPE = 1
  PR_DISPLAY_NAME_W = "Second group"
  PR_ADDRTYPE_W = "X400"
  PR_EMAIL_ADDRESS_W = "/cn=second"
message 0000000000041003 folder 0000000000040002
recipient
  PR_RECIPIENT_TYPE = 1
  PR_DISPLAY_NAME_W = "ann@example.com"
  PR_ADDRTYPE_W = "SMTP"
  PR_EMAIL_ADDRESS_W = "ann@example.com"
message 0000000000041004 folder 0000000000040002
recipient
  PR_RECIPIENT_TYPE = 1
  PR_DISPLAY_NAME_W = ""
  PR_ADDRTYPE_W = "SMS"
  PR_EMAIL_ADDRESS_W = "+4670111"
message 0000000000041005 folder 0000000000040002
recipient
  PR_RECIPIENT_TYPE = 3
  PR_DISPLAY_NAME_W = "Hidden"
  PR_ADDRTYPE_W = "SMTP"
  PR_EMAIL_ADDRESS_W = "hidden@example.com"
)"));
  struct Case {
    ULONGLONG message;
    BOOL found;
    const wchar_t *name, *text, *type;
  };
  const Case cases[] = {
      {0x41001, TRUE, L"Bob", L"Bob <bob@example.com>", L"smtp"},
      {0x41002, TRUE, L"First group", L"/cn=first", L"X400"},
      {0x41003, TRUE, L"ann@example.com", L"ann@example.com", L"SMTP"},
      {0x41004, TRUE, L"+4670111", L"+4670111", L"SMS"},
      {0x41005, FALSE, L"", L"", L""},
      {0x49999, FALSE, L"", L"", L""},  // no such message
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    CBlobObj id;
    const std::string entry = Entry(MAPI_MESSAGE, c.message);
    id.Assign(entry.data(), static_cast<DWORD>(entry.size()));
    CString name, text, type;
    EXPECT_EQ(c.found, list_.GetMapiRecipient(id, name, text, type));
    EXPECT_STREQ(c.name, name);
    EXPECT_STREQ(c.text, text);
    EXPECT_STREQ(c.type, type);
  }
}

TEST_F(EmailsListTest, OnlyUnreadEmptiesAndRebuildsWithUnreadMessages) {
  ASSERT_EQ(0, Add(kAsInbox));
  ASSERT_EQ(1, Add(kSmsInboxSample));
  list_.SetOnlyUnread(TRUE);
  EXPECT_EQ(0, list_.GetAccountCount());
  ASSERT_EQ(0, Add(kAsInbox));
  ASSERT_EQ(1, Add(kSmsInboxSample));
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(list_.GetItemCount(i), list_.GetUnreadCount(i));
    EXPECT_EQ(list_.GetItemCount(i), CountUnread(i));
  }
  EXPECT_EQ(3, list_.GetItemCount(0));
  EXPECT_EQ(2, list_.GetItemCount(1));
  // The same mode again changes nothing.
  list_.SetOnlyUnread(TRUE);
  EXPECT_EQ(2, list_.GetAccountCount());
}

TEST_F(EmailsListTest, TextMessagesBecomeThePalmStoreOnlyWhenItIsThere) {
  ASSERT_EQ(0, Add(kSmsInboxSample));
  EXPECT_EQ(static_cast<DWORD>(kStoreMapiFolder), list_.GetAccountKind(0));
  list_.ClearStores(0);
  palm_.available = TRUE;
  ASSERT_EQ(0, Add(kSmsInboxSample));
  ASSERT_EQ(1, Add(kAsInbox));  // not "SMS": stays a messaging folder
  EXPECT_EQ(static_cast<DWORD>(kStorePalm), list_.GetAccountKind(0));
  EXPECT_EQ(static_cast<DWORD>(kStoreMapiFolder), list_.GetAccountKind(1));
  EXPECT_EQ(1, palm_.openedFolder);  // the inbox is the first of the five
  EXPECT_EQ(2, list_.GetItemCount(0));  // the message without a record id is not kept
  EXPECT_EQ(1, list_.GetUnreadCount(0));
  EXPECT_EQ(77u, list_.GetAccount(0)->palmFolder);
  EXPECT_EQ(77u, palm_.firstFolder);  // each reading names its folder
  // The reader's reset drops the Palm accounts and asks for a rebuild.
  palm_.listener->OnStoreReset();
  EXPECT_EQ(1, list_.GetAccountCount());
  EXPECT_STREQ(L"ActiveSync", list_.GetAccountName(0));
  ASSERT_EQ(1u, listener_.heard.size());
  EXPECT_EQ('c', listener_.heard[0].what);
  EXPECT_TRUE(listener_.heard[0].blank);
}

// Changes made by other processes reach the list on the owner's thread: the library's
// relay thread only posts copies to the owner window.
bool RunTool(const std::wstring& args) {
  std::wstring command = L"\"" + BinFile(L"cemapitool.exe") + L"\" " + args;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code == 0;
}

TEST_F(EmailsListTest, ChangesByAnotherProcessUpdateTheList) {
  ASSERT_EQ(0, Add(kAsInbox));
  ASSERT_EQ(1, Add(kAsDeleted));
  ASSERT_EQ(4, list_.GetItemCount(0));
  ASSERT_EQ(3, list_.GetUnreadCount(0));
  const DWORD owner = GetCurrentThreadId();

  // Delivered: new mail and created, one message listed once.
  const std::wstring text = cedbtest::HostFile(L"delivered.txt");
  ASSERT_TRUE(WriteFileBytes(text, "message 0000000000011F01 folder 0000000000010002\r\n"
                                   "  PR_SUBJECT_W = \"Fresh news\"\r\n"
                                   "  PR_MESSAGE_CLASS_W = \"IPM.Note\"\r\n"));
  ASSERT_TRUE(RunTool(L"deliver ActiveSync.mst \"" + text + L"\""));
  ASSERT_TRUE(PumpUntil([&] { return listener_.Kinds().size() >= 2; }));
  PumpUntil([] { return false; }, 300);  // nothing more comes
  EXPECT_EQ("ac", listener_.Kinds());
  EXPECT_EQ(5, list_.GetItemCount(0));
  EXPECT_EQ(4, list_.GetUnreadCount(0));
  EXPECT_TRUE(Find(0, L"Fresh news"));

  // Marked read.
  listener_.heard.clear();
  ASSERT_EQ(0u, RunChild(L"mark-read", L"11001"));
  ASSERT_TRUE(PumpUntil([&] { return !listener_.heard.empty(); }));
  EXPECT_EQ("c", listener_.Kinds());
  EXPECT_EQ(L"Lunch on Friday?", listener_.heard[0].newSubject);
  EXPECT_TRUE(Find(0, L"Lunch on Friday?")->IsRead());
  // A message read again by entry id has its recipient at once.
  EXPECT_FALSE(Find(0, L"Lunch on Friday?")->recipientPending);
  EXPECT_STREQ(L"Sam Okafor <sam@example.com>", Find(0, L"Lunch on Friday?")->recipientText);
  EXPECT_EQ(3, list_.GetUnreadCount(0));

  // Moved to the deleted items, which another account shows.
  listener_.heard.clear();
  ASSERT_EQ(0u, RunChild(L"move", L"11003"));
  ASSERT_TRUE(PumpUntil([&] { return listener_.heard.size() >= 2; }));
  EXPECT_EQ("da", listener_.Kinds());
  EXPECT_FALSE(Find(0, L"Photos from the weekend"));
  EXPECT_TRUE(Find(1, L"Photos from the weekend"));
  EXPECT_EQ(2, list_.GetUnreadCount(0));
  EXPECT_EQ(1, list_.GetUnreadCount(1));

  // Deleted.
  listener_.heard.clear();
  ASSERT_EQ(0u, RunChild(L"delete", L"11F01"));
  ASSERT_TRUE(PumpUntil([&] { return !listener_.heard.empty(); }));
  EXPECT_EQ("d", listener_.Kinds());
  EXPECT_FALSE(Find(0, L"Fresh news"));
  EXPECT_EQ(3, list_.GetItemCount(0));
  EXPECT_EQ(1, list_.GetUnreadCount(0));
  EXPECT_EQ(1, CountUnread(0));

  for (const Heard& h : listener_.heard) EXPECT_EQ(owner, h.thread);
  EXPECT_GT(owner_.records, 0);
}

TEST_F(EmailsListTest, NotificationsOnAnotherThreadArePostedNotApplied) {
  ASSERT_EQ(0, Add(kAsInbox));
  const std::string id = Entry(MAPI_MESSAGE, kLunch), parent = Entry(MAPI_FOLDER, kAsInbox);
  struct Args {
    CEmailsList* list;
    NOTIFICATION n[2];
  } args = {&list_, {}};
  args.n[0].ulEventType = fnevObjectModified;
  args.n[0].info.obj.ulObjType = MAPI_MESSAGE;
  args.n[0].info.obj.cbEntryID = 32;
  args.n[0].info.obj.lpEntryID = reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data()));
  args.n[0].info.obj.cbParentID = 32;
  args.n[0].info.obj.lpParentID = reinterpret_cast<LPENTRYID>(const_cast<char*>(parent.data()));
  args.n[1].ulEventType = fnevCriticalError;  // not handled: never posted
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](void* p) -> DWORD {
        auto* a = static_cast<Args*>(p);
        return a->list->OnNotify(2, a->n);
      },
      &args, 0, nullptr);
  ASSERT_TRUE(thread);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  // The caller's buffers go; the copy is what the owner handles.
  args.n[0].info.obj.lpEntryID = nullptr;
  EXPECT_TRUE(listener_.heard.empty());
  ASSERT_TRUE(PumpUntil([&] { return !listener_.heard.empty(); }));
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(1, owner_.records);
  EXPECT_EQ("c", listener_.Kinds());

  // Before Init (and after Done) nobody owns the list: nothing is applied or posted.
  list_.Done();
  listener_.heard.clear();
  list_.OnNotify(2, args.n);
  EXPECT_TRUE(listener_.heard.empty());
}

// Every rule of the event table, on the owner thread. Inbox and Receipts are shown;
// Sent and Drafts are not.
TEST_F(EmailsListTest, EventTable) {
  struct Case {
    const char* name;
    ULONG event, objType;
    ULONGLONG id, parent, oldId, oldParent;
    const char* heard;
    int inboxCount, receiptsCount;
  };
  const ULONGLONG none = 0;
  const ULONGLONG kGhost = 0x11FFF;  // a message no store holds
  const Case cases[] = {
      {"new mail in a shown folder", fnevNewMail, 0, kCompost, kAsInbox, none, none, "a", 5, 1},
      {"new mail in a folder no account shows", fnevNewMail, 0, kCompost, kAsSent, none, none, "", 4, 1},
      {"new mail that will not open", fnevNewMail, 0, kGhost, kAsInbox, none, none, "", 4, 1},
      {"created in a shown folder", fnevObjectCreated, MAPI_MESSAGE, kCompost, kAsInbox, none, none, "a", 5, 1},
      {"created again: brought up to date", fnevObjectCreated, MAPI_MESSAGE, kLunch, kAsInbox, none, none, "c", 4,
       1},
      {"deleted and held", fnevObjectDeleted, MAPI_MESSAGE, kLunch, kAsInbox, none, none, "d", 3, 1},
      {"deleted, not held", fnevObjectDeleted, MAPI_MESSAGE, kCompost, kAsInbox, none, none, "", 4, 1},
      {"modified and held", fnevObjectModified, MAPI_MESSAGE, kLunch, kAsInbox, none, none, "c", 4, 1},
      {"modified, not held: added", fnevObjectModified, MAPI_MESSAGE, kCompost, kAsInbox, none, none, "a", 5, 1},
      {"modified, folder not shown", fnevObjectModified, MAPI_MESSAGE, kCompost, kAsSent, none, none, "", 4, 1},
      {"modified, gone meanwhile", fnevObjectModified, MAPI_MESSAGE, kLunch, kAsInbox, none, none, "c", 4, 1},
      {"moved between shown folders", fnevObjectMoved, MAPI_MESSAGE, kLunch, kAsReceipts, kLunch, kAsInbox, "da",
       3, 2},
      {"moved out of sight", fnevObjectMoved, MAPI_MESSAGE, kLunch, kAsSent, kLunch, kAsInbox, "d", 3, 1},
      {"moved into sight", fnevObjectMoved, MAPI_MESSAGE, kCompost, kAsInbox, kCompost, kAsSent, "a", 5, 1},
      {"moved, both held", fnevObjectMoved, MAPI_MESSAGE, kReceipt, kAsReceipts, kLunch, kAsInbox, "dc", 3, 1},
      {"moved between hidden folders", fnevObjectMoved, MAPI_MESSAGE, kCompost, kAsSent, kCompost, kAsGarden, "",
       4, 1},
      {"copied between shown folders", fnevObjectCopied, MAPI_MESSAGE, kCompost, kAsReceipts, kLunch, kAsInbox,
       "a", 4, 2},
      {"copied out of sight", fnevObjectCopied, MAPI_MESSAGE, kCompost, kAsSent, kLunch, kAsInbox, "", 4, 1},
      {"copied, both held", fnevObjectCopied, MAPI_MESSAGE, kReceipt, kAsReceipts, kLunch, kAsInbox, "c", 4, 1},
      {"store modified: rebuild", fnevObjectModified, MAPI_STORE, 0x10000, none, none, none, "c", 4, 1},
      {"store moved: nothing", fnevObjectMoved, MAPI_STORE, 0x10000, none, none, none, "", 4, 1},
      {"folder modified: nothing", fnevObjectModified, MAPI_FOLDER, kAsInbox, kAsProjects, none, none, "", 4, 1},
      {"critical error: nothing", fnevCriticalError, MAPI_MESSAGE, kLunch, kAsInbox, none, none, "", 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list_.ClearStores(0);
    ASSERT_TRUE(sampletest::InstallSampleStores());
    if (std::string(c.name) == "modified, gone meanwhile") {
      ASSERT_EQ(0, Add(kAsInbox));
      ASSERT_EQ(1, Add(kAsReceipts));
      ASSERT_EQ(0u, RunChild(L"delete", L"11001"));
    } else {
      ASSERT_EQ(0, Add(kAsInbox));
      ASSERT_EQ(1, Add(kAsReceipts));
    }
    listener_.heard.clear();
    auto entry = [](ULONG kind, ULONGLONG id) { return id ? Entry(kind, id) : std::string(); };
    const ULONG kind = c.objType == MAPI_STORE ? MAPI_STORE : c.objType == MAPI_FOLDER ? MAPI_FOLDER : MAPI_MESSAGE;
    Notify(c.event, c.objType, entry(kind, c.id), entry(MAPI_FOLDER, c.parent), entry(MAPI_MESSAGE, c.oldId),
           entry(MAPI_FOLDER, c.oldParent));
    if (std::string(c.name) == "modified, gone meanwhile") {
      EXPECT_EQ("d", listener_.Kinds());
      EXPECT_EQ(3, list_.GetItemCount(0));
      continue;
    }
    EXPECT_EQ(c.heard, listener_.Kinds());
    EXPECT_EQ(c.inboxCount, list_.GetItemCount(0));
    EXPECT_EQ(c.receiptsCount, list_.GetItemCount(1));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(CountUnread(i), list_.GetUnreadCount(i));
    if (c.objType == MAPI_STORE && !listener_.heard.empty()) {
      EXPECT_TRUE(listener_.heard[0].blank);
    }
  }
}

TEST_F(EmailsListTest, ABatchAppliesWhatMatchesAndPassesOverTheRest) {
  ASSERT_EQ(0, Add(kAsInbox));
  const std::string lunch = Entry(MAPI_MESSAGE, kLunch), compost = Entry(MAPI_MESSAGE, kCompost),
                    inbox = Entry(MAPI_FOLDER, kAsInbox), sent = Entry(MAPI_FOLDER, kAsSent);
  NOTIFICATION n[3] = {};
  auto fill = [](NOTIFICATION& x, ULONG event, const std::string& id, const std::string& parent) {
    x.ulEventType = event;
    x.info.obj.ulObjType = MAPI_MESSAGE;
    x.info.obj.cbEntryID = 32;
    x.info.obj.lpEntryID = reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data()));
    x.info.obj.cbParentID = 32;
    x.info.obj.lpParentID = reinterpret_cast<LPENTRYID>(const_cast<char*>(parent.data()));
  };
  fill(n[0], fnevObjectCreated, compost, sent);  // no account shows it
  fill(n[1], fnevObjectDeleted, lunch, inbox);
  fill(n[2], fnevObjectCreated, compost, inbox);
  EXPECT_EQ(0u, list_.OnNotify(3, n));
  EXPECT_EQ("da", listener_.Kinds());
  EXPECT_EQ(0u, list_.OnNotify(0, n));
  EXPECT_EQ(0u, list_.OnNotify(3, nullptr));
}

TEST_F(EmailsListTest, AMessageTurnedReadInOnlyUnreadModeLeaves) {
  list_.SetOnlyUnread(TRUE);
  ASSERT_EQ(0, Add(kAsInbox));
  ASSERT_EQ(3, list_.GetUnreadCount(0));
  CeMapiTestSetSynchronousNotify(TRUE);
  {
    CSessionHolder session;
    IMessage* m = Open<IMessage>(session.get(), Entry(MAPI_MESSAGE, kLunch));
    ASSERT_TRUE(m);
    SPropValue v = {};
    v.ulPropTag = PR_MESSAGE_FLAGS;
    v.Value.l = MSGFLAG_READ;
    EXPECT_EQ(S_OK, m->SetProps(1, &v, nullptr));
    m->Release();
  }
  CeMapiTestSetSynchronousNotify(FALSE);
  EXPECT_EQ("d", listener_.Kinds());
  EXPECT_EQ(2, list_.GetItemCount(0));
  EXPECT_EQ(2, list_.GetUnreadCount(0));
  // Delivered read: not kept either.
  listener_.heard.clear();
  Notify(fnevNewMail, 0, Entry(MAPI_MESSAGE, kNewsletter), Entry(MAPI_FOLDER, kAsInbox));
  EXPECT_EQ("", listener_.Kinds());
}

TEST_F(EmailsListTest, WebISMailAccountsAndTheirChanges) {
  const int web1 = list_.FindOrAddStore(WebISFolder(1, L"Web", L"Web inbox"));
  const int web2 = list_.FindOrAddStore(WebISFolder(2, L"Web", L"Web sent"));
  ASSERT_EQ(0, web1);
  ASSERT_EQ(1, web2);
  EXPECT_EQ(0, list_.FindOrAddStore(WebISFolder(1, L"Web", L"again")));
  EXPECT_EQ(static_cast<DWORD>(kStoreWebIS), list_.GetAccountKind(0));
  EXPECT_STREQ(L"FlexMail", list_.GetAccount(0)->service);
  EXPECT_EQ(2, list_.GetItemCount(0));
  EXPECT_EQ(1, list_.GetUnreadCount(0));
  EXPECT_EQ(0, list_.GetItemCount(1));
  ASSERT_TRUE(webis_.listener);

  struct Step {
    const char* name;
    char op;  // a added, c changed, d deleted
    DWORD id, folder;
    bool read;
    const char* heard;
    int count1, count2, unread1;
  };
  const Step steps[] = {
      {"added", 'a', 102, 1, false, "a", 3, 0, 2},
      {"added to a folder no account shows", 'a', 103, 7, false, "", 3, 0, 2},
      {"added again: replaced", 'a', 102, 1, true, "c", 3, 0, 1},
      {"changed in place", 'c', 100, 1, true, "c", 3, 0, 0},
      {"changed into the other account", 'c', 100, 2, false, "c", 2, 1, 0},
      {"changed into a folder no account shows", 'c', 101, 9, false, "d", 1, 1, 0},
      {"changed, unknown: added", 'c', 104, 1, false, "a", 2, 1, 1},
      {"deleted", 'd', 104, 0, false, "d", 1, 1, 0},
      {"deleted, unknown", 'd', 999, 0, false, "", 1, 1, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    listener_.heard.clear();
    EMAIL_ITEM data;
    CFakeWebIS::Make(&data, s.id, s.folder, s.read);
    if (s.op == 'a') webis_.listener->OnItemAdded(L"Web", s.id, data);
    if (s.op == 'c') webis_.listener->OnItemChanged(L"Web", s.id, data);
    if (s.op == 'd') webis_.listener->OnItemDeleted(L"Web", s.id);
    EXPECT_EQ(s.heard, listener_.Kinds());
    EXPECT_EQ(s.count1, list_.GetItemCount(0));
    EXPECT_EQ(s.count2, list_.GetItemCount(1));
    EXPECT_EQ(s.unread1, list_.GetUnreadCount(0));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(CountUnread(i), list_.GetUnreadCount(i));
  }
  // Only-unread: a change to read removes it.
  list_.SetOnlyUnread(TRUE);
  ASSERT_EQ(0, list_.FindOrAddStore(WebISFolder(1, L"Web", L"Web inbox")));
  ASSERT_EQ(1, list_.GetItemCount(0));
  listener_.heard.clear();
  EMAIL_ITEM data;
  CFakeWebIS::Make(&data, 100, 1, true);
  webis_.listener->OnItemChanged(L"Web", 100, data);
  EXPECT_EQ("d", listener_.Kinds());
  EXPECT_EQ(0, list_.GetItemCount(0));
}

// Notifications as a damaged store or another library might give them: any event,
// object type and identifier bytes. The list stays consistent and never faults.
TEST_F(EmailsListTest, FuzzedNotificationsNeverFault) {
  ASSERT_EQ(0, Add(kAsInbox));
  ASSERT_EQ(1, Add(kAsReceipts));
  ASSERT_EQ(2, Add(kSmsInboxSample));
  std::mt19937 random(0x4E4F5449);
  std::vector<std::string> ids = {Entry(MAPI_MESSAGE, kLunch), Entry(MAPI_MESSAGE, kCompost),
                                  Entry(MAPI_MESSAGE, kReceipt), Entry(MAPI_FOLDER, kAsInbox),
                                  Entry(MAPI_FOLDER, kAsReceipts), Entry(MAPI_FOLDER, kSmsInboxSample),
                                  Entry(MAPI_STORE, 0x10000), "", std::string(1, '\0'), std::string(300, 'x')};
  const ULONG events[] = {fnevNewMail, fnevObjectCreated, fnevObjectDeleted, fnevObjectModified, fnevObjectMoved,
                          fnevObjectCopied, fnevCriticalError, 0xFFFFFFFF, 0};
  for (int round = 0; round < 2000; ++round) {
    SCOPED_TRACE(round);
    std::string picked[4];
    for (std::string& p : picked) {
      p = ids[random() % ids.size()];
      if (!p.empty() && random() % 4 == 0) p[random() % p.size()] = static_cast<char>(random());
    }
    NOTIFICATION n = {};
    n.ulEventType = random() % 5 == 0 ? random() : events[random() % ARRAYSIZE(events)];
    n.info.obj.ulObjType = random() % 7;
    auto set = [&](const std::string& s, ULONG& cb, LPENTRYID& p) {
      cb = static_cast<ULONG>(s.size());
      p = s.empty() && random() % 2 ? nullptr : reinterpret_cast<LPENTRYID>(const_cast<char*>(s.data()));
      if (!p) cb = random() % 2 ? 0 : cb;
    };
    if (n.ulEventType == fnevNewMail) {
      set(picked[0], n.info.newmail.cbEntryID, n.info.newmail.lpEntryID);
      set(picked[1], n.info.newmail.cbParentID, n.info.newmail.lpParentID);
    } else {
      set(picked[0], n.info.obj.cbEntryID, n.info.obj.lpEntryID);
      set(picked[1], n.info.obj.cbParentID, n.info.obj.lpParentID);
      set(picked[2], n.info.obj.cbOldID, n.info.obj.lpOldID);
      set(picked[3], n.info.obj.cbOldParentID, n.info.obj.lpOldParentID);
    }
    // Half of them by way of the copy the foreign thread would post.
    if (random() % 2) {
      CEmailChangeRecord copy(n);
      list_.OnNotify(1, copy);
    } else {
      list_.OnNotify(1, &n);
    }
    for (int i = 0; i < list_.GetAccountCount(); ++i) ASSERT_EQ(CountUnread(i), list_.GetUnreadCount(i));
  }
}

}  // namespace

// Child jobs: what another program of the device does to the sample stores.
bool cedbtest::RunChildJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  const ULONGLONG message = wcstoull(arg.c_str(), nullptr, 16);
  CSessionHolder session;
  *exitCode = 1;
  if (job == L"mark-read") {
    IMessage* m = Open<IMessage>(session.get(), Entry(MAPI_MESSAGE, message));
    if (!m) return true;
    SPropValue v = {};
    v.ulPropTag = PR_MESSAGE_FLAGS;
    v.Value.l = MSGFLAG_READ;
    *exitCode = SUCCEEDED(m->SetProps(1, &v, nullptr)) ? 0 : 1;
    m->Release();
  } else if (job == L"move" || job == L"delete") {
    IMAPIFolder* inbox = Open<IMAPIFolder>(session.get(), Entry(MAPI_FOLDER, kAsInbox));
    IMAPIFolder* deleted = Open<IMAPIFolder>(session.get(), Entry(MAPI_FOLDER, kAsDeleted));
    std::string id = Entry(MAPI_MESSAGE, message);
    SBinary bin = Bin(id);
    ENTRYLIST list = {1, &bin};
    if (inbox && deleted)
      *exitCode = (job == L"move" ? inbox->CopyMessages(&list, nullptr, deleted, 0, nullptr, MESSAGE_MOVE)
                                  : inbox->DeleteMessages(&list, 0, nullptr, 0)) == S_OK
                      ? 0
                      : 1;
    if (inbox) inbox->Release();
    if (deleted) deleted->Release();
  } else {
    return false;
  }
  return true;
}
