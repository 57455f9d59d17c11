// The folder tree in its dialog, over a temporary folder: each folder listed
// once, folders too deep to reach left out, the shell's folder changes followed
// while the dialog runs and not after.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/FolderBrowseDlg.h"
#include "controls/FolderTree.h"
#include "controls/tests/DialogFixtures.h"
#include "platform/aygshell/AygTest.h"

namespace {

using dlgtest::RunModal;

// A fresh folder under the temporary folder, removed with everything in it.
class TempTree {
 public:
  TempTree() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    m_root = base;
    m_root += L"qtft" + std::to_wstring(GetCurrentProcessId());
    Remove(m_root);
    CreateDirectoryW(m_root.c_str(), nullptr);
  }
  ~TempTree() { Remove(m_root); }
  const std::wstring& Root() const { return m_root; }
  std::wstring Make(const std::wstring& relative) {
    std::wstring path = m_root + L"\\" + relative;
    CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
    return path;
  }
  void File(const std::wstring& relative) {
    HANDLE h = CreateFileW((m_root + L"\\" + relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
  }

 private:
  static void Remove(const std::wstring& path) {
    const std::wstring longPath = L"\\\\?\\" + path;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((longPath + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(path + L"\\" + name);
        } else {
          DeleteFileW((longPath + L"\\" + name).c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(longPath.c_str());
  }
  std::wstring m_root;
};

std::wstring Text(HWND tree, HTREEITEM item) {
  wchar_t text[MAX_PATH] = L"";
  TVITEMW data = {};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = MAX_PATH;
  TreeView_GetItem(tree, &data);
  return text;
}

// The texts of item's children, sorted (the file system's order is its own).
std::vector<std::wstring> Children(HWND tree, HTREEITEM item) {
  std::vector<std::wstring> names;
  for (HTREEITEM child = TreeView_GetChild(tree, item); child; child = TreeView_GetNextSibling(tree, child))
    names.push_back(Text(tree, child));
  std::sort(names.begin(), names.end());
  return names;
}

HTREEITEM Child(HWND tree, HTREEITEM item, const std::wstring& name) {
  for (HTREEITEM child = TreeView_GetChild(tree, item); child; child = TreeView_GetNextSibling(tree, child))
    if (Text(tree, child) == name) return child;
  return nullptr;
}

class FolderTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(env.Module(), nullptr);
    temp.Make(L"Alpha");
    temp.Make(L"Alpha\\One");
    temp.Make(L"Alpha\\Two");
    temp.Make(L"Alpha\\Two\\Deeper");
    temp.Make(L"Beta");
    temp.File(L"note.txt");
  }
  dlgtest::DialogEnvironment env;
  TempTree temp;
};

TEST_F(FolderTreeTest, ListsEachFolderOnceAndOpensTheStartFolder) {
  CFolderBrowseDlg dialog(L"Pick");
  dialog.SetRoot(temp.Root().c_str());
  dialog.SetChosenFolder((temp.Root() + L"\\Alpha\\Two\\").c_str());
  bool stayedDisabled = false;
  INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    EXPECT_EQ(dlgtest::WindowText(dlg), L"Pick");
    EXPECT_NE(SHFindMenuBar(dlg), nullptr) << "the shell's menu bar";
    dlgtest::ExpectOwnerDisabledThroughErase(dlg, env.Owner(), stayedDisabled);
    EXPECT_EQ(SendMessageW(dlg, 0x62, 0, 0), TRUE);
    EXPECT_EQ(GetWindowLongPtrW(dlg, DWLP_MSGRESULT), 1);
    HWND tree = dialog.GetTree().GetTreeWindow();
    ASSERT_NE(tree, nullptr);
    HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_EQ(Text(tree, root), temp.Root());
    EXPECT_EQ(TreeView_GetNextSibling(tree, root), nullptr);
    EXPECT_EQ(Children(tree, root), (std::vector<std::wstring>{L"Alpha", L"Beta"})) << "each folder once, no files";
    HTREEITEM alpha = Child(tree, root, L"Alpha");
    EXPECT_EQ(Children(tree, alpha), (std::vector<std::wstring>{L"One", L"Two"}));
    HTREEITEM selected = TreeView_GetSelection(tree);
    EXPECT_EQ(Text(tree, selected), L"Two");
    EXPECT_EQ(Children(tree, selected), (std::vector<std::wstring>{L"Deeper"}));
    EXPECT_EQ(std::wstring(dialog.GetTree().GetItemPath(root)), temp.Root() + L"\\");
    EXPECT_EQ(std::wstring(dialog.GetTree().GetItemPath(selected)), temp.Root() + L"\\Alpha\\Two\\");
    // Opening a folder again by hand reads nothing twice.
    TreeView_Expand(tree, alpha, TVE_COLLAPSE);
    TreeView_Expand(tree, alpha, TVE_EXPAND);
    HTREEITEM beta = Child(tree, root, L"Beta");
    TreeView_Expand(tree, beta, TVE_EXPAND);
    EXPECT_EQ(Children(tree, alpha), (std::vector<std::wstring>{L"One", L"Two"}));
    EXPECT_EQ(Children(tree, root), (std::vector<std::wstring>{L"Alpha", L"Beta"}));
    TreeView_SelectItem(tree, selected);  // closing Alpha moved the selection up
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(stayedDisabled) << "the owner stays disabled while the dialog runs";
  EXPECT_TRUE(IsWindowEnabled(env.Owner())) << "and is enabled again afterwards";
  EXPECT_EQ(std::wstring(dialog.GetChosenFolder()), temp.Root() + L"\\Alpha\\Two\\");
}

TEST_F(FolderTreeTest, LeavesOutFoldersTooDeepToReach) {
  // A name that makes the folder's path longer than the tree handles.
  const size_t room = kFolderPathLimit - temp.Root().size();
  const std::wstring longName(room, L'x');  // root + "\" + name is one character too long
  const std::wstring fitting(room - 1, L'y');
  ASSERT_LE(longName.size(), 255u);
  temp.Make(longName);
  temp.Make(fitting);
  ASSERT_NE(GetFileAttributesW((L"\\\\?\\" + temp.Root() + L"\\" + longName).c_str()), INVALID_FILE_ATTRIBUTES);
  CFolderBrowseDlg dialog;
  dialog.SetRoot(temp.Root().c_str());
  RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    HWND tree = dialog.GetTree().GetTreeWindow();
    HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_EQ(Children(tree, root), (std::vector<std::wstring>{L"Alpha", L"Beta", fitting}));
    EXPECT_EQ(dialog.GetTree().GetItemPath(Child(tree, root, fitting)).GetLength(), kFolderPathLimit + 1)
        << "the longest path the tree builds, with its closing separator";
    EXPECT_FALSE(dialog.GetTree().SelectPath((temp.Root() + L"\\" + longName).c_str()));
    EXPECT_TRUE(dialog.GetTree().SelectPath(L""));
    EXPECT_EQ(TreeView_GetSelection(tree), TreeView_GetRoot(tree));
    EXPECT_TRUE(dialog.GetTree().GetCurrentPath().IsEmpty());
    dlgtest::Press(dlg, IDCANCEL);
  });
  EXPECT_TRUE(dialog.GetChosenFolder().IsEmpty()) << "Cancel answers no folder";
}

TEST_F(FolderTreeTest, FollowsFolderChangesUntilTheDialogEnds) {
  CFolderBrowseDlg dialog;
  dialog.SetRoot((temp.Root() + L"\\\\").c_str());
  dialog.SetChosenFolder((temp.Root() + L"\\Beta").c_str());
  HWND host = nullptr;
  RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    host = dialog.GetTree().m_hWnd;
    const std::wstring made = temp.Make(L"Gamma");
    EXPECT_EQ(AygTestNotifyFileChange(SHCNE_MKDIR, made.c_str(), nullptr), 1);
    dlgtest::Pump();
    HWND tree = dialog.GetTree().GetTreeWindow();
    HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_EQ(Children(tree, root), (std::vector<std::wstring>{L"Alpha", L"Beta", L"Gamma"}));
    EXPECT_EQ(Text(tree, TreeView_GetSelection(tree)), L"Beta") << "the selection is kept";
    dlgtest::Press(dlg, IDOK);
  });
  ASSERT_NE(host, nullptr);
  EXPECT_FALSE(SHChangeNotifyDeregisterCE(host)) << "the registration went with the dialog";
  EXPECT_EQ(AygTestNotifyFileChange(SHCNE_MKDIR, (temp.Root() + L"\\Alpha").c_str(), nullptr), 0);
  EXPECT_EQ(std::wstring(dialog.GetChosenFolder()), temp.Root() + L"\\Beta\\");
}

TEST_F(FolderTreeTest, RootAndStartPathRules) {
  CFolderTree tree;
  EXPECT_TRUE(tree.SetRoot(L""));
  EXPECT_EQ(std::wstring(tree.GetRoot()), L"\\");
  EXPECT_TRUE(tree.SetRoot(L"\\"));
  EXPECT_EQ(std::wstring(tree.GetRoot()), L"\\");
  EXPECT_TRUE(tree.SetRoot((temp.Root() + L"\\Alpha\\\\").c_str()));
  EXPECT_EQ(std::wstring(tree.GetRoot()), temp.Root() + L"\\Alpha");
  EXPECT_FALSE(tree.SetRoot((temp.Root() + L"\\Missing").c_str()));
  EXPECT_TRUE(tree.GetRoot().IsEmpty()) << "a failed root leaves none";
  EXPECT_FALSE(tree.SetRoot((temp.Root() + L"\\note.txt").c_str())) << "a file is no root";
  EXPECT_FALSE(tree.SetRoot(std::wstring(300, L'z').c_str()));

  tree.SetStartPath((temp.Root() + L"\\Beta\\").c_str());
  EXPECT_EQ(std::wstring(tree.GetCurrentPath()), temp.Root() + L"\\Beta");
  tree.SetStartPath((temp.Root() + L"\\Missing").c_str());
  EXPECT_EQ(std::wstring(tree.GetCurrentPath()), temp.Root() + L"\\Beta") << "a missing start folder is ignored";
  tree.SetStartPath(L"\\");
  EXPECT_TRUE(tree.GetCurrentPath().IsEmpty());
}

TEST_F(FolderTreeTest, AMissingRootLeavesTheTreeEmpty) {
  CFolderBrowseDlg dialog;
  dialog.SetRoot((temp.Root() + L"\\Missing").c_str());
  RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    EXPECT_EQ(TreeView_GetRoot(dialog.GetTree().GetTreeWindow()), nullptr);
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_TRUE(dialog.GetChosenFolder().IsEmpty());
}

}  // namespace
