// The Calendar sheet's show page: which kinds of entries the Calendar tab shows.
// The scheduled-transactions box works only with Pellam's library; without it the
// stored value is neither read nor written.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

// A box of the page and the registry value it holds, in stacking order.
struct CalendarShowBox {
  int control;
  LPCWSTR value;
  DWORD defaultValue;
};
constexpr CalendarShowBox kCalendarShowBoxes[] = {
    {1033, L"CalendarShowPastAppts", 1},    {1037, L"CalendarShowFreeAppts", 1},
    {1034, L"CalendarShowEmptyDays", 0},    {1045, L"CalendarShowTodayAlways", 1},
    {1035, L"CalendarShowBirthdays", 1},    {1046, L"CalendarShowEmails", 1},
    {1036, L"CalendarShowTransactions", 1},
};
const int kCalendarTransactionsBox = 1036;

class CCalendarShowPage : public COptionsPage<CCalendarShowPage> {
 public:
  enum { IDD = FindPage(1, 1).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  LPCWSTR GetHelpTopic() { return FindPage(1, 1).helpTopic; }
  // The boxes one under another in the table's order, from the first box's place,
  // one box height and one logical pixel apart.
  void StackCheckBoxes();

 private:
  static const int kBoxCount = sizeof(kCalendarShowBoxes) / sizeof(kCalendarShowBoxes[0]);
  BOOL m_hasPellam = FALSE;
  DWORD m_values[kBoxCount] = {};
};
