#include "settings/tabs/TabIcons.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/InstallPath.h"
#include "base/ScreenDpi.h"
#include "graphics/Dib.h"
#include "graphics/SkinArchive.h"
#include "graphics/tests/TestImages.h"
#include "panel/TabIconArchive.h"
#include "panel/tests/tabplugin/TestTabPlugin.h"
#include "platform/unzip/tests/ZipWriter.h"
#include "settings/tabs/TabIconDlg.h"
#include "settings/tabs/tests/TabsTestSupport.h"

namespace {

std::wstring BinFile(const wchar_t* name) {
  CString dir;
  GetModuleDirPath(dir);
  return std::wstring(dir) + L"\\" + name;
}

COLORREF At(HBITMAP bitmap, int x, int y) {
  CDib image;
  if (!image.CreateFromBitmap(bitmap)) return CLR_INVALID;
  const BYTE* p = image.Pixel(x, y);
  return RGB(p[2], p[1], p[0]);
}

bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
         std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

// A tab icon picture: the colour on the left cell, its mask on the right (white:
// opaque), with one transparent pixel in the top left corner.
ziptest::Bytes IconPicture(int width, int height, COLORREF colour) {
  return testimg::MakeBmp(width, height, false, [=](int x, int y) {
    const int cell = width / 2;
    if (x < cell) return colour;
    return x == cell && y == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255);
  });
}

class TabIconsTest : public TabsTest {
 protected:
  void SetUp() override {
    TabsTest::SetUp();
    CloseTabIconArchive();
  }
  void TearDown() override {
    CloseTabIconArchive();
    SetScreenDpi(96, 96);
    TabsTest::TearDown();
  }
  struct Member {
    const wchar_t* name;
    int width, height;
    COLORREF colour;
  };
  // The install folder's "TabIcons" as a folder or a .zip.
  void Install(const ziptest::TempFolder& install, bool zip, const std::vector<Member>& members) {
    // An archive left open would keep the last case's file.
    CloseTabIconArchive();
    m_machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", install.Path().c_str());
    std::vector<ziptest::ZipEntry> entries;
    if (!zip) CreateDirectoryW(install.File(L"TabIcons").c_str(), nullptr);
    for (const Member& m : members) {
      const ziptest::Bytes bytes = IconPicture(m.width, m.height, m.colour);
      if (zip)
        entries.emplace_back(std::string(m.name, m.name + wcslen(m.name)), bytes);
      else
        ziptest::WriteBytes(install.File(L"TabIcons\\") + m.name, bytes);
    }
    if (zip) ziptest::WriteBytes(install.File(L"TabIcons.zip"), ziptest::BuildZip(entries));
    CloseTabIconArchive();
  }
};

const COLORREF kRed = RGB(220, 20, 20), kBlue = RGB(20, 20, 220);

// An archive icon on white: only pictures of exactly twice the icon's width and
// its height, named within the archive.
TEST_F(TabIconsTest, ArchiveIconsOfTheIconSize) {
  struct Case {
    const char* name;
    bool zip;
    std::vector<Member> members;
    const wchar_t* icon;
    bool loaded;
  };
  const Case cases[] = {
      {"from a folder", false, {{L"sun16.bmp", 32, 16, kRed}}, L"sun", true},
      {"from a zip", true, {{L"sun16.bmp", 32, 16, kRed}}, L"sun", true},
      {"34 wide is refused", true, {{L"sun16.bmp", 34, 16, kRed}}, L"sun", false},
      {"15 high is refused", false, {{L"sun16.bmp", 32, 15, kRed}}, L"sun", false},
      {"missing", true, {{L"sun16.bmp", 32, 16, kRed}}, L"moon", false},
      {"a name reaching out of the archive", false, {{L"sun16.bmp", 32, 16, kRed}}, L"..\\TabIcons\\sun", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CloseTabIconArchive();
    ziptest::TempFolder install(L"tab_icons");
    Install(install, c.zip, c.members);
    HBITMAP icon = nullptr;
    EXPECT_EQ(LoadTabIconBitmap(c.icon, &icon) != FALSE, c.loaded);
    EXPECT_EQ(icon != nullptr, c.loaded);
    if (icon) {
      BITMAP info = {};
      GetObjectW(icon, sizeof info, &info);
      EXPECT_EQ(info.bmWidth, 16);
      EXPECT_EQ(info.bmHeight, 16);
      // Laid on white as a tint of the picture: red stays the strongest channel.
      const COLORREF centre = At(icon, 8, 8);
      EXPECT_GT(GetRValue(centre), GetGValue(centre) + 60);
      EXPECT_GT(GetRValue(centre), GetBValue(centre) + 60);
      EXPECT_EQ(At(icon, 0, 0), RGB(255, 255, 255)) << "the mask's transparent pixel shows white";
      DeleteObject(icon);
    }
  }
}

// The chooser's archive icons come from the listing: members ending in "16.bmp",
// whose picture for the screen's icon size loads.
TEST_F(TabIconsTest, ChoicesFromTheArchiveListing) {
  struct Case {
    const char* name;
    int dpi;
    bool zip;
    std::vector<Member> members;
    std::vector<std::wstring> choices;
  };
  const Case cases[] = {
      {"standard dpi",
       96,
       true,
       {{L"Sun16.bmp", 32, 16, kRed}, {L"readme.txt", 2, 1, kRed}, {L"16.bmp", 32, 16, kRed}, {L"moon16.bmp", 30, 16, kRed},
        {L"star16.bmp", 32, 16, kBlue}},
       {L"sun", L"star"}},
      {"twice the dpi needs the size-32 picture", 192, false,
       {{L"sun16.bmp", 32, 16, kRed}, {L"sun32.bmp", 64, 32, kRed}, {L"star16.bmp", 32, 16, kBlue}}, {L"sun"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetScreenDpi(c.dpi, c.dpi);
    CloseTabIconArchive();
    ziptest::TempFolder install(L"tab_choices");
    Install(install, c.zip, c.members);
    int selected = -2;
    std::vector<TabIconChoice> choices = CollectTabIconChoices({}, L"STAR", m_window, &selected);
    std::vector<std::wstring> names;
    for (const TabIconChoice& choice : choices) {
      names.push_back(choice.name.GetString());
      EXPECT_EQ(choice.smartIcon, 0u);
      DeleteObject(choice.bitmap);
    }
    EXPECT_EQ(names, c.choices);
    EXPECT_EQ(selected, c.choices.size() == 2 ? 1 : -1);
    SetScreenDpi(96, 96);
  }
}

// A hosted item draws its own tab icon: its window is made and destroyed, the
// interface released, the library freed, whatever the plug-in does.
TEST_F(TabIconsTest, HostedItemsDrawTheirIcons) {
  struct Case {
    const char* name;
    int mode;
    DWORD version;
    bool drawn;
  };
  const Case cases[] = {
      {"draws", kPluginDraws, 1, true},
      {"undeclared version: not asked", kPluginDraws, static_cast<DWORD>(-1), false},
      {"version 0: not asked", kPluginDraws, 0, false},
      {"the export fails", kPluginExportFails, 1, false},
      {"no interface", kPluginNoInterface, 1, false},
      {"refuses", kPluginRefuses, 1, false},
      {"the drawing throws", kPluginDrawThrows, 1, false},
      {"the export throws", kPluginExportThrows, 1, false},
      {"init throws", kPluginInitThrows, 1, false},
  };
  const std::wstring path = BinFile(TEST_TAB_PLUGIN_DLL);
  HMODULE held = LoadLibraryW(path.c_str());
  ASSERT_NE(held, nullptr);
  auto get = reinterpret_cast<PFN_TEST_TAB_PLUGIN_STATE>(
      reinterpret_cast<void*>(GetProcAddress(held, "TestTabPluginGetState")));
  ASSERT_NE(get, nullptr);
  TestTabPluginState* state = get();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    *state = TestTabPluginState{};
    state->mode = c.mode;
    TodayItemInfo item;
    item.keyName = L"\"Painter\"";
    item.dllPath = path.c_str();
    item.version = c.version;
    HBITMAP icon = nullptr;
    EXPECT_EQ(RenderPluginIcon(item, &icon, m_window) != FALSE, c.drawn);
    EXPECT_EQ(state->liveReferences, 0);
    EXPECT_EQ(FindWindowExW(m_window, nullptr, L"Static", L"tab plug-in"), nullptr) << "the item's window is gone";
    if (c.drawn) {
      ASSERT_NE(icon, nullptr);
      EXPECT_STREQ(state->exportName, L"\"Painter\"");
      EXPECT_EQ(state->initWidth, 16);
      EXPECT_EQ(state->refreshCalls, 1) << "asked to get ready before it draws";
      EXPECT_TRUE(Near(At(icon, 8, 8), TEST_TAB_PLUGIN_SELECTED)) << "drawn on a 5-6-5 surface";
      EXPECT_EQ(At(icon, 0, 0), RGB(255, 255, 255));
      EXPECT_FALSE(IsAllWhite(icon));
      DeleteObject(icon);
    } else {
      EXPECT_EQ(icon, nullptr);
    }
  }
  FreeLibrary(held);
  // An item whose library is not there.
  TodayItemInfo missing;
  missing.keyName = L"Gone";
  missing.dllPath = L"\\Windows\\no-such-item.dll";
  missing.version = 1;
  HBITMAP icon = nullptr;
  EXPECT_FALSE(RenderPluginIcon(missing, &icon, m_window));
}

}  // namespace
