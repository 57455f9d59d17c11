// Month replies come from another process: only a payload of exactly the format's
// size with a real month key is read, and any bytes at all are safe to read.
#include <gtest/gtest.h>

#include <vector>

#include "base/tests/RegistrySandbox.h"
#include "platform/tests/ByteMutator.h"
#include "tabs/calendar/MonthReply.h"
#include "tabs/calendar/TimeSpanBar.h"

namespace {

TEST(MonthReply, OnlyAWholeReplyWithAMonthKeyIsTaken) {
  std::vector<BYTE> bytes(CMonthReply::kSize + 16, 0xFF);
  struct Case {
    const char* name;
    ULONG_PTR key;
    DWORD size;
    bool data;
    BOOL taken;
  } cases[] = {
      {"whole", CMonthReply::MakeKey(2024, 2), CMonthReply::kSize, true, TRUE},
      {"short by one", CMonthReply::MakeKey(2024, 2), CMonthReply::kSize - 1, true, FALSE},
      {"empty", CMonthReply::MakeKey(2024, 2), 0, true, FALSE},
      {"oversized", CMonthReply::MakeKey(2024, 2), CMonthReply::kSize + 1, true, FALSE},
      {"no data", CMonthReply::MakeKey(2024, 2), CMonthReply::kSize, false, FALSE},
      {"month 0", CMonthReply::MakeKey(2024, 0), CMonthReply::kSize, true, FALSE},
      {"month 13", CMonthReply::MakeKey(2024, 13), CMonthReply::kSize, true, FALSE},
      {"year 0", CMonthReply::MakeKey(0, 5), CMonthReply::kSize, true, FALSE},
      {"December", CMonthReply::MakeKey(1999, 12), CMonthReply::kSize, true, TRUE},
      {"bits above the key", (static_cast<ULONG_PTR>(1) << 40) | CMonthReply::MakeKey(2024, 2), CMonthReply::kSize,
       true, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    COPYDATASTRUCT data = {c.key, c.size, c.data ? bytes.data() : nullptr};
    CMonthReply reply;
    EXPECT_EQ(reply.Read(&data), c.taken);
    EXPECT_EQ(reply.GetYear() != 0, c.taken != FALSE);
  }
  CMonthReply reply;
  EXPECT_FALSE(reply.Read(nullptr));
}

// The layout as the program writes it: levels (2 bits a slot) first, then presence
// bits, little-endian words.
TEST(MonthReply, SlotsAreReadFromTheWireLayout) {
  BYTE bytes[CMonthReply::kSize] = {};
  // Slot 17: level word 1, bits 2-3; presence word 0, bit 17.
  bytes[4] = 0x3 << 2;
  bytes[384 + 2] = 0x02;
  // Slot 40: level 3 without presence (conflict).
  bytes[2 * 4 + 2] = 0x3 << 0;  // word 2 covers slots 32-47; slot 40 is bits 16-17
  COPYDATASTRUCT data = {CMonthReply::MakeKey(2025, 7), sizeof(bytes), bytes};
  CMonthReply reply;
  ASSERT_TRUE(reply.Read(&data));
  EXPECT_EQ(reply.GetYear(), 2025);
  EXPECT_EQ(reply.GetMonth(), 7);
  EXPECT_TRUE(reply.IsPresent(17));
  EXPECT_EQ(reply.GetLevel(17), 3);
  EXPECT_EQ(reply.GetStatus(17), 3);
  EXPECT_FALSE(reply.IsPresent(40));
  EXPECT_EQ(reply.GetStatus(40), 5);
  EXPECT_EQ(reply.GetStatus(41), -1);
  EXPECT_EQ(reply.GetStatus(-1), -1);
  EXPECT_EQ(reply.GetStatus(CMonthReply::kSlots), -1);

  CMonthReply written;
  written.SetSlot(17, TRUE, 3);
  written.SetSlot(40, FALSE, 3);
  EXPECT_EQ(0, memcmp(&written.GetLayout(), bytes, sizeof(bytes)));
}

// Any bytes and any size: reading a reply and filling bars from it stays inside
// the payload and gives statuses the bars know.
TEST(MonthReply, FuzzedPayloadsAreReadSafely) {
  CLocalMachineSandbox machine{L"MonthReplyFuzz"};
  ASSERT_TRUE(machine.Redirected());
  CTimeSpanBar bar(48);
  fixtures::ByteMutator mutator(20241);
  std::vector<BYTE> base(CMonthReply::kSize);
  for (BYTE& b : base) b = static_cast<BYTE>(mutator.Any());
  for (int round = 0; round < 3000; ++round) {
    std::vector<BYTE> bytes = mutator.Mutate(base);
    const size_t shape = mutator.Below(4);
    if (shape == 1) bytes.resize(mutator.Below(CMonthReply::kSize * 2));
    // The payload sits at the end of its own allocation so an over-read would leave it.
    std::vector<BYTE> exact(bytes.begin(), bytes.end());
    const ULONG_PTR key = shape == 2 ? static_cast<ULONG_PTR>(mutator.Any())
                                     : CMonthReply::MakeKey(1990 + static_cast<int>(mutator.Below(40)),
                                                            1 + static_cast<int>(mutator.Below(12)));
    COPYDATASTRUCT data = {key, static_cast<DWORD>(exact.size()), exact.empty() ? nullptr : exact.data()};
    CMonthReply reply;
    if (!reply.Read(&data)) continue;
    ASSERT_EQ(exact.size(), CMonthReply::kSize);
    bar.FillFromReply(static_cast<int>(mutator.Below(40)) - 4, reply);
    for (int k = 0; k < bar.GetSlotCount(); ++k) {
      const int level = bar.GetLevel(k);
      ASSERT_TRUE(level == -1 || (level >= 0 && level <= 3) || level == 5) << level;
    }
  }
}

}  // namespace
