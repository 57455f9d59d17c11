// Picture files: the stored name of a chosen file and its copy into an icon folder.
#include "pim/IconFile.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/unzip/tests/ZipWriter.h"

namespace {

TEST(IconFile, StoredNamesJoinFolderAndFileWithoutTheExtension) {
  const struct Case {
    const wchar_t* source;
    const wchar_t* name;
    const wchar_t* ext;
  } cases[] = {
      {L"\\My Documents\\cars\\red.bmp", L"cars-red", L".bmp"},
      {L"cars\\red.bmp", L"cars-red", L".bmp"},
      {L"\\red.bmp", L"-red", L".bmp"},
      {L"\\a\\b.c.png", L"a-b.c", L".png"},
      {L"\\my.pics\\red", L"my.pics-red", L""},
      // No folder at all: the bare file name, not a guess at one.
      {L"red.bmp", L"red", L".bmp"},
      {L"red", L"red", L""},
      {L".bmp", L"", L".bmp"},
      {L"", L"", L""},
  };
  for (const Case& c : cases) {
    CString ext = L"stale";
    EXPECT_EQ(std::wstring(IconStoredName(c.source, &ext)), c.name) << c.source;
    EXPECT_EQ(std::wstring(ext), c.ext) << c.source;
  }
}

TEST(IconFile, CopiesIntoTheFolderMadeWhenMissingOverAReadOnlyTarget) {
  ziptest::TempFolder temp(L"pim_icon_file");
  CreateDirectoryW(temp.File(L"cars").c_str(), nullptr);
  const std::wstring source = temp.File(L"cars\\red.bmp");
  cedbtest::WriteFileBytes(source, "first");
  const std::wstring folder = temp.File(L"Icons\\");
  const std::wstring target = temp.File(L"Icons\\cars-red.bmp");

  CString name;
  ASSERT_TRUE(CopyIconFile(source.c_str(), name, folder.c_str())) << "the folder is made";
  EXPECT_STREQ(name, L"cars-red");
  EXPECT_EQ(cedbtest::ReadFileBytes(target), "first");

  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  cedbtest::WriteFileBytes(source, "second");
  ASSERT_TRUE(CopyIconFile(source.c_str(), name, temp.File(L"Icons").c_str())) << "no trailing backslash";
  EXPECT_EQ(cedbtest::ReadFileBytes(target), "second") << "the read-only copy was replaced";

  const struct Case {
    const char* what;
    std::wstring source;
    std::wstring folder;
  } failures[] = {
      {"missing source", temp.File(L"cars\\blue.bmp"), folder},
      {"empty source", L"", folder},
      {"no folder", source, L""},
      {"no name", L".bmp", folder},
  };
  for (const Case& c : failures) {
    name = L"stale";
    EXPECT_FALSE(CopyIconFile(c.source.c_str(), name, c.folder.c_str())) << c.what;
    EXPECT_STREQ(name, L"") << c.what;
  }
}

}  // namespace
