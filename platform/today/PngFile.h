// Pictures of the screen stand-ins: a window as drawn, written out as PNG.
#pragma once
#include <windows.h>

#include <string>

// A 32-bit top-down DIB section.
HBITMAP CreateTopDownDib(int width, int height, void** bits);
// The window with its frame as now drawn, width x height from its top-left corner
// (caller deletes it).
HBITMAP CaptureWindowDib(HWND window, int width, int height);
// A 32-bit DIB section as PNG, through the system's image encoders.
bool WritePngFile(const std::wstring& path, HBITMAP bitmap);
