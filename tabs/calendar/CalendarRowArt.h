// What the Calendar's rows share to measure, draw and fill their menus: the list
// fonts by style, text measurement on the screen, and menu entries by text id.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// The list font of a style: 0 normal, 1 bold, 2 italic.
HFONT RowFont(int style);

// Measures texts in one list font on the screen's device context.
class CRowMeasure {
 public:
  explicit CRowMeasure(int style);
  ~CRowMeasure();
  CRowMeasure(const CRowMeasure&) = delete;
  CRowMeasure& operator=(const CRowMeasure&) = delete;

  int LineHeight() const { return m_lineHeight; }
  int Width(LPCWSTR text) const;
  // The height of the text wrapped at width (at least one line).
  int WrappedHeight(LPCWSTR text, int width) const;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
  int m_lineHeight;
};

// What every Calendar row's Draw begins with: the selected row's band, the rectangles
// moved to the origin, and the text format of the subject style.
struct CRowPaint {
  // Fills the row's band (width x height at origin) with the selection brush when selected.
  CRowPaint(HDC dc, const POINT* origin, int width, int height, BOOL selected);
  RECT Shift(const RECT& r) const {
    return RECT{r.left + m_origin.x, r.top + m_origin.y, r.right + m_origin.x, r.bottom + m_origin.y};
  }
  // "App_SubjectStyle": 1 one line, 2 wrapped, 3 wrapped while selected.
  UINT format;
  COLORREF textColor;

 private:
  POINT m_origin;
};

void AppendRowCommand(HMENU menu, UINT command, UINT textId, BOOL greyed = FALSE);
// Appends sub under the text; an empty submenu is destroyed instead.
void AppendRowSubmenu(HMENU menu, HMENU sub, UINT textId);
// "dbgCategoriesPopup" of the product key (default 1): whether the categories entry shows.
BOOL CategoriesPopupEnabled();
