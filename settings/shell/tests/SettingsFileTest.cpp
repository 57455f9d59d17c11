#include "settings/shell/SettingsFile.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "platform/tests/ByteMutator.h"

namespace {

// Every value under a key, by "sub\key\value" path, as type and raw bytes.
using Snapshot = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;

void TakeSnapshot(HKEY key, const std::wstring& prefix, Snapshot& into) {
  for (DWORD i = 0;; ++i) {
    WCHAR name[512];
    DWORD nameLength = ARRAYSIZE(name), type = 0, size = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size);
    nameLength = ARRAYSIZE(name);
    RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size);
    data.resize(size);
    into[prefix + name] = {type, data};
  }
  for (DWORD i = 0;; ++i) {
    WCHAR name[512];
    DWORD nameLength = ARRAYSIZE(name);
    if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub = nullptr;
    into[prefix + name + L"\\"] = {0, {}};  // the key itself, also when empty
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
      TakeSnapshot(sub, prefix + name + L"\\", into);
      RegCloseKey(sub);
    }
  }
}

Snapshot SnapshotOf(const CRegistryView& view) {
  Snapshot snapshot;
  HKEY key = nullptr;
  if (RegOpenKeyExW(view.Root(), view.Path(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    TakeSnapshot(key, L"", snapshot);
    RegCloseKey(key);
  }
  return snapshot;
}

// The settings file as an export writes it, built in code.
class CDiasBytes {
 public:
  CDiasBytes& U32(DWORD v) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<BYTE>(v >> (8 * i)));
    return *this;
  }
  CDiasBytes& Str(const std::wstring& text) {
    U32(static_cast<DWORD>(text.size() * 2));
    for (wchar_t c : text) {
      m_bytes.push_back(static_cast<BYTE>(c & 0xFF));
      m_bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    return *this;
  }
  CDiasBytes& Bytes(const std::vector<BYTE>& data) {
    U32(static_cast<DWORD>(data.size()));
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    return *this;
  }
  CDiasBytes& Header(DWORD root = 0x80000002, const std::wstring& path = TARVO_PRODUCT_KEY) {
    return U32(0).U32(root).Str(path).U32(2).Str(L"");
  }
  const std::vector<BYTE>& Get() const { return m_bytes; }

 private:
  std::vector<BYTE> m_bytes;
};

std::vector<BYTE> ReadFileBytes(const std::wstring& path) {
  std::vector<BYTE> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  DWORD size = GetFileSize(file, nullptr), read = 0;
  bytes.resize(size);
  ReadFile(file, bytes.data(), size, &read, nullptr);
  CloseHandle(file);
  return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_machine.Redirected());
    WCHAR folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    m_file = std::wstring(folder) + L"settings-" + std::to_wstring(GetCurrentProcessId()) + L".dias";
    DeleteFileW(m_file.c_str());
  }
  void TearDown() override { DeleteFileW(m_file.c_str()); }

  BOOL Export() {
    CExportExclusions exclusions;
    exclusions.AddExportExclusion(L"Version");
    exclusions.AddExportExclusion(L"Build");
    return ExportSettings(exclusions, m_file.c_str(), HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  }
  // Everything the redirected HKEY_LOCAL_MACHINE holds.
  Snapshot Machine() const { return SnapshotOf(m_machine.Key(L"")); }

  CLocalMachineSandbox m_machine{L"SettingsFile"};
  CRegistryView m_product = m_machine.Key(TARVO_PRODUCT_KEY);
  std::wstring m_file;
};

void FillSample(const CRegistryView& product, const CLocalMachineSandbox& machine) {
  product.WriteString(L"Skin", L"Ocean");
  product.WriteString(L"Empty", L"");
  product.WriteString(L"", L"default value");
  product.WriteString(L"Greek", L"\u03b1\u03b2\u03b3 \u00e9");
  product.WriteDWORD(L"Zero", 0);
  product.WriteDWORD(L"All", 0xFFFFFFFF);
  const BYTE bytes[] = {0, 1, 2, 0xFF, 0, 0x80};
  product.Write(L"Blob", REG_BINARY, bytes, sizeof bytes);
  product.Write(L"NoBytes", REG_BINARY, bytes, 0);
  CRegistryView colors = machine.Key((std::wstring(TARVO_PRODUCT_KEY) + L"\\Colors").c_str());
  colors.WriteDWORD(L"1", 0x00FF00);
  CRegistryView deep = machine.Key((std::wstring(TARVO_PRODUCT_KEY) + L"\\CustomTabs\\Tab 1\\Items").c_str());
  deep.WriteString(L"Name", L"Calendar");
  product.CreateSubKey(L"EmptyKey");
}

TEST_F(SettingsFileTest, EmptyProductKeyExportsByteExact) {
  { CRegKey make(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY); }
  ASSERT_TRUE(m_product.Exists());
  ASSERT_TRUE(Export());
  CDiasBytes expected;
  expected.U32(0).U32(0x80000002).Str(L"\\Software\\Korvel\\Qel Tarvo").U32(2).U32(0).U32(3).U32(1);
  EXPECT_EQ(ReadFileBytes(m_file), expected.Get());
}

TEST_F(SettingsFileTest, ValuesThenSubKeysInTheLayoutOfTheFormat) {
  m_product.WriteString(L"Skin", L"Ocean");
  m_product.WriteDWORD(L"Tabs", 7);
  const BYTE bytes[] = {9, 8};
  m_machine.Key((std::wstring(TARVO_PRODUCT_KEY) + L"\\Colors").c_str()).Write(L"B", REG_BINARY, bytes, 2);
  ASSERT_TRUE(Export());
  CDiasBytes expected;
  expected.Header()
      .U32(4).Str(L"Skin").U32(1).Str(L"Ocean")
      .U32(4).Str(L"Tabs").U32(4).U32(7)
      .U32(2).Str(L"Colors").U32(4).Str(L"B").U32(3).Bytes({9, 8}).U32(3)
      .U32(3).U32(1);
  EXPECT_EQ(ReadFileBytes(m_file), expected.Get());
}

TEST_F(SettingsFileTest, ExportThenImportOnAnEmptiedKeyRestoresEveryValue) {
  FillSample(m_product, m_machine);
  Snapshot before = SnapshotOf(m_product);
  ASSERT_GE(before.size(), 12u);
  ASSERT_TRUE(Export());
  m_product.Delete();
  ASSERT_TRUE(SnapshotOf(m_product).empty());
  EXPECT_EQ(ImportSettingsFile(m_file.c_str()), kImportDone);
  EXPECT_EQ(SnapshotOf(m_product), before);
}

TEST_F(SettingsFileTest, VersionAndBuildAreLeftOutInAnyCaseAtAnyDepth) {
  m_product.WriteString(L"Version", L"1.0");
  m_product.WriteDWORD(L"BUILD", 12);
  m_product.WriteString(L"Versions", L"kept");
  CRegistryView colors = m_machine.Key((std::wstring(TARVO_PRODUCT_KEY) + L"\\Colors").c_str());
  colors.WriteString(L"version", L"2");
  colors.WriteString(L"build", L"3");
  colors.WriteString(L"Kept", L"yes");
  ASSERT_TRUE(Export());
  m_product.Delete();
  ASSERT_EQ(ImportSettingsFile(m_file.c_str()), kImportDone);
  Snapshot after = SnapshotOf(m_product);
  EXPECT_EQ(after.count(L"Version"), 0u);
  EXPECT_EQ(after.count(L"BUILD"), 0u);
  EXPECT_EQ(after.count(L"Colors\\version"), 0u);
  EXPECT_EQ(after.count(L"Colors\\build"), 0u);
  EXPECT_EQ(after.count(L"Versions"), 1u);
  EXPECT_EQ(after.count(L"Colors\\Kept"), 1u);
}

TEST_F(SettingsFileTest, ValuesWithoutAFaithfulRecordFailTheExportAndLeaveNoFile) {
  struct Case {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
  };
  const Case cases[] = {
      {"a list of texts", REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0}},
      {"an expandable text", REG_EXPAND_SZ, {'a', 0, 0, 0}},
      {"a number of two bytes", REG_DWORD, {1, 2}},
      {"a number of eight bytes", REG_DWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_product.Delete();
    m_product.WriteString(L"Skin", L"Ocean");
    CRegistryView sub = m_machine.Key((std::wstring(TARVO_PRODUCT_KEY) + L"\\Filters").c_str());
    sub.Write(L"Odd", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    DeleteFileW(m_file.c_str());
    EXPECT_FALSE(Export());
    EXPECT_FALSE(FileExists(m_file));
    // An older file of the same name is left as it was.
    WriteFileBytes(m_file, {1, 2, 3});
    EXPECT_FALSE(Export());
    EXPECT_EQ(ReadFileBytes(m_file), (std::vector<BYTE>{1, 2, 3}));
  }
  // A name longer than the registry class reads would end its enumeration early.
  m_product.Delete();
  m_product.WriteString(std::wstring(300, L'n').c_str(), L"long name");
  m_product.WriteString(L"zz", L"after it");
  DeleteFileW(m_file.c_str());
  EXPECT_FALSE(Export());
  EXPECT_FALSE(FileExists(m_file));
  m_product.Delete();
  DeleteFileW(m_file.c_str());
  EXPECT_FALSE(Export());  // no product key: no file
  EXPECT_FALSE(FileExists(m_file));
}

TEST_F(SettingsFileTest, FileAimedAtAnotherKeyIsRefusedAndWritesNothing) {
  m_product.WriteString(L"Skin", L"Ocean");
  const Snapshot before = Machine();
  struct Case {
    const char* name;
    DWORD root;
    std::wstring path;
  };
  const Case cases[] = {
      {"current user", 0x80000001, TARVO_PRODUCT_KEY},
      {"classes root", 0x80000000, TARVO_PRODUCT_KEY},
      {"a 64-bit handle cut to 32 bits", 0x00000002, TARVO_PRODUCT_KEY},
      {"another program", 0x80000002, L"\\Software\\Microsoft\\Today"},
      {"the maker's key above ours", 0x80000002, L"\\Software\\Korvel"},
      {"a key named like ours", 0x80000002, L"\\Software\\Korvel\\Qel Tarvo Evil"},
      {"one of our sub-keys", 0x80000002, L"\\Software\\Korvel\\Qel Tarvo\\Colors"},
      {"the root itself", 0x80000002, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDiasBytes file;
    file.Header(c.root, c.path).U32(4).Str(L"Skin").U32(1).Str(L"Hacked").U32(2).Str(L"Run").U32(3).U32(3).U32(1);
    WriteFileBytes(m_file, file.Get());
    EXPECT_EQ(ImportSettingsFile(m_file.c_str()), kImportForeignKey);
    EXPECT_EQ(Machine(), before);
  }
  EXPECT_NE(std::wstring(GetImportErrorText(kImportForeignKey)).find(L"Nothing was imported"), std::wstring::npos);
}

TEST_F(SettingsFileTest, OurKeyIsTakenInAnyLetterCaseWithOrWithoutTheLeadingBackslash) {
  for (const wchar_t* path : {L"\\Software\\Korvel\\Qel Tarvo", L"SOFTWARE\\KORVEL\\QEL TARVO",
                              L"software\\korvel\\qel tarvo"}) {
    m_product.Delete();
    CDiasBytes file;
    file.Header(0x80000002, path).U32(4).Str(L"Skin").U32(1).Str(L"Ocean").U32(3).U32(1);
    ASSERT_EQ(ImportSettingsBytes(file.Get().data(), file.Get().size()), kImportDone);
    std::wstring skin;
    EXPECT_TRUE(m_product.ReadString(L"Skin", skin));
    EXPECT_EQ(skin, L"Ocean");
  }
}

TEST_F(SettingsFileTest, MalformedFilesAreRefusedWholeAndWriteNothing) {
  m_product.WriteString(L"Skin", L"Ocean");
  const Snapshot before = Machine();
  CDiasBytes good;
  good.Header().U32(4).Str(L"Skin").U32(1).Str(L"Forest").U32(4).Str(L"N").U32(4).U32(5);
  good.U32(2).Str(L"Colors").U32(4).Str(L"B").U32(3).Bytes({1, 2, 3}).U32(3).U32(3).U32(1);
  // Every cut of a good file, the end-of-key tag and end-of-file tag included.
  const std::vector<BYTE>& whole = good.Get();
  for (size_t length = 0; length < whole.size(); ++length) {
    EXPECT_NE(ImportSettingsBytes(whole.data(), length), kImportDone) << "cut at " << length;
    ASSERT_EQ(Machine(), before) << "cut at " << length;
  }
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
  };
  std::vector<BYTE> oddText = CDiasBytes().Header().U32(4).Str(L"Skin").U32(1).U32(3).U32(0x41).U32(3).U32(1).Get();
  std::vector<BYTE> deep = CDiasBytes().Header().Get();
  for (int i = 0; i < 200; ++i) deep.insert(deep.end(), {2, 0, 0, 0, 0, 0, 0, 0});
  const Case cases[] = {
      {"a mark other than 0", CDiasBytes().U32(7).U32(0x80000002).Str(TARVO_PRODUCT_KEY).U32(2).Str(L"").U32(3).U32(1).Get()},
      {"a first tag other than 2", CDiasBytes().U32(0).U32(0x80000002).Str(TARVO_PRODUCT_KEY).U32(4).Get()},
      {"a last tag other than 1", CDiasBytes().Header().U32(3).U32(3).Get()},
      {"a value type of 7", CDiasBytes().Header().U32(4).Str(L"M").U32(7).Str(L"a").U32(3).U32(1).Get()},
      {"a text of an odd byte count", oddText},
      {"a byte block longer than the file", CDiasBytes().Header().U32(4).Str(L"B").U32(3).U32(1000).U32(3).U32(1).Get()},
      {"keys nested past any real depth", deep},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ImportSettingsBytes(c.bytes.data(), c.bytes.size()), kImportMalformed);
    EXPECT_EQ(Machine(), before);
  }
  EXPECT_EQ(ImportSettingsFile(L"C:\\no\\such\\file.dias"), kImportUnreadable);
  EXPECT_EQ(ImportSettingsBytes(nullptr, 0), kImportMalformed);
}

TEST_F(SettingsFileTest, UnknownTagsArePassedOverAndTextsEndAtTheirFirstZero) {
  CDiasBytes file;
  file.Header().U32(99).U32(4).Str(std::wstring(L"Skin\0junk", 9)).U32(1).Str(std::wstring(L"Sea\0x", 5));
  file.U32(4).Str(L"Empty").U32(3).U32(0).U32(3).U32(1);
  ASSERT_EQ(ImportSettingsBytes(file.Get().data(), file.Get().size()), kImportDone);
  std::wstring skin;
  EXPECT_TRUE(m_product.ReadString(L"Skin", skin));
  EXPECT_EQ(skin, L"Sea");
  DWORD type = 0;
  std::wstring bytes;
  ASSERT_TRUE(m_product.Read(L"Empty", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_TRUE(bytes.empty());
}

// Written by an independent writer of the format (a script of ours, not this code).
const BYTE kOtherWriterFile[] = {
    0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x80, 0x34, 0x00, 0x00, 0x00, 0x5C, 0x00, 0x53, 0x00, 0x6F, 0x00,
    0x66, 0x00, 0x74, 0x00, 0x77, 0x00, 0x61, 0x00, 0x72, 0x00, 0x65, 0x00, 0x5C, 0x00, 0x4B, 0x00, 0x6F, 0x00,
    0x72, 0x00, 0x76, 0x00, 0x65, 0x00, 0x6C, 0x00, 0x5C, 0x00, 0x51, 0x00, 0x65, 0x00, 0x6C, 0x00, 0x20, 0x00,
    0x54, 0x00, 0x61, 0x00, 0x72, 0x00, 0x76, 0x00, 0x6F, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x04, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x53, 0x00, 0x68, 0x00, 0x6F, 0x00, 0x77, 0x00, 0x54, 0x00,
    0x61, 0x00, 0x62, 0x00, 0x73, 0x00, 0x04, 0x00, 0x00, 0x00, 0x2A, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,
    0x08, 0x00, 0x00, 0x00, 0x53, 0x00, 0x6B, 0x00, 0x69, 0x00, 0x6E, 0x00, 0x01, 0x00, 0x00, 0x00, 0x0A, 0x00,
    0x00, 0x00, 0x4F, 0x00, 0x63, 0x00, 0x65, 0x00, 0x61, 0x00, 0x6E, 0x00, 0x02, 0x00, 0x00, 0x00, 0x0C, 0x00,
    0x00, 0x00, 0x43, 0x00, 0x6F, 0x00, 0x6C, 0x00, 0x6F, 0x00, 0x72, 0x00, 0x73, 0x00, 0x04, 0x00, 0x00, 0x00,
    0x06, 0x00, 0x00, 0x00, 0x52, 0x00, 0x65, 0x00, 0x64, 0x00, 0x03, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
    0x01, 0x02, 0x03, 0x03, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};

TEST_F(SettingsFileTest, FileOfAnotherWriterImportsAndExportsAgainUnchanged) {
  ASSERT_EQ(ImportSettingsBytes(kOtherWriterFile, sizeof kOtherWriterFile), kImportDone);
  std::wstring skin;
  DWORD tabs = 0;
  EXPECT_TRUE(m_product.ReadString(L"Skin", skin));
  EXPECT_EQ(skin, L"Ocean");
  EXPECT_TRUE(m_product.ReadDWORD(L"ShowTabs", tabs));
  EXPECT_EQ(tabs, 0x2Au);
  ASSERT_TRUE(Export());
  EXPECT_EQ(ReadFileBytes(m_file), std::vector<BYTE>(kOtherWriterFile, kOtherWriterFile + sizeof kOtherWriterFile));
}

TEST_F(SettingsFileTest, AnyBytesWriteOnlyUnderTheProductKey) {
  fixtures::ByteMutator mutator(20261209);
  std::vector<BYTE> seed(kOtherWriterFile, kOtherWriterFile + sizeof kOtherWriterFile);
  int done = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<BYTE> data = mutator.Edit(seed, 4);
    // A plausible tag or count where the format has one.
    const size_t at = mutator.Below(data.size() + 1);
    if (mutator.Below(4) == 0 && at + 4 <= data.size()) data[at & ~size_t(3)] = static_cast<BYTE>(mutator.Below(6));
    if (ImportSettingsBytes(data.data(), data.size()) == kImportDone) ++done;
  }
  EXPECT_GT(done, 0);
  for (const auto& entry : Machine()) {
    const std::wstring& path = entry.first;
    bool ours = path.rfind(L"Software\\Korvel\\Qel Tarvo\\", 0) == 0 || path == L"Software\\" ||
                path == L"Software\\Korvel\\";
    EXPECT_TRUE(ours) << testing::PrintToString(path);
  }
}

}  // namespace
