// The filtered walk over an appointments list that every calendar view runs: free
// appointments hidden when the user chose so, and only what touches the query's range.
#pragma once
#include <windows.h>

#include "tabs/calendar/AppointmentsList.h"

class CAppointmentQuery {
 public:
  // The list given, or the process's list when null. Reads "CalendarShowFreeAppts".
  explicit CAppointmentQuery(CAppointmentsList* list = nullptr);

  // Bounds below 0 are no bound.
  void SetRange(double from, double to) {
    m_from = from;
    m_to = to;
  }
  BOOL IsHidingFree() const { return m_hideFree; }

  // The next record that passes (borrowed); FALSE when none is left.
  BOOL GetNext(CAppointmentRecord** record);

 private:
  BOOL Passes(const CAppointmentRecord& record) const;

  CAppointmentsList* m_list;
  BOOL m_hideFree;
  double m_from;
  double m_to;
  BOOL m_started;
};
