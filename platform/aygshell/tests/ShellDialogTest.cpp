#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/tests/HostWindow.h"

#include <gtest/gtest.h>

namespace {

using aygtest::HostWindow;

RECT WorkArea() {
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

RECT WindowRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

bool InitDialog(HWND dialog, DWORD flags) {
  SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, flags};
  return SHInitDialog(&info) != FALSE;
}

// On the device, a full-screen dialog (flags 13: Done button, full screen, input panel
// down) takes the work area, which ends where its menu bar begins, whichever of the two
// comes first, and shows no caption of its own.
TEST(ShellDialog, FullScreenDialogAndItsMenuBarShareTheWorkArea) {
  const RECT work = WorkArea();
  for (bool barFirst : {true, false}) {
    HostWindow dialog({30, 40, 130, 140}, WS_POPUP | WS_CAPTION | WS_VISIBLE);
    HWND bar = nullptr;
    if (barFirst) bar = aygtest::MakePlainMenuBar(dialog.hwnd());
    ASSERT_TRUE(InitDialog(dialog.hwnd(), SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN));
    if (!barFirst) bar = aygtest::MakePlainMenuBar(dialog.hwnd());
    ASSERT_NE(bar, nullptr);

    const RECT d = WindowRect(dialog.hwnd()), b = WindowRect(bar);
    EXPECT_EQ(d.left, work.left) << barFirst;
    EXPECT_EQ(d.top, work.top) << barFirst;
    EXPECT_EQ(d.right, work.right) << barFirst;
    EXPECT_EQ(d.bottom, work.bottom) << barFirst;
    EXPECT_EQ(b.top, work.bottom) << barFirst;
    EXPECT_EQ(b.bottom, GetSystemMetrics(SM_CYSCREEN)) << barFirst;
    EXPECT_EQ(b.left, work.left) << barFirst;
    EXPECT_EQ(b.right, work.right) << barFirst;

    // No caption: the client area is the whole dialog.
    RECT client = {};
    GetClientRect(dialog.hwnd(), &client);
    EXPECT_EQ(client.right, d.right - d.left) << barFirst;
    EXPECT_EQ(client.bottom, d.bottom - d.top) << barFirst;
  }
}

// A dialog that only fits above the input panel (flag 2) ends where the raised panel begins.
TEST(ShellDialog, SizedDialogEndsAboveRaisedInputPanel) {
  AygTestShowInputPanel(TRUE);
  HostWindow dialog({30, 40, 130, 140});
  ASSERT_TRUE(InitDialog(dialog.hwnd(), SHIDIF_SIZEDLG));
  SIPINFO sip = {};
  sip.cbSize = sizeof(sip);
  ASSERT_TRUE(SipGetInfo(&sip));
  EXPECT_EQ(WindowRect(dialog.hwnd()).bottom, sip.rcSipRect.top);
  AygTestShowInputPanel(FALSE);
}

// Flag 8 lowers the input panel; property pages (child dialogs) keep their place.
TEST(ShellDialog, InputPanelDownAndChildPagesLeftInPlace) {
  AygTestShowInputPanel(TRUE);
  HostWindow sheet({0, 0, 240, 320});
  HostWindow page({5, 30, 200, 250}, WS_CHILD | WS_VISIBLE, sheet.hwnd());
  const RECT before = WindowRect(page.hwnd());
  ASSERT_TRUE(InitDialog(page.hwnd(), SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN));
  const RECT after = WindowRect(page.hwnd());
  EXPECT_TRUE(EqualRect(&before, &after));

  SIPINFO sip = {};
  sip.cbSize = sizeof(sip);
  ASSERT_TRUE(SipGetInfo(&sip));
  EXPECT_EQ(sip.fdwFlags & SIPF_ON, 0u);
}

TEST(ShellDialog, WithoutTheFlagsMaskNothingChanges) {
  HostWindow dialog({30, 40, 130, 140});
  SHINITDLGINFO info = {0, dialog.hwnd(), SHIDIF_SIZEDLGFULLSCREEN};
  EXPECT_TRUE(SHInitDialog(&info));
  const RECT r = WindowRect(dialog.hwnd());
  EXPECT_EQ(r.right - r.left, 100);

  SHINITDLGINFO none = {SHIDIM_FLAGS, nullptr, SHIDIF_SIZEDLGFULLSCREEN};
  EXPECT_FALSE(SHInitDialog(&none));
  EXPECT_FALSE(SHInitDialog(nullptr));
}

// The title bar's OK button knows three states: show, hide, show as cancel.
TEST(ShellDialog, DoneButtonStates) {
  HostWindow dialog;
  struct Case {
    DWORD state;
    BOOL result;
  };
  const Case cases[] = {{SHDB_SHOW, TRUE}, {SHDB_HIDE, TRUE}, {SHDB_SHOWCANCEL, TRUE}, {0, FALSE}, {7, FALSE}};
  for (const Case& c : cases) EXPECT_EQ(SHDoneButton(dialog.hwnd(), c.state), c.result) << c.state;
  EXPECT_FALSE(SHDoneButton(nullptr, SHDB_SHOW));
}

}  // namespace
