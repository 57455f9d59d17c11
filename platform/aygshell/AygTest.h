// What a headless test does in place of a person at the device: hold the stylus,
// raise the input panel, change files, change the text size, pick from a menu.
// Only tests include this.
#pragma once
#include "platform/aygshell/aygshell.h"

// How SHRecognizeGesture answers.
enum AygGestureMode : DWORD {
  AYG_GESTURE_REAL = 0,  // watch the stylus: a hold of the platform's delay is the gesture
  AYG_GESTURE_HOLD = 1,  // every call is a hold, at once
  AYG_GESTURE_TAP = 2,   // every call is a tap (no gesture), at once
};
AYG_API void WINAPI AygTestSetGestureMode(DWORD mode);

// Raises or lowers the input panel as the user's tap on its button would; top-level
// windows hear of it as WM_SETTINGCHANGE with SPI_SETSIPINFO.
AYG_API BOOL WINAPI AygTestShowInputPanel(BOOL up);

// The file system reports a change: every registration whose mask and folder match
// gets WM_FILECHANGEINFO. Returns how many windows were told.
AYG_API int WINAPI AygTestNotifyFileChange(LONG eventId, LPCWSTR item1, LPCWSTR item2);

// The user picks another text size (in points); top-level windows get SH_UIMETRIC_CHANGE.
AYG_API void WINAPI AygTestSetSystemFontPoints(DWORD points);

// Stands in for the person choosing from a menu bar popup: gets the popup, the screen
// point it would open at and its owner, and returns the chosen command (0: dismissed).
// Null restores the real popup menu.
typedef UINT(CALLBACK* AygMenuChooser)(HMENU popup, POINT at, HWND owner);
AYG_API void WINAPI AygTestSetMenuChooser(AygMenuChooser chooser);

// The notification removals asked of SHNotificationRemove since the last call, in
// order: up to max of them copied out; returns how many there were and forgets them.
AYG_API int WINAPI AygTestTakeNotificationRemovals(CLSID* clsids, DWORD* ids, int max);
