// The screen programs see is the device's, at its dpi, whichever way it is turned.
#include "platform/coredll/DeviceIdentity.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/ce.h"
#include "platform/tests/ByteMutator.h"
#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kSandbox[] = L"Software\\CoreDllScreenTest";

// Each test starts from a device without registry settings and without switches.
class Screen : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox);
    device.Set(L"Key", kSandbox);
    device.Clear(L"Screen");
    device.Clear(L"Dpi");
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSandbox); }

  CDeviceSwitch device;
};

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::string Text(const RECT& r) {
  return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "}";
}

RECT WorkArea() {
  RECT work = {-1, -1, -1, -1};
  EXPECT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  return work;
}

// Task bar and menu bar are 26 pixels each at 96 dpi, 52 at 192.
struct DeviceCase {
  const wchar_t* screen;  // nullptr: the profile names none
  const wchar_t* dpi;
  int width, height;
  RECT work;
};
const DeviceCase kDevices[] = {
    {L"240x320", L"96", 240, 320, {0, 26, 240, 294}},    // portrait
    {L"320x240", L"96", 320, 240, {0, 26, 320, 214}},    // landscape
    {L"480x640", L"192", 480, 640, {0, 52, 480, 588}},   // VGA portrait
    {L"640x480", L"192", 640, 480, {0, 52, 640, 428}},   // VGA landscape
    {L"240x240", L"96", 240, 240, {0, 26, 240, 214}},    // square
    {nullptr, L"96", 240, 320, {0, 26, 240, 294}},       // no screen named: the common one
    {nullptr, L"192", 480, 640, {0, 52, 480, 588}},      // ... grown with the dpi
    {L"wide", L"96", 240, 320, {0, 26, 240, 294}},       // malformed: the default
    {L"240x320x2", L"96", 240, 320, {0, 26, 240, 294}},  // trailing text
    {L"0x0", L"96", 240, 320, {0, 26, 240, 294}},
    {L"99999x320", L"96", 240, 320, {0, 26, 240, 294}},
};

TEST_F(Screen, MetricsWorkAreaDesktopAndMonitorAnswerTheDevicesScreen) {
  HDC display = GetDC(nullptr);
  for (const DeviceCase& c : kDevices) {
    SCOPED_TRACE(testing::Message() << (c.screen ? c.screen : L"(none)") << " at " << c.dpi);
    if (c.screen)
      device.Set(L"Screen", c.screen);
    else
      device.Clear(L"Screen");
    device.Set(L"Dpi", c.dpi);
    const RECT screen = {0, 0, c.width, c.height};

    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), c.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), c.height);
    EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), c.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), c.work.bottom - c.work.top);
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), c.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), c.height);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    EXPECT_EQ(GetDeviceCaps(display, HORZRES), c.width);
    EXPECT_EQ(GetDeviceCaps(display, VERTRES), c.height);

    const RECT work = WorkArea();
    EXPECT_TRUE(Same(work, c.work)) << Text(work);

    RECT desktop = {}, client = {};
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
    ASSERT_TRUE(GetClientRect(GetDesktopWindow(), &client));
    EXPECT_TRUE(Same(desktop, screen)) << Text(desktop);
    EXPECT_TRUE(Same(client, screen)) << Text(client);

    HMONITOR monitor = MonitorFromWindow(GetDesktopWindow(), MONITOR_DEFAULTTONULL);
    ASSERT_NE(monitor, nullptr);
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
    EXPECT_TRUE(Same(info.rcMonitor, screen)) << Text(info.rcMonitor);
    EXPECT_TRUE(Same(info.rcWork, c.work)) << Text(info.rcWork);
    EXPECT_NE(info.dwFlags & MONITORINFOF_PRIMARY, 0u);
  }
  ReleaseDC(nullptr, display);
}

// Another window's rectangle is its own; a window wholly off the device's screen (yet
// on the host's display) is on no monitor when the caller asks for none by default.
TEST_F(Screen, OtherWindowsKeepTheirRectanglesAndOffScreenOnesHaveNoMonitor) {
  device.Set(L"Screen", L"240x320");
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CoreDllScreenTestWindow";
  RegisterClassW(&wc);
  HWND on = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 200, 300, 100, 50, nullptr, nullptr,
                            wc.hInstance, nullptr);
  HWND off = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 400, 500, 100, 50, nullptr, nullptr,
                             wc.hInstance, nullptr);
  ASSERT_TRUE(on && off);
  RECT r = {};
  ASSERT_TRUE(GetWindowRect(off, &r));
  EXPECT_TRUE(Same(r, RECT{400, 500, 500, 550})) << Text(r);
  ASSERT_TRUE(GetClientRect(off, &r));
  EXPECT_TRUE(Same(r, RECT{0, 0, 100, 50})) << Text(r);

  HMONITOR monitor = MonitorFromWindow(on, MONITOR_DEFAULTTONULL);
  EXPECT_NE(monitor, nullptr);
  EXPECT_EQ(MonitorFromWindow(off, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromWindow(off, MONITOR_DEFAULTTONEAREST), monitor);
  EXPECT_EQ(MonitorFromPoint(POINT{239, 319}, MONITOR_DEFAULTTONULL), monitor);
  EXPECT_EQ(MonitorFromPoint(POINT{240, 10}, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromPoint(POINT{240, 10}, MONITOR_DEFAULTTOPRIMARY), monitor);
  const RECT across = {230, 310, 260, 330}, beyond = {250, 10, 300, 40};
  EXPECT_EQ(MonitorFromRect(&across, MONITOR_DEFAULTTONULL), monitor);
  EXPECT_EQ(MonitorFromRect(&beyond, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromRect(&beyond, MONITOR_DEFAULTTONEAREST), monitor);
  EXPECT_FALSE(GetWindowRect(GetDesktopWindow(), nullptr));
  EXPECT_FALSE(SystemParametersInfoW(SPI_GETWORKAREA, 0, nullptr, 0));
  DestroyWindow(on);
  DestroyWindow(off);
}

// Turning the screen writes where the setting came from: a process with a device of
// its own turns only its own screen; otherwise the device's key, for every program.
TEST_F(Screen, TurningTheScreenWritesWhereTheSettingLives) {
  device.Set(L"Screen", L"240x320");
  bool local = false;
  ASSERT_TRUE(CDeviceIdentity::Write(L"Screen", L"320x240", local));
  EXPECT_TRUE(local);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
  EXPECT_TRUE(Same(WorkArea(), RECT{0, 26, 320, 214}));
  std::wstring stored;
  ASSERT_TRUE(CDeviceIdentity::Read(L"Screen", stored));
  EXPECT_EQ(stored, L"320x240");

  device.Clear(L"Screen");
  ASSERT_TRUE(CDeviceIdentity::Write(L"Screen", L"640x480", local));
  EXPECT_FALSE(local);
  wchar_t text[32] = {};
  DWORD bytes = sizeof(text);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kSandbox, L"Screen", RRF_RT_REG_SZ, nullptr, text, &bytes),
            ERROR_SUCCESS);
  EXPECT_STREQ(text, L"640x480");
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
}

// Whatever text stands in the profile's "Screen", the screen is one a window can have
// and the work area lies inside it.
TEST_F(Screen, AnyScreenSettingGivesASaneScreen) {
  const std::wstring seeds[] = {L"240x320", L"480x640", L"320x240", L"16x4096"};
  const std::vector<std::wstring> alphabet =
      fixtures::ByteMutator::EachUnit(std::wstring(L"0123456789xX -+.,\t\u00e9\uFFFF"));
  fixtures::ByteMutator mutator(20);
  device.Set(L"Dpi", L"96");
  for (int i = 0; i < 3000; ++i) {
    const std::wstring text = mutator.Edit(seeds[mutator.Below(4)], 4, alphabet);
    device.Set(L"Screen", text);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GE(width, 16) << i;
    ASSERT_LE(width, 4096) << i;
    ASSERT_GE(height, 16) << i;
    ASSERT_LE(height, 4096) << i;
    const RECT work = WorkArea();
    ASSERT_TRUE(work.left == 0 && work.right == width && work.top <= work.bottom && work.bottom <= height) << i;
  }
}

}  // namespace
