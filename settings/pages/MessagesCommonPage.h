// The Messages sheet's common page: how the Messages tab sorts and opens
// messages, its counters, which accounts and messages it shows, whether deleting
// asks first, whether previewing marks a message read, and whether the calendar
// shows e-mail. The calendar box holds "CalendarShowEmails", the value the
// plug-in reads and the calendar show page edits too.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

const int kEmailSortingCombo = 1059;
const int kEmailsOneTapCombo = 1061;
const int kEmailCounterCombo = 1049;
const int kSetAsReadPreviewBox = 1007;
const int kCalendarEmailsBox = 1068;
const int kConfirmDeletionBox = 1050;
const int kOnlyUnreadBox = 1010;
const int kShowEmptyAccountsBox = 1009;

class CMessagesCommonPage : public COptionsPage<CMessagesCommonPage> {
 public:
  enum { IDD = FindPage(5, 0).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  LPCWSTR GetHelpTopic() { return FindPage(5, 0).helpTopic; }
};
