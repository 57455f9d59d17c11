// CEmailsView: the Messages tab (identifier 5): for the account filter chosen in its
// header, one folding group per folder name (accounts whose folders share a name,
// whatever its case, are one group) with the messages under it in one of four sort
// orders. It hears every change of the e-mail list and builds its rows anew; a tap on
// a message opens its preview.
#pragma once
#include <windows.h>

#include <map>
#include <memory>

#include "panel/ListPanelView.h"
#include "tabs/messages/EmailAccount.h"
#include "tabs/messages/EmailListListener.h"

class CEmailsList;
class CMailPreviewWnd;
class CEmailRowItem;
struct EMAIL_ITEM;

// What the tab asks of its account filter: the record it shows, the two display
// switches and a change of record by name.
class IEmailAccountChoice {
 public:
  virtual ~IEmailAccountChoice() = default;
  // Null when there is no record to show.
  virtual const EMAIL_ACCOUNT* GetCurrentFilter() = 0;
  virtual BOOL GetShowEmptyAccounts() = 0;
  virtual BOOL GetOnlyUnread() = 0;
  // FALSE when no record has that name.
  virtual BOOL SelectByName(LPCWSTR name) = 0;
  // Reads the records and the switches again (the options program may have changed
  // them) and shows the current record.
  virtual void Reload() {}
};

class CEmailsView : public CListPanelView, public IEmailListListener {
 public:
  enum { kTabId = 5, kTabIcon = 216, kSkinTabIndex = 4 };
  // The tab's title texts: the short one (title kind 1) is the sort selector's caption.
  enum { kTitleText = 126, kShortTitleText = 129 };
  enum : int { kSortCommand = 0xF000, kSortOrders = 4 };
  enum SortOrder { kSortByTime = 0, kSortBySender = 1, kSortBySubject = 2, kSortBySize = 3 };

  // What the account filter selector reports besides its records: a reload, and the
  // two switches and the "more" submenu's records (EmailAccountFilter.h).
  enum : int { kFilterReloaded = 12345 };

  // list: the messages (null: the process's); choice: the account filter (null: the
  // tab's own selector, `CEmailAccountFilter`).
  explicit CEmailsView(CVirtualWnd* owner = nullptr, CEmailsList* list = nullptr,
                       IEmailAccountChoice* choice = nullptr);
  ~CEmailsView() override;

  // The panel's maker of the tab; Install also lets the preview mark messages read.
  static CScrollPanel* Make(CVirtualWnd* owner);
  static void Install();

  int GetTabId() override { return kTabId; }
  UINT GetTabIcon() override { return kTabIcon; }
  UINT GetTabIconId(int) override { return kTabIcon; }
  int GetSkinTabIndex() override { return kSkinTabIndex; }
  void LoadSettings() override;
  void LoadGroupBy() override;
  void Activate() override;
  int RebuildContent() override;
  CVirtualDropDown* CreateSortMenu() override;
  // The account filter selector (`CEmailAccountFilter`), unless the tab was given its
  // account filter.
  CVirtualDropDown* CreateFilterMenu() override;
  void FillContextMenu(HMENU menu, LPARAM argument) override;
  // The list tabs' commands go to the base; the others to the selected message row,
  // unless they came from a row's own menu (that row had them first).
  void OnMenuCommand(int command) override;
  int TrackMenu(LPARAM argument, POINT* screenPoint) override;
  // Open, edit and delete act on the message row: the one the menu was opened on,
  // else the selected one.
  BOOL OpenItem(CListItem* row, BOOL edit) override;
  BOOL DeleteItem(CListItem* row) override;
  void OnItemReleased(CListItem* item) override;
  void OnItemNotify(CListItem* item, LPARAM value) override;
  // A header choice while the account filter reloads is not taken.
  void OnSelectionChanged(CVirtualDropDown* selector, int commandId) override;
  void OnItemChosen(int commandId) override;
  BOOL IsReloadingFilter() const { return m_reloadingFilter; }

  // IEmailListListener: whatever changed, the rows are built anew.
  void OnEmailChanged(EMAIL_ITEM* oldItem, EMAIL_ITEM* newItem) override;
  void OnEmailAdded(EMAIL_ITEM* item) override;
  void OnEmailDeleted(EMAIL_ITEM* item, int flag) override;

  // Shows the header of that account, unfolded and selected; without one the filter
  // that shows every account is chosen and the search made once more.
  BOOL SelectAccount(int accountIndex) override;

  // 501, 551 and 559 are kept; anything else is 501.
  static int NormaliseGroupBy(int value);
  static UINT GetTitleTextId(int titleKind) { return titleKind == 1 ? kShortTitleText : kTitleText; }
  // "EmailSorting", 0 for a value outside 0..3 (written back).
  static int LoadSortOrder();
  // <0, 0, >0 as a comes before, with or after b in that order.
  static int CompareMessages(int order, const EMAIL_ITEM* a, const EMAIL_ITEM* b);

  int GetSortOrder() const { return m_sortOrder; }
  int GetMessageCount() const { return m_messageCount; }
  CMailPreviewWnd* GetPreview() const { return m_preview.get(); }

 private:
  class CSelectorChoice;
  CEmailsList& List() const;
  IEmailAccountChoice& Choice() const;
  void AddFilterStores();
  void Rebuild();
  void ShowPreview(CListItem* row);
  // The message row a command from the tab acts on: row when it is one, else the
  // selected row when that is one; null otherwise.
  CEmailRowItem* MessageRow(CListItem* row) const;

  CEmailsList* m_list;
  IEmailAccountChoice* m_choice;
  std::unique_ptr<IEmailAccountChoice> m_ownChoice;
  std::unique_ptr<CMailPreviewWnd> m_preview;
  BOOL m_registered = FALSE;
  // Set while the account filter reads its records again.
  BOOL m_reloadingFilter = FALSE;
  // Set while a message row's own menu runs.
  BOOL m_rowMenuOpen = FALSE;
  int m_sortOrder = kSortByTime;
  int m_messageCount = 0;
  // Each shown account's group, by the account index its header carries.
  std::map<int, int> m_groupOf;
};
