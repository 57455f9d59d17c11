#include "settings/pages/ContactsIconsPage.h"

#include "base/ViewSettings.h"

BOOL CContactsIconsPage::OnInitPage() {
  m_initialised = FALSE;
  ::CheckDlgButton(m_hWnd, kLeftIndentBox, GetViewSettings().ContLeftIdent ? BST_UNCHECKED : BST_CHECKED);
  m_initialised = TRUE;
  return TRUE;
}

BOOL CContactsIconsPage::OnApply() { return GetViewSettings().Save(); }

void CContactsIconsPage::OnReset() { GetViewSettings().Load(); }

LRESULT CContactsIconsPage::OnLeftIndentClicked() {
  if (!m_initialised) return 0;
  const BOOL ticked = ::SendDlgItemMessageW(m_hWnd, kLeftIndentBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
  GetViewSettings().ContLeftIdent = ticked ? 0 : 1;
  return 0;
}
