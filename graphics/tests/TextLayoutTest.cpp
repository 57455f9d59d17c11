#include "graphics/TextLayout.h"
#include "graphics/TextFit.h"
#include "graphics/tests/TestFont.h"

#include "base/ScreenDpi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using testfont::CTestFont;

namespace {

const int kBox = 10;

struct Placed {
  int x, y;  // the box's left and top
};

class TextLayoutTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { SetScreenDpi(96, 96); }
  void TearDown() override { SetScreenDpi(0, 0); }
  bool Cached() const { return GetParam(); }
  // The width the layout measures text with.
  int W(LPCWSTR text) { return Cached() ? m_font.Sum(text) : m_font.Extent(text); }
  int H() const { return m_font.Height(); }

  CTextLayout Make(int boxes) {
    CTextLayout layout;
    layout.SetDC(m_font.Dc());
    layout.SetFont(m_font.Info());
    layout.SetCachedWidths(Cached());
    for (int i = 0; i < boxes; i++) layout.AddBox(kBox, kBox - i);
    return layout;
  }
  void ExpectBoxes(const CTextLayout& layout, const std::vector<Placed>& expected, const std::string& what) {
    ASSERT_EQ(layout.GetBoxCount(), int(expected.size())) << what;
    for (size_t i = 0; i < expected.size(); i++) {
      const RECT& box = layout.GetBox(int(i));
      EXPECT_EQ(box.left, expected[i].x) << what << " box " << i;
      EXPECT_EQ(box.top, expected[i].y) << what << " box " << i;
      EXPECT_EQ(box.right - box.left, kBox) << what << " box " << i;
      EXPECT_EQ(box.bottom - box.top, kBox - int(i)) << what << " box " << i;
    }
  }

  CTestFont m_font;
};

TEST_P(TextLayoutTest, GapIsTwoLogicalPixels) {
  EXPECT_EQ(Make(0).GetGap(), 2);
  SetScreenDpi(192, 192);
  EXPECT_EQ(Make(0).GetGap(), 4);
}

TEST_P(TextLayoutTest, SingleLineMixedTextAndBoxes) {
  const int gap = 2;
  // Left edge 5, top 3.
  struct Case {
    LPCWSTR text;
    std::function<int()> width;  // the rectangle's width
    std::wstring expected;
    std::function<std::vector<Placed>()> boxes;
    int lines;
  };
  const std::wstring dots(1, kEllipsis);
  const Case cases[] = {
      // Text and boxes fit on one line; the right edge ends after the last box.
      {L"abc", [&] { return W(L"abc") + gap + 2 * kBox + 20; }, L"abc",
       [&] { return std::vector<Placed>{{5 + W(L"abc") + gap, 3}, {5 + W(L"abc") + gap + kBox, 3}}; }, 1},
      // The text is cut to leave room for the boxes.
      {L"abcdefgh", [&] { return W((L"abc" + dots).c_str()) + gap + 2 * kBox; }, L"abc" + dots,
       [&] {
         const int x = 5 + W((L"abc" + dots).c_str()) + gap;
         return std::vector<Placed>{{x, 3}, {x + kBox, 3}};
       },
       1},
      // No room even for the ellipsis: the boxes move below the text.
      {L"abcdefgh", [&] { return gap + 2 * kBox + 1; }, dots,
       [&] { return std::vector<Placed>{{5, 3 + H()}, {5 + kBox, 3 + H()}}; }, 2},
  };
  for (const Case& c : cases) {
    CTextLayout layout = Make(2);
    CString text = c.text;
    RECT rect = {5, 3, 5 + c.width(), 500};
    layout.Layout(text, rect, TRUE);
    EXPECT_EQ(std::wstring(text), c.expected) << c.text;
    ExpectBoxes(layout, c.boxes(), "single " + std::to_string(c.lines));
    EXPECT_EQ(rect.bottom, 3 + c.lines * H()) << c.text;
    EXPECT_EQ(rect.right, layout.GetBox(1).right) << c.text;
  }
}

TEST_P(TextLayoutTest, WrappedTextBoxesFollowTheLastLine) {
  const int gap = 2;
  const int width = W(L"aaa bbb ");
  struct Case {
    LPCWSTR text;
    int boxes;
    BOOL wrapBoxes;
    std::function<std::vector<Placed>()> expected;
    int lines;  // including the boxes' own lines
  } const cases[] = {
      // Behind the short last line.
      {L"aaa bbb c", 2, TRUE,
       [&] { return std::vector<Placed>{{W(L"c") + gap, H()}, {W(L"c") + gap + kBox, H()}}; }, 2},
      // Not behind it: together on a new line.
      {L"aaa bbb aaa bbb", 2, TRUE, [&] { return std::vector<Placed>{{0, 2 * H()}, {kBox, 2 * H()}}; }, 3},
      // One by one: the first still fits behind the text.
      {L"aaa", 2, FALSE,
       [&] {
         return std::vector<Placed>{{W(L"aaa") + gap, 0}, {W(L"aaa") + gap + kBox, 0}};
       },
       1},
      // A word longer than the line: the boxes go after it, on the next line,
      // never over the word.
      {L"aaaabbbbccccdddd", 2, TRUE, [&] { return std::vector<Placed>{{0, H()}, {kBox, H()}}; }, 2},
      {L"aaaabbbbccccdddd", 1, FALSE, [&] { return std::vector<Placed>{{0, H()}}; }, 2},
      {L"aaa bbbbccccddddeeee", 2, TRUE, [&] { return std::vector<Placed>{{0, 2 * H()}, {kBox, 2 * H()}}; }, 3},
  };
  for (const Case& c : cases) {
    CTextLayout layout = Make(c.boxes);
    layout.SetWrapBoxes(c.wrapBoxes);
    CString text = c.text;
    RECT rect = {0, 0, width, 0};
    layout.Layout(text, rect, FALSE);
    ExpectBoxes(layout, c.expected(), std::string("wrapped ") + std::to_string(c.lines));
    EXPECT_EQ(rect.bottom, c.lines * H()) << c.text;
    EXPECT_EQ(rect.right, width) << c.text;
  }
}

TEST_P(TextLayoutTest, BoxesWrapOneByOneWithoutTheFlag) {
  CString text = L"aaa";
  const int width = W(L"aaa") + 2 + kBox + 3;
  CTextLayout layout = Make(2);
  layout.SetWrapBoxes(FALSE);
  RECT rect = {0, 0, width, 0};
  layout.Layout(text, rect, FALSE);
  ExpectBoxes(layout, {{W(L"aaa") + 2, 0}, {0, H()}}, "one by one");
  EXPECT_EQ(rect.bottom, 2 * H());
}

TEST_P(TextLayoutTest, MeasuringLinesAndTexts) {
  CTextLayout layout = Make(0);
  RECT rect = {4, 6, 0, 0};
  layout.MeasureLine(L"Hello", rect);
  EXPECT_EQ(rect.right, 4 + W(L"Hello"));
  EXPECT_EQ(rect.bottom, 6 + H());
  layout.MeasureLine(L"", rect);
  EXPECT_EQ(rect.right, 4);
  EXPECT_EQ(rect.bottom, 6);
  // The font's own measure gives an empty text one line's height.
  layout.MeasureText(L"", rect);
  EXPECT_EQ(rect.right, 4);
  EXPECT_EQ(rect.bottom, Cached() ? 6 + H() : 6);
}

INSTANTIATE_TEST_SUITE_P(Measures, TextLayoutTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Cached" : "Gdi"; });

}  // namespace
