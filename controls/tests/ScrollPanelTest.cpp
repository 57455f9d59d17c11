#include "controls/ScrollPanel.h"

#include <gtest/gtest.h>

#include <string>

#include "base/InstallPath.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/ControlArt.h"
#include "controls/ItemPalette.h"
#include "controls/tests/MenuAnswer.h"
#include "controls/tests/TestHost.h"
#include "graphics/Bitmap.h"
#include "graphics/Dib.h"
#include "graphics/Skin.h"
#include "graphics/tests/SkinFixtures.h"

namespace {

using ctltest::CTestHost;

// A tab whose content is as high as the test says, with no header.
class CTestPanel : public CScrollPanel {
 public:
  int GetHeaderHeight() override { return 0; }
  int GetContentHeight() override { return content; }
  void InvalidateContent(int position) override {
    reported.push_back(position);
    CScrollPanel::InvalidateContent(position);
  }
  void FillContextMenu(HMENU menu, LPARAM argument) override {
    CScrollPanel::FillContextMenu(menu, argument);
    AppendMenuW(menu, MF_STRING, 4242, L"Own");
  }
  void OnMenuCommand(int command) override {
    commands.push_back(command);
    CScrollPanel::OnMenuCommand(command);
  }
  int content = 2000;
  std::vector<int> reported;
  std::vector<int> commands;
};

struct PanelHost {
  explicit PanelHost(int content = 2000) : host(100, 200) {
    SetScreenDpi(96, 96);
    panel.content = content;
    host.root.AddChild(&panel);
    RECT all = {0, 0, 100, 200};
    panel.SetRect(&all);
  }
  ~PanelHost() { SetScreenDpi(0, 0); }
  CScrollBarElem& bar() { return *panel.GetScrollBar(); }
  CTestHost host;
  CTestPanel panel;
};

// The skin layer's art reduced to what the bar asks of it: the resource library's
// single strip. The bar reaches the skin through the art alone.
class CStripArt : public IControlArt {
 public:
  CStripArt() { SetControlArt(this); }
  ~CStripArt() { SetControlArt(nullptr); }
  HICON GetSignIcon(BOOL) override { return nullptr; }
  HICON GetDropDownIcon() override { return nullptr; }
  HPEN GetPen(int) override { return nullptr; }
  CDib* GetButtonBand(int, int) override { return nullptr; }
  CDib* GetHeaderButtonFace(BOOL, int, int) override { return nullptr; }
  void DropButtonBitmaps() override {}
  ScrollArtKind GetScrollArtKind() override { return Strip() ? SCROLL_ART_STRIP : SCROLL_ART_NONE; }
  SIZE GetScrollPartSize(int part) override { return Strip() ? Strip()->GetPartSize(part) : SIZE{0, 0}; }
  BOOL DrawScrollPart(int part, CDib* target, int x, int y, HDC) override {
    if (!Strip() || !target) return FALSE;
    Strip()->DrawPart(part, *target, x, y);
    return TRUE;
  }
  void DrawScrollFrame(const RECT&) override {}

 private:
  static CBitmap* Strip() {
    // Asking for the seven parts is what loads the strip when they are missing.
    CSkin& skin = CSkin::Instance();
    return skin.HasScrollBar() ? nullptr : skin.GetScrollBitmap();
  }
};

const COLORREF kBackground = RGB(10, 20, 30);
const COLORREF kRule = RGB(255, 0, 0);       // skin brush 1
const COLORREF kThumbFill = RGB(0, 200, 0);  // skin brush 5

// Distinct colours for the brushes the bar paints with.
class CBarPalette : public IItemPalette {
 public:
  CBarPalette() : m_rule(CreateSolidBrush(kRule)), m_fill(CreateSolidBrush(kThumbFill)) { SetItemPalette(this); }
  ~CBarPalette() {
    SetItemPalette(nullptr);
    DeleteObject(m_rule);
    DeleteObject(m_fill);
  }
  COLORREF GetColor(int index) override { return index == 5 ? kThumbFill : kRule; }
  HBRUSH GetBrush(int index) override { return index == 5 ? m_fill : m_rule; }

 private:
  HBRUSH m_rule, m_fill;
};

COLORREF PixelAt(const CDib& dib, int x, int y) {
  const BYTE* p = dib.Pixel(x, y);
  return RGB(p[2], p[1], p[0]);
}

// The thumb's place and length never divide by zero: empty content, a page that
// shows everything and a thumb as long as its track. The painted thumb is one
// pixel longer than the one taps go by (at least the minimum, 3 on a short track).
TEST(ScrollBarElem, ThumbGeometryHoldsForEveryRangeAndTrack) {
  SetScreenDpi(96, 96);
  CBarPalette palette;
  struct Case {
    const char* name;
    int barHeight, range, page, pos;
    int thumbTop, thumbLength, finalPos;
    int drawnTop, drawnLength;  // 0: nothing drawn
  };
  // The track is the bar less one pixel all round; without skin parts no arrows.
  const Case cases[] = {
      {"empty content", 102, 0, 0, 0, 1, 100, 0, 1, 100},
      {"content shorter than the page", 102, 50, 100, 0, 1, 100, 0, 1, 101},
      {"page equals range", 102, 100, 100, 30, 1, 100, 0, 1, 101},
      {"long content at the top", 102, 1000, 100, 0, 1, 15, 0, 1, 15},
      {"long content at the end", 102, 1000, 100, 900, 86, 15, 900, 86, 15},
      {"position past the end is clamped", 102, 1000, 100, 5000, 86, 15, 900, 86, 15},
      {"proportional thumb halfway", 102, 400, 200, 100, 26, 50, 100, 25, 51},
      {"track as short as the minimum thumb", 17, 1000, 10, 500, 1, 15, 500, 1, 15},
      {"track shorter than the minimum thumb", 12, 1000, 10, 500, 4, 3, 500, 4, 3},
      {"no bounds at all", 0, 1000, 10, 500, 0, 1, 500, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CScrollBarElem bar(nullptr);
    RECT bounds = {0, 0, c.barHeight ? 10 : 0, c.barHeight};
    bar.SetRect(&bounds);
    bar.SetRange(c.range, c.page);
    bar.SetPos(c.pos);
    EXPECT_EQ(bar.GetPos(), c.finalPos);
    EXPECT_EQ(bar.GetThumbLength(), c.thumbLength);
    EXPECT_EQ(bar.GetThumbTop(), c.thumbTop);
    EXPECT_LE(bar.GetPage(), bar.GetRange());
    // A thumb that cannot move stays where it is when dragged.
    const int before = bar.GetPos();
    POINT press = {5, bar.GetThumbTop()};
    bar.OnLButtonDown(&press);
    POINT away = {5, 400};
    bar.OnMouseMove(&away);
    bar.OnLButtonUp(&away);
    if (bar.GetTrackLength() <= bar.GetThumbLength()) {
      EXPECT_EQ(bar.GetPos(), before);
    }
    bar.SetPos(c.finalPos);

    // Without skin pictures: the thumb over the whole width (column 0 shows only
    // it), filled inside, and the track a line down the middle.
    CDib dib;
    ASSERT_TRUE(dib.CreateFilled(20, 120, kBackground));
    CTextRunList context(&dib, bounds);
    bar.Paint(&context);
    int first = -1, rows = 0;
    for (int y = 0; y < 120; ++y)
      if (PixelAt(dib, 0, y) == kRule) {
        if (first < 0) first = y;
        ++rows;
      }
    if (c.drawnLength == 0) {
      EXPECT_EQ(rows, 0);
      EXPECT_EQ(PixelAt(dib, 5, 5), kBackground);
      continue;
    }
    EXPECT_EQ(first, c.drawnTop);
    EXPECT_EQ(rows, c.drawnLength);
    EXPECT_EQ(PixelAt(dib, 4, c.drawnTop + c.drawnLength / 2), kThumbFill);
    EXPECT_EQ(PixelAt(dib, 9, c.drawnTop), kRule) << "the thumb's right edge";
    EXPECT_EQ(PixelAt(dib, 0, c.barHeight), kBackground) << "nothing below the bar";
    if (c.drawnTop > 1) {
      EXPECT_EQ(PixelAt(dib, 5, 1), kRule) << "the track above the thumb";
      EXPECT_EQ(PixelAt(dib, 4, 1), kBackground);
    }
  }
  SetScreenDpi(0, 0);
}

// Without the skin's seven parts the resource library's strip draws the bar: its
// up arrow's size gives the width and the arrow height, its header-button part the
// header's picture, and arrows and thumb caps come from it at the screen's dpi.
TEST(ScrollBarElem, TheResourceStripDrawsTheBarAtEachDpi) {
  struct Case {
    int dpi;
    int n;  // the strip's scale: 16 x 16 arrows at 96 dpi
  };
  const Case cases[] = {{96, 1}, {192, 2}};
  const COLORREF grey = RGB(128, 128, 128), blue = RGB(0, 0, 255), white = RGB(255, 255, 255);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    SetScreenDpi(c.dpi, c.dpi);
    CSkin::Instance().Release();
    skintest::ResourceLibrary resources;
    ASSERT_NE(resources.Module(), nullptr);
    CBarPalette palette;
    CStripArt art;
    const int n = c.n, part = 16 * n;

    CScrollBarElem bar(nullptr);
    ASSERT_EQ(bar.GetWidth(), part + ScaleX(2));
    EXPECT_EQ(bar.GetArrowHeight(), part);
    const SIZE header = CScrollBarElem::GetPartSize(CSkin::kPartHeaderButton);
    EXPECT_EQ(header.cx, part);
    EXPECT_EQ(header.cy, part);

    const int height = 200 * n;
    RECT bounds = {0, 0, bar.GetWidth(), height};
    bar.SetRect(&bounds);
    bar.SetRange(300 * n, 200 * n);
    CDib dib;
    ASSERT_TRUE(dib.CreateFilled(bounds.right, height, kBackground));
    CTextRunList context(&dib, bounds);
    bar.Paint(&context);

    const int left = ScaleX(1), top = ScaleY(1), bottom = height - ScaleY(1);
    const int mid = left + part / 2;
    // Up arrow: rounded corner, grey edge, white inside, blue triangle.
    EXPECT_EQ(PixelAt(dib, left, top), kBackground);
    EXPECT_EQ(PixelAt(dib, mid, top), grey);
    EXPECT_EQ(PixelAt(dib, left + 2 * n, top + 2 * n), white);
    EXPECT_EQ(PixelAt(dib, mid, top + 9 * n), blue);
    // Down arrow, ending at the bottom.
    EXPECT_EQ(PixelAt(dib, mid, bottom - 1), grey);
    EXPECT_EQ(PixelAt(dib, mid, bottom - part + 6 * n), blue);
    // The thumb starts below the up arrow: its top cap, a filled middle between two
    // rule edges, its bottom cap; the track line below it.
    const int thumbTop = top + part;
    const int thumbEnd = thumbTop + (200 * n) * bar.GetTrackLength() / (300 * n) + 1;
    EXPECT_EQ(PixelAt(dib, mid, thumbTop), grey);
    EXPECT_EQ(PixelAt(dib, left, thumbTop), kBackground);
    EXPECT_EQ(PixelAt(dib, mid, thumbTop + 4 * n + 1), kThumbFill);
    EXPECT_EQ(PixelAt(dib, left, thumbTop + 4 * n + 1), kRule);
    EXPECT_EQ(PixelAt(dib, left + part - 1, thumbTop + 4 * n + 1), kRule);
    EXPECT_EQ(PixelAt(dib, mid, thumbEnd - 4 * n), blue);
    EXPECT_EQ(PixelAt(dib, mid, thumbEnd - 1), grey);
    EXPECT_EQ(PixelAt(dib, mid, thumbEnd + 2), kRule);
    EXPECT_EQ(PixelAt(dib, mid - 2 * n, thumbEnd + 2), kBackground);
  }
  CSkin::Instance().Release();
  SetScreenDpi(0, 0);
}

TEST(ScrollPanel, ScrollRangeFollowsTheContent) {
  PanelHost p;
  EXPECT_TRUE(p.bar().IsNeeded());
  EXPECT_EQ(p.bar().GetRange(), 2000);
  EXPECT_EQ(p.bar().GetPage(), 200);
  EXPECT_GT(p.bar().GetBounds().right, p.bar().GetBounds().left);
  p.bar().ScrollToEnd();
  EXPECT_EQ(p.bar().GetPos(), 1800);
  EXPECT_TRUE(p.bar().IsAtEnd());

  // Content that shrank pulls the position back; content that fits hides the bar.
  p.panel.content = 500;
  p.panel.LayoutScrollBar();
  EXPECT_EQ(p.bar().GetPos(), 300);
  p.panel.content = 150;
  p.panel.Activate();
  EXPECT_TRUE(p.panel.IsCurrent());
  EXPECT_FALSE(p.bar().IsNeeded());
  EXPECT_EQ(p.bar().GetPos(), 0);
  EXPECT_EQ(p.bar().GetBounds().left, p.bar().GetBounds().right);
  EXPECT_TRUE(p.panel.Deactivate());
  EXPECT_FALSE(p.panel.IsCurrent());

  // An empty tab of no height.
  p.panel.content = 0;
  RECT none = {0, 0, 100, 0};
  p.panel.SetRect(&none);
  EXPECT_EQ(p.bar().GetRange(), 0);
  EXPECT_EQ(p.bar().GetPos(), 0);
  p.host.Send(WM_PAINT);
}

TEST(ScrollPanel, DraggingTheThumbScrollsAndClampsAtBothEnds) {
  PanelHost p;
  static int firstDrags = 0;
  firstDrags = 0;
  CScrollBarElem::SetFirstDragHook([] { ++firstDrags; });
  const int x = p.bar().GetBounds().left;
  const int thumbTop = p.bar().GetThumbTop();
  p.host.Tap(WM_LBUTTONDOWN, x, thumbTop + 4);
  EXPECT_TRUE(p.bar().IsDragging());
  EXPECT_EQ(p.host.root.GetCapturedElement(), p.panel.GetScrollBar());
  p.host.Tap(WM_MOUSEMOVE, x + 30, thumbTop + 4 + 50);
  const int travel = p.bar().GetTrackLength() - p.bar().GetThumbLength();
  EXPECT_EQ(p.bar().GetPos(), 50 * 1800 / travel);
  EXPECT_EQ(p.panel.reported.back(), p.bar().GetPos());
  p.host.Tap(WM_MOUSEMOVE, x, 5000);
  EXPECT_EQ(p.bar().GetPos(), 1800);
  p.host.Tap(WM_MOUSEMOVE, x, -5000);
  EXPECT_EQ(p.bar().GetPos(), 0);
  p.host.Tap(WM_LBUTTONUP, x, 0);
  EXPECT_FALSE(p.bar().IsDragging());
  EXPECT_EQ(p.host.root.GetCapturedElement(), nullptr);
  // The hook is told of the first drag of the run only.
  p.host.Tap(WM_LBUTTONDOWN, x, p.bar().GetThumbTop());
  p.host.Tap(WM_MOUSEMOVE, x, p.bar().GetThumbTop() + 20);
  p.host.Tap(WM_LBUTTONUP, x, 0);
  EXPECT_EQ(firstDrags, 1);
  CScrollBarElem::SetFirstDragHook(nullptr);
}

TEST(ScrollPanel, PressesOnTheTrackPageAndRepeatUntilAnEnd) {
  PanelHost p;
  const int x = p.bar().GetBounds().left;
  // Below the thumb: a page down, repeated by the timer until the end.
  p.host.Tap(WM_LBUTTONDOWN, x, 150);
  EXPECT_EQ(p.bar().GetPos(), 200);
  EXPECT_EQ(p.bar().GetRepeatStep(), 200);
  for (int i = 0; i < 20 && p.bar().GetRepeatStep() != 0; ++i) p.bar().OnTimer();
  EXPECT_EQ(p.bar().GetPos(), 1800);
  EXPECT_EQ(p.bar().GetRepeatStep(), 0);
  p.host.Tap(WM_LBUTTONUP, x, 150);
  EXPECT_EQ(p.host.root.GetCapturedElement(), nullptr);

  // At the top edge: a line up, which stops at the release.
  p.host.Tap(WM_LBUTTONDOWN, x, 1);
  EXPECT_EQ(p.bar().GetPos(), 1800 - 14);
  p.bar().OnTimer();
  EXPECT_EQ(p.bar().GetPos(), 1800 - 28);
  p.host.Tap(WM_LBUTTONUP, x, 1);
  EXPECT_EQ(p.bar().GetRepeatStep(), 0);
}

TEST(ScrollPanel, ADoubleTapOnAnArrowGoesToThatEndWhenTheSettingsAllowIt) {
  PanelHost p;
  const RECT bar = p.bar().GetBounds();
  const int saved = GetViewSettings().EnableDoubleTapOnScrollButton;
  // Without skin arrows the bottom arrow is the line past the track; it is asked
  // of the bar itself.
  struct Case {
    int enabled, y, to;
    BOOL handled;
  };
  const Case cases[] = {{1, bar.top, 0, TRUE}, {1, bar.bottom, 1800, TRUE}, {1, 100, 900, FALSE},
                        {0, bar.top, 900, FALSE}, {0, bar.bottom, 900, FALSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    GetViewSettings().EnableDoubleTapOnScrollButton = c.enabled;
    p.bar().SetPos(900);
    POINT at = {bar.left, c.y};
    EXPECT_EQ(p.bar().OnLButtonDblClk(&at), c.handled);
    EXPECT_EQ(p.bar().GetPos(), c.to);
  }
  // Through the host too.
  GetViewSettings().EnableDoubleTapOnScrollButton = 1;
  p.bar().SetPos(900);
  p.host.Tap(WM_LBUTTONDBLCLK, bar.left, bar.top);
  p.host.Tap(WM_LBUTTONUP, bar.left, bar.top);
  EXPECT_EQ(p.bar().GetPos(), 0);
  GetViewSettings().EnableDoubleTapOnScrollButton = saved;
}

TEST(ScrollPanel, AMovedPanelTakesItsBarAlong) {
  PanelHost p;
  RECT moved = {10, 20, 110, 220};
  p.panel.SetRect(&moved);
  EXPECT_EQ(p.bar().GetBounds().right, 110);
  EXPECT_EQ(p.bar().GetBounds().top, 20);
}

// What a list does when a key moves its selection: the selected row is scrolled
// into view, no further than needed.
TEST(ScrollPanel, ScrollingToASelectedRowKeepsItVisible) {
  PanelHost p;
  struct Case {
    const char* name;
    int from, top, bottom, to;
  };
  const Case cases[] = {
      {"row already visible", 100, 150, 170, 100},
      {"row below the page: its bottom at the page's end", 0, 300, 320, 120},
      {"row above the page: its top at the page's top", 500, 420, 440, 420},
      {"row higher than the page: its top wins", 0, 600, 1000, 600},
      {"row past the content: clamped at the end", 0, 1990, 2100, 1800},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.bar().SetPos(c.from);
    p.bar().ScrollIntoView(c.top, c.bottom);
    EXPECT_EQ(p.bar().GetPos(), c.to);
  }
  // Keys page and step as the bar does.
  p.bar().SetPos(0);
  p.bar().PageDown();
  p.bar().LineDown();
  EXPECT_EQ(p.bar().GetPos(), 214);
  p.bar().LineUp();
  p.bar().PageUp();
  EXPECT_EQ(p.bar().GetPos(), 0);
}

std::wstring g_launched;
BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  g_launched = info->lpFile ? info->lpFile : L"";
  return TRUE;
}

TEST(ScrollPanel, TheContextMenuCommandReachesThePanelThroughTheMenuSeam) {
  PanelHost p;
  CMenuAnswer answer;
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(&RecordLaunch);
  struct Case {
    int reply;
    bool settingsStarted;
  };
  const Case cases[] = {{ID_OPEN_SETTINGS, true}, {4242, false}, {0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    g_launched.clear();
    p.panel.commands.clear();
    answer.answer = c.reply;
    POINT at = {10, 10};
    EXPECT_EQ(p.panel.TrackMenu(0, &at), 0);
    EXPECT_EQ(answer.items.size(), 2u);
    EXPECT_EQ(answer.items.empty() ? 0 : answer.items[0].id, ID_OPEN_SETTINGS);
    EXPECT_TRUE(answer.flags & TPM_RETURNCMD);
    EXPECT_EQ(answer.owner, p.host.m_hWnd);
    if (c.reply)
      EXPECT_EQ(p.panel.commands, std::vector<int>{c.reply});
    else
      EXPECT_TRUE(p.panel.commands.empty());
    EXPECT_EQ(g_launched.find(L"TarvoSettings.exe") != std::wstring::npos, c.settingsStarted);
  }
  SetProgramLauncher(previous);
}

TEST(OpenSettingsPanel, ItsButtonStartsTheOptionsProgram) {
  SetScreenDpi(96, 96);
  CTestHost host(120, 120);
  COpenSettingsPanel panel;
  host.root.AddChild(&panel);
  RECT all = {0, 0, 120, 120};
  panel.SetRect(&all);
  EXPECT_EQ(panel.GetTabIconId(1), 124u);
  EXPECT_EQ(panel.GetTabIconId(0), 125u);
  const RECT& button = panel.GetButton().GetBounds();
  EXPECT_EQ(button.left, 2);
  EXPECT_EQ(button.top, panel.GetHeaderHeight());
  EXPECT_EQ(button.right - button.left, 100);
  EXPECT_EQ(button.bottom - button.top, 20);
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(&RecordLaunch);
  g_launched.clear();
  host.Tap(WM_LBUTTONDOWN, button.left + 5, button.top + 5);
  host.Tap(WM_LBUTTONUP, button.left + 5, button.top + 5);
  EXPECT_NE(g_launched.find(L"TarvoSettings.exe"), std::wstring::npos);
  SetProgramLauncher(previous);
  // Icons that are not there stay 0 and are asked for again.
  EXPECT_EQ(panel.GetIcon16(0), nullptr);
  panel.FreeIcons();
  SetScreenDpi(0, 0);
}

}  // namespace
