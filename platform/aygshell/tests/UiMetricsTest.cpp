#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/tests/HostWindow.h"

#include <gtest/gtest.h>

namespace {

using aygtest::HostWindow;

// Callers bind "SHGetUIMetrics" by name from "AYGSHELL" at run time.
using GetUIMetricsFn = HRESULT(WINAPI*)(SHUIMETRIC, void*, DWORD, DWORD*);
GetUIMetricsFn Bound() {
  HMODULE shell = LoadLibraryW(L"AYGSHELL");
  return shell ? reinterpret_cast<GetUIMetricsFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetUIMetrics")))
               : nullptr;
}

DWORD Dpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return static_cast<DWORD>(dpi);
}

DWORD Metric(SHUIMETRIC metric) {
  DWORD value = 0, needed = 0;
  EXPECT_EQ(Bound()(metric, &value, sizeof(value), &needed), S_OK);
  EXPECT_EQ(needed, sizeof(DWORD));
  return value;
}

// The standard text is 8 points: 11 pixels at 96 dots per inch, 100 percent.
TEST(UiMetrics, StandardFontSize) {
  ASSERT_NE(Bound(), nullptr);
  EXPECT_EQ(Metric(SHUIM_FONTSIZE_POINT), 8u);
  EXPECT_EQ(Metric(SHUIM_FONTSIZE_PIXEL), static_cast<DWORD>(MulDiv(8, Dpi(), 72)));
  EXPECT_EQ(Metric(SHUIM_FONTSIZE_PERCENTAGE), 100u);
}

// A new text size is announced to top-level windows with "SH_UIMETRIC_CHANGE".
TEST(UiMetrics, ChangeIsAnnounced) {
  HostWindow window;
  AygTestSetSystemFontPoints(10);
  const UINT change = RegisterWindowMessageW(SH_UIMETRIC_CHANGE);
  EXPECT_EQ(window.Of(change).size(), 1u);
  EXPECT_EQ(Metric(SHUIM_FONTSIZE_PIXEL), static_cast<DWORD>(MulDiv(10, Dpi(), 72)));
  EXPECT_EQ(Metric(SHUIM_FONTSIZE_PERCENTAGE), 125u);
  AygTestSetSystemFontPoints(8);
  EXPECT_EQ(Metric(SHUIM_FONTSIZE_POINT), 8u);
}

TEST(UiMetrics, SizeQueryAndErrors) {
  DWORD needed = 0;
  EXPECT_EQ(SHGetUIMetrics(SHUIM_FONTSIZE_PIXEL, nullptr, 0, &needed), S_OK);
  EXPECT_EQ(needed, sizeof(DWORD));
  WORD small = 0;
  EXPECT_TRUE(FAILED(SHGetUIMetrics(SHUIM_FONTSIZE_PIXEL, &small, sizeof(small), nullptr)));
  DWORD value = 0;
  EXPECT_EQ(SHGetUIMetrics(SHUIM_INVALID, &value, sizeof(value), nullptr), E_INVALIDARG);
  EXPECT_EQ(SHGetUIMetrics(static_cast<SHUIMETRIC>(9), &value, sizeof(value), nullptr), E_INVALIDARG);
}

}  // namespace
