#include "controls/DateEditRules.h"

#include <cmath>

#include "base/DateTime.h"

namespace {

bool IsSet(double date) { return date != kNoDate; }
double Day(double date) { return IsSet(date) ? VariantDateFloor(date) : kNoDate; }
// Whole days between two days (both set).
int DaysBetween(double later, double earlier) { return static_cast<int>(std::lround(later - earlier)); }

}  // namespace

void CDateEditRules::Init(double start, double due, double reminder, BOOL reminderOn) {
  m_start = Day(start);
  m_due = Day(due);
  m_reminder = Day(reminder);
  m_reminderOn = reminderOn;
  m_lead = kNoLeadTime;
  m_distance = -1;
  Recompute();
}

double CDateEditRules::Reference(BOOL withToday) const {
  if (IsSet(m_start)) return m_start;
  if (IsSet(m_due)) return m_due;
  return withToday && m_newerDevice ? Day(m_today) : kNoDate;
}

void CDateEditRules::Change(Field field, double value) {
  value = Day(value);
  switch (field) {
    case kStart:
      if (IsSet(value)) {
        if (IsSet(m_start) && IsSet(m_due) && m_distance >= 0) {
          m_due = value + m_distance;
        } else if (!IsSet(m_due)) {
          m_due = value;
        }
      }
      m_start = value;
      break;
    case kDue:
      m_due = value;
      if (!IsSet(m_due)) {
        m_start = kNoDate;
      } else if (IsSet(m_start) && m_due < m_start) {
        m_start = m_due;
      }
      break;
    case kReminder: {
      m_reminder = value;
      const double reference = Reference(TRUE);
      if (IsSet(reference)) {
        // An emptied reminder picker means no lead time: the reminder falls on the
        // reference day, never after it.
        m_lead = kNoLeadTime;
        if (IsSet(m_reminder)) {
          m_lead = DaysBetween(reference, m_reminder) * 1440;
          if (!m_newerDevice && m_lead > kMaxLeadMinutes) m_lead = kMaxLeadMinutes;
        }
      }
      break;
    }
    case kNoField:
      break;
  }
  const double reference = Reference(TRUE);
  if (m_reminderOn && IsSet(reference)) {
    m_reminder = m_lead == kNoLeadTime ? reference : reference - m_lead / 1440.0;
    m_reminder = VariantDateFloor(m_reminder + 1e-9);
    if (IsSet(m_due) && m_reminder > m_due) m_reminder = m_due;
  } else {
    m_reminder = kNoDate;
  }
  Recompute();
}

void CDateEditRules::SetReminderOn(BOOL on) {
  m_reminderOn = on;
  Change(kNoField, kNoDate);
}

BOOL CDateEditRules::UpdateEnabling() {
  const BOOL usable = IsSet(m_start) || IsSet(m_due) || m_newerDevice;
  if (!usable && m_reminderOn) {
    m_reminderOn = FALSE;
    m_reminder = kNoDate;
  }
  return usable;
}

void CDateEditRules::Recompute() {
  m_distance = IsSet(m_start) && IsSet(m_due) ? DaysBetween(m_due, m_start) : -1;
  const double reference = Reference(FALSE);
  if (!IsSet(reference)) {
    m_lead = kNoLeadTime;
  } else if (IsSet(m_reminder)) {
    m_lead = DaysBetween(reference, m_reminder) * 1440;
  }
}
