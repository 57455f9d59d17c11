#include "base/FolderTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Scratch(const wchar_t* name) {
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Write(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, "x", 1, &written, nullptr);
  CloseHandle(file);
  return written == 1;
}

// Folders three deep, names with spaces and dots, a read-only file (which a plain delete
// refuses), a hidden one and a read-only folder.
TEST(DeleteFolderTree, RemovesEverythingInTheTree) {
  const std::wstring root = Scratch(L"FolderTreeDeep");
  const std::wstring deep = root + L"\\a b\\c.d\\e";
  for (const std::wstring& folder : {root, root + L"\\a b", root + L"\\a b\\c.d", deep})
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  for (const std::wstring& file : {root + L"\\top.txt", deep + L"\\deep.txt", root + L"\\a b\\hidden.txt"})
    ASSERT_TRUE(Write(file));
  ASSERT_TRUE(SetFileAttributesW((deep + L"\\deep.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesW((root + L"\\a b\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW((root + L"\\a b\\c.d").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_FALSE(DeleteFileW((deep + L"\\deep.txt").c_str())) << "a plain delete refuses it";
  DeleteFolderTree(root);
  EXPECT_FALSE(Exists(root));
}

// What is in use stays with the folders that hold it; everything else goes, and the
// rest goes once it is free. A folder that is not there is no fault.
TEST(DeleteFolderTree, LeavesOnlyWhatIsInUse) {
  const std::wstring root = Scratch(L"FolderTreeBusy");
  CreateDirectoryW(root.c_str(), nullptr);
  CreateDirectoryW((root + L"\\kept").c_str(), nullptr);
  CreateDirectoryW((root + L"\\gone").c_str(), nullptr);
  ASSERT_TRUE(Write(root + L"\\kept\\sibling.txt"));
  ASSERT_TRUE(Write(root + L"\\gone\\inside.txt"));
  ASSERT_TRUE(Write(root + L"\\top.txt"));
  HANDLE busy = CreateFileW((root + L"\\kept\\open.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(busy, INVALID_HANDLE_VALUE);
  DeleteFolderTree(root);
  EXPECT_TRUE(Exists(root + L"\\kept\\open.bin"));
  EXPECT_FALSE(Exists(root + L"\\kept\\sibling.txt"));
  EXPECT_FALSE(Exists(root + L"\\gone"));
  EXPECT_FALSE(Exists(root + L"\\top.txt"));
  CloseHandle(busy);
  DeleteFolderTree(root);
  EXPECT_FALSE(Exists(root));
  DeleteFolderTree(root);
  EXPECT_FALSE(Exists(root));
}

}  // namespace
