// Item pictures in every store: link databases (our own, made only when absent, and
// Agenda Fusion's in the object store or on its volume), named properties of the
// newer store and the record property of the older one; failed opens that keep the
// stored links; changes of another process; fuzzed records of other programs.
#include "pim/IconProviders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/tests/DeviceRoot.h"
#include "base/tests/RegistrySandbox.h"
#include "pim/IconProviderRef.h"
#include "pim/LinksDatabase.h"
#include "pim/NamedProps.h"
#include "pim/RecordIconProvider.h"
#include "pim/tests/UserSandbox.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/unzip/tests/ZipWriter.h"

namespace icontest {

const wchar_t kOwn[] = L"QelTarvoLinks";
const wchar_t kFusion[] = L"FusionLinks";
const wchar_t kVolume[] = L"FusionLinks.vol";
const wchar_t kPocketInformant[] = L"Software\\WebIS\\PocketInformant";

void DropDb(CEGUID guid, const wchar_t* name) {
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(name), nullptr, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  CloseHandle(h);
  CeDeleteDatabaseEx(&guid, oid);
}

CEOID WriteRaw(CEGUID guid, const wchar_t* name, std::vector<CEPROPVAL> values) {
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(name), nullptr, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  CEOID written = CeWriteRecordProps(h, 0, static_cast<WORD>(values.size()), values.data());
  CloseHandle(h);
  return written;
}

// A link as Agenda Fusion writes it: its own order of properties.
CEOID WriteLink(CEGUID guid, const wchar_t* name, long item, short number, short type, const wchar_t* path,
                long object = 0) {
  std::vector<CEPROPVAL> values = {cedbtest::Short(3, type), cedbtest::Long(1, item), cedbtest::Short(2, number),
                                   cedbtest::Double(6, 45000.5)};
  if (type >= 4)
    values.push_back(cedbtest::Text(5, path));
  else
    values.push_back(cedbtest::Long(4, object));
  return WriteRaw(guid, name, values);
}

CEOID MakeLinksDb(CEGUID guid, const wchar_t* name, std::vector<SORTORDERSPEC> sorts) {
  DropDb(guid, name);
  return cedbtest::CreateDb(&guid, name, sorts, kLinksDatabaseType);
}

const std::vector<SORTORDERSPEC> kLinkSorts = {{kLinkItem, 0}, {kLinkNumber, 0}, {kLinkType, 0}};

struct Row {
  CEOID oid;
  std::vector<WORD> ids;
  long item;
  short number;
  short type;
  std::wstring path;
};

std::vector<Row> Rows(CEGUID guid, const wchar_t* name) {
  std::vector<Row> rows;
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(name), nullptr, CEDB_AUTOINCREMENT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return rows;
  DWORD index = 0;
  CeSeekDatabaseEx(h, CEDB_SEEK_BEGINNING, 0, 0, &index);
  for (;;) {
    cedbtest::ReadResult read;
    if (!cedbtest::ReadAt(h, &read)) break;
    Row row{read.oid, {}, 0, 0, 0, L""};
    for (const CEPROPVAL& p : read.props) row.ids.push_back(PropIdFromPropID(p.propid));
    std::sort(row.ids.begin(), row.ids.end());
    if (const CEPROPVAL* v = read.Find(kLinkItem)) row.item = v->val.lVal;
    if (const CEPROPVAL* v = read.Find(kLinkNumber)) row.number = v->val.iVal;
    if (const CEPROPVAL* v = read.Find(kLinkType)) row.type = v->val.iVal;
    if (const CEPROPVAL* v = read.Find(kLinkPath)) row.path = v->val.lpwstr;
    rows.push_back(row);
  }
  CloseHandle(h);
  return rows;
}

const Row* PictureOf(const std::vector<Row>& rows, long item) {
  for (const Row& row : rows)
    if (row.item == item && row.type == kPictureLink) return &row;
  return nullptr;
}

// Agenda Fusion's volume with its link database, or just the database in the object store.
CEGUID MountFusionVolume(DWORD disposition) {
  CEGUID guid{};
  CeMountDBVol(&guid, const_cast<LPWSTR>(kVolume), disposition);
  return guid;
}

struct Heard {
  UINT type;
  CEOID item;
  BOOL byMessage;
};

class Listener : public IIconProviderListener {
 public:
  void OnIconChange(const CENOTIFICATION* n, BOOL byMessage) override {
    EXPECT_EQ(n->dwSize, sizeof(CENOTIFICATION));
    heard.push_back({n->uType, n->oid, byMessage});
  }
  std::vector<Heard> heard;
};

// A store mode, registry roots of its own, an install folder and a folder of pictures.
class IconStoreTest : public ::testing::Test {
 protected:
  explicit IconStoreTest(bool newer)
      : m_store(newer),
        m_machine(L"pim_icon_stores"),
        m_user(L"pim_icon_user"),
        m_install(L"pim_icon_install"),
        m_pics(L"pim_icon_pics") {}
  void SetUp() override {
    ASSERT_TRUE(m_machine.Redirected());
    ASSERT_TRUE(m_user.Redirected());
    CIconProviderRef::Clear();
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, TARVO_INSTALL_KEY, L"InstallDir", REG_SZ, m_install.Path().c_str(),
                    static_cast<DWORD>((m_install.Path().size() + 1) * sizeof(wchar_t)));
    DropDb(cedbtest::SystemGuid(), kOwn);
    DropDb(cedbtest::SystemGuid(), kFusion);
    DeleteFileW(cedbtest::HostFile(kVolume).c_str());
    CreateDirectoryW(m_pics.File(L"cars").c_str(), nullptr);
    m_red = m_pics.File(L"cars\\red.bmp");
    m_blue = m_pics.File(L"cars\\blue.bmp");
    cedbtest::WriteFileBytes(m_red, "red picture");
    cedbtest::WriteFileBytes(m_blue, "blue picture");
    CIconProviders::Instance().AddListener(&m_listener);
  }
  void TearDown() override {
    CIconProviderRef::Clear();
    DeleteFileW(cedbtest::HostFile(kVolume).c_str());
  }
  CIconProvider* Store() const { return CIconProviders::Instance().GetStore(); }
  void SetPocketInformantFolder(const std::wstring& folder) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kPocketInformant, L"IconPath", REG_SZ, folder.c_str(),
                    static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  }

  CStoreMode m_store;
  CLocalMachineSandbox m_machine;
  CUserSandbox m_user;
  ziptest::TempFolder m_install;
  ziptest::TempFolder m_pics;
  std::wstring m_red, m_blue;
  Listener m_listener;
};

class OlderStoreTest : public IconStoreTest {
 protected:
  OlderStoreTest() : IconStoreTest(false) {}
};

class NewerStoreTest : public IconStoreTest {
 protected:
  NewerStoreTest() : IconStoreTest(true) {}
  void SetUp() override {
    IconStoreTest::SetUp();
    // The named-property tables as the object model makes them.
    CEGUID pim = cedbtest::PimGuid();
    for (const wchar_t* name : {L"PIMNamedPropTags", L"PIMNamedPropVals"}) DropDb(pim, name);
    cedbtest::CreateDb(&pim, L"PIMNamedPropTags", {{kNamedTagName, 0}});
    cedbtest::CreateDb(&pim, L"PIMNamedPropVals", {{kNamedValObject, 0}});
    CNamedProps::ForgetTags();
  }
  void TearDown() override {
    IconStoreTest::TearDown();
    CNamedProps::ForgetTags();
  }
  // Agenda Fusion's volume: a picture of item 5, another link of item 5 and a picture of item 6.
  void MakeFusionVolume() {
    CEGUID guid = MountFusionVolume(CREATE_NEW);
    ASSERT_NE(guid.Data1, 0u);
    ASSERT_NE(MakeLinksDb(guid, kFusion, kLinkSorts), 0u);
    ASSERT_NE(WriteLink(guid, kFusion, 5, 3, 1, nullptr, 77), 0u);
    ASSERT_NE(WriteLink(guid, kFusion, 5, 9, kPictureLink, L"\\Pictures\\five.bmp"), 0u);
    ASSERT_NE(WriteLink(guid, kFusion, 6, 4, kPictureLink, L"\\Pictures\\six.bmp"), 0u);
    CeUnmountDBVol(&guid);
  }
};

bool IsMounted(const wchar_t* name) {
  CEGUID at;
  CREATE_INVALIDGUID(&at);
  wchar_t found[256];
  while (CeEnumDBVolumes(&at, found, 256))
    if (lstrcmpiW(found, name) == 0) return true;
  return false;
}

TEST_F(OlderStoreTest, OwnLinksKeepOnePictureLinkPerItemAndLeaveOtherLinksAlone) {
  BOOL changed = FALSE;
  ASSERT_TRUE(CIconProviderRef::Reset(kPimOwn, &changed)) << "made when absent";
  EXPECT_TRUE(changed);
  ASSERT_NE(Store(), nullptr);
  EXPECT_EQ(Store()->GetKind(), kPimOwn);
  EXPECT_STREQ(Store()->GetDatabaseName(), kOwn);
  EXPECT_STREQ(Store()->GetVolumeName(), L"");
  EXPECT_TRUE(CIconProviderRef::GetStoreState());

  // Made as Agenda Fusion makes its own: the type and three ascending orders.
  CEGUID store = cedbtest::SystemGuid();
  CEOID oid = 0;
  HANDLE h = CeOpenDatabaseEx2(&store, &oid, const_cast<LPWSTR>(kOwn), nullptr, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  CEOIDINFOEX info{};
  info.wVersion = CEOIDINFOEX_VERSION;
  ASSERT_TRUE(CeOidGetInfoEx2(&store, oid, &info));
  EXPECT_EQ(info.infDatabase.dwDbaseType, kLinksDatabaseType);
  ASSERT_EQ(info.infDatabase.wNumSortOrder, 3);
  const CEPROPID sorted[] = {kLinkItem, kLinkNumber, kLinkType};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(info.infDatabase.rgSortSpecs[i].rgPropID[0], sorted[i]);
    EXPECT_EQ(info.infDatabase.rgSortSpecs[i].rgdwFlags[0], 0u);
  }

  // Links of item 7 that are no picture.
  WriteLink(store, kOwn, 7, 1, 2, nullptr, 99);
  WriteLink(store, kOwn, 7, 2, 4, L"\\doc.txt");
  EXPECT_STREQ(CIconProviderRef::GetIconName(7), L"");

  CString stored;
  ASSERT_TRUE(CIconProviderRef::SetLink(7, 9, m_red.c_str(), &stored, nullptr));
  EXPECT_EQ(std::wstring(stored), m_red);
  EXPECT_EQ(std::wstring(CIconProviderRef::GetIconName(7)), m_red);
  std::vector<Row> rows = Rows(store, kOwn);
  ASSERT_EQ(rows.size(), 3u);
  const Row* picture = PictureOf(rows, 7);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->number, 3) << "one more than the largest";
  EXPECT_EQ(picture->path, m_red);
  EXPECT_EQ(picture->ids, (std::vector<WORD>{1, 2, 3, 5, 6}));
  ASSERT_EQ(m_listener.heard.size(), 1u);
  EXPECT_EQ(m_listener.heard[0].type, static_cast<UINT>(DB_CEOID_CHANGED));
  EXPECT_EQ(m_listener.heard[0].item, 7u);

  // The same item again: the one picture link changes.
  ASSERT_TRUE(CIconProviderRef::SetLink(7, 9, m_blue.c_str(), nullptr, nullptr));
  ASSERT_TRUE(CIconProviderRef::SetLink(7, 9, m_blue.c_str(), nullptr, nullptr));
  rows = Rows(store, kOwn);
  EXPECT_EQ(rows.size(), 3u);
  EXPECT_EQ(PictureOf(rows, 7)->path, m_blue);
  EXPECT_EQ(PictureOf(rows, 7)->oid, picture->oid);

  ASSERT_TRUE(CIconProviderRef::SetLink(8, 10, m_red.c_str(), nullptr, nullptr));
  rows = Rows(store, kOwn);
  ASSERT_NE(PictureOf(rows, 8), nullptr);
  EXPECT_EQ(PictureOf(rows, 8)->number, 4);
  EXPECT_FALSE(CIconProviderRef::SetLink(9, 9, m_pics.File(L"missing.bmp").c_str(), nullptr, nullptr));
  EXPECT_FALSE(CIconProviderRef::SetLink(9, 9, m_pics.File(L"cars").c_str(), nullptr, nullptr)) << "a folder";
  EXPECT_EQ(Rows(store, kOwn).size(), 4u);

  // Removing tells only the listener given.
  Listener other;
  size_t before = m_listener.heard.size();
  ASSERT_TRUE(CIconProviderRef::SetLink(8, 10, nullptr, nullptr, &other));
  ASSERT_EQ(other.heard.size(), 1u);
  EXPECT_EQ(other.heard[0].item, 8u);
  EXPECT_EQ(m_listener.heard.size(), before);
  EXPECT_STREQ(CIconProviderRef::GetIconName(8), L"");
  EXPECT_FALSE(CIconProviderRef::SetLink(8, 10, nullptr, nullptr, nullptr)) << "nothing left to remove";
  rows = Rows(store, kOwn);
  EXPECT_EQ(rows.size(), 3u) << "only the picture went";
  EXPECT_EQ(PictureOf(rows, 8), nullptr);

  // The same choice again keeps the kind.
  ASSERT_TRUE(CIconProviderRef::Reset(kPimOwn, &changed));
  EXPECT_FALSE(changed);
  EXPECT_EQ(std::wstring(CIconProviderRef::GetIconName(7)), m_blue) << "kept over a reopen";
}

TEST_F(OlderStoreTest, OnlyLinksOfTypeOneToSixAreWritten) {
  CLinksDatabase links(kPimOwn, kOwn, nullptr, TRUE);
  ASSERT_TRUE(links.Open(nullptr));
  const struct Case {
    short type;
    bool written;
    std::vector<WORD> ids;
  } cases[] = {
      {0, false, {}}, {7, false, {}}, {-1, false, {}}, {1, true, {1, 2, 3, 4, 6}}, {3, true, {1, 2, 3, 4, 6}},
      {4, true, {1, 2, 3, 5, 6}}, {6, true, {1, 2, 3, 5, 6}},
  };
  for (const Case& c : cases) {
    LINK_RECORD link{0, 40 + c.type, 1, c.type, 12, L"\\file.txt", 0.0};
    EXPECT_EQ(links.WriteRecord(link) != FALSE, c.written) << c.type;
    std::vector<Row> rows = Rows(cedbtest::SystemGuid(), kOwn);
    const Row* row = nullptr;
    for (const Row& r : rows)
      if (r.item == 40 + c.type) row = &r;
    ASSERT_EQ(row != nullptr, c.written) << c.type;
    if (!row) continue;
    EXPECT_EQ(row->oid, link.recordId) << "the new record's id";
    EXPECT_EQ(row->ids, c.ids) << c.type;
    LINK_RECORD back{};
    ASSERT_TRUE(links.ReadRecord(link.recordId, &back));
    EXPECT_EQ(back.type, c.type);
    EXPECT_EQ(back.itemId, 40 + c.type);
  }
}

// A link database that exists but cannot be opened keeps every link: nothing is
// deleted, and nothing made over it.
TEST_F(OlderStoreTest, LinksSurviveADatabaseThatDoesNotOpen) {
  CEGUID store = cedbtest::SystemGuid();
  // Another program's database of the name, sorted otherwise: the open by item fails.
  MakeLinksDb(store, kOwn, {{kLinkType, 0}});
  WriteLink(store, kOwn, 7, 1, kPictureLink, L"\\kept.bmp");
  WriteLink(store, kOwn, 8, 2, 1, nullptr, 7);
  const std::string before = cedbtest::DescribeVolume(&store);
  ASSERT_NE(before.find("QelTarvoLinks type 536936450 sorts 1"), std::string::npos);
  ASSERT_EQ(Rows(store, kOwn).size(), 2u);

  BOOL changed = FALSE;
  EXPECT_FALSE(CIconProviderRef::Reset(kPimOwn, &changed));
  ASSERT_NE(Store(), nullptr);
  EXPECT_EQ(Store()->GetKind(), kNoIconStore) << "the empty store";
  EXPECT_FALSE(changed) << "no store before, none now";
  EXPECT_FALSE(CIconProviderRef::GetStoreState());
  EXPECT_STREQ(CIconProviderRef::GetIconName(7), L"");
  EXPECT_FALSE(CIconProviderRef::SetLink(7, 9, m_red.c_str(), nullptr, nullptr));
  EXPECT_EQ(cedbtest::DescribeVolume(&store), before);
}

// A damaged object store: another process fails to open the links and leaves the
// file as it was; mended, the links are all there.
TEST_F(OlderStoreTest, LinksSurviveADamagedStore) {
  ASSERT_TRUE(CIconProviderRef::Reset(kPimOwn));
  ASSERT_TRUE(CIconProviderRef::SetLink(7, 9, m_red.c_str(), nullptr, nullptr));
  CIconProviderRef::Clear();
  const std::wstring file = cedbtest::HostFile(L"ObjectStore.vol");
  const std::string sound = cedbtest::ReadFileBytes(file);
  std::vector<size_t> entries = cedbtest::EntryOffsets(sound);
  ASSERT_GE(entries.size(), 3u);
  std::string damaged = sound;
  damaged[entries[entries.size() - 2] + cedbtest::EntryHeaderSize(sound) + 2] ^= 0x5A;
  cedbtest::WriteFileBytes(file, damaged);

  EXPECT_EQ(cedbtest::RunChild(L"icon-reset", L"0 0"), 0u) << "the child keeps the empty store";
  EXPECT_EQ(cedbtest::ReadFileBytes(file), damaged) << "nothing written over the damaged store";

  cedbtest::WriteFileBytes(file, sound);
  ASSERT_TRUE(CIconProviderRef::Reset(kPimOwn));
  EXPECT_EQ(std::wstring(CIconProviderRef::GetIconName(7)), m_red);
}

// Agenda Fusion's database in the object store is read and written, never made.
TEST_F(OlderStoreTest, FusionLinksInTheObjectStoreAreNeverMade) {
  EXPECT_FALSE(CIconProviderRef::Reset(kPimAgendaFusion));
  EXPECT_EQ(Store()->GetKind(), kNoIconStore);
  EXPECT_EQ(Rows(cedbtest::SystemGuid(), kFusion).size(), 0u);
  CEGUID store = cedbtest::SystemGuid();
  CEOID oid = 0;
  EXPECT_EQ(CeOpenDatabaseEx2(&store, &oid, const_cast<LPWSTR>(kFusion), nullptr, 0, nullptr), INVALID_HANDLE_VALUE);

  MakeLinksDb(store, kFusion, kLinkSorts);
  WriteLink(store, kFusion, 5, 2, kPictureLink, L"\\five.bmp");
  BOOL changed = FALSE;
  ASSERT_TRUE(CIconProviderRef::Reset(kPimAgendaFusion, &changed));
  EXPECT_TRUE(changed);
  EXPECT_STREQ(Store()->GetDatabaseName(), kFusion);
  EXPECT_STREQ(CIconProviderRef::GetIconName(5), L"\\five.bmp");
  ASSERT_TRUE(CIconProviderRef::SetLink(6, 9, m_red.c_str(), nullptr, nullptr));
  EXPECT_EQ(PictureOf(Rows(store, kFusion), 6)->number, 3);
}

TEST_F(NewerStoreTest, FusionLinksAreReadOnTheirVolumeWhichIsNeverMade) {
  EXPECT_FALSE(CIconProviderRef::Reset(kPimAgendaFusion));
  EXPECT_EQ(Store()->GetKind(), kNoIconStore);
  EXPECT_EQ(GetFileAttributesW(cedbtest::HostFile(kVolume).c_str()), INVALID_FILE_ATTRIBUTES) << "not made";

  MakeFusionVolume();
  BOOL changed = FALSE;
  ASSERT_TRUE(CIconProviderRef::Reset(kPimAgendaFusion, &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(Store()->GetKind(), kPimAgendaFusion);
  EXPECT_STREQ(Store()->GetDatabaseName(), kFusion);
  EXPECT_STREQ(Store()->GetVolumeName(), kVolume);
  EXPECT_TRUE(IsMounted(kVolume));
  EXPECT_STREQ(CIconProviderRef::GetIconName(5), L"\\Pictures\\five.bmp");
  EXPECT_STREQ(CIconProviderRef::GetIconName(6), L"\\Pictures\\six.bmp");
  EXPECT_STREQ(CIconProviderRef::GetIconName(77), L"");

  ASSERT_TRUE(CIconProviderRef::SetLink(77, 13, m_red.c_str(), nullptr, nullptr));
  ASSERT_TRUE(CIconProviderRef::SetLink(5, 9, nullptr, nullptr, nullptr));
  CIconProviderRef::Clear();
  EXPECT_FALSE(IsMounted(kVolume)) << "unmounted at close";

  CEGUID guid = MountFusionVolume(OPEN_EXISTING);
  std::vector<Row> rows = Rows(guid, kFusion);
  CeUnmountDBVol(&guid);
  ASSERT_EQ(rows.size(), 3u);
  ASSERT_NE(PictureOf(rows, 77), nullptr);
  EXPECT_EQ(PictureOf(rows, 77)->number, 10);
  EXPECT_EQ(PictureOf(rows, 5), nullptr);
}

// The volume as the device's volume tool writes it from text, in another process:
// links of every kind and shape, pictures among them.
TEST_F(NewerStoreTest, FusionLinksWrittenByAnotherProgramAreRead) {
  const std::string text =
      "database \"FusionLinks\" type=0x20010002\n"
      "sort 0x00010003:0x00000000\n"
      "sort 0x00020002:0x00000000\n"
      "sort 0x00030002:0x00000000\n"
      // A link to another item, and a picture whose path is no text: item 5 has none yet.
      "record\n  0x00030002 1\n  0x00010003 5\n  0x00020002 7\n  0x00040003 12\nend\n"
      "record\n  0x00010003 5\n  0x00030002 6\n  0x00020002 8\n  0x00050041 hex:5C0041\nend\n"
      // The picture of item 6 with every property; of item 7 the type is no short.
      "record\n  0x0005001F \"\\\\Pictures\\\\six.bmp\"\n  0x00060005 0\n  0x00030002 6\n"
      "  0x00020002 2\n  0x00010003 6\nend\n"
      "record\n  0x00010003 7\n  0x00030003 6\n  0x0005001F \"\\\\seven.bmp\"\nend\n"
      // A picture without its item or number.
      "record\n  0x00030002 6\n  0x0005001F \"\\\\nobody.bmp\"\nend\n";
  const std::wstring textFile = m_pics.File(L"links.txt");
  cedbtest::WriteFileBytes(textFile, text);
  wchar_t self[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring tool(self, length);
  tool = tool.substr(0, tool.find_last_of(L'\\') + 1) + L"cedbtool.exe";
  std::wstring command = L"\"" + tool + L"\" load " + kVolume + L" \"" + textFile + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(tool.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process));
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  ASSERT_EQ(code, 0u) << "the tool loaded the text";

  ASSERT_TRUE(CIconProviderRef::Reset(kPimAgendaFusion));
  EXPECT_STREQ(CIconProviderRef::GetIconName(5), L"");
  EXPECT_STREQ(CIconProviderRef::GetIconName(6), L"\\Pictures\\six.bmp");
  EXPECT_STREQ(CIconProviderRef::GetIconName(7), L"");
  ASSERT_TRUE(CIconProviderRef::SetLink(5, 9, m_red.c_str(), nullptr, nullptr));
  EXPECT_EQ(std::wstring(CIconProviderRef::GetIconName(5)), m_red);
  ASSERT_TRUE(CIconProviderRef::SetLink(8, 9, m_blue.c_str(), nullptr, nullptr));
  CIconProviderRef::Clear();
  CEGUID guid = MountFusionVolume(OPEN_EXISTING);
  std::vector<Row> rows = Rows(guid, kFusion);
  CeUnmountDBVol(&guid);
  ASSERT_NE(PictureOf(rows, 8), nullptr);
  EXPECT_EQ(PictureOf(rows, 8)->number, 9) << "past the largest number, records without one aside";
  EXPECT_EQ(rows.size(), 6u) << "the picture link of another shape took the path";
  const Row* made = nullptr;
  for (const Row& row : rows)
    if (row.item == 5 && row.path == m_red) made = &row;
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->number, 8) << "the link kept its number";
}

TEST_F(NewerStoreTest, LinksSurviveADamagedVolume) {
  MakeFusionVolume();
  const std::wstring file = cedbtest::HostFile(kVolume);
  const std::string sound = cedbtest::ReadFileBytes(file);
  std::vector<size_t> entries = cedbtest::EntryOffsets(sound);
  ASSERT_GE(entries.size(), 3u);
  std::string damaged = sound;
  damaged[entries[1] + cedbtest::EntryHeaderSize(sound) + 1] ^= 0x21;
  cedbtest::WriteFileBytes(file, damaged);

  EXPECT_EQ(cedbtest::RunChild(L"icon-reset", L"1 1"), 0u) << "the child keeps the empty store";
  EXPECT_EQ(cedbtest::ReadFileBytes(file), damaged) << "nothing written over the damaged volume";

  cedbtest::WriteFileBytes(file, sound);
  EXPECT_EQ(cedbtest::RunChild(L"icon-reset", L"1 1"), 1u) << "mended, the links open";
}

TEST_F(NewerStoreTest, NamedPropertyPicturesAreCopiedIntoTheIconFolder) {
  BOOL changed = FALSE;
  ASSERT_TRUE(CIconProviderRef::Reset(kPimOwn, &changed));
  EXPECT_EQ(Store()->GetKind(), kPimOwn);
  EXPECT_TRUE(CIconProviderRef::GetStoreState());
  const std::wstring icons = m_install.File(L"Icons\\");
  EXPECT_EQ(GetFileAttributesW(m_install.File(L"Icons").c_str()), INVALID_FILE_ATTRIBUTES);

  CString stored;
  ASSERT_TRUE(CIconProviderRef::SetLink(0x40000005, 9, m_red.c_str(), &stored, nullptr));
  EXPECT_STREQ(stored, L"cars-red");
  EXPECT_EQ(cedbtest::ReadFileBytes(icons + L"cars-red.bmp"), "red picture");
  EXPECT_EQ(std::wstring(CIconProviderRef::GetIconName(0x40000005)), icons + L"cars-red.bmp");
  CString value;
  EXPECT_NE(CNamedProps::Instance().GetValue(0x40000005, g_iconNameProp, value), 0u);
  EXPECT_STREQ(value, L"cars-red");
  ASSERT_FALSE(m_listener.heard.empty());
  EXPECT_EQ(m_listener.heard.back().item, 0x40000005u);

  // A read-only copy is replaced; a missing source changes nothing.
  SetFileAttributesW((icons + L"cars-red.bmp").c_str(), FILE_ATTRIBUTE_READONLY);
  cedbtest::WriteFileBytes(m_red, "red again");
  ASSERT_TRUE(CIconProviderRef::SetLink(0x40000005, 9, m_red.c_str(), nullptr, nullptr));
  EXPECT_EQ(cedbtest::ReadFileBytes(icons + L"cars-red.bmp"), "red again");
  EXPECT_FALSE(CIconProviderRef::SetLink(0x40000005, 9, m_pics.File(L"gone.bmp").c_str(), nullptr, nullptr));
  EXPECT_EQ(std::wstring(CIconProviderRef::GetIconName(0x40000005)), icons + L"cars-red.bmp");

  m_listener.heard.clear();
  ASSERT_TRUE(CIconProviderRef::SetLink(0x40000005, 9, nullptr, nullptr, nullptr));
  EXPECT_STREQ(CIconProviderRef::GetIconName(0x40000005), L"");
  ASSERT_EQ(m_listener.heard.size(), 1u) << "the deleted value names its item";
  EXPECT_EQ(m_listener.heard[0].item, 0x40000005u);
  EXPECT_FALSE(CIconProviderRef::SetLink(0x40000005, 9, nullptr, nullptr, nullptr));

  // Another property's change is no picture's.
  NAMED_PROPERTY other = {-1, CEVT_LPWSTR, 0, L"Other"};
  m_listener.heard.clear();
  CNamedProps::Instance().SetValue(0x40000005, other, L"x", nullptr);
  EXPECT_TRUE(m_listener.heard.empty());

  // Switching to Agenda Fusion is a change; the same choice again is none.
  MakeFusionVolume();
  ASSERT_TRUE(CIconProviderRef::Reset(kPimAgendaFusion, &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(Store()->GetKind(), kPimAgendaFusion);
  EXPECT_EQ(CNamedProps::Instance().GetOpenCount(), 0) << "the named-property store let the table go";
  ASSERT_TRUE(CIconProviderRef::Reset(kPimAgendaFusion, &changed));
  EXPECT_FALSE(changed);
}

TEST_F(NewerStoreTest, PocketInformantPicturesGoToItsIconFolder) {
  EXPECT_FALSE(CIconProviderRef::Reset(kPimPocketInformant)) << "no icon folder";
  EXPECT_EQ(Store()->GetKind(), kNoIconStore);

  ziptest::TempFolder folder(L"pim_pi_icons");
  SetPocketInformantFolder(folder.Path());
  ASSERT_TRUE(CIconProviderRef::Reset(kPimPocketInformant));
  EXPECT_EQ(Store()->GetKind(), kPimPocketInformant);
  ASSERT_TRUE(CIconProviderRef::SetLink(31, 9, m_blue.c_str(), nullptr, nullptr));
  EXPECT_EQ(std::wstring(CIconProviderRef::GetIconName(31)), folder.File(L"cars-blue.bmp"));
  CString value;
  EXPECT_NE(CNamedProps::Instance().GetValue(31, g_piIconNameProp, value), 0u);
  EXPECT_STREQ(value, L"cars-blue");
  EXPECT_EQ(g_piIconNameProp.tag & 0xFFFF, 256);
}

TEST_F(OlderStoreTest, PocketInformantPicturesLiveInTheItemRecord) {
  pimtest::ClearStores();
  EXPECT_FALSE(CIconProviderRef::Reset(kPimPocketInformant)) << "no icon folder";
  ziptest::TempFolder folder(L"pim_pi_record_icons");
  SetPocketInformantFolder(folder.Path() + L"\\");

  CEGUID store = cedbtest::SystemGuid();
  cedbtest::CreateDb(&store, L"Appointments Database", {});
  cedbtest::CreateDb(&store, L"Tasks Database", {});
  CEOID appointment = WriteRaw(store, L"Appointments Database", {cedbtest::Text(0x37, L"Meeting")});
  CEOID task = WriteRaw(store, L"Tasks Database", {cedbtest::Text(0x37, L"Call"), cedbtest::Long(0x40, 3)});
  ASSERT_NE(task, 0u);

  ASSERT_TRUE(CIconProviderRef::Reset(kPimPocketInformant));
  EXPECT_EQ(Store()->GetKind(), kPimPocketInformant);
  CString stored;
  ASSERT_TRUE(CIconProviderRef::SetLink(task, 13, m_red.c_str(), &stored, nullptr));
  EXPECT_STREQ(stored, L"cars-red");
  EXPECT_EQ(cedbtest::ReadFileBytes(folder.File(L"cars-red.bmp")), "red picture");
  EXPECT_EQ(std::wstring(CIconProviderRef::GetIconName(task)), folder.File(L"cars-red.bmp"));
  EXPECT_STREQ(CIconProviderRef::GetIconName(appointment), L"");
  std::vector<Row> rows = Rows(store, L"Tasks Database");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].ids, (std::vector<WORD>{0x37, 0x40, 0x2A08})) << "the record keeps its other properties";

  ASSERT_TRUE(CIconProviderRef::SetLink(task, 13, nullptr, nullptr, nullptr));
  EXPECT_STREQ(CIconProviderRef::GetIconName(task), L"");
  EXPECT_EQ(Rows(store, L"Tasks Database")[0].ids, (std::vector<WORD>{0x37, 0x40}));
  EXPECT_FALSE(CIconProviderRef::SetLink(task + 1000, 13, m_red.c_str(), nullptr, nullptr)) << "no such item";
  pimtest::ClearStores();
}

// Our links written by another process: the owner window hears of them, and the
// listeners of the pictures that changed.
TEST_F(OlderStoreTest, PictureLinksChangedByAnotherProcessReachTheListeners) {
  cedbtest::NotificationSink sink;
  ASSERT_TRUE(CIconProviderRef::SetOwnerAndReset(sink.hwnd(), kPimOwn));
  auto deliver = [&](size_t count) {
    EXPECT_TRUE(cedbtest::PumpUntil([&] { return sink.received.size() >= count; }));
    while (!sink.received.empty()) {
      CENOTIFICATION n = sink.received.front();
      sink.received.erase(sink.received.begin());
      CCeDatabase* database = CCeDatabase::FromNotification(&n);
      ASSERT_NE(database, nullptr) << "named by a live database";
      database->OnNotification(&n, TRUE);
    }
  };

  ASSERT_EQ(cedbtest::RunChild(L"links-write", L"21 6"), 0u);
  deliver(1);
  ASSERT_EQ(m_listener.heard.size(), 1u);
  EXPECT_EQ(m_listener.heard[0].item, 21u);
  EXPECT_EQ(m_listener.heard[0].type, static_cast<UINT>(DB_CEOID_CHANGED));
  EXPECT_TRUE(m_listener.heard[0].byMessage);
  EXPECT_STREQ(CIconProviderRef::GetIconName(21), L"\\other.bmp");

  ASSERT_EQ(cedbtest::RunChild(L"links-write", L"22 1"), 0u);
  deliver(1);
  EXPECT_EQ(m_listener.heard.size(), 1u) << "no picture link";

  const Row* picture = PictureOf(Rows(cedbtest::SystemGuid(), kOwn), 21);
  ASSERT_NE(picture, nullptr);
  ASSERT_EQ(cedbtest::RunChild(L"links-delete", std::to_wstring(picture->oid)), 0u);
  deliver(1);
  ASSERT_EQ(m_listener.heard.size(), 2u) << "a deleted picture link names its item";
  EXPECT_EQ(m_listener.heard[1].item, 21u);
  EXPECT_STREQ(CIconProviderRef::GetIconName(21), L"");

  // A notification still queued for a store that is gone names nothing.
  ASSERT_EQ(cedbtest::RunChild(L"links-write", L"23 6"), 0u);
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return !sink.received.empty(); }));
  ASSERT_FALSE(sink.received.empty());
  CENOTIFICATION late = sink.received.front();
  CIconProviderRef::Clear();
  EXPECT_EQ(CCeDatabase::FromNotification(&late), nullptr);
  EXPECT_EQ(CIconProviders::Instance().GetOwner(), nullptr);
}

// Link databases and item records as any program may leave them: every lookup,
// change and notification stays sound.
TEST_F(OlderStoreTest, FuzzedLinksAndRecordsAreReadSoundly) {
  std::mt19937 random(20261210);
  ASSERT_TRUE(CIconProviderRef::Reset(kPimOwn));
  CEGUID store = cedbtest::SystemGuid();
  pimtest::ClearStores();
  cedbtest::CreateDb(&store, L"Tasks Database", {});
  ziptest::TempFolder folder(L"pim_fuzz_icons");
  const WORD types[] = {CEVT_I2, CEVT_I4, CEVT_UI4, CEVT_LPWSTR, CEVT_R8, CEVT_BLOB, CEVT_FILETIME};
  std::vector<CEOID> links, tasks;
  std::vector<BYTE> bytes(48);
  std::deque<std::wstring> texts;
  auto randomRecord = [&](WORD lowId, WORD highId, WORD special) {
    std::vector<CEPROPVAL> values;
    texts.clear();
    int count = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) {
      WORD id = random() % 8 == 0 ? special : static_cast<WORD>(lowId + random() % (highId - lowId + 1));
      CEPROPVAL v{};
      v.propid = MAKELONG(types[random() % (sizeof types / sizeof types[0])], id);
      if (random() % 3 == 0) v.propid = MAKELONG(id == 5 || id == special ? CEVT_LPWSTR : CEVT_I2, id);
      for (BYTE& b : bytes) b = static_cast<BYTE>(random());
      texts.emplace_back(random() % 12, static_cast<wchar_t>(L'a' + random() % 26));
      switch (TypeFromPropID(v.propid)) {
        case CEVT_LPWSTR: v.val.lpwstr = &texts.back()[0]; break;
        case CEVT_BLOB: v.val.blob = {static_cast<DWORD>(random() % 48), bytes.data()}; break;
        case CEVT_R8: v.val.dblVal = static_cast<double>(random()) / 7.0; break;
        case CEVT_I2: v.val.iVal = static_cast<short>(random() % 3 ? random() % 9 : random()); break;
        default: v.val.ulVal = random() % 3 ? random() % 9 : static_cast<ULONG>(random()); break;
      }
      bool duplicate = false;
      for (const CEPROPVAL& other : values) duplicate = duplicate || other.propid == v.propid;
      if (!duplicate) values.push_back(v);
    }
    return values;
  };
  SetPocketInformantFolder(folder.Path());
  for (int round = 0; round < 3000; ++round) {
    CEOID item = random() % 9;
    switch (random() % 8) {
      case 0:
        if (CEOID oid = WriteRaw(store, kOwn, randomRecord(1, 7, 5))) links.push_back(oid);
        break;
      case 1:
        if (CEOID oid = WriteRaw(store, L"Tasks Database", randomRecord(1, 3, 0x2A08))) tasks.push_back(oid);
        break;
      case 2:
        CIconProviderRef::GetIconName(item);
        break;
      case 3:
        CIconProviderRef::SetLink(item, 9, random() % 2 ? m_red.c_str() : nullptr, nullptr, nullptr);
        break;
      case 4: {
        CENOTIFICATION n{};
        n.dwSize = sizeof n;
        const UINT kinds[] = {DB_CEOID_CREATED, DB_CEOID_CHANGED, DB_CEOID_RECORD_DELETED, DB_NOTIFY_DATABASE_CHANGED,
                              0};
        n.uType = kinds[random() % 5];
        n.oid = !links.empty() && random() % 4 ? links[random() % links.size()] : static_cast<CEOID>(random());
        Store()->HandleNotification(&n, random() % 2);
        break;
      }
      case 5: {
        CEOID task = !tasks.empty() && random() % 4 ? tasks[random() % tasks.size()] : item;
        GetRecordIconProperty(task);
        if (random() % 4 == 0) SetRecordIconProperty(task, random() % 2 ? m_blue.c_str() : nullptr, folder.Path().c_str(), nullptr);
        break;
      }
      case 6: {
        LINK_RECORD link{0, static_cast<LONG>(item), static_cast<short>(random()), static_cast<short>(random() % 9 - 1),
                         static_cast<LONG>(random()), L"\\x.bmp", 0.0};
        static_cast<CLinksDatabase*>(Store())->WriteRecord(link);
        break;
      }
      default:
        if (random() % 16 == 0) {
          ASSERT_TRUE(CIconProviderRef::Reset(kPimOwn));
        }
        break;
    }
  }
  EXPECT_EQ(Store()->GetKind(), kPimOwn);
  pimtest::ClearStores();
}

}  // namespace icontest

namespace cedbtest {

// "icon-reset CHOICE NEWER": resets the picture store; exit code 1 when it opened
// (a store that keeps pictures), 0 for the empty store.
// "links-write ITEM TYPE": our link database gets a link of that type for the item.
// "links-delete RECORD": deletes a record of our link database.
// A job that fails exits with 0x10000 and the error (0x20000 and the error when the
// database did not open), so the test says why.
bool RunIconJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  unsigned long a = 0, b = 0;
  if (job == L"icon-reset" && swscanf(arg.c_str(), L"%lu %lu", &a, &b) == 2) {
    SetNewerStore(b != 0);
    CIconProviderRef::Reset(static_cast<int>(a));
    *exitCode = CIconProviderRef::GetStoreState() ? 1 : 0;
    CIconProviderRef::Clear();
    return true;
  }
  if (job == L"links-write" && swscanf(arg.c_str(), L"%lu %lu", &a, &b) == 2) {
    const CEOID written = icontest::WriteLink(SystemGuid(), icontest::kOwn, static_cast<long>(a), 1,
                                              static_cast<short>(b), L"\\other.bmp", 3);
    *exitCode = written ? 0 : 0x10000 | GetLastError();
    return true;
  }
  if (job == L"links-delete" && swscanf(arg.c_str(), L"%lu", &a) == 1) {
    CEGUID guid = SystemGuid();
    CEOID oid = 0;
    HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(icontest::kOwn), nullptr, 0, nullptr);
    const BOOL opened = h != INVALID_HANDLE_VALUE;
    const BOOL deleted = opened && CeDeleteRecord(h, a);
    const DWORD error = GetLastError();
    *exitCode = deleted ? 0 : (opened ? 0x10000 : 0x20000) | error;
    if (opened) CloseHandle(h);
    return true;
  }
  return false;
}

}  // namespace cedbtest
