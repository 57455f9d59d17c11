// A row drawn selected, as the list draws it, on a small bitmap filled with an odd
// colour first: what it painted, the text runs it gave, and the skin's selection
// colour to compare with. Any folder's row tests may use it.
#pragma once
#include <windows.h>

#include <memory>

#include "base/BitmapDC.h"
#include "controls/ListItem.h"
#include "controls/TextRunList.h"
#include "graphics/SkinColors.h"

class CSelectedRowPicture {
 public:
  CSelectedRowPicture(CListItem& row, int width) {
    row.SetSize(width, width, 0, TRUE);
    m_height = row.GetHeight(-1);
    row.SetSelected(TRUE, TRUE);
    if (!m_surface.CreateFilled(width, m_height, RGB(1, 2, 3))) return;
    RECT clip = {0, 0, width, m_height};
    m_runs.reset(new CTextRunList(m_surface.GetDC(), clip));
    POINT origin = {0, 0};
    row.Draw(m_runs.get(), &origin);
  }

  // FALSE when there was no bitmap to draw on.
  bool Drawn() const { return m_runs != nullptr; }
  int Height() const { return m_height; }
  COLORREF At(int x, int y) const { return GetPixel(m_surface.GetDC(), x, y); }
  const CTextRunList& Runs() const { return *m_runs; }

  // The skin's selection fill; CLR_INVALID when the skin has none.
  static COLORREF SelectionColour() {
    HBRUSH selection = CSkinColors::Instance().GetSolidBrush(2);
    LOGBRUSH brush = {};
    if (!selection || !GetObjectW(selection, sizeof brush, &brush)) return CLR_INVALID;
    return brush.lbColor;
  }

 private:
  CBitmapDC m_surface;
  std::unique_ptr<CTextRunList> m_runs;
  int m_height = 0;
};
