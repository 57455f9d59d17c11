// The contact commands and the default-field chooser, driven through the panel's
// message-box hook and the popup-menu hook as a person would answer them.
#include "tabs/contacts/ContactCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/ViewSettings.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "controls/IconSets.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/PopupMenuTracker.h"
#include "controls/tests/MenuAnswer.h"
#include "panel/PanelPrompt.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "pim/IconProviderRef.h"
#include "platform/windowlib/DialogImpl.h"
#include "tabs/contacts/ContactListItem.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/tests/ContactRequestsRecorder.h"
#include "tabs/contacts/tests/ContactFixtures.h"

namespace {

class ContactCommandsTest : public ::testing::Test {
 protected:
  ContactCommandsTest() : m_mode(false), m_store(false) {
    CContactsList& list = CContactsList::GetGlobal();
    list.Close();
    list.SetNotifyWindow(m_window.Get());
    list.SetRequests(&m_requests);
  }
  ~ContactCommandsTest() override {
    CContactsList& list = CContactsList::GetGlobal();
    list.Close();
    list.SetRequests(nullptr);
    list.SetNotifyWindow(nullptr);
  }
  CStoreMode m_mode;
  contacttest::Store m_store;
  contacttest::NotifyWindow m_window;
  contacttest::CContactRequestsRecorder m_requests{1};
  CResourceLibraryScope m_resources;
  CMenuAnswer m_menu;
  CMessageBoxAnswer m_box{IDNO};
};

TEST_F(ContactCommandsTest, OpenEditCopyAndDeleteAfterAYes) {
  GetViewSettings().ContDisplay = 1;
  CONTACT_ITEM contact(77, 0);
  contact.m_firstName = L"Ann";
  contact.m_lastName = L"Lee";
  EXPECT_TRUE(contact.DoCommand(kContactOpen));
  EXPECT_TRUE(contact.DoCommand(kContactEdit));
  EXPECT_TRUE(contact.DoCommand(kContactCopy));
  m_box.answer = IDNO;
  EXPECT_TRUE(contact.DoCommand(kContactDelete));
  EXPECT_EQ(m_box.Last().caption, L"Lee, Ann");
  EXPECT_EQ(m_box.Last().text, L"Delete this contact?");
  EXPECT_EQ(m_box.Last().type & (MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2),
            UINT(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
  m_box.answer = IDCANCEL;
  contact.DoCommand(kContactDelete);
  m_box.answer = IDYES;
  contact.DoCommand(kContactDelete);
  EXPECT_FALSE(contact.DoCommand(kContactShowNote));
  EXPECT_EQ(m_requests.seen, (std::vector<std::wstring>{L"show 77", L"edit 77", L"copy 77", L"delete 77"}));
}

TEST_F(ContactCommandsTest, TheChooserListsFieldsWithTextAndStoresTheChoice) {
  contacttest::Written a = m_store.Add({L"Ann"});
  const CEPROPID* fields = GetContactFieldTable(false);
  ASSERT_TRUE(m_store.SetText(a.recordOid, fields[0], L"555-0100"));
  ASSERT_TRUE(m_store.SetText(a.recordOid, fields[4], L"555-0144"));
  ASSERT_TRUE(m_store.SetLong(a.recordOid, 0x00500003, fields[4]));
  CContactsList& list = CContactsList::GetGlobal();
  ASSERT_TRUE(list.Open());
  CONTACT_ITEM* ann = list.FindByOid(a.itemOid);
  ASSERT_NE(ann, nullptr);

  m_menu.answer = 0;  // dismissed
  EXPECT_EQ(ChooseContactDefaultField(ann, nullptr, POINT{10, 10}), -1);
  EXPECT_TRUE(m_menu.flags & TPM_RETURNCMD);
  ASSERT_EQ(MenuIds(m_menu.items), (std::vector<int>{1, 5}));
  EXPECT_FALSE(m_menu.items[0].checked);
  EXPECT_TRUE(m_menu.items[1].checked) << "the default field";
  EXPECT_EQ(m_menu.items[0].text, L"Work tel:\t555-0100");
  EXPECT_EQ(m_menu.items[1].text, L"Mobile:\t555-0144");

  m_menu.answer = 1;
  EXPECT_EQ(ChooseContactDefaultField(ann, nullptr, POINT{10, 10}), 0);
  EXPECT_EQ(ann->m_defaultField, 0);
  EXPECT_EQ(list.GetDefaultField(a.itemOid), 0);

  // A contact without fields gets no menu.
  CONTACT_ITEM empty;
  m_menu.shown = 0;
  EXPECT_EQ(ChooseContactDefaultField(&empty, nullptr, POINT{0, 0}), -1);
  EXPECT_EQ(m_menu.shown, 0);
  EXPECT_TRUE(empty.GetDefaultFieldText().IsEmpty());
  EXPECT_EQ(empty.GetFieldIcon(), 12);
}

// Every entry of the row's menu, submenus included, has its text in the resource library.
TEST_F(ContactCommandsTest, TheRowMenuHasATextForEveryEntry) {
  CONTACT_ITEM* contact = CONTACT_ITEM::Create(42, 42);
  contact->m_firstName = L"Ann";
  contact->m_fields[4] = L"555-0144";
  contact->m_hasNotes = TRUE;
  CContactListItem row(contact, nullptr, FALSE);
  const int savedOneTap = GetViewSettings().ContactsOneTap;
  GetViewSettings().ContactsOneTap = 3;
  HMENU menu = CreatePopupMenu();
  row.BuildMenu(menu);
  std::vector<std::wstring> seen;
  std::function<void(const std::vector<MenuEntry>&)> walk = [&](const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
      if (entry.separator) continue;
      EXPECT_FALSE(entry.text.empty()) << "entry " << entry.id;
      seen.push_back(entry.text);
      walk(entry.sub);
    }
  };
  walk(ReadMenu(menu));
  DestroyMenu(menu);
  GetViewSettings().ContactsOneTap = savedOneTap;
  EXPECT_GE(seen.size(), 8u);
  contact->Release();
}

// The icon chooser runs under the contact's title; cancel keeps the icon, "no icon"
// removes the contact's link in the icon store.
TEST_F(ContactCommandsTest, TheIconChooserKeepsOrRemovesTheContactsIcon) {
  CLocalMachineSandbox machine(L"contacts_icon_chooser");
  ASSERT_TRUE(machine.Redirected());
  CIconProviderRef::Clear();
  ASSERT_TRUE(CIconProviderRef::Reset(kPimOwn));
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"contactchooser-" + std::to_wstring(GetCurrentProcessId()) + L".bmp";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  const DWORD oid = 0x4242;
  ASSERT_TRUE(CIconProviderRef::SetLink(oid, 10, path.c_str(), nullptr, nullptr));
  CONTACT_ITEM* contact = CONTACT_ITEM::Create(oid, oid);
  contact->m_iconName = path.c_str();

  struct Run {
    UINT command;
    std::wstring title;
  } run = {IDCANCEL, L""};
  CDialogImplBase::SetModalHook(
      [](HWND dialog, void* data) {
        auto* r = static_cast<Run*>(data);
        wchar_t title[128] = {};
        GetWindowTextW(dialog, title, 128);
        r->title = title;
        SendMessageW(dialog, WM_COMMAND, r->command, 0);
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      &run);
  EXPECT_TRUE(contact->DoCommand(kContactChooseIcon));
  EXPECT_EQ(run.title, L"Contact Icon");
  EXPECT_EQ(std::wstring(CIconProviderRef::GetIconName(oid)), path);
  EXPECT_EQ(std::wstring(contact->m_iconName), path);

  run.command = CIconSets::kNoIcon;
  EXPECT_TRUE(contact->DoCommand(kContactChooseIcon));
  EXPECT_TRUE(CIconProviderRef::GetIconName(oid).IsEmpty());
  EXPECT_TRUE(contact->m_iconName.IsEmpty());
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  contact->Release();
  CIconProviderRef::Clear();
  DeleteFileW(path.c_str());
}

}  // namespace
