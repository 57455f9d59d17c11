// The Messages tab's account filter selector and the Calendar's e-mail account rows:
// the items a filter list gives (recent list seeded, pruned, the current filter put
// first), the menu read back, what each command stores and tells the tab, and the
// account rows over the device's sample stores with their titles, icons and commands.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/FilterList.h"
#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "panel/Plugin.h"
#include "panel/TodayPanelBase.h"
#include "base/tests/MenuReader.h"
#include "panel/tests/PanelTestSupport.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "tabs/messages/AccountIterator.h"
#include "tabs/messages/EmailAccountFilter.h"
#include "tabs/messages/EmailAccountHeaderItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailFoldersFilters.h"
#include "tabs/messages/tests/SampleStoreSupport.h"

namespace {

struct Listener : IDropDownListener {
  void OnSelectionChanged(CVirtualDropDown*, int command) override { selected.push_back(command); }
  void OnItemChosen(int command) override { chosen.push_back(command); }
  std::vector<int> selected, chosen;
};

// Every program start, recorded instead of made.
std::vector<std::wstring>& Launches() {
  static std::vector<std::wstring> launches;
  return launches;
}
BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  std::wstring file = info->lpFile ? info->lpFile : L"";
  const size_t slash = file.find_last_of(L'\\');
  if (slash != std::wstring::npos) file = file.substr(slash + 1);
  Launches().push_back(file + L" " + (info->lpParameters ? info->lpParameters : L""));
  return TRUE;
}

class EmailAccountFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources.Loaded());
    ASSERT_TRUE(machine.Redirected());
    const CViewSettings& settings = GetViewSettings();
    savedSwitches = {settings.EmailShowEmptyAccounts, settings.EmailsOnlyUnreaded};
    // A device without WebIS Mail or the Palm store.
    list.SetOtherSources(nullptr, nullptr);
    list.SetWebISCommands(nullptr);
    Launches().clear();
    previousLauncher = SetProgramLauncher(RecordLaunch);
  }
  void TearDown() override {
    SetProgramLauncher(previousLauncher);
    CViewSettings& settings = GetViewSettings();
    settings.EmailShowEmptyAccounts = savedSwitches.first;
    settings.EmailsOnlyUnreaded = savedSwitches.second;
  }

  // Filters of those names (one folder each) stored, read back in the registry's order
  // and their accounts merged already, as a running panel has them.
  void StoreFilters(std::initializer_list<const wchar_t*> names) {
    CMailFoldersFilters writer;
    BYTE id = 1;
    for (const wchar_t* name : names) {
      EMAIL_ACCOUNT filter;
      filter.name = name;
      CTaggedBlob folder;
      ASSERT_TRUE(MakeMailFolder(CTaggedBlob::KindM, &id, 1, name, folder));
      filter.AddFolder(folder);
      writer.Add(filter);
      ++id;
    }
    ASSERT_TRUE(writer.Save());
    ASSERT_TRUE(filters.Load(TRUE));
    filters.UpdateKnownAccounts(nullptr, TRUE);
  }
  int Id(const wchar_t* name) const { return filters.Find(name) + EMAIL_FILTER_CMD_RECORD; }
  // "name=identifier;" of every item, as the filter names them.
  std::wstring Items(CEmailAccountFilter& selector) const {
    std::wstring text;
    for (int i = 0; i < selector.GetCount(); ++i) {
      const int id = selector.GetItem(i).id;
      text += std::wstring(selector.GetItem(i).text) + L"=" +
              (id == Id(selector.GetItem(i).text) ? std::wstring(L"ok") : std::to_wstring(id)) + L";";
    }
    return text;
  }
  std::wstring StoredRecent() const {
    std::wstring text;
    return recentKey.ReadString(L"EmailAccounts", text) ? text : L"(none)";
  }
  std::wstring Active() const {
    std::wstring text;
    return product.ReadString(L"EmailFilter", text) ? text : L"(none)";
  }

  CResourceLibraryScope resources;
  CLocalMachineSandbox machine{L"EmailAccountFilter"};
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  CRegistryView recentKey = machine.Key(CFilterList::kKeyPath);
  CEmailsList list;
  CMailFoldersFilters filters;
  std::pair<int, int> savedSwitches;
  PFN_PROGRAM_LAUNCHER previousLauncher = nullptr;
};

}  // namespace

TEST_F(EmailAccountFilterTest, AnEmptyRecentListIsSeededWithSevenFiltersThatAreNoStandardOne) {
  StoreFilters({L"Inbox", L"Deleted Items", L"Drafts", L"Outbox", L"Sent Items", L"Work", L"Home", L"Zeta", L"gamma",
                L"Beta", L"alpha", L"Mum", L"news"});
  CEmailAccountFilter selector(&list, &filters);
  selector.Fill();
  EXPECT_EQ(StoredRecent(), L"alpha|Beta|gamma|Home|Mum|news|Work");
  EXPECT_EQ(Items(selector), L"Inbox=ok;alpha=ok;Beta=ok;gamma=ok;Home=ok;Mum=ok;news=ok;Work=ok;");
  EXPECT_EQ(selector.GetSelectedId(), -1) << "no filter chosen yet";
  // Asked for its filter, the selector takes the inbox.
  ASSERT_TRUE(selector.GetCurrentFilter());
  EXPECT_EQ(std::wstring(selector.GetCurrentFilter()->name), L"Inbox");
}

TEST_F(EmailAccountFilterTest, StoredRecentListsArePrunedAndTheCurrentFilterJoinsThem) {
  struct Case {
    const char* what;
    const wchar_t* recent;
    const wchar_t* active;  // null: no value
    const wchar_t* items;
    const wchar_t* storedAfter;
  };
  const Case cases[] = {
      {"an empty piece and a filter that is gone", L"Work||Gone|Home|", nullptr, L"Inbox=ok;Home=ok;Work=ok;",
       L"Work|Home"},
      {"the current filter joins the front", L"Work|Home", L"Zeta", L"Inbox=ok;Home=ok;Work=ok;Zeta=ok;",
       L"Work|Home"},
      {"the current filter among the seven stays where it is", L"Work|Home", L"Home", L"Inbox=ok;Home=ok;Work=ok;",
       L"Work|Home"},
      {"the inbox filter is not added", L"Work", L"Inbox", L"Inbox=ok;Work=ok;", L"Work"},
      {"a filter named twice, or the inbox, is one item", L"Work|Inbox|Work|Home", nullptr,
       L"Inbox=ok;Home=ok;Work=ok;", L"Work|Inbox|Work|Home"},
      {"only the first seven are shown", L"a1|a2|a3|a4|a5|a6|a7|Work", nullptr,
       L"Inbox=ok;a1=ok;a2=ok;a3=ok;a4=ok;a5=ok;a6=ok;a7=ok;", L"a1|a2|a3|a4|a5|a6|a7|Work"},
      {"a current filter past the seventh is put first", L"a1|a2|a3|a4|a5|a6|a7|Work", L"Work",
       L"Inbox=ok;a1=ok;a2=ok;a3=ok;a4=ok;a5=ok;a6=ok;Work=ok;", L"a1|a2|a3|a4|a5|a6|a7|Work"},
  };
  StoreFilters({L"Inbox", L"Deleted Items", L"Work", L"Home", L"Zeta", L"a1", L"a2", L"a3", L"a4", L"a5", L"a6",
                L"a7"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    recentKey.WriteString(L"EmailAccounts", c.recent);
    if (c.active)
      product.WriteString(L"EmailFilter", c.active);
    else
      RegDeleteKeyValueW(product.Root(), product.Path(), L"EmailFilter");
    CEmailAccountFilter selector(&list, &filters);
    selector.Fill();
    EXPECT_EQ(Items(selector), c.items);
    EXPECT_EQ(StoredRecent(), c.storedAfter) << "the list is written only when a name went";
    EXPECT_EQ(selector.GetSelectedId(), c.active ? Id(c.active) : -1);
  }
}

// "EmailAccounts" and "EmailFilter" as reg.exe writes them: text is read as the selector
// writes it, any other type as no value.
TEST_F(EmailAccountFilterTest, ValuesWrittenByRegExe) {
  StoreFilters({L"Inbox", L"Work", L"Home"});
  const std::wstring recent = L"\"HKCU\\" + std::wstring(recentKey.Path()) + L"\"";
  const std::wstring productKey = L"\"HKCU\\" + std::wstring(product.Path()) + L"\"";
  struct Case {
    const wchar_t* recentArguments;
    const wchar_t* activeArguments;
    const wchar_t* items;
    const wchar_t* current;  // null: none
  };
  const Case cases[] = {
      {L"/t REG_SZ /d \"Work||Home|\"", L"/t REG_SZ /d Home", L"Inbox=ok;Home=ok;Work=ok;", L"Home"},
      {L"/t REG_EXPAND_SZ /d \"Work\"", L"/t REG_SZ /d work", L"Inbox=ok;Work=ok;", nullptr},
      {L"/t REG_DWORD /d 7", L"/t REG_DWORD /d 1", L"Inbox=ok;Home=ok;Work=ok;", nullptr},
      {L"/t REG_BINARY /d 570041", L"/t REG_SZ /d \"\"", L"Inbox=ok;Home=ok;Work=ok;", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recentArguments);
    ASSERT_EQ(RunProgram(L"reg.exe add " + recent + L" /v EmailAccounts " + c.recentArguments + L" /f"), 0u);
    ASSERT_EQ(RunProgram(L"reg.exe add " + productKey + L" /v EmailFilter " + c.activeArguments + L" /f"), 0u);
    CEmailAccountFilter selector(&list, &filters);
    selector.Fill();
    EXPECT_EQ(Items(selector), c.items);
    EXPECT_EQ(selector.GetSelectedId(), c.current ? Id(c.current) : -1);
  }
}

// Any stored list and any stored choice give items that name filters, each once, at most
// eight, with the current one selected.
TEST_F(EmailAccountFilterTest, AnyStoredListFillsSoundly) {
  StoreFilters({L"Inbox", L"Sent Items", L"W", L"k", L"Wk", L"\x4E2D", L"a", L"M"});
  std::mt19937 random(62);
  const wchar_t pieces[] = L"|Wk\x4E2D aMI";
  for (int round = 0; round < 1500; ++round) {
    std::wstring text;
    const int length = static_cast<int>(random() % 200);
    for (int i = 0; i < length; ++i) text += pieces[random() % (sizeof pieces / sizeof pieces[0] - 1)];
    recentKey.WriteString(L"EmailAccounts", text.c_str());
    const std::wstring active(1, pieces[random() % (sizeof pieces / sizeof pieces[0] - 1)]);
    product.WriteString(L"EmailFilter", active.c_str());
    CEmailAccountFilter selector(&list, &filters);
    selector.Fill();
    ASSERT_LE(selector.GetCount(), 1 + CEmailAccountFilter::kMaxRecent) << text;
    std::vector<int> ids;
    for (int i = 0; i < selector.GetCount(); ++i) {
      const CMenuEntry& item = selector.GetItem(i);
      ASSERT_EQ(item.id, Id(item.text)) << text;
      ASSERT_EQ(std::count(ids.begin(), ids.end(), item.id), 0) << text;
      ids.push_back(item.id);
    }
    const int current = filters.Find(active.c_str());
    EXPECT_EQ(selector.GetSelectedId(), current >= 0 ? current + EMAIL_FILTER_CMD_RECORD : -1) << text;
    HMENU menu = CreatePopupMenu();
    selector.FillMenu(menu, 0);
    DestroyMenu(menu);
  }
}

TEST_F(EmailAccountFilterTest, TheMenuOffersTheOtherFiltersAndTheTwoSwitches) {
  StoreFilters({L"Inbox", L"Sent Items", L"Work", L"Home", L"zeta", L"Beta", L"a&b"});
  recentKey.WriteString(L"EmailAccounts", L"Work|Home");
  struct Case {
    int showEmpty, onlyUnread;
  };
  for (const Case& c : {Case{0, 0}, Case{1, 0}, Case{0, 1}, Case{1, 1}}) {
    SCOPED_TRACE(c.showEmpty * 2 + c.onlyUnread);
    product.WriteDWORD(L"EmailShowEmptyAccounts", DWORD(c.showEmpty));
    product.WriteDWORD(L"EmailsOnlyUnreaded", DWORD(c.onlyUnread));
    CEmailAccountFilter selector(&list, &filters);
    selector.Fill();
    HMENU menu = CreatePopupMenu();
    selector.FillMenu(menu, 0);
    const std::vector<MenuEntry> entries = ReadMenu(menu);
    DestroyMenu(menu);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].text, L"Inbox");
    EXPECT_EQ(entries[0].id, Id(L"Inbox"));
    EXPECT_EQ(entries[1].text, L"Home");
    EXPECT_EQ(entries[2].text, L"Work");
    const MenuEntry& more = entries[3];
    EXPECT_EQ(more.text, L"More folders");
    std::vector<std::wstring> offered;
    for (const MenuEntry& entry : more.sub) offered.push_back(entry.text);
    // Neither the inbox nor the recent filters; standard ones are offered. "&" shows as itself.
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"Edit filters...", L"a&&b", L"Beta", L"Sent Items", L"zeta"}));
    EXPECT_EQ(more.sub[0].id, EMAIL_FILTER_CMD_EDIT);
    EXPECT_EQ(more.sub[2].id, EMAIL_FILTER_CMD_MORE + filters.Find(L"Beta"));
    EXPECT_EQ(more.sub[4].id, EMAIL_FILTER_CMD_MORE + filters.Find(L"zeta"));
    EXPECT_EQ(entries[4].id, 0) << "separator";
    const MenuEntry& switches = entries[5];
    EXPECT_EQ(switches.text, L"Period");
    ASSERT_EQ(switches.sub.size(), 2u);
    EXPECT_EQ(switches.sub[0].id, EMAIL_FILTER_CMD_SHOW_EMPTY);
    EXPECT_EQ(switches.sub[0].checked, c.showEmpty == 1);
    EXPECT_EQ(switches.sub[0].text, L"Show empty accounts");
    EXPECT_EQ(switches.sub[1].id, EMAIL_FILTER_CMD_ONLY_UNREAD);
    EXPECT_EQ(switches.sub[1].checked, c.onlyUnread == 1);
  }
}

TEST_F(EmailAccountFilterTest, CommandsStoreTheChoiceAndTellTheTab) {
  StoreFilters({L"Inbox", L"Work", L"Home", L"Zeta"});
  recentKey.WriteString(L"EmailAccounts", L"Work|Home");
  product.WriteString(L"EmailFilter", L"Work");
  product.WriteDWORD(L"EmailShowEmptyAccounts", 0);
  product.WriteDWORD(L"EmailsOnlyUnreaded", 0);
  CEmailAccountFilter selector(&list, &filters);
  Listener listener;
  selector.SetOwner(&listener);
  selector.Fill();
  auto stored = [&](const wchar_t* value) {
    DWORD v = 99;
    product.ReadDWORD(value, v);
    return v;
  };

  // An item: the filter becomes current and is written as the active one.
  EXPECT_EQ(selector.OnItemChosen(Id(L"Home")), Id(L"Home"));
  EXPECT_EQ(Active(), L"Home");
  EXPECT_EQ(selector.GetSelectedId(), Id(L"Home"));
  EXPECT_EQ(std::wstring(selector.GetCurrentFilter()->name), L"Home");

  // From the "more" submenu: first in the recent list, shown, and told as the range's first.
  const int zeta = EMAIL_FILTER_CMD_MORE + filters.Find(L"Zeta");
  EXPECT_EQ(selector.OnItemChosen(zeta), EMAIL_FILTER_CMD_MORE);
  EXPECT_EQ(Active(), L"Zeta");
  EXPECT_EQ(StoredRecent(), L"Zeta|Work|Home");
  EXPECT_EQ(selector.GetSelectedId(), Id(L"Zeta"));
  EXPECT_NE(Items(selector).find(L"Zeta=ok;"), std::wstring::npos);

  // The switches go to the view settings.
  selector.OnItemChosen(EMAIL_FILTER_CMD_SHOW_EMPTY);
  EXPECT_TRUE(selector.IsShowEmptyAccounts());
  EXPECT_EQ(stored(L"EmailShowEmptyAccounts"), 1u);
  selector.OnItemChosen(EMAIL_FILTER_CMD_ONLY_UNREAD);
  selector.OnItemChosen(EMAIL_FILTER_CMD_SHOW_EMPTY);
  EXPECT_FALSE(selector.IsShowEmptyAccounts());
  EXPECT_TRUE(selector.IsOnlyUnread());
  EXPECT_EQ(stored(L"EmailShowEmptyAccounts"), 0u);
  EXPECT_EQ(stored(L"EmailsOnlyUnreaded"), 1u);

  // The edit entry opens the options program's messages filter page.
  selector.OnItemChosen(EMAIL_FILTER_CMD_EDIT);
  EXPECT_EQ(Launches(), std::vector<std::wstring>{L"TarvoSettings.exe -p5:1"});

  // Dismissed menus and a filter the menu named before it went change nothing.
  EXPECT_EQ(selector.OnItemChosen(0), 0);
  EXPECT_EQ(selector.OnItemChosen(EMAIL_FILTER_CMD_MORE + 50), -2);
  EXPECT_EQ(Active(), L"Zeta");
  EXPECT_EQ(listener.chosen,
            (std::vector<int>{Id(L"Home"), EMAIL_FILTER_CMD_MORE, EMAIL_FILTER_CMD_SHOW_EMPTY,
                              EMAIL_FILTER_CMD_ONLY_UNREAD, EMAIL_FILTER_CMD_SHOW_EMPTY, EMAIL_FILTER_CMD_EDIT}));
  // A new selector reads back what was stored.
  CEmailAccountFilter again(&list, &filters);
  EXPECT_EQ(again.GetCurrentIndex(), filters.Find(L"Zeta"));
  EXPECT_TRUE(again.IsOnlyUnread());
  EXPECT_FALSE(again.IsShowEmptyAccounts());
}

TEST_F(EmailAccountFilterTest, SelectingByNameAndTheInboxStandingIn) {
  StoreFilters({L"Work", L"Home"});
  CEmailAccountFilter selector(&list, &filters);
  EXPECT_EQ(selector.GetCurrentFilter(), nullptr) << "no choice and no inbox filter";
  EXPECT_FALSE(selector.SelectByName(L"work")) << "names compare exactly";
  ASSERT_TRUE(selector.SelectByName(L"Home"));
  ASSERT_TRUE(selector.GetCurrentFilter());
  EXPECT_EQ(std::wstring(selector.GetCurrentFilter()->name), L"Home");
}

// A fresh device with the two sample accounts: the selector merges them into the
// filters (five standard ones, one per account), offers both, and the inbox filter's
// accounts give the Calendar's account rows.
TEST_F(EmailAccountFilterTest, TheSampleAccountsGiveFiltersAndAccountRows) {
  sampletest::RegisterSampleServices(machine);
  ASSERT_TRUE(sampletest::InstallSampleStores());
  CEmailAccountFilter selector(&list, &filters);
  selector.Fill();
  EXPECT_EQ(filters.GetCount(), 7);
  std::wstring known;
  product.ReadString(L"KnownEmailAccounts", known);
  EXPECT_EQ(known, L"ActiveSync;SMS");
  EXPECT_EQ(Items(selector), L"Inbox=ok;Outlook E-mail=ok;Text Messages=ok;");
  EMAIL_ACCOUNT* inbox = selector.GetCurrentFilter();
  ASSERT_TRUE(inbox);

  struct Row {
    std::wstring title, account;
    int messages, unread, icon;
  };
  std::vector<Row> rows;
  CAccountIterator iterator(list);
  iterator.SetFilter(*inbox);
  CString name;
  int index = -1;
  for (BOOL more = iterator.GetFirst(name, index); more; more = iterator.GetNext(name, index)) {
    CEmailAccountHeaderItem row(nullptr, name, list.GetAccountName(index), index, &list);
    row.SetCounts(list.GetItemCount(index), list.GetUnreadCount(index));
    rows.push_back({row.GetTitleText().GetString(), row.GetAccountName().GetString(), row.GetMessageCount(),
                    row.GetUnreadCount(), row.GetIcon(CEmailAccountHeaderItem::kIconPosition)});
  }
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].title, L"Outlook E-mail (3)");
  EXPECT_EQ(rows[0].account, L"ActiveSync");
  EXPECT_EQ(rows[0].messages, 4);
  EXPECT_EQ(rows[0].icon, 22);
  EXPECT_EQ(rows[1].title, L"Text Messages (2)");
  EXPECT_EQ(rows[1].account, L"SMS");
  list.Done();
  mapitest::RemoveStores();
}

TEST_F(EmailAccountFilterTest, AccountRowTitlesIconsMenuAndCommands) {
  struct Case {
    int unread;
    const wchar_t* title;
    int icon;
  };
  const Case cases[] = {{0, L"Work", 23}, {1, L"Work (1)", 22}, {3, L"Work (3)", 22}};
  for (const Case& c : cases) {
    CEmailAccountHeaderItem row(nullptr, L"Work", L"ActiveSync", 4, &list);
    row.SetCounts(5, c.unread);
    EXPECT_EQ(std::wstring(row.GetTitleText()), c.title);
    EXPECT_EQ(row.GetIcon(CEmailAccountHeaderItem::kIconPosition), c.icon) << c.title;
    EXPECT_EQ(row.GetIcon(100), -1);
  }

  CEmailAccountHeaderItem row(nullptr, L"Work", L"ActiveSync", 4, &list);
  row.SetIndented(TRUE);
  row.SetSize(240, 240, 0, TRUE);
  EXPECT_GT(row.GetHeight(-1), 0);
  EXPECT_LT(row.GetIconRect().right, row.GetTitleRect().left);
  HMENU menu = CreatePopupMenu();
  row.BuildMenu(menu);
  const std::vector<MenuEntry> entries = ReadMenu(menu);
  DestroyMenu(menu);
  std::vector<int> ids;
  for (const MenuEntry& entry : entries) ids.push_back(entry.id);
  EXPECT_EQ(ids, (std::vector<int>{1045, 1030, 1425, 0, 1027}));
  EXPECT_EQ(entries[0].text, L"New message");

  // Opening the row brings the Messages tab at its account.
  const HWND panelWindow = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  SetTodayPanel(new FakeTodayPanel(panelWindow));
  const UINT select = RegisterWindowMessageW(L"QelTarvo_SelectEmailAccount");
  for (UINT command : {1001u, 1002u}) {
    EXPECT_TRUE(row.OnCommand(command));
    MSG message = {};
    ASSERT_TRUE(PeekMessageW(&message, panelWindow, select, select, PM_REMOVE)) << command;
    EXPECT_EQ(message.wParam, 4u);
    EXPECT_EQ(message.lParam, 0);
  }
  SetTodayPanel(nullptr);
  DestroyWindow(panelWindow);

  // The account's mail program: opened, a new message, send and receive.
  Launches().clear();
  EXPECT_TRUE(row.OnCommand(EMAIL_ACCOUNT_CMD_OPEN_ACCOUNT));
  EXPECT_TRUE(row.OnCommand(EMAIL_ACCOUNT_CMD_SEND_RECEIVE));
  EXPECT_TRUE(row.OnCommand(EMAIL_ACCOUNT_CMD_NEW_MESSAGE));
  ASSERT_EQ(Launches().size(), 4u);
  EXPECT_EQ(Launches()[0], L"tmail.exe -service \"ActiveSync\"");
  EXPECT_EQ(Launches()[1], L"tmail.exe -service \"ActiveSync\"");
  EXPECT_EQ(Launches()[2], L"tmail.exe -sync");
  EXPECT_EQ(Launches()[3].rfind(L"tmail.exe -service \"ActiveSync\"", 0), 0u) << Launches()[3];
  EXPECT_FALSE(row.OnCommand(1027)) << "the list's own entry";
}
