// The forecast item link against registry keys of its own and an in-process fake
// of the forecast item's Today window (the messages carry pointers, which only a
// window in the same address space can follow here).
#include <gtest/gtest.h>

#include "tabs/calendar/SovelLink.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"

namespace {

// The forecast item's window: answers the three messages as the product would.
class CFakeSovelToday {
 public:
  CFakeSovelToday() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = SOVEL_TODAY_CLASS;
    wc.hInstance = GetModuleHandleW(nullptr);
    RegisterClassW(&wc);
    window = CreateWindowExW(0, SOVEL_TODAY_CLASS, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~CFakeSovelToday() {
    DestroyWindow(window);
    UnregisterClassW(SOVEL_TODAY_CLASS, GetModuleHandleW(nullptr));
  }
  HWND window = nullptr;
  int32_t first = -1, last = 4;
  DWORD iconResult = 77;
  std::vector<int32_t> opened;
  std::vector<int32_t> icons;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CFakeSovelToday*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || message < SOVEL_MSG_FORECAST_RANGE || message > SOVEL_MSG_OPEN_DAY)
      return DefWindowProcW(hwnd, message, wParam, lParam);
    DWORD* result = reinterpret_cast<DWORD*>(lParam);
    EXPECT_EQ(*result, 0u) << "the result word is preset to 0";
    switch (message) {
      case SOVEL_MSG_FORECAST_RANGE: {
        auto* range = reinterpret_cast<int32_t*>(wParam);
        range[0] = self->first;
        range[1] = self->last;
        *result = 1;
        break;
      }
      case SOVEL_MSG_FORECAST_ICON: {
        auto* request = reinterpret_cast<SOVEL_ICON_REQUEST*>(wParam);
        self->icons.push_back(request->dayOffset);
        static_cast<BYTE*>(request->pixels)[0] = 0xAB;
        *result = self->iconResult;
        break;
      }
      case SOVEL_MSG_OPEN_DAY:
        self->opened.push_back(*reinterpret_cast<int32_t*>(wParam));
        break;
    }
    return 0;
  }
};

TEST(SovelLink, StatesFromTheKeysTheBuildAndTheWindow) {
  CLocalMachineSandbox machine{L"SovelLinkTest"};
  ASSERT_TRUE(machine.Redirected());
  CRegistryView korvel = machine.Key(L"Software\\Korvel");
  EXPECT_EQ(GetSovelState(), kSovelNotInstalled);
  korvel.CreateSubKey(L"Qel Tarvo");
  EXPECT_EQ(GetSovelState(), kSovelNotInstalled);
  korvel.CreateSubKey(L"Qel Sovel");
  EXPECT_EQ(GetSovelState(), kSovelOldBuild);
  CRegistryView sovel = machine.Key(L"Software\\Korvel\\Qel Sovel");
  EXPECT_FALSE(sovel.Has(L"Build")) << "another product's key is never written";
  struct Case {
    DWORD build;
    int state;
  } cases[] = {{0, kSovelOldBuild}, {365, kSovelOldBuild}, {366, kSovelNotRunning}, {1000, kSovelNotRunning}};
  for (const Case& c : cases) {
    sovel.WriteDWORD(L"Build", c.build);
    EXPECT_EQ(GetSovelState(), c.state) << c.build;
  }
  {
    CFakeSovelToday today;
    EXPECT_EQ(GetSovelState(), kSovelReady);
    sovel.WriteDWORD(L"Build", 365);
    EXPECT_EQ(GetSovelState(), kSovelOldBuild);
  }
}

TEST(SovelLink, MessagesReachTheWindowWithTheirArgumentsAndResult) {
  int32_t first = 9, last = 9;
  EXPECT_FALSE(GetSovelForecastRange(&first, &last));
  EXPECT_EQ(SendToSovelToday(SOVEL_MSG_OPEN_DAY, 0), 0u);
  CFakeSovelToday today;
  EXPECT_TRUE(GetSovelForecastRange(&first, &last));
  EXPECT_EQ(first, -1);
  EXPECT_EQ(last, 4);
  BYTE pixels[2 * 16 * 16 * 4] = {};
  EXPECT_EQ(RequestSovelIcon(-2, pixels), 77u);
  EXPECT_EQ(today.icons, std::vector<int32_t>{-2});
  EXPECT_EQ(pixels[0], 0xAB);
  OpenSovelDay(3);
  EXPECT_EQ(today.opened, std::vector<int32_t>{3});
}

}  // namespace
