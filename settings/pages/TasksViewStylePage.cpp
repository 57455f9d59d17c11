#include "settings/pages/TasksViewStylePage.h"

#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/PreviewSamples.h"
#include "settings/pages/TaskLineMode.h"
#include "tabs/tasks/TaskRowRenderer.h"

BOOL CTasksViewStylePage::OnInitPage() {
  m_ready = FALSE;
  CViewSettings& settings = GetViewSettings();
  // Pinned before the record's number is held back, so the common page sees it.
  const int number = CTaskLineMode::Get(GetParent());
  CTaskLineMode::Set(GetParent(), number);
  SelectComboItem(m_hWnd, kTaskLineModeCombo, number >= 1 && number <= 3 ? number - 1 : -1);
  ::EnableWindow(GetDlgItem(kTaskDateIndentBox), number != 1);
  TickBox(m_hWnd, kTaskDateIndentBox, settings.Task_MakeDateIndent != 0);
  TickBox(m_hWnd, kTaskCheckBoxBox, settings.Task_ShowCheckbox != 0);
  HoldBack(number);
  m_preview.Place(m_hWnd, 105, 100);
  m_preview.TakeBackground();
  m_preview.SetRows(NewSampleTaskRow());
  m_ready = TRUE;
  return TRUE;
}

void CTasksViewStylePage::HoldBack(int number) {
  m_heldBack = -1;
  if (number == 3) {
    m_heldBack = 3;
    number = 2;
  }
  GetViewSettings().TaskPattern.count = number;
}

LRESULT CTasksViewStylePage::OnLineModeChanged(WORD, WORD, HWND, BOOL&) {
  if (!m_ready) return 0;
  const int index = GetComboSelection(m_hWnd, kTaskLineModeCombo);
  if (index >= 0) CTaskLineMode::Set(GetParent(), index + 1);
  UpdateSettings();
  return 0;
}

void CTasksViewStylePage::UpdateSettings() {
  m_ready = FALSE;
  CViewSettings& settings = GetViewSettings();
  // The sheet's number leads: the common page may have chosen one since.
  const int number = CTaskLineMode::Get(GetParent());
  SelectComboItem(m_hWnd, kTaskLineModeCombo, number >= 1 && number <= 3 ? number - 1 : -1);
  HoldBack(number);
  ::EnableWindow(GetDlgItem(kTaskDateIndentBox), number != 1);
  if (number != 1) settings.Task_MakeDateIndent = IsBoxTicked(m_hWnd, kTaskDateIndentBox) ? 1 : 0;
  settings.Task_ShowCheckbox = IsBoxTicked(m_hWnd, kTaskCheckBoxBox) ? 1 : 0;
  m_preview.Layout();
  m_preview.Invalidate(m_hWnd);
  m_ready = TRUE;
}

BOOL CTasksViewStylePage::OnSetActive() {
  if (m_ready) UpdateSettings();
  return COptionsPage<CTasksViewStylePage>::OnSetActive();
}

BOOL CTasksViewStylePage::OnApply() {
  UpdateSettings();
  CViewSettings& settings = GetViewSettings();
  if (m_heldBack > 0) settings.TaskPattern.count = m_heldBack;
  // The record keeps the true number until the page updates again: the pages
  // after this one save the same record.
  settings.Save();
  return TRUE;
}

void CTasksViewStylePage::OnReset() {
  CTaskLineMode::Forget(GetParent());
  GetViewSettings().Load();
}

LRESULT CTasksViewStylePage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  CTaskLineMode::Forget(GetParent());
  handled = FALSE;
  return 0;
}
