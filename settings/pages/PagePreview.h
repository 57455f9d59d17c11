// The sample rows of an options page over the Today screen's background: where they
// stand on the page, the background taken once per page, and the drawing every page
// with a preview shares (the whole client area composed off-screen, the texts on top,
// one copy to the page).
#pragma once
#include <windows.h>

#include <memory>

#include "controls/ListItem.h"
#include "graphics/Dib.h"

class CTextRunList;

class CPagePreview {
 public:
  enum { kMaxRows = 2 };

  // The page's client rectangle less 10 logical pixels on each side, from top down,
  // height high (both logical pixels).
  static RECT PlaceIn(const RECT& client, int top, int height);
  // Kept for the page's size: Draw places the rectangle again (and lays the rows out
  // again) when the page was resized since.
  void Place(HWND page, int top, int height);
  void PlaceAt(const RECT& rect) { m_rect = rect; }
  const RECT& GetRect() const { return m_rect; }

  // The Today screen's background, taken again (a page takes it when it starts).
  void TakeBackground();
  // Another background; image ends empty.
  void SetBackground(CDib& image) {
    m_background.TakeOver(image);
    m_hasBackground = m_background.GetWidth() > 0;
  }
  BOOL HasBackground() const { return m_hasBackground; }

  // Owned rows, replacing (and deleting) the earlier ones.
  void SetRows(CListItem* first, CListItem* second = nullptr);
  CListItem* GetRow(int index) const { return index >= 0 && index < kMaxRows ? m_rows[index].get() : nullptr; }
  // Lays the rows out again to the rectangle's width.
  void Layout();
  // 3 logical pixels and the rows; two rows count twice the first one's height.
  int GetBackgroundHeight();

  // The rectangle repainted, without erasing.
  void Invalidate(HWND page) const;
  // The client area: the window colour, the background under the rows, the rows (the
  // first at the rectangle's top-left, the second under it), their texts on top.
  // extra, when given, draws into the image after the rows.
  BOOL Compose(const RECT& client, CDib& image, void (*extra)(CTextRunList&, void*) = nullptr, void* data = nullptr);
  // Compose for the page's client area, copied to dc at 0,0.
  void Draw(HWND page, HDC dc, void (*extra)(CTextRunList&, void*) = nullptr, void* data = nullptr);

 private:
  RECT m_rect = {};
  int m_top = -1;
  int m_height = 0;
  CDib m_background;
  BOOL m_hasBackground = FALSE;
  std::unique_ptr<CListItem> m_rows[kMaxRows];
};
