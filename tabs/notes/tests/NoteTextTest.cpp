#include "tabs/notes/NoteText.h"

#include <gtest/gtest.h>

#include <string>

#include "base/DateTime.h"

namespace {

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
