#include "base/MergeSort.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Item {
  int key;
  char tag;
};

struct Counter {
  int calls = 0;
};

int CompareKeys(Counter* counter, const Item* a, const Item* b) {
  ++counter->calls;
  return a->key - b->key;
}

std::vector<const Item*> Pointers(const std::vector<Item>& items) {
  std::vector<const Item*> out;
  for (const Item& item : items) out.push_back(&item);
  return out;
}

struct SortCase {
  const char* name;
  std::vector<Item> input;
  const char* expectedTags;
};

TEST(MergeSort, SortsStablyOnATableOfCases) {
  const SortCase cases[] = {
      {"equal keys keep their order", {{3, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}}, "bdca"},
      {"all equal", {{5, 'a'}, {5, 'b'}, {5, 'c'}}, "abc"},
      {"descending with duplicates", {{3, 'a'}, {2, 'b'}, {2, 'c'}, {1, 'd'}}, "dbca"},
      {"two runs", {{1, 'a'}, {4, 'b'}, {2, 'c'}, {3, 'd'}}, "acdb"},
      {"odd count", {{9, 'a'}, {1, 'b'}, {8, 'c'}, {2, 'd'}, {7, 'e'}}, "bdeca"},
      {"two equal", {{1, 'a'}, {1, 'b'}}, "ab"},
  };
  for (const SortCase& c : cases) {
    auto items = Pointers(c.input);
    Counter counter;
    MergeSort(items.data(), static_cast<int>(items.size()), &counter, CompareKeys);
    std::string tags;
    for (const Item* item : items) tags += item->tag;
    EXPECT_EQ(tags, c.expectedTags) << c.name;
  }
}

TEST(MergeSort, SortedInputTakesOnePassAndStaysUnchanged) {
  std::vector<Item> input = {{1, 'a'}, {2, 'b'}, {2, 'c'}, {3, 'd'}};
  auto items = Pointers(input);
  auto before = items;
  Counter counter;
  EXPECT_EQ(MergeSort(items.data(), 4, &counter, CompareKeys), 1);
  EXPECT_EQ(items, before);
  EXPECT_EQ(counter.calls, 3);
}

TEST(MergeSort, DescendingInputNeedsAboutLog2Passes) {
  std::vector<Item> input;
  for (int i = 64; i > 0; --i) input.push_back({i, 'x'});
  auto items = Pointers(input);
  Counter counter;
  int passes = MergeSort(items.data(), 64, &counter, CompareKeys);
  EXPECT_GE(passes, 6);
  EXPECT_LE(passes, 7);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(items[i]->key, i + 1);
}

TEST(MergeSort, FewerThanTwoElementsAreLeftAlone) {
  Item one = {1, 'a'};
  const Item* items[] = {&one};
  Counter counter;
  EXPECT_EQ(MergeSort(items, 1, &counter, CompareKeys), 0);
  EXPECT_EQ(MergeSort(items, 0, &counter, CompareKeys), 0);
  EXPECT_EQ(counter.calls, 0);
}

TEST(MergeSort, InconsistentComparatorStopsAtThePassLimit) {
  std::vector<Item> input = {{1, 'a'}, {2, 'b'}, {3, 'c'}, {4, 'd'}, {5, 'e'}};
  auto items = Pointers(input);
  // Says "greater" for every pair: never a run longer than one, never sorted.
  auto contrary = [](int, const Item*, const Item*) { return 1; };
  EXPECT_EQ(MergeSort(items.data(), 5, 0, contrary), 5 + 100);
  std::string tags;
  for (const Item* item : items) tags += item->tag;
  std::sort(tags.begin(), tags.end());
  EXPECT_EQ(tags, "abcde");  // a permutation: nothing lost or doubled
}

}  // namespace
