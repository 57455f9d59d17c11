#include "settings/pages/SpecialEventsPage.h"

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "pim/SystemUtils.h"
#include "res/TarvoResIds.h"
#include "settings/pages/PageControls.h"

const IdChoice kSpecialPeriodChoices[] = {
    {1, IDS_SPECIAL_PERIOD_1}, {2, IDS_SPECIAL_PERIOD_2}, {3, IDS_SPECIAL_PERIOD_3}, {0, IDS_SPECIAL_PERIOD_0},
    {4, IDS_SPECIAL_PERIOD_4}, {5, IDS_SPECIAL_PERIOD_5}, {6, IDS_SPECIAL_PERIOD_6}, {0, -1}};
const TextChoice kBirthdayDisplayChoices[] = {
    {0, L"First, Last"}, {1, L"Last, First"}, {2, L"File as"}, {0, nullptr}};

BOOL CSpecialEventsPage::OnInitPage() {
  HWND period = ::GetDlgItem(m_hWnd, kSpecialPeriodCombo);
  HWND names = ::GetDlgItem(m_hWnd, kBirthdayDisplayCombo);
  ::SendMessageW(period, CB_RESETCONTENT, 0, 0);
  ::SendMessageW(names, CB_RESETCONTENT, 0, 0);
  FillComboFromTable(kSpecialPeriodChoices, period);
  FillComboFromStrings(kBirthdayDisplayChoices, names);
  OnReset();
  return TRUE;
}

void CSpecialEventsPage::OnReset() {
  CViewSettings& view = GetViewSettings();
  view.Load();
  const BOOL pellam = IsPellamPresent();
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  TickBox(m_hWnd, kShowBirthdaysBox, key.GetDWORD(L"SpecialShowBirthdays", 1) != 0);
  TickBox(m_hWnd, kShowTransactionsBox, key.GetDWORD(L"SpecialShowTransactions", pellam ? 1 : 0) != 0);
  SelectComboByItemData(m_hWnd, kSpecialPeriodCombo, view.SpecialPeriod);
  SelectComboByItemData(m_hWnd, kBirthdayDisplayCombo, view.BirthdayDisplay);
  ::EnableWindow(::GetDlgItem(m_hWnd, kShowTransactionsBox), pellam);
}

BOOL CSpecialEventsPage::OnSetActive() {
  ::EnableWindow(::GetDlgItem(m_hWnd, kShowTransactionsBox), IsPellamPresent());
  return COptionsPage<CSpecialEventsPage>::OnSetActive();
}

BOOL CSpecialEventsPage::OnApply() {
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(L"SpecialShowBirthdays", IsBoxTicked(m_hWnd, kShowBirthdaysBox) ? 1 : 0);
    key.SetDWORD(L"SpecialShowTransactions", IsBoxTicked(m_hWnd, kShowTransactionsBox) ? 1 : 0);
  }
  CViewSettings& view = GetViewSettings();
  // Nothing selected: a stored value the box has no item for, kept.
  view.SpecialPeriod = GetSelectedComboData(m_hWnd, kSpecialPeriodCombo, view.SpecialPeriod);
  view.BirthdayDisplay = GetSelectedComboData(m_hWnd, kBirthdayDisplayCombo, view.BirthdayDisplay);
  view.Save();
  return TRUE;
}
