#include "ondrel/MonthItem.h"

#include <cstring>

#include "base/AppointmentRecord.h"
#include "base/DateTime.h"
#include "tabs/calendar/BusyIntervals.h"

namespace {

double FirstOfMonth(int year, int month) {
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = 1;
  double date = 0;
  SystemTimeToVariantDate(t, &date);
  return date;
}

// Whole minutes from the month's start, with the small allowance the stored
// fractions of a day need to land on their minute.
long long MinuteIn(double date, double monthStart) {
  return static_cast<long long>((date - monthStart) * 1440.0 + 0.0001);
}

long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

CMonthItem::CMonthItem()
    : m_lastId(0), m_lastStart(-1), m_lastEnd(-1), m_monthStart(0), m_nextMonthStart(0), m_loaded(FALSE) {
  std::memset(m_allDay, 0xFF, sizeof m_allDay);
}

void CMonthItem::SetMonth(const SYSTEMTIME& t) {
  int year = t.wYear, month = t.wMonth;
  if (month < 1 || month > 12) month = 1;
  m_monthStart = FirstOfMonth(year, month);
  m_nextMonthStart = month == 12 ? FirstOfMonth(year + 1, 1) : FirstOfMonth(year, month + 1);
}

void CMonthItem::ResetLast() {
  m_lastId = 0;
  m_lastStart = m_lastEnd = -1;
}

int CMonthItem::GetAllDayLevel(int dayIndex) const {
  if (dayIndex < 0 || dayIndex >= 31) return -1;
  return m_allDay[dayIndex];
}

void CMonthItem::MarkSlot(int slot, int status) {
  if (slot < 0 || slot >= CMonthReply::kSlots) return;
  if (m_slots.IsPresent(slot) && m_slots.GetLevel(slot) >= status) return;
  m_slots.SetSlot(slot, TRUE, status);
}

void CMonthItem::AddRecord(const CAppointmentRecord& record) {
  if (record.m_itemId == m_lastId && record.m_start == m_lastStart && record.m_end == m_lastEnd) return;
  m_lastId = record.m_itemId;
  m_lastStart = record.m_start;
  m_lastEnd = record.m_end;
  double start = record.m_start, end = record.m_end;
  const int status = static_cast<int>(record.m_busyStatus < 0 ? 0 : record.m_busyStatus > 3 ? 3 : record.m_busyStatus);
  const int days = GetDayCount();
  if (record.m_allDay) {
    // The record ends on its last day; the appointment takes that day whole.
    start = VariantDateFloor(start);
    end = VariantDateFloor(end) + 1.0;
    if (end <= start) end = start + 1.0;
    if (start >= m_nextMonthStart || end <= m_monthStart) return;
    int first = static_cast<int>(start - m_monthStart), last = static_cast<int>(end - m_monthStart) - 1;
    if (start < m_monthStart) first = 0;
    if (end > m_nextMonthStart) last = days - 1;
    for (int d = first; d <= last && d < 31; ++d)
      if (m_allDay[d] < status) m_allDay[d] = static_cast<signed char>(status);
    return;
  }
  // An end before the start covers no time.
  if (end < start) return;
  if (start >= m_nextMonthStart || end <= m_monthStart) return;
  const long long monthMinutes = static_cast<long long>(days) * 1440;
  const long long a = start < m_monthStart ? 0 : MinuteIn(start, m_monthStart);
  const long long b = end > m_nextMonthStart ? monthMinutes : MinuteIn(end, m_monthStart);
  // (b - 1) div 30, rounded down: a zero-length appointment on a slot's edge marks nothing.
  const long long firstSlot = a / 30, lastSlot = FloorDiv(b - 1, 30);
  for (long long s = firstSlot; s <= lastSlot && s < days * 48; ++s) MarkSlot(static_cast<int>(s), status);
}

void CMonthItem::Finish(const CBusyIntervals* busy, BOOL markConflicting) {
  const int days = GetDayCount();
  for (int d = 0; d < days && d < 31; ++d) {
    if (m_allDay[d] < 0) continue;
    for (int h = 0; h < CMonthReply::kSlotsPerDay; ++h) {
      const int slot = d * CMonthReply::kSlotsPerDay + h;
      if (!m_slots.IsPresent(slot)) m_slots.SetSlot(slot, TRUE, m_allDay[d]);
    }
  }
  if (!busy || !markConflicting) return;
  const int slots = days * CMonthReply::kSlotsPerDay;
  for (int s = 0; s < slots && s < CMonthReply::kSlots; ++s) {
    if (!m_slots.IsPresent(s)) continue;
    const double from = m_monthStart + static_cast<double>(s) / 48.0, to = m_monthStart + static_cast<double>(s + 1) / 48.0;
    if (busy->MaxLevel(from, to, m_slots.GetLevel(s)) == CBusyIntervals::kConflict) m_slots.SetSlot(s, FALSE, 3);
  }
}
