// The list tabs' context menu and common commands: what a new item takes from the row
// the menu was opened on, which requests reach the item-operations program, the rows'
// own menus, folding and its stored state, and the rows' events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/tests/DateSamples.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/GroupElement.h"
#include "controls/ListPickerWnd.h"
#include "controls/PopupMenuTracker.h"
#include "controls/tests/MenuAnswer.h"
#include "panel/DateGroupHeader.h"
#include "panel/FoldingState.h"
#include "panel/GroupHeaderRow.h"
#include "panel/ListPanelView.h"
#include "panel/ListTabServices.h"
#include "panel/PanelClock.h"
#include "panel/RecordRow.h"
#include "panel/TextGroupHeader.h"
#include "panel/tests/ListTabHost.h"
#include "panel/tests/PanelTestSupport.h"
#include "base/InstallPath.h"
#include "pim/OndrelClient.h"
#include "pim/tests/UserSandbox.h"
#include "platform/aygshell/AygTest.h"

namespace {

double Day(int year, int month, int day) {
  double date = 0;
  SystemTimeToVariantDate(Time(year, month, day), &date);
  return date;
}

const double kToday = Day(2026, 12, 9);
double g_now = 0;
double FixedNow() { return g_now; }

// The item-operations program's window, in this process: requests arrive by copy and
// are read as the program reads them; posted commands wait for Pump.
class FakeOndrelWindow {
 public:
  struct Request {
    ULONG_PTR code;
    ONDREL_REQUEST record;
  };
  FakeOndrelWindow() {
    m_openApp = RegisterWindowMessageW(L"QelTarvo_OpenApp");
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = ONDREL_WINDOW_CLASS;
    RegisterClassW(&wc);
    window = CreateWindowExW(0, ONDREL_WINDOW_CLASS, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                             nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~FakeOndrelWindow() {
    DestroyWindow(window);
    UnregisterClassW(ONDREL_WINDOW_CLASS, GetModuleHandleW(nullptr));
  }
  FakeOndrelWindow(const FakeOndrelWindow&) = delete;
  FakeOndrelWindow& operator=(const FakeOndrelWindow&) = delete;
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  HWND window;
  std::vector<Request> requests;
  std::vector<WPARAM> openApps;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FakeOndrelWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_COPYDATA) {
      auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      Request request = {copy->dwData, {}};
      if (ReadOndrelRequest(copy, &request.record)) self->requests.push_back(request);
      return 1;
    }
    if (self && message == self->m_openApp) {
      self->openApps.push_back(wParam);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  UINT m_openApp;
};

class FakeServices : public IListTabServices {
 public:
  explicit FakeServices(int entries = 41) : m_entries(entries) { m_previous = SetListTabServices(this); }
  ~FakeServices() { SetListTabServices(m_previous); }
  DWORD GetTaskEntryOption(int index) override { return index >= 0 && index < m_entries ? 0x5000 + index : 0; }
  int GetAccountCount() override { return 2; }
  void GetAccountName(CString& out, int index) override { out = index == 0 ? L"Home mail" : L"Work mail"; }
  void OpenAccount(LPCWSTR account) override { calls.push_back(L"open " + std::wstring(account)); }
  void NewMessage(LPCWSTR account) override { calls.push_back(L"new " + std::wstring(account)); }
  void SendReceive(LPCWSTR account) override { calls.push_back(L"send " + std::wstring(account)); }
  void RunPellam() override { calls.push_back(L"pellam"); }
  void ShowAppointmentNote(HWND, const RECT& rect, CListItem* row) override {
    noteRects.push_back(rect);
    noteRows.push_back(row);
  }
  std::vector<std::wstring> calls;
  std::vector<RECT> noteRects;
  std::vector<CListItem*> noteRows;

 private:
  int m_entries;
  IListTabServices* m_previous;
};

// A row of a record: fills its own menu and takes one command of its own.
class RecordRow : public CPimListItem, public IRecordRow {
 public:
  RecordRow(IListItemOwner* owner, int kind, UINT takes = 0) : CPimListItem(owner), m_kind(kind), m_takes(takes) {}
  int GetKind() override { return m_kind; }
  int Layout() override { return 20; }
  void Draw(CTextRunList*, const POINT*) override {}
  void BuildMenu(HMENU menu) override {
    AppendMenuW(menu, MF_STRING, LIST_CMD_OPEN, L"Open");
    AppendMenuW(menu, MF_STRING, LIST_CMD_DELETE, L"Delete");
  }
  BOOL OnCommand(UINT command) override {
    commands.push_back(command);
    return command == m_takes;
  }
  BOOL GetCategoryRecord(DWORD* objectId, CString& text, CBitSet& set) override {
    *objectId = 77;
    text = L"Dentist";
    set.Set(3);
    return TRUE;
  }
  std::vector<UINT> commands;

 private:
  int m_kind;
  UINT m_takes;
};

// A header of another tab's kind (due date, day) with the value or day it was made with.
class OtherHeader : public CListGroupHeader {
 public:
  OtherHeader(IListItemOwner* owner, LPCWSTR title, int kind, int value, double day = 0)
      : CListGroupHeader(owner, title, kind, value), m_day(day) {}
  double GetDay() override { return m_day; }

 private:
  double m_day;
};

class CommandTab : public CListPanelView {
 public:
  explicit CommandTab(int id = 2, CVirtualDropDown* filter = nullptr) : m_id(id), m_filter(filter) {}
  // A failed assertion leaves the loop early: the host must not keep a dead tab.
  ~CommandTab() override {
    if (GetParent()) GetParent()->RemoveChild(this);
    delete m_filter;
  }
  int GetTabId() override { return m_id; }
  CVirtualDropDown* CreateFilterMenu() override {
    CVirtualDropDown* filter = m_filter;
    m_filter = nullptr;
    return filter;
  }
  BOOL OpenItem(CListItem* row, BOOL edit) override { return Note(edit ? "edit" : "open", row); }
  BOOL DeleteItem(CListItem* row) override { return Note("delete", row); }
  void NewItem() override { Note("new", GetContextRow()); }
  std::vector<std::string> calls;
  std::vector<CListItem*> rows;

 private:
  BOOL Note(const char* call, CListItem* row) {
    calls.push_back(call);
    rows.push_back(row);
    // The row the menu was opened on is the one the command gets.
    EXPECT_EQ(row, GetContextRow());
    return TRUE;
  }
  int m_id;
  CVirtualDropDown* m_filter;
};

CVirtualDropDown* AccountSelector(int selected) {
  auto* selector = new CVirtualDropDown();
  // The account's index in the e-mail list is the command less one.
  selector->AddItem(CMenuEntry(1, L"Home mail"));
  selector->AddItem(CMenuEntry(2, L"Work mail"));
  selector->AddItem(CMenuEntry(3, L"All accounts"));
  selector->SetSelection(selected, FALSE);
  return selector;
}

// Answers every menu with one command, noting also the tab's context row while it is up.
struct MenuAnswer : CMenuAnswer {
  explicit MenuAnswer(int command, CListPanelView* tab = nullptr) : CMenuAnswer(command) {
    if (tab) whileShown = [this, tab] { contextRow = tab->GetContextRow(); };
  }
  // The entries that open a submenu.
  std::vector<const MenuEntry*> Submenus() const {
    std::vector<const MenuEntry*> found;
    for (const MenuEntry& entry : items)
      if (!entry.sub.empty()) found.push_back(&entry);
    return found;
  }
  CListItem* contextRow = nullptr;
};

class ListCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previousNow = SetPanelNow(&FixedNow);
    g_now = kToday + (14 * 60 + 20) / 1440.0;  // 14:20
  }
  void TearDown() override { SetPanelNow(m_previousNow); }
  // A tab on the host with the list; returns the list.
  CContainerElement* Place(CommandTab& tab) {
    auto* list = new CContainerElement(&tab);
    tab.SetContentList(list);
    host.Add(tab);
    return list;
  }
  void Run(CommandTab& tab, CListItem* row, int command) {
    MenuAnswer answer(command);
    POINT at = {10, 10};
    tab.TrackMenu(reinterpret_cast<LPARAM>(row), &at);
    ondrel.Pump();
  }

  CLocalMachineSandbox machine{L"ListCommands"};
  CResourceLibraryScope resources;
  FakeOndrelWindow ondrel;
  ListTabHost host;
  PFN_PANEL_NOW m_previousNow = nullptr;
};

}  // namespace

TEST_F(ListCommandsTest, NewItemsTakeTheirValuesFromTheContextRow) {
  struct Case {
    const char* what;
    int kind;  // of the context row; 0: none
    int value;
    double day;
    int command;
    ULONG_PTR code;  // of the request
    double date1;
    DWORD option;
  };
  const ULONG_PTR newTask = OndrelRequestCode(ONDREL_KIND_TASK, ONDREL_ACTION_NEW);
  const ULONG_PTR newAppointment = OndrelRequestCode(ONDREL_KIND_APPOINTMENT, ONDREL_ACTION_NEW);
  const Case cases[] = {
      {"appointment on today's header at 14:20: 15:00", 557, 0, kToday, 1041, newAppointment, kToday + 15 / 24.0, 0},
      {"appointment on another day: its noon", 557, 0, kToday + 3, 1041, newAppointment, kToday + 3.5, 0},
      {"appointment off the rows: no start", 0, 0, 0, 1041, newAppointment, 0, 0},
      {"appointment on a due group: no start", 553, 1, 0, 1041, newAppointment, 0, 0},
      {"task in the due-today group", 553, 1, 0, 1040, newTask, kToday, 0},
      {"task in the due-tomorrow group", 553, 2, 0, 1040, newTask, kToday + 1, 0},
      {"task in the this-week group: no date", 553, 3, 0, 1040, newTask, 0, 0},
      {"task on a day header", 557, 0, kToday + 3, 1040, newTask, kToday + 3, 0},
      {"task on a day header without a day", 557, 0, kNoDate, 1040, newTask, 0, 0},
      {"task of entry 40", 0, 0, 0, 1540, newTask, 0, 0x5000 + 40},
      {"task of an entry the list does not have", 0, 0, 0, 1599, newTask, 0, 0},
      {"task of the first entry", 553, 2, 0, 1500, newTask, kToday + 1, 0x5000},
  };
  FakeServices services;
  for (const Case& c : cases) {
    CommandTab tab;
    CContainerElement* list = Place(tab);
    CListItem* row = nullptr;
    if (c.kind) {
      row = new OtherHeader(list, L"Group", c.kind, c.value, c.day);
      list->AddChild(row);
    }
    ondrel.requests.clear();
    Run(tab, row, c.command);
    ASSERT_EQ(ondrel.requests.size(), 1u) << c.what;
    const FakeOndrelWindow::Request& request = ondrel.requests[0];
    EXPECT_EQ(request.code, c.code) << c.what;
    EXPECT_NEAR(request.record.date1, c.date1, 1e-9) << c.what;
    EXPECT_EQ(request.record.date2, 0.0) << c.what;
    EXPECT_EQ(request.record.objectId, c.option) << c.what;
    EXPECT_EQ(tab.GetContextRow(), nullptr) << "only while the menu runs";
    host.root.RemoveChild(&tab);
  }
}

TEST_F(ListCommandsTest, ANewContactTakesTheTextOfItsGroup) {
  struct Case {
    const wchar_t* text;  // null: no row
    const wchar_t* second;
  };
  const Case cases[] = {{L"Acme, Inc.", L"Acme, Inc."}, {L"", L""}, {nullptr, L""}};
  for (const Case& c : cases) {
    CommandTab tab(3);
    CContainerElement* list = Place(tab);
    CListItem* row = nullptr;
    if (c.text) {
      row = new CTextGroupHeader(list, c.text);
      list->AddChild(row);
    }
    ondrel.requests.clear();
    Run(tab, row, LIST_CMD_NEW_CONTACT);
    ASSERT_EQ(ondrel.requests.size(), 1u);
    EXPECT_EQ(ondrel.requests[0].code, OndrelRequestCode(ONDREL_KIND_CONTACT, ONDREL_ACTION_NEW));
    EXPECT_EQ(std::wstring(ondrel.requests[0].record.text2), c.second);
    host.root.RemoveChild(&tab);
  }
}

// What would be started, heard beside the services' calls.
std::vector<std::wstring>* g_heard = nullptr;
BOOL HearLaunch(SHELLEXECUTEINFOW* info) {
  if (g_heard)
    g_heard->push_back(L"run " + std::wstring(info->lpFile ? info->lpFile : L"") + L" " +
                       (info->lpParameters ? info->lpParameters : L""));
  return TRUE;
}

TEST_F(ListCommandsTest, CommandsReachTheTabTheProgramAndTheLists) {
  FakeServices services;
  CUserSandbox user(L"ListCommandsPhatPad");
  ASSERT_TRUE(user.Redirected());
  CRegistryView(HKEY_CURRENT_USER, L"Software\\PhatWare\\PhatPad").WriteString(L"InstPath", L"\\Pad");
  g_heard = &services.calls;
  const PFN_PROGRAM_LAUNCHER previousLauncher = SetProgramLauncher(HearLaunch);
  struct Case {
    int command;
    bool onHeader;    // the context row is the account header, else the item row
    const char* tab;  // what the tab heard; "" nothing
    WPARAM openApp;   // posted to the program; 0xFFFF: nothing
    const wchar_t* service;
  };
  const WPARAM none = 0xFFFF;
  const Case cases[] = {
      {LIST_CMD_OPEN, false, "open", none, L""},
      {LIST_CMD_EDIT, false, "edit", none, L""},
      {LIST_CMD_DELETE, false, "delete", none, L""},
      {LIST_CMD_NEW, false, "new", none, L""},
      {LIST_CMD_CALENDAR_VIEW, false, "", 0x10000, L""},
      {LIST_CMD_CALENDAR_VIEW_2, false, "", 0x10000, L""},
      {LIST_CMD_CONTACTS_VIEW, false, "", 0x20000, L""},
      {LIST_CMD_TASKS_VIEW, false, "", 0, L""},
      {LIST_CMD_NOTES_PROGRAM, false, "", 0x40000, L""},
      {LIST_CMD_PHATNOTES, false, "", 0x60000, L""},
      {LIST_CMD_POCKET_WORD, false, "", 0x50000, L""},
      {LIST_CMD_POCKET_EXCEL, false, "", 0x90000, L""},
      {LIST_CMD_PELLAM, false, "", none, L"pellam"},
      {LIST_CMD_PHATPAD, false, "", none, L"run \\Pad\\PhatPad.exe "},
      {LIST_CMD_NEW_PHATPAD, false, "", none, L"run \\Pad\\PhatPad.exe -new"},
      // The account: the filter selector's choice less one, or the header's own.
      {LIST_CMD_OPEN_ACCOUNT, false, "", none, L"open Work mail"},
      {LIST_CMD_NEW_MESSAGE, false, "", none, L"new Work mail"},
      {LIST_CMD_SEND_RECEIVE, true, "", none, L"send Outlook account"},
      {LIST_CMD_NEW_MESSAGE, true, "", none, L"new Outlook account"},
  };
  for (const Case& c : cases) {
    CommandTab tab(5, AccountSelector(2));
    CContainerElement* list = Place(tab);
    auto* header = new CGroupHeaderRow(list, L"Inbox", L"Outlook account", 1);
    list->AddChild(header);
    // The item row declines every command, so the tab's table runs.
    auto* item = new RecordRow(header, ITEM_KIND_TASK);
    header->AddChild(item);
    ondrel.openApps.clear();
    services.calls.clear();
    Run(tab, c.onHeader ? static_cast<CListItem*>(header) : item, c.command);
    const std::string heard = tab.calls.empty() ? "" : tab.calls.back();
    EXPECT_EQ(heard, c.tab) << c.command;
    if (!tab.rows.empty() && tab.calls.back() != "new") {
      EXPECT_EQ(tab.rows.back(), item) << c.command;
    }
    if (c.openApp == none) {
      EXPECT_TRUE(ondrel.openApps.empty()) << c.command;
    } else {
      ASSERT_EQ(ondrel.openApps.size(), 1u) << c.command;
      EXPECT_EQ(ondrel.openApps[0], c.openApp) << c.command;
    }
    EXPECT_EQ(services.calls.empty() ? L"" : services.calls.back(), std::wstring(c.service)) << c.command;
    host.root.RemoveChild(&tab);
  }  SetProgramLauncher(previousLauncher);
  g_heard = nullptr;
}

TEST_F(ListCommandsTest, WithoutTheListsTheirCommandsDoNothing) {
  CommandTab tab(5, AccountSelector(2));
  Place(tab);
  for (int command : {LIST_CMD_PELLAM, LIST_CMD_OPEN_ACCOUNT, LIST_CMD_NEW_MESSAGE, LIST_CMD_SEND_RECEIVE})
    Run(tab, nullptr, command);
  ondrel.requests.clear();
  Run(tab, nullptr, 1540);
  ASSERT_EQ(ondrel.requests.size(), 1u);
  EXPECT_EQ(ondrel.requests[0].record.objectId, 0u) << "no tasks list: option 0";
  host.root.RemoveChild(&tab);
}

TEST_F(ListCommandsTest, ARowsMenuTakesItsOwnCommandsFirst) {
  CommandTab tab;
  CContainerElement* list = Place(tab);
  auto* row = new RecordRow(list, ITEM_KIND_TASK, LIST_CMD_OPEN);
  list->AddChild(row);
  {
    MenuAnswer answer(LIST_CMD_OPEN, &tab);
    POINT at = {10, 30};
    tab.TrackMenu(reinterpret_cast<LPARAM>(row), &at);
    EXPECT_EQ(MenuIds(answer.items), (std::vector<int>{LIST_CMD_OPEN, LIST_CMD_DELETE})) << "the row's own menu";
    EXPECT_EQ(answer.flags & TPM_RETURNCMD, static_cast<UINT>(TPM_RETURNCMD));
    EXPECT_EQ(answer.contextRow, row);
  }
  EXPECT_EQ(row->commands, std::vector<UINT>{LIST_CMD_OPEN});
  EXPECT_TRUE(tab.calls.empty()) << "the row took it";
  Run(tab, row, LIST_CMD_DELETE);
  EXPECT_EQ(tab.calls, std::vector<std::string>{"delete"}) << "declined by the row: the tab's";
  EXPECT_EQ(tab.rows.back(), row);
  EXPECT_EQ(tab.GetContextRow(), nullptr);
  host.root.RemoveChild(&tab);
}

TEST_F(ListCommandsTest, TheTabsMenuOffersTheFilterWhileTheHeaderIsHidden) {
  struct Case {
    DWORD headerState;  // "HeaderMinimized"
    bool filterMenu;
  };
  const Case cases[] = {{0, false}, {1, false}, {2, true}};
  for (const Case& c : cases) {
    CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY).SetDWORD(L"HeaderMinimized", c.headerState);
    CommandTab tab(5, AccountSelector(1));
    Place(tab);
    MenuAnswer answer(3, &tab);
    POINT at = {10, 30};
    tab.TrackMenu(0, &at);
    ASSERT_FALSE(answer.items.empty());
    EXPECT_EQ(answer.items.front().id, ID_OPEN_SETTINGS) << "the common entry";
    const std::vector<const MenuEntry*> submenus = answer.Submenus();
    EXPECT_EQ(submenus.size(), c.filterMenu ? 1u : 0u) << c.headerState;
    if (c.filterMenu && !submenus.empty()) {
      EXPECT_EQ(submenus[0]->text, L"Filter");
      EXPECT_EQ(submenus[0]->sub.size(), 3u) << "the selector's items";
      EXPECT_EQ(tab.GetFilterSelector()->GetSelectedId(), 3) << "the choice reached the selector";
    } else {
      EXPECT_EQ(tab.GetFilterSelector()->GetSelectedId(), 1);
    }
    host.root.RemoveChild(&tab);
  }
}

TEST_F(ListCommandsTest, TheContextMenuIsForTheRowUnderThePoint) {
  CommandTab tab;
  CContainerElement* list = Place(tab);
  auto* first = new RecordRow(list, ITEM_KIND_TASK);
  auto* second = new RecordRow(list, ITEM_KIND_TASK);
  list->AddChild(first);
  list->AddChild(second);
  tab.Activate();
  RECT secondRect;
  POINT origin = {tab.GetContentBounds().left, tab.GetContentBounds().top};
  ASSERT_TRUE(list->GetItemRect(second, &origin, &secondRect));
  struct Case {
    POINT client;
    CListItem* row;
  };
  const Case cases[] = {{{secondRect.left + 5, secondRect.top + 2}, second},
                        {{5, tab.GetContentBounds().top - 2}, nullptr},
                        {{5, 190}, nullptr}};
  for (const Case& c : cases) {
    MenuAnswer answer(0, &tab);
    POINT screen = c.client;
    ClientToScreen(host.window, &screen);
    EXPECT_TRUE(tab.OnContextMenu(&screen));
    EXPECT_EQ(answer.contextRow, c.row) << c.client.y;
    EXPECT_EQ(tab.GetContextRow(), nullptr);
  }
  host.root.RemoveChild(&tab);
}

TEST_F(ListCommandsTest, AHeldRowOpensItsMenu) {
  CommandTab tab;
  CContainerElement* list = Place(tab);
  auto* row = new RecordRow(list, ITEM_KIND_TASK);
  list->AddChild(row);
  tab.Activate();
  RECT rect;
  POINT origin = {tab.GetContentBounds().left, tab.GetContentBounds().top};
  ASSERT_TRUE(list->GetItemRect(row, &origin, &rect));
  POINT at = {rect.left + 5, rect.top + 5};
  struct Case {
    DWORD gesture;
    int menus;
  };
  const Case cases[] = {{AYG_GESTURE_TAP, 0}, {AYG_GESTURE_HOLD, 1}};
  for (const Case& c : cases) {
    MenuAnswer answer(0, &tab);
    answer.contextRow = reinterpret_cast<CListItem*>(1);
    AygTestSetGestureMode(c.gesture);
    tab.OnLButtonDown(&at);
    tab.OnLButtonUp(&at);
    AygTestSetGestureMode(AYG_GESTURE_REAL);
    EXPECT_EQ(answer.contextRow == row, c.menus == 1) << c.gesture;
  }
  // Enter held on the current row is the keyboard's hold.
  row->SetSelected(TRUE, FALSE);
  ASSERT_EQ(list->GetCurrentItem(), row);
  MenuAnswer answer(0, &tab);
  AygTestSetGestureMode(AYG_GESTURE_HOLD);
  tab.OnKey(VK_RETURN);
  AygTestSetGestureMode(AYG_GESTURE_REAL);
  EXPECT_EQ(answer.contextRow, row);
}

TEST_F(ListCommandsTest, FoldingCommandsReachGroupsAndTheStoredState) {
  const CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  auto selector = [] {
    auto* filter = new CVirtualDropDown();
    filter->AddItem(CMenuEntry(1, L"All"));
    filter->AddItem(CMenuEntry(7, L"Work"));
    filter->SetSelection(7, FALSE);
    return filter;
  };
  struct Case {
    int tabId;
    const wchar_t* value;
  };
  // The Messages tab keeps one state whatever its selector shows.
  const Case cases[] = {{2, L"FoldingState2v7"}, {5, L"FoldingState5v0"}};
  for (const Case& c : cases) {
    CommandTab tab(c.tabId, selector());
    CContainerElement* list = Place(tab);
    auto* business = new OtherHeader(list, L"Business", 551, 2);
    auto* plain = new CGroupElement(list, L"Plain");
    auto* lastWeek = new CDateGroupHeader(list, -21, 0);
    auto* item = new RecordRow(list, ITEM_KIND_TASK);
    auto* container = new CContainerElement(list);
    for (CListItem* row : std::vector<CListItem*>{business, plain, lastWeek, item, container}) list->AddChild(row);
    business->AddChild(new RecordRow(business, ITEM_KIND_TASK));

    Run(tab, item, LIST_CMD_FOLD);
    EXPECT_FALSE(product.Has(c.value)) << "an item row folds nothing";
    Run(tab, nullptr, LIST_CMD_FOLD_ALL);
    EXPECT_TRUE(business->IsFolded() && plain->IsFolded() && lastWeek->IsFolded());
    std::wstring stored;
    EXPECT_TRUE(product.ReadString(c.value, stored));
    EXPECT_EQ(stored, L"-21,Business,Plain") << "date groups by their code, sorted";
    Run(tab, business, LIST_CMD_UNFOLD);
    EXPECT_FALSE(business->IsFolded());
    EXPECT_TRUE(plain->IsFolded());
    product.ReadString(c.value, stored);
    EXPECT_EQ(stored, L"-21,Plain");
    Run(tab, nullptr, LIST_CMD_UNFOLD_ALL);
    product.ReadString(c.value, stored);
    EXPECT_EQ(stored, L"");
    // A tap on a group's fold sign is stored the same way.
    lastWeek->SetState(TRUE, TRUE);
    product.ReadString(c.value, stored);
    EXPECT_EQ(stored, L"-21");
    CFoldingState state;
    tab.LoadFoldingState(state);
    EXPECT_TRUE(state.QueryNumber(-21));
    host.root.RemoveChild(&tab);
  }
}

TEST_F(ListCommandsTest, RowEventsShowTheNoteOrPickTheCategories) {
  FakeServices services;
  CommandTab tab;
  CContainerElement* list = Place(tab);
  auto* appointment = new RecordRow(list, ITEM_KIND_APPOINTMENT);
  auto* task = new RecordRow(list, ITEM_KIND_TASK);
  auto* other = new RecordRow(list, 505);
  for (CListItem* row : std::vector<CListItem*>{appointment, task, other}) list->AddChild(row);
  tab.Activate();

  list->OnItemNotify(task, ROW_EVENT_SHOW_NOTE);
  EXPECT_TRUE(services.noteRows.empty()) << "only appointments show their note";
  list->OnItemNotify(appointment, ROW_EVENT_SHOW_NOTE);
  ASSERT_EQ(services.noteRows.size(), 1u);
  EXPECT_EQ(services.noteRows[0], appointment);
  RECT expected;
  POINT origin = {tab.GetContentBounds().left, tab.GetContentBounds().top};
  list->GetItemRect(appointment, &origin, &expected);
  EXPECT_TRUE(EqualRect(&services.noteRects[0], &expected)) << "the row in the panel's coordinates";

  struct Picked {
    int opened = 0;
    bool hasCategory = false;
    std::wstring title;
  } picked;
  CListPickerWnd::SetModalHook(
      [](CListPickerWnd* picker, void* context) {
        auto* seen = static_cast<Picked*>(context);
        ++seen->opened;
        seen->hasCategory = picker->GetInitialSet().Test(3) == CBitSet::IsSet;
        wchar_t title[64] = {};
        GetWindowTextW(picker->m_hWnd, title, 64);
        seen->title = title;
        PostMessageW(picker->m_hWnd, WM_CLOSE, 0, 0);
      },
      &picked);
  list->OnItemNotify(other, ROW_EVENT_EDIT_CATEGORIES);
  EXPECT_EQ(picked.opened, 0) << "a row of no record kind";
  list->OnItemNotify(task, ROW_EVENT_EDIT_CATEGORIES);
  CListPickerWnd::SetModalHook(nullptr, nullptr);
  EXPECT_EQ(picked.opened, 1);
  EXPECT_TRUE(picked.hasCategory) << "starts from the record's categories";
  ondrel.Pump();
  EXPECT_TRUE(ondrel.requests.empty()) << "nothing changed, nothing sent";
  host.root.RemoveChild(&tab);
}
