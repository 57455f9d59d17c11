// The router hands each of the panel's notifications to the one list it concerns, and
// nothing to a list it does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/ContainerElement.h"
#include "pim/OndrelClient.h"
#include "pim/PimAddins.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/join/CalendarSources.h"
#include "tabs/join/PanelDataRouter.h"
#include "tabs/join/tests/MailTestSupport.h"
#include "tabs/messages/AccountIterator.h"
#include "tabs/messages/EmailAccountHeaderItem.h"
#include "tabs/messages/MailFoldersFilters.h"
#include "tabs/messages/tests/SampleStoreSupport.h"
#include "tabs/notes/NoteFiles.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/tasks/TasksList.h"
#include "tabs/tasks/TasksListener.h"
#include "tabs/messages/tests/SampleStoreSupport.h"

namespace {

std::string g_heard;  // which lists took a record, in order

class CHeardAppointments : public CAppointmentsList {
 public:
  BOOL OnDatabaseNotify(CENOTIFICATION*, BOOL keep) override {
    g_heard += keep ? "A" : "a";
    return TRUE;
  }
};

class CHeardContacts : public CContactsList {
 public:
  BOOL OnDBNotification(CENOTIFICATION*, BOOL synthetic) override {
    g_heard += synthetic ? "C" : "c";
    return TRUE;
  }
};

// The real tasks list: a full reload tells its listeners with two nulls.
class CHeardTasks : public ITasksListener {
 public:
  void OnTaskChanged(TASK_ITEM* task, TASK_ITEM*) override { g_heard += task ? "t" : "T"; }
  void OnTaskAdded(TASK_ITEM*, int) override { g_heard += "+"; }
  void OnTaskRemoved(TASK_ITEM*, int) override { g_heard += "-"; }
};

class PanelDataRouterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_heard.clear();
    tasks_.AddListener(&tasksHeard_);
  }
  void TearDown() override { tasks_.RemoveListener(&tasksHeard_); }

  CPanelDataRouter::Lists Lists() {
    CPanelDataRouter::Lists lists;
    lists.appointments = &appointments_;
    lists.contacts = &contacts_;
    lists.tasks = &tasks_;
    lists.notes = &notes_;
    lists.email = &email_;
    return lists;
  }
  static CENOTIFICATION Reload(DWORD_PTR named) {
    CENOTIFICATION record = {};
    record.dwSize = sizeof record;
    record.uType = CTasksList::kReloadAll;
    record.dwParam = named;
    return record;
  }

  CHeardAppointments appointments_;
  CHeardContacts contacts_;
  CTasksList tasks_;
  CHeardTasks tasksHeard_;
  CNoteFiles notes_;
  CEmailsList email_;
};

TEST_F(PanelDataRouterTest, FolderKindChoosesTheList) {
  struct Case {
    int folder;
    BOOL taken;
    const char* heard;
  };
  const Case cases[] = {
      {9, TRUE, "A"}, {10, TRUE, "C"}, {13, TRUE, "T"}, {0, FALSE, ""}, {11, FALSE, ""}, {12, FALSE, ""}, {-9, FALSE, ""},
  };
  CPanelDataRouter router(Lists());
  for (const Case& c : cases) {
    g_heard.clear();
    CENOTIFICATION record = Reload(0);
    EXPECT_EQ(router.OnDbNotification(c.folder, &record, TRUE), c.taken) << c.folder;
    EXPECT_EQ(g_heard, c.heard) << c.folder;
  }
  EXPECT_FALSE(router.OnDbNotification(9, nullptr, TRUE));
}

TEST_F(PanelDataRouterTest, RecordNamingAListGoesToThatListOnly) {
  CPanelDataRouter router(Lists());
  CTasksList otherTasks;
  struct Case {
    DWORD_PTR named;
    BOOL taken;
    const char* heard;
  };
  const Case cases[] = {
      {reinterpret_cast<DWORD_PTR>(&appointments_), TRUE, "A"},
      {reinterpret_cast<DWORD_PTR>(&contacts_), TRUE, "C"},
      {reinterpret_cast<DWORD_PTR>(&tasks_), TRUE, "T"},
      // Another list of the same kind, or any other number, is not one of these.
      {reinterpret_cast<DWORD_PTR>(&otherTasks), FALSE, ""},
      {reinterpret_cast<DWORD_PTR>(&notes_), FALSE, ""},
      {0x1234, FALSE, ""},
      {0, FALSE, ""},
  };
  for (const Case& c : cases) {
    g_heard.clear();
    CENOTIFICATION record = Reload(c.named);
    EXPECT_EQ(router.OnListNotification(&record, TRUE), c.taken) << c.named;
    EXPECT_EQ(g_heard, c.heard) << c.named;
  }
  EXPECT_FALSE(router.OnListNotification(nullptr, TRUE));
}

TEST_F(PanelDataRouterTest, ZoneChangeUnsetsTheAppointmentsRange) {
  appointments_.SetRange(46000.0, 46007.0);
  CPanelDataRouter router(Lists());
  router.OnTimeZoneChanged();
  EXPECT_FALSE(appointments_.IsRangeSet());
}

// The e-mail list hears the message stores through the panel's window from its creation
// to its end: its owner window is the panel's, and it composes the contacts' messages
// only meanwhile.
TEST_F(PanelDataRouterTest, TheEmailListLivesWithThePanelWindow) {
  // The start merges the accounts into filters of this test's own.
  CLocalMachineSandbox machine{L"PanelRouterMail"};
  ASSERT_TRUE(machine.Redirected());
  CMailFoldersFilters filters;
  CPanelDataRouter::Lists lists = Lists();
  lists.mailFilters = &filters;
  CPanelDataRouter router(lists);
  HWND panel = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(panel, nullptr);
  router.OnPanelCreated(panel);
  EXPECT_EQ(GetMessageComposer(), &email_);
  EXPECT_NE(email_.GetChangedMessageId(), 0u);
  router.OnPanelDestroyed();
  EXPECT_EQ(GetMessageComposer(), nullptr);
  DestroyWindow(panel);
}

// The list tabs' account commands name the e-mail list's accounts; the tasks list has
// no parsed entries to give.
TEST_F(PanelDataRouterTest, ListTabServicesAnswerFromTheLists) {
  CLocalMachineSandbox machine(L"PanelDataRouterServices");
  ASSERT_TRUE(machine.Redirected());
  sampletest::RegisterSampleServices(machine);
  ASSERT_TRUE(sampletest::InstallSampleStores());
  CPanelDataRouter router(Lists());
  EXPECT_EQ(router.GetAccountCount(), 0);
  ASSERT_EQ(email_.FindOrAddStore(sampletest::Folder(0x10002, L"Inbox")), 0);
  EXPECT_EQ(router.GetAccountCount(), 1);
  CString name;
  router.GetAccountName(name, 0);
  EXPECT_EQ(std::wstring(name), L"ActiveSync");
  router.GetAccountName(name, 1);
  EXPECT_TRUE(name.IsEmpty());
  for (int index : {-1, 0, 100}) EXPECT_EQ(router.GetTaskEntryOption(index), 0u) << index;
  email_.Done();
}

TEST_F(PanelDataRouterTest, OnlyNoteFilesAreNoteFiles) {
  CPanelDataRouter router(Lists());
  const wchar_t* const others[] = {L"", L"\\My Documents\\picture.jpg", L"\\My Documents\\tune.mp3",
                                   L"\\Windows"};
  for (const wchar_t* path : others) EXPECT_FALSE(router.IsNoteFile(path)) << path;
  EXPECT_FALSE(router.IsNoteFile(nullptr));
}

TEST(PanelDataRouterInstall, TheLibraryRouterIsInstalledOnce) {
  IPanelDataLists* before = GetPanelDataLists();
  CPanelDataRouter::Install();
  IPanelDataLists* installed = GetPanelDataLists();
  ASSERT_NE(installed, nullptr);
  EXPECT_EQ(dynamic_cast<IListTabServices*>(installed), GetListTabServices()) << "the tabs' services too";
  EXPECT_NE(installed, before);
  CPanelDataRouter::Install();
  EXPECT_EQ(GetPanelDataLists(), installed);
  SetPanelDataLists(before);
  // The item-operations client asks the note files where a named note folder lies.
  COndrelClient::PFN_NOTE_FOLDER_LOOKUP lookup = COndrelClient::SetNoteFolderLookup(nullptr);
  ASSERT_NE(lookup, nullptr);
  CString path = L"x";
  EXPECT_FALSE(lookup(path, L"No such folder"));
  EXPECT_TRUE(path.IsEmpty());
}

// The e-mail list starts and stops with the panel; at start and on every settings reload
// the mail folder filters take the device's accounts and the list takes the only-unread
// switch. The device's two sample stores, with their inbox services.
class PanelMailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources.Loaded());
    ASSERT_TRUE(machine.Redirected());
    savedOnlyUnread = GetViewSettings().EmailsOnlyUnreaded;
    GetViewSettings().EmailsOnlyUnreaded = 0;
    email.SetOtherSources(nullptr, nullptr);
    email.SetWebISCommands(nullptr);
    sampletest::RegisterSampleServices(machine);
    ASSERT_TRUE(sampletest::InstallSampleStores());
    window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    email.Done();
    mapitest::RemoveStores();
    GetViewSettings().EmailsOnlyUnreaded = savedOnlyUnread;
    if (window) DestroyWindow(window);
  }
  CPanelDataRouter::Lists Lists() {
    CPanelDataRouter::Lists lists;
    lists.email = &email;
    lists.mailFilters = &filters;
    return lists;
  }
  std::wstring Known() const {
    std::wstring known;
    return product.ReadString(L"KnownEmailAccounts", known) ? known : L"(none)";
  }
  DWORD StoredFilters() const { return mailtest::StoredFilters(machine); }
  // Each filter as its name and stored bytes, in name order.
  std::vector<std::wstring> Filters() const {
    std::vector<std::wstring> out;
    for (int i = 0; i < filters.GetCount(); ++i) {
      std::vector<BYTE> bytes;
      CMailFoldersFilters::Encode(filters.GetAt(i), bytes);
      std::wstring text = std::wstring(filters.GetAt(i).name) + L"=";
      for (BYTE b : bytes) text += static_cast<wchar_t>(b);
      out.push_back(text);
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  // The inbox filter's accounts read into the list, as a view enumerates them.
  int ReadInboxAccounts() {
    const int inbox = filters.Find(CMailFoldersFilters::GetProtectedFilterName());
    if (inbox < 0) return -1;
    CAccountIterator accounts(email);
    accounts.SetFilter(filters.GetAt(inbox));
    CString name;
    int index = -1;
    for (BOOL more = accounts.GetFirst(name, index); more; more = accounts.GetNext(name, index)) {
    }
    return email.GetAccountCount();
  }

  CResourceLibraryScope resources;
  CLocalMachineSandbox machine{L"PanelMail"};
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  CRegistryView mailFilters = mailtest::FiltersKey(machine);
  CEmailsList email;
  CMailFoldersFilters filters;
  HWND window = nullptr;
  int savedOnlyUnread = 0;
};

TEST_F(PanelMailTest, StartMergesTheAccountsAndAReloadMergesAgain) {
  CPanelDataRouter router(Lists());
  router.OnPanelCreated(window);
  // Five standard filters and one per account, stored; both accounts known.
  EXPECT_EQ(filters.GetCount(), 7);
  EXPECT_EQ(StoredFilters(), 7u);
  EXPECT_EQ(Known(), L"ActiveSync;SMS");
  EXPECT_EQ(ReadInboxAccounts(), 2);
  EXPECT_FALSE(email.GetOnlyUnread());

  // A reload that finds the same accounts changes no filter; a known account that is
  // gone leaves the known list.
  const std::vector<std::wstring> merged = Filters();
  product.WriteString(L"KnownEmailAccounts", L"ActiveSync;Gone;SMS");
  router.OnSettingsReloaded();
  EXPECT_EQ(Filters(), merged);
  EXPECT_EQ(Known(), L"ActiveSync;SMS");

  // The options program lost the filters and switched to unread messages only: the
  // reload gives every account its folders again and the list reads them afresh.
  mailFilters.Delete();
  product.WriteDWORD(L"EmailsOnlyUnreaded", 1);
  GetViewSettings().Load();
  router.OnSettingsReloaded();
  EXPECT_TRUE(email.GetOnlyUnread());
  EXPECT_EQ(email.GetAccountCount(), 0) << "the accounts are read again";
  EXPECT_EQ(StoredFilters(), 7u);
  EXPECT_EQ(Filters(), merged);
  EXPECT_EQ(Known(), L"ActiveSync;SMS");
  ASSERT_EQ(ReadInboxAccounts(), 2);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(email.GetItemCount(i), email.GetUnreadCount(i)) << i;

  router.OnPanelDestroyed();
  EXPECT_EQ(email.GetAccountCount(), 0);
}

// The Calendar's unread mail: one row per account of the inbox filter with unread
// messages, titled by its service, with the totals of the accounts read.
TEST_F(PanelMailTest, TheCalendarGetsARowPerAccountWithUnreadMail) {
  CPanelDataRouter router(Lists());
  router.OnPanelCreated(window);
  CCalendarSources sources(&email, &filters);
  CContainerElement owner(nullptr);
  struct Case {
    const char* name;
    int onlyUnread;
    std::vector<std::wstring> titles;
    int messages, unread;
  };
  // The samples: four messages (three unread) in ActiveSync's inbox, three texts (two
  // unread) in the SMS inbox.
  const Case cases[] = {
      {"every message", 0, {L"Outlook E-mail (3)", L"Text Messages (2)"}, 7, 5},
      {"unread only", 1, {L"Outlook E-mail (3)", L"Text Messages (2)"}, 5, 5},
  };
  for (const Case& c : cases) {
    email.SetOnlyUnread(c.onlyUnread);
    std::vector<CListItem*> rows;
    int messages = -1, unread = -1;
    sources.MakeEmailRows(&owner, rows, &messages, &unread);
    std::vector<std::wstring> titles;
    for (CListItem* row : rows) {
      EXPECT_EQ(row->GetKind(), CEmailAccountHeaderItem::kKind);
      titles.push_back(std::wstring(static_cast<CEmailAccountHeaderItem*>(row)->GetTitleText()));
      delete row;
    }
    EXPECT_EQ(titles, c.titles) << c.name;
    EXPECT_EQ(messages, c.messages) << c.name;
    EXPECT_EQ(unread, c.unread) << c.name;
  }

  // Filters whose accounts were merged once (here without a session, so none) and
  // that hold no inbox filter: no rows.
  mailFilters.Delete();
  CMailFoldersFilters empty;
  empty.UpdateKnownAccounts(nullptr, TRUE);
  CCalendarSources none(&email, &empty);
  std::vector<CListItem*> rows;
  int messages = -1, unread = -1;
  none.MakeEmailRows(&owner, rows, &messages, &unread);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(messages, 0);
}

}  // namespace
