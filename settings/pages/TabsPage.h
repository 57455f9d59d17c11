// The Tabs sheet's tabs page: the order and set of the panel's tabs.
#pragma once
#include <windows.h>

#include "platform/aygshell/aygshell.h"
#include "settings/pages/PageTable.h"

class CTabsPage : public COptionsPage<CTabsPage> {
 public:
  enum { IDD = FindPage(8, 1).templateId };

  BOOL OnInitPage() { return TRUE; }
  BOOL OnApply() { return TRUE; }
  LPCWSTR GetHelpTopic() { return FindPage(8, 1).helpTopic; }

  BEGIN_MSG_MAP(CTabsPage)
    CHAIN_MSG_MAP(COptionsPage<CTabsPage>)
    // The device's list gesture query, whoever asks: handled.
    NOTIFY_CODE_HANDLER(static_cast<UINT>(-50), OnGestureQuery)
  END_MSG_MAP()

 private:
  LRESULT OnGestureQuery(int, NMHDR*, BOOL&) { return 1; }
};
