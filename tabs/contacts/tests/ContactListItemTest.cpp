// The contact row: where the name, the default field and the icons go in each display
// mode, the typed match split into three runs (reversed for a right-to-left match),
// taps on the icons, the photo row, the commands and the context menu.
#include "tabs/contacts/ContactListItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/BitmapDC.h"
#include "base/CeDbApi.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "controls/tests/SelectedRowPicture.h"
#include "graphics/BitmapCache.h"
#include "graphics/SkinColors.h"
#include "graphics/tests/TestImages.h"
#include "tabs/contacts/ContactCommands.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/tests/ContactRequestsRecorder.h"

namespace {

struct Owner : IListItemOwner {
  std::vector<LPARAM> notes;
  int selected = 0;
  void OnItemChanged(CListItem*) override {}
  void OnItemClicked(CListItem*) override {}
  void OnItemSelected(CListItem* item) override { selected += item ? 1 : 0; }
  void OnItemReleased(CListItem*) override {}
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM value) override { notes.push_back(value); }
  BOOL IsFirstItem(CListItem*) override { return TRUE; }
  void OnItemFolded(CListItem*, BOOL) override {}
};

class ContactListItemTest : public ::testing::Test {
 protected:
  ContactListItemTest() {
    SetScreenDpi(96, 96);
    m_saved = GetViewSettings().GetContactPattern();
    m_contact = CONTACT_ITEM::Create(42, 0);
    m_contact->m_firstName = L"Ann";
    m_contact->m_lastName = L"Lee";
    m_contact->m_fields[4] = L"555-0144";
  }
  ~ContactListItemTest() override {
    CViewSettings::ParsePattern(m_saved, GetViewSettings().ContactPattern);
    m_contact->Release();
  }
  void Pattern(LPCWSTR text) { CViewSettings::ParsePattern(text, GetViewSettings().ContactPattern); }
  int FieldIconIndex(CContactListItem& row) {
    for (int k = 0; k < row.GetIconCount(); ++k)
      if (row.GetIcon(k).kind == CContactListItem::kIconField) return k;
    return -1;
  }

  CString m_saved;
  CONTACT_ITEM* m_contact;
  Owner m_owner;
};

TEST_F(ContactListItemTest, NameLeftFieldRightAndTheFieldIconByMode) {
  GetViewSettings().ContLeftIdent = 1;
  Pattern(L"c1n");
  CContactListItem row(m_contact, &m_owner, FALSE);
  EXPECT_EQ(m_contact->GetRefCount(), 2);
  row.SetSize(200, 200, 0, TRUE);
  EXPECT_GT(row.GetHeight(-1), 0);
  EXPECT_EQ(std::wstring(row.GetName()), L"Lee, Ann");
  EXPECT_EQ(std::wstring(row.GetFieldText()), L"555-0144");
  EXPECT_EQ(row.GetNamePartRect(0).left, 16);
  EXPECT_EQ(row.GetNamePartRect(0).right, 16 + (200 - 16) / 2);
  int icon = FieldIconIndex(row);
  ASSERT_GE(icon, 0);
  EXPECT_EQ(row.GetIcon(icon).id, 9);  // a mobile number
  // Display mode 1: the field's icon at the left of its area, the text after it.
  EXPECT_EQ(row.GetIcon(icon).rect.left, 16 + (200 - 16) / 2);
  EXPECT_EQ(row.GetFieldRect().left, row.GetIcon(icon).rect.right + 2);
  EXPECT_EQ(row.GetFieldRect().right, 200);

  Pattern(L"c0n");
  row.Relayout();
  icon = FieldIconIndex(row);
  // Any other mode: at the right end, the text before it.
  EXPECT_EQ(row.GetIcon(icon).rect.right, 200);
  EXPECT_EQ(row.GetFieldRect().left, 16 + (200 - 16) / 2);
  EXPECT_EQ(row.GetFieldRect().right, row.GetIcon(icon).rect.left - 2);

  // Mode 3: no field text, the name ends before the icon at the right.
  Pattern(L"c3n");
  row.Relayout();
  EXPECT_TRUE(row.GetFieldText().IsEmpty());
  icon = FieldIconIndex(row);
  EXPECT_EQ(row.GetIcon(icon).rect.right, 200);
  EXPECT_LE(row.GetNamePartRect(0).right, row.GetIcon(icon).rect.left);

  // No front icons and "ContLeftIdent" 0: the text starts 2 pixels in.
  GetViewSettings().ContLeftIdent = 0;
  row.Relayout();
  EXPECT_EQ(row.GetNamePartRect(0).left, 2);
  GetViewSettings().ContLeftIdent = 1;
}

TEST_F(ContactListItemTest, AContactWithoutFieldsShowsIconTwelveAndNoFieldText) {
  Pattern(L"c1n");
  m_contact->m_fields[4].Empty();
  CContactListItem row(m_contact, &m_owner, FALSE);
  row.SetSize(200, 200, 0, TRUE);
  row.GetHeight(-1);
  EXPECT_TRUE(row.GetFieldText().IsEmpty());
  int icon = FieldIconIndex(row);
  ASSERT_GE(icon, 0);
  EXPECT_EQ(row.GetIcon(icon).id, 12);
  EXPECT_LE(row.GetNamePartRect(0).right, row.GetIcon(icon).rect.left);
}

TEST_F(ContactListItemTest, ATypedMatchIsTheMiddleRun) {
  Pattern(L"c1n");
  struct Case {
    int start, length;
    BOOL rtl;
    const wchar_t *before, *match, *after;
  } const cases[] = {
      {5, 3, FALSE, L"Lee, ", L"Ann", L""},
      {0, 3, FALSE, L"", L"Lee", L", Ann"},
      {0, 3, TRUE, L", Ann", L"Lee", L""},
      {5, 40, FALSE, L"Lee, ", L"Ann", L""},  // past the end: ends with the name
      {40, 2, FALSE, L"Lee, Ann", L"", L""},  // starts past the end: no match
      {2, 0, FALSE, L"Lee, Ann", L"", L""},
  };
  for (const Case& c : cases) {
    m_contact->m_matchStart = c.start;
    m_contact->m_matchLength = c.length;
    m_contact->m_matchRtl = c.rtl;
    CContactListItem row(m_contact, &m_owner, FALSE);
    row.SetSize(300, 300, 0, TRUE);
    row.GetHeight(-1);
    EXPECT_EQ(std::wstring(row.GetNamePart(0)), c.before) << c.start << "," << c.length;
    EXPECT_EQ(std::wstring(row.GetNamePart(1)), c.match) << c.start << "," << c.length;
    EXPECT_EQ(std::wstring(row.GetNamePart(2)), c.after) << c.start << "," << c.length;
    if (!row.GetNamePart(1).IsEmpty()) {
      EXPECT_EQ(row.GetNamePartRect(0).right, row.GetNamePartRect(1).left);
      EXPECT_EQ(row.GetNamePartRect(1).right, row.GetNamePartRect(2).left);
    }
  }
}

TEST_F(ContactListItemTest, TapsOnTheNoteAndFieldIconsTellTheOwner) {
  Pattern(L"c1n");
  m_contact->m_hasNotes = TRUE;
  CContactListItem row(m_contact, &m_owner, FALSE);
  row.SetSize(200, 200, 0, TRUE);
  row.GetHeight(-1);
  int note = -1, field = FieldIconIndex(row);
  for (int k = 0; k < row.GetIconCount(); ++k)
    if (row.GetIcon(k).kind == CContactListItem::kIconNote) note = k;
  ASSERT_GE(note, 0);
  ASSERT_GE(field, 0);
  // The note icon stands at the right (the pattern's back part), left of nothing else.
  EXPECT_EQ(row.GetIcon(note).rect.right, 200);
  POINT p = {row.GetIcon(note).rect.left + 1, row.GetIcon(note).rect.top + 1};
  EXPECT_TRUE(row.OnPress(&p));
  p = {row.GetIcon(field).rect.left + 1, row.GetIcon(field).rect.top + 1};
  EXPECT_TRUE(row.OnPress(&p));
  EXPECT_EQ(m_owner.notes, (std::vector<LPARAM>{1024, 1025}));
  EXPECT_FALSE(row.IsSelected());
  p = {20, 2};
  row.OnPress(&p);
  EXPECT_TRUE(row.IsSelected());
  // Without notes there is no note icon.
  m_contact->m_hasNotes = FALSE;
  row.Relayout();
  for (int k = 0; k < row.GetIconCount(); ++k) EXPECT_NE(row.GetIcon(k).kind, CContactListItem::kIconNote);
}

TEST_F(ContactListItemTest, APhotoRowWithoutAPhotoIsAnOrdinaryRow) {
  SetNewerStore(TRUE);
  m_contact->SetHasPicture(0);
  CContactListItem row(m_contact, &m_owner, TRUE);
  row.SetSize(120, 120, 0, TRUE);
  EXPECT_LT(row.GetHeight(-1), 120);
  EXPECT_FALSE(row.IsPhotoRow());
  m_contact->SetHasPicture(1);
  CContactListItem photo(m_contact, &m_owner, TRUE);
  photo.SetSize(60, 60, 0, TRUE);
  EXPECT_EQ(photo.GetHeight(-1), 60);
  EXPECT_TRUE(photo.IsPhotoRow());
  EXPECT_EQ(std::wstring(photo.GetPhotoCaption()), L"Ann");
  EXPECT_EQ(photo.GetIconCount(), 0);
  SetNewerStore(FALSE);
}

TEST_F(ContactListItemTest, CommandsAndTheContextMenu) {
  contacttest::CContactRequestsRecorder requests;
  CContactsList::GetGlobal().SetRequests(&requests);
  CContactListItem row(m_contact, &m_owner, FALSE);
  EXPECT_EQ(row.GetUserData(), 42u);
  EXPECT_EQ(row.GetKind(), 509);
  EXPECT_TRUE(row.OnCommand(1305));
  EXPECT_TRUE(row.OnCommand(1008));
  EXPECT_FALSE(row.OnCommand(1306));
  EXPECT_TRUE(row.OnCommand(1001));
  EXPECT_EQ(m_owner.notes, (std::vector<LPARAM>{1024, 1552}));
  EXPECT_EQ(requests.seen, (std::vector<std::wstring>{L"show 42"}));
  CContactsList::GetGlobal().SetRequests(nullptr);

  // "ContactsOneTap" 3: no action submenus; the show-note entry greyed without notes.
  GetViewSettings().ContactsOneTap = 3;
  HMENU menu = CreatePopupMenu();
  row.BuildMenu(menu);
  int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 5);
  HMENU item = GetSubMenu(menu, 0);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(GetMenuItemID(item, 0), 1001u);
  EXPECT_EQ(GetMenuItemID(item, 1), 1002u);
  EXPECT_EQ(GetMenuItemID(item, 2), 1305u);
  EXPECT_TRUE(GetMenuState(item, 1305, MF_BYCOMMAND) & MF_GRAYED);
  HMENU edit = GetSubMenu(menu, 1);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(GetMenuItemID(edit, 0), 1006u);
  EXPECT_EQ(GetMenuItemID(edit, GetMenuItemCount(edit) - 1), 1003u);
  EXPECT_EQ(GetMenuItemID(menu, count - 1), 1027u);
  DestroyMenu(menu);
}

TEST_F(ContactListItemTest, ASelectedRowIsFilledWithTheSelectionColour) {
  Pattern(L"c1n");
  CContactListItem row(m_contact, &m_owner, FALSE);
  const CSelectedRowPicture picture(row, 100);
  ASSERT_TRUE(picture.Drawn());
  ASSERT_NE(CSelectedRowPicture::SelectionColour(), CLR_INVALID);
  EXPECT_EQ(picture.At(99, picture.Height() - 1), CSelectedRowPicture::SelectionColour());
  EXPECT_GT(picture.Runs().GetRunCount(), 0);
}

// The 'c' icon is the contact's own picture when the icon cache can load its icon
// name; a name that does not load falls back to the first category's (none here).
TEST_F(ContactListItemTest, TheContactsOwnPictureLeadsTheIcons) {
  Pattern(L"c1n");
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"contacticon-" + std::to_wstring(GetCurrentProcessId()) + L".bmp";
  std::vector<BYTE> bytes = testimg::MakeBmp(12, 10, false, [](int x, int) { return x < 6 ? RGB(0, 255, 0) : RGB(200, 0, 0); });
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);

  const struct {
    std::wstring iconName;
    bool custom;
  } cases[] = {{path, true}, {path + L".missing.bmp", false}, {L"", false}};
  for (const auto& c : cases) {
    m_contact->m_iconName = c.iconName.c_str();
    CContactListItem row(m_contact, &m_owner, FALSE);
    row.SetSize(200, 200, 0, TRUE);
    row.GetHeight(-1);
    const bool first = row.GetIconCount() > 0 && row.GetIcon(0).kind == CContactListItem::kIconCustom;
    EXPECT_EQ(first, c.custom) << c.iconName;
    if (c.custom) {
      EXPECT_EQ(row.GetIcon(0).rect.right - row.GetIcon(0).rect.left, 12);
      // Drawn with its key colour left out: the left half keeps the background.
      row.SetSelected(FALSE, FALSE);
      const int height = row.GetHeight(-1);
      CBitmapDC surface;
      ASSERT_TRUE(surface.CreateFilled(200, height, RGB(1, 2, 3)));
      RECT clip = {0, 0, 200, height};
      CTextRunList context(surface.GetDC(), clip);
      POINT origin = {0, 0};
      row.Draw(&context, &origin);
      const RECT& r = row.GetIcon(0).rect;
      EXPECT_EQ(GetPixel(surface.GetDC(), r.left + 2, r.top + 2), RGB(1, 2, 3));
      EXPECT_EQ(GetPixel(surface.GetDC(), r.left + 9, r.top + 2), RGB(200, 0, 0));
    }
  }
  m_contact->m_iconName.Empty();
  CBitmapCache::Instance().Clear();
  DeleteFileW(path.c_str());
}

}  // namespace
