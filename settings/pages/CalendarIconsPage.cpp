#include "settings/pages/CalendarIconsPage.h"

#include "base/ViewSettings.h"

BOOL CCalendarIconsPage::OnInitPage() {
  m_ready = FALSE;
  m_letters.Create(m_hWnd, kLeadingIconCombo);
  m_letters.Show(m_hWnd, kLeadingIconCombo, GetViewSettings().AppPattern);
  m_ready = TRUE;
  return TRUE;
}

void CCalendarIconsPage::UpdateIconLetters() {
  m_ready = FALSE;
  m_letters.Take(m_hWnd, kLeadingIconCombo, GetViewSettings().AppPattern);
  m_ready = TRUE;
}

BOOL CCalendarIconsPage::OnSetActive() {
  if (m_ready) UpdateIconLetters();
  return COptionsPage<CCalendarIconsPage>::OnSetActive();
}

BOOL CCalendarIconsPage::OnApply() {
  UpdateIconLetters();
  GetViewSettings().Save();
  return TRUE;
}

void CCalendarIconsPage::OnReset() { GetViewSettings().Load(); }
