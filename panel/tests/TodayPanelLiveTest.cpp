// The panel as it runs: its clock and inactivity timers, the database, file and
// e-mail notifications, the settings reload, tab activation and the routing of
// characters, taps and focus.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/CeDatabase.h"
#include "base/CeDbApi.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/tests/DeviceRoot.h"
#include "controls/LiveElements.h"
#include "panel/PanelClock.h"
#include "panel/PanelDataLists.h"
#include "panel/PanelRecord.h"
#include "panel/StandInTab.h"
#include "panel/TabMakers.h"
#include "panel/TodayPanel.h"
#include "panel/tests/PanelTestSupport.h"
#include "pim/tests/CategoryFixtures.h"
#include "platform/aygshell/AygTest.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/windowlib/Module.h"

namespace {

// The test's clocks.
double g_now = 0;
LONG g_bias = 0;
DWORD g_messageTime = 0;
double FakeNow() { return g_now; }
LONG FakeBias() { return g_bias; }
DWORD FakeMessageTime() { return g_messageTime; }

const double kMinute = 1.0 / 1440;
// 10 December 2026, 10:00, as a variant date.
const double kMorning = 46366.0 + 10.0 / 24;

// Every tab counts its refreshes, character and context-menu calls.
struct ProbeTab : CStandInTab {
  ProbeTab(int id, CVirtualWnd* owner) : CStandInTab(id, owner) { ++made; }
  void RequestRefresh() override { ++refreshes[GetTabId()]; }
  BOOL OnChar(WCHAR ch) override {
    chars[GetTabId()] += ch;
    return TRUE;
  }
  BOOL OnContextMenu(POINT*) override {
    ++menus[GetTabId()];
    return TRUE;
  }
  BOOL OnLButtonDblClk(POINT*) override {
    ++doubleTaps;
    return TRUE;
  }
  static std::map<int, int> refreshes;
  static std::map<int, std::wstring> chars;
  static std::map<int, int> menus;
  static int made;
  static int doubleTaps;
  static void Reset() {
    refreshes.clear();
    chars.clear();
    menus.clear();
    made = 0;
    doubleTaps = 0;
  }
};
std::map<int, int> ProbeTab::refreshes;
std::map<int, std::wstring> ProbeTab::chars;
std::map<int, int> ProbeTab::menus;
int ProbeTab::made = 0;
int ProbeTab::doubleTaps = 0;

template <int Id>
CScrollPanel* MakeProbe(CVirtualWnd* owner) {
  return new ProbeTab(Id, owner);
}

// What the data lists were told.
struct FakeLists : IPanelDataLists {
  BOOL OnDbNotification(int kind, CENOTIFICATION* notification, BOOL keep) override {
    kinds.push_back(kind);
    oids.push_back(notification->oid);
    kept.push_back(keep);
    return TRUE;
  }
  void OnTimeZoneChanged() override { ++zoneChanges; }
  void OnIconProviderChanged() override {}
  BOOL IsNoteFile(LPCWSTR path) override { return wcsstr(path, L".pwi") != nullptr; }
  void OnFileChange(const CFileChangeRecord& record) override {
    files.push_back(std::wstring(static_cast<LPCWSTR>(record.path)) + L"|" + std::to_wstring(record.event));
  }
  void OnEmailListChanged(WPARAM wParam, CPanelRecord&) override { mails.push_back(wParam); }
  std::vector<int> kinds;
  std::vector<CEOID> oids;
  std::vector<BOOL> kept;
  int zoneChanges = 0;
  std::vector<std::wstring> files;
  std::vector<WPARAM> mails;
};

// The panel on a Today view, every tab a probe, the clocks the test's, the data lists
// fake, the gesture query answering "no gesture" at once.
struct Fixture {
  explicit Fixture(const wchar_t* sandbox) : machine(sandbox) {
    for (int id = 1; id <= 6; ++id) previous[id - 1] = SetTabMaker(id, makers[id - 1]);
    previousNow = SetPanelNow(FakeNow);
    previousBias = SetPanelTimeZoneBias(FakeBias);
    previousTime = SetPanelMessageTime(FakeMessageTime);
    previousLists = SetPanelDataLists(&lists);
    previousResources = GetModule().SetResourceInstance(GetModuleHandleW(L"kernel32.dll"));
    AygTestSetGestureMode(AYG_GESTURE_TAP);
    g_now = kMorning;
    g_bias = -60;
    g_messageTime = 100000;
    ProbeTab::Reset();
  }
  ~Fixture() {
    panel.reset();
    if (window) DestroyWindow(window);
    AygTestSetGestureMode(AYG_GESTURE_REAL);
    GetModule().SetResourceInstance(previousResources);
    SetPanelDataLists(previousLists);
    SetPanelMessageTime(previousTime);
    SetPanelTimeZoneBias(previousBias);
    SetPanelNow(previousNow);
    for (int id = 1; id <= 6; ++id) SetTabMaker(id, previous[id - 1]);
  }
  CRegistryView Product() { return machine.Key(TARVO_PRODUCT_KEY); }
  void Start(int mode = 0) {
    window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 160, view.window, nullptr, nullptr,
                             nullptr);
    panel.reset(new CTodayPanel(mode));
    ASSERT_TRUE(panel->Attach(window));
    panel->OnCreate();
    WINDOWPOS position = {window, nullptr, 0, 0, 240, 160, 0x244};
    panel->OnWindowPosChanged(&position);
    ASSERT_GT(panel->GetTabCount(), 0);
    ProbeTab::Reset();
  }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  int IndexOf(int id) const {
    for (int i = 0; i < panel->GetTabCount(); ++i)
      if (panel->GetTab(i)->GetTabId() == id) return i;
    return -1;
  }
  int CurrentId() const { return panel->GetCurrentTab()->GetTabId(); }
  int Refreshes() const {
    int n = 0;
    for (const auto& entry : ProbeTab::refreshes) n += entry.second;
    return n;
  }

  CLocalMachineSandbox machine;
  PFN_MAKE_TAB makers[6] = {MakeProbe<1>, MakeProbe<2>, MakeProbe<3>, MakeProbe<4>, MakeProbe<5>, MakeProbe<6>};
  PFN_MAKE_TAB previous[6];
  PFN_PANEL_NOW previousNow;
  PFN_PANEL_BIAS previousBias;
  PFN_PANEL_MESSAGE_TIME previousTime;
  IPanelDataLists* previousLists;
  HINSTANCE previousResources;
  FakeLists lists;
  TodayView view;
  HWND window = nullptr;
  std::unique_ptr<CTodayPanel> panel;
};

// The clock timer: every tab refreshes once on a new day, when the next change time
// comes, when the zone or daylight saving changes and when the clock goes back; a
// plain minute changes nothing.
TEST(TodayPanelLive, ClockFollowsDaysZonesAndTheClockGoingBack) {
  struct Case {
    const char* what;
    double nextChange;  // 0: none
    double now;
    LONG bias;
    int refreshesPerTab;
    int zoneChanges;
  };
  const Case cases[] = {
      {"a minute later", 0, kMorning + kMinute, -60, 0, 0},
      {"the same minute", 0, kMorning + kMinute / 4, -60, 0, 0},
      {"crossing midnight", 0, 46367.0 + kMinute, -60, 1, 0},
      {"a change time reached", kMorning + 3 * kMinute, kMorning + 3 * kMinute, -60, 1, 0},
      {"a change time still ahead", kMorning + 3 * kMinute, kMorning + 2 * kMinute, -60, 0, 0},
      {"daylight saving within the day", 0, kMorning + kMinute, -120, 1, 1},
      {"the clock back by an hour", 0, kMorning - 1.0 / 24, -60, 1, 0},
  };
  for (const Case& c : cases) {
    Fixture f(L"panel_live_clock");
    f.Start();
    if (c.nextChange) f.panel->SetNextChangeTime(c.nextChange);
    g_now = c.now;
    g_bias = c.bias;
    SendMessageW(f.window, WM_TIMER, CTodayPanel::kClockTimer, 0);
    for (int id = 1; id <= 6; ++id) EXPECT_EQ(ProbeTab::refreshes[id], c.refreshesPerTab) << c.what << ", tab " << id;
    EXPECT_EQ(f.lists.zoneChanges, c.zoneChanges) << c.what;
    // The next tick at the same time changes nothing more.
    SendMessageW(f.window, WM_TIMER, CTodayPanel::kClockTimer, 0);
    EXPECT_EQ(f.Refreshes(), 6 * c.refreshesPerTab) << c.what << ", once only";
  }
}

// After "TimeoutTime" seconds without a tap or key the panel goes back to the tab of
// "TimeoutPanel"; broken settings are mended and written back.
TEST(TodayPanelLive, InactivityReturnsToTheConfiguredTab) {
  struct Case {
    const char* what;
    DWORD timeout;  // 0xBAD: none stored
    DWORD panel;
    DWORD hidden;  // "ShowTabs" without these bits
    double idle;   // seconds
    DWORD storedTimeout, storedPanel;
    int landsOn;  // tab id after the timer; 0: stays on Messages
  };
  const DWORD none = 0xBAD;
  const Case cases[] = {
      {"elapsed: back to the notes", 60, L'4', 0, 61, 60, L'4', 4},
      {"not yet", 60, L'4', 0, 30, 60, L'4', 0},
      {"defaults: fifteen minutes to the calendar", none, none, 0, 901, 900, L'1', 1},
      {"beyond a week: off, written back", 700000, L'4', 0, 1e6, 0, L'4', 0},
      {"a hidden tab: the first tab's character instead", 60, L'4', 4 /* notes */, 61, 60, L'1', 1},
      {"a tab no one has", 60, L'z', 0, 61, 60, L'1', 1},
  };
  for (const Case& c : cases) {
    Fixture f(L"panel_live_idle");
    SCOPED_TRACE(c.what);
    CRegistryView product = f.Product();
    if (c.timeout != none) product.WriteDWORD(L"TimeoutTime", c.timeout);
    if (c.panel != none) product.WriteDWORD(L"TimeoutPanel", c.panel);
    if (c.hidden) product.WriteDWORD(L"ShowTabs", 0xFFFFFFFF & ~c.hidden);
    product.WriteDWORD(L"last_panel", 5);
    f.Start();
    ASSERT_EQ(f.CurrentId(), 5) << c.what;
    f.panel->LoadTimeoutSettings(FALSE);
    f.panel->StartInactivityTimer(TRUE);
    g_now += c.idle / 86400;
    SendMessageW(f.window, WM_TIMER, CTodayPanel::kInactivityTimer, 0);
    f.Pump();
    // A hidden or unknown character is replaced at the first timer when it was not
    // caught at the load; give the replacement its turn.
    SendMessageW(f.window, WM_TIMER, CTodayPanel::kInactivityTimer, 0);
    f.Pump();
    EXPECT_EQ(f.CurrentId(), c.landsOn ? c.landsOn : 5) << c.what;
    EXPECT_EQ(Number(product, L"TimeoutTime"), c.storedTimeout) << c.what;
    EXPECT_EQ(Number(product, L"TimeoutPanel"), c.storedPanel) << c.what;
    EXPECT_EQ(f.panel->IsInactivityRunning() != FALSE, c.storedTimeout != 0) << c.what;
    if (c.landsOn) {
      EXPECT_EQ(Number(product, L"last_panel"), static_cast<DWORD>(c.landsOn)) << c.what << ", remembered";
    }
  }
}

// A key or tap restarts the count.
TEST(TodayPanelLive, TapsAndKeysRestartTheInactivityCount) {
  Fixture f(L"panel_live_idle_restart");
  f.Product().WriteDWORD(L"TimeoutTime", 60);
  f.Product().WriteDWORD(L"TimeoutPanel", L'4');
  f.Start();
  f.panel->SelectTab(f.IndexOf(5), FALSE);
  g_now += 50.0 / 86400;
  SendMessageW(f.window, WM_KEYDOWN, VK_F13, 0);
  g_now += 50.0 / 86400;
  SendMessageW(f.window, WM_TIMER, CTodayPanel::kInactivityTimer, 0);
  f.Pump();
  EXPECT_EQ(f.CurrentId(), 5) << "a key 50 s ago";
  SendMessageW(f.window, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  g_now += 59.0 / 86400;
  SendMessageW(f.window, WM_TIMER, CTodayPanel::kInactivityTimer, 0);
  f.Pump();
  EXPECT_EQ(f.CurrentId(), 5) << "a move 59 s ago";
  g_now += 2.0 / 86400;
  SendMessageW(f.window, WM_TIMER, CTodayPanel::kInactivityTimer, 0);
  f.Pump();
  EXPECT_EQ(f.CurrentId(), 4);
}

// The Today screen's height query is the one sure caller while a sleeping device held
// the timer back: a timeout that has run out gets the inactivity timer's message
// posted, and the panel goes back to the timeout tab once that message is handled.
TEST(TodayPanelLive, HeightQueryPostsTheInactivityTimerWhenTheTimeoutRanOut) {
  struct Case {
    const char* what;
    DWORD timeout;
    double idle;  // seconds
    bool posted;
  };
  const Case cases[] = {
      {"run out", 60, 61, true},
      {"not yet", 60, 59, false},
      {"timeout off", 0, 1e6, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f(L"panel_live_idle_query");
    f.Product().WriteDWORD(L"TimeoutTime", c.timeout);
    f.Product().WriteDWORD(L"TimeoutPanel", L'4');
    f.Product().WriteDWORD(L"last_panel", 5);
    f.Start();
    ASSERT_EQ(f.CurrentId(), 5);
    f.Pump();
    f.panel->LoadTimeoutSettings(FALSE);
    f.panel->StartInactivityTimer(TRUE);
    g_now += c.idle / 86400;
    TODAYLISTITEM item = {};
    for (TODAYLISTITEM* record : {static_cast<TODAYLISTITEM*>(nullptr), &item}) {
      SendMessageW(f.window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(record), 0);
      MSG msg;
      const BOOL queued = PeekMessageW(&msg, f.window, WM_TIMER, WM_TIMER, PM_NOREMOVE) &&
                          msg.wParam == CTodayPanel::kInactivityTimer;
      EXPECT_EQ(queued != FALSE, c.posted) << (record ? "with a record" : "without one");
      EXPECT_EQ(f.CurrentId(), 5) << "the query itself switches nothing";
      f.Pump();
      EXPECT_EQ(f.CurrentId(), c.posted ? 4 : 5);
      // Back where it was, with the count run out again for the second query.
      f.panel->SelectTab(f.IndexOf(5), FALSE);
      f.panel->StartInactivityTimer(TRUE);
      g_now += c.idle / 86400;
    }
  }
}

// The options program's "QelTarvo_UpdateSettings" reloads what it changed; lParam 1
// always builds the tabs anew.
TEST(TodayPanelLive, SettingsMessageReloads) {
  Fixture f(L"panel_live_settings");
  f.Start();
  const UINT update = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");
  CRegistryView product = f.Product();
  product.WriteDWORD(L"TimeoutTime", 120);
  product.WriteDWORD(L"TimeoutPanel", L'3');
  PostMessageW(f.window, update, 0, 0);
  f.Pump();
  EXPECT_EQ(f.panel->GetTimeout(), 120u);
  EXPECT_EQ(f.panel->GetTimeoutPanel(), L'3');
  EXPECT_EQ(ProbeTab::made, 0) << "the tabs stay";
  product.WriteDWORD(L"ShowTabs", 0xFFFFFFFF & ~8u);
  PostMessageW(f.window, update, 0, 1);
  f.Pump();
  EXPECT_EQ(ProbeTab::made, 5) << "built anew";
  EXPECT_EQ(f.panel->GetTabCount(), 5);
  EXPECT_EQ(f.IndexOf(5), -1) << "the messages tab the settings hid";
  // A setting change of the system reloads the timeout too.
  product.WriteDWORD(L"TimeoutTime", 700000);
  SendMessageW(f.window, WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(f.panel->GetTimeout(), 0u);
}

// "QelTarvoActivateTab" goes by the tab's character; an unknown one changes nothing.
TEST(TodayPanelLive, ActivateTabByCharacter) {
  Fixture f(L"panel_live_activate");
  f.Start();
  const UINT activate = RegisterWindowMessageW(L"QelTarvoActivateTab");
  CRegistryView product = f.Product();
  product.WriteDWORD(L"last_panel", 0xBAD);
  struct Case {
    WPARAM wParam;
    int current;
    DWORD remembered;
  };
  const int start = f.CurrentId();
  const Case cases[] = {
      {L'3', 3, 0xBAD},           {L'9', 3, 0xBAD},         {0x40000000u | L'4', 4, 4},
      {0x40000000u | L'x', 4, 4}, {3, 4, 4} /* a number, not a character */,
      {0x20000000u | L'2', 2, 4},
  };
  ASSERT_NE(start, 3);
  for (const Case& c : cases) {
    EXPECT_EQ(SendMessageW(f.window, activate, c.wParam, 0), 0);
    EXPECT_EQ(f.CurrentId(), c.current) << std::hex << c.wParam;
    EXPECT_EQ(Number(product, L"last_panel"), c.remembered) << std::hex << c.wParam;
  }
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, f.view.window, WM_VSCROLL, WM_VSCROLL, PM_REMOVE)) << "0x2000 scrolls to the top";
}

// A database change reaches the list that owns it and the panel repaints; records that
// are not this process's are never read.
TEST(TodayPanelLive, DatabaseChangeRepaints) {
  Fixture f(L"panel_live_db");
  f.Start();
  ShowWindow(f.view.window, SW_SHOWNA);
  auto dirty = [&] {
    RECT update;
    return GetUpdateRect(f.window, &update, FALSE) != FALSE;
  };
  // As the notification window sends it: a record of its stack, by folder kind.
  struct Case {
    CEOID folder;
    bool reaches;
  };
  const Case cases[] = {{9, true}, {10, true}, {13, true}, {12, false}, {0, false}};
  for (const Case& c : cases) {
    ValidateRect(f.window, nullptr);
    f.lists.kinds.clear();
    CENOTIFICATION record = {};
    record.dwSize = sizeof record;
    record.uType = DB_CEOID_CHANGED;
    record.oid = 77;
    record.oidParent = c.folder;
    SendMessageW(f.window, WM_DBNOTIFICATION, 1, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(f.lists.kinds.size(), c.reaches ? 1u : 0u) << c.folder;
    if (c.reaches) {
      EXPECT_EQ(f.lists.kinds[0], static_cast<int>(c.folder));
      EXPECT_TRUE(f.lists.kept[0]) << "the sender's record";
    }
    EXPECT_EQ(dirty(), c.reaches) << c.folder;
  }

  // A database opened for the panel: its change comes posted by the database layer.
  CEGUID volume;
  ASSERT_TRUE(GetCeDbApi()->FindPimVolume(&volume));
  CEDBASEINFOEX info;
  memset(&info, 0, sizeof info);
  info.wVersion = CEDBASEINFOEX_VERSION;
  info.dwFlags = CEDB_VALIDNAME;
  wcscpy(info.szDbaseName, L"PanelLiveChanges");
  const CEOID dbOid = CeCreateDatabaseEx2(&volume, &info);
  ASSERT_NE(dbOid, 0u);
  struct Sink : ICeDatabaseSink {
    void OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase*) override { types.push_back(notification->uType); }
    std::vector<UINT> types;
  } sink;
  {
    CCeDatabase database(L"PanelLiveChanges", &sink, &volume);
    ASSERT_TRUE(database.Open(f.window));
    ValidateRect(f.window, nullptr);
    CEOID oid = 0;
    HANDLE writer = GetCeDbApi()->OpenDatabase(L"PanelLiveChanges", FALSE, 0, nullptr, &oid);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    CEPROPVAL value = {};
    value.propid = (0x4001 << 16) | CEVT_I4;
    value.val.lVal = 5;
    const int paints = f.view.watermarks;
    ASSERT_NE(CeWriteRecordProps(writer, 0, 1, &value), 0u);
    CloseHandle(writer);
    EXPECT_TRUE(cedbtest::PumpUntil([&] { return !sink.types.empty() && f.view.watermarks > paints; }))
        << "the change reached its database and the panel painted again";
    EXPECT_EQ(sink.types.size(), 1u);
  }
  CeDeleteDatabaseEx(&volume, dbOid);

  // Addresses that are not a record of this process: a stack record posted, a static,
  // numbers, a freed block.
  static CENOTIFICATION staticRecord = {sizeof(CENOTIFICATION), 0, DB_CEOID_CHANGED, {}, 1, 9};
  CENOTIFICATION stackRecord = staticRecord;
  auto* freed = static_cast<CENOTIFICATION*>(LocalAlloc(LPTR, sizeof(CENOTIFICATION)));
  *freed = staticRecord;
  LocalFree(freed);
  const LPARAM foreign[] = {reinterpret_cast<LPARAM>(&stackRecord), reinterpret_cast<LPARAM>(&staticRecord),
                            static_cast<LPARAM>(0xDEADBEEF), 1, -1, reinterpret_cast<LPARAM>(freed) + 4};
  f.lists.kinds.clear();
  for (LPARAM address : foreign) PostMessageW(f.window, WM_DBNOTIFICATION, 0, address);
  f.Pump();
  EXPECT_TRUE(f.lists.kinds.empty());
  // A seeded run of any numbers, posted and sent.
  std::mt19937_64 random(0xDB30);
  for (int i = 0; i < 3000; ++i) {
    LPARAM address = static_cast<LPARAM>(random());
    if (i % 3 == 0) address &= 0xFFFFFFFF;
    if (i % 2)
      PostMessageW(f.window, WM_DBNOTIFICATION, 0, address);
    else
      SendMessageW(f.window, WM_DBNOTIFICATION, 0, address);
  }
  f.Pump();
  EXPECT_TRUE(f.lists.kinds.empty());
  EXPECT_TRUE(IsWindow(f.window));
}

// File and e-mail list changes come as records this process posted; the same address
// again, or any other number, names nothing.
// Newer store: a category another program adds after giving it to items makes those
// items read again, each through the data list of its kind; items of other categories
// and object ids of no kind are left alone.
TEST(TodayPanelLive, ANewCategoryReloadsTheItemsAlreadyGivenIt) {
  CStoreMode mode(true);
  pimtest::ClearStores();
  cattest::WriteCategory(true, L"Work", 1);
  for (DWORD item : {0x40000005u, 0x80000006u, 0xC0000007u, 0x10000008u}) cattest::WriteAssociation(item, 3);
  cattest::WriteAssociation(0xC0000009u, 1);
  Fixture f(L"panel_live_categories");
  f.Start();
  ASSERT_NE(CCategoriesList::GetCurrent(), nullptr);
  const CCategoriesList& list = *CCategoriesList::GetCurrent();
  ASSERT_EQ(list.GetCount(), 1);
  f.lists.kinds.clear();
  f.lists.oids.clear();
  f.lists.kept.clear();
  ASSERT_EQ(cedbtest::RunChild(L"category-write", L"1 3 Agenda"), 0u);
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return list.GetCount() == 2; }));
  EXPECT_EQ(f.lists.kinds, (std::vector<int>{9, 10, 13}));
  EXPECT_EQ(f.lists.oids, (std::vector<CEOID>{0x40000005u, 0x80000006u, 0xC0000007u}));
  EXPECT_EQ(f.lists.kept, (std::vector<BOOL>{TRUE, TRUE, TRUE})) << "the records are the list's own";
  f.panel.reset();
  pimtest::ClearStores();
}

TEST(TodayPanelLive, PostedRecordsAreHonouredOnce) {
  Fixture f(L"panel_live_records");
  f.Start();
  const UINT fileChange = RegisterWindowMessageW(L"QelTarvo_FileChange");
  const UINT mailChange = RegisterWindowMessageW(L"QelTarvo_EmailListChanged");
  auto* file = new CFileChangeRecord(L"\\\\My Documents\\\\Notes\\a.pwi", 2);
  const LPARAM fileAddress = reinterpret_cast<LPARAM>(file);
  ASSERT_TRUE(PostPanelRecord(f.window, fileChange, 0, file));
  ASSERT_TRUE(PostPanelRecord(f.window, mailChange, 3, new CPanelRecord()));
  f.Pump();
  EXPECT_EQ(f.lists.files, std::vector<std::wstring>{L"\\My Documents\\Notes\\a.pwi|2"});
  EXPECT_EQ(f.lists.mails, std::vector<WPARAM>{3});
  PostMessageW(f.window, fileChange, 0, fileAddress);
  PostMessageW(f.window, mailChange, 3, fileAddress);
  std::mt19937_64 random(0xF11E);
  for (int i = 0; i < 2000; ++i) PostMessageW(f.window, i % 2 ? fileChange : mailChange, i, static_cast<LPARAM>(random()));
  f.Pump();
  EXPECT_EQ(f.lists.files.size(), 1u);
  EXPECT_EQ(f.lists.mails.size(), 1u);
  EXPECT_FALSE(PostPanelRecord(nullptr, fileChange, 0, new CFileChangeRecord(L"x", 2))) << "deleted, not leaked";
}

// Characters: letters go to the contacts unless notes or contacts are current, digits
// and backspace to the current tab, other controls are dropped.
TEST(TodayPanelLive, CharactersAreRouted) {
  struct Case {
    int current;
    WCHAR ch;
    int landsOn;  // tab that gets the character; 0: none
    int currentAfter;
  };
  const Case cases[] = {
      {1, L'k', 3, 3}, {2, L'B', 3, 3}, {4, L'k', 4, 4}, {3, L'k', 3, 3},
      {1, L'7', 3, 3}, {1, 8, 3, 3},    {1, 9, 0, 1},    {1, L' ', 0, 1},
  };
  for (const Case& c : cases) {
    Fixture f(L"panel_live_chars");
    f.Start();
    SendMessageW(f.window, WM_TODAYCUSTOM_RECEIVEDSELECTION, 0, 0);
    f.panel->SelectTab(f.IndexOf(c.current), FALSE);
    EXPECT_EQ(SendMessageW(f.window, WM_CHAR, c.ch, 0), 1) << c.current << " " << c.ch;
    EXPECT_EQ(f.CurrentId(), c.currentAfter) << c.current << " " << c.ch;
    if (c.landsOn) {
      EXPECT_EQ(ProbeTab::chars[c.landsOn], std::wstring(1, c.ch)) << c.current << " " << c.ch;
    } else {
      EXPECT_TRUE(ProbeTab::chars.empty()) << c.current << " " << static_cast<int>(c.ch);
    }
    if (c.currentAfter != c.current) {
      EXPECT_EQ(Number(f.Product(), L"last_panel"), static_cast<DWORD>(c.currentAfter)) << "remembered";
    }
  }
}

// Two releases close in time and place make a double tap.
TEST(TodayPanelLive, DoubleTapsFromQuickReleases) {
  const int slop = 5 * GetScreenDpiX() / 96;
  struct Case {
    DWORD gap;
    int dx, dy;
    bool twice;
  };
  const Case cases[] = {{400, 3, 3, true},      {600, 0, 0, false},          {499, 0, 0, true},
                        {500, 0, 0, false},     {100, slop, -slop, true},    {100, slop + 1, 0, false},
                        {100, 0, -slop - 1, false}};
  for (const Case& c : cases) {
    Fixture f(L"panel_live_double");
    f.Start();
    const RECT content = f.panel->GetContentRect();
    const int x = (content.left + content.right) / 2, y = (content.top + content.bottom) / 2;
    g_messageTime = 50000;
    SendMessageW(f.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(f.window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    g_messageTime += c.gap;
    SendMessageW(f.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x + c.dx, y + c.dy));
    SendMessageW(f.window, WM_LBUTTONUP, 0, MAKELPARAM(x + c.dx, y + c.dy));
    MSG msg;
    const bool posted = PeekMessageW(&msg, f.window, WM_LBUTTONDBLCLK, WM_LBUTTONDBLCLK, PM_NOREMOVE) != FALSE;
    EXPECT_EQ(posted, c.twice) << c.gap << " ms, " << c.dx << "/" << c.dy;
    f.Pump();
    EXPECT_EQ(ProbeTab::doubleTaps, c.twice ? 1 : 0) << c.gap;
  }
}

// The keyboard's context menu opens the current tab's; a held strip cell its own.
TEST(TodayPanelLive, ContextMenusAndTheFocusAfterAPopup) {
  Fixture f(L"panel_live_menu");
  f.Start();
  SendMessageW(f.window, WM_TODAYCUSTOM_RECEIVEDSELECTION, 0, 0);
  const int current = f.CurrentId();
  SendMessageW(f.window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.window), -1);
  EXPECT_EQ(ProbeTab::menus[current], 1);
  AygTestSetGestureMode(AYG_GESTURE_HOLD);
  const int other = current == 4 ? 3 : 4;
  const RECT cell = f.panel->GetCellRect(f.IndexOf(other));
  const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  SendMessageW(f.window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(f.window, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(ProbeTab::menus[other], 1) << "held on its cell";
  EXPECT_EQ(f.CurrentId(), current) << "a held cell is not selected";
  AygTestSetGestureMode(AYG_GESTURE_TAP);

  // A popup takes the capture: the focused control gets the focus back when the
  // calendar popup says it closed.
  CScrollPanel* tab = f.panel->GetCurrentTab();
  f.panel->RequestFocus(tab);
  SendMessageW(f.window, WM_CAPTURECHANGED, 0, 0);
  EXPECT_EQ(f.panel->GetRefocusElement(), tab);
  tab->KillFocus();
  EXPECT_FALSE(tab->IsFocused());
  SendMessageW(f.window, RegisterWindowMessageW(L"QelTarvo_CalendarWndClosed"), 0, 0);
  EXPECT_TRUE(tab->IsFocused());
  // A control that went in the meantime is not followed.
  SendMessageW(f.window, WM_CAPTURECHANGED, 0, 0);
  f.panel->RebuildTabs();
  SendMessageW(f.window, RegisterWindowMessageW(L"QelTarvo_CalendarWndClosed"), 0, 0);
  EXPECT_TRUE(IsWindow(f.window));
}

int g_moves = 0;
struct MoveTab : ProbeTab {
  explicit MoveTab(CVirtualWnd* owner) : ProbeTab(1, owner) {}
  BOOL OnMouseMove(POINT*) override {
    ++g_moves;
    return TRUE;
  }
};

// Moves queued behind one handled less than 100 ms ago are dropped.
TEST(TodayPanelLive, QueuedMovesAreCoalesced) {
  Fixture f(L"panel_live_moves");
  PFN_MAKE_TAB previous = SetTabMaker(1, [](CVirtualWnd* owner) -> CScrollPanel* { return new MoveTab(owner); });
  f.Start();
  f.panel->SelectTab(f.IndexOf(1), FALSE);
  const RECT content = f.panel->GetContentRect();
  const LPARAM at = MAKELPARAM((content.left + content.right) / 2, (content.top + content.bottom) / 2);
  g_moves = 0;
  SendMessageW(f.window, WM_MOUSEMOVE, 0, at);
  PostMessageW(f.window, WM_MOUSEMOVE, 0, at);
  g_messageTime += 50;
  SendMessageW(f.window, WM_MOUSEMOVE, 0, at);
  EXPECT_EQ(g_moves, 1) << "another is queued, the last was 50 ms ago";
  g_messageTime += 100;
  SendMessageW(f.window, WM_MOUSEMOVE, 0, at);
  EXPECT_EQ(g_moves, 2);
  f.Pump();
  EXPECT_EQ(g_moves, 3) << "the last one queued is handled";
  SetTabMaker(1, previous);
}

}  // namespace

namespace {

// The forecast item is loaded into the panel when its product is installed (build 366
// on), hidden, its record kept as long as the item; it goes with the unload message.
TEST(TodayPanelLive, HostsTheForecastItem) {
  struct Case {
    const char* what;
    DWORD build;  // 0: not installed
    DWORD group;  // "AppGroup_Sovel"
    bool ownWindow;
    int answer;
    bool loaded;
  };
  const Case cases[] = {
      {"installed", 366, 1, false, 1, true},
      {"not installed", 0, 1, false, 0, false},
      {"too old a build", 365, 1, false, 0, false},
      {"the group is off", 400, 0, false, 1, false},
      {"its own Today window shows it", 400, 1, true, 1, false},
  };
  for (const Case& c : cases) {
    Fixture f(L"panel_live_sovel");
    SCOPED_TRACE(c.what);
    f.Product().WriteDWORD(L"AppGroup_Sovel", c.group);
    if (c.build) f.machine.Key(L"Software\\Korvel\\Qel Sovel").WriteDWORD(L"Build", c.build);
    f.Start();
    HWND own = nullptr;
    if (c.ownWindow) {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"QELSOVELTODAY{513E32D1-49F0-4B42-B186-38EA5A989F39}";
      RegisterClassW(&wc);
      own = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    }
    EXPECT_EQ(f.panel->LoadSovelItem(FALSE), c.answer);
    EXPECT_EQ(f.panel->GetSovelModule() != nullptr, c.loaded);
    if (own) DestroyWindow(own);
    if (!c.loaded) continue;
    HWND item = f.panel->GetSovelWindow();
    ASSERT_TRUE(IsWindow(item));
    EXPECT_EQ(GetParent(item), f.window);
    EXPECT_FALSE(IsWindowVisible(item)) << "hidden";
    typedef TODAYLISTITEM*(WINAPI * PFN_SEEN)();
    auto seen = reinterpret_cast<PFN_SEEN>(
        reinterpret_cast<void*>(GetProcAddress(f.panel->GetSovelModule(), "TestSeenItem")));
    ASSERT_TRUE(seen);
    // The item kept the address: the record must still be there after the call.
    const TODAYLISTITEM* record = seen();
    ASSERT_TRUE(record);
    EXPECT_STREQ(record->szName, L"Qel Sovel");
    EXPECT_EQ(record->tlit, tlitCustom);
    EXPECT_EQ(record->dwOrder, 1u);
    EXPECT_TRUE(record->fEnabled);
    EXPECT_TRUE(record->fOptions);
    EXPECT_EQ(record->grfFlags, 1u);
    EXPECT_EQ(record->cyp, static_cast<DWORD>(-1));
    EXPECT_EQ(record->hinstDLL, f.panel->GetSovelModule());
    EXPECT_NE(std::wstring(record->szDLLPath).find(L"SovelToday.dll"), std::wstring::npos);
    // Loading again replaces it; the unload message (wParam 0) lets it go.
    EXPECT_EQ(f.panel->LoadSovelItem(FALSE), 1);
    EXPECT_FALSE(IsWindow(item));
    item = f.panel->GetSovelWindow();
    const UINT unload = RegisterWindowMessageW(L"QelTarvo_SovelUnload");
    SendMessageW(f.window, unload, 0, 0);
    EXPECT_EQ(f.panel->GetSovelModule(), nullptr);
    EXPECT_FALSE(IsWindow(item));
    EXPECT_EQ(GetModuleHandleW(L"SovelToday.dll"), nullptr) << "freed";
    SendMessageW(f.window, unload, 1, 0);
    EXPECT_NE(f.panel->GetSovelModule(), nullptr) << "reloaded";
  }
}

}  // namespace

namespace {

// The shell's file changes, as its layer reports them: the note files' changes become
// file-change records; a storage card taken out with the resource library on it turns
// the panel into its resources-missing form.
TEST(TodayPanelLive, ShellFileChangesBecomeRecords) {
  Fixture f(L"panel_live_shell");
  f.Start();
  SHCHANGENOTIFYENTRY entry = {0x7FFFFFFF, const_cast<LPWSTR>(L"\\My Documents"), TRUE};
  ASSERT_TRUE(SHChangeNotifyRegisterCE(f.window, &entry));
  struct Case {
    LONG event;
    const wchar_t* item1;
    const wchar_t* item2;
    std::vector<std::wstring> records;
  };
  const Case cases[] = {
      {SHCNE_CREATE, L"\\My Documents\\a.pwi", nullptr, {L"\\My Documents\\a.pwi|2"}},
      {SHCNE_UPDATEITEM, L"\\My Documents\\a.pwi", nullptr, {L"\\My Documents\\a.pwi|8192"}},
      {SHCNE_DELETE, L"\\My Documents\\a.txt", nullptr, {}},
      {SHCNE_RENAMEITEM, L"\\My Documents\\a.pwi", L"\\My Documents\\b.pwi",
       {L"\\My Documents\\a.pwi|4", L"\\My Documents\\b.pwi|2"}},
      {SHCNE_RENAMEITEM, L"\\My Documents\\a.txt", L"\\My Documents\\b.pwi", {L"\\My Documents\\b.pwi|2"}},
      {SHCNE_RENAMEFOLDER, L"\\My Documents\\X", L"\\My Documents\\Y",
       {L"\\My Documents\\X|16", L"\\My Documents\\Y|8"}},
      {SHCNE_MKDIR, L"\\My Documents\\Z", nullptr, {L"\\My Documents\\Z|8"}},
      {SHCNE_UPDATEDIR, L"\\My Documents\\Z", nullptr, {}},
  };
  for (const Case& c : cases) {
    f.lists.files.clear();
    ASSERT_EQ(AygTestNotifyFileChange(c.event, c.item1, c.item2), 1) << std::hex << c.event;
    cedbtest::PumpUntil([&] { return f.lists.files.size() >= c.records.size(); }, 2000);
    f.Pump();
    EXPECT_EQ(f.lists.files, c.records) << std::hex << c.event;
  }

  // Records that are not the shell layer's: addresses of this process that are no
  // heap block, a block whose paths point outside it, any numbers.
  f.lists.files.clear();
  FILECHANGENOTIFY onStack = {1, {sizeof(FILECHANGEINFO), SHCNE_CREATE, SHCNF_PATHW, 0, 0, 0, {}, 0}};
  static const WCHAR outside[] = L"\\My Documents\\c.pwi";
  onStack.fci.dwItem1 = reinterpret_cast<DWORD_PTR>(outside);
  auto* block = static_cast<FILECHANGENOTIFY*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(FILECHANGENOTIFY)));
  *block = onStack;
  PostMessageW(f.window, WM_FILECHANGEINFO, 0, reinterpret_cast<LPARAM>(&onStack));
  PostMessageW(f.window, WM_FILECHANGEINFO, 0, reinterpret_cast<LPARAM>(block));
  std::mt19937_64 random(0x5E11);
  for (int i = 0; i < 2000; ++i) PostMessageW(f.window, WM_FILECHANGEINFO, 0, static_cast<LPARAM>(random()));
  f.Pump();
  EXPECT_TRUE(f.lists.files.empty());

  // The card with the resource library goes.
  f.machine.Key(L"SOFTWARE\\Apps\\Qel Tarvo").WriteString(L"InstallDir", L"C:\\no-such-card");
  ASSERT_FALSE(f.panel->IsResourcesMissing());
  ASSERT_EQ(AygTestNotifyFileChange(SHCNE_MEDIAREMOVED, L"\\My Documents\\Storage Card", nullptr), 1);
  cedbtest::PumpUntil([&] { return f.panel->IsResourcesMissing() != FALSE; }, 5000);
  EXPECT_TRUE(f.panel->IsResourcesMissing());
  EXPECT_EQ(f.panel->GetTabCount(), 1);
  SHChangeNotifyDeregisterCE(f.window);
}

}  // namespace
