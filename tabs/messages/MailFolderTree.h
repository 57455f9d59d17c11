// A tree view of the user's mail accounts and folders: one root item per message
// store whose transport has an Inbox service, its folders below with check boxes.
// The filter page ticks the folders a mail filter shows. The tree can be limited
// to one account (a store by its display name). Before a box changes the parent
// hears notification kBoxChanging for the item, so that it can tell a box about
// to be ticked from one about to be cleared.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "controls/MailFolderSource.h"
#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"

class CWebISMailSettings;
struct IMAPISession;
struct IMsgStore;
struct IMAPIFolder;

struct SPropValue;

// The tag of a store's transport name in the stores table: stores of Pocket PC 5
// and later keep it under a new tag.
ULONG GetStoreTransportTag();
// The text of a column read as tag; empty when the column holds anything else.
CString GetMapiText(const SPropValue& value, ULONG tag);

// The item record of every tree item (its item data).
struct CMailTreeItem {
  CMailTreeItem() = default;
  ~CMailTreeItem();
  CMailTreeItem(const CMailTreeItem&) = delete;
  CMailTreeItem& operator=(const CMailTreeItem&) = delete;

  CString accountName;
  CString displayText;
  CString folderName;  // empty for account items
  CString path;        // the name filters show the folder by
  CString initialPath;
  BOOL webIS = FALSE;
  std::vector<BYTE> entryId;
  IMsgStore* store = nullptr;  // one reference held
  IMAPIFolder* folder = nullptr;
  int kind = 0;  // 0 account, 1 folder
  DWORD webISFolderId = 0;
  MAIL_FOLDER_NODE node;  // what the folder chooser reads, made when it asks
};

// The tree serves the options page's filter editing and, as the folder chooser's
// source, the Messages tab's move-to-folder dialog: the chooser fills a tree of its
// own through Fill(tree) within the scope SetChooserScope gave.
class CMailFolderTree : public CWindowImplBase, public IMailFolderSource {
 public:
  // The notification code sent to the parent before a box changes; its old and
  // new item are both the item.
  static constexpr UINT kBoxChanging = 1024;
  enum { kNoBox = 0, kBoxClear = 1, kBoxTicked = 2 };

  CMailFolderTree() = default;
  ~CMailFolderTree() override;

  // Takes over the tree window. accountFilter: one store's display name or one
  // WebIS Mail account's key, or null for all. session: used (never logged off
  // here), or null to log on here. webIS: WebIS Mail with its accounts loaded
  // (null: the process's).
  BOOL Attach(HWND tree, LPCWSTR accountFilter, IMAPISession* session, CWebISMailSettings* webIS = nullptr);
  BOOL Fill();
  // The account (null: all) and session (null: logged on here) the chooser's Fill uses.
  void SetChooserScope(LPCWSTR accountFilter, IMAPISession* session);
  // The chooser's side: takes over its tree and fills it; the node of an item (an
  // account: chosen as itself, packed with its kind; a folder: its entry id, or for
  // WebIS Mail its number and account packed as a filter keeps it).
  BOOL Fill(HWND tree) override;
  const MAIL_FOLDER_NODE* GetItemData(HTREEITEM item) override;
  IMAPISession* GetSession() const { return m_session; }
  HWND GetTree() const { return m_hWnd; }

  int GetCheckState(HTREEITEM item) const;
  void SetCheckState(HTREEITEM item, int state);
  // Depth-first below start (null or TVI_ROOT: the whole tree), the first ticked
  // item other than except.
  HTREEITEM FindChecked(HTREEITEM except, HTREEITEM start) const;
  CMailTreeItem* GetRecord(HTREEITEM item) const;
  // Every record released; a session logged on here is logged off.
  void Clear();

  // The tree's own notifications, handed back by the parent.
  void OnClick();
  void OnReturn();

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

 private:
  void SetImages();
  BOOL AddStores();
  void AddWebISAccounts();
  void AddFolderLevel(IMsgStore* store, IMAPIFolder* folder, HTREEITEM parent, const CString& parentPath,
                      const CString& account);
  HTREEITEM Insert(HTREEITEM parent, LPCWSTR text, int image, BOOL expanded, BOOL box, CMailTreeItem* record);
  void NotifyParent(HTREEITEM item);

  CString m_accountFilter;
  BOOL m_hasFilter = FALSE;
  CString m_chooserAccount;
  BOOL m_chooserHasAccount = FALSE;
  IMAPISession* m_chooserSession = nullptr;
  IMAPISession* m_session = nullptr;
  CWebISMailSettings* m_webIS = nullptr;
  BOOL m_ownSession = FALSE;
  std::vector<std::unique_ptr<CMailTreeItem>> m_records;
  POINT m_lastDown{};
  HIMAGELIST m_images = nullptr;
};
