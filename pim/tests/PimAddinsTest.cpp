#include "pim/PimAddins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/CeDbApi.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "pim/tests/BesideTest.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/doclist/doclist.h"

namespace {

// The real dialog procedure in a dialog made from a template in memory: the
// add-in runs from the dialog's own timer and the dialog ends by itself.
INT_PTR RunInMemoryDialog(HINSTANCE, LPCWSTR, HWND owner, DLGPROC proc, LPARAM param) {
  struct {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
  } dialogTemplate = {};
  dialogTemplate.dialog.style = WS_POPUP | WS_CAPTION;
  dialogTemplate.dialog.cx = 100;
  dialogTemplate.dialog.cy = 50;
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.dialog, owner, proc, param);
}

class PimAddinsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previous = SetAddinDialogRunner(RunInMemoryDialog);
    const std::wstring library = BesideTest(L"TestPimAddin.dll");
    AddIn(L"Contacts", L"A", L"Look up", library.c_str());
    AddIn(L"Contacts", L"B", L"No library", nullptr);
    AddIn(L"Contacts", L"C", nullptr, library.c_str());
    AddIn(L"Contacts", L"D", L"Missing", L"\\Nowhere\\none.dll");
    AddIn(L"Calendar", L"X", L"Agenda tool", library.c_str());
    // An extension whose class is not registered is left out quietly.
    m_machine.Key(L"Software\\Microsoft\\Shell\\Extensions\\ContextMenus\\Contacts\\Main_ContextMenu")
        .CreateSubKey(L"{22222222-0000-0000-0000-000000000009}");
  }
  void TearDown() override { SetAddinDialogRunner(m_previous); }
  void AddIn(const wchar_t* program, const wchar_t* name, const wchar_t* menu, const wchar_t* library) {
    CRegistryView key = m_machine.Key(
        (std::wstring(L"SOFTWARE\\Microsoft\\PimApps\\PimExtensions\\") + program + L"\\AddIns\\" + name).c_str());
    key.CreateSubKey(L"x");
    if (menu) key.WriteString(L"Menu", menu);
    if (library) key.WriteString(L"DLL", library);
  }
  CLocalMachineSandbox m_machine{L"PimAddins"};
  PFN_ADDIN_DIALOG m_previous = nullptr;
};

TEST_F(PimAddinsTest, MenuHoldsTheFixedEntriesThenEveryCompleteAddin) {
  struct Case {
    int group;
    std::vector<int> ids;
    std::vector<std::wstring> addinTexts;
  };
  const Case cases[] = {
      {PIM_GROUP_CONTACTS, {IDC_PIM_BEAM, IDC_PIM_FIRST_ADDIN, IDC_PIM_FIRST_ADDIN + 1}, {L"Look up", L"Missing"}},
      {PIM_GROUP_CALENDAR, {IDC_PIM_BEAM, IDC_PIM_FIRST_ADDIN}, {L"Agenda tool"}},
      {PIM_GROUP_TASKS, {IDC_PIM_BEAM}, {}},
      {PIM_GROUP_NOTES, {IDC_PIM_BEAM, IDC_PIM_EMAIL}, {}},
  };
  for (const Case& c : cases) {
    HMENU menu = CreatePopupMenu();
    AppendPimAddinMenu(c.group, menu, 7, nullptr);
    EXPECT_EQ(c.ids, MenuIds(menu)) << c.group;
    const std::vector<MenuEntry> items = ReadMenu(menu);
    for (size_t i = 0; i < c.addinTexts.size(); ++i)
      EXPECT_EQ(c.addinTexts[i], items[items.size() - c.addinTexts.size() + i].text) << c.group;
    DestroyMenu(menu);
  }
}

TEST_F(PimAddinsTest, ChosenAddinRunsWithTheItemFromItsDialog) {
  HMODULE fixture = LoadLibraryW(BesideTest(L"TestPimAddin.dll").c_str());
  ASSERT_NE(nullptr, fixture);
  typedef void(WINAPI * PFN_LAST)(HWND*, int*, UINT*, DWORD*, int*);
  PFN_LAST last = reinterpret_cast<PFN_LAST>(reinterpret_cast<void*>(GetProcAddress(fixture, "TestLastCall")));
  HMENU menu = CreatePopupMenu();
  AppendPimAddinMenu(PIM_GROUP_CONTACTS, menu, 0x1234, nullptr);
  EXPECT_EQ(2, GetPimAddinCount());
  EXPECT_TRUE(OnPimItemActionCommand(PIM_GROUP_CONTACTS, IDC_PIM_FIRST_ADDIN, 0x1234, nullptr));
  HWND window = nullptr;
  int group = -1, calls = 0;
  UINT verb = 0;
  DWORD oid = 0;
  last(&window, &group, &verb, &oid, &calls);
  EXPECT_EQ(1, calls);
  EXPECT_NE(nullptr, window) << "called from the dialog";
  EXPECT_FALSE(IsWindow(window)) << "the dialog ended by itself";
  EXPECT_EQ(PIM_GROUP_CONTACTS, group);
  EXPECT_EQ(1u, verb);
  EXPECT_EQ(0x1234u, oid);
  EXPECT_EQ(0, GetPimAddinCount()) << "the list is emptied after a command";

  // A missing library and notes' commands run nothing.
  AppendPimAddinMenu(PIM_GROUP_CONTACTS, menu, 1, nullptr);
  EXPECT_TRUE(OnPimItemActionCommand(PIM_GROUP_CONTACTS, IDC_PIM_FIRST_ADDIN + 1, 1, nullptr));
  EXPECT_FALSE(OnPimItemActionCommand(PIM_GROUP_NOTES, IDC_PIM_FIRST_ADDIN, 1, nullptr));
  last(&window, &group, &verb, &oid, &calls);
  EXPECT_EQ(1, calls);
  DestroyMenu(menu);
  FreeLibrary(fixture);
}

TEST(PimContactMenuTest, WithoutAPhoneOnlyTheEmailEntry) {
  ForgetPhonePresence();
  ASSERT_FALSE(IsPhonePresent()) << "the emulated device has no phone library";
  struct Case {
    const wchar_t* email;
    std::vector<int> extra;
  };
  const Case cases[] = {{L"a@example.org", {IDC_PIM_EMAIL}}, {L"", {}}, {nullptr, {}}};
  for (const Case& c : cases) {
    PIM_CONTACT_FIELDS contact = {L"Ann", c.email, L"+1 555", L"+1 556", L"+1 557"};
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(0, AppendContactActionMenu(menu, &contact)) << "no call entries";
    EXPECT_EQ(static_cast<int>(c.extra.size()), AppendItemExtraMenu(menu, &contact));
    EXPECT_EQ(c.extra, MenuIds(menu));
    DestroyMenu(menu);
  }
  EXPECT_EQ(0, DialNumber(L"+1 555"));
  EXPECT_TRUE(OnDocListCommand(IDC_PIM_BEAM, 0)) << "without the document list nothing happens";
}

template <typename T>
T Export(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A phone edition (the newer store): call entries for each number the contact has and
// the text message; the calls reach the phone library with the number.
class PimPhoneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_device.AddOptionalLibrary(L"phone"));
    ForgetPhonePresence();
    // Held for the test, so the library's record outlives the calls' own loads.
    m_phone = LoadLibraryW(L"phone.dll");
    ASSERT_NE(m_phone, nullptr);
    Export<void(WINAPI*)()>(m_phone, "PhoneTestReset")();
  }
  void TearDown() override {
    if (m_phone) FreeLibrary(m_phone);
    ForgetPhonePresence();
    SetNewerStore(m_wasNewer);
  }
  std::vector<std::wstring> Calls() {
    std::vector<std::wstring> calls;
    auto get = Export<BOOL(WINAPI*)(int, LPWSTR, int, DWORD*)>(m_phone, "PhoneTestGetCall");
    wchar_t number[64];
    DWORD flags = 0;
    for (int i = 0; get(i, number, 64, &flags); ++i) calls.push_back(std::wstring(number) + L"/" + std::to_wstring(flags));
    return calls;
  }
  CDeviceSwitch m_device;
  HMODULE m_phone = nullptr;
  BOOL m_wasNewer = IsNewerStore();
};

TEST_F(PimPhoneTest, CallEntriesFollowTheNumbersAndCallsReachThePhone) {
  SetNewerStore(TRUE);
  ASSERT_TRUE(IsPhonePresent());
  struct Case {
    PIM_CONTACT_FIELDS contact;
    std::vector<int> calls, extra;
  };
  const Case cases[] = {
      {{L"Ann", L"a@example.org", L"+1 555", L"+1 556", L"+1 557"},
       {IDC_PIM_CALL_MOBILE, IDC_PIM_CALL_WORK, IDC_PIM_CALL_HOME},
       {IDC_PIM_SMS, IDC_PIM_EMAIL}},
      {{L"Bo", nullptr, nullptr, L"+1 556", L""}, {IDC_PIM_CALL_WORK}, {IDC_PIM_SMS}},
      {{L"Cy", L"", L"", nullptr, nullptr}, {}, {IDC_PIM_SMS}},
  };
  for (const Case& c : cases) {
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(static_cast<int>(c.calls.size()), AppendContactActionMenu(menu, &c.contact)) << c.contact.displayName;
    EXPECT_EQ(c.calls, MenuIds(menu)) << c.contact.displayName;
    DestroyMenu(menu);
    menu = CreatePopupMenu();
    EXPECT_EQ(static_cast<int>(c.extra.size()), AppendItemExtraMenu(menu, &c.contact)) << c.contact.displayName;
    EXPECT_EQ(c.extra, MenuIds(menu)) << c.contact.displayName;
    DestroyMenu(menu);
  }

  const PIM_CONTACT_FIELDS ann = cases[0].contact;
  for (UINT id : {IDC_PIM_CALL_WORK, IDC_PIM_CALL_MOBILE, IDC_PIM_CALL_HOME})
    EXPECT_TRUE(OnPimItemActionCommand(PIM_GROUP_CONTACTS, id, 7, &ann));
  // A field without a number, or no contact, calls nobody.
  EXPECT_TRUE(OnPimItemActionCommand(PIM_GROUP_CONTACTS, IDC_PIM_CALL_HOME, 8, &cases[1].contact));
  EXPECT_TRUE(OnPimItemActionCommand(PIM_GROUP_CONTACTS, IDC_PIM_CALL_WORK, 8, nullptr));
  EXPECT_EQ(0, DialNumber(L"555 0100"));
  EXPECT_EQ(0, DialNumber(L""));
  const std::vector<std::wstring> expected = {L"+1 556/1", L"+1 555/1", L"+1 557/1", L"555 0100/1"};
  EXPECT_EQ(expected, Calls());

  // A malformed description comes back as the library's error.
  PHONEMAKECALLINFO bad = {};
  bad.cbSize = 24;
  bad.pszDestAddress = L"1";
  EXPECT_NE(0, CallPhoneMakeCall(&bad));
  EXPECT_EQ(expected.size(), Calls().size());
}

// The older store has no text messages, even with a phone.
TEST_F(PimPhoneTest, NoTextMessagesOnTheOlderStore) {
  SetNewerStore(FALSE);
  PIM_CONTACT_FIELDS contact = {L"Ann", L"a@example.org", L"+1 555", nullptr, nullptr};
  HMENU menu = CreatePopupMenu();
  EXPECT_EQ(1, AppendItemExtraMenu(menu, &contact));
  EXPECT_EQ(std::vector<int>{IDC_PIM_EMAIL}, MenuIds(menu));
  DestroyMenu(menu);
}

// The notes' two entries hand the document to a list made over "\Program Files\".
TEST(PimDocListTest, NotesEntriesSendTheDocumentThroughTheList) {
  CDeviceSwitch device;
  ASSERT_TRUE(device.AddOptionalLibrary(L"doclist"));
  HMODULE library = LoadLibraryW(L"doclist.dll");
  ASSERT_NE(library, nullptr);
  Export<void(WINAPI*)()>(library, "DocListTestReset")();
  const wchar_t path[] = L"\\My Documents\\memo.pwi";
  EXPECT_TRUE(OnDocListCommand(IDC_PIM_BEAM, reinterpret_cast<LPARAM>(path)));
  EXPECT_TRUE(OnDocListCommand(IDC_PIM_EMAIL, reinterpret_cast<LPARAM>(path)));
  EXPECT_TRUE(OnDocListCommand(IDC_PIM_SMS, reinterpret_cast<LPARAM>(path))) << "other ids do nothing";
  auto getSend = Export<BOOL(WINAPI*)(int, UINT*, LPWSTR, int)>(library, "DocListTestGetSend");
  auto getCreate = Export<BOOL(WINAPI*)(int, LPWSTR, int, LPWSTR, int)>(library, "DocListTestGetCreate");
  EXPECT_EQ(2, Export<int(WINAPI*)()>(library, "DocListTestGetCreateCount")());
  wchar_t folder[MAX_PATH] = {}, filter[64] = {};
  ASSERT_TRUE(getCreate(0, folder, MAX_PATH, filter, 64));
  EXPECT_STREQ(L"\\Program Files\\", folder);
  EXPECT_STREQ(L"All Files", filter);
  const UINT messages[] = {DLM_SENDIR, DLM_SENDEMAIL};
  for (int i = 0; i < 2; ++i) {
    UINT message = 0;
    wchar_t sent[MAX_PATH] = {};
    ASSERT_TRUE(getSend(i, &message, sent, MAX_PATH));
    EXPECT_EQ(messages[i], message);
    EXPECT_STREQ(path, sent);
  }
  EXPECT_FALSE(getSend(2, nullptr, nullptr, 0));
  FreeLibrary(library);
}

std::wstring g_opened;
BOOL RecordOpen(SHELLEXECUTEINFOW* info) {
  g_opened = std::wstring(info->lpVerb) + L" " + info->lpFile + L" " + info->lpParameters;
  return (info->fMask & SEE_MASK_FLAG_NO_UI) != 0;
}

TEST(PimBrowserTest, AddressGoesToTheBrowser) {
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(RecordOpen);
  EXPECT_TRUE(OpenInBrowser(L"http://example.org/"));
  EXPECT_EQ(L"open :MSPIE http://example.org/", g_opened);
  SetProgramLauncher(previous);
}

}  // namespace

namespace {

// The e-mail list's part: what a contact's e-mail and text-message entries hand over.
class CRecordingComposer : public IMessageComposer {
 public:
  BOOL ComposeEmail(LPCWSTR name, LPCWSTR address) override {
    calls.push_back(L"email " + std::wstring(name ? name : L"") + L" " + address);
    return TRUE;
  }
  BOOL ComposeSms(LPCWSTR name, LPCWSTR number) override {
    calls.push_back(L"sms " + std::wstring(name ? name : L"") + L" " + number);
    return TRUE;
  }
  std::vector<std::wstring> calls;
};

TEST(PimComposeTest, ContactEntriesReachTheComposerOnlyWhenThereIsOne) {
  ForgetPhonePresence();
  ASSERT_FALSE(IsPhonePresent());
  PIM_CONTACT_FIELDS contact = {L"Ann", L"ann@example.org", L"+1 555", nullptr, nullptr};
  CRecordingComposer composer;
  IMessageComposer* previous = SetMessageComposer(nullptr);
  EXPECT_FALSE(ComposeEmailTo(L"ann@example.org", L"Ann")) << "nothing composes before the e-mail list runs";
  SetMessageComposer(&composer);
  EXPECT_TRUE(OnPimItemActionCommand(PIM_GROUP_CONTACTS, IDC_PIM_EMAIL, 1, &contact));
  EXPECT_TRUE(OnPimItemActionCommand(PIM_GROUP_CONTACTS, IDC_PIM_SMS, 1, &contact)) << "no phone: no message";
  EXPECT_FALSE(ComposeEmailTo(L"", L"Ann"));
  EXPECT_FALSE(ComposeSmsTo(L"+1 555", L"Ann"));
  EXPECT_EQ(std::vector<std::wstring>{L"email Ann ann@example.org"}, composer.calls);
  SetMessageComposer(previous);
}

}  // namespace
