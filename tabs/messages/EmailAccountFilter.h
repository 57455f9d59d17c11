// CEmailAccountFilter: the Messages tab's header selector of mail folder filters. Its
// items are the inbox filter (the standard filter named with text 188) and the filters
// chosen last ("EmailAccounts" under the filters key, most recent first, seven shown),
// sorted by name; its menu adds the other filters and the tab's two display switches
// (show empty accounts, only unread messages, kept in the view settings). The chosen
// filter is the filters' active one ("EmailFilter").
//
// Item identifiers are the filter's index + 2. The tab hears every choice through the
// listener's OnItemChosen: an item's identifier, the switches, and for a filter picked
// from the "more" submenu always EMAIL_FILTER_CMD_MORE.
#pragma once
#include <windows.h>

#include "base/FilterList.h"
#include "controls/VirtualDropDown.h"
#include "tabs/messages/EmailAccount.h"

class CEmailsList;
class CMailFoldersFilters;

// The selector's own commands.
const int EMAIL_FILTER_CMD_RECORD = 2;  // + the filter's index: the items
const int EMAIL_FILTER_CMD_EDIT = static_cast<int>(0x80000001);  // the options program's filter page
const int EMAIL_FILTER_CMD_MORE = static_cast<int>(0x80000002);  // + the filter's index
const int EMAIL_FILTER_CMD_MORE_END = static_cast<int>(0x80000066);
const int EMAIL_FILTER_CMD_SHOW_EMPTY = static_cast<int>(0x80002304);
const int EMAIL_FILTER_CMD_ONLY_UNREAD = static_cast<int>(0x80002305);

class CEmailAccountFilter : public CVirtualDropDown {
 public:
  static const int kMaxRecent = 7;

  // The e-mail list gives the session whose accounts join the filters; the filters
  // object is the process's unless given (tests).
  explicit CEmailAccountFilter(CEmailsList* list = nullptr, CMailFoldersFilters* filters = nullptr);
  ~CEmailAccountFilter() override;

  // Reads the switches from the view settings, the filters (once per process unless
  // reloaded, with the session's new accounts merged in) and the active filter.
  void Load();
  // Writes the current filter as the active one and the switches to the view settings.
  void Save();
  // Rebuilds the items (see the file comment) and selects the current filter quietly.
  void Fill();
  // That filter becomes current; FALSE when none has the name.
  BOOL SelectByName(LPCWSTR name);
  // The current filter; with none, the inbox filter is made current (the filters
  // loaded first). Null when that is missing too. Valid until the filters change
  // (a reload or a new account): ask again after Load.
  EMAIL_ACCOUNT* GetCurrentFilter();
  // Index into the filters; -1 when none is current.
  int GetCurrentIndex() const { return m_current; }

  BOOL IsShowEmptyAccounts() const { return m_showEmpty; }
  BOOL IsOnlyUnread() const { return m_onlyUnread; }
  const CStringList& GetRecent() const { return m_recent.Entries(); }

  // The "more" submenu (the edit entry, then the filters not shown as items) and the
  // switches' submenu.
  void FillMenuExtra(HMENU menu, int position) override;
  int OnItemChosen(int commandId) override;

 private:
  int InboxIndex() const;
  // Whether name is among the first kMaxRecent recent entries.
  BOOL IsShownRecent(LPCWSTR name) const;
  void LoadFilters(BOOL force);

  CEmailsList* m_list;
  CMailFoldersFilters* m_filters;
  BOOL m_showEmpty = FALSE;
  BOOL m_onlyUnread = FALSE;
  CFilterList m_recent;
  int m_current = -1;
};
