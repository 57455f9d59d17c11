// The Contacts sheet's pages driven through the real sheet: what they show of the
// stored values and what they write back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/Platform.h"
#include "base/ViewSettings.h"
#include "platform/coredll/DeviceSwitch.h"
#include "settings/pages/ContactsCommonPage.h"
#include "settings/pages/ContactsIconsPage.h"
#include "settings/pages/ContactsShowPage.h"
#include "settings/pages/ContactsViewStylePage.h"
#include "settings/pages/LayoutCombo.h"
#include "settings/pages/tests/PageRunner.h"

namespace {

const DWORD kMissing = 0xDEAD;
const int kContactsSection = 3;

// Chooses no layout at all and switches the language key off.
INT_PTR ChooseNothing(HWND, CKeyLayoutList& layouts, int& disableLangSwitch) {
  layouts.RemoveAll();
  disableLangSwitch = 1;
  return IDOK;
}

class ContactsPagesTest : public LayoutPageTest {
 protected:
  void TearDown() override {
    ResetPlatformTests();
    LayoutPageTest::TearDown();
  }
};

TEST_F(ContactsPagesTest, CommonPageGroupingAndOneTapRoundTrip) {
  struct Case {
    const char* name;
    DWORD groupBy, oneTap, fromPopup;
    int shownGroup;
    bool boxEnabled, boxTicked;
    int chooseGroup, chooseOneTap;  // -1: left alone
    DWORD writtenGroup, writtenOneTap, writtenFromPopup;
  };
  const Case cases[] = {
      {"defaults", kMissing, kMissing, kMissing, 2, true, true, -1, -1, 551, 3, 0},
      // Groupings the page does not offer show the first item and go back as 501.
      {"day groups", 557, 3, 1, 0, true, false, -1, -1, 501, 3, 1},
      {"old value", 549, 1, 0, 0, false, true, -1, -1, 501, 1, 0},
      {"company", 558, 0, 0, 1, false, true, 2, 3, 551, 3, 0},
      // Leaving the popup action disables the box; its state is still what is written.
      {"popup left", 501, 3, 0, 0, true, true, 1, 2, 558, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"ContactsGroupBy", c.groupBy);
    Store(L"ContactsOneTap", c.oneTap);
    Store(L"ContactOpenFromPopup", c.fromPopup);
    int group = -2;
    bool enabled = false, ticked = false, enabledAfter = false;
    RunPage(kContactsSection, 0, [&](HWND page) {
      group = Selection(page, kContactsGroupByCombo);
      enabled = Enabled(page, kContactsPopupBox);
      ticked = Ticked(page, kContactsPopupBox);
      if (c.chooseGroup >= 0) Choose(page, kContactsGroupByCombo, c.chooseGroup);
      if (c.chooseOneTap >= 0) Choose(page, kContactsOneTapCombo, c.chooseOneTap);
      enabledAfter = Enabled(page, kContactsPopupBox);
    }, {IDOK});
    EXPECT_EQ(group, c.shownGroup);
    EXPECT_EQ(enabled, c.boxEnabled);
    EXPECT_EQ(ticked, c.boxTicked);
    EXPECT_EQ(enabledAfter, c.writtenOneTap == 3);
    EXPECT_EQ(Stored(L"ContactsGroupBy"), c.writtenGroup);
    EXPECT_EQ(Stored(L"ContactsOneTap"), c.writtenOneTap);
    EXPECT_EQ(Stored(L"ContactOpenFromPopup"), c.writtenFromPopup);
  }
}

TEST_F(ContactsPagesTest, KeyLayoutListOffersTheChosenLayoutsNoneAndTheDialog) {
  struct Case {
    const char* name;
    DWORD active;
    int shown;
    int choose;
    DWORD written;
  };
  const Case cases[] = {
      {"default", kMissing, 0, -1, 0},
      {"none active", 0xFFFFFFFF, 1, -1, 0xFFFFFFFF},
      // An active index past the chosen layouts is none.
      {"past the list", 5, 1, -1, 0xFFFFFFFF},
      {"none chosen", 0, 0, 1, 0xFFFFFFFF},
      // The dialog item, cancelled: the item before is selected again.
      {"dialog cancelled", 0xFFFFFFFF, 1, 2, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"Contacts_layout_active", c.active);
    DialogRuns() = 0;
    int shown = -2, after = -2, items = 0;
    std::wstring first, none;
    RunPage(kContactsSection, 0, [&](HWND page) {
      shown = Selection(page, kContactsLayoutCombo);
      items = ItemCount(page, kContactsLayoutCombo);
      first = ItemText(page, kContactsLayoutCombo, 0);
      none = ItemText(page, kContactsLayoutCombo, 1);
      if (c.choose >= 0) Choose(page, kContactsLayoutCombo, c.choose);
      after = Selection(page, kContactsLayoutCombo);
    }, {IDOK});
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(items, 3);
    EXPECT_EQ(first, L"Latin");
    EXPECT_EQ(none, L"None");
    EXPECT_EQ(after, c.choose == 2 ? c.shown : (c.choose >= 0 ? c.choose : c.shown));
    EXPECT_EQ(DialogRuns(), c.choose == 2 ? 1 : 0);
    EXPECT_EQ(Stored(L"Contacts_layout_active"), c.written);
    EXPECT_EQ(StoredText(L"Contacts_layouts"), L"Latin");
  }
}

TEST_F(ContactsPagesTest, LayoutDialogChoiceRefillsTheList) {
  SetLayoutSelectRunner(&ChooseNothing);
  int items = 0, selected = -2;
  RunPage(kContactsSection, 0, [&](HWND page) {
    Choose(page, kContactsLayoutCombo, 2);
    items = ItemCount(page, kContactsLayoutCombo);
    selected = Selection(page, kContactsLayoutCombo);
  }, {IDOK});
  // Latin, selected before, is gone: the first item stands in.
  EXPECT_EQ(items, 2);
  EXPECT_EQ(selected, 0);
  EXPECT_EQ(StoredText(L"Contacts_layouts"), L"");
  EXPECT_EQ(Stored(L"Contacts_layout_active"), 0xFFFFFFFFu);
  EXPECT_EQ(Stored(L"PhoneKeyb_DisableLangSwitch"), 1u);
}

TEST_F(ContactsPagesTest, ShowPagePhotoItemsStoreTwoValues) {
  struct Case {
    const char* name;
    DWORD photos, text;
    int shown;
    int choose;
    DWORD writtenPhotos, writtenText;
  };
  const Case cases[] = {
      {"defaults", kMissing, kMissing, 0, -1, 0, 0},
      {"photo", 1, 0, 1, -1, 1, 0},
      {"both", 1, 2, 2, -1, 1, 2},
      {"text switch alone", 0, 2, 0, -1, 0, 0},
      {"both chosen", 0, 0, 0, 2, 1, 2},
      {"text chosen", 1, 2, 2, 0, 0, 0},
  };
  CDeviceSwitch device;
  device.Set(L"Version", L"5.1");
  device.Set(L"PlatformType", L"PocketPC");
  ResetPlatformTests();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    Store(L"ContactsShowPhotoContacts", c.photos);
    Store(L"ContactShowTextForPhotos", c.text);
    int shown = -2;
    RunPage(kContactsSection, 1, [&](HWND page) {
      shown = Selection(page, kContactPhotoCombo);
      if (c.choose >= 0) Choose(page, kContactPhotoCombo, c.choose);
      Click(page, kContactsAllCategoriesBox);
    }, {IDOK});
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(Stored(L"ContactsShowPhotoContacts"), c.writtenPhotos);
    EXPECT_EQ(Stored(L"ContactShowTextForPhotos"), c.writtenText);
    EXPECT_EQ(Stored(L"ShowContactsInAllCategories"), 1u);
  }
  EXPECT_TRUE(Messages().empty()) << "a device that shows photos needs no warning";
}

TEST_F(ContactsPagesTest, PhotosOnAnOlderDeviceAreWarnedOfOnceWhenSwitchedOn) {
  CDeviceSwitch device;
  device.Set(L"Version", L"4.21");
  ResetPlatformTests();
  RunPage(kContactsSection, 1, [&](HWND page) {
    Choose(page, kContactPhotoCombo, 2);  // text -> both: warned
    Choose(page, kContactPhotoCombo, 1);  // both -> photo: still on, no warning
    Choose(page, kContactPhotoCombo, 0);
    Choose(page, kContactPhotoCombo, 1);  // on again: warned again
  }, {IDCANCEL});
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].caption, L"Qel Tarvo Options");
  EXPECT_NE(Messages()[0].text.find(L"version 5"), std::wstring::npos);
  EXPECT_EQ(Messages()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(Stored(L"ContactsShowPhotoContacts"), 0u) << "cancelled";
}

TEST_F(ContactsPagesTest, ViewStylePageEditsNameOrderAndRowMode) {
  Product().WriteDWORD(L"ContDisplay", 2);
  Product().WriteString(L"CurContactPattern", L"c3n");
  int name = -2, mode = -2;
  RunPage(kContactsSection, 2, [&](HWND page) {
    name = Selection(page, kContactNameCombo);
    mode = Selection(page, kContactRowModeCombo);
    Choose(page, kContactNameCombo, 0);
    Choose(page, kContactRowModeCombo, 1);
  }, {IDCANCEL});
  EXPECT_EQ(name, 2);
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(Stored(L"ContDisplay"), 2u);
  EXPECT_EQ(StoredText(L"CurContactPattern"), L"c3n");
  RunPage(kContactsSection, 2, [&](HWND page) {
    Choose(page, kContactNameCombo, 3);
    Choose(page, kContactRowModeCombo, 0);
  }, {IDOK});
  EXPECT_EQ(Stored(L"ContDisplay"), 3u);
  EXPECT_EQ(StoredText(L"CurContactPattern"), L"c1n");
}

TEST_F(ContactsPagesTest, IconsPageLeadingIconIndentsAndLeavesTheTrailingOnes) {
  struct Case {
    const char* name;
    const wchar_t* pattern;
    DWORD indent;
    int shownLeading;
    bool boxEnabled, boxTicked;
    int chooseLeading;  // -1: none
    bool clickBox;
    const wchar_t* written;
    DWORD writtenIndent;
  };
  const Case cases[] = {
      {"default", nullptr, kMissing, 2, false, false, -1, false, L"c1n", 1},
      {"no leading icon, no indent", L"1nc", 0, 0, true, true, -1, false, L"1nc", 0},
      {"indent switched on", L"1nc", 0, 0, true, true, -1, true, L"1nc", 1},
      // A leading icon chosen among the trailing ones leaves them and indents.
      {"leading n", L"1nc", 0, 0, true, true, 1, false, L"n1c", 1},
      {"leading removed", L"C2n", 1, 2, false, false, 0, false, L"2n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Product().Delete();
    if (c.pattern) Product().WriteString(L"CurContactPattern", c.pattern);
    Store(L"ContLeftIdent", c.indent);
    int leading = -2;
    bool enabled = false, ticked = false;
    bool enabledAfter = false;
    RunPage(kContactsSection, 3, [&](HWND page) {
      leading = Selection(page, kLeadingIconCombo);
      enabled = Enabled(page, kLeftIndentBox);
      ticked = Ticked(page, kLeftIndentBox);
      if (c.chooseLeading >= 0) Choose(page, kLeadingIconCombo, c.chooseLeading);
      if (c.clickBox) Click(page, kLeftIndentBox);
      enabledAfter = Enabled(page, kLeftIndentBox);
    }, {IDOK});
    EXPECT_EQ(leading, c.shownLeading);
    EXPECT_EQ(enabled, c.boxEnabled);
    EXPECT_EQ(ticked, c.boxTicked);
    EXPECT_EQ(enabledAfter, std::wstring(c.written).find_first_of(L"nc") != 0);
    EXPECT_EQ(StoredText(L"CurContactPattern"), c.written);
    EXPECT_EQ(Stored(L"ContLeftIdent"), c.writtenIndent);
  }
}

}  // namespace
