#include "controls/ScrollBar.h"

#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/ControlArt.h"
#include "controls/ItemPalette.h"
#include "controls/ScrollPanel.h"
#include "controls/TextRunList.h"

namespace {

void (*g_firstDragHook)() = nullptr;
BOOL g_dragSeen = FALSE;

const UINT kRepeatMs = 10;

// a * b / c in 64 bits; 0 for a zero divisor (an empty or full-page bar).
int MulDivFloor(int a, int b, int c) {
  if (c == 0) return 0;
  return static_cast<int>(static_cast<long long>(a) * b / c);
}

void FillBrush(HDC hdc, int left, int top, int right, int bottom, HBRUSH brush) {
  if (right <= left || bottom <= top || !brush) return;
  RECT r = {left, top, right, bottom};
  FillRect(hdc, &r, brush);
}

}  // namespace

void CScrollBarElem::SetFirstDragHook(void (*hook)()) {
  g_firstDragHook = hook;
  g_dragSeen = FALSE;
}

CScrollBarElem::CScrollBarElem(CScrollPanel* owner)
    : m_nDragOffset(0),
      m_bDragging(FALSE),
      m_nMinThumb(ScaleY(15)),
      m_nArrowHeight(0),
      m_nRange(ScaleY(500)),
      m_nPage(ScaleY(100)),
      m_nPos(0),
      m_nLineStep(ScaleY(14)),
      m_nRepeatStep(0),
      m_rcTrack(),
      m_nTrackLength(1),
      m_nThumbLength(1),
      m_pOwner(owner) {}

CScrollBarElem::~CScrollBarElem() = default;

SIZE CScrollBarElem::GetPartSize(int index) { return GetControlArt().GetScrollPartSize(index); }

int CScrollBarElem::GetWidth() {
  const SIZE up = GetPartSize(SCROLL_PART_UP);
  if (up.cx > 0) {
    m_nArrowHeight = up.cy > 0 ? up.cy : 0;
    return up.cx + ScaleX(2);
  }
  m_nArrowHeight = 0;
  return ScaleX(2);
}

int CScrollBarElem::ClampThumb(int length) const {
  if (m_nTrackLength < m_nMinThumb) return ScaleY(3);
  return length < m_nMinThumb ? m_nMinThumb : length;
}

void CScrollBarElem::UpdateGeometry() {
  if (m_rect.right <= m_rect.left || m_rect.bottom <= m_rect.top) {
    m_rcTrack = m_rect;
    m_nTrackLength = 1;
    m_nThumbLength = 1;
    return;
  }
  m_rcTrack = m_rect;
  InflateRect(&m_rcTrack, -ScaleX(1), -ScaleY(1));
  m_nTrackLength = (m_rcTrack.bottom - m_rcTrack.top) - 2 * m_nArrowHeight;
  // Empty content has no range: the thumb then fills the track.
  const int length = m_nRange > 0 ? MulDivFloor(m_nTrackLength, m_nPage, m_nRange) : m_nTrackLength;
  m_nThumbLength = ClampThumb(length);
}

int CScrollBarElem::ThumbTopFor(int thumbLength) const {
  const int top = m_rcTrack.top + m_nArrowHeight;
  const int travel = m_nTrackLength - thumbLength;
  const int span = m_nRange - m_nPage;
  // A page that shows everything, or a thumb as long as the track, does not move.
  if (travel <= 0 || span <= 0) return top;
  return top + MulDivFloor(travel, m_nPos, span);
}

int CScrollBarElem::GetThumbTop() const { return ThumbTopFor(m_nThumbLength); }

void CScrollBarElem::SetRect(const RECT* rect) {
  CVirtualWnd::SetRect(rect);
  UpdateGeometry();
}

void CScrollBarElem::SetRange(int range, int page) {
  if (range < 0) range = 0;
  if (page < 0) page = 0;
  m_nRange = range;
  m_nPage = page > range ? range : page;
  UpdateGeometry();
  SetPos(m_nPos);
}

BOOL CScrollBarElem::SetPos(int position) {
  const int last = m_nRange - m_nPage;
  if (position > last) position = last;
  if (position < 0) position = 0;
  if (position == m_nPos) return FALSE;
  m_nPos = position;
  if (m_pOwner) m_pOwner->InvalidateContent(m_nPos);
  Invalidate();
  return TRUE;
}

BOOL CScrollBarElem::ScrollIntoView(int top, int bottom) {
  if (bottom > m_nPos + m_nPage) return SetPos(top < bottom - m_nPage ? top : bottom - m_nPage);
  if (top < m_nPos) return SetPos(top);
  return FALSE;
}

void CScrollBarElem::StopRepeat() {
  if (m_nRepeatStep != 0) KillTimer();
  m_nRepeatStep = 0;
}

BOOL CScrollBarElem::OnLButtonDown(POINT* point) {
  CVirtualWnd::OnLButtonDown(point);
  const int y = point->y;
  const int thumbTop = GetThumbTop();
  if (y >= thumbTop && y < thumbTop + m_nThumbLength) {
    m_nDragOffset = y - thumbTop;
    m_bDragging = TRUE;
  } else {
    if (y <= m_rcTrack.top + m_nArrowHeight)
      m_nRepeatStep = -m_nLineStep;
    else if (y > m_rcTrack.bottom - m_nArrowHeight)
      m_nRepeatStep = m_nLineStep;
    else if (y < thumbTop)
      m_nRepeatStep = -m_nPage;
    else
      m_nRepeatStep = m_nPage;
    if (SetPos(m_nPos + m_nRepeatStep))
      SetTimer(kRepeatMs);
    else
      m_nRepeatStep = 0;
  }
  Capture();
  return TRUE;
}

void CScrollBarElem::OnTimer() {
  if (m_nRepeatStep == 0 || !SetPos(m_nPos + m_nRepeatStep)) StopRepeat();
}

BOOL CScrollBarElem::OnMouseMove(POINT* point) {
  if (!m_bDragging) return CVirtualWnd::OnMouseMove(point);
  if (!g_dragSeen) {
    g_dragSeen = TRUE;
    if (g_firstDragHook) g_firstDragHook();
  }
  const int travel = m_nTrackLength - m_nThumbLength;
  // A thumb as long as its track has nowhere to go.
  if (travel > 0) {
    const int offset = point->y - m_rcTrack.top - m_nArrowHeight - m_nDragOffset;
    SetPos(MulDivFloor(offset, m_nRange - m_nPage, travel));
  }
  return TRUE;
}

BOOL CScrollBarElem::OnLButtonUp(POINT* point) {
  m_bDragging = FALSE;
  StopRepeat();
  ReleaseCapture();
  CVirtualWnd::OnLButtonUp(point);
  return TRUE;
}

BOOL CScrollBarElem::OnLButtonDblClk(POINT* point) {
  if (CVirtualWnd::OnLButtonDblClk(point)) return TRUE;
  if (!GetViewSettings().EnableDoubleTapOnScrollButton) return FALSE;
  if (point->y <= m_rcTrack.top + m_nArrowHeight) {
    SetPos(0);
    return TRUE;
  }
  if (point->y > m_rcTrack.bottom - m_nArrowHeight) {
    ScrollToEnd();
    return TRUE;
  }
  return FALSE;
}

void CScrollBarElem::Paint(CTextRunList* context) {
  CVirtualWnd::Paint(context);
  if (m_rect.right <= m_rect.left || m_rect.bottom <= m_rect.top) return;
  HDC hdc = context->GetDC();
  IItemPalette& palette = GetItemPalette();
  const int left = m_rect.left + ScaleX(1), right = m_rect.right - ScaleX(1);
  const int top = m_rect.top + ScaleY(1), bottom = m_rect.bottom - ScaleY(1);
  const int drawnLength = ClampThumb(m_nRange > 0 ? MulDivFloor(m_nPage, m_nTrackLength, m_nRange) + 1
                                                  : m_nTrackLength);
  const int thumbTop = ThumbTopFor(drawnLength);
  const int thumbEnd = thumbTop + drawnLength;
  IControlArt& art = GetControlArt();
  CDib* target = context->GetTarget();
  const ScrollArtKind kind = art.GetScrollArtKind();
  if (kind == SCROLL_ART_PARTS) {
    const int trackTop = top + m_nArrowHeight, trackEnd = bottom - m_nArrowHeight;
    const SIZE track = art.GetScrollPartSize(SCROLL_PART_TRACK);
    if (track.cy > 0) {
      for (int y = trackTop; y < trackEnd; y += track.cy)
        if (y + track.cy <= thumbTop || y >= thumbEnd) art.DrawScrollPart(SCROLL_PART_TRACK, target, left, y, hdc);
    } else {
      const int mid = (left + right) / 2;
      FillBrush(hdc, mid, trackTop, mid + ScaleX(1), trackEnd, palette.GetBrush(1));
    }
    art.DrawScrollPart(SCROLL_PART_UP, target, left, top, hdc);
    art.DrawScrollPart(SCROLL_PART_DOWN, target, left, bottom - art.GetScrollPartSize(SCROLL_PART_DOWN).cy, hdc);
    const int capTop = art.GetScrollPartSize(SCROLL_PART_THUMB_TOP).cy;
    const int capBottom = art.GetScrollPartSize(SCROLL_PART_THUMB_BOTTOM).cy;
    const int middle = art.GetScrollPartSize(SCROLL_PART_THUMB_MIDDLE).cy;
    art.DrawScrollPart(SCROLL_PART_THUMB_TOP, target, left, thumbTop, hdc);
    if (middle > 0)
      for (int y = thumbTop + capTop; y < thumbEnd - capBottom; y += middle)
        art.DrawScrollPart(SCROLL_PART_THUMB_MIDDLE, target, left, y, hdc);
    art.DrawScrollPart(SCROLL_PART_THUMB_BOTTOM, target, left, thumbEnd - capBottom, hdc);
    return;
  }
  if (kind == SCROLL_ART_STRIP) {
    // The single strip gives the arrows and the thumb's caps; the track is a line
    // and the thumb's middle a fill between two edges, so any length looks right.
    const int partWidth = art.GetScrollPartSize(SCROLL_PART_THUMB_MIDDLE).cx;
    const int width = partWidth > 0 ? partWidth : right - left;
    const int mid = left + width / 2;
    FillBrush(hdc, mid, top + m_nArrowHeight, mid + ScaleX(1), bottom - m_nArrowHeight, palette.GetBrush(1));
    art.DrawScrollPart(SCROLL_PART_UP, target, left, top, hdc);
    art.DrawScrollPart(SCROLL_PART_DOWN, target, left, bottom - art.GetScrollPartSize(SCROLL_PART_DOWN).cy, hdc);
    const int capTop = art.GetScrollPartSize(SCROLL_PART_THUMB_TOP).cy;
    const int capBottom = art.GetScrollPartSize(SCROLL_PART_THUMB_BOTTOM).cy;
    const int edge = ScaleX(1);
    FillBrush(hdc, left, thumbTop + capTop, left + width, thumbEnd - capBottom, palette.GetBrush(1));
    FillBrush(hdc, left + edge, thumbTop + capTop, left + width - edge, thumbEnd - capBottom, palette.GetBrush(5));
    art.DrawScrollPart(SCROLL_PART_THUMB_TOP, target, left, thumbTop, hdc);
    art.DrawScrollPart(SCROLL_PART_THUMB_BOTTOM, target, left, thumbEnd - capBottom, hdc);
    return;
  }
  // Without any skin picture the bar is only sx(2) wide: a line for the track and
  // a thumb over the whole width, filled between its edges when there is room.
  const int mid = (m_rect.left + m_rect.right) / 2;
  FillBrush(hdc, mid, top, mid + ScaleX(1), bottom, palette.GetBrush(1));
  FillBrush(hdc, m_rect.left, thumbTop, m_rect.right, thumbEnd, palette.GetBrush(1));
  FillBrush(hdc, left + 1, thumbTop + 1, right - 1, thumbEnd - 1, palette.GetBrush(5));
}
