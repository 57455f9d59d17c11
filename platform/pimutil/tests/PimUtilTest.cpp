// The PIM helpers' date text, bound by name as programs bind it.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/pimutil/pimutil.h"

namespace {

class PimUtilTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryW(L"pimutil.dll");
    ASSERT_NE(module, nullptr);
    format = reinterpret_cast<PFN_PIM_GET_DATE_FORMAT>(
        reinterpret_cast<void*>(GetProcAddress(module, "PimGetDateFormat")));
    ASSERT_NE(format, nullptr);
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }
  HMODULE module = nullptr;
  PFN_PIM_GET_DATE_FORMAT format = nullptr;
};

TEST_F(PimUtilTest, FormatsAreTheLocalesDatePictures) {
  SYSTEMTIME day = {2026, 3, 5, 6, 9, 30, 0, 0};
  struct Case {
    DWORD format;
    DWORD flags;
  } cases[] = {{PIM_DATE_LONG, DATE_LONGDATE}, {PIM_DATE_SHORT, DATE_SHORTDATE}};
  for (const Case& c : cases) {
    wchar_t want[128], got[128];
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, c.flags, &day, nullptr, want, 128), 0);
    EXPECT_EQ(format(&day, c.format, got, 128), static_cast<int>(wcslen(want))) << c.format;
    EXPECT_STREQ(got, want);
  }
}

TEST_F(PimUtilTest, BadArgumentsFailWithTheirError) {
  SYSTEMTIME day = {2026, 3, 5, 6, 0, 0, 0, 0};
  SYSTEMTIME bad = {2026, 13, 0, 40, 0, 0, 0, 0};
  wchar_t buffer[128] = L"x";
  struct Case {
    const SYSTEMTIME* date;
    DWORD format;
    LPWSTR buffer;
    int size;
  } cases[] = {
      {nullptr, 1, buffer, 128}, {&day, 7, buffer, 128}, {&day, 1, nullptr, 128}, {&day, 1, buffer, 0},
      {&bad, 1, buffer, 128},    {&day, 1, buffer, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(format(c.date, c.format, c.buffer, c.size), 0) << c.format << " " << c.size;
    if (c.buffer && c.size > 0) {
      EXPECT_EQ(buffer[0], 0);
    }
  }
}

}  // namespace
