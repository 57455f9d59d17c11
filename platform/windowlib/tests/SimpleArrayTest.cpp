#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/SimpleMap.h"
#include "platform/windowlib/String.h"

#include <gtest/gtest.h>

namespace {

TEST(SimpleArray, CapacityDoublesFromOne) {
  CSimpleValArray<int> values;
  const int expected[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
  EXPECT_EQ(values.GetCapacity(), 0);
  for (int i = 0; i < 9; ++i) {
    ASSERT_TRUE(values.Add(i));
    EXPECT_EQ(values.GetCapacity(), expected[i]) << "after " << i + 1 << " additions";
  }
  for (int i = 0; i < 9; ++i) EXPECT_EQ(values[i], i);
}

TEST(SimpleArray, RemoveTakesOnlyTheFirstEqualElement) {
  CSimpleArray<CString> texts;
  for (LPCWSTR t : {L"a", L"b", L"c", L"b"}) texts.Add(CString(t));
  EXPECT_TRUE(texts.Remove(CString(L"b")));
  ASSERT_EQ(texts.GetSize(), 3);
  EXPECT_STREQ(texts[0], L"a");
  EXPECT_STREQ(texts[1], L"c");
  EXPECT_STREQ(texts[2], L"b");
  EXPECT_FALSE(texts.Remove(CString(L"x")));
  EXPECT_FALSE(texts.RemoveAt(3));
  EXPECT_FALSE(texts.RemoveAt(-1));
  EXPECT_EQ(texts.Find(CString(L"b")), 2);
}

TEST(SimpleArray, AddingAnElementOfItselfWhileGrowing) {
  CSimpleArray<CString> texts;
  texts.Add(CString(L"first"));
  texts.Add(CString(L"second"));
  ASSERT_EQ(texts.GetCapacity(), 2);
  EXPECT_TRUE(texts.Add(texts[0]));  // storage moves during this call
  EXPECT_STREQ(texts[2], L"first");
}

TEST(SimpleArray, CopiesAreIndependent) {
  CSimpleArray<CString> a;
  a.Add(CString(L"one"));
  a.Add(CString(L"two"));
  a.Add(CString(L"three"));
  CSimpleArray<CString> b(a);
  EXPECT_EQ(b.GetCapacity(), a.GetCapacity());
  b.RemoveAt(0);
  b.SetAtIndex(0, CString(L"changed"));
  EXPECT_EQ(a.GetSize(), 3);
  EXPECT_STREQ(a[1], L"two");
  EXPECT_TRUE(b.InsertAt(0, CString(L"zero")));
  EXPECT_STREQ(b[0], L"zero");
  EXPECT_STREQ(b[1], L"changed");
  EXPECT_STREQ(b[2], L"three");
}

TEST(SimpleMap, GrowsByOneAndFindsTheFirstKey) {
  CSimpleMap<DWORD, CString> map;
  EXPECT_TRUE(map.Add(7, CString(L"seven")));
  EXPECT_TRUE(map.Add(3, CString(L"three")));
  EXPECT_TRUE(map.Add(7, CString(L"again")));
  EXPECT_EQ(map.GetSize(), 3);
  EXPECT_EQ(map.FindKey(7), 0);
  EXPECT_STREQ(map.Lookup(7), L"seven");
  EXPECT_TRUE(map.Lookup(99).IsEmpty());
  EXPECT_EQ(map.FindVal(CString(L"three")), 1);

  EXPECT_TRUE(map.SetAt(3, CString(L"drei")));
  EXPECT_TRUE(map.SetAt(4, CString(L"vier")));
  EXPECT_EQ(map.GetSize(), 4);
  EXPECT_STREQ(map.GetValueAt(1), L"drei");

  EXPECT_TRUE(map.Remove(7));
  EXPECT_EQ(map.GetSize(), 3);
  EXPECT_STREQ(map.Lookup(7), L"again");
  EXPECT_EQ(map.GetKeyAt(0), 3u);
  EXPECT_FALSE(map.RemoveAt(3));
  map.RemoveAll();
  EXPECT_EQ(map.GetSize(), 0);
}

}  // namespace
