#include "settings/pages/FontPage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/ScreenDpi.h"
#include "graphics/FontCache.h"
#include "settings/pages/tests/PagesTestSupport.h"
#include "settings/pages/SectionSheet.h"
#include "settings/shell/tests/SheetDriver.h"

namespace {

// What the font page shows.
struct FontView {
  bool ticked = false;
  int clearType = -2;
  std::wstring face;
  int size = -2;
  bool faceEnabled = false;
  bool sizeEnabled = false;
};

FontView LookAtPage(HWND page) {
  FontView view;
  view.ticked = IsDlgButtonChecked(page, kUseSystemBox) == BST_CHECKED;
  view.clearType = static_cast<int>(SendDlgItemMessageW(page, kClearTypeCombo, CB_GETCURSEL, 0, 0));
  const LRESULT face = SendDlgItemMessageW(page, kFontFaceCombo, CB_GETCURSEL, 0, 0);
  if (face >= 0) {
    WCHAR text[LF_FACESIZE] = L"";
    SendDlgItemMessageW(page, kFontFaceCombo, CB_GETLBTEXT, face, reinterpret_cast<LPARAM>(text));
    view.face = text;
  }
  const LRESULT size = SendDlgItemMessageW(page, kFontSizeCombo, CB_GETCURSEL, 0, 0);
  view.size = size >= 0 ? kFontPageSizes[size] : -1;
  view.faceEnabled = IsWindowEnabled(GetDlgItem(page, kFontFaceCombo)) != FALSE;
  view.sizeEnabled = IsWindowEnabled(GetDlgItem(page, kFontSizeCombo)) != FALSE;
  return view;
}

// A choice in a combo box, as the stylus makes it.
void Choose(HWND page, int combo, int index) {
  SendDlgItemMessageW(page, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(page, combo)));
}

int CALLBACK TakeFirstFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out) {
  auto* face = reinterpret_cast<std::wstring*>(out);
  if (face->empty()) *face = font->lfFaceName;
  return 1;
}

// A face the screen has (the prefix's fonts differ from the device's).
std::wstring InstalledFace() {
  std::wstring face;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesW(screen, nullptr, TakeFirstFace, reinterpret_cast<LPARAM>(&face));
  ReleaseDC(nullptr, screen);
  return face;
}

// The face the face box shows for a face name: none when it is not installed.
std::wstring ShownFace(const wchar_t* face) {
  LOGFONTW wanted = {};
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(
      screen, &wanted,
      [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out) -> int {
        *reinterpret_cast<bool*>(out) = true;
        (void)font;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found ? std::wstring(face) : std::wstring();
}

int SizeIndex(int size) {
  for (int i = 0; i < static_cast<int>(ARRAYSIZE(kFontPageSizes)); ++i)
    if (kFontPageSizes[i] == size) return i;
  return -1;
}

class FontPageTest : public PagesTest {
 protected:
  void Store(DWORD useSystem, DWORD clearType, DWORD height, const wchar_t* face) {
    const CRegistryView product = m_machine.Key(TARVO_PRODUCT_KEY);
    product.WriteDWORD(L"UseSystem", useSystem);
    product.WriteDWORD(L"ClearType", clearType);
    product.WriteDWORD(L"FontHeight", height);
    product.WriteString(L"FontName", face);
  }
  DWORD Stored(const wchar_t* name) {
    DWORD value = 0xDEAD;
    m_machine.Key(TARVO_PRODUCT_KEY).ReadDWORD(name, value);
    return value;
  }
  std::wstring StoredFace() {
    std::wstring face;
    m_machine.Key(TARVO_PRODUCT_KEY).ReadString(L"FontName", face);
    return face;
  }
  // Opens the General sheet at the font page, runs the steps on the page, then
  // presses the button.
  void RunPage(const std::function<void(HWND page)>& steps, int button) {
    CSheetDriver driver({CSheetDriver::SelectPage(1),
                         [&](HWND sheet) { steps(CSheetDriver::CurrentPage(sheet)); }, CSheetDriver::Press(button)});
    Activate(0);
    ASSERT_EQ(driver.Runs(), 1);
  }
  int SystemHeight() {
    HDC screen = GetDC(nullptr);
    const int height = CFontCache::MeasureSystemListHeight(screen);
    ReleaseDC(nullptr, screen);
    return height;
  }

  CFontCache m_cache;
};

TEST_F(FontPageTest, StoredSettingsAreShownAndWrittenBackUnchanged) {
  struct Case {
    const char* name;
    DWORD useSystem, clearType, height;
    const wchar_t* face;
    FontView shown;
  };
  const int system = SystemHeight();
  const std::wstring face = InstalledFace();
  ASSERT_FALSE(face.empty());
  const wchar_t* own = face.c_str();
  const Case cases[] = {
      {"own face and size", 0, 0, 16, own, {false, 0, own, 16, true, true}},
      {"system size", 1, 1, 14, own,
       {true, 1, ShownFace(L"Tahoma"), SizeIndex(system) >= 0 ? system : -1, false, false}},
      // A size the box does not offer and a face that is not installed select
      // nothing and are kept.
      {"odd size, missing face", 0, 1, 15, L"No Such Face", {false, 1, L"", -1, true, true}},
      // No anti-aliasing has no item of its own; the stored mode survives.
      {"no anti-aliasing", 0, 2, 12, own, {false, -1, own, 12, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store(c.useSystem, c.clearType, c.height, c.face);
    FontView seen;
    RunPage([&](HWND page) { seen = LookAtPage(page); }, IDOK);
    EXPECT_EQ(seen.ticked, c.shown.ticked);
    EXPECT_EQ(seen.clearType, c.shown.clearType);
    EXPECT_EQ(seen.face, c.shown.face);
    EXPECT_EQ(seen.size, c.shown.size);
    EXPECT_EQ(seen.faceEnabled, c.shown.faceEnabled);
    EXPECT_EQ(seen.sizeEnabled, c.shown.sizeEnabled);
    EXPECT_EQ(Stored(L"UseSystem"), c.useSystem);
    EXPECT_EQ(Stored(L"ClearType"), c.clearType);
    // With the system size the page writes what the shell gives, in Tahoma.
    EXPECT_EQ(Stored(L"FontHeight"), c.useSystem ? static_cast<DWORD>(system) : c.height);
    EXPECT_EQ(StoredFace(), c.useSystem ? std::wstring(L"Tahoma") : std::wstring(c.face));
  }
}

TEST_F(FontPageTest, DefaultsFollowTheSystemWithClearType) {
  FontView seen;
  RunPage([&](HWND page) { seen = LookAtPage(page); }, IDCANCEL);
  EXPECT_TRUE(seen.ticked);
  EXPECT_EQ(seen.clearType, 1);
  EXPECT_EQ(seen.face, ShownFace(L"Tahoma"));
  EXPECT_FALSE(seen.faceEnabled);
  EXPECT_FALSE(seen.sizeEnabled);
}

TEST_F(FontPageTest, UseSystemBoxKeepsTheUsersOwnChoice) {
  struct Case {
    const char* name;
    DWORD useSystem;
    int clicks;
    int expectedSize;
    bool enabled;
  };
  const int system = SystemHeight();
  const Case cases[] = {
      {"tick then clear", 0, 2, 16, true},
      {"tick", 0, 1, SizeIndex(system) >= 0 ? system : -1, false},
      // Stored with the box ticked: clearing it at once brings back the stored size.
      {"clear right after opening", 1, 1, 16, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring face = InstalledFace();
    Store(c.useSystem, 1, 16, face.c_str());
    FontView seen;
    RunPage(
        [&](HWND page) {
          for (int i = 0; i < c.clicks; ++i) SendDlgItemMessageW(page, kUseSystemBox, BM_CLICK, 0, 0);
          seen = LookAtPage(page);
        },
        IDOK);
    EXPECT_EQ(seen.size, c.expectedSize);
    EXPECT_EQ(seen.sizeEnabled, c.enabled);
    EXPECT_EQ(seen.face, c.enabled ? face : ShownFace(L"Tahoma"));
  }
}

TEST_F(FontPageTest, ChoicesReachTheRegistryAndTheCacheOnlyOnApply) {
  Store(0, 1, 12, L"Tahoma");
  m_cache.LoadSettings(TRUE);
  LOGFONTW font = {};
  ASSERT_TRUE(GetObjectW(m_cache.Get(0, FALSE)->GetFont(), sizeof font, &font));
  EXPECT_EQ(font.lfHeight, CFontCache::ScaleListHeight(12));
  DWORD heightBeforeApply = 0;
  RunPage(
      [&](HWND page) {
        Choose(page, kFontSizeCombo, SizeIndex(16));
        Choose(page, kClearTypeCombo, 0);
        heightBeforeApply = Stored(L"FontHeight");
      },
      IDOK);
  EXPECT_EQ(heightBeforeApply, 12u);
  EXPECT_EQ(Stored(L"FontHeight"), 16u);
  EXPECT_EQ(Stored(L"ClearType"), 0u);
  ASSERT_TRUE(GetObjectW(m_cache.Get(0, FALSE)->GetFont(), sizeof font, &font));
  EXPECT_EQ(font.lfHeight, CFontCache::ScaleListHeight(16));
  EXPECT_EQ(font.lfQuality, DEFAULT_QUALITY);
}

TEST_F(FontPageTest, CancelWritesNothing) {
  Store(0, 1, 12, L"Tahoma");
  RunPage([&](HWND page) { Choose(page, kFontSizeCombo, SizeIndex(18)); }, IDCANCEL);
  EXPECT_EQ(Stored(L"FontHeight"), 12u);
}

TEST_F(FontPageTest, SampleLinesSitBelowTheControlsInTheChosenFonts) {
  struct Case {
    DWORD clearType;
    int size;
    BYTE quality;
  };
  const Case cases[] = {{1, 12, 6}, {2, 16, NONANTIALIASED_QUALITY}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    Store(0, c.clearType, c.size, InstalledFace().c_str());
    RECT sample = {}, client = {};
    LOGFONTW fonts[3] = {};
    CSheetDriver* running = nullptr;
    CSheetDriver driver({CSheetDriver::SelectPage(1), [&](HWND sheet) {
                           auto* object = static_cast<CSectionSheet*>(running->CurrentSheet());
                           auto* page = static_cast<CFontPage*>(object->GetPage(1));
                           sample = page->GetSampleRect();
                           GetClientRect(CSheetDriver::CurrentPage(sheet), &client);
                           for (int i = 0; i < 3; ++i) GetObjectW(page->GetSampleFont(i), sizeof fonts[i], &fonts[i]);
                           // The page paints its sample without fault.
                           RedrawWindow(CSheetDriver::CurrentPage(sheet), nullptr, nullptr,
                                        RDW_INVALIDATE | RDW_UPDATENOW);
                         },
                         CSheetDriver::Press(IDCANCEL)});
    running = &driver;
    Activate(0);
    const int line = (c.size * GetScreenDpiY() + 48) / 96;
    EXPECT_EQ(sample.top, client.top + ScaleY(115));
    EXPECT_EQ(sample.bottom - sample.top, 3 * line);
    EXPECT_EQ(sample.left, ScaleX(10));
    EXPECT_EQ(sample.right, client.right - ScaleX(10));
    const LONG weights[3] = {FW_NORMAL, FW_NORMAL, FW_BOLD};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(fonts[i].lfHeight, CFontCache::ScaleListHeight(c.size)) << i;
      EXPECT_EQ(fonts[i].lfWeight, weights[i]) << i;
      EXPECT_EQ(fonts[i].lfItalic != 0, i == 1) << i;
      EXPECT_EQ(fonts[i].lfQuality, c.quality) << i;
    }
  }
}

TEST_F(FontPageTest, ShellSizeChangesReachTheBoxOnlyWhileItIsTicked) {
  for (DWORD useSystem : {1u, 0u}) {
    SCOPED_TRACE(useSystem);
    Store(useSystem, 1, 18, InstalledFace().c_str());
    FontView seen;
    RunPage(
        [&](HWND page) {
          // Stand in for the shell's announcement after the size box was moved.
          SendDlgItemMessageW(page, kFontSizeCombo, CB_SETCURSEL, SizeIndex(9), 0);
          SendMessageW(page, RegisterWindowMessageW(L"SH_UIMETRIC_CHANGE"), 0, 0);
          seen = LookAtPage(page);
        },
        IDCANCEL);
    const int system = SystemHeight();
    EXPECT_EQ(seen.size, useSystem ? (SizeIndex(system) >= 0 ? system : -1) : 9);
  }
}

TEST_F(FontPageTest, SystemClearTypeIsASubKeyOfTheGdiKey) {
  EXPECT_FALSE(IsSystemClearTypeOn());
  m_machine.Key(L"System\\GDI").CreateSubKey(L"CLEARTYPE");
  EXPECT_TRUE(IsSystemClearTypeOn());
}

TEST(FontPageQuality, ModesGiveTheirQualities) {
  struct Case {
    int mode;
    BOOL systemOn;
    BYTE quality;
    BYTE family;
  };
  const Case cases[] = {
      {0, FALSE, DEFAULT_QUALITY, 0x20}, {0, TRUE, 5, 0x20}, {1, FALSE, 6, 0x20},
      {2, FALSE, NONANTIALIASED_QUALITY, 0}, {-1, TRUE, NONANTIALIASED_QUALITY, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    const SampleQuality quality = SampleQualityFor(c.mode, c.systemOn);
    EXPECT_EQ(quality.quality, c.quality);
    EXPECT_EQ(quality.pitchAndFamily, c.family);
  }
}

}  // namespace
