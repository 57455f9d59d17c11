// Declarations of the device's core library that desktop headers lack, grouped as
// the device groups them. Calls that keep their desktop name (RegOpenKeyExW,
// GetSysColor, ...) are declared by <windows.h>; programs bind coredll.dll's CE
// versions of them through the link order (see cmake/Tarvo.cmake).
#pragma once
#include <windows.h>

#ifdef TARVO_BUILDING_COREDLL
#define CORE_API extern "C"
#else
#define CORE_API extern "C" __declspec(dllimport)
#endif

// --- Kernel: modules, processes, events, memory ------------------------------------

// Wide-name lookup of an export; an ordinal may be given with MAKEINTRESOURCEW.
CORE_API FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR name);

// EventModify operations; the device's SetEvent, PulseEvent and ResetEvent are built on it.
#define EVENT_PULSE 1
#define EVENT_RESET 2
#define EVENT_SET 3
CORE_API BOOL WINAPI EventModify(HANDLE event, DWORD operation);

// Kernel mode and process permissions; both return the previous setting.
CORE_API BOOL WINAPI SetKMode(BOOL kernelMode);
CORE_API DWORD WINAPI SetProcPermissions(DWORD permissions);

// Gives unused heap memory back to the system.
CORE_API void WINAPI CompactAllHeaps(void);

// GetVersionExW's platform identifier on the device.
#define VER_PLATFORM_WIN32_CE 3

// --- Registry --------------------------------------------------------------------------

// Not of the device: how many keys this process has opened or created and values it has
// read through coredll.dll since it started, for tests of a path that must read nothing.
CORE_API DWORD WINAPI CeTestRegistryReads(void);

// --- Window manager ------------------------------------------------------------------

// SystemParametersInfoW query: the device type text ("PocketPC" on a Pocket PC) into
// the buffer given by pvParam, uiParam its size in bytes.
#define SPI_GETPLATFORMTYPE 257

// WM_SETTINGCHANGE wParam sent to every top-level window when the screen was turned or resized.
#define SETTINGCHANGE_RESET 0x3002

// Added to a system-colour index for GetSysColor, GetSysColorBrush and a window
// class background (COLOR_x + 1), as the device requires.
#define SYS_COLOR_INDEX_FLAG 0x40000000

// Extended window styles of the device without a desktop counterpart.
#define WS_EX_CAPTIONOKBTN 0x80000000L
#define WS_EX_NODRAG 0x40000000L
#define WS_EX_ABOVESTARTUP 0x20000000L
#define WS_EX_INK 0x10000000L

// SetForegroundWindow with the lowest bit of the handle set also brings the
// window's owned windows to the front.
#define CE_FOREGROUND_WITH_OWNED(hwnd) reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(hwnd) | 1)

// The device's number of the low-level keyboard hook (the desktop's is 13). The hook
// functions SetWindowsHookExW, CallNextHookEx and UnhookWindowsHookEx are bound by
// name from coredll.dll; the hook record is the desktop's KBDLLHOOKSTRUCT.
#define CE_WH_KEYBOARD_LL 20

// --- Graphics --------------------------------------------------------------------------

// Copies a source rectangle (source: a DC or a bitmap) to a destination, stretching
// as needed, leaving out the pixels of the transparent colour.
CORE_API BOOL WINAPI TransparentImage(HDC dst, LONG dstX, LONG dstY, LONG dstWidth, LONG dstHeight, HANDLE src,
                                      LONG srcX, LONG srcY, LONG srcWidth, LONG srcHeight, COLORREF transparent);

// A .bmp file as a DIB section, or null.
CORE_API HBITMAP WINAPI SHLoadDIBitmap(LPCWSTR fileName);
