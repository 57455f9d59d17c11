// The busy time of the loaded appointments: sorted, disjoint minute intervals, each
// with the level of the appointment that fills it, and level 5 where appointments
// overlap. Kept in step with the appointments list, asked by the day views whether an
// appointment collides and by the time-span bar for the highest level over a span.
#pragma once
#include <windows.h>

#include <vector>

#include "base/AppointmentRecord.h"

class CBusyIntervals {
 public:
  enum { kConflict = 5 };
  struct Interval {
    DWORD start;  // minutes since 1899-12-30
    DWORD end;    // exclusive
    LONG level;
  };

  CBusyIntervals() = default;
  virtual ~CBusyIntervals() = default;

  // The minute of a variant date; dates before the epoch clamp to 0, past the range to
  // the last minute.
  static DWORD MinuteOf(double date);
  // All-day and free appointments take no time; neither does a span that ends where
  // (or before) it starts.
  static BOOL Contributes(const CAppointmentRecord& record);

  // 1 when the span overlapped nothing (or contributes nothing), 0 when it made or
  // widened a conflict.
  int Add(double start, double end, const CAppointmentRecord& record);
  // 1 when removed (or nothing to do); 0 when the span cannot be taken out precisely,
  // and the owner has to rebuild.
  int Remove(double start, double end, const CAppointmentRecord& record);
  BOOL HasConflict(double start, double end, const CAppointmentRecord& record) const;
  LONG MaxLevel(double start, double end, LONG initial) const;
  void Clear() { m_intervals.clear(); }

  const std::vector<Interval>& GetIntervals() const { return m_intervals; }

 private:
  // Index of the first interval whose end is after the minute.
  size_t FirstEndingAfter(DWORD minute) const;

  std::vector<Interval> m_intervals;
};
