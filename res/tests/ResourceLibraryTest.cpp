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

namespace {

// The size of the image an icon group holds for exactly w x h, or {0, 0} when the
// group would have to scale another one: the picture drawn for that size is there.
SIZE ExactIconImage(HMODULE lib, UINT id, int w, int h) {
  HRSRC group = FindResourceW(lib, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
  if (!group) return {0, 0};
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(lib, group)));
  const int icon = LookupIconIdFromDirectoryEx(dir, TRUE, w, h, LR_DEFAULTCOLOR);
  HRSRC image = icon ? FindResourceW(lib, MAKEINTRESOURCEW(icon), RT_ICON) : nullptr;
  if (!image || SizeofResource(lib, image) < sizeof(BITMAPINFOHEADER)) return {0, 0};
  const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(lib, image)));
  if (header->biWidth != w || header->biHeight / 2 != h) return {0, 0};
  return {header->biWidth, header->biHeight / 2};
}

// Whether the icon's colour image has pixels of more than one colour.
bool IconIsDrawn(HICON icon, int w, int h) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, w, h};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
  int marked = 0;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++)
      if (GetPixel(dc, x, y) != RGB(255, 255, 255)) marked++;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return marked > w * h / 10;
}

// Every icon the features load by number, at each size they ask for it (logical
// size at 96 and at 192 dpi), drawn for that size rather than scaled from another.
TEST(ResourceLibrary, EveryIconHasAPictureForEverySizeAskedFor) {
  DataFile lib;
  ASSERT_NE(lib.h, nullptr);
  struct Case {
    UINT id;
    int w, h;  // logical size at 96 dpi; 192 dpi asks twice as much
    const char* what;
  };
  const Case cases[] = {
      {IDI_ARROW_RIGHT, 8, 8, "calendar row arrow"},
      {IDI_ARROW_DOWN, 8, 8, "calendar row arrow"},
      {IDI_DROP_DOWN, 13, 9, "drop-down selector"},
      {IDI_SIGN_COLLAPSED, 9, 9, "folded group"},
      {IDI_SIGN_OPEN, 9, 9, "open group"},
      {128, 12, 11, "generic icon for the tab host"},
      {128, 16, 16, "generic icon as a tab's own icon"},
      {147, 12, 11, "Calendar, tab host"}, {147, 16, 16, "Calendar, strip"},
      {146, 12, 11, "Tasks, tab host"}, {146, 16, 16, "Tasks, strip"},
      {148, 12, 11, "Contacts, tab host"}, {148, 16, 16, "Contacts, strip"},
      {149, 12, 11, "Notes, tab host"}, {149, 16, 16, "Notes, strip"},
      {216, 12, 11, "Messages, tab host"}, {216, 16, 16, "Messages, strip"},
      {143, 12, 11, "Special events, tab host"}, {143, 16, 16, "Special events, strip"},
      {IDI_TAB_CONTACTS, 16, 16, "Contacts tab's own icon"},
      {IDI_TAB_CONTACTS_SELECTED, 16, 16, "Contacts tab's own icon, selected"},
      {IDI_SETTINGS_TAB, 16, 16, "settings panel"},
      {IDI_SETTINGS_TAB_SELECTED, 16, 16, "settings panel, other variant"},
      {IDI_POPUP_CLOSE, 20, 20, "popup close"}, {IDI_POPUP_CLOSE_PRESSED, 20, 20, "popup close pressed"},
      {IDI_POPUP_PREVIOUS, 20, 20, "previous month"}, {IDI_POPUP_PREVIOUS_PRESSED, 20, 20, "pressed"},
      {IDI_POPUP_NEXT, 20, 20, "next month"}, {IDI_POPUP_NEXT_PRESSED, 20, 20, "pressed"},
      {IDI_POPUP_TODAY, 20, 20, "today"}, {IDI_POPUP_TODAY_PRESSED, 20, 20, "pressed"},
      {IDI_POPUP_OPEN, 20, 20, "open item"}, {IDI_POPUP_OPEN_PRESSED, 20, 20, "pressed"},
      {IDI_POPUP_DELETE, 20, 20, "delete item"}, {IDI_POPUP_DELETE_PRESSED, 20, 20, "pressed"},
  };
  for (const Case& c : cases) {
    for (int scale : {1, 2}) {
      const int w = c.w * scale, h = c.h * scale;
      SCOPED_TRACE(::testing::Message() << "icon " << c.id << " (" << c.what << ") at " << w << " x " << h);
      const SIZE exact = ExactIconImage(lib.h, c.id, w, h);
      EXPECT_EQ(exact.cx, w);
      EXPECT_EQ(exact.cy, h);
      HICON icon = static_cast<HICON>(LoadImageW(lib.h, MAKEINTRESOURCEW(c.id), IMAGE_ICON, w, h, 0));
      ASSERT_NE(icon, nullptr);
      EXPECT_TRUE(IconIsDrawn(icon, w, h));
      DestroyIcon(icon);
    }
  }
  // The options program's section icons come at the system's two icon sizes.
  for (UINT id : {IDI_SECTION_GENERAL, IDI_SECTION_CALENDAR, IDI_SECTION_TASKS, IDI_SECTION_CONTACTS,
                  IDI_SECTION_NOTES, IDI_SECTION_MESSAGES, IDI_SECTION_SPECIAL_EVENTS,
                  IDI_SECTION_CATEGORY_ICONS, IDI_SECTION_TABS})
    for (int size : {32, 64}) EXPECT_EQ(ExactIconImage(lib.h, id, size, size).cx, size) << id << " at " << size;
}

// The bitmaps, by number, with the sizes their features lay out: the item-icon
// strips of 49 cells, the forecast sample, the chooser's two toolbar images and
// the fallback scroll-bar strips.
TEST(ResourceLibrary, EveryBitmapLoadsAtItsLayout) {
  DataFile lib;
  ASSERT_NE(lib.h, nullptr);
  struct Case {
    UINT id;
    int w, h;  // 0: any
  };
  const Case cases[] = {
      {IDB_ITEM_ICONS, 49 * 16, 16}, {IDB_ITEM_ICONS_VGA, 49 * 32, 32}, {IDB_FORECAST, 16, 16},
      {IDB_FORECAST_VGA, 32, 32},    {IDB_ICON_CHOOSER_BAR, 2 * 16, 16}, {IDB_SCROLLBAR, 0, 0},
      {IDB_SCROLLBAR_VGA, 0, 0},
  };
  for (const Case& c : cases) {
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageW(lib.h, MAKEINTRESOURCEW(c.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr) << "bitmap " << c.id;
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 24) << c.id;
    if (c.w) {
      EXPECT_EQ(info.bmWidth, c.w) << c.id;
      EXPECT_EQ(info.bmHeight, c.h) << c.id;
    }
    DeleteObject(bitmap);
  }
}

}  // namespace
