#include "panel/TodayPanel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/tests/DeviceRoot.h"
#include "base/ViewSettings.h"
#include "graphics/Dib.h"
#include "panel/NoResourcesTab.h"
#include "panel/NotifyWnd.h"
#include "panel/PanelPrompt.h"
#include "panel/PreWindow.h"
#include "panel/Registration.h"
#include "panel/StandInTab.h"
#include "panel/TabMakers.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "panel/tests/PanelTestSupport.h"
#include "pim/tests/CategoryFixtures.h"
#include "platform/coredll/ce.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/today/todaycmn.h"
#include "platform/windowlib/Module.h"

namespace {

// The Today view with one item window in it, as the placeholder leaves it.
struct ItemWindow {
  explicit ItemWindow(int height = 120) {
    window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, height, view.window, nullptr,
                             nullptr, nullptr);
  }
  TodayView view;
  HWND window;
};

struct ResourceInstance {
  explicit ResourceInstance(HINSTANCE instance) : previous(GetModule().SetResourceInstance(instance)) {}
  ~ResourceInstance() { GetModule().SetResourceInstance(previous); }
  HINSTANCE previous;
};

// Any library other than ours stands for the loaded resource library.
HINSTANCE SomeResources() { return GetModuleHandleW(L"kernel32.dll"); }

// A panel on an item window, created and laid out as the placeholder does it.
struct LivePanel {
  explicit LivePanel(int mode = 0, int height = 120) : item(height), panel(mode) {
    attached = panel.Attach(item.window) != FALSE;
    panel.OnCreate();
    WINDOWPOS position = {item.window, nullptr, 0, 0, 240, height, 0x244};
    panel.OnWindowPosChanged(&position);
  }
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (int i = 0; i < panel.GetTabCount(); ++i) ids.push_back(panel.GetTab(i)->GetTabId());
    return ids;
  }
  ItemWindow item;
  CTodayPanel panel;
  bool attached = false;
};

std::wstring Text(const CRegistryView& key, const wchar_t* name) {
  std::wstring text = L"<missing>";
  key.ReadString(name, text);
  return text;
}

TEST(TodayPanel, ShowsTheTabsThatFitTheResources) {
  struct Case {
    const char* what;
    HINSTANCE resources;  // null: the module's own (the library missing)
    bool missing;
  };
  const Case cases[] = {{"resources missing", nullptr, true}, {"resource library loaded", SomeResources(), false}};
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"panel_resources");
    ResourceInstance resources(c.resources);
    LivePanel live;
    ASSERT_TRUE(live.attached);
    EXPECT_FALSE(live.panel.Attach(live.item.window)) << "one window at a time";
    EXPECT_EQ(live.panel.IsResourcesMissing() != FALSE, c.missing) << c.what;
    auto* tab = dynamic_cast<CNoResourcesTab*>(live.panel.GetCurrentTab());
    EXPECT_EQ(tab != nullptr, c.missing) << c.what;
    if (c.missing) {
      EXPECT_EQ(live.panel.GetTabCount(), 1);
      ASSERT_TRUE(tab);
      EXPECT_STREQ(tab->GetText(), L"Please insert storage card");
    } else {
      EXPECT_EQ(live.panel.GetTabCount(), 6) << "every tab, stand-ins until their folders land";
    }
  }
}

TEST(TodayPanel, PaintsOverTheTodayBackgroundAndLetsTheWindowGo) {
  CLocalMachineSandbox machine(L"panel_paint");
  ResourceInstance resources(nullptr);
  LivePanel live(0, 60);
  RECT bounds = *live.panel.GetTab(0)->GetRectPtr();
  EXPECT_EQ(bounds.right, 240);
  EXPECT_EQ(bounds.bottom, 60);
  ShowWindow(live.item.view.window, SW_SHOWNA);
  live.item.view.watermarks = 0;
  RedrawWindow(live.item.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GE(live.item.view.watermarks, 1);

  const UINT update = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");
  const RECT content = live.panel.GetContentRect();
  const LPARAM inside = MAKELPARAM(content.left + 10, content.top + 10);
  SendMessageW(live.item.window, WM_LBUTTONDOWN, 0, inside);
  SendMessageW(live.item.window, WM_LBUTTONUP, 0, inside);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, live.item.window, update, update, PM_REMOVE)) << "the tab asked for the settings";

  DestroyWindow(live.item.window);
  EXPECT_EQ(live.panel.GetHwnd(), nullptr) << "the panel let go of its window";
  EXPECT_EQ(live.panel.GetTabCount(), 0);
}

// The panel makes its notification window as it starts and ends it with its window;
// a panel that comes later gets one of its own, and a panel that goes leaves the one
// another panel took over.
TEST(TodayPanel, MakesItsNotificationWindowAndEndsIt) {
  CLocalMachineSandbox machine(L"panel_notify");
  ResourceInstance resources(nullptr);
  auto notifyWindow = []() -> HWND { return GetNotificationWindow() ? GetNotificationWindow()->m_hWnd : nullptr; };
  for (int round = 0; round < 2; ++round) {
    LivePanel live;
    HWND window = notifyWindow();
    ASSERT_TRUE(window && IsWindow(window)) << round;
    EXPECT_EQ(GetNotificationWindow()->GetTarget(), live.item.window) << round;
    EXPECT_EQ(FindWindowW(L"QelTarvoTimeHelperWnd_1.0", nullptr), window) << round;
    DestroyWindow(live.item.window);
    EXPECT_FALSE(IsWindow(window)) << round;
    EXPECT_EQ(GetNotificationWindow(), nullptr) << round;
  }
  {
    auto first = std::make_unique<LivePanel>();
    LivePanel second;
    HWND window = notifyWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(GetNotificationWindow()->GetTarget(), second.item.window);
    DestroyWindow(first->item.window);
    first.reset();
    ASSERT_TRUE(IsWindow(window)) << "the second panel's window stays";
    EXPECT_EQ(GetNotificationWindow()->GetTarget(), second.item.window);
  }
  EXPECT_EQ(GetNotificationWindow(), nullptr) << "a panel object deleted with its window alive ends it too";
}

TEST(TodayPanel, FactoryKeepsTheSavedOrderAndShowsTheChosenTabs) {
  const DWORD all = 0xFFFFFFFF;
  struct Case {
    const char* what;
    DWORD showTabs;
    const wchar_t* sequence;  // null: no value
    std::vector<int> order;
    const wchar_t* written;
  };
  const Case cases[] = {
      {"nothing shown gives the calendar", 0, nullptr, {1}, L"1"},
      {"tasks alone", 1, nullptr, {2}, L"2"},
      {"every tab in the default order", all, L"", {1, 2, 3, 4, 5, 6}, L"123456"},
      {"a saved order", all, L"531", {5, 3, 1, 2, 4, 6}, L"531246"},
      {"notes hidden drop out of the order", all & ~4u, L"123456", {1, 2, 3, 5, 6}, L"12356"},
      {"notes shown again come last", all, L"12356", {1, 2, 3, 5, 6, 4}, L"123564"},
      {"characters of no tab are dropped", 32 | 1, L"9x21", {2, 1}, L"21"},
  };
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"panel_factory");
    ResourceInstance resources(SomeResources());
    CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
    product.WriteDWORD(L"ShowTabs", c.showTabs);
    if (c.sequence) product.WriteString(L"ShowTabsSequence", c.sequence);
    LivePanel live;
    EXPECT_EQ(live.Ids(), c.order) << c.what;
    EXPECT_EQ(Text(product, L"ShowTabsSequence"), c.written) << c.what;
  }
}

// Custom tabs whose characters collide with each other and with a built-in tab.
class CollidingTabs : public ICustomTabSource {
 public:
  std::vector<CUSTOM_TAB_ENTRY> ListCustomTabs() override {
    return {{L'1', L"one"}, {L'W', L"web"}, {L'W', L"weather"}, {0, L"none"}};
  }
  CScrollPanel* MakeCustomTab(const CUSTOM_TAB_ENTRY& entry, CVirtualWnd* owner) override {
    ++made;
    return new CustomTab(entry.id, owner);
  }
  struct CustomTab : CScrollPanel {
    CustomTab(WCHAR id, CVirtualWnd* owner) : CScrollPanel(owner), id(id) {}
    int GetTabId() override { return 52; }
    WCHAR GetTabIdChar() override { return id; }
    WCHAR id;
  };
  int made = 0;
};

TEST(TodayPanel, TabsSharingACharacterAreAllShown) {
  CLocalMachineSandbox machine(L"panel_colliding");
  ResourceInstance resources(SomeResources());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  product.WriteDWORD(L"ShowTabs", 32 | 1);
  product.WriteString(L"ShowTabsSequence", L"W12");
  CollidingTabs source;
  SetCustomTabSource(&source);
  {
    LivePanel live;
    EXPECT_EQ(source.made, 3) << "an entry without a character is no tab";
    ASSERT_EQ(live.panel.GetTabCount(), 5) << "no tab is dropped (and leaked) for a shared character";
    std::wstring chars;
    for (int i = 0; i < live.panel.GetTabCount(); ++i) chars += live.panel.GetTab(i)->GetTabIdChar();
    // "W12": web, the custom "1" and tasks take their places; the calendar finds its
    // place taken and goes first, the second "W" is appended.
    EXPECT_EQ(chars, L"1W12W");
  }
  SetCustomTabSource(nullptr);
}

TEST(TodayPanel, PerTabHostKeepsTheUsersSavedOrder) {
  CLocalMachineSandbox machine(L"panel_pertab");
  ResourceInstance resources(SomeResources());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  product.WriteDWORD(L"AllTabsInArdeno", 0);
  product.WriteDWORD(L"ShowTabs", 1);
  product.WriteString(L"ShowTabsSequence", L"531");
  LivePanel live(1);
  EXPECT_EQ(live.Ids(), (std::vector<int>{1, 2, 3, 4, 5, 6})) << "each tab is a host tab of its own";
  EXPECT_EQ(Text(product, L"ShowTabsSequence"), L"531") << "the saved order is not overwritten";
  EXPECT_FALSE(live.panel.HasStrip());
  EXPECT_EQ(live.panel.GetContentRect().top, 0);
  EXPECT_STREQ(live.panel.GetTabHostName(2), L"TarvoTasks");
}

// The tab host names the plug-in whose tab it shows: a tab's own name shows that tab
// alone, any other name the whole panel with its strip.
TEST(TodayPanel, ShowsTheTabTheHostChooses) {
  static const wchar_t unterminated[16] = {L'T', L'a', L'r', L'v', L'o', L'T', L'a', L's',
                                           L'k', L's', L'T', L'a', L's', L'k', L's', L's'};
  struct Case {
    const char* what;
    DWORD allTabs;
    const wchar_t* name;
    bool strip;
    int currentId;  // 0: unchanged
  };
  const Case cases[] = {
      {"a tab of its own", 0, L"TarvoTasks", false, 2},
      {"names compare as the registry does", 0, L"tarvoNOTES", false, 4},
      {"the last tab of the list", 0, L"TarvoSpecial", false, 6},
      {"the whole panel", 0, L"TarvoAll", true, 0},
      {"a tab's name takes the strip away", 1, L"TarvoContacts", false, 3},
      {"the whole panel again", 1, L"TarvoAll", true, 0},
      {"a longer name is another name", 0, L"TarvoCalendars", true, 0},
      {"no name", 0, nullptr, false, 0},
      {"no name either", 1, nullptr, true, 0},
      {"a name without its end", 1, unterminated, true, 0},
  };
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"panel_host_choice");
    ResourceInstance resources(SomeResources());
    CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
    product.WriteDWORD(L"AllTabsInArdeno", c.allTabs);
    product.WriteDWORD(L"last_panel", 5);
    LivePanel live(1);
    ASSERT_EQ(live.panel.GetTabCount(), 6) << c.what;
    SendMessageW(live.item.window, RegisterWindowMessageW(L"ArdenoSetCurrentPlugin"), 0,
                 reinterpret_cast<LPARAM>(c.name));
    EXPECT_EQ(live.panel.HasStrip() != FALSE, c.strip) << c.what;
    const RECT& content = live.panel.GetContentRect();
    EXPECT_EQ(content.top > 0 || content.left > 0, c.strip) << c.what << ": the content moves with the strip";
    ASSERT_EQ(live.panel.GetTabCount(), 6) << c.what;
    ASSERT_TRUE(live.panel.GetCurrentTab()) << c.what;
    EXPECT_EQ(live.panel.GetCurrentTab()->GetTabId(), c.currentId ? c.currentId : 5) << c.what;
    EXPECT_EQ(Number(product, L"last_panel"), c.currentId ? static_cast<DWORD>(c.currentId) : 5u) << c.what;
    EXPECT_EQ(Number(product, L"AllTabsInArdeno"), c.allTabs) << c.what << ": the setting itself stays";
  }
}

TEST(TodayPanel, LastPanelChoosesTheFirstTabShown) {
  struct Case {
    const char* what;
    DWORD showTabs;
    DWORD lastPanel;
    int currentId;
  };
  const Case cases[] = {{"a shown tab", 0xFFFFFFFF, 4, 4},
                        {"a hidden tab", 0xFFFFFFFF & ~4u, 4, 1},
                        {"none", 0xFFFFFFFF, 0xFFFFFFFF, 1}};
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"panel_last");
    ResourceInstance resources(SomeResources());
    CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
    product.WriteDWORD(L"ShowTabs", c.showTabs);
    product.WriteDWORD(L"last_panel", c.lastPanel);
    LivePanel live;
    ASSERT_TRUE(live.panel.GetCurrentTab()) << c.what;
    EXPECT_EQ(live.panel.GetCurrentTab()->GetTabId(), c.currentId) << c.what;
    EXPECT_EQ(Number(product, L"last_panel"), c.lastPanel) << c.what << ": left as it was";
  }
}

// A stand-in that can refuse to be left.
struct StubbornTab : CStandInTab {
  StubbornTab(CVirtualWnd* owner) : CStandInTab(TAB_TASKS, owner) {}
  BOOL Deactivate() override { return refuse ? FALSE : CStandInTab::Deactivate(); }
  static bool refuse;
};
bool StubbornTab::refuse = false;

TEST(TodayPanel, SwitchesTabsByTapAndKey) {
  CLocalMachineSandbox machine(L"panel_switch");
  ResourceInstance resources(SomeResources());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  PFN_MAKE_TAB previous = SetTabMaker(TAB_TASKS, [](CVirtualWnd* owner) -> CScrollPanel* {
    return new StubbornTab(owner);
  });
  {
    LivePanel live;
    CTodayPanel& panel = live.panel;
    ASSERT_EQ(panel.GetTabCount(), 6);
    ASSERT_EQ(panel.GetCurrentIndex(), 0);
    const RECT cell = panel.GetCellRect(2);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageW(live.item.window, WM_LBUTTONDOWN, 0, at);
    SendMessageW(live.item.window, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(panel.GetCurrentIndex(), 2) << "a tap on a strip cell";
    EXPECT_EQ(Number(product, L"last_panel"), 3u) << "remembered";
    EXPECT_TRUE(panel.GetTab(2)->IsVisible());
    EXPECT_FALSE(panel.GetTab(0)->IsVisible());

    // A press that leaves its cell selects nothing.
    const RECT other = panel.GetCellRect(4);
    SendMessageW(live.item.window, WM_LBUTTONDOWN, 0, at);
    SendMessageW(live.item.window, WM_LBUTTONUP, 0, MAKELPARAM(other.left + 2, other.top + 2));
    EXPECT_EQ(panel.GetCurrentIndex(), 2);

    const WPARAM next = panel.IsHorizontal() ? VK_RIGHT : VK_DOWN;
    const WPARAM back = panel.IsHorizontal() ? VK_LEFT : VK_UP;
    SendMessageW(live.item.window, WM_KEYDOWN, next, 0);
    EXPECT_EQ(panel.GetCurrentIndex(), 3);
    SendMessageW(live.item.window, WM_KEYDOWN, back, 0);
    EXPECT_EQ(panel.GetCurrentIndex(), 2);
    // At the ends the top strip wraps; a side strip wraps only off a Pocket PC, and
    // on one lets the Today screen move its selection on (answer 0).
    const bool wraps = panel.IsHorizontal() || !IsPocketPC();
    struct End {
      int from;
      WPARAM key;
      int to;
    };
    const End ends[] = {{5, next, 0}, {0, back, 5}};
    for (const End& end : ends) {
      panel.SelectTab(end.from, FALSE);
      const LRESULT handled = SendMessageW(live.item.window, WM_TODAYCUSTOM_USERNAVIGATION, end.key, 0);
      EXPECT_EQ(handled, wraps ? 1 : 0) << end.from;
      EXPECT_EQ(panel.GetCurrentIndex(), wraps ? end.to : end.from) << end.from;
    }
    panel.SelectTab(0, FALSE);
    EXPECT_EQ(SendMessageW(live.item.window, WM_TODAYCUSTOM_USERNAVIGATION, next, 0), 1);
    EXPECT_EQ(panel.GetCurrentIndex(), 1);

    ASSERT_EQ(panel.GetTab(1)->GetTabId(), TAB_TASKS);
    StubbornTab::refuse = true;
    EXPECT_FALSE(panel.SelectTab(3, TRUE)) << "a tab that refuses to be left";
    EXPECT_EQ(panel.GetCurrentIndex(), 1);
    StubbornTab::refuse = false;
    EXPECT_FALSE(panel.SelectTab(6, TRUE));
    EXPECT_FALSE(panel.SelectTab(-1, TRUE));
  }
  SetTabMaker(TAB_TASKS, previous);
}

// The Today screen asks every item whether it changed every two seconds, all day: the
// panel answers with the height its settings give, from what it holds. Settings are read
// when they change (start-up, the settings message, the clear-cache message), never by
// the query.
TEST(TodayPanel, HeightsFollowTheSettingsAndTheQueryReadsNoRegistry) {
  struct Case {
    const char* what;
    DWORD total;         // 0: none stored
    DWORD autoSize;
    DWORD lastAutoSize;  // 0: none stored
    int expected;        // in pixel units
  };
  const Case cases[] = {{"the default", 120, 0, 0, 120},
                        {"a taller panel", 200, 0, 0, 200},
                        {"below the strip's minimum", 30, 0, 0, 80},
                        {"the last automatic height", 120, 1, 150, 150},
                        {"auto-size without a stored height", 160, 1, 0, 160},
                        {"a fixed height, none stored", 0, 0, 0, 120},
                        {"automatic, nothing stored yet", 0, 1, 0, 120},
                        {"automatic, the last height stored", 0, 1, 150, 150}};
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"panel_heights");
    ResourceInstance resources(SomeResources());
    CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
    if (c.total) product.WriteDWORD(L"TotalHeight", c.total);
    product.WriteDWORD(L"AutoSizeAdjust", c.autoSize);
    if (c.lastAutoSize) product.WriteDWORD(L"LastAutoSize", c.lastAutoSize * ((GetScreenDpiY() + 48) / 96));
    TodayView view;
    TODAYLISTITEM record = {};
    record.fEnabled = TRUE;
    HWND window = CreatePreWindow(&record, view.window, 0);
    ASSERT_TRUE(window);
    CTodayPanel panel(0);
    ASSERT_TRUE(panel.Attach(window));
    panel.OnCreate();
    WINDOWPOS position = {window, nullptr, 0, 0, 240, 100, 0x244};
    panel.OnWindowPosChanged(&position);
    const int unit = panel.GetPixelUnit();
    // Each query as the Today screen sends it, the keys opened and values read during it
    // summed; what the Today screen does in between (laying the item out) is not counted.
    DWORD reads = 0;
    auto query = [&] {
      const DWORD before = CeTestRegistryReads();
      const LRESULT changed =
          SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record), 0);
      reads += CeTestRegistryReads() - before;
      return changed;
    };
    EXPECT_EQ(query(), 1) << c.what << ": the first";
    const bool vertical = !panel.IsHorizontal();
    const int expected = vertical && c.expected < 120 ? 120 : c.expected;  // six cells of 20
    EXPECT_EQ(static_cast<int>(record.cyp), expected * unit) << c.what;
    // The Today screen lays the item out at the height it answered.
    SetWindowPos(window, nullptr, 0, 0, 240, static_cast<int>(record.cyp), SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(query(), 0) << c.what << ": nothing changed";
    // The Today screen moved: a change to answer, still from what the panel holds.
    SetWindowPos(view.window, nullptr, 0, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(query(), 1) << c.what << ": moved";
    EXPECT_EQ(reads, 0u) << c.what << ": keys opened and values read by the queries";

    TODAYLISTITEM foreign = {};
    EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&foreign), 0), 0);
    EXPECT_EQ(foreign.cyp, 0u) << "another sender's record is never written";
    EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0, 0), 1) << "without a record";
    EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(&record), 0), 0);
    DestroyWindow(window);
  }
}

TEST(TodayPanel, HeightsFromAnyRegistryBytesStayBounded) {
  const DWORD values[] = {0, 1, 0x7FFF, 0x8000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  for (DWORD value : values) {
    CLocalMachineSandbox machine(L"panel_height_bytes");
    ResourceInstance resources(SomeResources());
    CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
    product.WriteDWORD(L"TotalHeight", value);
    product.WriteDWORD(L"LastAutoSize", value);
    CTodayPanel panel(0);
    const int height = panel.GetCurrentHeight();
    EXPECT_GE(height, 0) << value;
    EXPECT_LE(height, 0x7FFF * panel.GetPixelUnit()) << value;
  }
}

}  // namespace

namespace {

// The resource library of the build, loaded as the plug-in loads it.
struct ResourceLibrary {
  explicit ResourceLibrary(const wchar_t* name = L"TarvoRes.Dll") {
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\') + 1);
    module = LoadLibraryExW((folder + name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ~ResourceLibrary() {
    if (module) FreeLibrary(module);
  }
  HMODULE module;
};

// How many pixels of the area differ from its top left one.
int MarkedPixels(HDC hdc, const RECT& area) {
  const COLORREF ground = GetPixel(hdc, area.left, area.top);
  int marked = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (GetPixel(hdc, x, y) != ground) ++marked;
  return marked;
}

TEST(TodayPanel, StripShowsEveryTabsIcon) {
  CLocalMachineSandbox machine(L"panel_strip");
  ResourceLibrary library;
  ASSERT_TRUE(library.module);
  ResourceInstance resources(library.module);
  LivePanel live;
  ASSERT_EQ(live.panel.GetTabCount(), 6);
  RECT client;
  GetClientRect(live.item.window, &client);
  ASSERT_TRUE(live.panel.RenderBackBuffer(client));
  HDC hdc = live.panel.GetBackBuffer().GetDC();
  for (int i = 0; i < live.panel.GetTabCount(); ++i) {
    RECT cell = live.panel.GetCellRect(i);
    InflateRect(&cell, -1, -1);
    EXPECT_GT(MarkedPixels(hdc, cell), (cell.right - cell.left) * (cell.bottom - cell.top) / 8)
        << "tab " << i << " shows its icon";
  }
}

// The other tabs' icons are made once and laid over the strip at each paint: every
// paint shows the same strip, and tabs made again in another order show their own
// icons, not those that stood at their places before.
TEST(TodayPanel, StripIconsStayWithTheirTabsAcrossPaintsAndRebuilds) {
  CLocalMachineSandbox machine(L"panel_strip_again");
  ResourceLibrary library;
  ASSERT_TRUE(library.module);
  ResourceInstance resources(library.module);
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  product.WriteString(L"ShowTabsSequence", L"123456");
  LivePanel live;
  ASSERT_EQ(live.panel.GetTabCount(), 6);
  RECT client;
  GetClientRect(live.item.window, &client);
  ASSERT_TRUE(live.panel.RenderBackBuffer(client));
  // Each tab's icon box by tab, painted over white (the view draws no background).
  auto icons = [&] {
    CDib& buffer = live.panel.GetBackBuffer();
    RECT all = {0, 0, buffer.GetWidth(), buffer.GetHeight()};
    FillRect(buffer.GetDC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    GdiFlush();
    std::map<int, std::vector<BYTE>> boxes;
    if (!live.panel.RenderBackBuffer(client)) return boxes;
    GdiFlush();
    const int width = 16 * (GetScreenDpiX() + 3) / 96, height = 16 * (GetScreenDpiY() + 3) / 96;
    for (int i = 0; i < live.panel.GetTabCount(); ++i) {
      const RECT cell = live.panel.GetCellRect(i);
      const int x = (cell.left + cell.right - width) / 2, y = (cell.top + cell.bottom - height) / 2;
      std::vector<BYTE>& box = boxes[live.panel.GetTab(i)->GetTabId()];
      for (int row = y; row < y + height; ++row) box.insert(box.end(), buffer.Pixel(x, row), buffer.Pixel(x + width, row));
    }
    return boxes;
  };
  const auto first = icons();
  ASSERT_EQ(first.size(), 6u);
  EXPECT_EQ(icons(), first) << "painted again";
  for (int shown = 1; shown <= 6; ++shown)
    for (int other = shown + 1; other <= 6; ++other)
      EXPECT_NE(first.at(shown), first.at(other)) << "tabs " << shown << " and " << other << " look alike";

  product.WriteString(L"ShowTabsSequence", L"654321");
  SendMessageW(live.item.window, RegisterWindowMessageW(L"QelTarvo_UpdateSettings"), 0, 1);
  ASSERT_EQ(live.Ids(), (std::vector<int>{6, 5, 4, 3, 2, 1}));
  const auto reordered = icons();
  for (const auto& tab : first) EXPECT_EQ(reordered.at(tab.first), tab.second) << "tab " << tab.first;
}

}  // namespace

namespace {

TEST(TodayPanel, ALibraryThatWentAwayGivesTheResourcesMissingTab) {
  CLocalMachineSandbox machine(L"panel_gone");
  // A library without the texts stands for one whose card was removed.
  ResourceLibrary other(L"QelTarvo.dll");
  ASSERT_TRUE(other.module);
  ResourceInstance resources(other.module);
  LivePanel live;
  ASSERT_FALSE(live.panel.IsResourcesMissing());
  ASSERT_EQ(live.panel.GetTabCount(), 6);
  ShowWindow(live.item.view.window, SW_SHOWNA);
  RedrawWindow(live.item.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(live.panel.IsResourcesMissing());
  EXPECT_EQ(GetModule().GetResourceInstance(), GetModule().GetModuleInstance());
  ASSERT_EQ(live.panel.GetTabCount(), 1);
  EXPECT_TRUE(dynamic_cast<CNoResourcesTab*>(live.panel.GetCurrentTab()));
  const UINT update = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, live.item.window, update, update, PM_REMOVE)) << "asks for the settings again";
}

}  // namespace

namespace {

// Tabs counted as they are made and deleted, to see that none is dropped or leaked.
struct CountedTab : CStandInTab {
  CountedTab(int id, CVirtualWnd* owner) : CStandInTab(id, owner) { ++alive; }
  ~CountedTab() override { --alive; }
  static int alive;
};
int CountedTab::alive = 0;

template <int Id>
CScrollPanel* MakeCounted(CVirtualWnd* owner) {
  return new CountedTab(Id, owner);
}

struct CountedMakers {
  CountedMakers() {
    PFN_MAKE_TAB makers[] = {MakeCounted<1>, MakeCounted<2>, MakeCounted<3>,
                             MakeCounted<4>, MakeCounted<5>, MakeCounted<6>};
    for (int id = 1; id <= 6; ++id) previous[id - 1] = SetTabMaker(id, makers[id - 1]);
  }
  ~CountedMakers() {
    for (int id = 1; id <= 6; ++id) SetTabMaker(id, previous[id - 1]);
  }
  PFN_MAKE_TAB previous[6];
};

// What must hold whatever the settings: every chosen tab shown once, calendar when
// nothing else is, the written order naming the tabs shown in their order.
void CheckFactory(const LivePanel& live, const CRegistryView& product, DWORD shown, const std::string& what) {
  std::vector<int> ids = live.Ids();
  std::vector<int> expected;
  const int bits[] = {0, 32, 1, 2, 4, 8, 16};
  for (int id = 1; id <= 6; ++id)
    if (shown & bits[id]) expected.push_back(id);
  if (!(shown & 32) && expected.empty()) expected.push_back(1);
  std::vector<int> sorted = ids;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, expected) << what;
  std::wstring order;
  for (int id : ids) order += static_cast<wchar_t>(L'0' + id);
  EXPECT_EQ(Text(product, L"ShowTabsSequence"), order) << what;
  ASSERT_NE(live.panel.GetCurrentTab(), nullptr) << what;
}

TEST(TodayPanel, TabSettingsWrittenByRegExe) {
  CLocalMachineSandbox machine(L"panel_regexe");
  ASSERT_TRUE(machine.Redirected());
  ResourceInstance resources(SomeResources());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  const std::wstring key = L"\"HKCU\\" + std::wstring(product.Path()) + L"\"";
  struct Case {
    const wchar_t* values;
    DWORD shown;
  };
  // Numbers as text (a short value is read as its bytes: "1" is 0x31), a sequence as
  // a number, a huge "last_panel": each read as what it can be, none taken for more.
  const Case cases[] = {{L"/v ShowTabs /t REG_SZ /d 1", 0x31},
                        {L"/v ShowTabs /t REG_DWORD /d 0x21", 0x21},
                        {L"/v ShowTabsSequence /t REG_DWORD /d 7", 0x21},
                        {L"/v ShowTabsSequence /t REG_SZ /d 6543210", 0x21},
                        {L"/v last_panel /t REG_DWORD /d 0xFFFFFFFE", 0x21},
                        {L"/v last_panel /t REG_SZ /d 2", 0x21}};
  CountedMakers makers;
  for (const Case& c : cases) {
    ASSERT_EQ(RunProgram(L"reg.exe add " + key + L" " + c.values + L" /f"), 0u);
    {
      LivePanel live;
      CheckFactory(live, product, c.shown, std::string(c.values, c.values + wcslen(c.values)));
    }
    EXPECT_EQ(CountedTab::alive, 0);
  }
}

TEST(TodayPanel, TabSettingsFromAnyBytes) {
  CLocalMachineSandbox machine(L"panel_fuzz");
  ResourceInstance resources(SomeResources());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  CountedMakers makers;
  std::mt19937 random(2910);
  const wchar_t alphabet[] = L"1234567890 W\x00e9\xffff";
  for (int round = 0; round < 300; ++round) {
    product.Delete();
    const DWORD shown = random() % 2 ? static_cast<DWORD>(random()) : static_cast<DWORD>(random() % 64);
    product.WriteDWORD(L"ShowTabs", shown);
    std::wstring sequence;
    for (int n = static_cast<int>(random() % 12); n > 0; --n) sequence += alphabet[random() % 15];
    product.WriteString(L"ShowTabsSequence", sequence.c_str());
    if (random() % 3 == 0) {
      BYTE bytes[8];
      for (BYTE& b : bytes) b = static_cast<BYTE>(random());
      product.Write(L"ShowTabsSequence", random() % 2 ? REG_BINARY : REG_DWORD, bytes, random() % sizeof bytes);
    }
    product.WriteDWORD(L"last_panel", random() % 2 ? random() % 8 : static_cast<DWORD>(random()));
    {
      LivePanel live;
      CheckFactory(live, product, shown, "round " + std::to_string(round));
      // Built again from what it wrote, the order stays.
      const std::vector<int> first = live.Ids();
      live.panel.RebuildTabs();
      EXPECT_EQ(live.Ids(), first) << round;
    }
    ASSERT_EQ(CountedTab::alive, 0) << "round " << round;
  }
}

}  // namespace

namespace {

// The Today screen grows or shrinks the panel to fill what its other items leave.
TEST(TodayPanel, AutoSizeFillsTheScrollingOwner) {
  CLocalMachineSandbox machine(L"panel_autosize");
  ResourceInstance resources(SomeResources());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VSCROLL, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                               nullptr);
  HWND item = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 120, owner, nullptr, nullptr,
                              nullptr);
  RECT client;
  GetClientRect(owner, &client);
  auto setRange = [&](int total) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMax = total - 1;
    info.nPage = static_cast<UINT>(client.bottom);
    SetScrollInfo(owner, SB_VERT, &info, FALSE);
  };
  auto height = [&] {
    RECT r;
    GetWindowRect(item, &r);
    return static_cast<int>(r.bottom - r.top);
  };
  {
    CTodayPanel panel(0);
    ASSERT_TRUE(panel.Attach(item));
    panel.OnCreate();
    const int unit = panel.GetPixelUnit();
    // The screen holds 200 pixels of items, this one's 120 among them.
    setRange(200);
    EXPECT_TRUE(panel.MovePanel(RECT{0, 0, 240, 120}, FALSE));
    const int filled = 120 + (static_cast<int>(client.bottom) - 199 - unit);
    EXPECT_EQ(height(), std::max(filled, panel.GetMinHeight()));
    EXPECT_EQ(Number(product, L"LastAutoSize"), static_cast<DWORD>(height()));
    EXPECT_EQ(panel.GetCurrentHeight(), height());
    // Laid out again at that height the screen is filled: nothing moves.
    setRange(static_cast<int>(client.bottom) - unit + 1);
    EXPECT_FALSE(panel.MovePanel(RECT{0, 0, 240, height()}, FALSE));
  }
  // Without auto-size the panel goes back to its set height.
  product.WriteDWORD(L"AutoSizeAdjust", 0);
  {
    CTodayPanel panel(0);
    ASSERT_TRUE(panel.Attach(item));
    panel.OnCreate();
    EXPECT_EQ(panel.GetCurrentHeight(), 120 * panel.GetPixelUnit());
    // The owner seen for the first time moves the panel where it is told, unsized.
    const int before = height();
    EXPECT_TRUE(panel.MovePanel(RECT{0, 0, 240, before}, FALSE));
    EXPECT_EQ(height(), before);
    EXPECT_FALSE(panel.MovePanel(RECT{0, 0, 240, before}, FALSE)) << "nothing changed";
  }
  DestroyWindow(owner);
}

// A parent without a scroll range (a plain window): the layout timer fills it once and
// then leaves the panel alone, in both layout versions.
TEST(TodayPanel, LayoutTimerSettlesInAParentWithoutScrollRange) {
  struct Case {
    const char* what;
    int newLayout;
  };
  const Case cases[] = {{"the older layout", 0}, {"the newer layout", 1}};
  const int saved = GetViewSettings().NewAutoAdjustVersion;
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"panel_layout_timer");
    ResourceInstance resources(SomeResources());
    GetViewSettings().NewAutoAdjustVersion = c.newLayout;
    LivePanel live;
    ASSERT_TRUE(live.attached);
    const HWND window = live.item.window;
    RECT view;
    GetClientRect(live.item.view.window, &view);
    auto height = [&] {
      RECT r;
      GetWindowRect(window, &r);
      return static_cast<int>(r.bottom - r.top);
    };
    const int filled = std::max(static_cast<int>(view.bottom) - live.panel.GetPixelUnit(), live.panel.GetMinHeight());
    for (int firing = 1; firing <= 4; ++firing) {
      SendMessageW(window, WM_TIMER, CTodayPanel::kLayoutTimer, 0);
      EXPECT_EQ(height(), filled) << c.what << ", firing " << firing;
      EXPECT_FALSE(KillTimer(window, CTodayPanel::kLayoutTimer)) << c.what << ", firing " << firing << ": started again";
    }
  }
  GetViewSettings().NewAutoAdjustVersion = saved;
}

}  // namespace

namespace {

// Tabs that count the refreshes they are asked for.
struct RefreshCountingTab : CStandInTab {
  RefreshCountingTab(int id, CVirtualWnd* owner) : CStandInTab(id, owner) {}
  void RequestRefresh() override { ++refreshes[GetTabId()]; }
  static int refreshes[7];
};
int RefreshCountingTab::refreshes[7] = {};

template <int Id>
CScrollPanel* MakeRefreshCounting(CVirtualWnd* owner) {
  return new RefreshCountingTab(Id, owner);
}

int g_reloads = 0;

// The registered messages the panel answers, posted as another program would post
// them: parameters that look like addresses are only ever numbers.
TEST(TodayPanel, AnswersItsRegisteredMessages) {
  PFN_MAKE_TAB makers[] = {MakeRefreshCounting<1>, MakeRefreshCounting<2>, MakeRefreshCounting<3>,
                           MakeRefreshCounting<4>, MakeRefreshCounting<5>, MakeRefreshCounting<6>};
  PFN_MAKE_TAB previous[6];
  for (int id = 1; id <= 6; ++id) previous[id - 1] = SetTabMaker(id, makers[id - 1]);
  CMessageBoxAnswer boxes(IDOK);
  PFN_HOSTS_RELOAD previousReload = SetHostsReload([](DWORD) { ++g_reloads; });
  // Whatever the library gives as text 214 is what the box shows; none, no box.
  ResourceInstance resources(SomeResources());
  WCHAR expectedText[1024] = {};
  LoadStringW(SomeResources(), 214, expectedText, 1024);

  const UINT todayUpdated = RegisterWindowMessageW(L"TODAY_UPDATED{9620A364-953C-4B31-B593-9717F4B91603}");
  const UINT showMessage = RegisterWindowMessageW(L"QelTarvo_ShowMessage");
  const UINT uiMetric = RegisterWindowMessageW(L"SH_UIMETRIC_CHANGE");
  const UINT selectAccount = RegisterWindowMessageW(L"QelTarvo_SelectEmailAccount");
  const LPARAM bogus = static_cast<LPARAM>(0xDEAD0000);
  const WPARAM bogusWide = static_cast<WPARAM>(~static_cast<ULONG_PTR>(0) - 0xF);

  struct Case {
    const char* what;
    UINT message;
    WPARAM wParam;
    DWORD useSystem;  // 0xBAD: none stored
    int calendarRefreshes, boxes, reloads;
    int currentId;  // 0: unchanged
  };
  const DWORD none = 0xBAD;
  const bool text = expectedText[0] != 0;
  const Case cases[] = {
      {"today updated refreshes the calendar only", todayUpdated, 0, none, 1, 0, 0, 0},
      {"an error to show", showMessage, 1, none, 0, text ? 1 : 0, 0, 0},
      {"other message numbers are ignored", showMessage, 0, none, 0, 0, 0, 0},
      {"a wide number is no message either", showMessage, bogusWide, none, 0, 0, 0, 0},
      {"fonts follow the system by default", uiMetric, 0, none, 0, 0, 1, 0},
      {"fonts that follow the system", uiMetric, 0, 1, 0, 0, 1, 0},
      {"own fonts: the Today screen is left alone", uiMetric, 0, 0, 0, 0, 0, 0},
      {"an e-mail account brings the messages tab", selectAccount, bogusWide, none, 0, 0, 0, 5},
  };
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"panel_registered");
    CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
    if (c.useSystem != none) product.WriteDWORD(L"UseSystem", c.useSystem);
    LivePanel live;
    ASSERT_EQ(live.panel.GetTabCount(), 6) << c.what;
    const int currentBefore = live.panel.GetCurrentTab()->GetTabId();
    std::fill(std::begin(RefreshCountingTab::refreshes), std::end(RefreshCountingTab::refreshes), 0);
    boxes.asked.clear();
    g_reloads = 0;
    ASSERT_TRUE(PostMessageW(live.item.window, c.message, c.wParam, bogus)) << c.what;
    MSG msg;
    while (PeekMessageW(&msg, live.item.window, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(RefreshCountingTab::refreshes[1], c.calendarRefreshes) << c.what;
    for (int id = 2; id <= 6; ++id) EXPECT_EQ(RefreshCountingTab::refreshes[id], 0) << c.what << ", tab " << id;
    ASSERT_EQ(static_cast<int>(boxes.asked.size()), c.boxes) << c.what;
    if (c.boxes) {
      EXPECT_EQ(boxes.asked[0].caption, L"Qel Tarvo") << c.what;
      EXPECT_EQ(boxes.asked[0].text, expectedText) << c.what;
      EXPECT_EQ(boxes.asked[0].type, 16u) << c.what;
    }
    EXPECT_EQ(g_reloads, c.reloads) << c.what;
    EXPECT_EQ(live.panel.GetCurrentTab()->GetTabId(), c.currentId ? c.currentId : currentBefore) << c.what;
  }
  SetHostsReload(previousReload);
  for (int id = 1; id <= 6; ++id) SetTabMaker(id, previous[id - 1]);
}

// Any numbers in the panel's registered messages, and in other registered message
// numbers: nothing is read through them, only a wParam of 1 shows the error.
TEST(TodayPanel, RegisteredMessagesWithAnyNumbers) {
  CLocalMachineSandbox machine(L"panel_registered_fuzz");
  ResourceInstance resources(SomeResources());
  CMessageBoxAnswer boxes(IDOK);
  PFN_HOSTS_RELOAD previousReload = SetHostsReload([](DWORD) { ++g_reloads; });
  WCHAR expectedText[1024] = {};
  const bool text = LoadStringW(SomeResources(), 214, expectedText, 1024) > 0;
  const UINT showMessage = RegisterWindowMessageW(L"QelTarvo_ShowMessage");
  const UINT messages[] = {RegisterWindowMessageW(L"TODAY_UPDATED{9620A364-953C-4B31-B593-9717F4B91603}"),
                           showMessage, RegisterWindowMessageW(L"SH_UIMETRIC_CHANGE"),
                           RegisterWindowMessageW(L"QelTarvo_SelectEmailAccount")};
  LivePanel live;
  const int tabs = live.panel.GetTabCount();
  std::mt19937_64 random(0x5EED29);
  size_t boxesExpected = 0;
  for (int i = 0; i < 3000; ++i) {
    const UINT message = (random() % 4) ? messages[random() % 4] : static_cast<UINT>(0xC000 + random() % 0x4000);
    WPARAM wParam = static_cast<WPARAM>(random());
    if (random() % 8 == 0) wParam = static_cast<WPARAM>(random() % 3);
    const LPARAM lParam = static_cast<LPARAM>(random());
    if (message == showMessage && wParam == 1 && text) ++boxesExpected;
    SendMessageW(live.item.window, message, wParam, lParam);
  }
  EXPECT_EQ(boxes.asked.size(), boxesExpected);
  EXPECT_EQ(live.panel.GetTabCount(), tabs);
  EXPECT_TRUE(IsWindow(live.item.window));
  SetHostsReload(previousReload);
}

}  // namespace

namespace paneltest {

// The child's part: the panel's registered messages as another program posts them,
// with its own addresses as parameters, the calendar's refresh last.
int PostPanelMessagesInChild(const std::wstring& arg) {
  HWND panel = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(_wcstoui64(arg.c_str(), nullptr, 16)));
  if (!IsWindow(panel)) return 2;
  static WCHAR own[] = L"an address of the child";
  const LPARAM address = reinterpret_cast<LPARAM>(own);
  const UINT showMessage = RegisterWindowMessageW(L"QelTarvo_ShowMessage");
  PostMessageW(panel, showMessage, reinterpret_cast<WPARAM>(own), address);
  PostMessageW(panel, showMessage, 0, address);
  PostMessageW(panel, RegisterWindowMessageW(L"QelTarvo_SelectEmailAccount"), reinterpret_cast<WPARAM>(own), address);
  PostMessageW(panel, RegisterWindowMessageW(L"QelTarvo_SendVirtualMessage"), reinterpret_cast<WPARAM>(own), 5);
  PostMessageW(panel, RegisterWindowMessageW(L"QelTarvo_EmailListChanged"), 1, address);
  PostMessageW(panel, RegisterWindowMessageW(L"QelTarvo_FileChange"), 1, address);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(panel, RegisterWindowMessageW(L"SH_UIMETRIC_CHANGE"), reinterpret_cast<WPARAM>(own), address,
                      SMTO_BLOCK, 5000, &result);
  PostMessageW(panel, RegisterWindowMessageW(L"TODAY_UPDATED{9620A364-953C-4B31-B593-9717F4B91603}"), 0, address);
  return 0;
}

}  // namespace paneltest

namespace {

TEST(TodayPanel, RegisteredMessagesFromAnotherProcess) {
  CLocalMachineSandbox machine(L"panel_registered_child");
  ResourceInstance resources(SomeResources());
  PFN_MAKE_TAB makers[] = {MakeRefreshCounting<1>, MakeRefreshCounting<2>, MakeRefreshCounting<3>,
                           MakeRefreshCounting<4>, MakeRefreshCounting<5>, MakeRefreshCounting<6>};
  PFN_MAKE_TAB previous[6];
  for (int id = 1; id <= 6; ++id) previous[id - 1] = SetTabMaker(id, makers[id - 1]);
  CMessageBoxAnswer boxes(IDOK);
  PFN_HOSTS_RELOAD previousReload = SetHostsReload([](DWORD) { ++g_reloads; });
  g_reloads = 0;
  std::fill(std::begin(RefreshCountingTab::refreshes), std::end(RefreshCountingTab::refreshes), 0);
  {
    LivePanel live;
    ASSERT_EQ(live.panel.GetTabCount(), 6);
    WCHAR arg[32];
    swprintf(arg, 32, L"%llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(live.item.window)));
    HANDLE child = cedbtest::StartChild(L"panel-messages", arg);
    ASSERT_TRUE(child);
    const bool ended = cedbtest::PumpUntil([&] { return WaitForSingleObject(child, 0) == WAIT_OBJECT_0; });
    DWORD code = 1;
    GetExitCodeProcess(child, &code);
    CloseHandle(child);
    ASSERT_TRUE(ended);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(cedbtest::PumpUntil([] { return RefreshCountingTab::refreshes[1] > 0; }));
    EXPECT_TRUE(boxes.asked.empty()) << "no message number but 1 shows the error";
    EXPECT_EQ(g_reloads, 1);
    EXPECT_EQ(live.panel.GetCurrentTab()->GetTabId(), 5) << "the messages tab, whatever the account number";
    EXPECT_TRUE(IsWindow(live.item.window));
  }
  SetHostsReload(previousReload);
  for (int id = 1; id <= 6; ++id) SetTabMaker(id, previous[id - 1]);
}

// A tab that follows the categories as the list tabs do: it subscribes to the list
// that is current when it is made.
struct CategoryHearingTab : CStandInTab, ICategoriesListener {
  CategoryHearingTab(int id, CVirtualWnd* owner) : CStandInTab(id, owner), list(CCategoriesList::GetCurrent()) {
    if (list) list->Subscribe(this);
  }
  ~CategoryHearingTab() override {
    if (list && list == CCategoriesList::GetCurrent()) list->Unsubscribe(this);
  }
  void OnCategoryAdded(int index) override { heard.push_back(index); }
  void OnCategoryDeleted(int index) override { heard.push_back(-1 - index); }
  CCategoriesList* list;
  static std::vector<int> heard;
};
std::vector<int> CategoryHearingTab::heard;

CScrollPanel* MakeCategoryHearing(CVirtualWnd* owner) { return new CategoryHearingTab(TAB_TASKS, owner); }

std::vector<std::wstring> DisplayNames(const CCategoriesList& list) {
  std::vector<std::wstring> names;
  for (int i = 0; i < list.GetDisplayCount(); ++i) names.push_back(std::wstring(list.GetName(list.GetDisplayAt(i))));
  return names;
}

// The panel reads the device's categories as it starts, before its tabs are made; a
// category another program adds reaches the list and the tabs through the panel's
// window; the list goes with the window. Both store layouts.
TEST(TodayPanel, KeepsTheDevicesCategoriesWhileItsWindowLives) {
  PFN_MAKE_TAB previous = SetTabMaker(TAB_TASKS, MakeCategoryHearing);
  for (const bool newer : {false, true}) {
    CLocalMachineSandbox machine(L"panel_categories");
    ResourceInstance resources(SomeResources());
    CStoreMode mode(newer);
    pimtest::ClearStores();
    cattest::WriteCategory(newer, L"Work", 1);
    cattest::WriteCategory(newer, L"Home", 2);
    CategoryHearingTab::heard.clear();
    {
      LivePanel live;
      CCategoriesList* list = CCategoriesList::GetCurrent();
      ASSERT_NE(list, nullptr) << newer;
      EXPECT_TRUE(list->IsOpen()) << newer;
      EXPECT_EQ(DisplayNames(*list), (std::vector<std::wstring>{L"Home", L"Work"})) << newer;
      const CategoryHearingTab* tab = nullptr;
      for (int i = 0; i < live.panel.GetTabCount(); ++i)
        if (!tab) tab = dynamic_cast<const CategoryHearingTab*>(live.panel.GetTab(i));
      ASSERT_NE(tab, nullptr) << newer;
      EXPECT_EQ(tab->list, list) << "the tab was made after the list";

      ASSERT_EQ(cedbtest::RunChild(L"category-write", std::wstring(newer ? L"1" : L"0") + L" 3 Agenda"), 0u);
      EXPECT_TRUE(cedbtest::PumpUntil([&] { return list->GetCount() == 3; })) << newer;
      EXPECT_EQ(DisplayNames(*list), (std::vector<std::wstring>{L"Agenda", L"Home", L"Work"})) << newer;
      EXPECT_EQ(CategoryHearingTab::heard, std::vector<int>{2}) << newer;

      DestroyWindow(live.item.window);
      EXPECT_EQ(CCategoriesList::GetCurrent(), nullptr) << "gone with the window";
    }
    pimtest::ClearStores();
  }
  SetTabMaker(TAB_TASKS, previous);
}

}  // namespace
