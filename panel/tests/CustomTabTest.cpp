#include "panel/CustomTab.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/PopupMenuTracker.h"
#include "controls/tests/MenuAnswer.h"
#include "controls/tests/TestHost.h"
#include "graphics/RasterOps.h"
#include "graphics/tests/TestImages.h"
#include "panel/CustomTabSource.h"
#include "panel/EventWaitThread.h"
#include "panel/Registration.h"
#include "panel/TabActivationWatcher.h"
#include "panel/TabIconArchive.h"
#include "panel/TabMakers.h"
#include "panel/TodayPanel.h"
#include "panel/tests/PanelTestSupport.h"
#include "panel/tests/tabplugin/TestTabPlugin.h"
#include "platform/today/TestItem.h"
#include "platform/unzip/tests/ZipWriter.h"

namespace {

std::wstring BinFile(const wchar_t* name) {
  WCHAR path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir = path;
  return dir.substr(0, dir.find_last_of(L'\\') + 1) + name;
}

// An item of the entry, as the registry would describe it.
TodayItemInfo Item(const wchar_t* key, DWORD flags = 0, DWORD selectability = 0) {
  TodayItemInfo info;
  info.keyName = key;
  info.name = key;
  info.dllPath = BinFile(TODAY_TEST_ITEM_DLL).c_str();
  info.flags = flags;
  info.selectability = selectability;
  return info;
}

// Messages an item window was sent or posted, kept by subclassing it.
struct Recorded {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Recorded> g_recorded;
WNDPROC g_itemProc = nullptr;
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT clicked = RegisterWindowMessageW(L"STM_ACTIVE_TAB_CLICKED");
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == clicked ||
      (message >= WM_TODAYCUSTOM_CLEARCACHE && message <= WM_TODAYCUSTOM_ACTION))
    g_recorded.push_back({message, wParam, lParam});
  return CallWindowProcW(g_itemProc, window, message, wParam, lParam);
}
void Record(HWND window) {
  g_recorded.clear();
  g_itemProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc)));
}
std::vector<UINT> RecordedMessages() {
  std::vector<UINT> messages;
  for (const Recorded& r : g_recorded) messages.push_back(r.message);
  return messages;
}

// A custom tab in a hidden host window, the Today items of a redirected machine.
struct TabFixture {
  explicit TabFixture(const wchar_t* name, int width = 240) : machine(name), host(width, 320) {}
  CCustomTab& Make(std::vector<TodayItemInfo> items, WCHAR id = L'A', int width = 240) {
    CustomTabEntry entry;
    entry.id = id;
    entry.items = std::move(items);
    return MakeEntry(entry, width);
  }
  CCustomTab& MakeEntry(const CustomTabEntry& entry, int width = 240) {
    tab = std::make_unique<CCustomTab>(&host.root, entry);
    host.root.AddChild(tab.get());
    tab->Activate();
    RECT bounds = {0, 0, width, 300};
    tab->SetRect(&bounds);
    return *tab;
  }
  ~TabFixture() { tab.reset(); }
  CLocalMachineSandbox machine;
  ctltest::CTestHost host;
  std::unique_ptr<CCustomTab> tab;
};

// The window's own visibility (the hidden test host hides every child from IsWindowVisible).
bool Shown(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT WindowRectInHost(HWND window, HWND host) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST(CustomTab, StacksItsItemsWithSeparators) {
  TabFixture fixture(L"custom_stack");
  CCustomTab& tab = fixture.Make({Item(L"First", 40), Item(L"Second", 30)});
  ASSERT_EQ(tab.GetItemCount(), 2);
  for (int i = 0; i < 2; ++i) ASSERT_EQ(tab.GetItem(i).state, HostedTodayItem::kShowing) << i;
  HWND first = tab.GetItem(0).item.hwndCustom, second = tab.GetItem(1).item.hwndCustom;
  EXPECT_EQ(GetParent(first), fixture.host.m_hWnd) << "a child of the panel window";
  EXPECT_TRUE(Shown(first));
  EXPECT_TRUE(Shown(second));
  RECT a = WindowRectInHost(first, fixture.host.m_hWnd), b = WindowRectInHost(second, fixture.host.m_hWnd);
  EXPECT_EQ(a.top, 0);
  EXPECT_EQ(a.bottom, 40);
  EXPECT_EQ(a.right - a.left, 240);
  EXPECT_EQ(b.top, 41) << "one pixel between bands";
  EXPECT_EQ(b.bottom, 71);
  EXPECT_EQ(tab.GetWantedHeight(), 71);
  EXPECT_EQ(tab.GetTabId(), 52);
  EXPECT_EQ(tab.GetTabIdChar(), L'A');

  // Leaving the tab hides the items; coming back shows them.
  tab.Deactivate();
  EXPECT_FALSE(Shown(first));
  tab.Activate();
  EXPECT_TRUE(Shown(second));

  // An item that grows is placed again at the next refresh query.
  SendMessageW(first, RegisterWindowMessageW(L"TodayTestItem_SetHeight"), 60, 0);
  EXPECT_FALSE(tab.OnQueryRefreshCache());
  b = WindowRectInHost(second, fixture.host.m_hWnd);
  EXPECT_EQ(b.top, 61);
  EXPECT_EQ(tab.GetWantedHeight(), 91);
}

// The panel lays a tab out before it first shows it: the first activation places the
// items at once, not at the next refresh query.
TEST(CustomTab, BoundsGivenBeforeTheFirstShowPlaceTheItems) {
  TabFixture fixture(L"custom_first");
  CustomTabEntry entry;
  entry.items = {Item(L"Early", 35)};
  fixture.tab = std::make_unique<CCustomTab>(&fixture.host.root, entry);
  fixture.host.root.AddChild(fixture.tab.get());
  RECT bounds = {0, 0, 200, 300};
  fixture.tab->SetRect(&bounds);
  fixture.tab->Activate();
  HWND window = fixture.tab->GetItem(0).item.hwndCustom;
  ASSERT_TRUE(window);
  EXPECT_TRUE(Shown(window));
  RECT placed = WindowRectInHost(window, fixture.host.m_hWnd);
  EXPECT_EQ(placed.bottom - placed.top, 35);
  EXPECT_EQ(placed.right - placed.left, 200);
}

TEST(CustomTab, ItemsThatCannotShowGetABand) {
  TabFixture fixture(L"custom_bands");
  const int band = CustomTabBandHeight();
  EXPECT_EQ(band, (64 * GetScreenDpiY() + 48) / 96);
  TodayItemInfo onToday = Item(L"OnToday");
  onToday.enabled = 1;
  TodayItemInfo cyclic = Item(L"Cyclic");
  cyclic.cyclic = 1;
  TodayItemInfo missing = Item(L"Missing");
  missing.dllPath = BinFile(L"NoSuchItem.dll").c_str();
  TodayItemInfo noEntry = Item(L"NoEntry");
  noEntry.dllPath = BinFile(L"TarvoRes.Dll").c_str();
  CCustomTab& tab = fixture.Make({onToday, cyclic, missing, noEntry, Item(L"NoWindow", TODAY_TEST_ITEM_FAIL)});
  const int expected[] = {HostedTodayItem::kOnTodayScreen, HostedTodayItem::kCyclic, HostedTodayItem::kNoLibrary,
                          HostedTodayItem::kNoEntry, HostedTodayItem::kNoWindow};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(tab.GetItem(i).state, expected[i]) << i;
    EXPECT_EQ(tab.GetItem(i).item.hinstDLL, nullptr) << i;
    RECT rect = tab.GetBandRect(i);
    EXPECT_EQ(rect.bottom - rect.top, band) << i;
  }
  EXPECT_EQ(tab.GetWantedHeight(), 5 * band + 4);
  EXPECT_EQ(GetModuleHandleW(L"TarvoRes.Dll"), nullptr) << "a library without the entry is freed";

  // A tab without items still wants one band.
  TabFixture empty(L"custom_empty");
  EXPECT_EQ(empty.Make({}).GetWantedHeight(), band);
}

TEST(CustomTab, TooNarrowItemsHideUntilTheTabWidens) {
  TabFixture fixture(L"custom_narrow");
  TodayItemInfo wide = Item(L"Wide", 20);
  wide.minWidth = 200;
  CCustomTab& tab = fixture.Make({wide}, L'A', 180);
  HWND window = tab.GetItem(0).item.hwndCustom;
  ASSERT_TRUE(window);
  EXPECT_TRUE(tab.GetItem(0).tooNarrow);
  EXPECT_FALSE(Shown(window));
  EXPECT_EQ(tab.GetWantedHeight(), CustomTabBandHeight()) << "at least a band for the text";
  RECT wider = {0, 0, 200, 300};
  tab.SetRect(&wider);
  EXPECT_FALSE(tab.GetItem(0).tooNarrow);
  EXPECT_EQ(tab.GetItem(0).item.cyp, 20u);
  EXPECT_EQ(tab.GetItem(0).state, HostedTodayItem::kShowing);
  EXPECT_TRUE(Shown(window));
  const RECT band = tab.GetBandRect(0);
  EXPECT_EQ(band.bottom - band.top, 20);
}

TEST(CustomTab, KeysFollowEachItemsSelectability) {
  TabFixture fixture(L"custom_keys");
  CCustomTab& tab = fixture.Make({Item(L"Taps", 20, 1), Item(L"Speaks", 20, 2)});
  HWND taps = tab.GetItem(0).item.hwndCustom, speaks = tab.GetItem(1).item.hwndCustom;
  ASSERT_TRUE(taps && speaks);

  tab.SetFocus();
  EXPECT_EQ(tab.GetCurrentItem(), 0);
  Record(taps);
  EXPECT_TRUE(tab.OnKey(VK_RETURN));
  ctltest::PumpPending();
  ASSERT_EQ(g_recorded.size(), 2u);
  EXPECT_EQ(g_recorded[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(g_recorded[1].message, static_cast<UINT>(WM_LBUTTONUP));
  for (const Recorded& r : g_recorded) EXPECT_EQ(r.lParam, MAKELPARAM(1, 1));
  SetWindowLongPtrW(taps, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_itemProc));

  EXPECT_FALSE(tab.OnKey(VK_UP)) << "up on the first item is the panel's";
  Record(speaks);
  EXPECT_TRUE(tab.OnKey(VK_DOWN));
  ctltest::PumpPending();
  EXPECT_EQ(tab.GetCurrentItem(), 1);
  EXPECT_EQ(RecordedMessages(), std::vector<UINT>{WM_TODAYCUSTOM_RECEIVEDSELECTION});
  g_recorded.clear();
  // The item answers the action, not the navigation: down on the last item is the panel's.
  EXPECT_TRUE(tab.OnKey(VK_RETURN));
  EXPECT_FALSE(tab.OnKey(VK_DOWN));
  EXPECT_EQ(RecordedMessages(), (std::vector<UINT>{WM_TODAYCUSTOM_ACTION, WM_TODAYCUSTOM_USERNAVIGATION}));
  g_recorded.clear();
  tab.KillFocus();
  ctltest::PumpPending();
  EXPECT_EQ(tab.GetCurrentItem(), -1);
  EXPECT_EQ(RecordedMessages(), std::vector<UINT>{WM_TODAYCUSTOM_LOSTSELECTION});
  SetWindowLongPtrW(speaks, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_itemProc));
  tab.SetFocus();
  EXPECT_EQ(tab.GetCurrentItem(), 1) << "the focus comes back to the item it left";
}

TEST(CustomTab, AnItemOnTheTodayScreenMovesInWhenTapped) {
  TabFixture fixture(L"custom_move");
  CRegistryView key = fixture.machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\Shown").c_str());
  key.WriteDWORD(L"Enabled", 1);
  TodayItemInfo shown = Item(L"Shown");
  shown.enabled = 1;
  CCustomTab& tab = fixture.Make({shown});
  POINT outside = {10, CustomTabBandHeight() + 5};
  EXPECT_FALSE(tab.OnLButtonDown(&outside));
  EXPECT_EQ(Number(key, L"Enabled"), 1u);
  POINT inside = {10, 5};
  EXPECT_TRUE(tab.OnLButtonDown(&inside));
  std::wstring container;
  EXPECT_TRUE(key.ReadString(L"STEmbedded", container));
  EXPECT_EQ(container, TARVO_TODAY_ITEM_NAME);
  EXPECT_EQ(Number(key, L"Enabled"), 0u);
}

// The library's window class goes with the library, even when the library itself
// leaves it registered: a class whose procedure lies in freed code would crash the
// next window made of it.
TEST(CustomTab, UnloadingUnregistersTheItemsClass) {
  TabFixture fixture(L"custom_unload");
  CCustomTab& tab = fixture.Make({Item(L"Careless", 20 | TODAY_TEST_ITEM_KEEP_CLASS)});
  HINSTANCE module = tab.GetItem(0).item.hinstDLL;
  ASSERT_TRUE(module);
  WNDCLASSW probe;
  ASSERT_TRUE(GetClassInfoW(module, L"TodayTestItem", &probe));
  HWND window = tab.GetItem(0).item.hwndCustom;
  tab.UnloadItem(0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(tab.GetItem(0).state, HostedTodayItem::kNotLoaded);
  EXPECT_EQ(GetModuleHandleW(TODAY_TEST_ITEM_DLL), nullptr);
  EXPECT_FALSE(GetClassInfoW(module, L"TodayTestItem", &probe));
  tab.LoadItem(0);
  EXPECT_EQ(tab.GetItem(0).state, HostedTodayItem::kShowing) << "loads again";
}

// An item whose window is of a class of the system's ("Static") leaves that class
// registered when it goes: other windows of the process still need it.
TEST(CustomTab, UnloadingLeavesTheSystemsClassesAlone) {
  TabFixture fixture(L"custom_unload_static");
  TodayItemInfo plain = Item(L"Plain");
  plain.dllPath = BinFile(TEST_TAB_PLUGIN_DLL).c_str();
  CCustomTab& tab = fixture.Make({plain});
  HWND window = tab.GetItem(0).item.hwndCustom;
  ASSERT_TRUE(window);
  WCHAR name[32] = {};
  GetClassNameW(window, name, 32);
  ASSERT_EQ(lstrcmpiW(name, L"Static"), 0);
  tab.UnloadItem(0);
  HWND later = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, fixture.host.m_hWnd, nullptr, nullptr, nullptr);
  EXPECT_TRUE(later) << "the class is still there";
  if (later) DestroyWindow(later);
}

// Each hosted item's event brings its tab forward, also from another program; the
// tab's going stops the watching.
TEST(CustomTab, AnItemsEventActivatesItsTab) {
  TabFixture fixture(L"custom_activate");
  const std::wstring name = L"\"Hosted\"-" + std::to_wstring(GetCurrentProcessId());
  CCustomTab& tab = fixture.Make({Item(name.c_str(), 20)}, L'K');
  (void)tab;
  const UINT activate = RegisterWindowMessageW(L"QelTarvoActivateTab");
  EXPECT_TRUE(ActivateHostedItemByName(name.c_str()));
  // Only the one message is taken from the queue, so nothing else can consume it.
  MSG msg = {};
  bool arrived = false;
  for (int tries = 0; tries < 500 && !arrived; ++tries) {
    arrived = PeekMessageW(&msg, fixture.host.m_hWnd, activate, activate, PM_REMOVE) != FALSE;
    if (!arrived) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
  }
  EXPECT_TRUE(arrived);
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(L'K'));
  fixture.tab.reset();
  EXPECT_FALSE(ActivateHostedItemByName(name.c_str())) << "nothing watches it once the tab is gone";
}

// --- the context menu and its commands -------------------------------------------

// A Today item of the redirected machine: a custom item of the test library,
// shown on the Today screen or not, embedded in container (empty: free).
CRegistryView TodayItemKey(const CLocalMachineSandbox& machine, const std::wstring& key, DWORD enabled,
                           const wchar_t* container, const wchar_t* displayName = nullptr) {
  CRegistryView item = machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\" + key).c_str());
  item.WriteDWORD(L"Type", 4);
  item.WriteString(L"DLL", BinFile(TODAY_TEST_ITEM_DLL).c_str());
  item.WriteDWORD(L"Enabled", enabled);
  item.WriteDWORD(L"Flags", 20);
  item.WriteString(L"STEmbedded", container);
  if (displayName) item.WriteString(L"STName", displayName);
  return item;
}

// A tab 'A' holding the named items, written to the registry as the panel keeps it.
CCustomTab& MakeStoredTab(TabFixture& fixture, const std::vector<std::wstring>& names) {
  CustomTabEntry entry;
  for (const std::wstring& name : names) {
    TodayItemKey(fixture.machine, name, 0, TARVO_TODAY_ITEM_NAME);
    entry.items.push_back(Item(name.c_str(), 20));
  }
  CustomTabEntry::Write(entry);
  return fixture.MakeEntry(entry);
}

// The menu as text: "[title: entries]" for a sub-menu, "id text" for an entry, "-" a separator.
std::wstring Describe(const std::vector<MenuEntry>& menu) {
  std::wstring out;
  for (const MenuEntry& entry : menu) {
    if (!out.empty()) out += L" | ";
    if (entry.separator)
      out += L"-";
    else if (entry.popup)
      out += L"[" + entry.text + L": " + Describe(entry.sub) + L"]";
    else
      out += std::to_wstring(entry.id) + L" " + entry.text;
  }
  return out;
}

std::wstring Text(UINT id) {
  CString text;
  LoadUIString(text, id);
  return std::wstring(text);
}

// The menu offers the free Today items (those on the Today screen first, then the
// others, each group by name) and the tab's own items; the plug-in's own item and
// items embedded elsewhere are never offered.
TEST(CustomTab, ContextMenuOffersFreeItemsAndTheTabsOwn) {
  CResourceLibraryScope resources;
  ASSERT_TRUE(resources.Loaded());
  const std::wstring settings = std::to_wstring(ID_OPEN_SETTINGS) + L" " + Text(IDS_OPEN_SETTINGS);
  {
    TabFixture fixture(L"custom_menu");
    TodayItemKey(fixture.machine, L"Zeta", 1, L"");
    TodayItemKey(fixture.machine, L"\"alpha\"", 0, L"");
    TodayItemKey(fixture.machine, L"Beta", 0, L"", L"Beta & Co");
    TodayItemKey(fixture.machine, L"Elsewhere", 0, L"\"Other\"");
    TodayItemKey(fixture.machine, TARVO_TODAY_ITEM_NAME, 1, L"");
    CCustomTab& tab = MakeStoredTab(fixture, {L"First", L"Second"});
    CMenuAnswer answer(0);
    POINT at = {5, 5};
    EXPECT_TRUE(tab.OnContextMenu(&at));
    EXPECT_EQ(Describe(answer.items), L"[Add Today item: 1730 Zeta | - | 1731 alpha | 1732 Beta && Co] | "
                              L"[This tab: 1660 First | 1661 Second | - | 1729 Delete this tab] | " +
                                  settings);
  }
  // One item of its own: only the delete entry; nothing free: no add sub-menu.
  TabFixture single(L"custom_menu_single");
  CCustomTab& alone = MakeStoredTab(single, {L"Only"});
  CMenuAnswer answer(0);
  POINT at = {5, 5};
  EXPECT_TRUE(alone.OnContextMenu(&at));
  EXPECT_EQ(Describe(answer.items), L"[This tab: 1729 Delete this tab] | " + settings);
}

// Adding a free item: one the Today screen did not show comes into the tab at once;
// one it showed is embedded and left to the Today screen's reload.
TEST(CustomTab, AddingAFreeItem) {
  struct Case {
    const char* what;
    int command;
    size_t hosted;       // items of the tab afterwards
    DWORD upb;           // "Upb" of the tab's key afterwards
    const wchar_t* added;  // the item now embedded, null: none
  };
  const Case cases[] = {
      {"an item off the Today screen", 1731, 3, 3, L"Quiet"},
      {"an item on the Today screen", 1730, 2, 3, L"Shown"},
      {"a command past the list", 1799, 2, 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TabFixture fixture(L"custom_add");
    TodayItemKey(fixture.machine, L"Shown", 1, L"");
    TodayItemKey(fixture.machine, L"Quiet", 0, L"");
    CCustomTab& tab = MakeStoredTab(fixture, {L"First", L"Second"});
    {
      CMenuAnswer answer(c.command);
      POINT at = {5, 5};
      tab.OnContextMenu(&at);
      EXPECT_EQ(answer.shown, 1);
    }
    ASSERT_EQ(static_cast<size_t>(tab.GetItemCount()), c.hosted);
    const CRegistryView stored = fixture.machine.Key(TARVO_PRODUCT_KEY L"\\CustomTabs\\A");
    EXPECT_EQ(Number(stored, L"Upb"), c.upb);
    if (!c.added) continue;
    std::wstring last, container;
    EXPECT_TRUE(stored.ReadString(L"_2", last));
    EXPECT_EQ(last, c.added);
    const CRegistryView item = fixture.machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\" + c.added).c_str());
    EXPECT_TRUE(item.ReadString(L"STEmbedded", container));
    EXPECT_EQ(container, TARVO_TODAY_ITEM_NAME);
    EXPECT_EQ(Number(item, L"Enabled"), 0u) << "the Today screen no longer shows it";
    if (c.hosted == 3) {
      const HostedTodayItem& record = tab.GetItem(2);
      EXPECT_EQ(std::wstring(record.info.keyName), c.added);
      EXPECT_EQ(record.state, HostedTodayItem::kShowing);
      EXPECT_TRUE(Shown(record.item.hwndCustom));
      RECT placed = WindowRectInHost(record.item.hwndCustom, fixture.host.m_hWnd);
      EXPECT_EQ(placed.top, 42) << "below the two bands of 20 and their separators";
    }
  }
}

// An item left to the Today screen's reload stays listed by the tab's key through
// the menu's later changes, and goes back to nobody with the tab.
TEST(CustomTab, AnItemLeftToTheTodayScreenStaysListed) {
  TabFixture fixture(L"custom_pending");
  TodayItemKey(fixture.machine, L"Shown", 1, L"");
  TodayItemKey(fixture.machine, L"Quiet", 0, L"");
  CCustomTab& tab = MakeStoredTab(fixture, {L"First", L"Second"});
  const CRegistryView stored = fixture.machine.Key(TARVO_PRODUCT_KEY L"\\CustomTabs\\A");
  auto listed = [&]() {
    std::wstring names;
    for (DWORD i = 0; i < Number(stored, L"Upb"); ++i) {
      std::wstring name;
      stored.ReadString((L"_" + std::to_wstring(i)).c_str(), name);
      names += name + L" ";
    }
    return names;
  };
  tab.OnMenuCommand(1730);  // Shown: the Today screen's first
  EXPECT_EQ(listed(), L"First Second Shown ");
  tab.OnMenuCommand(1730);  // Quiet: now the only free one
  EXPECT_EQ(tab.GetItemCount(), 3);
  EXPECT_EQ(listed(), L"First Second Quiet Shown ");
  tab.OnMenuCommand(1660);
  EXPECT_EQ(listed(), L"Second Quiet Shown ");
  tab.OnMenuCommand(1729);
  EXPECT_FALSE(stored.Exists());
  for (const wchar_t* name : {L"Shown", L"Quiet", L"Second"}) {
    const CRegistryView item = fixture.machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\" + name).c_str());
    std::wstring container = L"<missing>";
    item.ReadString(L"STEmbedded", container);
    EXPECT_EQ(container, L"") << std::string(name, name + wcslen(name));
    EXPECT_EQ(Number(item, L"Enabled"), 0u);
  }
}

// Removing one of several items keeps the tab; removing the only one, or deleting
// the tab, gives every item back to nobody: neither the Today screen nor a tab.
TEST(CustomTab, RemovingItemsAndDeletingTheTab) {
  struct Case {
    const char* what;
    std::vector<std::wstring> items;
    int command;
    std::vector<std::wstring> kept;     // empty: the tab is deleted
    std::vector<std::wstring> released;
  };
  const Case cases[] = {
      {"the first of two", {L"First", L"Second"}, 1660, {L"Second"}, {L"First"}},
      {"the second of two", {L"First", L"Second"}, 1661, {L"First"}, {L"Second"}},
      {"the only item", {L"Only"}, 1660, {}, {L"Only"}},
      {"the tab deleted", {L"First", L"Second"}, 1729, {}, {L"First", L"Second"}},
      {"an index past the items", {L"First", L"Second", L"Third"}, 1700, {L"First", L"Second", L"Third"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TabFixture fixture(L"custom_remove");
    CCustomTab& tab = MakeStoredTab(fixture, c.items);
    std::vector<HWND> windows;
    for (int i = 0; i < tab.GetItemCount(); ++i) windows.push_back(tab.GetItem(i).item.hwndCustom);
    tab.OnMenuCommand(c.command);
    const CRegistryView stored = fixture.machine.Key(TARVO_PRODUCT_KEY L"\\CustomTabs\\A");
    EXPECT_EQ(stored.Exists(), !c.kept.empty());
    if (!c.kept.empty()) {
      EXPECT_EQ(Number(stored, L"Upb"), c.kept.size());
      ASSERT_EQ(static_cast<size_t>(tab.GetItemCount()), c.kept.size());
      for (size_t i = 0; i < c.kept.size(); ++i) {
        std::wstring name;
        EXPECT_TRUE(stored.ReadString((L"_" + std::to_wstring(i)).c_str(), name));
        EXPECT_EQ(name, c.kept[i]);
        EXPECT_EQ(std::wstring(tab.GetItem(static_cast<int>(i)).info.keyName), c.kept[i]);
      }
    }
    for (const std::wstring& name : c.released) {
      const CRegistryView item = fixture.machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\" + name).c_str());
      std::wstring container = L"<missing>";
      item.ReadString(L"STEmbedded", container);
      EXPECT_EQ(container, L"") << std::string(name.begin(), name.end());
      EXPECT_EQ(Number(item, L"Enabled"), 0u);
    }
    // A removed item is unloaded and no longer watched; the others stay.
    if (!c.kept.empty()) {
      for (size_t i = 0; i < c.items.size(); ++i) {
        const bool kept = std::find(c.kept.begin(), c.kept.end(), c.items[i]) != c.kept.end();
        EXPECT_EQ(IsWindow(windows[i]) != FALSE, kept) << i;
        EXPECT_EQ(CTabActivationWatcher::Instance().GetTabForItem(c.items[i].c_str()), kept ? L'A' : 0) << i;
      }
    }
  }
}

// Chosen again from the tab strip, the tab tells the items that declared the
// embedding protocol, and only them.
TEST(CustomTab, ChosenAgainTellsItemsThatSpeakTheProtocol) {
  TabFixture fixture(L"custom_again");
  TodayItemInfo declares = Item(L"Declares", 20);
  declares.version = 1;
  CCustomTab& tab = fixture.Make({declares, Item(L"Silent", 20)});
  const UINT clicked = RegisterWindowMessageW(L"STM_ACTIVE_TAB_CLICKED");
  for (int i = 0; i < 2; ++i) {
    HWND window = tab.GetItem(i).item.hwndCustom;
    ASSERT_TRUE(window);
    Record(window);
    EXPECT_FALSE(tab.ResetView(FALSE));
    ctltest::PumpPending();
    EXPECT_TRUE(g_recorded.empty()) << "a first choice is no click again";
    EXPECT_FALSE(tab.ResetView(TRUE)) << "the panel still does what it does";
    ctltest::PumpPending();
    if (i == 0) {
      ASSERT_EQ(g_recorded.size(), 1u);
      EXPECT_EQ(g_recorded[0].message, clicked);
      EXPECT_EQ(g_recorded[0].wParam, 0u);
      EXPECT_EQ(g_recorded[0].lParam, 0);
    } else {
      EXPECT_TRUE(g_recorded.empty());
    }
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_itemProc));
  }
}

// The shell's own item ("shutil.dll") shows itself on its own; the tab hides it
// whenever the tab is not the one shown.
TEST(CustomTab, TheShellItemHidesWhileTheTabIsNotShown) {
  ziptest::TempFolder folder(L"custom_shutil");
  ASSERT_TRUE(CopyFileW(BinFile(TODAY_TEST_ITEM_DLL).c_str(), folder.File(L"shutil.dll").c_str(), FALSE));
  TabFixture fixture(L"custom_shutil");
  TodayItemInfo shell = Item(L"Shell", 20);
  shell.dllPath = folder.File(L"shutil.dll").c_str();
  CCustomTab& tab = fixture.Make({shell, Item(L"Plain", 20)});
  HWND special = tab.GetItem(0).item.hwndCustom, plain = tab.GetItem(1).item.hwndCustom;
  ASSERT_TRUE(special && plain);
  tab.OnQueryRefreshCache();  // the first showing's layout is done
  tab.Deactivate();
  ShowWindow(special, SW_SHOW);
  ShowWindow(plain, SW_SHOW);
  tab.OnQueryRefreshCache();
  EXPECT_FALSE(Shown(special));
  EXPECT_TRUE(Shown(plain)) << "only the shell's item is hidden this way";
  tab.Activate();
  tab.OnQueryRefreshCache();
  EXPECT_TRUE(Shown(special));
  fixture.tab.reset();
}

// --- the tab's icon ---------------------------------------------------------------

// The test plug-in library, held by the test too so its state can be read and set.
struct PluginLibrary {
  explicit PluginLibrary(int mode) : module(LoadLibraryW(BinFile(TEST_TAB_PLUGIN_DLL).c_str())) {
    auto get = module ? reinterpret_cast<PFN_TEST_TAB_PLUGIN_STATE>(
                            reinterpret_cast<void*>(GetProcAddress(module, "TestTabPluginGetState")))
                      : nullptr;
    state = get ? get() : nullptr;
    if (state) {
      *state = TestTabPluginState{};
      state->mode = mode;
    }
  }
  ~PluginLibrary() {
    if (module) FreeLibrary(module);
  }
  HMODULE module;
  TestTabPluginState* state = nullptr;
};

// A tab whose "IconName" item is the test plug-in.
CustomTabEntry PluginEntry(const wchar_t* key) {
  CustomTabEntry entry;
  entry.id = L'P';
  entry.smartIcon = 1;
  entry.iconName = key;
  TodayItemInfo info = Item(key);
  info.dllPath = BinFile(TEST_TAB_PLUGIN_DLL).c_str();
  entry.items = {Item(L"Neighbour", 20), info};
  return entry;
}

// The tab's icon drawn over a teal strip: what lands at a pixel.
const COLORREF kStrip = RGB(10, 200, 200);
struct DrawnIcon {
  BOOL drawn = FALSE;
  COLORREF centre = 0, corner = 0;
};
DrawnIcon DrawIcon(CCustomTab& tab, BOOL selected) {
  const SIZE size = CCustomTab::GetTabIconSize();
  CDib target;
  DrawnIcon result;
  if (!target.CreateFilled(size.cx + 4, size.cy + 4, kStrip)) return result;
  RECT rect = {2, 2, 2 + size.cx, 2 + size.cy};
  result.drawn = tab.DrawTabIcon(target.GetDC(), &rect, selected);
  target.ReleaseDC();
  GdiFlush();
  auto at = [&](int x, int y) {
    const BYTE* p = target.Pixel(x, y);
    return RGB(p[2], p[1], p[0]);
  };
  result.centre = at(2 + size.cx / 2, 2 + size.cy / 2);
  result.corner = at(2, 2);
  return result;
}
bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
         std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}
bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

// A tab plug-in draws the icon: once per state, on black and on white, so where it
// left the surface alone the strip shows through; the normal icon is greyed.
TEST(CustomTab, TabPluginDrawsTheIcon) {
  CloseTabIconArchive();
  PluginLibrary library(kPluginDraws);
  ASSERT_TRUE(library.state);
  TabFixture fixture(L"custom_plugin");
  CCustomTab& tab = fixture.MakeEntry(PluginEntry(L"\"Painter\""));
  const SIZE size = CCustomTab::GetTabIconSize();
  ASSERT_NE(tab.GetTabPlugin(), nullptr);
  EXPECT_EQ(library.state->exportCalls, 1);
  EXPECT_STREQ(library.state->exportName, L"\"Painter\"");
  EXPECT_EQ(library.state->initHost, fixture.host.m_hWnd);
  EXPECT_EQ(library.state->initWidth, size.cx);
  EXPECT_EQ(library.state->initHeight, size.cy);
  EXPECT_EQ(library.state->initChar, L'P');
  EXPECT_EQ(library.state->refreshCalls, 1);
  EXPECT_EQ(tab.GetItem(1).state, HostedTodayItem::kShowing) << "the icon's item is hosted as well";

  const DrawnIcon selected = DrawIcon(tab, TRUE);
  EXPECT_TRUE(selected.drawn);
  EXPECT_TRUE(Near(selected.centre, TEST_TAB_PLUGIN_SELECTED)) << std::hex << selected.centre;
  EXPECT_EQ(selected.corner, kStrip) << "the margin the plug-in left is transparent";
  EXPECT_EQ(library.state->drawCalls, 4);
  const DrawnIcon normal = DrawIcon(tab, FALSE);
  EXPECT_TRUE(normal.drawn);
  EXPECT_TRUE(IsGrey(normal.centre)) << std::hex << normal.centre;
  EXPECT_EQ(normal.corner, kStrip);
  EXPECT_EQ(library.state->drawCalls, 4) << "both pairs were made once";

  tab.OnQueryRefreshCache();
  EXPECT_EQ(library.state->refreshCalls, 2) << "a layout refreshes the plug-in";
  fixture.tab.reset();
  EXPECT_EQ(library.state->liveReferences, 0) << "released with the tab";
}

// A plug-in that fails or misbehaves in any step leaves no plug-in and no icon of
// its own (the panel then draws the skin's strip icon); the tab and its items go on.
TEST(CustomTab, AFailingTabPluginLeavesTheStripIcon) {
  struct Case {
    const char* what;
    int mode;
    bool pluginAfterActivation;
    BOOL drawn;
  };
  const Case cases[] = {
      {"the export fails", kPluginExportFails, false, FALSE},
      {"the export gives no interface", kPluginNoInterface, false, FALSE},
      {"Init refuses", kPluginRefuses, false, FALSE},
      {"the export throws", kPluginExportThrows, false, FALSE},
      {"Init throws", kPluginInitThrows, false, FALSE},
      {"DrawIcon throws", kPluginDrawThrows, true, FALSE},
      {"DrawIcon draws nothing", kPluginDrawsNothing, true, TRUE},
  };
  CloseTabIconArchive();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PluginLibrary library(c.mode);
    ASSERT_TRUE(library.state);
    TabFixture fixture(L"custom_plugin_fails");
    CCustomTab& tab = fixture.MakeEntry(PluginEntry(L"Painter"));
    EXPECT_EQ(tab.GetTabPlugin() != nullptr, c.pluginAfterActivation);
    const DrawnIcon icon = DrawIcon(tab, TRUE);
    EXPECT_EQ(icon.drawn, c.drawn);
    if (icon.drawn) {
      EXPECT_EQ(icon.centre, kStrip) << "nothing drawn is nothing shown";
    }
    EXPECT_EQ(DrawIcon(tab, FALSE).drawn, c.drawn) << "asked again";
    for (int i = 0; i < tab.GetItemCount(); ++i) EXPECT_EQ(tab.GetItem(i).state, HostedTodayItem::kShowing) << i;
    fixture.tab.reset();
    EXPECT_EQ(library.state->liveReferences, 0);
  }
}

// A picture of width 2 * S and height S: the icon in colour on the left, its mask
// on the right, white but for a transparent corner pixel.
ziptest::Bytes IconPicture(int width, int height, COLORREF colour) {
  return testimg::MakeBmp(width, height, false, [=](int x, int y) {
    const int cell = width / 2;
    if (x < cell) return colour;
    return x == cell && y == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255);
  });
}

// Tab icon pictures from the install folder's "TabIcons" (.zip first, else the
// folder), "<name><S>.bmp" for the selected state and "<name><S>_bw.bmp" for the
// normal one.
TEST(CustomTab, TabIconPicturesFromTheArchive) {
  SetScreenDpi(96, 96);
  const COLORREF red = RGB(220, 20, 20), green = RGB(20, 180, 20), blue = RGB(20, 20, 220);
  struct Member {
    const wchar_t* name;
    int width;
    COLORREF colour;
  };
  struct Case {
    const char* what;
    bool zip;
    std::vector<Member> members;
    const wchar_t* iconName;
    BOOL drawn;
    COLORREF selected;  // the selected icon's centre
    COLORREF normalFrom;  // the colour the normal icon was greyed from
  };
  const Case cases[] = {
      {"both pictures, in a folder", false, {{L"sun16.bmp", 32, red}, {L"sun16_bw.bmp", 32, green}}, L"sun", TRUE, red,
       green},
      {"both pictures, in a zip", true, {{L"sun16.bmp", 32, red}, {L"sun16_bw.bmp", 32, green}}, L"sun", TRUE, red,
       green},
      {"no normal picture: the colours serve both", true, {{L"sun16.bmp", 32, red}}, L"sun", TRUE, red, red},
      {"a normal picture of another size is passed over", false,
       {{L"sun16.bmp", 32, red}, {L"sun16_bw.bmp", 30, green}}, L"sun", TRUE, red, red},
      {"34 pixels wide is refused and the default set tried", false,
       {{L"sun16.bmp", 34, red}, {L"default16.bmp", 32, blue}}, L"sun", TRUE, blue, blue},
      {"a missing set falls back to the default", true, {{L"default16.bmp", 32, blue}}, L"moon", TRUE, blue, blue},
      {"a name reaching out of the archive is refused", false,
       {{L"sun16.bmp", 32, red}, {L"default16.bmp", 32, blue}}, L"..\\TabIcons\\sun", TRUE, blue, blue},
      {"no pictures at all", false, {}, L"sun", FALSE, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CloseTabIconArchive();
    ziptest::TempFolder install(L"custom_icons");
    {
      TabFixture fixture(L"custom_icons");
      fixture.machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", install.Path().c_str());
      std::vector<ziptest::ZipEntry> entries;
      if (!c.zip) CreateDirectoryW(install.File(L"TabIcons").c_str(), nullptr);
      for (const Member& m : c.members) {
        const ziptest::Bytes bytes = IconPicture(m.width, 16, m.colour);
        if (c.zip)
          entries.emplace_back(std::string(m.name, m.name + wcslen(m.name)), bytes);
        else
          ziptest::WriteBytes(install.File(L"TabIcons\\") + m.name, bytes);
      }
      if (c.zip) ziptest::WriteBytes(install.File(L"TabIcons.zip"), ziptest::BuildZip(entries));
      CustomTabEntry entry;
      entry.iconName = c.iconName;
      CCustomTab& tab = fixture.MakeEntry(entry);
      const DrawnIcon selected = DrawIcon(tab, TRUE), normal = DrawIcon(tab, FALSE);
      EXPECT_EQ(selected.drawn, c.drawn);
      EXPECT_EQ(normal.drawn, c.drawn);
      if (c.drawn) {
        EXPECT_EQ(selected.centre, c.selected);
        EXPECT_EQ(selected.corner, kStrip) << "the mask's black corner";
        EXPECT_TRUE(IsGrey(normal.centre));
        CDib probe;
        ASSERT_TRUE(probe.CreateFilled(1, 1, c.normalFrom));
        CDib white;
        ASSERT_TRUE(white.CreateFilled(1, 1, RGB(255, 255, 255)));
        GreyWithMask(probe, white);
        EXPECT_EQ(GetRValue(normal.centre), probe.Pixel(0, 0)[0]) << "greyed from the right picture";
      }
    }
    CloseTabIconArchive();
  }
  SetScreenDpi(0, 0);
}

// The device's install folder ships the "default" set at both icon sizes, so a custom
// tab without pictures of its own still shows an icon on the small and the large screen.
TEST(CustomTab, TheShippedDefaultSetIsEveryPictureLessTabsIcon) {
  for (int dpi : {96, 192}) {
    SCOPED_TRACE(dpi);
    SetScreenDpi(dpi, dpi);
    CloseTabIconArchive();
    ziptest::TempFolder install(L"custom_shipped_icons");
    CreateDirectoryW(install.File(L"TabIcons").c_str(), nullptr);
    for (const char* name : {"default16.bmp", "default32.bmp"}) {
      const std::string from = std::string(TARVO_TABICONS_DIR) + "/" + name;
      std::ifstream in(from, std::ios::binary);
      ASSERT_TRUE(in.good()) << from;
      const ziptest::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      ziptest::WriteBytes(install.File(L"TabIcons\\") + std::wstring(name, name + strlen(name)), bytes);
    }
    {
      TabFixture fixture(L"custom_shipped_icons");
      fixture.machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", install.Path().c_str());
      CustomTabEntry entry;
      entry.iconName = L"default";
      CCustomTab& tab = fixture.MakeEntry(entry);
      const DrawnIcon selected = DrawIcon(tab, TRUE), normal = DrawIcon(tab, FALSE);
      EXPECT_TRUE(selected.drawn);
      EXPECT_TRUE(normal.drawn);
      EXPECT_NE(selected.centre, kStrip) << "the glyph covers the centre";
      EXPECT_EQ(selected.corner, kStrip) << "the strip shows around the glyph";
      EXPECT_TRUE(IsGrey(normal.centre));
    }
    CloseTabIconArchive();
  }
  SetScreenDpi(0, 0);
}

// --- the forecast item ---------------------------------------------------------------

// The forecast item hosted in a tab takes the place of the panel's own copy, which
// comes back when the tab lets it go, also when the tab's copy never started and
// when the panel goes with the tab. Being in the panel, it also hears Enter released
// on its tab.
TEST(CustomTab, AHostedForecastItemStandsInForThePanels) {
  CLocalMachineSandbox machine(L"custom_sovel");
  CResourceLibraryScope resources;
  machine.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"AppGroup_Sovel", 1);
  machine.Key(L"Software\\Korvel\\Qel Sovel").WriteDWORD(L"Build", 400);
  TodayItemKey(machine, L"Forecast", 0, TARVO_TODAY_ITEM_NAME);
  machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\Forecast").c_str())
      .WriteString(L"DLL", BinFile(L"SovelToday.dll").c_str());
  machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\Forecast").c_str()).WriteDWORD(L"STVersion", 1);
  machine.Key(TARVO_PRODUCT_KEY L"\\CustomTabs\\F").WriteDWORD(L"Upb", 1);
  machine.Key(TARVO_PRODUCT_KEY L"\\CustomTabs\\F").WriteString(L"_0", L"Forecast");
  ICustomTabSource* previousSource = GetCustomTabSource();
  SetCustomTabSource(&CCustomTabSource::Instance());
  TodayView view;
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 160, view.window, nullptr, nullptr, nullptr);
  auto panel = std::make_unique<CTodayPanel>(0);
  ASSERT_TRUE(panel->Attach(window));
  panel->OnCreate();
  WINDOWPOS position = {window, nullptr, 0, 0, 240, 160, 0x244};
  panel->OnWindowPosChanged(&position);
  EXPECT_EQ(panel->LoadSovelItem(FALSE), 1);
  ASSERT_NE(panel->GetSovelModule(), nullptr);

  int index = -1;
  for (int i = 0; i < panel->GetTabCount(); ++i)
    if (panel->GetTab(i)->GetTabId() == TAB_CUSTOM) index = i;
  ASSERT_GE(index, 0);
  auto* tab = static_cast<CCustomTab*>(panel->GetTab(index));
  panel->SelectTab(index, FALSE);
  EXPECT_EQ(panel->GetSovelModule(), nullptr) << "the panel's copy gave way";
  EXPECT_EQ(tab->GetItem(0).state, HostedTodayItem::kShowing);
  // Enter released on the panel's current tab is the tab chosen again.
  HWND forecast = tab->GetItem(0).item.hwndCustom;
  ASSERT_TRUE(forecast);
  Record(forecast);
  EXPECT_TRUE(panel->OnKey(VK_RETURN | VK_KEYUP_FLAG));
  ctltest::PumpPending();
  ASSERT_EQ(g_recorded.size(), 1u);
  EXPECT_EQ(g_recorded[0].message, RegisterWindowMessageW(L"STM_ACTIVE_TAB_CLICKED"));
  SetWindowLongPtrW(forecast, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_itemProc));
  tab->UnloadItem(0);
  EXPECT_NE(panel->GetSovelModule(), nullptr) << "and came back";
  tab->LoadItem(0);
  EXPECT_EQ(panel->GetSovelModule(), nullptr);

  // A tab's copy that cannot start gives the panel its own back at once.
  CustomTabEntry broken;
  TodayItemInfo missing = Item(L"Missing");
  missing.dllPath = L"C:\\no-such-folder\\SovelToday.dll";
  broken.items = {missing};
  tab->UnloadItem(0);
  {
    CCustomTab lost(panel.get(), broken);
    lost.LoadItem(0);
    EXPECT_EQ(lost.GetItem(0).state, HostedTodayItem::kNoLibrary);
    EXPECT_NE(panel->GetSovelModule(), nullptr);
  }
  tab->LoadItem(0);
  panel.reset();
  DestroyWindow(window);
  SetCustomTabSource(previousSource);
  EXPECT_EQ(GetModuleHandleW(L"SovelToday.dll"), nullptr) << "no copy outlives the panel";
}

}  // namespace
