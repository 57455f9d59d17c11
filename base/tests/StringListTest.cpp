#include "base/StringList.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

CStringList Make(std::vector<const wchar_t*> texts) {
  CStringList list;
  for (auto t : texts) list.Add(t);
  return list;
}

std::wstring Join(const CStringList& list) {
  std::wstring out;
  for (int i = 0; i < list.GetCount(); ++i) out += std::wstring(list[i]) + L",";
  return out;
}

TEST(StringList, AddDoublesTheCapacityAndCopiesKeepIt) {
  CStringList list;
  std::vector<int> capacities;
  for (int i = 0; i < 5; ++i) {
    list.Add(L"x");
    capacities.push_back(list.GetCapacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 4, 8}));
  CStringList copy(list);
  EXPECT_EQ(copy.GetCapacity(), 8);
  EXPECT_EQ(copy.GetCount(), 5);
}

TEST(StringList, ArrayOperations) {
  CStringList list = Make({L"a", L"b", L"c", L"b"});
  EXPECT_EQ(FindText(list, L"b"), 1);
  EXPECT_EQ(FindText(list, L"B"), -1);
  InsertMostRecent(list, L"b");
  EXPECT_EQ(Join(list), L"b,a,c,");
  InsertMostRecent(list, list[2]);  // the text may come from the list itself
  EXPECT_EQ(Join(list), L"c,b,a,");
  EXPECT_EQ(RemoveAllEqual(list, L"b"), 1);
  EXPECT_TRUE(list.RemoveAt(0));
  EXPECT_FALSE(list.RemoveAt(1));
  EXPECT_EQ(Join(list), L"a,");

  CStringList target = Make({L"old"});
  CopyFirstEntries(Make({L"1", L"2", L"3"}), target, 2);
  EXPECT_EQ(Join(target), L"1,2,");
  CopyFirstEntries(Make({L"1"}), target, 5);
  EXPECT_EQ(Join(target), L"1,");
}

TEST(StringList, VectorAndBackslash) {
  CStringVector vector(3);
  ASSERT_EQ(vector.GetCount(), 3);
  EXPECT_TRUE(vector[2].IsEmpty());
  vector[1] = L"set";
  EXPECT_EQ(vector[1], L"set");

  struct Case {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {{L"", L""}, {L"\\Windows", L"\\Windows\\"}, {L"\\", L"\\"}, {L"a\\b\\", L"a\\b\\"}};
  for (const Case& c : cases) {
    CString path(c.in);
    AddBackslash(path);
    EXPECT_EQ(path, c.out) << c.in;
  }
}

}  // namespace
