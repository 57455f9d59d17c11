// The contact popup: its entry list for contacts with and without each field, the
// address lines, the window with its list under the null display driver, and what
// tapping an entry starts with and without a phone.
#include "tabs/contacts/ContactPopup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "base/tests/ResourceLibraryScope.h"
#include "tabs/contacts/ContactsList.h"

namespace {

std::wstring Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return static_cast<LPCWSTR>(text);
}

struct Entry {
  int kind;
  std::wstring value;
  std::wstring label;
  int icon;
  bool operator==(const Entry& o) const {
    return kind == o.kind && value == o.value && label == o.label && icon == o.icon;
  }
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
  return out << "{" << e.kind << " '" << std::string(e.value.begin(), e.value.end()) << "' '"
             << std::string(e.label.begin(), e.label.end()) << "' " << e.icon << "}";
}

class ContactPopupEntriesTest : public ::testing::Test {
 protected:
  CResourceLibraryScope m_resources;
};

std::vector<Entry> Entries(CONTACT_DETAILS& contact, int addressMode, int iconCount) {
  std::vector<Entry> out;
  for (const CONTACT_POPUP_ENTRY& e : BuildContactPopupEntries(contact, addressMode, iconCount))
    out.push_back({e.kind, static_cast<LPCWSTR>(e.value), static_cast<LPCWSTR>(e.label), e.icon});
  return out;
}

TEST_F(ContactPopupEntriesTest, TextsOfTheEntriesAreInTheLibrary) {
  for (UINT id : {235u, 236u, 237u, 238u, 239u, 240u, 241u, 242u, 243u, 244u, 245u, 246u, 247u, 248u, 249u, 250u,
                  295u, 296u, 297u})
    EXPECT_FALSE(Text(id).empty()) << id;
  EXPECT_NE(Text(248).find(L"%s"), std::wstring::npos);
}

TEST_F(ContactPopupEntriesTest, EachFieldAloneGivesItsEntry) {
  // field: 0-9 a communication field, 100 + n detail n.
  const struct Case {
    int field;
    std::vector<Entry> expected;
  } cases[] = {
      {4, {{0, L"v", Text(235), 9}, {1, L"v", Text(239), 22}}},  // a mobile number: call and text message
      {0, {{0, L"v", Text(236), 10}}},
      {2, {{0, L"v", Text(237), 8}}},
      {9, {{2, L"v", Text(238), 22}}},
      {1, {{0, L"v", Text(241), 10}}},
      {3, {{0, L"v", Text(242), 8}}},
      {5, {{0, L"v", Text(246), 9}}},
      {6, {{0, L"v", Text(247), 9}}},
      {7, {{0, L"v", Text(250), 9}}},
      {8, {}},  // the fax number is not offered
      {102, {{2, L"v", Text(243), 22}}},
      {103, {{2, L"v", Text(244), 22}}},
      {104, {{3, L"v", Text(240), 46}}},
      {105, {{0, L"v", Text(245), 10}}},
      {106, {{0, L"v", Text(249), 9}}},  // the assistant without a name
      {101, {}},                          // the job title is a text, not an entry
      {107, {}},
  };
  for (const Case& c : cases) {
    CONTACT_DETAILS contact;
    if (c.field < 100)
      contact.m_fields[c.field] = L"v";
    else
      contact.m_details[c.field - 101] = L"v";
    EXPECT_EQ(Entries(contact, 0, 49), c.expected) << "field " << c.field;
  }
}

TEST_F(ContactPopupEntriesTest, EveryFieldInTheFixedOrderWithAddressesFirstOrLast) {
  CONTACT_DETAILS contact;
  for (int f = 0; f < kContactFieldCount; ++f) contact.m_fields[f] = CString(L"f") + static_cast<WCHAR>(L'0' + f);
  for (int d = 0; d < CONTACT_DETAILS::kDetailTexts; ++d) contact.m_details[d] = CString(L"d") + static_cast<WCHAR>(L'1' + d);
  contact.m_addresses[0][0] = L"1 Main St";
  contact.m_addresses[2][4] = L"Norway";
  CString named;
  named.Format(Text(248).c_str(), L"d7");
  const std::vector<Entry> fields = {
      {0, L"f4", Text(235), 9},   {0, L"f0", Text(236), 10}, {0, L"f2", Text(237), 8},  {1, L"f4", Text(239), 22},
      {2, L"f9", Text(238), 22},  {3, L"d4", Text(240), 23}, {0, L"f1", Text(241), 10}, {0, L"f3", Text(242), 8},
      {2, L"d2", Text(243), 22},  {2, L"d3", Text(244), 22}, {0, L"d5", Text(245), 10}, {0, L"f5", Text(246), 9},
      {0, L"f6", Text(247), 9},   {0, L"d6", static_cast<LPCWSTR>(named), 9},           {0, L"f7", Text(250), 9},
  };
  const std::vector<Entry> addresses = {{4, L"1 Main St", Text(295), 10}, {4, L"Norway", Text(297), 9}};
  std::vector<Entry> first = addresses;
  first.insert(first.end(), fields.begin(), fields.end());
  std::vector<Entry> last = fields;
  last.insert(last.end(), addresses.begin(), addresses.end());
  // With a strip of fewer than 47 icons the web page keeps icon 23.
  EXPECT_EQ(Entries(contact, 0, 0), first);
  EXPECT_EQ(Entries(contact, 1, 0), last);
}

TEST_F(ContactPopupEntriesTest, AddressLinesJoinTheirParts) {
  const struct Case {
    const wchar_t* parts[5];
    std::vector<std::wstring> lines;
  } cases[] = {
      {{L"1 Main St", L"Springfield", L"", L"12345", L"USA"}, {L"1 Main St", L"Springfield, 12345", L"USA"}},
      {{L"", L"Springfield", L"IL", L"12345", L""}, {L"Springfield, IL 12345"}},
      {{L"", L"", L"IL", L"12345", L""}, {L"IL 12345"}},
      {{L"", L"", L"", L"12345", L""}, {L"12345"}},
      {{L"", L"Springfield", L"IL", L"", L""}, {L"Springfield, IL"}},
      {{L"", L"", L"", L"", L""}, {}},
  };
  for (const Case& c : cases) {
    CString parts[5];
    for (int i = 0; i < 5; ++i) parts[i] = c.parts[i];
    std::vector<std::wstring> lines;
    for (const CString& line : BuildAddressLines(parts)) lines.push_back(static_cast<LPCWSTR>(line));
    EXPECT_EQ(lines, c.lines) << std::string(c.lines.empty() ? "" : "case");
  }
}

TEST_F(ContactPopupEntriesTest, AFurtherAddressLinePairsWithTheNext) {
  CONTACT_DETAILS contact;
  // Four lines: the stored street holds a line feed of its own.
  contact.m_addresses[1][0] = L"Flat 2\r\n1 Main St";
  contact.m_addresses[1][1] = L"Springfield";
  contact.m_addresses[1][4] = L"USA";
  const std::vector<Entry> expected = {
      {4, L"Flat 2", Text(296), 8}, {5, L"Springfield", L"1 Main St", -1}, {5, L"", L"USA", -1}};
  EXPECT_EQ(Entries(contact, 0, 49), expected);
}

struct Recorder : IContactPopupActions {
  BOOL phone = FALSE;
  std::vector<std::wstring> calls;
  BOOL IsPhonePresent() override { return phone; }
  void Dial(LPCWSTR number) override { calls.push_back(std::wstring(L"dial ") + number); }
  void ComposeSms(LPCWSTR number, LPCWSTR name) override {
    calls.push_back(std::wstring(L"sms ") + number + L" " + name);
  }
  void ComposeEmail(LPCWSTR address, LPCWSTR name) override {
    calls.push_back(std::wstring(L"mail ") + address + L" " + name);
  }
  void OpenInBrowser(LPCWSTR address) override { calls.push_back(std::wstring(L"web ") + address); }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

class ContactPopupWindowTest : public ::testing::Test {
 protected:
  ContactPopupWindowTest() {
    SetScreenDpi(96, 96);
    SetContactPopupActions(&m_actions);
    m_owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    m_contact = CONTACT_ITEM::Create(7, 7);
    m_contact->m_firstName = L"Ann";
    m_contact->m_lastName = L"Lee";
    m_contact->m_company = L"Acme";
    m_contact->m_fields[4] = L"555-0144";
    m_contact->m_fields[9] = L"ann@example.com";
    m_savedDisplay = GetViewSettings().ContDisplay;
    GetViewSettings().ContDisplay = 0;
  }
  ~ContactPopupWindowTest() override {
    GetViewSettings().ContDisplay = m_savedDisplay;
    m_popup.reset();
    m_contact->Release();
    DestroyWindow(m_owner);
    SetContactPopupActions(nullptr);
    Pump();
  }
  std::wstring Name() const {
    return static_cast<LPCWSTR>(FormatContactName(m_contact, 2));
  }

  CResourceLibraryScope m_resources;
  int m_savedDisplay = 0;
  Recorder m_actions;
  HWND m_owner;
  CONTACT_ITEM* m_contact;
  CContactsList m_list;  // never opened: the popup shows the record as it was handed over
  std::unique_ptr<CContactPopup> m_popup{new CContactPopup(&m_list)};
};

TEST_F(ContactPopupWindowTest, TheWindowListsTheEntriesAndTheNameAndCompany) {
  RECT at = {10, 20, 11, 21};
  ASSERT_TRUE(m_popup->Show(m_owner, at, m_contact));
  WCHAR name[64] = {};
  GetClassNameW(m_popup->m_hWnd, name, 64);
  EXPECT_STREQ(name, L"QelTarvoContactPopupWindow_1.0");
  RECT window = {};
  GetWindowRect(m_popup->m_hWnd, &window);
  EXPECT_EQ(window.left, 10);
  EXPECT_EQ(window.top, 20);
  EXPECT_EQ(window.right - window.left, 200);
  ASSERT_TRUE(m_popup->GetList());
  EXPECT_EQ(ListView_GetItemCount(m_popup->GetList()), 3);  // call, text message, e-mail
  EXPECT_EQ(GetWindowLongW(m_popup->GetList(), GWL_STYLE) & 0xFFFF, 0x4401);
  EXPECT_EQ(m_popup->GetToolButtonCount(), 2);
  EXPECT_EQ(m_popup->GetToolCommand(0), 1002u);
  EXPECT_EQ(m_popup->GetToolCommand(1), 1003u);
  WCHAR text[64] = {};
  GetWindowTextW(m_popup->GetNameWindow(), text, 64);
  EXPECT_EQ(std::wstring(text), static_cast<LPCWSTR>(FormatContactName(m_contact, 3)));
}

TEST_F(ContactPopupWindowTest, AContactWithoutEntriesShowsNoList) {
  for (auto& field : m_contact->m_fields) field = CString();
  RECT at = {0, 0, 1, 1};
  ASSERT_TRUE(m_popup->Show(m_owner, at, m_contact));
  EXPECT_EQ(m_popup->GetList(), nullptr);
  EXPECT_TRUE(m_popup->GetEntries().empty());
}

TEST_F(ContactPopupWindowTest, NumbersActOnlyWithAPhoneAndTheOthersAlways) {
  const struct Case {
    BOOL phone;
    int entry;  // 0 call, 1 text message, 2 e-mail
    const wchar_t* expected;
    bool closes;
  } cases[] = {
      {FALSE, 0, nullptr, false},
      {FALSE, 1, nullptr, false},
      {FALSE, 2, L"mail ann@example.com ", true},
      {TRUE, 0, L"dial 555-0144", true},
      {TRUE, 1, L"sms 555-0144 ", true},
  };
  for (const Case& c : cases) {
    m_actions.phone = c.phone;
    m_actions.calls.clear();
    RECT at = {0, 0, 1, 1};
    ASSERT_TRUE(m_popup->Show(m_owner, at, m_contact));
    EXPECT_EQ(m_popup->ActivateEntry(c.entry), c.closes ? TRUE : FALSE);
    Pump();
    if (c.expected) {
      std::wstring expected = c.expected;
      // Text messages and e-mail carry the name in its third form.
      if (c.entry != 0) expected += Name();
      EXPECT_EQ(m_actions.calls, std::vector<std::wstring>{expected});
    } else {
      EXPECT_TRUE(m_actions.calls.empty());
    }
    EXPECT_EQ(IsWindow(m_popup->m_hWnd) != FALSE, !c.closes) << c.entry;
    if (IsWindow(m_popup->m_hWnd)) DestroyWindow(m_popup->m_hWnd);
  }
}

TEST_F(ContactPopupWindowTest, AnAddressIsSelectedAndMovedOverAsOneBlock) {
  for (auto& field : m_contact->m_fields) field = CString();
  m_contact->m_fields[0] = L"555-0100";
  RECT at = {0, 0, 1, 1};
  // The address comes from the record the popup reads; the builder's own test covers
  // reading, so the popup's entries are checked through its blocks.
  ASSERT_TRUE(m_popup->Show(m_owner, at, m_contact));
  CONTACT_DETAILS* shown = m_popup->GetContact();
  ASSERT_TRUE(shown);
  EXPECT_EQ(m_popup->GetEntries().size(), 1u);
  int first = -1, last = -1;
  m_popup->GetBlock(0, &first, &last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 0);
  // Left closes the popup.
  HWND list = m_popup->GetList();
  ASSERT_TRUE(list);
  SendMessageW(list, WM_KEYDOWN, VK_LEFT, 0);
  Pump();
  EXPECT_FALSE(IsWindow(m_popup->m_hWnd));
}

}  // namespace
