// The Calendar sheet's tasks page: which tasks the Calendar tab shows, and on which
// dates a task spanning several days stands. The three kinds of tasks are offered
// only while tasks are shown at all; switching that off and on brings their boxes
// back as they were.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"
#include "settings/shell/ChoiceTable.h"

const int kShowTasksBox = 1030;
const int kShowOverdueTasksBox = 1031;
const int kShowCompletedTasksBox = 1032;
const int kShowUndatedTasksBox = 1035;
const int kTaskMultidayCombo = 1051;

constexpr TextChoice kTaskMultidayChoices[] = {
    {0, L"On start date"}, {1, L"On due date"}, {2, L"On both dates"}, {3, L"On all dates"}, {0, L""}};

class CCalendarTasksPage : public COptionsPage<CCalendarTasksPage> {
 public:
  enum { IDD = FindPage(1, 2).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  LPCWSTR GetHelpTopic() { return FindPage(1, 2).helpTopic; }
  // reading: the boxes into the page (the three dependent ones only while tasks were
  // shown before); then the page into the boxes, dependent ones cleared and disabled
  // while tasks are not shown.
  void UpdateControls(BOOL reading);

  BEGIN_MSG_MAP(CCalendarTasksPage)
    COMMAND_CODE_HANDLER(BN_CLICKED, OnButtonClicked)
    CHAIN_MSG_MAP(COptionsPage<CCalendarTasksPage>)
  END_MSG_MAP()

 private:
  LRESULT OnButtonClicked(WORD, WORD, HWND, BOOL& handled);

  DWORD m_showTasks = 1;
  DWORD m_overdue = 1;
  DWORD m_completed = 0;
  DWORD m_undated = 0;
};
