#include "settings/pages/ContactsIconsPage.h"

#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/PreviewSamples.h"

BOOL CContactsIconsPage::OnInitPage() {
  m_initialised = FALSE;
  m_letters.Create(m_hWnd, kLeadingIconCombo);
  const CItemPattern& pattern = GetViewSettings().ContactPattern;
  m_letters.Show(m_hWnd, kLeadingIconCombo, pattern);
  ShowIndentBox(GetComboSelection(m_hWnd, kLeadingIconCombo) - 1);
  m_preview.Place(m_hWnd, 120, 100);
  m_preview.SetRows(NewSampleContactRow());
  m_preview.TakeBackground();
  m_initialised = TRUE;
  return TRUE;
}

void CContactsIconsPage::ShowIndentBox(int leading) {
  const BOOL free = leading < 0;
  TickBox(m_hWnd, kLeftIndentBox, free && GetViewSettings().ContLeftIdent == 0);
  ::EnableWindow(GetDlgItem(kLeftIndentBox), free);
}

void CContactsIconsPage::UpdateIconLetters(BOOL applying) {
  const BOOL ready = m_initialised;
  m_initialised = FALSE;
  CViewSettings& view = GetViewSettings();
  const int leading = m_letters.Take(m_hWnd, kLeadingIconCombo, view.ContactPattern);
  if (leading >= 0 && applying) view.ContLeftIdent = 1;
  ShowIndentBox(leading);
  m_preview.Layout();
  m_preview.Invalidate(m_hWnd);
  const RECT square = CPatternIcons::GetIconSquare(m_hWnd, kLeadingIconCombo);
  ::InvalidateRect(m_hWnd, &square, FALSE);
  m_initialised = ready;
}

LRESULT CContactsIconsPage::OnLeftIndentClicked() {
  if (!m_initialised) return 0;
  GetViewSettings().ContLeftIdent = IsBoxTicked(m_hWnd, kLeftIndentBox) ? 0 : 1;
  UpdateIconLetters(FALSE);
  return 0;
}

BOOL CContactsIconsPage::OnSetActive() {
  UpdateIconLetters(FALSE);
  return COptionsPage<CContactsIconsPage>::OnSetActive();
}

BOOL CContactsIconsPage::OnApply() {
  UpdateIconLetters(TRUE);
  GetViewSettings().Save();
  return TRUE;
}

void CContactsIconsPage::OnReset() { GetViewSettings().Load(); }
