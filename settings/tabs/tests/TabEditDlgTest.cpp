#include "settings/tabs/TabEditDlg.h"

#include <gtest/gtest.h>

#include "settings/tabs/TabsPage.h"
#include "settings/tabs/TodayItemPickerDlg.h"
#include "settings/tabs/tests/TabsTestSupport.h"

namespace {

using TabEditDlgTest = TabsTest;

TodayItemInfo Item(const wchar_t* key, const wchar_t* name) {
  TodayItemInfo item;
  item.keyName = key;
  item.name = name;
  item.version = 1;
  return item;
}

std::vector<std::wstring> Keys(const CustomTabEntry& tab) {
  std::vector<std::wstring> keys;
  for (const TodayItemInfo& item : tab.items) keys.push_back(item.keyName.GetString());
  return keys;
}

void SelectItem(HWND dialog, int row) {
  SendDlgItemMessageW(dialog, IDC_TAB_EDIT_ITEMS, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_TAB_EDIT_ITEMS, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_TAB_EDIT_ITEMS)));
}

// Items moved, removed and kept: OK gives the list's order, Cancel the tab as it
// came. Two items showing one name stay apart.
TEST_F(TabEditDlgTest, ItemsFollowTheListOnOkOnly) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> steps;  // (row, button)
    int button;
    std::vector<std::wstring> keys;
    DWORD smartIcon;
    const wchar_t* iconName;
  };
  const Case cases[] = {
      {"moved down and OK", {{0, IDC_TAB_EDIT_DOWN}}, IDOK, {L"B", L"A", L"C", L"D"}, 1, L"C"},
      {"moved and cancelled", {{0, IDC_TAB_EDIT_DOWN}, {3, IDC_TAB_EDIT_UP}}, IDCANCEL, {L"A", L"B", L"C", L"D"}, 1,
       L"C"},
      // B and D show the same name: the row chosen is the item removed.
      {"the second of two alike removed", {{3, IDC_TAB_EDIT_REMOVE}}, IDOK, {L"A", L"B", L"C"}, 1, L"C"},
      {"the first of two alike moved last", {{1, IDC_TAB_EDIT_DOWN}, {2, IDC_TAB_EDIT_DOWN}}, IDOK,
       {L"A", L"C", L"D", L"B"}, 1, L"C"},
      {"the icon's item removed: default icon", {{2, IDC_TAB_EDIT_REMOVE}}, IDOK, {L"A", L"B", L"D"}, 0, L"default"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CustomTabEntry tab;
    tab.id = L'C';
    tab.smartIcon = 1;
    tab.iconName = L"C";
    tab.items = {Item(L"A", L"Alpha"), Item(L"B", L"Same"), Item(L"C", L"Gamma"), Item(L"D", L"Same")};
    CTabEditDlg dialog(nullptr, tab, nullptr, FALSE);
    bool removeOff = false;
    CTabDialogScript script({[&](HWND edit) {
                               for (const auto& step : c.steps) {
                                 SelectItem(edit, step.first);
                                 CTabDialogScript::Press(edit, step.second);
                               }
                               SelectItem(edit, -1);
                               removeOff = !IsWindowEnabled(GetDlgItem(edit, IDC_TAB_EDIT_REMOVE));
                               CTabDialogScript::Press(edit, c.button);
                             },
                             nullptr, nullptr});
    EXPECT_EQ(dialog.DoModal(m_window), c.button);
    EXPECT_TRUE(removeOff) << "nothing selected, nothing to remove";
    if (c.button == IDOK) {
      EXPECT_EQ(Keys(dialog.GetTab()), c.keys);
      EXPECT_EQ(dialog.GetTab().smartIcon, c.smartIcon);
      EXPECT_STREQ(dialog.GetTab().iconName, c.iconName);
    }
  }
}

// Which tab holds an item, as the item picker asks the dialog: the model's tabs,
// except that the edited tab holds only what its list still shows.
TEST_F(TabEditDlgTest, ItemsInUse) {
  RegisterOwnItem();
  for (const wchar_t* name : {L"X", L"Y", L"Z"}) MakeTodayItem(name, TARVO_TODAY_ITEM_NAME, 0);
  MakeCustomTabKey(L'A', {L"X"});
  MakeCustomTabKey(L'B', {L"Y", L"Z"});
  CTabSetup& setup = GetTabSetup();
  ASSERT_EQ(setup.FindCustomTab(L'B'), 1);
  CTabsPage page;
  CTabEditDlg edit(&page, setup.GetCustomTabs()[1], nullptr, FALSE);
  WCHAR before[3] = {}, after[3] = {};
  std::vector<std::wstring> offered;
  CTabDialogScript script({[&](HWND dialog) {
                             int i = 0;
                             for (const wchar_t* name : {L"X", L"Y", L"Z"}) before[i++] = edit.IsItemUsed(name);
                             SelectItem(dialog, 0);
                             CTabDialogScript::Press(dialog, IDC_TAB_EDIT_REMOVE);  // Y
                             i = 0;
                             for (const wchar_t* name : {L"X", L"Y", L"Z"}) after[i++] = edit.IsItemUsed(name);
                             CTabDialogScript::Press(dialog, IDC_TAB_EDIT_ADD);
                           },
                           [&](HWND picker) { offered = ListRows(GetDlgItem(picker, IDC_PICKER_LIST)); }, nullptr});
  edit.DoModal(m_window);
  EXPECT_EQ(std::wstring(before, 3), L"ABB");
  EXPECT_EQ(std::wstring(after, 3), std::wstring(L"A\0B", 3));
  EXPECT_EQ(offered, std::vector<std::wstring>{L"Y"}) << "only the item this edit let go";
  CTabEditDlg orphan(nullptr, setup.GetCustomTabs()[1], nullptr, FALSE);
  EXPECT_EQ(orphan.IsItemUsed(L"X"), 0) << "without a page there is no model to ask";
}

// The picker: available items sorted, greyed ones after them; an item that does
// not declare the protocol asks first; greyed rows are never returned.
TEST_F(TabEditDlgTest, ThePickerOffersAndConfirms) {
  struct Case {
    const char* name;
    int answer;  // to the confirmation
    std::vector<std::wstring> result;
  };
  const Case cases[] = {
      {"yes keeps the old item", IDYES, {L"Beta", L"Old"}},
      {"no leaves it unticked", IDNO, {L"Beta"}},
  };
  RegisterOwnItem();
  MakeTodayItem(L"Old", L"", 1, 0xDEAD);  // no "STVersion"
  MakeTodayItem(L"Beta", L"", 0);
  MakeTodayItem(L"Kind3", L"", 1, 1, 3);  // not a custom item: never offered
  MakeTodayItem(L"Elsewhere", L"\"Other\"", 0);
  MakeTodayItem(L"\"Ardeno\"", L"", 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Messages().clear();
    static int answer;
    answer = c.answer;
    PFN_MESSAGE_BOX previous = SetMessageBoxHandler([](HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
      Messages().push_back({text, caption, type});
      return answer;
    });
    std::vector<std::wstring> rows;
    bool greyedTicked = true;
    CTodayItemPickerDlg picker(nullptr);
    CTabDialogScript script({nullptr,
                             [&](HWND dialog) {
                               HWND list = GetDlgItem(dialog, IDC_PICKER_LIST);
                               rows = ListRows(list);
                               for (int row = 0; row < 3; ++row) ListView_SetCheckState(list, row, TRUE);
                               ListView_SetCheckState(list, 3, TRUE);
                               greyedTicked = ListView_GetCheckState(list, 3) == 1;  // no check box at all: -1
                               // Down from the last available row does not reach the greyed one.
                               ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
                               SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
                               EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
                               ShowWindow(dialog, SW_SHOW);
                               UpdateWindow(dialog);
                               MSG msg;
                               while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
                               CTabDialogScript::Press(dialog, IDOK);
                             },
                             nullptr});
    EXPECT_EQ(picker.DoModal(m_window), IDOK);
    SetMessageBoxHandler(previous);
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"Ardeno", L"Beta", L"Old", L"Elsewhere"}));
    EXPECT_FALSE(greyedTicked);
    std::vector<std::wstring> result;
    for (const TodayItemInfo& item : picker.GetResult()) result.push_back(item.keyName.GetString());
    std::vector<std::wstring> expected = {L"\"Ardeno\""};
    expected.insert(expected.end(), c.result.begin(), c.result.end());
    EXPECT_EQ(result, expected);
    CString confirm, warning;
    LoadTranslatedString(confirm, IDS_CONFIRM_UNKNOWN_ITEM);
    LoadTranslatedString(warning, IDS_ITEMS_INTEGRATED_WARNING);
    std::vector<std::wstring> shown;
    for (const ShownMessage& m : Messages()) shown.push_back(m.text);
    EXPECT_EQ(shown, (std::vector<std::wstring>{confirm.GetString(), warning.GetString()}))
        << "the confirmation, then the one-time warning about greyed rows";
    EXPECT_EQ(Stored(L"ShownPluginIntegratedWarning"), 1u);
  }
}

}  // namespace
