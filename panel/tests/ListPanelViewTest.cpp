#include "panel/ListPanelView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/GroupElement.h"
#include "controls/VirtualRoot.h"
#include "graphics/Skin.h"
#include "panel/PanelPrompt.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "panel/tests/ListTabHost.h"
#include "panel/tests/PanelTestSupport.h"

namespace {

// The Tasks tab's shape: identifier 2, character '2' (50); selectors as asked.
class TestTab : public CListPanelView {
 public:
  explicit TestTab(bool selectors = false) : m_selectors(selectors) {}
  int GetTabId() override { return 2; }
  int RebuildContent() override {
    ++rebuilds;
    return CListPanelView::RebuildContent();
  }
  CVirtualDropDown* CreateSortMenu() override { return m_selectors ? Selector(L"By due date") : nullptr; }
  CVirtualDropDown* CreateFilterMenu() override { return m_selectors ? Selector(L"Active") : nullptr; }
  int rebuilds = 0;

 private:
  static CVirtualDropDown* Selector(LPCWSTR text) {
    auto* selector = new CVirtualDropDown();
    selector->AddItem(CMenuEntry(1, text));
    selector->SetSelection(1, FALSE);
    return selector;
  }
  bool m_selectors;
};

using Host = ListTabHost;

TEST(ListPanelView, HeaderStateFromTheSettings) {
  struct Case {
    const char* what;
    DWORD global;    // "HeaderMinimized"; 0xBAD: none
    DWORD allow;     // "AllowMinimization"; 0xBAD: none
    DWORD perTab;    // "HeaderMinimized2_50"; 0xBAD: none
    bool minimized, hidden;
  };
  const DWORD none = 0xBAD;
  const Case cases[] = {{"nothing stored", none, none, none, false, false},
                        {"minimised everywhere", 1, none, none, true, false},
                        {"the tab's own value wins", 1, none, 0, false, false},
                        {"minimised for this tab", 0, 1, 1, true, false},
                        {"hidden ignores the tab's value", 2, 0, 0, true, true},
                        {"minimising not allowed", 1, 0, 1, false, false}};
  for (const Case& c : cases) {
    CLocalMachineSandbox machine(L"list_header");
    CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
    if (c.global != none) product.WriteDWORD(L"HeaderMinimized", c.global);
    if (c.allow != none) product.WriteDWORD(L"AllowMinimization", c.allow);
    if (c.perTab != none) product.WriteDWORD(L"HeaderMinimized2_50", c.perTab);
    Host host;
    TestTab tab;
    host.Add(tab);
    EXPECT_EQ(tab.IsHeaderMinimized() != FALSE, c.minimized) << c.what;
    EXPECT_EQ(tab.IsHeaderHidden() != FALSE, c.hidden) << c.what;
    const int expected = c.hidden ? 0 : c.minimized ? ScaleY(5) : -1;
    if (expected >= 0) {
      EXPECT_EQ(tab.GetHeaderHeight(), expected) << c.what;
    }
    EXPECT_EQ(tab.GetContentBounds().top, tab.GetHeaderHeight()) << c.what;
    EXPECT_EQ(tab.GetMinimizeButton().IsVisible() != FALSE, !c.hidden && (c.allow != 0 || c.global == 2)) << c.what;
    host.root.RemoveChild(&tab);
  }
}

TEST(ListPanelView, HeaderIsAtLeastFourteenPixelsAndFitsItsSelectors) {
  CLocalMachineSandbox machine(L"list_header_height");
  Host host;
  TestTab bare, withSelectors(true);
  host.Add(bare);
  host.Add(withSelectors);
  if (!GetSkin().HasScrollBar()) {
    EXPECT_EQ(bare.GetHeaderHeight(), ScaleY(14)) << "not 4: the minimum";
  }
  EXPECT_GE(bare.GetHeaderHeight(), ScaleY(14));
  ASSERT_TRUE(withSelectors.GetSortSelector());
  ASSERT_TRUE(withSelectors.GetFilterSelector());
  const int tallest = withSelectors.GetSortSelector()->GetWidestItemSize().cy;
  EXPECT_GE(withSelectors.GetHeaderHeight(), tallest + ScaleY(4));
  // The selectors share the header: sort on the left half, filter after it and left
  // of the minimise button.
  const RECT& sort = withSelectors.GetSortSelector()->GetBounds();
  const RECT& filter = withSelectors.GetFilterSelector()->GetBounds();
  const RECT& button = withSelectors.GetMinimizeButton().GetBounds();
  EXPECT_EQ(sort.left, 0);
  EXPECT_EQ(sort.right, filter.left);
  EXPECT_LE(filter.right, button.left);
  EXPECT_LE(button.right, 240);
  EXPECT_LE(sort.bottom, withSelectors.GetHeaderHeight());
  host.root.RemoveChild(&bare);
  host.root.RemoveChild(&withSelectors);
}

TEST(ListPanelView, MinimiseButtonTogglesAndStoresTheTabsHeader) {
  CLocalMachineSandbox machine(L"list_toggle");
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
  product.WriteDWORD(L"HeaderMinimized2_50", 1);
  Host host;
  TestTab tab(true);
  host.Add(tab);
  tab.Activate();
  ASSERT_TRUE(tab.IsHeaderMinimized());
  EXPECT_FALSE(tab.GetSortSelector()->IsVisible()) << "selectors hide with the header";
  const RECT strip = tab.GetMinimizeButton().GetBounds();
  EXPECT_EQ(strip.right - strip.left, 240) << "the whole strip is the button";
  tab.OnChildCommand(&tab.GetMinimizeButton(), 0, 0);
  EXPECT_FALSE(tab.IsHeaderMinimized());
  EXPECT_EQ(Number(product, L"HeaderMinimized2_50"), 0u);
  EXPECT_TRUE(tab.GetSortSelector()->IsVisible());
  EXPECT_EQ(tab.GetContentBounds().top, tab.GetHeaderHeight());
  tab.OnChildCommand(&tab.GetMinimizeButton(), 0, 0);
  EXPECT_EQ(Number(product, L"HeaderMinimized2_50"), 1u);
  host.root.RemoveChild(&tab);
}

TEST(ListPanelView, RefreshWaitsForTheTabToBeCurrent) {
  CLocalMachineSandbox machine(L"list_refresh");
  Host host;
  TestTab tab;
  host.Add(tab);
  tab.Activate();
  EXPECT_EQ(tab.rebuilds, 1) << "the first activation builds";
  EXPECT_FALSE(tab.NeedsRebuild());
  tab.Deactivate();
  tab.RequestRefresh();
  EXPECT_TRUE(tab.NeedsRebuild());
  EXPECT_EQ(CVirtualWnd::FromTimer(host.window, reinterpret_cast<UINT_PTR>(&tab)), nullptr) << "no timer";
  EXPECT_EQ(tab.rebuilds, 1);
  tab.Activate();
  EXPECT_EQ(tab.rebuilds, 2) << "once, at the next activation";
  tab.Activate();
  EXPECT_EQ(tab.rebuilds, 2);
  // While current the refresh is deferred to the timer.
  tab.RequestRefresh();
  EXPECT_EQ(tab.rebuilds, 2);
  tab.OnTimer();
  EXPECT_EQ(tab.rebuilds, 3);
  host.root.RemoveChild(&tab);
}

// A row that notes the commands it gets.
class Row : public CPimListItem {
 public:
  explicit Row(IListItemOwner* owner) : CPimListItem(owner) {}
  int Layout() override { return 20; }
  void Draw(CTextRunList*, const POINT*) override {}
  int GetKind() override { return 503; }
  BOOL OnCommand(UINT command) override {
    commands.push_back(command);
    return TRUE;
  }
  std::vector<UINT> commands;
};

TEST(ListPanelView, EnterOnARowFollowsTheDoubleClickSetting) {
  CLocalMachineSandbox machine(L"list_enter");
  struct Case {
    int setting;
    std::vector<UINT> commands;
  };
  const Case cases[] = {{0, {}}, {1, {1001}}, {2, {1002}}};
  const int saved = GetViewSettings().DoubleClick;
  for (const Case& c : cases) {
    for (DWORD oneTap : {0u, 2u}) {
      Host host;
      TestTab tab;
      auto* list = new CContainerElement(&tab);
      auto* row = new Row(list);
      list->AddChild(row);
      tab.SetContentList(list);
      host.Add(tab);
      tab.Activate();
      ASSERT_TRUE(list->SelectFirst());
      GetViewSettings().DoubleClick = c.setting;
      tab.SetOneTap(oneTap);
      tab.OnKey(VK_RETURN | VK_KEYUP_FLAG);
      EXPECT_EQ(row->commands, c.commands) << "DoubleClick " << c.setting << ", one-tap " << oneTap;
      host.root.RemoveChild(&tab);
    }
  }
  GetViewSettings().DoubleClick = saved;
}

TEST(ListPanelView, BaseItemOperationsAskThroughTheMessageSeam) {
  CMessageBoxAnswer box(IDOK);
  TestTab tab;
  EXPECT_FALSE(tab.OpenItem(nullptr, FALSE));
  EXPECT_FALSE(tab.OpenItem(nullptr, TRUE));
  EXPECT_FALSE(tab.DeleteItem(nullptr));
  std::vector<std::wstring> shown;
  for (const CMessageBoxAnswer::Asked& asked : box.asked) shown.push_back(asked.caption + L": " + asked.text);
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"CListPanelView: OpenItem (overload me, please)",
                                              L"CListPanelView: OpenItem for edit (overload me, please)",
                                              L"Delete item: Overload me"}));
}

// Rows whose height flips with the width they get: the layout still ends.
class FlippingList : public CContainerElement {
 public:
  explicit FlippingList(IListItemOwner* owner) : CContainerElement(owner) {}
  int GetHeight(int) override { return GetContentWidth() == GetWidth() ? 1000 : 10; }
};

TEST(ListPanelView, ContentLayoutEndsWhenTheScrollBarGuessKeepsFlipping) {
  CLocalMachineSandbox machine(L"list_flip");
  Host host;
  TestTab tab;
  tab.SetContentList(new FlippingList(&tab));
  host.Add(tab);
  const int height = tab.LayoutContent(FALSE);
  EXPECT_TRUE(height == 1000 || height == 10);
  host.root.RemoveChild(&tab);
}

// A tab whose rows come from a table of keys: each rebuild makes the rows anew, as a
// tab does after its data changed. Keys at or above 100 are groups of ten rows each.
class KeyedTab : public TestTab {
 public:
  std::vector<int> keys;
  std::vector<int> missing;  // rows left out of their groups
  int RebuildContent() override {
    auto* list = new CContainerElement(this);
    for (int key : keys) {
      if (key >= 100) {
        // A group's key is its title.
        auto* group = new CGroupElement(list, std::to_wstring(key).c_str());
        for (int i = 1; i <= 10; ++i)
          if (std::find(missing.begin(), missing.end(), key + i) == missing.end()) group->AddChild(MakeRow(group, key + i));
        list->AddChild(group);
      } else {
        list->AddChild(MakeRow(list, key));
      }
    }
    SetContentList(list);
    return TestTab::RebuildContent();
  }
  DWORD_PTR Current() {
    CListItem* row = GetContentList() ? GetContentList()->GetCurrentItem() : nullptr;
    if (auto* group = dynamic_cast<CGroupElement*>(row)) {
      CString title;
      group->GetTitle(title);
      return static_cast<DWORD_PTR>(_wtoi(title));
    }
    return row ? row->GetUserData() : 0;
  }
  BOOL Select(int key) {
    CListItem* row = GetContentList()->FindItem(503, key);
    if (!row) return FALSE;
    row->SetSelected(TRUE, FALSE);
    return TRUE;
  }

 private:
  static CListItem* MakeRow(IListItemOwner* owner, int key) {
    auto* row = new Row(owner);
    row->SetUserData(key);
    return row;
  }
};

// The panel first gets room for every row, then shrinks to the screen: the rows now
// end where the scroll bar begins and must be painted again, not only the bar (the
// window keeps the pixels of rows that reached under it).
TEST(ListPanelView, RowsMakingRoomForTheScrollBarArePaintedAgain) {
  CLocalMachineSandbox machine(L"list_bar_repaint");
  Host host;
  KeyedTab tab;
  for (int key = 1; key <= 20; ++key) tab.keys.push_back(key);
  ShowWindow(host.window, SW_SHOWNA);
  host.root.AddChild(&tab);
  const RECT tall = {0, 0, 240, 1000}, screen = {0, 0, 240, 200};
  tab.SetRect(&tall);
  tab.RebuildContent();
  tab.LayoutScrollBar();
  ASSERT_FALSE(tab.GetScrollBar()->IsNeeded());
  ASSERT_EQ(tab.GetContentList()->GetContentWidth(), 240);
  for (const RECT& bounds : {screen, tall}) {
    ValidateRect(host.window, nullptr);
    tab.SetRect(&bounds);
    const int contentWidth = tab.GetContentList()->GetContentWidth();
    EXPECT_EQ(contentWidth, tab.GetScrollBar()->IsNeeded() ? 240 - tab.GetScrollBar()->GetWidth() : 240);
    RECT dirty = {};
    ASSERT_TRUE(GetUpdateRect(host.window, &dirty, FALSE)) << bounds.bottom;
    EXPECT_EQ(dirty.left, 0) << bounds.bottom;
    EXPECT_LE(dirty.top, tab.GetContentBounds().top) << bounds.bottom;
    EXPECT_GE(dirty.right, contentWidth) << bounds.bottom;
    EXPECT_GE(dirty.bottom, 200) << bounds.bottom;
  }
  host.root.RemoveChild(&tab);
}

// Rows whose layout waits on another process (as the mail rows wait on the message
// stores): the host window paints meanwhile, which leaves it valid.
class WaitingList : public CContainerElement {
 public:
  WaitingList(IListItemOwner* owner, HWND host) : CContainerElement(owner), m_host(host) {}
  void SetSize(int width, int contentWidth, int height, BOOL reset) override {
    CContainerElement::SetSize(width, contentWidth, height, reset);
    ValidateRect(m_host, nullptr);
  }
  int GetHeight(int) override { return 150; }

 private:
  HWND m_host;
};

// The Today screen grows the item once the panel has measured its rows. A paint that
// came while the rows were laid out saw the new bounds with the old content rectangle
// and drew no row texts below the old bottom: once the layout is done, the content
// below the old bottom still waits to be painted, whether the item grew or shrank.
TEST(ListPanelView, APaintDuringTheLayoutIsDoneAgainWithTheNewBounds) {
  CLocalMachineSandbox machine(L"list_grow_repaint");
  Host host;
  TestTab tab;
  tab.SetContentList(new WaitingList(&tab, host.window));
  ShowWindow(host.window, SW_SHOWNA);
  host.root.AddChild(&tab);
  const RECT first = {0, 0, 240, 120}, grown = {0, 0, 240, 200};
  tab.SetRect(&first);
  tab.Activate();
  for (const RECT& bounds : {grown, first}) {
    ValidateRect(host.window, nullptr);
    tab.SetRect(&bounds);
    RECT dirty = {};
    ASSERT_TRUE(GetUpdateRect(host.window, &dirty, FALSE)) << bounds.bottom;
    EXPECT_LE(dirty.top, tab.GetContentBounds().top) << bounds.bottom;
    EXPECT_GE(dirty.bottom, bounds.bottom) << bounds.bottom;
    EXPECT_EQ(dirty.left, 0) << bounds.bottom;
    EXPECT_GE(dirty.right, 240) << bounds.bottom;
  }
  host.root.RemoveChild(&tab);
}

TEST(ListPanelView, FocusComesBackToTheRememberedRow) {
  CLocalMachineSandbox machine(L"list_remember");
  struct Case {
    const char* what;
    std::vector<int> before;
    int focused;
    std::vector<int> after;
    std::vector<int> missing;
    DWORD_PTR expected;
  };
  const Case cases[] = {
      {"the row itself, not the first", {1, 2, 3, 4}, 3, {1, 2, 3, 4}, {}, 3},
      {"the row among new rows", {1, 2, 3}, 3, {7, 8, 3, 9}, {}, 3},
      {"a row inside a group", {1, 100, 200}, 205, {1, 300, 100, 200}, {}, 205},
      {"the row gone: its group", {1, 100, 200}, 205, {1, 100, 300, 200}, {205}, 200},
      {"row and group gone: the top row", {1, 2}, 2, {5, 6}, {}, 5},
  };
  for (const Case& c : cases) {
    Host host;
    KeyedTab tab;
    tab.keys = c.before;
    host.Add(tab);
    tab.Activate();
    tab.SetFocus();
    ASSERT_TRUE(tab.Select(c.focused)) << c.what;
    tab.keys = c.after;
    tab.missing = c.missing;
    tab.RefreshNow();
    EXPECT_EQ(tab.Current(), c.expected) << c.what;
    // Focus leaving and coming back keeps the row too.
    tab.KillFocus();
    EXPECT_EQ(tab.Current(), 0u) << c.what;
    tab.SetFocus();
    EXPECT_EQ(tab.Current(), c.expected) << c.what << ", focus back";
    host.root.RemoveChild(&tab);
  }
}

TEST(ListPanelView, LeavingTheTabForgetsTheRowButNotItsGroup) {
  CLocalMachineSandbox machine(L"list_leave");
  Host host;
  KeyedTab tab;
  tab.keys = {1, 100, 200};
  host.Add(tab);
  tab.Activate();
  tab.SetFocus();
  ASSERT_TRUE(tab.Select(204));
  tab.RememberFocusedRow();
  EXPECT_EQ(tab.GetRememberedRow(0).size(), 2u) << "group, then the row";
  tab.KillFocus();
  tab.Deactivate();
  EXPECT_TRUE(tab.GetRememberedRow(0).empty());
  tab.Activate();
  tab.SetFocus();
  EXPECT_EQ(tab.Current(), 200u) << "the group the row was in";
  host.root.RemoveChild(&tab);
}

TEST(ListPanelView, RowsAtTheVisibleEdgesAreSelected) {
  CLocalMachineSandbox machine(L"list_edges");
  Host host;
  KeyedTab tab;
  for (int key = 1; key <= 40; ++key) tab.keys.push_back(key);
  host.Add(tab);
  tab.Activate();
  const int visible = tab.GetContentBounds().bottom - tab.GetContentBounds().top;
  ASSERT_GT(tab.GetContentHeight(), visible * 2) << "the list must scroll";
  // Rows are 20 px below a top space; find the keys at the edges from the rectangles.
  auto rowAt = [&](int y) -> DWORD_PTR {
    POINT point = {5, y};
    CListItem* row = tab.GetContentList()->GetItemAt(&point);
    return row ? row->GetUserData() : 0;
  };
  for (int position : {0, 45, 200}) {
    tab.GetScrollBar()->SetPos(position);
    const int at = tab.GetScrollBar()->GetPos();
    ASSERT_TRUE(tab.SelectTopRow()) << position;
    const DWORD_PTR top = tab.Current();
    EXPECT_GE(top, rowAt(at)) << "first row starting in view at " << at;
    EXPECT_LE(top, rowAt(at) + 1) << at;
    ASSERT_TRUE(tab.SelectBottomRow()) << position;
    const DWORD_PTR bottom = tab.Current();
    EXPECT_LE(bottom, rowAt(at + visible - 1)) << "last row ending in view at " << at;
    EXPECT_GE(bottom + 1, rowAt(at + visible - 1)) << at;
    EXPECT_GT(bottom, top) << at;
  }
  // A group at the top is selected by its header.
  KeyedTab grouped;
  grouped.keys = {100, 200};
  host.Add(grouped);
  grouped.Activate();
  ASSERT_TRUE(grouped.SelectTopRow());
  EXPECT_EQ(grouped.Current(), 100u);
  KeyedTab empty;
  host.Add(empty);
  empty.Activate();
  EXPECT_FALSE(empty.SelectTopRow());
  EXPECT_FALSE(empty.SelectBottomRow());
  host.root.RemoveChild(&tab);
  host.root.RemoveChild(&grouped);
  host.root.RemoveChild(&empty);
}

}  // namespace

namespace {

// The anchor of the view is the current row's centre (of a group, its header's), in
// panel coordinates below the header and after scrolling; a closing popup gives the
// view its focus back on the remembered row.
TEST(ListPanelView, AnchorFollowsTheCurrentRowAndAClosedPopupGivesTheFocusBack) {
  CLocalMachineSandbox machine(L"list_anchor");
  Host host;
  KeyedTab tab;
  for (int key = 1; key <= 30; ++key) tab.keys.push_back(key);
  tab.keys.push_back(100);
  host.Add(tab);
  tab.Activate();
  POINT anchor;
  tab.GetAnchorPoint(&anchor);
  EXPECT_EQ(anchor.x, 120) << "no current row: the view's centre";
  ASSERT_TRUE(tab.Select(3));
  const RECT& content = tab.GetContentBounds();
  RECT row;
  POINT origin = {content.left, content.top};
  ASSERT_TRUE(tab.GetContentList()->GetItemRect(tab.GetContentList()->GetCurrentItem(), &origin, &row));
  tab.GetAnchorPoint(&anchor);
  EXPECT_EQ(anchor.y, (row.top + row.bottom) / 2);
  tab.GetScrollBar()->SetPos(20);
  const int scrolled = tab.GetScrollBar()->GetPos();
  tab.GetAnchorPoint(&anchor);
  EXPECT_EQ(anchor.y, (row.top + row.bottom) / 2 - scrolled);

  auto* group = dynamic_cast<CGroupElement*>(tab.GetContentList()->GetChild(30));
  ASSERT_TRUE(group);
  ASSERT_TRUE(group->SelectSelf(TRUE));
  ASSERT_TRUE(tab.GetContentList()->GetItemRect(group, &origin, &row));
  tab.GetAnchorPoint(&anchor);
  EXPECT_EQ(anchor.y, row.top + group->GetHeaderHeight() / 2 - scrolled) << "only the header counts";

  tab.SetFocus();
  ASSERT_TRUE(tab.Select(7));
  tab.RememberFocusedRow();
  tab.KillFocus();
  EXPECT_EQ(tab.Current(), 0u);
  EXPECT_EQ(tab.OnVirtualMessage(1010), 0);
  EXPECT_EQ(tab.Current(), 7u);
  host.root.RemoveChild(&tab);
}

}  // namespace
