#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/tests/HostWindow.h"

#include <gtest/gtest.h>

namespace {

using aygtest::HostWindow;

class Gesture : public ::testing::Test {
 protected:
  void TearDown() override { AygTestSetGestureMode(AYG_GESTURE_REAL); }
  HostWindow parent{{0, 0, 240, 320}};
  HostWindow client{{10, 20, 110, 120}, WS_CHILD | WS_VISIBLE, parent.hwnd()};

  DWORD Recognize(DWORD flags) {
    SHRGINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndClient = client.hwnd();
    info.ptDown = {5, 6};
    info.dwFlags = flags;
    return SHRecognizeGesture(&info);
  }
};

// With the result asked for, a hold answers the context-menu gesture and a tap 0.
TEST_F(Gesture, ReturnsContextMenuForHoldAndZeroForTap) {
  struct Case {
    DWORD mode;
    DWORD flags;
    DWORD expected;
  };
  const Case cases[] = {
      {AYG_GESTURE_HOLD, SHRG_RETURNCMD, GN_CONTEXTMENU},
      {AYG_GESTURE_HOLD, SHRG_RETURNCMD | SHRG_NOANIMATION, GN_CONTEXTMENU},
      {AYG_GESTURE_TAP, SHRG_RETURNCMD, 0},
      {AYG_GESTURE_TAP, SHRG_NOTIFYPARENT, 0},
  };
  for (const Case& c : cases) {
    AygTestSetGestureMode(c.mode);
    EXPECT_EQ(Recognize(c.flags), c.expected) << c.mode << "/" << c.flags;
  }
  EXPECT_TRUE(parent.notes.empty());
}

// In notify mode the parent gets WM_NOTIFY GN_CONTEXTMENU from the client, with the press
// point on the screen, and its answer is the result.
TEST_F(Gesture, NotifiesParentOrClient) {
  AygTestSetGestureMode(AYG_GESTURE_HOLD);
  parent.notifyAnswer = 7;
  EXPECT_EQ(Recognize(SHRG_NOTIFYPARENT), 7u);
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, GN_CONTEXTMENU);
  EXPECT_EQ(parent.notes[0].hwndFrom, client.hwnd());
  POINT expected = {5, 6};
  ClientToScreen(client.hwnd(), &expected);
  EXPECT_EQ(parent.notePoints[0].x, expected.x);
  EXPECT_EQ(parent.notePoints[0].y, expected.y);

  client.notifyAnswer = 3;
  EXPECT_EQ(Recognize(0), 3u);
  EXPECT_EQ(client.notes.size(), 1u);
  EXPECT_EQ(parent.notes.size(), 1u);
}

// Watching the real stylus: a stylus that is not down is a tap, answered at once.
TEST_F(Gesture, RealStylusNotDownIsATap) {
  AygTestSetGestureMode(AYG_GESTURE_REAL);
  EXPECT_EQ(Recognize(SHRG_RETURNCMD), 0u);
}

TEST_F(Gesture, RefusesWrongRecord) {
  AygTestSetGestureMode(AYG_GESTURE_HOLD);
  SHRGINFO info = {};
  info.cbSize = 20;  // the device's 32-bit record
  info.hwndClient = client.hwnd();
  info.dwFlags = SHRG_RETURNCMD;
  EXPECT_EQ(SHRecognizeGesture(&info), 0u);
  info.cbSize = sizeof(info);
  info.hwndClient = nullptr;
  EXPECT_EQ(SHRecognizeGesture(&info), 0u);
  EXPECT_EQ(SHRecognizeGesture(nullptr), 0u);
}

}  // namespace
