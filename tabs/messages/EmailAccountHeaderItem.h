// CEmailAccountHeaderItem: an account's row in the Calendar tab's unread e-mail group:
// the account's icon (22 with unread messages, else 23) and its title with the unread
// count. Opening it brings the Messages tab at that account ("QelTarvo_SelectEmailAccount"
// to the panel); its menu writes a new message, opens the account in its mail program
// or sends and receives it.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "platform/windowlib/String.h"

// The row's menu commands (1001 and 1002, open and edit, also select the account).
const UINT EMAIL_ACCOUNT_CMD_NEW_MESSAGE = 1045;
const UINT EMAIL_ACCOUNT_CMD_OPEN_ACCOUNT = 1030;
const UINT EMAIL_ACCOUNT_CMD_SEND_RECEIVE = 1425;

class CEmailsList;

class CEmailAccountHeaderItem : public CPimListItem {
 public:
  // A record row (it takes the open command) of its own kind.
  enum { kKind = 506 };
  // The icon position the row's status icon answers for.
  static const int kIconPosition = 101;

  // list: where the commands go (null: the process's list).
  CEmailAccountHeaderItem(IListItemOwner* owner, LPCWSTR title, LPCWSTR accountName, int accountIndex,
                          CEmailsList* list = nullptr);

  void SetCounts(int messages, int unread);
  void SetIndented(BOOL indented);
  int GetMessageCount() const { return m_messageCount; }
  int GetUnreadCount() const { return m_unreadCount; }
  int GetAccountIndex() const { return m_accountIndex; }
  const CString& GetAccountName() const { return m_accountName; }
  // The title, then " (n)" with n unread messages.
  CString GetTitleText() const;
  // 22 (unread messages) or 23 for the status icon's position; -1 for any other.
  int GetIcon(int position) const;
  const RECT& GetIconRect() const { return m_iconRect; }
  const RECT& GetTitleRect() const { return m_titleRect; }

  int GetKind() override { return kKind; }
  void Draw(CTextRunList* context, const POINT* origin) override;
  void BuildMenu(HMENU menu) override;
  BOOL OnCommand(UINT command) override;
  int Layout() override;

 private:
  CString m_title;
  CString m_accountName;
  int m_messageCount = 0;
  int m_unreadCount = 0;
  BOOL m_indented = FALSE;
  BOOL m_laidOut = FALSE;
  RECT m_iconRect = {};
  int m_icon = 23;
  CString m_titleText;
  RECT m_titleRect = {};
  int m_accountIndex;
  int m_lastHeight = 0;
  CEmailsList* m_list;
};
