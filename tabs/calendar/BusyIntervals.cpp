#include "tabs/calendar/BusyIntervals.h"

#include <algorithm>

DWORD CBusyIntervals::MinuteOf(double date) {
  double minutes = date * 1440.0 + 0.05;
  if (!(minutes >= 0)) return 0;  // also NaN
  if (minutes >= 4294967295.0) return 0xFFFFFFFF;
  return static_cast<DWORD>(minutes);
}

BOOL CBusyIntervals::Contributes(const CAppointmentRecord& record) {
  return !record.m_allDay && record.m_busyStatus != 0;
}

size_t CBusyIntervals::FirstEndingAfter(DWORD minute) const {
  auto it = std::upper_bound(m_intervals.begin(), m_intervals.end(), minute,
                             [](DWORD m, const Interval& iv) { return m < iv.end; });
  return static_cast<size_t>(it - m_intervals.begin());
}

int CBusyIntervals::Add(double start, double end, const CAppointmentRecord& record) {
  if (!Contributes(record)) return 1;
  DWORD a = MinuteOf(start);
  DWORD b = MinuteOf(end);
  if (b <= a) return 1;
  LONG level = record.m_busyStatus;

  size_t i = FirstEndingAfter(a);
  size_t after = i;  // one past the last interval starting before b
  while (after < m_intervals.size() && m_intervals[after].start < b) ++after;
  if (after == i) {
    m_intervals.insert(m_intervals.begin() + i, Interval{a, b, level});
    return 1;
  }
  size_t j = after - 1;

  // Head: the part of interval i before a keeps its level; a conflict widens instead.
  if (m_intervals[i].start < a) {
    if (m_intervals[i].level == kConflict) {
      a = m_intervals[i].start;
    } else {
      Interval head = m_intervals[i];
      head.end = a;
      m_intervals[i].start = a;
      m_intervals.insert(m_intervals.begin() + i, head);
      ++i;
      ++j;
    }
  }
  // Tail: likewise after b.
  if (m_intervals[j].end > b) {
    if (m_intervals[j].level == kConflict) {
      b = m_intervals[j].end;
    } else {
      Interval tail = m_intervals[j];
      tail.start = b;
      m_intervals[j].end = b;
      m_intervals.insert(m_intervals.begin() + j + 1, tail);
    }
  }

  // Intervals i..j now lie inside [a, b): gaps take the new level, the rest conflicts.
  std::vector<Interval> merged;
  DWORD cursor = a;
  for (size_t k = i; k <= j; ++k) {
    const Interval& iv = m_intervals[k];
    if (iv.start > cursor) merged.push_back(Interval{cursor, iv.start, level});
    if (!merged.empty() && merged.back().level == kConflict && merged.back().end == iv.start) {
      merged.back().end = iv.end;
    } else {
      merged.push_back(Interval{iv.start, iv.end, kConflict});
    }
    cursor = iv.end;
  }
  if (cursor < b) merged.push_back(Interval{cursor, b, level});
  m_intervals.erase(m_intervals.begin() + i, m_intervals.begin() + j + 1);
  m_intervals.insert(m_intervals.begin() + i, merged.begin(), merged.end());
  return 0;
}

int CBusyIntervals::Remove(double start, double end, const CAppointmentRecord& record) {
  if (!Contributes(record)) return 1;
  DWORD a = MinuteOf(start);
  DWORD b = MinuteOf(end);
  if (b <= a) return 1;
  LONG level = record.m_busyStatus;
  if (MaxLevel(start, end, level) != level) return 0;
  size_t i = FirstEndingAfter(a);
  if (i >= m_intervals.size()) return 0;
  Interval& iv = m_intervals[i];
  if (iv.start > a || iv.end < b) return 0;
  if (iv.start == a && iv.end == b) {
    m_intervals.erase(m_intervals.begin() + i);
  } else if (iv.start == a) {
    iv.start = b;
  } else if (iv.end == b) {
    iv.end = a;
  } else {
    Interval tail = iv;
    tail.start = b;
    iv.end = a;
    m_intervals.insert(m_intervals.begin() + i + 1, tail);
  }
  return 1;
}

BOOL CBusyIntervals::HasConflict(double start, double end, const CAppointmentRecord& record) const {
  if (!Contributes(record)) return FALSE;
  return MaxLevel(start, end, 0) == kConflict;
}

LONG CBusyIntervals::MaxLevel(double start, double end, LONG initial) const {
  DWORD a = MinuteOf(start);
  DWORD b = MinuteOf(end);
  LONG best = initial;
  for (size_t k = FirstEndingAfter(a); k < m_intervals.size() && m_intervals[k].start < b; ++k) {
    best = std::max(best, m_intervals[k].level);
  }
  return best;
}
