// CTasksNotifyWnd: the hidden window to which "Tasks Database" posts its changes for
// the tasks list. The list's request names the list itself, which the panel's window
// does not know; here a change reaches the list that asked for it and nothing else.
#pragma once
#include <windows.h>

class CTasksList;

class CTasksNotifyWnd {
 public:
  explicit CTasksNotifyWnd(CTasksList* list);
  // Destroys the window; the list's next open goes without notifications.
  ~CTasksNotifyWnd();
  CTasksNotifyWnd(const CTasksNotifyWnd&) = delete;
  CTasksNotifyWnd& operator=(const CTasksNotifyWnd&) = delete;

  // Makes the window and has the list open its database again with it; FALSE when
  // the window cannot be made.
  BOOL Attach();
  HWND GetHwnd() const { return m_window; }

  // One WM_DBNOTIFICATION: wParam 0 a record the database layer posted (a block of
  // this process's heap), else one sent by a caller that keeps it.
  LRESULT OnDbNotification(WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  CTasksList* m_list;
  HWND m_window;
};
