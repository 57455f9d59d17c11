// The Special events sheet's page: birthdays, the scheduled transactions of the
// maker's money program (only where its library is on the device), the period shown
// and the name order of birthdays.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"
#include "settings/shell/ChoiceTable.h"

const int kShowBirthdaysBox = 1030;
const int kShowTransactionsBox = 1031;
const int kSpecialPeriodCombo = 1029;
const int kBirthdayDisplayCombo = 1081;

extern const IdChoice kSpecialPeriodChoices[];
extern const TextChoice kBirthdayDisplayChoices[];

class CSpecialEventsPage : public COptionsPage<CSpecialEventsPage> {
 public:
  enum { IDD = FindPage(6, 0).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(6, 0).helpTopic; }
};
