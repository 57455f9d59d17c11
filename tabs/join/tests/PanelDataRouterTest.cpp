// The router hands each of the panel's notifications to the one list it concerns, and
// nothing to a list it does not.
#include <gtest/gtest.h>

#include <string>

#include "pim/OndrelClient.h"
#include "pim/PimAddins.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/join/PanelDataRouter.h"
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
  CPanelDataRouter router(Lists());
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

}  // namespace
