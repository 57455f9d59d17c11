// Category icons and colours: file names, the icon folder of each PIM, icons loaded
// for the categories of the list, icon edits, colours by name (one value per name),
// the list-size icon test, other vendors' keys left as they are, fuzzed colour values.
#include "pim/CategoryIcons.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/tests/DeviceRoot.h"
#include "base/tests/RegistrySandbox.h"
#include "graphics/tests/TestImages.h"
#include "pim/tests/CategoryFixtures.h"
#include "pim/tests/UserSandbox.h"
#include "platform/unzip/tests/ZipWriter.h"

namespace {

// Values written and read through the (redirected) roots themselves.
void PutString(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text) {
  RegSetKeyValueW(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}
void PutDWORD(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value) {
  RegSetKeyValueW(root, path, name, REG_DWORD, &value, sizeof value);
}
bool KeyExists(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}
bool GetDWORDValue(const wchar_t* name, DWORD* value) {
  DWORD size = sizeof *value, type = 0;
  return RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Tarvo\\Colors", name, RRF_RT_ANY, &type, value,
                      &size) == ERROR_SUCCESS;
}

const wchar_t kAgendaFusion[] = L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion";
const wchar_t kPocketInformant[] = L"Software\\WebIS\\PocketInformant";
const wchar_t kColors[] = L"Software\\Korvel\\Qel Tarvo\\Colors";

std::vector<BYTE> Square(int width, int height) {
  return testimg::MakeBmp(width, height, false, [](int x, int) { return x ? RGB(0, 255, 0) : RGB(200, 0, 0); });
}

// The categories of a test, in the older store, the install folder and both
// registry roots of its own.
class CategoryIconsTest : public ::testing::Test {
 protected:
  CategoryIconsTest()
      : m_store(false), m_machine(L"pim_category_icons"), m_user(L"pim_category_user"), m_install(L"pim_icons") {}
  void SetUp() override {
    ASSERT_TRUE(m_machine.Redirected());
    ASSERT_TRUE(m_user.Redirected());
    pimtest::ClearStores();
    PutString(HKEY_LOCAL_MACHINE, TARVO_INSTALL_KEY, L"InstallDir", m_install.Path());
    CreateDirectoryW(m_install.File(L"Icons").c_str(), nullptr);
    CCategoriesList::SetIconReload([] {});
  }
  void TearDown() override {
    CCategoriesList::SetIconReload(nullptr);
    CCategoryColors::SetWriteMissingColors(FALSE);
    pimtest::ClearStores();
  }
  // A categories list of these names, in this record order.
  void MakeList(std::vector<const wchar_t*> names) {
    long id = 1;
    for (const wchar_t* name : names) cattest::WriteCategory(false, name, id++);
    ASSERT_TRUE(m_list.Open(nullptr));
    ASSERT_EQ(m_list.GetCount(), static_cast<int>(names.size()));
  }

  CStoreMode m_store;
  CLocalMachineSandbox m_machine;
  CUserSandbox m_user;
  ziptest::TempFolder m_install;
  CCategoriesList m_list;
};

TEST(CategoryIconsNames, FileNamesEscapeTenCharacters) {
  struct Case {
    const wchar_t* name;
    const wchar_t* file;
  };
  const Case cases[] = {
      {L"A/B", L"A%CB"},
      {L"%\\/:*?\"<>|x", L"%A%B%C%D%E%F%G%H%I%Jx"},
      {L"50%", L"50%A"},
      {L"50%A", L"50%AA"},
      {L"plain", L"plain"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::wstring(EscapeFileName(c.name)), c.file) << c.name;
    EXPECT_EQ(std::wstring(UnescapeFileName(EscapeFileName(c.name))), c.name) << "round trip";
  }
  EXPECT_EQ(std::wstring(UnescapeFileName(L"50%K%")), L"50%K%");
  // Two names, two colour values, even where the unescaped forms meet.
  EXPECT_NE(std::wstring(CategoryColorValueName(L"50%A")), std::wstring(CategoryColorValueName(L"50%")));
  EXPECT_EQ(std::wstring(CategoryColorValueName(L"A/B")), L"A/B") << "the value name keeps the slash";
}

TEST_F(CategoryIconsTest, IconsOfTheListLoadFromTheInstallFolderAndTheSkinClearsThem) {
  MakeList({L"Personal", L"Work/Home", L"Broken"});
  ziptest::WriteBytes(m_install.File(L"Icons\\Work%CHome.bmp"), Square(12, 10));
  ziptest::WriteBytes(m_install.File(L"Icons\\Broken.bmp"), {'B', 'M', 1, 2, 3});

  CCategoryIcons* icons = GetCategoryIcons();
  ASSERT_NE(icons, nullptr);
  EXPECT_TRUE(icons->IsLoaded()) << "loaded on the first request";
  EXPECT_EQ(std::wstring(icons->GetIconFolder()), m_install.Path() + L"\\Icons\\");
  EXPECT_EQ(icons->GetIcon(0), nullptr);
  ASSERT_NE(icons->GetIcon(1), nullptr);
  EXPECT_EQ(icons->GetIcon(1)->GetKeyColor(), RGB(0, 255, 0));
  EXPECT_EQ(icons->GetIcon(2), nullptr) << "a file that does not load gives none";
  EXPECT_EQ(icons->GetIcon(3), nullptr);
  EXPECT_EQ(icons->GetColors().GetColor(2), CCategoryColors::kNone);
  EXPECT_EQ(icons->GetIconSize().cx, 12);
  EXPECT_EQ(icons->GetIconSize().cy, 10);
  CBitSet set;
  set.Set(2);
  EXPECT_EQ(icons->GetFirstIcon(set), nullptr);
  set.Set(1);
  set.Set(0);
  EXPECT_EQ(icons->GetFirstIcon(set), icons->GetIcon(1)) << "the lowest set category that has one";

  // A category made elsewhere: the list loads the skin's icons again.
  CCategoriesList::SetIconReload(nullptr);
  ziptest::WriteBytes(m_install.File(L"Icons\\Later.bmp"), Square(20, 8));
  CENOTIFICATION created = {};
  created.dwSize = sizeof created;
  created.uType = DB_CEOID_CREATED;
  created.oid = cattest::WriteCategory(false, L"Later", 9);
  m_list.OnDbNotify(&created, TRUE);
  ASSERT_NE(icons->GetIcon(3), nullptr);
  EXPECT_EQ(icons->GetIconSize().cx, 20);

  CSkin::Instance().Release();
  EXPECT_FALSE(icons->IsLoaded());
  EXPECT_EQ(icons->GetIcon(1), nullptr);
  EXPECT_EQ(GetCategoryIcons(), icons);
  EXPECT_NE(GetCategoryIcons()->GetIcon(1), nullptr) << "loaded again on request";
  CSkin::Instance().Release();
}

// The icon folder follows "CurrentPIM" at every load; other vendors' keys are read
// and never made or written.
TEST_F(CategoryIconsTest, TheFolderOfEachPim) {
  MakeList({L"Work"});
  ziptest::TempFolder agenda(L"pim_icons_af");
  ziptest::TempFolder informant(L"pim_icons_pi");
  ziptest::WriteBytes(agenda.File(L"Work.bmp"), Square(9, 9));
  ziptest::WriteBytes(informant.File(L"Work.bmp"), Square(7, 7));
  ziptest::WriteBytes(m_install.File(L"Icons\\Work.bmp"), Square(5, 5));

  struct Case {
    DWORD pim;
    bool agendaValue;
    bool informantValue;
    std::wstring folder;
    int width;  // of the loaded icon, 0: none
  };
  const Case cases[] = {
      {0, true, true, m_install.Path() + L"\\Icons\\", 5},
      {7, false, false, m_install.Path() + L"\\Icons\\", 5},
      {1, true, false, agenda.Path() + L"\\", 9},
      {2, false, true, informant.Path() + L"\\", 7},
      {2, false, false, L"", 0},
      {1, false, false, L"", 0},
  };
  CCategoryIcons icons;
  for (const Case& c : cases) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Developer One, Inc.");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WebIS");
    PutDWORD(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Tarvo", L"CurrentPIM", c.pim);
    if (c.agendaValue) PutString(HKEY_LOCAL_MACHINE, kAgendaFusion, L"Core.Categories", agenda.Path());
    if (c.informantValue) PutString(HKEY_CURRENT_USER, kPocketInformant, L"IconPath", informant.Path() + L"\\");
    icons.LoadIcons();
    EXPECT_EQ(std::wstring(icons.GetIconFolder()), c.folder) << c.pim;
    EXPECT_EQ(std::wstring(GetCurrentPimIconFolder()), c.folder);
    EXPECT_EQ(icons.GetIcon(0) ? icons.GetIcon(0)->GetSize().cx : 0, c.width) << c.pim;
    EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, kAgendaFusion), c.agendaValue) << "never made";
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, kPocketInformant), c.informantValue);
  }

  // The other folders: read only, a "\" appended, the picture chooser's entry when
  // the icon chooser has none.
  PutString(HKEY_LOCAL_MACHINE, kAgendaFusion, L"SourceIconLocation", L"\\Storage\\AF");
  PutString(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant\\Menus\\PictureChooser\\MRU", L"0", L"\\Pics");
  EXPECT_EQ(std::wstring(GetAgendaFusionIconFolder()), L"\\Storage\\AF\\");
  EXPECT_EQ(std::wstring(GetPocketInformantIconMru()), L"\\Pics\\");
  PutString(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant\\Menus\\IconChooser\\MRU", L"0", L"\\Icons\\");
  EXPECT_EQ(std::wstring(GetPocketInformantIconMru()), L"\\Icons\\");
  PutString(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant\\Menus\\IconChooser\\MRU", L"0", L"");
  EXPECT_EQ(std::wstring(GetPocketInformantIconMru()), L"\\Pics\\");
  HKEY mru = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant\\Menus\\IconChooser\\MRU", 0,
                          KEY_READ, &mru),
            ERROR_SUCCESS);
  DWORD values = 0;
  RegQueryInfoKeyW(mru, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(mru);
  EXPECT_EQ(values, 1u) << "nothing written back";
  EXPECT_EQ(std::wstring(GetIconSetFolder()), m_install.Path() + L"\\IconSet\\");
}

TEST_F(CategoryIconsTest, IconFilesAreCopiedAndDeletedThroughReadOnly) {
  MakeList({L"Work", L"A/B"});
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Korvel");
  ziptest::TempFolder::Remove(m_install.File(L"Icons"));
  const std::wstring source = m_install.File(L"source.bmp");
  ziptest::WriteBytes(source, Square(6, 4));
  CCategoryIcons icons;
  icons.LoadIcons();
  ASSERT_TRUE(icons.SetIconFile(1, source.c_str())) << "the folder is made";
  const std::wstring target = m_install.File(L"Icons\\A%CB.bmp");
  EXPECT_NE(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  ziptest::WriteBytes(source, Square(8, 4));
  EXPECT_TRUE(icons.SetIconFile(1, source.c_str())) << "over a read-only file";
  EXPECT_EQ(icons.GetIcon(1), nullptr) << "the loaded icons stay until the caller loads again";
  icons.LoadIcons();
  ASSERT_NE(icons.GetIcon(1), nullptr);
  EXPECT_EQ(icons.GetIcon(1)->GetSize().cx, 8);
  EXPECT_FALSE(icons.SetIconFile(5, source.c_str())) << "no such category";

  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  icons.DeleteIcon(1);
  EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(icons.GetIcon(1), nullptr);

  PutDWORD(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Tarvo", L"CurrentPIM", 2);
  icons.LoadIcons();
  EXPECT_FALSE(icons.SetIconFile(0, source.c_str())) << "no folder";
}

// Colours by category name: one value per name, the older builds' values of
// escaped names still read, written back only by the options program.
TEST_F(CategoryIconsTest, ColoursByNameOneValueEach) {
  MakeList({L"Work", L"A/B", L"50%A", L"50%", L"Old%B", L"None"});
  PutDWORD(HKEY_LOCAL_MACHINE, kColors, L"Work", 0x320000FF);
  PutDWORD(HKEY_LOCAL_MACHINE, kColors, L"A/B", 0x6400FF00);
  PutDWORD(HKEY_LOCAL_MACHINE, kColors, L"50%", 0x64FF0000);
  PutDWORD(HKEY_LOCAL_MACHINE, kColors, L"Old\\", 0x64112233);
  CCategoryIcons icons;
  icons.LoadIcons();
  CCategoryColors& colors = icons.GetColors();
  struct Case {
    int index;
    COLORREF color;
    int blend;
  };
  const Case cases[] = {
      {0, RGB(255, 0, 0), 50}, {1, RGB(0, 255, 0), 100}, {2, CCategoryColors::kNone, 100},
      {3, RGB(0, 0, 255), 100}, {4, 0x112233, 100},       {5, CCategoryColors::kNone, 100},
      {6, CCategoryColors::kNone, -1},                     {-1, CCategoryColors::kNone, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(colors.GetColor(c.index), c.color) << c.index;
    EXPECT_EQ(colors.GetBlend(c.index), c.blend) << c.index;
  }
  DWORD value = 0;
  EXPECT_FALSE(GetDWORDValue(L"None", &value)) << "the library only reads";

  ASSERT_TRUE(colors.SetColor(2, RGB(1, 2, 3)));
  ASSERT_TRUE(GetDWORDValue(L"50%A", &value));
  EXPECT_EQ(value, 0x64030201u);
  ASSERT_TRUE(GetDWORDValue(L"50%", &value));
  EXPECT_EQ(value, 0x64FF0000u) << "the other category's value stays";
  ASSERT_TRUE(colors.SetBlend(2, 30));
  ASSERT_TRUE(GetDWORDValue(L"50%A", &value));
  EXPECT_EQ(value, 0x1E030201u);
  ASSERT_TRUE(colors.SetColor(2, CCategoryColors::kNone));
  ASSERT_TRUE(GetDWORDValue(L"50%A", &value));
  EXPECT_EQ(value, 0xFFFFFFFFu);
  EXPECT_FALSE(colors.SetColor(6, RGB(1, 1, 1)));
  EXPECT_FALSE(colors.SetBlend(-1, 10));

  // Rows: the base blended toward the first coloured category of the set.
  CBitSet set;
  set.Set(5);
  EXPECT_EQ(colors.GetItemColor(set, RGB(255, 255, 255)), RGB(255, 255, 255));
  set.Set(0);
  set.Set(1);
  EXPECT_EQ(colors.GetItemColor(set, RGB(255, 255, 255)), RGB(255, 128, 128));

  // The options program writes what is missing back as "no colour".
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Tarvo\\Colors");
  icons.LoadIcons();
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kColors)) << "the library makes no key";
  CCategoryColors::SetWriteMissingColors(TRUE);
  icons.LoadIcons();
  ASSERT_TRUE(GetDWORDValue(L"None", &value));
  EXPECT_EQ(value, 0xFFFFFFFFu);
  EXPECT_TRUE(GetDWORDValue(L"50%A", &value));
}

TEST(CategoryIconsListSize, SmallEnoughForARowAtEachDpi) {
  ziptest::TempFolder folder(L"pim_list_size");
  struct Case {
    int dpi;
    std::vector<std::pair<const wchar_t*, std::vector<BYTE>>> files;
    bool expected;
  };
  const std::vector<BYTE> broken = {'B', 'M', 0, 0};
  const Case cases[] = {
      {96, {{L"a.bmp", Square(30, 30)}}, true},
      {96, {{L"a.bmp", Square(31, 30)}}, false},
      {96, {{L"a.bmp", Square(30, 31)}, {L"b.bmp", Square(12, 12)}}, true},
      {96, {{L".hidden.bmp", Square(8, 8)}, {L"c.bmp", broken}}, false},
      {96, {{L"c.txt", Square(8, 8)}}, false},
      {192, {{L"a.bmp", Square(60, 60)}}, true},
      {192, {{L"a.bmp", Square(61, 60)}}, false},
      {96, {}, false},
  };
  for (const Case& c : cases) {
    ziptest::TempFolder::Remove(folder.Path());
    CreateDirectoryW(folder.Path().c_str(), nullptr);
    // A folder that looks like a picture is never taken for one.
    CreateDirectoryW(folder.File(L"dir.bmp").c_str(), nullptr);
    for (const auto& file : c.files) ziptest::WriteBytes(folder.File(file.first), file.second);
    SetScreenDpi(c.dpi, c.dpi);
    EXPECT_EQ(HasListSizeIcon(folder.Path().c_str()) != FALSE, c.expected) << c.dpi << " " << c.files.size();
    EXPECT_EQ(HasListSizeIcon((folder.Path() + L"\\").c_str()) != FALSE, c.expected);
  }
  SetScreenDpi(0, 0);
  EXPECT_FALSE(HasListSizeIcon(L""));
  EXPECT_FALSE(HasListSizeIcon(nullptr));
}

// Values another program left under the colours key, of any type and size.
TEST_F(CategoryIconsTest, FuzzedColourValuesReadSoundly) {
  MakeList({L"a", L"b", L"a%A", L"%"});
  std::mt19937 random(20261210);
  const wchar_t* names[] = {L"a", L"b", L"a%A", L"%", L"a%", L"%A"};
  const DWORD types[] = {REG_DWORD, REG_SZ, REG_BINARY, REG_QWORD, REG_MULTI_SZ};
  BYTE bytes[12];
  CCategoryIcons icons;
  for (int round = 0; round < 300; ++round) {
    for (BYTE& b : bytes) b = static_cast<BYTE>(random());
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kColors, names[random() % 6], types[random() % 5], bytes, random() % 13);
    if (random() % 8 == 0) RegDeleteTreeW(HKEY_LOCAL_MACHINE, kColors);
    CCategoryColors::SetWriteMissingColors(random() % 2);
    icons.LoadIcons();
    for (int i = -1; i <= 4; ++i) {
      const int blend = icons.GetColors().GetBlend(i);
      ASSERT_TRUE(i < 0 || i > 3 ? blend == -1 : blend >= 0 && blend <= 127);
      const COLORREF color = icons.GetColors().GetColor(i);
      ASSERT_TRUE(color == CCategoryColors::kNone || color <= 0x00FFFFFF);
    }
  }
}

}  // namespace
