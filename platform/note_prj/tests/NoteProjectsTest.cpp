// The notes project library over a small device built in a temporary folder: main
// memory's documents with two folders, a storage card named by the device identity,
// and a folder at the top that is not a card.
#include "platform/note_prj/note_prj.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/coredll/DeviceSwitch.h"
#include "platform/note_prj/tests/FixtureFiles.h"
#include "platform/tests/ByteMutator.h"

namespace {

void WriteNote(const std::wstring& path, const char* text) { ASSERT_TRUE(fixture::WriteText(path, text)) << path; }

class NoteProjects : public ::testing::Test {
 protected:
  void SetUp() override {
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"note_prj_" + std::to_wstring(GetCurrentProcessId());
    fixture::RemoveTree(root_);
    for (const wchar_t* folder : {L"", L"\\My Documents", L"\\My Documents\\Work", L"\\My Documents\\Personal",
                                  L"\\My Documents\\Personal\\Old", L"\\Storage Card", L"\\Storage Card\\My Documents",
                                  L"\\Storage Card\\My Documents\\Work", L"\\Backup", L"\\Backup\\My Documents",
                                  L"\\Backup\\My Documents\\Work"})
      ASSERT_TRUE(CreateDirectoryW((root_ + folder).c_str(), nullptr)) << folder;
    WriteNote(root_ + L"\\My Documents\\Welcome.txt", "hello");
    WriteNote(root_ + L"\\My Documents\\Work\\plan.pwi", "ink");
    WriteNote(root_ + L"\\My Documents\\Personal\\Old\\deep.txt", "too deep");
    WriteNote(root_ + L"\\Storage Card\\My Documents\\Work\\memo.wav", "RIFF");
    WriteNote(root_ + L"\\Backup\\My Documents\\Work\\copy.txt", "not a card");
    // One note written by another program.
    ASSERT_TRUE(fixture::RunOther(L"echo list> \"" + root_ + L"\\My Documents\\Personal\\list.txt\""));
    device_.Set(L"Root", root_);
    device_.Set(L"StorageCards", L"\\Storage Card;\\No Such Card");
  }
  void TearDown() override { fixture::RemoveTree(root_); }

  std::wstring root_;
  CDeviceSwitch device_;
};

struct Collected {
  std::vector<std::wstring> paths;
  size_t stopAfter = 0;  // 0: never stop
};

BOOL CALLBACK Collect(PAstruct* record, LPARAM param) {
  auto* out = reinterpret_cast<Collected*>(param);
  EXPECT_EQ(record->m_IDtype, FILE_ID_TYPE_PATH);
  out->paths.push_back(record->m_szPathname);
  return out->stopAfter == 0 || out->paths.size() < out->stopAfter;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Folders are those directly inside the documents folders of main memory and the
// card; the home folder itself only when asked; a folder outside a card is not one.
TEST_F(NoteProjects, FoldersOfMainMemoryAndCard) {
  struct Case {
    DWORD flags;
    std::vector<std::wstring> expected;
  };
  const Case cases[] = {
      {PRJ_ENUM_ALL_DEVICES,
       {L"\\My Documents\\Personal", L"\\My Documents\\Work", L"\\Storage Card\\My Documents\\Work"}},
      {PRJ_ENUM_MEMORY, {L"\\My Documents\\Personal", L"\\My Documents\\Work"}},
      {PRJ_ENUM_FLASH, {L"\\Storage Card\\My Documents\\Work"}},
      {PRJ_ENUM_MEMORY | PRJ_ENUM_HOME_PROJ,
       {L"\\My Documents", L"\\My Documents\\Personal", L"\\My Documents\\Work"}},
      {0, {}},
  };
  for (const Case& c : cases) {
    Collected got;
    int count = EnumProjectsEx(Collect, 0, c.flags, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(Sorted(got.paths), Sorted(c.expected)) << c.flags;
    EXPECT_EQ(count, static_cast<int>(c.expected.size())) << c.flags;
    EXPECT_EQ(EnumProjectsEx(nullptr, 0, c.flags, 0), count) << "counting only, flags " << c.flags;
  }
}

// Files: every folder with PRJ_ENUM_ALL_PROJ (the documents folder's own files only
// with the home flag), one named folder, or the documents folder; by pattern.
TEST_F(NoteProjects, FilesOfFoldersByFlagsAndPattern) {
  struct Case {
    DWORD flags;
    const wchar_t* project;
    const wchar_t* pattern;
    std::vector<std::wstring> expected;
  };
  const Case cases[] = {
      {PRJ_ENUM_ALL_DEVICES | PRJ_ENUM_ALL_PROJ, nullptr, L"*.*",
       {L"\\My Documents\\Personal\\list.txt", L"\\My Documents\\Work\\plan.pwi",
        L"\\Storage Card\\My Documents\\Work\\memo.wav"}},
      {PRJ_ENUM_ALL_DEVICES | PRJ_ENUM_ALL_PROJ | PRJ_ENUM_HOME_PROJ, nullptr, nullptr,
       {L"\\My Documents\\Welcome.txt", L"\\My Documents\\Personal\\list.txt", L"\\My Documents\\Work\\plan.pwi",
        L"\\Storage Card\\My Documents\\Work\\memo.wav"}},
      {PRJ_ENUM_ALL_DEVICES, L"Work", L"*.*",
       {L"\\My Documents\\Work\\plan.pwi", L"\\Storage Card\\My Documents\\Work\\memo.wav"}},
      {PRJ_ENUM_FLASH, L"work", L"*.*", {L"\\Storage Card\\My Documents\\work\\memo.wav"}},
      {PRJ_ENUM_ALL_DEVICES | PRJ_ENUM_ALL_PROJ, nullptr, L"*.pwi", {L"\\My Documents\\Work\\plan.pwi"}},
      {PRJ_ENUM_MEMORY, nullptr, L"*.*", {L"\\My Documents\\Welcome.txt"}},
      {PRJ_ENUM_MEMORY, L"Missing", L"*.*", {}},
      {PRJ_ENUM_MEMORY, L"..", L"*.*", {}},
      {PRJ_ENUM_MEMORY, L"Personal\\Old", L"*.*", {}},
      {PRJ_ENUM_MEMORY | PRJ_ENUM_ALL_PROJ, nullptr, L"..\\*.*", {}},
  };
  for (const Case& c : cases) {
    Collected got;
    int count = EnumProjectsFilesEx(Collect, 0, c.flags, c.project, c.pattern, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(Sorted(got.paths), Sorted(c.expected)) << c.flags << " " << (c.project ? c.project : L"-");
    EXPECT_EQ(count, static_cast<int>(c.expected.size()));
  }
}

// A callback that answers FALSE ends the enumeration at once.
TEST_F(NoteProjects, CallbackStopsEnumeration) {
  Collected got;
  got.stopAfter = 1;
  EXPECT_EQ(EnumProjectsFilesEx(Collect, 0, PRJ_ENUM_ALL_DEVICES | PRJ_ENUM_ALL_PROJ, nullptr, L"*.*",
                                reinterpret_cast<LPARAM>(&got)),
            1);
  EXPECT_EQ(got.paths.size(), 1u);
  got = Collected();
  got.stopAfter = 2;
  EXPECT_EQ(EnumProjectsEx(Collect, 0, PRJ_ENUM_ALL_DEVICES, reinterpret_cast<LPARAM>(&got)), 2);
}

// The path test accepts items of a documents folder and of its folders, on main
// memory and on a card, and nothing deeper, outside or malformed.
TEST_F(NoteProjects, PathTest) {
  struct Case {
    const wchar_t* path;
    BOOL expected;
  };
  const Case cases[] = {
      {L"\\My Documents\\a.pwi", TRUE},
      {L"\\my documents\\Work\\a.pwi", TRUE},
      {L"\\Storage Card\\My Documents\\Work\\b.txt", TRUE},
      {L"\\Storage Card\\My Documents\\b.txt", TRUE},
      {L"\\My Documents\\Work\\Old\\c.txt", FALSE},
      {L"\\My Documents", FALSE},
      {L"\\My Documents\\", FALSE},
      {L"\\My Documents\\\\a.txt", FALSE},
      {L"\\My Documents\\..\\a.txt", FALSE},
      {L"\\My Documentsx\\a.txt", FALSE},
      {L"\\Backup\\My Documents\\Work\\copy.txt", FALSE},
      {L"\\Windows\\a.txt", FALSE},
      {L"", FALSE},
      {nullptr, FALSE},
  };
  for (const Case& c : cases) EXPECT_EQ(IsProjectItemPath(c.path), c.expected) << (c.path ? c.path : L"(null)");
}

// Any text as path, folder name or pattern is answered without harm.
TEST_F(NoteProjects, FuzzedArguments) {
  fixtures::ByteMutator mutator(20261209);
  const std::wstring seeds[] = {L"\\My Documents\\Work\\plan.pwi", L"*.*", L"Work", L"\\Storage Card\\My Documents"};
  const std::vector<std::wstring> alphabet = fixtures::ByteMutator::EachUnit(std::wstring(L"\\/.:*?abx \x00e9\x4e2d"));
  for (int i = 0; i < 3000; ++i) {
    const std::wstring text = mutator.Edit(seeds[mutator.Below(4)], 6, alphabet);
    IsProjectItemPath(text.c_str());
    if (i % 10 == 0) {
      Collected got;
      EnumProjectsFilesEx(Collect, 0, PRJ_ENUM_ALL_DEVICES, text.c_str(), text.c_str(), reinterpret_cast<LPARAM>(&got));
      for (const std::wstring& path : got.paths) EXPECT_TRUE(IsProjectItemPath(path.c_str())) << path;
    }
  }
}

// Programs bind the library by ordinal.
TEST(NoteProjectOrdinals, EachOrdinalReachesItsFunction) {
  HMODULE library = LoadLibraryW(L"note_prj.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(21))),
            reinterpret_cast<void*>(&EnumProjectsEx));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(22))),
            reinterpret_cast<void*>(&EnumProjectsFilesEx));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(39))),
            reinterpret_cast<void*>(&IsProjectItemPath));
  FreeLibrary(library);
}

}  // namespace
