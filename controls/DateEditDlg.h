// The date and reminder dialog: start and due dates, and a reminder day with its
// time of day (a time picker laid over a half-hour list). "No date" is kNoDate.
// Ends with 1 (the dates changed as shown) or 2. The tabs' own date dialogs
// derive from it with their templates.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "controls/DateEditRules.h"
#include "controls/DialogBase.h"
#include "controls/EmptyDatePicker.h"
#include "controls/MonthPopup.h"
#include "platform/windowlib/String.h"
#include "res/TarvoResIds.h"

// Posted to the dialog when a date picker's own calendar would open (wParam: the
// picker, or its control identifier): the dialog opens the month popup instead.
constexpr UINT WM_OPEN_MONTH_POPUP = 2348;

class CDateEditDlg : public CDialogBase, public IDatePeriodListener {
 public:
  CDateEditDlg(LPCWSTR caption, BOOL reminderOn, double reminder, double start, double due);

  INT_PTR DoModal(HWND parent = ::GetActiveWindow(), UINT templateId = IDD_DATE_EDIT) {
    return CDialogBase::DoModal(templateId, parent);
  }

  BOOL IsReminderOn() const { return m_reminderOn; }
  // The reminder's day and time; kNoDate when off.
  double GetReminder() const { return m_reminder; }
  double GetStart() const { return m_start; }
  double GetDue() const { return m_due; }
  const CDateEditRules& GetRules() const { return m_rules; }

  // The locale's time picture without its seconds: the character before the
  // first "s" or "S" and that "s" (or "ss") removed. FALSE (and empty) when the
  // picture has no seconds.
  static BOOL RemoveSeconds(LPCWSTR picture, CString& out);
  // The 48 half hours of a day in the locale's time without seconds; the selection kept.
  static void FillHalfHourList(HWND combo);

  void OnPeriodChosen(double from, double to) override;

  BEGIN_MSG_MAP(CDateEditDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_MOVE, OnMove)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    MESSAGE_HANDLER(WM_OPEN_MONTH_POPUP, OnOpenMonthPopup)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    COMMAND_HANDLER(IDC_HALF_HOURS, CBN_SELCHANGE, OnHalfHour)
    COMMAND_HANDLER(IDC_REMINDER_ON, BN_CLICKED, OnReminderClick)
    COMMAND_ID_HANDLER(IDOK, OnOK)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  END_MSG_MAP()

 protected:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMove(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnOpenMonthPopup(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDateTimeChange(int, NMHDR* header, BOOL&);
  LRESULT OnDropDown(int, NMHDR* header, BOOL&);
  LRESULT OnHalfHour(WORD, WORD, HWND, BOOL&);
  LRESULT OnReminderClick(WORD, WORD, HWND, BOOL&);
  LRESULT OnOK(WORD, WORD, HWND, BOOL&);
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

  // A picker's new date through the rules, then what the dialog shows.
  void DateChanged(UINT controlId);
  void ShowDates();
  void UpdateEnabling();
  void SetTimeFormat();
  void FillHalfHours();
  void FollowTimePicker();

  CString m_caption;
  BOOL m_reminderOn;
  double m_reminder, m_start, m_due;
  CDateEditRules m_rules;
  CEmptyDatePicker m_startHook, m_dueHook;
  HWND m_popupPicker = nullptr;
};
