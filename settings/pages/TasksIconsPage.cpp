#include "settings/pages/TasksIconsPage.h"

#include "base/ViewSettings.h"

BOOL CTasksIconsPage::OnInitPage() {
  m_ready = FALSE;
  m_letters.Create(m_hWnd, kLeadingIconCombo);
  m_letters.Show(m_hWnd, kLeadingIconCombo, GetViewSettings().TaskPattern);
  m_ready = TRUE;
  return TRUE;
}

void CTasksIconsPage::UpdateIconLetters() {
  m_ready = FALSE;
  m_letters.Take(m_hWnd, kLeadingIconCombo, GetViewSettings().TaskPattern);
  m_ready = TRUE;
}

BOOL CTasksIconsPage::OnSetActive() {
  if (m_ready) UpdateIconLetters();
  return COptionsPage<CTasksIconsPage>::OnSetActive();
}

BOOL CTasksIconsPage::OnApply() {
  UpdateIconLetters();
  GetViewSettings().Save();
  return TRUE;
}

void CTasksIconsPage::OnReset() { GetViewSettings().Load(); }
