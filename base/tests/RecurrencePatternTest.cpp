#include "base/RecurrencePattern.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <cstring>
#include <string>
#include <vector>

#include "DateSamples.h"
#include "DeviceRoot.h"
#include "base/DateTime.h"

namespace {

double Day(int y, int mo, int d) { return MinutesToVariantDate(Minutes(y, mo, d)); }

// Start of month (months since January 1601 modulo the period): how writers store the
// first date-time of a monthly pattern.
DWORD MonthlyFirst(int y, int mo, DWORD period) {
  DWORD months = ((y - 1601) * 12 + (mo - 1)) % period;
  return Minutes(1601 + months / 12, 1 + months % 12, 1);
}

struct ExceptionInput {
  DWORD start, end, original;
  const wchar_t* subject;   // null: not overridden
  const wchar_t* location;
  int busy;                 // -1: not overridden
  int allDay;               // -1: not overridden
  std::vector<BYTE> data;   // empty: not overridden
};

// Writes the store's recurrence blob, little-endian.
struct Series {
  WORD frequency = 0x200A;
  WORD type = RecurrencePattern::Daily;
  WORD calendar = 0;
  DWORD firstDateTime = 0;
  DWORD period = 1440;
  DWORD mask = 0;
  DWORD dayOrN = 0;
  DWORD endType = 0x2023;
  DWORD count = 10;
  DWORD firstDayOfWeek = 0;
  std::vector<DWORD> deleted, modified;
  DWORD start = 0, end = RecurrencePattern::kNoEndDate;
  DWORD startOffset = 600, endOffset = 660;
  std::vector<ExceptionInput> exceptions;

  std::vector<BYTE> Build() const {
    std::vector<BYTE> b;
    auto u16 = [&](DWORD v) { b.push_back(BYTE(v)), b.push_back(BYTE(v >> 8)); };
    auto u32 = [&](DWORD v) { u16(v & 0xFFFF), u16(v >> 16); };
    auto text = [&](const wchar_t* s) {
      DWORD n = static_cast<DWORD>(wcslen(s));
      u16(n + 1), u16(n);
      for (DWORD i = 0; i < n; ++i) u16(s[i]);
    };
    u16(0x3004), u16(0x3004), u16(frequency), u16(type), u16(calendar), u32(firstDateTime), u32(period), u32(0);
    if (type == RecurrencePattern::MonthlyNth) u32(mask), u32(dayOrN);
    else if (type == RecurrencePattern::Weekly) u32(mask);
    else if (type != RecurrencePattern::Daily) u32(dayOrN);
    u32(endType), u32(count), u32(firstDayOfWeek);
    u32(DWORD(deleted.size()));
    for (DWORD d : deleted) u32(d);
    u32(DWORD(modified.size()));
    for (DWORD d : modified) u32(d);
    u32(start), u32(end), u32(0x3006), u32(0x3009), u32(startOffset), u32(endOffset);
    u16(DWORD(exceptions.size()));
    for (const ExceptionInput& e : exceptions) {
      WORD flags = (e.subject ? 0x1 : 0) | (e.location ? 0x10 : 0) | (e.busy >= 0 ? 0x20 : 0) |
                   (e.allDay >= 0 ? 0x80 : 0) | (e.data.empty() ? 0 : 0x100) | 0x8;
      u32(e.start), u32(e.end), u32(e.original), u16(flags);
      if (e.subject) text(e.subject);
      u32(1);  // reminder set: a 4-byte item that is skipped
      if (e.location) text(e.location);
      if (e.busy >= 0) u32(DWORD(e.busy));
      if (e.allDay >= 0) u32(DWORD(e.allDay));
      if (!e.data.empty()) {
        u32(DWORD(e.data.size()));
        b.insert(b.end(), e.data.begin(), e.data.end());
      }
    }
    return b;
  }
};

std::string Text(double date) {
  SYSTEMTIME t{};
  VariantDateToSystemTime(date, &t);
  char s[32];
  snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
  return s;
}

// Every occurrence from the first day to the day before the last, as "start" texts;
// "end" is appended when the series said it was over.
std::vector<std::string> Walk(RecurrencePattern& pattern, double from, double to,
                              std::deque<CAppointmentRecord>* records = nullptr) {
  std::vector<std::string> seen;
  CAppointmentRecord occurrence;
  BOOL more = pattern.FirstOccurrence(from, &occurrence);
  for (int guard = 0; guard < 5000; ++guard) {
    if (!more) {
      seen.push_back("end");
      break;
    }
    if (occurrence.m_pattern) {
      seen.push_back(Text(occurrence.m_start));
      if (records) {
        records->emplace_back();
        records->back().Assign(occurrence);
      }
    }
    if (pattern.GetCursorDay() >= to) break;
    more = pattern.NextOccurrence(&occurrence);
  }
  return seen;
}

class RecurrenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_series.m_durationMinutes = 60;
    m_series.m_subject = L"Series";
    TIME_ZONE_INFORMATION utc{};
    m_pattern.SetDeviceZone(&utc);
    m_series.m_pattern = &m_pattern;
  }
  std::vector<std::string> Run(const Series& s, double from, double to) {
    std::vector<BYTE> blob = s.Build();
    EXPECT_TRUE(m_pattern.Decode(blob.data(), static_cast<DWORD>(blob.size())));
    return Walk(m_pattern, from, to, &m_records);
  }
  CAppointmentRecord m_series;
  RecurrencePattern m_pattern{&m_series};
  std::deque<CAppointmentRecord> m_records;
};

struct PatternCase {
  const char* name;
  Series series;
  double from, to;
  std::vector<std::string> expected;
};

Series Daily(DWORD start, DWORD period) {
  Series s;
  s.start = start;
  s.period = period;
  s.firstDateTime = start % period;
  return s;
}

Series Weekly(DWORD start, DWORD mask, DWORD period, DWORD firstDayOfWeek = 0) {
  Series s;
  s.frequency = 0x200B;
  s.type = RecurrencePattern::Weekly;
  s.start = start;
  s.mask = mask;
  s.period = period;
  s.firstDayOfWeek = firstDayOfWeek;
  return s;
}

Series Monthly(int y, int mo, int d, DWORD day, DWORD period) {
  Series s;
  s.frequency = period == 12 ? 0x200D : 0x200C;
  s.type = RecurrencePattern::MonthlyByDay;
  s.start = Minutes(y, mo, d);
  s.dayOrN = day;
  s.period = period;
  s.firstDateTime = MonthlyFirst(y, mo, period);
  return s;
}

Series MonthlyNth(int y, int mo, DWORD mask, DWORD n, DWORD period) {
  Series s = Monthly(y, mo, 1, 0, period);
  s.type = RecurrencePattern::MonthlyNth;
  s.mask = mask;
  s.dayOrN = n;
  return s;
}

Series Ending(Series s, DWORD end, DWORD endType = 0x2021) {
  s.end = end;
  s.endType = endType;
  return s;
}

TEST_F(RecurrenceTest, PatternsOccurOnTheirDays) {
  const PatternCase cases[] = {
      {"every other day from a Monday", Daily(Minutes(2024, 1, 1), 2880), Day(2024, 1, 1), Day(2024, 1, 8),
       {"2024-01-01 10:00", "2024-01-03 10:00", "2024-01-05 10:00", "2024-01-07 10:00"}},
      {"every other day over February 29", Daily(Minutes(2024, 2, 27), 2880), Day(2024, 2, 27), Day(2024, 3, 4),
       {"2024-02-27 10:00", "2024-02-29 10:00", "2024-03-02 10:00"}},
      {"Monday and Friday of every second week from the Sunday before",
       Weekly(Minutes(2024, 1, 3), 0x22, 2), Day(2024, 1, 1), Day(2024, 2, 4),
       {"2024-01-05 10:00", "2024-01-15 10:00", "2024-01-19 10:00", "2024-01-29 10:00", "2024-02-02 10:00"}},
      {"Sunday and Monday of every second week starting on Monday", Weekly(Minutes(2024, 1, 1), 0x03, 2, 1),
       Day(2024, 1, 1), Day(2024, 1, 23), {"2024-01-01 10:00", "2024-01-07 10:00", "2024-01-15 10:00", "2024-01-21 10:00"}},
      {"weekly over the leap day", Weekly(Minutes(2024, 2, 1), 0x10, 1), Day(2024, 2, 20), Day(2024, 3, 10),
       {"2024-02-22 10:00", "2024-02-29 10:00", "2024-03-07 10:00"}},
      {"monthly on the 31st", Monthly(2024, 1, 31, 31, 1), Day(2024, 1, 1), Day(2024, 6, 1),
       {"2024-01-31 10:00", "2024-02-29 10:00", "2024-03-31 10:00", "2024-04-30 10:00", "2024-05-31 10:00"}},
      {"monthly on the 31st in a common year", Monthly(2023, 1, 31, 31, 1), Day(2023, 2, 1), Day(2023, 3, 1),
       {"2023-02-28 10:00"}},
      {"every third month on the 15th", Monthly(2024, 2, 15, 15, 3), Day(2024, 1, 1), Day(2025, 1, 1),
       {"2024-02-15 10:00", "2024-05-15 10:00", "2024-08-15 10:00", "2024-11-15 10:00"}},
      {"last working day of the month", MonthlyNth(2024, 1, 0x3E, 5, 1), Day(2024, 1, 1), Day(2024, 5, 1),
       {"2024-01-31 10:00", "2024-02-29 10:00", "2024-03-29 10:00", "2024-04-30 10:00"}},
      {"second weekend day", MonthlyNth(2024, 1, 65, 2, 1), Day(2024, 1, 1), Day(2024, 4, 1),
       {"2024-01-07 10:00", "2024-02-04 10:00", "2024-03-03 10:00"}},
      {"third Monday or Wednesday", MonthlyNth(2024, 1, 0x0A, 3, 1), Day(2024, 1, 1), Day(2024, 3, 1),
       {"2024-01-08 10:00", "2024-02-12 10:00"}},
      {"every day of the month, the 3rd", MonthlyNth(2024, 1, 127, 3, 1), Day(2024, 1, 1), Day(2024, 3, 1),
       {"2024-01-03 10:00", "2024-02-03 10:00"}},
      {"yearly on March 15", Monthly(2020, 3, 15, 15, 12), Day(2023, 1, 1), Day(2026, 1, 1),
       {"2023-03-15 10:00", "2024-03-15 10:00", "2025-03-15 10:00"}},
      {"yearly on February 29", Monthly(2020, 2, 29, 29, 12), Day(2023, 1, 1), Day(2025, 1, 1),
       {"2023-02-28 10:00", "2024-02-29 10:00"}},
      {"yearly on the fourth Thursday of November", MonthlyNth(2020, 11, 0x10, 4, 12), Day(2023, 1, 1),
       Day(2025, 1, 1), {"2023-11-23 10:00", "2024-11-28 10:00"}},
      {"yearly on the last Monday of May", MonthlyNth(2020, 5, 0x02, 5, 12), Day(2024, 1, 1), Day(2025, 1, 1),
       {"2024-05-27 10:00"}},
      {"ended by date", Ending(Daily(Minutes(2024, 1, 1), 1440), Minutes(2024, 1, 3)), Day(2023, 12, 30),
       Day(2024, 2, 1), {"2024-01-01 10:00", "2024-01-02 10:00", "2024-01-03 10:00", "end"}},
      {"ended after three occurrences", Ending(Weekly(Minutes(2024, 1, 1), 0x02, 1), Minutes(2024, 1, 15), 0x2022),
       Day(2024, 1, 1), Day(2024, 3, 1), {"2024-01-01 10:00", "2024-01-08 10:00", "2024-01-15 10:00", "end"}},
      {"other calendars never occur",
       [] {
         Series s = Monthly(2024, 1, 5, 5, 1);
         s.calendar = 6;
         return s;
       }(),
       Day(2024, 1, 1), Day(2024, 3, 1), {}},
  };
  for (const PatternCase& c : cases) {
    RecurrencePattern pattern(&m_series);
    TIME_ZONE_INFORMATION utc{};
    pattern.SetDeviceZone(&utc);
    std::vector<BYTE> blob = c.series.Build();
    ASSERT_TRUE(pattern.Decode(blob.data(), static_cast<DWORD>(blob.size()))) << c.name;
    EXPECT_EQ(c.expected, Walk(pattern, c.from, c.to)) << c.name;
  }
}

// Deleted and moved occurrences are matched on their own days, in a leap year after
// February too; a moved occurrence landing on a day with its own occurrence keeps both.
TEST_F(RecurrenceTest, ExceptionsAfterTheLeapDay) {
  Series s = Daily(Minutes(2024, 2, 27), 1440);
  s.deleted = {Minutes(2024, 3, 1), Minutes(2024, 3, 2), Minutes(2024, 3, 20)};
  s.modified = {Minutes(2024, 3, 3), Minutes(2024, 3, 22)};
  s.exceptions = {
      {Minutes(2024, 3, 3, 16), Minutes(2024, 3, 3, 17, 30), Minutes(2024, 3, 2, 10), L"Moved", L"Room 2", 2, -1, {}},
      {Minutes(2024, 3, 22, 8), Minutes(2024, 3, 22, 9), Minutes(2024, 3, 20, 10), nullptr, nullptr, -1, -1, {7, 8, 9}},
  };
  std::vector<std::string> expected = {
      "2024-02-27 10:00", "2024-02-28 10:00", "2024-02-29 10:00", "2024-03-03 16:00", "2024-03-03 10:00",
      "2024-03-04 10:00", "2024-03-19 10:00", "2024-03-21 10:00", "2024-03-22 08:00", "2024-03-22 10:00",
      "2024-03-23 10:00"};
  std::vector<std::string> seen = Run(s, Day(2024, 2, 27), Day(2024, 3, 24));
  seen.erase(std::remove_if(seen.begin(), seen.end(),
                            [](const std::string& t) { return t >= "2024-03-05" && t < "2024-03-19"; }),
             seen.end());
  EXPECT_EQ(expected, seen);

  const CAppointmentRecord* moved = nullptr;
  const CAppointmentRecord* regular = nullptr;
  for (const CAppointmentRecord& r : m_records) {
    if (Text(r.m_start) == "2024-03-03 16:00") moved = &r;
    if (Text(r.m_start) == "2024-03-03 10:00") regular = &r;
  }
  ASSERT_TRUE(moved && regular);
  EXPECT_TRUE(moved->m_isException);
  EXPECT_STREQ(L"Moved", moved->m_subject);
  EXPECT_STREQ(L"Room 2", moved->m_location);
  EXPECT_EQ(2, moved->m_busyStatus);
  EXPECT_EQ("2024-03-03 17:30", Text(moved->m_end));
  EXPECT_FALSE(regular->m_isException);
  EXPECT_STREQ(L"Series", regular->m_subject);
  EXPECT_EQ("2024-03-03 11:00", Text(regular->m_end));
  const CAppointmentRecord& withData = m_records[m_records.size() - 3];
  EXPECT_EQ("2024-03-22 08:00", Text(withData.m_start));
  EXPECT_TRUE(withData.m_hasDataBlock);
  ASSERT_EQ(3u, withData.m_dataBlock.GetSize());
  EXPECT_EQ(9, withData.m_dataBlock.GetData()[2]);
}

TEST_F(RecurrenceTest, MovedOccurrencesOutliveTheEnd) {
  Series s = Ending(Daily(Minutes(2024, 1, 1), 1440), Minutes(2024, 1, 3));
  s.deleted = {Minutes(2024, 1, 2)};
  s.modified = {Minutes(2024, 1, 10)};
  s.exceptions = {{Minutes(2024, 1, 10, 9), Minutes(2024, 1, 10, 10), Minutes(2024, 1, 2, 10), L"Later", nullptr, -1, -1, {}}};
  EXPECT_EQ((std::vector<std::string>{"2024-01-01 10:00", "2024-01-03 10:00", "2024-01-10 09:00", "end"}),
            Run(s, Day(2024, 1, 1), Day(2024, 3, 1)));
  // A moved date without its exception record: the series' own times.
  Series lost = Ending(Daily(Minutes(2024, 1, 1), 1440), Minutes(2024, 1, 1));
  lost.modified = {Minutes(2024, 1, 5)};
  EXPECT_EQ((std::vector<std::string>{"2024-01-01 10:00", "2024-01-05 10:00", "end"}),
            Run(lost, Day(2024, 1, 1), Day(2024, 3, 1)));
}

TEST_F(RecurrenceTest, AnniversariesCountTheirYears) {
  Series s = Monthly(1980, 6, 1, 1, 12);
  s.startOffset = 0;
  m_series.m_allDay = TRUE;
  m_series.m_durationMinutes = 1440;
  EXPECT_EQ((std::vector<std::string>{"2005-06-01 00:00"}), Run(s, Day(2005, 5, 1), Day(2005, 7, 1)));
  ASSERT_EQ(1u, m_records.size());
  EXPECT_EQ(25, m_records[0].m_yearCount);
  EXPECT_EQ(Day(2005, 6, 2), m_records[0].m_end);
}

// A series kept on US Eastern time seen on a device in Central Europe: the occurrences
// follow both zones' changes.
TEST_F(RecurrenceTest, SeriesZoneMeetsDeviceZone) {
  TIME_ZONE_INFORMATION eastern = Eastern(), europe = CentralEurope();
  BYTE zone[48] = {};
  memcpy(zone, &eastern.Bias, 4);
  memcpy(zone + 4, &eastern.StandardBias, 4);
  memcpy(zone + 8, &eastern.DaylightBias, 4);
  memcpy(zone + 14, &eastern.StandardDate, 16);
  memcpy(zone + 32, &eastern.DaylightDate, 16);
  m_pattern.SetDeviceZone(&europe);
  Series s = Weekly(Minutes(2024, 1, 1), 0x04, 1);  // Tuesdays 10:00 in New York
  std::vector<BYTE> blob = s.Build();
  ASSERT_TRUE(m_pattern.Decode(blob.data(), static_cast<DWORD>(blob.size()), zone, sizeof zone));
  EXPECT_EQ((std::vector<std::string>{"2024-03-05 16:00", "2024-03-12 15:00", "2024-03-19 15:00", "2024-03-26 15:00",
                                      "2024-04-02 16:00"}),
            Walk(m_pattern, Day(2024, 3, 4), Day(2024, 4, 4)));
  EXPECT_EQ(60 * 6, m_pattern.TimeZoneDelta(Minutes(2024, 1, 9, 10)));
  // A zone blob too short to hold a zone is not used.
  ASSERT_TRUE(m_pattern.Decode(blob.data(), static_cast<DWORD>(blob.size()), zone, 47));
  EXPECT_EQ(0, m_pattern.TimeZoneDelta(Minutes(2024, 1, 9, 10)));
}

// The blob at the very end of readable memory: a read past it faults.
class CGuardedBytes {
 public:
  explicit CGuardedBytes(const std::vector<BYTE>& bytes) {
    m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, 3 * 65536, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(m_base + 2 * 65536, 65536, PAGE_NOACCESS, &old);
    m_data = m_base + 2 * 65536 - bytes.size();
    if (!bytes.empty()) memcpy(m_data, bytes.data(), bytes.size());
  }
  ~CGuardedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
  const BYTE* Data() const { return m_data; }

 private:
  BYTE* m_base;
  BYTE* m_data;
};

Series WithOneException() {
  Series s = MonthlyNth(2024, 1, 0x3E, 5, 1);
  s.deleted = {Minutes(2024, 1, 31)};
  s.modified = {Minutes(2024, 2, 1)};
  s.exceptions = {{Minutes(2024, 2, 1, 8), Minutes(2024, 2, 1, 9), Minutes(2024, 1, 31, 10), L"Subject", L"Place", 1, 0,
                   {1, 2, 3, 4, 5}}};
  return s;
}

// Head, subject, reminder, location, busy status, all-day, data block.
const size_t kOneExceptionSize = 14 + 18 + 4 + 14 + 4 + 4 + 9;

TEST_F(RecurrenceTest, ShortOrCorruptBlobsAreRefused) {
  std::vector<BYTE> whole = WithOneException().Build();
  {
    CGuardedBytes guarded(whole);
    EXPECT_TRUE(m_pattern.Decode(guarded.Data(), static_cast<DWORD>(whole.size())));
    EXPECT_EQ(1, m_pattern.GetExceptionCount());
  }
  const size_t exceptionHead = whole.size() - kOneExceptionSize;
  // Cut before the exception list: no series. Cut inside the one exception record:
  // the series without it.
  for (size_t size = 0; size < whole.size(); ++size) {
    std::vector<BYTE> part(whole.begin(), whole.begin() + size);
    CGuardedBytes guarded(part);
    const bool series = size >= exceptionHead;
    EXPECT_EQ(series, !!m_pattern.Decode(guarded.Data(), static_cast<DWORD>(size))) << size;
    EXPECT_EQ(0, m_pattern.GetExceptionCount()) << size;
    CAppointmentRecord occurrence;
    EXPECT_EQ(series, !!m_pattern.FirstOccurrence(Day(2024, 1, 1), &occurrence)) << size;
  }
  struct Corruption {
    const char* name;
    size_t offset;
    std::vector<BYTE> bytes;
    int exceptions;  // -1: refused
  };
  const size_t deletedCount = 30 + 12;
  const Corruption corruptions[] = {
      {"deleted count beyond the blob", deletedCount, {0xFF, 0xFF, 0xFF, 0xFF}, -1},
      {"modified count beyond the blob", deletedCount + 8, {0x00, 0x00, 0x00, 0x40}, -1},
      {"period 0", 14, {0, 0, 0, 0}, -1},
      {"more exceptions than written", exceptionHead - 2, {0x02, 0x00}, 1},
      {"subject longer than the blob", exceptionHead + 14, {0xFF, 0x7F}, 0},
      {"subject of length 0", exceptionHead + 14, {0x00, 0x00}, 0},
      {"data block beyond the blob", whole.size() - 9, {0x00, 0x00, 0x00, 0x80}, 0},
  };
  for (const Corruption& c : corruptions) {
    std::vector<BYTE> bad = whole;
    ASSERT_LE(c.offset + c.bytes.size(), bad.size()) << c.name;
    memcpy(&bad[c.offset], c.bytes.data(), c.bytes.size());
    CGuardedBytes guarded(bad);
    EXPECT_EQ(c.exceptions >= 0, !!m_pattern.Decode(guarded.Data(), static_cast<DWORD>(bad.size()))) << c.name;
    EXPECT_EQ(c.exceptions < 0 ? 0 : c.exceptions, m_pattern.GetExceptionCount()) << c.name;
  }
  EXPECT_FALSE(m_pattern.Decode(nullptr, 100));
}

// One damaged record among the exceptions: those before it still move their
// occurrences, the series goes on, and the damaged one's day shows the series' times.
TEST_F(RecurrenceTest, DamagedExceptionEndsTheListAndTheSeriesStands) {
  Series s = Ending(Daily(Minutes(2024, 1, 1), 1440), Minutes(2024, 1, 4));
  s.modified = {Minutes(2024, 1, 2), Minutes(2024, 1, 3)};
  s.deleted = {Minutes(2024, 1, 2), Minutes(2024, 1, 3)};
  s.exceptions = {{Minutes(2024, 1, 2, 7), Minutes(2024, 1, 2, 8), Minutes(2024, 1, 2, 10), L"Early", nullptr, -1, -1, {}},
                  {Minutes(2024, 1, 3, 7), Minutes(2024, 1, 3, 8), Minutes(2024, 1, 3, 10), L"Broken", nullptr, -1, -1,
                   {}}};
  std::vector<BYTE> blob = s.Build();
  // The second record (head, subject "Broken", reminder) gets a subject length of 0,
  // which no writer stores.
  const size_t secondRecord = blob.size() - (14 + 16 + 4);
  blob[secondRecord + 14] = 0;
  blob[secondRecord + 15] = 0;
  ASSERT_TRUE(m_pattern.Decode(blob.data(), static_cast<DWORD>(blob.size())));
  ASSERT_EQ(1, m_pattern.GetExceptionCount());
  EXPECT_EQ((std::vector<std::string>{"2024-01-01 10:00", "2024-01-02 07:00", "2024-01-03 10:00", "2024-01-04 10:00",
                                      "end"}),
            Walk(m_pattern, Day(2024, 1, 1), Day(2024, 1, 10), &m_records));
  ASSERT_GE(m_records.size(), 2u);
  EXPECT_STREQ(L"Early", static_cast<LPCWSTR>(m_records[1].m_subject));
}

// Mutated blobs from a few writers' shapes: decoding and a short walk never read
// outside the blob, never throw and never run away.
TEST_F(RecurrenceTest, MutatedBlobsDecodeSafely) {
  Series withTexts = WithOneException();
  Series weekly = Weekly(Minutes(2024, 1, 1), 0x2A, 2);
  weekly.modified = {Minutes(2024, 1, 3)};
  weekly.exceptions = {{Minutes(2024, 1, 3, 12), Minutes(2024, 1, 3, 13), Minutes(2024, 1, 3, 10), nullptr, nullptr, 2, -1,
                        {9}}};
  const std::vector<BYTE> seeds[] = {withTexts.Build(), weekly.Build(), Monthly(2024, 2, 29, 29, 12).Build()};
  unsigned state = 20261209u;
  auto next = [&]() { return state = state * 1664525u + 1013904223u; };
  for (int round = 0; round < 3000; ++round) {
    std::vector<BYTE> bytes = seeds[round % 3];
    const int edits = 1 + next() % 4;
    for (int e = 0; e < edits; ++e) {
      const unsigned r = next();
      switch (r % 4) {
        case 0: bytes[(r >> 8) % bytes.size()] ^= static_cast<BYTE>(1u << ((r >> 4) % 8)); break;
        case 1: bytes[(r >> 8) % bytes.size()] = static_cast<BYTE>(r >> 24); break;
        case 2: bytes.resize((r >> 8) % (bytes.size() + 1)); break;
        default: bytes[(r >> 8) % bytes.size()] = 0xFF; break;
      }
      if (bytes.empty()) bytes.push_back(0);
    }
    CGuardedBytes guarded(bytes);
    if (m_pattern.Decode(guarded.Data(), static_cast<DWORD>(bytes.size()))) {
      std::vector<std::string> seen = Walk(m_pattern, Day(2024, 1, 1), Day(2024, 3, 1));
      EXPECT_LE(seen.size(), 62u) << round;
    }
  }
}

// The newer store keeps an all-day exception's end one day later than it means.
TEST_F(RecurrenceTest, AllDayExceptionEndInTheNewerStore) {
  m_series.m_allDay = TRUE;
  m_series.m_durationMinutes = 1440;
  Series s = Ending(Daily(Minutes(2024, 1, 1), 1440), Minutes(2024, 1, 2));
  s.startOffset = 0;
  s.deleted = {Minutes(2024, 1, 1)};
  s.modified = {Minutes(2024, 1, 1)};
  s.exceptions = {{Minutes(2024, 1, 1), Minutes(2024, 1, 3), Minutes(2024, 1, 1), L"Off", nullptr, -1, 1, {}}};
  for (bool newer : {false, true}) {
    CStoreMode mode(newer);
    m_records.clear();
    Run(s, Day(2024, 1, 1), Day(2024, 1, 3));
    ASSERT_EQ(2u, m_records.size());
    EXPECT_EQ(newer ? Day(2024, 1, 2) : Day(2024, 1, 3), m_records[0].m_end) << newer;
    EXPECT_EQ(Day(2024, 1, 3), m_records[1].m_end);
  }
}

TEST(RecurrenceDecode, FieldsAndFirstOccurrence) {
  CAppointmentRecord series;
  series.m_durationMinutes = 90;
  RecurrencePattern pattern(&series);
  Series s = Weekly(Minutes(2024, 1, 1), 0x02, 1);
  s.startOffset = 540;
  std::vector<BYTE> blob = s.Build();
  ASSERT_TRUE(pattern.Decode(blob.data(), static_cast<DWORD>(blob.size())));
  EXPECT_EQ(0x200Bu, pattern.GetFrequency());
  EXPECT_EQ(1u, pattern.GetPeriod());
  EXPECT_EQ(Minutes(2024, 1, 1), pattern.GetStartDate());
  EXPECT_EQ(0u, pattern.GetEndOffset() - 660);
  pattern.GetEnd(0);
  EXPECT_EQ("2024-01-01 09:00", Text(series.m_start));
  EXPECT_EQ("2024-01-01 10:30", Text(series.m_end));
  EXPECT_EQ(-1, pattern.FindException(Minutes(2024, 1, 1)));
  EXPECT_EQ(0.0, MinutesToVariantDate(157255200));
}

}  // namespace
