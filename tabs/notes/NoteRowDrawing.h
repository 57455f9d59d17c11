// What both note rows draw the same way: the selection fill behind the whole row and
// their rectangles moved to where the row is drawn.
#pragma once
#include <windows.h>

#include "controls/TextRunList.h"
#include "graphics/SkinColors.h"

// Fills the row in the selection colour when it is selected and drawn to a DC.
inline void FillSelectedNoteRow(CTextRunList* context, const POINT& origin, int width, int height, BOOL selected) {
  HDC dc = context->GetDC();
  if (!selected || !dc) return;
  RECT all = {origin.x, origin.y, origin.x + width, origin.y + height};
  if (HBRUSH brush = CSkinColors::Instance().GetSolidBrush(2)) FillRect(dc, &all, brush);
}

inline RECT ShiftedNoteRect(const RECT& r, const POINT& origin) {
  return RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
}
