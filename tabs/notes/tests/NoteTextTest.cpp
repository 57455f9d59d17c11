#include "tabs/notes/NoteText.h"

#include <gtest/gtest.h>

#include <string>

#include "base/DateTime.h"

namespace {

// Four characters before the unit at most, a trailing separator dropped, the
// remainder printed as three digits and cut.
TEST(NoteText, SizeAndLengthTexts) {
  struct Case {
    DWORD value;
    BOOL voice;
    const wchar_t* separator;
    const wchar_t* text;
  };
  const Case cases[] = {
      {0, FALSE, L".", L"0B"},
      {1023, FALSE, L".", L"1023B"},
      {1024, FALSE, L".", L"1.00K"},
      {1536, FALSE, L".", L"1.51K"},
      {1536, FALSE, L",", L"1,51K"},
      {10000, FALSE, L".", L"9.78K"},
      {21460, FALSE, L".", L"20.9K"},
      {1048575, FALSE, L".", L"1023K"},
      {1048576, FALSE, L".", L"1.00M"},
      {150 * 1048576u + 1, FALSE, L".", L"150M"},
      {1073741824u, FALSE, L".", L"1.00G"},
      {0xFFFFFFFFu, FALSE, L".", L"3.10G"},
      {0, TRUE, L".", L"0.00S"},
      {5500, TRUE, L".", L"5.50S"},
      {59999, TRUE, L".", L"59.9S"},
      {60000, TRUE, L".", L"1.00M"},
      {90000, TRUE, L".", L"1.30M"},
      {0xFFFFFFFFu, TRUE, L".", L"7158M"},
      {1536, FALSE, L"", L"1.51K"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::wstring(FormatNoteSize(c.value, c.voice, c.separator)), c.text) << c.value << " " << c.voice;
}

// Only %s, %d and %% are ours; nothing else of the pattern or the name is a format.
TEST(NoteText, NameTemplatesExpandOnlyTheirOwnMarks) {
  struct Case {
    const wchar_t* pattern;
    const wchar_t* name;
    int counter;
    const wchar_t* result;
  };
  const Case cases[] = {
      {L"Copy of %s", L"Memo", 1, L"Copy of Memo"},
      {L"Copy (%d) of %s", L"Memo", 2, L"Copy (2) of Memo"},
      {L"Copy of %s", L"100%s %d %n", 1, L"Copy of 100%s %d %n"},
      {L"%s %s", L"a", 1, L"a a"},
      {L"50%% of %s", L"x", 1, L"50% of x"},
      {L"odd % and %x and %", L"x", 7, L"odd % and %x and %"},
      {L"", L"x", 1, L""},
      {L"%s", nullptr, 1, L""},
      {L"\"%s\"", L"quoted \"name\"", 1, L"\"quoted \"name\"\""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::wstring(ExpandNameTemplate(c.pattern, c.name, c.counter)), c.result) << c.pattern;
}

// Another day shows its date; today shows a lower-case time without seconds.
TEST(NoteText, DateOfAnotherDayTimeOfToday) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  now.wHour = 13;
  now.wMinute = 5;
  now.wSecond = 42;
  double today = 0;
  ASSERT_TRUE(SystemTimeToVariantDate(now, &today));
  const std::wstring time = static_cast<LPCWSTR>(FormatNoteDate(today));
  EXPECT_NE(time.find(L"05"), std::wstring::npos) << time;
  EXPECT_EQ(time.find(L"42"), std::wstring::npos) << time;
  for (wchar_t c : time) EXPECT_FALSE(iswupper(c)) << time;

  const std::wstring other = static_cast<LPCWSTR>(FormatNoteDate(today - 400));
  EXPECT_FALSE(other.empty());
  EXPECT_NE(other, time);
}

}  // namespace
