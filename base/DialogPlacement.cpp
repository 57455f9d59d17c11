#include "base/DialogPlacement.h"

#include "base/ScreenDpi.h"

namespace {

RECT RectIn(HWND window, HWND in) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LONG Place(LONG centre, LONG size, LONG low, LONG high) {
  LONG start = centre - size / 2;
  if (start < low) return low;
  if (start + size > high) return high - size;
  return start;
}

}  // namespace

void DlgCenterWindow(HWND dialog, HWND reference) {
  if (!IsWindow(dialog)) return;
  RECT own = {};
  GetWindowRect(dialog, &own);
  RECT area = {};
  RECT target = {};
  if (GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD) {
    HWND parent = GetParent(dialog);
    HWND ref = reference ? reference : parent;
    GetClientRect(parent, &area);
    GetClientRect(ref, &target);
    MapWindowPoints(ref, parent, reinterpret_cast<POINT*>(&target), 2);
  } else {
    HWND ref = reference ? reference : GetWindow(dialog, GW_OWNER);
    if (ref && !IsWindowVisible(ref)) ref = nullptr;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    if (ref)
      GetWindowRect(ref, &target);
    else
      target = area;
  }
  LONG width = own.right - own.left;
  LONG height = own.bottom - own.top;
  LONG x = Place((target.left + target.right) / 2, width, area.left, area.right);
  LONG y = Place((target.top + target.bottom) / 2, height, area.top, area.bottom);
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DlgFitControlBeside(HWND dialog, HWND control, HWND neighbour, HWND optional) {
  if (!IsWindow(control) || !IsWindow(neighbour)) return;
  RECT rect = RectIn(neighbour, dialog);
  rect.right -= ScaleX(13);
  SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (optional && IsWindow(optional)) {
    RECT other = RectIn(optional, dialog);
    SetWindowPos(optional, nullptr, other.left, other.top, other.right - other.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}
