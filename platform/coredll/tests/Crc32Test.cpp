#include "platform/coredll/Crc32.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The sum one bit at a time, straight from the polynomial: the reference both faster ways
// must meet.
uint32_t BitByBit(const BYTE* p, size_t n, uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

TEST(Crc32, KnownValues) {
  const std::string nine = "123456789";
  EXPECT_EQ(cedb::Crc32(nine.data(), nine.size()), 0xCBF43926u);
  EXPECT_EQ(cedb::Crc32("", 0), 0u);
  // Long enough to fold: 32 and more bytes.
  const std::string fox = "The quick brown fox jumps over the lazy dog";
  EXPECT_EQ(cedb::Crc32(fox.data(), fox.size()), 0x414FA339u);
}

// Every length around the folding's 16-byte steps, at every alignment, carried on from a
// previous sum or not: the folded and the table sums agree with the bit-by-bit one.
TEST(Crc32, FoldingAndTablesAgreeWithTheReference) {
  std::mt19937 random(2026);
  std::vector<BYTE> bytes(600);
  for (BYTE& b : bytes) b = static_cast<BYTE>(random());
  for (size_t length = 0; length <= 300; ++length) {
    for (size_t offset : {0, 1, 7, 13}) {
      const BYTE* p = bytes.data() + offset;
      for (uint32_t previous : {0u, 0xFFFFFFFFu, static_cast<uint32_t>(random())}) {
        uint32_t want = BitByBit(p, length, previous);
        ASSERT_EQ(cedb::Crc32(p, length, previous), want) << length << " at " << offset;
        ASSERT_EQ(cedb::Crc32ByTables(p, length, previous), want) << length << " at " << offset;
      }
    }
  }
  // A sum split anywhere is the sum of the whole.
  uint32_t whole = cedb::Crc32(bytes.data(), bytes.size());
  for (size_t split : {1, 16, 31, 32, 33, 100, 599}) {
    uint32_t first = cedb::Crc32(bytes.data(), split);
    EXPECT_EQ(cedb::Crc32(bytes.data() + split, bytes.size() - split, first), whole) << split;
  }
}

}  // namespace
