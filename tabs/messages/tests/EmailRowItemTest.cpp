// The message row: status icons, the two lines and their columns, the context menu by
// the state of WebIS Mail, the commands over the device's sample stores (read marks,
// deletion with its question, moves to the recent folders and to a chosen one), and
// the account's recent folders in the registry as this program and others write them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <random>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/SortedStringList.h"
#include "base/tests/MenuReader.h"
#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/tests/DialogFixtures.h"
#include "graphics/FontCache.h"
#include "panel/PanelPrompt.h"
#include "panel/tests/PanelTestSupport.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/EmailItem.h"
#include "tabs/messages/EmailRowItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/RecentFolderList.h"
#include "tabs/messages/tests/SampleStoreSupport.h"
#include "tabs/messages/tests/WebISTestSupport.h"

using namespace mapitest;

namespace {

const ULONGLONG kAsInbox = 0x10002, kAsDeleted = 0x10005, kAsProjects = 0x10007;
const ULONGLONG kLunch = 0x11001;  // unread, in the inbox

// What a row tells its owner.
class Owner : public IListItemOwner {
 public:
  void OnItemChanged(CListItem*) override { ++changed; }
  void OnItemClicked(CListItem*) override {}
  void OnItemSelected(CListItem*) override {}
  void OnItemReleased(CListItem*) override {}
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM value) override { notified.push_back(value); }
  BOOL IsFirstItem(CListItem*) override { return TRUE; }
  void OnItemFolded(CListItem*, BOOL) override {}
  std::vector<LPARAM> notified;
  int changed = 0;
};

// WebIS Mail as each case has it.
class CFakeWebIS : public IWebISMailSource {
 public:
  DWORD build = 0;
  BOOL takenOver = FALSE;
  BOOL LoadAccounts(HWND, IWebISMailListener*) override { return FALSE; }
  void CloseAccounts() override {}
  BOOL GetFirstMessage(LPCWSTR, int, EMAIL_ITEM*) override { return FALSE; }
  BOOL GetNextMessage(EMAIL_ITEM*) override { return FALSE; }
  IStream* GetMessageSource(LPCWSTR, DWORD) override { return nullptr; }
  DWORD GetBuild() const override { return build; }
  BOOL HasTakenOverMailProgram() override { return takenOver; }
};


EMAIL_ITEM* NewItem(const wchar_t* sender, const wchar_t* recipient, const wchar_t* subject, DWORD flags) {
  EMAIL_ITEM* item = EMAIL_ITEM::New();
  item->senderName = sender;
  item->recipientName = recipient;
  item->subject = subject;
  item->flags = flags;
  item->messageClass = L"IPM.Note";
  item->accountName = L"ActiveSync";
  item->time = 46000.5;
  item->size = 2048;
  return item;
}

// The row's menu as the shared reader writes it ("id:text", "[grey]", "text{...}"); a
// greyed submenu is marked "(grey)" after its title.
std::wstring Describe(HMENU menu) {
  std::wstring out = MenuText(menu, true);
  for (const MenuEntry& entry : ReadMenu(menu))
    if (entry.popup && entry.grayed) out += L"(grey " + entry.text + L")";
  return out;
}

class EmailRowItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.Loaded());
    ASSERT_TRUE(machine_.Redirected());
    table_.SaveAll();
    GetViewSettings().Load();
  }
  void TearDown() override {
    table_.SaveAll();
    GetViewSettings().Load();
  }
  CResourceLibraryScope resources_;
  CLocalMachineSandbox machine_{L"EmailRowItemTest"};
  CSortedStringList& table_ = CSortedStringList::Instance();
};

// An unread message with attachments shows icon 26 in bold, read 27; header-only
// messages add 2.
TEST_F(EmailRowItemTest, StatusIconsAndBoldFollowTheMessage) {
  struct Case {
    BOOL read;
    DWORD status;
    BOOL attachments;
    int icon;
  } const cases[] = {
      {FALSE, 0, FALSE, 22},        {TRUE, 0, FALSE, 23},         {FALSE, 0x100000, FALSE, 24},
      {TRUE, 0x100000, FALSE, 25},  {FALSE, 0, TRUE, 26},         {TRUE, 0, TRUE, 27},
      {FALSE, 0x101000, TRUE, 28},  {TRUE, 0x100000, TRUE, 29},   {TRUE, 0x1000, FALSE, 23},
  };
  for (const Case& c : cases) {
    EMAIL_ITEM* item = NewItem(L"Ann", L"", L"Hello", c.read ? MSGFLAG_READ : 0);
    item->status = c.status;
    item->hasAttachments = c.attachments;
    CEmailRowItem row(item, nullptr);
    item->Release();
    row.SetSize(240, 230, 0, TRUE);
    row.GetHeight(-1);
    EXPECT_EQ(row.GetIcon(), c.icon) << c.icon;
    EXPECT_EQ(row.IsBold(), !c.read) << c.icon;
    EXPECT_EQ(CEmailRowItem::GetStatusIcon(*item), c.icon);
  }
}

// Sender, else recipient, else "[unknown]"; the columns at the right edge; without
// "EmailShowSize" the subject takes the whole second line and no size is drawn.
TEST_F(EmailRowItemTest, LinesAndColumns) {
  struct Case {
    const wchar_t* sender;
    const wchar_t* recipient;
    BOOL showSize;
    BOOL indented;
    const wchar_t* first;
  } const cases[] = {
      {L"Ann Lee", L"Sam", TRUE, FALSE, L"Ann Lee"},
      {L"", L"Sam Okafor", FALSE, TRUE, L"Sam Okafor"},
      {L"", L"", TRUE, TRUE, L"[unknown]"},
  };
  for (const Case& c : cases) {
    GetViewSettings().EmailShowSize = c.showSize;
    EMAIL_ITEM* item = NewItem(c.sender, c.recipient, L"Quarterly figures", 0);
    Owner owner;
    CEmailRowItem row(item, &owner);
    item->Release();
    row.SetIndented(c.indented);
    row.SetColumnWidths(50, 40);
    row.SetSize(240, 230, 0, TRUE);
    const int height = row.GetHeight(-1);
    EXPECT_EQ(std::wstring(row.GetFirstLine()), c.first);
    EXPECT_EQ(std::wstring(row.GetSecondLine()), L"Quarterly figures");
    EXPECT_EQ(height, 2 * (row.GetFirstLineRect().bottom - row.GetFirstLineRect().top));
    EXPECT_EQ(row.GetTimeRect().right, 228) << "2 pixels from the right edge";
    EXPECT_EQ(row.GetTimeRect().left, 178);
    EXPECT_EQ(row.GetFirstLineRect().right, 174);
    EXPECT_EQ(row.GetFirstLineRect().left, c.indented ? 24 : 16);
    EXPECT_EQ(row.GetIconRect().right, c.indented ? 22 : 14);
    EXPECT_FALSE(row.GetTimeText().IsEmpty());
    if (c.showSize) {
      EXPECT_EQ(std::wstring(row.GetSizeText()), L"2.00K");
      EXPECT_EQ(row.GetSizeRect().left, 188);
      EXPECT_EQ(row.GetSecondLineRect().right, 184);
    } else {
      EXPECT_TRUE(row.GetSizeText().IsEmpty());
      EXPECT_EQ(row.GetSecondLineRect().right, 230);
    }
    EXPECT_EQ(owner.changed, 0);
  }
}

// A row is as tall as two lines of the list font the font cache holds: after the
// user's font size changes (the cache makes its fonts anew) the same row laid out
// again takes the new font's height and tells its owner once.
TEST_F(EmailRowItemTest, LineHeightFollowsTheListFont) {
  machine_.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"UseSystem", 0);
  CFontCache fonts;
  EMAIL_ITEM* item = NewItem(L"Ann", L"", L"Hello", 0);  // unread: the bold font
  Owner owner;
  CEmailRowItem row(item, &owner);
  item->Release();
  int previous = 0;
  for (DWORD fontHeight : {8u, 20u}) {
    machine_.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"FontHeight", fontHeight);
    fonts.LoadSettings(TRUE);
    row.SetSize(240, 230, 0, TRUE);
    const int height = row.GetHeight(-1);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, fonts.GetStyleFont(1, FALSE)->GetFont());
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(height, 2 * metrics.tmHeight) << fontHeight;
    EXPECT_GT(height, previous) << fontHeight;
    previous = height;
  }
  EXPECT_EQ(owner.changed, 1);
}

// The entry id's hash, h = h * 9 + b; a tap on the status icon asks for the preview,
// a tap beside it selects the row.
TEST_F(EmailRowItemTest, HashAndIconTap) {
  EMAIL_ITEM* item = NewItem(L"Ann", L"", L"Hi", 0);
  const BYTE id[] = {1, 2, 250};
  item->entryId.Assign(id, sizeof id);
  Owner owner;
  CEmailRowItem row(item, &owner);
  item->Release();
  EXPECT_EQ(row.GetUserData(), static_cast<DWORD_PTR>((1 * 9 + 2) * 9 + 250));
  EXPECT_EQ(row.GetKind(), 508);
  row.SetSize(240, 230, 0, TRUE);
  row.GetHeight(-1);
  const RECT icon = row.GetIconRect();
  POINT inside = {(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
  EXPECT_TRUE(row.OnPress(&inside));
  EXPECT_EQ(owner.notified, std::vector<LPARAM>{1280});
  EXPECT_FALSE(row.IsSelected());
  POINT beside = {icon.right + 60, inside.y};
  row.OnPress(&beside);
  EXPECT_EQ(owner.notified.size(), 1u);
  EXPECT_TRUE(row.IsSelected());
}

// The context menu by message kind and WebIS Mail's state.
TEST_F(EmailRowItemTest, MenuStatesFollowWebISMail) {
  const std::wstring open = L"1001:Open 1422:Reply 1423:Reply all 1421:Forward ";
  const std::wstring openGray =
      L"1001:Open[grey] 1422:Reply[grey] 1423:Reply all[grey] 1421:Forward[grey] ";
  const std::wstring edit = L"Edit{Move to{1436:Edit filters... } 1003:Delete 1420:Mark as read 1424:Mark for "
                            L"download[grey] } - 1027:Settings... ";
  const std::wstring editNoMove =
      L"Edit{1427:Move to[grey] 1003:Delete 1420:Mark as read 1424:Mark for download[grey] } - 1027:Settings... ";
  struct Case {
    DWORD source;
    DWORD build;
    BOOL takenOver;
    bool mainWindow;
    std::wstring menu;
  } const cases[] = {
      {kSourceMapi, 0, FALSE, false, open + edit},
      {kSourceMapi, 1000, TRUE, true, openGray + edit},
      {kSourcePalm, 0, TRUE, false, openGray + edit},
      {kSourceWebIS, 0, FALSE, false, openGray + edit},
      {kSourceWebIS, 1000, TRUE, false, open + edit},
      {kSourceWebIS, 1000, FALSE, true, open + editNoMove},
      {kSourceWebIS, 0, FALSE, true, openGray + L"Edit{} - 1027:Settings... (grey Edit)"},
  };
  for (const Case& c : cases) {
    CFakeWebIS webis;
    webis.build = c.build;
    webis.takenOver = c.takenOver;
    CEmailsList list;
    list.SetOtherSources(nullptr, &webis);
    std::unique_ptr<webistest::CWebISMainWindow> window(c.mainWindow ? new webistest::CWebISMainWindow() : nullptr);
    EMAIL_ITEM* item = NewItem(L"Ann", L"", L"Hi", 0);
    item->sourceKind = c.source;
    CEmailRowItem row(item, nullptr, &list);
    item->Release();
    HMENU menu = CreatePopupMenu();
    row.BuildMenu(menu);
    EXPECT_EQ(Describe(menu), c.menu) << c.source << " " << c.build << " " << c.mainWindow;
    DestroyMenu(menu);
  }
  // A read text message whose download is marked: call, mark unread, unmark.
  CEmailsList list;
  EMAIL_ITEM* sms = NewItem(L"+4670", L"", L"Hi", MSGFLAG_READ);
  sms->messageClass = L"IPM.SMStext";
  sms->status = 0x101000;
  CEmailRowItem row(sms, nullptr, &list);
  sms->Release();
  HMENU menu = CreatePopupMenu();
  row.BuildMenu(menu);
  EXPECT_EQ(Describe(menu), open + L"1426:Call Edit{Move to{1436:Edit filters... } 1003:Delete 1420:Mark as "
                                   L"unread 1424:Unmark for download } - 1027:Settings... ");
  DestroyMenu(menu);
}

// Recent folders: the chooser's folder goes first, a folder chosen again moves to the
// front instead of coming twice, and after eleven folders the nine newest are left.
TEST_F(EmailRowItemTest, RecentFoldersAfterElevenMoves) {
  CRecentFolderList recent;
  ASSERT_TRUE(recent.Load(L"Work"));
  for (int i = 1; i <= 11; ++i) recent.InsertFront(sampletest::Folder(0x10000 + i, (L"F" + std::to_wstring(i)).c_str()));
  recent.InsertFront(sampletest::Folder(0x10005, L"F5 again"));
  ASSERT_EQ(recent.GetCount(), 9);
  std::wstring order;
  CTaggedBlob entry;
  for (int i = 0; recent.GetAt(i, entry); ++i) order += std::wstring(entry.GetName()) + L",";
  EXPECT_EQ(order, L"F5 again,F11,F10,F9,F8,F7,F6,F4,F3,");
  EXPECT_FALSE(recent.GetAt(9, entry));
  EXPECT_FALSE(recent.GetAt(-1, entry));
  CSimpleArray<CNameIndex> sorted;
  ASSERT_EQ(recent.GetSorted(sorted), 9);
  EXPECT_EQ(std::wstring(sorted[0].name), L"F10");
  EXPECT_EQ(sorted[0].index, 2);
  EXPECT_EQ(std::wstring(sorted[8].name), L"F9");
}

// The lists go to the registry when saved and come back in another table; values
// written by reg.exe load; any other text gives a sound list of at most nine.
TEST_F(EmailRowItemTest, RecentFoldersInTheRegistry) {
  {
    CRecentFolderList recent;
    recent.Load(L"Work");
    recent.InsertFront(sampletest::Folder(0x10007, L"Projects"));
    recent.InsertFront(sampletest::Folder(0x10008, L"Projects|Garden"));
    recent.Save();
  }
  std::wstring stored;
  const CRegistryView filters = machine_.Key(L"\\Software\\Korvel\\Qel Tarvo\\Filters");
  ASSERT_TRUE(filters.ReadString(L"Work", stored));
  CTaggedBlob garden = sampletest::Folder(0x10008, L"Projects|Garden");
  CTaggedBlob projects = sampletest::Folder(0x10007, L"Projects");
  EXPECT_EQ(stored, std::wstring(garden.ToText()) + L"|" + std::wstring(projects.ToText()));

  const std::wstring key = L"\"HKCU\\" + std::wstring(filters.Path()) + L"\"";
  ASSERT_EQ(RunProgram(L"reg.exe add " + key + L" /v Home /t REG_SZ /d \"" + std::wstring(projects.ToText()) +
                       L"|" + std::wstring(garden.ToText()) + L"\" /f"),
            0u);
  CSortedStringList other;
  CRecentFolderList home(&other);
  ASSERT_TRUE(home.Load(L"Home"));
  ASSERT_EQ(home.GetCount(), 2);
  CTaggedBlob first;
  home.GetAt(1, first);
  EXPECT_EQ(std::wstring(first.GetName()), L"Projects|Garden");
  EXPECT_EQ(first.GetSize(), garden.GetSize());

  std::mt19937 random(1104);
  const std::wstring alphabet = L"ABCDEFMFP0123456789|Z";
  for (int round = 0; round < 300; ++round) {
    std::wstring text = round % 3 ? std::wstring() : std::wstring(projects.ToText());
    const size_t length = random() % 400;
    for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    if (round % 5 == 0) {
      // Eleven good entries, one of them spoilt.
      text.clear();
      for (int i = 0; i < 11; ++i) text += (i ? L"|" : L"") + std::wstring(projects.ToText());
      if (round % 2) text[random() % text.size()] = L'?';
    }
    filters.WriteString(L"Fuzz", text.c_str());
    CSortedStringList table;
    CRecentFolderList fuzz(&table);
    ASSERT_TRUE(fuzz.Load(L"Fuzz"));
    EXPECT_LE(fuzz.GetCount(), 9);
    CSimpleArray<CNameIndex> sorted;
    EXPECT_EQ(fuzz.GetSorted(sorted), fuzz.GetCount());
    for (int i = 0; i < sorted.GetSize(); ++i) EXPECT_LT(sorted[i].index, 9);
    table.SaveAll();
  }
}

// The commands over the sample stores.
class EmailRowCommandsTest : public EmailRowItemTest {
 protected:
  void SetUp() override {
    EmailRowItemTest::SetUp();
    sampletest::RegisterSampleServices(machine_);
    ASSERT_TRUE(sampletest::InstallSampleStores());
  }
  void TearDown() override {
    list_.Done();
    SetPanelMessageHook(nullptr);
    EmailRowItemTest::TearDown();
  }
  EMAIL_ITEM* Lunch() {
    const int account = list_.FindOrAddStore(sampletest::Folder(kAsInbox, L"Inbox"));
    const std::string entry = Entry(MAPI_MESSAGE, kLunch);
    EMAIL_ITEM* item = nullptr;
    for (BOOL more = list_.GetFirstItem(account, &item); more; more = list_.GetNextItem(account, &item))
      if (item->entryId.GetSize() == entry.size() && memcmp(item->entryId.GetData(), entry.data(), entry.size()) == 0)
        return item;
    return nullptr;
  }
  // The folder holding the stored message among the sample's folders; 0 when gone.
  static ULONGLONG ParentOf(ULONGLONG id) {
    for (ULONGLONG folder = 0x10001; folder <= 0x1000A; ++folder)
      if (sampletest::StoredIn(id, folder)) return folder;
    return 0;
  }
  static LONG Flags(ULONGLONG id) { return sampletest::StoredLong(id, PR_MESSAGE_FLAGS); }
  CEmailsList list_;
};

// Every recent folder the submenu offers moves the message there, also the ninth.
TEST_F(EmailRowCommandsTest, EveryOfferedRecentFolderMoves) {
  CRecentFolderList recent;
  recent.Load(L"ActiveSync");
  recent.InsertFront(sampletest::Folder(0x20002, L"Old one"));
  recent.InsertFront(sampletest::Folder(0x20004, L"Old two"));
  for (ULONGLONG folder = 0x10002; folder <= 0x1000A; ++folder)
    recent.InsertFront(sampletest::Folder(folder, (L"Folder " + std::to_wstring(folder & 0xF)).c_str()));
  EMAIL_ITEM* lunch = Lunch();
  ASSERT_NE(lunch, nullptr);
  {
    CEmailRowItem row(lunch, nullptr, &list_);
    HMENU menu = CreatePopupMenu();
    row.BuildMenu(menu);
    const std::wstring shown = Describe(menu);
    DestroyMenu(menu);
    EXPECT_NE(shown.find(L"1435:Folder 2 "), std::wstring::npos) << shown;
    EXPECT_EQ(shown.find(L"Old"), std::wstring::npos) << shown;
  }
  // Each from the inbox, as the row of a fresh list shows it.
  for (UINT command = 1427; command <= 1435; ++command) {
    ASSERT_TRUE(sampletest::InstallSampleStores());
    list_.ClearStores(0);
    lunch = Lunch();
    ASSERT_NE(lunch, nullptr);
    CEmailRowItem row(lunch, nullptr, &list_);
    EXPECT_TRUE(row.DoCommand(command));
    EXPECT_EQ(ParentOf(kLunch), 0x1000Au - (command - 1427)) << command;
  }
}

// Read marks reach the store; deleting asks first with "EmailConfirmDeletion", and No
// leaves the message where it was.
TEST_F(EmailRowCommandsTest, ReadMarksAndDeletion) {
  EMAIL_ITEM* lunch = Lunch();
  ASSERT_NE(lunch, nullptr);
  CEmailRowItem row(lunch, nullptr, &list_);
  EXPECT_TRUE(row.DoCommand(1420));
  EXPECT_EQ(Flags(kLunch) & MSGFLAG_READ, MSGFLAG_READ);
  EXPECT_TRUE(row.DoCommand(1006));
  EXPECT_FALSE(row.DoCommand(1027));

  struct Box {
    std::wstring text, caption;
    UINT type = 0;
    int answer = IDNO;
    int asked = 0;
  };
  static Box box;
  box = Box();
  SetPanelMessageHook([](HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    box.text = text;
    box.caption = caption;
    box.type = type;
    ++box.asked;
    return box.answer;
  });
  GetViewSettings().EmailConfirmDeletion = 1;
  EXPECT_TRUE(row.DoCommand(1003));
  EXPECT_EQ(box.asked, 1);
  EXPECT_EQ(box.caption, L"Lunch on Friday?");
  EXPECT_EQ(box.text, L"Delete the message \"Lunch on Friday?\" from maria@example.com?");
  EXPECT_EQ(box.type, 0x134u);
  EXPECT_EQ(ParentOf(kLunch), kAsInbox);
  box.answer = IDYES;
  EXPECT_TRUE(row.DoCommand(1003));
  EXPECT_EQ(ParentOf(kLunch), kAsDeleted);
  GetViewSettings().EmailConfirmDeletion = 0;
}

// "Other folder": the chooser shows the account's folders; the chosen one takes the
// message and heads the recent list.
TEST_F(EmailRowCommandsTest, ChosenFolderTakesTheMessageAndHeadsTheRecentList) {
  dlgtest::DialogEnvironment env;
  EMAIL_ITEM* lunch = Lunch();
  ASSERT_NE(lunch, nullptr);
  CEmailRowItem row(lunch, nullptr, &list_);
  dlgtest::RunModal([&] { return row.DoCommand(1436) ? IDOK : IDCANCEL; },
                    [&](HWND dialog) {
                      HWND tree = GetDlgItem(dialog, IDC_CHOOSER_TREE);
                      std::vector<HTREEITEM> pending = {TreeView_GetRoot(tree)};
                      HTREEITEM projects = nullptr;
                      while (!pending.empty() && !projects) {
                        HTREEITEM at = pending.back();
                        pending.pop_back();
                        for (; at; at = TreeView_GetNextSibling(tree, at)) {
                          wchar_t text[64] = {};
                          TVITEMW item = {};
                          item.mask = TVIF_TEXT;
                          item.hItem = at;
                          item.pszText = text;
                          item.cchTextMax = 63;
                          TreeView_GetItem(tree, &item);
                          if (std::wstring(text) == L"Projects") projects = at;
                          if (HTREEITEM child = TreeView_GetChild(tree, at)) pending.push_back(child);
                        }
                      }
                      ASSERT_NE(projects, nullptr);
                      TreeView_SelectItem(tree, projects);
                      dlgtest::Press(dialog, IDOK);
                    });
  EXPECT_EQ(ParentOf(kLunch), kAsProjects);
  CRecentFolderList recent;
  recent.Load(L"ActiveSync");
  CTaggedBlob first;
  ASSERT_TRUE(recent.GetAt(0, first));
  const std::string entry = Entry(MAPI_FOLDER, kAsProjects);
  ASSERT_EQ(first.GetSize(), entry.size());
  EXPECT_EQ(memcmp(first.GetData(), entry.data(), entry.size()), 0);
  EXPECT_EQ(first.GetKind(), CTaggedBlob::KindM);
}

}  // namespace
