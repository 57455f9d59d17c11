#include "base/BitSet.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(BitSet, SecondWordHoldsAPointerOnThisBuild) {
  static_assert(sizeof(CBitSet) >= sizeof(DWORD) + sizeof(void*), "heap pointer must fit");
}

TEST(BitSet, InlineWordsHoldIndices0To62) {
  CBitSet set;
  set.Set(0);
  EXPECT_EQ(set.GetWord(0), 2u);
  set.Set(30);
  set.Set(31);
  set.Set(62);
  EXPECT_FALSE(set.IsOnHeap());
  EXPECT_EQ(set.GetWord(1), 0x80000001u);
  EXPECT_EQ(set.Test(62), CBitSet::IsSet);
  EXPECT_EQ(set.Test(61), CBitSet::NotSet);
  EXPECT_EQ(set.Test(63), CBitSet::BeyondStorage);
}

TEST(BitSet, Index63MovesTheWordsToTheHeap) {
  CBitSet set;
  set.Set(40);
  set.Set(63);
  ASSERT_TRUE(set.IsOnHeap());
  EXPECT_EQ(set.GetWordCount(), 3);
  EXPECT_EQ(set.Test(40), CBitSet::IsSet);  // the inline second word became word 1
  EXPECT_EQ(set.Test(63), CBitSet::IsSet);
  EXPECT_EQ(set.Test(64), CBitSet::NotSet);
  EXPECT_EQ(set.Test(95), CBitSet::BeyondStorage);
}

TEST(BitSet, LimitsAndWalk) {
  CBitSet set;
  EXPECT_TRUE(set.Set(1000));
  EXPECT_FALSE(set.Set(1001));
  EXPECT_FALSE(set.Set(-1));
  EXPECT_EQ(set.GetWordCount(), 1001 / 32 + 1);
  set.Set(5);
  set.Set(500);
  std::vector<int> found;
  for (int i = set.FindNext(0); i >= 0; i = set.FindNext(i + 1)) found.push_back(i);
  EXPECT_EQ(found, (std::vector<int>{5, 500, 1000}));

  CBitSet empty;
  EXPECT_EQ(empty.FindNext(0), -1);
  EXPECT_EQ(empty.FindNext(63), -1);
}

TEST(BitSet, CopiesOwnTheirHeapArray) {
  CBitSet a;
  a.Set(3);
  a.Set(200);
  CBitSet b(a);
  a.Clear();
  EXPECT_EQ(a.Test(3), CBitSet::NotSet);
  EXPECT_FALSE(a.IsOnHeap());
  EXPECT_EQ(b.Test(3), CBitSet::IsSet);
  EXPECT_EQ(b.Test(200), CBitSet::IsSet);
  CBitSet c;
  c.Set(700);
  c = b;
  EXPECT_EQ(c.Test(700), CBitSet::BeyondStorage);
  EXPECT_EQ(c.Test(200), CBitSet::IsSet);
}

}  // namespace
