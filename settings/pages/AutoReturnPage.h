// The General sheet's auto-return page: whether and when the panel goes back to its
// first tab ("AdvancedKeyboardSupport").
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"
#include "settings/shell/ChoiceTable.h"

const int kAutoReturnCombo = 1036;

// Value: text of the choices, in item order.
extern const TextChoice kAutoReturnChoices[];

class CAutoReturnPage : public COptionsPage<CAutoReturnPage> {
 public:
  enum { IDD = FindPage(0, 6).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  LPCWSTR GetHelpTopic() { return FindPage(0, 6).helpTopic; }
};
