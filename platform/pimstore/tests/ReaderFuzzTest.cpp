// The record and recurrence readers take any bytes: a seeded, bounded fuzzer over
// blobs and property buffers written by other programs.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/pimstore/PimStore.h"
#include "platform/pimstore/Recurrence.h"
#include "platform/tests/ByteMutator.h"

namespace {

CRecurrence WeeklyWithException() {
  CRecurrence r;
  r.type = 1;
  r.dayOfWeekMask = 0x2A;
  r.startDay = CRecurrence::DateToMinutes(46083);
  r.startOffset = 600;
  r.duration = 30;
  r.occurrences = 6;
  CRecurrence::Exception e;
  e.originalStart = r.startDay + 2 * 1440 + 600;
  e.start = e.originalStart + 120;
  e.end = e.start + 30;
  e.hasSubject = true;
  e.subject = L"moved";
  e.hasBusyStatus = true;
  e.busyStatus = 3;
  e.hasLocation = true;
  e.location = L"";
  e.hasAllDay = true;
  e.allDay = false;
  r.exceptions.push_back(e);
  return r;
}

TEST(RecurrenceBlob, RoundTripsPatternsAndExceptions) {
  struct Case {
    long type, interval, mask, dayOfMonth, monthOfYear, instance;
    int daysWithOccurrence;  // in the 62 days from the start
  };
  // 2026-03-02 is a Monday.
  const Case cases[] = {
      {0, 2, 0, 0, 0, 0, 31},   // every other day
      {1, 1, 0x22, 0, 0, 0, 18},  // Mondays and Fridays
      {2, 1, 0, 15, 0, 0, 2},   // the 15th of each month
      {3, 1, 0x02, 0, 0, 5, 2}, // the last Monday of each month
      {5, 1, 0, 2, 3, 0, 1},    // every 2 March
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    CRecurrence r;
    r.type = c.type;
    r.interval = c.interval;
    r.dayOfWeekMask = c.mask;
    r.dayOfMonth = c.dayOfMonth;
    r.monthOfYear = c.monthOfYear;
    r.instance = c.instance;
    r.startDay = CRecurrence::DateToMinutes(46083);
    r.startOffset = 540;
    r.duration = 60;
    std::vector<BYTE> blob = r.Encode();
    CRecurrence back;
    ASSERT_TRUE(back.Decode(blob.data(), blob.size()));
    EXPECT_EQ(back.type, c.type);
    EXPECT_EQ(back.startOffset, 540u);
    EXPECT_EQ(back.duration, 60u);
    auto found = back.Between(r.startDay, r.startDay + 62 * 1440);
    EXPECT_EQ(static_cast<int>(found.size()), c.daysWithOccurrence);
  }
  CRecurrence r = WeeklyWithException();
  std::vector<BYTE> blob = r.Encode();
  CRecurrence back;
  ASSERT_TRUE(back.Decode(blob.data(), blob.size()));
  ASSERT_EQ(back.exceptions.size(), 1u);
  EXPECT_EQ(back.exceptions[0].subject, L"moved");
  EXPECT_EQ(back.exceptions[0].busyStatus, 3u);
  EXPECT_TRUE(back.exceptions[0].hasLocation);
  EXPECT_EQ(back.exceptions[0].location, L"");
  EXPECT_TRUE(back.exceptions[0].hasAllDay);
  EXPECT_FALSE(back.exceptions[0].allDay);
  EXPECT_TRUE(back.deleted.empty());
  auto found = back.Between(r.startDay, r.startDay + 14 * 1440);
  ASSERT_EQ(found.size(), 6u);
  EXPECT_TRUE(found[1].exception);
  EXPECT_EQ(found[1].start, r.startDay + 2 * 1440 + 720);
}

TEST(RecurrenceBlob, AnyBytesDecodeOrAreRefused) {
  std::vector<BYTE> seed = WeeklyWithException().Encode();
  fixtures::ByteMutator mutator(20261209);
  for (int round = 0; round < 4000; ++round) {
    std::vector<BYTE> bytes = mutator.Edit(seed, 6);
    if (bytes.empty()) bytes.push_back(0);
    CRecurrence r;
    if (r.Decode(bytes.data(), bytes.size())) {
      // A decoded pattern walks a bounded span without trouble.
      r.Between(r.startDay, r.startDay + 40 * 1440);
      r.LastDay();
    }
  }
}

TEST(RecordReader, AnyPropertyBufferParsesOrIsRefused) {
  // A buffer as the database hands it out: values followed by their data, here with
  // types, lengths and pointers scrambled.
  std::mt19937 random(77);
  const CEPROPID ids[] = {0x0037001F, 0x0020001F, 0x420D0040, 0x40150041, 0x203F0064, 0x10000066,
                          0x00160041, 0x42130003, 0x00450013, 0x0044000B, 0x00640040};
  for (bool newer : {false, true}) {
    CPimStore store(newer);
    for (int round = 0; round < 3000; ++round) {
      WORD count = static_cast<WORD>(1 + random() % 8);
      std::vector<BYTE> buffer(count * sizeof(CEPROPVAL) + 64 + random() % 64);
      for (BYTE& b : buffer) b = static_cast<BYTE>(random());
      auto* values = reinterpret_cast<CEPROPVAL*>(buffer.data());
      for (WORD i = 0; i < count; ++i) {
        values[i].propid = ids[random() % (sizeof ids / sizeof ids[0])];
        values[i].wFlags = static_cast<WORD>(random() % 2 ? 0 : CEDB_PROPNOTFOUND);
        BYTE* data = buffer.data() + count * sizeof(CEPROPVAL);
        size_t room = buffer.size() - count * sizeof(CEPROPVAL);
        switch (random() % 4) {
          case 0: values[i].val.blob.lpb = data + random() % room; break;
          case 1: values[i].val.blob.lpb = data - 64 + random() % 32; break;  // before the data
          case 2: values[i].val.blob.lpb = nullptr; break;
          default: break;  // whatever the random bytes say
        }
        if (random() % 2) values[i].val.blob.dwCount = static_cast<DWORD>(random() % (room + 16));
      }
      // Wide texts must end inside the buffer: give half of the rounds a terminator.
      if (round % 2) buffer[buffer.size() - 1] = buffer[buffer.size() - 2] = 0;
      for (int k = 1; k <= 3; ++k) {
        PimRecord record;
        // Only reads inside the buffer: the outcome may be either.
        store.Parse(static_cast<PimKind>(k), buffer.data(), static_cast<DWORD>(buffer.size()), count, &record);
      }
    }
  }
}

}  // namespace

namespace {

// A blob as the device's own writer lays it out: the pattern type and calendar as two
// words, the first date-time of a monthly pattern counted in months since 1601 modulo
// the period, and exceptions carrying items this server does not write (a reminder
// item, a data block).
std::vector<BYTE> ForeignBlob(WORD calendar) {
  std::vector<BYTE> b;
  auto u16 = [&](DWORD v) { b.push_back(BYTE(v)), b.push_back(BYTE(v >> 8)); };
  auto u32 = [&](DWORD v) { u16(v & 0xFFFF), u16(v >> 16); };
  const DWORD start = CRecurrence::DateToMinutes(46083);  // 2026-03-02
  u16(0x3004), u16(0x3004), u16(0x200C), u16(2), u16(calendar);
  u32(((2026 - 1601) * 12 + 2) % 2 == 0 ? 0 : 44640);  // months modulo 2, as minutes of a month start
  u32(2), u32(0), u32(2);                                // every 2 months, not sliding, on the 2nd
  u32(0x2022), u32(3), u32(1);                           // three occurrences, weeks from Monday
  u32(1), u32(start + 61 * 1440);                        // 2026-05-02 taken out ...
  u32(1), u32(start + 61 * 1440);                        // ... and moved within the day
  u32(start), u32(start + 122 * 1440), u32(0x3006), u32(0x3009), u32(480), u32(540);
  u16(1);
  u32(start + 61 * 1440 + 600), u32(start + 61 * 1440 + 660), u32(start + 61 * 1440 + 480);
  u16(0x1 | 0x8 | 0x10 | 0x20 | 0x100);
  u16(3), u16(2), u16(L'H'), u16(L'i');  // subject "Hi"
  u32(1);                                // reminder set
  u16(1), u16(0);                        // empty location
  u32(0);                                // free
  u32(3), b.push_back(7), b.push_back(8), b.push_back(9);  // a data block of 3 bytes
  return b;
}

TEST(RecurrenceBlob, AnotherWritersBlobDecodes) {
  std::vector<BYTE> blob = ForeignBlob(0);
  CRecurrence r;
  ASSERT_TRUE(r.Decode(blob.data(), blob.size()));
  EXPECT_EQ(r.type, 2);
  EXPECT_EQ(r.interval, 2);
  EXPECT_EQ(r.dayOfMonth, 2);
  EXPECT_EQ(r.occurrences, 3);
  ASSERT_EQ(r.exceptions.size(), 1u);
  EXPECT_EQ(r.exceptions[0].subject, L"Hi");
  EXPECT_TRUE(r.exceptions[0].hasLocation);
  EXPECT_TRUE(r.exceptions[0].hasBusyStatus);
  EXPECT_EQ(r.exceptions[0].busyStatus, 0u);
  // March, May (moved to 10:00), July.
  auto found = r.Between(r.startDay, r.startDay + 200 * 1440);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[1].start, r.startDay + 61 * 1440 + 600);
  EXPECT_TRUE(found[1].exception);
  EXPECT_EQ(found[2].start, r.startDay + 122 * 1440 + 480);

  // Another calendar: the blob is read, its regular days are not walked.
  blob = ForeignBlob(6);
  ASSERT_TRUE(r.Decode(blob.data(), blob.size()));
  found = r.Between(r.startDay, r.startDay + 200 * 1440);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].exception);
}

}  // namespace
