#include "settings/pages/DatePickerPopup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "settings/pages/CalendarCommonPage.h"
#include "settings/pages/tests/PagesTestSupport.h"
#include "settings/shell/tests/SheetDriver.h"

namespace {

struct Heard {
  UINT code;
  SYSTEMTIME date;
};
std::vector<Heard> g_heard;

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    Heard heard = {header->code, {}};
    if (header->code == kDatePickedCode) heard.date = reinterpret_cast<const DatePickedNotify*>(lParam)->date;
    if (header->code == kDatePickedCode || header->code == kDatePickerClosedCode) g_heard.push_back(heard);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class DatePickerPopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_heard.clear();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW cls = {};
    cls.lpfnWndProc = PageProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"DatePickerTestPage";
    RegisterClassW(&cls);
    m_page = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 300, nullptr, nullptr,
                             cls.hInstance, nullptr);
    HWND calendar = CreateWindowExW(0, MONTHCAL_CLASSW, L"", WS_CHILD | WS_BORDER, 10, 40, 200, 160, m_page,
                                    reinterpret_cast<HMENU>(1065), cls.hInstance, nullptr);
    ASSERT_NE(calendar, nullptr);
    ASSERT_TRUE(m_popup.SubclassWindow(calendar));
    SYSTEMTIME date = {};
    date.wYear = 2026;
    date.wMonth = 12;
    date.wDay = 24;
    SendMessageW(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&date));
  }
  void TearDown() override { DestroyWindow(m_page); }
  void Drop() { ShowWindow(m_popup, SW_SHOW); }

  HWND m_page = nullptr;
  CDatePickerPopup m_popup;
};

TEST_F(DatePickerPopupTest, EnterTakesTheSelectedDateOtherKeysDoNothing) {
  Drop();
  SendMessageW(m_popup, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(g_heard.empty());
  EXPECT_TRUE(IsWindowVisible(m_popup));
  SendMessageW(m_popup, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_EQ(g_heard.size(), 1u);
  EXPECT_EQ(g_heard[0].code, kDatePickedCode);
  EXPECT_EQ(g_heard[0].date.wYear, 2026);
  EXPECT_EQ(g_heard[0].date.wMonth, 12);
  EXPECT_EQ(g_heard[0].date.wDay, 24);
  EXPECT_FALSE(IsWindowVisible(m_popup));
}

TEST_F(DatePickerPopupTest, TapOutsideOrFocusLeavingClosesWithoutADate) {
  struct Case {
    const char* name;
    UINT message;
    LPARAM where;
    bool closes;
  };
  const Case cases[] = {
      {"tap inside", WM_LBUTTONDOWN, MAKELPARAM(20, 20), false},
      {"tap left of it", WM_LBUTTONDOWN, MAKELPARAM(-5, 20), true},
      {"tap above it", WM_LBUTTONDOWN, MAKELPARAM(20, -5), true},
      {"tap below it", WM_LBUTTONDOWN, MAKELPARAM(20, 1000), true},
      {"focus gone", WM_KILLFOCUS, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_heard.clear();
    Drop();
    SendMessageW(m_popup, c.message, 0, c.where);
    if (c.message == WM_LBUTTONDOWN) SendMessageW(m_popup, WM_LBUTTONUP, 0, c.where);
    const size_t closed = std::count_if(g_heard.begin(), g_heard.end(),
                                        [](const Heard& h) { return h.code == kDatePickerClosedCode; });
    EXPECT_EQ(closed, c.closes ? 1u : 0u);
    if (c.closes) {
      EXPECT_FALSE(IsWindowVisible(m_popup));
    }
  }
}

using CalendarCommonPageTest = PagesTest;

TEST_F(CalendarCommonPageTest, ThePagesMonthCalendarIsThePopup) {
  bool hidden = false, shownFirst = true;
  CSheetDriver driver({
      [&](HWND sheet) {
        HWND calendar = GetDlgItem(CSheetDriver::CurrentPage(sheet), kFirstWeekDatePicker);
        shownFirst = IsWindowVisible(calendar);
        ShowWindow(calendar, SW_SHOW);
        SendMessageW(calendar, WM_KEYDOWN, VK_RETURN, 0);
        hidden = !IsWindowVisible(calendar);
      },
      CSheetDriver::Press(IDCANCEL),
  });
  SendMessageW(m_window, WM_OPENSECTION, 1, 0);
  EXPECT_EQ(driver.Runs(), 1);
  EXPECT_FALSE(shownFirst);
  EXPECT_TRUE(hidden);
}

}  // namespace
