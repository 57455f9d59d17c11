#include "platform/pimstore/Recurrence.h"

#include <oleauto.h>

#include <algorithm>
#include <cstring>

namespace {

const DWORD kDay = 1440;
const double kFileTimeEpoch = -109205.0;
const WORD kOverrideSubject = 0x001, kOverrideLocation = 0x010, kOverrideBusyStatus = 0x020, kOverrideAllDay = 0x080;

void Put16(std::vector<BYTE>& out, WORD v) { out.insert(out.end(), reinterpret_cast<BYTE*>(&v), reinterpret_cast<BYTE*>(&v) + 2); }
void Put32(std::vector<BYTE>& out, DWORD v) { out.insert(out.end(), reinterpret_cast<BYTE*>(&v), reinterpret_cast<BYTE*>(&v) + 4); }

// A text override: its length with the terminator, that length less one, then the characters.
void PutText(std::vector<BYTE>& out, const std::wstring& text) {
  WORD length = static_cast<WORD>(std::min<size_t>(text.size(), 0xFFFD) + 1);
  Put16(out, length);
  Put16(out, static_cast<WORD>(length - 1));
  const BYTE* p = reinterpret_cast<const BYTE*>(text.data());
  out.insert(out.end(), p, p + (length - 1) * 2);
}

class CReader {
 public:
  CReader(const BYTE* data, size_t size) : m_data(data), m_size(data ? size : 0) {}
  bool Ok() const { return m_ok; }
  size_t Left() const { return m_size - m_pos; }
  DWORD U32() { DWORD v = 0; Take(&v, 4); return v; }
  WORD U16() { WORD v = 0; Take(&v, 2); return v; }
  void Take(void* out, size_t n) {
    if (!m_ok || n > Left()) { m_ok = false; return; }
    if (out) memcpy(out, m_data + m_pos, n);
    m_pos += n;
  }

 private:
  const BYTE* m_data;
  size_t m_size;
  size_t m_pos = 0;
  bool m_ok = true;
};

void DayParts(DWORD day, int* year, int* month, int* dayOfMonth, int* weekday) {
  SYSTEMTIME t{};
  VariantTimeToSystemTime(CRecurrence::MinutesToDate(day - day % kDay), &t);
  *year = t.wYear;
  *month = t.wMonth;
  *dayOfMonth = t.wDay;
  *weekday = t.wDayOfWeek;
}

int DaysIn(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

DWORD FirstOfMonth(DWORD day) {
  int y, m, d, w;
  DayParts(day, &y, &m, &d, &w);
  return day - day % kDay - (d - 1) * kDay;
}

}  // namespace

DWORD CRecurrence::DateToMinutes(double date) {
  double minutes = (date - kFileTimeEpoch) * 1440.0 + 0.5;
  if (!(minutes >= 0)) return 0;
  if (minutes >= 4294967295.0) return 0xFFFFFFFF;
  return static_cast<DWORD>(minutes);
}

double CRecurrence::MinutesToDate(DWORD minutes) { return kFileTimeEpoch + minutes / 1440.0; }

bool CRecurrence::IsRegularDay(DWORD day) const {
  day -= day % kDay;
  if (otherCalendar || day < startDay || day > endDay || interval <= 0) return false;
  int year, month, dom, weekday;
  DayParts(day, &year, &month, &dom, &weekday);
  int startYear, startMonth, startDom, startWeekday;
  DayParts(startDay, &startYear, &startMonth, &startDom, &startWeekday);
  long months = (year - startYear) * 12 + (month - startMonth);
  int length = DaysIn(year, month);
  auto nth = [&]() {
    if (!(dayOfWeekMask & (1 << weekday))) return false;
    if (instance >= 5) return dom + 7 > length;
    return instance > 0 && (dom - 1) / 7 + 1 == instance;
  };
  switch (type) {
    case 0:  // daily
      return (day - startDay) / kDay % interval == 0;
    case 1: {  // weekly, weeks from the Sunday on or before the start
      if (!(dayOfWeekMask & (1 << weekday))) return false;
      DWORD weekStart = startDay / kDay - startWeekday;
      return (day / kDay - weekStart) / 7 % interval == 0;
    }
    case 2:  // monthly on a day
      return months % interval == 0 && (dom == dayOfMonth || (dayOfMonth > length && dom == length));
    case 3:  // monthly on the n-th weekday
      return months % interval == 0 && nth();
    case 5:  // yearly on a day
      return month == monthOfYear && (dom == dayOfMonth || (dayOfMonth > length && dom == length)) &&
             (year - startYear) % interval == 0;
    case 6:
      return month == monthOfYear && (year - startYear) % interval == 0 && nth();
    default:
      return false;
  }
}

DWORD CRecurrence::LastDay() const {
  if (occurrences <= 0) return endDay;
  long found = 0;
  // Bounded: a pattern that never matches must not walk forever.
  for (DWORD day = startDay, n = 0; n < 366 * 100; day += kDay, ++n) {
    CRecurrence open = *this;
    open.endDay = kNoEnd;
    if (open.IsRegularDay(day) && ++found == occurrences) return day;
  }
  return endDay;
}

std::vector<CRecurrence::Occurrence> CRecurrence::Between(DWORD from, DWORD to) const {
  std::vector<Occurrence> out;
  DWORD first = from - from % kDay;
  // Bounded: at most a century of days, whatever the range.
  DWORD day = first >= kDay ? first - kDay : first;
  for (DWORD n = 0; day < to && day <= endDay && n < 366u * 100; day += kDay, ++n) {
    if (!IsRegularDay(day) || std::find(deleted.begin(), deleted.end(), day) != deleted.end()) continue;
    // A moved occurrence leaves its own day.
    bool moved = false;
    for (const Exception& e : exceptions) moved = moved || e.originalStart - e.originalStart % kDay == day;
    if (moved) continue;
    DWORD start = day + startOffset;
    if (start >= from && start < to) out.push_back({start, start + duration, start, nullptr});
  }
  for (const Exception& e : exceptions)
    if (e.start >= from && e.start < to) out.push_back({e.start, e.end, e.originalStart, &e});
  std::stable_sort(out.begin(), out.end(), [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
  return out;
}

std::vector<BYTE> CRecurrence::Encode() const {
  std::vector<BYTE> out;
  Put16(out, 0x3004);
  Put16(out, 0x3004);
  static const WORD kFrequency[] = {0x200A, 0x200B, 0x200C, 0x200C, 0, 0x200D, 0x200D};
  static const DWORD kPattern[] = {0, 1, 2, 3, 0, 2, 3};
  long t = type >= 0 && type <= 6 && type != 4 ? type : 0;
  Put16(out, kFrequency[t]);
  Put32(out, kPattern[t]);
  DWORD firstMonth = FirstOfMonth(startDay);
  if (t >= 5) {
    // Yearly patterns count months from the pattern's month.
    int y, m, d, w;
    DayParts(startDay, &y, &m, &d, &w);
    SYSTEMTIME s{};
    s.wYear = static_cast<WORD>(monthOfYear < m ? y + 1 : y);
    s.wMonth = static_cast<WORD>(monthOfYear >= 1 && monthOfYear <= 12 ? monthOfYear : m);
    s.wDay = 1;
    double date = 0;
    SystemTimeToVariantTime(&s, &date);
    firstMonth = DateToMinutes(date);
  }
  Put32(out, t == 0 ? startDay % (interval * kDay) : firstMonth);
  Put32(out, t == 0 ? interval * kDay : t >= 5 ? 12 * interval : interval);
  Put32(out, 0);
  if (t == 1) Put32(out, dayOfWeekMask);
  if (t == 2 || t == 5) Put32(out, dayOfMonth);
  if (t == 3 || t == 6) {
    Put32(out, dayOfWeekMask);
    Put32(out, instance);
  }
  DWORD last = LastDay();
  Put32(out, occurrences > 0 ? 0x2022 : last == kNoEnd ? 0x2023 : 0x2021);
  Put32(out, occurrences > 0 ? occurrences : 10);
  Put32(out, 0);
  std::vector<DWORD> gone = deleted, moved;
  for (const Exception& e : exceptions) {
    gone.push_back(e.originalStart - e.originalStart % kDay);
    moved.push_back(e.start - e.start % kDay);
  }
  std::sort(gone.begin(), gone.end());
  gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
  std::sort(moved.begin(), moved.end());
  for (const std::vector<DWORD>* list : {&gone, &moved}) {
    Put32(out, static_cast<DWORD>(list->size()));
    for (DWORD d : *list) Put32(out, d);
  }
  Put32(out, startDay);
  Put32(out, last);
  Put32(out, 0x3006);
  Put32(out, 0x3009);
  Put32(out, startOffset);
  Put32(out, startOffset + duration);
  std::vector<const Exception*> sorted;
  for (const Exception& e : exceptions) sorted.push_back(&e);
  std::stable_sort(sorted.begin(), sorted.end(), [](const Exception* a, const Exception* b) { return a->start < b->start; });
  Put16(out, static_cast<WORD>(sorted.size()));
  for (const Exception* e : sorted) {
    Put32(out, e->start);
    Put32(out, e->end);
    Put32(out, e->originalStart);
    // The overrides in the order of their bits.
    Put16(out, static_cast<WORD>((e->hasSubject ? kOverrideSubject : 0) | (e->hasLocation ? kOverrideLocation : 0) |
                                 (e->hasBusyStatus ? kOverrideBusyStatus : 0) | (e->hasAllDay ? kOverrideAllDay : 0)));
    if (e->hasSubject) PutText(out, e->subject);
    if (e->hasLocation) PutText(out, e->location);
    if (e->hasBusyStatus) Put32(out, e->busyStatus);
    if (e->hasAllDay) Put32(out, e->allDay ? 1 : 0);
  }
  return out;
}

bool CRecurrence::Decode(const BYTE* blob, size_t size) {
  CReader in(blob, size);
  in.Take(nullptr, 4);
  WORD frequency = in.U16();
  DWORD pattern = in.U32();
  in.U32();  // first date-time
  DWORD period = in.U32();
  in.U32();
  dayOfWeekMask = 0;
  dayOfMonth = 0;
  instance = 0;
  // The low word gives the layout; a calendar other than the Gregorian one in the high
  // word is kept, and its days never match here.
  otherCalendar = HIWORD(pattern) != 0;
  pattern = LOWORD(pattern);
  if (pattern == 1) {
    dayOfWeekMask = in.U32();
  } else if (pattern == 2) {
    dayOfMonth = in.U32();
  } else if (pattern == 3) {
    dayOfWeekMask = in.U32();
    instance = in.U32();
  } else if (pattern != 0) {
    return false;
  }
  DWORD endType = in.U32();
  DWORD count = in.U32();
  in.U32();
  deleted.clear();
  exceptions.clear();
  std::vector<DWORD> moved;
  for (std::vector<DWORD>* list : {&deleted, &moved}) {
    DWORD n = in.U32();
    if (!in.Ok() || n > in.Left() / 4) return false;
    for (DWORD i = 0; i < n; ++i) list->push_back(in.U32());
  }
  startDay = in.U32();
  endDay = in.U32();
  in.Take(nullptr, 8);
  startOffset = in.U32();
  DWORD endOffset = in.U32();
  duration = endOffset >= startOffset ? endOffset - startOffset : 0;
  WORD n = in.U16();
  if (!in.Ok() || period == 0) return false;
  for (WORD i = 0; i < n; ++i) {
    Exception e;
    e.start = in.U32();
    e.end = in.U32();
    e.originalStart = in.U32();
    WORD flags = in.U16();
    for (WORD bit = 1; bit <= 0x100 && in.Ok(); bit <<= 1) {
      if (!(flags & bit)) continue;
      if (bit == kOverrideSubject || bit == kOverrideLocation) {
        WORD length = in.U16();
        in.U16();
        if (!in.Ok() || length == 0 || (length - 1) * 2u > in.Left()) return false;
        std::wstring text(length - 1, L'\0');
        if (length > 1) in.Take(&text[0], (length - 1) * 2u);
        (bit == kOverrideSubject ? e.hasSubject : e.hasLocation) = true;
        (bit == kOverrideSubject ? e.subject : e.location) = text;
      } else if (bit == 0x100) {
        DWORD skip = in.U32();
        in.Take(nullptr, skip);
      } else {
        DWORD value = in.U32();
        if (bit == kOverrideBusyStatus) {
          e.hasBusyStatus = true;
          e.busyStatus = value;
        }
        if (bit == kOverrideAllDay) {
          e.hasAllDay = true;
          e.allDay = (value & 0xFF) == 1;
        }
      }
    }
    if (!in.Ok()) return false;
    exceptions.push_back(e);
  }
  // The moved occurrences' original days are in the deleted list too.
  for (const Exception& e : exceptions) {
    auto it = std::find(deleted.begin(), deleted.end(), e.originalStart - e.originalStart % kDay);
    if (it != deleted.end()) deleted.erase(it);
  }
  switch (frequency) {
    case 0x200A: type = 0; interval = static_cast<long>(period / kDay); break;
    case 0x200B: type = 1; interval = static_cast<long>(period); break;
    case 0x200C: type = pattern == 3 ? 3 : 2; interval = static_cast<long>(period); break;
    case 0x200D: type = pattern == 3 ? 6 : 5; interval = static_cast<long>(period / 12); break;
    default: return false;
  }
  if (interval <= 0) return false;
  if (type >= 5) {
    int y, m, d, w;
    DayParts(startDay, &y, &m, &d, &w);
    monthOfYear = m;
  }
  occurrences = endType == 0x2022 ? static_cast<long>(count) : 0;
  return true;
}
