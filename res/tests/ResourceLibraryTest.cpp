// TarvoRes.Dll is loaded as a data file, never run: its texts and dialog
// templates must be reachable that way by their fixed identifiers.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "res/TarvoResIds.h"

namespace {

struct DataFile {
  HMODULE h = LoadLibraryExW(L"TarvoRes.Dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ~DataFile() { if (h) FreeLibrary(h); }
};

TEST(ResourceLibrary, LoadsAsDataFileAndGivesTextsById) {
  DataFile lib;
  ASSERT_NE(lib.h, nullptr) << GetLastError();
  WCHAR text[64] = {};
  ASSERT_GT(LoadStringW(lib.h, IDS_NO_DATE, text, 64), 0);
  EXPECT_STREQ(text, L"No date");
  EXPECT_EQ(LoadStringW(lib.h, 1, text, 64), 0) << "an unknown identifier gives no text";
}

INT_PTR CALLBACK PageProc(HWND dlg, UINT msg, WPARAM, LPARAM) {
  return msg == WM_INITDIALOG && GetDlgItem(dlg, IDC_FILTER_NAME) != nullptr;
}

TEST(ResourceLibrary, DialogTemplateBuildsAPropertyPage) {
  DataFile lib;
  ASSERT_NE(lib.h, nullptr);
  ASSERT_NE(FindResourceW(lib.h, MAKEINTRESOURCEW(IDD_FILTER_EDIT), MAKEINTRESOURCEW(5)), nullptr);

  PROPSHEETPAGEW page = {};
  page.dwSize = sizeof page;
  page.hInstance = lib.h;
  page.pszTemplate = MAKEINTRESOURCEW(IDD_FILTER_EDIT);
  page.pfnDlgProc = PageProc;
  HPROPSHEETPAGE h = CreatePropertySheetPageW(&page);
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(DestroyPropertySheetPage(h));

  // The same template makes a real dialog with its controls.
  HWND dlg = CreateDialogParamW(lib.h, MAKEINTRESOURCEW(IDD_FILTER_EDIT), nullptr, PageProc, 0);
  ASSERT_NE(dlg, nullptr) << GetLastError();
  WCHAR cls[32] = {};
  GetClassNameW(GetDlgItem(dlg, IDC_FILTER_NAME), cls, 32);
  EXPECT_EQ(lstrcmpiW(cls, L"ComboBox"), 0) << cls;
  EXPECT_NE(GetDlgItem(dlg, IDC_FILTER_EXCLUDE), nullptr);
  DestroyWindow(dlg);
}

}  // namespace
