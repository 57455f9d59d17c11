#include "graphics/TextLayout.h"

#include "base/ScreenDpi.h"
#include "graphics/TextFit.h"

CTextLayout::CTextLayout() : m_gap(ScaleX(2)) {}

void CTextLayout::AddBox(int width, int height) {
  const RECT box = {0, 0, width, height};
  m_boxes.push_back(box);
}

void CTextLayout::Layout(CString& text, RECT& rect, BOOL singleLine) {
  if (!m_font) return;
  const int lineHeight = m_font->GetHeight();
  int boxes = 0;
  for (const RECT& box : m_boxes) boxes += box.right - box.left;

  int textWidth = 0;
  int top = rect.top;
  if (singleLine) {
    textWidth = rect.right - rect.left - m_gap - boxes;
    text = m_cachedWidths ? FitTextCached(m_font, m_dc, text, textWidth)
                          : FitTextGdi(m_dc, m_font->GetFont(), text, textWidth);
  } else {
    int height = 0;
    int total = 0;
    text = m_cachedWidths ? WrapTextCached(text, m_font, m_dc, rect.right - rect.left, height, total, textWidth)
                          : WrapTextGdi(text, m_font, m_dc, rect.right - rect.left, height, total, textWidth);
    rect.bottom = rect.top + total;
    top = rect.top + total - lineHeight;
  }

  int x = rect.left + textWidth + m_gap;
  if (!m_boxes.empty() && m_wrapBoxes && x + boxes > rect.right) {
    x = rect.left;
    top += lineHeight;
  }
  for (RECT& box : m_boxes) {
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    // At the left edge a box stays even when wider than the rectangle: another
    // line would only leave an empty one above it.
    if (x > rect.left && x + width > rect.right) {
      x = rect.left;
      top += lineHeight;
    }
    box = {x, top, x + width, top + height};
    x += width;
  }
  rect.bottom = top + lineHeight;
  if (singleLine) rect.right = x;
}

void CTextLayout::MeasureText(LPCWSTR text, RECT& rect) {
  const int length = text ? static_cast<int>(wcslen(text)) : 0;
  if (m_cachedWidths && m_font) {
    m_font->MeasureText(m_dc, text, length, &rect);
    return;
  }
  rect.right = rect.left;
  rect.bottom = rect.top;
  if (!length || !m_dc) return;
  HGDIOBJ old = m_font && m_font->GetFont() ? SelectObject(m_dc, m_font->GetFont()) : nullptr;
  SIZE size = {0, 0};
  if (GetTextExtentExPointW(m_dc, text, length, 0, nullptr, nullptr, &size)) {
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
  }
  if (old) SelectObject(m_dc, old);
}

void CTextLayout::MeasureLine(LPCWSTR text, RECT& rect) {
  if (!text || !*text) {
    rect.right = rect.left;
    rect.bottom = rect.top;
    return;
  }
  MeasureText(text, rect);
}
