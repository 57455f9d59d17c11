// Identifiers of the texts, dialog templates, menus, icons and bitmaps held by
// TarvoRes.Dll. The numbers are fixed: programs load these by number, and the
// language file QelTarvo.txt translates the texts behind them. README.md lists
// which feature uses each.
#pragma once

// Texts
#define IDS_NO_DATE 144
#define IDS_SETTINGS 15
#define IDS_CLEAR 274

// Small icons
#define IDI_ARROW_RIGHT 111
#define IDI_ARROW_DOWN 112
#define IDI_DROP_DOWN 120
#define IDI_SIGN_COLLAPSED 121
#define IDI_SIGN_OPEN 122

// Bitmaps: the scroll-bar strips a skin's "scrollbar.bmp" / "scrollbar_vga.bmp" replace
#define IDB_SCROLLBAR 129
#define IDB_SCROLLBAR_VGA 142

// Dialog templates
#define IDD_FILTER_EDIT 124

// Controls of IDD_FILTER_EDIT
#define IDC_FILTER_NAME 1000
#define IDC_FILTER_DELETE 1002
#define IDC_FILTER_MARK_ALL 1003
#define IDC_FILTER_CLEAR_ALL 1004
#define IDC_FILTER_MATCH_ANY 1005
#define IDC_FILTER_MATCH_ALL 1006
#define IDC_FILTER_EXCLUDE 1007

// The options program: title, settings file texts, section sheet menu bars
#define IDS_SETTINGS_TITLE 32838
#define IDR_SETTINGS_ACCELERATORS 32838
#define IDS_SETTINGS_FILE_TYPE 174
#define IDS_SETTINGS_FILE_NAME 175
#define IDS_IMPORT_SETTINGS_QUESTION 40017
#define IDM_SHEET_MENU_BAR 125
#define IDM_TASKS_SHEET_MENU_BAR 203
#define IDM_SETTINGS_EXPORT 40019
#define IDM_SETTINGS_IMPORT 40020
