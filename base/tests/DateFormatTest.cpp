#include "base/DateFormat.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "DateSamples.h"
#include "RegistrySandbox.h"
#include "base/RegKey.h"
#include "base/DatePicker.h"
#include "base/DateTime.h"

namespace {

TEST(DatePicture, ShortenCutsTheYearAndShortensFields) {
  struct Case {
    const wchar_t* picture;
    BOOL keepYear, shortYear, shortMonth, shortDay;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"dddd, MMMM d, yyyy", FALSE, TRUE, TRUE, TRUE, L"ddd, MMM d"},
      {L"dddd, MMMM d, yyyy", TRUE, TRUE, FALSE, FALSE, L"dddd, MMMM d, yy"},
      {L"M/d/yyyy", FALSE, FALSE, FALSE, FALSE, L"M/d"},
      {L"yyyy-MM-dd", FALSE, FALSE, FALSE, FALSE, L"MM-dd"},
      {L"d. MMMM yyyy, dddd", FALSE, FALSE, FALSE, FALSE, L"d. MMMM dddd"},
      {L"yyyy", FALSE, FALSE, FALSE, FALSE, L""},
      {L"dd.MM.yy", TRUE, TRUE, TRUE, TRUE, L"dd.MM.yy"},
      {L"MMMM dd", FALSE, FALSE, FALSE, FALSE, L"MMMM dd"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(c.expected, ShortenDatePicture(c.picture, c.keepYear, c.shortYear, c.shortMonth, c.shortDay))
        << c.picture;
}

TEST(DatePicture, PresetsAndTimePicture) {
  EXPECT_STREQ(L"dddd, MMMM d yyyy", GetLongDatePreset(0));
  EXPECT_STREQ(L"d MMMM yyyy", GetLongDatePreset(1));
  EXPECT_STREQ(L"dddd, d MMMM yyyy", GetLongDatePreset(2));
  EXPECT_STREQ(L"dddd, MMMM d yyyy", GetLongDatePreset(9));
  EXPECT_STREQ(L"h:mm:sst", MakeTimePicture(L"h:mm:ss tt"));
  EXPECT_STREQ(L"HH:mm", MakeTimePicture(L"HH:mm"));
  EXPECT_STREQ(L"th:mmt", MakeTimePicture(L"tt h:mm t"));
}

// The options live under the product key of a machine key of this test alone.
class DateFormatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_machine.Redirected());
    ResetDateFormatCache();
  }
  void TearDown() override { ResetDateFormatCache(); }
  CString Locale(LCTYPE type) {
    WCHAR text[100] = L"";
    EXPECT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 100), 0);
    return CString(text);
  }
  CLocalMachineSandbox m_machine{L"DateFormat"};
  CRegistryView m_options = m_machine.Key(TARVO_PRODUCT_KEY);
};

TEST_F(DateFormatTest, BuildReadsOptionsAndWritesDefaultsBack) {
  EXPECT_STREQ(ShortenDatePicture(Locale(LOCALE_SLONGDATE), FALSE, TRUE, TRUE, TRUE), BuildLongDateFormat());
  DWORD value = 0;
  EXPECT_TRUE(m_options.ReadDWORD(L"LongDate_Regional", value));
  EXPECT_EQ(1u, value);
  EXPECT_TRUE(m_options.ReadDWORD(L"LongDate_CustomFormat", value));
  EXPECT_EQ(0u, value);

  m_options.WriteDWORD(L"LongDate_Regional", 0);
  m_options.WriteDWORD(L"LongDate_CustomFormat", 1);
  m_options.WriteDWORD(L"LongDate_NotYear", 0);
  m_options.WriteDWORD(L"LongDate_ShortYear", 0);
  EXPECT_STREQ(L"d MMM yyyy", BuildLongDateFormat());
  m_options.WriteDWORD(L"LongDate_CustomFormat", 7);
  EXPECT_STREQ(L"ddd, MMM d yyyy", BuildLongDateFormat());

  EXPECT_STREQ(ShortenDatePicture(Locale(LOCALE_SSHORTDATE), FALSE, TRUE, TRUE, TRUE), BuildShortDateFormat());
  EXPECT_TRUE(m_options.ReadDWORD(L"ShortDate_NotYear", value));
  m_options.WriteDWORD(L"ShortDate_NotYear", 0);
  m_options.WriteDWORD(L"ShortDate_ShortYear", 0);
  EXPECT_STREQ(ShortenDatePicture(Locale(LOCALE_SSHORTDATE), TRUE, FALSE, TRUE, TRUE), BuildShortDateFormat());
}

TEST_F(DateFormatTest, FormatsWithTheCachedPictures) {
  m_options.WriteDWORD(L"LongDate_Regional", 0);
  m_options.WriteDWORD(L"LongDate_CustomFormat", 2);
  m_options.WriteDWORD(L"LongDate_ShortMonth", 0);
  SYSTEMTIME day = Time(2024, 3, 10, 9, 30);
  WCHAR expected[100];
  CString text;
  FormatLongDate(text, day);
  GetDateFormatW(LOCALE_USER_DEFAULT, 0, &day, L"ddd, d MMMM", expected, 100);
  EXPECT_STREQ(expected, text);
  // Cached until reset.
  m_options.WriteDWORD(L"LongDate_CustomFormat", 1);
  FormatLongDate(text, day);
  EXPECT_STREQ(expected, text);
  ResetDateFormatCache();
  FormatLongDate(text, day);
  GetDateFormatW(LOCALE_USER_DEFAULT, 0, &day, L"d MMMM", expected, 100);
  EXPECT_STREQ(expected, text);

  CString locale = Locale(LOCALE_STIMEFORMAT);
  FormatTime(text, day);
  GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &day, MakeTimePicture(locale), expected, 100);
  EXPECT_STREQ(expected, text);
  if (locale == L"h:mm:ss tt") {
    EXPECT_STREQ(L"9:30A", text);
  }

  CString separator;
  GetDecimalSeparator(separator);
  EXPECT_STREQ(Locale(LOCALE_SDECIMAL).IsEmpty() ? CString(L",") : Locale(LOCALE_SDECIMAL), separator);
  double date = 0;
  ASSERT_TRUE(SystemTimeToVariantDate(Time(2024, 3, 10, 7, 5), &date));
  CString shortDate, withTime;
  FormatVariantDate(shortDate, date);
  FormatShortDateTime(withTime, date);
  SYSTEMTIME morning = Time(2024, 3, 10, 7, 5);
  FormatShortDate(text, morning);
  EXPECT_STREQ(text, shortDate);
  EXPECT_FALSE(shortDate.IsEmpty());
  EXPECT_STREQ(shortDate + L" 07:05", withTime);
}

TEST(DateFormat, ResetDropsTheCachedNow) {
  double now = GetNowVariantTime();
  EXPECT_EQ(now, GetCachedNow());
  EXPECT_EQ(VariantDateFloor(GetCachedNow()), VariantDateFloor(now));
  ResetDateFormatCache();
  EXPECT_EQ(0.0, GetCachedNow());
}

// A picker in a hidden window; its empty mark, not the control's state, is what counts.
class DatePickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_DATE_CLASSES};
    InitCommonControlsEx(&init);
    m_picker = CreateWindowExW(0, DATETIMEPICK_CLASSW, L"", WS_POPUP | DTS_SHOWNONE, 0, 0, 120, 20, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(m_picker, nullptr);
  }
  void TearDown() override { DestroyWindow(m_picker); }
  double Value() {
    double date = 0;
    DlgGetDatePickerValue(m_picker, &date);
    return date;
  }
  HWND m_picker = nullptr;
};

TEST_F(DatePickerTest, NoDateIsKeptInTheMark) {
  double morning = 0, evening = 0;
  ASSERT_TRUE(SystemTimeToVariantDate(Time(2024, 3, 10, 9, 0), &morning));
  ASSERT_TRUE(SystemTimeToVariantDate(Time(2024, 3, 10, 15, 30), &evening));
  DlgSetDatePickerValue(m_picker, evening);
  EXPECT_EQ(evening, Value());
  DlgSetDatePickerValue(m_picker, kNoDate);
  DlgSetDatePickerValue(m_picker, kNoDate);
  EXPECT_EQ(kNoDate, Value());
  EXPECT_EQ(1, GetWindowLongPtrW(m_picker, GWLP_USERDATA));
  // The same day as the stale value: the emptied picker still gets the date.
  DlgSetDatePickerValue(m_picker, evening);
  EXPECT_EQ(0, GetWindowLongPtrW(m_picker, GWLP_USERDATA));
  SYSTEMTIME shown{};
  ASSERT_EQ(GDT_VALID, SendMessageW(m_picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)));
  EXPECT_EQ(15, shown.wHour);
  EXPECT_EQ(evening, Value());
}

// The month popup writes back days at midnight: on the day the picker holds, its time
// part stays; another day is taken as given.
TEST_F(DatePickerTest, ADayOnTheSameDayKeepsTheTime) {
  double evening = 0, midnight = 0, nextDay = 0;
  ASSERT_TRUE(SystemTimeToVariantDate(Time(2024, 3, 10, 15, 30), &evening));
  ASSERT_TRUE(SystemTimeToVariantDate(Time(2024, 3, 10, 0, 0), &midnight));
  ASSERT_TRUE(SystemTimeToVariantDate(Time(2024, 3, 11, 0, 0), &nextDay));
  DlgSetDatePickerValue(m_picker, evening);
  DlgSetDatePickerValue(m_picker, midnight);
  EXPECT_EQ(evening, Value());
  DlgSetDatePickerValue(m_picker, nextDay);
  EXPECT_EQ(nextDay, Value());
}

}  // namespace
