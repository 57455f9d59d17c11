#include "panel/CustomTab.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "base/tests/RegistrySandbox.h"
#include "controls/tests/TestHost.h"
#include "panel/EventWaitThread.h"
#include "panel/Registration.h"
#include "panel/tests/PanelTestSupport.h"
#include "platform/today/TestItem.h"

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
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
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

}  // namespace
