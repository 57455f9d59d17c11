#include "settings/pages/ContactsViewStylePage.h"

#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/PreviewSamples.h"

BOOL CContactsViewStylePage::OnInitPage() {
  m_ready = FALSE;
  const CViewSettings& view = GetViewSettings();
  SelectComboItem(m_hWnd, kContactNameCombo, view.ContDisplay);
  SelectComboItem(m_hWnd, kContactRowModeCombo, view.ContactPattern.count - 1);
  m_preview.Place(m_hWnd, 80, 50);
  m_preview.SetRows(NewSampleContactRow());
  m_preview.TakeBackground();
  m_ready = TRUE;
  return TRUE;
}

void CContactsViewStylePage::UpdateSettings() {
  CViewSettings& view = GetViewSettings();
  // A stored value the box has no item for is kept until the user chooses.
  const int mode = GetComboSelection(m_hWnd, kContactRowModeCombo);
  if (mode >= 0) view.ContactPattern.count = mode + 1;
  const int name = GetComboSelection(m_hWnd, kContactNameCombo);
  if (name >= 0) view.ContDisplay = name;
  m_preview.Layout();
  m_preview.Invalidate(m_hWnd);
}

BOOL CContactsViewStylePage::OnSetActive() {
  if (m_ready) UpdateSettings();
  return COptionsPage<CContactsViewStylePage>::OnSetActive();
}

BOOL CContactsViewStylePage::OnApply() {
  UpdateSettings();
  GetViewSettings().Save();
  return TRUE;
}

void CContactsViewStylePage::OnReset() { GetViewSettings().Load(); }
