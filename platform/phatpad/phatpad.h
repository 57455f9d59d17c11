// PhatPad's view control libraries, another vendor's drawing and handwriting program:
// "PhatPadCtl.dll" (the control library, loaded and kept) and "PhatPadViewCtl.dll",
// whose PhatPad_CreateView makes a view of one drawing inside a caller's window. The
// caller fills the view record; the view is then told to open a file (1128) and to
// show it (1143).
//
// On the device the record is 52 bytes with a 32-bit window handle at offset 28 and
// a 32-bit path pointer at offset 48. Our pointers are 64 bits wide: this one layout,
// with naturally aligned pointer-sized fields, is what both sides here agree on, and
// its size field says which layout a record has.
#pragma once
#include <windows.h>

#include <cstddef>

#ifdef TARVO_BUILDING_PHATPAD
#define PHATPAD_API extern "C" __declspec(dllexport)
#else
#define PHATPAD_API extern "C" __declspec(dllimport)
#endif

struct PHATPAD_VIEW_RECORD {
  WORD cbSize;           // sizeof(PHATPAD_VIEW_RECORD); any other value is refused
  WORD version;          // 100
  DWORD style;           // the view window's style
  DWORD exStyle;         // 0x10000000
  RECT rect;             // in the parent's client coordinates
  HWND parent;
  DWORD pageMode;        // 4
  DWORD reserved;        // 0
  DWORD scale;           // 100
  COLORREF background;   // the parent's window colour
  LPCWSTR path;          // the caller sets it to null before the call
};

#ifdef _WIN64
static_assert(sizeof(PHATPAD_VIEW_RECORD) == 64, "pointer-sized view record");
static_assert(offsetof(PHATPAD_VIEW_RECORD, parent) == 32, "parent after the rectangle, aligned");
static_assert(offsetof(PHATPAD_VIEW_RECORD, path) == 56, "path pointer last, aligned");
#else
static_assert(sizeof(PHATPAD_VIEW_RECORD) == 52, "the device's view record");
static_assert(offsetof(PHATPAD_VIEW_RECORD, parent) == 28 && offsetof(PHATPAD_VIEW_RECORD, path) == 48,
              "the device's offsets");
#endif

// Sent to the view with wParam 0 and lParam the file's path. 1128 opens the file:
// -1 when nothing is there, an answer with PHATPAD_OPEN_REFUSED set when the path
// cannot be opened as a drawing (a folder), else 0. 1143 shows the opened file:
// nonzero when there is nothing to show (no file opened, or an empty file), else 0.
constexpr UINT PHATPAD_MSG_OPEN = 1128;
constexpr UINT PHATPAD_MSG_SHOW = 1143;
constexpr LRESULT PHATPAD_OPEN_REFUSED = 0x4;

// The window classes PhatPadViewCtl.dll registers for its views.
#define PHATPAD_FILE_VIEW_CLASS L"PW_FileViewClass"
#define PHATPAD_PAGE_BROWSER_CLASS L"PW_PageBrowserClass"

typedef HWND(WINAPI* PFN_PHATPAD_CREATEVIEW)(PHATPAD_VIEW_RECORD* record);

// The view window for the record, or null (no record, a wrong size, no parent).
PHATPAD_API HWND WINAPI PhatPad_CreateView(PHATPAD_VIEW_RECORD* record);
