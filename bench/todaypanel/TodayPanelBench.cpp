// Cost of one full repaint of the Today panel, as the window gets it on WM_PAINT
// (the Today background asked of the parent, the tab strip with its six icons, the
// current tab's header and content, all into the back buffer and onto the window),
// beside one BitBlt of the panel's area in the same run. Exits with 1 when the
// repaint costs more than kLimit times the copy.
#include <cstdio>
#include <string>

#include "base/ScreenDpi.h"
#include "bench/BenchClock.h"
#include "bench/BenchMachine.h"
#include "bench/database/BenchVolume.h"
#include "graphics/Dib.h"
#include "panel/TodayPanel.h"
#include "platform/today/todaycmn.h"

namespace {

const int kWidth = 240;
const int kHeight = 320;
const double kLimit = 40.0;

// The Today screen's view: paints its gradient for the item that asks.
LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TODAYM_DRAWWATERMARK) {
    auto* info = reinterpret_cast<TODAYDRAWWATERMARKINFO*>(lParam);
    for (int y = info->rc.top; y < info->rc.bottom; y += 4) {
      RECT band = {info->rc.left, y, info->rc.right, y + 4};
      HBRUSH brush = CreateSolidBrush(RGB(200 + y % 50, 220, 255));
      FillRect(info->hdc, &band, brush);
      DeleteObject(brush);
    }
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
  SetScreenDpi(96, 96);
  // The panel opens the stores and reads and writes its settings: keep both out of the
  // machine's.
  bench::BenchRoot root(L"todaypanelbench");
  bench::MachineKey machine(L"todaypanel");
  bench::ResourceLibrary resources;
  if (!resources.loaded()) return 2;

  WNDCLASSW wc = {};
  wc.lpfnWndProc = ViewProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TodayPanelBenchView";
  RegisterClassW(&wc);
  HWND view = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                              nullptr, wc.hInstance, nullptr);
  HWND item = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, view, nullptr,
                              nullptr, nullptr);
  int status = 2;
  {
    CTodayPanel panel(0);
    if (panel.Attach(item)) {
      panel.OnCreate();
      WINDOWPOS position = {item, nullptr, 0, 0, kWidth, kHeight, 0x244};
      panel.OnWindowPosChanged(&position);
      RECT client;
      GetClientRect(item, &client);
      const double repaint = bench::SecondsPerRun(
          [&] { RedrawWindow(item, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); });
      CDib screen;
      HDC window = GetDC(item);
      if (screen.Create(client.right, client.bottom)) {
        HDC from = screen.GetDC();
        const double blit = bench::SecondsPerRun(
            [&] { BitBlt(window, 0, 0, client.right, client.bottom, from, 0, 0, SRCCOPY); });
        const double ratio = repaint / blit;
        printf("Today panel of %d tabs, %d x %d pixels\n", panel.GetTabCount(), static_cast<int>(client.right),
               static_cast<int>(client.bottom));
        printf("BitBlt of the area:   %10.1f us\n", blit * 1e6);
        printf("full repaint:         %10.1f us  (ratio %.1f, limit %.0f)\n", repaint * 1e6, ratio, kLimit);
        status = ratio > kLimit ? 1 : 0;
      }
      ReleaseDC(item, window);
    }
    DestroyWindow(item);
  }
  DestroyWindow(view);
  return status;
}
