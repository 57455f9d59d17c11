#include "settings/pages/CalendarTasksPage.h"

#include "base/RegKey.h"
#include "base/ViewSettings.h"

BOOL CCalendarTasksPage::OnInitPage() {
  HWND combo = GetDlgItem(kTaskMultidayCombo);
  FillComboFromStrings(kTaskMultidayChoices, combo);
  ::SendMessageW(combo, CB_SETCURSEL,
                 static_cast<WPARAM>(SelectComboByData(kTaskMultidayChoices, GetViewSettings().App_TaskShowMultiday)), 0);
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  m_showTasks = key.GetDWORD(L"CalendarShowTasks", 1) != 0;
  m_overdue = key.GetDWORD(L"CalendarShowOverdueTasks", 1) != 0;
  m_completed = key.GetDWORD(L"CalendarShowCompletedTasks", 0) != 0;
  m_undated = key.GetDWORD(L"CalendarShowUndatedTasks", 0) != 0;
  UpdateControls(FALSE);
  return TRUE;
}

void CCalendarTasksPage::UpdateControls(BOOL reading) {
  struct Dependent {
    int control;
    DWORD* value;
  } const dependents[] = {
      {kShowUndatedTasksBox, &m_undated}, {kShowOverdueTasksBox, &m_overdue}, {kShowCompletedTasksBox, &m_completed}};
  if (reading) {
    const DWORD wasShown = m_showTasks;
    m_showTasks = IsDlgButtonChecked(kShowTasksBox) == BST_CHECKED;
    if (wasShown)
      for (const Dependent& box : dependents) *box.value = IsDlgButtonChecked(box.control) == BST_CHECKED;
  } else {
    CheckDlgButton(kShowTasksBox, m_showTasks ? BST_CHECKED : BST_UNCHECKED);
  }
  for (const Dependent& box : dependents) {
    CheckDlgButton(box.control, m_showTasks && *box.value ? BST_CHECKED : BST_UNCHECKED);
    ::EnableWindow(GetDlgItem(box.control), m_showTasks != 0);
  }
  ::EnableWindow(GetDlgItem(kTaskMultidayCombo), m_showTasks != 0);
}

LRESULT CCalendarTasksPage::OnButtonClicked(WORD, WORD, HWND, BOOL& handled) {
  UpdateControls(TRUE);
  handled = FALSE;
  return 0;
}

BOOL CCalendarTasksPage::OnApply() {
  UpdateControls(TRUE);
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(L"CalendarShowTasks", m_showTasks);
  key.SetDWORD(L"CalendarShowOverdueTasks", m_overdue);
  key.SetDWORD(L"CalendarShowCompletedTasks", m_completed);
  key.SetDWORD(L"CalendarShowUndatedTasks", m_undated);
  const LRESULT selection = SendDlgItemMessage(kTaskMultidayCombo, CB_GETCURSEL, 0, 0);
  if (selection >= 0 && selection < 4) {
    CViewSettings& settings = GetViewSettings();
    settings.App_TaskShowMultiday = kTaskMultidayChoices[selection].value;
    settings.Save();
  }
  return TRUE;
}
