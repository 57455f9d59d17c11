// Drawing primitives and bitmap conversions shared by the panel and the tabs.
#pragma once
#include <windows.h>
#include <commctrl.h>

// Segment offsets of DrawPolyline: a segment wider than high moves up (0x80) by
// (width - 1) / 2 or down (0x40) by width / 2; any other left (0x20) by
// (width - 1) / 2 or right (0x10) by width / 2.
enum : UINT { POLYLINE_RIGHT = 0x10, POLYLINE_LEFT = 0x20, POLYLINE_DOWN = 0x40, POLYLINE_UP = 0x80 };

// The rectangle inset by half the pen width, so a wide outline stays inside it.
BOOL DrawRectangle(HDC dc, const RECT& rect, int penWidth);
BOOL DrawRectangleCurrentPen(HDC dc, const RECT& rect);
BOOL DrawRectangleStockPen(HDC dc, const RECT& rect);
// One polyline, or with offset flags each segment by itself; FALSE when a segment
// cannot be drawn.
BOOL DrawPolyline(HDC dc, const POINT* points, int count, UINT flags, int penWidth);
BOOL DrawPolylineCurrentPen(HDC dc, const POINT* points, int count, UINT flags);
BOOL DrawPolylineStockPen(HDC dc, const POINT* points, int count, UINT flags);
// The width of the DC's current pen (1 for a cosmetic or unknown pen).
int GetCurrentPenWidth(HDC dc);

// The bitmap centred in the rectangle (never left of or above it).
BOOL BlitCentered(HDC dc, const RECT& rect, HBITMAP bitmap);
// The bitmap repeated over the rectangle, the last column and row clipped.
BOOL TileBitmap(HDC dc, const RECT& rect, HBITMAP bitmap);

// A strip of columns x rows equal cells stretched cell by cell to the new cell
// size (0 for one side keeps the cell's proportions); the new bitmap replaces the
// old one, which is deleted. TRUE without change when the cells have that size.
BOOL ResizeImageStrip(HBITMAP& bitmap, int cellWidth, int cellHeight, int columns, int rows);

// A bitmap strip of module as an image list of cx-wide images: loaded as it is at
// 96 dpi; at another screen dpi the strip is first scaled by dpi / 96 (cx too).
// Masked with mask unless it is CLR_NONE. Null when the bitmap is missing.
HIMAGELIST LoadImageListScaled(HMODULE module, LPCWSTR bitmap, int cx, int grow, COLORREF mask, UINT flags,
                               UINT loadFlags);

// The icon drawn over black into a colour bitmap with an all-clear monochrome mask
// and replaced by the icon made from them (the old one destroyed), so nothing
// behind it shows through; FALSE, icon unchanged, on failure.
BOOL MakeIconOpaque(HICON& icon, int width, int height);
