#include "settings/pages/LongDatePage.h"

#include "base/RegKey.h"
#include "res/TarvoResIds.h"
#include "settings/base/DatePictures.h"
#include "settings/pages/DatePageText.h"
#include "settings/pages/PageControls.h"

namespace {

CString LocalePicture(LCTYPE type) {
  WCHAR picture[80] = L"";
  if (!::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, picture, ARRAYSIZE(picture))) picture[0] = L'\0';
  return CString(picture);
}

// The sample pictures: three fixed ones and the locale's short date.
CString SamplePicture(int index) {
  return index == GetLongDateSampleCount() - 1 ? LocalePicture(LOCALE_SSHORTDATE) : GetDefaultLongDateFormat(index);
}

}  // namespace

BOOL CLongDatePage::OnInitPage() {
  m_ready = FALSE;
  CreateDateExplanation(m_hWnd, IDS_LONG_DATE_EXPLANATION);
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  TickBox(m_hWnd, kLongRegionalBox, key.GetDWORD(L"LongDate_Regional", 1) != 0);
  TickBox(m_hWnd, kLongNotYearBox, key.GetDWORD(L"LongDate_NotYear", 1) != 0);
  m_shortYear = key.GetDWORD(L"LongDate_ShortYear", 1) != 0;
  TickBox(m_hWnd, kLongShortYearBox, m_shortYear);
  TickBox(m_hWnd, kLongShortMonthBox, key.GetDWORD(L"LongDate_ShortMonth", 1) != 0);
  TickBox(m_hWnd, kLongShortDayBox, key.GetDWORD(L"LongDate_ShortDay", 1) != 0);
  ::EnableWindow(::GetDlgItem(m_hWnd, kLongShortYearBox), TRUE);
  UpdateYearBox();
  FillSamples(FALSE);
  DWORD custom = key.GetDWORD(L"LongDate_CustomFormat", 0);
  m_customIndex = custom < static_cast<DWORD>(GetLongDateSampleCount()) ? static_cast<int>(custom) : 0;
  if (!IsBoxTicked(m_hWnd, kLongRegionalBox)) SelectComboItem(m_hWnd, kLongSampleCombo, m_customIndex);
  m_ready = TRUE;
  return TRUE;
}

void CLongDatePage::UpdateYearBox() { ApplyYearRule(m_hWnd, kLongNotYearBox, kLongShortYearBox, m_shortYear); }

void CLongDatePage::FillSamples(BOOL keep) {
  const BOOL regional = IsBoxTicked(m_hWnd, kLongRegionalBox);
  const int selection = GetComboSelection(m_hWnd, kLongSampleCombo);
  HWND combo = ::GetDlgItem(m_hWnd, kLongSampleCombo);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const BOOL keepYear = !IsBoxTicked(m_hWnd, kLongNotYearBox);
  const BOOL shortYear = IsBoxTicked(m_hWnd, kLongShortYearBox);
  const BOOL shortMonth = IsBoxTicked(m_hWnd, kLongShortMonthBox);
  const BOOL shortDay = IsBoxTicked(m_hWnd, kLongShortDayBox);
  if (regional) {
    // The samples' choice is remembered for when the regional picture is switched off.
    if (!keep && selection >= 0) m_customIndex = selection;
    const CString picture =
        ParseDatePicture(LocalePicture(LOCALE_SLONGDATE), keepYear, shortYear, shortMonth, shortDay);
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(FormatToday(picture))));
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
    ::EnableWindow(combo, FALSE);
    return;
  }
  for (int i = 0; i < GetLongDateSampleCount(); ++i) {
    const CString picture = ParseDatePicture(SamplePicture(i), keepYear, shortYear, shortMonth, shortDay);
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(FormatToday(picture))));
  }
  if (m_customIndex < 0) m_customIndex = 0;
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(keep && selection >= 0 ? selection : m_customIndex), 0);
  ::EnableWindow(combo, TRUE);
}

BOOL CLongDatePage::OnApply() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const BOOL regional = IsBoxTicked(m_hWnd, kLongRegionalBox);
  const BOOL notYear = IsBoxTicked(m_hWnd, kLongNotYearBox);
  key.SetDWORD(L"LongDate_Regional", regional ? 1 : 0);
  key.SetDWORD(L"LongDate_NotYear", notYear ? 1 : 0);
  if (!notYear) key.SetDWORD(L"LongDate_ShortYear", IsBoxTicked(m_hWnd, kLongShortYearBox) ? 1 : 0);
  key.SetDWORD(L"LongDate_ShortMonth", IsBoxTicked(m_hWnd, kLongShortMonthBox) ? 1 : 0);
  key.SetDWORD(L"LongDate_ShortDay", IsBoxTicked(m_hWnd, kLongShortDayBox) ? 1 : 0);
  const int selection = GetComboSelection(m_hWnd, kLongSampleCombo);
  if (!regional && selection >= 0) key.SetDWORD(L"LongDate_CustomFormat", static_cast<DWORD>(selection));
  return TRUE;
}

BOOL CLongDatePage::OnSetActive() {
  MoveDateExplanation(m_hWnd);
  return COptionsPage<CLongDatePage>::OnSetActive();
}

LRESULT CLongDatePage::OnRegionalClicked(WORD, WORD, HWND, BOOL&) {
  if (m_ready) FillSamples(FALSE);
  return 0;
}

LRESULT CLongDatePage::OnNotYearClicked(WORD, WORD, HWND, BOOL&) {
  if (!m_ready) return 0;
  UpdateYearBox();
  FillSamples(TRUE);
  return 0;
}

LRESULT CLongDatePage::OnFlagClicked(WORD, WORD, HWND, BOOL&) {
  if (m_ready) FillSamples(TRUE);
  return 0;
}

LRESULT CLongDatePage::OnSettingChanged(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (m_ready) {
    if (wParam == kScreenResetCode) MoveDateExplanation(m_hWnd);
    FillSamples(TRUE);
  }
  handled = FALSE;
  return 0;
}
