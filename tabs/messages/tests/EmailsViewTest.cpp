// The Messages tab over the device's sample stores: the row tree for each filter, sort
// order and display switch, groups of accounts whose folder names differ only in
// case, the empty list's row, the sort order validated and written back, a rebuild
// on every change the list tells, the tab's menu, the preview a tap opens and the
// marking it does, and the choice of an account by its index.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/GroupHeaderItem.h"
#include "panel/PanelPrompt.h"
#include "panel/GroupHeaderRow.h"
#include "panel/tests/ListTabHost.h"
#include "panel/tests/PanelTestSupport.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "tabs/messages/EmailAccountFilter.h"
#include "tabs/messages/EmailItem.h"
#include "tabs/messages/EmailRowItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/EmailsView.h"
#include "tabs/messages/MailFoldersFilters.h"
#include "tabs/messages/MailPreviewWnd.h"
#include "tabs/messages/tests/SampleStoreSupport.h"

using namespace mapitest;
using sampletest::Folder;

namespace {

const ULONGLONG kAsInbox = 0x10002, kAsSent = 0x10004, kAsGarden = 0x10008, kAsKitchen = 0x10009;
const ULONGLONG kSmsInbox = 0x20002;
const ULONGLONG kAsDeleted = 0x10005;
const ULONGLONG kLunch = 0x11001;

// The account filter as a test sets it: the record shown, the switches, and the
// record named when a name is chosen.
class CFakeChoice : public IEmailAccountChoice {
 public:
  const EMAIL_ACCOUNT* GetCurrentFilter() override { return &record; }
  BOOL GetShowEmptyAccounts() override { return showEmpty; }
  BOOL GetOnlyUnread() override { return onlyUnread; }
  BOOL SelectByName(LPCWSTR name) override {
    chosen.push_back(name);
    if (std::wstring(name) != L"Inbox") return FALSE;
    record = all;
    return TRUE;
  }
  void Reload() override {
    ++reloads;
    if (duringReload) duringReload();
  }
  void Show(std::initializer_list<CTaggedBlob> folders) {
    record = EMAIL_ACCOUNT();
    for (const CTaggedBlob& folder : folders) record.folders.Add(folder);
  }
  EMAIL_ACCOUNT record, all;
  BOOL showEmpty = FALSE, onlyUnread = FALSE;
  std::vector<std::wstring> chosen;
  int reloads = 0;
  std::function<void()> duringReload;
};

// "Folder/account(unread)[subject,...] " per group, "none" for the empty list's row.
std::wstring Tree(CEmailsView& view) {
  std::wstring out;
  CContainerElement* content = view.GetContentList();
  if (!content) return L"no content";
  for (int i = 0; i < content->GetChildCount(); ++i) {
    CListItem* child = content->GetChild(i);
    if (child->GetKind() == ITEM_KIND_GROUP_HEADER) {
      out += L"none ";
      continue;
    }
    auto* header = dynamic_cast<CGroupHeaderRow*>(child);
    if (!header) {
      out += L"? ";
      continue;
    }
    CString title, account;
    header->GetTitle(title);
    header->GetSecondText(account);
    out += std::wstring(title) + L"/" + std::wstring(account) + L"(" + std::to_wstring(header->GetUnreadCount()) + L")[";
    for (int j = 0; j < header->GetChildCount(); ++j) {
      auto* row = dynamic_cast<CEmailRowItem*>(header->GetChild(j));
      out += (j ? L"," : L"") + (row ? std::wstring(row->GetItem()->subject) : std::wstring(L"?"));
    }
    out += L"] ";
  }
  return out;
}

class EmailsViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(resources_.Loaded());
    ASSERT_TRUE(machine_.Redirected());
    sampletest::RegisterSampleServices(machine_);
    ASSERT_TRUE(sampletest::InstallSampleStores());
    GetViewSettings().Load();
    choice_.all.folders.Add(Folder(kAsInbox, L"Inbox"));
    choice_.all.folders.Add(Folder(kSmsInbox, L"Inbox"));
    choice_.all.folders.Add(Folder(kAsSent, L"Sent Items"));
  }
  void TearDown() override {
    list_.Done();
    SetPanelMessageHook(nullptr);
    CMailPreviewWnd::SetMarkRead(nullptr);
    GetViewSettings().Load();
    CoUninitialize();
  }
  void Set(const wchar_t* name, DWORD value) { CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY).SetDWORD(name, value); }
  DWORD Get(const wchar_t* name) { return Number(machine_.Key(TARVO_PRODUCT_KEY), name); }
  // A current tab in a host with its rows built.
  std::unique_ptr<CEmailsView> MakeView() {
    std::unique_ptr<CEmailsView> view(new CEmailsView(nullptr, &list_, &choice_));
    host_.Add(*view);
    view->Activate();
    view->RefreshNow();
    return view;
  }
  // A current tab with its own account filter selector, over the filters a fresh
  // device's start writes.
  std::unique_ptr<CEmailsView> MakeViewWithItsSelector() {
    CMailFoldersFilters& filters = GetMailFoldersFilters();
    filters.Load(TRUE);
    filters.UpdateKnownAccounts(list_.GetSession(), TRUE);
    std::unique_ptr<CEmailsView> view(new CEmailsView(nullptr, &list_));
    host_.Add(*view);
    view->Activate();
    view->RefreshNow();
    return view;
  }
  // The row of that message in the first group, null when it is not shown.
  static CEmailRowItem* Row(CEmailsView& view, const wchar_t* subject) {
    auto* group = static_cast<CContainerElement*>(view.GetContentList()->GetChild(0));
    for (int i = 0; group && i < group->GetChildCount(); ++i) {
      auto* row = dynamic_cast<CEmailRowItem*>(group->GetChild(i));
      if (row && std::wstring(row->GetItem()->subject) == subject) return row;
    }
    return nullptr;
  }

  CResourceLibraryScope resources_;
  CLocalMachineSandbox machine_{L"EmailsViewTest"};
  CEmailsList list_;
  CFakeChoice choice_;
  ListTabHost host_;
};

// Each sort order over the ActiveSync inbox; "EmailSorting" 7 is order 0, written back.
TEST_F(EmailsViewTest, SortOrders) {
  choice_.Show({Folder(kAsInbox, L"Inbox")});
  struct Case {
    DWORD stored;
    int order;
    const wchar_t* tree;
  } const cases[] = {
      {0, 0, L"Inbox/ActiveSync(3)[Lunch on Friday?,Quarterly report (header only),Photos from the weekend,March newsletter] "},
      {1, 1, L"Inbox/ActiveSync(3)[Photos from the weekend,Lunch on Friday?,March newsletter,Quarterly report (header only)] "},
      {2, 2, L"Inbox/ActiveSync(3)[Lunch on Friday?,March newsletter,Photos from the weekend,Quarterly report (header only)] "},
      {3, 3, L"Inbox/ActiveSync(3)[Quarterly report (header only),Photos from the weekend,March newsletter,Lunch on Friday?] "},
      {7, 0, L"Inbox/ActiveSync(3)[Lunch on Friday?,Quarterly report (header only),Photos from the weekend,March newsletter] "},
  };
  for (const Case& c : cases) {
    Set(L"EmailSorting", c.stored);
    std::unique_ptr<CEmailsView> view = MakeView();
    EXPECT_EQ(view->GetSortOrder(), c.order) << c.stored;
    EXPECT_EQ(Get(L"EmailSorting"), static_cast<DWORD>(c.order)) << c.stored;
    EXPECT_EQ(view->GetSortSelector()->GetSelectedId(), 0xF000 + c.order);
    EXPECT_EQ(Tree(*view), c.tree) << c.stored;
    EXPECT_EQ(view->GetMessageCount(), 4);
  }
  // A choice in the sort selector is stored and followed at once.
  std::unique_ptr<CEmailsView> view = MakeView();
  view->GetSortSelector()->SetSelection(0xF002, TRUE);
  EXPECT_EQ(Get(L"EmailSorting"), 2u);
  EXPECT_EQ(Tree(*view), cases[2].tree);
}

// The panel lays out and loads every tab at its start: a tab not on show reads no
// store then (the first tab paints without waiting for the messages); shown, it
// reads them and has every message.
TEST_F(EmailsViewTest, StoresAreReadWhenTheTabIsShown) {
  choice_.Show({Folder(kAsInbox, L"Inbox")});
  std::unique_ptr<CEmailsView> view(new CEmailsView(nullptr, &list_, &choice_));
  host_.Add(*view);
  view->LoadSettings();
  EXPECT_EQ(list_.GetAccountCount(), 0);
  view->Activate();
  EXPECT_EQ(list_.GetAccountCount(), 1);
  EXPECT_EQ(view->GetMessageCount(), 4);
  EXPECT_EQ(Tree(*view), L"Inbox/ActiveSync(3)[Lunch on Friday?,Quarterly report (header only),Photos from the weekend,March newsletter] ");
}

// Folders whose names differ only in case are one group with the messages of both
// accounts; empty accounts show only with "EmailShowEmptyAccounts"; with no messages
// and the switch off the tab has only its empty row.
TEST_F(EmailsViewTest, GroupsPerFilterAndSwitch) {
  struct Case {
    std::vector<CTaggedBlob> folders;
    BOOL showEmpty;
    BOOL onlyUnread;
    const wchar_t* tree;
  } const cases[] = {
      {{Folder(kAsInbox, L"Inbox"), Folder(kSmsInbox, L"INBOX")}, FALSE, FALSE,
       L"Inbox/ActiveSync(5)[Running 10 min late, order for me please,Lunch on Friday?,Quarterly report (header "
       L"only),Picture message,Photos from the weekend,March newsletter,Your parcel is at the pick-up point] "},
      {{Folder(kSmsInbox, L"inbox"), Folder(kAsSent, L"Sent Items")}, FALSE, TRUE,
       L"inbox/SMS(2)[Running 10 min late, order for me please,Picture message] "},
      {{Folder(kAsKitchen, L"Kitchen"), Folder(kAsGarden, L"Garden")}, FALSE, FALSE,
       L"Garden/ActiveSync(1)[Compost delivery] "},
      {{Folder(kAsKitchen, L"Kitchen"), Folder(kAsGarden, L"Garden")}, TRUE, FALSE,
       L"Garden/ActiveSync(1)[Compost delivery] Kitchen/ActiveSync(0)[] "},
      {{Folder(kAsKitchen, L"Kitchen")}, FALSE, FALSE, L"none "},
      {{Folder(kAsKitchen, L"Kitchen")}, TRUE, FALSE, L"Kitchen/ActiveSync(0)[] "},
      {{Folder(0x999, L"Gone")}, TRUE, FALSE, L"none "},
      {{}, FALSE, FALSE, L"none "},
  };
  for (const Case& c : cases) {
    choice_.record = EMAIL_ACCOUNT();
    for (const CTaggedBlob& folder : c.folders) choice_.record.folders.Add(folder);
    choice_.showEmpty = c.showEmpty;
    choice_.onlyUnread = c.onlyUnread;
    std::unique_ptr<CEmailsView> view = MakeView();
    view->LoadSettings();
    view->RefreshNow();
    EXPECT_EQ(Tree(*view), c.tree);
  }
}

// Rows are indented with "NoteMakeIndent"; each row gets the measured columns.
TEST_F(EmailsViewTest, RowsFollowTheIndentSetting) {
  choice_.Show({Folder(kAsGarden, L"Garden")});
  for (int indent : {0, 1}) {
    GetViewSettings().NoteMakeIndent = indent;
    std::unique_ptr<CEmailsView> view = MakeView();
    auto* header = dynamic_cast<CGroupHeaderRow*>(view->GetContentList()->GetChild(0));
    ASSERT_NE(header, nullptr);
    auto* row = dynamic_cast<CEmailRowItem*>(header->GetChild(0));
    ASSERT_NE(row, nullptr);
    row->GetHeight(-1);
    EXPECT_EQ(row->GetFirstLineRect().left, indent ? 24 : 16);
    EXPECT_GT(row->GetTimeRect().right - row->GetTimeRect().left, 0);
  }
}

// Every call of the list's listener builds the rows anew from the list, whatever it
// names; a tab that is not current builds when it next shows.
TEST_F(EmailsViewTest, EveryListenerCallRebuilds) {
  choice_.Show({Folder(kAsInbox, L"Inbox")});
  std::unique_ptr<CEmailsView> view = MakeView();
  const int account = list_.FindOrAddStore(Folder(kAsInbox, L"Inbox"));
  EMAIL_ITEM* first = nullptr;
  ASSERT_TRUE(list_.GetFirstItem(account, &first));
  first->subject = L"Changed in the list";
  view->OnEmailChanged(nullptr, nullptr);
  EXPECT_NE(Tree(*view).find(L"Changed in the list"), std::wstring::npos);
  first->subject = L"Changed again";
  view->OnEmailAdded(first);
  EXPECT_NE(Tree(*view).find(L"Changed again"), std::wstring::npos);
  choice_.onlyUnread = TRUE;
  list_.SetOnlyUnread(TRUE);
  view->OnEmailDeleted(first, 1);
  EXPECT_EQ(view->GetMessageCount(), 3);
  view->Deactivate();
  list_.SetOnlyUnread(FALSE);
  view->OnEmailChanged(first, first);
  EXPECT_EQ(view->GetMessageCount(), 3) << "not current: nothing built yet";
  EXPECT_TRUE(view->NeedsRebuild());
  view->Activate();
  EXPECT_EQ(view->GetMessageCount(), 4);
}

// The tab's own menu: account commands, folding entries on a header, and the sort
// orders while the header is hidden.
TEST_F(EmailsViewTest, ContextMenu) {
  choice_.Show({Folder(kAsGarden, L"Garden")});
  std::unique_ptr<CEmailsView> view = MakeView();
  auto entries = [&](LPARAM argument) {
    HMENU menu = CreatePopupMenu();
    view->FillContextMenu(menu, argument);
    const std::vector<int> ids = MenuIds(menu);
    DestroyMenu(menu);
    return ids;
  };
  const std::vector<int> plain = entries(0);
  ASSERT_GE(plain.size(), 4u);
  EXPECT_EQ(std::vector<int>(plain.begin(), plain.begin() + 4), (std::vector<int>{1045, 1030, 1425, 0}));
  EXPECT_EQ(std::count(plain.begin(), plain.end(), 1022), 0);
  EXPECT_EQ(plain.back(), 1027) << "no sort orders while the header shows them";

  // The header hidden: the sort orders close the menu, the current one checked.
  Set(L"HeaderMinimized", 2);
  Set(L"EmailSorting", 1);
  view = MakeView();
  view->LoadSettings();
  HMENU menu = CreatePopupMenu();
  view->FillContextMenu(menu, 0);
  HMENU sort = GetSubMenu(menu, GetMenuItemCount(menu) - 1);
  ASSERT_NE(sort, nullptr);
  EXPECT_EQ(MenuIds(sort), (std::vector<int>{0xF000, 0xF001, 0xF002, 0xF003}));
  EXPECT_TRUE(GetMenuState(sort, 0xF001, MF_BYCOMMAND) & MF_CHECKED);
  DestroyMenu(menu);
}

// A tap on a message row in one-tap mode 2 (and a tap on its icon in any mode) opens
// the preview with the row's message; closing it marks the message read in the store.
TEST_F(EmailsViewTest, PreviewOpensAndMarksRead) {
  Set(L"Messages_SetAsReadedPreview", 1);
  CEmailsView::Install();
  choice_.Show({Folder(kAsInbox, L"Inbox")});
  std::unique_ptr<CEmailsView> view = MakeView();
  auto* header = dynamic_cast<CGroupHeaderRow*>(view->GetContentList()->GetChild(0));
  ASSERT_NE(header, nullptr);
  auto* lunch = dynamic_cast<CEmailRowItem*>(header->GetChild(0));
  ASSERT_NE(lunch, nullptr);
  ASSERT_EQ(std::wstring(lunch->GetItem()->subject), L"Lunch on Friday?");
  view->OnItemReleased(lunch);
  CMailPreviewWnd* preview = view->GetPreview();
  ASSERT_NE(preview, nullptr);
  ASSERT_TRUE(IsWindow(preview->m_hWnd));
  EXPECT_EQ(std::wstring(preview->GetSubjectText()), L"Lunch on Friday?");
  SendMessageW(preview->m_hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(sampletest::StoredLong(kLunch, PR_MESSAGE_FLAGS) & MSGFLAG_READ, MSGFLAG_READ);

  // One-tap mode 0: a tap leaves the preview to the icon.
  Set(L"EmailsOneTap", 0);
  std::unique_ptr<CEmailsView> quiet = MakeView();
  quiet->LoadSettings();
  auto* row = dynamic_cast<CEmailRowItem*>(
      static_cast<CContainerElement*>(quiet->GetContentList()->GetChild(0))->GetChild(0));
  ASSERT_NE(row, nullptr);
  quiet->OnItemReleased(row);
  EXPECT_EQ(quiet->GetPreview(), nullptr);
  quiet->OnItemNotify(row, ROW_EVENT_PREVIEW);
  EXPECT_NE(quiet->GetPreview(), nullptr);
}

// With its own selector the tab shows the filter chosen there (on a fresh device the
// inbox filter, each account's inbox under its name), and its switches act at once.
TEST_F(EmailsViewTest, TheAccountFilterSelectorChoosesWhatShows) {
  CMailFoldersFilters& filters = GetMailFoldersFilters();
  std::unique_ptr<CEmailsView> view = MakeViewWithItsSelector();
  auto* selector = dynamic_cast<CEmailAccountFilter*>(view->GetFilterSelector());
  ASSERT_NE(selector, nullptr);
  ASSERT_GE(selector->GetSelectedIndex(), 0) << "the selector names the inbox filter it shows";
  EXPECT_EQ(std::wstring(selector->GetItem(selector->GetSelectedIndex()).text), L"Inbox");
  EXPECT_EQ(view->GetMessageCount(), 7);
  const std::wstring all = Tree(*view);
  EXPECT_NE(all.find(L"(3)[Lunch on Friday?,Quarterly report (header only),Photos from the weekend,March newsletter]"),
            std::wstring::npos)
      << all;

  selector->OnItemChosen(EMAIL_FILTER_CMD_ONLY_UNREAD);
  EXPECT_TRUE(list_.GetOnlyUnread());
  EXPECT_EQ(view->GetMessageCount(), 5);
  EXPECT_EQ(Tree(*view).find(L"March newsletter"), std::wstring::npos);
  selector->OnItemChosen(EMAIL_FILTER_CMD_ONLY_UNREAD);
  EXPECT_EQ(view->GetMessageCount(), 7);

  // Another record from the "more" submenu: the sent items.
  const int sent = filters.Find(L"Sent Items");
  ASSERT_GE(sent, 0);
  selector->OnItemChosen(EMAIL_FILTER_CMD_MORE + sent);
  EXPECT_NE(Tree(*view).find(L"Re: Lunch on Friday?"), std::wstring::npos) << Tree(*view);
  EXPECT_EQ(Tree(*view).find(L"March newsletter"), std::wstring::npos);
}

// The options program's filter page changes the records and the chosen filter while
// the tab runs; at the settings load the selector shows what is stored now: the
// filter it showed, found by name although the records moved, or the filter chosen
// on the page.
TEST_F(EmailsViewTest, TheSettingsLoadTakesTheFiltersAsStoredNow) {
  CMailFoldersFilters& filters = GetMailFoldersFilters();
  filters.Load(TRUE);
  filters.UpdateKnownAccounts(list_.GetSession(), TRUE);
  // In the order the registry gives them, as a running plug-in holds them.
  filters.Load(TRUE);
  std::unique_ptr<CEmailsView> view(new CEmailsView(nullptr, &list_));
  host_.Add(*view);
  view->Activate();
  view->RefreshNow();
  auto* selector = dynamic_cast<CEmailAccountFilter*>(view->GetFilterSelector());
  ASSERT_NE(selector, nullptr);
  auto shown = [&] {
    const int at = selector->GetSelectedIndex();
    return at < 0 ? std::wstring(L"nothing") : std::wstring(selector->GetItem(at).text);
  };
  // The sent items chosen in the tab.
  selector->OnItemChosen(EMAIL_FILTER_CMD_MORE + filters.Find(L"Sent Items"));
  ASSERT_EQ(shown(), L"Sent Items");

  // A filter before it deleted on the page: the records move up by one, and the
  // plug-in reads them again before the tabs load their settings.
  const int deleted = filters.Find(L"Deleted Items");
  ASSERT_GE(deleted, 0);
  ASSERT_LT(deleted, filters.Find(L"Sent Items"));
  filters.RemoveAt(deleted);
  filters.Save();
  filters.Load(TRUE);
  view->OnSettingsChanged();
  view->RefreshNow();
  EXPECT_EQ(shown(), L"Sent Items");
  EXPECT_NE(Tree(*view).find(L"Re: Lunch on Friday?"), std::wstring::npos) << Tree(*view);

  // Another filter chosen on the page: "EmailFilter" names it.
  filters.SetActiveFilter(filters.Find(L"Outlook E-mail"));
  view->OnSettingsChanged();
  view->RefreshNow();
  EXPECT_EQ(shown(), L"Outlook E-mail");
  EXPECT_NE(Tree(*view).find(L"Quarterly report"), std::wstring::npos) << Tree(*view);
  EXPECT_EQ(Tree(*view).find(L"Re: Lunch on Friday?"), std::wstring::npos) << Tree(*view);
}

// Choosing an account shows its header unfolded and selected; an account the filter
// does not show switches to the all-accounts filter and is found there.
TEST_F(EmailsViewTest, SelectAccountByIndex) {
  choice_.Show({Folder(kAsGarden, L"Garden")});
  std::unique_ptr<CEmailsView> view = MakeView();
  const int garden = list_.FindOrAddStore(Folder(kAsGarden, L"Garden"));
  auto* header = dynamic_cast<CGroupHeaderRow*>(view->GetContentList()->GetChild(0));
  ASSERT_NE(header, nullptr);
  header->SetState(TRUE, FALSE);
  EXPECT_TRUE(view->SelectAccount(garden));
  EXPECT_FALSE(header->IsFolded());
  EXPECT_EQ(view->GetContentList()->GetCurrentItem(), header);
  EXPECT_TRUE(choice_.chosen.empty());

  const int sent = list_.FindOrAddStore(Folder(kAsSent, L"Sent Items"));
  EXPECT_TRUE(view->SelectAccount(sent));
  EXPECT_EQ(choice_.chosen, std::vector<std::wstring>{L"Inbox"});
  auto* current = dynamic_cast<CGroupHeaderRow*>(view->GetContentList()->GetCurrentItem());
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current->GetTag(), sent);

  // The SMS inbox shares the group of the first account whose folder is named Inbox.
  const int sms = list_.FindOrAddStore(Folder(kSmsInbox, L"Inbox"));
  EXPECT_TRUE(view->SelectAccount(sms));
  current = dynamic_cast<CGroupHeaderRow*>(view->GetContentList()->GetCurrentItem());
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current->GetTag(), list_.FindOrAddStore(Folder(kAsInbox, L"Inbox")));
  EXPECT_EQ(choice_.chosen.size(), 1u);
  EXPECT_FALSE(view->SelectAccount(999));
}

// Commands that reach the tab itself, not through a row's menu, act on the selected
// message: the base's open, edit and delete, and whatever else a message row does.
TEST_F(EmailsViewTest, CommandsOfTheTabGoToTheSelectedMessage) {
  static int boxes;
  boxes = 0;
  SetPanelMessageHook([](HWND, LPCWSTR, LPCWSTR, UINT) {
    ++boxes;
    return IDYES;
  });
  GetViewSettings().EmailConfirmDeletion = 0;
  choice_.Show({Folder(kAsInbox, L"Inbox")});
  std::unique_ptr<CEmailsView> view = MakeView();

  // Nothing selected: nothing happens, and no box comes up.
  for (int command : {1001, 1002, 1003, 1420}) view->OnMenuCommand(command);
  EXPECT_EQ(boxes, 0);
  EXPECT_EQ(sampletest::StoredLong(kLunch, PR_MESSAGE_FLAGS) & MSGFLAG_READ, 0);
  EXPECT_TRUE(sampletest::StoredIn(kLunch, kAsInbox));

  CEmailRowItem* lunch = Row(*view, L"Lunch on Friday?");
  ASSERT_NE(lunch, nullptr);
  lunch->SetSelected(TRUE, TRUE);
  ASSERT_EQ(view->GetContentList()->GetCurrentItem(), lunch);
  view->OnMenuCommand(1420);
  EXPECT_EQ(sampletest::StoredLong(kLunch, PR_MESSAGE_FLAGS) & MSGFLAG_READ, MSGFLAG_READ);

  // The base's delete, from the tab.
  view->RefreshNow();
  lunch = Row(*view, L"Lunch on Friday?");
  ASSERT_NE(lunch, nullptr);
  lunch->SetSelected(TRUE, TRUE);
  view->OnMenuCommand(1003);
  EXPECT_TRUE(sampletest::StoredIn(kLunch, kAsDeleted));
  EXPECT_EQ(boxes, 0);
}

// After a settings reload the selector shows what the options program chose: the
// active filter and the only-unread switch, which the list then follows.
TEST_F(EmailsViewTest, ASettingsReloadReadsTheAccountFilterAgain) {
  std::unique_ptr<CEmailsView> view = MakeViewWithItsSelector();
  ASSERT_EQ(view->GetMessageCount(), 7);

  CRegKey(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY).SetString(L"EmailFilter", L"Sent Items");
  GetViewSettings().EmailsOnlyUnreaded = 1;
  GetViewSettings().Save();
  view->OnSettingsChanged();
  view->RefreshNow();
  auto* selector = dynamic_cast<CEmailAccountFilter*>(view->GetFilterSelector());
  ASSERT_NE(selector, nullptr);
  ASSERT_GE(selector->GetSelectedIndex(), 0);
  EXPECT_EQ(std::wstring(selector->GetItem(selector->GetSelectedIndex()).text), L"Sent Items");
  EXPECT_TRUE(selector->IsOnlyUnread());
  EXPECT_TRUE(list_.GetOnlyUnread());
  EXPECT_EQ(Tree(*view).find(L"March newsletter"), std::wstring::npos) << Tree(*view);
  GetViewSettings().EmailsOnlyUnreaded = 0;
  GetViewSettings().Save();
}

// A header choice that arrives while the account filter reads its records again is
// not taken; once the reload is over it is.
TEST_F(EmailsViewTest, HeaderChoicesDuringTheFilterReloadAreNotTaken) {
  choice_.Show({Folder(kAsInbox, L"Inbox")});
  Set(L"EmailSorting", 0);
  std::unique_ptr<CEmailsView> view = MakeView();
  choice_.reloads = 0;
  choice_.duringReload = [&] {
    EXPECT_TRUE(view->IsReloadingFilter());
    view->GetSortSelector()->SetSelection(0xF002, TRUE);
    choice_.onlyUnread = TRUE;
    view->OnItemChosen(EMAIL_FILTER_CMD_ONLY_UNREAD);
  };
  view->OnSettingsChanged();
  EXPECT_EQ(choice_.reloads, 1);
  EXPECT_FALSE(view->IsReloadingFilter());
  EXPECT_EQ(Get(L"EmailSorting"), 0u);
  EXPECT_EQ(view->GetSortOrder(), 0);

  choice_.duringReload = nullptr;
  view->GetSortSelector()->SetSelection(0xF002, TRUE);
  EXPECT_EQ(Get(L"EmailSorting"), 2u);
  EXPECT_EQ(view->GetSortOrder(), 2);
}

}  // namespace
