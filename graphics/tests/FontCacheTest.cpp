#include "graphics/FontCache.h"

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/tests/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

LOGFONTW LogFontOf(HFONT font) {
  LOGFONTW logFont = {};
  GetObjectW(font, sizeof logFont, &logFont);
  return logFont;
}

// The product key and the device keys of this test alone, at a known dpi.
class FontCacheTest : public ::testing::Test {
 protected:
  FontCacheTest() : m_machine(L"FontCache") {}
  void SetUp() override {
    ASSERT_TRUE(m_machine.Redirected());
    SetScreenDpi(96, 96);
  }
  void TearDown() override { SetScreenDpi(0, 0); }
  CRegistryView Product() const { return m_machine.Key(TARVO_PRODUCT_KEY); }

  CLocalMachineSandbox m_machine;
};

TEST_F(FontCacheTest, ListFontHeightFollowsFontHeightAndDpi) {
  struct Case {
    int fontHeight, dpi, expected;
  } const cases[] = {{12, 96, 12}, {12, 192, 23}, {-12, 96, -12}, {-12, 192, -25}, {10, 120, 13}};
  Product().WriteDWORD(L"UseSystem", 0);
  for (const Case& c : cases) {
    Product().WriteDWORD(L"FontHeight", DWORD(c.fontHeight));
    SetScreenDpi(c.dpi, c.dpi);
    CFontCache cache;
    EXPECT_EQ(cache.GetListFontHeight(), c.expected) << c.fontHeight << " at " << c.dpi;
    EXPECT_EQ(LogFontOf(cache.GetStyleFont(0, FALSE)->GetFont()).lfHeight, c.expected);
    EXPECT_EQ(LogFontOf(cache.GetBoldFontHandle()).lfHeight, c.expected);
  }
}

TEST_F(FontCacheTest, UseSystemTakesTheShellsTextSize) {
  // The settings are written back with their defaults on first read.
  CFontCache cache;
  DWORD useSystem = 0;
  ASSERT_TRUE(Product().ReadDWORD(L"UseSystem", useSystem));
  EXPECT_EQ(useSystem, 1u);
  ASSERT_TRUE(cache.GetUseSystem());
  const int small = cache.GetSystemListHeight();
  EXPECT_GT(small, 8);
  EXPECT_EQ(cache.GetListFontHeight(), small);

  // The user picks a larger text size on the device.
  HMODULE shell = GetModuleHandleW(L"aygshell.dll");
  if (!shell) shell = LoadLibraryW(L"aygshell.dll");
  ASSERT_NE(shell, nullptr);
  typedef void(WINAPI * SetPoints)(DWORD);
  auto setPoints = reinterpret_cast<SetPoints>(reinterpret_cast<void*>(GetProcAddress(shell, "AygTestSetSystemFontPoints")));
  ASSERT_NE(setPoints, nullptr);
  setPoints(16);
  cache.LoadSettings(TRUE);
  EXPECT_GT(cache.GetSystemListHeight(), small + 5);
  EXPECT_EQ(LogFontOf(cache.GetStyleFont(1, FALSE)->GetFont()).lfHeight, cache.GetSystemListHeight());
  setPoints(8);
}

TEST_F(FontCacheTest, ClearTypeChoosesTheQuality) {
  struct Case {
    DWORD clearType;
    BYTE quality;
  } const cases[] = {{0, DEFAULT_QUALITY}, {1, 6}, {2, NONANTIALIASED_QUALITY}, {7, DEFAULT_QUALITY}};
  for (const Case& c : cases) {
    Product().WriteDWORD(L"ClearType", c.clearType);
    CFontCache cache;
    EXPECT_EQ(LogFontOf(cache.GetStyleFont(0, FALSE)->GetFont()).lfQuality, c.quality) << c.clearType;
    EXPECT_EQ(LogFontOf(cache.GetHeaderFont(TRUE)).lfQuality, c.quality) << c.clearType;
  }
}

TEST_F(FontCacheTest, StylesAndStrikeOut) {
  struct Case {
    int style;
    BOOL strikeOut;
    LONG weight;
    BYTE italic, struck;
  } const cases[] = {
      {0, FALSE, FW_NORMAL, 0, 0}, {0, TRUE, FW_NORMAL, 0, 1}, {1, FALSE, FW_BOLD, 0, 0},
      {1, TRUE, FW_BOLD, 0, 1},    {2, FALSE, FW_NORMAL, 1, 0}, {2, TRUE, FW_NORMAL, 0, 1},
  };
  Product().WriteString(L"FontName", L"Courier New");
  CFontCache cache;
  for (const Case& c : cases) {
    CFontInfo* info = cache.GetStyleFont(c.style, c.strikeOut);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info, cache.Get(c.style, c.strikeOut));
    EXPECT_GT(info->GetHeight(), 0);
    const LOGFONTW font = LogFontOf(info->GetFont());
    EXPECT_EQ(font.lfWeight, c.weight) << c.style << c.strikeOut;
    EXPECT_EQ(font.lfItalic, c.italic) << c.style << c.strikeOut;
    EXPECT_EQ(font.lfStrikeOut, c.struck) << c.style << c.strikeOut;
    EXPECT_EQ(font.lfPitchAndFamily, 0x20);
    EXPECT_STREQ(font.lfFaceName, L"Courier New");
  }
  EXPECT_EQ(LogFontOf(cache.GetBoldFont()->GetFont()).lfWeight, FW_BOLD);
}

TEST_F(FontCacheTest, FixedFontsScaleWithTheScreen) {
  SetScreenDpi(192, 192);
  CFontCache cache;
  EXPECT_EQ(LogFontOf(cache.GetHeaderFont(FALSE)).lfHeight, 26);
  EXPECT_EQ(LogFontOf(cache.GetHeaderFont(TRUE)).lfWeight, FW_BOLD);
  EXPECT_EQ(LogFontOf(cache.GetBoldTitleFont()).lfHeight, 26);
  EXPECT_EQ(LogFontOf(cache.GetSmallFont(FALSE)).lfHeight, (196 * 12) / 96);
  EXPECT_EQ(LogFontOf(cache.GetSmallFont(TRUE)).lfWeight, FW_BOLD);
  EXPECT_EQ(LogFontOf(cache.GetPointFont8()).lfHeight, -21);
  EXPECT_STREQ(LogFontOf(cache.GetPointFont8()).lfFaceName, L"Tahoma");
}

TEST_F(FontCacheTest, ReloadMakesFontsFromTheNewSettings) {
  Product().WriteDWORD(L"UseSystem", 0);
  Product().WriteDWORD(L"FontHeight", 12);
  CFontCache cache;
  EXPECT_EQ(GetFontCache(), &cache);
  EXPECT_EQ(LogFontOf(cache.GetStyleFont(0, FALSE)->GetFont()).lfHeight, 12);
  Product().WriteDWORD(L"FontHeight", 20);
  // Kept until the settings are reloaded.
  EXPECT_EQ(LogFontOf(cache.GetStyleFont(0, FALSE)->GetFont()).lfHeight, 12);
  cache.LoadSettings(TRUE);
  EXPECT_EQ(LogFontOf(cache.GetStyleFont(0, FALSE)->GetFont()).lfHeight, 20);
}

TEST_F(FontCacheTest, MenuFontsReadTheDeviceKeysWithoutWritingThem) {
  const CRegistryView menu = m_machine.Key(L"SYSTEM\\GWE\\Menu");
  {
    CFontCache cache;
    const LOGFONTW bar = LogFontOf(cache.GetSystemMenuFont(FALSE));
    EXPECT_STREQ(bar.lfFaceName, L"Tahoma");
    EXPECT_EQ(bar.lfWeight, FW_BOLD);
    EXPECT_EQ(bar.lfItalic, 0);
    EXPECT_EQ(bar.lfHeight, 13);
    EXPECT_EQ(cache.GetSystemMenuFont(FALSE), cache.GetSystemMenuFont(FALSE));
    cache.GetSystemMenuFont(TRUE);
  }
  EXPECT_FALSE(menu.Exists());

  const CRegistryView popup = m_machine.Key(L"SYSTEM\\GWE\\Menu\\PopFnt");
  popup.WriteString(L"Nm", L"Courier New");
  popup.WriteDWORD(L"Wt", 400);
  popup.WriteDWORD(L"It", 1);
  {
    CFontCache cache;
    const LOGFONTW font = LogFontOf(cache.GetSystemMenuFont(TRUE));
    EXPECT_STREQ(font.lfFaceName, L"Courier New");
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_STREQ(LogFontOf(cache.GetSystemMenuFont(FALSE)).lfFaceName, L"Tahoma");
  }
  EXPECT_FALSE(m_machine.Key(L"SYSTEM\\GWE\\Menu\\BarFnt").Exists());
}

// A dialog template in memory: one item per control.
class CDialogTemplate {
 public:
  CDialogTemplate() {
    Align();
    DLGTEMPLATE header = {WS_POPUP | DS_SETFONT, 0, 0, 0, 0, 200, 150};
    Add(&header, sizeof header);
    Word(0);  // menu
    Word(0);  // class
    Word(0);  // title
    Word(8);
    Text(L"MS Shell Dlg");
  }
  void Item(WORD atom, DWORD style, short y, short height) {
    Align();
    DLGITEMTEMPLATE item = {WS_CHILD | WS_VISIBLE | style, 0, 5, y, 60, height, WORD(100 + Count())};
    Add(&item, sizeof item);
    Word(0xFFFF);
    Word(atom);
    Word(0);  // title
    Word(0);  // creation data
    reinterpret_cast<DLGTEMPLATE*>(m_bytes.data())->cdit++;
  }
  // A class given by name.
  void Item(LPCWSTR className, DWORD style, short y, short height) {
    Align();
    DLGITEMTEMPLATE item = {WS_CHILD | WS_VISIBLE | style, 0, 5, y, 60, height, WORD(100 + Count())};
    Add(&item, sizeof item);
    Text(className);
    Word(0);
    Word(0);
    reinterpret_cast<DLGTEMPLATE*>(m_bytes.data())->cdit++;
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_bytes.data()); }

 private:
  int Count() const { return reinterpret_cast<const DLGTEMPLATE*>(m_bytes.data())->cdit; }
  void Add(const void* data, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
  }
  void Word(WORD value) { Add(&value, sizeof value); }
  void Text(LPCWSTR text) { Add(text, (wcslen(text) + 1) * sizeof(WCHAR)); }
  void Align() {
    while (m_bytes.size() % 4) m_bytes.push_back(0);
  }
  std::vector<BYTE> m_bytes;
};

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

HFONT FontOf(HWND control) { return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)); }

RECT ScreenRect(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  return rect;
}

// Places a control so that its top edge lies on screen row y.
void MoveToScreenRow(HWND control, int x, int y) {
  POINT origin = {0, 0};
  ClientToScreen(GetParent(control), &origin);
  SetWindowPos(control, nullptr, x, y - origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetHeight(HWND control, int height) {
  RECT rect = ScreenRect(control);
  SetWindowPos(control, nullptr, 0, 0, rect.right - rect.left, height, SWP_NOMOVE | SWP_NOZORDER);
}

TEST_F(FontCacheTest, ApplyDialogFontsByControlClass) {
  enum { kPush, kCheckOdd, kCheckEven, kGroupLabel, kLabel, kEdit, kShortEdit, kCombo, kSpin, kList };
  CDialogTemplate dialogTemplate;
  dialogTemplate.Item(0x0080, BS_PUSHBUTTON, 5, 14);
  dialogTemplate.Item(0x0080, BS_AUTOCHECKBOX, 25, 10);
  dialogTemplate.Item(0x0080, BS_AUTORADIOBUTTON, 40, 10);
  dialogTemplate.Item(0x0082, WS_GROUP, 55, 8);
  dialogTemplate.Item(0x0082, 0, 65, 8);
  dialogTemplate.Item(0x0081, WS_BORDER, 75, 12);
  dialogTemplate.Item(0x0081, WS_BORDER, 90, 12);
  dialogTemplate.Item(0x0085, CBS_DROPDOWNLIST, 105, 60);
  dialogTemplate.Item(L"msctls_updown32", 0, 120, 14);
  dialogTemplate.Item(0x0083, 0, 135, 10);
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Get(), nullptr, PlainDialog, 0);
  ASSERT_NE(dialog, nullptr);
  auto control = [&](int index) { return GetDlgItem(dialog, 100 + index); };
  MoveToScreenRow(control(kCheckOdd), 5, 41);
  MoveToScreenRow(control(kCheckEven), 5, 60);
  SetHeight(control(kEdit), 24);
  SetHeight(control(kShortEdit), 18);
  SetHeight(control(kSpin), 30);
  const HFONT dialogFont = FontOf(control(kSpin));

  CFontCache cache;
  ApplyDialogFonts(&cache, dialog);
  const HFONT regular = cache.GetHeaderFont(FALSE);
  const HFONT bold = cache.GetHeaderFont(TRUE);
  EXPECT_EQ(FontOf(control(kPush)), bold);
  EXPECT_EQ(FontOf(control(kCheckOdd)), regular);
  EXPECT_EQ(ScreenRect(control(kCheckOdd)).top, 40);
  EXPECT_EQ(ScreenRect(control(kCheckEven)).top, 60);
  // Wine and the desktop spell the classes "Static" and "ComboBox".
  EXPECT_EQ(FontOf(control(kGroupLabel)), regular);
  EXPECT_EQ(FontOf(control(kLabel)), bold);
  EXPECT_EQ(FontOf(control(kEdit)), regular);
  EXPECT_EQ(ScreenRect(control(kEdit)).bottom - ScreenRect(control(kEdit)).top, 20);
  EXPECT_EQ(ScreenRect(control(kShortEdit)).bottom - ScreenRect(control(kShortEdit)).top, 18);
  EXPECT_EQ(FontOf(control(kCombo)), regular);
  EXPECT_EQ(FontOf(control(kSpin)), dialogFont);
  EXPECT_EQ(ScreenRect(control(kSpin)).bottom - ScreenRect(control(kSpin)).top, 20);
  EXPECT_EQ(FontOf(control(kList)), regular);
  DestroyWindow(dialog);
}

TEST(FontCache, FillRectColorFillsWidthByHeight) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  FillRectColor(dc, 2, 3, 4, 2, brush);
  int filled = 0;
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 8; x++) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(GetPixel(dc, x, y) == RGB(255, 0, 0), inside) << x << "," << y;
      filled += inside;
    }
  EXPECT_EQ(filled, 8);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace
