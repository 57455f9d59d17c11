#include "pim/PimAddins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/tests/RegistrySandbox.h"
#include "pim/tests/BesideTest.h"

namespace {

struct MenuItem {
  UINT id;
  std::wstring text;
};
std::vector<MenuItem> Items(HMENU menu) {
  std::vector<MenuItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
    items.push_back({GetMenuItemID(menu, i), text});
  }
  return items;
}
std::vector<UINT> Ids(HMENU menu) {
  std::vector<UINT> ids;
  for (const MenuItem& item : Items(menu)) ids.push_back(item.id);
  return ids;
}

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
    std::vector<UINT> ids;
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
    EXPECT_EQ(c.ids, Ids(menu)) << c.group;
    const std::vector<MenuItem> items = Items(menu);
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
  ASSERT_FALSE(IsPhonePresent()) << "the emulated device has no phone library";
  struct Case {
    const wchar_t* email;
    std::vector<UINT> extra;
  };
  const Case cases[] = {{L"a@example.org", {IDC_PIM_EMAIL}}, {L"", {}}, {nullptr, {}}};
  for (const Case& c : cases) {
    PIM_CONTACT_FIELDS contact = {L"Ann", c.email, L"+1 555", L"+1 556", L"+1 557"};
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(0, AppendContactActionMenu(menu, &contact)) << "no call entries";
    EXPECT_EQ(static_cast<int>(c.extra.size()), AppendItemExtraMenu(menu, &contact));
    EXPECT_EQ(c.extra, Ids(menu));
    DestroyMenu(menu);
  }
  EXPECT_EQ(0, DialNumber(L"+1 555"));
  EXPECT_TRUE(OnDocListCommand(IDC_PIM_BEAM, 0)) << "without the document list nothing happens";
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
