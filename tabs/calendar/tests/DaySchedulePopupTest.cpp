// The day schedule popup: its bar from records, a drag over the bar in half-hour
// steps with its text, and the new appointment the listener is handed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/ControlFonts.h"
#include "tabs/calendar/DaySchedulePopup.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"

namespace {

using caltest::Variant;

class CSpanRecorder : public IDayScheduleListener {
 public:
  void OnTimeSpanChosen(const SYSTEMTIME& start, const SYSTEMTIME& end) override { spans.push_back({start, end}); }
  std::vector<std::pair<SYSTEMTIME, SYSTEMTIME>> spans;
};

class DaySchedulePopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    SetScreenDpi(96, 96);
  }
  void TearDown() override { CTimeSpanBar::FreeStatusBrushes(); }
  BOOL Open() {
    RECT anchor = {10, 40, 230, 60};
    return popup.SetDay(host.m_hWnd, anchor, L"Monday", Variant(2024, 6, 3, 15), &listener);
  }
  // x of a time of day on the bar, a little inside its half hour.
  int X(int hour, int minute) const { return popup.GetBarRect().left + (hour * 60 + minute) * 8 / 60 + 1; }
  void Drag(int fromX, int toX) {
    const int y = (popup.GetBarRect().top + popup.GetBarRect().bottom) / 2;
    SendMessageW(popup.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(fromX, y));
    SendMessageW(popup.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, y));
    SendMessageW(popup.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(toX, y));
  }

  CLocalMachineSandbox machine{L"DaySchedulePopupTest"};
  CResourceLibraryScope resources;
  ctltest::CTestHost host{240, 320};
  CSpanRecorder listener;
  CDaySchedulePopup popup;
};

TEST_F(DaySchedulePopupTest, OpensBesideTheAnchorWithADayBar) {
  ASSERT_TRUE(Open());
  RECT window;
  GetWindowRect(popup.m_hWnd, &window);
  POINT corner = {230, 40};
  ClientToScreen(host.m_hWnd, &corner);
  EXPECT_EQ(window.right, corner.x);
  EXPECT_EQ(window.top, corner.y);
  EXPECT_EQ(window.right - window.left, 207);
  EXPECT_EQ(window.bottom - window.top, 80);
  EXPECT_EQ(popup.GetBar().GetSlotCount(), 192);
  EXPECT_EQ(popup.GetBar().GetDay(), static_cast<LONG>(Variant(2024, 6, 3)));
  EXPECT_TRUE(popup.GetBar().IsComputed());
  wchar_t name[64] = L"";
  GetClassNameW(popup.m_hWnd, name, 64);
  EXPECT_STREQ(name, L"QelTarvoTimeSpanWindow_1.0");
  // Enter closes it.
  SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(ctltest::PumpUntil([&] { return popup.IsClosed() != FALSE; }));
}

TEST_F(DaySchedulePopupTest, DraggingBackSelectsTheSpanBothWaysAndMakesTheAppointment) {
  struct Case {
    const char* name;
    int fromH, fromM, toH, toM;
    int answer;
    int startMinutes, endMinutes;  // -1: nothing chosen
  } cases[] = {
      {"back from 17:00 to 09:00", 17, 0, 9, 0, 29, 9 * 60, 17 * 60},
      {"forward inside half hours", 9, 10, 10, 40, 29, 9 * 60, 10 * 60 + 30},
      {"menu dismissed", 9, 0, 11, 0, 0, -1, -1},
      {"no movement", 12, 0, 12, 10, 29, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMenuAnswer answer(c.answer);
    listener.spans.clear();
    ASSERT_TRUE(Open());
    Drag(X(c.fromH, c.fromM), X(c.toH, c.toM));
    if (c.startMinutes < 0) {
      EXPECT_TRUE(listener.spans.empty());
      EXPECT_EQ(answer.shown, c.answer ? 0 : 1);
      ::PostMessageW(popup.m_hWnd, WM_CLOSE, 0, 0);
    } else {
      ASSERT_EQ(listener.spans.size(), 1u);
      EXPECT_EQ(MenuTexts(answer.items), std::vector<std::wstring>{L"New Appointment"});
      const SYSTEMTIME& s = listener.spans[0].first;
      const SYSTEMTIME& e = listener.spans[0].second;
      EXPECT_EQ(s.wDay, 3);
      EXPECT_EQ(s.wHour * 60 + s.wMinute, c.startMinutes);
      EXPECT_EQ(e.wHour * 60 + e.wMinute, c.endMinutes);
    }
    EXPECT_TRUE(ctltest::PumpUntil([&] { return popup.IsClosed() != FALSE; }));
  }
}

TEST_F(DaySchedulePopupTest, SelectionTextNamesBothEdgesOrOne) {
  CMenuAnswer answer(0);
  ASSERT_TRUE(Open());
  const int y = (popup.GetBarRect().top + popup.GetBarRect().bottom) / 2;
  SendMessageW(popup.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X(17, 0), y));
  const std::wstring one = static_cast<LPCWSTR>(popup.GetSelectionText());
  EXPECT_EQ(one, static_cast<LPCWSTR>(CDaySchedulePopup::FormatMinutes(17 * 60)));
  SendMessageW(popup.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(X(9, 0), y));
  const std::wstring both = static_cast<LPCWSTR>(popup.GetSelectionText());
  EXPECT_EQ(both, std::wstring(CDaySchedulePopup::FormatMinutes(9 * 60)) + L" - " +
                      static_cast<LPCWSTR>(CDaySchedulePopup::FormatMinutes(17 * 60)));
  for (wchar_t ch : both) EXPECT_FALSE(IsCharUpperW(ch)) << "lower-cased";
  // Past the right edge is the end of the day, shown as midnight.
  SendMessageW(popup.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(popup.GetBarRect().right + 30, y));
  EXPECT_EQ(CDaySchedulePopup::OffsetToMinutes(popup.GetSelectionEnd()), 1440);
  EXPECT_EQ(CDaySchedulePopup::FormatMinutes(1440), CDaySchedulePopup::FormatMinutes(0));
  SendMessageW(popup.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(popup.GetBarRect().right + 30, y));
  ::PostMessageW(popup.m_hWnd, WM_CLOSE, 0, 0);
  ctltest::PumpUntil([&] { return popup.IsClosed() != FALSE; });
}

TEST_F(DaySchedulePopupTest, ToTheEndOfTheDayEndsAtTheNextMidnight) {
  CMenuAnswer answer(29);
  ASSERT_TRUE(Open());
  Drag(X(22, 0), popup.GetBarRect().right + 5);
  ASSERT_EQ(listener.spans.size(), 1u);
  EXPECT_EQ(listener.spans[0].second.wDay, 4);
  EXPECT_EQ(listener.spans[0].second.wHour, 0);
  ctltest::PumpUntil([&] { return popup.IsClosed() != FALSE; });
}

// The hour labels under the bar never run into each other: in the list font at the
// device's dpi they keep a gap, and a font too large for the locale's form falls back
// to a shorter one rather than overlapping.
TEST_F(DaySchedulePopupTest, HourLabelsKeepApart) {
  struct Case {
    const char* what;
    int dpi;
    int fontHeight;  // 0: the list font
  } cases[] = {{"list font, 96 dpi", 96, 0}, {"list font, 192 dpi", 192, 0}, {"tall font", 96, 24}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetScreenDpi(c.dpi, c.dpi);
    HFONT tall = c.fontHeight ? CreateFontW(-c.fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                            L"Tahoma")
                              : nullptr;
    HFONT font = tall ? tall : GetControlListFont();
    const auto labels = CDaySchedulePopup::LayoutHourLabels(font, 6, 70);
    ASSERT_EQ(labels.size(), 5u);
    const int spacing = 8 * CDaySchedulePopup::HalfHourWidth();
    for (size_t i = 0; i < labels.size(); ++i) {
      const auto& label = labels[i];
      EXPECT_EQ(label.hour, 4 + 4 * static_cast<int>(i));
      ASSERT_FALSE(label.text.IsEmpty());
      // Each label is as wide as its text and centred on its tick.
      EXPECT_EQ(label.rect.right - label.rect.left, MeasureControlText(font, label.text).cx);
      EXPECT_LE(std::abs((label.rect.left + label.rect.right) / 2 - (6 + label.hour * spacing / 4)), 1);
      if (i > 0) {
        EXPECT_LE(labels[i - 1].rect.right + ScaleX(2), label.rect.left) << static_cast<LPCWSTR>(label.text);
      }
    }
    if (tall) {
      // Too tall for "12 pm": the hours of the 24-hour day.
      EXPECT_STREQ(static_cast<LPCWSTR>(labels[2].text), L"12");
      EXPECT_STREQ(static_cast<LPCWSTR>(labels[4].text), L"20");
      DeleteObject(tall);
    }
  }
  SetScreenDpi(96, 96);
}

}  // namespace
