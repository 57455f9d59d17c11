#include "settings/base/TodayWatermark.h"

#include <cwchar>

#include "base/RegKey.h"
#include "graphics/RasterOps.h"
#include "platform/aygshell/aygshell.h"

namespace {

BOOL LoadImage(const CString& path, CDib& image) {
  HBITMAP bitmap = SHLoadImageFile(path);
  if (!bitmap) return FALSE;
  BOOL loaded = image.CreateFromBitmap(bitmap);
  DeleteObject(bitmap);
  return loaded;
}

// "name.gif" and "name_W_H.gif" in the four orders of the screen's sides.
BOOL LoadSized(LPCWSTR folder, LPCWSTR name, int width, int height, CDib& image) {
  CString path(folder);
  path += name;
  path += L".gif";
  if (LoadImage(path, image)) return TRUE;
  const int sizes[4][2] = {{width, height}, {height, width}, {height, height}, {width, width}};
  for (const auto& size : sizes) {
    WCHAR file[64];
    _snwprintf(file, ARRAYSIZE(file) - 1, L"%s_%d_%d.gif", name, size[0], size[1]);
    file[ARRAYSIZE(file) - 1] = L'\0';
    CString sized(folder);
    sized += file;
    if (LoadImage(sized, image)) return TRUE;
  }
  return FALSE;
}

BOOL PlaceInSquare(CDib& image, int screenWidth, int screenHeight, CDib& out) {
  const int side = screenWidth > screenHeight ? screenWidth : screenHeight;
  if (!out.Create(side, side)) return FALSE;
  HDC target = out.GetDC();
  HDC source = image.GetDC();
  if (!target || !source) return FALSE;
  int width = image.GetWidth(), height = image.GetHeight();
  if (height < 321 && (screenWidth == 480 || screenWidth == 640)) {
    StretchBlt(target, 0, 0, width * 2, height * 2, source, 0, 0, width, height, SRCCOPY);
    width *= 2;
    height *= 2;
  } else {
    BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
  }
  if (screenWidth > width) BitBlt(target, width, 0, width, height, target, 0, 0, SRCCOPY);
  return TRUE;
}

}  // namespace

BOOL DrawTodayWatermarkFrom(LPCWSTR folder, LPCWSTR watermark, BOOL useStartImage, int screenWidth, int screenHeight,
                            CDib& out, int* usedWatermark) {
  if (usedWatermark) *usedWatermark = 0;
  if (watermark && *watermark) {
    CString path(folder);
    path += watermark;
    if (LoadImage(path, out)) {
      LightenDib(out);
      if (usedWatermark) *usedWatermark = 1;
      return TRUE;
    }
  }
  CDib image;
  CString today(folder);
  today += L"tdywater.gif";
  BOOL found = (!useStartImage && LoadImage(today, image)) ||
               LoadSized(folder, L"stwater", screenWidth, screenHeight, image) ||
               LoadSized(folder, L"default_stwater", screenWidth, screenHeight, image);
  if (found) return PlaceInSquare(image, screenWidth, screenHeight, out);
  return out.Create(20, 20);
}

BOOL DrawTodayWatermark(CDib& out, int* usedWatermark) {
  // Only read: the options program has no business making the shell's key.
  CRegKey today(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Today", FALSE, FALSE);
  CString watermark = today.QueryString(L"Watermark");
  DWORD useStartImage = today.QueryDWORD(L"UseStartImage");
  return DrawTodayWatermarkFrom(L"\\windows\\", watermark, useStartImage, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), out, usedWatermark);
}
