#include "controls/KeyLayouts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "controls/tests/KeyLayoutFixtures.h"
#include "platform/tests/ByteMutator.h"

using layouttest::Bytes;
using layouttest::CLayoutSource;
using layouttest::LayoutFile;
using layouttest::Utf16;

namespace {

// The reading rules of one program for the length of a test.
struct CRules {
  explicit CRules(bool options) { CKeyLayouts::SetOptionsProgramRules(options ? TRUE : FALSE); }
  ~CRules() { CKeyLayouts::SetOptionsProgramRules(FALSE); }
};

// "label|letters" for each group.
std::vector<std::wstring> Groups(const CKeyLayout& layout) {
  std::vector<std::wstring> groups;
  for (int i = 0; i < layout.GetGroupCount(); ++i)
    groups.push_back(std::wstring(layout.GetLabel(i)) + L"|" + std::wstring(layout.GetLetters(i)));
  return groups;
}

std::vector<std::wstring> Names(const CKeyLayouts& layouts) {
  std::vector<std::wstring> names;
  for (int i = 0; i < layouts.GetCount(); ++i) names.push_back(layouts.GetName(i));
  return names;
}

// A text after the byte-order mark. valid false: both programs reject it.
// The library trims blanks off the ends of each text; the options program
// removes every blank.
struct ParseCase {
  const wchar_t* what;
  std::wstring text;
  bool valid;
  std::vector<std::wstring> library;
  std::vector<std::wstring> options;
};

const ParseCase kParseCases[] = {
    {L"two groups", L"labc(abc) def(def)", true, {L"abc|abc", L"def|def"}, {L"abc|abc", L"def|def"}},
    {L"blanks at the ends", L"la (bc) d(ef)", true, {L"a|bc", L"d|ef"}, {L"a|bc", L"d|ef"}},
    {L"inner blanks", L"l a b ( c d )", true, {L"a b|c d"}, {L"ab|cd"}},
    {L"label of blanks only", L"l  (abc)", true, {L"|abc"}, {L"|abc"}},
    {L"letters of blanks only", L"labc( )", true, {L"abc|"}, {L"abc|"}},
    {L"line break between groups", L"la(a)\r\nb(b)", true, {L"a|a", L"\r\nb|b"}, {L"a|a", L"\r\nb|b"}},
    {L"a NUL ends the text", std::wstring(L"la(a)\0junk", 10), true, {L"a|a"}, {L"a|a"}},
    {L"nothing after the mark", L"", false, {}, {}},
    {L"no groups after the flag", L"l", false, {}, {}},
    {L"blank after the last group", L"labc(abc) ", false, {}, {}},
    {L"line break after the last group", L"labc(abc)\r\n", false, {}, {}},
    {L"text after the last group", L"labc(abc) def", false, {}, {}},
    {L"no label at all", L"l(abc)", false, {}, {}},
    {L"no label in the second group", L"la(a)(b)", false, {}, {}},
    {L"empty letters", L"labc()", false, {}, {}},
    {L"'(' inside the letters", L"labc(a(bc)", false, {}, {}},
    {L"')' before '('", L"labc)abc(", false, {}, {}},
    {L"no ')'", L"labc(abc", false, {}, {}},
    {L"no '('", L"labcabc)", false, {}, {}},
};

TEST(KeyLayoutParse, EachProgramReadsTheTableByItsOwnRules) {
  for (bool options : {false, true}) {
    CRules rules(options);
    for (const ParseCase& c : kParseCases) {
      SCOPED_TRACE(std::wstring(c.what) + (options ? L" (options program)" : L" (library)"));
      CKeyLayout layout;
      CString reason;
      const BOOL parsed = CKeyLayout::Parse(c.text.data(), int(c.text.size()), &layout, &reason);
      EXPECT_EQ(parsed != FALSE, c.valid) << std::wstring(reason);
      if (c.valid) {
        EXPECT_EQ(Groups(layout), options ? c.options : c.library);
        EXPECT_TRUE(CKeyLayout::Parse(c.text.data(), int(c.text.size()), nullptr)) << "checking agrees";
      } else {
        EXPECT_FALSE(reason.IsEmpty());
        EXPECT_EQ(layout.GetGroupCount(), 0) << "a rejected text leaves the layout alone";
      }
    }
  }
}

// Mutated layout texts, each without a terminator after its length: the check and
// the reading agree, a refusal says why, and whatever is accepted has groups and no
// parenthesis in a label or in letters.
TEST(KeyLayoutParse, MutatedTextsParseSafely) {
  const std::wstring seeds[] = {L"labc(abc) def(def) ghi(ghi)", L"r\u05d0\u05d1(\u05d0\u05d1) g(g)", L"l a (b) c ( d )"};
  const std::vector<std::wstring> alphabet =
      fixtures::ByteMutator::EachUnit(std::wstring(L"() ar\0\r\n\xFEFF\xD800", 10));
  fixtures::ByteMutator mutator(1209u);
  for (int round = 0; round < 4000; ++round) {
    const std::wstring text = mutator.Edit(seeds[round % 3], 3, alphabet);
    std::vector<wchar_t> exact(text.begin(), text.end());
    const int length = static_cast<int>(exact.size());
    const wchar_t* data = exact.empty() ? L"" : exact.data();
    for (bool options : {false, true}) {
      CRules rules(options);
      CKeyLayout layout;
      CString reason;
      const BOOL parsed = CKeyLayout::Parse(data, length, &layout, &reason);
      ASSERT_EQ(parsed, CKeyLayout::Parse(data, length, nullptr)) << round;
      if (!parsed) {
        EXPECT_FALSE(reason.IsEmpty()) << round;
        continue;
      }
      ASSERT_GE(layout.GetGroupCount(), 1) << round;
      for (int i = 0; i < layout.GetGroupCount(); ++i) {
        const std::wstring label(layout.GetLabel(i)), letters(layout.GetLetters(i));
        EXPECT_EQ((label + letters).find_first_of(L"()"), std::wstring::npos) << round;
      }
    }
  }
}

TEST(KeyLayoutParse, OnlyALeadingRSetsTheDirection) {
  CKeyLayout layout;
  ASSERT_TRUE(CKeyLayout::Parse(L"ra(b)", 5, &layout));
  EXPECT_TRUE(layout.GetDirection());
  ASSERT_TRUE(CKeyLayout::Parse(L"xa(b)", 5, &layout));
  EXPECT_FALSE(layout.GetDirection());
  EXPECT_EQ(CKeyLayouts::NormaliseName(L"gREEK"), CString(L"Greek"));
}

// The same set of files from a folder and from a .zip.
class KeyLayoutSource : public ::testing::TestWithParam<CLayoutSource::Kind> {
 protected:
  KeyLayoutSource() : source(L"KeyLayoutSource") {}
  CLayoutSource source;
};

TEST_P(KeyLayoutSource, ListsTheValidFilesAndLogsWhyTheOthersAreLeftOut) {
  source.Write(GetParam(), {
                               {"greek.txt", Utf16(L"lαβγ(αβγ) δεζ(δεζ)")},
                               {"readme.md", Utf16(L"l")},
                               {"utf8.txt", {'l', 'a', '(', 'a', ')'}},
                               {"CYRILLIC.TXT", Utf16(L"lабв(абв)")},
                               {"empty.txt", {}},
                               {"odd.txt", {0xFF, 0xFE, 'l', 0, 'a'}},
                               {"bad.txt", Utf16(L"labc(abc) ")},
                               {"hwkeyslayout.txt", Utf16(L"lz(ž)")},
                               {"nolabel.txt", Utf16(L"l(abc)")},
                               {"flagonly.txt", Utf16(L"r")},
                           });
  CKeyLayouts layouts(source.Path().c_str());
  std::vector<std::wstring> names = Names(layouts);
  // A folder lists its files in no set order; a .zip in its own.
  if (GetParam() == CLayoutSource::kFolder && names.size() == 3 && names[0] == L"Cyrillic") std::swap(names[0], names[1]);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Greek", L"Cyrillic", L"Latin"}));
  ASSERT_EQ(layouts.GetProblems().GetSize(), 6);
  std::wstring problems;
  for (int i = 0; i < layouts.GetProblems().GetSize(); ++i) problems += std::wstring(layouts.GetProblems()[i]) + L"\n";
  for (const wchar_t* name : {L"utf8.txt", L"empty.txt", L"odd.txt", L"bad.txt", L"nolabel.txt", L"flagonly.txt"})
    EXPECT_NE(problems.find(name), std::wstring::npos) << name << " in\n" << problems;

  // Files are only checked at start; the groups are read on first use.
  EXPECT_EQ(layouts.GetLayout(L"Greek", FALSE), nullptr);
  CKeyLayout* greek = layouts.GetLayout(L"Greek", TRUE);
  ASSERT_NE(greek, nullptr);
  EXPECT_EQ(Groups(*greek), (std::vector<std::wstring>{L"αβγ|αβγ", L"δεζ|δεζ"}));
  EXPECT_EQ(layouts.GetLayout(L"Greek", FALSE), greek);
  EXPECT_EQ(layouts.GetLayoutName(greek), CString(L"Greek"));
  EXPECT_EQ(layouts.GetLayout(L"greek", TRUE), nullptr) << "names are exact";
  EXPECT_EQ(layouts.GetLayout(L"Bad", TRUE), nullptr);
  EXPECT_EQ(layouts.GetLayout(L"HWKeysLayout", TRUE), nullptr) << "never a selectable layout";

  // No file gave "Latin": the built-in one, listed last.
  CKeyLayout* latin = layouts.GetLatin();
  ASSERT_NE(latin, nullptr);
  ASSERT_EQ(latin->GetGroupCount(), 8);
  EXPECT_EQ(Groups(*latin)[0], L"abc|abcàáâãäåæçč");
  EXPECT_EQ(Groups(*latin)[7], L"wxyz|wxyzýÿ");

  // A shipped hardware-key file replaces the built-in folding table.
  ASSERT_NE(layouts.GetHWKeysLayout(FALSE), nullptr);
  EXPECT_EQ(Groups(*layouts.GetHWKeysLayout(FALSE)), (std::vector<std::wstring>{L"z|ž"}));
}

TEST_P(KeyLayoutSource, ABrokenLatinFileGivesTheBuiltInLayout) {
  source.Write(GetParam(), {{"latin.txt", Utf16(L"labc(abc")}});
  CKeyLayouts layouts(source.Path().c_str());
  EXPECT_EQ(Names(layouts), std::vector<std::wstring>{L"Latin"});
  ASSERT_NE(layouts.GetLatin(), nullptr);
  EXPECT_EQ(layouts.GetLatin()->GetGroupCount(), 8);
  ASSERT_EQ(layouts.GetProblems().GetSize(), 1);
  EXPECT_NE(std::wstring(layouts.GetProblems()[0]).find(L"latin.txt"), std::wstring::npos);
}

TEST_P(KeyLayoutSource, AFileFromTheSourceReplacesTheBuiltInLatin) {
  source.Write(GetParam(), {{"LATIN.txt", Utf16(L"lab(ab) cd(cd)")}});
  CKeyLayouts layouts(source.Path().c_str());
  ASSERT_NE(layouts.GetLatin(), nullptr);
  EXPECT_EQ(Groups(*layouts.GetLatin()), (std::vector<std::wstring>{L"ab|ab", L"cd|cd"}));
  EXPECT_EQ(layouts.GetHWKeysLayout()->GetGroupCount(), 19) << "the built-in folding table";
}

TEST(KeyLayoutRules, OnlyTheOptionsProgramLooksForNamesAddedAfterStart) {
  for (bool options : {false, true}) {
    CRules rules(options);
    CLayoutSource source(L"KeyLayoutLate");
    source.Write(CLayoutSource::kFolder, {{"greek.txt", Utf16(L"la(a)")}});
    CKeyLayouts layouts(source.Path().c_str());
    source.AddFile({"thai.txt", Utf16(L"l\x0E01(\x0E01)")});
    CKeyLayout* thai = layouts.GetLayout(L"Thai", TRUE);
    EXPECT_EQ(thai != nullptr, options) << (options ? "options program" : "library");
    EXPECT_EQ(layouts.GetCount(), options ? 3 : 2);
  }
}

INSTANTIATE_TEST_SUITE_P(FolderAndZip, KeyLayoutSource,
                         ::testing::Values(CLayoutSource::kFolder, CLayoutSource::kZip));

TEST(KeyLayoutArchive, EntriesThatLieAboutTheirSizeAreLeftOutWithAReason) {
  CLayoutSource source(L"KeyLayoutLies");
  const Bytes greek = Utf16(L"la(a) b(b)");
  source.WriteZip({
      {"longer.txt", greek, 8, 0, static_cast<long long>(greek.size()) + 40},
      {"shorter.txt", greek, 8, 0, static_cast<long long>(greek.size()) - 4},
      {"storedlonger.txt", greek, 0, 0, static_cast<long long>(greek.size()) + 2, static_cast<long long>(greek.size()) + 2},
      {"huge.txt", greek, 8, 0, 0x7FFFFFF0},
      {"good.txt", greek},
  });
  CKeyLayouts layouts(source.Path().c_str());
  EXPECT_EQ(Names(layouts), (std::vector<std::wstring>{L"Good", L"Latin"}));
  EXPECT_EQ(layouts.GetProblems().GetSize(), 4);
  ASSERT_NE(layouts.GetLayout(L"Good", TRUE), nullptr);
}

TEST(KeyLayoutArchive, ADamagedArchiveFallsBackToTheFolder) {
  CLayoutSource source(L"KeyLayoutDamaged");
  Bytes zip = ziptest::BuildZip({{"zipped.txt", Utf16(L"la(a)")}});
  zip.resize(zip.size() / 2);
  ziptest::WriteBytes(source.Path() + L"\\layouts.zip", zip);
  source.AddFile({"folder.txt", Utf16(L"la(a)")});
  CKeyLayouts layouts(source.Path().c_str());
  EXPECT_EQ(Names(layouts), (std::vector<std::wstring>{L"Folder", L"Latin"}));
}

TEST(KeyLayoutArchive, NoSourceLeavesTheBuiltInLayouts) {
  CLayoutSource source(L"KeyLayoutNone");
  CKeyLayouts layouts(source.Path().c_str());
  EXPECT_EQ(Names(layouts), std::vector<std::wstring>{L"Latin"});
  EXPECT_EQ(layouts.GetProblems().GetSize(), 0);
  EXPECT_NE(layouts.GetLatin(), nullptr);
  EXPECT_FALSE(layouts.LoadLayout(L"Latin", FALSE)) << "no source to read from";
  EXPECT_NE(layouts.GetHWKeysLayout(), nullptr);
}

// The tabs' stored choice, read back through the layouts that still load.
class KeyLayoutSelection : public ::testing::Test {
 protected:
  KeyLayoutSelection() : machine(L"KeyLayoutSelection"), source(L"KeyLayoutSelection") {
    source.Write(CLayoutSource::kFolder, {{"greek.txt", Utf16(L"la(a)")}, {"cyrillic.txt", Utf16(L"lb(b)")}});
  }
  CRegistryView Product() const { return machine.Key(TARVO_PRODUCT_KEY); }
  CLocalMachineSandbox machine;
  CLayoutSource source;
};

struct SelectionCase {
  const wchar_t* stored;
  int storedActive;
  std::vector<std::wstring> names;
  int active;
};

const SelectionCase kSelectionCases[] = {
    {L"Latin", 0, {L"Latin"}, 0},
    {L"Latin,Greek,Cyrillic", 2, {L"Latin", L"Greek", L"Cyrillic"}, 2},
    // A name that no longer loads moves the index only when it stands at or
    // before the active one: the active layout stays the same.
    {L"Latin,Greek,Bad", 0, {L"Latin", L"Greek"}, 0},
    {L"Latin,Greek,Bad", 1, {L"Latin", L"Greek"}, 1},
    {L"Bad,Latin,Greek", 0, {L"Latin", L"Greek"}, 0},
    {L"Bad,Latin,Greek", 1, {L"Latin", L"Greek"}, 0},
    {L"Bad,Latin,Greek", 2, {L"Latin", L"Greek"}, 1},
    {L"Latin,Bad,Greek", 0, {L"Latin", L"Greek"}, 0},
    {L"Latin,Bad,Greek", 2, {L"Latin", L"Greek"}, 1},
    {L"Latin,Bad", 0, {L"Latin"}, 0},
    {L"Bad,Latin", 1, {L"Latin"}, 0},
    // The active one itself gone: the one before it.
    {L"Latin,Greek,Bad", 2, {L"Latin", L"Greek"}, 1},
    {L"Bad", 0, {}, 0},
    {L"Latin,,Greek", 2, {L"Latin", L"Greek"}, 1},
    {L"latin,Greek", 1, {L"Greek"}, 0},
    {L"", 0, {}, 0},
    {L"Latin,Greek", -1, {L"Latin", L"Greek"}, -1},
    {L"Latin,Greek", -7, {L"Latin", L"Greek"}, -1},
    {L"Latin,Greek", 5, {L"Latin", L"Greek"}, 5},
};

TEST_F(KeyLayoutSelection, DroppedNamesKeepTheActiveLayout) {
  ASSERT_TRUE(machine.Redirected());
  CKeyLayouts layouts(source.Path().c_str());
  for (const SelectionCase& c : kSelectionCases) {
    SCOPED_TRACE(std::wstring(c.stored) + L" active " + std::to_wstring(c.storedActive));
    Product().WriteString(L"Notes_layouts", c.stored);
    Product().WriteDWORD(L"Notes_layout_active", DWORD(c.storedActive));
    CKeyLayoutList list;
    int active = 99;
    layouts.LoadGroupLayouts(L"Notes", list, active);
    std::vector<std::wstring> names;
    for (int i = 0; i < list.GetSize(); ++i) names.push_back(std::wstring(layouts.GetLayoutName(list[i])));
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(active, c.active);
  }
}

TEST_F(KeyLayoutSelection, MissingValuesReadAsLatinAndAreWrittenBack) {
  CKeyLayouts layouts(source.Path().c_str());
  CKeyLayoutList list;
  int active = 99;
  layouts.LoadSelection(L"Contacts", list, active);
  ASSERT_EQ(list.GetSize(), 1);
  EXPECT_EQ(list[0], layouts.GetLatin());
  EXPECT_EQ(active, 0);
  std::wstring names;
  DWORD stored = 99;
  EXPECT_TRUE(Product().ReadString(L"Contacts_layouts", names));
  EXPECT_EQ(names, L"Latin");
  EXPECT_TRUE(Product().ReadDWORD(L"Contacts_layout_active", stored));
  EXPECT_EQ(stored, 0u);
}

TEST_F(KeyLayoutSelection, SavingWritesTheNamesInOrderAndTheIndex) {
  CKeyLayouts layouts(source.Path().c_str());
  CKeyLayoutList list;
  list.Add(layouts.GetLayout(L"Cyrillic", TRUE));
  list.Add(layouts.GetLatin());
  EXPECT_TRUE(layouts.SaveGroupLayouts(L"Contacts", list, 1));
  std::wstring names;
  DWORD stored = 99;
  EXPECT_TRUE(Product().ReadString(L"Contacts_layouts", names));
  EXPECT_EQ(names, L"Cyrillic,Latin");
  EXPECT_TRUE(Product().ReadDWORD(L"Contacts_layout_active", stored));
  EXPECT_EQ(stored, 1u);

  EXPECT_TRUE(layouts.SaveActive(-1, L"Contacts"));
  EXPECT_TRUE(Product().ReadDWORD(L"Contacts_layout_active", stored));
  EXPECT_EQ(stored, 0xFFFFFFFFu) << "none active";
  CKeyLayoutList read;
  int active = 0;
  layouts.LoadSelection(L"Contacts", read, active);
  EXPECT_EQ(read.GetSize(), 2);
  EXPECT_EQ(active, -1);
}

}  // namespace
