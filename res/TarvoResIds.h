// Identifiers of the texts, dialog templates, menus, icons and bitmaps held by
// TarvoRes.Dll. The numbers are fixed: programs load these by number, and the
// language file QelTarvo.txt translates the texts behind them. README.md lists
// which feature uses each.
#pragma once

// Texts
#define IDS_NO_DATE 144

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
