#include "platform/aygshell/CeControls.h"
#include "platform/aygshell/tests/HostWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using aygtest::HostWindow;

// An empty dialog template built in memory: no controls, the given style and caption.
struct Template {
  std::vector<WORD> words;
  Template(DWORD style, const wchar_t* caption) {
    words.resize(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* t = reinterpret_cast<DLGTEMPLATE*>(words.data());
    t->style = style;
    t->cx = 100;
    t->cy = 80;
    words.push_back(0);  // no menu
    words.push_back(0);  // standard class
    for (const wchar_t* c = caption; *c; ++c) words.push_back(*c);
    words.push_back(0);
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }
};

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// On the device dialogs belong to the class "Dialog".
TEST(CeClassNames, DialogsReadAsDialog) {
  Template tmpl(WS_POPUP, L"AygCeClassProbe");
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), tmpl.get(), nullptr, NoDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  WCHAR name[64] = {};
  EXPECT_EQ(GetCeClassName(dialog, name, 64), 6);
  EXPECT_STREQ(name, L"Dialog");
  EXPECT_EQ(GetCeClassName(dialog, name, 4), 3);
  EXPECT_STREQ(name, L"Dia");
  EXPECT_EQ(FindCeWindow(L"dialog", L"AygCeClassProbe"), dialog);
  DestroyWindow(dialog);

  HostWindow plain;
  GetCeClassName(plain.hwnd(), name, 64);
  EXPECT_STREQ(name, L"AygTestHost");
}

TEST(CeClassNames, DeviceNamesMapToDesktopNames) {
  struct Case {
    const wchar_t* device;
    const wchar_t* desktop;
  };
  const Case cases[] = {{L"Dialog", L"#32770"},
                        {L"MNU", L"#32768"},
                        {L"HHTaskBar", L"Shell_TrayWnd"},
                        {L"SysListView32", L"SysListView32"}};
  for (const Case& c : cases) EXPECT_STREQ(DesktopClassName(c.device), c.desktop);
}

// While a popup menu is open, the device finds it as the window of class "MNU".
HWND g_foundMenu = nullptr;
void CALLBACK LookForMenu(HWND, UINT, UINT_PTR id, DWORD) {
  g_foundMenu = FindCeWindow(CE_MENU_CLASSNAME, nullptr);
  KillTimer(nullptr, id);
  EndMenu();
}

TEST(CeClassNames, OpenPopupMenuIsFoundAsMnu) {
  HostWindow owner;
  SetForegroundWindow(owner.hwnd());
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"One");
  g_foundMenu = nullptr;
  SetTimer(nullptr, 0, 10, LookForMenu);
  TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 10, owner.hwnd(), nullptr);
  DestroyMenu(menu);
  EXPECT_NE(g_foundMenu, nullptr);
}

std::vector<UINT> g_sheetCodes;
int CALLBACK RecordSheet(HWND, UINT message, LPARAM) {
  g_sheetCodes.push_back(message);
  return message == PSCB_GETVERSION ? 0x20C : 0;
}

HWND FindChild(HWND parent, const wchar_t* cls) {
  return FindWindowExW(parent, nullptr, cls, nullptr);
}

// The device reads header flag 0x2000 as "maximised"; the desktop would make a wizard of
// it. Through CePropertySheet the sheet keeps its tabs and its callback never sees the
// desktop's pressed-button code, which the device would read as a version query.
TEST(CePropertySheet, MaximisedSheetIsAPropertySheet) {
  Template page(WS_CHILD | DS_CONTROL, L"Page");
  PROPSHEETPAGEW pages[1] = {};
  pages[0].dwSize = sizeof(pages[0]);
  pages[0].dwFlags = PSP_DLGINDIRECT;
  pages[0].pResource = page.get();
  pages[0].pfnDlgProc = NoDialogProc;

  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_USECALLBACK | PSH_MAXIMIZE | PSH_PROPSHEETPAGE | PSH_MODELESS;
  header.hInstance = GetModuleHandleW(nullptr);
  header.pszCaption = L"Sheet";
  header.nPages = 1;
  header.ppsp = pages;
  header.pfnCallback = RecordSheet;

  g_sheetCodes.clear();
  HWND sheet = reinterpret_cast<HWND>(CePropertySheet(&header));
  ASSERT_NE(sheet, nullptr);
  HWND tabs = FindChild(sheet, WC_TABCONTROLW);
  ASSERT_NE(tabs, nullptr);
  EXPECT_TRUE(IsWindowVisible(tabs));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(sheet, 0x3024)));  // a wizard's Next button

  SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
  SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  aygtest::PumpPending();
  EXPECT_NE(std::find(g_sheetCodes.begin(), g_sheetCodes.end(), static_cast<UINT>(PSCB_INITIALIZED)),
            g_sheetCodes.end());
  EXPECT_EQ(std::find(g_sheetCodes.begin(), g_sheetCodes.end(), static_cast<UINT>(PSCB_GETVERSION)),
            g_sheetCodes.end());
  if (IsWindow(sheet)) DestroyWindow(sheet);
}

// The device's command bar is a toolbar child across the top of its parent.
TEST(CeCommandBar, IsToolbarChildAtTop) {
  HostWindow parent({0, 0, 240, 320}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND bar = CommandBar_Create(GetModuleHandleW(nullptr), parent.hwnd(), 77);
  ASSERT_NE(bar, nullptr);
  WCHAR cls[64] = {};
  GetClassNameW(bar, cls, 64);
  EXPECT_STREQ(cls, TOOLBARCLASSNAMEW);
  EXPECT_EQ(GetDlgCtrlID(bar), 77);
  EXPECT_EQ(GetParent(bar), parent.hwnd());
  RECT r = {};
  GetWindowRect(bar, &r);
  MapWindowPoints(nullptr, parent.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.top, 0);
}

}  // namespace
