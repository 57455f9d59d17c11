#include "pim/CategoryIcons.h"

#include <gtest/gtest.h>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "graphics/tests/TestImages.h"
#include "platform/unzip/tests/ZipWriter.h"

namespace {

TEST(CategoryIcons, FileNamesEscapeTenCharacters) {
  EXPECT_EQ(std::wstring(EscapeFileName(L"A/B")), L"A%CB");
  EXPECT_EQ(std::wstring(EscapeFileName(L"%\\/:*?\"<>|x")), L"%A%B%C%D%E%F%G%H%I%Jx");
  EXPECT_EQ(std::wstring(UnescapeFileName(L"%A%B%C%D%E%F%G%H%I%Jx")), L"%\\/:*?\"<>|x");
  EXPECT_EQ(std::wstring(UnescapeFileName(L"50%K%")), L"50%K%");
}

TEST(CategoryIcons, IconsLoadFromTheInstallFolderAndTheSkinClearsThem) {
  CLocalMachineSandbox machine(L"pim_category_icons");
  ASSERT_TRUE(machine.Redirected());
  ziptest::TempFolder install(L"pim_icons_install");
  machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", install.Path().c_str());
  CreateDirectoryW(install.File(L"Icons").c_str(), nullptr);
  ziptest::WriteBytes(install.File(L"Icons\\Work%CHome.bmp"),
                      testimg::MakeBmp(12, 10, false, [](int, int) { return RGB(0, 255, 0); }));
  ziptest::WriteBytes(install.File(L"Icons\\Broken.bmp"), {'B', 'M', 1, 2, 3});

  CCategoryIcons* icons = GetCategoryIcons();
  ASSERT_NE(icons, nullptr);
  EXPECT_TRUE(icons->IsLoaded()) << "loaded on the first request";
  icons->SetCategoryNames({L"Personal", L"Work/Home", L"Broken"});
  icons->LoadIcons();
  EXPECT_EQ(std::wstring(icons->GetIconFolder()), install.Path() + L"\\Icons\\");
  EXPECT_EQ(icons->GetIcon(0), nullptr);
  ASSERT_NE(icons->GetIcon(1), nullptr);
  EXPECT_EQ(icons->GetIcon(1)->GetKeyColor(), RGB(0, 255, 0));
  EXPECT_EQ(icons->GetIcon(2), nullptr) << "a file that does not load gives none";
  EXPECT_EQ(icons->GetIcon(3), nullptr);
  EXPECT_EQ(icons->GetIconSize().cx, 12);
  EXPECT_EQ(icons->GetIconSize().cy, 10);

  CSkin::Instance().Release();
  EXPECT_FALSE(icons->IsLoaded());
  EXPECT_EQ(icons->GetIcon(1), nullptr);
  EXPECT_EQ(GetCategoryIcons(), icons);
  EXPECT_NE(GetCategoryIcons()->GetIcon(1), nullptr) << "loaded again on request";
  CSkin::Instance().Release();
}

}  // namespace
