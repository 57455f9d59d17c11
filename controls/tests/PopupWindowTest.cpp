#include "controls/PopupWindow.h"

#include <gtest/gtest.h>

#include "base/ScreenDpi.h"
#include "controls/tests/TestHost.h"

namespace {

using ctltest::CRecordingElement;
using ctltest::PumpPending;
using ctltest::PumpUntil;

// The owner window: counts the closed messages and hosts the owner control.
class COwnerHost : public CWindowImpl<COwnerHost> {
 public:
  DECLARE_WND_CLASS_EX(L"ControlsTestPopupOwner", 0, -1)
  COwnerHost() : control(nullptr, "owner") {
    RECT at = {0, 0, 200, 200};
    Create(nullptr, &at, L"", WS_POPUP);
    root.AddChild(&control);
  }
  ~COwnerHost() override {
    if (m_hWnd) DestroyWindow();
  }
  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId) override {
    if (message == GetPopupClosedMessageId()) {
      closed.push_back({wParam, lParam});
      return TRUE;
    }
    return root.ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId);
  }
  CVirtualRoot root;
  CRecordingElement control;
  std::vector<std::pair<WPARAM, LPARAM>> closed;
};

class CTestPopup : public CPopupWindow {
 public:
  DECLARE_POPUP_CLASS(L"ControlsTestPopup")
  BOOL OnCommand(UINT command) override {
    commands.push_back(command);
    return command == 7;
  }
  void OnPopupDestroy() override { ++destroyed; }
  void PaintContent(CTextRunList*) override { ++contentPaints; }
  BOOL OnLButtonDown(POINT* point) override { return point->y > 60 && takePresses; }
  std::vector<UINT> commands;
  int destroyed = 0;
  int contentPaints = 0;
  BOOL takePresses = FALSE;
};

struct PopupFixture : ::testing::Test {
  void SetUp() override {
    SetScreenDpi(96, 96);
    popup.SetOwnerControl(&owner.control);
  }
  void TearDown() override {
    popup.SetOwnerControl(nullptr);
    SetScreenDpi(0, 0);
  }
  BOOL Open(BOOL show = FALSE) {
    RECT at = {10, 10, 130, 110};
    const BOOL made = popup.Create(owner.m_hWnd, &at, L"A popup title", show);
    PumpPending();
    return made;
  }
  void Click(int x, int y) {
    ::SendMessageW(popup.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
    ::SendMessageW(popup.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  void Key(UINT message, WPARAM key) { ::SendMessageW(popup.m_hWnd, message, key, 0); }
  bool WaitClosed() {
    return PumpUntil([&] { return popup.IsClosed() && !owner.control.virtualCodes.empty(); });
  }
  COwnerHost owner;
  CTestPopup popup;
};

TEST_F(PopupFixture, TheCloseButtonClosesAndTellsBothOwnersOnce) {
  ASSERT_TRUE(Open());
  EXPECT_TRUE(popup.IsCreated());
  EXPECT_TRUE(popup.GetCloseButton()->IsFocused());
  const RECT close = popup.GetCloseButton()->GetBounds();
  EXPECT_EQ(close.right - close.left, 20);
  EXPECT_EQ(close.bottom - close.top, 22);
  Click((close.left + close.right) / 2, 10);
  ASSERT_TRUE(WaitClosed());
  PumpPending();
  EXPECT_FALSE(popup.IsCreated());
  EXPECT_EQ(popup.m_hWnd, nullptr);
  ASSERT_EQ(owner.closed.size(), 1u);
  EXPECT_EQ(owner.closed[0], std::make_pair(WPARAM(0), LPARAM(0)));
  EXPECT_EQ(owner.control.virtualCodes, std::vector<LPARAM>{POPUP_CLOSED_CODE});
  EXPECT_EQ(popup.destroyed, 1);
  // Closed, it can be opened again.
  EXPECT_TRUE(Open());
}

TEST_F(PopupFixture, TheCloseKeyDownAndUpClosesOnce) {
  ASSERT_TRUE(Open());
  Key(WM_KEYDOWN, VK_CLOSE_KEY);
  Key(WM_KEYUP, VK_CLOSE_KEY);
  ASSERT_TRUE(WaitClosed());
  PumpPending();
  EXPECT_EQ(owner.closed.size(), 1u);
  EXPECT_EQ(owner.control.virtualCodes, std::vector<LPARAM>{POPUP_CLOSED_CODE});
}

// Closing by deactivation or a cancelled mode says nothing to the owner window;
// the owner control still hears of it.
TEST_F(PopupFixture, DeactivationAndCancelModeCloseWithoutTheOwnerMessage) {
  const UINT messages[] = {WM_CANCELMODE, WM_ACTIVATE};
  for (UINT message : messages) {
    SCOPED_TRACE(message);
    owner.control.virtualCodes.clear();
    popup.SetOwnerControl(&owner.control);
    ASSERT_TRUE(Open());
    ::SendMessageW(popup.m_hWnd, message, message == WM_ACTIVATE ? WA_INACTIVE : 0, 0);
    ASSERT_TRUE(WaitClosed());
    PumpPending();
    EXPECT_TRUE(owner.closed.empty());
    EXPECT_EQ(owner.control.virtualCodes, std::vector<LPARAM>{POPUP_CLOSED_CODE});
  }
}

TEST_F(PopupFixture, ActivatingAnotherWindowClosesTheShownPopup) {
  ASSERT_TRUE(Open(TRUE));
  ASSERT_EQ(GetActiveWindow(), popup.m_hWnd);
  ::ShowWindow(owner.m_hWnd, SW_SHOW);
  SetActiveWindow(owner.m_hWnd);
  ASSERT_TRUE(WaitClosed());
  PumpPending();
  EXPECT_TRUE(owner.closed.empty());
  EXPECT_EQ(owner.control.virtualCodes, std::vector<LPARAM>{POPUP_CLOSED_CODE});
}

TEST_F(PopupFixture, ASecondCreateFailsAndChangesNothing) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(popup.AddToolButton(0, 0, 7, -1));
  HWND first = popup.m_hWnd;
  CVirtualButton* tool = popup.GetToolButton(0);
  RECT elsewhere = {50, 50, 90, 90};
  EXPECT_FALSE(popup.Create(owner.m_hWnd, &elsewhere, L"Again", TRUE));
  EXPECT_EQ(popup.m_hWnd, first);
  ASSERT_EQ(popup.GetToolButtonCount(), 1);
  EXPECT_EQ(popup.GetToolButton(0), tool);
  EXPECT_EQ(tool->GetParent(), &popup.GetRoot());
  EXPECT_FALSE(IsWindowVisible(first));
  // The window still paints its title band, its content and the content controls.
  CRecordingElement content(nullptr, "content", {20, 60, 40, 80});
  content.fill = RGB(0, 128, 255);
  popup.GetRoot().AddChild(&content);
  ::ShowWindow(first, SW_SHOWNA);
  popup.contentPaints = 0;
  ::InvalidateRect(first, nullptr, FALSE);
  ::SendMessageW(first, WM_PAINT, 0, 0);
  EXPECT_EQ(popup.contentPaints, 1);
  HDC picture = popup.GetPicture().GetDC();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(GetPixel(picture, 1, 1), GetSysColor(COLOR_ACTIVECAPTION)) << "the title band";
  EXPECT_EQ(GetPixel(picture, 10, 90), GetSysColor(COLOR_WINDOW)) << "the content's background";
  EXPECT_EQ(GetPixel(picture, 30, 70), RGB(0, 128, 255)) << "a content control";
  popup.GetRoot().RemoveChild(&content);
}

TEST_F(PopupFixture, ToolButtonsLineUpAndLeftRightWalkTheFocusRing) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(popup.AddToolButton(0, 0, 7, -1));
  ASSERT_TRUE(popup.AddToolButton(0, 0, 8, -1));
  const RECT close = popup.GetCloseButton()->GetBounds();
  const RECT first = popup.GetToolButton(0)->GetBounds();
  const RECT second = popup.GetToolButton(1)->GetBounds();
  EXPECT_EQ(first.right - first.left, 18);
  EXPECT_EQ(first.left, close.left - 18);
  EXPECT_EQ(second.left, close.left - 36);

  const struct {
    WPARAM key;
    int focus;
  } steps[] = {{VK_LEFT, 0}, {VK_LEFT, 1}, {VK_LEFT, -1}, {VK_RIGHT, 1}, {VK_RIGHT, 0}, {VK_RIGHT, -1}};
  for (const auto& step : steps) {
    Key(WM_KEYDOWN, step.key);
    Key(WM_KEYUP, step.key);
    EXPECT_EQ(popup.GetFocusIndex(), step.focus);
    CVirtualButton* focused = step.focus < 0 ? popup.GetCloseButton() : popup.GetToolButton(step.focus);
    EXPECT_TRUE(focused->IsFocused());
    EXPECT_EQ(popup.GetRoot().GetFocusedElement(), focused);
  }

  // Command 7 is the kind's own; 8 goes on to the owner control.
  Click((first.left + first.right) / 2, 10);
  Click((second.left + second.right) / 2, 10);
  PumpPending();
  EXPECT_EQ(popup.commands, (std::vector<UINT>{7, 8}));
  EXPECT_EQ(owner.control.virtualCodes, std::vector<LPARAM>{8});
  EXPECT_TRUE(popup.IsCreated());
}

TEST_F(PopupFixture, DraggingTheTitleMovesTheWindowButNotAboveTheDesktop) {
  ASSERT_TRUE(Open());
  RECT before;
  ::GetWindowRect(popup.m_hWnd, &before);
  ::SendMessageW(popup.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(20, 10));
  EXPECT_TRUE(popup.IsDragging());
  ::SendMessageW(popup.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 30));
  ::SendMessageW(popup.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(50, 40));
  EXPECT_FALSE(popup.IsDragging());
  RECT after;
  ::GetWindowRect(popup.m_hWnd, &after);
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 30);
  EXPECT_EQ(after.right - after.left, before.right - before.left);

  ::SendMessageW(popup.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(20, 10));
  ::SendMessageW(popup.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(20, static_cast<WORD>(-500)));
  ::GetWindowRect(popup.m_hWnd, &after);
  RECT desktop;
  ::GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(after.top, desktop.top);

  // A press below the title moves nothing; one the kind takes is not the template's.
  ::SendMessageW(popup.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(20, 50));
  EXPECT_FALSE(popup.IsDragging());
  ::SendMessageW(popup.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 50));
}

TEST_F(PopupFixture, ARepaintInsideTheTitleLeavesTheContentAlone) {
  // Only a visible window has anything to repaint.
  ASSERT_TRUE(Open(TRUE));
  popup.contentPaints = 0;
  RECT title = {2, 2, 40, 15};
  ::InvalidateRect(popup.m_hWnd, &title, FALSE);
  ::SendMessageW(popup.m_hWnd, WM_PAINT, 0, 0);
  EXPECT_EQ(popup.contentPaints, 0);
  ::InvalidateRect(popup.m_hWnd, nullptr, FALSE);
  ::SendMessageW(popup.m_hWnd, WM_PAINT, 0, 0);
  EXPECT_EQ(popup.contentPaints, 1);
}

TEST(PopupWindow, RectanglesAreFittedToTheWorkAreaButNeverMovedRight) {
  SetScreenDpi(96, 96);
  RECT desktop;
  ::GetWindowRect(GetDesktopWindow(), &desktop);
  const int bottom = desktop.bottom - 26, right = desktop.right;
  struct Case {
    const char* name;
    RECT in, out;
  };
  const Case cases[] = {
      {"inside stays", {10, 10, 60, 60}, {10, 10, 60, 60}},
      {"off the bottom moves up", {10, bottom - 20, 60, bottom + 30}, {10, bottom - 50, 60, bottom}},
      {"off the right moves left", {right - 20, 10, right + 30, 60}, {right - 50, 10, right, 60}},
      {"above the top moves down", {10, -30, 60, 20}, {10, 0, 60, 50}},
      {"off the left stays", {-30, 10, 20, 60}, {-30, 10, 20, 60}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RECT r = c.in;
    CPopupWindow::FitToWorkArea(&r);
    EXPECT_TRUE(EqualRect(&r, &c.out));
  }
  SetScreenDpi(0, 0);
}

TEST(PopupWindow, TheDragFrameErasesTheOldFrameAndDrawsTheNewOneInOneCall) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, 40, 40};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RECT first = {5, 5, 20, 20}, second = {10, 10, 30, 30};
  DrawDragFrame(dc, &first, 1, 1, nullptr, 0, 0, white, white);
  EXPECT_EQ(GetPixel(dc, 5, 5) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(GetPixel(dc, 7, 7) & 0xFFFFFF, 0u);
  DrawDragFrame(dc, &second, 1, 1, &first, 1, 1, white, white);
  EXPECT_EQ(GetPixel(dc, 5, 5) & 0xFFFFFF, 0u);
  EXPECT_EQ(GetPixel(dc, 10, 10) & 0xFFFFFF, 0xFFFFFFu);
  // Where the frames cross, the pixel is on the new frame and stays drawn.
  EXPECT_EQ(GetPixel(dc, 19, 10) & 0xFFFFFF, 0xFFFFFFu);
  DrawDragFrame(dc, nullptr, 0, 0, &second, 1, 1, white, white);
  EXPECT_EQ(GetPixel(dc, 10, 10) & 0xFFFFFF, 0u);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace
