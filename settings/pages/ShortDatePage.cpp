#include "settings/pages/ShortDatePage.h"

#include "base/RegKey.h"
#include "res/TarvoResIds.h"
#include "settings/base/DatePictures.h"
#include "settings/pages/DatePageText.h"
#include "settings/pages/PageControls.h"

BOOL CShortDatePage::OnInitPage() {
  m_ready = FALSE;
  CreateDateExplanation(m_hWnd, IDS_SHORT_DATE_EXPLANATION);
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  TickBox(m_hWnd, kShortNotYearBox, key.GetDWORD(L"ShortDate_NotYear", 1) != 0);
  m_shortYear = key.GetDWORD(L"ShortDate_ShortYear", 1) != 0;
  TickBox(m_hWnd, kShortShortYearBox, m_shortYear);
  ::EnableWindow(::GetDlgItem(m_hWnd, kShortShortYearBox), TRUE);
  UpdateYearBox();
  UpdateSample();
  m_ready = TRUE;
  return TRUE;
}

void CShortDatePage::UpdateYearBox() { ApplyYearRule(m_hWnd, kShortNotYearBox, kShortShortYearBox, m_shortYear); }

void CShortDatePage::UpdateSample() {
  WCHAR locale[80] = L"";
  if (!::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, locale, ARRAYSIZE(locale))) locale[0] = L'\0';
  const CString picture = ParseDatePicture(locale, !IsBoxTicked(m_hWnd, kShortNotYearBox),
                                           IsBoxTicked(m_hWnd, kShortShortYearBox), TRUE, TRUE);
  ::SetDlgItemTextW(m_hWnd, kShortSampleText, FormatToday(picture));
}

BOOL CShortDatePage::OnApply() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const BOOL notYear = IsBoxTicked(m_hWnd, kShortNotYearBox);
  key.SetDWORD(L"ShortDate_NotYear", notYear ? 1 : 0);
  if (!notYear) key.SetDWORD(L"ShortDate_ShortYear", IsBoxTicked(m_hWnd, kShortShortYearBox) ? 1 : 0);
  return TRUE;
}

LRESULT CShortDatePage::OnNotYearClicked(WORD, WORD, HWND, BOOL&) {
  if (!m_ready) return 0;
  UpdateYearBox();
  UpdateSample();
  return 0;
}

LRESULT CShortDatePage::OnShortYearClicked(WORD, WORD, HWND, BOOL&) {
  if (m_ready) UpdateSample();
  return 0;
}

LRESULT CShortDatePage::OnSettingChanged(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (m_ready) {
    if (wParam == kScreenResetCode) MoveDateExplanation(m_hWnd);
    UpdateSample();
  }
  handled = FALSE;
  return 0;
}
