// The Notes sheet's filter page: the folders whose notes are shown.
#pragma once
#include <windows.h>

#include "platform/aygshell/aygshell.h"
#include "settings/pages/PageTable.h"

class CNotesFilterPage : public COptionsPage<CNotesFilterPage> {
 public:
  enum { IDD = FindPage(4, 3).templateId };

  BOOL OnInitPage() { return TRUE; }
  BOOL OnApply() { return TRUE; }
  LPCWSTR GetHelpTopic() { return FindPage(4, 3).helpTopic; }

  BEGIN_MSG_MAP(CNotesFilterPage)
    CHAIN_MSG_MAP(COptionsPage<CNotesFilterPage>)
    // The device's list gesture query, whoever asks: handled.
    NOTIFY_CODE_HANDLER(static_cast<UINT>(-50), OnGestureQuery)
  END_MSG_MAP()

 private:
  LRESULT OnGestureQuery(int, NMHDR*, BOOL&) { return 1; }
};
