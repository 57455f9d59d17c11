#include "settings/pages/ContactsShowPage.h"

#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"
#include "settings/shell/ChoiceTable.h"
#include "settings/shell/UserPrompt.h"

namespace {
const TextChoice kPhotoChoices[] = {
    {0, L"Show as text"}, {1, L"Show as photo"}, {3, L"Show both text and photo"}, {0, nullptr}};
const UINT kPhotosNeedNewerDeviceText = 252;
const UINT kCaptionText = 32838;
}  // namespace

int CContactsShowPage::PhotoValueFor(DWORD showPhotos, int showText) {
  if (showPhotos == 0) return 0;
  return showText ? 3 : 1;
}

BOOL CContactsShowPage::OnInitPage() {
  HWND photos = GetDlgItem(kContactPhotoCombo);
  ::SendMessageW(photos, CB_RESETCONTENT, 0, 0);
  FillComboFromStrings(kPhotoChoices, photos);
  OnReset();
  return TRUE;
}

void CContactsShowPage::OnReset() {
  CViewSettings& view = GetViewSettings();
  view.Load();
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const int value = PhotoValueFor(key.GetDWORD(L"ContactsShowPhotoContacts", 0), view.ContactShowTextForPhotos);
  SelectComboByItemData(m_hWnd, kContactPhotoCombo, value);
  m_photoFlag = value & 1;
  TickBox(m_hWnd, kContactsAllCategoriesBox, view.ShowContactsInAllCategories != 0);
}

LRESULT CContactsShowPage::OnPhotoChanged(WORD, WORD, HWND, BOOL&) {
  const int value = GetSelectedComboData(m_hWnd, kContactPhotoCombo, 0);
  if ((value & 1) && !m_photoFlag && !IsPocketPC()) {
    CString text, caption;
    LoadUIString(text, kPhotosNeedNewerDeviceText);
    LoadUIString(caption, kCaptionText);
    ShowMessageBox(m_hWnd, text, caption, MB_OK | MB_ICONEXCLAMATION);
  }
  m_photoFlag = value & 1;
  return 0;
}

BOOL CContactsShowPage::OnApply() {
  const int value = GetSelectedComboData(m_hWnd, kContactPhotoCombo, 0);
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(L"ContactsShowPhotoContacts", static_cast<DWORD>(value & 1));
  }
  CViewSettings& view = GetViewSettings();
  view.ContactShowTextForPhotos = value & 2;
  view.ShowContactsInAllCategories = IsBoxTicked(m_hWnd, kContactsAllCategoriesBox) ? 1 : 0;
  view.Save();
  return TRUE;
}
