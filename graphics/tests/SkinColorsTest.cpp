#include "graphics/SkinColors.h"

#include <gtest/gtest.h>

#include "base/CeDbApi.h"
#include "base/ScreenDpi.h"
#include "base/tests/RegistrySandbox.h"
#include "graphics/Skin.h"
#include "graphics/tests/SkinFixtures.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/today/todaycmn.h"

namespace {

const COLORREF kHostColour = RGB(30, 60, 90);

// The Today screen as the panel's parent: paints its watermark in one colour and counts the requests.
struct HostState {
  int requests = 0;
  bool flagSeen = false;
};
HostState g_host;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == TODAYM_DRAWWATERMARK) {
    auto* info = reinterpret_cast<TODAYDRAWWATERMARKINFO*>(lp);
    g_host.requests++;
    g_host.flagSeen = CSkinColors::IsDrawingWatermark() != FALSE;
    HBRUSH brush = CreateSolidBrush(kHostColour);
    FillRect(info->hdc, &info->rc, brush);
    DeleteObject(brush);
    return 1;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// The shell's "Worker" windows: the top-level one and its child answer the Today colours differently.
LRESULT CALLBACK WorkerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == TODAYM_GETCOLOR) {
    const COLORREF base = GetParent(hwnd) ? 0x00100000 : 0x00200000;
    switch (wp) {
      case TODAYCOLOR_TEXT: return base | 4;
      case TODAYCOLOR_HIGHLIGHT: return base | 0x22;
      case TODAYCOLOR_HIGHLIGHTEDTEXT: return base | 0x23;
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Register(const wchar_t* name, WNDPROC proc) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

COLORREF Lightened(COLORREF c) {
  auto ch = [](int v) { return (v * (255 - 64) + 255 * 64) / 255; };
  return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

class SkinColorsTest : public ::testing::Test {
 protected:
  SkinColorsTest() : m_machine(L"skin_colors"), m_root(L"skin_colors_test") {}

  void SetUp() override {
    SetScreenDpi(96, 96);
    m_device.Set(L"Version", L"5.1");
    m_device.Set(L"PlatformType", L"PocketPC");
    ResetThemePlatformTests();
    SetNewerStore(TRUE);
    Register(L"SkinColorsTestHost", HostProc);
    Register(L"SkinColorsTestPanel", DefWindowProcW);
    Register(L"Worker", WorkerProc);
    g_host = HostState();
    m_host = CreateWindowExW(0, L"SkinColorsTestHost", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    m_panel = CreateWindowExW(0, L"SkinColorsTestPanel", L"", WS_CHILD, 0, 0, 240, 60, m_host, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    m_worker = CreateWindowExW(0, L"Worker", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    CreateWindowExW(0, L"Worker", L"", WS_CHILD, 0, 0, 5, 5, m_worker, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(m_host && m_panel && m_worker);
    Colors().ReleaseAll();
  }

  void TearDown() override {
    Colors().AttachWindow(nullptr);
    Colors().ReleaseAll();
    CSkin::Instance().UseSkinPath(nullptr);
    DestroyWindow(m_worker);
    DestroyWindow(m_host);
    SetNewerStore(FALSE);
    ResetThemePlatformTests();
    SetScreenDpi(0, 0);
  }

  static CSkinColors& Colors() { return CSkinColors::Instance(); }
  static COLORREF PixelAt(HDC hdc, int x, int y) { return GetPixel(hdc, x, y); }

  CLocalMachineSandbox m_machine;
  CDeviceSwitch m_device;
  ziptest::TempFolder m_root;
  skintest::ResourceLibrary m_resources;
  HWND m_host = nullptr, m_panel = nullptr, m_worker = nullptr;
};

TEST_F(SkinColorsTest, ThemeColourFromTheRegistry) {
  CRegistryView color = m_machine.Key(L"SOFTWARE\\Microsoft\\Color");
  COLORREF sh[45] = {}, def[45] = {};
  sh[6] = 0x00111111;
  def[6] = 0x00222222;
  struct Case {
    const char* what;
    const wchar_t* version;
    bool six, shColor, defShColor;
    COLORREF expected;
  };
  const Case cases[] = {
      {"\"6\" beats SHColor", L"5.1", true, true, true, 0x00333333},
      {"\"6\" also on version 3", L"3.0", true, true, false, 0x00333333},
      {"version 3 keeps the default", L"3.0", false, true, true, 0x00CE8231},
      {"SHColor entry 6", L"4.21", false, true, true, 0x00111111},
      {"DefSHColor when SHColor is missing", L"5.1", false, false, true, 0x00222222},
      {"nothing: the default", L"5.1", false, false, false, 0x00CE8231},
  };
  for (const Case& c : cases) {
    color.Delete();
    m_device.Set(L"Version", c.version);
    ResetThemePlatformTests();
    if (c.six) color.WriteDWORD(L"6", 0x00333333);
    if (c.shColor) color.Write(L"SHColor", REG_BINARY, sh, sizeof sh);
    if (c.defShColor) color.Write(L"DefSHColor", REG_BINARY, def, sizeof def);
    if (!c.six && !c.shColor && !c.defShColor) color.Delete();
    EXPECT_EQ(GetThemeColor(6, 0x00CE8231), c.expected) << c.what;
  }
  EXPECT_EQ(GetThemeColor(45, 0x00000007), 0x00000007u) << "outside the table";

  // Only the options program leaves the key behind when it was missing.
  color.Delete();
  GetThemeColor(6, 0);
  EXPECT_FALSE(color.Exists());
  SetThemeColorKeyCreate(TRUE);
  EXPECT_EQ(GetThemeColor(6, 0x00CE8231), 0x00CE8231u);
  EXPECT_TRUE(color.Exists());
  SetThemeColorKeyCreate(FALSE);
}

TEST_F(SkinColorsTest, TodayColoursFromTheWorkerWindowOrTheSystem) {
  Colors().LoadSystemColors();
  EXPECT_EQ(Colors().Get(CSkinColors::kHighlight), 0x00200022u) << "newer store: the top-level Worker";
  EXPECT_EQ(Colors().Get(CSkinColors::kText), 0x00200004u);
  EXPECT_EQ(Colors().Get(CSkinColors::kHighlightText), 0x00200023u);
  EXPECT_EQ(Colors().Get(CSkinColors::kTheme), 0x00CE8231u);

  SetNewerStore(FALSE);
  Colors().ReloadColors();
  EXPECT_EQ(Colors().Get(CSkinColors::kText), 0x00100004u) << "classic store: its child Worker";

  // Before 4.21 the highlight colours are the system's, asked with the device flag.
  m_device.Set(L"Version", L"4.20");
  ResetThemePlatformTests();
  Colors().LoadSystemColors();
  EXPECT_EQ(Colors().Get(CSkinColors::kHighlight), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Colors().Get(CSkinColors::kHighlightText), GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(Colors().Get(CSkinColors::kText), 0x00100004u);

  // Brushes and pens of the live colours, made once.
  HBRUSH brush = Colors().GetSolidBrush(CSkinColors::kText);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(Colors().GetSolidBrush(CSkinColors::kText), brush);
  LOGBRUSH lb = {};
  GetObjectW(brush, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, 0x00100004u);
  EXPECT_NE(Colors().GetPen(CSkinColors::kTheme), nullptr);
  EXPECT_EQ(Colors().GetPen(CSkinColors::kFrame), nullptr);
  EXPECT_EQ(Colors().GetSolidBrush(0), nullptr);
  EXPECT_EQ(Colors().GetSolidBrush(7), nullptr);

  // Without any Worker window the system colour of the same role, never black.
  DestroyWindow(m_worker);
  m_worker = nullptr;
  if (FindTodayWorkerWindow()) GTEST_SKIP() << "another program's Worker window is up";
  EXPECT_EQ(GetTodayColor(TODAYCOLOR_TEXT), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(GetTodayColor(TODAYCOLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(GetTodayColor(TODAYCOLOR_HIGHLIGHTEDTEXT), GetSysColor(COLOR_HIGHLIGHTTEXT));
}

TEST_F(SkinColorsTest, BackgroundIsTheHostsWatermarkAskedOnce) {
  EXPECT_FALSE(Colors().RebuildBackground(FALSE)) << "no window attached";
  Colors().AttachWindow(m_panel);
  EXPECT_TRUE(Colors().RebuildBackground(FALSE));
  EXPECT_FALSE(Colors().RebuildBackground(FALSE)) << "same size: nothing to do";
  EXPECT_EQ(g_host.requests, 1);
  EXPECT_TRUE(g_host.flagSeen);
  EXPECT_FALSE(CSkinColors::IsDrawingWatermark());
  CBitmapDC& background = Colors().GetBackground();
  EXPECT_EQ(background.GetSize().cx, 240);
  EXPECT_EQ(PixelAt(background.GetDC(), 10, 10), kHostColour);
  EXPECT_TRUE(Colors().RebuildBackground(TRUE));
  EXPECT_EQ(g_host.requests, 2);
  SetWindowPos(m_panel, nullptr, 0, 0, 200, 50, SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_TRUE(Colors().RebuildBackground(FALSE)) << "new size";
  EXPECT_EQ(Colors().GetBackground().GetSize().cx, 200);

  CDib* today = Colors().GetTodayBackground(m_panel);
  ASSERT_NE(today, nullptr);
  EXPECT_EQ(testimg::PixelOf(*today, 5, 5), kHostColour);
  EXPECT_EQ(Colors().GetTodayBackground(m_panel), today);
  EXPECT_EQ(g_host.requests, 4);
}

TEST_F(SkinColorsTest, WithoutAHostTheBackgroundIsTheWindowColour) {
  HWND alone = CreateWindowExW(0, L"SkinColorsTestPanel", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  Colors().AttachWindow(alone);
  ASSERT_TRUE(Colors().RebuildBackground(FALSE));
  EXPECT_EQ(PixelAt(Colors().GetBackground().GetDC(), 3, 3), GetSysColor(COLOR_WINDOW));
  CDib* today = Colors().GetTodayBackground(alone);
  ASSERT_NE(today, nullptr);
  EXPECT_EQ(testimg::PixelOf(*today, 3, 3), GetSysColor(COLOR_WINDOW));
  Colors().AttachWindow(nullptr);
  DestroyWindow(alone);
}

TEST_F(SkinColorsTest, SeparatorMaskGeometry) {
  Colors().AttachWindow(m_panel);
  ASSERT_TRUE(Colors().RebuildBackground(TRUE));
  HDC mask = Colors().GetSeparatorMaskDC();
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(Colors().GetSeparatorMask().GetSize().cx, 240);
  EXPECT_EQ(Colors().GetSeparatorMask().GetSize().cy, 3);
  const COLORREF white = RGB(255, 255, 255), black = 0;
  struct Case {
    int x, y;
    COLORREF colour;
  };
  const Case cases[] = {{2, 0, black},   {3, 0, white},   {4, 0, white},   {5, 0, black},   {234, 0, white},
                        {235, 0, white}, {237, 0, black}, {3, 1, white},   {4, 1, black},   {7, 1, white},
                        {3, 2, white},   {4, 2, black},   {5, 2, white},   {236, 2, black}, {235, 2, white}};
  for (const Case& c : cases) EXPECT_EQ(PixelAt(mask, c.x, c.y), c.colour) << c.x << "," << c.y;

  // The brush through the mask's white pixels only.
  CDib target;
  ASSERT_TRUE(target.CreateFilled(10, 3, RGB(9, 9, 9)));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  ASSERT_TRUE(CSkinColors::DrawMaskedBrush(target.GetDC(), 0, 0, 10, 3, mask, 0, 0, red));
  DeleteObject(red);
  GdiFlush();
  EXPECT_EQ(testimg::PixelOf(target, 3, 0), RGB(255, 0, 0));
  EXPECT_EQ(testimg::PixelOf(target, 2, 0), RGB(9, 9, 9));
}

TEST_F(SkinColorsTest, ScratchOnlyGrows) {
  const RECT tall = {0, 0, 20, 100}, wide = {0, 0, 100, 20};
  Colors().CopyToScratch(tall, nullptr);
  CDib* scratch = Colors().CopyToScratch(wide, nullptr);
  ASSERT_NE(scratch, nullptr);
  EXPECT_EQ(scratch->GetWidth(), 100);
  EXPECT_EQ(scratch->GetHeight(), 100);
}

TEST_F(SkinColorsTest, BandsAreLightenedBackgroundWithADashedLine) {
  Colors().AttachWindow(m_panel);
  Colors().LoadSystemColors();
  ASSERT_TRUE(Colors().RebuildListBand(10, {0, 0, 50, 40}));
  HDC band = Colors().GetListBand().GetDC();
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(Colors().GetListBand().GetSize().cy, 10);
  const COLORREF light = Lightened(kHostColour);
  EXPECT_EQ(PixelAt(band, 0, 0), light);
  EXPECT_EQ(PixelAt(band, 0, 9), light);
  EXPECT_EQ(PixelAt(band, 3, 9), 0x00CE8231u) << "dash in the theme colour";
  EXPECT_EQ(PixelAt(band, 4, 9), 0x00CE8231u);
  EXPECT_EQ(PixelAt(band, 5, 9), light);
  EXPECT_EQ(PixelAt(band, 3, 8), light);
  ASSERT_TRUE(Colors().RebuildButtonBand({10, 10, 30, 16}));
  EXPECT_EQ(Colors().GetButtonBand().GetSize().cy, 6);
  EXPECT_FALSE(Colors().RebuildListBand(0, {0, 0, 50, 40}));
  EXPECT_EQ(Colors().GetListBand().GetDC(), nullptr);
}

TEST_F(SkinColorsTest, HeaderFacesAndFrameFromTheSingleStrip) {
  Colors().AttachWindow(m_panel);
  Colors().LoadSystemColors();
  CSkin::Instance().UseSkinPath(m_root.File(L"none").c_str());  // no skin: the resource strip
  ASSERT_EQ(CSkin::Instance().LoadScrollBar(), CSkin::kFromResources);
  Colors().DrawSkinBackground({0, 0, 30, 20});
  HDC pressed = Colors().GetButtonFace(TRUE).GetDC(), normal = Colors().GetButtonFace(FALSE).GetDC();
  ASSERT_TRUE(pressed && normal);
  EXPECT_EQ(PixelAt(pressed, 0, 0), Colors().Get(CSkinColors::kHighlight));
  // The strip's header button is a blue cross centred at (7, 2): blue becomes colour 4 or 1.
  EXPECT_EQ(PixelAt(pressed, 14, 9), Colors().Get(CSkinColors::kHighlightText));
  EXPECT_EQ(PixelAt(normal, 14, 9), Colors().Get(CSkinColors::kTheme));
  EXPECT_EQ(PixelAt(normal, 0, 0), Lightened(kHostColour));

  Colors().DrawSkinFrame({0, 0, 100, 200});
  ASSERT_NE(Colors().GetFrame().GetDC(), nullptr);
  EXPECT_EQ(Colors().GetFrame().GetSize().cx, 16);
  auto derive = [](int c) { return (c + 85) * 3 / 4; };
  EXPECT_EQ(Colors().Get(CSkinColors::kFrame),
            RGB(derive(GetRValue(kHostColour)), derive(GetGValue(kHostColour)), derive(GetBValue(kHostColour))));
  HBRUSH frame = Colors().GetSolidBrush(CSkinColors::kFrame);
  LOGBRUSH lb = {};
  GetObjectW(frame, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, Colors().Get(CSkinColors::kFrame));
}

TEST_F(SkinColorsTest, HeaderFacesFromTheSkinsParts) {
  Colors().AttachWindow(m_panel);
  Colors().LoadSystemColors();
  const std::wstring skin = m_root.File(L"parts");
  skintest::WriteSkin(skin, false, skintest::CompleteSkin());
  CSkin::Instance().UseSkinPath(skin.c_str());
  ASSERT_TRUE(CSkin::Instance().HasScrollBar());
  Colors().DrawSkinBackground({0, 0, 30, 20});
  HDC pressed = Colors().GetButtonFace(TRUE).GetDC();
  ASSERT_NE(pressed, nullptr);
  EXPECT_EQ(PixelAt(pressed, 0, 0), Colors().Get(CSkinColors::kHighlight));
  EXPECT_EQ(PixelAt(pressed, 15, 10), skintest::kPartColour) << "header_btn centred";
  EXPECT_EQ(PixelAt(Colors().GetButtonFace(FALSE).GetDC(), 15, 10), skintest::kPartColour);
  Colors().DrawSkinFrame({0, 0, 100, 200});
  EXPECT_EQ(Colors().GetFrame().GetDC(), nullptr) << "a part scroll bar has no frame";
}

}  // namespace
