#include "graphics/IconDatabase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/MD5.h"
#include "base/ScreenDpi.h"
#include "graphics/BitmapCache.h"
#include "graphics/tests/IconFixtures.h"
#include "graphics/tests/TestImages.h"
#include "platform/tests/ByteMutator.h"
#include "platform/imaging/tests/EncodedImage.h"

namespace {

using namespace icontest;

class IconDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { SetScreenDpi(96, 96); }
  void TearDown() override { CIconDatabase::SetOptionsProgramRules(FALSE); }
};

// Names of 3 characters fill 8 bytes exactly, names of 2 are padded by 2; the
// digest lists follow in name order and point into the bytes.
TEST_F(IconDatabaseTest, NamesArePaddedToFourBytesAndDigestsFollowInOrder) {
  const Digest a = DigestOf({1}), b = DigestOf({2}), c = DigestOf({3});
  const Bytes file = MakeDatabase({{L"Abc", {a, b}}, {L"Xy", {}}, {L"Weather", {c}}});
  ASSERT_EQ(file.size(), 4u + 8 + 8 + 16 + (4 + 32) + 4 + (4 + 16));
  std::vector<CIconDatabase::FileGroup> groups;
  ASSERT_TRUE(CIconDatabase::ParseGroups(file.data(), DWORD(file.size()), groups));
  ASSERT_EQ(groups.size(), 3u);
  const struct {
    LPCWSTR name;
    DWORD count;
    size_t offset;
  } expected[] = {{L"Abc", 2, 40}, {L"Xy", 0, 76}, {L"Weather", 1, 80}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_STREQ(groups[i].name, expected[i].name);
    EXPECT_EQ(groups[i].digestCount, expected[i].count);
    EXPECT_EQ(groups[i].digests, file.data() + expected[i].offset);
    EXPECT_EQ(groups[i].displayGroup, -1);
  }
}

// A damaged file is refused whole: every cut short of its end, counts that
// promise more than the bytes hold, a name without its terminator.
TEST_F(IconDatabaseTest, DamagedFilesAreRefusedWhole) {
  const Bytes good = MakeDatabase({{L"Abc", {DigestOf({1})}}, {L"Xy", {DigestOf({2}), DigestOf({3})}}});
  std::vector<CIconDatabase::FileGroup> groups;
  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_FALSE(CIconDatabase::ParseGroups(good.data(), DWORD(cut), groups)) << "cut at " << cut;
    EXPECT_TRUE(groups.empty());
  }
  struct Case {
    const char* what;
    size_t at;
    DWORD value;
  } cases[] = {
      {"group count one more", 0, 3},
      {"group count huge", 0, 0xFFFFFFFF},
      {"digest count one more", 20, 2},
      {"digest count huge", 20, 0x10000000},
      {"last digest count one more", 40, 3},
  };
  for (const Case& c : cases) {
    Bytes bad = good;
    testimg::Put32(bad, c.at, c.value);
    EXPECT_FALSE(CIconDatabase::ParseGroups(bad.data(), DWORD(bad.size()), groups)) << c.what;
  }
  Bytes unterminated(4, 0);
  testimg::Put32(unterminated, 0, 1);
  for (int i = 0; i < 8; ++i) unterminated.push_back('A');
  EXPECT_FALSE(CIconDatabase::ParseGroups(unterminated.data(), DWORD(unterminated.size()), groups));
  // An empty database is sound.
  const Bytes none = MakeDatabase({});
  EXPECT_TRUE(CIconDatabase::ParseGroups(none.data(), DWORD(none.size()), groups));
}

TEST_F(IconDatabaseTest, OpenMapsAGoodFileAndRefusesMissingOrDamagedOnes) {
  TempFolder folder;
  const Bytes good = MakeDatabase({{L"Abc", {DigestOf({1})}}});
  WriteBytes(folder / L"good.dat", good);
  WriteBytes(folder / L"short.dat", Bytes(good.begin(), good.end() - 1));
  WriteBytes(folder / L"empty.dat", {});
  CIconDatabase database;
  EXPECT_TRUE(database.Open((folder / L"good.dat").c_str()));
  EXPECT_EQ(database.GetFileGroupCount(), 1);
  EXPECT_EQ(database.FindDigest(DigestOf({1}).b), 0);
  EXPECT_EQ(database.FindDigest(DigestOf({9}).b), -1);
  for (LPCWSTR name : {L"short.dat", L"empty.dat", L"missing.dat"}) {
    EXPECT_FALSE(database.Open((folder / name).c_str())) << name;
    EXPECT_FALSE(database.IsOpen());
    EXPECT_EQ(database.GetFileGroupCount(), 0);
  }
}

// Whatever the bytes, the reader stays inside them (the page after them is not
// readable) and every list it answers lies within them.
TEST_F(IconDatabaseTest, MutatedFilesAreReadSafely) {
  const Bytes seeds[] = {
      MakeDatabase({{L"Abc", {DigestOf({1}), DigestOf({2})}}, {L"Xy", {}}, {L"Weather", {DigestOf({3})}}}),
      MakeDatabase({{L"", {DigestOf({4})}}}),
      MakeDatabase({}),
  };
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  fixtures::ByteMutator mutator(4104);
  int accepted = 0;
  for (int round = 0; round < 4000; ++round) {
    const Bytes bytes = mutator.Mutate(seeds[round % 3]);
    const size_t span = (bytes.size() + info.dwPageSize - 1) / info.dwPageSize * info.dwPageSize + info.dwPageSize;
    BYTE* pages = static_cast<BYTE*>(VirtualAlloc(nullptr, span, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(pages, nullptr);
    BYTE* end = pages + span - info.dwPageSize;
    if (end != pages) {
      ASSERT_NE(VirtualAlloc(pages, span - info.dwPageSize, MEM_COMMIT, PAGE_READWRITE), nullptr);
    }
    BYTE* data = end - bytes.size();
    if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
    std::vector<CIconDatabase::FileGroup> groups;
    if (CIconDatabase::ParseGroups(data, DWORD(bytes.size()), groups)) {
      ++accepted;
      for (const auto& g : groups) {
        ASSERT_GE(g.digests, data) << "round " << round;
        ASSERT_LE(g.digests + size_t(g.digestCount) * 16, end) << "round " << round;
      }
    } else {
      EXPECT_TRUE(groups.empty());
    }
    VirtualFree(pages, 0, MEM_RELEASE);
  }
  EXPECT_GT(accepted, 0);
}

// A folder of icons: one listed by two groups, one listed by a group further
// on, one unlisted, one written by the system's own encoder, one a pixel too
// wide, one at the largest size, one not a picture, and entries to pass over.
class IconFolderTest : public IconDatabaseTest {
 protected:
  void SetUp() override {
    IconDatabaseTest::SetUp();
    m_twice = Icon(16, 16, 1);
    m_zeta = Icon(12, 10, 2);
    const Bytes unlisted = Icon(8, 8, 3);
    const Bytes largest = Icon(30, 30, 4);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const Bytes encoded = fixtures::Encode(GUID_ContainerFormatBmp, 5, 4, testimg::Pattern);
    CoUninitialize();
    ASSERT_FALSE(encoded.empty());
    WriteBytes(m_icons / L"twice.bmp", m_twice);
    WriteBytes(m_icons / L"zeta.bmp", m_zeta);
    WriteBytes(m_icons / L"unlisted.bmp", unlisted);
    WriteBytes(m_icons / L"encoded.bmp", encoded);
    WriteBytes(m_icons / L"wide.bmp", Icon(31, 30, 5));
    WriteBytes(m_icons / L"tall.bmp", Icon(30, 31, 6));
    WriteBytes(m_icons / L"largest.bmp", largest);
    WriteBytes(m_icons / L"broken.bmp", Bytes(40, 7));
    WriteBytes(m_icons / L"empty.bmp", {});
    WriteBytes(m_icons / L".hidden.bmp", Icon(8, 8, 8));
    CreateDirectoryW((m_icons / L"folder.bmp").c_str(), nullptr);
    WriteBytes(m_icons / L"notes.txt", Icon(8, 8, 9));
    WriteBytes(m_folder / L"icons.dat",
               MakeDatabase({{L"Alpha", {DigestOf({0}), DigestOf(m_twice)}},
                             {L"Zeta", {DigestOf(m_twice), DigestOf(m_zeta), DigestOf(encoded)}}}));
  }

  // The group of each name, in group order.
  static std::vector<std::wstring> Titles(const CIconDatabase& database) {
    std::vector<std::wstring> titles;
    for (int i = 0; i < database.GetGroupCount(); ++i) titles.push_back(database.GetGroup(i)->GetTitle().GetString());
    return titles;
  }
  static int Group(const CIconDatabase& database, const std::wstring& title) {
    for (int i = 0; i < database.GetGroupCount(); ++i)
      if (title == database.GetGroup(i)->GetTitle().GetString()) return i;
    return -1;
  }
  static std::vector<std::wstring> Files(const CIconDatabase& database, int group) {
    std::vector<std::wstring> files;
    const CIconCategory* g = database.GetGroup(group);
    for (int i = 0; g && i < g->GetIconCount(); ++i) {
      std::wstring path = g->GetName(i);
      files.push_back(path.substr(path.rfind(L'\\') + 1));
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  TempFolder m_folder;
  TempFolder m_icons;
  Bytes m_twice, m_zeta;
};

// Groups are made as their first icon is found, after "Other Icons".
TEST_F(IconFolderTest, IconsGoToTheFirstGroupListingThemAndTheRestToOtherIcons) {
  CIconDatabase database;
  ASSERT_TRUE(database.Open((m_folder / L"icons.dat").c_str()));
  EXPECT_EQ(database.ClassifyFolder(m_icons.Path().c_str()), 5);
  std::vector<std::wstring> titles = Titles(database);
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_EQ(titles[0], L"Other Icons");
  std::sort(titles.begin() + 1, titles.end());
  EXPECT_EQ(titles, (std::vector<std::wstring>{L"Other Icons", L"Alpha", L"Zeta"}));
  EXPECT_EQ(Files(database, 0), (std::vector<std::wstring>{L"largest.bmp", L"unlisted.bmp"}));
  EXPECT_EQ(Files(database, Group(database, L"Alpha")), (std::vector<std::wstring>{L"twice.bmp"}));
  EXPECT_EQ(Files(database, Group(database, L"Zeta")), (std::vector<std::wstring>{L"encoded.bmp", L"zeta.bmp"}));
  const CIconCategory* alpha = database.GetGroup(Group(database, L"Alpha"));
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(alpha->GetIcon(0)->GetKeyColor(), RGB(0, 255, 0));
  EXPECT_EQ(alpha->GetIcon(0)->GetSize().cx, 16);
  EXPECT_EQ(std::wstring(alpha->GetName(0)), m_icons / L"twice.bmp");
  const CIconDatabase::FileGroup* zeta = database.GetFileGroup(1);
  ASSERT_NE(zeta, nullptr);
  EXPECT_EQ(zeta->displayGroup, Group(database, L"Zeta"));
}

TEST_F(IconFolderTest, AFolderIsClassifiedOncePerTextUntilTheNextReset) {
  CIconDatabase database;
  ASSERT_TRUE(database.Open((m_folder / L"icons.dat").c_str()));
  EXPECT_EQ(database.ClassifyFolder(m_icons.Path().c_str()), 5);
  EXPECT_EQ(database.ClassifyFolder(m_icons.Path().c_str()), 5);
  EXPECT_EQ(database.GetGroup(0)->GetIconCount(), 2);
  // The same folder under another text is another folder.
  EXPECT_EQ(database.ClassifyFolder((m_icons.Path() + L"\\").c_str()), 5);
  EXPECT_EQ(database.GetGroup(0)->GetIconCount(), 4);
  database.ResetGroups();
  EXPECT_EQ(Titles(database), (std::vector<std::wstring>{L"Other Icons"}));
  EXPECT_EQ(database.ClassifyFolder(m_icons.Path().c_str()), 5);
  EXPECT_EQ(database.GetGroup(0)->GetIconCount(), 2);
}

// Without a readable database, and with a damaged one, every icon still shows.
TEST_F(IconFolderTest, WithoutADatabaseEveryIconIsAnOtherIcon) {
  WriteBytes(m_folder / L"damaged.dat", Bytes(6, 0xFF));
  for (LPCWSTR name : {L"missing.dat", L"damaged.dat"}) {
    CIconDatabase database;
    EXPECT_FALSE(database.Open((m_folder / name).c_str()));
    EXPECT_EQ(database.ClassifyFolder(m_icons.Path().c_str()), 5) << name;
    EXPECT_EQ(Titles(database), (std::vector<std::wstring>{L"Other Icons"}));
  }
}

// A file another reader holds open (sharing reads) is still digested and loaded.
TEST_F(IconFolderTest, IconsOpenedElsewhereForReadingAreStillTaken) {
  HANDLE held = CreateFileW((m_icons / L"zeta.bmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CIconDatabase database;
  database.Open((m_folder / L"icons.dat").c_str());
  database.ClassifyFolder(m_icons.Path().c_str());
  CloseHandle(held);
  EXPECT_EQ(Files(database, Group(database, L"Zeta")), (std::vector<std::wstring>{L"encoded.bmp", L"zeta.bmp"}));
}

// The library remembers that a folder held no .bmp; the options program looks again.
TEST_F(IconFolderTest, AFolderWithoutBitmapsIsSearchedAgainOnlyByTheOptionsProgram) {
  for (BOOL options : {FALSE, TRUE}) {
    CIconDatabase::SetOptionsProgramRules(options);
    TempFolder later;
    CIconDatabase database;
    EXPECT_EQ(database.ClassifyFolder(later.Path().c_str()), 0);
    WriteBytes(later / L"new.bmp", Icon(8, 8, 1));
    EXPECT_EQ(database.ClassifyFolder(later.Path().c_str()), options ? 1 : 0) << "options " << options;
  }
}

TEST_F(IconFolderTest, FolderHasIconsWantsOneSmallLoadableBitmap) {
  TempFolder big;
  WriteBytes(big / L"wide.bmp", Icon(31, 30, 1));
  WriteBytes(big / L"broken.bmp", Bytes(60, 1));
  EXPECT_TRUE(CIconDatabase::FolderHasIcons(m_icons.Path().c_str()));
  EXPECT_FALSE(CIconDatabase::FolderHasIcons(big.Path().c_str()));
  EXPECT_FALSE(CIconDatabase::FolderHasIcons(m_folder.Path().c_str()));
  EXPECT_FALSE(CIconDatabase::FolderHasIcons(L""));
  EXPECT_FALSE(CIconDatabase::FolderHasIcons(nullptr));
}

// Each path is read once, a failed one too: the answers stay after the files change.
TEST(BitmapCache, EachPathIsReadOnceAndAFailureIsRemembered) {
  TempFolder folder;
  const std::wstring present = folder / L"a.bmp", missing = folder / L"b.bmp";
  WriteBytes(present, Icon(4, 3, 1));
  CBitmapCache cache;
  EXPECT_EQ(cache.Get(nullptr), nullptr);
  EXPECT_EQ(cache.Get(L""), nullptr);
  CKeyedBitmap* first = cache.Get(present.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetKeyColor(), RGB(0, 255, 0));
  EXPECT_EQ(first->GetSize().cx, 4);
  EXPECT_EQ(cache.Get(missing.c_str()), nullptr);
  DeleteFileW(present.c_str());
  WriteBytes(missing, Icon(4, 3, 1));
  EXPECT_EQ(cache.Get(present.c_str()), first);
  EXPECT_EQ(cache.Get(missing.c_str()), nullptr);
  EXPECT_EQ(cache.GetCount(), 2);
  // A long list's rows each ask for their own: a picture handed out stays where it is.
  for (int i = 0; i < 500; ++i) cache.Get((folder / (L"row" + std::to_wstring(i) + L".bmp")).c_str());
  EXPECT_EQ(cache.GetCount(), 502);
  EXPECT_EQ(cache.Get(present.c_str()), first);
  EXPECT_EQ(first->GetSize().cx, 4);
  cache.Clear();
  EXPECT_NE(cache.Get(missing.c_str()), nullptr);
}

}  // namespace
