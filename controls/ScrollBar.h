// CScrollBarElem: the vertical scroll bar at the right edge of a panel's content.
// It keeps range (content height), page (visible height) and position, draws
// itself with the skin's scroll-bar parts, repeats arrow and page presses every
// 10 ms while held, drags by its thumb and jumps to an end on a double tap of an
// arrow. Every position change is told to the owner panel.
#pragma once
#include <windows.h>

#include "controls/VirtualWnd.h"

class CScrollPanel;

class CScrollBarElem : public CVirtualWnd {
 public:
  explicit CScrollBarElem(CScrollPanel* owner);
  ~CScrollBarElem() override;

  // Recomputes the track and thumb for the new bounds.
  void SetRect(const RECT* rect) override;
  // On an arrow, when double taps are enabled in the view settings: to that end.
  BOOL OnLButtonDblClk(POINT* point) override;
  // The thumb starts a drag; elsewhere a line or page step that repeats.
  BOOL OnLButtonDown(POINT* point) override;
  BOOL OnLButtonUp(POINT* point) override;
  BOOL OnMouseMove(POINT* point) override;
  void Paint(CTextRunList* context) override;
  void OnTimer() override;

  // The page is cut to the range; the position is clamped again (and reported
  // when that moved it).
  void SetRange(int range, int page);
  // Clamped to [0, range - page]. TRUE when the position changed.
  BOOL SetPos(int position);
  int GetPos() const { return m_nPos; }
  int GetRange() const { return m_nRange; }
  int GetPage() const { return m_nPage; }
  BOOL IsNeeded() const { return m_nPage < m_nRange; }
  BOOL IsAtEnd() const { return m_nPos == m_nRange - m_nPage; }
  // The bar's width for the skin in use; also fixes the arrow height.
  int GetWidth();
  // The size of a scroll-bar part (CSkin::ScrollPart) of the skin in use: of its
  // seven parts, else of its single strip (the skin's or the resource library's);
  // 0 x 0 without either. Part 5 is the header button's picture.
  static SIZE GetPartSize(int index);

  BOOL LineUp() { return SetPos(m_nPos - m_nLineStep); }
  BOOL LineDown() { return SetPos(m_nPos + m_nLineStep); }
  BOOL PageUp() { return SetPos(m_nPos - m_nPage); }
  BOOL PageDown() { return SetPos(m_nPos + m_nPage); }
  BOOL ScrollToEnd() { return SetPos(m_nRange - m_nPage); }
  // Scrolls the least that shows content rows top..bottom (the top wins when the
  // span is higher than the page). TRUE when the position changed.
  BOOL ScrollIntoView(int top, int bottom);

  int GetThumbTop() const;
  int GetThumbLength() const { return m_nThumbLength; }
  int GetTrackLength() const { return m_nTrackLength; }
  const RECT& GetTrack() const { return m_rcTrack; }
  int GetArrowHeight() const { return m_nArrowHeight; }
  int GetLineStep() const { return m_nLineStep; }
  int GetRepeatStep() const { return m_nRepeatStep; }
  BOOL IsDragging() const { return m_bDragging; }

  // Called once per process, on the first thumb drag (a run that got that far
  // started healthily). Null: nothing.
  static void SetFirstDragHook(void (*hook)());

 private:
  void UpdateGeometry();
  // thumb length rule for a length figure (the drawn thumb is one longer)
  int ClampThumb(int length) const;
  int ThumbTopFor(int thumbLength) const;
  void StopRepeat();

  int m_nDragOffset;
  BOOL m_bDragging;
  int m_nMinThumb;
  int m_nArrowHeight;
  int m_nRange;
  int m_nPage;
  int m_nPos;
  int m_nLineStep;
  int m_nRepeatStep;
  RECT m_rcTrack;
  int m_nTrackLength;
  int m_nThumbLength;
  CScrollPanel* m_pOwner;
};
