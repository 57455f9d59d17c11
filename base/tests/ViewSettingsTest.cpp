#include "base/ViewSettings.h"
#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include <gtest/gtest.h>

#include <string>

namespace {

struct Number {
  const wchar_t* name;
  int CViewSettings::*member;  // null: NotesTypeEnabled[notesType]
  int notesType;
  int defaultValue;  // -1: depends on the phone library
  bool saved;

  int& Field(CViewSettings& s) const { return member ? s.*member : s.NotesTypeEnabled[notesType]; }
  int Default() const { return defaultValue >= 0 ? defaultValue : (HasPhoneLibrary() ? 1 : 0); }
  // Another value every reader accepts.
  int Other() const { return Default() == 0 ? 1 : Default() - 1; }
};

#define NUMBER(name, def, saved) {L## #name, &CViewSettings::name, 0, def, saved}
#define NOTES_TYPE(n) {L"NotesType" #n "Enabled", nullptr, n, 1, true}

const Number kNumbers[] = {
    NUMBER(Task_ShowCheckbox, 1, true),
    NUMBER(Task_MakeDateIndent, 1, true),
    NUMBER(Task_ShowUndatedLast, 1, true),
    NUMBER(App_TaskShowMultiday, 3, true),
    NUMBER(AppGroup_Sovel, 1, true),
    NUMBER(AppGroup_Today, 1, true),
    NUMBER(AppGroup_Offset, 1, true),
    NUMBER(AppGroup_Span, 1, true),
    NUMBER(App_SubjectStyle, 3, true),
    NUMBER(App_MakeDateIndent, 1, true),
    NUMBER(App_Location, 1, true),
    NUMBER(App_StatusBar, 1, true),
    NUMBER(FoldingStripeDrawCounter, 1, true),
    NUMBER(FoldingStripeShowCollapseIcon, 1, true),
    NUMBER(FoldingStripeDontShowNull, 1, true),
    NUMBER(App_StartOnly, 0, true),
    NUMBER(App_MarkConflicting, 1, true),
    NUMBER(ContLeftIdent, 1, true),
    NUMBER(NoteMakeIndent, 1, true),
    NUMBER(ContDisplay, 1, true),
    NUMBER(ContSearchCompany, 0, true),
    NUMBER(ContactsOneTap, 3, true),
    NUMBER(ContactShowTextForPhotos, 0, true),
    NUMBER(ContactGroupCompanyNoCase, 1, true),
    NUMBER(ContactOpenFromPopup, 0, true),
    NUMBER(BirthdayDisplay, 0, true),
    NUMBER(NoteDrawSize, 0, true),
    NUMBER(NoteDrawTime, 1, true),
    NUMBER(EmailShowEmptyAccounts, 0, true),
    NUMBER(EmailsOnlyUnreaded, 0, true),
    NUMBER(EmailCounterStyle, 0, true),
    NUMBER(EmailShowSize, 0, true),
    NUMBER(EmailConfirmDeletion, 1, true),
    NUMBER(FoldingStripeStyle, 2, true),
    NUMBER(OneClick, 0, true),
    NUMBER(DoubleClick, 2, true),
    NUMBER(PhatNotesEnabled, 1, true),
    NOTES_TYPE(0), NOTES_TYPE(1), NOTES_TYPE(2), NOTES_TYPE(3), NOTES_TYPE(4), NOTES_TYPE(5), NOTES_TYPE(6),
    NUMBER(ShowTasksInAllCategories, 0, true),
    NUMBER(ShowContactsInAllCategories, 0, true),
    NUMBER(SpecialPeriod, 0, true),
    NUMBER(App_CollapseButToday, 1, true),
    NUMBER(ContPreview_ShowAddressMode, -1, true),
    NUMBER(PhoneKeyb_DisableLangSwitch, 1, true),
    NUMBER(PhoneKeyb_DisableBackspace, 0, true),
    NUMBER(EnableDoubleTapOnScrollButton, 0, true),
    NUMBER(HorizontalTabsMode, 0, true),
    NUMBER(dbgTextOffset, 4, false),
    NUMBER(NewAutoAdjustVersion, 0, false),
    NUMBER(dbgNewHeaderSelection, 1, false),
    NUMBER(dbgNewStyleForAllAndMultiday, 1, false),
    NUMBER(dbgHorizontalNavigationMode, 1, false),
    NUMBER(dbgHorzTabsOccupyWholeWidth, 1, false),
};

#undef NUMBER
#undef NOTES_TYPE

struct Pattern {
  const wchar_t* name;
  CItemPattern CViewSettings::*member;
  const wchar_t* defaultText;
  const wchar_t* other;
};

const Pattern kPatterns[] = {
    {L"CurTaskPattern", &CViewSettings::TaskPattern, L"p3nqrsc", L"qc2n"},
    {L"CurAppPattern", &CViewSettings::AppPattern, L"n3rqsca", L"a1"},
    {L"CurContactPattern", &CViewSettings::ContactPattern, L"c1n", L"2nc"},
};

class ViewSettings : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(machine.Redirected()); }

  CLocalMachineSandbox machine{L"ViewSettings"};
  CRegistryView product = machine.Key(TARVO_PRODUCT_KEY);
};

TEST_F(ViewSettings, FirstLoadWritesEveryDefaultAndTheNextLoadReadsTheRegistry) {
  ASSERT_FALSE(product.Exists());
  CViewSettings settings;
  settings.Load();

  ASSERT_TRUE(product.Exists()) << "the first load creates the product key";
  for (const Number& n : kNumbers) {
    SCOPED_TRACE(testing::Message() << std::string(n.name, n.name + wcslen(n.name)));
    DWORD stored = 0;
    ASSERT_TRUE(product.ReadDWORD(n.name, stored));
    EXPECT_EQ(static_cast<int>(stored), n.Default());
    EXPECT_EQ(n.Field(settings), n.Default());
  }
  for (const Pattern& p : kPatterns) {
    std::wstring stored;
    ASSERT_TRUE(product.ReadString(p.name, stored));
    EXPECT_EQ(stored, p.defaultText);
    EXPECT_EQ(CViewSettings::FormatPattern(settings.*p.member), p.defaultText);
  }
  DWORD tabs = 0;
  ASSERT_TRUE(product.ReadDWORD(L"STCCurrentTabs", tabs));
  EXPECT_EQ(tabs, 4u);

  // Values changed behind the record's back are what the next load sees.
  for (const Number& n : kNumbers) product.WriteDWORD(n.name, static_cast<DWORD>(n.Other()));
  for (const Pattern& p : kPatterns) product.WriteString(p.name, p.other);
  settings.Load();
  for (const Number& n : kNumbers) {
    SCOPED_TRACE(testing::Message() << std::string(n.name, n.name + wcslen(n.name)));
    EXPECT_EQ(n.Field(settings), n.Other());
  }
  EXPECT_EQ(settings.GetTaskPattern(), L"qc2n");
  EXPECT_EQ(settings.GetAppPattern(), L"a1");
  EXPECT_EQ(settings.GetContactPattern(), L"2nc") << "a leading digit leaves an empty first part";
  ASSERT_TRUE(product.ReadDWORD(L"STCCurrentTabs", tabs));
  EXPECT_EQ(tabs, 1u) << "horizontal tabs now";
}

TEST_F(ViewSettings, OutOfRangeValuesAreResetToTheirDefaultAndWrittenBack) {
  struct Case {
    const wchar_t* name;
    DWORD stored;
    int expected;
  };
  const Case cases[] = {
      {L"App_SubjectStyle", 0, 3},
      {L"App_SubjectStyle", 4, 3},
      {L"App_TaskShowMultiday", 0xFFFFFFFF, 3},
      {L"ContactsOneTap", 7, 3},
      {L"SpecialPeriod", 9, 0},
      {L"SpecialPeriod", 6, 6},
      // Readers give meaning to any value of these: kept as stored.
      {L"FoldingStripeStyle", 7, 7},
      {L"dbgTextOffset", 0xFFFFFFFE, -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)) << " = " << c.stored);
    product.Delete();
    product.WriteDWORD(c.name, c.stored);
    CViewSettings settings;
    settings.Load();
    const Number* number = nullptr;
    for (const Number& n : kNumbers)
      if (wcscmp(n.name, c.name) == 0) number = &n;
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->Field(settings), c.expected);
    DWORD stored = 0;
    ASSERT_TRUE(product.ReadDWORD(c.name, stored));
    EXPECT_EQ(static_cast<int>(stored), c.expected);
  }
}

TEST_F(ViewSettings, TaskPatternOverrideIsNeitherReadNorWritten) {
  CViewSettings settings;
  settings.Load(L"x2yz");
  EXPECT_EQ(settings.TaskPattern.first, L"x");
  EXPECT_EQ(settings.TaskPattern.count, 2);
  EXPECT_EQ(settings.TaskPattern.rest, L"yz");
  EXPECT_FALSE(product.Has(L"CurTaskPattern"));
  EXPECT_TRUE(product.Has(L"CurAppPattern"));

  product.WriteString(L"CurTaskPattern", L"p3nqrsc");
  settings.Load(L"");
  EXPECT_EQ(settings.GetTaskPattern(), L"p3nqrsc") << "an empty override reads the registry";
}

TEST_F(ViewSettings, SaveWritesEveryOptionButTheReadOnlySwitches) {
  CViewSettings settings;
  settings.Load();
  for (const Number& n : kNumbers) n.Field(settings) = n.Other();
  settings.TaskPattern.count = 5;
  settings.HorizontalTabsMode = 1;
  product.Delete();
  product.WriteDWORD(L"dbgTextOffset", 9);

  EXPECT_TRUE(settings.Save());

  for (const Number& n : kNumbers) {
    SCOPED_TRACE(testing::Message() << std::string(n.name, n.name + wcslen(n.name)));
    DWORD stored = 0;
    if (!n.saved) {
      EXPECT_EQ(product.ReadDWORD(n.name, stored) ? static_cast<int>(stored) : -1,
                wcscmp(n.name, L"dbgTextOffset") == 0 ? 9 : -1)
          << "never saved: the registry keeps what it had";
      continue;
    }
    ASSERT_TRUE(product.ReadDWORD(n.name, stored));
    EXPECT_EQ(static_cast<int>(stored), n.Other());
  }
  std::wstring text;
  ASSERT_TRUE(product.ReadString(L"CurTaskPattern", text));
  EXPECT_EQ(text, L"p5nqrsc");
  ASSERT_TRUE(product.ReadString(L"CurContactPattern", text));
  EXPECT_EQ(text, L"c1n");
  DWORD tabs = 0;
  ASSERT_TRUE(product.ReadDWORD(L"STCCurrentTabs", tabs));
  EXPECT_EQ(tabs, 1u);
}

TEST(ViewSettingsPattern, ParsesAtTheDigitAndFormatsBack) {
  struct Case {
    const wchar_t* text;
    const wchar_t* first;
    int count;  // the count before parsing is 7
    const wchar_t* rest;
    const wchar_t* formatted;
  };
  const Case cases[] = {
      {L"p3nqrsc", L"p", 3, L"nqrsc", L"p3nqrsc"},
      {L"c1n", L"c", 1, L"n", L"c1n"},
      {L"n3rqsca", L"n", 3, L"rqsca", L"n3rqsca"},
      {L"0", L"", 0, L"", L"0"},
      // Without a digit the count stays and the whole text is the rest.
      {L"abc", L"", 7, L"abc", L"7abc"},
      {L"", L"", 7, L"", L"7"},
      {nullptr, L"", 7, L"", L"7"},
      // Every further digit starts the split again.
      {L"ab1cd2ef", L"cd", 2, L"ef", L"cd2ef"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.text ? std::string(c.text, c.text + wcslen(c.text)) : "null"));
    CItemPattern pattern;
    pattern.first = L"old";
    pattern.count = 7;
    pattern.rest = L"old";
    CViewSettings::ParsePattern(c.text, pattern);
    EXPECT_EQ(pattern.first, c.first);
    EXPECT_EQ(pattern.count, c.count);
    EXPECT_EQ(pattern.rest, c.rest);
    EXPECT_EQ(CViewSettings::FormatPattern(pattern), c.formatted);
  }
}

TEST_F(ViewSettings, ProcessRecordIsLoadedOnFirstUse) {
  CViewSettings& settings = GetViewSettings();
  EXPECT_EQ(&settings, &GetViewSettings());
  // A record only constructed holds zeros.
  EXPECT_EQ(settings.Task_ShowCheckbox, 1);
  EXPECT_EQ(settings.GetTaskPattern(), L"p3nqrsc");
}

}  // namespace
