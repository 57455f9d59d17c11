// The colour grid's loop: what ends it, what it swallows, a quit passed on, and the
// colour button around it (placement of the grid, the chosen colour told to the
// parent).
#include "settings/pages/PopupTracker.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/pages/ColorButton.h"

namespace {

// Button presses seen by the windows of the test.
int g_downs = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) ++g_downs;
  return DefWindowProcW(window, message, wParam, lParam);
}

class PopupTrackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = L"PopupTrackerTestWindow";
    RegisterClassW(&wc);
    m_other = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    m_popup = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 60, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    g_downs = 0;
  }
  void TearDown() override {
    DestroyWindow(m_popup);
    DestroyWindow(m_other);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND m_other = nullptr;
  HWND m_popup = nullptr;
};

TEST_F(PopupTrackerTest, WhatEndsTheLoopAndItsResult) {
  struct Case {
    const char* what;
    bool toPopup;
    UINT message;
    WPARAM wParam;
    int result;
  };
  const Case cases[] = {
      {"Enter on the grid chooses", true, WM_KEYDOWN, VK_RETURN, 1},
      {"Escape on the grid closes", true, WM_KEYDOWN, VK_ESCAPE, 0},
      {"a release elsewhere closes", false, WM_LBUTTONUP, 0, 0},
      {"Cancel elsewhere closes", false, WM_COMMAND, IDCANCEL, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PostMessageW(c.toPopup ? m_popup : m_other, c.message, c.wParam, 0);
    CPopupTracker tracker;
    EXPECT_EQ(tracker.Track(m_popup), c.result);
    EXPECT_FALSE(IsWindowVisible(m_popup)) << "hidden at the end";
  }
}

TEST_F(PopupTrackerTest, ATapOutsideIsSwallowedAndOkElsewhereIsPassedOn) {
  PostMessageW(m_other, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageW(m_other, WM_COMMAND, IDOK, 0);
  CPopupTracker tracker;
  EXPECT_EQ(tracker.Track(m_popup), 0);
  EXPECT_EQ(g_downs, 0) << "the tap that closed the grid reaches no window";
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, m_other, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << "OK still reaches its window";
  EXPECT_EQ(LOWORD(msg.wParam), IDOK);
}

TEST_F(PopupTrackerTest, AQuitWhileOpenEndsTheLoopAndIsPostedAgain) {
  PostQuitMessage(7);
  CPopupTracker tracker;
  EXPECT_EQ(tracker.Track(m_popup), 0);
  EXPECT_FALSE(IsWindowVisible(m_popup));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program's loop must still see it";
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(ColorButtonPlacement, BelowOrAboveLeftOrRightAligned) {
  const SIZE grid = {100, 60};
  const SIZE screen = {240, 320};
  struct Case {
    RECT button;
    POINT at;
  };
  const Case cases[] = {
      {{10, 20, 60, 40}, {10, 39}},     // room below and to the right
      {{10, 280, 60, 300}, {10, 220}},  // near the bottom: above the button
      {{180, 20, 230, 40}, {130, 39}},  // near the right edge: right-aligned
      {{180, 280, 230, 300}, {130, 220}},
  };
  for (const Case& c : cases) {
    const POINT at = CColorButton::PlaceGrid(c.button, grid, screen);
    EXPECT_EQ(at.x, c.at.x) << c.button.left << "," << c.button.top;
    EXPECT_EQ(at.y, c.at.y) << c.button.left << "," << c.button.top;
  }
}

TEST_F(PopupTrackerTest, TheChosenColourBecomesTheButtonsAndItsParentIsTold) {
  HWND parent = CreateWindowExW(0, L"PopupTrackerTestWindow", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                nullptr, nullptr);
  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 10, 10, 60, 20, parent,
                                reinterpret_cast<HMENU>(1011), nullptr, nullptr);
  {
    CColorButton colors;
    ASSERT_TRUE(colors.Attach(button));
    colors.SetColor(kNoColor);
    // Move the grid's selection one cell on and choose it.
    PostMessageW(colors.GetGrid().m_hWnd, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(colors.GetGrid().m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
    colors.OnClick();
    EXPECT_NE(colors.GetColor(), kNoColor);
    EXPECT_EQ(colors.GetColor(), colors.GetGrid().GetSelectedValue());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), 1011);
    EXPECT_EQ(HIWORD(msg.wParam), CColorButton::kColorChosen);

    // Escape: nothing chosen, nothing told.
    const COLORREF before = colors.GetColor();
    PostMessageW(colors.GetGrid().m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    colors.OnClick();
    EXPECT_EQ(colors.GetColor(), before);
    EXPECT_FALSE(PeekMessageW(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  }
  DestroyWindow(parent);
}

}  // namespace
