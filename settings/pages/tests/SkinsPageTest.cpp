// The skins page over an install folder of the test's own, and the file finder
// that lists its "Skins" folder.
#include "settings/pages/SkinsPage.h"

#include <gtest/gtest.h>

#include <set>

#include "base/InstallPath.h"
#include "base/ScreenDpi.h"
#include "graphics/Skin.h"
#include "graphics/tests/SkinFixtures.h"
#include "settings/pages/FileFinder.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

std::set<std::wstring> ListAll(const std::wstring& folder) {
  std::set<std::wstring> names;
  CFileFinder finder;
  for (CString name = finder.FindFirst(folder.c_str()); !name.IsEmpty(); name = finder.FindNext())
    names.insert(std::wstring(name));
  return names;
}

TEST(FileFinder, ListsFoldersAndZipArchivesOnly) {
  ziptest::TempFolder root(L"file_finder");
  CreateDirectoryW(root.File(L"Green").c_str(), nullptr);
  CreateDirectoryW(root.File(L".hidden").c_str(), nullptr);
  CreateDirectoryW(root.File(L"Dotted.zip").c_str(), nullptr);
  for (const wchar_t* file : {L"Blue.ZIP", L"Blue.old.zip", L"notes.txt", L".secret.zip", L"zip", L"Red.zip.bak"})
    ziptest::WriteBytes(root.File(file), ziptest::Bytes{'x'});
  // A folder is listed by its whole name, a ".zip" file without its extension.
  EXPECT_EQ(ListAll(root.Path()), (std::set<std::wstring>{L"Blue", L"Green", L"Dotted.zip"}));
}

TEST(FileFinder, NamesAreJudgedByTheTextAfterTheFirstDot) {
  struct Case {
    const wchar_t* name;
    BOOL folder;
    const wchar_t* listed;
  };
  const Case cases[] = {
      {L"Blue.ZIP", FALSE, L"Blue"},    {L"Blue.old.zip", FALSE, L""}, {L".zip", FALSE, L""},
      {L"a.Zip", FALSE, L"a"},          {L"noext", FALSE, L""},        {L"Green", TRUE, L"Green"},
      {L"..", TRUE, L""},               {L"", TRUE, L""},              {L"x.zip ", FALSE, L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::wstring(CFileFinder::AcceptedName(c.name, c.folder)), c.listed) << std::wstring(c.name);
  EXPECT_TRUE(CFileFinder::AcceptedName(nullptr, FALSE).IsEmpty());
}

TEST(FileFinder, MissingFolderAndRestartedSearches) {
  ziptest::TempFolder root(L"file_finder_restart");
  CreateDirectoryW(root.File(L"One").c_str(), nullptr);
  CFileFinder finder;
  EXPECT_TRUE(finder.FindFirst(root.File(L"absent").c_str()).IsEmpty());
  EXPECT_TRUE(finder.FindNext().IsEmpty());
  // A second search closes the first; the end stays the end.
  EXPECT_EQ(std::wstring(finder.FindFirst(root.Path().c_str())), L"One");
  EXPECT_EQ(std::wstring(finder.FindFirst((root.Path() + L"\\").c_str())), L"One");
  EXPECT_TRUE(finder.FindNext().IsEmpty());
  EXPECT_TRUE(finder.FindNext().IsEmpty());
}

class SkinsPageTest : public PageRunTest {
 protected:
  void SetUp() override {
    PageRunTest::SetUp();
    SetScreenDpi(96, 96);
    m_machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", m_root.Path().c_str());
    CreateDirectoryW(m_root.File(L"Skins").c_str(), nullptr);
  }
  void TearDown() override {
    CSkin::Instance().UseSkinPath(nullptr);
    CSkin::Instance().Release();
    SetScreenDpi(0, 0);
    PageRunTest::TearDown();
  }
  void AddSkin(const wchar_t* name, bool zip, bool complete) {
    auto members = skintest::CompleteSkin();
    // 48 icons: one short of a whole skin.
    if (!complete) skintest::Remove(members, std::wstring(CSkin::GetIconName(5)) + L"_16.bmp");
    skintest::WriteSkin(m_root.File(std::wstring(L"Skins\\") + name + (zip ? L".zip" : L"")), zip, members);
  }
  struct Seen {
    std::vector<std::wstring> items;
    int selection = -2;
    std::wstring selected;
    std::wstring storedWhileOpen;
  };
  Seen Look(HWND page) {
    Seen seen;
    for (int i = 0; i < ItemCount(page, kSkinCombo); ++i) seen.items.push_back(ItemText(page, kSkinCombo, i));
    seen.selection = Selection(page, kSkinCombo);
    if (seen.selection >= 0) seen.selected = ItemText(page, kSkinCombo, seen.selection);
    seen.storedWhileOpen = StoredText(L"SkinName");
    return seen;
  }

  ziptest::TempFolder m_root{L"skins_page"};
};

TEST_F(SkinsPageTest, EmptySkinsFolderOffersClassicAndKeepsTheName) {
  Product().WriteString(L"SkinName", L"NewStyle");
  Seen seen;
  RunPage(0, 5, [&](HWND page) { seen = Look(page); }, {IDOK});
  EXPECT_EQ(seen.items, std::vector<std::wstring>{L"Classic"});
  EXPECT_EQ(seen.selection, 0);
  // "Classic" does not load: the name stays what it was.
  EXPECT_EQ(StoredText(L"SkinName"), L"NewStyle");
}

TEST_F(SkinsPageTest, ChoicesRoundTripThroughTheSheet) {
  AddSkin(L"Good", false, true);
  AddSkin(L"Zipped", true, true);
  AddSkin(L"Broken", true, false);
  struct Case {
    const char* name;
    const wchar_t* stored;
    const wchar_t* choose;  // null: leave alone
    int button;
    const wchar_t* shown;
    const wchar_t* whileOpen;
    const wchar_t* written;
    const wchar_t* finallySelected;
    size_t messages;
  };
  const Case cases[] = {
      // Case is ignored when the stored name is looked up.
      {"stored skin shown", L"zipped", nullptr, IDOK, L"Zipped", L"Zipped", L"Zipped", L"Zipped", 0},
      {"good skin chosen", L"Good", L"Zipped", IDOK, L"Good", L"Zipped", L"Zipped", L"Zipped", 0},
      // An incomplete skin is refused at once: the name and the box go back.
      {"incomplete skin refused", L"Good", L"Broken", IDOK, L"Good", L"Good", L"Good", L"Good", 1},
      {"cancel writes the first name back", L"Good", L"Zipped", IDCANCEL, L"Good", L"Zipped", L"Good", L"Zipped", 0},
      // A stored skin that is not installed selects the first one.
      {"unknown stored skin", L"Gone", nullptr, IDOK, L"Broken", L"Gone", L"Gone", L"Broken", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Messages().clear();
    Product().WriteString(L"SkinName", c.stored);
    Seen opened, after;
    RunPage(
        0, 5,
        [&](HWND page) {
          opened = Look(page);
          if (c.choose) {
            const LRESULT index = SendDlgItemMessageW(page, kSkinCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>(c.choose));
            Choose(page, kSkinCombo, static_cast<int>(index));
          }
          after = Look(page);
        },
        {c.button});
    EXPECT_EQ(opened.items, (std::vector<std::wstring>{L"Broken", L"Good", L"Zipped"}));
    EXPECT_EQ(opened.selected, c.shown);
    EXPECT_EQ(after.storedWhileOpen, c.whileOpen);
    EXPECT_EQ(after.selected, c.finallySelected);
    EXPECT_EQ(StoredText(L"SkinName"), c.written);
    ASSERT_EQ(Messages().size(), c.messages);
    if (c.messages) {
      EXPECT_TRUE(Messages()[0].type & MB_ICONERROR);
    }
  }
}

}  // namespace

namespace {

// Names as any program may leave them in the folder: whatever the finder answers is
// either nothing, the whole folder name, or the text before the first dot of a
// ".zip" file.
TEST(FileFinder, AnyNameGivesASoundAnswer) {
  unsigned seed = 20261210u;
  auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  const wchar_t alphabet[] = L"aZ.zipZIP .\\\x00e9\x4e2d\xd800";
  for (int round = 0; round < 4000; ++round) {
    std::wstring name;
    const int length = static_cast<int>(next() % 12);
    for (int i = 0; i < length; ++i) name.push_back(alphabet[next() % (ARRAYSIZE(alphabet) - 1)]);
    const BOOL folder = next() % 2;
    const std::wstring listed(CFileFinder::AcceptedName(name.c_str(), folder));
    if (listed.empty()) continue;
    ASSERT_NE(name[0], L'.') << round;
    if (folder) {
      EXPECT_EQ(listed, name);
    } else {
      const size_t dot = name.find(L'.');
      ASSERT_NE(dot, std::wstring::npos);
      EXPECT_EQ(listed, name.substr(0, dot));
      EXPECT_EQ(_wcsicmp(name.c_str() + dot + 1, L"zip"), 0);
    }
  }
}

// The skins the device installs (device/skins: a .zip and a folder) as the
// page finds them in the install folder.
TEST_F(PageRunTest, ShippedSkinsAreListedAndSwitched) {
  SetScreenDpi(96, 96);
  // The source tree's device folder as the program sees it (Wine's Z: drive).
  std::wstring device = L"Z:";
  for (const char* c = TARVO_DEVICE_DIR; *c; ++c) device += *c == '/' ? L'\\' : wchar_t(*c);
  m_machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", device.c_str());
  Product().WriteString(L"SkinName", L"NewStyle");
  std::vector<std::wstring> items;
  std::wstring whileOpen;
  RunPage(
      0, 5,
      [&](HWND page) {
        for (int i = 0; i < ItemCount(page, kSkinCombo); ++i) items.push_back(ItemText(page, kSkinCombo, i));
        Choose(page, kSkinCombo, 1);
        whileOpen = StoredText(L"SkinName");
      },
      {IDOK});
  EXPECT_EQ(items, (std::vector<std::wstring>{L"NewStyle", L"Plain"}));
  EXPECT_EQ(whileOpen, L"Plain");
  EXPECT_EQ(StoredText(L"SkinName"), L"Plain");
  EXPECT_TRUE(Messages().empty());
  CSkin::Instance().UseSkinPath(nullptr);
  CSkin::Instance().Release();
  SetScreenDpi(0, 0);
}

}  // namespace
