#include "base/FilterList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "RegistrySandbox.h"

namespace {

std::vector<std::wstring> Entries(const CStringList& list) {
  std::vector<std::wstring> out;
  for (int i = 0; i < list.GetCount(); ++i) out.push_back(static_cast<LPCWSTR>(list[i]));
  return out;
}

CStringList Make(const std::vector<std::wstring>& texts) {
  CStringList list;
  for (const auto& t : texts) list.Add(t.c_str());
  return list;
}

// Every '|' ends an entry; a trailing one adds none; empty pieces inside count.
TEST(FilterList, SplitKeepsEmptyPiecesBeforeEachBar) {
  struct Case {
    const wchar_t* text;
    std::vector<std::wstring> entries;
  };
  const Case cases[] = {
      {L"", {}},
      {L"work", {L"work"}},
      {L"work|home", {L"work", L"home"}},
      {L"work|home|", {L"work", L"home"}},
      {L"|work", {L"", L"work"}},
      {L"a||b", {L"a", L"", L"b"}},
      {L"|", {L""}},
      {L"||", {L"", L""}},
      {L"100% sure|x", {L"100% sure", L"x"}},
  };
  for (const Case& c : cases) {
    CStringList list;
    CFilterList::Split(c.text, list);
    EXPECT_EQ(Entries(list), c.entries) << c.text;
  }
}

// A bar goes before an entry only once the text is not empty: leading empty entries
// leave no trace, inner ones stay.
TEST(FilterList, JoinPutsBarsOnlyAfterText) {
  struct Case {
    std::vector<std::wstring> entries;
    const wchar_t* text;
  };
  const Case cases[] = {
      {{}, L""},
      {{L"a"}, L"a"},
      {{L"a", L"b"}, L"a|b"},
      {{L"", L"a"}, L"a"},
      {{L"a", L"", L"b"}, L"a||b"},
      {{L"a", L""}, L"a|"},
  };
  for (const Case& c : cases) EXPECT_EQ(std::wstring(CFilterList::Join(Make(c.entries))), c.text) << c.text;
}

class FilterListRegistry : public ::testing::Test {
 protected:
  CLocalMachineSandbox machine_{L"FilterList"};
  CRegistryView filters_ = machine_.Key(CFilterList::kKeyPath);
};

TEST_F(FilterListRegistry, LoadsAndSavesItsOwnValue) {
  ASSERT_TRUE(machine_.Redirected());
  filters_.WriteString(L"HiddenFolders", L"work|old|");
  filters_.WriteString(L"NoteFolders", L"other");

  CFilterList list;
  ASSERT_TRUE(list.Load(L"HiddenFolders"));
  EXPECT_EQ(Entries(list.Entries()), (std::vector<std::wstring>{L"work", L"old"}));
  InsertMostRecent(list.Entries(), L"old");
  list.Entries().Add(L"new");
  ASSERT_TRUE(list.Save());

  std::wstring text;
  ASSERT_TRUE(filters_.ReadString(L"HiddenFolders", text));
  EXPECT_EQ(text, L"old|work|new");
  ASSERT_TRUE(filters_.ReadString(L"NoteFolders", text));
  EXPECT_EQ(text, L"other");

  // An emptied list writes the empty text rather than leaving the old one.
  list.Entries().RemoveAll();
  ASSERT_TRUE(list.Save());
  ASSERT_TRUE(filters_.ReadString(L"HiddenFolders", text));
  EXPECT_EQ(text, L"");
}

// Missing values, values of another type and a list never loaded: no entries, and
// nothing written where no name was given.
TEST_F(FilterListRegistry, MissingOrForeignValuesGiveNoEntries) {
  ASSERT_TRUE(machine_.Redirected());
  const DWORD number = 7;
  filters_.Write(L"Number", REG_DWORD, &number, sizeof number);
  filters_.Write(L"Bytes", REG_BINARY, "a|b", 3);

  CFilterList list;
  EXPECT_FALSE(list.Save());
  for (const wchar_t* name : {L"Missing", L"Number", L"Bytes"}) {
    list.Entries().Add(L"stale");
    EXPECT_FALSE(list.Load(name)) << name;
    EXPECT_EQ(list.GetCount(), 0) << name;
    EXPECT_EQ(std::wstring(list.GetValueName()), name);
  }
  EXPECT_FALSE(list.Load(nullptr));
  EXPECT_FALSE(list.Save());
}

// Values another program wrote, any characters: the entries are the pieces between
// bars, and joining them gives the text back less a trailing bar.
TEST(FilterList, AnyTextSplitsIntoPiecesThatJoinBack) {
  std::mt19937 random(58);
  const wchar_t alphabet[] = {L'|', L'a', L'%', L' ', L'\x00e9', L'\xd800', L'|', L'b'};
  for (int round = 0; round < 3000; ++round) {
    std::wstring text;
    const int length = random() % 24;
    for (int i = 0; i < length; ++i) text += alphabet[random() % (sizeof alphabet / sizeof alphabet[0])];
    CStringList list;
    CFilterList::Split(text.c_str(), list);
    std::wstring expected = text;
    if (!expected.empty() && expected.back() == L'|') expected.pop_back();
    std::wstring joined;
    for (int i = 0; i < list.GetCount(); ++i) joined += (i ? L"|" : L"") + std::wstring(list[i]);
    ASSERT_EQ(joined, expected) << round;
    // Splitting what Save writes loses at most leading empty entries.
    CStringList again;
    CFilterList::Split(CFilterList::Join(list), again);
    ASSERT_LE(again.GetCount(), list.GetCount());
  }
}

}  // namespace
