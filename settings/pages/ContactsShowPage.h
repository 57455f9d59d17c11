// The Contacts sheet's show page: how contacts with a photo are shown (text, photo
// or both; photos need a Pocket PC of system version 5 or later, and the page says
// so once when they are switched on elsewhere) and contacts of all categories.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

const int kContactPhotoCombo = 1057;
const int kContactsAllCategoriesBox = 1018;

class CContactsShowPage : public COptionsPage<CContactsShowPage> {
 public:
  enum { IDD = FindPage(3, 1).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  LPCWSTR GetHelpTopic() { return FindPage(3, 1).helpTopic; }
  // The photo item's value for the stored flag and text switch: 0, 1, or 3 (both).
  static int PhotoValueFor(DWORD showPhotos, int showText);

  BEGIN_MSG_MAP(CContactsShowPage)
    COMMAND_HANDLER(kContactPhotoCombo, CBN_SELCHANGE, OnPhotoChanged)
    CHAIN_MSG_MAP(COptionsPage<CContactsShowPage>)
  END_MSG_MAP()

 private:
  LRESULT OnPhotoChanged(WORD, WORD, HWND, BOOL&);

  int m_photoFlag = 0;
};
