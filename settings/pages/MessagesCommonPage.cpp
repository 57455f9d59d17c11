#include "settings/pages/MessagesCommonPage.h"

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"

namespace {

// A box's stored index; nothing selected stores what was there.
DWORD ComboValue(HWND page, int combo, DWORD stored) {
  const int index = GetComboSelection(page, combo);
  return index < 0 ? stored : static_cast<DWORD>(index);
}

}  // namespace

BOOL CMessagesCommonPage::OnInitPage() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const CViewSettings& settings = GetViewSettings();
  SelectComboItem(m_hWnd, kEmailSortingCombo, static_cast<int>(key.GetDWORD(L"EmailSorting", 0)));
  SelectComboItem(m_hWnd, kEmailsOneTapCombo, static_cast<int>(key.GetDWORD(L"EmailsOneTap", 2)));
  SelectComboItem(m_hWnd, kEmailCounterCombo, settings.EmailCounterStyle);
  TickBox(m_hWnd, kSetAsReadPreviewBox, key.GetDWORD(L"Messages_SetAsReadedPreview", 1) != 0);
  TickBox(m_hWnd, kCalendarEmailsBox, key.GetDWORD(L"CalendarShowEmails", 1) != 0);
  TickBox(m_hWnd, kConfirmDeletionBox, settings.EmailConfirmDeletion != 0);
  TickBox(m_hWnd, kOnlyUnreadBox, settings.EmailsOnlyUnreaded != 0);
  TickBox(m_hWnd, kShowEmptyAccountsBox, settings.EmailShowEmptyAccounts != 0);
  return TRUE;
}

BOOL CMessagesCommonPage::OnApply() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(L"EmailsOneTap", ComboValue(m_hWnd, kEmailsOneTapCombo, key.GetDWORD(L"EmailsOneTap", 2)));
  key.SetDWORD(L"Messages_SetAsReadedPreview", IsBoxTicked(m_hWnd, kSetAsReadPreviewBox) ? 1 : 0);
  key.SetDWORD(L"CalendarShowEmails", IsBoxTicked(m_hWnd, kCalendarEmailsBox) ? 1 : 0);
  CViewSettings& settings = GetViewSettings();
  settings.EmailShowEmptyAccounts = IsBoxTicked(m_hWnd, kShowEmptyAccountsBox) ? 1 : 0;
  settings.EmailsOnlyUnreaded = IsBoxTicked(m_hWnd, kOnlyUnreadBox) ? 1 : 0;
  settings.EmailConfirmDeletion = IsBoxTicked(m_hWnd, kConfirmDeletionBox) ? 1 : 0;
  settings.EmailCounterStyle =
      static_cast<int>(ComboValue(m_hWnd, kEmailCounterCombo, static_cast<DWORD>(settings.EmailCounterStyle)));
  key.SetDWORD(L"EmailSorting", ComboValue(m_hWnd, kEmailSortingCombo, key.GetDWORD(L"EmailSorting", 0)));
  settings.Save();
  return TRUE;
}
