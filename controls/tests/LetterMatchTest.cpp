#include "controls/LetterMatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/KeyLayouts.h"
#include "controls/tests/KeyLayoutFixtures.h"

namespace {

// Latin groups: 0 abc, 1 def, 2 ghi, 3 jkl, 4 mno, 5 pqrs, 6 tuv, 7 wxyz.
struct GroupCase {
  const wchar_t* text;
  std::vector<int> typed;
  int position;
  int length;
};

const GroupCase kGroupCases[] = {
    {L"Jane Black", {3, 0}, 0, 2},
    {L"Mr. Kahn", {3, 0}, 4, 2},
    {L"3com", {0, 4}, 1, 2},
    {L"3com", {5}, -1, 0},  // the digit is no letter of any group
    {L"Jane Black", {0, 3}, 5, 2},
    {L"J. Black", {3, 0}, 0, 4},  // separators inside a match are skipped
    {L"ÀLVARO", {0, 3}, 0, 2},    // accented capitals fold to the group's letters
    {L"Jane Black", {}, 0, 0},
    {L"Ja", {3, 0, 4}, -1, 0},
    {L"", {3}, -1, 0},
    {L"Jane", {9}, -1, 0},
};

TEST(LetterMatch, TypedGroupsMatchFromWordStarts) {
  layouttest::CLayoutSource empty(L"LetterMatch");
  CKeyLayouts layouts(empty.Path().c_str());
  const CKeyLayout& latin = *layouts.GetLatin();
  for (const GroupCase& c : kGroupCases) {
    SCOPED_TRACE(c.text);
    int length = -1;
    EXPECT_EQ(FindGroupMatch(c.text, latin, c.typed.data(), int(c.typed.size()), &length), c.position);
    EXPECT_EQ(length, c.length);
  }
}

struct LetterCase {
  const wchar_t* text;
  const wchar_t* typed;
  int position;
  int length;
};

const LetterCase kLetterCases[] = {
    {L"José Ramos", L"jose", 0, 4},
    {L"Zoë", L"zoe", 0, 3},
    {L"Ramos, José", L"jos", 7, 3},
    {L"\x0401\x043B\x043A\x0430", L"\x0435\x043B", 0, 2},  // Cyrillic: typed ie takes io
    {L"Jane Black", L"jane b", 0, 6},  // a typed blank stands for the text's separators
    {L"Jane Black", L"bl", 5, 2},
    {L"Jane Black", L"e", -1, 0},  // only from word starts
    {L"Jose", L"josé", -1, 0},     // folding goes one way: the plain letter takes its variants
    {L"Jane", L"", 0, 0},
};

TEST(LetterMatch, HardwareTypedLettersTakeTheirAccentedVariants) {
  layouttest::CLayoutSource empty(L"LetterMatchKeys");
  CKeyLayouts layouts(empty.Path().c_str());
  for (const LetterCase& c : kLetterCases) {
    SCOPED_TRACE(std::wstring(c.text) + L" / " + c.typed);
    int length = -1;
    EXPECT_EQ(MatchTypedLetters(c.text, c.typed, layouts.GetHWKeysLayout(), &length), c.position);
    EXPECT_EQ(length, c.length);
  }
}

}  // namespace
