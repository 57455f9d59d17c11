#include "tabs/calendar/CalendarRowArt.h"

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "graphics/FontCache.h"
#include "graphics/SkinColors.h"

HFONT RowFont(int style) {
  if (CFontCache* fonts = GetFontCache())
    if (CFontInfo* info = fonts->GetStyleFont(style, FALSE))
      if (info->GetFont()) return info->GetFont();
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

CRowMeasure::CRowMeasure(int style) : m_dc(GetDC(nullptr)), m_old(nullptr), m_lineHeight(ScaleY(13)) {
  if (!m_dc) return;
  m_old = SelectObject(m_dc, RowFont(style));
  TEXTMETRICW metrics = {};
  if (GetTextMetricsW(m_dc, &metrics) && metrics.tmHeight > 0) m_lineHeight = metrics.tmHeight;
}

CRowMeasure::~CRowMeasure() {
  if (!m_dc) return;
  if (m_old) SelectObject(m_dc, m_old);
  ReleaseDC(nullptr, m_dc);
}

int CRowMeasure::Width(LPCWSTR text) const {
  SIZE extent = {0, 0};
  if (m_dc && text) GetTextExtentPoint32W(m_dc, text, lstrlenW(text), &extent);
  return extent.cx;
}

int CRowMeasure::WrappedHeight(LPCWSTR text, int width) const {
  if (!m_dc || !text || !*text || width <= 0) return m_lineHeight;
  RECT r = {0, 0, width, 0};
  DrawTextW(m_dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return r.bottom > m_lineHeight ? r.bottom : m_lineHeight;
}

CRowPaint::CRowPaint(HDC dc, const POINT* origin, int width, int height, BOOL selected) : m_origin(*origin) {
  CSkinColors& colors = CSkinColors::Instance();
  if (selected && dc) {
    RECT all = {origin->x, origin->y, origin->x + width, origin->y + height};
    if (HBRUSH brush = colors.GetSolidBrush(2)) FillRect(dc, &all, brush);
  }
  const int style = GetViewSettings().App_SubjectStyle;
  const BOOL wrap = style == 2 || (style == 3 && selected);
  format = DT_NOPREFIX | DT_LEFT | (wrap ? DT_WORDBREAK : DT_SINGLELINE | DT_END_ELLIPSIS);
  textColor = colors.Get(selected ? 4 : 3);
}

void AppendRowCommand(HMENU menu, UINT command, UINT textId, BOOL greyed) {
  CString text;
  LoadTranslatedString(text, textId);
  AppendMenuW(menu, MF_STRING | (greyed ? MF_GRAYED : 0), command, text);
}

void AppendRowSubmenu(HMENU menu, HMENU sub, UINT textId) {
  CString text;
  LoadTranslatedString(text, textId);
  if (GetMenuItemCount(sub) > 0)
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text);
  else
    DestroyMenu(sub);
}

BOOL CategoriesPopupEnabled() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE, FALSE);
  return key.GetDWORD(L"dbgCategoriesPopup", 1) != 0;
}
