#include "settings/pages/ContactsCommonPage.h"

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"

namespace {
const DWORD kGroupByValues[] = {501, 558, 551};
const int kPopupOneTap = 3;
}  // namespace

int CContactsCommonPage::GroupByItemFor(DWORD value) {
  if (value == 551) return 2;
  if (value == 558) return 1;
  return 0;
}

DWORD CContactsCommonPage::GroupByValueFor(int item) {
  return item >= 0 && item < 3 ? kGroupByValues[item] : kGroupByValues[0];
}

BOOL CContactsCommonPage::OnInitPage() {
  ShowStored();
  m_layouts.Load(m_hWnd);
  return TRUE;
}

void CContactsCommonPage::ShowStored() {
  CViewSettings& view = GetViewSettings();
  view.Load();
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    SelectComboItem(m_hWnd, kContactsGroupByCombo, GroupByItemFor(key.GetDWORD(L"ContactsGroupBy", 551)));
  }
  SelectComboItem(m_hWnd, kContactsOneTapCombo, view.ContactsOneTap);
  ::EnableWindow(GetDlgItem(kContactsPopupBox), view.ContactsOneTap == kPopupOneTap);
  TickBox(m_hWnd, kContactsPopupBox, view.ContactOpenFromPopup == 0);
}

LRESULT CContactsCommonPage::OnOneTapChanged(WORD, WORD, HWND, BOOL&) {
  ::EnableWindow(GetDlgItem(kContactsPopupBox), GetComboSelection(m_hWnd, kContactsOneTapCombo) == kPopupOneTap);
  return 0;
}

LRESULT CContactsCommonPage::OnLayoutChanged(WORD, WORD, HWND, BOOL&) {
  m_layouts.OnSelectionChanged(GetViewSettings().PhoneKeyb_DisableLangSwitch);
  return 0;
}

BOOL CContactsCommonPage::OnApply() {
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(L"ContactsGroupBy", GroupByValueFor(GetComboSelection(m_hWnd, kContactsGroupByCombo)));
  }
  m_layouts.Save();
  CViewSettings& view = GetViewSettings();
  const int oneTap = GetComboSelection(m_hWnd, kContactsOneTapCombo);
  // A stored action the box has no item for is kept.
  if (oneTap >= 0) view.ContactsOneTap = oneTap;
  view.ContactOpenFromPopup = IsBoxTicked(m_hWnd, kContactsPopupBox) ? 0 : 1;
  view.Save();
  return TRUE;
}

void CContactsCommonPage::OnReset() { ShowStored(); }
