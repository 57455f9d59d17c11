#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/tests/HostWindow.h"

#include <gtest/gtest.h>

namespace {

using aygtest::HostWindow;

// Other programs' setting changes may reach the window too; only the panel's count.
size_t PanelChanges(const HostWindow& window) {
  size_t n = 0;
  for (const auto& r : window.Of(WM_SETTINGCHANGE)) n += r.wParam == SPI_SETSIPINFO;
  return n;
}

SIPINFO Read() {
  SIPINFO info = {};
  info.cbSize = sizeof(info);
  EXPECT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
  return info;
}

// Word completion is switched through the panel's flags: read, change bit 8, write back.
TEST(InputPanel, FlagsRoundTrip) {
  SIPINFO info = Read();
  const DWORD original = info.fdwFlags;
  info.fdwFlags |= SIPF_DISABLECOMPLETION;
  ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &info, 0));
  EXPECT_EQ(Read().fdwFlags, original | SIPF_DISABLECOMPLETION);

  SIPINFO direct = {};
  direct.cbSize = sizeof(direct);
  ASSERT_TRUE(SipGetInfo(&direct));
  EXPECT_EQ(direct.fdwFlags, original | SIPF_DISABLECOMPLETION);

  info.fdwFlags = original & ~SIPF_DISABLECOMPLETION;
  ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &info, 0));
  EXPECT_EQ(Read().fdwFlags & SIPF_DISABLECOMPLETION, 0u);
}

// Raising the panel shrinks the visible desktop to the panel's top and tells every
// top-level window with WM_SETTINGCHANGE / SPI_SETSIPINFO; lowering gives it back.
TEST(InputPanel, RaisingAndLoweringReachTopLevelWindows) {
  AygTestShowInputPanel(FALSE);
  HostWindow window;
  const SIPINFO down = Read();

  ASSERT_TRUE(AygTestShowInputPanel(TRUE));
  const SIPINFO up = Read();
  EXPECT_NE(up.fdwFlags & SIPF_ON, 0u);
  EXPECT_EQ(up.rcVisibleDesktop.bottom, up.rcSipRect.top);
  EXPECT_LT(up.rcVisibleDesktop.bottom, down.rcVisibleDesktop.bottom);
  EXPECT_GT(up.rcSipRect.bottom, up.rcSipRect.top);
  EXPECT_EQ(PanelChanges(window), 1u);

  // Already up: nothing moves, nobody is told.
  ASSERT_TRUE(AygTestShowInputPanel(TRUE));
  EXPECT_EQ(PanelChanges(window), 1u);

  ASSERT_TRUE(AygTestShowInputPanel(FALSE));
  EXPECT_EQ(Read().rcVisibleDesktop.bottom, down.rcVisibleDesktop.bottom);
  EXPECT_EQ(PanelChanges(window), 2u);
}

TEST(InputPanel, RefusesWrongSizesAndActions) {
  SIPINFO info = {};
  info.cbSize = 48;  // the device's 32-bit record
  EXPECT_FALSE(SipGetInfo(&info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(SHSipInfo(SPI_SETSIPINFO, 0, &info, 0));
  EXPECT_FALSE(SipGetInfo(nullptr));
  info.cbSize = sizeof(info);
  EXPECT_FALSE(SHSipInfo(226, 0, &info, 0));
}

// Dialogs whose input panel follows the focus hold a "SIPPREF" child.
TEST(InputPanel, SipPrefChildCanBeCreated) {
  HostWindow dialog;
  HWND pref = CreateWindowExW(0, WC_SIPPREF, L"", WS_CHILD, 0, 0, 0, 0, dialog.hwnd(),
                              reinterpret_cast<HMENU>(200), GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(pref, nullptr);
  EXPECT_EQ(GetDlgCtrlID(pref), 200);
}

}  // namespace
