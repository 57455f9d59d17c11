#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/RegistrySandbox.h"
#include "settings/base/DatePictures.h"
#include "settings/base/StringFields.h"
#include "settings/base/TabBarHeight.h"
#include "settings/base/VendorPresence.h"
#include "pim/SystemUtils.h"

namespace {

std::vector<std::wstring> Fields(LPCWSTR text, WCHAR separator) {
  CStringList list;
  list.Add(CString(L"stale"));
  SplitString(text, separator, list);
  std::vector<std::wstring> fields;
  for (int i = 0; i < list.GetCount(); ++i) fields.push_back(static_cast<LPCWSTR>(list.GetAt(i)));
  return fields;
}

TEST(StringFieldsTest, SplitKeepsEmptyFieldsAndJoinRestoresTheText) {
  struct Case {
    LPCWSTR text;
    std::vector<std::wstring> fields;
  };
  const Case cases[] = {
      {L"", {}},
      {L"one", {L"one"}},
      {L"a;b;c", {L"a", L"b", L"c"}},
      {L";", {L"", L""}},
      {L"a;;b;", {L"a", L"", L"b", L""}},
      {L";lead", {L"", L"lead"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
    EXPECT_EQ(Fields(c.text, L';'), c.fields);
    CStringList list;
    SplitString(c.text, L';', list);
    EXPECT_STREQ(JoinStrings(list, L';'), c.text);
  }
  EXPECT_TRUE(Fields(nullptr, L';').empty());
  EXPECT_STREQ(StringConcat(L'#', L"topic"), L"#topic");
  EXPECT_STREQ(StringConcat(L'#', nullptr), L"#");
}

TEST(DatePicturesTest, YearCutAndFieldsShortenedAsThePagesOfferThem) {
  struct Case {
    LPCWSTR picture;
    BOOL keepYear, shortYear, shortMonth, shortDay;
    LPCWSTR expected;
  };
  const Case cases[] = {
      {L"dddd, MMMM d yyyy", FALSE, TRUE, TRUE, TRUE, L"ddd, MMM d"},
      {L"d MMMM yyyy", FALSE, FALSE, FALSE, FALSE, L"d MMMM"},
      {L"yyyy/MM/dd", FALSE, FALSE, FALSE, FALSE, L"MM/dd"},
      // The year between two fields leaves one blank between them, not two.
      {L"d. yyyy MMMM", FALSE, FALSE, FALSE, FALSE, L"d MMMM"},
      {L"d MMMM yyyy", TRUE, FALSE, FALSE, FALSE, L"d MMMM yyyy"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(ParseDatePicture(c.picture, c.keepYear, c.shortYear, c.shortMonth, c.shortDay), c.expected)
        << testing::PrintToString(std::wstring(c.picture));
  EXPECT_EQ(GetLongDateSampleCount(), 4);
  EXPECT_STREQ(GetDefaultLongDateFormat(1), L"d MMMM yyyy");
}

class SettingsBaseRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_machine.Redirected()); }
  CLocalMachineSandbox m_machine{L"SettingsBase"};
  CRegistryView m_product = m_machine.Key(TARVO_PRODUCT_KEY);
};

TEST_F(SettingsBaseRegistryTest, TabBarHeightCountsShownAndCustomTabs) {
  struct Case {
    const char* name;
    bool hasShowTabs;
    DWORD showTabs;
    int customTabs;
    BOOL horizontal, tabHost;
    int height;
  };
  const Case cases[] = {
      {"no tabs shown: at least three", true, 0, 0, FALSE, FALSE, 60},
      {"all six and two custom", true, 0x3F, 2, FALSE, FALSE, 160},
      {"bits above the six do not count", true, 0xFFFFFFC1, 0, FALSE, FALSE, 60},
      {"four and one custom", true, 0x0F, 1, FALSE, FALSE, 100},
      {"missing: every tab", false, 0, 0, FALSE, FALSE, 120},
      {"horizontal tabs", true, 0x3F, 5, TRUE, FALSE, 80},
      {"in the tab host", true, 0x3F, 5, TRUE, TRUE, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_product.Delete();
    if (c.hasShowTabs) m_product.WriteDWORD(L"ShowTabs", c.showTabs);
    CRegistryView custom = m_machine.Key(TARVO_PRODUCT_KEY L"\\CustomTabs");
    for (int i = 0; i < c.customTabs; ++i) custom.CreateSubKey((L"Tab " + std::to_wstring(i)).c_str());
    EXPECT_EQ(GetTabBarHeight(c.horizontal, c.tabHost), c.height);
  }
  // The default is written back and the custom tabs key is made.
  m_product.Delete();
  GetTabBarHeight(FALSE, FALSE);
  DWORD shown = 0;
  EXPECT_TRUE(m_product.ReadDWORD(L"ShowTabs", shown));
  EXPECT_EQ(shown, 0xFFFFFFFFu);
  EXPECT_TRUE(m_machine.Key(TARVO_PRODUCT_KEY L"\\CustomTabs").Exists());
}

// The calendar programs' keys are pim's to read, tested there.
TEST_F(SettingsBaseRegistryTest, OtherVendorsByTheirLibraries) {
  // Libraries that are nowhere are absent, and asking loads nothing.
  EXPECT_FALSE(IsPellamPresent());
  EXPECT_EQ(FindPIToolsLibrary(), nullptr);
  EXPECT_FALSE(FreeLibrarySafe());
}

TEST(PhatNotesTest, FirstInstalledVersionByRow) {
  const wchar_t* paths[] = {L"Software\\PhatWare\\PhatNotes\\4.0\\Settings", L"Software\\PhatWare\\PhatNotes\\Settings"};
  CRegistryView phatware(HKEY_CURRENT_USER, L"Software\\PhatWare");
  phatware.Delete();
  DWORD code = 0;
  int row = 7;
  EXPECT_FALSE(FindFirstExistingKey(&code, &row));
  EXPECT_EQ(row, -1);
  CRegistryView(HKEY_CURRENT_USER, paths[1]).WriteDWORD(L"x", 1);
  EXPECT_TRUE(FindFirstExistingKey(&code, &row));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(code, 0x407u);
  CRegistryView(HKEY_CURRENT_USER, paths[0]).WriteDWORD(L"x", 1);
  EXPECT_TRUE(GetFirstExistingKeyIndex(&code));
  EXPECT_EQ(code, 0x405u);
  phatware.Delete();
}

}  // namespace
