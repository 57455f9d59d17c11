#include "panel/PreWindow.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/tests/RegistrySandbox.h"
#include "panel/Plugin.h"
#include "panel/TodayPanelBase.h"
#include "panel/tests/PanelTestSupport.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/windowlib/Module.h"

namespace {

// What reached the fake Today screen and the fake panel, in order.
std::vector<std::string> g_events;

// The Today screen's view, recording its watermark requests among the events.
struct Screen : TodayView {
  Screen() : TodayView([] { g_events.push_back("watermark"); }) { g_events.clear(); }
  ~Screen() { SetTodayPanel(nullptr); }
};

// A panel that records what the placeholder asks of it; it can fail on creation.
class CRecordingPanel : public CTodayPanelBase {
 public:
  static bool throwOnCreate;
  BOOL Attach(HWND window) override {
    m_window = window;
    return TRUE;
  }
  HWND GetHwnd() const override { return m_window; }
  LRESULT OnCreate() override {
    g_events.push_back("create");
    if (throwOnCreate) throw std::runtime_error("no memory");
    return 0;
  }
  LRESULT OnWindowPosChanged(WINDOWPOS* position) override {
    g_events.push_back("layout " + std::to_string(position->flags));
    return 0;
  }
  LRESULT OnActivateTab(WPARAM wParam, LPARAM lParam) override {
    g_events.push_back("activate " + std::to_string(wParam) + " " + std::to_string(lParam));
    return 7;
  }
  LRESULT OnSetCurrentPlugin(WPARAM, LPARAM) override { return 8; }
  BOOL IsResourcesMissing() const override { return FALSE; }

 private:
  HWND m_window = nullptr;
};
bool CRecordingPanel::throwOnCreate = false;

CTodayPanelBase* MakeRecordingPanel(int) { return new CRecordingPanel(); }

struct PanelMaker {
  PanelMaker() : previous(SetTodayPanelMaker(MakeRecordingPanel)) { CRecordingPanel::throwOnCreate = false; }
  ~PanelMaker() { SetTodayPanelMaker(previous); }
  PFN_MAKE_TODAY_PANEL previous;
};

// A placeholder of the given mode on a screen of its own, with a recording panel maker.
struct Placeholder {
  Placeholder(const wchar_t* name, int mode) : machine(name) {
    item.fEnabled = TRUE;
    window = CreatePreWindow(&item, screen.window, mode);
  }
  ~Placeholder() {
    if (IsWindow(window)) DestroyWindow(window);
  }
  CLocalMachineSandbox machine;
  PanelMaker maker;
  Screen screen;
  TODAYLISTITEM item = {};
  HWND window;
};

TEST(PreWindow, AnswersItsHeightFromTheRegistry) {
  struct Case {
    const char* what;
    int dpi;
    bool landscape;
    // Values written (-2: left out).
    int total, totalL, adjust, last, lastL;
    int height;
  };
  const int no = -2;
  const Case cases[] = {
      {"defaults", 96, false, no, no, no, no, no, 120},
      {"defaults at 192 dpi", 192, false, no, no, no, no, no, 240},
      {"last automatic height", 96, false, 80, no, 1, 250, no, 250},
      {"last automatic height at 192 dpi stays in pixels", 192, false, 80, no, 1, 250, no, 250},
      {"automatic height off", 192, false, 120, no, 0, 250, no, 240},
      {"no automatic height yet", 96, false, 100, no, 1, 0, no, 100},
      {"landscape value", 96, true, 300, 90, 0, no, no, 90},
      {"landscape automatic height", 192, true, no, no, 1, 10, 333, 333},
      {"landscape without an automatic height", 192, true, no, 100, 1, no, -1, 200},
      {"odd dpi rounds", 120, false, 101, no, 0, no, no, 126},
      {"a negative height is none, not a huge one", 192, false, -120, no, 0, no, no, 0},
      {"the largest negative value", 96, false, INT_MIN, no, 0, no, no, 0},
      {"the largest value does not wrap", 192, false, INT_MAX, no, 0, no, no, INT_MAX},
  };
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"height");
    ASSERT_TRUE(machine.Redirected());
    CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
    const std::pair<const wchar_t*, int> values[] = {{L"TotalHeight", c.total},     {L"TotalHeightL", c.totalL},
                                                     {L"AutoSizeAdjust", c.adjust}, {L"LastAutoSize", c.last},
                                                     {L"LastAutoSizeL", c.lastL}};
    for (const auto& v : values)
      if (v.second != no) product.WriteDWORD(v.first, static_cast<DWORD>(v.second));
    CDeviceSwitch device;
    device.Set(L"Screen", c.landscape ? L"320x240" : L"240x320");
    SetScreenDpi(c.dpi, c.dpi);
    EXPECT_EQ(GetItemHeight(), c.height) << c.what;
    DWORD written = 0;
    EXPECT_TRUE(product.ReadDWORD(c.landscape ? L"TotalHeightL" : L"TotalHeight", written)) << "written back";
  }
  SetScreenDpi(0, 0);
}

// The options program or anyone else may leave any bytes in these values.
TEST(PreWindow, HeightFromAnyRegistryValuesIsNeverNegative) {
  CLocalMachineSandbox machine(L"height_fuzz");
  ASSERT_TRUE(machine.Redirected());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  // As reg.exe writes them: a height as text, a negative one as a wrapped number.
  const std::wstring key = L"\"HKCU\\" + std::wstring(machine.Key(TARVO_PRODUCT_KEY).Path()) + L"\"";
  for (const wchar_t* value : {L"/v AutoSizeAdjust /t REG_DWORD /d 0", L"/v TotalHeight /t REG_SZ /d 300",
                               L"/v TotalHeight /t REG_DWORD /d 0xFFFFFF88"}) {
    ASSERT_EQ(RunProgram(L"reg.exe add " + key + L" " + value + L" /f"), 0u) << value;
    SetScreenDpi(96, 96);
    EXPECT_GE(GetItemHeight(), 0) << value;
  }
  EXPECT_EQ(GetItemHeight(), 0) << "-120";

  const wchar_t* names[] = {L"TotalHeight", L"TotalHeightL", L"AutoSizeAdjust", L"LastAutoSize", L"LastAutoSizeL"};
  const DWORD types[] = {REG_DWORD, REG_BINARY, REG_SZ, REG_QWORD};
  std::mt19937 random(1210);
  for (int round = 0; round < 2000; ++round) {
    if (round % 50 == 0) product.Delete();
    BYTE data[12];
    for (BYTE& b : data) b = static_cast<BYTE>(random());
    product.Write(names[random() % 5], types[random() % 4], data, random() % sizeof data);
    SetScreenDpi(96 + random() % 200, 96 + random() % 200);
    EXPECT_GE(GetItemHeight(), 0);
  }
  SetScreenDpi(0, 0);
}

TEST(PreWindow, TabHostHeightCoversItsTabStrip) {
  CLocalMachineSandbox machine(L"host_floor");
  ASSERT_TRUE(machine.Redirected());
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  product.WriteDWORD(L"AutoSizeAdjust", 0);
  product.WriteDWORD(L"TotalHeight", 10);
  SetScreenDpi(192, 192);
  Screen screen;
  TODAYLISTITEM item = {};
  item.fEnabled = TRUE;
  HWND window = CreatePreWindow(&item, screen.window, 1);
  ASSERT_TRUE(window);
  EXPECT_EQ(GetItemHeight(), 40) << "20 logical pixels, not the 20 of the setting";
  product.WriteDWORD(L"AllTabsInArdeno", 0);
  EXPECT_EQ(GetItemHeight(), 20);
  DestroyWindow(window);
  SetScreenDpi(0, 0);
}

TEST(PreWindow, PlaceholderLifeAndTheHeightQuery) {
  CLocalMachineSandbox machine(L"placeholder");
  ASSERT_TRUE(machine.Redirected());
  PanelMaker maker;
  SetScreenDpi(96, 96);
  Screen screen;
  TODAYLISTITEM disabled = {};
  EXPECT_EQ(CreatePreWindow(&disabled, screen.window, 0), nullptr);
  EXPECT_EQ(CreatePreWindow(nullptr, screen.window, 0), nullptr);

  TODAYLISTITEM item = {};
  item.fEnabled = TRUE;
  item.cyp = 55;
  HWND window = CreatePreWindow(&item, screen.window, 0);
  ASSERT_TRUE(window);
  EXPECT_EQ(item.hwndCustom, window);
  EXPECT_EQ(item.cyp, 0u);
  WCHAR text[64] = {};
  GetClassNameW(window, text, 64);
  EXPECT_STREQ(text, L"Qel_Tarvo_PreWindow");
  GetWindowTextW(window, text, 64);
  EXPECT_STREQ(text, L"QelTarvo_NULL");
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.bottom - rect.top, 0);
  EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), 0);

  EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(&item), 0), 0);
  EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&item), 0), 1);
  EXPECT_EQ(item.cyp, 120u);
  EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&item), 0), 0)
      << "the screen already holds a height";
  EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0, 0), 0) << "no record";
  // Another sender's address is never written through, whatever it points at.
  TODAYLISTITEM other = {};
  EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&other), 0), 0);
  EXPECT_EQ(other.cyp, 0u);
  EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0x10, 0), 0);

  // A second call while it lives: the same window, the height left alone.
  TODAYLISTITEM again = {};
  again.fEnabled = TRUE;
  again.cyp = 99;
  EXPECT_EQ(CreatePreWindow(&again, screen.window, 0), window);
  EXPECT_EQ(again.cyp, 99u);

  DestroyWindow(window);
  EXPECT_EQ(GetPreWindowHandle(), nullptr);
  HWND next = CreatePreWindow(&item, screen.window, 1);
  EXPECT_NE(next, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(next, GWLP_USERDATA), 1);
  DestroyWindow(next);
  SetScreenDpi(0, 0);
}

TEST(PreWindow, FirstPaintDrawsTheBackgroundBeforeThePanelExists) {
  Placeholder p(L"first_paint", 0);
  ASSERT_TRUE(p.machine.Redirected());
  HWND window = p.window;
  ASSERT_TRUE(window);
  SetWindowPos(window, nullptr, 0, 0, 240, 50, SWP_NOZORDER);
  ShowWindow(p.screen.window, SW_SHOWNA);
  g_events.clear();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const std::vector<std::string> expected = {"watermark", "create", "layout 580"};
  EXPECT_EQ(g_events, expected);
  EXPECT_TRUE(IsPanelCreated());
  ASSERT_NE(GetTodayPanel(), nullptr);
  EXPECT_EQ(GetTodayPanel()->GetHwnd(), window);
  // Once the panel is there the placeholder no longer answers for it.
  g_events.clear();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(g_events.empty());
  EXPECT_TRUE(IsPluginInitialized());
  EXPECT_EQ(GetLoadedResourceLibraryCount(), 1);
  DestroyWindow(window);
  EXPECT_FALSE(IsPanelCreated());
  EXPECT_FALSE(IsPluginInitialized()) << "stopped with the window, not at unload";
  EXPECT_EQ(GetLoadedResourceLibraryCount(), 0);
}

TEST(PreWindow, TabRequestsBuildThePanelFirst) {
  Placeholder p(L"tab_request", 1);
  ASSERT_TRUE(p.machine.Redirected());
  HWND window = p.window;
  ASSERT_TRUE(window);
  EXPECT_EQ(SendMessageW(window, GetActivateTabMessage(), 3, 9), 7);
  const std::vector<std::string> expected = {"create", "layout 580", "activate 3 1"};
  EXPECT_EQ(g_events, expected);
  DestroyWindow(window);

  window = CreatePreWindow(&p.item, p.screen.window, 1);
  EXPECT_EQ(SendMessageW(window, GetSetCurrentPluginMessage(), 1, 2), 8);
  DestroyWindow(window);
}

TEST(PreWindow, AFailingPanelLeavesTheHostRunning) {
  Placeholder p(L"failing_panel", 0);
  ASSERT_TRUE(p.machine.Redirected());
  CRecordingPanel::throwOnCreate = true;
  HWND window = p.window;
  TODAYLISTITEM& item = p.item;
  ASSERT_TRUE(window);
  EXPECT_EQ(SendMessageW(window, GetActivateTabMessage(), 1, 0), 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsPanelCreated());
  EXPECT_EQ(GetTodayPanel(), nullptr) << "the half-made panel is gone";
  // The placeholder still answers the Today screen.
  EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&item), 0), 1);
  DestroyWindow(window);
}

}  // namespace
