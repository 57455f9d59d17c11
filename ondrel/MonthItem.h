// One month's summary for the month calendar: for every half hour of the month
// whether something is planned and the highest busy status there, kept in the
// month reply's own layout (CMonthReply::Layout, shared with the calendar that
// reads it), and per day the highest status of its all-day appointments.
#pragma once
#include <windows.h>

#include "tabs/calendar/MonthReply.h"

class CAppointmentRecord;
class CBusyIntervals;

class CMonthItem {
 public:
  CMonthItem();

  // From the year and month of t: the month's first day and the next month's, 00:00.
  void SetMonth(const SYSTEMTIME& t);
  double GetMonthStart() const { return m_monthStart; }
  double GetNextMonthStart() const { return m_nextMonthStart; }
  int GetDayCount() const { return static_cast<int>(m_nextMonthStart - m_monthStart + 0.5); }

  // Forgets the last added appointment (a fresh computation may add it again).
  void ResetLast();
  // Timed appointments mark the half hours they cover with their status (an end on a
  // slot's edge does not reach into that slot; a zero-length one marks the slot it
  // lies inside and nothing on an edge, as the calendar's time bar counts it);
  // all-day ones raise their days' all-day level. The same appointment twice in a
  // row counts once.
  void AddRecord(const CAppointmentRecord& record);
  // All-day levels fill the empty slots of their days; with markConflicting, slots
  // where the busy intervals collide (level 5) read as conflicts (presence 0, level 3).
  void Finish(const CBusyIntervals* busy, BOOL markConflicting);

  BOOL IsLoaded() const { return m_loaded; }
  void SetLoaded(BOOL loaded) { m_loaded = loaded; }

  static DWORD GetReplySize() { return CMonthReply::kSize; }
  // The reply's bytes: levels, then presence bits.
  void CopyReply(CMonthReply::Layout* out) const { *out = m_slots.GetLayout(); }
  const CMonthReply& GetSlots() const { return m_slots; }
  int GetAllDayLevel(int dayIndex) const;

 private:
  void MarkSlot(int slot, int status);

  DWORD m_lastId;
  double m_lastStart;
  double m_lastEnd;
  double m_monthStart;
  double m_nextMonthStart;
  CMonthReply m_slots;
  signed char m_allDay[31];
  BOOL m_loaded;
};
