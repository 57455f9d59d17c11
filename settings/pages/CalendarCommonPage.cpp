#include "settings/pages/CalendarCommonPage.h"

BOOL CCalendarCommonPage::OnInitPage() {
  HWND calendar = ::GetDlgItem(m_hWnd, kFirstWeekDatePicker);
  if (calendar && !m_datePicker.m_hWnd) m_datePicker.SubclassWindow(calendar);
  return TRUE;
}
