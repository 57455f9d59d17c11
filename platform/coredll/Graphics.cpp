// Drawing helpers that the device keeps in its core library.
#include "platform/coredll/ce.h"

CORE_API BOOL WINAPI TransparentImage(HDC dst, LONG dstX, LONG dstY, LONG dstWidth, LONG dstHeight, HANDLE src,
                                      LONG srcX, LONG srcY, LONG srcWidth, LONG srcHeight, COLORREF transparent) {
  if (!dst || !src) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD kind = GetObjectType(src);
  if (kind == OBJ_DC || kind == OBJ_MEMDC)
    return TransparentBlt(dst, dstX, dstY, dstWidth, dstHeight, static_cast<HDC>(src), srcX, srcY, srcWidth,
                          srcHeight, transparent);
  if (kind != OBJ_BITMAP) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  HDC dc = CreateCompatibleDC(dst);
  if (!dc) return FALSE;
  HGDIOBJ old = SelectObject(dc, src);
  BOOL ok = old && TransparentBlt(dst, dstX, dstY, dstWidth, dstHeight, dc, srcX, srcY, srcWidth, srcHeight,
                                  transparent);
  if (old) SelectObject(dc, old);
  DeleteDC(dc);
  return ok;
}

CORE_API HBITMAP WINAPI SHLoadDIBitmap(LPCWSTR fileName) {
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HBITMAP>(
      LoadImageW(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}
