#include "settings/pages/AutoReturnPage.h"

#include "base/RegKey.h"
#include "settings/pages/PageControls.h"

const TextChoice kAutoReturnChoices[] = {{0, L"Never"}, {1, L"When active"}, {2, L"Always"}, {0, nullptr}};

BOOL CAutoReturnPage::OnInitPage() {
  HWND combo = ::GetDlgItem(m_hWnd, kAutoReturnCombo);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  FillComboFromStrings(kAutoReturnChoices, combo);
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const int value = static_cast<int>(key.GetDWORD(L"AdvancedKeyboardSupport", 0));
  SelectComboByItemData(m_hWnd, kAutoReturnCombo, value);
  return TRUE;
}

BOOL CAutoReturnPage::OnApply() {
  // Nothing selected: a stored value the box has no item for, kept.
  if (GetComboSelection(m_hWnd, kAutoReturnCombo) < 0) return TRUE;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(L"AdvancedKeyboardSupport", static_cast<DWORD>(GetSelectedComboData(m_hWnd, kAutoReturnCombo, 0)));
  return TRUE;
}
