// The InkX control ("inkx.dll"): a container for ink notes around an inner RichInk
// text window. It keeps whatever ink data it is given, byte for byte; drawing ink is
// out of reach here, so the inner window shows the data's size and any text found
// in it.
#pragma once
#include <windows.h>

#ifdef TARVO_BUILDING_INKX
#define INKX_API extern "C"
#else
#define INKX_API extern "C" __declspec(dllimport)
#endif

#define WC_INKX L"InkX"

// wParam = length in bytes, lParam = the bytes (any bytes; null only with length 0).
// Answers TRUE when the data was kept.
constexpr UINT IM_SETDATA = WM_USER + 516;  // 1540
// Answers the inner text window (a "RichInk"), for the owner to subclass and focus.
constexpr UINT IM_GETINNERWINDOW = WM_USER + 532;  // 1556
// The RichInk messages (zoom 1314, 1353, view attributes 1356) go on to the inner window.

// Items of the control's own context menu, which the inner window owns while it is
// open (so the owner hears WM_INITMENUPOPUP there); a chosen item acts on the inner
// window's text.
constexpr UINT IDM_INKX_UNDO = 352;
constexpr UINT IDM_INKX_CUT = 354;
constexpr UINT IDM_INKX_PASTE = 355;
constexpr UINT IDM_INKX_CLEAR = 362;

// A right tap or a held tap in the control sends the parent WM_NOTIFY GN_CONTEXTMENU
// (1000, NMRGINFO, the point in the control's client coordinates); when the parent
// answers 0 the control shows its own menu.

// Registers "InkX" (and "RichInk") for the process; call before creating one.
INKX_API void WINAPI InitInkX();

// What a headless test does in place of a person and of the device's read messages:
// reads the kept data back (returns its length, copies what fits), and chooses from
// the context menu (the chooser gets the menu, its screen point and owner, and
// returns the chosen item or 0; null restores the real menu).
INKX_API DWORD WINAPI InkXTestGetData(HWND inkx, BYTE* buffer, DWORD size);
typedef UINT(CALLBACK* InkXMenuChooser)(HMENU menu, POINT at, HWND owner);
INKX_API void WINAPI InkXTestSetMenuChooser(InkXMenuChooser chooser);
