#include "platform/windowlib/String.h"
#include "platform/windowlib/Module.h"
#include "TestResources.h"

#include <gtest/gtest.h>

#include <process.h>

namespace {

TEST(String, CopiesShareOneBufferUntilOneIsWritten) {
  CString a(L"shared text");
  CString b(a);
  CString c;
  c = b;
  EXPECT_EQ(static_cast<LPCWSTR>(a), static_cast<LPCWSTR>(b));
  EXPECT_EQ(static_cast<LPCWSTR>(a), static_cast<LPCWSTR>(c));

  b.MakeUpper();
  EXPECT_NE(static_cast<LPCWSTR>(a), static_cast<LPCWSTR>(b));
  EXPECT_STREQ(a, L"shared text");
  EXPECT_STREQ(b, L"SHARED TEXT");
  EXPECT_STREQ(c, L"shared text");

  // Every writing operation unshares, including through a buffer.
  LPWSTR buffer = c.GetBuffer(0);
  buffer[0] = L'S';
  c.ReleaseBuffer();
  EXPECT_STREQ(a, L"shared text");
  EXPECT_STREQ(c, L"Shared text");
}

TEST(String, AnOperationThatChangesNothingKeepsSharing) {
  CString a(L"abc");
  CString b(a);
  EXPECT_EQ(b.Replace(L"x", L"y"), 0);
  EXPECT_EQ(b.Remove(L'x'), 0);
  EXPECT_EQ(b.Delete(5, 1), 3);
  EXPECT_EQ(static_cast<LPCWSTR>(a), static_cast<LPCWSTR>(b));
}

unsigned __stdcall CopyManyTimes(void* arg) {
  const CString& source = *static_cast<const CString*>(arg);
  for (int i = 0; i < 20000; ++i) {
    CString copy(source);
    CString other = copy;
  }
  return 0;
}

TEST(String, CountsStayExactWhenThreadsCopyTheSameText) {
  CString source(L"counted across threads");
  HANDLE threads[4];
  for (HANDLE& thread : threads)
    thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, CopyManyTimes, &source, 0, nullptr));
  WaitForMultipleObjects(4, threads, TRUE, INFINITE);
  for (HANDLE thread : threads) CloseHandle(thread);
  // Back to one owner: writing must not need a new buffer.
  LPCWSTR before = source;
  source.SetAt(0, L'C');
  EXPECT_EQ(before, static_cast<LPCWSTR>(source));
}

TEST(String, FindTextGivesMinusOneOutsideZeroToLength) {
  struct Case {
    LPCWSTR text;
    LPCWSTR what;
    int start;
    int expected;
  };
  const Case cases[] = {
      {L"abcabc", L"bc", 0, 1},  {L"abcabc", L"bc", 2, 4},   {L"abcabc", L"bc", 5, -1},
      {L"abcabc", L"bc", 6, -1}, {L"abcabc", L"bc", 7, -1},  {L"abcabc", L"bc", -1, -1},
      {L"abcabc", L"", 6, 6},    {L"abcabc", L"", 7, -1},    {L"abcabc", L"x", 0, -1},
      {L"", L"", 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CString(c.text).Find(c.what, c.start), c.expected) << c.text << " / " << c.what << " from " << c.start;
}

TEST(String, FindCharGivesMinusOneFromTheLengthOn) {
  struct Case {
    LPCWSTR text;
    WCHAR ch;
    int start;
    int expected;
  };
  const Case cases[] = {
      {L"a.b.c", L'.', 0, 1}, {L"a.b.c", L'.', 2, 3},  {L"a.b.c", L'c', 4, 4}, {L"a.b.c", L'.', 5, -1},
      {L"a.b.c", L'.', 9, -1}, {L"a.b.c", L'.', -1, -1}, {L"", L'a', 0, -1},    {L"abc", L'x', 0, -1},
  };
  for (const Case& c : cases) {
    CString s(c.text);
    EXPECT_EQ(s.Find(c.ch, c.start), c.expected) << c.text << " from " << c.start;
    EXPECT_EQ(s.FindChar(c.ch, c.start), c.expected) << c.text << " from " << c.start;
  }
  EXPECT_EQ(CString(L"a.b.c").ReverseFind(L'.'), 3);
  EXPECT_EQ(CString(L"a.b.c").FindOneOf(L"cb"), 2);
}

TEST(String, DeleteClampsAndReturnsTheNewLength) {
  struct Case {
    int index;
    int count;
    LPCWSTR expected;
  };
  const Case cases[] = {
      {1, 2, L"adef"}, {-3, 2, L"cdef"}, {4, 10, L"abcd"}, {6, 1, L"abcdef"},
      {9, 1, L"abcdef"}, {2, 0, L"abcdef"}, {2, -1, L"abcdef"},
  };
  for (const Case& c : cases) {
    CString s(L"abcdef");
    EXPECT_EQ(s.Delete(c.index, c.count), static_cast<int>(wcslen(c.expected)));
    EXPECT_STREQ(s, c.expected) << c.index << ", " << c.count;
  }
}

TEST(String, InsertClampsTheIndexToTheText) {
  struct Case {
    int index;
    LPCWSTR expected;
  };
  const Case cases[] = {{0, L"-abc"}, {2, L"ab-c"}, {3, L"abc-"}, {-5, L"-abc"}, {9, L"abc-"}};
  for (const Case& c : cases) {
    CString s(L"abc");
    EXPECT_EQ(s.Insert(c.index, L'-'), 4);
    EXPECT_STREQ(s, c.expected) << c.index;
  }
  CString s(L"ad");
  EXPECT_EQ(s.Insert(1, L"bc"), 4);
  EXPECT_STREQ(s, L"abcd");
  EXPECT_EQ(s.Insert(0, static_cast<LPCWSTR>(s)), 8);  // its own text
  EXPECT_STREQ(s, L"abcdabcd");
}

TEST(String, ReplaceAndRemoveCountWhatTheyChanged) {
  struct Case {
    LPCWSTR text;
    LPCWSTR oldText;
    LPCWSTR newText;
    int count;
    LPCWSTR expected;
  };
  const Case cases[] = {
      {L"a-b-c", L"-", L"+", 2, L"a+b+c"},     {L"a-b-c", L"-", L"--", 2, L"a--b--c"},
      {L"a--b", L"-", nullptr, 2, L"ab"},      {L"aaaa", L"aa", L"a", 2, L"aa"},
      {L"abc", L"", L"x", 0, L"abc"},          {L"abc", nullptr, L"x", 0, L"abc"},
      {L"abc", L"abc", L"", 1, L""},           {L"abc", L"d", L"x", 0, L"abc"},
  };
  for (const Case& c : cases) {
    CString s(c.text);
    EXPECT_EQ(s.Replace(c.oldText, c.newText), c.count) << c.text;
    EXPECT_STREQ(s, c.expected) << c.text;
  }
  CString s(L"a.b.c");
  EXPECT_EQ(s.Replace(L'.', L'/'), 2);
  EXPECT_STREQ(s, L"a/b/c");
  EXPECT_EQ(s.Remove(L'/'), 2);
  EXPECT_STREQ(s, L"abc");
}

TEST(String, MidLeftAndRightStayInsideTheText) {
  CString s(L"abcdef");
  EXPECT_STREQ(s.Mid(2), L"cdef");
  EXPECT_STREQ(s.Mid(2, 2), L"cd");
  EXPECT_STREQ(s.Mid(4, 10), L"ef");
  EXPECT_STREQ(s.Mid(-2, 2), L"ab");
  EXPECT_STREQ(s.Mid(9), L"");
  EXPECT_STREQ(s.Left(3), L"abc");
  EXPECT_STREQ(s.Left(10), L"abcdef");
  EXPECT_STREQ(s.Left(-1), L"");
  EXPECT_STREQ(s.Right(2), L"ef");
  EXPECT_STREQ(s.Right(10), L"abcdef");
  EXPECT_STREQ(s.Right(-1), L"");
}

TEST(String, CaseAndTrimming) {
  CString s(L"  Mixed Case\t\r\n");
  EXPECT_STREQ(CString(s).Trim(), L"Mixed Case");
  EXPECT_STREQ(CString(s).TrimLeft(), L"Mixed Case\t\r\n");
  EXPECT_STREQ(CString(s).TrimRight(), L"  Mixed Case");
  EXPECT_STREQ(CString(L"xxaxx").Trim(L'x'), L"a");
  EXPECT_STREQ(CString(L"\\\\path\\").TrimRight(L"\\/"), L"\\\\path");
  EXPECT_STREQ(CString(L"\\\\path\\").TrimLeft(L"\\"), L"path\\");
  EXPECT_STREQ(CString(L"\u00e4bC").MakeUpper(), L"\u00c4BC");
  EXPECT_STREQ(CString(L"\u00c4Bc").MakeLower(), L"\u00e4bc");
  EXPECT_STREQ(CString(L"abc").MakeReverse(), L"cba");
}

TEST(String, FormatIsWidePrintf) {
  CString s;
  EXPECT_TRUE(s.Format(L"%s %s", L"wide", L"text"));
  EXPECT_STREQ(s, L"wide text");
  EXPECT_TRUE(s.Format(L"%d|%05d|%x|%c|%hs|%%|%.2f", -12, 42, 255, L'W', "narrow", 1.5));
  EXPECT_STREQ(s, L"-12|00042|ff|W|narrow|%|1.50");
  EXPECT_TRUE(s.Format(L"%02d.%02d.%04d  %02d:%02d", 9, 12, 2026, 7, 5));
  EXPECT_STREQ(s, L"09.12.2026  07:05");

  // The arguments may be the string being formatted.
  s = L"self";
  EXPECT_TRUE(s.Format(L"[%s]", static_cast<LPCWSTR>(s)));
  EXPECT_STREQ(s, L"[self]");
  EXPECT_TRUE(s.AppendFormat(L"+%d", 1));
  EXPECT_STREQ(s, L"[self]+1");

  CString longer;
  EXPECT_TRUE(longer.Format(L"%s%s", static_cast<LPCWSTR>(CString(L'x', 3000)), L"!"));
  EXPECT_EQ(longer.GetLength(), 3001);
}

TEST(String, NarrowTextIsConvertedFromTheSystemCodePage) {
  char narrow[] = "caf\xE9";
  WCHAR expected[8] = {};
  ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, narrow, -1, expected, 8), 0);
  CString s(narrow);
  EXPECT_STREQ(s, expected);
  EXPECT_EQ(s.GetLength(), 4);
  s = "plain";
  EXPECT_STREQ(s, L"plain");
  EXPECT_TRUE(CString(static_cast<LPCSTR>(nullptr)).IsEmpty());
}

TEST(String, BstrKeepsItsWholeLength) {
  const WCHAR withZero[] = {L'a', 0, L'b'};
  BSTR bstr = SysAllocStringLen(withZero, 3);
  CString s = CString::FromBSTR(bstr);
  SysFreeString(bstr);
  EXPECT_EQ(s.GetLength(), 3);
  EXPECT_EQ(s[2], L'b');
  EXPECT_TRUE(CString::FromBSTR(nullptr).IsEmpty());

  BSTR back = CString(L"round").AllocSysString();
  EXPECT_EQ(SysStringLen(back), 5u);
  EXPECT_STREQ(back, L"round");
  SysFreeString(back);
}

TEST(String, TheThreeConcatenationsAndComparison) {
  CString a(L"ab");
  EXPECT_STREQ(a + CString(L"cd"), L"abcd");
  EXPECT_STREQ(L'x' + a, L"xab");
  EXPECT_STREQ(L"pre" + a, L"preab");
  EXPECT_STREQ(a + L"post", L"abpost");
  EXPECT_STREQ(a + L'!', L"ab!");
  a += a;
  EXPECT_STREQ(a, L"abab");

  EXPECT_TRUE(CString(L"abc") == L"abc");
  EXPECT_TRUE(CString(L"abc") != CString(L"abC"));
  EXPECT_FALSE(CString(L"abc") != CString(L"abc"));
  EXPECT_EQ(CString(L"abc").CompareNoCase(L"ABC"), 0);
  EXPECT_LT(CString(L"abc").Compare(L"abd"), 0);
}

TEST(String, GrowingByAppendKeepsTheText) {
  CString s;
  for (int i = 0; i < 1000; ++i) s += static_cast<WCHAR>(L'a' + i % 26);
  EXPECT_EQ(s.GetLength(), 1000);
  EXPECT_EQ(s[999], static_cast<WCHAR>(L'a' + 999 % 26));
  s.Append(static_cast<LPCWSTR>(s) + 10, 5);  // from its own buffer
  EXPECT_STREQ(s.Right(5), L"klmno");
}

TEST(String, LoadStringReadsTheCurrentResourceInstance) {
  CString s;
  ASSERT_TRUE(s.LoadString(IDS_TEST_GREETING));
  EXPECT_STREQ(s, L"Hello from resources");
  ASSERT_TRUE(s.LoadString(IDS_TEST_LONG));
  EXPECT_EQ(s.GetLength(), 280);
  EXPECT_FALSE(s.LoadString(999));
  EXPECT_TRUE(s.IsEmpty());

  // Switched to a library without that text, the text is not found.
  HINSTANCE previous = GetModule().SetResourceInstance(GetModuleHandleW(L"kernel32.dll"));
  EXPECT_FALSE(s.LoadString(IDS_TEST_GREETING));
  GetModule().SetResourceInstance(previous);
  EXPECT_TRUE(s.LoadString(IDS_TEST_GREETING));
}

}  // namespace
