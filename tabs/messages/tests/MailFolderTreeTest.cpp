#include "tabs/messages/MailFolderTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/tests/RegistrySandbox.h"
#include "platform/cemapi/cemapi.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "tabs/messages/EmailStore.h"
#include "tabs/messages/WebISMailSettings.h"
#include "tabs/messages/tests/WebISTestSupport.h"

namespace {

struct Shown {
  std::wstring text;
  std::wstring path;
  int image;
  int box;
  int depth;
};

// The messaging fixture's stores: "Mail" over ActiveSync ("Outlook E-mail") with
// its special folders and "Projects" > "Archive"; "SMS", whose transport has no
// Inbox service, is not shown.
class MailFolderTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    mapitest::InstallFixture();
    machine.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\ActiveSync").WriteString(L"FriendlyName", L"Outlook E-mail");
    host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_CHECKBOXES | TVS_HASBUTTONS, 0, 0, 240,
                           320, host, reinterpret_cast<HMENU>(1040), nullptr, nullptr);
    ASSERT_NE(tree, nullptr);
  }
  void TearDown() override {
    DestroyWindow(host);
    mapitest::RemoveStores();
  }

  void Walk(CMailFolderTree& folders, HTREEITEM parent, int depth, std::vector<Shown>& shown) {
    for (HTREEITEM item = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); item;
         item = TreeView_GetNextSibling(tree, item)) {
      wchar_t text[128] = L"";
      TVITEMW tvi{};
      tvi.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE;
      tvi.hItem = item;
      tvi.pszText = text;
      tvi.cchTextMax = 128;
      TreeView_GetItem(tree, &tvi);
      const CMailTreeItem* record = folders.GetRecord(item);
      shown.push_back({text, record ? std::wstring(record->path) : L"?", tvi.iImage, folders.GetCheckState(item), depth});
      Walk(folders, item, depth + 1, shown);
    }
  }

  CLocalMachineSandbox machine{L"MailFolderTree"};
  mapitest::CSessionHolder session;
  HWND host = nullptr;
  HWND tree = nullptr;
};

TEST_F(MailFolderTreeTest, StoresWithAnInboxServiceAndTheirFoldersSortedWithPaths) {
  CMailFolderTree folders;
  ASSERT_TRUE(folders.Attach(tree, nullptr, session.get()));
  std::vector<Shown> shown;
  Walk(folders, nullptr, 0, shown);
  const std::vector<Shown> expected = {
      {L"Outlook E-mail", L"Outlook E-mail", 5, 0, 0},
      {L"Deleted Items", L"Outlook E-mail - Deleted Items", 3, 1, 1},
      {L"Drafts", L"Outlook E-mail - Drafts", -3, 1, 1},
      // The inbox stands for its account: its path is the account's.
      {L"Inbox", L"Outlook E-mail", 0, 1, 1},
      {L"Outbox", L"Outlook E-mail - Outbox", 1, 1, 1},
      // The messaging library gives no kind to a folder of the user's own.
      {L"Projects", L"Outlook E-mail - Projects", I_IMAGENONE, 1, 1},
      {L"Archive", L"Outlook E-mail - Projects - Archive", I_IMAGENONE, 1, 2},
      {L"Sent Items", L"Outlook E-mail - Sent Items", -3, 1, 1},
  };
  ASSERT_EQ(shown.size(), expected.size());
  for (size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(shown[i].text, expected[i].text);
    EXPECT_EQ(shown[i].path, expected[i].path);
    EXPECT_EQ(shown[i].box, expected[i].box);
    EXPECT_EQ(shown[i].depth, expected[i].depth);
    // Drafts and sent items: an image of their own, whichever bit the store gives.
    if (expected[i].image != -3) {
      EXPECT_EQ(shown[i].image, expected[i].image);
    } else {
      EXPECT_TRUE(shown[i].image == 6 || shown[i].image == 7) << shown[i].image;
    }
  }
  // Entry identifiers of the folders, as filters keep them.
  HTREEITEM account = TreeView_GetRoot(tree);
  HTREEITEM deleted = TreeView_GetChild(tree, account);
  const std::string id = mapitest::Entry(MAPI_FOLDER, mapitest::kDeleted);
  EXPECT_EQ(folders.GetRecord(deleted)->entryId, std::vector<BYTE>(id.begin(), id.end()));

  // Ticks and the search for them.
  HTREEITEM drafts = TreeView_GetNextSibling(tree, deleted);
  EXPECT_EQ(folders.FindChecked(nullptr, TVI_ROOT), nullptr);
  folders.SetCheckState(drafts, CMailFolderTree::kBoxTicked);
  EXPECT_EQ(folders.FindChecked(nullptr, TVI_ROOT), drafts);
  EXPECT_EQ(folders.FindChecked(drafts, TVI_ROOT), nullptr);
}

// The parent hears of a box change before it happens; items without a box are
// left alone.
TEST_F(MailFolderTreeTest, ReturnNotifiesTheParentBeforeTheBoxChanges) {
  struct Heard {
    std::vector<int> statesAtNotice;
    CMailFolderTree* folders;
  } heard{{}, nullptr};
  CMailFolderTree folders;
  heard.folders = &folders;
  SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&heard));
  SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                      if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == CMailFolderTree::kBoxChanging) {
                        auto* h = reinterpret_cast<Heard*>(GetWindowLongPtrW(w, GWLP_USERDATA));
                        const auto* n = reinterpret_cast<NMTREEVIEWW*>(lp);
                        EXPECT_EQ(n->itemOld.hItem, n->itemNew.hItem);
                        EXPECT_EQ(n->hdr.idFrom, 1040u);
                        h->statesAtNotice.push_back(h->folders->GetCheckState(n->itemNew.hItem));
                        return 0;
                      }
                      return DefWindowProcW(w, m, wp, lp);
                    }));
  ASSERT_TRUE(folders.Attach(tree, L"Mail", session.get()));
  HTREEITEM account = TreeView_GetRoot(tree);
  HTREEITEM folder = TreeView_GetChild(tree, account);
  TreeView_SelectItem(tree, account);
  folders.OnReturn();
  TreeView_SelectItem(tree, folder);
  folders.OnReturn();
  EXPECT_EQ(folders.GetCheckState(folder), CMailFolderTree::kBoxTicked);
  folders.OnReturn();
  EXPECT_EQ(folders.GetCheckState(folder), CMailFolderTree::kBoxClear);
  EXPECT_EQ(heard.statesAtNotice, (std::vector<int>{1, 2}));
}

TEST_F(MailFolderTreeTest, AnAccountFilterWithoutAMatchGivesAnEmptyTree) {
  for (const wchar_t* filter : {L"Nobody", L"SMS"}) {
    SCOPED_TRACE(std::wstring(filter).size());
    CMailFolderTree folders;
    ASSERT_TRUE(folders.Attach(tree, filter, session.get()));
    EXPECT_EQ(TreeView_GetCount(tree), 0u);
    folders.Clear();
    DestroyWindow(tree);
    tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | TVS_CHECKBOXES, 0, 0, 240, 320, host,
                           reinterpret_cast<HMENU>(1040), nullptr, nullptr);
  }
}

TEST_F(MailFolderTreeTest, WithoutASessionTheTreeLogsOnItself) {
  CMailFolderTree folders;
  ASSERT_TRUE(folders.Attach(tree, nullptr, nullptr));
  EXPECT_NE(folders.GetSession(), nullptr);
  EXPECT_EQ(TreeView_GetCount(tree), 8u);
  folders.Clear();
  EXPECT_EQ(folders.GetSession(), nullptr);
  EXPECT_EQ(TreeView_GetCount(tree), 0u);
}

}  // namespace

namespace {

// WebIS Mail's accounts follow the stores, in the reader's order; their levels
// keep the order of the folder list, and a folder whose parent is missing is not
// shown.
TEST_F(MailFolderTreeTest, WebISAccountsFollowTheStoresWithTheirFolderLevelsUnsorted) {
  using webistest::ParentAt;
  const std::wstring data = cedbtest::Root() + L"\\WebISTree";
  webistest::WriteVolume(L"\\TreeWork.vol", {{0, 1, L"Inbox"},
                                             {ParentAt(0), 9, L"Receipts"},
                                             {0, 9, L"Zeta"},
                                             {0, 4, L"Alpha"},
                                             {0xFFFFFFF0u, 9, L"Orphan"},
                                             {ParentAt(2), 2, L"Deep"}});
  ASSERT_TRUE(webistest::Install(data,
                                 "[SERVICE.1]\r\nStorage=work\r\nStorageName=Work\r\n"
                                 "StorageDBFileName=\\TreeWork.vol\r\nServiceName=IMAP\r\n"));
  {
    CWebISMailSettings webIS;
    ASSERT_TRUE(webIS.LoadAccounts());
    CMailFolderTree folders;
    ASSERT_TRUE(folders.Attach(tree, nullptr, session.get(), &webIS));
    std::vector<Shown> shown;
    Walk(folders, nullptr, 0, shown);
    ASSERT_EQ(shown.size(), 8u + 6u);
    const std::vector<Shown> expected = {
        {L"Work", L"Work", 5, 0, 0},
        {L"Inbox", L"Work", 0, 1, 1},
        {L"Receipts", L"Work - Receipts", 4, 1, 2},
        {L"Zeta", L"Work - Zeta", 4, 1, 1},
        {L"Deep", L"Work - Zeta - Deep", 1, 1, 2},
        {L"Alpha", L"Work - Alpha", 3, 1, 1},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(i);
      const Shown& item = shown[8 + i];
      EXPECT_EQ(item.text, expected[i].text);
      EXPECT_EQ(item.path, expected[i].path);
      EXPECT_EQ(item.image, expected[i].image);
      EXPECT_EQ(item.box, expected[i].box);
      EXPECT_EQ(item.depth, expected[i].depth);
    }
    // A WebIS item's record holds its folder identifier and the account key.
    HTREEITEM account = TreeView_GetNextSibling(tree, TreeView_GetRoot(tree));
    const CMailTreeItem* inbox = folders.GetRecord(TreeView_GetChild(tree, account));
    ASSERT_NE(inbox, nullptr);
    EXPECT_TRUE(inbox->webIS);
    EXPECT_EQ(std::wstring(inbox->accountName), L"work");
    EXPECT_NE(inbox->webISFolderId, 0u);

    // Limited to the WebIS account: no store is shown.
    folders.Clear();
    folders.UnsubclassWindow(TRUE);
    CMailFolderTree only;
    ASSERT_TRUE(only.Attach(tree, L"work", session.get(), &webIS));
    EXPECT_EQ(TreeView_GetCount(tree), 6u);
  }
  webistest::Uninstall(data);
  DeleteFileW((cedbtest::Root() + L"\\TreeWork.vol").c_str());
}

}  // namespace

namespace {

// A tap on a box: the parent hands the tree's click back, and hears of the
// change while the box still shows its old state; the tree then turns it. The
// tree was made with its box style, as a dialog template makes it: the boxes
// still have their images to tap.
TEST_F(MailFolderTreeTest, ATapOnABoxNotifiesBeforeTheTreeTurnsIt) {
  struct Heard {
    std::vector<int> statesAtNotice;
    CMailFolderTree* folders;
  } heard{{}, nullptr};
  CMailFolderTree folders;
  heard.folders = &folders;
  SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&heard));
  SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                      auto* h = reinterpret_cast<Heard*>(GetWindowLongPtrW(w, GWLP_USERDATA));
                      if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == NM_CLICK) {
                        h->folders->OnClick();
                        return 0;
                      }
                      if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == CMailFolderTree::kBoxChanging) {
                        const auto* n = reinterpret_cast<NMTREEVIEWW*>(lp);
                        h->statesAtNotice.push_back(h->folders->GetCheckState(n->itemNew.hItem));
                        return 0;
                      }
                      return DefWindowProcW(w, m, wp, lp);
                    }));
  ShowWindow(host, SW_SHOW);
  ASSERT_TRUE(folders.Attach(tree, L"Mail", session.get()));
  HTREEITEM folder = TreeView_GetChild(tree, TreeView_GetRoot(tree));
  RECT text{};
  ASSERT_TRUE(TreeView_GetItemRect(tree, folder, &text, TRUE));
  // The box stands left of the item's text.
  POINT box{-1, (text.top + text.bottom) / 2};
  for (int x = text.left - 1; x >= 0 && box.x < 0; --x) {
    TVHITTESTINFO hit{};
    hit.pt = {x, box.y};
    if (TreeView_HitTest(tree, &hit) == folder && (hit.flags & TVHT_ONITEMSTATEICON)) box.x = x - 4;
  }
  ASSERT_GE(box.x, 0);
  const LPARAM at = MAKELPARAM(box.x, box.y);
  for (int tap = 0; tap < 2; ++tap) {
    // The tree follows the stylus until it is lifted: the lift waits in the queue.
    PostMessageW(tree, WM_LBUTTONUP, 0, at);
    SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  EXPECT_EQ(heard.statesAtNotice, (std::vector<int>{1, 2}));
  EXPECT_EQ(folders.GetCheckState(folder), CMailFolderTree::kBoxClear);
}

// The Messages tab's folder chooser fills its own tree through the tree as its source:
// accounts are chosen as themselves, folders by their entry ids.
TEST_F(MailFolderTreeTest, AsTheFolderChoosersSourceItTellsWhatEachItemIs) {
  CMailFolderTree folders;
  folders.SetChooserScope(L"Mail", session.get());
  IMailFolderSource& source = folders;
  ASSERT_TRUE(source.Fill(tree));
  EXPECT_EQ(source.GetItemData(nullptr), nullptr);
  HTREEITEM account = TreeView_GetRoot(tree);
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(TreeView_GetNextSibling(tree, account), nullptr) << "only the chosen account";
  const MAIL_FOLDER_NODE* store = source.GetItemData(account);
  ASSERT_NE(store, nullptr);
  EXPECT_TRUE(store->isStore);
  EXPECT_TRUE(store->selectable);
  EXPECT_EQ(std::wstring(store->name), L"Outlook E-mail");
  EXPECT_EQ(store->storeKind, DWORD(kStoreMapiFolder));
  HTREEITEM deleted = TreeView_GetChild(tree, account);
  const MAIL_FOLDER_NODE* folder = source.GetItemData(deleted);
  ASSERT_NE(folder, nullptr);
  EXPECT_FALSE(folder->isStore);
  EXPECT_TRUE(folder->selectable);
  EXPECT_EQ(std::wstring(folder->name), L"Deleted Items");
  const std::string id = mapitest::Entry(MAPI_FOLDER, mapitest::kDeleted);
  ASSERT_EQ(folder->folderId.GetSize(), id.size());
  EXPECT_EQ(0, memcmp(folder->folderId.GetData(), id.data(), id.size()));
  // Both nodes stay readable together, as the chooser reads a folder and its account.
  EXPECT_EQ(std::wstring(store->name), L"Outlook E-mail");

  CMailFolderTree none;
  none.SetChooserScope(L"No such account", session.get());
  HWND other = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD, 0, 0, 10, 10, host, nullptr, nullptr, nullptr);
  EXPECT_TRUE(static_cast<IMailFolderSource&>(none).Fill(other));
  EXPECT_EQ(TreeView_GetRoot(other), nullptr);
}

}  // namespace
