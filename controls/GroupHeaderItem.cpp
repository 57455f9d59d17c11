#include "controls/GroupHeaderItem.h"

#include "base/ScreenDpi.h"
#include "controls/ItemPalette.h"
#include "controls/TextRunList.h"
#include "graphics/FontCache.h"

CGroupHeaderItem::CGroupHeaderItem(IListItemOwner* owner, LPCWSTR caption)
    : CListItem(owner), m_caption(caption), m_nHeight(0) {}

void CGroupHeaderItem::SetSize(int width, int contentWidth, int height, BOOL reset) {
  CListItem::SetSize(width, contentWidth, height, reset);
  m_nHeight = height;
}

int CGroupHeaderItem::GetHeight(int) { return m_nHeight; }

namespace {

// The bold header font of the process's font cache; the system's font before there
// is a cache.
HFONT CaptionFont() {
  CFontCache* fonts = GetFontCache();
  HFONT font = fonts ? fonts->GetHeaderFont(TRUE) : nullptr;
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

void CGroupHeaderItem::Draw(CTextRunList* context, const POINT* origin) {
  IItemPalette& palette = GetItemPalette();
  HDC hdc = context->GetDC();
  HFONT previousFont = context->SetFont(CaptionFont());
  COLORREF previousColor = context->SetTextColor(palette.GetColor(m_bSelected ? 4 : 3));

  HGDIOBJ dcFont = SelectObject(hdc, context->GetFont());
  CString text = m_caption;
  UINT format = DT_CENTER;
  RECT measured = {0, 0, m_nWidth, m_nHeight};
  DrawTextW(hdc, text, -1, &measured, DT_CALCRECT);
  if (measured.right > m_nWidth) {
    ReplaceChar(text, L'\n', L' ');
    format = DT_CENTER | DT_WORDBREAK;
    measured = {0, 0, m_nWidth, m_nHeight};
    DrawTextW(hdc, text, -1, &measured, DT_CALCRECT | format);
  }
  SelectObject(hdc, dcFont);

  const int textHeight = measured.bottom - measured.top;
  RECT textRect = {origin->x, origin->y + (m_nHeight - textHeight) / 2, origin->x + m_nWidth, 0};
  textRect.bottom = textRect.top + textHeight;
  if (m_bSelected) {
    RECT strip = {origin->x, textRect.top - ScaleY(2), origin->x + m_nWidth, textRect.bottom + ScaleY(2)};
    FillRect(hdc, &strip, palette.GetBrush(2));
  }
  context->AddText(text, &textRect, format);

  context->SetTextColor(previousColor);
  context->SetFont(previousFont);
}
