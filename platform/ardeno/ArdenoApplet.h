// The tab host's applet interface: the functions an applet library exports by name,
// with the argument types this host passes. An applet is an opaque handle the
// library made; it never leaves the host's process.
#pragma once
#include <windows.h>

typedef void* ARDENO_APPLET;

// Registered message the library sends to the host window when an applet's look or
// description changed; wParam is the applet, lParam 0.
#define ARDENO_UPDATE_APPLET_MESSAGE L"ArdenoUpdateAppletMessage"

typedef ARDENO_APPLET(WINAPI* PFN_ARDENO_APPLET_CREATE)(const BYTE* data, DWORD size);
typedef ARDENO_APPLET(WINAPI* PFN_ARDENO_APPLET_SHOW_CREATE_DIALOG)(HWND host);
typedef BOOL(WINAPI* PFN_ARDENO_APPLET_INIT)(ARDENO_APPLET applet, HWND host);
typedef BOOL(WINAPI* PFN_ARDENO_APPLET_DELETE)(ARDENO_APPLET applet);
typedef HICON(WINAPI* PFN_ARDENO_APPLET_GET_ICON)();
// Returns the description's full length in characters; copies it (terminated) only
// when the buffer holds it with its zero.
typedef int(WINAPI* PFN_ARDENO_APPLET_GET_DESCRIPTION)(ARDENO_APPLET applet, LPWSTR buffer, int length,
                                                       LPARAM extra);
// size is in/out: the buffer's size in, the data's size out; returns the data's size.
typedef DWORD(WINAPI* PFN_ARDENO_APPLET_GET_DATA)(ARDENO_APPLET applet, BYTE* buffer, DWORD* size);
typedef BOOL(WINAPI* PFN_ARDENO_APPLET_GET_SIZE)(ARDENO_APPLET applet, SIZE* size);
typedef BOOL(WINAPI* PFN_ARDENO_APPLET_PAINT)(ARDENO_APPLET applet, const RECT* rect, HDC dc);
typedef BOOL(WINAPI* PFN_ARDENO_APPLET_UPDATE)(ARDENO_APPLET applet);
// x, y: the tap in the host window's client coordinates.
typedef BOOL(WINAPI* PFN_ARDENO_APPLET_ON_CLICK)(ARDENO_APPLET applet, int x, int y);
