// Expanding a daily recurrence over ten years, one occurrence record per day, against a
// plain loop that fills the same records by arithmetic alone (copy of the series record
// and the start and end of the day). Also the same walk for a series kept in another
// time zone, where every occurrence converts between the two clocks.
// Exit code 1 when the plain walk costs more than the limit times the baseline.
#include "bench/BenchClock.h"
#include <windows.h>

#include <cstdio>
#include <vector>

#include "base/AppointmentRecord.h"
#include "base/DateTime.h"
#include "base/RecurrencePattern.h"

namespace {

constexpr int kYears = 10;
constexpr int kRounds = 20;
constexpr double kLimit = 8.0;

DWORD Minutes(int y, int mo, int d) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(mo);
  t.wDay = static_cast<WORD>(d);
  double date = 0;
  SystemTimeToVariantDate(t, &date);
  return VariantDateToMinutes(date);
}

// A daily series from 2020-01-01 at 09:00, no end, no exceptions.
std::vector<BYTE> DailyBlob() {
  std::vector<BYTE> b;
  auto u16 = [&](DWORD v) { b.push_back(BYTE(v)), b.push_back(BYTE(v >> 8)); };
  auto u32 = [&](DWORD v) { u16(v & 0xFFFF), u16(v >> 16); };
  DWORD start = Minutes(2020, 1, 1);
  u16(0x3004), u16(0x3004), u16(0x200A), u16(0), u16(0), u32(start % 1440), u32(1440), u32(0);
  u32(0x2023), u32(10), u32(0), u32(0), u32(0);
  u32(start), u32(RecurrencePattern::kNoEndDate), u32(0x3006), u32(0x3009), u32(540), u32(600);
  u16(0);
  return b;
}

std::vector<BYTE> ZoneBlob() {
  std::vector<BYTE> zone(48, 0);
  LONG bias = 300, daylightBias = -60;
  SYSTEMTIME standard{}, daylight{};
  standard.wMonth = 11, standard.wDay = 1, standard.wHour = 2;
  daylight.wMonth = 3, daylight.wDay = 2, daylight.wHour = 2;
  memcpy(&zone[0], &bias, 4);
  memcpy(&zone[8], &daylightBias, 4);
  memcpy(&zone[14], &standard, 16);
  memcpy(&zone[32], &daylight, 16);
  return zone;
}

// Milliseconds per run of the walk, the occurrences counted once.
double Walk(RecurrencePattern& pattern, double from, double to, int* occurrences) {
  CAppointmentRecord occurrence;
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    int count = 0;
    double t0 = bench::NowMilliseconds();
    BOOL more = pattern.FirstOccurrence(from, &occurrence);
    while (more) {
      if (occurrence.m_pattern) ++count;
      if (pattern.GetCursorDay() >= to) break;
      more = pattern.NextOccurrence(&occurrence);
    }
    double t = bench::NowMilliseconds() - t0;
    if (t < best) best = t;
    *occurrences = count;
  }
  return best;
}

double Baseline(const CAppointmentRecord& series, double from, int days) {
  CAppointmentRecord occurrence;
  double best = 1e30;
  volatile double sink = 0;
  for (int round = 0; round < kRounds; ++round) {
    double t0 = bench::NowMilliseconds();
    for (int day = 0; day < days; ++day) {
      occurrence.Assign(series);
      occurrence.m_start = from + day + 540 / 1440.0;
      occurrence.m_end = occurrence.m_start + series.m_durationMinutes / 1440.0;
      sink = sink + occurrence.m_end;
    }
    double t = bench::NowMilliseconds() - t0;
    if (t < best) best = t;
  }
  return best;
}

}  // namespace

int main() {
  CAppointmentRecord series;
  series.m_subject = L"Stand-up";
  series.m_location = L"Room 4";
  series.m_durationMinutes = 60;
  RecurrencePattern pattern(&series);
  TIME_ZONE_INFORMATION utc{};
  pattern.SetDeviceZone(&utc);
  std::vector<BYTE> blob = DailyBlob();
  if (!pattern.Decode(blob.data(), static_cast<DWORD>(blob.size()))) {
    printf("decode failed\n");
    return 2;
  }
  double from = MinutesToVariantDate(Minutes(2020, 1, 1));
  double to = MinutesToVariantDate(Minutes(2020 + kYears, 1, 1));
  int occurrences = 0;
  double walk = Walk(pattern, from, to, &occurrences);
  double base = Baseline(series, from, occurrences);

  std::vector<BYTE> zone = ZoneBlob();
  pattern.Decode(blob.data(), static_cast<DWORD>(blob.size()), zone.data(), static_cast<DWORD>(zone.size()));
  int zoned = 0;
  double zonedWalk = Walk(pattern, from, to, &zoned);

  double ratio = walk / base;
  printf("daily recurrence over %d years: %d occurrences\n", kYears, occurrences);
  printf("  walk:            %8.3f ms  %7.1f ns per occurrence\n", walk, walk * 1e6 / occurrences);
  printf("  baseline:        %8.3f ms  %7.1f ns per occurrence\n", base, base * 1e6 / occurrences);
  printf("  ratio:           %8.2f  (limit %.1f)\n", ratio, kLimit);
  printf("  in another zone: %8.3f ms  %7.1f ns per occurrence, %.2f times the baseline\n", zonedWalk,
         zonedWalk * 1e6 / zoned, zonedWalk / base);
  return ratio > kLimit ? 1 : 0;
}
