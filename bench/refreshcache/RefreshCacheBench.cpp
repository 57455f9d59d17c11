// The Today screen asks every item whether it changed every two seconds, all day long.
// Cost of that query (WM_TODAYCUSTOM_QUERYREFRESHCACHE) on a panel where nothing changed,
// sent as the Today screen sends it, beside an empty message round trip to a window of
// the same thread in the same run. Also the keys opened and values read by the queries,
// which must be none. Exits with 1 when the query costs more than kLimit round trips or
// reads the registry.
#include <cstdio>
#include <string>

#include "base/ScreenDpi.h"
#include "bench/BenchClock.h"
#include "bench/BenchMachine.h"
#include "bench/database/BenchVolume.h"
#include "panel/PreWindow.h"
#include "panel/TodayPanel.h"
#include "platform/coredll/ce.h"
#include "platform/today/todaycmn.h"

namespace {

const int kWidth = 240;
const int kHeight = 320;
const double kLimit = 5.0;

LRESULT CALLBACK EmptyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(const wchar_t* name, HWND parent, DWORD style, int height) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = EmptyProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  RegisterClassW(&wc);
  return CreateWindowExW(0, name, L"", style, 0, 0, kWidth, height, parent, nullptr, wc.hInstance, nullptr);
}

}  // namespace

int main() {
  SetScreenDpi(96, 96);
  // The panel opens the stores and reads and writes its settings: keep both out of the
  // machine's.
  bench::BenchRoot root(L"refreshcachebench");
  bench::MachineKey machine(L"refreshcache");
  bench::ResourceLibrary resources;
  if (!resources.loaded()) return 2;

  HWND view = MakeWindow(L"RefreshCacheBenchView", nullptr, WS_POPUP | WS_VISIBLE, kHeight);
  HWND empty = MakeWindow(L"RefreshCacheBenchEmpty", view, WS_CHILD, 10);
  int status = 2;
  TODAYLISTITEM item = {};
  item.fEnabled = TRUE;
  HWND window = CreatePreWindow(&item, view, 0);
  if (window) {
    CTodayPanel panel(0);
    if (panel.Attach(window)) {
      panel.OnCreate();
      WINDOWPOS position = {window, nullptr, 0, 0, kWidth, 120, 0x244};
      panel.OnWindowPosChanged(&position);
      const WPARAM record = reinterpret_cast<WPARAM>(&item);
      // As the Today screen starts: it asks, and while the item says it changed, lays the
      // item out again at the height it gave, until the panel has nothing more to say.
      for (int settle = 0; settle < 10; ++settle) {
        if (!SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, record, 0)) break;
        SetWindowPos(window, nullptr, 0, 0, kWidth, static_cast<int>(item.cyp), SWP_NOZORDER | SWP_NOACTIVATE);
      }
      LRESULT changed = 0;
      const DWORD readsBefore = CeTestRegistryReads();
      const double query = bench::SecondsPerRun(
          [&] { changed |= SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, record, 0); });
      const DWORD reads = CeTestRegistryReads() - readsBefore;
      const double trip = bench::SecondsPerRun([&] { SendMessageW(empty, WM_APP, 0, 0); });
      const double ratio = query / trip;
      printf("Today panel of %d tabs, height %lu\n", panel.GetTabCount(), item.cyp);
      printf("empty message round trip:  %8.2f us\n", trip * 1e6);
      printf("height query (unchanged):  %8.2f us  (ratio %.2f, limit %.0f)\n", query * 1e6, ratio, kLimit);
      printf("registry keys opened and values read by the queries: %lu (limit 0)\n", reads);
      if (changed) printf("a query answered that the item changed\n");
      status = ratio > kLimit || reads || changed ? 1 : 0;
    }
    DestroyWindow(window);  // while the panel that took it over lives
  }
  DestroyWindow(empty);
  DestroyWindow(view);
  return status;
}
