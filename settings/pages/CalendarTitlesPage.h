// The Calendar sheet's titles page: the day-title and subject choices, and the link
// that opens the long-date page of the General sheet over this sheet.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

// Notifications of the link control: its command is answered 1; its notify code
// opens the long-date page. A plain button sends BN_CLICKED for the same tap.
const WORD kLinkCommandCode = 10003;
const UINT kLinkNotifyCode = 10105;
const int kLongDateLink = 1048;

class CCalendarTitlesPage : public COptionsPage<CCalendarTitlesPage> {
 public:
  enum { IDD = FindPage(1, 3).templateId };

  BOOL OnInitPage() { return TRUE; }
  BOOL OnApply() { return TRUE; }
  LPCWSTR GetHelpTopic() { return FindPage(1, 3).helpTopic; }
  // The General sheet at its long-date page, then the date formats read again.
  LRESULT OnLongDateLink();

  BEGIN_MSG_MAP(CCalendarTitlesPage)
    COMMAND_HANDLER(kLongDateLink, kLinkCommandCode, OnLinkCommand)
    COMMAND_HANDLER(kLongDateLink, BN_CLICKED, OnLinkClicked)
    NOTIFY_HANDLER(kLongDateLink, kLinkNotifyCode, OnLinkNotify)
    CHAIN_MSG_MAP(COptionsPage<CCalendarTitlesPage>)
  END_MSG_MAP()

 private:
  LRESULT OnLinkCommand(WORD, WORD, HWND, BOOL&) { return 1; }
  LRESULT OnLinkClicked(WORD, WORD, HWND, BOOL&) { return OnLongDateLink(); }
  LRESULT OnLinkNotify(int, NMHDR*, BOOL&) { return OnLongDateLink(); }
};
