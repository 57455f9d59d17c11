// The Contacts sheet's common page: grouping of the Contacts tab, what one tap on a
// contact does, whether the popup's items open from it, and the key layouts of the
// tab's letter bar.
#pragma once
#include <windows.h>

#include "settings/pages/LayoutCombo.h"
#include "settings/pages/PageTable.h"

const int kContactsGroupByCombo = 1058;
const int kContactsOneTapCombo = 1061;
const int kContactsPopupBox = 1059;
const int kContactsLayoutCombo = 1060;

class CContactsCommonPage : public COptionsPage<CContactsCommonPage> {
 public:
  enum { IDD = FindPage(3, 0).templateId };

  CContactsCommonPage() : m_layouts(kContactsLayoutCombo, L"Contacts") {}
  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  LPCWSTR GetHelpTopic() { return FindPage(3, 0).helpTopic; }

  // "ContactsGroupBy" and the items of 1058: 551 item 2, 558 item 1, else item 0.
  static int GroupByItemFor(DWORD value);
  static DWORD GroupByValueFor(int item);

  BEGIN_MSG_MAP(CContactsCommonPage)
    COMMAND_HANDLER(kContactsOneTapCombo, CBN_SELCHANGE, OnOneTapChanged)
    COMMAND_HANDLER(kContactsLayoutCombo, CBN_SELCHANGE, OnLayoutChanged)
    CHAIN_MSG_MAP(COptionsPage<CContactsCommonPage>)
  END_MSG_MAP()

 private:
  LRESULT OnOneTapChanged(WORD, WORD, HWND, BOOL&);
  LRESULT OnLayoutChanged(WORD, WORD, HWND, BOOL&);
  // The one-tap item and the popup box from the record, the grouping from the key.
  void ShowStored();

  CLayoutCombo m_layouts;
};
