// Numbers of the translator tests' resource library.
#pragma once

#define IDS_FX_OPEN 100
#define IDS_FX_OPEN_SPACE 101
#define IDS_FX_SAVE 102
#define IDS_FX_SPECIAL 103
#define IDS_FX_LONG 104
#define IDS_FX_FRAMEWORK 57400
#define IDS_FX_HIGH 65010

#define IDD_FX_DIALOG 7
#define IDD_FX_PLAIN 8
#define IDC_FX_LABEL 1000
#define IDC_FX_COMBO 1001
#define IDC_FX_BUTTON 1003

#define IDM_FX_MENU 9
