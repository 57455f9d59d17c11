#include "controls/IconGrid.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "graphics/tests/IconFixtures.h"

namespace {

using namespace icontest;

// Icons of 10 x 10 (cells of 12 x 12 at 96 dpi): Zeta holds 2, Alpha 7, and
// `others` icons no group lists.
class IconGridTest : public ::testing::Test {
 protected:
  void SetUp() override { SetScreenDpi(96, 96); }
  void TearDown() override {
    m_grid.reset();
    CIconGrid::SetOptionsProgramRules(FALSE);
    if (m_parent) DestroyWindow(m_parent);
    m_parent = nullptr;
    m_database.Close();
  }

  void Build(int others, int width, int height) {
    m_icons.reset(new TempFolder);
    std::vector<Digest> zeta, alpha;
    int serial = 0;
    auto add = [&](std::vector<Digest>* list) {
      const Bytes icon = Icon(10, 10, BYTE(++serial));
      WriteBytes(*m_icons / (L"i" + std::to_wstring(100 + serial) + L".bmp"), icon);
      if (list) list->push_back(DigestOf(icon));
    };
    for (int i = 0; i < 2; ++i) add(&zeta);
    for (int i = 0; i < 7; ++i) add(&alpha);
    for (int i = 0; i < others; ++i) add(nullptr);
    WriteBytes(m_data / L"icons.dat", MakeDatabase({{L"Zeta", zeta}, {L"Alpha", alpha}}));
    ASSERT_TRUE(m_database.Open((m_data / L"icons.dat").c_str()));
    ASSERT_EQ(m_database.ClassifyFolder(m_icons->Path().c_str()), 9 + others);
    m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 400, nullptr, nullptr, nullptr, nullptr);
    m_grid.reset(new CIconGrid);
    m_grid->SetDatabase(&m_database);
    const RECT rect = {0, 0, width, height};
    ASSERT_NE(m_grid->Create(m_parent, rect, WS_CHILD), nullptr);
    m_grid->Rebuild();
  }

  std::vector<std::wstring> Order() const {
    std::vector<std::wstring> names;
    for (int i = 0; i < m_grid->GetSectionCount(); ++i)
      names.push_back(m_database.GetGroup(m_grid->GetSection(i).group)->GetTitle().GetString());
    return names;
  }
  int Top(int section) const { return m_grid->GetSectionRect(section).top - m_grid->GetScrollPosition(); }
  void Send(UINT message, int x, int y) { SendMessageW(m_grid->m_hWnd, message, 0, MAKELPARAM(x, y)); }
  void Tap(int x, int y) {
    Send(WM_LBUTTONDOWN, x, y);
    Send(WM_LBUTTONUP, x, y);
  }
  std::wstring Selected() const {
    std::wstring path = m_grid->GetSelectedPath().GetString();
    return path.substr(path.rfind(L'\\') + 1);
  }

  TempFolder m_data;
  std::unique_ptr<TempFolder> m_icons;
  CIconDatabase m_database;
  HWND m_parent = nullptr;
  std::unique_ptr<CIconGrid> m_grid;
};

TEST_F(IconGridTest, OtherIconsComeFirstAndTheRestByName) {
  Build(1, 80, 400);
  EXPECT_EQ(Order(), (std::vector<std::wstring>{L"Other Icons", L"Alpha", L"Zeta"}));
  TearDown();
  // Without icons of its own "Other Icons" has no section.
  Build(0, 80, 400);
  EXPECT_EQ(Order(), (std::vector<std::wstring>{L"Alpha", L"Zeta"}));
}

// 80 pixels wide: (80 - 20) / 12 = 5 columns; 7 icons make 2 rows.
TEST_F(IconGridTest, SectionsStackHeadersAndRowsOfCells) {
  Build(1, 80, 400);
  ASSERT_EQ(m_grid->GetSectionCount(), 3);
  const CIconGrid::Section& alpha = m_grid->GetSection(1);
  EXPECT_EQ(alpha.columns, 5);
  EXPECT_EQ(alpha.cellWidth, 12);
  EXPECT_EQ(alpha.cellHeight, 12);
  EXPECT_EQ(alpha.rowsHeight, 24);
  const int heights[] = {15 + 12, 15 + 24, 15 + 12};
  int top = 0;
  for (int i = 0; i < 3; ++i) {
    const RECT& r = m_grid->GetSectionRect(i);
    EXPECT_EQ(r.top, top) << i;
    EXPECT_EQ(r.bottom - r.top, heights[i]) << i;
    EXPECT_EQ(r.right, 80) << i;
    top = r.bottom;
  }
  EXPECT_EQ(m_grid->GetTotalHeight(), top);
  EXPECT_FALSE(m_grid->HasScrollBar());
}

TEST_F(IconGridTest, HitTestsFindIconsOnlyInsideTheCells) {
  CIconGrid::Section s;
  s.columns = 5;
  s.cellWidth = 12;
  s.cellHeight = 12;
  const struct {
    int x, y, hit;
  } cases[] = {
      {25, 20, 0},    // first cell
      {20, 15, 0},    // its top left corner
      {19, 20, -1},   // the indent
      {25, 14, -1},   // the header
      {79, 20, 4},    // last column
      {80, 20, -1},   // the margin right of the last column, not the next row
      {95, 20, -1},
      {25, 27, 5},    // second row
      {45, 27, -1},   // past the seventh icon
      {-5, -5, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(CIconGrid::HitIcon(s, 7, c.x, c.y), c.hit) << c.x << "," << c.y;
  s.collapsed = TRUE;
  EXPECT_EQ(CIconGrid::HitIcon(s, 7, 25, 20), -1);
}

// A grid narrower than the indent and a cell still lays its icons out in one column.
TEST_F(IconGridTest, ANarrowGridKeepsOneColumn) {
  Build(0, 25, 400);
  for (int i = 0; i < m_grid->GetSectionCount(); ++i) EXPECT_EQ(m_grid->GetSection(i).columns, 1);
  EXPECT_EQ(m_grid->GetSection(0).rowsHeight, 7 * 12);
}

TEST_F(IconGridTest, TapsFoldHeadersAndSelectIconsAcrossSections) {
  Build(1, 80, 400);
  const int alpha = Top(1);
  Tap(21, alpha + 15 + 13);  // Alpha's sixth icon
  EXPECT_EQ(m_grid->GetCurrentSection(), 1);
  EXPECT_EQ(m_grid->GetSection(1).selected, 5);
  EXPECT_EQ(Selected(), L"i108.bmp");
  // A drag into Zeta moves the selection there and clears Alpha's.
  Send(WM_LBUTTONDOWN, 21, alpha + 16);
  Send(WM_MOUSEMOVE, 33, Top(2) + 16);
  Send(WM_LBUTTONUP, 33, Top(2) + 16);
  EXPECT_EQ(m_grid->GetSection(1).selected, -1);
  EXPECT_EQ(m_grid->GetSection(2).selected, 1);
  EXPECT_EQ(Selected(), L"i102.bmp");
  // Folding Zeta clears its selection; the sections below move up.
  Tap(40, Top(2) + 3);
  EXPECT_TRUE(m_grid->GetSection(2).collapsed);
  EXPECT_EQ(Selected(), L"");
  EXPECT_EQ(m_grid->GetSectionRect(2).bottom - m_grid->GetSectionRect(2).top, 15);
  // A tap below every section hits nothing and leaves no current section.
  Tap(30, 390);
  EXPECT_EQ(m_grid->GetCurrentSection(), -1);
  Tap(21, Top(1) + 16);
  m_grid->SetAllExpanded(FALSE);
  EXPECT_EQ(Selected(), L"");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(m_grid->GetSection(i).collapsed);
  EXPECT_EQ(m_grid->GetTotalHeight(), 45);
}

// The options program makes the section under the released finger current.
TEST_F(IconGridTest, ReleasingOverAnotherSectionKeepsTheSelectionOnlyInTheLibrary) {
  for (BOOL options : {FALSE, TRUE}) {
    Build(1, 80, 400);
    CIconGrid::SetOptionsProgramRules(options);
    Send(WM_LBUTTONDOWN, 21, Top(1) + 16);
    Send(WM_LBUTTONUP, 21, Top(2) + 3);
    EXPECT_EQ(Selected(), options ? L"" : L"i103.bmp") << "options " << options;
    TearDown();
  }
}

TEST_F(IconGridTest, ScrollingStaysWithinTheContent) {
  Build(1, 80, 60);
  const int total = m_grid->GetTotalHeight();
  EXPECT_TRUE(m_grid->HasScrollBar());
  EXPECT_EQ(m_grid->GetScrollPosition(), 0);
  // The scroll bar's room is taken once.
  const int columns = (80 - GetSystemMetrics(SM_CXVSCROLL) - 20) / 12;
  EXPECT_EQ(m_grid->GetSection(1).columns, columns);
  SendMessageW(m_grid->m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(m_grid->GetScrollPosition(), 10);
  SendMessageW(m_grid->m_hWnd, WM_KEYDOWN, VK_UP, 0);
  SendMessageW(m_grid->m_hWnd, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(m_grid->GetScrollPosition(), 0);
  SendMessageW(m_grid->m_hWnd, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(m_grid->GetScrollPosition(), total - 60);
  SendMessageW(m_grid->m_hWnd, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(m_grid->GetScrollPosition(), total - 60);
  SendMessageW(m_grid->m_hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 0);
  EXPECT_EQ(m_grid->GetScrollPosition(), 7);
  // A tap finds sections by content position.
  SendMessageW(m_grid->m_hWnd, WM_VSCROLL, SB_BOTTOM, 0);
  Tap(21, Top(2) + 16);
  EXPECT_EQ(m_grid->GetCurrentSection(), 2);
  // Folding everything makes the content fit: the position goes back to 0, never below.
  m_grid->SetAllExpanded(FALSE);
  EXPECT_EQ(m_grid->GetScrollPosition(), 0);
  EXPECT_FALSE(m_grid->HasScrollBar());
  SendMessageW(m_grid->m_hWnd, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(m_grid->GetScrollPosition(), 0);
  EXPECT_EQ(SendMessageW(m_grid->m_hWnd, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTTAB);
  NMHDR hold = {m_grid->m_hWnd, 0, UINT(-50)};
  EXPECT_EQ(SendMessageW(m_grid->m_hWnd, WM_NOTIFY, 0, LPARAM(&hold)), 1);
}

}  // namespace
