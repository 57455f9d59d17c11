#include "base/SizeText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "base/DateFormat.h"

namespace {

// Both unit ladders around each step, and the remainders a raw three-digit print got
// wrong (1,000 to 1,023 bytes over whole kilobytes, minutes' remainders in ms).
TEST(SizeText, AroundEveryUnitBoundary) {
  struct Case {
    DWORD value;
    SizeTextUnits units;
    const wchar_t* text;
  };
  const SizeTextUnits B = SIZE_TEXT_BYTES, MS = SIZE_TEXT_MILLISECONDS;
  const Case cases[] = {
      {0, B, L"0B"},
      {500, B, L"500B"},
      {1023, B, L"1023B"},
      {1024, B, L"1.00K"},
      {1536, B, L"1.50K"},
      {2047, B, L"1.99K"},
      {2048, B, L"2.00K"},
      {1024 + 1010, B, L"1.98K"},
      {6130, B, L"5.98K"},
      {10000, B, L"9.76K"},
      {21460, B, L"20.9K"},
      {123456, B, L"120K"},
      {1048575, B, L"1023K"},
      {1048576, B, L"1.00M"},
      {1572864, B, L"1.50M"},
      {1048576 + 1023 * 1024, B, L"1.99M"},
      {10 * 1048576 + 5, B, L"10.0M"},
      {150 * 1048576u + 1, B, L"150M"},
      {1073741823, B, L"1023M"},
      {1073741824u, B, L"1.00G"},
      {0xFFFFFFFFu, B, L"3.99G"},
      {0, MS, L"0.00S"},
      {999, MS, L"0.99S"},
      {3456, MS, L"3.45S"},
      {5500, MS, L"5.50S"},
      {59999, MS, L"59.9S"},
      {60000, MS, L"1.00M"},
      {90000, MS, L"1.50M"},
      {600000, MS, L"10.0M"},
      {59999999, MS, L"999M"},
      {60000000, MS, L"1000M"},
      // Whole minutes are never cut: a recording length held to 32 bits is 71,582 minutes.
      {0xFFFFFFFFu, MS, L"71582M"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::wstring(FormatSizeText(c.value, c.units, L".")), c.text) << c.value << " " << c.units;
}

TEST(SizeText, SeparatorGivenOrTheLocales) {
  EXPECT_STREQ(FormatSizeText(1536, SIZE_TEXT_BYTES, L","), L"1,50K");
  EXPECT_STREQ(FormatSizeText(3456, SIZE_TEXT_MILLISECONDS, L","), L"3,45S");
  EXPECT_STREQ(FormatSizeText(123456, SIZE_TEXT_BYTES, L","), L"120K");
  CString locale;
  GetDecimalSeparator(locale);
  ASSERT_FALSE(locale.IsEmpty());
  const CString expected = L"1" + locale + L"50K";
  EXPECT_STREQ(FormatSizeText(1536, SIZE_TEXT_BYTES), expected);
  EXPECT_STREQ(FormatSizeText(1536, SIZE_TEXT_BYTES, L""), expected);
}

// For any value: a unit letter, at most four characters of number (more only for whole
// digits), no separator last, and the number never above the true size nor below it by
// as much as its last shown digit.
TEST(SizeText, AnyValueReadsBackAsItsSizeCutDown) {
  std::mt19937 random(116);
  for (int round = 0; round < 5000; ++round) {
    const DWORD value = static_cast<DWORD>(random()) >> (random() % 32);
    const SizeTextUnits units = random() % 2 ? SIZE_TEXT_BYTES : SIZE_TEXT_MILLISECONDS;
    const std::wstring text = static_cast<LPCWSTR>(FormatSizeText(value, units, L"."));
    ASSERT_GE(text.size(), 2u) << value;
    const wchar_t unit = text.back();
    double step = 0;
    switch (unit) {
      case L'B': step = 1; break;
      case L'K': step = 1024; break;
      case L'G': step = 1024.0 * 1024 * 1024; break;
      case L'S': step = 1000; break;
      case L'M': step = units == SIZE_TEXT_BYTES ? 1024.0 * 1024 : 60000; break;
      default: FAIL() << text;
    }
    ASSERT_TRUE(units == SIZE_TEXT_BYTES ? unit != L'S' : (unit == L'S' || unit == L'M')) << text;
    const std::wstring number = text.substr(0, text.size() - 1);
    const size_t dot = number.find(L'.');
    ASSERT_NE(number.back(), L'.') << text;
    if (dot != std::wstring::npos) {
      ASSERT_LE(number.size(), 4u) << text;
    }
    const double shown = std::stod(number);
    const double exact = value / step;
    const double lastDigit = dot == std::wstring::npos ? 1 : std::pow(10.0, -static_cast<double>(number.size() - dot - 1));
    ASSERT_LE(shown, exact + 1e-9) << value << " " << text;
    ASSERT_LT(exact - shown, lastDigit) << value << " " << text;
  }
}

}  // namespace
