#include "settings/pages/MessagesFilterPage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cemapi/tests/MapiTestSupport.h"
#include "res/TarvoResIds.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

using Bytes = std::vector<BYTE>;

// The messaging fixture's stores ("Mail" over ActiveSync, shown as "Outlook
// E-mail"), the filters the user had, and the page's sheet.
class MessagesFilterPageTest : public PageRunTest {
 protected:
  void SetUp() override {
    PageRunTest::SetUp();
    mapitest::InstallFixture();
    m_machine.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\ActiveSync").WriteString(L"FriendlyName", L"Outlook E-mail");
  }
  void TearDown() override {
    mapitest::RemoveStores();
    PageRunTest::TearDown();
  }

  static std::wstring Text(UINT id) {
    wchar_t text[128] = L"";
    LoadStringW(GetModule().GetResourceInstance(), id, text, 128);
    return text;
  }
  static FOLDER_ENTRY Folder(ULONGLONG id) {
    const std::string bytes = mapitest::Entry(MAPI_FOLDER, id);
    return FOLDER_ENTRY{FOLDER_KIND_MAPI, Bytes(bytes.begin(), bytes.end())};
  }
  void StoreFilter(const wchar_t* name, ULONGLONG folder) {
    MAIL_FILTER filter;
    filter.AddEntry(Folder(folder), L"Somewhere");
    Bytes data;
    ASSERT_TRUE(CMailFoldersFilters::Encode(filter, data));
    m_machine.Key(TARVO_MAIL_FILTERS_KEY).Write(name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
  }
  static MAIL_FILTER Stored(const std::wstring& name) {
    CMailFoldersFilters filters;
    filters.Load(TRUE);
    const int index = filters.FindByName(name.c_str());
    MAIL_FILTER none;
    none.name = L"(none)";
    return index < 0 ? none : filters.GetAt(index);
  }

  // The tree's item of that text below the account.
  static HTREEITEM Item(HWND page, const wchar_t* text) {
    HWND tree = GetDlgItem(page, kFolderTree);
    HTREEITEM account = TreeView_GetRoot(tree);
    for (HTREEITEM item = TreeView_GetChild(tree, account); item; item = TreeView_GetNextSibling(tree, item)) {
      wchar_t label[64] = L"";
      TVITEMW tvi{};
      tvi.mask = TVIF_HANDLE | TVIF_TEXT;
      tvi.hItem = item;
      tvi.pszText = label;
      tvi.cchTextMax = 64;
      TreeView_GetItem(tree, &tvi);
      if (std::wstring(label) == text) return item;
    }
    return nullptr;
  }
  // Enter on a folder, as the tree reports it to the page.
  static void Toggle(HWND page, const wchar_t* text) {
    HWND tree = GetDlgItem(page, kFolderTree);
    HTREEITEM item = Item(page, text);
    ASSERT_NE(item, nullptr) << text;
    TreeView_SelectItem(tree, item);
    NMHDR header{tree, static_cast<UINT_PTR>(kFolderTree), static_cast<UINT>(NM_RETURN)};
    SendMessageW(page, WM_NOTIFY, kFolderTree, reinterpret_cast<LPARAM>(&header));
  }
  static std::wstring EditText(HWND page) {
    wchar_t text[128] = L"";
    GetDlgItemTextW(page, kFilterCombo, text, 128);
    return text;
  }
  static void ChooseFilter(HWND page, const std::wstring& name) {
    const int count = ItemCount(page, kFilterCombo);
    for (int i = 0; i < count; ++i)
      if (ItemText(page, kFilterCombo, i) == name) return Choose(page, kFilterCombo, i);
    ADD_FAILURE() << "no filter " << std::string(name.begin(), name.end());
  }
};

TEST_F(MessagesFilterPageTest, ANewFilterIsNamedAfterItsFoldersAndAppliedWhenNamed) {
  StoreFilter(L"Folders 1", mapitest::kInbox);
  StoreFilter(L"Folders 4", mapitest::kOutbox);
  Product().WriteString(L"EmailFilter", L"Folders 1");
  std::vector<std::wstring> names;
  RunPage(
      5, 1,
      [&](HWND page) {
        names.push_back(ItemText(page, kFilterCombo, 0));
        EXPECT_FALSE(Enabled(page, kDeleteFilterButton));
        Toggle(page, L"Projects");
        names.push_back(EditText(page));
        Toggle(page, L"Drafts");
        names.push_back(EditText(page));
        Toggle(page, L"Drafts");
        names.push_back(EditText(page));
        Toggle(page, L"Sent Items");
        Toggle(page, L"Deleted Items");
        names.push_back(EditText(page));
      },
      {IDOK});
  EXPECT_EQ(names, (std::vector<std::wstring>{Text(IDS_FILTER_DEFAULT_NAME), L"Outlook E-mail - Projects",
                                              L"Folders 5", L"Outlook E-mail - Projects", L"Folders 5"}));
  const MAIL_FILTER applied = Stored(L"Folders 5");
  ASSERT_EQ(applied.entries.size(), 3u);
  EXPECT_TRUE(applied.FindEntry(Folder(mapitest::kProjects)) >= 0);
  EXPECT_TRUE(applied.FindEntry(Folder(mapitest::kSent)) >= 0);
  EXPECT_EQ(StoredText(L"EmailFilter"), L"Folders 5");
  // The others are kept, the standard filters were made.
  EXPECT_EQ(Stored(L"Folders 4").entries.size(), 1u);
  EXPECT_EQ(Stored(Text(IDS_MAIL_FILTER_INBOX)).entries.size(), 1u);
  EXPECT_EQ(StoredText(L"KnownEmailAccounts"), L"Mail");
}

TEST_F(MessagesFilterPageTest, ApplyingTheUnnamedNewFilterLeavesTheShownFilterAlone) {
  Product().WriteString(L"EmailFilter", L"Elsewhere");
  RunPage(5, 1, [&](HWND) {}, {IDOK});
  EXPECT_EQ(StoredText(L"EmailFilter"), L"Elsewhere");
  EXPECT_EQ(Stored(Text(IDS_MAIL_FILTER_OUTBOX)).entries.size(), 1u);
  EXPECT_EQ(Stored(Text(IDS_FILTER_DEFAULT_NAME)).name, L"(none)");
}

TEST_F(MessagesFilterPageTest, TheInboxFilterIsCopiedWhenRenamedAndNeverDeleted) {
  std::vector<int> ticked;
  bool deleteEnabled = true;
  RunPage(
      5, 1,
      [&](HWND page) {
        ChooseFilter(page, Text(IDS_MAIL_FILTER_INBOX));
        deleteEnabled = Enabled(page, kDeleteFilterButton);
        ticked.push_back(TreeView_GetCheckState(GetDlgItem(page, kFolderTree), Item(page, L"Inbox")));
        SetDlgItemTextW(page, kFilterCombo, L"My inbox");
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(kFilterCombo, CBN_EDITCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, kFilterCombo)));
        Toggle(page, L"Projects");
      },
      {IDOK});
  EXPECT_FALSE(deleteEnabled);
  EXPECT_EQ(ticked, std::vector<int>{1});
  const MAIL_FILTER inbox = Stored(Text(IDS_MAIL_FILTER_INBOX));
  ASSERT_EQ(inbox.entries.size(), 1u);
  const MAIL_FILTER copy = Stored(L"My inbox");
  EXPECT_EQ(copy.entries.size(), 2u);
  EXPECT_EQ(StoredText(L"EmailFilter"), L"My inbox");
}

TEST_F(MessagesFilterPageTest, DeletingAsksFirst) {
  StoreFilter(L"Old", mapitest::kInbox);
  for (int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer);
    static int s_answer;
    s_answer = answer;
    PFN_MESSAGE_BOX previous = SetMessageBoxHandler([](HWND, LPCWSTR, LPCWSTR, UINT type) {
      EXPECT_EQ(type & MB_YESNO, static_cast<UINT>(MB_YESNO));
      return s_answer;
    });
    RunPage(
        5, 1,
        [&](HWND page) {
          ChooseFilter(page, L"Old");
          EXPECT_TRUE(Enabled(page, kDeleteFilterButton));
          Click(page, kDeleteFilterButton);
        },
        {IDOK});
    SetMessageBoxHandler(previous);
    EXPECT_EQ(Stored(L"Old").name == L"Old", answer == IDNO);
  }
}

}  // namespace
