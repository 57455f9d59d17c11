#include "controls/ContainerElement.h"

#include <gtest/gtest.h>

#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "controls/GridElement.h"
#include "controls/GroupElement.h"
#include "controls/TextRunList.h"
#include "controls/tests/LayoutFixtures.h"
#include "graphics/Dib.h"
#include "graphics/FontCache.h"

namespace {

using ctltest::CDpiScope;
using ctltest::CLeaf;
using ctltest::CTopOwner;

// The view settings the group headers read, loaded from a key of this test alone.
class LayoutTest : public testing::Test {
 protected:
  LayoutTest() : m_machine(L"LayoutElements") {
    CViewSettings& view = GetViewSettings();
    view.FoldingStripeStyle = 2;
    view.FoldingStripeDrawCounter = 1;
    view.FoldingStripeShowCollapseIcon = 1;
    view.FoldingStripeDontShowNull = 0;
    view.dbgTextOffset = 4;
    view.dbgHorizontalNavigationMode = 1;
    view.HorizontalTabsMode = 0;
  }
  ~LayoutTest() override { CContainerElement::SetPreviewLayout(FALSE); }

  CLocalMachineSandbox m_machine;
};

TEST_F(LayoutTest, NestedElementsAtTwoWidthsAndTwoDpis) {
  // top: a leaf, an inner container of two leaves, a grid of seven cells; leaves a
  // quarter of their content width high.
  struct Case {
    int dpi, width;
    int height;        // the whole tree
    int secondInnerY;  // top of the inner container's second leaf
    int columns;
  };
  const Case cases[] = {
      {96, 240, 4 + 60 + (4 + 120) + 2 * 9 + 15, 4 + 60 + 4 + 60, 6},
      {96, 400, 4 + 100 + (4 + 200) + 1 * 9 + 15, 4 + 100 + 4 + 100, 10},
      {192, 240, 8 + 60 + (8 + 120) + 2 * 19 + 30, 8 + 60 + 8 + 60, 5},
      {192, 400, 8 + 100 + (8 + 200) + 2 * 19 + 30, 8 + 100 + 8 + 100, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dpi << " dpi, width " << c.width);
    CDpiScope dpi(c.dpi);
    CTopOwner owner;
    CContainerElement top(&owner);
    top.SetTopSpace(TRUE);
    top.SetBottomSpace(TRUE);
    top.AddChild(new CLeaf(&top, 0));
    auto* inner = new CContainerElement(&top);
    inner->SetTopSpace(TRUE);
    inner->AddChild(new CLeaf(inner, 0));
    auto* second = new CLeaf(inner, 0);
    inner->AddChild(second);
    top.AddChild(inner);
    auto* grid = new CGridElement(&top);
    for (int i = 0; i < 7; ++i) grid->AddChild(new CLeaf(grid, 0));
    top.AddChild(grid);
    top.SetSize(c.width, c.width, -1, FALSE);

    EXPECT_EQ(grid->GetColumnCount(), c.columns);
    EXPECT_EQ(top.GetHeight(-1), c.height);
    RECT rect;
    POINT origin = {0, 0};
    ASSERT_TRUE(top.GetItemRect(second, &origin, &rect));
    EXPECT_EQ(rect.top, c.secondInnerY);
    POINT press = {3, c.secondInnerY + 2};
    EXPECT_TRUE(top.OnPress(&press));
    ASSERT_EQ(second->presses.size(), 1u);
    EXPECT_EQ(second->presses[0].y, 2) << "the point arrives relative to the row";
    EXPECT_EQ(top.GetCurrentItem(), second);
  }
}

TEST_F(LayoutTest, AHeightUnderALimitIsNotKeptForUnlimitedCallers) {
  CContainerElement top(nullptr);
  for (int i = 0; i < 5; ++i) top.AddChild(new CLeaf(&top, 20));
  top.SetSize(100, 100, -1, FALSE);
  const int cut = top.GetHeight(30);
  EXPECT_GT(cut, 30);
  EXPECT_LT(cut, 100);
  EXPECT_EQ(top.GetHeight(-1), 100) << "every row stays reachable";

  CGroupElement group(nullptr, L"Group");
  for (int i = 0; i < 5; ++i) group.AddChild(new CLeaf(&group, 20));
  group.SetSize(100, 100, -1, FALSE);
  const int header = group.GetHeaderHeight();
  EXPECT_EQ(group.GetHeight(header - 1), header);
  group.GetHeight(header + 10);
  EXPECT_EQ(group.GetHeight(-1), group.GetChildrenTop() + 100);
}

TEST_F(LayoutTest, TapsReachTheRowUnderThemEvenRightAfterAChange) {
  CTopOwner owner;
  CContainerElement top(&owner);
  auto* first = new CLeaf(&top, 20);
  auto* second = new CLeaf(&top, 20);
  top.AddChild(first);
  top.AddChild(second);
  top.SetBottomSpace(TRUE);
  top.SetSize(100, 100, -1, FALSE);
  EXPECT_EQ(top.GetHeight(-1), 40 + ScaleY(15));

  first->Grow(50);  // the cached height is gone until the next paint
  POINT press = {5, 55};
  EXPECT_TRUE(top.OnPress(&press));
  EXPECT_EQ(second->presses.size(), 1u);
  EXPECT_TRUE(first->presses.empty());

  POINT bottomSpace = {5, 50 + 20 + 2};
  EXPECT_FALSE(top.OnPress(&bottomSpace)) << "the bottom space belongs to no row";
  POINT right = {100, 5};
  EXPECT_FALSE(top.OnPress(&right));
}

TEST_F(LayoutTest, ADoubleTapOnARowIsAClickForTheList) {
  CTopOwner owner;
  CContainerElement top(&owner);
  auto* row = new CLeaf(&top, 20);
  top.AddChild(row);
  top.SetSize(100, 100, -1, FALSE);
  POINT tap = {5, 5};
  EXPECT_TRUE(top.OnDoubleTap(&tap));
  EXPECT_EQ(row->doubleTaps, 0);
  ASSERT_EQ(owner.clicked.size(), 1u);
  EXPECT_EQ(owner.clicked[0], row);
}

// Two groups of three rows under one container.
struct TwoGroups {
  explicit TwoGroups(int width = 200) : top(&owner) {
    for (int g = 0; g < 2; ++g) {
      groups[g] = new CGroupElement(&top, g == 0 ? L"First" : L"Second");
      for (int i = 0; i < 3; ++i) {
        rows[g][i] = new CLeaf(groups[g], 20, static_cast<DWORD_PTR>(100 + g * 10 + i));
        groups[g]->AddChild(rows[g][i]);
      }
      top.AddChild(groups[g]);
    }
    top.SetSize(width, width, -1, FALSE);
  }
  int TopOf(CListItem* item) {
    RECT rect;
    POINT origin = {0, 0};
    return top.GetItemRect(item, &origin, &rect) ? rect.top : -1;
  }
  CTopOwner owner;
  CContainerElement top;
  CGroupElement* groups[2];
  CLeaf* rows[2][3];
};

TEST_F(LayoutTest, FoldingAndUnfoldingMoveWhatFollows) {
  for (int dpi : {96, 192}) {
    SCOPED_TRACE(dpi);
    CDpiScope scope(dpi);
    TwoGroups tree;
    const int full = tree.top.GetHeight(-1);
    const int secondTop = tree.TopOf(tree.groups[1]);
    const int expanded = tree.groups[0]->GetHeight(-1);
    EXPECT_EQ(expanded, tree.groups[0]->GetChildrenTop() + 60);

    // A press on the fold sign folds the first group and tells the list.
    POINT sign = {tree.groups[0]->GetFoldIconRect().left + 1, tree.groups[0]->GetFoldIconRect().top + 1};
    EXPECT_TRUE(tree.top.OnPress(&sign));
    EXPECT_FALSE(tree.groups[0]->IsExpanded());
    ASSERT_EQ(tree.owner.folds.size(), 1u);
    EXPECT_EQ(tree.owner.folds[0].first, tree.groups[0]);
    EXPECT_TRUE(tree.owner.folds[0].second);
    const int header = tree.groups[0]->GetHeaderHeight();
    EXPECT_EQ(tree.groups[0]->GetHeight(-1), header);
    EXPECT_EQ(tree.top.GetHeight(-1), full - (expanded - header));
    EXPECT_EQ(tree.TopOf(tree.groups[1]), secondTop - (expanded - header));
    EXPECT_EQ(tree.TopOf(tree.rows[0][0]), -1) << "folded rows have no place";

    // A folded group passes no taps on.
    POINT below = {60, header + 1};
    tree.groups[0]->OnPress(&below);
    EXPECT_TRUE(tree.rows[0][0]->presses.empty());

    // A double tap on the header unfolds it again.
    POINT onHeader = {60, 1};
    EXPECT_TRUE(tree.top.OnDoubleTap(&onHeader));
    EXPECT_TRUE(tree.groups[0]->IsExpanded());
    EXPECT_EQ(tree.top.GetHeight(-1), full);
    EXPECT_EQ(tree.TopOf(tree.groups[1]), secondTop);
  }
}

// Exposes the header layout.
class CProbeGroup : public CGroupElement {
 public:
  using CGroupElement::CGroupElement;
  int TopMargin() { return GetHeaderHeight(), m_nTopMargin; }
  int RulePos() { return GetHeaderHeight(), m_nRulePos; }
  int TitleHeight() { return GetHeaderHeight(), m_nTitleHeight; }
};

TEST_F(LayoutTest, HeaderLayoutByStyleWhenFirstAndNot) {
  CDpiScope dpi(96);
  struct Case {
    int style;
    BOOL first;
    int topMargin, ruleOffset;
    int rule;  // -1 none; -2 top margin + half the title; -3 under the sign
  };
  const Case cases[] = {
      {1, TRUE, 5, 0, -1}, {1, FALSE, 3, 0, 2},  {2, TRUE, 5, 0, -2},
      {2, FALSE, 0, 0, -2}, {3, TRUE, 5, 1, -3}, {3, FALSE, 0, 1, -3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << " first " << c.first);
    GetViewSettings().FoldingStripeStyle = c.style;
    CTopOwner owner;
    owner.first = c.first;
    CProbeGroup group(&owner, L"Title");
    const int h = group.TitleHeight();
    EXPECT_EQ(group.TopMargin(), c.topMargin);
    EXPECT_EQ(group.GetHeaderHeight(), c.topMargin + c.ruleOffset + h);
    const int expected = c.rule == -2 ? c.topMargin + h / 2 : c.rule == -3 ? 1 + c.topMargin + (h / 2 - 4 + 9) : c.rule;
    EXPECT_EQ(group.RulePos(), expected);
    EXPECT_EQ(group.GetFoldIconRect().top, c.topMargin + h / 2 - 4);
  }
}

TEST_F(LayoutTest, InsertingAGroupBeforeAGroupLaysTheFormerFirstOutAgain) {
  CDpiScope dpi(96);
  CContainerElement top(nullptr);
  auto* later = new CProbeGroup(&top, L"Later");
  top.AddChild(later);
  top.SetSize(200, 200, -1, FALSE);
  EXPECT_EQ(later->TopMargin(), 5);
  top.InsertChild(0, new CGroupElement(&top, L"Sooner"));
  EXPECT_EQ(later->TopMargin(), 0);
  top.RemoveChild(0);
  EXPECT_EQ(later->TopMargin(), 5);
}

TEST_F(LayoutTest, CountTextAndFoldSignPicture) {
  struct Case {
    int explicitCount;
    BOOL hideEmpty;
    const wchar_t* text;
  };
  const Case cases[] = {{-1, FALSE, L" (0)"}, {-1, TRUE, L""}, {3, TRUE, L" (3)"}, {0, FALSE, L" (0)"}};
  for (const Case& c : cases) {
    GetViewSettings().FoldingStripeDontShowNull = c.hideEmpty;
    CGroupElement group(nullptr, L"Empty");
    group.SetDisplayCount(c.explicitCount);
    CString text;
    group.GetCountText(text);
    EXPECT_STREQ(text, c.text);
  }
}

TEST_F(LayoutTest, HeaderDrawsTitleCountAndRuleIntoTheContext) {
  CDpiScope dpi(96);
  CDib dib;
  ASSERT_TRUE(dib.CreateFilled(200, 60, RGB(255, 255, 255)));
  const RECT clip = {0, 0, 200, 60};
  CTextRunList context(&dib, clip);
  CGroupElement group(nullptr, L"A title far too long to fit the narrow header of this group");
  group.SetSize(200, 200, -1, FALSE);
  POINT origin = {0, 0};
  group.Draw(&context, &origin);
  ASSERT_EQ(context.GetRunCount(), 1);
  const TEXT_RUN& run = context.GetRun(0);
  EXPECT_EQ(run.format, static_cast<UINT>(DT_NOPREFIX));
  EXPECT_NE(run.text.Find(L" (0)", 0), -1) << "the count is never cut";
  EXPECT_NE(run.text.Find(static_cast<WCHAR>(0x2026), 0), -1);
  EXPECT_LE(run.rect.right, 200 - 10);
}

TEST_F(LayoutTest, SelectionFollowsThePathAndStepsThroughGroups) {
  TwoGroups tree;
  POINT press = {20, tree.TopOf(tree.rows[0][1]) + 1};
  tree.top.OnPress(&press);
  EXPECT_EQ(tree.top.GetCurrentItem(), tree.rows[0][1]);
  EXPECT_TRUE(tree.top.IsSelected());

  // Selecting a row of the other group deselects the first one.
  tree.rows[1][0]->SetSelected(TRUE, FALSE);
  EXPECT_FALSE(tree.rows[0][1]->IsSelected());
  EXPECT_EQ(tree.top.GetCurrentItem(), tree.rows[1][0]);
  EXPECT_EQ(tree.groups[0]->GetCurrentChild(), nullptr);

  // Backwards: the header of the row's group, then the last row of the first group.
  EXPECT_TRUE(tree.top.SelectPrev());
  EXPECT_EQ(tree.top.GetCurrentItem(), tree.groups[1]);
  EXPECT_TRUE(tree.top.SelectPrev());
  EXPECT_EQ(tree.top.GetCurrentItem(), tree.rows[0][2]);
  EXPECT_TRUE(tree.top.SelectNext());
  EXPECT_EQ(tree.top.GetCurrentItem(), tree.groups[1]);
  EXPECT_TRUE(tree.top.SelectNext());
  EXPECT_EQ(tree.top.GetCurrentItem(), tree.rows[1][0]);

  // Removing the current row leaves nothing current there, and the list's height
  // loses the row at once.
  const int before = tree.top.GetHeight(-1);
  tree.groups[1]->RemoveChild(0);
  EXPECT_EQ(tree.groups[1]->GetCurrentChild(), nullptr);
  ASSERT_FALSE(tree.owner.removed.empty());
  EXPECT_EQ(tree.top.GetHeight(-1), before - 20);
}

TEST_F(LayoutTest, PositionPathsSurviveARebuild) {
  CItemPath current, neighbour;
  {
    TwoGroups tree;
    tree.rows[1][1]->SetSelected(TRUE, FALSE);
    tree.top.SavePosition(current, neighbour);
  }
  ASSERT_EQ(current.size(), 2u);
  EXPECT_EQ(current[0].kind, ITEM_KIND_GROUP);
  EXPECT_EQ(current[1].data, 111u);
  TwoGroups rebuilt;
  EXPECT_TRUE(rebuilt.top.RestorePosition(current));
  EXPECT_EQ(rebuilt.top.GetCurrentItem(), rebuilt.rows[1][1]);
  CItemPath gone = {{ITEM_KIND_TASK, 999}};
  EXPECT_FALSE(rebuilt.top.RestorePosition(gone));
}

TEST_F(LayoutTest, GroupsAreFoundByTheirTitle) {
  TwoGroups tree;
  CGroupElement probe(nullptr, L"Second");
  EXPECT_EQ(tree.top.FindItem(ITEM_KIND_GROUP, probe.GetUserData()), tree.groups[1]);
  EXPECT_EQ(tree.top.FindItem(ITEM_KIND_TASK, 102), tree.rows[0][2]);
  POINT header = {50, 1};
  EXPECT_EQ(tree.top.GetItemAt(&header), tree.groups[0]);
}

TEST_F(LayoutTest, RowsAtAnOffsetAreFoundForScrollingByKeys) {
  TwoGroups tree;
  const int rowTop = tree.TopOf(tree.rows[1][0]);
  EXPECT_EQ(tree.top.FindItemBelow(rowTop, 0, FALSE), tree.rows[1][0]);
  EXPECT_EQ(tree.top.FindItemBelow(tree.TopOf(tree.groups[1]), 0, TRUE), tree.groups[1]);
  const int lastBottom = tree.TopOf(tree.rows[0][2]) + 20;
  EXPECT_EQ(tree.top.FindItemAbove(lastBottom, 0, FALSE), tree.rows[0][2]);
  EXPECT_EQ(tree.top.FindItemAbove(lastBottom - 1, 0, FALSE), tree.rows[0][1]);
}

TEST_F(LayoutTest, GridRoutesByCellAndLeavesTheRestUnreached) {
  CDpiScope dpi(96);
  CGridElement grid(nullptr);
  CLeaf* cells[7];
  for (CLeaf*& cell : cells) grid.AddChild(cell = new CLeaf(&grid, 0));
  grid.SetSize(100, 100, -1, FALSE);  // narrower than five cells: still five
  EXPECT_EQ(grid.GetColumnCount(), 5);
  const int row = 38 / 4;
  POINT second = {38 + 3, row + 1};
  EXPECT_TRUE(grid.OnPress(&second));
  ASSERT_EQ(cells[6]->presses.size(), 1u);
  EXPECT_EQ(cells[6]->presses[0].x, 3);
  POINT empty = {3 * 38 + 1, row + 1};
  EXPECT_FALSE(grid.OnPress(&empty)) << "no cell in that column of the last row";
}

// A group with header columns of the given widths that records where each is drawn.
class CColumnGroup : public CProbeGroup {
 public:
  CColumnGroup(std::vector<int> widths) : CProbeGroup(nullptr, L"Columns"), m_widths(std::move(widths)) {}
  int GetHeaderIcons(CSimpleValArray<int>& widths) override {
    for (int w : m_widths) widths.Add(w);
    return static_cast<int>(m_widths.size());
  }
  void DrawHeaderIcon(int, HDC, CTextRunList*, const RECT& column, int, int, const POINT*) override {
    columns.push_back(column);
  }
  std::vector<RECT> columns;

 private:
  std::vector<int> m_widths;
};

// The options program's previews: headers in the bold list font, laid out again at
// every drawing (a changed view setting shows at the next repaint), and the room of
// the header columns scaled as one length; the library lays a header out once, in
// the bold header font, and scales each column's margin on its own.
TEST_F(LayoutTest, PreviewHeadersTakeTheListFontAndTheViewSettingsOfEveryDrawing) {
  CDpiScope dpi(120);
  CFontCache fonts;
  for (BOOL preview : {FALSE, TRUE}) {
    SCOPED_TRACE(preview);
    CContainerElement::SetPreviewLayout(preview);
    GetViewSettings().FoldingStripeStyle = 2;
    CDib dib;
    ASSERT_TRUE(dib.CreateFilled(300, 60, RGB(255, 255, 255)));
    CTextRunList context(&dib, {0, 0, 300, 60});
    CColumnGroup group({20, 30, 40});
    group.SetSize(300, 300, -1, FALSE);
    POINT origin = {0, 0};
    group.Draw(&context, &origin);
    ASSERT_EQ(context.GetRunCount(), 1);
    EXPECT_EQ(context.GetRun(0).font, preview ? fonts.GetBoldFont()->GetFont() : fonts.GetHeaderFont(TRUE));
    EXPECT_EQ(group.TopMargin(), 0);

    // Three columns at 120 dpi: 13 + 19 + 90 pixels as one length, 13 + 3 * (6 + w) each.
    ASSERT_EQ(group.columns.size(), 3u);
    const int reserve = preview ? 13 + 19 + 90 : 13 + 3 * 6 + 90;
    EXPECT_EQ(group.columns[0].left, 300 - reserve + 6);
    EXPECT_EQ(group.columns[2].right, 300 - reserve + 3 * 6 + 90);

    GetViewSettings().FoldingStripeStyle = 1;  // not first: a margin of 3 above the title
    group.Draw(&context, &origin);
    EXPECT_EQ(group.TopMargin(), preview ? ScaleY(3) : 0);
  }
}

TEST_F(LayoutTest, PreviewLayoutPutsChildrenUnderTheHeaderAndAnswersOne) {
  for (BOOL preview : {FALSE, TRUE}) {
    SCOPED_TRACE(preview);
    CContainerElement::SetPreviewLayout(preview);
    TwoGroups tree;
    CGroupElement* group = tree.groups[0];
    const int gap = group->GetHeight(-1) - group->GetHeaderHeight() - 60;
    EXPECT_GT(gap, 0);
    EXPECT_EQ(tree.TopOf(tree.rows[0][0]), group->GetHeaderHeight() + (preview ? 0 : gap));
    EXPECT_EQ(tree.top.GetUserData(), preview ? 1u : 0u);
  }
}

}  // namespace
