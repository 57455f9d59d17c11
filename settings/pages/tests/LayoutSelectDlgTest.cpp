#include "settings/pages/LayoutSelectDlg.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/tests/KeyLayoutFixtures.h"
#include "settings/pages/LayoutCombo.h"
#include "settings/shell/tests/ShellTestSupport.h"

namespace {

using layouttest::CLayoutSource;
using layouttest::Utf16;

// Runs the dialog with step inside its modal run.
INT_PTR RunDialog(CLayoutSelectDlg& dialog, std::function<void(HWND)> step) {
  CDialogImplBase::SetModalHook([](HWND hwnd, void* context) { (*static_cast<std::function<void(HWND)>*>(context))(hwnd); },
                                &step);
  INT_PTR result = dialog.DoModal(nullptr);
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  return result;
}

void Tick(HWND dialog, int item, bool ticked) {
  ListView_SetCheckState(GetDlgItem(dialog, IDC_LAYOUT_LIST), item, ticked ? TRUE : FALSE);
}

struct ListState {
  std::vector<std::wstring> names;
  std::vector<bool> ticked;
  bool switchTicked = false;
  bool switchEnabled = false;
};

ListState Read(HWND dialog) {
  ListState state;
  HWND list = GetDlgItem(dialog, IDC_LAYOUT_LIST);
  for (int i = 0; i < ListView_GetItemCount(list); ++i) {
    wchar_t text[64] = L"";
    ListView_GetItemText(list, i, 0, text, 64);
    state.names.push_back(text);
    state.ticked.push_back(ListView_GetCheckState(list, i) != 0);
  }
  state.switchTicked = IsDlgButtonChecked(dialog, IDC_LAYOUT_LANG_SWITCH) == BST_CHECKED;
  state.switchEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_LAYOUT_LANG_SWITCH)) != FALSE;
  return state;
}

// Three layouts from files (one of them without its byte-order mark, never
// offered) and the built-in Latin.
class LayoutSelectDlgTest : public ::testing::Test {
 protected:
  LayoutSelectDlgTest() : source(L"LayoutSelectDlg") {
    source.Write(CLayoutSource::kFolder, {{"greek.txt", Utf16(L"l abc(αβγ) def(δεζ)")},
                                          {"CYRILLIC.TXT", Utf16(L"l abc(абв)")},
                                          {"Broken.txt", Utf16(L"l abc(abc)", false)},
                                          {"HWKeysLayout.txt", Utf16(L"l a(a)")}});
    layouts.reset(new CKeyLayouts(source.Path().c_str()));
  }
  int Position(const wchar_t* name) const {
    for (int i = 0; i < layouts->GetCount(); ++i)
      if (std::wstring(layouts->GetName(i)) == name) return i;
    return -1;
  }
  std::vector<std::wstring> ChosenNames() const {
    std::vector<std::wstring> names;
    for (int i = 0; i < chosen.GetSize(); ++i) names.push_back(std::wstring(layouts->GetLayoutName(chosen[i])));
    return names;
  }

  CProductResources library;
  CLayoutSource source;
  std::unique_ptr<CKeyLayouts> layouts;
  CKeyLayoutList chosen;
};

TEST_F(LayoutSelectDlgTest, ListsTheKnownLayoutsTicksTheChosenOnesAndOkKeepsTheListOrder) {
  ASSERT_EQ(layouts->GetCount(), 3);
  ASSERT_GE(Position(L"Greek"), 0);
  ASSERT_GE(Position(L"Cyrillic"), 0);
  ASSERT_GE(Position(L"Latin"), 0);
  // Chosen in the order opposite to the list's.
  for (int i = layouts->GetCount() - 1; i >= 0; --i)
    if (std::wstring(layouts->GetName(i)) != L"Cyrillic") chosen.Add(layouts->GetLayout(layouts->GetName(i), TRUE));
  int disableSwitch = 0;
  CLayoutSelectDlg dialog(chosen, disableSwitch, *layouts);
  ListState opened, oneTicked, threeTicked;
  INT_PTR result = RunDialog(dialog, [&](HWND hwnd) {
    opened = Read(hwnd);
    Tick(hwnd, Position(L"Greek"), false);
    oneTicked = Read(hwnd);
    Tick(hwnd, Position(L"Cyrillic"), true);
    Tick(hwnd, Position(L"Greek"), true);
    threeTicked = Read(hwnd);
    CheckDlgButton(hwnd, IDC_LAYOUT_LANG_SWITCH, BST_UNCHECKED);
    PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(result, 1);
  std::vector<std::wstring> listed;
  for (int i = 0; i < layouts->GetCount(); ++i) listed.push_back(layouts->GetName(i));
  EXPECT_EQ(opened.names, listed);
  std::vector<bool> expectTicked;
  for (const std::wstring& name : listed) expectTicked.push_back(name != L"Cyrillic");
  EXPECT_EQ(opened.ticked, expectTicked);
  EXPECT_TRUE(opened.switchTicked);
  EXPECT_TRUE(opened.switchEnabled);
  EXPECT_FALSE(oneTicked.switchEnabled);
  EXPECT_TRUE(threeTicked.switchEnabled);
  EXPECT_EQ(ChosenNames(), listed);
  EXPECT_EQ(disableSwitch, 1);
}

TEST_F(LayoutSelectDlgTest, OneTickedLayoutDisablesTheSwitchAndCancelChangesNothing) {
  chosen.Add(layouts->GetLayout(L"Latin", TRUE));
  int disableSwitch = 1;
  CLayoutSelectDlg dialog(chosen, disableSwitch, *layouts);
  ListState opened;
  INT_PTR result = RunDialog(dialog, [&](HWND hwnd) {
    opened = Read(hwnd);
    Tick(hwnd, Position(L"Greek"), true);
    CheckDlgButton(hwnd, IDC_LAYOUT_LANG_SWITCH, BST_CHECKED);
    PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, 2);
  EXPECT_FALSE(opened.switchTicked);
  EXPECT_FALSE(opened.switchEnabled);
  EXPECT_EQ(ChosenNames(), std::vector<std::wstring>{L"Latin"});
  EXPECT_EQ(disableSwitch, 1);
}

TEST_F(LayoutSelectDlgTest, NothingTickedLeavesAnEmptyChoiceAndTheSwitchAsTicked) {
  chosen.Add(layouts->GetLayout(L"Greek", TRUE));
  int disableSwitch = 1;
  CLayoutSelectDlg dialog(chosen, disableSwitch, *layouts);
  INT_PTR result = RunDialog(dialog, [&](HWND hwnd) {
    Tick(hwnd, Position(L"Greek"), false);
    CheckDlgButton(hwnd, IDC_LAYOUT_LANG_SWITCH, BST_CHECKED);
    PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(ChosenNames().empty());
  EXPECT_EQ(disableSwitch, 0);
}

// The pages' layout item opens this dialog unless a test put its own runner in.
TEST_F(LayoutSelectDlgTest, ThePagesLayoutItemRunsThisDialog) {
  PFN_LAYOUT_SELECT previous = SetLayoutSelectRunner(nullptr);
  PFN_LAYOUT_SELECT standard = SetLayoutSelectRunner(previous);
  ASSERT_TRUE(standard);
  int disableSwitch = 1;
  bool hasList = false;
  std::function<void(HWND)> step = [&](HWND hwnd) {
    hasList = GetDlgItem(hwnd, IDC_LAYOUT_LIST) != nullptr;
    PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
  };
  CDialogImplBase::SetModalHook([](HWND hwnd, void* context) { (*static_cast<std::function<void(HWND)>*>(context))(hwnd); },
                                &step);
  INT_PTR result = standard(nullptr, chosen, disableSwitch);
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(hasList);
  EXPECT_EQ(chosen.GetSize(), 0);
  EXPECT_EQ(disableSwitch, 1);
}

}  // namespace
