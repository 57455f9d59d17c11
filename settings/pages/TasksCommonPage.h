// The Tasks sheet's common page: the completion message, how much of a task's
// subject a row shows (the number of the task pattern, kept with the view-style page
// through CTaskLineMode), the style of tasks and tasks of all categories.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

const int kTaskCompletedMessageBox = 1010;
const int kTaskSubjectCombo = 1011;
const int kTasksStyleCombo = 1082;
const int kTasksAllCategoriesBox = 1022;

class CTasksCommonPage : public COptionsPage<CTasksCommonPage> {
 public:
  enum { IDD = FindPage(2, 0).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(2, 0).helpTopic; }
  // The item of 1011 for a pattern number, -1 for a number it has none for.
  static int SubjectItemFor(int number);

  BEGIN_MSG_MAP(CTasksCommonPage)
    COMMAND_HANDLER(kTaskSubjectCombo, CBN_SELCHANGE, OnSubjectChanged)
    COMMAND_HANDLER(kTasksStyleCombo, CBN_SELCHANGE, OnStyleChanged)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    CHAIN_MSG_MAP(COptionsPage<CTasksCommonPage>)
  END_MSG_MAP()

 private:
  LRESULT OnSubjectChanged(WORD, WORD, HWND, BOOL&);
  LRESULT OnStyleChanged(WORD, WORD, HWND, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);

  int m_tasksStyle = -1;
};
