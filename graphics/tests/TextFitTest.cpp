#include "graphics/TextFit.h"
#include "graphics/tests/TestFont.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using testfont::CTestFont;

namespace {

const std::wstring kDots(1, kEllipsis);

// A width given by the test font: a measured text plus a few pixels.
struct Width {
  LPCWSTR text;
  bool withEllipsis;
  int delta;
};

TEST(TextFit, EllipsisTableForBothMeasures) {
  struct Case {
    LPCWSTR text;
    Width width;
    std::wstring expected;
  } const cases[] = {
      {L"abcdef", {L"abcdef", false, 0}, L"abcdef"},
      {L"abcdef", {L"abcdef", false, 7}, L"abcdef"},
      {L"abcdef", {L"abc", true, 0}, L"abc" + kDots},
      {L"abcdef", {L"abc", true, -1}, L"ab" + kDots},
      {L"abcdef", {L"a", true, 0}, L"a" + kDots},
      {L"abcdef", {L"", false, 0}, kDots},
      {L"abcdef", {L"", false, -5}, kDots},
      {L"", {L"", false, 0}, L""},
  };
  CTestFont font;
  // The cache adds single widths; GDI measures the strings.
  const std::function<int(LPCWSTR)> measures[] = {[&](LPCWSTR t) { return font.Sum(t); },
                                                  [&](LPCWSTR t) { return font.Extent(t); }};
  for (int gdi = 0; gdi < 2; gdi++) {
    for (const Case& c : cases) {
      std::wstring widthText = c.width.text;
      if (c.width.withEllipsis) widthText += kDots;
      int width = measures[gdi](widthText.c_str()) + c.width.delta;
      const int limit = width;
      const CString fitted = gdi ? FitTextGdi(font.Dc(), font.Font(), c.text, width)
                                 : FitTextCached(font.Info(), font.Dc(), c.text, width);
      EXPECT_EQ(std::wstring(fitted), c.expected) << gdi << " " << c.text << " at " << limit;
      EXPECT_EQ(width, measures[gdi](fitted)) << gdi << " " << c.text << " at " << limit;
      if (fitted.GetLength() > 1) {
        EXPECT_LE(width, limit) << gdi << " " << c.text;
      }
    }
  }
}

TEST(TextFit, FitTextGdiRestoresTheDcsFont) {
  CTestFont font;
  CTestFont other(30);
  HGDIOBJ before = SelectObject(font.Dc(), other.Font());
  int width = 3;
  FitTextGdi(font.Dc(), font.Font(), L"abcdef", width);
  EXPECT_EQ(GetCurrentObject(font.Dc(), OBJ_FONT), other.Font());
  SelectObject(font.Dc(), before);
}

struct WrapCase {
  LPCWSTR text;
  Width width;
  std::wstring expected;
  LPCWSTR lastLine;  // its width is the last-line width
};

void CheckWrap(CTestFont& font, const WrapCase& c, const std::function<int(LPCWSTR)>& measure, bool gdi) {
  const int limit = measure(c.width.text) + c.width.delta;
  int lineHeight = -1, total = -1, last = -1;
  const CString wrapped = gdi ? WrapTextGdi(c.text, font.Info(), font.Dc(), limit, lineHeight, total, last)
                              : WrapTextCached(c.text, font.Info(), font.Dc(), limit, lineHeight, total, last);
  EXPECT_EQ(std::wstring(wrapped), c.expected) << c.text << " at " << c.width.text << c.width.delta;
  int lines = 1;
  for (const WCHAR* p = wrapped; *p; p++) lines += *p == L'\n';
  EXPECT_EQ(lineHeight, font.Height());
  EXPECT_EQ(total, font.Height() * lines) << c.text;
  EXPECT_EQ(last, measure(c.lastLine)) << c.text << " at " << c.width.text << c.width.delta;
}

TEST(TextFit, WrapTextCachedTable) {
  const WrapCase cases[] = {
      {L"aaa bbb ccc", {L"aaa bbb ccc", false, 0}, L"aaa bbb ccc", L"aaa bbb ccc"},
      {L"aaa aaa aaa", {L"aaa aaa", false, 0}, L"aaa aaa\naaa", L"aaa"},
      {L"aaa aaa aaa", {L"aaa aaa", false, -1}, L"aaa\naaa\naaa", L"aaa"},
      {L"a b", {L"a", false, 0}, L"a\nb", L"b"},
      // Spaces before a word that starts a line after a break are dropped, and
      // several spaces count as they are.
      {L"aaa   bbb", {L"aaa  ", false, 0}, L"aaa\nbbb", L"bbb"},
      {L"  aa bb", {L"  aa bb", false, 0}, L"  aa bb", L"  aa bb"},
      // An overlong word stays whole on its own line; a line after it keeps
      // the spaces that led to it.
      {L"a verylongword b", {L"a ve", false, 0}, L"a\nverylongword\nb", L"b"},
      {L"verylongword b", {L"very", false, 0}, L"verylongword\n b", L" b"},
      {L"aaa bbb", {L"aa", false, 0}, L"aaa\n bbb", L" bbb"},
      // The last line is one overlong word: its width is its own, not 0.
      {L"verylongword", {L"very", false, 0}, L"verylongword", L"verylongword"},
      {L"ab verylongword", {L"ab", false, 0}, L"ab\nverylongword", L"verylongword"},
      {L"aaa bbb  ", {L"aaa bbb", false, 0}, L"aaa bbb", L"aaa bbb"},
      {L"", {L"a", false, 0}, L"", L""},
      {L"   ", {L"a", false, 0}, L"", L""},
  };
  CTestFont font;
  for (const WrapCase& c : cases) CheckWrap(font, c, [&](LPCWSTR t) { return font.Sum(t); }, false);
}

// The two programs fit GDI lines differently: the library counts the spaces
// behind a word toward the line, the options program stops at the word.
TEST(TextFit, WrapTextGdiTableForBothRules) {
  struct Case {
    BOOL spacesCounted;
    WrapCase wrap;
  } const cases[] = {
      {TRUE, {L"abc abc abc", {L"abc abc abc", false, 0}, L"abc abc abc", L"abc abc abc"}},
      {FALSE, {L"abc abc abc", {L"abc abc abc", false, 0}, L"abc abc abc", L"abc abc abc"}},
      {TRUE, {L"abc abc abc", {L"abc abc", false, 0}, L"abc \nabc abc", L"abc abc"}},
      {FALSE, {L"abc abc abc", {L"abc abc", false, 0}, L"abc abc \nabc", L"abc"}},
      {TRUE, {L"abc abc abc", {L"abc abc", false, 20}, L"abc abc \nabc", L"abc"}},
      {FALSE, {L"abc abc abc", {L"abc abc", false, 20}, L"abc abc \nabc", L"abc"}},
      {TRUE, {L"a b", {L"a", false, 0}, L"a \nb", L"b"}},
      {FALSE, {L"a b", {L"a", false, 0}, L"a \nb", L"b"}},
      {TRUE, {L"abcdefgh", {L"abc", false, 0}, L"abcdefgh", L"abcdefgh"}},
      {FALSE, {L"abcdefgh", {L"abc", false, 0}, L"abcdefgh", L"abcdefgh"}},
      {TRUE, {L"ab abcdefgh ab", {L"abc", false, 0}, L"ab \nabcdefgh \nab", L"ab"}},
      {FALSE, {L"ab abcdefgh ab", {L"abc", false, 0}, L"ab \nabcdefgh \nab", L"ab"}},
      {TRUE, {L"", {L"a", false, 0}, L"", L""}},
  };
  CTestFont font;
  const BOOL saved = GetGdiWrapTrailingSpaces();
  for (const Case& c : cases) {
    SetGdiWrapTrailingSpaces(c.spacesCounted);
    SCOPED_TRACE(c.spacesCounted ? "spaces counted" : "spaces skipped");
    CheckWrap(font, c.wrap, [&](LPCWSTR t) { return font.Extent(t); }, true);
  }
  SetGdiWrapTrailingSpaces(saved);
}

TEST(TextFit, FitWordsTakesTheFirstWordEvenWhenTooWide) {
  CTestFont font;
  SelectObject(font.Dc(), font.Font());
  struct Case {
    bool counted;
    LPCWSTR text;
    LPCWSTR limitText;
    int count;
    LPCWSTR widthText;
  } const cases[] = {
      {true, L"abc abc", L"abc abc", 7, L"abc abc"},
      {false, L"abc abc", L"abc abc", 7, L"abc abc"},
      {true, L"abc abc", L"a", 4, L"abc "},
      {false, L"abc abc", L"a", 4, L"abc"},
      {true, L"ab", L"a", 2, L"ab"},
      {false, L"ab", L"a", 2, L"ab"},
  };
  for (const Case& c : cases) {
    int width = -1, count = -1;
    (c.counted ? FitWordsGdi : FitWords)(font.Dc(), c.text, font.Extent(c.limitText), width, count);
    EXPECT_EQ(count, c.count) << c.counted << " " << c.text << " at " << c.limitText;
    EXPECT_EQ(width, font.Extent(c.widthText)) << c.counted << " " << c.text << " at " << c.limitText;
  }
}

}  // namespace
