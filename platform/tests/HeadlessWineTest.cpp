// Wine under the null graphics driver must give real windows, messages, timers,
// registry and GDI drawing: every stand-in and every test builds on these.
#include <windows.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

const UINT kPing = WM_APP + 1;

struct Counts {
  int created = 0;
  int pings = 0;
  LPARAM lastPing = 0;
  int timerTicks = 0;
};

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* counts = reinterpret_cast<Counts*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      break;
    }
    case WM_CREATE:
      counts->created++;
      return 0;
    case kPing:
      counts->pings++;
      counts->lastPing = lp;
      return wp + 1;
    case WM_TIMER:
      counts->timerTicks++;
      if (counts->timerTicks == 3) KillTimer(hwnd, wp);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

class HeadlessWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TarvoSmokeWindow";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"smoke", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80,
                           nullptr, nullptr, wc.hInstance, &counts);
    ASSERT_NE(hwnd, nullptr) << "no window: is the prefix's graphics driver set to null? " << GetLastError();
  }
  void TearDown() override {
    if (hwnd) DestroyWindow(hwnd);
  }

  // Pumps messages until the condition holds or the deadline passes.
  template <class Pred>
  bool PumpUntil(Pred done, DWORD ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
      if (GetTickCount() - start > ms) return false;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }

  Counts counts;
  HWND hwnd = nullptr;
};

TEST_F(HeadlessWindow, SentAndPostedMessagesReachTheWindow) {
  EXPECT_EQ(counts.created, 1);
  EXPECT_EQ(SendMessageW(hwnd, kPing, 41, 7), 42);
  EXPECT_EQ(counts.pings, 1);

  ASSERT_TRUE(PostMessageW(hwnd, kPing, 0, 99));
  EXPECT_EQ(counts.pings, 1) << "a posted message waits for the loop";
  EXPECT_TRUE(PumpUntil([&] { return counts.pings == 2; }, 2000));
  EXPECT_EQ(counts.lastPing, 99);
}

TEST_F(HeadlessWindow, TimerRunsThroughTheMessageLoop) {
  ASSERT_NE(SetTimer(hwnd, 5, 10, nullptr), 0u);
  EXPECT_TRUE(PumpUntil([&] { return counts.timerTicks >= 3; }, 5000));
  EXPECT_EQ(counts.timerTicks, 3);
}

TEST(HeadlessRegistry, WritesAndReadsBackUnderATestKey) {
  const wchar_t* path = L"Software\\TarvoSmokeTest";
  RegDeleteTreeW(HKEY_CURRENT_USER, path);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD value = 0xC0FFEE;
  ASSERT_EQ(RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value),
            ERROR_SUCCESS);
  const wchar_t text[] = L"Qel";
  ASSERT_EQ(RegSetValueExW(key, L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
            ERROR_SUCCESS);
  RegCloseKey(key);

  DWORD read = 0, size = sizeof read, type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, path, L"Number", RRF_RT_REG_DWORD, &type, &read, &size), ERROR_SUCCESS);
  EXPECT_EQ(read, 0xC0FFEEu);
  wchar_t back[16] = {};
  size = sizeof back;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, path, L"Text", RRF_RT_REG_SZ, &type, back, &size), ERROR_SUCCESS);
  EXPECT_STREQ(back, L"Qel");
  EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
}

TEST(HeadlessGdi, TextDrawnIntoADibSectionChangesPixels) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 64;
  bi.bmiHeader.biHeight = -32;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bmp, nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);

  RECT all = {0, 0, 64, 32};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  GdiFlush();
  auto* px = static_cast<const DWORD*>(bits);
  std::vector<DWORD> before(px, px + 64 * 32);
  for (DWORD p : before) ASSERT_EQ(p & 0xFFFFFF, 0xFFFFFFu);

  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 2, 2, L"Tarvo", 5);
  GdiFlush();
  int dark = 0;
  for (int i = 0; i < 64 * 32; i++) dark += (px[i] & 0xFFFFFF) != 0xFFFFFF;
  EXPECT_GT(dark, 10) << "text left no pixels";

  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

}  // namespace
