#include "controls/IconSets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "controls/PopupMenuTracker.h"
#include "controls/tests/DialogFixtures.h"
#include "graphics/tests/IconFixtures.h"

namespace {

using namespace icontest;

const WCHAR kProductKey[] = L"Software\\Korvel\\Qel Tarvo";

// Two set folders of icons, one candidate without small icons and an empty text,
// and three recent folders of icons.
class IconSetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetScreenDpi(96, 96);
    ClearRegistry();
    for (int i = 0; i < 2; ++i) m_sets.push_back(Folder(2 + i));
    m_bigIcons.reset(new TempFolder);
    WriteBytes(*m_bigIcons / L"big.bmp", Icon(40, 40, 1));
    for (int i = 0; i < 3; ++i) m_recent.push_back(Folder(1));
    s_candidates = {Path(0), L"", m_bigIcons->Path(), Path(1)};
    CIconSets::SetSetFolderSource([](std::vector<CString>& folders) {
      for (const std::wstring& f : s_candidates) folders.emplace_back(f.c_str());
    });
    CRegKey recent(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Tarvo\\IconSets");
    for (int i = 0; i < 3; ++i) recent.SetString(std::to_wstring(i + 1).c_str(), Recent(i).c_str());
  }
  void TearDown() override {
    CIconSets::SetSetFolderSource(nullptr);
    CIconSets::SetOptionsProgramRules(FALSE);
    CPopupMenuTracker::SetHook(nullptr, nullptr);
    SetProgramLauncher(nullptr);
    ClearRegistry();
  }
  static void ClearRegistry() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Tarvo\\IconSets");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kProductKey, L"IconSetID");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Mirto");
  }
  std::unique_ptr<TempFolder> Folder(int icons) {
    std::unique_ptr<TempFolder> folder(new TempFolder);
    for (int i = 0; i < icons; ++i) WriteBytes(*folder / (L"icon" + std::to_wstring(i) + L".bmp"), Icon(8, 8, BYTE(i)));
    return folder;
  }
  std::wstring Path(int set) const { return m_sets[size_t(set)]->Path(); }
  std::wstring Recent(int i) const { return m_recent[size_t(i)]->Path(); }
  static std::wstring At(CIconSets& sets, int i) { return sets.GetRecent().GetAt(i).GetString(); }
  static DWORD StoredSet() {
    CRegKey product(HKEY_LOCAL_MACHINE, kProductKey);
    return product.ValueExists(L"IconSetID") ? product.QueryDWORD(L"IconSetID") : 0xDEAD;
  }

  static std::vector<std::wstring> s_candidates;
  std::vector<std::unique_ptr<TempFolder>> m_sets, m_recent;
  std::unique_ptr<TempFolder> m_bigIcons;
};
std::vector<std::wstring> IconSetsTest::s_candidates;

TEST_F(IconSetsTest, SetsAreNumberedAllThenFoldersThenRecentOnes) {
  CIconSets sets;
  EXPECT_EQ(sets.BuildSetList(), 2) << "empty and icon-less candidates are not offered";
  EXPECT_EQ(sets.GetSets()[1].GetString(), Path(1));
  ASSERT_EQ(sets.GetRecent().Load(), 3);
  // The third recent folder moves to the front and becomes set S + 1.
  sets.SelectSet(5, FALSE);
  EXPECT_EQ(sets.GetCurrentSet(), 3);
  EXPECT_EQ(At(sets, 0), Recent(2));
  EXPECT_EQ(At(sets, 1), Recent(0));
  EXPECT_EQ(sets.GetGrid().GetSectionCount(), 1);
  // Once a set is chosen, an invalid number changes nothing.
  sets.SelectSet(6, TRUE);
  EXPECT_EQ(sets.GetCurrentSet(), 3);
  sets.SelectSet(0, TRUE);
  EXPECT_EQ(sets.GetCurrentSet(), 0);
  // Every set folder and every recent one: 2 + 3 + 3 icons, none of them listed.
  ASSERT_EQ(sets.GetGrid().GetSectionCount(), 1);
  EXPECT_EQ(sets.GetGrid().GetTotalHeight() > 0, true);
  for (int start : {6, -1}) {
    CIconSets fresh;
    fresh.BuildSetList();
    fresh.GetRecent().Load();
    fresh.SelectSet(start, FALSE);
    EXPECT_EQ(fresh.GetCurrentSet(), 0) << start;
  }
}

TEST_F(IconSetsTest, AddedFoldersGoFirstAreSavedAndAnEmptyOneIsRefused) {
  CIconSets sets;
  sets.BuildSetList();
  sets.GetRecent().Load();
  EXPECT_FALSE(sets.AddRecentFolder(L""));
  EXPECT_FALSE(sets.AddRecentFolder(nullptr));
  EXPECT_EQ(sets.GetRecent().GetCount(), 3);
  auto more = Folder(1), evenMore = Folder(1), last = Folder(1);
  for (auto* folder : {more.get(), evenMore.get(), last.get()}) EXPECT_TRUE(sets.AddRecentFolder(folder->Path().c_str()));
  EXPECT_EQ(sets.GetRecent().GetCount(), 5) << "the oldest is dropped";
  EXPECT_EQ(sets.GetCurrentSet(), 3);
  EXPECT_EQ(sets.GetRecent().Find(Recent(2).c_str()), -1) << "the oldest went";
  EXPECT_TRUE(sets.AddRecentFolder(Recent(1).c_str()));
  EXPECT_EQ(At(sets, 0), Recent(1)) << "moved, not repeated";
  EXPECT_EQ(At(sets, 1), last->Path());
  EXPECT_EQ(sets.GetRecent().GetCount(), 5);
  CMruList saved(L"\\Software\\Korvel\\Qel Tarvo\\IconSets", 5);
  ASSERT_EQ(saved.Load(), 5);
  EXPECT_EQ(std::wstring(saved.GetAt(0).GetString()), Recent(1));
  EXPECT_EQ(std::wstring(saved.GetAt(4).GetString()), Recent(0));
}

TEST_F(IconSetsTest, TheSetMenuListsEverySetAndMarksTheCurrentOne) {
  CIconSets sets;
  sets.BuildSetList();
  sets.GetRecent().Load();
  sets.SelectSet(2, FALSE);
  HMENU menu = sets.BuildSetMenu();
  ASSERT_NE(menu, nullptr);
  const UINT expected[] = {1, 2, 3, 0, 4, 5, 6, 0, 222};
  ASSERT_EQ(GetMenuItemCount(menu), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(GetMenuItemID(menu, i), expected[i]) << i;
  for (UINT id = 1; id <= 6; ++id)
    EXPECT_EQ(!!(GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED), id == 3) << id;
  DestroyMenu(menu);
}

TEST_F(IconSetsTest, TheIconProgramGetsTheArgumentAsOneQuotedWord) {
  {
    CIconSets sets;
    EXPECT_FALSE(sets.IsMirtoAvailable());
    EXPECT_FALSE(sets.StartMirto());
  }
  TempFolder install;
  WriteBytes(install / L"QelMirto.exe", Bytes(4, 0));
  CRegKey key(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Mirto");
  key.SetString(L"InstallDir", install.Path().c_str());
  static std::wstring file, parameters;
  SetProgramLauncher([](SHELLEXECUTEINFOW* info) -> BOOL {
    file = info->lpFile;
    parameters = info->lpParameters;
    return TRUE;
  });
  CIconSets sets;
  ASSERT_TRUE(sets.IsMirtoAvailable());
  EXPECT_EQ(std::wstring(sets.GetMirtoPath().GetString()), install / L"QelMirto.exe");
  const struct {
    LPCWSTR argument, parameters;
  } cases[] = {
      {L"Weather", L"-c \"Weather\""},
      {L"My \"Cat\" -x", L"-c \"My \\\"Cat\\\" -x\""},
      {L"ends\\", L"-c \"ends\\\\\""},
      {L"", L"-c \"\""},
  };
  for (const auto& c : cases) {
    sets.SetMirtoArgument(c.argument);
    EXPECT_TRUE(sets.StartMirto());
    EXPECT_EQ(file, install / L"QelMirto.exe");
    EXPECT_EQ(parameters, c.parameters);
  }
}

// The dialog run through the modal seam: commands as the menu bar sends them.
class IconSetsDialogTest : public IconSetsTest {
 protected:
  INT_PTR Run(CIconSets& sets, dlgtest::Script script) {
    return dlgtest::RunModal([&] { return sets.DoModal(m_env.Owner()); }, std::move(script));
  }
  dlgtest::DialogEnvironment m_env;
};

TEST_F(IconSetsDialogTest, OkAnswersTheSelectedIconAndRemembersTheSet) {
  CRegKey(HKEY_LOCAL_MACHINE, kProductKey).SetDWORD(L"IconSetID", 2);
  CIconSets sets;
  sets.SetSelectedName(nullptr);
  std::wstring button;
  const INT_PTR result = Run(sets, [&](HWND dialog) {
    EXPECT_EQ(sets.GetCurrentSet(), 2);
    CIconGrid& grid = sets.GetGrid();
    ASSERT_TRUE(grid.IsWindow());
    ASSERT_EQ(grid.GetSectionCount(), 1);
    const int top = grid.GetSectionRect(0).top;
    SendMessageW(grid.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(21 + 10, top + 16));
    SendMessageW(grid.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(21 + 10, top + 16));
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    WCHAR text[300] = L"";
    info.pszText = text;
    info.cchText = 300;
    SendMessageW(sets.GetToolbar().m_hWnd, TB_GETBUTTONINFOW, ID_TOOLBAR_LEFT, LPARAM(&info));
    button = text;
    dlgtest::Press(dialog, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(button, Path(1));
  ASSERT_NE(sets.GetSelectedName(), nullptr);
  EXPECT_EQ(std::wstring(sets.GetSelectedName()), *m_sets[1] / L"icon1.bmp");
  EXPECT_EQ(StoredSet(), 2u);
}

TEST_F(IconSetsDialogTest, NoIconCancelAndAnEmptyOkAnswerAsTheyShould) {
  CIconSets sets;
  sets.SetSelectedName(L"keep.bmp");
  EXPECT_EQ(Run(sets, [](HWND dialog) { dlgtest::Press(dialog, IDCANCEL); }), IDCANCEL);
  EXPECT_STREQ(sets.GetSelectedName(), L"keep.bmp");
  EXPECT_EQ(StoredSet(), 0xDEADu) << "the library does not write a missing set back";
  EXPECT_EQ(Run(sets, [](HWND dialog) { dlgtest::Press(dialog, CIconSets::kNoIcon); }), IDOK);
  EXPECT_EQ(sets.GetSelectedName(), nullptr);
  // Folding everything leaves no selection: OK answers an empty path, not "no icon".
  EXPECT_EQ(Run(sets, [&](HWND dialog) {
              dlgtest::Press(dialog, CIconSets::kCollapseAll);
              EXPECT_TRUE(sets.GetGrid().GetSection(0).collapsed);
              dlgtest::Press(dialog, CIconSets::kExpandAll);
              EXPECT_FALSE(sets.GetGrid().GetSection(0).collapsed);
              dlgtest::Press(dialog, IDOK);
            }),
            IDOK);
  ASSERT_NE(sets.GetSelectedName(), nullptr);
  EXPECT_STREQ(sets.GetSelectedName(), L"");
  EXPECT_EQ(StoredSet(), 0u);
}

TEST_F(IconSetsDialogTest, TheOptionsProgramWritesAMissingSetBack) {
  CIconSets::SetOptionsProgramRules(TRUE);
  CIconSets sets;
  Run(sets, [](HWND dialog) { dlgtest::Press(dialog, IDCANCEL); });
  EXPECT_EQ(StoredSet(), 0u);
}

// The set button's menu: a set chosen there is shown; the folder item runs the
// folder dialog, and a cancelled one changes nothing.
TEST_F(IconSetsDialogTest, TheSetMenuChoosesSetsAndRunsTheFolderDialog) {
  static std::vector<int> answers;
  answers = {3, 222};
  CPopupMenuTracker::SetHook(
      [](HMENU, UINT flags, int, int, HWND, void*) {
        EXPECT_TRUE(flags & TPM_RETURNCMD);
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
      },
      nullptr);
  CIconSets sets;
  struct Nested {
    int dialogs = 0;
    std::function<void(HWND)> script;
  } nested;
  nested.script = [&](HWND dialog) {
    dlgtest::Press(dialog, ID_TOOLBAR_LEFT);
    EXPECT_EQ(sets.GetCurrentSet(), 2);
    EXPECT_EQ(sets.GetGrid().GetSectionCount(), 1);
    dlgtest::Press(dialog, ID_TOOLBAR_LEFT);
    EXPECT_EQ(nested.dialogs, 2) << "the folder dialog ran";
    EXPECT_EQ(sets.GetCurrentSet(), 2);
    EXPECT_EQ(sets.GetRecent().GetCount(), 3);
    dlgtest::Press(dialog, IDOK);
  };
  CDialogImplBase::SetModalHook(
      [](HWND dialog, void* data) {
        auto* n = static_cast<Nested*>(data);
        if (++n->dialogs > 1) {
          PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
          return;
        }
        n->script(dialog);
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      &nested);
  const INT_PTR result = sets.DoModal(m_env.Owner());
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(StoredSet(), 2u);
  EXPECT_TRUE(answers.empty());
}

}  // namespace
