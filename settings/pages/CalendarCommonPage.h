// The Calendar sheet's common page: the days shown and the first week, whose
// custom date is picked in a month calendar dropping down under its box.
#pragma once
#include <windows.h>

#include "settings/pages/DatePickerPopup.h"
#include "settings/pages/PageTable.h"

const int kFirstWeekDatePicker = 1065;

class CCalendarCommonPage : public COptionsPage<CCalendarCommonPage> {
 public:
  enum { IDD = FindPage(1, 0).templateId };

  BOOL OnInitPage();
  BOOL OnApply() { return TRUE; }
  LPCWSTR GetHelpTopic() { return FindPage(1, 0).helpTopic; }
  HWND GetDatePicker() const { return m_datePicker.m_hWnd; }

 private:
  CDatePickerPopup m_datePicker;
};
