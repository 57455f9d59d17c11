#include "settings/pages/MessagesFilterPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/aygshell.h"
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
  static CTaggedBlob Folder(ULONGLONG id) {
    const std::string bytes = mapitest::Entry(MAPI_FOLDER, id);
    CTaggedBlob folder;
    EXPECT_TRUE(MakeMailFolder(CTaggedBlob::KindM, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()), L"Somewhere", folder));
    return folder;
  }
  void StoreFilter(const wchar_t* name, ULONGLONG folder) {
    EMAIL_ACCOUNT filter;
    filter.AddFolder(Folder(folder));
    Bytes data;
    ASSERT_TRUE(CMailFoldersFilters::Encode(filter, data));
    m_machine.Key(TARVO_MAIL_FILTERS_KEY).Write(name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
  }
  static EMAIL_ACCOUNT Stored(const std::wstring& name) {
    CMailFoldersFilters filters;
    filters.Load(TRUE);
    const int index = filters.Find(name.c_str());
    EMAIL_ACCOUNT none;
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
  const EMAIL_ACCOUNT applied = Stored(L"Folders 5");
  ASSERT_EQ(applied.folders.GetCount(), 3);
  EXPECT_TRUE(applied.FindFolder(Folder(mapitest::kProjects)) >= 0);
  EXPECT_TRUE(applied.FindFolder(Folder(mapitest::kSent)) >= 0);
  EXPECT_EQ(StoredText(L"EmailFilter"), L"Folders 5");
  // The others are kept, the standard filters were made.
  EXPECT_EQ(Stored(L"Folders 4").folders.GetCount(), 1);
  EXPECT_EQ(Stored(Text(IDS_MAIL_FILTER_INBOX)).folders.GetCount(), 1);
  EXPECT_EQ(StoredText(L"KnownEmailAccounts"), L"Mail");
}

TEST_F(MessagesFilterPageTest, ApplyingTheUnnamedNewFilterLeavesTheShownFilterAlone) {
  Product().WriteString(L"EmailFilter", L"Elsewhere");
  RunPage(5, 1, [&](HWND) {}, {IDOK});
  EXPECT_EQ(StoredText(L"EmailFilter"), L"Elsewhere");
  EXPECT_EQ(Stored(Text(IDS_MAIL_FILTER_OUTBOX)).folders.GetCount(), 1);
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
  const EMAIL_ACCOUNT inbox = Stored(Text(IDS_MAIL_FILTER_INBOX));
  ASSERT_EQ(inbox.folders.GetCount(), 1);
  const EMAIL_ACCOUNT copy = Stored(L"My inbox");
  EXPECT_EQ(copy.folders.GetCount(), 2);
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

namespace {

// The controls below the tree as the template places them, and where the page has
// them now (page coordinates).
struct FilterPagePlaces {
  RECT tree, label, name, end;
};

FilterPagePlaces TemplatePlaces(HWND page) {
  // The template's dialog units: tree, label 1042, folder names 1044, end line 1041.
  FilterPagePlaces places = {{4, 34, 128, 128}, {4, 132, 128, 142}, {4, 143, 128, 0}, {4, 157, 128, 159}};
  for (RECT* r : {&places.tree, &places.label, &places.name, &places.end}) MapDialogRect(page, r);
  return places;
}

FilterPagePlaces CurrentPlaces(HWND page) {
  FilterPagePlaces places;
  const std::pair<int, RECT*> controls[] = {{kFolderTree, &places.tree}, {kFolderNameLabel, &places.label},
                                            {kFolderNameCombo, &places.name}, {kFilterPageEnd, &places.end}};
  for (const auto& control : controls) {
    GetWindowRect(GetDlgItem(page, control.first), control.second);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(control.second), 2);
  }
  return places;
}

// When the page's visible height reaches the end line, the tree gives up the
// difference and the controls below it move up by as much; with room they go back
// to the template's places. A zero height moves nothing.
TEST_F(MessagesFilterPageTest, TheControlsBelowTheTreeStayAboveTheVisibleHeight) {
  struct Case {
    const char* name;
    int overEnd;  // visible height less the end line's bottom; INT_MIN: a zero height
    int shift;    // how far the controls below the tree move up; -1: the tree's whole height
  };
  const Case cases[] = {
      {"room to spare", 40, 0},      {"just the end line", 0, 0}, {"thirty short", -30, 30},
      {"back with room", 1, 0},      {"no height", INT_MIN, 0},  {"shorter than the tree", -100000, -1},
  };
  RunPage(
      5, 1,
      [&](HWND page) {
        const FilterPagePlaces at = TemplatePlaces(page);
        const int treeHeight = at.tree.bottom - at.tree.top;
        FilterPagePlaces last = CurrentPlaces(page);
        for (const Case& c : cases) {
          SCOPED_TRACE(c.name);
          const int height = c.overEnd == INT_MIN ? 0 : std::max(1, static_cast<int>(at.end.bottom) + c.overEnd);
          SendMessageW(page, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, height));
          const FilterPagePlaces now = CurrentPlaces(page);
          if (c.overEnd == INT_MIN) {
            EXPECT_TRUE(EqualRect(&now.tree, &last.tree));
            EXPECT_EQ(now.name.top, last.name.top);
            continue;
          }
          const int shift = c.shift < 0 ? treeHeight : c.shift;
          EXPECT_EQ(now.tree.top, at.tree.top);
          EXPECT_EQ(now.tree.left, at.tree.left);
          EXPECT_EQ(now.tree.right, at.tree.right);
          EXPECT_EQ(now.tree.bottom, at.tree.bottom - shift);
          EXPECT_EQ(now.label.top, at.label.top - shift);
          EXPECT_EQ(now.name.top, at.name.top - shift);
          EXPECT_EQ(now.name.left, at.name.left);
          EXPECT_EQ(now.end.top, at.end.top - shift);
          // The folder-name box keeps its size: only moved.
          EXPECT_EQ(now.name.right - now.name.left, last.name.right - last.name.left);
          EXPECT_EQ(now.name.bottom - now.name.top, last.name.bottom - last.name.top);
          last = now;
        }
      },
      {IDCANCEL});
}

// The input panel rising: the visible height is the smaller of the page's and the
// panel's visible desktop; lowering it brings the controls back.
TEST_F(MessagesFilterPageTest, TheInputPanelMovesTheFolderNameUpAndBack) {
  AygTestShowInputPanel(FALSE);
  RunPage(
      5, 1,
      [&](HWND page) {
        const FilterPagePlaces at = TemplatePlaces(page);
        SendMessageW(page, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, at.end.bottom + 50));
        MoveWindow(page, 0, 0, 240, at.end.bottom + 50, FALSE);
        AygTestShowInputPanel(TRUE);
        SIPINFO sip = {};
        sip.cbSize = sizeof(sip);
        ASSERT_TRUE(SipGetInfo(&sip));
        RECT client = {};
        GetClientRect(page, &client);
        const int visible = std::min(static_cast<int>(client.bottom),
                                     static_cast<int>(sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top));
        ASSERT_LT(visible, at.end.bottom) << "the panel covers the end line";
        SendMessageW(page, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
        FilterPagePlaces up = CurrentPlaces(page);
        const int shift = std::min(static_cast<int>(at.end.bottom) - visible, static_cast<int>(at.tree.bottom - at.tree.top));
        EXPECT_EQ(up.name.top, at.name.top - shift);
        EXPECT_EQ(up.tree.bottom, at.tree.bottom - shift);
        // Another setting changes nothing.
        SendMessageW(page, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
        FilterPagePlaces still = CurrentPlaces(page);
        EXPECT_EQ(still.name.top, up.name.top);
        AygTestShowInputPanel(FALSE);
        SendMessageW(page, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
        FilterPagePlaces down = CurrentPlaces(page);
        EXPECT_EQ(down.name.top, at.name.top);
        EXPECT_EQ(down.tree.bottom, at.tree.bottom);
      },
      {IDCANCEL});
}

}  // namespace
