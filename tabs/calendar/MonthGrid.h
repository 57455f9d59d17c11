// CMonthGrid: the arithmetic of the month calendar: six weeks of days that always
// begin in the previous month, and the week numbers of the rows under the four
// first-week rules (0 the week of January 1st, 1 the first full week, 2 the first
// week with four days, 3 the week of a custom day of the year).
#pragma once
#include <windows.h>

class CMonthGrid {
 public:
  enum { kRows = 6, kColumns = 7, kCells = kRows * kColumns };

  // firstDayOfWeek 0 Monday to 6 Sunday; customDay: a day number whose month and
  // day mark rule 3's first week (negative: none, rule 3 then takes January 1st).
  void SetRules(int firstDayOfWeek, int weekRule, LONG customDay);
  // The rule from "Calendar_FirstYearWeek": 0 the locale's, n > 0 rule n - 1.
  static int ChooseWeekRule(DWORD setting, int localeRule);

  // Lays out the month of date; returns the date's cell. FALSE for a date outside
  // 1601 to 9999 (the grid is then unchanged).
  BOOL SetDate(const SYSTEMTIME& date, int* cell = nullptr);

  int GetYear() const { return m_year; }
  int GetMonth() const { return m_month; }
  int GetFirstDayOfWeek() const { return m_firstDayOfWeek; }
  int GetWeekRule() const { return m_weekRule; }
  // Day number (days since 1899-12-30) of a cell; the grid start for cell 0.
  LONG GetCellDay(int cell) const { return m_gridStart + cell; }
  BOOL GetCellDate(int cell, SYSTEMTIME* date) const;
  // The cell of a day number, -1 outside the grid.
  int FindDay(LONG day) const;
  BOOL IsInShownMonth(int cell) const;
  // 0 Monday to 6 Sunday.
  static int Weekday(LONG day);
  static LONG DayNumber(int year, int month, int day);

  // Start of week 1 of a year under the rules.
  LONG WeekOneStart(int year) const;
  int GetWeeksOfPreviousYear() const { return m_weeksOfPreviousYear; }
  // Week number of a row (1 to 53).
  int GetWeekNumber(int row) const;

 private:
  int m_firstDayOfWeek = 0;
  int m_weekRule = 0;
  LONG m_customDay = -1;
  int m_year = 0;
  int m_month = 0;
  LONG m_gridStart = 0;
  LONG m_weekOne = 0;
  LONG m_weekOneNext = 0;
  int m_weeksOfPreviousYear = 52;
};
