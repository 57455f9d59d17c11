// The Today screen's item interface: the record the screen hands each custom item,
// the messages between the screen and its items, and the exports an item DLL has.
// Shared by the Today screen stand-in, its items, and any program that hosts items
// itself.
#pragma once
#include <windows.h>

#define MAX_ITEMNAME 32

// Ordinals of a custom item DLL's exports.
#define TODAY_ORDINAL_INITIALIZE 240  // InitializeCustomItem
#define TODAY_ORDINAL_OPTIONS 241     // the options dialog procedure

// Dialog template in the item DLL that the options procedure runs.
#define IDD_TODAY_CUSTOM 500

typedef enum _TODAYLISTITEMTYPE {
  tlitOwnerInfo = 0,
  tlitAppointments,
  tlitMail,
  tlitTasks,
  tlitCustom,
  tlitNil
} TODAYLISTITEMTYPE;

// Lives on the screen's heap, at one address for the item's whole life.
typedef struct _TODAYLISTITEM {
  WCHAR szName[MAX_ITEMNAME];
  TODAYLISTITEMTYPE tlit;
  DWORD dwOrder;
  DWORD cyp;
  BOOL fEnabled;
  BOOL fOptions;
  DWORD grfFlags;
  WCHAR szDLLPath[MAX_PATH];
  HINSTANCE hinstDLL;
  HWND hwndCustom;
  BOOL fSizeOnDraw;
  BYTE* prgbCachedData;
  DWORD cbCachedData;
} TODAYLISTITEM;

// lParam of TODAYM_DRAWWATERMARK; rc is in hwnd's client coordinates.
typedef struct {
  HDC hdc;
  RECT rc;
  HWND hwnd;
} TODAYDRAWWATERMARKINFO;

// Screen to item. The first two carry the item's TODAYLISTITEM* in wParam.
#define WM_TODAYCUSTOM_CLEARCACHE (WM_USER + 242)          // 0x4F2
#define WM_TODAYCUSTOM_QUERYREFRESHCACHE (WM_USER + 243)   // 0x4F3; non-zero: cyp changed
#define WM_TODAYCUSTOM_RECEIVEDSELECTION (WM_USER + 244)   // 0x4F4; wParam: the key that moved it
#define WM_TODAYCUSTOM_LOSTSELECTION (WM_USER + 245)       // 0x4F5
#define WM_TODAYCUSTOM_USERNAVIGATION (WM_USER + 246)      // 0x4F6; wParam: key; non-zero: handled
#define WM_TODAYCUSTOM_ACTION (WM_USER + 247)              // 0x4F7; wParam: key

// Item to screen (sent to the item window's parent).
#define TODAYM_GETCOLOR (WM_USER + 100)       // 0x464; wParam: a TODAYCOLOR_ code; result: COLORREF
#define TODAYM_DRAWWATERMARK (WM_USER + 101)  // 0x465; lParam: TODAYDRAWWATERMARKINFO*
#define TODAYM_TOOKSELECTION (WM_USER + 102)  // 0x466; the item window takes the selection

#define TODAYCOLOR_TEXT 0x10000004
#define TODAYCOLOR_HIGHLIGHT 0x10000022
#define TODAYCOLOR_HIGHLIGHTEDTEXT 0x10000023

// What an item's "Selectability" value means.
#define TODAY_SELECTABILITY_NOTSELECTABLE 0
#define TODAY_SELECTABILITY_SELECTABLE 1        // Enter becomes a tap
#define TODAY_SELECTABILITY_CUSTOMSELECTION 2   // the item handles keys itself

typedef HWND(WINAPI* PFNCUSTOMINITIALIZEITEM)(TODAYLISTITEM* item, HWND parent);
typedef BOOL(CALLBACK* PFNCUSTOMOPTIONSDLGPROC)(HWND, UINT, WPARAM, LPARAM);
