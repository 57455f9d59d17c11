// The RichInk control ("richink.dll"): a rich text view that takes the device's own
// messages. Here it is Wine's rich edit under the class name "RichInk", with the
// device's messages and stream-in answers in place of the desktop's meanings of the
// same numbers. Ink (drawing, writing) is not kept: text only.
#pragma once
#include <windows.h>

#ifdef TARVO_BUILDING_RICHINK
#define RICHINK_API extern "C"
#else
#define RICHINK_API extern "C" __declspec(dllimport)
#endif

#define WC_RICHINK L"RichInk"

// The device's messages, whose numbers the desktop rich edit gives other meanings.
constexpr UINT EM_SETZOOMPERCENT = WM_USER + 290;     // 1314: wParam = lParam = percent
constexpr UINT EM_RICHINK_1353 = WM_USER + 329;       // 1353: sent with wParam 1 after the view attributes; taken, no effect here
constexpr UINT EM_SETVIEWATTRIBUTES = WM_USER + 332;  // 1356: lParam = VIEWATTRIBUTES*

struct VIEWATTRIBUTES {
  UINT mask;  // VIEWATTRIBUTE_ bits: which of the fields below apply
  UINT uView;
  UINT uZoom;  // percent
  UINT uPageStyle;
  UINT uInkLayer;
  BOOL fReserved;
};
constexpr UINT VIEWATTRIBUTE_ZOOM = 0x01;
constexpr UINT VIEWATTRIBUTE_PAGESTYLE = 0x02;
constexpr UINT VIEWATTRIBUTE_INKLAYER = 0x04;
constexpr UINT VIEWATTRIBUTE_VIEW = 0x08;

// EM_STREAMIN answers as on the device: 0 when the stream was taken, else an error
// code, also left in EDITSTREAM::dwError (the desktop answers the characters read).
// RTF (SF_RTF) must begin with "{\rtf"; other data is refused, so a caller can stream
// the same text again as plain text. Text is SF_TEXT (ANSI) or SF_TEXT | SF_UNICODE.

// A right tap, or a tap held (the shell's gesture), sends the parent WM_NOTIFY with an
// NMRGINFO of code GN_CONTEXTMENU (1000) whose point is in the control's client
// coordinates.

// Registers "RichInk" for the process; call before creating one.
RICHINK_API void WINAPI InitRichInkDLL();
