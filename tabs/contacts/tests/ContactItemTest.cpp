// The contact record on its own: the name in each mode, the two display forms, the
// default field text and copying without the caches.
#include "tabs/contacts/ContactItem.h"

#include <gtest/gtest.h>

#include <string>

#include "base/CeDbApi.h"
#include "base/ViewSettings.h"

namespace {

struct Names {
  const wchar_t *title, *first, *nickname, *middle, *last, *suffix, *fileAs, *company;
};

CONTACT_ITEM Make(const Names& n) {
  CONTACT_ITEM c;
  c.m_title = n.title;
  c.m_firstName = n.first;
  c.m_nickname = n.nickname;
  c.m_middleName = n.middle;
  c.m_lastName = n.last;
  c.m_suffix = n.suffix;
  c.m_fileAs = n.fileAs;
  c.m_company = n.company;
  return c;
}

TEST(ContactNameTest, EveryModeAsTheTableSays) {
  struct Case {
    Names names;
    int mode;
    const wchar_t* expected;
  } const cases[] = {
      {{L"", L"Ann", L"", L"", L"Lee", L"", L"", L""}, 0, L"Ann Lee"},
      {{L"", L"Ann", L"", L"", L"Lee", L"", L"", L""}, 1, L"Lee, Ann"},
      {{L"", L"Ann", L"", L"", L"Lee", L"", L"", L""}, 2, L"Ann Lee"},
      {{L"", L"Ann", L"", L"Marie", L"Lee", L"III", L"", L""}, 0, L"Ann Marie Lee III"},
      {{L"", L"Ann", L"", L"Marie", L"Lee", L"", L"", L""}, 1, L"Lee, Ann Marie"},
      {{L"", L"", L"", L"Marie", L"Lee", L"", L"", L""}, 1, L"Lee"},
      {{L"", L"Ann", L"", L"Marie", L"", L"", L"", L""}, 1, L"Ann Marie"},
      {{L"", L"Ann", L"", L"", L"", L"", L"", L""}, 1, L"Ann"},
      {{L"", L"", L"", L"Marie", L"", L"", L"", L"Acme"}, 1, L"Acme"},
      {{L"", L"Ann", L"", L"", L"Lee", L"", L"Lee (work)", L""}, 2, L"Lee (work)"},
      {{L"Dr", L"Ann", L"Annie", L"", L"Lee", L"", L"", L""}, 3, L"Dr Ann \"Annie\" Lee"},
      {{L"", L"", L"Annie", L"", L"Lee", L"", L"", L""}, 3, L"Annie Lee"},
      {{L"", L"Ann", L"", L"", L"Lee", L"", L"", L""}, 7, L"Ann Lee"},
      {{L"", L"Ann", L"", L"", L"Lee", L"", L"", L""}, -1, L"Ann Lee"},
      // Nothing but a file-as text, or a company: every mode shows it.
      {{L"", L"", L"", L"", L"", L"", L"Lee", L""}, 0, L"Lee"},
      {{L"", L"", L"", L"", L"", L"", L"", L"Acme"}, 0, L"Acme"},
      {{L"", L"", L"", L"", L"", L"", L"", L"Acme"}, 1, L"Acme"},
      {{L"", L"", L"", L"", L"", L"", L"", L"Acme"}, 2, L"Acme"},
      {{L"", L"", L"", L"", L"", L"", L"", L"Acme"}, 3, L"Acme"},
  };
  for (const Case& c : cases) {
    CONTACT_ITEM contact = Make(c.names);
    EXPECT_EQ(std::wstring(FormatContactName(&contact, c.mode)), c.expected) << "mode " << c.mode;
    // Cached: a later change of the names shows only after the cache is emptied.
    contact.m_firstName = L"Changed";
    EXPECT_EQ(std::wstring(FormatContactName(&contact, c.mode)), c.expected);
  }
}

TEST(ContactNameTest, ListAndPopupFormsFollowTheSetting) {
  struct Case {
    int setting, list, popup;
  } const cases[] = {{0, 0, 2}, {1, 1, 2}, {2, 2, 1}, {3, 3, 3}, {9, 0, 2}};
  for (const Case& c : cases) {
    EXPECT_EQ(CONTACT_ITEM::ListMode(c.setting), c.list) << c.setting;
    EXPECT_EQ(CONTACT_ITEM::PopupMode(c.setting), c.popup) << c.setting;
  }
  CViewSettings& settings = GetViewSettings();
  const int saved = settings.ContDisplay;
  settings.ContDisplay = 1;
  CONTACT_ITEM contact = Make({L"", L"Ann", L"", L"", L"Lee", L"", L"Ann at work", L""});
  CString out;
  contact.GetDisplayName(out, FALSE, FALSE);
  EXPECT_EQ(std::wstring(out), L"Lee, Ann");
  contact.GetDisplayName(out, FALSE, TRUE);
  EXPECT_EQ(std::wstring(out), L"Ann at work");
  // Forcing the list form again empties the popup form.
  settings.ContDisplay = 2;
  contact.GetDisplayName(out, TRUE, FALSE);
  EXPECT_EQ(std::wstring(out), L"Ann at work");
  EXPECT_TRUE(contact.m_popupName.IsEmpty());
  contact.GetDisplayName(out, FALSE, TRUE);
  EXPECT_EQ(std::wstring(out), L"Lee, Ann");
  settings.ContDisplay = saved;
}

TEST(ContactItemTest, TheDefaultFieldFallsToTheFirstFieldWithText) {
  CONTACT_ITEM contact;
  EXPECT_TRUE(contact.GetDefaultFieldText().IsEmpty());
  EXPECT_EQ(contact.m_defaultField, -1);
  EXPECT_EQ(contact.GetFieldIcon(), 12);
  contact.m_fields[4] = L"mobile";
  contact.m_fields[7] = L"radio";
  contact.m_defaultField = 7;
  EXPECT_EQ(std::wstring(contact.GetDefaultFieldText()), L"radio");
  EXPECT_EQ(contact.GetFieldIcon(), 9);
  contact.m_defaultField = 2;  // empty: the first field with text
  EXPECT_EQ(std::wstring(contact.GetDefaultFieldText()), L"mobile");
  EXPECT_EQ(contact.m_defaultField, 4);
  const int icons[] = {10, 10, 8, 8, 9, 9, 9, 9, 12, 11};
  for (int f = 0; f < kContactFieldCount; ++f) EXPECT_EQ(ContactFieldIcon(f), icons[f]) << f;
  EXPECT_EQ(ContactFieldIcon(-1), 12);
  EXPECT_EQ(ContactFieldLabelId(0), 31u);
  EXPECT_EQ(ContactFieldLabelId(9), 40u);
}

TEST(ContactItemTest, ACopyKeepsTheDataAndDropsTheCaches) {
  for (BOOL newer : {FALSE, TRUE}) {
    SetNewerStore(newer);
    CONTACT_ITEM* source = CONTACT_ITEM::Create(5, 6);
    ASSERT_NE(source, nullptr);
    source->m_firstName = L"Ann";
    source->m_fields[3] = L"home";
    source->m_defaultField = 3;
    source->m_photoState = CONTACT_ITEM::kPhotoNone;
    source->m_birthday = 1000;
    source->m_categories.Set(12);
    source->FormatName(0);
    CONTACT_ITEM copy(*source);
    EXPECT_EQ(std::wstring(copy.m_firstName), L"Ann");
    EXPECT_EQ(std::wstring(copy.m_fields[3]), L"home");
    EXPECT_EQ(copy.m_defaultField, 3);
    EXPECT_EQ(copy.m_itemOid, 5u);
    EXPECT_EQ(copy.m_recordOid, 6u);
    EXPECT_EQ(copy.m_birthday, 1000);
    EXPECT_EQ(copy.m_categories.Test(12), 1);
    EXPECT_TRUE(copy.m_nameByMode[0].IsEmpty());
    EXPECT_EQ(copy.m_photoTried, 0);
    EXPECT_EQ(copy.m_photoState, newer ? CONTACT_ITEM::kPhotoNone : CONTACT_ITEM::kPhotoUnknown);
    copy.Assign(copy);  // nothing happens
    EXPECT_EQ(std::wstring(copy.m_firstName), L"Ann");
    // No picture in the newer store: never built.
    source->SetHasPicture(0);
    EXPECT_EQ(source->m_photoTried, 1);
    EXPECT_EQ(source->GetPhoto(), nullptr);
    EXPECT_EQ(source->Release(), 0);
  }
  SetNewerStore(FALSE);
}

}  // namespace
