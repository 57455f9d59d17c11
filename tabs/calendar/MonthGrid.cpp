#include "tabs/calendar/MonthGrid.h"

#include "base/DateTime.h"

namespace {

LONG FloorDiv(LONG a, LONG b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

void CMonthGrid::SetRules(int firstDayOfWeek, int weekRule, LONG customDay) {
  m_firstDayOfWeek = firstDayOfWeek >= 0 && firstDayOfWeek <= 6 ? firstDayOfWeek : 0;
  m_weekRule = weekRule >= 0 && weekRule <= 3 ? weekRule : 0;
  m_customDay = customDay;
}

int CMonthGrid::ChooseWeekRule(DWORD setting, int localeRule) {
  if (setting == 0 || setting > 4) return localeRule >= 0 && localeRule <= 2 ? localeRule : 0;
  return static_cast<int>(setting) - 1;
}

LONG CMonthGrid::DayNumber(int year, int month, int day) {
  SYSTEMTIME time = {};
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  double date = 0;
  if (!SystemTimeToVariantDate(time, &date)) return 0;
  return static_cast<LONG>(VariantDateFloor(date));
}

int CMonthGrid::Weekday(LONG day) {
  // Day 0 (1899-12-30) was a Saturday.
  return static_cast<int>(((day + 5) % 7 + 7) % 7);
}

LONG CMonthGrid::WeekOneStart(int year) const {
  SYSTEMTIME custom = {};
  const SYSTEMTIME* reference = nullptr;
  if (m_weekRule == 3 && m_customDay >= 0 && VariantDateToSystemTime(m_customDay, &custom)) {
    // February 29th in a year without it stands for March 1st.
    if (custom.wMonth == 2 && custom.wDay == 29 && DaysInMonth(year, 2) == 28) {
      custom.wMonth = 3;
      custom.wDay = 1;
    }
    reference = &custom;
  }
  return static_cast<LONG>(FirstWeekStart(year, m_firstDayOfWeek, m_weekRule, reference));
}

BOOL CMonthGrid::SetDate(const SYSTEMTIME& date, int* cell) {
  if (date.wYear < 1601 || date.wYear > 9999 || date.wMonth < 1 || date.wMonth > 12) return FALSE;
  m_year = date.wYear;
  m_month = date.wMonth;
  const LONG first = DayNumber(m_year, m_month, 1);
  LONG back = Weekday(first) - m_firstDayOfWeek;
  if (back < 0) back += 7;
  LONG start = first - back;
  // The first row always begins in the previous month.
  while (start >= first) start -= 7;
  m_gridStart = start;
  m_weekOne = WeekOneStart(m_year);
  m_weekOneNext = WeekOneStart(m_year + 1);
  const LONG weekOnePrevious = WeekOneStart(m_year - 1);
  m_weeksOfPreviousYear = FloorDiv(m_weekOne - 1 - weekOnePrevious, 7) + 1;
  int day = date.wDay;
  if (day < 1) day = 1;
  if (day > DaysInMonth(m_year, m_month)) day = DaysInMonth(m_year, m_month);
  if (cell) *cell = FindDay(first + day - 1);
  return TRUE;
}

BOOL CMonthGrid::GetCellDate(int cell, SYSTEMTIME* date) const {
  if (cell < 0 || cell >= kCells || !date) return FALSE;
  return VariantDateToSystemTime(GetCellDay(cell), date);
}

int CMonthGrid::FindDay(LONG day) const {
  const LONG cell = day - m_gridStart;
  return cell >= 0 && cell < kCells ? static_cast<int>(cell) : -1;
}

BOOL CMonthGrid::IsInShownMonth(int cell) const {
  SYSTEMTIME date = {};
  return GetCellDate(cell, &date) && date.wMonth == m_month && date.wYear == m_year;
}

int CMonthGrid::GetWeekNumber(int row) const {
  const LONG rowStart = m_gridStart + row * kColumns;
  if (rowStart >= m_weekOneNext) return static_cast<int>(FloorDiv(rowStart - m_weekOneNext, 7) + 1);
  int week = static_cast<int>(FloorDiv(rowStart - m_weekOne, 7) + 1);
  if (week < 1) week += m_weeksOfPreviousYear;
  return week;
}
