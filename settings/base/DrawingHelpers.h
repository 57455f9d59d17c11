// Small drawing and layout routines of the options pages' previews and dialogs.
#pragma once
#include <windows.h>

#include "graphics/Dib.h"

// A rectangle whose outer edge lies on the box: inset by half the pen's width (the
// DC's current pen when width < 0). Filled with the DC's brush.
BOOL DrawFrameRect(HDC dc, int left, int top, int right, int bottom, int penWidth = -1);

// Flags of DrawAlignedPolyline: where a thick pen lies against its line.
enum : DWORD {
  kLineRightOfSteep = 0x10,  // segments at least as tall as wide
  kLineLeftOfSteep = 0x20,
  kLineBelowFlat = 0x40,     // segments wider than tall
  kLineAboveFlat = 0x80,
};
// One polyline, or with any of the flags each segment alone, shifted so that the pen
// lies on the flagged side of the line. FALSE when a segment could not be drawn.
BOOL DrawAlignedPolyline(HDC dc, const POINT* points, int count, DWORD flags, int penWidth = -1);

// The whole image centred in the box (never left of or above it).
BOOL BlitDibCentered(HDC dc, int x, int y, int width, int height, CDib& dib);

// Every child as wide as the dialog's client area, keeping its top and height; a
// picture static (bitmap or metafile style) keeps its width and is centred.
void FitDialogChildren(HWND dialog);
