// The steps that read an item's rows: the row a text names in a row dump, whatever the
// dump holds, and the steps' own lines.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/today/RowSteps.h"
#include "platform/today/TodayScript.h"

namespace {

const wchar_t kDump[] =
    L"tab 2 Tasks\n"
    L"group 553 open at 20 40 240 56 \"Overdue\" \" (1)\"\n"
    L"  row 503 icons 4,12 at 20 56 240 70 \"Renew the car insurance\" \"15/03\"\n"
    L"group 553 folded at 20 70 240 86 \"Today\" \" (2)\"\n"
    L"  row 503 hidden \"Call the dentist\"\n"
    L"group 553 open at 20 86 240 102 \"Tomorrow\" \" (1)\"\n"
    L"  row 503 at 20 400 240 414 offscreen \"Buy a birthday card for Anna\"\n"
    L"  row 503 at 20 102 240 116 \"Say \\\"hello\\\" to\\nthe team\" \"x\"\n";

TEST(RowStepsTest, ATextNamesTheFirstShownRowHoldingIt) {
  struct Case {
    const wchar_t* text;
    bool found;
    LONG top;
  } cases[] = {
      {L"Renew the car", true, 56},        // part of a row's text
      {L"15/03", true, 56},                // its second text
      {L"Today", true, 70},                // a folded group's header is shown
      {L"Call the dentist", false, 0},     // under a folded group
      {L"birthday card", false, 0},        // scrolled out of the list
      {L"Say \"hello\" to\nthe", true, 102},  // escapes read back
      {L"insurance\" \"15", false, 0},     // never across two texts
      {L"Tasks", false, 0},                // the tab line is no row
      {L"553", false, 0},                  // nor a row's kind
      {L"", false, 0},
  };
  for (const Case& c : cases) {
    RECT place = {};
    EXPECT_EQ(c.found, FindShownRow(kDump, c.text, place)) << c.text;
    if (c.found) {
      EXPECT_EQ(c.top, place.top) << c.text;
    }
  }
}

// Any text, however mangled, is read without a fault, and a row found is a real place.
TEST(RowStepsTest, MangledDumpsAreReadSafely) {
  const std::wstring seed = kDump;
  const wchar_t alphabet[] = L"0123456789 -\n\"\\atrowgupenhid\u00e9";
  std::mt19937 random(11);
  for (int i = 0; i < 3000; ++i) {
    std::wstring text = seed;
    for (int edits = 1 + random() % 8; edits > 0; --edits) {
      const size_t at = random() % (text.size() + 1);
      const wchar_t c = alphabet[random() % (sizeof(alphabet) / sizeof(wchar_t) - 1)];
      if (random() % 3 == 0 && at < text.size())
        text.erase(at, 1 + random() % 4);
      else if (random() % 2 || at == text.size())
        text.insert(at, 1, c);
      else
        text[at] = c;
    }
    for (const wchar_t* words : {L"Renew", L"e", L"\"", L"\\"}) {
      RECT place = {};
      if (FindShownRow(text, words, place)) {
        EXPECT_LT(place.left, place.right) << i;
        EXPECT_LT(place.top, place.bottom) << i;
      }
    }
  }
}

TEST(RowStepsTest, RowStepsParseWithTheirTexts) {
  CTodayScript script;
  std::wstring error;
  ASSERT_TRUE(script.Parse(L"rows C:\\tour\\a b.txt \ntaprow 6 Renew the car\nholdrow -10 x\n", error)) << error;
  ASSERT_EQ(3u, script.Steps().size());
  EXPECT_EQ(CTodayScript::Kind::Rows, script.Steps()[0].kind);
  EXPECT_EQ(L"C:\\tour\\a b.txt", script.Steps()[0].text);
  EXPECT_EQ(6, script.Steps()[1].a);
  EXPECT_EQ(L"Renew the car", script.Steps()[1].text);
  EXPECT_EQ(CTodayScript::Kind::HoldRow, script.Steps()[2].kind);
  EXPECT_EQ(-10, script.Steps()[2].a);
  for (const wchar_t* bad : {L"rows", L"taprow 6", L"taprow x Renew", L"holdrow Renew"})
    EXPECT_FALSE(script.Parse(std::wstring(L"wait 1\n") + bad + L"\n", error)) << bad;
}

}  // namespace
