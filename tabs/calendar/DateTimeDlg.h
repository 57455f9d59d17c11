// CDateTimeDlg: moves an appointment: start and end date and time, all day and the
// reminder (a count of minutes, hours, days or weeks). The caller sets the fields,
// runs it modally (1 OK, 2 Cancel) and reads them back.
#pragma once
#include <windows.h>

#include "controls/DialogBase.h"
#include "controls/MonthPopup.h"
#include "platform/windowlib/String.h"
#include "res/TarvoResIds.h"
#include "tabs/calendar/MonthCalendarWnd.h"

class CDateTimeDlg : public CDialogBase, public IDatePeriodListener {
 public:
  enum { IDD = IDD_DATE_TIME };

  CDateTimeDlg();
  ~CDateTimeDlg() override = default;

  INT_PTR DoModal(HWND parent = ::GetActiveWindow()) { return CDialogBase::DoModal(IDD, parent); }

  // What the caller sets and reads.
  BOOL m_datesFixed = FALSE;
  double m_start = 0;
  double m_end = 0;
  BOOL m_allDay = FALSE;
  CString m_title;
  BOOL m_reminderAvailable = FALSE;
  LONG m_reminder = -1;  // minutes, -1 for none

  // The pickers' time of day as a half-hour entry and back.
  static int HalfHourIndex(const SYSTEMTIME& time) { return time.wHour * 2 + time.wMinute / 30; }
  static void HalfHourTime(int index, SYSTEMTIME* time);
  // A typed count as the dialog keeps it: not a number (or 0) is 1, so the stored
  // reminder is what the field shows.
  static int ClampCount(LPCWSTR text);
  // The hour an all-day appointment's times start at: the next full one, at most 22
  // so that the offered hour after it stays in the day.
  static int OfferedHour(int currentHour);

  void OnPeriodChosen(double from, double to) override;
  CMonthCalendarWnd& GetMonthCalendar() { return m_calendar; }

  BEGIN_MSG_MAP(CDateTimeDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    COMMAND_HANDLER(IDC_DT_START_HALF, CBN_SELCHANGE, OnHalfHour)
    COMMAND_HANDLER(IDC_DT_END_HALF, CBN_SELCHANGE, OnHalfHour)
    COMMAND_HANDLER(IDC_DT_ALL_DAY, BN_CLICKED, OnCheck)
    COMMAND_HANDLER(IDC_DT_REMINDER_ON, BN_CLICKED, OnCheck)
    COMMAND_HANDLER(IDC_DT_REMINDER_UNIT, CBN_SELCHANGE, OnUnitChange)
    COMMAND_ID_HANDLER(IDOK, OnOK)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  END_MSG_MAP()

  void UpdateEnables();
  void ReadControls();
  void FillReminderCounts();
  void OnDateTimeChange(UINT control);
  // The half-hour list follows its time picker, and the other way round.
  void SyncCombo(UINT picker);
  void SyncPicker(UINT combo);

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHalfHour(WORD, WORD, HWND, BOOL&);
  LRESULT OnCheck(WORD, WORD, HWND, BOOL&);
  LRESULT OnUnitChange(WORD, WORD, HWND, BOOL&);
  LRESULT OnOK(WORD, WORD, HWND, BOOL&);
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

  void PrepareTimes();
  void ShowStart();
  void ShowEnd();
  void OpenMonthPopup(HWND picker);
  int SelectedUnit();

  HWND m_menuBar = nullptr;
  double m_duration = 0;
  int m_unit = 0;
  int m_count = 1;
  BOOL m_reminderOn = FALSE;
  CMonthCalendarWnd m_calendar;
  HWND m_popupPicker = nullptr;
};
