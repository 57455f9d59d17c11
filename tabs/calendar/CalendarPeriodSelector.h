// CCalendarPeriodSelector: the Calendar tab's drop-down of how many days it shows
// from today on (1, 2, 3, 5, 7, 14 or 31, a custom count from the options, or a
// range of dates picked in the month calendar). The owner hears of every change as
// the notification kChangedCode.
#pragma once
#include <windows.h>

#include "controls/MonthPopup.h"
#include "controls/VirtualDropDown.h"
#include "tabs/calendar/MonthCalendarWnd.h"

class CCalendarPeriodSelector : public CVirtualDropDown, public IDatePeriodListener {
 public:
  enum {
    kChangedCode = 12345,
    kItemBase = 1400,
    kCustomItem = 998,
    kRangeItem = 999,
    kCmdPickDates = 888,
    kCmdFlatMode = 889,
    kDefaultPeriod = 7,
  };

  CCalendarPeriodSelector();
  ~CCalendarPeriodSelector() override = default;

  void LoadSettings();
  void Rebuild();
  // Handles the selector's own items and commands; others come back unchanged.
  int OnSelect(int itemId);
  int OnItemChosen(int commandId) override;
  void FillMenuExtra(HMENU menu, int position) override;
  // First and last day number of the period shown.
  void GetRange(LONG* first, LONG* last) const;
  void OnPeriodChosen(double from, double to) override;
  void OnPeriodSelected(double from, double to) { OnPeriodChosen(from, to); }

  BOOL IsFlatMode() const { return m_flatMode; }
  int GetPeriod() const { return m_period; }
  int GetCustomPeriod() const { return m_customPeriod; }
  // "CalendarCustomPeriod" as the selector keeps it: 999 or more is 998, a standard
  // period is none (0).
  static int NormalizeCustomPeriod(DWORD value);
  CMonthCalendarWnd& GetMonthCalendar() { return m_calendar; }

 private:
  void Changed();

  BOOL m_flatMode = FALSE;
  int m_customPeriod = 0;
  int m_period = kDefaultPeriod;
  LONG m_rangeFirst = 0;
  LONG m_rangeLast = 0;
  CMonthCalendarWnd m_calendar;
  BOOL m_rangeShown = FALSE;
};
