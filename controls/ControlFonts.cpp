#include "controls/ControlFonts.h"

#include "graphics/FontCache.h"

namespace {

HFONT Fallback(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

}  // namespace

HFONT GetControlBoldFont() {
  CFontCache* fonts = GetFontCache();
  return Fallback(fonts ? fonts->GetBoldFontHandle() : nullptr);
}

HFONT GetControlListFont() {
  CFontCache* fonts = GetFontCache();
  CFontInfo* info = fonts ? fonts->GetStyleFont(0, FALSE) : nullptr;
  return Fallback(info ? info->GetFont() : nullptr);
}

HFONT GetControlDefaultFont() { return static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

SIZE MeasureControlText(HFONT font, LPCWSTR text) {
  CFontCache* fonts = GetFontCache();
  HDC dc = fonts ? fonts->GetDC() : nullptr;
  HDC own = dc ? nullptr : GetDC(nullptr);
  if (!dc) dc = own;
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {0, 0};
  const int length = text ? lstrlenW(text) : 0;
  if (length > 0) {
    GetTextExtentPoint32W(dc, text, length, &size);
  } else {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    size.cy = metrics.tmHeight;
  }
  SelectObject(dc, old);
  if (own) ReleaseDC(nullptr, own);
  return size;
}
