#include "base/RecurrencePattern.h"

#include <cmath>
#include <cstring>
#include <cwchar>

#include "base/CeDbApi.h"
#include "base/DateTime.h"

namespace {

const DWORD kDay = 1440;

// Every read is checked against the blob's end; the first short read fails the reader.
class CBlobReader {
 public:
  CBlobReader(const BYTE* data, DWORD size) : m_data(data), m_size(data ? size : 0) {}
  bool Ok() const { return m_ok; }
  DWORD Left() const { return m_ok ? m_size - m_pos : 0; }
  const BYTE* Here() const { return m_data + m_pos; }
  WORD U16() {
    WORD value = 0;
    Take(&value, 2);
    return value;
  }
  DWORD U32() {
    DWORD value = 0;
    Take(&value, 4);
    return value;
  }
  bool Skip(DWORD count) {
    if (!m_ok || count > m_size - m_pos) return m_ok = false;
    m_pos += count;
    return true;
  }

 private:
  void Take(void* out, DWORD count) {
    if (!m_ok || count > m_size - m_pos) {
      m_ok = false;
      return;
    }
    memcpy(out, m_data + m_pos, count);
    m_pos += count;
  }
  const BYTE* m_data;
  DWORD m_size;
  DWORD m_pos = 0;
  bool m_ok = true;
};

bool MinutesToTime(DWORD minutes, SYSTEMTIME* time) {
  return VariantDateToSystemTime(MinutesToVariantDate(minutes), time) != FALSE;
}

// A running month number; a moment inside a month counts as the month after it.
LONG MonthIndex(DWORD minutes) {
  SYSTEMTIME t;
  if (!MinutesToTime(minutes, &t)) return 0;
  LONG index = (t.wYear - 1601) * 12 + (t.wMonth - 1);
  bool atMonthStart = t.wDay == 1 && minutes % kDay == 0;
  return atMonthStart ? index : index + 1;
}

DWORD ClampMinutes(LONG64 minutes) {
  if (minutes < 0) return 0;
  if (minutes > 0xFFFFFFFFLL) return 0xFFFFFFFFu;
  return static_cast<DWORD>(minutes);
}

}  // namespace

void DebugPrintDate(DWORD minutes) {
  SYSTEMTIME t{};
  MinutesToTime(minutes, &t);
  WCHAR text[64];
  swprintf(text, 64, L"\n%02d.%02d.%04d  %02d:%02d\n", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute);
  OutputDebugStringW(text);
}

RecurrencePattern::RecurrencePattern(CAppointmentRecord* owner)
    : m_decoded(FALSE),
      m_frequency(0),
      m_patternType(0),
      m_firstDateTime(0),
      m_period(0),
      m_mask(0),
      m_dayOrN(0),
      m_endType(0),
      m_occurrenceCount(0),
      m_firstDayOfWeek(0),
      m_startDate(0),
      m_endDate(0),
      m_startOffset(0),
      m_endOffset(0),
      m_hasZone(FALSE),
      m_zone(),
      m_bias(0),
      m_hasDeviceZone(FALSE),
      m_deviceZone(),
      m_day(0),
      m_year(1601),
      m_month(1),
      m_dayOfMonth(1),
      m_weekday(1),
      m_modifiedIndex(0),
      m_deletedIndex(0),
      m_dayEvaluated(false),
      m_pendingModified(0),
      m_takenModified(0),
      m_pendingRegular(false),
      m_owner(owner) {}

RecurrencePattern::~RecurrencePattern() { Clear(); }

void RecurrencePattern::Clear() {
  for (Exception* exception : m_exceptions) delete exception;
  m_exceptions.clear();
  m_deleted.clear();
  m_modified.clear();
  m_decoded = FALSE;
  m_hasZone = FALSE;
  m_bias = 0;
}

DWORD RecurrencePattern::ExceptionDataSize(WORD flags, const BYTE* data, DWORD available) {
  CBlobReader in(data, available);
  for (DWORD bit = 1; bit <= kOverrideDataBlock; bit <<= 1) {
    if (!(flags & bit)) continue;
    if (bit == kOverrideSubject || bit == kOverrideLocation) {
      // Length L, L - 1, then L - 1 characters: (L + 1) * 2 bytes in all.
      WORD length = in.U16();
      if (!in.Ok() || length == 0 || !in.Skip(2 + (length - 1) * 2u)) return 0xFFFFFFFF;
    } else if (bit == kOverrideDataBlock) {
      DWORD size = in.U32();
      if (!in.Skip(size)) return 0xFFFFFFFF;
    } else if (!in.Skip(4)) {
      return 0xFFFFFFFF;
    }
  }
  return available - in.Left();
}

BOOL RecurrencePattern::Decode(const BYTE* blob, DWORD size, const BYTE* zoneBlob, DWORD zoneSize) {
  Clear();
  CBlobReader in(blob, size);
  in.Skip(4);  // reader and writer versions
  m_frequency = in.U16();
  m_patternType = in.U32();
  m_firstDateTime = in.U32();
  m_period = in.U32();
  in.Skip(4);  // sliding flag
  m_mask = 0;
  m_dayOrN = 0;
  // The part's size goes by the pattern type alone, whatever the calendar.
  WORD type = LOWORD(m_patternType);
  if (type == MonthlyNth) {
    m_mask = in.U32();
    m_dayOrN = in.U32();
  } else if (type == Weekly) {
    m_mask = in.U32();
  } else if (type != Daily) {
    m_dayOrN = in.U32();
  }
  m_endType = in.U32();
  m_occurrenceCount = in.U32();
  m_firstDayOfWeek = in.U32();
  if (m_firstDayOfWeek > 6) m_firstDayOfWeek = 0;
  for (std::vector<DWORD>* dates : {&m_deleted, &m_modified}) {
    DWORD count = in.U32();
    if (!in.Ok() || count > in.Left() / 4) return FALSE;
    dates->reserve(count);
    for (DWORD i = 0; i < count; ++i) dates->push_back(in.U32());
  }
  m_startDate = in.U32();
  m_endDate = in.U32();
  in.Skip(8);  // reader and writer versions again
  m_startOffset = in.U32();
  m_endOffset = in.U32();
  WORD exceptions = in.U16();
  bool periodNeeded = m_patternType <= MonthlyNth;
  if (!in.Ok() || (periodNeeded && m_period == 0)) {
    Clear();
    return FALSE;
  }
  // A damaged exception record ends the list: the series and the exceptions before
  // it stand, rather than the whole appointment going missing.
  const DWORD kHeadSize = 14;
  for (WORD i = 0; i < exceptions && in.Left() >= kHeadSize; ++i) {
    const DWORD start = in.U32(), end = in.U32(), originalStart = in.U32();
    const WORD flags = in.U16();
    const DWORD dataSize = ExceptionDataSize(flags, in.Here(), in.Left());
    if (dataSize == 0xFFFFFFFF) break;
    auto* exception = new Exception;
    exception->start = start;
    exception->end = end;
    exception->originalStart = originalStart;
    exception->flags = flags;
    if (!exception->data.Assign(in.Here(), dataSize)) {
      delete exception;
      break;
    }
    m_exceptions.push_back(exception);
    in.Skip(dataSize);
  }
  if (zoneBlob && zoneSize >= kTimeZoneBlobSize) {
    memset(&m_zone, 0, sizeof m_zone);
    memcpy(&m_zone.Bias, zoneBlob, 4);
    memcpy(&m_zone.StandardBias, zoneBlob + 4, 4);
    memcpy(&m_zone.DaylightBias, zoneBlob + 8, 4);
    memcpy(&m_zone.StandardDate, zoneBlob + 14, sizeof(SYSTEMTIME));
    memcpy(&m_zone.DaylightDate, zoneBlob + 32, sizeof(SYSTEMTIME));
    m_hasZone = TRUE;
    GetTimeZoneBias(m_zone, nullptr, &m_bias, FALSE);
  }
  m_decoded = TRUE;
  return TRUE;
}

void RecurrencePattern::SetDeviceZone(const TIME_ZONE_INFORMATION* zone) {
  m_hasDeviceZone = zone != nullptr;
  if (zone) m_deviceZone = *zone;
}

LONG RecurrencePattern::DeviceBias(DWORD utcMinutes) const {
  SYSTEMTIME t;
  LONG bias = 0;
  if (MinutesToTime(utcMinutes, &t)) GetTimeZoneBias(m_deviceZone, &t, &bias, FALSE);
  return bias;
}

LONG RecurrencePattern::TimeZoneDelta(DWORD minutes) const {
  if (!m_hasZone) return 0;
  SYSTEMTIME t;
  if (!MinutesToTime(minutes, &t)) return 0;
  LONG seriesBias = 0;
  GetTimeZoneBias(m_zone, &t, &seriesBias, TRUE);
  return seriesBias - DeviceBias(ClampMinutes(static_cast<LONG64>(minutes) + seriesBias));
}

void RecurrencePattern::GetEnd(LONG deviceBias) {
  if (!m_owner) return;
  LONG shift = m_owner->m_allDay || !m_hasZone ? 0 : m_bias - deviceBias;
  m_owner->m_start =
      MinutesToVariantDate(ClampMinutes(static_cast<LONG64>(m_startDate) + m_startOffset + shift));
  m_owner->m_end = m_owner->m_start + m_owner->m_durationMinutes / 1440.0;
}

int RecurrencePattern::FindException(DWORD day, int nth) const {
  for (size_t i = 0; i < m_exceptions.size(); ++i) {
    DWORD start = m_exceptions[i]->start;
    if (start >= day && start - day < kDay && nth-- == 0) return static_cast<int>(i);
  }
  return -1;
}

BOOL RecurrencePattern::IsPeriodDay(DWORD monthStart, DWORD, DWORD firstDateTime, DWORD period) const {
  if (period == 1) return TRUE;
  if (period == 0) return FALSE;
  LONG difference = MonthIndex(monthStart) - MonthIndex(firstDateTime);
  LONG p = static_cast<LONG>(period);
  return ((difference % p) + p) % p == 0;
}

void RecurrencePattern::PlaceCursor(DWORD day) {
  m_day = day - day % kDay;
  SYSTEMTIME t{};
  MinutesToTime(m_day, &t);
  m_year = t.wYear;
  m_month = t.wMonth;
  m_dayOfMonth = t.wDay;
  m_weekday = t.wDayOfWeek;
  m_modifiedIndex = 0;
  m_deletedIndex = 0;
  m_dayEvaluated = false;
  m_pendingModified = 0;
  m_takenModified = 0;
  m_pendingRegular = false;
}

void RecurrencePattern::AdvanceDay() {
  m_day += kDay;
  m_weekday = (m_weekday + 1) % 7;
  if (++m_dayOfMonth > DaysInMonth(m_year, m_month)) {
    m_dayOfMonth = 1;
    if (++m_month > 12) {
      m_month = 1;
      ++m_year;
    }
  }
  m_dayEvaluated = false;
}

double RecurrencePattern::GetCursorDay() const { return MinutesToVariantDate(m_day); }

bool RecurrencePattern::IsRegularDay() const {
  const DWORD day = m_day;
  const DWORD monthStart = day - (m_dayOfMonth - 1) * kDay;
  const int length = DaysInMonth(m_year, m_month);
  switch (m_patternType) {
    case Daily:
      return (day - m_startDate) % m_period < kDay;
    case Weekly: {
      if (!(m_mask & (1u << m_weekday))) return false;
      // Weeks run from the pattern's first day of the week on or before the start.
      DWORD startDay = m_startDate / kDay;
      DWORD startWeekday = (startDay + 1) % 7;
      DWORD weekStart = startDay - (startWeekday + 7 - m_firstDayOfWeek) % 7;
      return (day / kDay - weekStart) / 7 % m_period == 0;
    }
    case MonthlyByDay: {
      bool onDay = static_cast<DWORD>(m_dayOfMonth) == m_dayOrN ||
                   (m_dayOrN > static_cast<DWORD>(length) && m_dayOfMonth == length);
      return onDay && IsPeriodDay(monthStart, m_startDate, m_firstDateTime, m_period);
    }
    case MonthlyNth: {
      if (!(m_mask & (1u << m_weekday)) || m_dayOrN == 0) return false;
      if (!IsPeriodDay(monthStart, m_startDate, m_firstDateTime, m_period)) return false;
      if (m_dayOrN >= 5) {
        // The last masked day of the month: in its last week, no masked day after it.
        if (m_dayOfMonth + 7 <= length) return false;
        for (int later = 1; later <= 6 && m_dayOfMonth + later <= length; ++later)
          if (m_mask & (1u << ((m_weekday + later) % 7))) return false;
        return true;
      }
      // The n-th masked day of the month.
      int firstWeekday = ((m_weekday - (m_dayOfMonth - 1)) % 7 + 7) % 7;
      DWORD ordinal = 0;
      for (int d = 0; d < m_dayOfMonth; ++d)
        if (m_mask & (1u << ((firstWeekday + d) % 7))) ++ordinal;
      return ordinal == m_dayOrN;
    }
    default:
      return false;
  }
}

BOOL RecurrencePattern::FirstOccurrence(double day, CAppointmentRecord* record) {
  if (!m_hasDeviceZone) {
    // The device's zone as it is now, for this walk.
    TIME_ZONE_INFORMATION current{};
    if (GetTimeZoneInformation(&current) != TIME_ZONE_ID_INVALID) m_deviceZone = current;
  }
  DWORD minutes = VariantDateToMinutes(VariantDateFloor(day));
  // The device's day begins at another hour of the series' clock.
  if (m_owner && !m_owner->m_allDay) minutes = ClampMinutes(static_cast<LONG64>(minutes) - TimeZoneDelta(minutes));
  PlaceCursor(minutes);
  return NextOccurrence(record);
}

BOOL RecurrencePattern::NextOccurrence(CAppointmentRecord* record) {
  if (record) record->m_pattern = nullptr;
  if (!m_decoded || !record) return FALSE;
  const DWORD day = m_day;
  if (!m_dayEvaluated) {
    m_pendingModified = 0;
    m_takenModified = 0;
    while (m_modifiedIndex < m_modified.size() && m_modified[m_modifiedIndex] < day) ++m_modifiedIndex;
    while (m_modifiedIndex < m_modified.size() && m_modified[m_modifiedIndex] - day < kDay) {
      ++m_modifiedIndex;
      ++m_pendingModified;
    }
    if (day > m_endDate && m_pendingModified == 0 && m_modifiedIndex >= m_modified.size()) return FALSE;
    m_pendingRegular = false;
    if (day >= m_startDate && day <= m_endDate) {
      bool deleted = false;
      while (m_deletedIndex < m_deleted.size() && m_deleted[m_deletedIndex] < day) ++m_deletedIndex;
      while (m_deletedIndex < m_deleted.size() && m_deleted[m_deletedIndex] - day < kDay) {
        ++m_deletedIndex;
        deleted = true;
      }
      m_pendingRegular = !deleted && IsRegularDay();
    }
    m_dayEvaluated = true;
  }
  // A day's moved-in occurrences come first, its regular one after them: an occurrence
  // moved onto a day of its own keeps both.
  if (m_pendingModified > 0) {
    --m_pendingModified;
    int index = FindException(day, m_takenModified++);
    if (index < 0) DebugPrintDate(day);
    MakeOccurrence(day, record, index >= 0 ? m_exceptions[index] : nullptr);
  } else if (m_pendingRegular) {
    m_pendingRegular = false;
    MakeOccurrence(day, record, nullptr);
  }
  if (m_pendingModified == 0 && !m_pendingRegular) AdvanceDay();
  return TRUE;
}

void RecurrencePattern::MakeOccurrence(DWORD day, CAppointmentRecord* record, const Exception* exception) const {
  const CAppointmentRecord* owner = m_owner;
  if (owner) record->Assign(*owner);
  record->m_exceptionState = 0;
  record->m_isException = FALSE;
  record->m_pattern = const_cast<RecurrencePattern*>(this);
  bool allDay = owner && owner->m_allDay;
  LONG duration = owner ? owner->m_durationMinutes : 0;
  DWORD start = day + m_startOffset;
  LONG delta = allDay ? 0 : TimeZoneDelta(start);
  record->m_start = MinutesToVariantDate(ClampMinutes(static_cast<LONG64>(start) + delta));
  record->m_end = record->m_start + duration / 1440.0;
  if (exception) {
    delta = allDay ? 0 : TimeZoneDelta(exception->start);
    record->m_start = MinutesToVariantDate(ClampMinutes(static_cast<LONG64>(exception->start) + delta));
    record->m_end = MinutesToVariantDate(ClampMinutes(static_cast<LONG64>(exception->end) + delta));
    record->m_isException = TRUE;
    // The data were measured at decoding: every item lies inside them.
    const BYTE* data = exception->data.GetData();
    DWORD pos = 0;
    for (DWORD bit = 1; bit <= kOverrideDataBlock; bit <<= 1) {
      if (!(exception->flags & bit)) continue;
      if (bit == kOverrideSubject || bit == kOverrideLocation) {
        WORD length;
        memcpy(&length, data + pos, 2);
        CString text;
        if (length > 1) {
          if (LPWSTR chars = text.GetBufferSetLength(length - 1)) {
            memcpy(chars, data + pos + 4, (length - 1) * sizeof(WCHAR));
            text.ReleaseBuffer(length - 1);
          }
        }
        (bit == kOverrideSubject ? record->m_subject : record->m_location) = text;
        pos += (length + 1) * 2;
      } else if (bit == kOverrideDataBlock) {
        DWORD size;
        memcpy(&size, data + pos, 4);
        record->m_dataBlock.Assign(data + pos + 4, size);
        record->m_hasDataBlock = TRUE;
        pos += 4 + size;
      } else {
        if (bit == kOverrideBusyStatus) record->m_busyStatus = data[pos];
        if (bit == kOverrideAllDay) record->m_allDay = data[pos] == 1;
        pos += 4;
      }
    }
    if (record->m_allDay && IsNewerStore()) record->m_end -= 1.0;
  } else if (m_frequency == kFrequencyYearly && m_endDate == kNoEndDate && m_period == 12 && record->m_allDay) {
    SYSTEMTIME first{};
    MinutesToTime(m_startDate, &first);
    record->m_yearCount = m_year - first.wYear;
  }
  if (record->m_allDay) {
    record->m_start = VariantDateFloor(record->m_start);
    record->m_end = VariantDateFloor(record->m_end);
  }
}
