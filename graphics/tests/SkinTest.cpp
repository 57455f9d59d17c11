#include "graphics/Skin.h"

#include <gtest/gtest.h>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/tests/RegistrySandbox.h"
#include "graphics/SkinArchive.h"
#include "graphics/tests/SkinFixtures.h"

namespace {

using skintest::Bytes;
using Members = std::vector<std::pair<std::wstring, Bytes>>;

class SkinTest : public ::testing::TestWithParam<bool> {
 protected:
  SkinTest() : m_root(L"skin_test") {}
  void SetUp() override { SetScreenDpi(96, 96); }
  void TearDown() override {
    CSkin::Instance().UseSkinPath(nullptr);
    SetScreenDpi(0, 0);
  }

  // Writes the members as this run's kind of skin and makes it the skin.
  void UseSkin(const Members& members) {
    const std::wstring path = m_root.File(GetParam() ? L"skin.zip" : L"skin");
    CSkin::Instance().Release();  // closes the archive before its file is rewritten
    skintest::WriteSkin(path, GetParam(), members);
    CSkin::Instance().UseSkinPath(path.c_str());
  }

  CSkin& Skin() { return CSkin::Instance(); }

  ziptest::TempFolder m_root;
  skintest::ResourceLibrary m_resources;
};

TEST_P(SkinTest, CompleteSkinLoadsEveryPiece) {
  UseSkin(skintest::CompleteSkin());
  EXPECT_TRUE(Skin().IsComplete());
  EXPECT_EQ(Skin().GetIconCount(), 49);
  EXPECT_EQ(Skin().GetIconSize(3).cx, 16);
  EXPECT_EQ(Skin().GetIconSize(3).cy, 16);
  EXPECT_TRUE(Skin().HasScrollBar());
  EXPECT_EQ(Skin().GetScrollBitmap(), nullptr);
  EXPECT_EQ(Skin().GetScrollPartSize(CSkin::kPartHeaderButton).cx, 10);
  EXPECT_EQ(Skin().GetScrollPartSize(CSkin::kPartThumbMiddle).cy, 8);
  ASSERT_NE(Skin().GetTabIcons(), nullptr);
  EXPECT_EQ(Skin().GetTabIcons()->GetRowCount(), 6);
}

// A skin that opens is not complete for that alone: every icon must load and the
// scroll bar must come from the skin itself.
TEST_P(SkinTest, IncompleteSkinsAreNotComplete) {
  struct Case {
    const char* what;
    std::vector<std::wstring> removed;
  };
  Members onlyTabs = {{L"tab_icons_16.bmp", skintest::TabIcons(16, 6)}};
  const Case cases[] = {
      {"one icon missing", {L"ALLDAY_16.bmp"}},
      {"no parts and no strip of its own", {L"scrollbar_up_16.bmp"}},
      {"tab icons missing", {L"tab_icons_16.bmp"}},
  };
  for (const Case& c : cases) {
    Members members = skintest::CompleteSkin();
    for (const auto& name : c.removed) skintest::Remove(members, name);
    m_root.Remove(m_root.File(L"skin"));
    UseSkin(members);
    EXPECT_FALSE(Skin().IsComplete()) << c.what;
  }
  m_root.Remove(m_root.File(L"skin"));
  UseSkin(onlyTabs);
  EXPECT_FALSE(Skin().IsComplete()) << "only tab icons";

  Members fiveRows = skintest::CompleteSkin();
  skintest::Put(fiveRows, L"tab_icons_16.bmp", skintest::TabIcons(16, 5));
  m_root.Remove(m_root.File(L"skin"));
  UseSkin(fiveRows);
  EXPECT_FALSE(Skin().IsComplete()) << "five tab rows";
}

TEST_P(SkinTest, SkinStripWithFourPartsMakesItComplete) {
  Members members = skintest::CompleteSkin();
  skintest::Remove(members, L"header_btn_16.bmp");
  ziptest::Bytes strip = testimg::MakeBmp(20, 20, false, [](int x, int y) {
    return x == 10 && y % 5 == 4 ? RGB(255, 0, 255) : RGB(0, 0, 255);
  });
  members.emplace_back(L"scrollbar.bmp", strip);
  UseSkin(members);
  EXPECT_TRUE(Skin().IsComplete());
  ASSERT_NE(Skin().GetScrollBitmap(), nullptr);
  EXPECT_TRUE(Skin().IsScrollBitmapFromSkin());
  EXPECT_EQ(Skin().GetScrollBitmap()->GetPartCount(), 4);
  EXPECT_FALSE(Skin().HasScrollBar());
  // The skin answers for its strip as for parts: the strip's own part sizes, none
  // past its last part, and it draws them.
  EXPECT_EQ(Skin().GetScrollPartSize(0).cx, 10);
  EXPECT_EQ(Skin().GetScrollPartSize(0).cy, Skin().GetScrollBitmap()->GetPartSize(0).cy);
  EXPECT_GT(Skin().GetScrollPartSize(3).cy, 0);
  EXPECT_EQ(Skin().GetScrollPartSize(4).cx, 0);
  CDib canvas;
  ASSERT_TRUE(canvas.CreateFilled(10, 10, RGB(255, 255, 255)));
  EXPECT_EQ(Skin().DrawScrollPart(0, &canvas, 0, 0, nullptr), Skin().GetScrollBitmap());
  EXPECT_EQ(Skin().DrawScrollPart(4, &canvas, 0, 0, nullptr), nullptr);
}

TEST_P(SkinTest, ScrollBarPartsAndFallbacks) {
  Members noVertical = skintest::CompleteSkin();
  skintest::Remove(noVertical, L"scrollbar_vertical_16.bmp");
  UseSkin(noVertical);
  EXPECT_EQ(Skin().LoadScrollBar(), CSkin::kLoaded);
  EXPECT_TRUE(Skin().HasScrollBar()) << "the vertical part is optional";
  EXPECT_EQ(Skin().GetScrollPartSize(CSkin::kPartVertical).cx, 0);

  // Without header_btn: the resource strip stands in, though the skin is open.
  m_root.Remove(m_root.File(L"skin"));
  Members noHeader = skintest::CompleteSkin();
  skintest::Remove(noHeader, L"header_btn_16.bmp");
  UseSkin(noHeader);
  EXPECT_EQ(Skin().LoadScrollBar(), CSkin::kLoaded);
  EXPECT_FALSE(Skin().HasScrollBar());
  ASSERT_NE(Skin().GetScrollBitmap(), nullptr);
  EXPECT_FALSE(Skin().IsScrollBitmapFromSkin());
  EXPECT_EQ(Skin().GetScrollBitmap()->GetPartCount(), 7);
  EXPECT_EQ(Skin().GetScrollBitmap()->GetHalfWidth(), 16);

  // Parts that disagree in width fall back too.
  m_root.Remove(m_root.File(L"skin"));
  Members wide = skintest::CompleteSkin();
  skintest::Put(wide, L"scrollbar_mm_16.bmp", skintest::Piece(14, 8, skintest::kPartColour));
  UseSkin(wide);
  EXPECT_FALSE(Skin().HasScrollBar());
}

TEST_P(SkinTest, IconsRefusedAndDrawn) {
  Members members = skintest::CompleteSkin();
  skintest::Put(members, L"NOTE_16.bmp", testimg::MakeBmp(33, 16, false, testimg::Pattern));
  UseSkin(members);
  EXPECT_EQ(Skin().LoadIcon(0), CSkin::kFailed) << "odd width";
  EXPECT_EQ(Skin().GetIconSize(0).cx, 0);
  EXPECT_EQ(Skin().DrawIcon(0, nullptr, 0, 0, nullptr), nullptr);
  EXPECT_EQ(Skin().LoadIcon(49), CSkin::kFailed);
  EXPECT_EQ(Skin().LoadIcon(-2), CSkin::kFailed);
  EXPECT_EQ(Skin().LoadIcon(-1), CSkin::kLoaded);

  CDib target;
  ASSERT_TRUE(target.CreateFilled(40, 20, RGB(0, 255, 0)));
  EXPECT_NE(Skin().DrawIcon(1, &target, 4, 2, nullptr), nullptr);
  EXPECT_EQ(testimg::PixelOf(target, 4, 2), skintest::kIconColour);
  EXPECT_EQ(testimg::PixelOf(target, 19, 17), skintest::kIconColour);
  EXPECT_EQ(testimg::PixelOf(target, 20, 2), RGB(0, 255, 0));

  // Into a DC through the colour table's scratch image.
  CDib screen;
  ASSERT_TRUE(screen.CreateFilled(40, 20, RGB(0, 255, 0)));
  ASSERT_NE(screen.GetDC(), nullptr);
  EXPECT_NE(Skin().DrawIcon(1, nullptr, 10, 0, screen.GetDC()), nullptr);
  GdiFlush();
  EXPECT_EQ(testimg::PixelOf(screen, 10, 0), skintest::kIconColour);
  EXPECT_EQ(testimg::PixelOf(screen, 9, 0), RGB(0, 255, 0));
}

TEST_P(SkinTest, TabIconCellsAreDrawnWithoutTheirKey) {
  UseSkin(skintest::CompleteSkin());
  CDib screen;
  ASSERT_TRUE(screen.CreateFilled(20, 20, RGB(0, 255, 0)));
  ASSERT_TRUE(Skin().DrawTabIcon(2, screen.GetDC(), 0, 0, TRUE));
  GdiFlush();
  EXPECT_EQ(testimg::PixelOf(screen, 0, 0), RGB(0, 255, 0)) << "magenta is the key";
  EXPECT_EQ(testimg::PixelOf(screen, 5, 5), RGB(0, 0, 255)) << "column 1 when selected";
}

// Rows ask for their icons' sizes by the thousand: a skin that is not there is looked
// for once and again only after Release; an archive opened meanwhile still counts.
TEST_P(SkinTest, AMissingSkinIsLookedForAgainOnlyAfterRelease) {
  const std::wstring path = m_root.File(GetParam() ? L"skin.zip" : L"skin");
  Skin().UseSkinPath(path.c_str());
  EXPECT_FALSE(Skin().Open());
  EXPECT_EQ(Skin().GetIconSize(3).cx, 0);
  skintest::WriteSkin(path, GetParam(), skintest::CompleteSkin());
  EXPECT_FALSE(Skin().Open()) << "not looked for again";
  EXPECT_EQ(Skin().GetIconSize(3).cx, 0);
  EXPECT_EQ(Skin().GetIconCount(), 0);
  Skin().Release();
  EXPECT_TRUE(Skin().Open()) << "looked for again after Release";
  EXPECT_EQ(Skin().GetIconSize(3).cx, 16);

  Skin().UseSkinPath(m_root.File(L"none").c_str());
  EXPECT_FALSE(Skin().Open());
  ASSERT_TRUE(CSkinArchive::Instance().Open(path.c_str()));
  EXPECT_TRUE(Skin().Open()) << "opened by another caller";
  EXPECT_EQ(Skin().GetIconSize(3).cx, 16);
}

// The same for one icon the skin lacks: the rows asking for it do not read the skin
// again each, and Release gives it another chance.
TEST_P(SkinTest, AMissingIconIsReadAgainOnlyAfterRelease) {
  Members members = skintest::CompleteSkin();
  skintest::Remove(members, L"NOTE_16.bmp");
  UseSkin(members);
  EXPECT_EQ(Skin().LoadIcon(0), CSkin::kFailed);
  EXPECT_EQ(Skin().GetIconSize(0).cx, 0);
  EXPECT_EQ(Skin().GetIconSize(1).cx, 16) << "the others load";
  if (!GetParam()) {
    // A folder skin gains the file while open: still missing until Release.
    skintest::WriteSkin(m_root.File(L"skin"), false, {{L"NOTE_16.bmp", skintest::CompleteSkin()[0].second}});
    EXPECT_EQ(Skin().GetIconSize(0).cx, 0);
    Skin().Release();
    EXPECT_EQ(Skin().GetIconSize(0).cx, 16);
  }
  UseSkin(skintest::CompleteSkin());
  EXPECT_EQ(Skin().GetIconSize(0).cx, 16) << "a new skin starts afresh";
}

INSTANTIATE_TEST_SUITE_P(FolderAndZip, SkinTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Zip" : "Folder"; });

TEST(SkinSizes, SuffixAndTabIconSizeFollowTheDpi) {
  struct Case {
    int dpi, suffix, tab;
  };
  const Case cases[] = {{96, 16, 16}, {120, 16, 20}, {144, 32, 24}, {192, 32, 32}};
  for (const Case& c : cases) {
    SetScreenDpi(c.dpi, c.dpi);
    EXPECT_EQ(CSkin::GetSizeSuffix(), c.suffix) << c.dpi;
    EXPECT_EQ(CSkin::GetTabIconSize(), c.tab) << c.dpi;
  }
  SetScreenDpi(0, 0);
}

// The skin's location from "SkinName", and the resource library when nothing is there.
TEST(SkinLocation, NameFromTheProductKeyAndResourceFallbacks) {
  CLocalMachineSandbox machine(L"skin_location");
  ASSERT_TRUE(machine.Redirected());
  ziptest::TempFolder install(L"skin_install");
  machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", install.Path().c_str());
  machine.Key(TARVO_PRODUCT_KEY).WriteString(L"SkinName", L"");
  skintest::ResourceLibrary resources;
  SetScreenDpi(96, 96);
  CSkin& skin = CSkin::Instance();
  skin.UseSkinPath(nullptr);

  EXPECT_EQ(std::wstring(skin.GetSkinName()), L"NewStyle");
  EXPECT_EQ(std::wstring(skin.GetSkinPath()), install.Path() + L"\\Skins\\NewStyle");
  // No skin at all: no icons, the resource strip, result 1.
  EXPECT_EQ(skin.GetIconCount(), 0);
  EXPECT_EQ(skin.LoadIcon(-1), CSkin::kFailed);
  EXPECT_EQ(skin.LoadScrollBar(), CSkin::kFromResources);
  ASSERT_NE(skin.GetScrollBitmap(), nullptr);
  EXPECT_EQ(skin.GetScrollBitmap()->GetHalfWidth(), 16);
  EXPECT_FALSE(skin.IsComplete());

  SetScreenDpi(192, 192);
  skin.Release();
  EXPECT_EQ(skin.LoadScrollBar(), CSkin::kFromResources);
  ASSERT_NE(skin.GetScrollBitmap(), nullptr);
  EXPECT_EQ(skin.GetScrollBitmap()->GetHalfWidth(), 32) << "bitmap 142";

  // A zip named by "SkinName" is found in "Skins\".
  SetScreenDpi(96, 96);
  machine.Key(TARVO_PRODUCT_KEY).WriteString(L"SkinName", L"Blue");
  CreateDirectoryW(install.File(L"Skins").c_str(), nullptr);
  skintest::WriteSkin(install.File(L"Skins\\Blue.zip"), true, skintest::CompleteSkin());
  skin.Release();
  EXPECT_TRUE(skin.IsComplete());
  skin.Release();
  SetScreenDpi(0, 0);
}

TEST(SkinResourceIcons, SmallIconsComeAtTheirScaledSizes) {
  skintest::ResourceLibrary resources;
  struct Case {
    int dpi;
    int which;  // 0, 1 small; 2 collapsed, 3 open; 4 drop-down
    int width, height;
  };
  const Case cases[] = {{96, 0, 8, 8}, {96, 1, 8, 8}, {96, 2, 9, 9}, {96, 3, 9, 9}, {96, 4, 13, 9},
                        {192, 0, 16, 16}, {192, 2, 18, 18}, {192, 4, 26, 18}};
  CSkin& skin = CSkin::Instance();
  for (const Case& c : cases) {
    SetScreenDpi(c.dpi, c.dpi);
    skin.Release();
    HICON icon = c.which < 2 ? skin.GetSmallIcon(c.which)
                 : c.which < 4 ? skin.GetSignIcon(c.which == 2)
                               : skin.GetDropDownIcon();
    ASSERT_NE(icon, nullptr) << c.which;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm = {};
    GetObjectW(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, c.width) << c.dpi << " " << c.which;
    EXPECT_EQ(info.hbmColor ? bm.bmHeight : bm.bmHeight / 2, c.height) << c.dpi << " " << c.which;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(icon, c.which < 2 ? skin.GetSmallIcon(c.which) : icon) << "loaded once";
  }
  skin.Release();
  SetScreenDpi(0, 0);
}

TEST(SkinBitmapNames, LookupAndReplace) {
  CSkinBitmapNames& names = CSkinBitmapNames::Instance();
  EXPECT_EQ(std::wstring(names.Lookup(142)), L"scrollbar_vga.bmp");
  EXPECT_EQ(std::wstring(names.Lookup(221)), L"iconchuser.bmp");
  EXPECT_TRUE(names.Lookup(7).IsEmpty());
  names.Add(7, L"seven.bmp");
  names.Add(7, L"other.bmp");
  EXPECT_EQ(std::wstring(names.Lookup(7)), L"other.bmp");
}

}  // namespace
