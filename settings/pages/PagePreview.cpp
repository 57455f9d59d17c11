#include "settings/pages/PagePreview.h"

#include "base/ScreenDpi.h"
#include "controls/TextRunList.h"
#include "settings/base/TodayWatermark.h"

namespace {
const int kNoImageSide = 20;
}  // namespace

RECT CPagePreview::PlaceIn(const RECT& client, int top, int height) {
  RECT rect;
  rect.left = client.left + ScaleX(10);
  rect.right = client.right - ScaleX(10);
  if (rect.right < rect.left) rect.right = rect.left;
  rect.top = client.top + ScaleY(top);
  rect.bottom = rect.top + ScaleY(height);
  return rect;
}

void CPagePreview::Place(HWND page, int top, int height) {
  m_top = top;
  m_height = height;
  RECT client = {};
  ::GetClientRect(page, &client);
  m_rect = PlaceIn(client, top, height);
}

void CPagePreview::TakeBackground() {
  int themed = 0;
  m_hasBackground = DrawTodayWatermark(m_background, &themed);
  // Without any Today image the background is an empty 20 x 20 bitmap (a start image
  // fills a square as large as the screen): the rows then stand on the window colour
  // rather than on a black square.
  if (!themed && m_background.GetWidth() <= kNoImageSide && m_background.GetHeight() <= kNoImageSide)
    m_hasBackground = FALSE;
}

void CPagePreview::SetRows(CListItem* first, CListItem* second) {
  m_rows[0].reset(first);
  m_rows[1].reset(second);
  Layout();
}

void CPagePreview::Layout() {
  const int width = m_rect.right - m_rect.left;
  for (auto& row : m_rows) {
    if (!row) continue;
    row->SetSize(width, width, 0, TRUE);
    row->GetHeight(-1);
  }
}

int CPagePreview::GetBackgroundHeight() {
  int rows = 0;
  if (m_rows[0]) rows = m_rows[0]->GetHeight(-1) * (m_rows[1] ? 2 : 1);
  return ScaleY(3) + rows;
}

void CPagePreview::Invalidate(HWND page) const {
  if (page) ::InvalidateRect(page, &m_rect, FALSE);
}

BOOL CPagePreview::Compose(const RECT& client, CDib& image, void (*extra)(CTextRunList&, void*), void* data) {
  const int width = client.right - client.left, height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return FALSE;
  if (!image.CreateFilled(width, height, ::GetSysColor(COLOR_WINDOW))) return FALSE;
  HDC target = image.GetDC();
  if (!target) return FALSE;
  if (m_hasBackground) {
    // A background smaller than the rows (a small start image) covers what it can.
    int copyWidth = m_rect.right - m_rect.left, copyHeight = GetBackgroundHeight();
    if (copyWidth > m_background.GetWidth()) copyWidth = m_background.GetWidth();
    if (copyHeight > m_background.GetHeight()) copyHeight = m_background.GetHeight();
    if (HDC source = m_background.GetDC()) {
      if (copyWidth > 0 && copyHeight > 0)
        ::BitBlt(target, m_rect.left, m_rect.top, copyWidth, copyHeight, source, 0, 0, SRCCOPY);
      m_background.ReleaseDC();
    }
  }
  {
    CTextRunList context(&image, client);
    POINT origin = {m_rect.left, m_rect.top};
    for (auto& row : m_rows) {
      if (!row) continue;
      row->Draw(&context, &origin);
      origin.y += row->GetHeight(-1);
    }
    if (extra) extra(context, data);
    context.Draw(target, 0, 0);
  }
  image.ReleaseDC();
  return TRUE;
}

void CPagePreview::Draw(HWND page, HDC dc, void (*extra)(CTextRunList&, void*), void* data) {
  RECT client = {};
  ::GetClientRect(page, &client);
  if (m_top >= 0) {
    // The sheet sizes its pages after they start.
    const RECT placed = PlaceIn(client, m_top, m_height);
    if (!::EqualRect(&placed, &m_rect)) {
      m_rect = placed;
      Layout();
    }
  }
  CDib image;
  if (!Compose(client, image, extra, data)) return;
  if (HDC source = image.GetDC()) {
    ::BitBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, source, 0, 0, SRCCOPY);
    image.ReleaseDC();
  }
}
