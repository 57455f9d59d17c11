// The Calendar sheet's common page: how the first week of the year is counted (with
// a custom date picked in a month calendar dropping down over its box), the period
// the Calendar tab shows, and two display switches of the view settings.
#pragma once
#include <windows.h>

#include "settings/pages/DatePickerPopup.h"
#include "settings/pages/PageTable.h"

const int kFirstWeekCombo = 1016;
const int kFirstWeekDatePicker = 1065;
const int kCalendarPeriodCombo = 1029;
const int kMarkConflictingBox = 1049;
const int kCollapseButTodayBox = 1028;

// The first-week box's fixed items, from the template; the second is "the week of
// 1 January", which a pick of 1 January means.
const int kFixedFirstWeekItems = 4;
// The stored custom date that means none, as a whole day of the variant date scale.
const DWORD kNoCustomFirstWeek = 949998;

class CCalendarCommonPage : public COptionsPage<CCalendarCommonPage> {
 public:
  enum { IDD = FindPage(1, 0).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  LPCWSTR GetHelpTopic() { return FindPage(1, 0).helpTopic; }
  HWND GetDatePicker() const { return m_datePicker.m_hWnd; }

  // The custom date's item (when there is one) and the "choose" item after the fixed ones.
  void FillFirstWeekItems();
  BOOL HasCustomDate() const { return m_customDate != static_cast<double>(kNoCustomFirstWeek); }

  BEGIN_MSG_MAP(CCalendarCommonPage)
    COMMAND_HANDLER(kFirstWeekCombo, CBN_SELCHANGE, OnFirstWeekChanged)
    NOTIFY_HANDLER(kFirstWeekDatePicker, kDatePickedCode, OnDatePicked)
    NOTIFY_HANDLER(kFirstWeekDatePicker, kDatePickerClosedCode, OnDateComboDropDown)
    CHAIN_MSG_MAP(COptionsPage<CCalendarCommonPage>)
  END_MSG_MAP()

 private:
  LRESULT OnFirstWeekChanged(WORD, WORD, HWND, BOOL&);
  LRESULT OnDatePicked(int, NMHDR* header, BOOL&);
  LRESULT OnDateComboDropDown(int, NMHDR*, BOOL&);
  void ShowDatePicker();

  CDatePickerPopup m_datePicker;
  double m_customDate = kNoCustomFirstWeek;
  int m_firstWeekSelection = 0;
  DWORD m_storedPeriod = 7;
};
