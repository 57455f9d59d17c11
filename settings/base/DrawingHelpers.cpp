#include "settings/base/DrawingHelpers.h"

#include <cstdlib>

namespace {

int CurrentPenWidth(HDC dc) {
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  int width = 1;
  if (GetObjectW(pen, 0, nullptr) == sizeof(LOGPEN)) {
    LOGPEN logical = {};
    if (GetObjectW(pen, sizeof(logical), &logical)) width = logical.lopnWidth.x;
  } else {
    EXTLOGPEN extended = {};
    if (GetObjectW(pen, sizeof(extended), &extended)) width = static_cast<int>(extended.elpWidth);
  }
  return width > 0 ? width : 1;
}

bool IsPictureStatic(HWND child) {
  WCHAR name[16];
  if (GetClassNameW(child, name, 16) <= 0 || lstrcmpiW(name, L"static") != 0) return false;
  // Bitmap (0xE) and metafile (0xF) styles; a right-aligned text (SS_RIGHT, 2) is text.
  return (GetWindowLongW(child, GWL_STYLE) & 0xE) == 0xE;
}

}  // namespace

BOOL DrawFrameRect(HDC dc, int left, int top, int right, int bottom, int penWidth) {
  int half = (penWidth < 0 ? CurrentPenWidth(dc) : penWidth) / 2;
  return Rectangle(dc, left + half, top + half, right - half, bottom - half);
}

BOOL DrawAlignedPolyline(HDC dc, const POINT* points, int count, DWORD flags, int penWidth) {
  if (!points || count < 2) return FALSE;
  if (!(flags & 0xF0)) return Polyline(dc, points, count);
  const int width = penWidth < 0 ? CurrentPenWidth(dc) : penWidth;
  const int before = -((width - 1) / 2);
  const int after = width / 2;
  for (int i = 0; i + 1 < count; ++i) {
    POINT segment[2] = {points[i], points[i + 1]};
    const bool steep = std::abs(segment[1].x - segment[0].x) <= std::abs(segment[1].y - segment[0].y);
    int dx = 0, dy = 0;
    if (steep)
      dx = (flags & kLineLeftOfSteep) ? before : (flags & kLineRightOfSteep) ? after : 0;
    else
      dy = (flags & kLineAboveFlat) ? before : (flags & kLineBelowFlat) ? after : 0;
    for (POINT& p : segment) {
      p.x += dx;
      p.y += dy;
    }
    if (!Polyline(dc, segment, 2)) return FALSE;
  }
  return TRUE;
}

BOOL BlitDibCentered(HDC dc, int x, int y, int width, int height, CDib& dib) {
  HDC source = dib.GetDC();
  if (!source) return FALSE;
  int left = x + (width > dib.GetWidth() ? (width - dib.GetWidth()) / 2 : 0);
  int top = y + (height > dib.GetHeight() ? (height - dib.GetHeight()) / 2 : 0);
  return BitBlt(dc, left, top, dib.GetWidth(), dib.GetHeight(), source, 0, 0, SRCCOPY);
}

void FitDialogChildren(HWND dialog) {
  RECT client;
  if (!GetClientRect(dialog, &client)) return;
  const int width = client.right - client.left;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    const int childWidth = rect.right - rect.left, childHeight = rect.bottom - rect.top;
    if (IsPictureStatic(child))
      SetWindowPos(child, nullptr, (width - childWidth) / 2, rect.top, childWidth, childHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    else
      SetWindowPos(child, nullptr, 0, rect.top, width, childHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}
