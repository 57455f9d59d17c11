#include "base/StringMap.h"

#include <gtest/gtest.h>
#include <math.h>
#include <set>
#include <string>
#include <vector>

namespace {

TEST(StringMap, HashAndHomeSlotFollowTheStoredFormula) {
  EXPECT_EQ(HashText(L""), 0u);
  EXPECT_EQ(HashText(nullptr), 0u);
  EXPECT_EQ(HashText(L"ab"), UINT32(L'b') * 37 + UINT32(L'a') * 37 * 5);
  EXPECT_EQ(HashText(L"abc", 2), HashText(L"ab"));
  EXPECT_EQ(CStringMap::Multiplier, static_cast<UINT32>((sqrt(5.0) - 1) * 2147483648.0));
}

TEST(StringMap, InsertReplaceAndLookup) {
  CStringMap map;
  EXPECT_EQ(map.Lookup(L"a"), nullptr);  // no storage yet
  EXPECT_EQ(map.GetBits(), 0);
  struct Step {
    const wchar_t* key;
    const wchar_t* value;
    int count;
  } steps[] = {{L"Open", L"1", 1}, {L"open", L"2", 2}, {L"Open", L"3", 2}, {L"", L"4", 3}};
  for (const Step& s : steps) {
    EXPECT_TRUE(map.SetAt(s.key, s.value));
    EXPECT_EQ(map.GetCount(), s.count);
  }
  EXPECT_STREQ(map.Lookup(L"Open"), L"3");
  EXPECT_STREQ(map.Lookup(L"open"), L"2");
  EXPECT_STREQ(map.Lookup(L""), L"4");
  EXPECT_EQ(map.Lookup(L"Open "), nullptr);
  EXPECT_EQ(map.GetBits(), 10);
  map.RemoveAll();
  EXPECT_EQ(map.GetCount(), 0);
  EXPECT_EQ(map.GetBits(), 0);
  EXPECT_EQ(map.Lookup(L"Open"), nullptr);
}

TEST(StringMap, GrowsPastHalfLoadAndKeepsEveryEntry) {
  std::vector<std::wstring> keys;
  for (int i = 0; i < 2000; ++i) keys.push_back(L"key" + std::to_wstring(i));
  CStringMap map;
  for (int i = 0; i < 512; ++i) map.SetAt(keys[i].c_str(), keys[i].c_str());
  EXPECT_EQ(map.GetBits(), 10);
  map.SetAt(keys[512].c_str(), keys[512].c_str());
  EXPECT_EQ(map.GetBits(), 11);
  for (int i = 513; i < 2000; ++i) map.SetAt(keys[i].c_str(), keys[i].c_str());
  EXPECT_EQ(map.GetBits(), 12);
  EXPECT_EQ(map.GetCount(), 2000);
  for (const auto& key : keys) EXPECT_EQ(map.Lookup(key.c_str()), key.c_str());
}

TEST(StringMap, TextSetHoldsEachTextOnceAndWalksThemAll) {
  CTextSet set;
  std::set<std::wstring> expected;
  for (int i = 0; i < 100; ++i) {
    std::wstring text = L"t" + std::to_wstring(i % 40);
    set.Add(text.c_str());
    expected.insert(text);
  }
  EXPECT_EQ(set.GetCount(), 40);
  EXPECT_EQ(set.GetBits(), 7);
  EXPECT_TRUE(set.Contains(L"t39"));
  std::set<std::wstring> walked;
  int steps = 0;
  for (int position = set.GetStartPosition(); position; ++steps)
    walked.insert(std::wstring(set.GetNext(position)));
  EXPECT_EQ(steps, 40);
  EXPECT_EQ(walked, expected);
  set.RemoveAll();
  EXPECT_EQ(set.GetStartPosition(), 0);
}

}  // namespace
