// The rules of the date and reminder dialog, on variant dates (kNoDate: none):
// start and due dates are whole days, the reminder is a day (its time of day is
// the time picker's). The dialog keeps one of these and shows what it holds.
#pragma once
#include <windows.h>

// The lead time meaning "remind on the reference day itself".
constexpr int kNoLeadTime = 9999;
// The longest lead time before a Pocket PC of version 5: 44 days.
constexpr int kMaxLeadMinutes = 63360;

class CDateEditRules {
 public:
  // Which date changed.
  enum Field { kNoField = 0, kStart, kDue, kReminder };

  // newerDevice: a Pocket PC of system version 5 or later; today: its day.
  CDateEditRules(BOOL newerDevice, double today) : m_newerDevice(newerDevice), m_today(today) {}

  // The dates the dialog opens with; recomputes distance and lead time.
  void Init(double start, double due, double reminder, BOOL reminderOn);

  // A picker's new value (kNoField: the reminder was switched), then the
  // dependent dates and the recomputation.
  void Change(Field field, double value);
  void SetReminderOn(BOOL on);
  // The check box is usable with a start or due date, or on a newer device;
  // otherwise the reminder is switched off. TRUE when usable.
  BOOL UpdateEnabling();

  double GetStart() const { return m_start; }
  double GetDue() const { return m_due; }
  double GetReminder() const { return m_reminder; }
  BOOL IsReminderOn() const { return m_reminderOn; }
  int GetLeadMinutes() const { return m_lead; }
  int GetDistanceDays() const { return m_distance; }

 private:
  void Recompute();
  double Reference(BOOL withToday) const;

  BOOL m_newerDevice;
  double m_today;
  double m_start = 0, m_due = 0, m_reminder = 0;
  BOOL m_reminderOn = FALSE;
  int m_lead = kNoLeadTime;
  int m_distance = -1;
};
