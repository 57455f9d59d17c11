#include "controls/ChooserFrame.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

#include "base/ScreenDpi.h"
#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/aygshell.h"

namespace {

const int kListId = 77;

// A bare dialog stand-in: a popup whose client is its window, with one list 20
// pixels below its top.
struct Chooser {
  Chooser() {
    dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 300, nullptr, nullptr, nullptr, nullptr);
    list = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 20, 100, 100, dialog, reinterpret_cast<HMENU>(kListId),
                           nullptr, nullptr);
  }
  ~Chooser() { DestroyWindow(dialog); }
  SIZE ListSize() const {
    RECT r{};
    GetWindowRect(list, &r);
    return {r.right - r.left, r.bottom - r.top};
  }
  HWND dialog;
  HWND list;
};

TEST(ChooserFrame, TheListFillsTheDialogAndStaysAboveTheInputPanel) {
  struct Case {
    BOOL fitWidth;
    BOOL fromCorner;
  };
  const Case cases[] = {{TRUE, FALSE}, {FALSE, TRUE}, {TRUE, TRUE}, {FALSE, FALSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "fit width " << c.fitWidth << ", from corner " << c.fromCorner);
    Chooser chooser;
    ASSERT_TRUE(chooser.list);
    CChooserFrame frame(kListId, c.fitWidth, c.fromCorner);
    const int top = c.fromCorner ? 20 : 0;
    LRESULT result = 7;
    EXPECT_TRUE(frame.ProcessWindowMessage(chooser.dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 250), result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(chooser.ListSize().cx, 200);
    EXPECT_EQ(chooser.ListSize().cy, 250 - top - ScaleY(8));
    // A minimised dialog leaves the list as it was.
    EXPECT_TRUE(frame.ProcessWindowMessage(chooser.dialog, WM_SIZE, SIZE_MINIMIZED, 0, result));
    EXPECT_EQ(chooser.ListSize().cx, 200);
    // So tall a list does not fit: none of it is left, never less.
    frame.FitList(chooser.dialog, 200, 4);
    EXPECT_EQ(chooser.ListSize().cy, 0);

    // The input panel comes up: the list ends above it.
    AygTestShowInputPanel(TRUE);
    SIPINFO sip = {};
    sip.cbSize = sizeof(sip);
    ASSERT_TRUE(SipGetInfo(&sip));
    const int visibleWidth = sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left;
    const int visibleHeight = sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top;
    EXPECT_TRUE(frame.ProcessWindowMessage(chooser.dialog, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0, result));
    EXPECT_EQ(chooser.ListSize().cx, c.fitWidth ? std::min(240, visibleWidth) : 240);
    EXPECT_EQ(chooser.ListSize().cy, std::max(0, std::min(300, visibleHeight) - top - ScaleY(8)));
    AygTestShowInputPanel(FALSE);
    // Other settings are the dialog's own.
    EXPECT_FALSE(frame.ProcessWindowMessage(chooser.dialog, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, result));
  }
}

TEST(ChooserFrame, AnswersOnlyTheShellsQuery) {
  Chooser chooser;
  CChooserFrame frame(kListId, TRUE, FALSE);
  NMHDR header = {chooser.list, kListId, static_cast<UINT>(kChooserQueryNotification)};
  LRESULT result = 0;
  const LPARAM notification = reinterpret_cast<LPARAM>(&header);
  EXPECT_TRUE(frame.ProcessWindowMessage(chooser.dialog, WM_NOTIFY, kListId, notification, result));
  EXPECT_EQ(result, 1);
  header.code = static_cast<UINT>(NM_CLICK);
  EXPECT_FALSE(frame.ProcessWindowMessage(chooser.dialog, WM_NOTIFY, kListId, notification, result));
  EXPECT_FALSE(frame.ProcessWindowMessage(chooser.dialog, WM_NOTIFY, kListId, 0, result));
  EXPECT_FALSE(frame.ProcessWindowMessage(chooser.dialog, WM_COMMAND, IDOK, 0, result));
}

}  // namespace
