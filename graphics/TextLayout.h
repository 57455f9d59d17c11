// Places a text in a rectangle, on one line cut with an ellipsis or wrapped at
// word boundaries, and lets a row of boxes (icons) follow its last line. List
// rows and headers use it for their height and the positions of their icons.
#pragma once
#include <windows.h>

#include <vector>

#include "graphics/FontInfo.h"
#include "platform/windowlib/String.h"

class CTextLayout {
 public:
  // No boxes, no DC or font yet, a gap of 2 logical pixels, both flags set.
  CTextLayout();

  // Set both before Layout or a measurement.
  void SetDC(HDC dc) { m_dc = dc; }
  void SetFont(CFontInfo* font) { m_font = font; }
  HDC GetDC() const { return m_dc; }
  CFontInfo* GetFont() const { return m_font; }

  // Boxes are given by their size; Layout places them.
  void AddBox(int width, int height);
  void RemoveAllBoxes() { m_boxes.clear(); }
  int GetBoxCount() const { return static_cast<int>(m_boxes.size()); }
  const RECT& GetBox(int index) const { return m_boxes[index]; }

  // The space between the text and the first box, in pixels.
  int GetGap() const { return m_gap; }
  // Set (the default): boxes that do not fit behind the text move to the next
  // line together; else each box wraps on its own.
  void SetWrapBoxes(BOOL wrap) { m_wrapBoxes = wrap; }
  // Set (the default): measure with the font's width cache; else through the DC.
  void SetCachedWidths(BOOL cached) { m_cachedWidths = cached; }

  // Fits (singleLine) or wraps the text to the rectangle and places the boxes
  // after the text's last line, starting new lines at the left edge where
  // they do not fit. The text comes back cut or broken with "\n"; the
  // rectangle's bottom becomes the bottom of the last line used, and in
  // single-line mode its right edge the end of the text and boxes.
  void Layout(CString& text, RECT& rect, BOOL singleLine);

  // right = left + the text's width, bottom = top + its height; an empty text
  // gives an empty rectangle at the top-left corner.
  void MeasureLine(LPCWSTR text, RECT& rect);
  // The same, except that with cached widths an empty text is one line high,
  // as the font's own measurement gives it.
  void MeasureText(LPCWSTR text, RECT& rect);

 private:
  std::vector<RECT> m_boxes;
  HDC m_dc = nullptr;
  CFontInfo* m_font = nullptr;
  int m_gap;
  BOOL m_wrapBoxes = TRUE;
  BOOL m_cachedWidths = TRUE;
};
