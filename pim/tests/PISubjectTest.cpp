// Pocket Informant's subject prefixes, in tables and fuzzed.
#include "pim/PISubject.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/DateTime.h"
#include "platform/windowlib/Module.h"

namespace {

TEST(PISubject, IdentifierPrefixes) {
  const struct Case {
    const wchar_t* subject;
    BOOL ok;
    DWORD number;
    const wchar_t* text;
  } cases[] = {
      {L"|12: Buy milk", TRUE, 12, L"Buy milk"},
      {L"|12:Buy", TRUE, 12, L"Buy"},
      {L"|12:  two blanks", TRUE, 12, L" two blanks"},
      {L"|1003520:top", TRUE, 1003520, L"top"},
      {L"|1003521:over", FALSE, 0, L"|1003521:over"},
      {L"|99999999999999999999:x", FALSE, 0, L"|99999999999999999999:x"},
      {L"|12", FALSE, 0, L"|12"},
      {L"|12 x: y", FALSE, 0, L"|12 x: y"},
      {L"|:x", FALSE, 0, L"|:x"},
      {L"|12: ", FALSE, 0, L"|12: "},
      {L"|12:", FALSE, 0, L"|12:"},
      {L"12: x", FALSE, 0, L"12: x"},
      {L"", FALSE, 0, L""},
      {nullptr, FALSE, 0, L""},
  };
  for (const Case& c : cases) {
    CString text = L"stale";
    DWORD number = 0;
    EXPECT_EQ(ParsePISubjectId(c.subject, text, kNoDate, &number), c.ok) << (c.subject ? c.subject : L"(null)");
    EXPECT_EQ(number, c.number) << (c.subject ? c.subject : L"(null)");
    EXPECT_STREQ(text, c.text) << (c.subject ? c.subject : L"(null)");
  }
}

TEST(PISubject, ACompletionDateFollowsTheSubject) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file = path;
  file = file.substr(0, file.rfind(L'\\') + 1) + L"TarvoRes.Dll";
  HMODULE texts = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(texts);
  HINSTANCE previous = GetModule().SetResourceInstance(texts);
  SYSTEMTIME day = {2026, 12, 0, 9, 0, 0, 0, 0};
  double date = 0;
  ASSERT_TRUE(SystemTimeToVariantDate(day, &date));
  wchar_t shown[64];
  ASSERT_TRUE(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, shown, 64));
  CString text;
  DWORD number = 0;
  EXPECT_TRUE(ParsePISubjectId(L"|7: Water plants", text, date + 0.5, &number));
  EXPECT_EQ(number, 7u);
  EXPECT_EQ(std::wstring(text), L"Water plants Completed: " + std::wstring(shown));
  EXPECT_FALSE(ParsePISubjectId(L"Water plants", text, date, &number));
  EXPECT_STREQ(text, L"Water plants") << "no prefix, no date";
  GetModule().SetResourceInstance(previous);
  FreeLibrary(texts);
}

TEST(PISubject, CodePrefixes) {
  const struct Case {
    const wchar_t* subject;
    DWORD flags;
    const wchar_t* templateName;
    int priorityClass;
    int priorityNumber;
    DWORD identifier;
    const wchar_t* text;
  } cases[] = {
      {L"[TEMPLATE: Weekly ]A01|42: Buy milk ", 15, L"Weekly", 0, 1, 42, L"Buy milk"},
      {L"B: Call", 2, L"", 1, -1, 0, L"Call"},
      {L"C07: x", 6, L"", 2, 7, 0, L"x"},
      {L"Z99|3:y", 14, L"", 25, 99, 3, L"y"},
      {L"|42: x", 8, L"", -1, -1, 42, L"x"},
      {L"A|7: x", 10, L"", 0, -1, 7, L"x"},
      {L"A|B: x", 0, L"", -1, -1, 0, L"A|B: x"},
      {L"Note: call Bob", 0, L"", -1, -1, 0, L"Note: call Bob"},
      {L"A1: x", 0, L"", -1, -1, 0, L"A1: x"},
      {L"AB: x", 0, L"", -1, -1, 0, L"AB: x"},
      {L"|4x: y", 0, L"", -1, -1, 0, L"|4x: y"},
      {L"|99999999999: y", 0, L"", -1, -1, 0, L"|99999999999: y"},
      {L": x", 0, L"", -1, -1, 0, L": x"},
      {L"[TEMPLATE:T] plain", 1, L"T", -1, -1, 0, L"plain"},
      {L"[TEMPLATE:T]B: coded", 3, L"T", 1, -1, 0, L"coded"},
      {L"[TEMPLATE:T no close", 0, L"", -1, -1, 0, L"[TEMPLATE:T no close"},
      {L"  spaced  ", 0, L"", -1, -1, 0, L"spaced"},
      {L"", 0, L"", -1, -1, 0, L""},
      {nullptr, 0, L"", -1, -1, 0, L""},
  };
  for (const Case& c : cases) {
    const wchar_t* what = c.subject ? c.subject : L"(null)";
    CString text;
    PI_SUBJECT_CODES codes;
    EXPECT_EQ(ParsePISubjectCodes(c.subject, text, &codes), c.flags) << what;
    EXPECT_STREQ(text, c.text) << what;
    EXPECT_STREQ(codes.templateName, c.templateName) << what;
    EXPECT_EQ(codes.priorityClass, c.priorityClass) << what;
    EXPECT_EQ(codes.priorityNumber, c.priorityNumber) << what;
    EXPECT_EQ(codes.identifier, c.identifier) << what;
  }
}

// Subjects from the stores may be anything: both parsers keep their promises.
TEST(PISubject, FuzzedSubjectsKeepThePromises) {
  std::mt19937 random(119);
  const std::wstring pieces[] = {L"|", L":", L" ", L"A", L"Z", L"q", L"0", L"7", L"99", L"1003520", L"[TEMPLATE:",
                                 L"]", L"\t", L"\x00E9", L"\xD800", L"4294967296", L"|12: ", L"B07|"};
  for (int round = 0; round < 5000; ++round) {
    std::wstring subject;
    int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) subject += pieces[random() % (sizeof pieces / sizeof pieces[0])];
    if (random() % 8 == 0 && !subject.empty()) subject[random() % subject.size()] = static_cast<wchar_t>(1 + random() % 0xFFFE);

    CString text;
    DWORD number = 0xFFFFFFFF;
    BOOL ok = ParsePISubjectId(subject.c_str(), text, kNoDate, &number);
    if (ok) {
      EXPECT_LE(number, kMaxPISubjectId) << subject;
      EXPECT_FALSE(text.IsEmpty()) << subject;
      EXPECT_NE(subject.find(static_cast<LPCWSTR>(text)), std::wstring::npos) << subject;
    } else {
      EXPECT_EQ(std::wstring(text), subject);
    }

    PI_SUBJECT_CODES codes;
    DWORD flags = ParsePISubjectCodes(subject.c_str(), text, &codes);
    EXPECT_EQ(flags & ~15u, 0u) << subject;
    std::wstring rest = static_cast<LPCWSTR>(text);
    if (!rest.empty()) {
      EXPECT_NE(rest.front(), L' ') << subject;
      EXPECT_NE(rest.back(), L' ') << subject;
    }
    EXPECT_EQ((flags & PI_CODE_PRIORITY_CLASS) != 0, codes.priorityClass >= 0) << subject;
    EXPECT_LT(codes.priorityClass, 26) << subject;
    EXPECT_EQ((flags & PI_CODE_PRIORITY_NUMBER) != 0, codes.priorityNumber >= 0) << subject;
    EXPECT_LE(codes.priorityNumber, 99) << subject;
  }
}

}  // namespace
