// The shell's menu bar, input panel and full-screen dialogs stand on the device's
// screen at its dpi, portrait or landscape.
#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/tests/HostWindow.h"
#include "platform/coredll/DeviceSwitch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using aygtest::HostWindow;

std::string Text(const RECT& r) {
  return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "}";
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

// Task bar and menu bar 26 pixels at 96 dpi, the input panel 80; twice that at 192.
struct DeviceCase {
  const wchar_t* screen;
  const wchar_t* dpi;
  RECT bar, dialog, noBarDialog, panel;
};
const DeviceCase kDevices[] = {
    {L"240x320", L"96", {0, 294, 240, 320}, {0, 26, 240, 294}, {0, 26, 240, 320}, {0, 214, 240, 294}},
    {L"320x240", L"96", {0, 214, 320, 240}, {0, 26, 320, 214}, {0, 26, 320, 240}, {0, 134, 320, 214}},
    {L"480x640", L"192", {0, 588, 480, 640}, {0, 52, 480, 588}, {0, 52, 480, 640}, {0, 428, 480, 588}},
    {L"640x480", L"192", {0, 428, 640, 480}, {0, 52, 640, 428}, {0, 52, 640, 480}, {0, 268, 640, 428}},
};

class ShellScreen : public ::testing::TestWithParam<DeviceCase> {
 protected:
  void SetUp() override {
    device.Set(L"Screen", GetParam().screen);
    device.Set(L"Dpi", GetParam().dpi);
    AygTestShowInputPanel(FALSE);
  }
  void TearDown() override { AygTestShowInputPanel(FALSE); }
  CDeviceSwitch device;
};

TEST_P(ShellScreen, MenuBarRunsAlongTheScreensBottomWhereverItsOwnerIs) {
  const DeviceCase& c = GetParam();
  HostWindow owner({100, 120, 200, 180});
  HWND bar = aygtest::MakePlainMenuBar(owner.hwnd());
  ASSERT_NE(bar, nullptr);
  const RECT r = WindowRect(bar);
  EXPECT_TRUE(EqualRect(&r, &c.bar)) << Text(r);
}

TEST_P(ShellScreen, FullScreenDialogsFillTheWorkAreaOrReachTheBottomWithoutABar) {
  const DeviceCase& c = GetParam();
  {
    HostWindow dialog({30, 40, 130, 140}, WS_POPUP | WS_CAPTION | WS_VISIBLE);
    ASSERT_TRUE(InitDialog(dialog.hwnd(), SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN));
    ASSERT_NE(aygtest::MakePlainMenuBar(dialog.hwnd()), nullptr);
    const RECT r = WindowRect(dialog.hwnd());
    EXPECT_TRUE(EqualRect(&r, &c.dialog)) << Text(r);
  }
  {
    HostWindow dialog({30, 40, 130, 140}, WS_POPUP | WS_CAPTION | WS_VISIBLE);
    ASSERT_TRUE(InitDialog(dialog.hwnd(), SHIDIF_FULLSCREENNOMENUBAR));
    RECT r = WindowRect(dialog.hwnd());
    EXPECT_TRUE(EqualRect(&r, &c.noBarDialog)) << Text(r);
    // A bar made afterwards takes the dialog's bottom back.
    ASSERT_NE(aygtest::MakePlainMenuBar(dialog.hwnd()), nullptr);
    r = WindowRect(dialog.hwnd());
    EXPECT_TRUE(EqualRect(&r, &c.dialog)) << Text(r);
  }
}

TEST_P(ShellScreen, InputPanelSitsOnTheMenuBarAcrossTheScreen) {
  const DeviceCase& c = GetParam();
  ASSERT_TRUE(AygTestShowInputPanel(TRUE));
  SIPINFO sip = {};
  sip.cbSize = sizeof(sip);
  ASSERT_TRUE(SipGetInfo(&sip));
  EXPECT_TRUE(EqualRect(&sip.rcSipRect, &c.panel)) << Text(sip.rcSipRect);
  RECT visible = c.dialog;
  visible.bottom = c.panel.top;
  EXPECT_TRUE(EqualRect(&sip.rcVisibleDesktop, &visible)) << Text(sip.rcVisibleDesktop);

  // A dialog that only fits above the panel ends at its top.
  HostWindow dialog({30, 40, 130, 140});
  ASSERT_TRUE(InitDialog(dialog.hwnd(), SHIDIF_SIZEDLG));
  const RECT r = WindowRect(dialog.hwnd());
  EXPECT_TRUE(EqualRect(&r, &visible)) << Text(r);

  ASSERT_TRUE(AygTestShowInputPanel(FALSE));
  ASSERT_TRUE(SipGetInfo(&sip));
  EXPECT_TRUE(EqualRect(&sip.rcVisibleDesktop, &c.dialog)) << Text(sip.rcVisibleDesktop);
}

INSTANTIATE_TEST_SUITE_P(PortraitLandscape96And192, ShellScreen, ::testing::ValuesIn(kDevices));

}  // namespace
