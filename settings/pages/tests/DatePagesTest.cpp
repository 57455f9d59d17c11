// The long and short date pages.
#include <gtest/gtest.h>

#include "base/ScreenDpi.h"
#include "settings/base/DatePictures.h"
#include "settings/pages/DatePageText.h"
#include "settings/pages/LongDatePage.h"
#include "settings/pages/ShortDatePage.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

using DatePagesTest = PageRunTest;

std::wstring LocalePicture(LCTYPE type) {
  WCHAR picture[80] = L"";
  GetLocaleInfoW(LOCALE_USER_DEFAULT, type, picture, ARRAYSIZE(picture));
  return picture;
}

std::wstring Today(const CString& picture) { return std::wstring(FormatToday(picture)); }

struct LongValues {
  DWORD regional, notYear, shortYear, shortMonth, shortDay, custom;
};

TEST_F(DatePagesTest, LongDateValuesRoundTripThroughTheSheet) {
  struct Case {
    const char* name;
    LongValues stored;
    std::vector<int> clicks;
    int choose;  // sample item, -1: leave alone
    int button;
    // shown
    bool shortYearTicked, shortYearEnabled;
    int items, selection;
    bool comboEnabled;
    LongValues written;
  };
  const DWORD kNone = 0xDEAD;
  const Case cases[] = {
      // Regional: one disabled item; the year is left out, so the short-year box is
      // cleared and disabled, and its stored value is neither shown nor written.
      {"defaults", {kNone, kNone, kNone, kNone, kNone, kNone}, {}, -1, IDOK, false, false, 1, 0, false,
       {1, 1, 1, 1, 1, 0}},
      {"samples with the stored index", {0, 0, 0, 1, 0, 2}, {}, -1, IDOK, false, true, 4, 2, true, {0, 0, 0, 1, 0, 2}},
      {"sample chosen", {0, 0, 1, 0, 0, 1}, {}, 3, IDOK, true, true, 4, 3, true, {0, 0, 1, 0, 0, 3}},
      // Unticking the regional picture brings back the stored sample.
      {"regional off", {1, 0, 1, 1, 1, 2}, {kLongRegionalBox}, -1, IDOK, true, true, 4, 2, true, {0, 0, 1, 1, 1, 2}},
      // The custom index is not written while the regional picture is on.
      {"regional on keeps the index", {0, 0, 1, 1, 1, 2}, {kLongRegionalBox}, -1, IDOK, true, true, 1, 0, false,
       {1, 0, 1, 1, 1, 2}},
      // Leaving the year out keeps the stored short year however the box was.
      {"year left out", {0, 0, 1, 1, 1, 0}, {kLongNotYearBox}, -1, IDOK, false, false, 4, 0, true,
       {0, 1, 1, 1, 1, 0}},
      // Showing the year again brings back the remembered state.
      {"year out and in", {0, 1, 0, 1, 1, 0}, {kLongNotYearBox, kLongShortYearBox, kLongNotYearBox, kLongNotYearBox},
       -1, IDOK, true, true, 4, 0, true, {0, 0, 1, 1, 1, 0}},
      {"cancel", {0, 0, 0, 0, 0, 1}, {kLongShortDayBox, kLongRegionalBox}, -1, IDCANCEL, false, true, 1, 0, false,
       {0, 0, 0, 0, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"LongDate_Regional", c.stored.regional);
    Store(L"LongDate_NotYear", c.stored.notYear);
    Store(L"LongDate_ShortYear", c.stored.shortYear);
    Store(L"LongDate_ShortMonth", c.stored.shortMonth);
    Store(L"LongDate_ShortDay", c.stored.shortDay);
    Store(L"LongDate_CustomFormat", c.stored.custom);
    bool shortYear = false, shortYearEnabled = false, comboEnabled = false;
    int items = 0, selection = -2;
    bool explained = false;
    RunPage(
        0, 3,
        [&](HWND page) {
          for (int box : c.clicks) Click(page, box);
          if (c.choose >= 0) Choose(page, kLongSampleCombo, c.choose);
          shortYear = Ticked(page, kLongShortYearBox);
          shortYearEnabled = Enabled(page, kLongShortYearBox);
          items = ItemCount(page, kLongSampleCombo);
          selection = Selection(page, kLongSampleCombo);
          comboEnabled = Enabled(page, kLongSampleCombo);
          explained = GetDlgItem(page, kDateExplanation) != nullptr;
        },
        {c.button});
    EXPECT_TRUE(explained);
    EXPECT_EQ(shortYear, c.shortYearTicked);
    EXPECT_EQ(shortYearEnabled, c.shortYearEnabled);
    EXPECT_EQ(items, c.items);
    EXPECT_EQ(selection, c.selection);
    EXPECT_EQ(comboEnabled, c.comboEnabled);
    EXPECT_EQ(Stored(L"LongDate_Regional"), c.written.regional);
    EXPECT_EQ(Stored(L"LongDate_NotYear"), c.written.notYear);
    EXPECT_EQ(Stored(L"LongDate_ShortYear"), c.written.shortYear);
    EXPECT_EQ(Stored(L"LongDate_ShortMonth"), c.written.shortMonth);
    EXPECT_EQ(Stored(L"LongDate_ShortDay"), c.written.shortDay);
    EXPECT_EQ(Stored(L"LongDate_CustomFormat"), c.written.custom);
  }
}

TEST_F(DatePagesTest, LongDateSamplesAreTodayInThePictures) {
  std::vector<std::wstring> regional, samples;
  Store(L"LongDate_Regional", 1);
  Store(L"LongDate_NotYear", 0);
  Store(L"LongDate_ShortYear", 0);
  Store(L"LongDate_ShortMonth", 1);
  Store(L"LongDate_ShortDay", 0);
  RunPage(
      0, 3,
      [&](HWND page) {
        for (int i = 0; i < ItemCount(page, kLongSampleCombo); ++i) regional.push_back(ItemText(page, kLongSampleCombo, i));
        Click(page, kLongRegionalBox);
        for (int i = 0; i < ItemCount(page, kLongSampleCombo); ++i) samples.push_back(ItemText(page, kLongSampleCombo, i));
      },
      {IDCANCEL});
  ASSERT_EQ(regional.size(), 1u);
  EXPECT_EQ(regional[0], Today(ParseDatePicture(LocalePicture(LOCALE_SLONGDATE).c_str(), TRUE, FALSE, TRUE, FALSE)));
  ASSERT_EQ(samples.size(), 4u);
  EXPECT_EQ(samples[0], Today(ParseDatePicture(L"dddd, MMMM d yyyy", TRUE, FALSE, TRUE, FALSE)));
  EXPECT_EQ(samples[1], Today(ParseDatePicture(L"d MMMM yyyy", TRUE, FALSE, TRUE, FALSE)));
  // The last sample follows the locale's short date.
  EXPECT_EQ(samples[3], Today(ParseDatePicture(LocalePicture(LOCALE_SSHORTDATE).c_str(), TRUE, FALSE, TRUE, FALSE)));
  EXPECT_FALSE(samples[0].empty());
}

TEST_F(DatePagesTest, ShortDateValuesRoundTripThroughTheSheet) {
  struct Case {
    const char* name;
    DWORD notYear, shortYear;
    std::vector<int> clicks;
    int button;
    bool shortYearTicked, shortYearEnabled;
    DWORD wNotYear, wShortYear;
    BOOL sampleKeepsYear, sampleShortYear;
  };
  const DWORD kNone = 0xDEAD;
  const Case cases[] = {
      {"defaults", kNone, kNone, {}, IDOK, false, false, 1, 1, FALSE, FALSE},
      {"year shown, long", 0, 0, {}, IDOK, false, true, 0, 0, TRUE, FALSE},
      {"short year ticked", 0, 0, {kShortShortYearBox}, IDOK, true, true, 0, 1, TRUE, TRUE},
      // The stored short year survives the year being left out.
      {"year left out", 0, 0, {kShortNotYearBox}, IDOK, false, false, 1, 0, FALSE, FALSE},
      {"year back", 1, 1, {kShortNotYearBox}, IDOK, true, true, 0, 1, TRUE, TRUE},
      {"cancel", 1, 0, {kShortNotYearBox, kShortShortYearBox}, IDCANCEL, true, true, 1, 0, TRUE, TRUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"ShortDate_NotYear", c.notYear);
    Store(L"ShortDate_ShortYear", c.shortYear);
    bool ticked = false, enabled = false;
    std::wstring sample;
    RunPage(
        0, 4,
        [&](HWND page) {
          for (int box : c.clicks) Click(page, box);
          ticked = Ticked(page, kShortShortYearBox);
          enabled = Enabled(page, kShortShortYearBox);
          WCHAR text[128] = L"";
          GetDlgItemTextW(page, kShortSampleText, text, ARRAYSIZE(text));
          sample = text;
        },
        {c.button});
    EXPECT_EQ(ticked, c.shortYearTicked);
    EXPECT_EQ(enabled, c.shortYearEnabled);
    EXPECT_EQ(Stored(L"ShortDate_NotYear"), c.wNotYear);
    EXPECT_EQ(Stored(L"ShortDate_ShortYear"), c.wShortYear);
    EXPECT_EQ(sample, Today(ParseDatePicture(LocalePicture(LOCALE_SSHORTDATE).c_str(), c.sampleKeepsYear,
                                             c.sampleShortYear, TRUE, TRUE)));
  }
}

// Both pages' explanation stays a band 36 logical pixels high along the page's
// bottom, 5 in from each side, whatever size the page takes: a sheet that widens
// or turns its pages after they start does not leave it narrow or half hidden.
TEST_F(DatePagesTest, ExplanationFollowsThePagesSize) {
  struct Size {
    int width, height;  // the client, logical pixels
  };
  const Size sizes[] = {{240, 300}, {320, 200}, {200, 260}};
  for (int pageIndex : {3, 4}) {
    SCOPED_TRACE(pageIndex);
    RunPage(
        0, pageIndex,
        [&](HWND page) {
          for (const Size& size : sizes) {
            SizePageClient(page, ScaleX(size.width), ScaleY(size.height));
            SendMessageW(page, WM_SETTINGCHANGE, kScreenResetCode, 0);
            RECT client = {};
            GetClientRect(page, &client);
            RECT now = {};
            GetWindowRect(GetDlgItem(page, kDateExplanation), &now);
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&now), 2);
            const RECT band = {ScaleX(5), client.bottom - ScaleY(36), client.right - ScaleX(5), client.bottom};
            EXPECT_TRUE(EqualRect(&now, &band)) << size.width << "x" << size.height << ": " << now.left << ","
                                                << now.top << "," << now.right << "," << now.bottom;
          }
        },
        {IDCANCEL});
  }
}

}  // namespace
