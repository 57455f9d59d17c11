// CPellamRowRenderer: the list row of one scheduled transaction: the finance program's
// icon in a left column, the first text (after the date in the date-showing mode), the
// second text at the right and the reminder icon after it.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "platform/windowlib/String.h"

class CPellamTransactionItem;

// The transaction row's kind: an item row of the list tabs.
const int ITEM_KIND_TRANSACTION = 508;

class CPellamRowRenderer : public CPimListItem {
 public:
  enum { kModeCaption = 0, kModeDate = 1 };
  enum { kCommandRunPellam = 1029, kCommandSettings = 1027 };
  enum { kPellamIcon = 19, kReminderIcon = 4 };

  // Holds a reference to the item. wide: the left column of the wide layout.
  CPellamRowRenderer(CPellamTransactionItem* item, IListItemOwner* owner, int mode, BOOL wide = FALSE);
  ~CPellamRowRenderer() override;

  int GetKind() override { return ITEM_KIND_TRANSACTION; }
  int Layout() override;
  void Draw(CTextRunList* context, const POINT* origin) override;
  // At the top: run the program, a separator, the settings.
  void BuildMenu(HMENU menu) override;
  // 1001, 1002, 1006 and 1007 are taken and change nothing; 1003 asks (text 151) and
  // changes nothing; anything else is left to the tab.
  BOOL OnCommand(UINT command) override;

  CPellamTransactionItem* GetItem() const { return m_item; }
  int GetMode() const { return m_mode; }
  const CString& GetFirstLine() const { return m_firstLine; }
  const RECT& GetFirstRect() const { return m_firstRect; }
  const RECT& GetSecondRect() const { return m_secondRect; }
  const RECT& GetIconRect() const { return m_iconRect; }
  // Empty when the item has no reminder.
  const RECT& GetReminderRect() const { return m_reminderRect; }

 private:
  CPellamTransactionItem* m_item;
  int m_mode;
  BOOL m_wide;
  CString m_firstLine;
  RECT m_firstRect;
  RECT m_secondRect;
  RECT m_iconRect;
  RECT m_reminderRect;
};
