// The Calendar tab: which list changes make it refresh, its context menu read back,
// the application argument after the tasks-program entry, new appointments (through
// the new-item seam), the fold settings it stores, the day schedule's span and a tap
// on a birthday by the one-tap mode.
#include "tabs/calendar/CalendarTab.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/InstallPath.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "base/tests/DeviceRoot.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/GroupElement.h"
#include "panel/TabFilterMenu.h"
#include "panel/TabMakers.h"
#include "pim/OndrelClient.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"
#include "tabs/calendar/AppointmentItem2.h"
#include "tabs/calendar/CalendarPeriodSelector.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/SpecialEventItem.h"
#include "tabs/contacts/tests/ContactRequestsRecorder.h"
#include "tabs/tasks/TaskItem.h"

namespace {

using caltest::Variant;

struct NewItemCall {
  int kind;
  double start;
  bool hasEnd;
  double end;
};
std::vector<NewItemCall> g_newItems;
BOOL RecordNewItem(int kind, const double* start, const double* end) {
  g_newItems.push_back({kind, start ? *start : 0, end != nullptr, end ? *end : 0});
  return TRUE;
}

class CCountingTab : public CCalendarTab {
 public:
  void RequestRefresh() override { ++refreshes; }
  int refreshes = 0;
};

BOOL NoTransactionsLibrary() { return FALSE; }
// The list-tab commands reach the item-operations program; no test starts the real one.
std::vector<std::wstring> g_launched;
BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  g_launched.push_back(info->lpFile ? info->lpFile : L"");
  return FALSE;
}
void NoSleep(DWORD) {}
BOOL TransactionsLibrary() { return TRUE; }

class CalendarTabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    GetViewSettings().Load();
    previousNewItem = CCalendarTab::SetNewItemHandler(RecordNewItem);
    previousLibrary = CTabFilterMenu::SetTransactionsLibraryTest(TransactionsLibrary);
    g_newItems.clear();
    g_launched.clear();
    previousLauncher = SetProgramLauncher(RecordLaunch);
    previousSleep = COndrelClient::SetSleep(NoSleep);
    CCalendarTab::SetClock(Variant(2030, 2, 25, 14, 30));
  }
  void TearDown() override {
    SetProgramLauncher(previousLauncher);
    COndrelClient::SetSleep(previousSleep);
    CCalendarTab::SetClock(0);
    CCalendarTab::SetNewItemHandler(previousNewItem);
    CTabFilterMenu::SetTransactionsLibraryTest(previousLibrary);
  }
  CRegistryView Product() const { return machine.Key(L"\\Software\\Korvel\\Qel Tarvo"); }

  CLocalMachineSandbox machine{L"CalendarTabTest"};
  CResourceLibraryScope resources;
  CCalendarTab::PFN_NEW_ITEM previousNewItem = nullptr;
  CTabFilterMenu::LibraryTest previousLibrary = nullptr;
  PFN_PROGRAM_LAUNCHER previousLauncher = nullptr;
  COndrelClient::PFN_SLEEP previousSleep = nullptr;
};

TEST_F(CalendarTabTest, OnlyChangesTheTabShowsAskForARefresh) {
  CCountingTab tab;
  tab.LoadSettings();
  TASK_ITEM* undated = TASK_ITEM::New();
  TASK_ITEM* dated = TASK_ITEM::New();
  dated->due = Variant(2030, 3, 1);
  CONTACT_ITEM* plain = CONTACT_ITEM::Create(1);
  CONTACT_ITEM* born = CONTACT_ITEM::Create(2);
  born->m_birthday = Variant(1990, 5, 5);
  struct {
    const char* what;
    std::function<void()> change;
    int refreshes;
  } cases[] = {
      {"undated task added", [&] { tab.OnTaskAdded(undated, 1); }, 0},
      {"undated task changed", [&] { tab.OnTaskChanged(undated, undated); }, 0},
      {"dated task removed", [&] { tab.OnTaskRemoved(dated, 1); }, 1},
      {"task changed from dated to undated", [&] { tab.OnTaskChanged(undated, dated); }, 1},
      {"full task reload", [&] { tab.OnTaskChanged(nullptr, nullptr); }, 1},
      {"contact without events", [&] { tab.OnContactChanged(plain, plain); }, 0},
      {"contact without events added", [&] { tab.OnContactAdded(plain, 1); }, 0},
      {"contact with a birthday", [&] { tab.OnContactRemoved(born, 1); }, 1},
      {"full contact reload", [&] { tab.OnContactChanged(nullptr, nullptr); }, 1},
      {"appointments", [&] { tab.OnAppointmentsChanged(); }, 1},
  };
  for (auto& c : cases) {
    tab.refreshes = 0;
    c.change();
    EXPECT_EQ(tab.refreshes, c.refreshes) << c.what;
  }
  // Shown undated tasks make every task count.
  Product().WriteDWORD(L"CalendarShowUndatedTasks", 1);
  CCountingTab shows;
  shows.LoadSettings();
  shows.OnTaskAdded(undated, 1);
  EXPECT_EQ(shows.refreshes, 1);
  undated->Release();
  dated->Release();
  plain->Release();
  born->Release();
}

std::wstring Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return std::wstring(text);
}

TEST_F(CalendarTabTest, ContextMenuOffTheRowsFollowsTheShowOptions) {
  struct {
    DWORD tasks, emails;
    BOOL library;
    std::vector<int> ids;
  } cases[] = {
      {1, 1, TRUE, {1041, 1040, 0, 1021, 1020, 1029, 1030, 0, 1027}},
      {0, 0, TRUE, {1041, 0, 1021, 1029, 0, 1027}},
      {1, 0, FALSE, {1041, 1040, 0, 1021, 1020, 0, 1027}},
  };
  for (const auto& c : cases) {
    Product().WriteDWORD(L"CalendarShowTasks", c.tasks);
    Product().WriteDWORD(L"CalendarShowEmails", c.emails);
    Product().WriteDWORD(L"CalendarShowTransactions", 1);
    CTabFilterMenu::SetTransactionsLibraryTest(c.library ? TransactionsLibrary : NoTransactionsLibrary);
    CCalendarTab tab;
    tab.LoadSettings();
    HMENU menu = CreatePopupMenu();
    tab.FillContextMenu(menu, 0);
    const std::vector<MenuEntry> entries = ReadMenu(menu);
    EXPECT_EQ(MenuIds(entries), c.ids) << c.tasks << c.emails << c.library;
    EXPECT_EQ(entries[0].text, Text(112));
    DestroyMenu(menu);
  }
}

TEST_F(CalendarTabTest, TheTasksProgramEntryChangesOnlyTheNextApplicationStart) {
  CCalendarTab tab;
  tab.LoadSettings();
  CString args;
  tab.GetApplicationArgs(args);
  EXPECT_EQ(std::wstring(args), L"calendar");
  tab.OnMenuCommand(CCalendarTab::kCmdTasksProgram);
  EXPECT_TRUE(tab.AreListenersRegistered());
  // The tasks view is asked of the item-operations program, which had to be started.
  ASSERT_FALSE(g_launched.empty());
  EXPECT_NE(g_launched[0].find(L"Ondrel.exe"), std::wstring::npos);
  tab.GetApplicationArgs(args);
  EXPECT_EQ(std::wstring(args), L"tasks");
  tab.GetApplicationArgs(args);
  EXPECT_EQ(std::wstring(args), L"calendar");
}

TEST_F(CalendarTabTest, NewAppointmentsStartThisTimeTomorrowOrTakeTheChosenSpan) {
  CCalendarTab tab;
  tab.NewItem();
  SYSTEMTIME from = caltest::Date(2030, 2, 26, 9), to = caltest::Date(2030, 2, 26, 11, 30);
  tab.OnTimeSpanChosen(from, to);
  ASSERT_EQ(g_newItems.size(), 2u);
  EXPECT_EQ(g_newItems[0].kind, 1);
  EXPECT_NEAR(g_newItems[0].start, Variant(2030, 2, 26, 14, 30), 1e-6);
  EXPECT_FALSE(g_newItems[0].hasEnd);
  EXPECT_NEAR(g_newItems[1].start, Variant(2030, 2, 26, 9), 1e-6);
  ASSERT_TRUE(g_newItems[1].hasEnd);
  EXPECT_NEAR(g_newItems[1].end, Variant(2030, 2, 26, 11, 30), 1e-6);
}

TEST_F(CalendarTabTest, FoldsOfTheFixedGroupsAreStored) {
  CCalendarTab tab;
  tab.LoadSettings();
  EXPECT_TRUE(tab.GetDayList().foldOverdue);
  CGroupElement overdue(&tab, Text(73).c_str());
  CGroupElement undated(&tab, Text(179).c_str());
  tab.OnItemFolded(&overdue, FALSE);
  tab.OnItemFolded(&undated, TRUE);
  DWORD value = 7;
  ASSERT_TRUE(Product().ReadDWORD(L"CalendarFoldOverdueTasks", value));
  EXPECT_EQ(value, 0u);
  ASSERT_TRUE(Product().ReadDWORD(L"CalendarFoldUndatedTasks", value));
  EXPECT_EQ(value, 1u);
  EXPECT_FALSE(tab.GetDayList().foldOverdue);
  // Read back by the next tab.
  CCalendarTab next;
  next.LoadSettings();
  EXPECT_FALSE(next.GetDayList().foldOverdue);
}

TEST_F(CalendarTabTest, TheTabIsMadeByThePanelsMaker) {
  PFN_MAKE_TAB previous = SetTabMaker(TAB_CALENDAR, nullptr);
  CCalendarTab::Install();
  CScrollPanel* tab = MakeTab(TAB_CALENDAR, nullptr);
  ASSERT_NE(tab, nullptr);
  EXPECT_NE(dynamic_cast<CCalendarTab*>(tab), nullptr);
  EXPECT_EQ(tab->GetTabId(), 1);
  EXPECT_EQ(tab->GetTabIcon(), 147u);
  delete tab;
  SetTabMaker(TAB_CALENDAR, previous);
}

// A tab whose content is the rows a test gives it.
class CTabOfRows : public CCalendarTab {
 public:
  CAppointmentItem2* Show(CSpecialEventItem* event) {
    delete m_pContent;
    m_pContent = new CContainerElement(this);
    auto* row = new CAppointmentItem2(event, m_pContent, 0);
    m_pContent->AddChild(row);
    m_pContent->SetSize(220, 220, 0, TRUE);
    return row;
  }
};

// A tap on a birthday row: the list's own way in mode 0, the contact's card opened (1)
// or edited (2), and from 3 on the contact's popup beside the row; the popup also
// answers the row's event 1026 whatever the mode.
TEST_F(CalendarTabTest, ATapOnABirthdayFollowsTheContactsOneTapMode) {
  CStoreMode store(true);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
  pimtest::UseLayout(true);
  pimtest::ClearStores();
  {
    IPOutlookApp* app = pimtest::CreateApp();
    ASSERT_NE(app, nullptr);
    CComPtr<IDispatch> made;
    ASSERT_HRESULT_SUCCEEDED(app->CreateItem(olContactItem, &made));
    CComPtr<IContact> contact;
    ASSERT_HRESULT_SUCCEEDED(made->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact)));
    BSTR name = SysAllocString(L"Ann");
    contact->put_FirstName(name);
    SysFreeString(name);
    contact->put_Birthday(Variant(1980, 2, 25));
    ASSERT_HRESULT_SUCCEEDED(contact->Save());
    app->Release();
  }
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  CContactsList contacts;
  contacts.SetNotifyWindow(window);
  ASSERT_TRUE(contacts.Open());
  ASSERT_EQ(contacts.GetCount(), 1);
  CONTACT_ITEM* ann = contacts.GetAt(0);
  contacttest::CContactRequestsRecorder requests;
  contacts.SetRequests(&requests);
  // Whatever fails below, nothing global is left pointing here.
  struct Restore {
    IContactRequests* global = &CContactsList::GetGlobal().GetRequests();
    ~Restore() {
      CAppointmentItem2::SetContactsList(nullptr);
      CContactsList::GetGlobal().SetRequests(global);
    }
  } restore;
  CContactsList::GetGlobal().SetRequests(&requests);
  CAppointmentItem2::SetContactsList(&contacts);

  const struct {
    DWORD mode;
    int opened;  // -1 none, else the edit flag
    bool popup;
  } cases[] = {{0, -1, false}, {1, FALSE, false}, {2, TRUE, false}, {3, -1, true}, {9, -1, true}};
  for (const auto& c : cases) {
    Product().WriteDWORD(L"ContactsOneTap", c.mode);
    requests.shown.clear();
    CTabOfRows tab;
    tab.LoadSettings();
    CSpecialEventItem* event = CSpecialEventItem::Create(nullptr);
    event->Init(ann, 0, 0);
    event->m_contactOid = ann->m_itemOid;
    CAppointmentItem2* row = tab.Show(event);
    event->Release();
    EXPECT_EQ(tab.IsOneTap(row) != FALSE, c.mode == 0) << "mode " << c.mode;
    tab.OnItemReleased(row);
    ASSERT_EQ(requests.shown.size(), c.opened >= 0 ? 1u : 0u) << "mode " << c.mode;
    if (c.opened >= 0) {
      EXPECT_EQ(requests.shown[0].first, ann->m_itemOid);
      EXPECT_EQ(requests.shown[0].second, c.opened) << "mode " << c.mode;
    }
    EXPECT_EQ(tab.GetContactPopup().IsCreated() != FALSE, c.popup) << "mode " << c.mode;
    if (tab.GetContactPopup().IsCreated()) DestroyWindow(tab.GetContactPopup().m_hWnd);
    // The row's own event opens the popup in any mode.
    tab.OnItemNotify(row, CCalendarTab::kEventContactPopup);
    ASSERT_TRUE(tab.GetContactPopup().IsCreated()) << "mode " << c.mode;
    ASSERT_NE(tab.GetContactPopup().GetContact(), nullptr);
    EXPECT_EQ(tab.GetContactPopup().GetContact()->m_itemOid, ann->m_itemOid);
    DestroyWindow(tab.GetContactPopup().m_hWnd);
  }
  contacts.SetRequests(nullptr);
  contacts.Close();
  DestroyWindow(window);
  pimtest::ClearStores();
  CoUninitialize();
}

}  // namespace
