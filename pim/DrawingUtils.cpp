#include "pim/DrawingUtils.h"

#include "base/BitmapDC.h"
#include "base/ScreenDpi.h"

namespace {

// The device's borders are drawn with its stock border pen (stock object 32),
// which the desktop lacks; the black pen is what that pen draws.
const int kBorderStockPen = BLACK_PEN;

BOOL BitmapSize(HBITMAP bitmap, SIZE& size) {
  BITMAP info = {};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return FALSE;
  size.cx = info.bmWidth;
  size.cy = info.bmHeight;
  return TRUE;
}

}  // namespace

int GetCurrentPenWidth(HDC dc) {
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  EXTLOGPEN extended = {};
  LOGPEN plain = {};
  if (pen && GetObjectW(pen, sizeof plain, &plain) == sizeof plain) return plain.lopnWidth.x > 0 ? plain.lopnWidth.x : 1;
  if (pen && GetObjectW(pen, sizeof extended, &extended) > 0)
    return extended.elpWidth > 0 ? static_cast<int>(extended.elpWidth) : 1;
  return 1;
}

BOOL DrawRectangle(HDC dc, const RECT& rect, int penWidth) {
  const int inset = penWidth / 2;
  return Rectangle(dc, rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset);
}

BOOL DrawRectangleCurrentPen(HDC dc, const RECT& rect) { return DrawRectangle(dc, rect, GetCurrentPenWidth(dc)); }

BOOL DrawRectangleStockPen(HDC dc, const RECT& rect) {
  HGDIOBJ previous = SelectObject(dc, GetStockObject(kBorderStockPen));
  const BOOL drawn = DrawRectangle(dc, rect, GetSystemMetrics(SM_CXBORDER));
  SelectObject(dc, previous);
  return drawn;
}

BOOL DrawPolyline(HDC dc, const POINT* points, int count, UINT flags, int penWidth) {
  if (!points || count < 2) return FALSE;
  if (!(flags & (POLYLINE_RIGHT | POLYLINE_LEFT | POLYLINE_DOWN | POLYLINE_UP))) return Polyline(dc, points, count);
  for (int i = 0; i + 1 < count; ++i) {
    POINT segment[2] = {points[i], points[i + 1]};
    const int width = abs(segment[1].x - segment[0].x), height = abs(segment[1].y - segment[0].y);
    int dx = 0, dy = 0;
    if (width > height) {
      if (flags & POLYLINE_UP) dy = -(penWidth - 1) / 2;
      else if (flags & POLYLINE_DOWN) dy = penWidth / 2;
    } else {
      if (flags & POLYLINE_LEFT) dx = -(penWidth - 1) / 2;
      else if (flags & POLYLINE_RIGHT) dx = penWidth / 2;
    }
    for (POINT& p : segment) {
      p.x += dx;
      p.y += dy;
    }
    if (!Polyline(dc, segment, 2)) return FALSE;
  }
  return TRUE;
}

BOOL DrawPolylineCurrentPen(HDC dc, const POINT* points, int count, UINT flags) {
  return DrawPolyline(dc, points, count, flags, GetCurrentPenWidth(dc));
}

BOOL DrawPolylineStockPen(HDC dc, const POINT* points, int count, UINT flags) {
  HGDIOBJ previous = SelectObject(dc, GetStockObject(kBorderStockPen));
  const BOOL drawn = DrawPolyline(dc, points, count, flags, GetSystemMetrics(SM_CXBORDER));
  SelectObject(dc, previous);
  return drawn;
}

BOOL BlitCentered(HDC dc, const RECT& rect, HBITMAP bitmap) {
  SIZE size;
  CBitmapDC source;
  if (!BitmapSize(bitmap, size) || !source.Attach(bitmap)) return FALSE;
  const int x = (rect.right - rect.left - size.cx) / 2, y = (rect.bottom - rect.top - size.cy) / 2;
  return BitBlt(dc, rect.left + (x > 0 ? x : 0), rect.top + (y > 0 ? y : 0), size.cx, size.cy, source.GetDC(), 0, 0,
                SRCCOPY);
}

BOOL TileBitmap(HDC dc, const RECT& rect, HBITMAP bitmap) {
  SIZE size;
  CBitmapDC source;
  if (!BitmapSize(bitmap, size) || !source.Attach(bitmap)) return FALSE;
  for (int y = rect.top; y < rect.bottom; y += size.cy) {
    for (int x = rect.left; x < rect.right; x += size.cx) {
      const int w = rect.right - x < size.cx ? rect.right - x : size.cx;
      const int h = rect.bottom - y < size.cy ? rect.bottom - y : size.cy;
      if (!BitBlt(dc, x, y, w, h, source.GetDC(), 0, 0, SRCCOPY)) return FALSE;
    }
  }
  return TRUE;
}

BOOL ResizeImageStrip(HBITMAP& bitmap, int cellWidth, int cellHeight, int columns, int rows) {
  SIZE size;
  if (!BitmapSize(bitmap, size) || columns <= 0 || rows <= 0 || cellWidth < 0 || cellHeight < 0 ||
      (!cellWidth && !cellHeight))
    return FALSE;
  const int oldWidth = size.cx / columns, oldHeight = size.cy / rows;
  if (oldWidth <= 0 || oldHeight <= 0) return FALSE;
  if (!cellWidth) cellWidth = (cellHeight * oldWidth * 2 + oldHeight) / (oldHeight * 2);
  if (!cellHeight) cellHeight = (cellWidth * oldHeight * 2 + oldWidth) / (oldWidth * 2);
  if (cellWidth <= 0 || cellHeight <= 0) return FALSE;
  if (cellWidth == oldWidth && cellHeight == oldHeight) return TRUE;
  CBitmapDC source, target;
  if (!source.Attach(bitmap) || !target.Create(cellWidth * columns, cellHeight * rows)) return FALSE;
  SetStretchBltMode(target.GetDC(), COLORONCOLOR);
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      if (!StretchBlt(target.GetDC(), column * cellWidth, row * cellHeight, cellWidth, cellHeight, source.GetDC(),
                      column * oldWidth, row * oldHeight, oldWidth, oldHeight, SRCCOPY))
        return FALSE;
  source.Release();
  HBITMAP resized = target.GetBitmap();
  target.SetOwnsBitmap(FALSE);
  target.Release();
  DeleteObject(bitmap);
  bitmap = resized;
  return TRUE;
}

HIMAGELIST LoadImageListScaled(HMODULE module, LPCWSTR bitmap, int cx, int grow, COLORREF mask, UINT flags,
                               UINT loadFlags) {
  const int dpi = GetScreenDpiX();
  if (dpi == 96 || dpi <= 0)
    return ImageList_LoadImageW(module, bitmap, cx, grow, mask, IMAGE_BITMAP, loadFlags);
  HBITMAP strip = static_cast<HBITMAP>(LoadImageW(module, bitmap, IMAGE_BITMAP, 0, 0, loadFlags));
  SIZE size;
  if (!strip || cx <= 0 || !BitmapSize(strip, size)) {
    if (strip) DeleteObject(strip);
    return nullptr;
  }
  const int count = size.cx / cx;
  const int scaledCx = MulDiv(cx, dpi, 96), scaledHeight = MulDiv(size.cy, dpi, 96);
  HIMAGELIST list = nullptr;
  if (count > 0 && scaledCx > 0 && scaledHeight > 0 && ResizeImageStrip(strip, scaledCx, scaledHeight, count, 1)) {
    list = ImageList_Create(scaledCx, scaledHeight, flags | (mask != CLR_NONE ? ILC_MASK : 0), count, grow);
    if (list && (mask != CLR_NONE ? ImageList_AddMasked(list, strip, mask) : ImageList_Add(list, strip, nullptr)) < 0) {
      ImageList_Destroy(list);
      list = nullptr;
    }
  }
  DeleteObject(strip);
  return list;
}

BOOL MakeIconOpaque(HICON& icon, int width, int height) {
  if (!icon || width <= 0 || height <= 0) return FALSE;
  // The picture over black with an all-clear mask: nothing behind it shows through.
  CBitmapDC colour, mask;
  if (!colour.CreateFilled(width, height, RGB(0, 0, 0)) || !mask.CreateWithBitCount(width, height, 1)) return FALSE;
  PatBlt(mask.GetDC(), 0, 0, width, height, BLACKNESS);
  if (!DrawIconEx(colour.GetDC(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL)) return FALSE;
  HBITMAP colourBitmap = colour.GetBitmap(), maskBitmap = mask.GetBitmap();
  colour.SetOwnsBitmap(FALSE);
  mask.SetOwnsBitmap(FALSE);
  colour.Release();
  mask.Release();
  ICONINFO info = {TRUE, 0, 0, maskBitmap, colourBitmap};
  HICON made = CreateIconIndirect(&info);
  DeleteObject(colourBitmap);
  DeleteObject(maskBitmap);
  if (!made) return FALSE;
  DestroyIcon(icon);
  icon = made;
  return TRUE;
}
